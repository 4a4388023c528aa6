#include "HistoryRecords.h"

#include "BoundGrid.h"
#include "Cheque.h"
#include "ChequeCheck.h"
#include "Clock.h"
#include "Database.h"
#include "FieldInput.h"
#include "GridRoutines.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

QVariant isoDate(const QDate& date) {
    return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
}

}  // namespace

QString historyTextColumn(int field) {
    switch (field) {
        case Field::Year:
        case Field::Month:
        case Field::Day:
        case Field::AmountInCapitals:  // derived again from the figures
        case Field::StubYear:
        case Field::StubMonth:
        case Field::StubDay:
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

bool SaveHistoryRecord(Database& db, const Cheque& cheque, const QDate& date, qint64* newId) {
    const QDate stub = stubDate(cheque);
    if (!stub.isValid())
        return false;
    // A printed cheque is only kept with the date it carries; the last input may hold any.
    const QDate issue = issueDate(cheque);
    if (!issue.isValid() && date != kLastInputDay)
        return false;

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
            assignments << sqlName(column) + u"=?"_s;
        sql = u"UPDATE 历史记录 SET "_s + assignments.join(u',') + u" WHERE ID=?"_s;
        values << existing;
    } else {
        QStringList names;
        for (const QString& column : columns)
            names << sqlName(column);
        sql = u"INSERT INTO 历史记录 ("_s + names.join(u',') + u") VALUES ("_s +
              QStringList(columns.size(), u"?"_s).join(u',') + u')';
    }
    bool ok = true;
    if (existing.isValid()) {
        ok = db.execute(sql, values);
    } else {
        const std::optional<qint64> id = db.insertReturningId(sql, values);
        ok = id.has_value();
        if (ok && newId)
            *newId = *id;
    }
    if (!ok || !transaction.commit()) {
        db.showStatementError(sql);
        return false;
    }
    return true;
}

bool SaveHistoryRecords(Database& db, const QList<Cheque>& cheques, const QDate& date,
                        QList<qint64>* ids) {
    Transaction transaction(db);
    QList<qint64> kept;
    for (const Cheque& cheque : cheques) {
        qint64 id = 0;
        if (!SaveHistoryRecord(db, cheque, date, &id))
            return false;
        kept << id;
    }
    if (!transaction.commit()) {
        db.showStatementError(u"COMMIT"_s);
        return false;
    }
    *ids = kept;
    return true;
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
    enterDate(cheque, clock.today(), prompts);
    return true;
}

void LoadLastInput(Database& db, Cheque& cheque, Prompts& prompts, const Clock& clock) {
    if (!LoadHistoryRecord(db, cheque, -1, prompts, clock))
        enterDate(cheque, clock.today(), prompts);
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
