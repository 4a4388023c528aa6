#include "ExportRows.h"

#include "BoundGrid.h"
#include "GridRoutines.h"

GridRows::GridRows(const BoundGrid& grid) : m_grid(grid), m_row(grid.fixedRows()) {
    for (int c = 0; c < grid.cols(); ++c)
        if (grid.colWidth(c) > 0)
            m_columns.push_back(c);
    const int heading = grid.fixedRows() - 1;
    if (heading >= 0 && heading < grid.rows())
        for (int c : m_columns)
            m_headings << withoutSortMarker(grid.text(heading, c));
}

qint64 GridRows::count() const {
    qint64 visible = 0;
    for (int r = m_grid.fixedRows(); r < m_grid.rows(); ++r)
        visible += m_grid.rowHeight(r) > 0;
    return visible;
}

bool GridRows::next(QStringList& texts) {
    while (m_row < m_grid.rows() && m_grid.rowHeight(m_row) == 0)
        ++m_row;
    if (m_row >= m_grid.rows())
        return false;
    texts.resize(qsizetype(m_columns.size()));
    for (size_t i = 0; i < m_columns.size(); ++i)
        texts[qsizetype(i)] = m_grid.text(m_row, m_columns[i]);
    ++m_row;
    return true;
}

std::optional<std::vector<int>> GridRows::columnWidths() const {
    std::vector<int> widths;
    for (int c : m_columns)
        widths.push_back(m_grid.colWidth(c) / kTwipsPerWorkbookCharacter);
    return widths;
}
