#include "Database.h"

#include <QHash>
#include <QSqlError>
#include <QSqlRecord>

#include "DocumentKind.h"
#include "Prompts.h"
#include "SchemaUpgrades.h"
#include "ServerRights.h"
#include "UserState.h"

// The database's tables: created from the shipped schema and brought up to date step by step.

using namespace Qt::StringLiterals;

namespace {

// The version whose step gave formats, cheque books and history rows their kind.
constexpr int kKindStep = 11;

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
        for (const QString& statement : schemaScript())
            ok = ok && run(inServerDialect(statement));
        version = 1;
    }
    // Each run puts back the shipped format and the clerks' rights, whatever became of them.
    // The format's script also names it the current one, in the row that the step to each
    // user's own state moves; past that step, every user already has a current format.
    // From the step that gave formats their kind, the shipped one is the transfer cheque's.
    const DocumentKind& shipped = transferCheque();
    ok = ok &&
         (version >= kKindStep ? run(u"SELECT count(*) FROM 支票格式 WHERE 种类=? AND Name=?"_s,
                                     {shipped.id.toString(), shipped.shippedFormat.toString()})
                               : run(u"SELECT count(*) FROM 支票格式 WHERE Name=?"_s,
                                     {shipped.shippedFormat.toString()})) &&
         query.next();
    const bool formatMissing = ok && query.value(0).toInt() == 0;
    if (formatMissing) {
        for (const QString& statement : shippedFormatScript())
            ok = ok && run(statement);
        if (version >= kUserStateStep)
            ok = ok && run(u"DELETE FROM 支票格式 WHERE Name=''"_s);
    }
    ok = ok && upgradeFrom(version, run, reason) && addShippedFormatsOfNewKinds(run);
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
        const UpgradeStep& step = schemaUpgrades()[size_t(version - 1)];
        for (const QString& statement :
             step.statements + (m_server ? step.serverOnly : step.fileOnly))
            if (!run(m_server ? inServerDialect(statement) : statement))
                return false;
        if (step.movesUserState && !moveUserState(reason))
            return false;
    }
    return true;
}

bool Database::addShippedFormatsOfNewKinds(StatementRun& run) {
    // The transfer cheque's shipped format comes with a new database (and back on a server);
    // a kind the program learnt later brings its own to a database that has none of its.
    for (const DocumentKind* kind : documentKinds()) {
        if (kind->id == transferCheque().id)
            continue;
        if (!run(u"SELECT count(*) FROM 支票格式 WHERE 种类=?"_s, {kind->id.toString()}) ||
            !run.query.next())
            return false;
        if (run.query.value(0).toInt() > 0)
            continue;
        for (const QString& statement : shippedFormatScript(*kind))
            if (!run(statement))
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
        QStringList statements = schemaScript();
        if (!formatsExisted)  // a new file gets the shipped format
            statements += shippedFormatScript();
        for (const QString& statement : statements)
            ok = ok && run(statement);
        version = 1;
    }
    // Older files are brought up step by step, all in this one transaction.
    ok = ok && upgradeFrom(version, run, reason) && addShippedFormatsOfNewKinds(run);
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
