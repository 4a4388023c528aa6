#include "HistoryRecords.h"

#include <algorithm>

#include "ChequeCheck.h"
#include "Clock.h"
#include "Database.h"
#include "Document.h"
#include "FieldInput.h"
#include "GridRoutines.h"
#include "HistoryList.h"
#include "Prompts.h"
#include "TextCharacters.h"
#include "UserState.h"

using namespace Qt::StringLiterals;

namespace {

QVariant isoDate(const QDate& date) {
    return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
}

}  // namespace

QString historyTextColumn(const DocumentKind& kind, int field) {
    // The dates are kept as dates; the amount in capitals is derived again from the figures.
    const ChequeFieldInfo& info = kind.fields[size_t(field)];
    switch (info.input) {
        case FieldInput::Date:
        case FieldInput::DateFigures:
        case FieldInput::Digits:
        case FieldInput::Derived:
            return {};
        case FieldInput::Text:
        case FieldInput::Figures:
            return info.historyColumn.toString();
    }
    return {};
}

QStringList historyTextColumns(const DocumentKind& kind) {
    QStringList columns;
    for (int i = 0; i < int(kind.fields.size()); ++i)
        if (const QString column = historyTextColumn(kind, i); !column.isEmpty())
            columns << column;
    return columns;
}

bool SaveHistoryRecord(Database& db, const Document& cheque, const PrintedAt& date, qint64* newId,
                       const QString& number) {
    // A date that is not printed is kept empty when it is no real date; a printed one must be
    // real (checked before printing).
    const QDate stub = stubDate(cheque);
    const QDate issue = issueDate(cheque);
    if ((!stub.isValid() && cheque.stubVisible()) || (!issue.isValid() && issueDatePrinted(cheque)))
        return false;

    QStringList columns = {u"Dat"_s,
                           u"时刻"_s,
                           sqlName(issueDateColumn()),
                           sqlName(stubDateColumn()),
                           sqlName(kHistoryNumberColumn),
                           u"种类"_s};
    // A null text would be bound as NULL: a cheque without a number keeps an empty one.
    QVariantList values = {isoDate(date.date),
                           date.time.isValid() ? QVariant(date.time.toString(u"HH:mm:ss"_s))
                                               : QVariant(QMetaType::fromType<QString>()),
                           isoDate(issue),
                           isoDate(stub),
                           number.isNull() ? u""_s : number,
                           cheque.kind().id.toString()};
    for (int i = 0; i < int(cheque.kind().fields.size()); ++i) {
        if (const QString column = historyTextColumn(cheque.kind(), i); !column.isEmpty()) {
            columns << sqlName(column);
            values << cheque.text(i);
        }
    }
    // A slip filled from a kept cheque names it, which then shows that its slip was printed.
    if (cheque.sourceId() > 0) {
        columns << u"来源ID"_s;
        values << cheque.sourceId();
    }
    const QString sql = u"INSERT INTO 历史记录 ("_s + columns.join(u',') + u") VALUES ("_s +
                        QStringList(columns.size(), u"?"_s).join(u',') + u')';
    const std::optional<qint64> id = db.insertReturningId(sql, values);
    if (!id) {
        db.showStatementError(sql);
        return false;
    }
    if (newId)
        *newId = *id;
    return true;
}

bool saveLastInput(Database& db, const Document& cheque) {
    // Dates are not kept: a reloaded cheque carries today's date. A character the database
    // would not keep as it is (a cheque with one never prints) comes back as U+FFFD, never
    // as other text.
    QHash<QString, QString> texts;
    for (int i = 0; i < int(cheque.kind().fields.size()); ++i)
        if (const QString column = historyTextColumn(cheque.kind(), i); !column.isEmpty())
            texts.insert(column, storableText(cheque.text(i)));
    if (storeLastInput(db, texts, cheque.kind().id.toString()))
        return true;
    db.showStatementError(u"INSERT INTO 用户种类状态"_s);
    return false;
}

bool saveHistoryRecords(Database& db, const QList<Document>& cheques, const PrintedAt& date,
                        QList<qint64>* ids, const QStringList& numbers) {
    QList<qint64> kept;
    const bool ok = db.atomically([&] {
        kept.clear();
        for (qsizetype i = 0; i < cheques.size(); ++i) {
            qint64 id = 0;
            if (!SaveHistoryRecord(db, cheques[i], date, &id, numbers.value(i, u""_s)))
                return false;
            kept << id;
        }
        return true;
    });
    if (ok)
        *ids = kept;
    return ok;
}

bool LoadHistoryRecord(Database& db, Document& cheque, qint32 id, Prompts& prompts,
                       const Clock& clock) {
    QHash<QString, QString> texts;
    if (id < 0) {
        std::optional<QHash<QString, QString>> lastInput =
            storedLastInput(db, cheque.kind().id.toString());
        if (!lastInput || lastInput->isEmpty())
            return false;
        texts = *lastInput;
    } else {
        // Only a row of the document's own kind fills it.
        std::optional<QSqlQuery> query = db.select(
            u"SELECT * FROM 历史记录 WHERE ID=? AND 种类=?"_s, {id, cheque.kind().id.toString()});
        if (!query || !query->next())
            return false;
        for (const QString& column : historyTextColumns(cheque.kind()))
            texts.insert(column, query->value(column).toString());
    }
    for (int i = 0; i < int(cheque.kind().fields.size()); ++i)
        if (const QString column = historyTextColumn(cheque.kind(), i); texts.contains(column))
            cheque.setText(i, texts.value(column));
    // A document loaded again is filled from what it holds, no longer from a kept cheque.
    cheque.setSourceId(0);

    // A reloaded cheque always carries today's date.
    enterDate(cheque, clock.today(), prompts);
    return true;
}

void loadLastInput(Database& db, Document& cheque, Prompts& prompts, const Clock& clock) {
    if (!LoadHistoryRecord(db, cheque, -1, prompts, clock))
        enterDate(cheque, clock.today(), prompts);
}

namespace {

// Deletes the history rows of these IDs, a few hundred to a statement, all in one transaction.
bool deleteIds(Database& db, const std::vector<qint64>& ids) {
    const QString sql = u"DELETE FROM 历史记录"_s;
    constexpr size_t kIdsPerStatement = 500;
    return db.atomically([&] {
        for (size_t first = 0; first < ids.size(); first += kIdsPerStatement) {
            QVariantList some;
            for (size_t i = first; i < std::min(ids.size(), first + kIdsPerStatement); ++i)
                some << ids[i];
            if (!db.execute(
                    sql + u" WHERE ID IN ("_s + QStringList(some.size(), u"?"_s).join(u',') + u')',
                    some)) {
                db.showStatementError(sql);
                return false;
            }
        }
        return true;
    });
}

}  // namespace

bool DeleteHistoryRows(Database& db, HistoryList& list, int first, int last, Prompts& prompts) {
    OrderPair(first, last);
    if (first < 0 || last >= list.count())
        return false;
    const QString question = u"您确定要删除第"_s + QString::number(first + 1) + u"至第"_s +
                             QString::number(last + 1) + u"行记录？"_s;
    // A question that deletes defaults to No: one stray Enter keeps the rows.
    if (prompts.message(question, {}, PromptButtons::YesNoDefaultNo) != PromptAnswer::Yes)
        return false;
    if (!deleteIds(db,
                   std::vector<qint64>(list.ids().begin() + first, list.ids().begin() + last + 1)))
        return false;
    list.removeRows(first, last);
    return true;
}

bool DeleteAllHistory(Database& db, HistoryList& list, Prompts& prompts) {
    if (list.count() == 0)
        return false;
    // Under a search the rows listed are not all the history, and the question says so.
    const QString question = list.order().filter.isActive()
                                 ? u"您确定要删除搜索到的%1行记录？"_s.arg(list.count())
                                 : u"您确定要删除所有打印记录？"_s;
    if (prompts.message(question, {}, PromptButtons::YesNoDefaultNo) != PromptAnswer::Yes)
        return false;
    // Only the rows the grid lists go, by their IDs: a cheque another clerk of a shared
    // database kept since the grid was read stays, whatever its ID.
    if (!deleteIds(db, list.ids()))
        return false;
    list.removeRows(0, list.count() - 1);
    return true;
}
