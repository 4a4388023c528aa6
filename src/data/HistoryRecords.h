#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class BoundGrid;
class Cheque;
class Clock;
class Database;
class Prompts;

// The last-input row carries the fields from one run to the next; it is dated 1900-01-01 and
// never listed.
inline const QDate kLastInputDay{1900, 1, 1};
inline const QString kLastInputDate = QStringLiteral("1900-01-01");

// The history column that stores field i's text; empty for the date parts (stored as dates)
// and the amount in capitals (derived again from the figures).
QString historyTextColumn(int field);
// Every history column that stores a field's text, in field order.
QStringList historyTextColumns();

// Saves the cheque as a history row dated `date`: a new row, or, for 1900-01-01, the
// last-input row updated in place (created the first time). Nothing is written, and false
// returned, when the stub date cannot be formed from its three fields, when a printed
// cheque's issue date is no real date, or when the database fails (after the message for the
// failing statement). The caller rebuilds the history grid.
// `newId`, when given, receives the new row's ID.
bool SaveHistoryRecord(Database& db, const Cheque& cheque, const QDate& date,
                       qint64* newId = nullptr);

// Saves a printed batch, each cheque as a new row dated `date`, all in one transaction: every
// row is kept or none. `ids` receives the new rows' IDs in order.
bool SaveHistoryRecords(Database& db, const QList<Cheque>& cheques, const QDate& date,
                        QList<qint64>* ids);

// Loads history row `id` (negative: the last-input row) into the fields, then gives the
// cheque today's date through the date fields' leave-field logic. Returns whether a row was
// found; an ID that no row has changes nothing.
bool LoadHistoryRecord(Database& db, Cheque& cheque, qint32 id, Prompts& prompts,
                       const Clock& clock);

// The fields of the last input, or on a first start the fields as they stand; either way
// with today's date.
void LoadLastInput(Database& db, Cheque& cheque, Prompts& prompts, const Clock& clock);

// Asks, then deletes the rows of grid rows first..last (either order) from the table and the
// grid. A selection that touches the header rows does nothing and asks nothing. Returns
// whether rows were deleted; a failed delete leaves the table and the grid as they were.
bool DeleteHistoryRows(Database& db, BoundGrid& grid, int first, int last, Prompts& prompts);

// Asks, then deletes every history row, the last-input row included, and empties the grid.
// An empty grid asks nothing.
bool DeleteAllHistory(Database& db, BoundGrid& grid, Prompts& prompts);
