#include "UserState.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "Database.h"

using namespace Qt::StringLiterals;

namespace {

// The user's own value for the kind, else the one every user starts from (user ''); empty is
// unset.
std::optional<QString> storedColumn(Database& db, const QString& column, const QString& kind) {
    std::optional<QSqlQuery> row = db.select(
        u"SELECT "_s + column + u" FROM 用户种类状态 WHERE 用户 IN (?, '') AND 种类 = ? AND "_s +
            column + u"<>'' ORDER BY 用户 DESC LIMIT 1"_s,
        {db.userName(), kind});
    if (!row)
        return std::nullopt;
    return row->next() ? row->value(0).toString() : QString();
}

// One statement, so two programs of one user writing at once cannot make two rows.
bool storeColumn(Database& db, const QString& column, const QString& kind, const QString& value) {
    const QString sql = u"INSERT INTO 用户种类状态 (用户, 种类, "_s + column +
                        u") VALUES (?, ?, ?) ON CONFLICT (用户, 种类) DO UPDATE SET "_s + column +
                        u"=excluded."_s + column;
    return db.execute(sql, {db.userName(), kind, value.isNull() ? u""_s : value});  // never NULL
}

}  // namespace

std::optional<QString> storedCurrentKind(Database& db) {
    std::optional<QSqlQuery> row = db.select(
        u"SELECT 当前种类 FROM 用户状态 WHERE 用户 IN (?, '') AND 当前种类<>'' "
        u"ORDER BY 用户 DESC LIMIT 1"_s,
        {db.userName()});
    if (!row)
        return std::nullopt;
    return row->next() ? row->value(0).toString() : kTransferCheque;
}

bool storeCurrentKind(Database& db, const QString& kind) {
    return db.execute(
        u"INSERT INTO 用户状态 (用户, 当前种类) VALUES (?, ?) "
        u"ON CONFLICT (用户) DO UPDATE SET 当前种类=excluded.当前种类"_s,
        {db.userName(), kind});
}

std::optional<QString> storedCurrentFormat(Database& db, const QString& kind) {
    return storedColumn(db, u"当前格式"_s, kind);
}

bool storeCurrentFormat(Database& db, const QString& name, const QString& kind) {
    return storeColumn(db, u"当前格式"_s, kind, name);
}

std::optional<QHash<QString, QString>> storedLastInput(Database& db, const QString& kind) {
    const std::optional<QString> text = storedColumn(db, u"上次输入"_s, kind);
    if (!text)
        return std::nullopt;
    QHash<QString, QString> texts;
    const QJsonObject object = QJsonDocument::fromJson(text->toUtf8()).object();
    for (auto it = object.begin(); it != object.end(); ++it)
        texts.insert(it.key(), it.value().toString());
    return texts;
}

bool storeLastInput(Database& db, const QHash<QString, QString>& texts, const QString& kind) {
    return storeColumn(db, u"上次输入"_s, kind, lastInputText(texts));
}

QString lastInputText(const QHash<QString, QString>& texts) {
    QJsonObject object;
    for (auto it = texts.begin(); it != texts.end(); ++it)
        object.insert(it.key(), it.value());
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}
