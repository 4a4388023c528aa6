#pragma once

#include <vector>

#include <QStringList>

#include "DocumentKind.h"

// The schema's version: PRAGMA user_version in a file, the one row of 数据库版本 on a server.
// Version 1 is the formats and the history; each later version is one step of schemaUpgrades().
inline constexpr int kSchemaVersion = 13;

// The statements of one step from version n + 1 to n + 2, some in one dialect only.
struct UpgradeStep {
    QStringList statements;
    QStringList fileOnly;
    QStringList serverOnly;
    bool movesUserState = false;  // then moves the last input and current format to 用户状态
};

// The version whose step moved the current format and the last input to 用户状态.
inline constexpr int kUserStateStep = 3;

// The steps in order: the first brings version 1 to version 2, and so on. A step, once
// shipped, never changes: the first n steps build what the program of version n + 1 built.
const std::vector<UpgradeStep>& schemaUpgrades();

// The statements of version 1's tables, and those of a kind's shipped format (the transfer
// cheque's with the row that named it the current one, before each user had a state of their
// own).
QStringList schemaScript();
QStringList shippedFormatScript(const DocumentKind& kind = transferCheque());
// A statement of the schema as PostgreSQL takes it.
QString inServerDialect(QString statement);
