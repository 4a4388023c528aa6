#pragma once

#include <optional>
#include <vector>

#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include "DocumentKind.h"
#include "HistoryFilter.h"
#include "UserState.h"

class Database;

// Which rows the history grid lists and how it sorts them: the rows of one kind of document,
// by one of the grid's columns (an index into historyGridNames()), or by none (column -1),
// which lists the rows in the order they were kept; the filter narrows them.
struct HistoryOrder {
    int column = -1;
    bool descending = false;
    HistoryFilter filter{};
    QString kind = kTransferCheque;

    // The ORDER BY clause: the column's grid sort key (a date column by its date, missing
    // dates first), then the ID, both in the order's direction.
    QString sql() const;
    // The value that the clause sorts a row by, as bytes that compare (memcmp) the same way;
    // the ID breaks ties. `value` is the column's stored value.
    QByteArray key(const QVariant& value) const;
    // The stored column the order sorts by; empty for the order of keeping (and for a column
    // that is not stored, which does not sort).
    QString columnName() const;
    // The kind the rows are of (the transfer cheque for a kind the program does not know).
    const DocumentKind& documentKind() const;
};

// Reads history rows as the grid shows them, forwards only: each row as its texts in the
// grid's columns (historyGridNames(): the ID, the running number from 1, the stored columns
// with dates as yyyy.mm.dd). The last-input row of 1900-01-01 is never read.
class HistoryRowReader final {
public:
    // Every listed row, in the order.
    HistoryRowReader(Database& db, const HistoryOrder& order);
    // The rows of these IDs that are still there, in no particular order, in the kind's columns.
    HistoryRowReader(Database& db, const std::vector<qint64>& ids, const DocumentKind& kind);

    // False when the query failed (after the database's message).
    bool ok() const { return m_query.has_value(); }
    // The next row's texts; false after the last one.
    bool next(QStringList& texts);
    // Whether reading stopped on a failure (the query, or the connection to a server lost
    // part-way) rather than after the last row.
    bool failed() const;

private:
    void start(Database& db, const QString& sql, const QVariantList& values,
               const DocumentKind& kind);

    std::optional<QSqlQuery> m_query;
    std::vector<int> m_fields;  // the query's field of each grid column, -1 for none
    std::vector<bool> m_dates;  // whether each grid column holds dates
    int m_printedColumn = -1;   // the grid column of the print date, which shows its time
    int m_timeField = -1;       // the query's field of the print's time of day
    qint64 m_serial = 0;
};

// What a statement that reads history rows of the kind as the grid shows them selects: every
// stored column, and for the transfer cheque whether a slip was printed from the row.
QString historyRowColumns(const DocumentKind& kind);

// Whether the history column holds dates (stored yyyy-mm-dd, shown yyyy.mm.dd).
bool isHistoryDateColumn(const QString& name);

// The history rows that the grid lists: "WHERE Dat>'1900-01-01'" and its value.
QString listedHistoryFilter();
// The rows of the order's kind that its filter lets through, with the values. A statement
// that reads each row (`scanned`) names the kind so that a file reads the table in one go
// rather than fetching every row of the kind from its place through an index.
SqlCondition kindHistoryCondition(const HistoryOrder& order, bool server, bool scanned);
// The listed rows of the order's kind that its filter lets through; a searched text is
// tested row by row (scanned), and so is every row when `scanned` says so.
SqlCondition listedHistoryCondition(const HistoryOrder& order, bool server, bool scanned = false);
