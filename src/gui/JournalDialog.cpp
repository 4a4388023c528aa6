#include "JournalDialog.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "BoundGridModel.h"
#include "GridExport.h"
#include "PrintJournal.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

JournalDialog::JournalDialog(Database& db, Prompts& prompts, GridTools tools, const QDate& today,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_db(db),
      m_prompts(prompts),
      m_tools(tools),
      m_view(new BoundGridView(m_grid, tools, this)),
      m_from(new QDateEdit(today.addMonths(-1), this)),
      m_to(new QDateEdit(today, this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(u"Journal"_s);
    setWindowTitle(u"打印日志"_s);
    m_view->setObjectName(u"JournalGrid"_s);
    m_view->setAccessibleName(u"打印日志"_s);
    m_view->setFont(historyGridFont());
    for (QDateEdit* day : {m_from, m_to}) {
        day->setCalendarPopup(true);
        day->setDisplayFormat(u"yyyy-MM-dd"_s);
    }
    m_from->setAccessibleName(u"从"_s);
    m_to->setAccessibleName(u"到"_s);
    auto* show = new QPushButton(u"查 询"_s, this);
    auto* save = new QPushButton(u"导 出"_s, this);
    show->setAccessibleName(show->text());
    save->setAccessibleName(save->text());
    connect(show, &QPushButton::clicked, this, &JournalDialog::showDays);
    connect(save, &QPushButton::clicked, this, &JournalDialog::exportJournal);

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(u"从"_s, this));
    bar->addWidget(m_from);
    bar->addWidget(new QLabel(u"到"_s, this));
    bar->addWidget(m_to);
    bar->addWidget(show);
    bar->addStretch();
    bar->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);
    resize(900, 500);
    showDays();
}

void JournalDialog::showDays() {
    buildJournalGrid(m_grid, m_db, m_from->date(), m_to->date(), m_tools);
    m_view->reload();
}

void JournalDialog::exportJournal() {
    ExportGrid(m_grid, m_prompts, u"打印日志"_s, m_tools.progress);
}
