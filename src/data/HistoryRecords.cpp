#include "HistoryRecords.h"

#include <QRegularExpression>

#include "BoundGrid.h"
#include "Cheque.h"
#include "Clock.h"
#include "Database.h"
#include "DateCapitals.h"
#include "FieldInput.h"
#include "GridRoutines.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

QString quoted(const QString& column) {
    return u'"' + column + u'"';
}

QVariant isoDate(const QDate& date) {
    return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
}

// The date written by "year-month-day" in digits; a one- or two-digit year is taken as
// 2000-2029 or 1930-1999. Anything else is no date.
QDate stubDate(const Cheque& cheque) {
    static const QRegularExpression pattern(
        u"^\\s*(\\d{1,4})\\s*-\\s*(\\d{1,2})\\s*-\\s*(\\d{1,2})\\s*$"_s);
    const QString text = cheque.text(stubField(1)) + u'-' + cheque.text(stubField(2)) + u'-' +
                         cheque.text(stubField(3));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    int year = match.captured(1).toInt();
    if (match.captured(1).size() <= 2)
        year += year < 30 ? 2000 : 1900;
    return QDate(year, match.captured(2).toInt(), match.captured(3).toInt());
}

}  // namespace

QString historyTextColumn(int field) {
    switch (field) {
        case 0:
        case 1:
        case 2:
        case 4:  // issue date parts, amount in capitals
        case 11:
        case 12:
        case 13:  // stub date parts
            return {};
        default:
            return chequeFields()[size_t(field)].historyColumn.toString();
    }
}

QStringList historyTextColumns() {
    QStringList columns;
    for (int i = 0; i < kPrintableFieldCount; ++i)
        if (const QString column = historyTextColumn(i); !column.isEmpty())
            columns << column;
    return columns;
}

bool SaveHistoryRecord(Database& db, const Cheque& cheque, const QDate& date) {
    const QDate stub = stubDate(cheque);
    if (!stub.isValid())
        return false;
    const QDate issue = CapitalDateToDate(cheque.text(0), cheque.text(1), cheque.text(2));

    QStringList columns = {u"Dat"_s, u"出票日期"_s, u"日期(票根)"_s};
    QVariantList values = {isoDate(date), isoDate(issue), isoDate(stub)};
    for (int i = 0; i < kPrintableFieldCount; ++i) {
        if (const QString column = historyTextColumn(i); !column.isEmpty()) {
            columns << column;
            values << cheque.text(i);
        }
    }

    Transaction transaction(db);
    QVariant existing;
    if (date == kLastInputDay) {
        std::optional<QSqlQuery> query = db.select(
            u"SELECT ID FROM 历史记录 WHERE Dat=? ORDER BY ID LIMIT 1"_s, {kLastInputDate});
        if (!query)
            return false;
        if (query->next())
            existing = query->value(0);
    }
    QString sql;
    if (existing.isValid()) {
        QStringList assignments;
        for (const QString& column : columns)
            assignments << quoted(column) + u"=?"_s;
        sql = u"UPDATE 历史记录 SET "_s + assignments.join(u',') + u" WHERE ID=?"_s;
        values << existing;
    } else {
        QStringList names;
        for (const QString& column : columns)
            names << quoted(column);
        sql = u"INSERT INTO 历史记录 ("_s + names.join(u',') + u") VALUES ("_s +
              QStringList(columns.size(), u"?"_s).join(u',') + u')';
    }
    return db.execute(sql, values) && transaction.commit();
}

bool LoadHistoryRecord(Database& db, Cheque& cheque, qint32 id, Prompts& prompts,
                       const Clock& clock) {
    std::optional<QSqlQuery> query =
        id < 0 ? db.select(u"SELECT * FROM 历史记录 WHERE Dat=? ORDER BY ID LIMIT 1"_s,
                           {kLastInputDate})
               : db.select(u"SELECT * FROM 历史记录 WHERE ID=?"_s, {id});
    if (!query || !query->next())
        return false;
    for (int i = 0; i < kPrintableFieldCount; ++i)
        if (const QString column = historyTextColumn(i); !column.isEmpty())
            cheque.setText(i, query->value(column).toString());

    // A reloaded cheque always carries today's date.
    const QDate today = clock.today();
    const int parts[] = {today.year(), today.month(), today.day()};
    for (int part = 0; part < 3; ++part) {
        const QString digits = QString::number(parts[part]);
        cheque.setText(bodyField(part), digits);
        cheque.setText(stubField(part + 1), digits);
        leaveBodyField(cheque, part, prompts);
    }
    return true;
}

bool DeleteHistoryRows(Database& db, BoundGrid& grid, int first, int last, Prompts& prompts) {
    OrderPair(first, last);
    if (first < grid.fixedRows() || last >= grid.rows())
        return false;
    const QString question =
        u"您确定要删除第"_s + grid.text(first, 1) + u"至第"_s + grid.text(last, 1) + u"行记录？"_s;
    if (prompts.message(question, {}, PromptButtons::YesNo) != PromptAnswer::Yes)
        return false;

    const QString sql = u"DELETE FROM 历史记录 WHERE ID=?"_s;
    Transaction transaction(db);
    for (int r = first; r <= last; ++r) {
        if (!db.execute(sql, {grid.text(r, 0).toLongLong()})) {
            db.showStatementError(sql);
            return false;
        }
    }
    if (!transaction.commit()) {
        db.showStatementError(sql);
        return false;
    }
    RemoveGridRows(grid, first, last);
    return true;
}

bool DeleteAllHistory(Database& db, BoundGrid& grid, Prompts& prompts) {
    if (!grid.hasDataRows())
        return false;
    if (prompts.message(u"您确定要删除所有打印记录？"_s, {}, PromptButtons::YesNo) !=
        PromptAnswer::Yes)
        return false;
    const QString sql = u"DELETE FROM 历史记录"_s;
    if (!db.execute(sql)) {
        db.showStatementError(sql);
        return false;
    }
    RemoveGridRows(grid, grid.fixedRows(), grid.rows() - 1);
    return true;
}
