#include "PrinterDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "CentreOnScreen.h"
#include "DialogKeys.h"
#include "PrinterAccess.h"
#include "WindowWait.h"

using namespace Qt::StringLiterals;

namespace {

const QString kCaption = u"请选择打印机"_s;

}  // namespace

PrinterDialog::PrinterDialog(PrinterAccess& printers, Prompts& prompts,
                             QString& selectedPrinterName, QWidget* parent, bool* noAnswer)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_printers(printers),
      m_prompts(prompts),
      m_selected(selectedPrinterName),
      m_com(new QComboBox(this)),
      m_cm0(new QPushButton(u"确  定"_s, this)),
      m_cm1(new QPushButton(u"取  消"_s, this)) {
    m_noAnswer = noAnswer;
    if (m_noAnswer)
        *m_noAnswer = false;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(u"PrinterDialog"_s);
    setWindowTitle(kCaption);
    m_com->setObjectName(u"Com"_s);
    m_cm0->setObjectName(u"CM0"_s);
    m_cm1->setObjectName(u"CM1"_s);

    m_com->addItems(m_printers.installedPrinters());
    m_com->setCurrentIndex(m_com->findText(m_printers.currentPrinter(), Qt::MatchExactly));
    m_com->setMinimumContentsLength(24);
    // The list cannot be typed into: arrows move the choice, Enter is OK, Esc is Cancel.
    m_com->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cm0);
    buttons->addWidget(m_cm1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_com);
    layout->addLayout(buttons);

    connect(m_cm0, &QPushButton::clicked, this, [this] { buttonPressed(true); });
    connect(m_cm1, &QPushButton::clicked, this, [this] { buttonPressed(false); });
}

QString PrinterDialog::choosePrinterWithDialog(PrinterAccess& printers, Prompts& prompts,
                                               QWidget* parent, bool* noAnswer) {
    QString name;
    QPointer<PrinterDialog> dialog = new PrinterDialog(printers, prompts, name, parent, noAnswer);
    dialog->show();
    WaitWhileFormOpen(kCaption);
    // A dialog hidden rather than closed still refers to `name`, which ends here.
    delete dialog.data();
    return name;
}

bool PrinterDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_com && typesCharacter(event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void PrinterDialog::keyPressEvent(QKeyEvent* event) {
    if (!answerDialogKey(
            event, m_cm1, [this] { buttonPressed(true); }, [this] { close(); }))
        QWidget::keyPressEvent(event);
}

void PrinterDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    centreOnScreen(*this);
    // The keys go to the list at once, so the choice can be made without the mouse.
    activateWindow();
    m_com->setFocus();
}

void PrinterDialog::closeEvent(QCloseEvent* event) {
    // The close box is Cancel; OK has already set the name when it closes.
    if (!m_answered)
        m_selected.clear();
    event->accept();
}

void PrinterDialog::buttonPressed(bool ok) {
    m_selected.clear();
    const QString name = m_com->currentText();
    if (m_printers.installedPrinters().isEmpty() || name.isEmpty())
        return;
    if (ok && m_printers.choosePrinter(name, m_prompts))
        m_selected = name;
    else if (ok && m_noAnswer)
        *m_noAnswer = true;
    m_answered = true;
    close();
}
