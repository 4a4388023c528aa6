#include "HistorySort.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "Database.h"
#include "GridSortKey.h"
#include "HistoryRows.h"

using namespace Qt::StringLiterals;

// Each kind of column the quickest way that keeps the grid's order exactly (under a searched
// text, every column as "any other column"):
// - the order of keeping: the IDs from the print dates' index, sorted here;
// - a date: its index, missing dates first;
// - the payee: its index in the texts' byte order, which is the grid's order but for the few
//   texts that read as numbers (they come first) and the empty ones;
// - any other column: its values read in one go and sorted here by their keys, as a server
//   would run its PL/pgSQL key for every row, and a file its function for every row too.

namespace {

// Text columns kept in an index in their bytes' order (a server's in collation "C").
const QStringList& textIndexedColumns() {
    static const QStringList columns = {u"收款人全称"_s};
    return columns;
}

// Other columns that an index led by the kind holds, whose values are read from it.
const QStringList& kindIndexedColumns() {
    static const QStringList columns = {u"金额"_s};
    return columns;
}

// IDs with their sort keys in one buffer, sorted by key, then ID.
class KeyedIds {
public:
    void add(qint64 id, const char* text, int size) {
        const QByteArray key = gridSortKeyOfUtf8(text, size);
        m_entries.push_back({id, m_keys.size(), key.size()});
        m_keys.append(key);
    }
    void sort() {
        const char* keys = m_keys.constData();
        std::sort(m_entries.begin(), m_entries.end(), [keys](const Entry& x, const Entry& y) {
            const int c =
                std::memcmp(keys + x.offset, keys + y.offset, size_t(std::min(x.size, y.size)));
            if (c != 0)
                return c < 0;
            return x.size != y.size ? x.size < y.size : x.id < y.id;
        });
    }
    bool empty() const { return m_entries.empty(); }
    size_t size() const { return m_entries.size(); }
    qint64 id(size_t i) const { return m_entries[i].id; }
    // Whether entry i's key is a number's, or the empty text's.
    bool comesBeforeTexts(size_t i) const {
        const Entry& e = m_entries[i];
        return e.size == 1 || !isGridSortKeyOfText(m_keys.mid(e.offset, 1));
    }

private:
    struct Entry {
        qint64 id;
        qsizetype offset;
        qsizetype size;
    };
    QByteArray m_keys;
    std::vector<Entry> m_entries;
};

std::optional<std::vector<qint64>> idsOf(const KeyedIds& keyed) {
    std::vector<qint64> ids;
    ids.reserve(keyed.size());
    for (size_t i = 0; i < keyed.size(); ++i)
        ids.push_back(keyed.id(i));
    return ids;
}

std::optional<std::vector<qint64>> byIndexedText(Database& db, const QString& column,
                                                 const HistoryOrder& order) {
    const SqlCondition kindRows = kindHistoryCondition(order, db.isServer(), false);
    const QString value = sqlName(column) + (db.isServer() ? u" COLLATE \"C\""_s : QString());
    std::optional<std::vector<qint64>> ids = db.selectIds(
        u"SELECT ID FROM 历史记录 WHERE "_s + kindRows.sql + u" ORDER BY "_s + value + u", ID"_s,
        kindRows.values);
    // A file seeks each term in the kind's part of the index only when the term names the kind
    // itself; a server combines the terms' index scans either way.
    QStringList terms = gridSortKeyNumberCandidates(value);
    QVariantList values;
    for (QString& term : terms) {
        term = u"(种类=? AND "_s + term + u')';
        values << order.kind;
    }
    const SqlCondition filter = historyFilterCondition(order.filter, db.isServer());
    KeyedIds first;
    if (!ids || !db.readIdRows(u"SELECT ID, "_s + sqlName(column) + u" FROM 历史记录 WHERE ("_s +
                                   terms.join(u" OR "_s) + u')' +
                                   (filter.sql.isEmpty() ? QString() : u" AND "_s + filter.sql),
                               values + filter.values, [&](qint64 id, const char* text, int size) {
                                   first.add(id, text, size);
                               }))
        return std::nullopt;
    first.sort();
    std::vector<qint64> moved;
    for (size_t i = 0; i < first.size(); ++i)
        if (first.comesBeforeTexts(i))
            moved.push_back(first.id(i));
    if (moved.empty())
        return ids;
    const std::unordered_set<qint64> movedSet(moved.begin(), moved.end());
    std::erase_if(*ids, [&](qint64 id) { return movedSet.count(id) != 0; });
    ids->insert(ids->begin(), moved.begin(), moved.end());
    return ids;
}

}  // namespace

std::optional<std::vector<qint64>> sortedHistoryIds(Database& db, const HistoryOrder& order) {
    const QString column = order.columnName();
    // A searched text is tested row by row: reading the table through a column's index would
    // fetch every row from its place, several times slower than reading the table in one go
    // and sorting the few rows found here.
    const bool searched = !order.filter.text.trimmed().isEmpty();
    std::optional<std::vector<qint64>> ids;
    if (column.isEmpty()) {
        const SqlCondition listed = listedHistoryCondition(order, db.isServer());
        ids = db.selectIds(u"SELECT ID FROM 历史记录 WHERE "_s + listed.sql, listed.values);
        if (ids)
            std::sort(ids->begin(), ids->end());
    } else if (isHistoryDateColumn(column) && !searched) {
        // Ascending here, turned round below with the others.
        const SqlCondition rows = kindHistoryCondition(order, db.isServer(), false);
        ids = db.selectIds(u"SELECT ID FROM 历史记录 WHERE "_s + rows.sql + u' ' +
                               HistoryOrder{order.column, false, {}}.sql(),
                           rows.values);
    } else if (textIndexedColumns().contains(column) && !searched) {
        ids = byIndexedText(db, column, order);
    } else {
        // A date as its ISO text, which sorts as the date does, a missing one first.
        const QString value = isHistoryDateColumn(column)
                                  ? u"CAST("_s + sqlName(column) + u" AS TEXT)"_s
                                  : sqlName(column);
        // A column that an index led by the kind holds is read from the index alone.
        const SqlCondition rows = kindHistoryCondition(
            order, db.isServer(), searched || !kindIndexedColumns().contains(column));
        KeyedIds keyed;
        if (db.readIdRows(
                u"SELECT ID, "_s + value + u" FROM 历史记录 WHERE "_s + rows.sql, rows.values,
                [&](qint64 id, const char* text, int size) { keyed.add(id, text, size); })) {
            keyed.sort();
            ids = idsOf(keyed);
        }
    }
    // Descending is ascending turned round: ties then go by the larger ID first, as the
    // database's "ORDER BY key DESC, ID DESC" has them.
    if (ids && order.descending)
        std::reverse(ids->begin(), ids->end());
    return ids;
}
