#include "BoundGrid.h"

void BoundGrid::setRows(int rows) {
    rows = qMax(rows, 0);
    m_rows.resize(size_t(rows), std::vector<GridCell>(size_t(m_cols)));
    m_rowHeights.resize(size_t(rows), kDefaultRowHeight);
    m_fixedRows = qMin(m_fixedRows, rows);
    m_currentRow = qBound(0, m_currentRow, qMax(rows - 1, 0));
}

int BoundGrid::appendRow() {
    m_rows.emplace_back(size_t(m_cols));
    m_rowHeights.push_back(kDefaultRowHeight);
    return rows() - 1;
}

void BoundGrid::setCols(int cols) {
    m_cols = qMax(cols, 0);
    for (auto& row : m_rows)
        row.resize(size_t(m_cols));
    m_colWidths.resize(size_t(m_cols), kDefaultColWidth);
    m_fixedCols = qMin(m_fixedCols, m_cols);
    m_currentCol = qBound(0, m_currentCol, qMax(m_cols - 1, 0));
}

void BoundGrid::setCurrentCell(int row, int col) {
    m_currentRow = qBound(0, row, qMax(rows() - 1, 0));
    m_currentCol = qBound(0, col, qMax(m_cols - 1, 0));
}

void BoundGrid::permuteRows(int first, const std::vector<int>& order, int keepCol) {
    // Follows each cycle of the permutation, moving rows in place; the cell of column
    // keepCol that belongs to the current position travels along in `kept`.
    auto row = [&](size_t i) -> std::vector<GridCell>& { return m_rows[size_t(first) + i]; };
    std::vector<bool> done(order.size());
    for (size_t start = 0; start < order.size(); ++start) {
        if (done[start])
            continue;
        std::vector<GridCell> startRow = std::move(row(start));
        GridCell kept = keepCol >= 0 ? std::move(startRow[size_t(keepCol)]) : GridCell();
        for (size_t pos = start;;) {
            done[pos] = true;
            const size_t from = size_t(order[pos] - first);
            GridCell next;
            if (from == start) {
                row(pos) = std::move(startRow);  // NOLINT(bugprone-use-after-move): the cycle ends
            } else {
                if (keepCol >= 0)
                    next = std::move(row(from)[size_t(keepCol)]);
                row(pos) = std::move(row(from));
            }
            if (keepCol >= 0)
                row(pos)[size_t(keepCol)] = std::move(kept);
            if (from == start)
                break;
            kept = std::move(next);
            pos = from;
        }
    }
}
