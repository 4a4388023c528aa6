#include "BoundGrid.h"

void BoundGrid::setRows(int rows) {
    rows = qMax(rows, 0);
    m_rows.resize(size_t(rows), std::vector<GridCell>(size_t(m_cols)));
    m_rowHeights.resize(size_t(rows), kDefaultRowHeight);
    m_fixedRows = qMin(m_fixedRows, rows);
    m_currentRow = qBound(0, m_currentRow, qMax(rows - 1, 0));
}

void BoundGrid::setCols(int cols) {
    m_cols = qMax(cols, 0);
    for (auto& row : m_rows) row.resize(size_t(m_cols));
    m_colWidths.resize(size_t(m_cols), kDefaultColWidth);
    m_colAlignments.resize(size_t(m_cols), 0);
    m_fixedCols = qMin(m_fixedCols, m_cols);
    m_currentCol = qBound(0, m_currentCol, qMax(m_cols - 1, 0));
}

void BoundGrid::setCurrentCell(int row, int col) {
    m_currentRow = qBound(0, row, qMax(rows() - 1, 0));
    m_currentCol = qBound(0, col, qMax(m_cols - 1, 0));
}

void BoundGrid::permuteRows(int first, const std::vector<int>& order) {
    std::vector<std::vector<GridCell>> moved;
    moved.reserve(order.size());
    for (int from : order) moved.push_back(std::move(m_rows[size_t(from)]));
    for (size_t i = 0; i < moved.size(); ++i) m_rows[size_t(first) + i] = std::move(moved[i]);
}
