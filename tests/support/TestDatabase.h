#pragma once

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include "Database.h"
#include "ScriptedPrompts.h"

// A real database file, created with the shipped schema and default format, in a temporary
// folder that disappears with the test.
struct TestDatabase {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Database db{prompts};

    TestDatabase() { db.open(path()); }
    QString path() const { return dir.filePath(QStringLiteral("DATA.db")); }

    // The first column of the first row of a query, for checking what was stored.
    QVariant scalar(const QString& sql, const QVariantList& values = {}) {
        std::optional<QSqlQuery> query = db.select(sql, values);
        return query && query->next() ? query->value(0) : QVariant();
    }
};
