#include "Database.h"

#include <algorithm>
#include <vector>

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>

#include "GridSortKey.h"
#include "Prompts.h"
#include "ProtectiveTriggers.h"
#include "RegisterRules.h"
#include "ServerRights.h"
#include "UserState.h"

// The database's tables: created from the shipped schema and brought up to date step by step.

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
constexpr int kSchemaVersion = 10;

// The statements of one step from version n + 1 to n + 2, some in one dialect only.
struct UpgradeStep {
    QStringList statements;
    QStringList fileOnly;
    QStringList serverOnly;
    bool movesUserState = false;  // then moves the last input and current format to 用户状态
};

// The version whose step moved the current format and the last input to 用户状态.
constexpr int kUserStateStep = 3;

// The time of day of the earliest journal entry that kept each history row.
const QString kTimesFromJournal =
    u"UPDATE 历史记录 SET 时刻 = (SELECT substr(min(时间), 12, 8) FROM 打印日志 "
    u"WHERE 打印日志.历史ID = 历史记录.ID) WHERE 时刻 IS NULL"_s;

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
         {u"DROP TRIGGER IF EXISTS 打印日志_不可修改"_s, fileUpdateTrigger(false)},
         {serverUpdateFunction(false)}},
        // 5: in a file, no entry is written over another (a server's IDs are its own).
        {{}, {fileJournalTriggers()[2].sql}, {}},
        // 6: the journal names the login that printed, which no change may alter.
        {{u"ALTER TABLE 打印日志 ADD COLUMN 用户 TEXT NOT NULL DEFAULT ''"_s},
         {u"DROP TRIGGER IF EXISTS 打印日志_不可修改"_s, fileJournalTriggers()[0].sql},
         {serverUpdateFunction(true)}},
        // 7: the history grid sorts and pages in the database: indexes for the columns a
        // cashier sorts and picks from (a server's payee in the bytes' order, as a file's is);
        // a server also keeps the grid's sort key as a function, for reading the rows in the
        // grid's order (a file's connections make it themselves).
        {{u"CREATE INDEX IF NOT EXISTS 历史记录_出票日期 ON 历史记录 (出票日期)"_s,
          u"CREATE INDEX IF NOT EXISTS 历史记录_收款人全称 ON 历史记录 (收款人全称)"_s,
          u"CREATE INDEX IF NOT EXISTS 历史记录_金额 ON 历史记录 (金额)"_s},
         {},
         {serverGridSortKeyFunction(),
          u"CREATE INDEX IF NOT EXISTS 历史记录_收款人排序 ON 历史记录 (收款人全称 COLLATE \"C\", ID)"_s,
          u"CREATE INDEX IF NOT EXISTS 历史记录_打印时间 ON 历史记录 (Dat NULLS FIRST, ID)"_s,
          u"CREATE INDEX IF NOT EXISTS 历史记录_出票日期排序 ON 历史记录 (出票日期 NULLS FIRST, ID)"_s}},
        // 8: the cheque books of the accounts and the fate of every number taken from them. A
        // number is never deleted; it goes from 打印中 to 已打印 or 已作废, and a printed one
        // may still be voided; what it was taken for never changes. A kept cheque's history row
        // names the number it was printed on (empty for a cheque without one); a server whose
        // recorded version lags behind its tables gets the column only when it lacks it
        // (SQLite knows no ADD COLUMN IF NOT EXISTS).
        {{u"CREATE TABLE IF NOT EXISTS 支票簿 (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
          u"账号 TEXT NOT NULL, 前缀 TEXT NOT NULL DEFAULT '', 起始号码 INTEGER NOT NULL, "
          u"终止号码 INTEGER NOT NULL, 领用日期 TEXT NOT NULL DEFAULT '', "
          u"已结束 INTEGER NOT NULL DEFAULT 0)"_s,
          u"CREATE INDEX IF NOT EXISTS 支票簿_账号 ON 支票簿 (账号, 起始号码)"_s,
          u"CREATE TABLE IF NOT EXISTS 支票号码 (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
          u"支票簿ID INTEGER NOT NULL REFERENCES 支票簿 (ID), 号码 INTEGER NOT NULL, "
          u"状态 TEXT NOT NULL, 时间 TEXT NOT NULL, 用户 TEXT NOT NULL DEFAULT '', "
          u"出票日期 TEXT NOT NULL DEFAULT '', 收款人 TEXT NOT NULL DEFAULT '', "
          u"金额 TEXT NOT NULL DEFAULT '', 历史ID INTEGER, 重打次数 INTEGER NOT NULL DEFAULT 0, "
          u"作废原因 TEXT NOT NULL DEFAULT '', 作废时间 TEXT NOT NULL DEFAULT '', "
          u"替代ID INTEGER, 打印取号 INTEGER NOT NULL DEFAULT 1, UNIQUE (支票簿ID, 号码))"_s},
         {u"ALTER TABLE 历史记录 ADD COLUMN 支票号码 TEXT DEFAULT ''"_s,
          u"CREATE TRIGGER IF NOT EXISTS 支票号码_不可删除 BEFORE DELETE ON 支票号码 "
          u"BEGIN SELECT RAISE(ABORT, '支票号码不可删除'); END"_s,
          u"CREATE TRIGGER IF NOT EXISTS 支票号码_不可修改 BEFORE UPDATE ON 支票号码 WHEN NOT ("_s +
              numberChangeAllowed() + u") BEGIN SELECT RAISE(ABORT, '支票号码不可修改'); END"_s},
         {u"ALTER TABLE 历史记录 ADD COLUMN IF NOT EXISTS 支票号码 TEXT DEFAULT ''"_s,
          u"CREATE OR REPLACE FUNCTION 支票号码_只增() RETURNS trigger LANGUAGE plpgsql AS $$ "
          u"BEGIN IF TG_OP = 'DELETE' THEN RAISE EXCEPTION '支票号码不可删除'; END IF; "
          u"IF "_s +
              numberChangeAllowed() +
              u" THEN RETURN NEW; END IF; RAISE EXCEPTION '支票号码不可修改'; END $$"_s,
          u"CREATE OR REPLACE TRIGGER 支票号码_不可修改 BEFORE UPDATE OR DELETE ON 支票号码 "
          u"FOR EACH ROW EXECUTE FUNCTION 支票号码_只增()"_s}},
        // 9: a voided number names who voided it. A file's register gets the rest of its own
        // triggers; a server writes that login and the time of the void itself, and keeps the
        // books and the numbers to what the program would write.
        {{},
         {u"ALTER TABLE 支票号码 ADD COLUMN 作废人 TEXT NOT NULL DEFAULT ''"_s,
          fileRegisterTriggers()[2].sql, fileRegisterTriggers()[3].sql,
          fileRegisterTriggers()[4].sql, fileRegisterTriggers()[5].sql,
          fileRegisterTriggers()[6].sql},
         QStringList{
             u"ALTER TABLE 支票号码 ADD COLUMN IF NOT EXISTS 作废人 TEXT NOT NULL DEFAULT ''"_s} +
             serverRegisterRules()},
        // 10: a history row keeps the time of day it was printed (hh:mm:ss, empty for rows
        // kept without one); the rows kept before take theirs from the journal entry that kept
        // them, found through an index of the entries' history rows.
        {{u"CREATE INDEX IF NOT EXISTS 打印日志_历史ID ON 打印日志 (历史ID)"_s},
         {u"ALTER TABLE 历史记录 ADD COLUMN 时刻 TEXT"_s, kTimesFromJournal},
         {u"ALTER TABLE 历史记录 ADD COLUMN IF NOT EXISTS 时刻 TEXT"_s, kTimesFromJournal}},
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
    // The rights below go to two roles; a login that can neither create them nor find them
    // would fail on a statement that tells an administrator nothing.
    if (run(clerkRolesReadyQuery()) && query.next() && !query.value(0).toBool()) {
        reason = u"the login may not create roles"_s;
        m_prompts.message(missingCreateRoleMessage(), {}, PromptButtons::Ok);
        m_failureShown = true;
        return false;
    }
    // Two administrators at once: the second waits for the first's tables.
    bool ok = m_db.transaction() && run(u"SELECT pg_advisory_xact_lock(%1)"_s.arg(kSchemaLock));
    // Statements that change nothing ("... does not exist, skipping") are not worth a line.
    ok = ok && run(u"SET LOCAL client_min_messages = warning"_s);
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
        version = 1;
    }
    // Each run puts back the shipped format and the clerks' rights, whatever became of them.
    // The format's script also names it the current one, in the row that the step to each
    // user's own state moves; past that step, every user already has a current format.
    ok = ok && run(u"SELECT count(*) FROM 支票格式 WHERE Name='标准支票'"_s) && query.next();
    const bool formatMissing = ok && query.value(0).toInt() == 0;
    if (formatMissing) {
        for (const QString& statement : scriptStatements(resourceText(u":/default-format.sql"_s)))
            ok = ok && run(statement);
        if (version >= kUserStateStep)
            ok = ok && run(u"DELETE FROM 支票格式 WHERE Name=''"_s);
    }
    ok = ok && upgradeFrom(version, run, reason);
    if (ok && found != kSchemaVersion)
        ok = run(u"DELETE FROM 数据库版本"_s) &&
             run(u"INSERT INTO 数据库版本 (版本) VALUES (%1)"_s.arg(kSchemaVersion));
    ok = ok && run(u"SELECT current_setting('TimeZone')"_s) && query.next();
    for (const QString& statement : serverRightsStatements(ok ? query.value(0).toString() : u""_s))
        ok = ok && run(statement);
    QStringList moved;  // logins that had rights of their own
    ok = ok && run(loginsWithOwnRightsQuery());
    while (ok && query.next())
        moved << query.value(0).toString();
    for (const QString& login : moved)
        for (const QString& statement : moveLoginToClerkRole(login))
            ok = ok && run(statement);
    ok = ok && m_db.commit();
    if (!ok) {
        m_db.rollback();
        return false;
    }
    if (formatMissing && found >= 1)
        m_prompts.message(u"标准支票格式已丢失，现已恢复。"_s, {}, PromptButtons::Ok);
    if (!moved.isEmpty())
        m_prompts.message(
            u"以下用户的表权限已改为通过角色 %1 取得：%2"_s.arg(kClerkRole, moved.join(u"、"_s)),
            {}, PromptButtons::Ok);
    return true;
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
