#include "PayeeImport.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlQuery>

#include "Database.h"
#include "DocumentKind.h"
#include "PayeeBook.h"
#include "PaymentList.h"

using namespace Qt::StringLiterals;

namespace {

// One row of the list: its line and its values by heading, without the blanks around them.
struct ListedPayee {
    int line = 0;
    QHash<QString, QString> values;
};

// The rows of the list, or nothing with every problem of the list in `why`.
std::optional<QList<ListedPayee>> listedPayees(const PaymentList& list, QString* why) {
    QStringList problems;
    for (const QString& heading : list.headings)
        if (!heading.isEmpty() && !kPayeeListHeadings.contains(heading))
            problems << u"不认识的标题：%1（可用：%2）"_s.arg(heading,
                                                              kPayeeListHeadings.join(u"、"_s));
        else if (!heading.isEmpty() && list.headings.count(heading) > 1 &&
                 !problems.contains(u"标题重复：%1"_s.arg(heading)))
            problems << u"标题重复：%1"_s.arg(heading);  // which column counts would be chance
    if (!list.headings.contains(u"全称"_s))
        problems << u"没有“全称”列"_s;
    if (!problems.isEmpty()) {
        *why = problems.join(u'\n');
        return std::nullopt;
    }
    QList<ListedPayee> rows;
    QSet<QString> names;
    for (const PaymentList::Row& row : list.rows) {
        ListedPayee listed{row.line, {}};
        QString problem;
        for (qsizetype c = 0; c < list.headings.size(); ++c) {
            if (list.headings[c].isEmpty())
                continue;
            listed.values.insert(list.headings[c], row.cells.value(c).trimmed());
            if (problem.isEmpty() && row.cellProblems.contains(int(c)))
                problem = list.headings[c] + u"："_s + row.cellProblems.value(int(c));
        }
        // What a person checking the sheet does not see must not go into the book.
        if (row.hidden)
            problem = u"该行在表格中被隐藏"_s;
        const QString name = listed.values.value(u"全称"_s);
        if (problem.isEmpty() && name.isEmpty())
            problem = kNoFullName;
        if (problem.isEmpty() && names.contains(name))
            problem = u"全称重复"_s;
        names.insert(name);
        if (!problem.isEmpty())
            problems << u"第%1行：%2"_s.arg(row.line).arg(problem);
        rows << listed;
    }
    if (!problems.isEmpty()) {
        *why = problems.join(u'\n');
        return std::nullopt;
    }
    return rows;
}

// The entry with the row's values that are not empty; whether that changed it.
bool takeValues(Payee& payee, const ListedPayee& row) {
    const Payee before = payee;
    const std::pair<QString, QString*> fields[] = {{u"打印名称"_s, &payee.printName},
                                                   {u"账号"_s, &payee.account},
                                                   {u"开户银行"_s, &payee.bank},
                                                   {u"用途"_s, &payee.purpose},
                                                   {u"备注"_s, &payee.notes}};
    for (const auto& [heading, value] : fields)
        if (const QString given = row.values.value(heading); !given.isEmpty())
            *value = given;
    return payee.printName != before.printName || payee.account != before.account ||
           payee.bank != before.bank || payee.purpose != before.purpose ||
           payee.notes != before.notes;
}

}  // namespace

std::optional<PayeeImportCount> importPayeeList(Database& db, const QString& path, QString* why) {
    why->clear();
    const std::optional<PaymentList> list = readPaymentListFile(path, why);
    if (!list)
        return std::nullopt;
    const std::optional<QList<ListedPayee>> rows = listedPayees(*list, why);
    if (!rows)
        return std::nullopt;
    PayeeImportCount count;
    const bool ok = db.atomically([&] {
        count = {};
        for (const ListedPayee& row : *rows) {
            const QString name = row.values.value(u"全称"_s);
            std::optional<Payee> entry;
            if (!findPayee(db, name, &entry))
                return false;
            Payee payee = entry.value_or(Payee{.fullName = name});
            const bool changed = takeValues(payee, row);
            if (!entry) {
                if (!addPayee(db, payee, why))
                    return false;
                ++count.added;
            } else if (changed) {
                if (!editPayee(db, payee, why))
                    return false;
                ++count.updated;
            }
        }
        return true;
    });
    if (!ok)
        return std::nullopt;
    return count;
}

std::optional<PayeeImportCount> importHistoryPayees(Database& db) {
    PayeeImportCount count;
    QString why;
    const bool ok = db.atomically([&] {
        count = {};
        // The kind's part of the history's index of the kind and the payee, read once; and
        // every name of the book, the removed ones too.
        QSet<QString> known;
        std::optional<QSqlQuery> query = db.select(u"SELECT 全称 FROM 往来单位"_s);
        if (!query)
            return false;
        while (query->next())
            known.insert(query->value(0).toString());
        // A server's query is done with before the next one runs: finishing it later would
        // drain the next one's rows.
        query.reset();
        query =
            db.select(u"SELECT DISTINCT 收款人全称 FROM 历史记录 WHERE 种类=? AND 收款人全称<>''"_s,
                      {transferCheque().id.toString()});
        if (!query)
            return false;
        QStringList names;
        while (query->next())
            if (const QString name = query->value(0).toString().trimmed();
                !name.isEmpty() && !known.contains(name)) {
                known.insert(name);
                names << name;
            }
        query.reset();
        names.sort();  // the same IDs on either engine
        for (const QString& name : std::as_const(names)) {
            if (!addPayee(db, Payee{.fullName = name}, &why))
                return false;
            ++count.added;
        }
        return true;
    });
    if (!ok)
        return std::nullopt;
    return count;
}
