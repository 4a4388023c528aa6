#include "CommandLinePrint.h"

#include <QFileInfo>
#include <QThread>

#include "ChequeRegister.h"
#include "OverflowGuard.h"
#include "PrinterChoice.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

void fail(const Io& io, const QString& reason) {
    write(io.err, "chequeprint: " + reason.toUtf8() + '\n');
}

}  // namespace

CommandLinePrint::CommandLinePrint(const Arguments& args, const Io& io, Prompts& prompts)
    : m_args(args), m_io(io), m_prompts(prompts) {
    if (args.has(u"--pdf"_s))
        m_target = QFileInfo(args.option(u"--pdf"_s)).absoluteFilePath();
    else
        m_target = args.has(u"--printer"_s) ? args.option(u"--printer"_s) : defaultPrinterName();
}

bool CommandLinePrint::tryAgain() {
    // Some 15 seconds in all: long enough for a server to restart or another program to
    // finish its transaction; a disk that stays full fails the same way each time.
    constexpr int kRetries = 6;
    if (m_retries == kRetries)
        return false;
    const int wait = 250 << m_retries++;
    fail(m_io, u"could not record the print; trying again in %1 ms"_s.arg(wait));
    QThread::msleep(ulong(wait));
    return true;
}

QStringList CommandLinePrint::installedPrinters() const {
    return m_args.has(u"--pdf"_s) ? QStringList{m_target} : m_system.installedPrinters();
}

bool CommandLinePrint::choosePrinter(const QString& name, Prompts& prompts) {
    return m_system.choosePrinter(name, prompts);
}

bool CommandLinePrint::choosePrinter(bool& noAnswer) {
    if (!m_args.has(u"--pdf"_s)) {
        noAnswer = !choosePrinter(m_target, m_prompts);
        return !noAnswer;
    }
    noAnswer = true;  // a file that cannot be written is a failed print
    if (m_args.has(u"--printer"_s)) {
        fail(m_io, u"--printer and --pdf exclude each other"_s);
        return false;
    }
    m_pdf.emplace(m_args.option(u"--pdf"_s));
    if (!m_pdf->open()) {
        fail(m_io, u"cannot write "_s + m_pdf->target() + u": "_s + m_pdf->errorString());
        m_pdf.reset();
        return false;
    }
    m_pdfPrinter.setDocName(u"chequeprint"_s);
    m_pdfPrinter.setCreator(u"chequeprint"_s);
    m_pdfPrinter.setOutputFormat(QPrinter::PdfFormat);
    m_pdfPrinter.setOutputFileName(m_pdf->temporaryPath());
    noAnswer = false;
    return true;
}

void CommandLinePrint::beginDocument() {
    if (!m_pdf)
        m_system.beginDocument();
}

void CommandLinePrint::beforeDocumentEnds() {
    if (!m_pdf)
        m_system.beforeDocumentEnds();
}

bool CommandLinePrint::documentAccepted() {
    if (!m_pdf)
        return m_system.documentAccepted();
    // A complete PDF file gets its name; a failed or cut one leaves the old file as it was.
    if (m_pdf->commit(isCompletePdf))
        return true;
    fail(m_io, u"cannot write "_s + m_pdf->target() + u": "_s + m_pdf->errorString());
    return false;
}

bool CommandLinePrint::printOverflowing(const QList<int>& fields) {
    if (m_args.has(u"--allow-overflow"_s))
        return true;
    fail(m_io, u"these fields do not fit on the cheque: "_s + fieldIdentifiers(fields) +
                   u" (--allow-overflow prints them all the same)"_s);
    return false;
}

bool CommandLinePrint::printOnUnusualDate(const QStringList& dates) {
    if (m_args.has(u"--allow-date"_s))
        return true;
    fail(m_io, u"the issue date is not today: "_s + dates.join(u"; "_s) +
                   u" (a bank pays a cheque within ten days of its date; --allow-date prints it "
                   u"all the same)"_s);
    return false;
}

std::optional<PrintQuestions::LoadedNumber> CommandLinePrint::confirmNumberedStart(
    const TakenNumber& offered, const QString& refusal) {
    if (!refusal.isEmpty()) {
        m_prompts.message(refusal, {}, PromptButtons::Ok);
        return std::nullopt;
    }
    if (!m_args.has(u"--number"_s))
        return LoadedNumber{};
    QString typed = m_args.option(u"--number"_s);
    if (typed.size() > 8 && typed.startsWith(offered.book.prefix))
        typed = typed.mid(offered.book.prefix.size());
    bool number = false;
    const qint64 serial = typed.toLongLong(&number);
    if (number && typed.size() <= 8 && serial >= 0)
        return LoadedNumber{serial};
    fail(m_io, u"--number takes a cheque number of the account's book: "_s +
                   m_args.option(u"--number"_s));
    return std::nullopt;
}
