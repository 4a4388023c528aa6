#include "HistoryTab.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>

#include "HistoryExport.h"
#include "HistoryGrid.h"
#include "HistoryList.h"
#include "HistoryRecords.h"
#include "HistoryView.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

HistoryTab::HistoryTab(HistoryList& list, GridTools tools, Database& db, Prompts& prompts,
                       QWidget* parent)
    : QWidget(parent),
      m_list(list),
      m_tools(tools),
      m_db(db),
      m_prompts(prompts),
      m_view(new HistoryView(list, tools.measure, this)) {
    m_view->setObjectName(u"MSF"_s);
    m_view->setFont(historyGridFont());  // the font its column widths were measured in
    m_view->setAccessibleName(u"历史记录"_s);
    m_view->setToolTip(historyGridToolTip());
    m_view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    connect(m_view, &HistoryView::rowDoubleClicked, this, &HistoryTab::reprintRequested);

    auto* buttons = new QHBoxLayout;
    const std::pair<const char16_t*, const char16_t*> commands[] = {{u"Comm15", u"再 次 打 印"},
                                                                    {u"Comm5", u"删 除 记 录"},
                                                                    {u"Comm10", u"导 出 记 录"},
                                                                    {u"Comm6", u"清 除 记 录"}};
    for (const auto& [name, caption] : commands) {
        auto* button = new QPushButton(QString::fromUtf16(caption), this);
        button->setObjectName(QString::fromUtf16(name));
        button->setAccessibleName(button->text());
        button->setMinimumHeight(30);
        buttons->addWidget(button);
        const QString which = button->objectName();
        connect(button, &QPushButton::clicked, this, [this, which] {
            if (which == u"Comm15")
                emit reprintRequested(currentRow());
            else if (which == u"Comm5")
                deleteRows();
            else if (which == u"Comm10")
                exportHistory();
            else
                clearAll();
        });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
}

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
    chooseFileAndExportHistory(m_db, m_list.order(), m_list.headings(), m_prompts,
                               m_tools.progress);
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
