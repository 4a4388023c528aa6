#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QVariantList>

#include "ChequeRegister.h"

class Database;

// The rows of 支票簿 as the register's own code reads them.

// The books that `where` (" WHERE ...", or empty) picks, by account then first serial;
// nothing when the query failed.
std::optional<QList<ChequeBook>> selectBooks(Database& db, const QString& where,
                                             const QVariantList& values);
