#include "PayeeBook.h"

#include <QSqlQuery>

#include "Database.h"

using namespace Qt::StringLiterals;

namespace {

const QString kColumns = u"ID, 全称, 打印名称, 账号, 开户银行, 用途, 备注, 本单位"_s;

Payee payeeOf(const QSqlQuery& query) {
    return {query.value(0).toLongLong(), query.value(1).toString(),  query.value(2).toString(),
            query.value(3).toString(),   query.value(4).toString(),  query.value(5).toString(),
            query.value(6).toString(),   query.value(7).toInt() != 0};
}

// A null text would be bound as NULL, which the columns refuse.
QString orEmpty(const QString& text) {
    return text.isNull() ? u""_s : text;
}

// The name is free unless an entry other than `self` has it.
bool nameIsFree(Database& db, const QString& fullName, qint64 self, QString* why) {
    std::optional<Payee> other;
    if (!db.lockName(kPayeeNameLocks, fullName) || !findPayee(db, fullName, &other))
        return false;
    if (other && other->id != self) {
        *why = payeeExistsMessage(fullName);
        return false;
    }
    return true;
}

}  // namespace

QString payeeExistsMessage(const QString& fullName) {
    return u"往来单位已存在：%1"_s.arg(fullName);
}

QString noSuchPayeeMessage(const QString& fullName) {
    return u"没有这个往来单位：%1"_s.arg(fullName);
}

std::optional<qint64> addPayee(Database& db, const Payee& entered, QString* why) {
    why->clear();
    const QString fullName = entered.fullName.trimmed();
    if (fullName.isEmpty()) {
        *why = kNoFullName;
        return std::nullopt;
    }
    std::optional<qint64> id;
    const bool ok = db.atomically([&] {
        if (!nameIsFree(db, fullName, 0, why))
            return false;
        id = db.insertReturningId(
            u"INSERT INTO 往来单位 (全称, 打印名称, 账号, 开户银行, 用途, 备注, 本单位) "
            u"VALUES (?,?,?,?,?,?,?)"_s,
            {fullName, orEmpty(entered.printName), orEmpty(entered.account), orEmpty(entered.bank),
             orEmpty(entered.purpose), orEmpty(entered.notes), entered.own ? 1 : 0});
        return id.has_value();
    });
    return ok ? id : std::nullopt;
}

bool editPayee(Database& db, const Payee& entered, QString* why) {
    why->clear();
    const QString fullName = entered.fullName.trimmed();
    if (fullName.isEmpty()) {
        *why = kNoFullName;
        return false;
    }
    return db.atomically([&] {
        if (!nameIsFree(db, fullName, entered.id, why))
            return false;
        const std::optional<int> changed = db.changeRows(
            u"UPDATE 往来单位 SET 全称=?, 打印名称=?, 账号=?, 开户银行=?, 用途=?, 备注=?, 本单位=? "
            u"WHERE ID=? AND 已删除=0"_s,
            {fullName, orEmpty(entered.printName), orEmpty(entered.account), orEmpty(entered.bank),
             orEmpty(entered.purpose), orEmpty(entered.notes), entered.own ? 1 : 0, entered.id});
        if (changed == 0)
            *why = noSuchPayeeMessage(fullName);
        return changed == 1;
    });
}

bool removePayee(Database& db, const QString& fullName, QString* why) {
    why->clear();
    const std::optional<int> changed = db.changeRows(
        u"UPDATE 往来单位 SET 已删除=1 WHERE 全称=? AND 已删除=0"_s, {fullName.trimmed()});
    if (changed == 0)
        *why = noSuchPayeeMessage(fullName.trimmed());
    return changed == 1;
}

bool findPayee(Database& db, const QString& fullName, std::optional<Payee>* found) {
    // The condition on 已删除 is the one of the unique index: the lookup is one seek in it.
    std::optional<QSqlQuery> query = db.select(
        u"SELECT "_s + kColumns + u" FROM 往来单位 WHERE 全称=? AND 已删除=0"_s, {fullName});
    if (!query)
        return false;
    *found = query->next() ? std::optional<Payee>(payeeOf(*query)) : std::nullopt;
    return true;
}

std::optional<QList<Payee>> payees(Database& db, const QString& containing) {
    QString sql = u"SELECT "_s + kColumns + u" FROM 往来单位 WHERE 已删除=0"_s;
    QVariantList values;
    if (!containing.isEmpty()) {
        // A file's LIKE matches Latin letters in either case, and only those; so does a
        // server's ILIKE in the collation "C".
        const QString like =
            db.isServer() ? u" COLLATE \"C\" ILIKE ? ESCAPE '\\'"_s : u" LIKE ? ESCAPE '\\'"_s;
        sql += u" AND (全称"_s + like + u" OR 账号"_s + like + u" OR 开户银行"_s + like + u')';
        const QString pattern = likePatternContaining(containing);
        values = {pattern, pattern, pattern};
    }
    std::optional<QSqlQuery> query = db.select(sql + u" ORDER BY 全称, ID"_s, values);
    if (!query)
        return std::nullopt;
    QList<Payee> found;
    while (query->next())
        found << payeeOf(*query);
    return found;
}
