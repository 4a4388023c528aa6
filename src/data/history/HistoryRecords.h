#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include "HistoryColumns.h"

class HistoryList;
class Document;
class Clock;
class Database;
class Prompts;

// Before each user had a last input of their own, it was the history row dated 1900-01-01;
// such a row is never listed.
inline const QString kLastInputDate = QStringLiteral("1900-01-01");

// The history column that stores the text of the kind's field; empty for the date parts
// (stored as dates) and the amount in capitals (derived again from the figures).
QString historyTextColumn(const DocumentKind& kind, int field);
// Every history column that stores a text of one of the kind's fields, in field order.
QStringList historyTextColumns(const DocumentKind& kind);

// When a cheque was printed: its day, and its time of day when known (a row kept without a
// time shows its day alone).
struct PrintedAt {
    // Implicit, so that a day or the clock's moment can be given as it is.
    PrintedAt(const QDate& day) : date(day) {}
    PrintedAt(const QDateTime& moment) : date(moment.date()), time(moment.time()) {}
    QDate date;
    QTime time;
};

// Saves the cheque as a new history row dated `date`. Nothing is written, and false returned,
// when a printed date (the stub's when the stub is printed, the issue date unless 禁止日期打印
// keeps it off) is no real date, or when the database fails (after the message for the failing
// statement); a date that is not printed and no real date is kept empty. The caller rebuilds
// the history grid. `newId`, when given, receives the new row's ID. `number` is the cheque
// book's number the cheque was printed on, empty for none. A document filled from a kept cheque
// keeps that cheque's row as its 来源ID.
bool SaveHistoryRecord(Database& db, const Document& cheque, const PrintedAt& date,
                       qint64* newId = nullptr, const QString& number = {});

// Keeps the fields' texts as the user's last input, replacing the one kept before; after the
// message for the failing statement, false when the database fails.
bool saveLastInput(Database& db, const Document& cheque);

// Saves a printed batch, each cheque as a new row dated `date`, all in one transaction: every
// row is kept or none. `ids` receives the new rows' IDs in order. `numbers`, when given, holds
// each cheque's number in the same order (empty for a cheque without one).
bool saveHistoryRecords(Database& db, const QList<Document>& cheques, const PrintedAt& date,
                        QList<qint64>* ids, const QStringList& numbers = {});

// Loads history row `id` (negative: the user's last input) into the fields, then gives the
// cheque today's date through the date fields' leave-field logic. Returns whether a row was
// found; an ID that no row has changes nothing.
bool LoadHistoryRecord(Database& db, Document& cheque, qint32 id, Prompts& prompts,
                       const Clock& clock);

// The fields of the last input, or on a first start the fields as they stand; either way
// with today's date.
void loadLastInput(Database& db, Document& cheque, Prompts& prompts, const Clock& clock);

// Asks, then deletes the history rows of list rows first..last (0-based, either order) from
// the table and the list; the question names them by their serial numbers. Returns whether
// rows were deleted; a failed delete leaves the table and the list as they were.
bool DeleteHistoryRows(Database& db, HistoryList& list, int first, int last, Prompts& prompts);

// Asks, then deletes every history row the list holds and empties it; rows kept since the list
// was read, and the users' last inputs, stay. An empty list asks nothing; under a search the
// question names how many rows were found.
bool DeleteAllHistory(Database& db, HistoryList& list, Prompts& prompts);
