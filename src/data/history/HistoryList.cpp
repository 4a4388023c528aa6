#include "HistoryList.h"

#include <algorithm>
#include <unordered_set>

#include "Database.h"
#include "GridRoutines.h"
#include "HistoryGrid.h"
#include "HistoryRecords.h"
#include "HistorySort.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

// The kind's rows that are never listed: the last-input row of 1900-01-01, and rows without a
// date. Each is a seek in the kind's part of its date index; written as one condition with OR,
// SQLite reads the kind's whole part of the index instead.
QString unlistedRows() {
    return u"SELECT ID FROM 历史记录 WHERE 种类=? AND Dat IS NULL UNION ALL "
           u"SELECT ID FROM 历史记录 WHERE 种类=? AND Dat<='"_s +
           kLastInputDate + u'\'';
}

// The count and the largest ID of the kind's rows, which tell whether others kept or deleted
// rows of it since.
const QString kKindStamp = u"SELECT count(*), max(ID) FROM 历史记录 WHERE 种类=?"_s;

constexpr int kCachedPages = 64;

}  // namespace

bool HistoryList::load() {
    m_loaded = true;
    // Read first: what others write from now on shows at the next refresh.
    m_othersCounter = m_db.othersChangeCounter().value_or(-1);
    m_ids.clear();
    m_pages.clear();
    m_tableRows = 0;
    m_largestId = 0;
    // The IDs come from the sort order alone, which an index of the column can give without
    // reading the table; the few unlisted rows are left out here.
    const std::optional<std::vector<qint64>> unlisted =
        m_db.selectIds(unlistedRows(), {m_order.kind, m_order.kind});
    std::optional<std::vector<qint64>> ids =
        unlisted ? sortedHistoryIds(m_db, m_order) : std::nullopt;
    if (!ids)
        return false;
    m_ids = std::move(*ids);
    if (!unlisted->empty()) {
        const std::unordered_set<qint64> skipped(unlisted->begin(), unlisted->end());
        std::erase_if(m_ids, [&](qint64 id) { return skipped.count(id) != 0; });
    }
    if (m_order.filter.isActive()) {
        // The rows found are not all the kind's rows: they are counted apart.
        std::optional<QSqlQuery> stamp = m_db.select(kKindStamp, {m_order.kind});
        if (!stamp || !stamp->next()) {
            m_ids.clear();
            return false;
        }
        m_tableRows = stamp->value(0).toLongLong();
        m_largestId = stamp->value(1).toLongLong();
        return true;
    }
    for (const qint64 id : m_ids)
        m_largestId = std::max(m_largestId, id);
    for (const qint64 id : *unlisted)
        m_largestId = std::max(m_largestId, id);
    m_tableRows = qint64(m_ids.size() + unlisted->size());
    return true;
}

bool HistoryList::refresh() {
    if (!m_loaded)
        return load();
    // When no one else wrote to a file since, only this connection's own cheques can be new,
    // and counting a million rows is left out.
    const std::optional<qint64> counter = m_db.othersChangeCounter();
    const bool othersWrote = !counter || *counter != m_othersCounter;
    qint64 tableRows = 0;
    if (othersWrote) {
        std::optional<QSqlQuery> stamp = m_db.select(kKindStamp, {m_order.kind});
        if (!stamp || !stamp->next())
            return false;
        tableRows = stamp->value(0).toLongLong();
        const qint64 largest = stamp->value(1).toLongLong();
        stamp.reset();
        if (tableRows == m_tableRows && largest == m_largestId)
            return false;
    }
    // The kind's rows kept since, each with whether it is listed (and found) and what it sorts
    // by; read from the IDs' own order, the kind tested on each.
    const QString column = m_order.columnName();
    const SqlCondition listed = listedHistoryCondition(m_order, m_db.isServer());
    const SqlCondition kindRows =
        kindHistoryCondition(HistoryOrder{.kind = m_order.kind}, m_db.isServer(), true);
    std::optional<QSqlQuery> added =
        m_db.select(u"SELECT ID, CASE WHEN "_s + listed.sql + u" THEN 1 ELSE 0 END, "_s +
                        (column.isEmpty() ? u"NULL"_s : sqlName(column)) +
                        u" FROM 历史记录 WHERE ID>? AND "_s + kindRows.sql + u" ORDER BY ID"_s,
                    listed.values + QVariantList{m_largestId} + kindRows.values);
    if (!added)
        return false;
    std::vector<std::pair<qint64, QByteArray>> found;
    qint64 addedRows = 0;
    qint64 largest = m_largestId;
    while (added->next()) {
        ++addedRows;
        largest = added->value(0).toLongLong();
        if (added->value(1).toInt() == 1)
            found.emplace_back(largest, m_order.key(added->value(2)));
    }
    added.reset();
    // Rows deleted elsewhere, or kept under a smaller ID than one already seen (a server's
    // transactions can end in another order than they began): the list is read again.
    if (othersWrote && m_tableRows + addedRows != tableRows)
        return load();
    if (counter)
        m_othersCounter = *counter;
    if (addedRows == 0)
        return false;
    for (const auto& [id, key] : found)
        insertInOrder(id, key);
    m_tableRows += addedRows;
    m_largestId = largest;
    m_pages.clear();
    return true;
}

QByteArray HistoryList::sortKeyOf(qint64 id) {
    std::optional<QSqlQuery> query = m_db.select(
        u"SELECT "_s + sqlName(m_order.columnName()) + u" FROM 历史记录 WHERE ID=?"_s, {id});
    return query && query->next() ? m_order.key(query->value(0)) : m_order.key(QVariant());
}

void HistoryList::insertInOrder(qint64 id, const QByteArray& key) {
    const bool down = m_order.descending;
    if (m_order.columnName().isEmpty()) {  // the order of keeping: the newest is last, or first
        m_ids.insert(down ? m_ids.begin() : m_ids.end(), id);
        return;
    }
    // Binary search with the keys of the rows it passes, one short query each.
    size_t low = 0, high = m_ids.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const int c = sortKeyOf(m_ids[middle]).compare(key);
        const bool before =
            c != 0 ? (down ? c > 0 : c < 0) : (down ? m_ids[middle] > id : m_ids[middle] < id);
        if (before)
            low = middle + 1;
        else
            high = middle;
    }
    m_ids.insert(m_ids.begin() + qsizetype(low), id);
}

bool HistoryList::sortBy(int column) {
    // Whether a slip was printed is read row by row from the slips: no index gives its order.
    if (column < 2 || column >= columnCount() ||
        historyGridNames(m_order.documentKind())[column] == kSlipPrintedColumn)
        return false;
    if (m_order.column == column) {
        m_order.descending = !m_order.descending;
    } else {
        m_order.column = column;
        m_order.descending = false;
    }
    return load();
}

void HistoryList::setKind(const QString& kind) {
    if (kind == m_order.kind)
        return;
    m_kindOrders.insert(m_order.kind, m_order);
    HistoryOrder order = m_kindOrders.value(kind, HistoryOrder{.kind = kind});
    order.filter = m_order.filter;
    m_order = order;
    m_ids.clear();
    m_pages.clear();
    m_widths.clear();
    m_loaded = false;
}

bool HistoryList::setFilter(const HistoryFilter& filter) {
    m_order.filter = filter;
    return load();
}

int HistoryList::columnCount() const {
    return int(historyGridNames(m_order.documentKind()).size());
}

QStringList HistoryList::headings() const {
    QStringList headings = historyGridHeadings(m_order.documentKind());
    if (m_order.column >= 0)
        headings[m_order.column] += m_order.descending ? u'▽' : u'△';
    return headings;
}

const QStringList* HistoryList::page(int row) {
    const int number = row / kPageRows;
    auto found = m_pages.constFind(number);
    if (found == m_pages.cend()) {
        if (m_pages.size() >= kCachedPages)
            m_pages.clear();
        const int first = number * kPageRows;
        const int last = std::min(first + kPageRows, count());
        const std::vector<qint64> ids(m_ids.begin() + first, m_ids.begin() + last);
        QHash<qint64, QStringList> read;
        HistoryRowReader reader(m_db, ids, m_order.documentKind());
        for (QStringList texts; reader.next(texts);)
            read.insert(texts[0].toLongLong(), texts);
        // A row deleted by another clerk since shows empty; a failed read shows the page empty
        // until the list is read again, rather than asking the database at every repaint.
        std::vector<QStringList> rows;
        rows.reserve(ids.size());
        for (size_t i = 0; i < ids.size(); ++i) {
            QStringList texts = read.value(ids[i], QStringList(columnCount()));
            texts[1] = QString::number(first + int(i) + 1);
            rows.push_back(std::move(texts));
        }
        found = m_pages.emplace(number, std::move(rows));
    }
    return &(*found)[size_t(row - number * kPageRows)];
}

QString HistoryList::text(int row, int column) {
    if (row < 0 || row >= count() || column < 0 || column >= columnCount())
        return {};
    return page(row)->at(column);
}

void HistoryList::removeRows(int first, int last) {
    OrderPair(first, last);
    first = std::max(first, 0);
    last = std::min(last, count() - 1);
    if (first > last)
        return;
    m_ids.erase(m_ids.begin() + first, m_ids.begin() + last + 1);
    m_tableRows -= last - first + 1;
    m_pages.clear();
}

void HistoryList::fitColumnWidths(TextMeasure& measure, int gridWidth) {
    const QStringList headings = this->headings();
    std::vector<double> widest(size_t(headings.size()), 0.0);
    widest[0] = -1;  // the ID column stays hidden
    auto measureRow = [&](int row) {
        for (qsizetype c = 1; c < headings.size(); ++c)
            widest[size_t(c)] = std::max(widest[size_t(c)], measure.widthTwips(text(row, int(c))));
    };
    for (int row = 0; row < std::min(count(), kMeasuredRows); ++row)
        measureRow(row);
    // The serial numbers run to the count, which may lie far below the rows measured.
    widest[1] = std::max(widest[1], measure.widthTwips(QString::number(count())));
    for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it)
        for (size_t i = 0; i < it.value().size(); ++i)
            measureRow(it.key() * kPageRows + int(i));
    // Without rows, as for a grid without data rows: the field names and the headings.
    for (qsizetype c = 1; c < headings.size(); ++c) {
        double& w = widest[size_t(c)];
        if (count() == 0)
            w = std::max(measure.widthTwips(historyGridNames(m_order.documentKind())[c]),
                         measure.widthTwips(headings[c]));
        else if (w != 0)
            w = std::max(w, measure.widthTwips(headings[c]));
    }
    m_widths = fittedColumnWidths(widest, gridWidth);
}
