#include "BoundGridModel.h"

#include <QColor>
#include <QHeaderView>
#include <QPalette>

#include "BoundGrid.h"
#include "Colors.h"
#include "HeadingPress.h"

namespace {

constexpr int kCellPadding = 8;  // pixels

}  // namespace

int BoundGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.rows() - m_grid.fixedRows();
}

int BoundGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.cols();
}

QVariant BoundGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const GridCell& cell = m_grid.cell(m_grid.fixedRows() + index.row(), index.column());
    switch (role) {
        case Qt::DisplayRole:
            return cell.text;
        case Qt::BackgroundRole:
            if (cell.backColor != 0)
                return toQColor(cell.backColor);
            if (index.column() < m_grid.fixedCols())
                return QPalette().button();
            return {};
        case Qt::ForegroundRole:
            return cell.foreColor != 0 ? QVariant(toQColor(cell.foreColor)) : QVariant();
        default:
            return {};
    }
}

QVariant BoundGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || m_grid.fixedRows() == 0)
        return {};
    return m_grid.text(m_grid.fixedRows() - 1, section);
}

void BoundGridModel::reload() {
    beginResetModel();
    endResetModel();
}

BoundGridView::BoundGridView(BoundGrid& grid, GridTools tools, QWidget* parent, Headings headings)
    : QTableView(parent), m_grid(grid), m_tools(tools), m_model(grid) {
    setModel(&m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(headings == Headings::Sort);
    horizontalHeader()->setHighlightSections(false);
    // A heading answers the press of any mouse button, as the header's own signals (left
    // button only) do not.
    if (headings == Headings::Sort)
        connect(new HeadingPress(horizontalHeader()), &HeadingPress::pressed, this,
                &BoundGridView::headerPressed);
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit gridRowDoubleClicked(m_grid.fixedRows() + index.row());
    });
}

int BoundGridView::toPixels(int twips) const {
    return int(std::lround(twips * logicalDpiX() / 1440.0));
}

void BoundGridView::reload() {
    m_model.reload();
    for (int c = 0; c < m_grid.cols(); ++c) {
        setColumnHidden(c, m_grid.colWidth(c) == 0);
        // The view draws cell texts with margins of its own and whole-pixel glyph advances.
        setColumnWidth(c, toPixels(m_grid.colWidth(c)) + kCellPadding);
    }
    const int rowHeight = toPixels(BoundGrid::kDefaultRowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    if (m_grid.hasDataRows()) {
        const int current = m_grid.currentRow() - m_grid.fixedRows();
        if (current >= 0)
            selectRow(current);
    }
}

void BoundGridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    m_grid.setWidth(int(std::lround(viewport()->width() * 1440.0 / logicalDpiX())));
}

// A press on a heading lands at its middle: on the serial column's heading it fits the widths, on
// any other it sorts.
void BoundGridView::headerPressed(int section) {
    const GridHeader header = gridHeader(m_grid);
    GridHeaderMouseDown(header, headingMiddle(header, section), header.height / 2,
                        gridHeaderActions(m_grid, m_tools));
    reload();
}
