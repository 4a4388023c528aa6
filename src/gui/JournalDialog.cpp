#include "JournalDialog.h"

#include <QPushButton>

#include "BoundGridModel.h"
#include "GridExport.h"
#include "PrintJournal.h"
#include "TextMeasure.h"
#include "WindowFit.h"
#include "ui_JournalDialog.h"

using namespace Qt::StringLiterals;

JournalDialog::JournalDialog(Database& db, Prompts& prompts, GridTools tools, const QDate& today,
                             QWidget* parent)
    // A window with the main window's frame (it can be minimised and maximised), not a box.
    : QDialog(parent, Qt::Window),
      m_ui(std::make_unique<Ui::JournalDialog>()),
      m_db(db),
      m_prompts(prompts),
      m_tools(tools),
      m_today(today),
      m_view(new BoundGridView(m_grid, tools, this)) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // The grid needs the grid it shows, so it is made here and takes the room below the days.
    m_ui->layout->addWidget(m_view, 1);
    m_view->setObjectName(u"JournalGrid"_s);
    m_view->setAccessibleName(u"打印日志"_s);
    m_view->setFont(historyGridFont());
    m_ui->from->setDate(today.addMonths(-1));
    m_ui->to->setDate(today);
    QPushButton* save = m_ui->buttons->addButton(u"导 出"_s, QDialogButtonBox::ActionRole);
    save->setAccessibleName(save->text());
    connect(m_ui->query, &QPushButton::clicked, this, &JournalDialog::showDays);
    connect(save, &QPushButton::clicked, this, &JournalDialog::exportJournal);
    showDays();
    fitOnScreen(*this);
}

JournalDialog::~JournalDialog() = default;

QDateEdit* JournalDialog::from() const {
    return m_ui->from;
}

QDateEdit* JournalDialog::to() const {
    return m_ui->to;
}

void JournalDialog::showDays() {
    buildJournalGrid(m_grid, m_db, m_ui->from->date(), m_ui->to->date(), m_tools);
    m_view->reload();
}

void JournalDialog::exportJournal() {
    ExportGrid(m_grid, m_prompts, u"打印日志"_s, m_today, m_tools.progress);
}
