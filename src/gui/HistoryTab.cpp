#include "HistoryTab.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>

#include "BoundGrid.h"
#include "BoundGridModel.h"
#include "GridExport.h"
#include "HistoryGrid.h"
#include "HistoryRecords.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

HistoryTab::HistoryTab(BoundGrid& grid, GridTools tools, Database& db, Prompts& prompts,
                       QWidget* parent)
    : QWidget(parent),
      m_grid(grid),
      m_tools(tools),
      m_db(db),
      m_prompts(prompts),
      m_view(new BoundGridView(grid, tools, this)) {
    m_view->setObjectName(u"MSF"_s);
    m_view->setFont(historyGridFont());  // the font its column widths were measured in
    m_view->setAccessibleName(u"历史记录"_s);
    m_view->setToolTip(historyGridToolTip());
    m_view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    connect(m_view, &BoundGridView::gridRowDoubleClicked, this, &HistoryTab::reprintRequested);

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
                emit reprintRequested(currentGridRow());
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
    if (!m_built || HistoryStamp(m_db) != m_stamp)
        rebuild();
}

void HistoryTab::historyChanged() {
    if (m_built)
        rebuild();
}

void HistoryTab::rebuild() {
    m_built = true;
    m_stamp = HistoryStamp(m_db);
    BuildHistoryGrid(m_grid, m_db, m_tools);
    m_view->reload();
}

void HistoryTab::deleteRows() {
    emit commandStarted();
    if (!m_grid.hasDataRows())
        return;
    const auto [first, last] = selectedGridRows();
    if (DeleteHistoryRows(m_db, m_grid, first, last, m_prompts))
        m_view->reload();
}

void HistoryTab::clearAll() {
    emit commandStarted();
    if (DeleteAllHistory(m_db, m_grid, m_prompts))
        m_view->reload();
}

void HistoryTab::exportHistory() {
    emit commandStarted();
    ExportGrid(m_grid, m_prompts, historySheetName(), m_tools.progress);
}

int HistoryTab::currentGridRow() const {
    if (!m_grid.hasDataRows())
        return -1;
    const int row = m_view->currentIndex().isValid() ? m_view->currentIndex().row() : 0;
    return m_grid.fixedRows() + row;
}

std::pair<int, int> HistoryTab::selectedGridRows() const {
    const int current = currentGridRow();
    int other = current;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows()) {
        const int row = m_grid.fixedRows() + index.row();
        // The end of the selection farthest from the current row.
        if (qAbs(row - current) > qAbs(other - current))
            other = row;
    }
    return {current, other};
}
