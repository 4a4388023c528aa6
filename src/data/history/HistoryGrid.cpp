#include "HistoryGrid.h"

#include <algorithm>

#include "Database.h"
#include "HistoryRecords.h"

using namespace Qt::StringLiterals;

QString historyGridToolTip() {
    return u"点击横向表头自动根据所点的列排序；双击表格内容历史数据自动显示到打印窗体内，重复打印。"_s;
}

QStringList FillComboDistinct(Database& db, const QString& column) {
    // Only a column that keeps a field's text: the name goes into the statement.
    if (std::ranges::none_of(documentKinds(), [&](const DocumentKind* kind) {
            return historyTextColumns(*kind).contains(column);
        }))
        return {};
    // The column as it stands, so that its index gives the values in order without reading
    // the table; a missing value is the empty text, which sorts before every other.
    QStringList list;
    bool empty = false;
    if (std::optional<QSqlQuery> query =
            db.select(u"SELECT DISTINCT "_s + sqlName(column) + u" FROM 历史记录 ORDER BY 1"_s)) {
        while (query->next()) {
            const QString value = query->value(0).toString();
            if (value.isEmpty())
                empty = true;
            else
                list << value;
        }
    }
    if (empty)
        list.prepend(QString());
    return list;
}
