#pragma once

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

// The connection handle a Qt SQL driver holds ("sqlite3*", "PGconn*"), when it is of the named
// type; null otherwise.
template <typename Handle>
Handle* driverHandle(const QSqlDatabase& db, const char* type) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), type) != 0)
        return nullptr;
    return *static_cast<Handle* const*>(handle.constData());
}
