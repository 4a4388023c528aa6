#include "Database.h"

#include <QSqlRecord>
#include <QtEndian>

#include <libpq-fe.h>
#include <sqlite3.h>

#include "DriverHandle.h"

// Reading many rows at once past Qt's drivers, straight from the connection they hold: for the
// history grid's list of a million IDs, and the values it sorts by.

using namespace Qt::StringLiterals;

namespace {

// An integer column of a binary cursor: big-endian, in 8 bytes (bigint) or 4 (integer).
qint64 binaryInteger(const char* value, int size) {
    return size == 8 ? qFromBigEndian<qint64>(value) : qFromBigEndian<qint32>(value);
}

// Runs one command on a server connection; false when it failed.
bool command(PGconn* connection, const char* sql) {
    PGresult* result = PQexec(connection, sql);
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    return ok;
}

// The statement with a server's numbered placeholders ($1, $2 ...) for its question marks,
// those inside quotes left as they are.
QByteArray numberedPlaceholders(const QString& sql) {
    QString numbered;
    int count = 0;
    QChar quote;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?') {
            numbered += u'$' + QString::number(++count);
            continue;
        }
        numbered += c;
    }
    return numbered.toUtf8();
}

bool isInteger(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return true;
        default:
            return false;
    }
}

bool bindFileValues(sqlite3_stmt* statement, const QVariantList& values) {
    for (int i = 0; i < int(values.size()); ++i) {
        const QVariant& value = values[i];
        int bound = SQLITE_OK;
        if (value.isNull()) {
            bound = sqlite3_bind_null(statement, i + 1);
        } else if (isInteger(value)) {
            bound = sqlite3_bind_int64(statement, i + 1, value.toLongLong());
        } else {
            const QByteArray text = value.toString().toUtf8();
            bound = sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()),
                                      SQLITE_TRANSIENT);
        }
        if (bound != SQLITE_OK)
            return false;
    }
    return true;
}

}  // namespace

bool Database::readFileRows(const QString& sql, const QVariantList& values,
                            const std::function<void(qint64, const char*, int)>& row) {
    sqlite3* connection = driverHandle<sqlite3>(m_db, "sqlite3*");
    sqlite3_stmt* statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (!connection || sqlite3_prepare_v2(connection, utf8.constData(), int(utf8.size()),
                                          &statement, nullptr) != SQLITE_OK)
        return false;
    if (!bindFileValues(statement, values)) {
        sqlite3_finalize(statement);
        return false;
    }
    const bool text = sqlite3_column_count(statement) > 1;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto* value = text ? sqlite3_column_text(statement, 1) : nullptr;
        row(sqlite3_column_int64(statement, 0), reinterpret_cast<const char*>(value),
            value ? sqlite3_column_bytes(statement, 1) : 0);
    }
    sqlite3_finalize(statement);
    ++m_statementsRun;
    return step == SQLITE_DONE;
}

bool Database::readServerRows(const QString& sql, const QVariantList& values,
                              const std::function<void(qint64, const char*, int)>& row) {
    PGconn* connection = driverHandle<PGconn>(m_db, "PGconn*");
    if (!connection || PQstatus(connection) != CONNECTION_OK)
        return false;
    // Through a cursor, some thousands of rows at a time, so that neither side holds the whole
    // result; a cursor lives in a transaction, the caller's or one of its own. A binary one
    // sends the IDs as they are stored and a text as its bytes, without writing them out.
    const bool own = m_transactionDepth == 0;
    if (own && !command(connection, "BEGIN"))
        return false;
    // Every row is read: the plan is for the whole result, not for its first rows.
    // The values go as texts that the server reads as its columns' types.
    std::vector<QByteArray> texts;
    std::vector<const char*> params;
    texts.reserve(size_t(values.size()));
    for (const QVariant& value : values) {
        texts.push_back(value.toString().toUtf8());
        params.push_back(value.isNull() ? nullptr : texts.back().constData());
    }
    const QByteArray declare =
        "DECLARE chequeprint_rows NO SCROLL BINARY CURSOR FOR " + numberedPlaceholders(sql);
    bool ok = command(connection, "SET LOCAL cursor_tuple_fraction = 1");
    if (ok) {
        PGresult* declared = PQexecParams(connection, declare.constData(), int(params.size()),
                                          nullptr, params.data(), nullptr, nullptr, 0);
        ok = PQresultStatus(declared) == PGRES_COMMAND_OK;
        PQclear(declared);
    }
    while (ok) {
        PGresult* result = PQexec(connection, "FETCH 50000 FROM chequeprint_rows");
        ok = PQresultStatus(result) == PGRES_TUPLES_OK;
        const int rows = ok ? PQntuples(result) : 0;
        const bool text = ok && PQnfields(result) > 1;
        for (int r = 0; r < rows; ++r) {
            const bool missing = !text || PQgetisnull(result, r, 1);
            row(binaryInteger(PQgetvalue(result, r, 0), PQgetlength(result, r, 0)),
                missing ? nullptr : PQgetvalue(result, r, 1),
                missing ? 0 : PQgetlength(result, r, 1));
        }
        PQclear(result);
        ++m_statementsRun;
        if (rows == 0)
            break;
    }
    ok = ok && command(connection, "CLOSE chequeprint_rows");
    if (own)
        ok = command(connection, ok ? "COMMIT" : "ROLLBACK") && ok;
    else if (!ok)
        m_transactionFailed = true;  // the caller's transaction is lost with the cursor
    return ok;
}

bool Database::readIdRows(const QString& sql, const QVariantList& values,
                          const std::function<void(qint64 id, const char* text, int size)>& row) {
    if (m_watch)
        m_watch(sql, values);
    qint64 delivered = 0;
    const auto counted = [&](qint64 id, const char* text, int size) {
        ++delivered;
        row(id, text, size);
    };
    if (m_server ? readServerRows(sql, values, counted) : readFileRows(sql, values, counted))
        return true;
    if (delivered > 0) {  // the caller has part of the rows: no second reading
        showStatementError(sql);
        return false;
    }
    // What went wrong is found and shown the common way: waiting for a busy file, connecting
    // again to a server, the message.
    std::optional<QSqlQuery> query = select(sql, values);
    if (!query)
        return false;
    const bool text = query->record().count() > 1;
    while (query->next()) {
        const QByteArray value = text ? query->value(1).toString().toUtf8() : QByteArray();
        row(query->value(0).toLongLong(), text && !query->isNull(1) ? value.constData() : nullptr,
            int(value.size()));
    }
    if (!query->lastError().isValid())
        return true;
    showStatementError(sql);
    return false;
}

std::optional<std::vector<qint64>> Database::selectIds(const QString& sql,
                                                       const QVariantList& values) {
    std::vector<qint64> ids;
    if (!readIdRows(sql, values, [&](qint64 id, const char*, int) { ids.push_back(id); }))
        return std::nullopt;
    return ids;
}
