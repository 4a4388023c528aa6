#include "Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

#include "DatabaseFiles.h"
#include "GridSortKey.h"
#include "Prompts.h"
#include "ServerAddress.h"

using namespace Qt::StringLiterals;

namespace {

// The login of whoever runs the program, as the system names it.
QString systemLogin() {
    for (const char* variable : {"USER", "USERNAME", "LOGNAME"})
        if (const QString login = qEnvironmentVariable(variable); !login.isEmpty())
            return login;
#ifdef Q_OS_UNIX
    if (const passwd* account = getpwuid(getuid()))  // a service without a login environment
        return QString::fromLocal8Bit(account->pw_name);
#endif
    return QDir::home().dirName();
}

// Creates an empty file readable and writable by its owner only; SQLite gives its journal
// files the same permissions.
bool createPrivateFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

}  // namespace

Database::~Database() {
    closeHolds();
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

QString Database::defaultPath() {
    const QString portable = QCoreApplication::applicationDirPath() + u"/DATA.db"_s;
    if (QFileInfo::exists(portable))
        return portable;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/DATA.db"_s;
}

void Database::useDriver(const QString& driver) {
    if (m_db.isValid() && m_db.driverName() == driver) {
        m_db.close();
        return;
    }
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    m_db = QSqlDatabase::addDatabase(driver, m_connectionName);
}

bool Database::open(const QString& location) {
    return openAndPrepare(location, false);
}

bool Database::initialize(const QString& location) {
    return openAndPrepare(location, true);
}

bool Database::openAndPrepare(const QString& location, bool initialize) {
    m_path = location;
    m_newerFile = false;
    m_failureShown = false;
    m_server = isServerAddress(location);
    QString reason;
    bool ok = m_server ? connectServer(location, reason) : openFile(location, reason);
    if (ok)
        ok = !m_server    ? createSchema(reason)
             : initialize ? createServerSchema(reason)
                          : checkServerSchema(reason);
    if (ok && !m_server)
        restoreJournalTriggers();
    if (!ok) {
        m_db.close();
        const QString shown = shownDatabaseLocation(location);
        if (m_newerFile) {
            qWarning("chequeprint: cannot open the database %s: %s", qUtf8Printable(shown),
                     qUtf8Printable(reason));
            m_prompts.message(u"该数据文件由更新版本的程序建立，请使用新版本的程序打开！"_s, {},
                              PromptButtons::Ok);
        } else if (!m_failureShown) {
            // Which database, and why, for whoever has to put it right.
            m_prompts.message(u"无法建立数据库连接！\n"_s + shown + u"："_s + reason.simplified(),
                              {}, PromptButtons::Ok);
        }
    }
    return ok;
}

bool Database::openFile(const QString& path, QString& reason) {
    useDriver(u"QSQLITE"_s);
    // A missing file is created for its owner only. When another process creates it at the
    // same moment, this fails harmlessly and both go on with the one file. An existing file
    // is never replaced, and never deleted.
    if (!QFileInfo::exists(path))
        createPrivateFile(path);
    m_user = systemLogin();
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=%1"_s.arg(m_busyTimeout));
    if (!m_db.open()) {
        reason = m_db.lastError().text();
        return false;
    }
    guardDatabaseFiles(path);
    // The history grid sorts in the database with the grid's own order.
    if (!registerGridSortKey(m_db)) {
        reason = u"the SQLite driver gives no connection handle"_s;
        return false;
    }
    // WAL keeps readers and the writer apart; FULL makes every commit durable. Switching the
    // file to WAL needs it to itself, and SQLite does not always wait for that as it waits
    // for its locks (a new file that several programs open at the same moment): the switch is
    // tried again, a few milliseconds apart, until the busy timeout.
    QSqlQuery pragma(m_db);
    QElapsedTimer waited;
    waited.start();
    while (!(pragma.exec(u"PRAGMA journal_mode=WAL"_s) && pragma.next())) {
        noteFailure(pragma.lastError());
        if (!m_busy || waited.elapsed() >= m_busyTimeout) {
            reason = pragma.lastError().text();
            return false;
        }
        QThread::msleep(5 + QRandomGenerator::global()->bounded(20));
    }
    pragma.finish();
    if (pragma.exec(u"PRAGMA synchronous=FULL"_s))
        return true;
    reason = pragma.lastError().text();
    return false;
}

bool Database::connectServer(const QString& location, QString& reason) {
    const std::optional<ServerAddress> address = parseServerAddress(location, &reason);
    if (!address)
        return false;
    if (!QSqlDatabase::isDriverAvailable(u"QPSQL"_s)) {
        reason = u"the PostgreSQL driver of Qt is not installed (libqt6sql6-psql)"_s;
        return false;
    }
    useDriver(u"QPSQL"_s);
    m_db.setHostName(address->host);
    m_db.setPort(address->port);
    m_db.setUserName(address->user);
    m_db.setDatabaseName(address->database);
    m_db.setConnectOptions(address->connectOptions);
    if (!m_db.open()) {
        reason = m_db.lastError().text();
        return false;
    }
    QSqlQuery login(m_db);
    if (!login.exec(u"SELECT current_user"_s) || !login.next()) {
        reason = login.lastError().text();
        return false;
    }
    m_user = login.value(0).toString();
    return true;
}

std::optional<QSqlQuery> Database::run(const QString& sql, const QVariantList& values,
                                       bool prepared) {
    if (m_server && m_transactionDepth == 0 && !isRead(sql)) {
        // A write on its own runs in a transaction of its own, whose BEGIN connects again to a
        // server that went away; a write that failed on a broken connection is not run twice.
        Transaction own(*this);
        std::optional<QSqlQuery> query;
        if (own.active())
            query = runStatement(sql, values, prepared);
        return query && own.commit() ? query : std::nullopt;
    }
    return runStatement(sql, values, prepared);
}

std::optional<QSqlQuery> Database::runStatement(const QString& sql, const QVariantList& values,
                                                bool prepared) {
    if (m_watch)
        m_watch(sql, values);
    for (int attempt = 0;; ++attempt) {
        ++m_statementsRun;
        m_busy = false;
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        bool ok = !prepared || query.prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        ok = ok && (prepared ? query.exec() : query.exec(sql));
        if (ok)
            return query;
        const QSqlError error = query.lastError();
        qWarning("chequeprint: %s: %s", qUtf8Printable(sql), qUtf8Printable(error.text()));
        noteFailure(error);
        // Once a statement of a transaction failed for a passing reason, the ones after it fail
        // only because of that one.
        m_retryable = m_retryable || (m_server && isPassingFailure(error.nativeErrorCode()));
        // Only a read is run again: a write may have been done by the server before the
        // connection broke.
        if (attempt > 0 || !isRead(sql) || !reconnectAfterLoss())
            return std::nullopt;
    }
}

bool Database::isPassingFailure(const QString& code) {
    // A serialization failure or a deadlock: the other transaction has ended by now. A lost
    // connection is not one: its transaction may have committed before it broke, and the
    // next action connects again (reconnectAfterLoss).
    return code == u"40001" || code == u"40P01";
}

bool Database::isRead(const QString& sql) {
    return sql.startsWith(u"SELECT "_s) || sql.startsWith(u"PRAGMA table_info"_s);
}

bool Database::reconnectAfterLoss() {
    // Inside a transaction everything before is lost with the connection: the transaction
    // fails, and the next one connects again at its BEGIN.
    if (!m_server || m_transactionDepth > 0)
        return false;
    if (QSqlQuery probe(m_db); probe.exec(u"SELECT 1"_s))
        return false;  // the connection is fine: the statement itself failed
    // A server out of reach (no answer until the connect timeout) costs one wait for the
    // statements of one action, not one each; a refusal, as while a server restarts, is tried
    // again at once.
    constexpr qint64 kPauseAfterSlowFailure = 5000;  // ms
    if (m_reconnectTimedOut.isValid() && m_reconnectTimedOut.elapsed() < kPauseAfterSlowFailure)
        return false;
    m_db.close();
    QElapsedTimer attempt;
    attempt.start();
    if (!m_db.open()) {
        qWarning("chequeprint: cannot connect to the database again: %s",
                 qUtf8Printable(m_db.lastError().text()));
        if (attempt.elapsed() >= 1000)
            m_reconnectTimedOut.start();
        return false;
    }
    m_reconnectTimedOut.invalidate();
    qWarning("chequeprint: the connection to the database was lost; connected again");
    holdAgainAfterReconnect();
    return true;
}

std::optional<QSqlQuery> Database::select(const QString& sql, const QVariantList& values) {
    std::optional<QSqlQuery> query = run(sql, values, true);
    if (!query)
        showStatementError(sql);
    return query;
}

void Database::setBusyTimeout(int milliseconds) {
    m_busyTimeout = milliseconds;
    if (!m_server && m_db.isOpen())
        QSqlQuery(m_db).exec(u"PRAGMA busy_timeout=%1"_s.arg(milliseconds));
}

std::optional<qint64> Database::othersChangeCounter() {
    if (m_server)
        return std::nullopt;
    QSqlQuery query(m_db);
    if (!query.exec(u"PRAGMA data_version"_s) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

bool Database::execute(const QString& sql, const QVariantList& values) {
    // Without values the statement runs as it stands: a server refuses to prepare a CREATE.
    return run(sql, values, !values.isEmpty()).has_value();
}

std::optional<int> Database::changeRows(const QString& sql, const QVariantList& values) {
    std::optional<QSqlQuery> query = run(sql, values, true);
    if (!query)
        return std::nullopt;
    return query->numRowsAffected();
}

std::optional<qint64> Database::insertReturningId(const QString& sql, const QVariantList& values) {
    std::optional<QSqlQuery> query = run(sql + u" RETURNING ID"_s, values, true);
    if (!query || !query->next())
        return std::nullopt;
    const qint64 id = query->value(0).toLongLong();
    query->finish();  // a statement still stepping would keep a file's transaction from ending
    return id;
}

QHash<QString, QString> Database::declaredTypes(const QString& table) {
    QHash<QString, QString> types;
    QString quoted = table;
    quoted.replace(u'"', u"\"\""_s);
    // Through run(): this is often the first statement after a server restart.
    std::optional<QSqlQuery> query =
        m_server ? run(u"SELECT column_name, data_type FROM information_schema.columns "
                       u"WHERE table_schema = current_schema() AND table_name = ?"_s,
                       {table}, true)
                 : run(u"PRAGMA table_info(\""_s + quoted + u"\")"_s, {}, false);
    const int name = m_server ? 0 : 1;
    while (query && query->next())
        types.insert(query->value(name).toString().toLower(), query->value(name + 1).toString());
    return types;
}

QString sqlName(const QString& name) {
    static const QRegularExpression plain(u"^[\\p{L}_][\\p{L}\\p{N}_]*$"_s);
    if (plain.match(name).hasMatch())
        return name;
    return u'"' + QString(name).replace(u'"', u"\"\""_s) + u'"';
}

bool Database::transaction() {
    if (m_transactionDepth == 0) {
        if (!begin() && !(reconnectAfterLoss() && begin()))
            return false;
        m_transactionFailed = false;
    }
    ++m_transactionDepth;
    return true;
}

bool Database::begin() {
    m_busy = false;
    if (m_server) {
        if (m_db.transaction())
            return true;
        noteFailure(m_db.lastError());
        return false;
    }
    // A file's transaction takes the write lock at once (waiting for another writer up to
    // the busy timeout): one that read first could not write after another's commit.
    QSqlQuery begin(m_db);
    if (begin.exec(u"BEGIN IMMEDIATE"_s))
        return true;
    qWarning("chequeprint: BEGIN: %s", qUtf8Printable(begin.lastError().text()));
    noteFailure(begin.lastError());
    return false;
}

void Database::noteFailure(const QSqlError& error) {
    // SQLite: SQLITE_BUSY, SQLITE_LOCKED (and their extended codes); a server: lock_not_available.
    const QString code = error.nativeErrorCode();
    m_busy = m_server ? code == u"55P03" : (code.toInt() & 0xff) == 5 || (code.toInt() & 0xff) == 6;
}

bool Database::lockName(int space, const QString& name) {
    if (!m_server)
        return m_transactionDepth > 0;  // the file's write lock is held already
    // Held to the end of the transaction; two names that hash alike only wait for each other.
    return m_transactionDepth > 0 &&
           execute(u"SELECT pg_advisory_xact_lock(%1, hashtext(?))"_s.arg(space), {name});
}

bool Database::atomically(const std::function<bool()>& work) {
    if (m_transactionDepth > 0) {  // part of the caller's transaction, which runs again whole
        Transaction transaction(*this);
        return work() && transaction.commit();
    }
    constexpr int kAttempts = 5;
    for (int attempt = 1;; ++attempt) {
        m_retryable = false;
        m_quietRetry = m_server && attempt < kAttempts;
        const bool ok = runTransaction(work);
        const bool again = !ok && m_retryable && m_quietRetry;
        m_quietRetry = false;
        if (!again)
            return ok;
        qWarning("chequeprint: the transaction is run again (attempt %d)", attempt + 1);
        // Two clerks that collided wait apart, so they do not collide again at once.
        QThread::msleep(20 + QRandomGenerator::global()->bounded(30 << attempt));
    }
}

bool Database::runTransaction(const std::function<bool()>& work) {
    Transaction transaction(*this);
    if (!transaction.active()) {  // nothing may run outside the transaction
        showStatementError(u"BEGIN"_s);
        return false;
    }
    if (!work())
        return false;  // the failing statement was shown
    if (transaction.commit())
        return true;
    showStatementError(u"COMMIT"_s);
    return false;
}

bool Database::commit() {
    if (m_transactionDepth == 0)
        return false;
    if (--m_transactionDepth > 0)
        return !m_transactionFailed;
    // A failed COMMIT is never run again: whether it took effect is not known.
    if (!m_transactionFailed && m_db.commit())
        return true;
    if (!m_transactionFailed) {
        qWarning("chequeprint: COMMIT: %s", qUtf8Printable(m_db.lastError().text()));
        noteFailure(m_db.lastError());
    }
    m_db.rollback();
    return false;
}

void Database::rollback() {
    if (m_transactionDepth == 0)
        return;
    m_transactionFailed = true;
    if (--m_transactionDepth == 0)
        m_db.rollback();
}

void Database::showStatementError(const QString& sql) {
    if (m_quietRetry && m_retryable)
        return;  // the transaction runs again; only its last failure is shown
    m_prompts.message(u"数据库打开错误("_s + sql + u")！"_s +
                          (m_busy ? u"\n数据库正被其他程序使用，请稍后再试。"_s : QString()),
                      {}, PromptButtons::Ok);
}

QString likePatternContaining(const QString& text) {
    QString pattern = u"%"_s;
    for (const QChar c : text) {
        if (c == u'%' || c == u'_' || c == u'\\')
            pattern += u'\\';
        pattern += c;
    }
    return pattern + u'%';
}
