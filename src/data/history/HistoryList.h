#pragma once

#include <optional>
#include <vector>

#include <QHash>
#include <QString>
#include <QStringList>

#include "HistoryRows.h"

class Database;
class TextMeasure;

// The history grid's rows without their texts: the IDs of the listed history rows, in the order
// the database sorted them (8 bytes a row, so a million cheques stay small). The texts of a row
// are read when it is shown, a page of rows at a time, and kept while they are shown. Row
// numbers here count from 0; the serial column shows them from 1. No widgets: a view shows it.
class HistoryList final {
public:
    explicit HistoryList(Database& db) : m_db(db) {}

    // Reads the IDs again, in the current order. False when the database failed (after its
    // message); the list is then empty.
    bool load();
    // Brings the list up to date with the table: rows kept since it was read (by this window or
    // by another clerk) take their places in the current order; when rows went missing
    // (another clerk deleted some) the list is read again. Returns whether it changed.
    bool refresh();
    // Whether the list was ever read.
    bool isLoaded() const { return m_loaded; }

    // Sorts by a column of historyGridNames(): the sorted column again turns the direction round,
    // another one sorts ascending. Columns before the dates (ID, serial) and the transfer
    // cheque's 进账单 do nothing (false).
    bool sortBy(int column);
    const HistoryOrder& order() const { return m_order; }
    // Lists the rows of another kind, sorted as that kind's rows were last sorted (by the order
    // of keeping at first), through the same filter; read when next shown.
    void setKind(const QString& kind);
    // Lists only the rows the filter lets through (all of them for an empty filter), in the
    // same order, and reads them again.
    bool setFilter(const HistoryFilter& filter);
    // The headings as shown: the sorted column's ends in △ (ascending) or ▽ (descending).
    QStringList headings() const;
    // How many columns the grid of the list's kind has.
    int columnCount() const;

    int count() const { return int(m_ids.size()); }
    const std::vector<qint64>& ids() const { return m_ids; }
    qint64 id(int row) const { return m_ids[size_t(row)]; }
    // The texts of a row in the grid's columns; an empty text where the row has gone.
    QString text(int row, int column);

    // After rows first..last (0-based, either order) were deleted from the table.
    void removeRows(int first, int last);

    // Fits the column widths (twips, for a grid `gridWidth` twips wide) to the headings and to
    // the widest texts of the first rows and of the rows read so far: measuring every row of a
    // million would take seconds.
    void fitColumnWidths(TextMeasure& measure, int gridWidth);
    const std::vector<int>& columnWidths() const { return m_widths; }

    // How many rows a page holds; the first pages also set the column widths.
    static constexpr int kPageRows = 100;
    static constexpr int kMeasuredRows = 1000;

private:
    const QStringList* page(int row);
    QByteArray sortKeyOf(qint64 id);
    void insertInOrder(qint64 id, const QByteArray& key);

    Database& m_db;
    HistoryOrder m_order;
    std::vector<qint64> m_ids;
    qint64 m_tableRows = 0;       // every row of the table when the list was read, listed or not
    qint64 m_largestId = 0;       // the table's largest ID then
    qint64 m_othersCounter = -1;  // the file's count of others' changes then
    bool m_loaded = false;
    QHash<int, std::vector<QStringList>> m_pages;  // page number -> its rows' texts
    QHash<QString, HistoryOrder> m_kindOrders;     // each other kind's order, as last sorted
    std::vector<int> m_widths;
};
