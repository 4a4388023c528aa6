#include "PayeePickList.h"

#include <algorithm>

#include <QHash>
#include <QSqlQuery>

#include "Database.h"
#include "PayeeBook.h"

using namespace Qt::StringLiterals;

QStringList payeePickList(Database& db, const QString& kind) {
    const std::optional<QList<Payee>> book = payees(db);
    if (!book)
        return {};
    // The kind's part of the history's index of the kind and the payee, read once: each name
    // with its count, without reading the table. Counted here rather than one entry at a time,
    // so that a name kept with blanks around it counts for its entry too.
    std::optional<QSqlQuery> query = db.select(
        u"SELECT 收款人全称, COUNT(*) FROM 历史记录 WHERE 种类=? GROUP BY 收款人全称"_s, {kind});
    if (!query)
        return {};
    QHash<QString, qint64> used;
    while (query->next())
        if (const QString name = query->value(0).toString().trimmed(); !name.isEmpty())
            used[name] += query->value(1).toLongLong();
    query.reset();

    // The book by full name, then the most used first: a stable sort keeps the names' order
    // among entries used as often.
    QList<Payee> entries = *book;
    std::ranges::stable_sort(entries, std::ranges::greater{},
                             [&](const Payee& payee) { return used.value(payee.fullName); });
    QStringList list;
    for (const Payee& payee : std::as_const(entries)) {
        list << payee.fullName;
        used.remove(payee.fullName);
    }
    // What is left is the history's own: in the order of the characters' codes, the same on
    // either engine.
    QStringList others = used.keys();
    others.sort();
    return list + others;
}
