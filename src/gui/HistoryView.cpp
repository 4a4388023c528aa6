#include "HistoryView.h"

#include <QHeaderView>
#include <QPalette>
#include <QScrollBar>

#include "BoundGrid.h"
#include "GridRoutines.h"
#include "HeadingPress.h"
#include "HistoryGrid.h"
#include "HistoryList.h"

namespace {

constexpr int kCellPadding = 8;  // pixels, as the other grids

}  // namespace

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_list.count();
}

int HistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_list.columnCount();
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return m_list.text(index.row(), index.column());
    if (role == Qt::BackgroundRole && index.column() < 2)  // the fixed columns
        return QPalette().button();
    return {};
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return m_list.headings().value(section);
}

void HistoryModel::reload() {
    beginResetModel();
    endResetModel();
}

HistoryView::HistoryView(HistoryList& list, TextMeasure& measure, QWidget* parent)
    : QTableView(parent),
      m_list(list),
      m_measure(measure),
      m_model(list),
      m_pinned(new QTableView(this)) {
    setModel(&m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(toPixels(BoundGrid::kDefaultRowHeight));
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(new HeadingPress(horizontalHeader()), &HeadingPress::pressed, this,
            &HistoryView::headingPressed);
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit rowDoubleClicked(index.row());
    });

    // The last column again, over the grid's right edge: the same rows, the same selection,
    // scrolled with the grid; where the grid is scrolled to its end, it lies over the grid's
    // own last column.
    m_pinned->setModel(&m_model);
    m_pinned->setSelectionModel(selectionModel());
    m_pinned->setFocusPolicy(Qt::NoFocus);
    m_pinned->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pinned->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pinned->setFrameShape(QFrame::NoFrame);
    m_pinned->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pinned->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pinned->verticalHeader()->hide();
    m_pinned->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    m_pinned->horizontalHeader()->setHighlightSections(false);
    m_pinned->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_pinned->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(m_pinned->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
            &QScrollBar::setValue);
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, &HistoryView::placePinned);
    connect(new HeadingPress(m_pinned->horizontalHeader()), &HeadingPress::pressed, this,
            &HistoryView::headingPressed);
    connect(m_pinned, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit rowDoubleClicked(index.row());
    });
    m_pinned->hide();
}

void HistoryView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placePinned();
}

void HistoryView::updateGeometries() {
    QTableView::updateGeometries();
    placePinned();
}

void HistoryView::placePinned() {
    const int last = m_model.columnCount() - 1;
    const int width = columnWidth(last);
    // Shown only while some column lies out of view, and never wider than half the grid.
    if (horizontalScrollBar()->maximum() == 0 || width <= 0 || width > viewport()->width() / 2) {
        m_pinned->hide();
        return;
    }
    for (int c = 0; c < last; ++c)
        m_pinned->setColumnHidden(c, true);
    m_pinned->setColumnHidden(last, false);
    m_pinned->setColumnWidth(last, width);
    m_pinned->setFont(font());  // the widths were measured in the grid's font
    m_pinned->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    m_pinned->setGeometry(viewport()->geometry().right() + 1 - width, frameWidth(), width,
                          horizontalHeader()->height() + viewport()->height());
    m_pinned->verticalScrollBar()->setValue(verticalScrollBar()->value());
    m_pinned->show();
}

int HistoryView::toPixels(int twips) const {
    return int(std::lround(twips * logicalDpiX() / 1440.0));
}

int HistoryView::widthTwips() const {
    return int(std::lround(viewport()->width() * 1440.0 / logicalDpiX()));
}

void HistoryView::reload(bool fit) {
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    const int column = currentIndex().isValid() ? currentIndex().column() : 2;
    m_model.reload();
    // The last column fills the grid's width less the cells' padding, so that it ends in
    // view and its heading, centred, shows without scrolling.
    const int padding =
        int(std::lround(double(m_list.columnCount() - 1) * kCellPadding * 1440.0 / logicalDpiX()));
    if (fit || m_list.columnWidths().empty())
        m_list.fitColumnWidths(m_measure, widthTwips() - padding);
    const std::vector<int>& widths = m_list.columnWidths();
    for (int c = 0; c < int(widths.size()); ++c) {
        setColumnHidden(c, widths[size_t(c)] == 0);
        // The view draws cell texts with margins of its own and whole-pixel glyph advances.
        setColumnWidth(c, toPixels(widths[size_t(c)]) + kCellPadding);
    }
    if (current >= 0 && m_list.count() > 0) {
        const int row = std::min(current, m_list.count() - 1);
        setCurrentIndex(m_model.index(row, column));
        selectRow(row);
    }
    placePinned();
}

// A press on a heading lands at its middle: on the serial column's heading it fits the widths; on
// a later one it sorts.
void HistoryView::headingPressed(int section) {
    const GridHeader header{BoundGrid::kDefaultRowHeight, m_list.columnWidths(), 2};
    GridHeaderMouseDown(header, headingMiddle(header, section), header.height / 2,
                        {[this] { reload(true); },
                         [this](int column) {
                             m_list.sortBy(column);
                             reload(false);
                         }});
}
