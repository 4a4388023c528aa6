#include "GridRoutines.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <QSqlRecord>

#include "BoundGrid.h"
#include "Database.h"
#include "GridSortKey.h"
#include "NumberText.h"
#include "ProgressIndicator.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QChar kAscending = u'△';
constexpr QChar kDescending = u'▽';

enum class ColumnKind { Plain, Date, YesNo, Color, Serial, Empty };

struct ColumnBinding {
    int col;
    int field;  // index in the query's record, -1 when the table has no such column
    ColumnKind kind;
};

// "YYYY-MM-DD" (as stored) shown as "YYYY.MM.DD"; anything else cannot be shown.
QString dateCellText(const QString& stored) {
    if (stored.size() < 10 || stored[4] != u'-' || stored[7] != u'-')
        return {};
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!stored[i].isDigit())
            return {};
    QString text = stored.left(10);
    text[4] = u'.';
    text[7] = u'.';
    return text;
}

QString cellText(const QVariant& value, ColumnKind kind) {
    if (value.isNull())
        return {};
    switch (kind) {
        case ColumnKind::Date:
            return dateCellText(value.toString());
        case ColumnKind::YesNo:
            return value.toLongLong() != 0 ? u"√"_s : QString();
        default:
            return value.typeId() == QMetaType::Double ? numberText(value.toDouble())
                                                       : value.toString();
    }
}

std::vector<ColumnBinding> bindColumns(const BoundGrid& grid, const QHash<QString, QString>& types,
                                       const QSqlRecord& record) {
    std::vector<ColumnBinding> bindings;
    for (int c = 0; c < grid.cols(); ++c) {
        const QString& name = grid.text(0, c);
        ColumnKind kind = ColumnKind::Plain;
        if (name.isEmpty()) {
            kind = c == grid.fixedCols() - 1 ? ColumnKind::Serial : ColumnKind::Empty;
        } else if (name == u"Color") {
            kind = ColumnKind::Color;
        } else {
            const QString type = types.value(name.toLower()).toUpper();
            if (type.contains(u"DATE"))
                kind = ColumnKind::Date;
            else if (type.contains(u"BOOL"))
                kind = ColumnKind::YesNo;
        }
        bindings.push_back({c, name.isEmpty() ? -1 : record.indexOf(name), kind});
    }
    return bindings;
}

// Whether the text is exactly the decimal digits of n (n > 0), without making a new text.
bool isSerialNumber(const QString& text, int n) {
    for (qsizetype i = text.size() - 1; i >= 0; --i, n /= 10)
        if (n == 0 || text[i].unicode() != u'0' + n % 10)
            return false;
    return n == 0 && !text.isEmpty();
}

// Column fitting; `dataWidths`, when given, holds each column's widest data-row text already
// measured, so that only the rows above the data rows are measured here.
void fitColumns(BoundGrid& grid, int firstRow, bool showProgress, GridTools tools,
                const std::vector<double>* dataWidths) {
    const bool progress = showProgress && grid.rows() > 200;
    if (progress)
        tools.progress.StartProgress(u"正在做交易数据表格进行格式设置……"_s, grid.cols());
    const int from = grid.hasDataRows() ? firstRow : 0;
    const int heading = grid.fixedRows() - 1;
    std::vector<double> widest(size_t(grid.cols()), -1.0);
    for (int c = 0; c < grid.cols(); ++c) {
        // The hidden ID column (before the serial column) is not measured and stays hidden.
        if (c >= grid.fixedCols() - 1) {
            double w = 0;
            const int to = dataWidths ? std::min(grid.fixedRows(), grid.rows()) : grid.rows();
            for (int r = from; r < to; ++r)
                w = std::max(w, tools.measure.widthTwips(grid.text(r, c)));
            if (dataWidths && grid.hasDataRows())
                w = std::max(w, (*dataWidths)[size_t(c)]);
            if (grid.fixedRows() > 0 && w != 0)
                w = std::max(w, tools.measure.widthTwips(grid.text(heading, c)));
            widest[size_t(c)] = w;
        }
        if (progress)
            tools.progress.StepProgress(1, u"pages"_s);
    }
    const std::vector<int> widths = fittedColumnWidths(widest, grid.width());
    for (int c = 0; c < grid.cols(); ++c)
        grid.setColWidth(c, widths[size_t(c)]);
    if (progress)
        tools.progress.EndProgress();
}

}  // namespace

QString shownCellText(const QVariant& value, bool date) {
    return cellText(value, date ? ColumnKind::Date : ColumnKind::Plain);
}

void SetUpGridColumns(BoundGrid& grid, const QStringList& names, const QStringList& headings) {
    if (names.size() != headings.size())
        return;
    grid.setCols(int(names.size()));
    grid.setFixedCols(2);
    grid.setRows(2);
    grid.setFixedRows(2);
    for (int c = 0; c < grid.fixedCols() - 1; ++c)
        grid.setColWidth(c, 0);
    for (int r = 0; r < grid.fixedRows() - 1; ++r)
        grid.setRowHeight(r, 0);
    for (int c = 0; c < grid.cols(); ++c) {
        grid.setText(0, c, names[c]);
        grid.setText(1, c, headings[c]);
    }
}

void FillGrid(BoundGrid& grid, Database& db, const QString& filter, const QVariantList& values,
              const QString& order, GridTools tools) {
    grid.setRows(2);
    QString sql = u"SELECT * FROM "_s + grid.tag();
    if (!filter.isEmpty())
        sql += u" WHERE "_s + filter;
    if (!order.isEmpty())
        sql += u" ORDER BY "_s + order;
    // The data rows are measured as they are filled, while their texts are at hand.
    std::vector<double> widest(size_t(grid.cols()), 0.0);
    const int measuredFrom = grid.fixedCols() - 1;
    // The column types are read first: on a server, another statement run while the rows are
    // being read would throw the rest of them away.
    const QHash<QString, QString> types = db.declaredTypes(grid.tag());
    if (std::optional<QSqlQuery> query = db.select(sql, values)) {
        const std::vector<ColumnBinding> bindings = bindColumns(grid, types, query->record());
        while (query->next()) {
            const int r = grid.appendRow();
            std::vector<GridCell>& cells = grid.rowCells(r);
            for (const ColumnBinding& b : bindings) {
                GridCell& cell = cells[size_t(b.col)];
                if (b.kind == ColumnKind::Serial) {
                    cell.text = QString::number(r - 1);
                } else if (b.field < 0) {
                    continue;
                } else if (b.kind == ColumnKind::Color) {
                    const QVariant value = query->value(b.field);
                    if (!value.isNull()) {
                        const auto color = quint32(value.toLongLong());
                        cell.backColor = color == 0 ? kNearBlack : color;
                        grid.setCurrentCell(r, b.col);
                    }
                } else {
                    cell.text = cellText(query->value(b.field), b.kind);
                }
                if (b.col >= measuredFrom)
                    widest[size_t(b.col)] =
                        std::max(widest[size_t(b.col)], tools.measure.widthTwips(cell.text));
            }
        }
    }
    fitColumns(grid, 1, true, tools, &widest);
}

std::vector<int> fittedColumnWidths(const std::vector<double>& widest, int gridWidth) {
    const double half = gridWidth / 2.0;
    double total = 0;
    std::vector<int> widths;
    for (const double text : widest) {
        double w = text < 0 ? 0 : text != 0 ? text + 100 : 50;
        w = std::min(w, half);
        widths.push_back(int(std::lround(w)));
        total += w;
    }
    if (!widths.empty() && gridWidth - 400 > total)
        widths.back() = int(std::lround((gridWidth - 400) - (total - widths.back())));
    return widths;
}

void FitColumnWidths(BoundGrid& grid, int firstRow, bool showProgress, GridTools tools) {
    fitColumns(grid, firstRow, showProgress, tools, nullptr);
}

GridHeader gridHeader(const BoundGrid& grid) {
    GridHeader header;
    for (int r = 0; r < grid.fixedRows(); ++r)
        header.height += grid.rowHeight(r);
    for (int c = 0; c < grid.cols(); ++c)
        header.widths.push_back(grid.colWidth(c));
    header.fixedCols = grid.fixedCols();
    return header;
}

GridHeaderActions gridHeaderActions(BoundGrid& grid, GridTools tools) {
    return {[&grid, tools] { FitColumnWidths(grid, 1, true, tools); },
            [&grid](int column) { SortGridByColumn(grid, column); }};
}

double headingMiddle(const GridHeader& header, int column) {
    auto width = [&](int c) {
        return c < int(header.widths.size()) ? header.widths[size_t(c)] : 0;
    };
    double x = 0;
    for (int c = 0; c < column; ++c)
        x += width(c);
    return x + width(column) / 2.0;
}

void GridHeaderMouseDown(const GridHeader& header, double x, double y,
                         const GridHeaderActions& actions) {
    if (y >= header.height)
        return;
    const int cols = int(header.widths.size());
    double fixedWidth = 0;
    for (int c = 0; c < header.fixedCols && c < cols; ++c)
        fixedWidth += header.widths[size_t(c)];
    if (x <= fixedWidth) {
        actions.fitWidths();
        return;
    }
    double right = fixedWidth;
    for (int c = header.fixedCols; c < cols; ++c) {
        right += header.widths[size_t(c)];
        if (x < right) {
            actions.sortBy(c);
            return;
        }
    }
}

QString withoutSortMarker(const QString& heading) {
    return heading.endsWith(kAscending) || heading.endsWith(kDescending) ? heading.chopped(1)
                                                                         : heading;
}

void SortGridByColumn(BoundGrid& grid, int col) {
    const int h = grid.fixedRows() - 1;
    if (h < 0 || col < 0 || col >= grid.cols())
        return;
    for (int c = grid.fixedCols(); c < grid.cols(); ++c) {
        if (c == col)
            continue;
        QString heading = grid.text(h, c);
        heading.remove(kDescending).remove(kAscending);
        grid.setText(h, c, heading);
    }
    grid.setCurrentCell(grid.currentRow(), col);
    QString heading = grid.text(h, col);
    bool descending = false;
    if (heading.endsWith(kAscending)) {
        heading.remove(kAscending).append(kDescending);
        descending = true;
    } else if (heading.endsWith(kDescending)) {
        heading.remove(kDescending).append(kAscending);
    } else {
        heading.append(kAscending);
    }
    grid.setText(h, col, heading);

    const int first = grid.fixedRows();
    // The serial column is not part of the rows: it keeps reading 1, 2, 3 ... from the top,
    // and only needs writing when it did not read so already.
    const int serial = grid.fixedCols() - 1;
    bool serialInOrder = true;
    std::vector<std::pair<QByteArray, int>> keys;  // a row's sort key and its row
    keys.reserve(size_t(qMax(grid.rows() - first, 0)));
    for (int r = first; r < grid.rows(); ++r) {
        if (serial >= 0 && serialInOrder)
            serialInOrder = isSerialNumber(grid.text(r, serial), r - h);
        keys.emplace_back(gridSortKey(grid.text(r, col)), r);
    }
    // Ties keep their previous order (the row number decides), so sorting by one column
    // after another keeps the earlier order within equal texts.
    std::sort(keys.begin(), keys.end(), [descending](const auto& x, const auto& y) {
        const int c = x.first.compare(y.first);
        return c != 0 ? (descending ? c > 0 : c < 0) : x.second < y.second;
    });
    std::vector<int> order;
    order.reserve(keys.size());
    for (const auto& key : keys)
        order.push_back(key.second);

    grid.permuteRows(first, order, serial);
    if (serial >= 0 && !serialInOrder)
        for (int r = first; r < grid.rows(); ++r)
            grid.setText(r, serial, QString::number(r - h));
}

void RemoveGridRows(BoundGrid& grid, int first, int last) {
    OrderPair(first, last);
    first = qMax(first, grid.fixedRows());
    last = qMin(last, grid.rows() - 1);
    const int n = last - first + 1;
    if (n <= 0)
        return;
    const int serial = grid.fixedCols() - 1;
    for (int r = first; r <= grid.rows() - n - 1; ++r)
        for (int c = 0; c < grid.cols(); ++c)
            if (c != serial)
                grid.setText(r, c, grid.text(r + n, c));
    grid.setRows(grid.rows() - n);
}

void OrderPair(int& first, int& last) {
    if (last < first)
        std::swap(first, last);
}

void SetRowForeColor(BoundGrid& grid, int row, quint32 color) {
    for (GridCell& cell : grid.rowCells(row))
        cell.foreColor = color;
}

void SetAllForeColor(BoundGrid& grid, quint32 color) {
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        SetRowForeColor(grid, r, color);
}

quint32 GetCellColor(const BoundGrid& grid, int row, int col, bool foreground) {
    const GridCell& cell = grid.cell(row, col);
    const quint32 color = foreground ? cell.foreColor : cell.backColor;
    return color == kNearBlack ? 0 : color;
}

void SetCellColor(BoundGrid& grid, int row, int col, quint32& color, bool foreground) {
    if (color == 0)
        color = kNearBlack;
    GridCell& cell = grid.cell(row, col);
    (foreground ? cell.foreColor : cell.backColor) = color;
}
