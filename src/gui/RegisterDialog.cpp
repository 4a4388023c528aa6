#include "RegisterDialog.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>

#include "BoundGridModel.h"
#include "ChequeRegister.h"
#include "Clock.h"
#include "DocumentKind.h"
#include "GridExport.h"
#include "NumberSettle.h"
#include "Prompts.h"
#include "RegisterGrid.h"
#include "TextMeasure.h"
#include "WindowFit.h"
#include "ui_RegisterDialog.h"

using namespace Qt::StringLiterals;

RegisterDialog::RegisterDialog(Database& db, Prompts& prompts, const Clock& clock, GridTools tools,
                               const QString& account, const DocumentKind& kind, QWidget* parent)
    : QDialog(parent, Qt::Window),
      m_ui(std::make_unique<Ui::RegisterDialog>()),
      m_db(db),
      m_prompts(prompts),
      m_clock(clock),
      m_kind(kind),
      m_tools(tools),
      // The register keeps its order: a number's line stays with its book, gaps and totals.
      m_view(new BoundGridView(m_grid, tools, this, BoundGridView::Headings::KeepOrder)) {
    m_ui->setupUi(this);
    setWindowTitle(windowTitle() + u"（"_s + kind.id.toString() + u"）"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    m_ui->layout->addWidget(m_view, 1);
    m_view->setObjectName(u"RegisterGrid"_s);
    m_view->setAccessibleName(u"支票登记簿"_s);
    m_view->setFont(historyGridFont());
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    // The last column takes the room the others leave; the export keeps the fitted widths.
    m_view->horizontalHeader()->setStretchLastSection(true);

    QComboBox* accounts = m_ui->account;
    accounts->addItem(u"全部账号"_s, QString());
    if (const std::optional<QList<ChequeBook>> books = chequeBooks(m_db, {}, m_kind.id.toString()))
        for (const ChequeBook& book : *books)
            if (accounts->findData(book.account) < 0)
                accounts->addItem(book.account, book.account);
    accounts->setCurrentIndex(std::max(0, accounts->findData(account.trimmed())));

    QPushButton* voidNumber = m_ui->buttons->addButton(u"作废…"_s, QDialogButtonBox::ActionRole);
    voidNumber->setObjectName(u"voidNumber"_s);
    voidNumber->setAccessibleName(u"作废"_s);
    // A number a dead print left 打印中（未确认）: kept from its journal entry once the cashier
    // has seen the cheque; 作废… is the other answer.
    QPushButton* settle = m_ui->buttons->addButton(u"确认已打印…"_s, QDialogButtonBox::ActionRole);
    settle->setObjectName(u"settlePrinted"_s);
    settle->setAccessibleName(u"确认已打印"_s);
    QPushButton* save = m_ui->buttons->addButton(u"导 出"_s, QDialogButtonBox::ActionRole);
    save->setObjectName(u"export"_s);
    save->setAccessibleName(save->text());
    connect(accounts, &QComboBox::currentIndexChanged, this, &RegisterDialog::showRegister);
    connect(voidNumber, &QPushButton::clicked, this, &RegisterDialog::voidSelected);
    connect(settle, &QPushButton::clicked, this, &RegisterDialog::settleSelected);
    connect(save, &QPushButton::clicked, this, &RegisterDialog::exportRegister);
    showRegister();
    fitOnScreen(*this);
}

RegisterDialog::~RegisterDialog() = default;

QComboBox* RegisterDialog::accounts() const {
    return m_ui->account;
}

void RegisterDialog::showRegister() {
    const QModelIndex selected = m_view->currentIndex();
    const std::optional<QList<BookRegister>> registers =
        chequeRegister(m_db, m_ui->account->currentData().toString(), m_kind.id.toString());
    buildRegisterGrid(m_grid, registers.value_or(QList<BookRegister>()), m_tools);
    if (selected.isValid() && m_grid.fixedRows() + selected.row() < m_grid.rows())
        m_grid.setCurrentCell(m_grid.fixedRows() + selected.row(), kRegisterNumberCol);
    m_view->reload();
    // A book's totals run across the columns after 号码.
    m_view->clearSpans();
    for (int r = m_grid.fixedRows(); r < m_grid.rows(); ++r)
        if (isRegisterTotalsRow(m_grid, r))
            m_view->setSpan(r - m_grid.fixedRows(), kRegisterStateCol, 1,
                            m_grid.cols() - kRegisterStateCol);
}

std::optional<RegisterNumber> RegisterDialog::selectedNumber() const {
    const QModelIndex selected = m_view->currentIndex();
    return selected.isValid() ? registerGridNumber(m_grid, m_grid.fixedRows() + selected.row())
                              : std::nullopt;
}

void RegisterDialog::voidSelected() {
    const std::optional<RegisterNumber> number = selectedNumber();
    if (!number) {
        m_prompts.message(u"请先选中要作废的号码。"_s);
        return;
    }
    const QString reason =
        m_prompts.inputBox(u"请输入号码 %1 的作废原因："_s.arg(number->text)).trimmed();
    if (reason.isEmpty()) {
        m_prompts.message(u"未填写作废原因，号码 %1 未作废。"_s.arg(number->text));
        return;
    }
    QString why;
    if (!voidSerial(m_db, m_clock, number->account, number->serial, reason, &why,
                    m_kind.id.toString())) {
        if (!why.isEmpty())
            m_prompts.message(why);
        return;
    }
    showRegister();
}

void RegisterDialog::settleSelected() {
    const std::optional<RegisterNumber> number = selectedNumber();
    if (!number) {
        m_prompts.message(u"请先选中要确认的号码。"_s);
        return;
    }
    if (m_prompts.message(
            u"号码 %1 的支票已打印完好？确认后按打印日志记入历史记录。"_s.arg(number->text), {},
            PromptButtons::YesNoDefaultNo) != PromptAnswer::Yes)
        return;
    QString why;
    if (!settleNumber(m_db, m_clock, number->account, number->serial, Settlement::Printed, {}, &why,
                      m_kind)) {
        if (!why.isEmpty())
            m_prompts.message(why);
        return;
    }
    showRegister();
}

void RegisterDialog::exportRegister() {
    ExportGrid(m_grid, m_prompts, u"支票登记簿"_s, m_clock.today(), m_tools.progress);
}
