#include "Database.h"

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
    if (!m_db.isValid())
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.close();
    const bool created = !QFileInfo::exists(path) && createPrivateFile(path);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    bool ok = m_db.open();
    if (ok) {
        // WAL keeps readers and the writer apart; FULL makes every commit durable.
        QSqlQuery pragma(m_db);
        ok = pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && pragma.next() &&
             pragma.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    }
    if (ok)
        ok = createSchema();
    if (!ok) {
        qWarning("chequeprint: cannot open the database %s: %s", qUtf8Printable(path),
                 qUtf8Printable(m_db.lastError().text()));
        m_db.close();
        if (created)
            QFile::remove(path);
        m_prompts.message(QStringLiteral("无法建立数据库连接！"), {}, PromptButtons::Ok);
    }
    return ok;
}

bool Database::createSchema() {
    QSqlQuery count(m_db);
    if (!count.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !count.next())
        return false;
    if (count.value(0).toInt() > 0)
        return true;
    // A new (or empty) file: schema and shipped format in one transaction.
    if (!m_db.transaction())
        return false;
    const QStringList statements = scriptStatements(resourceText(u":/schema.sql"_s)) +
                                   scriptStatements(resourceText(u":/default-format.sql"_s));
    QSqlQuery query(m_db);
    for (const QString& statement : statements) {
        if (!query.exec(statement)) {
            qWarning("chequeprint: %s: %s", qUtf8Printable(statement),
                     qUtf8Printable(query.lastError().text()));
            m_db.rollback();
            return false;
        }
    }
    return m_db.commit();
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

void Database::showStatementError(const QString& sql) {
    m_prompts.message(u"数据库打开错误("_s + sql + u")！"_s, {}, PromptButtons::Ok);
}
