#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>
#include <QVariant>

#include "Database.h"
#include "MissingSetUp.h"
#include "ScriptedPrompts.h"
#include "ServerAddress.h"
#include "ServerRights.h"
#include "UserState.h"

// The data tests run on a SQLite file, or, with CHEQUEPRINT_TEST_BACKEND=postgres, on a fresh
// database of the test server whose address CHEQUEPRINT_TEST_POSTGRES gives
// (postgresql://USER@HOST:PORT/DBNAME; scripts/test.sh starts one when it can).
inline bool onTestServer() {
    return qEnvironmentVariable("CHEQUEPRINT_TEST_BACKEND") == QStringLiteral("postgres");
}

// A plain Qt connection named `name` to a test database (a file, or a server's address), opened,
// that runs statements as they stand (EXPLAIN, or an older program's tables).
inline QSqlDatabase plainConnection(const QString& location, const QString& name) {
    QSqlDatabase db = QSqlDatabase::addDatabase(
        onTestServer() ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), name);
    if (!onTestServer()) {
        db.setDatabaseName(location);
    } else if (const std::optional<ServerAddress> address = parseServerAddress(location, nullptr)) {
        db.setHostName(address->host);
        db.setPort(address->port);
        db.setUserName(address->user);
        db.setDatabaseName(address->database);
        db.setConnectOptions(address->connectOptions);
    }
    db.open();
    return db;
}

// A database of its own on the test server, dropped again with everything in it.
class TestServerDatabase {
public:
    TestServerDatabase() {
        if (!onTestServer())
            return;
        QUrl url(qEnvironmentVariable("CHEQUEPRINT_TEST_POSTGRES"));
        const QString name = QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128);
        if (run(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' "
                               "LC_COLLATE 'C.UTF-8' LC_CTYPE 'C.UTF-8'")
                    .arg(name))) {
            m_name = name;
            url.setPath(u'/' + name);
            m_address = url.toString();
        }
    }
    ~TestServerDatabase() {
        if (!m_name.isEmpty())
            run(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
        for (const QString& role : m_roles)
            run(QStringLiteral("DROP ROLE IF EXISTS %1").arg(role));
    }
    TestServerDatabase(const TestServerDatabase&) = delete;
    TestServerDatabase& operator=(const TestServerDatabase&) = delete;

    // The new database's address; empty without a test server.
    const QString& address() const { return m_address; }

    // A login of this database's own for `name`, dropped with it; empty when it cannot be made.
    QString clerk(const QString& name) {
        const QString role = name + u'_' + m_name.right(8);
        if (m_name.isEmpty() || !run(QStringLiteral("CREATE ROLE %1 LOGIN").arg(role)))
            return {};
        m_roles << role;
        return role;
    }

    // Why the tests on the server cannot run; empty when they can.
    static QString missing() {
        if (qEnvironmentVariable("CHEQUEPRINT_TEST_POSTGRES").isEmpty())
            return QStringLiteral("no PostgreSQL test server (CHEQUEPRINT_TEST_POSTGRES unset)");
        QString reason;
        if (!run(QStringLiteral("SELECT 1"), &reason))
            return QStringLiteral("the PostgreSQL test server does not answer: ") + reason;
        return {};
    }

private:
    // Runs one statement on the server's own database.
    static bool run(const QString& sql, QString* reason = nullptr) {
        const QString connection = QUuid::createUuid().toString();
        bool ok = false;
        {
            QString why;
            const std::optional<ServerAddress> address =
                parseServerAddress(qEnvironmentVariable("CHEQUEPRINT_TEST_POSTGRES"), &why);
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
            if (address) {
                db.setHostName(address->host);
                db.setPort(address->port);
                db.setUserName(address->user);
                db.setDatabaseName(address->database);
                db.setConnectOptions(address->connectOptions);
                QSqlQuery query(db);
                ok = db.open() && query.exec(sql);
                why = db.lastError().isValid() ? db.lastError().text() : query.lastError().text();
            }
            if (reason)
                *reason = why;
        }
        QSqlDatabase::removeDatabase(connection);
        return ok;
    }

    QString m_name;
    QString m_address;
    QStringList m_roles;
};

// Skips the whole test class on the server run when there is no server to run on (fails in
// CI, see MissingSetUp.h).
#define SKIP_WITHOUT_TEST_SERVER()                             \
    do {                                                       \
        if (onTestServer()) {                                  \
            const QString why = TestServerDatabase::missing(); \
            if (!why.isEmpty())                                \
                SKIP_FOR_MISSING_SET_UP(why);                  \
        }                                                      \
    } while (false)

// A real database, created with the shipped schema and default format: a file in a temporary
// folder, or a database of the test server, that disappears with the test.
struct TestDatabase {
    QTemporaryDir dir;
    TestServerDatabase server;  // dropped after the connection below is closed
    ScriptedPrompts prompts;
    Database db{prompts};

    TestDatabase() {
        if (onTestServer())
            db.initialize(path());
        else
            db.open(path());
    }
    // The file, or the server database's address.
    QString path() const {
        return onTestServer() ? server.address() : dir.filePath(QStringLiteral("DATA.db"));
    }

    // Makes the database refuse `event` (INSERT, UPDATE ...) on the table, for the rows that meet
    // `condition` (written with NEW.column) or for all: a fault in the middle of a save.
    bool refuse(const QString& event, const QString& table, const QString& condition = {}) {
        if (!onTestServer())
            return db.execute(
                QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON %2 %3 BEGIN "
                               "SELECT RAISE(ABORT, 'refused'); END")
                    .arg(event, table,
                         condition.isEmpty() ? QString() : QStringLiteral("WHEN ") + condition));
        return db.execute(
                   QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE "
                                  "plpgsql AS $$ BEGIN RAISE EXCEPTION 'refused'; END $$")) &&
               db.execute(QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON %2 FOR EACH ROW %3 "
                                         "EXECUTE FUNCTION refuse()")
                              .arg(event, table,
                                   condition.isEmpty()
                                       ? QString()
                                       : QStringLiteral("WHEN (") + condition + u')'));
    }

    // Opens the same database as another user: another system login for a file, another
    // database login on the server (a member of the clerks' role; dropped with the
    // database). Returns the user's name, empty when it could not be opened.
    QString openAs(const QString& user, Database& other) {
        if (!onTestServer()) {
            const QByteArray login = qgetenv("USER");
            qputenv("USER", user.toUtf8());
            const bool opened = other.open(path());
            qputenv("USER", login);
            return opened ? user : QString();
        }
        const QString role = server.clerk(user);
        if (role.isEmpty() || !db.execute(QStringLiteral("GRANT %1 TO %2").arg(kClerkRole, role)))
            return {};
        QUrl url(path());
        url.setUserName(role);
        return other.open(url.toString()) ? role : QString();
    }

    // Every row of a query as text, the same on either engine: a row's values joined by "/",
    // rows by "|"; numbers in their shortest form, yes/no as 1/0, dates as yyyy-mm-dd.
    QString rows(const QString& sql, const QVariantList& values = {}) {
        QStringList rows;
        std::optional<QSqlQuery> query = db.select(sql, values);
        while (query && query->next()) {
            QStringList cells;
            for (int i = 0; i < query->record().count(); ++i) {
                const QVariant value = query->value(i);
                switch (value.typeId()) {
                    case QMetaType::Bool:
                        cells << QString::number(value.toBool() ? 1 : 0);
                        break;
                    case QMetaType::Double:
                    case QMetaType::Int:
                    case QMetaType::LongLong:
                    case QMetaType::ULongLong:
                        cells << QString::number(value.toDouble(), 'g', 15);
                        break;
                    case QMetaType::QDate:
                        cells << value.toDate().toString(Qt::ISODate);
                        break;
                    default:
                        cells << value.toString();
                }
            }
            rows << cells.join(u'/');
        }
        return rows.join(u'|');
    }

    // The current format stored for the user of the connection.
    QString currentFormat() { return storedCurrentFormat(db).value_or(QString()); }

    // The first column of the first row of a query, for checking what was stored.
    QVariant scalar(const QString& sql, const QVariantList& values = {}) {
        std::optional<QSqlQuery> query = db.select(sql, values);
        return query && query->next() ? query->value(0) : QVariant();
    }
};
