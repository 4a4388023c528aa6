#include "Database.h"

#include <algorithm>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

#include "DatabaseFiles.h"
#include "Prompts.h"
#include "ServerAddress.h"
#include "UserState.h"

using namespace Qt::StringLiterals;

namespace {

QString resourceText(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The statements of a script: "--" comment lines dropped, split at ";".
QStringList scriptStatements(const QString& script) {
    QString code;
    for (const QString& line : script.split(u'\n'))
        if (!line.trimmed().startsWith(u"--"))
            code += line + u'\n';
    QStringList statements;
    for (const QString& statement : code.split(u';'))
        if (!statement.trimmed().isEmpty())
            statements << statement.trimmed();
    return statements;
}

// The schema's version: PRAGMA user_version in a file, the one row of 数据库版本 on a server.
// Version 1 is the formats and the history; each later version is one step of upgrades().
constexpr int kSchemaVersion = 5;

// The statements of one step from version n + 1 to n + 2, some in one dialect only.
struct UpgradeStep {
    QStringList statements;
    QStringList fileOnly;
    QStringList serverOnly;
    bool movesUserState = false;  // then moves the last input and current format to 用户状态
};

// The one change the journal allows: an entry still marked 打印中 gets its outcome and, when
// the cheque was kept, its history row; every other column stays as written.
const QString kOutcomeOnlyChange =
    u"OLD.结果 = '打印中' AND NEW.结果 IN ('已打印', '打印失败') AND OLD.历史ID IS NULL "
    u"AND NEW.ID = OLD.ID AND NEW.时间 = OLD.时间 AND NEW.种类 = OLD.种类 "
    u"AND NEW.打印机 = OLD.打印机 AND NEW.格式 = OLD.格式 AND NEW.内容 = OLD.内容"_s;

// The journal's own triggers in a file, as the program creates them: no change but a print's
// outcome, no deletion, and no insertion over an existing entry (INSERT OR REPLACE would
// delete it without a trigger).
struct NamedTrigger {
    QString name;
    QString sql;
};
const std::vector<NamedTrigger>& fileJournalTriggers() {
    static const std::vector<NamedTrigger> triggers = {
        {u"打印日志_不可修改"_s,
         u"CREATE TRIGGER 打印日志_不可修改 BEFORE UPDATE ON 打印日志 WHEN NOT ("_s +
             kOutcomeOnlyChange + u") BEGIN SELECT RAISE(ABORT, '打印日志不可修改'); END"_s},
        {u"打印日志_不可删除"_s,
         u"CREATE TRIGGER 打印日志_不可删除 BEFORE DELETE ON 打印日志 "
         u"BEGIN SELECT RAISE(ABORT, '打印日志不可删除'); END"_s},
        {u"打印日志_不可覆盖"_s,
         u"CREATE TRIGGER 打印日志_不可覆盖 BEFORE INSERT ON 打印日志 WHEN NEW.ID IS NOT NULL "
         u"AND EXISTS (SELECT 1 FROM 打印日志 WHERE ID = NEW.ID) "
         u"BEGIN SELECT RAISE(ABORT, '打印日志不可覆盖'); END"_s},
    };
    return triggers;
}

// A statement's text for comparing: IF NOT EXISTS dropped, blanks collapsed.
QString comparable(QString sql) {
    static const QRegularExpression blanks(u"\\s+"_s);
    sql.replace(u"IF NOT EXISTS "_s, QString());
    return sql.replace(blanks, u" "_s).trimmed();
}

const std::vector<UpgradeStep>& upgrades() {
    static const std::vector<UpgradeStep> steps = {
        // 2: the print journal, which nothing may change or delete.
        {{u"CREATE TABLE IF NOT EXISTS 打印日志 ("
          u"ID INTEGER PRIMARY KEY AUTOINCREMENT, 时间 TEXT NOT NULL, 种类 TEXT NOT NULL, "
          u"打印机 TEXT NOT NULL DEFAULT '', 格式 TEXT NOT NULL DEFAULT '', 结果 TEXT NOT NULL, "
          u"历史ID INTEGER, 内容 TEXT NOT NULL DEFAULT '')"_s,
          u"CREATE INDEX IF NOT EXISTS 打印日志_时间 ON 打印日志 (时间)"_s},
         {u"CREATE TRIGGER IF NOT EXISTS 打印日志_不可修改 BEFORE UPDATE ON 打印日志 "
          u"BEGIN SELECT RAISE(ABORT, '打印日志不可修改'); END"_s,
          u"CREATE TRIGGER IF NOT EXISTS 打印日志_不可删除 BEFORE DELETE ON 打印日志 "
          u"BEGIN SELECT RAISE(ABORT, '打印日志不可删除'); END"_s},
         {u"CREATE OR REPLACE FUNCTION 打印日志_只增() RETURNS trigger LANGUAGE plpgsql AS $$ "
          u"BEGIN IF TG_OP = 'DELETE' THEN RAISE EXCEPTION '打印日志不可删除'; END IF; "
          u"RAISE EXCEPTION '打印日志不可修改'; END $$"_s,
          u"CREATE OR REPLACE TRIGGER 打印日志_不可修改 BEFORE UPDATE OR DELETE ON 打印日志 "
          u"FOR EACH ROW EXECUTE FUNCTION 打印日志_只增()"_s}},
        // 3: each user's own last input and current format, apart from other users'.
        {{u"CREATE TABLE IF NOT EXISTS 用户状态 (用户 TEXT NOT NULL PRIMARY KEY, "
          u"当前格式 TEXT NOT NULL DEFAULT '', 上次输入 TEXT NOT NULL DEFAULT '')"_s},
         {},
         {},
         true},
        // 4: a print is journalled as 打印中 before it is sent, and that one mark may change,
        // once, to its outcome (with the history row when the cheque was kept). Nothing else
        // of the journal may change.
        {{},
         {u"DROP TRIGGER IF EXISTS 打印日志_不可修改"_s, fileJournalTriggers()[0].sql},
         {u"CREATE OR REPLACE FUNCTION 打印日志_只增() RETURNS trigger LANGUAGE plpgsql AS $$ "
          u"BEGIN IF TG_OP = 'DELETE' THEN RAISE EXCEPTION '打印日志不可删除'; END IF; "_s
          u"IF "_s +
          kOutcomeOnlyChange +
          u" THEN RETURN NEW; END IF; RAISE EXCEPTION '打印日志不可修改'; END $$"_s}},
        // 5: in a file, no entry is written over another (a server's IDs are its own).
        {{}, {fileJournalTriggers()[2].sql}, {}},
    };
    return steps;
}

// A statement of the schema as PostgreSQL takes it: identity columns for AUTOINCREMENT, 64-bit
// integers (a colour such as 0x80000008 needs them), double precision.
QString forServer(QString statement) {
    statement.replace(u"INTEGER PRIMARY KEY AUTOINCREMENT"_s,
                      u"bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"_s);
    static const QRegularExpression integer(u"\\bINTEGER\\b"_s), real(u"\\bDOUBLE\\b"_s),
        falseDefault(u"\\bBOOLEAN DEFAULT 0\\b"_s);
    statement.replace(integer, u"bigint"_s);
    statement.replace(real, u"double precision"_s);
    statement.replace(falseDefault, u"BOOLEAN DEFAULT FALSE"_s);
    return statement;
}

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

// Runs the statements of creating or upgrading the tables on one query: those without values
// as they stand (a server refuses to prepare a CREATE); a failure names itself in `reason`.
struct Database::StatementRun {
    QSqlQuery& query;
    QString& reason;

    bool operator()(const QString& sql, const QVariantList& values = {}) {
        bool ok = values.isEmpty() ? query.exec(sql) : query.prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (ok && (values.isEmpty() || query.exec()))
            return true;
        reason = sql + u": "_s + query.lastError().text();
        return false;
    }
};

Database::Database(Prompts& prompts)
    : m_prompts(prompts),
      m_connectionName(u"chequeprint-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

Database::~Database() {
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
        qWarning("chequeprint: cannot open the database %s: %s", qUtf8Printable(location),
                 qUtf8Printable(reason));
        m_db.close();
        m_prompts.message(m_newerFile
                              ? u"该数据文件由更新版本的程序建立，请使用新版本的程序打开！"_s
                              : u"无法建立数据库连接！"_s,
                          {}, PromptButtons::Ok);
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
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open()) {
        reason = m_db.lastError().text();
        return false;
    }
    guardDatabaseFiles(path);
    // WAL keeps readers and the writer apart; FULL makes every commit durable.
    QSqlQuery pragma(m_db);
    if (pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && pragma.next() &&
        pragma.exec(QStringLiteral("PRAGMA synchronous=FULL")))
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

namespace {

// The advisory lock that keeps two administrators from creating the tables at once.
constexpr int kSchemaLock = 20261208;

const QString kNoServerSchema =
    u"the database has no tables of this program, or older ones: an administrator runs "
    u"\"chequeprint init-database --database ADDRESS\" once"_s;

}  // namespace

bool Database::refuseNewerSchema(int version, QString& reason) {
    reason = u"the %1 was made by a newer version of the program (schema %2, this one knows %3)"_s
                 .arg(m_server ? u"database"_s : u"file"_s)
                 .arg(version)
                 .arg(kSchemaVersion);
    m_newerFile = true;
    return false;
}

int Database::serverSchemaVersion() {
    QSqlQuery query(m_db);
    return query.exec(u"SELECT 版本 FROM 数据库版本"_s) && query.next() ? query.value(0).toInt()
                                                                        : 0;
}

bool Database::checkServerSchema(QString& reason) {
    const int version = serverSchemaVersion();
    if (version > kSchemaVersion)
        return refuseNewerSchema(version, reason);
    if (version < kSchemaVersion) {
        reason = kNoServerSchema;
        return false;
    }
    return true;
}

bool Database::createServerSchema(QString& reason) {
    QSqlQuery query(m_db);
    StatementRun run{query, reason};
    // Two administrators at once: the second waits for the first's tables.
    bool ok = m_db.transaction() && run(u"SELECT pg_advisory_xact_lock(%1)"_s.arg(kSchemaLock));
    ok = ok && run(u"CREATE TABLE IF NOT EXISTS 数据库版本 (版本 integer NOT NULL)"_s);
    const int found = ok ? serverSchemaVersion() : 0;
    int version = found;
    if (ok && version > kSchemaVersion) {
        m_db.rollback();
        return checkServerSchema(reason);
    }
    if (ok && version < 1) {
        for (const QString& statement : scriptStatements(resourceText(u":/schema.sql"_s)))
            ok = ok && run(forServer(statement));
        ok = ok && run(u"SELECT count(*) FROM 支票格式"_s) && query.next();
        if (ok && query.value(0).toInt() == 0)
            for (const QString& statement :
                 scriptStatements(resourceText(u":/default-format.sql"_s)))
                ok = ok && run(statement);
        version = 1;
    }
    ok = ok && upgradeFrom(version, run, reason);
    if (ok && found != kSchemaVersion)
        ok = run(u"DELETE FROM 数据库版本"_s) &&
             run(u"INSERT INTO 数据库版本 (版本) VALUES (%1)"_s.arg(kSchemaVersion));
    ok = ok && m_db.commit();
    if (!ok)
        m_db.rollback();
    return ok;
}

bool Database::upgradeFrom(int version, StatementRun& run, QString& reason) {
    for (; version < kSchemaVersion; ++version) {
        const UpgradeStep& step = upgrades()[size_t(version - 1)];
        for (const QString& statement :
             step.statements + (m_server ? step.serverOnly : step.fileOnly))
            if (!run(m_server ? forServer(statement) : statement))
                return false;
        if (step.movesUserState && !moveUserState(reason))
            return false;
    }
    return true;
}

bool Database::moveUserState(QString& reason) {
    QSqlQuery query(m_db);
    StatementRun run{query, reason};
    // Before, one database had one last input (the history row of 1900-01-01) and one current
    // format (the format row without a name). A file's now belong to its user; a server's,
    // upgraded by an administrator, are where each clerk starts from (user '').
    QString current = u""_s;  // a null text would be bound as NULL
    bool ok = run(u"SELECT CtlDF FROM 支票格式 WHERE Name='' ORDER BY ID LIMIT 1"_s);
    if (ok && query.next())
        current = query.value(0).toString();
    QHash<QString, QString> lastInput;
    ok = ok && run(u"SELECT * FROM 历史记录 WHERE Dat=? ORDER BY ID LIMIT 1"_s, {u"1900-01-01"_s});
    if (ok && query.next()) {
        static const QStringList notTexts = {u"id"_s, u"dat"_s, u"出票日期"_s, u"日期(票根)"_s};
        const QSqlRecord row = query.record();
        for (int i = 0; i < row.count(); ++i)
            if (!notTexts.contains(row.fieldName(i).toLower()))
                lastInput.insert(row.fieldName(i), row.value(i).toString());
    }
    if (ok && (!current.isEmpty() || !lastInput.isEmpty()))
        ok = run(u"INSERT INTO 用户状态 (用户, 当前格式, 上次输入) VALUES (?, ?, ?)"_s,
                 {m_server ? u""_s : m_user, current,
                  lastInput.isEmpty() ? u""_s : lastInputText(lastInput)});
    return ok && run(u"DELETE FROM 支票格式 WHERE Name=''"_s) &&
           run(u"DELETE FROM 历史记录 WHERE Dat=?"_s, {u"1900-01-01"_s});
}

bool Database::createSchema(QString& reason) {
    // One exclusive transaction: a second program starting at the same moment waits here,
    // then finds the tables and the default format in place.
    QSqlQuery query(m_db);
    if (!query.exec(u"BEGIN IMMEDIATE"_s)) {
        reason = query.lastError().text();
        return false;
    }
    StatementRun run{query, reason};
    bool ok = run(u"PRAGMA user_version"_s) && query.next();
    const int found = ok ? query.value(0).toInt() : 0;
    int version = found;
    if (ok && version > kSchemaVersion)
        ok = refuseNewerSchema(version, reason);
    if (ok && version < 1) {
        ok = run(u"SELECT count(*) FROM sqlite_master WHERE type='table' AND name='支票格式'"_s) &&
             query.next();
        const bool formatsExisted = ok && query.value(0).toInt() > 0;
        QStringList statements = scriptStatements(resourceText(u":/schema.sql"_s));
        if (!formatsExisted)  // a new file gets the shipped format
            statements += scriptStatements(resourceText(u":/default-format.sql"_s));
        for (const QString& statement : statements)
            ok = ok && run(statement);
        version = 1;
    }
    // Older files are brought up step by step, all in this one transaction.
    ok = ok && upgradeFrom(version, run, reason);
    // A file whose tables are gone (or stand in as views) is refused now, not action by action.
    for (const QString& table : {u"支票格式"_s, u"历史记录"_s, u"打印日志"_s, u"用户状态"_s}) {
        ok = ok &&
             run(u"SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?"_s, {table}) &&
             query.next();
        if (ok && query.value(0).toInt() == 0) {
            reason = u"the file has no table "_s + table;
            ok = false;
        }
    }
    if (ok && found < kSchemaVersion)
        ok = run(u"PRAGMA user_version=%1"_s.arg(kSchemaVersion));
    ok = ok && run(u"COMMIT"_s);
    if (!ok)
        QSqlQuery(m_db).exec(u"ROLLBACK"_s);
    return ok;
}

void Database::restoreJournalTriggers() {
    // Only on the user's own file: restoring needs no one else's permission, and says so.
    if (QFileInfo(m_path).ownerId() != uint(geteuid()))
        return;
    QStringList restored;
    for (const NamedTrigger& trigger : fileJournalTriggers()) {
        QSqlQuery query(m_db);
        query.prepare(u"SELECT count(*) FROM sqlite_master WHERE type='trigger' AND name=?"_s);
        query.addBindValue(trigger.name);
        if (query.exec() && query.next() && query.value(0).toInt() == 0 &&
            QSqlQuery(m_db).exec(trigger.sql))
            restored << trigger.name;
    }
    if (restored.isEmpty())
        return;
    qWarning("chequeprint: the journal's triggers were missing and are restored: %s",
             qUtf8Printable(restored.join(u", "_s)));
    m_prompts.message(u"打印日志的保护触发器已被删除，现已恢复："_s + restored.join(u"、"_s), {},
                      PromptButtons::Ok);
}

QString Database::journalTampering() {
    if (m_server)
        return {};
    auto names = [this](const QString& sql, const QVariantList& values = {}) {
        QStringList found;
        std::optional<QSqlQuery> query = run(sql, values, true);
        while (query && query->next())
            found << query->value(0).toString();
        return found;
    };
    for (const QString& table : {u"打印日志"_s, u"历史记录"_s})
        if (names(u"SELECT type FROM sqlite_master WHERE name=?"_s, {table}) !=
            QStringList{u"table"_s})
            return table + u"不是数据表"_s;
    const QStringList columns = names(u"SELECT name FROM pragma_table_info('打印日志')"_s);
    for (const QString& column :
         {u"ID"_s, u"时间"_s, u"种类"_s, u"打印机"_s, u"格式"_s, u"结果"_s, u"历史ID"_s, u"内容"_s})
        if (!columns.contains(column))
            return u"打印日志缺少列"_s + column;
    // Triggers on the two tables, and triggers or views anywhere that name them.
    const QString touching =
        u"(tbl_name IN ('打印日志', '历史记录') OR sql LIKE '%打印日志%' OR sql LIKE '%历史记录%')"_s;
    const QStringList views =
        names(u"SELECT name FROM sqlite_master WHERE type='view' AND "_s + touching);
    if (!views.isEmpty())
        return u"有视图引用：%1"_s.arg(views.join(u"、"_s));
    std::optional<QSqlQuery> triggers = run(
        u"SELECT name, sql FROM sqlite_master WHERE type='trigger' AND "_s + touching, {}, true);
    int own = 0;
    while (triggers && triggers->next()) {
        const QString name = triggers->value(0).toString();
        const auto ours = std::find_if(fileJournalTriggers().begin(), fileJournalTriggers().end(),
                                       [&](const NamedTrigger& t) { return t.name == name; });
        if (ours == fileJournalTriggers().end())
            return u"有其他触发器：%1"_s.arg(name);
        if (comparable(triggers->value(1).toString()) != comparable(ours->sql))
            return u"触发器%1已被改动"_s.arg(name);
        ++own;
    }
    if (!triggers)
        return u"无法读取打印日志的结构"_s;
    if (own != int(fileJournalTriggers().size()))
        return u"缺少保护触发器"_s;
    return {};
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
    return true;
}

std::optional<QSqlQuery> Database::select(const QString& sql, const QVariantList& values) {
    std::optional<QSqlQuery> query = run(sql, values, true);
    if (!query)
        showStatementError(sql);
    return query;
}

bool Database::execute(const QString& sql, const QVariantList& values) {
    // Without values the statement runs as it stands: a server refuses to prepare a CREATE.
    return run(sql, values, !values.isEmpty()).has_value();
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
