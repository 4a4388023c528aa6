#include "PayeeForm.h"

#include "OkCancelButtons.h"
#include "WindowFit.h"
#include "ui_PayeeForm.h"

using namespace Qt::StringLiterals;

PayeeForm::PayeeForm(const QString& title, const Payee& payee, Save save, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::PayeeForm>()),
      m_id(payee.id),
      m_save(std::move(save)) {
    m_ui->setupUi(this);
    setWindowTitle(title);
    captionOkCancel(*m_ui->buttons, u"确  定"_s, u"取  消"_s, u"COM"_s);
    m_ui->fullName->setText(payee.fullName);
    m_ui->printName->setText(payee.printName);
    m_ui->account->setText(payee.account);
    m_ui->bank->setText(payee.bank);
    m_ui->purpose->setText(payee.purpose);
    m_ui->notes->setText(payee.notes);
    m_ui->own->setChecked(payee.own);
    m_ui->why->hide();
    connect(m_ui->buttons, &QDialogButtonBox::accepted, this, &PayeeForm::accept);
    fitOnScreen(*this);
}

PayeeForm::~PayeeForm() = default;

Payee PayeeForm::payee() const {
    return {m_id,
            m_ui->fullName->text(),
            m_ui->printName->text(),
            m_ui->account->text(),
            m_ui->bank->text(),
            m_ui->purpose->text(),
            m_ui->notes->text(),
            m_ui->own->isChecked()};
}

QString PayeeForm::shownReason() const {
    return m_ui->why->isHidden() ? QString() : m_ui->why->text();
}

void PayeeForm::accept() {
    QString why;
    if (!m_save(payee(), &why)) {
        // After the database's own message the form stays as it is; a refusal is shown in it.
        if (!why.isEmpty()) {
            m_ui->why->setText(why);
            m_ui->why->show();
            m_ui->fullName->setFocus();
        }
        return;
    }
    QDialog::accept();
}
