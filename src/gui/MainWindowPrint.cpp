// The window's print commands: each runs through the print job, one at a time.
#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

#include "BatchDialog.h"
#include "ChequeBooksDialog.h"
#include "ChequeTab.h"
#include "Clock.h"
#include "FirstUseBanner.h"
#include "FormatTab.h"
#include "HistoryRecords.h"
#include "HistoryTab.h"
#include "ListPayees.h"
#include "MarginDialog.h"
#include "OptionFlags.h"
#include "OverflowGuard.h"
#include "PaymentCheck.h"
#include "PaymentList.h"
#include "PreviewWindow.h"
#include "PrinterFitDialog.h"
#include "Prompts.h"
#include "WindowPrintQuestions.h"

using namespace Qt::StringLiterals;

namespace {

// Every text of the document, to tell whether anything was typed since it was kept.
QStringList textsOf(const Document& document) {
    QStringList texts;
    for (int field = 0; field < int(document.kind().fields.size()); ++field)
        texts << document.text(field);
    return texts;
}

}  // namespace

void MainWindow::calibratePrinter() {
    if (!runPrint(this, printFormat(), [](PrintJob& job) { return job.printCalibration(); }))
        return;
    showFirstUse();  // a square printed calibrates the format
    // The margins are asked for in every case.
    auto* dialog = new MarginDialog(
        m_services.db, m_displays.currentFormat, m_cheque, m_displays,
        [this] {
            reloadPrintFormat();
            m_formatTab->showFormat(m_displays);
            m_firstUse->dismiss();  // the margins are measured: the first step is done
        },
        this);
    dialog->show();
}

void MainWindow::openPrinterFit() {
    const bool landscape = !m_cheque.crosswise();
    auto* dialog = new PrinterFitDialog(
        m_services.settings, m_services.printers, m_services.prompts, landscape,
        [this, landscape](QWidget* parent, bool check) {
            const std::optional<PrintResult> result =
                runPrint(parent, printFormat(),
                         [&](PrintJob& job) { return job.printFitSheet(landscape, check); });
            return result && result->printed;
        },
        this);
    dialog->open();
}

std::optional<PrintResult> MainWindow::runPrint(
    QWidget* parent, const PrintFormat* format,
    const std::function<PrintResult(PrintJob&)>& print) {
    if (m_printing || !format)
        return std::nullopt;
    m_printing = true;
    // Turning the commands off moves the focus away from the button pressed by keyboard; it
    // goes back there afterwards.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    setPrintCommandsEnabled(false);
    const auto done = qScopeGuard([this, focused] {
        m_printing = false;
        setPrintCommandsEnabled(true);
        if (focused)
            focused->setFocus();
    });
    m_chequeTab->finishEditing();
    // The window stays usable while the dialogs wait: the job prints what was checked, in the
    // format it was checked against, whatever is typed or chosen meanwhile.
    const PrintFormat checkedFormat = *format;
    WindowPrintQuestions questions(m_services.prompts, m_services.printers, parent);
    PrintJob job(m_services.db, m_services.prompts, m_services.clock, m_services.printers,
                 questions, checkedFormat);
    bool progressShown = false;
    job.pageDrawn = [&](int page, int pages) {
        if (page == 0) {
            m_progress.StartProgress(u"正在打印支票……"_s, pages);
            progressShown = true;
        } else {
            m_progress.StepProgress(1, u"pages"_s);
        }
    };
    const PrintResult result = print(job);
    if (progressShown)
        m_progress.EndProgress();
    if (!result.kept.isEmpty())
        m_historyTab->historyChanged();
    return result;
}

void MainWindow::setPrintCommandsEnabled(bool enabled) {
    for (QPushButton* button :
         {m_chequeTab->printButton(), m_chequeTab->endorseButton(), m_chequeTab->printBackButton(),
          m_historyTab->printBackButton(), m_formatTab->calibrateButton()})
        button->setEnabled(enabled);
    for (QAction* action : {m_batchAction, m_marginAction})
        action->setEnabled(enabled);
    if (m_preview)
        m_preview->setPrintEnabled(enabled);
}

void MainWindow::printCheque() {
    QStringList printedTexts;
    const std::optional<PrintResult> result = runPrint(this, printFormat(), [&](PrintJob& job) {
        const Document cheque = m_cheque;
        printedTexts = textsOf(cheque);
        return job.printCheque(cheque);
    });
    // The back printed next belongs to the front just kept.
    if (result && result->printed)
        m_keptFront = hasBack(m_cheque.kind()) && !result->kept.isEmpty()
                          ? KeptFront{result->kept.front(), printedTexts}
                          : KeptFront{};
    if (result && result->faultyField) {
        m_chequeTab->field(*result->faultyField)->setFocus();
    } else if (result && result->printed) {
        // Ready for the next cheque: the payee, its text selected to be typed over.
        QWidget* payee = m_chequeTab->field(m_cheque.field(FieldRole::Payee));
        payee->setFocus(Qt::OtherFocusReason);
        if (auto* line = qobject_cast<QLineEdit*>(payee))
            line->selectAll();
    }
}

BatchDialog* MainWindow::openBatch() {
    m_chequeTab->finishEditing();
    const QString path =
        m_services.prompts.openFile(FilePurpose::PaymentList, u"选择付款清单"_s,
                                    u"付款清单 (*.csv *.xlsx)|*.csv;*.xlsx|所有文件 (*)|*"_s);
    return path.isEmpty() ? nullptr : openBatchFile(path);
}

BatchDialog* MainWindow::openBatchFile(const QString& path) {
    QString error;
    const std::optional<PaymentList> list = readPaymentListFile(path, &error, m_cheque.kind());
    if (!list) {
        m_services.prompts.message(error, u"批量打印"_s, PromptButtons::Ok);
        return nullptr;
    }
    const PrintFormat* format = printFormat();
    if (!format)
        return nullptr;
    const std::optional<QHash<QString, Payee>> book =
        listedPayees(m_services.db, *list, m_cheque.kind());
    if (!book)
        return nullptr;
    QList<PaymentCheque> cheques = checkPaymentList(*list, m_cheque, m_services.clock.today(),
                                                    *format, *printerLikeMeasure(), *book);
    auto* batch =
        new BatchDialog(path, *list, std::move(cheques), *format, m_services.prompts, this);
    connect(batch, &BatchDialog::printAllRequested, this, [this, batch] { printBatch(*batch); });
    connect(batch, &BatchDialog::chequeBooksRequested, this, [this, batch] {
        auto* books = new ChequeBooksDialog(m_services.db, m_services.prompts,
                                            batch->pendingCheques().value(0).text(Field::Account),
                                            m_services.clock, m_cheque.kind(), batch);
        books->show();
    });
    // Modal to the window: while the list is open, the format and the cheque it was checked
    // against stay as they are.
    batch->open();
    return batch;
}

void MainWindow::printBatch(BatchDialog& dialog) {
    const QList<Document> cheques = dialog.pendingCheques();
    // The progress window lets events through after each page: meanwhile the list can neither
    // print a second time nor be closed under this function.
    const QPointer<BatchDialog> batch(&dialog);
    dialog.setEnabled(false);
    const auto enableAgain = qScopeGuard([&] {
        if (batch)
            batch->setEnabled(true);
    });
    const std::optional<PrintResult> result =
        runPrint(&dialog, &dialog.format(), [&](PrintJob& job) { return job.printBatch(cheques); });
    if (!result || !result->printed || !batch)
        return;
    // A batch that stopped part-way stays open with what it did not print.
    if (!result->unprinted.isEmpty()) {
        batch->printedExcept(result->unprinted);
        return;
    }
    const PrintFormat format = batch->format();  // the list goes once accepted
    batch->accept();
    // The backs go through the printer as a second job, the sheets turned over in the fronts'
    // order; each is linked to its front's row when the fronts were kept.
    if (!hasBack(cheques.front().kind()) ||
        m_services.prompts.message(u"正面已打印完毕。是否接着打印这批支票的背面？"_s, u"批量打印"_s,
                                   PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    QList<qint64> rows = result->kept;
    rows.resize(cheques.size(), 0);
    runPrint(this, &format, [&](PrintJob& job) { return job.printBacks(cheques, rows); });
}

void MainWindow::forgetChangedKeptFront() {
    if (m_keptFront.row != 0 && textsOf(m_cheque) != m_keptFront.texts)
        m_keptFront = {};
}

void MainWindow::printBack() {
    runPrint(this, printFormat(), [this](PrintJob& job) {
        // Decided once the field being typed in was left, which runPrint does first.
        const Document cheque = m_cheque;
        const qint64 row = textsOf(cheque) == m_keptFront.texts ? m_keptFront.row : 0;
        return job.printBacks({cheque}, {row});
    });
}

void MainWindow::printBackOfHistoryRow(int row) {
    m_chequeTab->finishEditing();
    if (row < 0 || row >= m_historyList.count())
        return;
    const qint64 id = m_historyList.id(row);
    // The row's texts, with the switches and fonts the cashier has for the kind.
    Document cheque(m_cheque.kind());
    applyOptionFlags(cheque, optionFlagsText(m_cheque));
    for (int field = 0; field < int(m_cheque.kind().fields.size()); ++field)
        cheque.setFont(field, m_cheque.font(field));
    if (!LoadHistoryRecord(m_services.db, cheque, qint32(id), m_services.prompts, m_services.clock))
        return;
    runPrint(this, printFormat(), [&](PrintJob& job) { return job.printBacks({cheque}, {id}); });
}

void MainWindow::printEndorsement() {
    runPrint(this, printFormat(), [this](PrintJob& job) {
        const Document cheque = m_cheque;
        return job.printEndorsement(cheque);
    });
}
