#include "Database.h"

#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QStandardPaths>
#include <QUuid>

#include "Prompts.h"

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

// The schema's version in PRAGMA user_version. Version 1 is the formats and the history;
// each later version is one step of kUpgrades.
constexpr int kSchemaVersion = 2;

// The statements that bring a file from version n + 1 to n + 2 (version 1 to 2 is the first).
const std::vector<QStringList>& upgrades() {
    static const std::vector<QStringList> steps = {
        // 2: the print journal, which nothing may change or delete.
        {u"CREATE TABLE IF NOT EXISTS 打印日志 ("
         u"ID INTEGER PRIMARY KEY AUTOINCREMENT, 时间 TEXT NOT NULL, 种类 TEXT NOT NULL, "
         u"打印机 TEXT NOT NULL DEFAULT '', 格式 TEXT NOT NULL DEFAULT '', 结果 TEXT NOT NULL, "
         u"历史ID INTEGER, 内容 TEXT NOT NULL DEFAULT '')"_s,
         u"CREATE INDEX IF NOT EXISTS 打印日志_时间 ON 打印日志 (时间)"_s,
         u"CREATE TRIGGER IF NOT EXISTS 打印日志_不可修改 BEFORE UPDATE ON 打印日志 "
         u"BEGIN SELECT RAISE(ABORT, '打印日志不可修改'); END"_s,
         u"CREATE TRIGGER IF NOT EXISTS 打印日志_不可删除 BEFORE DELETE ON 打印日志 "
         u"BEGIN SELECT RAISE(ABORT, '打印日志不可删除'); END"_s},
    };
    return steps;
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

bool Database::open(const QString& path) {
    m_path = path;
    m_newerFile = false;
    if (!m_db.isValid())
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.close();
    // A missing file is created for its owner only. When another process creates it at the
    // same moment, this fails harmlessly and both go on with the one file. An existing file
    // is never replaced, and never deleted.
    if (!QFileInfo::exists(path))
        createPrivateFile(path);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    QString reason;
    bool ok = m_db.open();
    if (!ok)
        reason = m_db.lastError().text();
    if (ok) {
        // WAL keeps readers and the writer apart; FULL makes every commit durable.
        QSqlQuery pragma(m_db);
        ok = pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && pragma.next() &&
             pragma.exec(QStringLiteral("PRAGMA synchronous=FULL"));
        if (!ok)
            reason = pragma.lastError().text();
    }
    if (ok)
        ok = createSchema(reason);
    if (!ok) {
        qWarning("chequeprint: cannot open the database %s: %s", qUtf8Printable(path),
                 qUtf8Printable(reason));
        m_db.close();
        m_prompts.message(m_newerFile
                              ? u"该数据文件由更新版本的程序建立，请使用新版本的程序打开！"_s
                              : u"无法建立数据库连接！"_s,
                          {}, PromptButtons::Ok);
    }
    return ok;
}

bool Database::createSchema(QString& reason) {
    // One exclusive transaction: a second program starting at the same moment waits here,
    // then finds the tables and the default format in place.
    QSqlQuery query(m_db);
    if (!query.exec(u"BEGIN IMMEDIATE"_s)) {
        reason = query.lastError().text();
        return false;
    }
    auto run = [&](const QString& statement) {
        if (query.exec(statement))
            return true;
        reason = statement + u": "_s + query.lastError().text();
        return false;
    };
    bool ok = run(u"PRAGMA user_version"_s) && query.next();
    const int found = ok ? query.value(0).toInt() : 0;
    int version = found;
    if (ok && version > kSchemaVersion) {
        reason =
            u"the file was made by a newer version of the program (schema %1, this one "
            u"knows %2)"_s.arg(version)
                .arg(kSchemaVersion);
        m_newerFile = true;
        ok = false;
    }
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
    for (; ok && version < kSchemaVersion; ++version)
        for (const QString& statement : upgrades()[size_t(version - 1)])
            ok = ok && run(statement);
    if (ok && found < kSchemaVersion)
        ok = run(u"PRAGMA user_version=%1"_s.arg(kSchemaVersion));
    ok = ok && run(u"COMMIT"_s);
    if (!ok)
        QSqlQuery(m_db).exec(u"ROLLBACK"_s);
    return ok;
}

std::optional<QSqlQuery> Database::select(const QString& sql, const QVariantList& values) {
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    bool ok = query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    ok = ok && query.exec();
    if (!ok) {
        qWarning("chequeprint: %s: %s", qUtf8Printable(sql),
                 qUtf8Printable(query.lastError().text()));
        showStatementError(sql);
        return std::nullopt;
    }
    return query;
}

bool Database::execute(const QString& sql, const QVariantList& values) {
    QSqlQuery query(m_db);
    bool ok = query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    ok = ok && query.exec();
    if (!ok)
        qWarning("chequeprint: %s: %s", qUtf8Printable(sql),
                 qUtf8Printable(query.lastError().text()));
    return ok;
}

QHash<QString, QString> Database::declaredTypes(const QString& table) {
    QHash<QString, QString> types;
    QString quoted = table;
    quoted.replace(u'"', u"\"\""_s);
    QSqlQuery query(m_db);
    if (query.exec(u"PRAGMA table_info(\""_s + quoted + u"\")"_s))
        while (query.next())
            types.insert(query.value(1).toString(), query.value(2).toString());
    return types;
}

bool Database::transaction() {
    if (m_transactionDepth == 0) {
        if (!m_db.transaction())
            return false;
        m_transactionFailed = false;
    }
    ++m_transactionDepth;
    return true;
}

bool Database::commit() {
    if (m_transactionDepth == 0)
        return false;
    if (--m_transactionDepth > 0)
        return !m_transactionFailed;
    if (!m_transactionFailed && m_db.commit())
        return true;
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
    m_prompts.message(u"数据库打开错误("_s + sql + u")！"_s, {}, PromptButtons::Ok);
}
