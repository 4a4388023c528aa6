#include "HistoryRows.h"

#include <QSqlError>
#include <QSqlRecord>

#include "ChequeFields.h"
#include "Database.h"
#include "GridRoutines.h"
#include "GridSortKey.h"
#include "HistoryGrid.h"
#include "HistoryRecords.h"

using namespace Qt::StringLiterals;

bool isHistoryDateColumn(const QString& name) {
    return name == u"Dat" || name == issueDateColumn() || name == stubDateColumn();
}

const DocumentKind& HistoryOrder::documentKind() const {
    const DocumentKind* found = kindById(kind);
    return found ? *found : transferCheque();
}

QString HistoryOrder::columnName() const {
    const QStringList& names = historyGridNames(documentKind());
    return column >= 2 && column < names.size() && names[column] != kSlipPrintedColumn
               ? names[column]
               : QString();
}

QString HistoryOrder::sql() const {
    const QString direction = descending ? u" DESC"_s : u" ASC"_s;
    const QString name = columnName();
    if (name.isEmpty())
        return u"ORDER BY ID"_s + direction;
    if (isHistoryDateColumn(name))
        return u"ORDER BY "_s + sqlName(name) + direction +
               (descending ? u" NULLS LAST"_s : u" NULLS FIRST"_s) + u", ID"_s + direction;
    return u"ORDER BY grid_sort_key("_s + sqlName(name) + u")"_s + direction + u", ID"_s +
           direction;
}

QByteArray HistoryOrder::key(const QVariant& value) const {
    const QString name = columnName();
    if (name.isEmpty())
        return {};
    if (isHistoryDateColumn(name))  // a missing date sorts first; a date is yyyy-mm-dd either way
        return value.isNull() ? QByteArray() : QByteArray(1, '\1') + value.toString().toUtf8();
    return gridSortKey(value.toString());
}

QString listedHistoryFilter() {
    return u"Dat>'"_s + kLastInputDate + u'\'';
}

SqlCondition kindHistoryCondition(const HistoryOrder& order, bool server, bool scanned) {
    SqlCondition condition = historyFilterCondition(order.filter, server);
    condition.sql = (scanned && !server ? u"+种类=?"_s : u"种类=?"_s) +
                    (condition.sql.isEmpty() ? QString() : u" AND "_s + condition.sql);
    condition.values.prepend(order.kind);
    return condition;
}

SqlCondition listedHistoryCondition(const HistoryOrder& order, bool server, bool scanned) {
    SqlCondition condition =
        kindHistoryCondition(order, server, scanned || !order.filter.text.trimmed().isEmpty());
    condition.sql = listedHistoryFilter() + u" AND "_s + condition.sql;
    return condition;
}

QString historyRowColumns(const DocumentKind& kind) {
    if (!historyGridNames(kind).contains(kSlipPrintedColumn))
        return u"*"_s;
    // One seek in the slips' index of their source for each row read. The kind is tested on
    // the slip found and, written as an expression, never looked up by: either engine would
    // otherwise walk an index of every slip for each row.
    return u"*, CASE WHEN EXISTS (SELECT 1 FROM 历史记录 s WHERE s.来源ID=历史记录.ID AND "
           u"s.种类||''='"_s +
           depositSlip().id.toString() + u"') THEN '"_s + kSlipPrinted + u"' ELSE '' END AS "_s +
           kSlipPrintedColumn;
}

HistoryRowReader::HistoryRowReader(Database& db, const HistoryOrder& order) {
    // Every row in the order of keeping is the table read once in its own order.
    const SqlCondition listed =
        listedHistoryCondition(order, db.isServer(), order.columnName().isEmpty());
    start(db,
          u"SELECT "_s + historyRowColumns(order.documentKind()) + u" FROM 历史记录 WHERE "_s +
              listed.sql + u' ' + order.sql(),
          listed.values, order.documentKind());
}

HistoryRowReader::HistoryRowReader(Database& db, const std::vector<qint64>& ids,
                                   const DocumentKind& kind) {
    QVariantList values;
    values.reserve(qsizetype(ids.size()));
    for (qint64 id : ids)
        values << id;
    start(db,
          u"SELECT "_s + historyRowColumns(kind) + u" FROM 历史记录 WHERE "_s +
              listedHistoryFilter() + u" AND ID IN ("_s +
              QStringList(values.size(), u"?"_s).join(u',') + u')',
          values, kind);
}

void HistoryRowReader::start(Database& db, const QString& sql, const QVariantList& values,
                             const DocumentKind& kind) {
    m_query = db.select(sql, values);
    if (!m_query)
        return;
    const QSqlRecord record = m_query->record();
    for (const QString& name : historyGridNames(kind)) {
        if (name == u"Dat")
            m_printedColumn = int(m_fields.size());
        m_fields.push_back(name.isEmpty() ? -1 : record.indexOf(name));
        m_dates.push_back(isHistoryDateColumn(name));
    }
    m_timeField = record.indexOf(u"时刻"_s);
}

bool HistoryRowReader::next(QStringList& texts) {
    if (!m_query || !m_query->next())
        return false;
    texts.resize(qsizetype(m_fields.size()));
    for (size_t c = 0; c < m_fields.size(); ++c) {
        if (m_fields[c] < 0)
            texts[qsizetype(c)] = c == 1 ? QString::number(++m_serial) : QString();
        else
            texts[qsizetype(c)] = shownCellText(m_query->value(m_fields[c]), m_dates[c]);
    }
    // 打印时间 with the hour and minute it was printed, when the row kept them.
    if (m_printedColumn >= 0 && m_timeField >= 0) {
        const QString time = m_query->value(m_timeField).toString();
        QString& shown = texts[m_printedColumn];
        if (time.size() >= 5 && !shown.isEmpty())
            shown += u' ' + time.left(5);
    }
    return true;
}

bool HistoryRowReader::failed() const {
    return !m_query || m_query->lastError().isValid();
}
