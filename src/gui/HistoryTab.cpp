#include "HistoryTab.h"

#include <cmath>

#include <QItemSelectionModel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include "Clock.h"
#include "DocumentKind.h"
#include "HistoryExport.h"
#include "HistoryGrid.h"
#include "HistoryList.h"
#include "HistoryRecords.h"
#include "HistoryView.h"
#include "TextMeasure.h"
#include "UserState.h"
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
      m_view(new HistoryView(list, tools.measure, this)),
      m_fillSlip(new QPushButton(u"填写进账单(&J)"_s, this)),
      m_printBack(new QPushButton(u"打印背面(&M)"_s, this)) {
    m_ui->setupUi(this);
    // The grid needs the list it shows, so it is made here and takes the room above the
    // commands.
    m_ui->layout->insertWidget(1, m_view, 1);
    m_view->setObjectName(u"MSF"_s);
    m_view->setFont(historyGridFont());  // the font its column widths were measured in
    m_view->setAccessibleName(u"历史记录"_s);
    m_view->setToolTip(historyGridToolTip());
    m_view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    connect(m_view, &HistoryView::rowDoubleClicked, this, &HistoryTab::reprintRequested);
    connect(m_ui->Comm15, &QPushButton::clicked, this,
            [this] { emit reprintRequested(currentRow()); });
    // A deposit slip goes to the bank with a transfer cheque: it is filled from the cheque's row.
    m_fillSlip->setObjectName(u"FillSlip"_s);
    m_fillSlip->setAccessibleName(u"填写进账单"_s);
    m_fillSlip->setMinimumHeight(30);
    m_ui->commands->insertWidget(1, m_fillSlip);
    connect(m_fillSlip, &QPushButton::clicked, this, [this] { emit slipRequested(currentRow()); });
    // A back is printed after its front, which may have been printed and kept some time before.
    m_printBack->setObjectName(u"PrintBack"_s);
    m_printBack->setAccessibleName(u"打印背面"_s);
    m_printBack->setMinimumHeight(30);
    m_ui->commands->insertWidget(2, m_printBack);
    connect(m_printBack, &QPushButton::clicked, this, [this] { emit backRequested(currentRow()); });
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, &HistoryTab::showRowMenu);
    connect(m_ui->Comm5, &QPushButton::clicked, this, &HistoryTab::deleteRows);
    connect(m_ui->Comm10, &QPushButton::clicked, this, &HistoryTab::exportHistory);
    connect(m_ui->Comm6, &QPushButton::clicked, this, &HistoryTab::clearAll);

    // A million rows are searched once typing pauses, not at every key.
    m_searchPause.setSingleShot(true);
    m_searchPause.setInterval(kSearchPause);
    connect(&m_searchPause, &QTimer::timeout, this, &HistoryTab::applySearch);
    connect(m_ui->searchText, &QLineEdit::textChanged, &m_searchPause, qOverload<>(&QTimer::start));
    // Ctrl+F goes to the search line from anywhere on the tab, its text selected.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, this,
            [this] {
                m_ui->searchText->setFocus(Qt::ShortcutFocusReason);
                m_ui->searchText->selectAll();
            });
    // The range starts as this month; it narrows nothing until 按日期 is ticked.
    const QDate today = m_clock.today();
    m_ui->fromDate->setDate(QDate(today.year(), today.month(), 1));
    m_ui->toDate->setDate(today);
    m_ui->fromDate->setEnabled(false);
    m_ui->toDate->setEnabled(false);
    connect(m_ui->byDate, &QCheckBox::toggled, this, [this](bool on) {
        m_ui->fromDate->setEnabled(on);
        m_ui->toDate->setEnabled(on);
        applySearch();
    });
    connect(m_ui->fromDate, &QDateEdit::dateChanged, this, [this] { dateChanged(true); });
    connect(m_ui->toDate, &QDateEdit::dateChanged, this, [this] { dateChanged(false); });
    showCount();
}

HistoryTab::~HistoryTab() = default;

void HistoryTab::showHistory() {
    m_fillSlip->setVisible(m_list.order().kind == kTransferCheque);
    m_printBack->setVisible(listsBacks());
    if (!m_list.isLoaded()) {
        m_list.load();
        reloadView(true);
    } else if (m_list.refresh()) {
        reloadView(false);
    }
}

void HistoryTab::showRowMenu(QPoint at) {
    const QModelIndex index = m_view->indexAt(at);
    if (!index.isValid())
        return;
    m_view->setCurrentIndex(index);
    QMenu menu(this);
    menu.addAction(u"再次打印"_s, this, [this, row = index.row()] { emit reprintRequested(row); });
    if (m_list.order().kind == kTransferCheque)
        menu.addAction(u"填写进账单"_s, this,
                       [this, row = index.row()] { emit slipRequested(row); });
    if (listsBacks())
        menu.addAction(u"打印背面"_s, this, [this, row = index.row()] { emit backRequested(row); });
    menu.exec(m_view->viewport()->mapToGlobal(at));
}

bool HistoryTab::listsBacks() const {
    const DocumentKind* kind = kindById(m_list.order().kind);
    return kind && hasBack(*kind);
}

void HistoryTab::historyChanged() {
    if (m_list.isLoaded() && m_list.refresh())
        reloadView(false);
}

void HistoryTab::reloadView(bool fit) {
    m_view->reload(fit);
    showCount();
}

void HistoryTab::showCount() {
    static const QLocale chinese(QLocale::Chinese, QLocale::China);
    m_ui->rowCount->setText(u"共 "_s + chinese.toString(m_list.count()) + u" 行"_s);
}

// The range keeps its ends in order: moving one end past the other takes that one along.
void HistoryTab::dateChanged(bool from) {
    if (from && m_ui->toDate->date() < m_ui->fromDate->date())
        m_ui->toDate->setDate(m_ui->fromDate->date());
    else if (!from && m_ui->fromDate->date() > m_ui->toDate->date())
        m_ui->fromDate->setDate(m_ui->toDate->date());
    m_searchPause.start();
}

void HistoryTab::applySearch() {
    m_searchPause.stop();
    const bool byDate = m_ui->byDate->isChecked();
    const HistoryFilter filter{m_ui->searchText->text(), byDate ? m_ui->fromDate->date() : QDate(),
                               byDate ? m_ui->toDate->date() : QDate()};
    if (filter == m_list.order().filter)
        return;
    m_list.setFilter(filter);
    reloadView(false);
}

void HistoryTab::deleteRows() {
    emit commandStarted();
    if (m_list.count() == 0)
        return;
    const auto [first, last] = selectedRows();
    if (DeleteHistoryRows(m_db, m_list, first, last, m_prompts))
        reloadView(false);
}

void HistoryTab::clearAll() {
    emit commandStarted();
    if (DeleteAllHistory(m_db, m_list, m_prompts))
        reloadView(false);
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
