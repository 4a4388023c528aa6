#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <vector>

class BoundGrid;
class Database;
class ProgressIndicator;
class TextMeasure;

// What column fitting and sorting need besides the grid: the window's font and the progress.
struct GridTools {
    TextMeasure& measure;
    ProgressIndicator& progress;
};

// Lays out the two fixed rows (field names, hidden; headings) and the two fixed columns
// (hidden ID; serial number) from the lists; the grid is left with no data row. Lists of
// different lengths change nothing.
void SetUpGridColumns(BoundGrid& grid, const QStringList& names, const QStringList& headings);

// Replaces the data rows with the rows of the table named by the grid's tag ("SELECT * FROM"
// the tag, " WHERE " filter with its bound values, " ORDER BY " order), then fits the column
// widths. Dates show as yyyy.mm.dd, yes/no as "√" or nothing, a "Color" column as the cell's
// fill. A failed query leaves the headings and no data row.
void FillGrid(BoundGrid& grid, Database& db, const QString& filter, const QVariantList& values,
              const QString& order, GridTools tools);

// A stored value as a grid cell shows it: a date (stored yyyy-mm-dd) as yyyy.mm.dd, a number
// as numberText writes it, a missing value as nothing.
QString shownCellText(const QVariant& value, bool date);

// Sets every column's width from its widest text (+100 twips; 50 when empty; at most half
// the grid's width) and stretches the last column to the grid's width less 400 twips.
void FitColumnWidths(BoundGrid& grid, int firstRow, bool showProgress, GridTools tools);

// The widths that fitting gives columns whose widest texts (the heading included) measure
// `widest` twips, a negative one for a hidden column: 100 more than the text (50 for an empty
// column, 0 for a hidden one), at most half the grid's width, and the last column stretched to
// the grid's width less 400.
std::vector<int> fittedColumnWidths(const std::vector<double>& widest, int gridWidth);

// A grid's header as a mouse press sees it, in twips from its left edge: the height of the fixed
// rows, the width of every column (0 for a hidden one) and how many columns are fixed. The view
// scrolls, and tells where a press lands as if it had not.
struct GridHeader {
    double height = 0;
    std::vector<int> widths;
    int fixedCols = 0;
};

// What a press on a header does to its grid.
struct GridHeaderActions {
    std::function<void()> fitWidths;
    std::function<void(int column)> sortBy;
};

// The header of a bound grid, and what a press does to it: fit (FitColumnWidths from row 1,
// with progress) or SortGridByColumn.
GridHeader gridHeader(const BoundGrid& grid);
GridHeaderActions gridHeaderActions(BoundGrid& grid, GridTools tools);

// Where a press on the column's heading lands: its middle, in the header's twips.
double headingMiddle(const GridHeader& header, int column);

// A mouse press at (x, y) twips: on the header above the fixed columns it refits the widths,
// on a heading it sorts by that column, below the header it does nothing.
void GridHeaderMouseDown(const GridHeader& header, double x, double y,
                         const GridHeaderActions& actions);

// Toggles the column's sort marker (△ ascending, ▽ descending), sorts the data rows by the
// column's texts in the grid's sort order (gridSortKey: numbers first, by their exact value,
// then texts) and renumbers the serial column. Equal texts keep their order.
void SortGridByColumn(BoundGrid& grid, int col);
// The heading without the sort marker that the grid shows after it.
QString withoutSortMarker(const QString& heading);

// Removes data rows first..last (either order) by moving the later texts up; the serial
// column and the cell colours stay where they are.
void RemoveGridRows(BoundGrid& grid, int first, int last);

// Swaps the two values when last is less than first.
void OrderPair(int& first, int& last);

void SetRowForeColor(BoundGrid& grid, int row, quint32 color);
void SetAllForeColor(BoundGrid& grid, quint32 color);
// The cell's text colour (foreground true) or fill colour; near-black reads back as 0.
quint32 GetCellColor(const BoundGrid& grid, int row, int col, bool foreground);
// Sets the cell's text or fill colour; black (0) is stored, and handed back, as near-black.
void SetCellColor(BoundGrid& grid, int row, int col, quint32& color, bool foreground);
