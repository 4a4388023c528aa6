#include "HistoryTab.h"

#include <cmath>

#include <QItemSelectionModel>

#include "Clock.h"
#include "HistoryExport.h"
#include "HistoryGrid.h"
#include "HistoryList.h"
#include "HistoryRecords.h"
#include "HistoryView.h"
#include "TextMeasure.h"
#include "ui_HistoryTab.h"

using namespace Qt::StringLiterals;

HistoryTab::HistoryTab(HistoryList& list, GridTools tools, Database& db, Prompts& prompts,
                       const Clock& clock, QWidget* parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::HistoryTab>()),
      m_list(list),
      m_tools(tools),
      m_db(db),
      m_prompts(prompts),
      m_clock(clock),
      m_view(new HistoryView(list, tools.measure, this)) {
    m_ui->setupUi(this);
    // The grid needs the list it shows, so it is made here and takes the room above the
    // commands.
    m_ui->layout->insertWidget(0, m_view, 1);
    m_view->setObjectName(u"MSF"_s);
    m_view->setFont(historyGridFont());  // the font its column widths were measured in
    m_view->setAccessibleName(u"历史记录"_s);
    m_view->setToolTip(historyGridToolTip());
    m_view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    connect(m_view, &HistoryView::rowDoubleClicked, this, &HistoryTab::reprintRequested);
    connect(m_ui->Comm15, &QPushButton::clicked, this,
            [this] { emit reprintRequested(currentRow()); });
    connect(m_ui->Comm5, &QPushButton::clicked, this, &HistoryTab::deleteRows);
    connect(m_ui->Comm10, &QPushButton::clicked, this, &HistoryTab::exportHistory);
    connect(m_ui->Comm6, &QPushButton::clicked, this, &HistoryTab::clearAll);
}

HistoryTab::~HistoryTab() = default;

void HistoryTab::showHistory() {
    if (!m_list.isLoaded()) {
        m_list.load();
        m_view->reload(true);
    } else if (m_list.refresh()) {
        m_view->reload(false);
    }
}

void HistoryTab::historyChanged() {
    if (m_list.isLoaded() && m_list.refresh())
        m_view->reload(false);
}

void HistoryTab::deleteRows() {
    emit commandStarted();
    if (m_list.count() == 0)
        return;
    const auto [first, last] = selectedRows();
    if (DeleteHistoryRows(m_db, m_list, first, last, m_prompts))
        m_view->reload(false);
}

void HistoryTab::clearAll() {
    emit commandStarted();
    if (DeleteAllHistory(m_db, m_list, m_prompts))
        m_view->reload(false);
}

void HistoryTab::exportHistory() {
    emit commandStarted();
    // The export reads the rows through one query; a server's driver would drop its rows if
    // the grid read a page meanwhile, so the grid is not drawn until the export is done.
    m_view->setUpdatesEnabled(false);
    // The widths as the grid shows them now, the user's own too.
    std::vector<int> widths;
    for (int c = 0; c < m_view->model()->columnCount(); ++c)
        widths.push_back(int(std::lround(m_view->columnWidth(c) * 1440.0 / logicalDpiX())));
    chooseFileAndExportHistory(m_db, m_list.order(), m_list.headings(), widths, m_clock.today(),
                               m_prompts, m_tools.progress);
    m_view->setUpdatesEnabled(true);
}

int HistoryTab::currentRow() const {
    if (m_list.count() == 0)
        return -1;
    return m_view->currentIndex().isValid() ? m_view->currentIndex().row() : 0;
}

std::pair<int, int> HistoryTab::selectedRows() const {
    const int current = currentRow();
    int other = current;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows()) {
        // The end of the selection farthest from the current row.
        if (qAbs(index.row() - current) > qAbs(other - current))
            other = index.row();
    }
    return {current, other};
}
