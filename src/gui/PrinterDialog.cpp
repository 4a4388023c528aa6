#include "PrinterDialog.h"

#include <QPointer>
#include <QPushButton>

#include "DialogWait.h"
#include "OkCancelButtons.h"
#include "PrinterAccess.h"
#include "TypedKeysFilter.h"
#include "WindowFit.h"
#include "ui_PrinterDialog.h"

using namespace Qt::StringLiterals;

PrinterDialog::PrinterDialog(PrinterAccess& printers, Prompts& prompts, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::PrinterDialog>()),
      m_printers(printers),
      m_prompts(prompts) {
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    captionOkCancel(*m_ui->buttons, u"确  定"_s, u"取  消"_s, u"CM"_s);
    connect(m_ui->buttons, &QDialogButtonBox::rejected, this, &PrinterDialog::cancelPressed);

    m_ui->Com->addItems(m_printers.installedPrinters());
    m_ui->Com->setCurrentIndex(m_ui->Com->findText(m_printers.currentPrinter(), Qt::MatchExactly));
    // The list cannot be typed into: arrows move the choice, Enter is OK, Esc is Cancel.
    TypedKeysFilter::install(*m_ui->Com);
    fitOnScreen(*this);
}

PrinterDialog::~PrinterDialog() = default;

QString PrinterDialog::choosePrinterWithDialog(PrinterAccess& printers, Prompts& prompts,
                                               QWidget* parent, bool* noAnswer) {
    if (noAnswer)
        *noAnswer = false;
    QPointer<PrinterDialog> dialog = new PrinterDialog(printers, prompts, parent);
    showAndWait(*dialog);
    if (!dialog)
        return {};
    const QString name = dialog->chosenPrinter();
    if (noAnswer)
        *noAnswer = dialog->printerDidNotAnswer();
    delete dialog.data();
    return name;
}

void PrinterDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The keys go to the list at once, so the choice can be made without the mouse.
    activateWindow();
    m_ui->Com->setFocus();
}

bool PrinterDialog::hasChoice() const {
    return !m_printers.installedPrinters().isEmpty() && !m_ui->Com->currentText().isEmpty();
}

void PrinterDialog::accept() {
    m_chosen.clear();
    m_noAnswer = false;
    if (!hasChoice())
        return;
    const QString name = m_ui->Com->currentText();
    if (m_printers.choosePrinter(name, m_prompts))
        m_chosen = name;
    else
        m_noAnswer = true;
    QDialog::accept();
}

void PrinterDialog::cancelPressed() {
    m_chosen.clear();
    if (hasChoice())
        reject();
}
