#pragma once

#include <vector>

#include <QString>
#include <QtGlobal>

// Black cannot be stored in a cell (0 means "default colour"), so it is kept as RGB 1, 1, 1.
inline constexpr quint32 kNearBlack = 65793;

struct GridCell {
    QString text;
    quint32 foreColor = 0;  // 0 = the grid's default colour
    quint32 backColor = 0;
};

// A grid of text cells with fixed header rows and columns, per-cell colours, column widths
// and row heights in twips, a current cell and the name of the table that feeds it. Bound
// grids keep the database column of each column in row 0 and the headings in row 1, the row
// ID in column 0 and a running number in column 1. No widgets: a view shows it.
class BoundGrid final {
public:
    static constexpr int kDefaultColWidth = 960;
    static constexpr int kDefaultRowHeight = 300;

    int rows() const { return int(m_rows.size()); }
    int cols() const { return m_cols; }
    void setRows(int rows);
    void setCols(int cols);
    // Adds one empty row at the bottom and returns its index.
    int appendRow();

    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setFixedRows(int n) { m_fixedRows = qBound(0, n, rows()); }
    void setFixedCols(int n) { m_fixedCols = qBound(0, n, cols()); }
    // Data rows run from fixedRows() to rows() - 1.
    bool hasDataRows() const { return m_fixedRows < rows(); }

    const QString& text(int row, int col) const { return cell(row, col).text; }
    void setText(int row, int col, const QString& text) { cell(row, col).text = text; }
    GridCell& cell(int row, int col) { return m_rows[size_t(row)][size_t(col)]; }
    const GridCell& cell(int row, int col) const { return m_rows[size_t(row)][size_t(col)]; }
    std::vector<GridCell>& rowCells(int row) { return m_rows[size_t(row)]; }

    int colWidth(int col) const { return m_colWidths[size_t(col)]; }
    void setColWidth(int col, int twips) { m_colWidths[size_t(col)] = twips; }
    int rowHeight(int row) const { return m_rowHeights[size_t(row)]; }
    void setRowHeight(int row, int twips) { m_rowHeights[size_t(row)] = twips; }

    // The grid control's own width, in twips; column fitting works against it.
    int width() const { return m_width; }
    void setWidth(int twips) { m_width = twips; }

    // The name of the table that feeds the grid.
    const QString& tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    int currentRow() const { return m_currentRow; }
    int currentCol() const { return m_currentCol; }
    void setCurrentCell(int row, int col);

    // Reorders the rows from `first` on: row first + i becomes the row that was at order[i].
    // The cells of column `keepCol` (if any) stay where they are.
    void permuteRows(int first, const std::vector<int>& order, int keepCol = -1);

private:
    std::vector<std::vector<GridCell>> m_rows;
    std::vector<int> m_colWidths;
    std::vector<int> m_rowHeights;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    int m_width = 11400;
    QString m_tag;
    int m_currentRow = 0;
    int m_currentCol = 0;
};
