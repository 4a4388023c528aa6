#include "UserState.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "Database.h"

using namespace Qt::StringLiterals;

namespace {

// The user's own value, else the one every user starts from (user ''); empty is unset.
std::optional<QString> storedColumn(Database& db, const QString& column) {
    std::optional<QSqlQuery> row =
        db.select(u"SELECT "_s + column + u" FROM 用户状态 WHERE 用户 IN (?, '') AND "_s + column +
                      u"<>'' ORDER BY 用户 DESC LIMIT 1"_s,
                  {db.userName()});
    if (!row)
        return std::nullopt;
    return row->next() ? row->value(0).toString() : QString();
}

// One statement, so two programs of one user writing at once cannot make two rows.
bool storeColumn(Database& db, const QString& column, const QString& value) {
    const QString sql = u"INSERT INTO 用户状态 (用户, "_s + column +
                        u") VALUES (?, ?) ON CONFLICT (用户) DO UPDATE SET "_s + column +
                        u"=excluded."_s + column;
    return db.execute(sql, {db.userName(), value.isNull() ? u""_s : value});  // never NULL
}

}  // namespace

std::optional<QString> storedCurrentFormat(Database& db) {
    return storedColumn(db, u"当前格式"_s);
}

bool storeCurrentFormat(Database& db, const QString& name) {
    return storeColumn(db, u"当前格式"_s, name);
}

std::optional<QHash<QString, QString>> storedLastInput(Database& db) {
    const std::optional<QString> text = storedColumn(db, u"上次输入"_s);
    if (!text)
        return std::nullopt;
    QHash<QString, QString> texts;
    const QJsonObject object = QJsonDocument::fromJson(text->toUtf8()).object();
    for (auto it = object.begin(); it != object.end(); ++it)
        texts.insert(it.key(), it.value().toString());
    return texts;
}

bool storeLastInput(Database& db, const QHash<QString, QString>& texts) {
    return storeColumn(db, u"上次输入"_s, lastInputText(texts));
}

QString lastInputText(const QHash<QString, QString>& texts) {
    QJsonObject object;
    for (auto it = texts.begin(); it != texts.end(); ++it)
        object.insert(it.key(), it.value());
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}
