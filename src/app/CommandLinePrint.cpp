#include "CommandLinePrint.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include "ChequeRegister.h"
#include "OverflowGuard.h"
#include "PrinterChoice.h"
#include "Prompts.h"
#include "RegText.h"

using namespace Qt::StringLiterals;

namespace {

void fail(const Io& io, const QString& reason) {
    write(io.err, "chequeprint: " + reason.toUtf8() + '\n');
}

}  // namespace

CommandLinePrint::CommandLinePrint(const Arguments& args, const Io& io, Prompts& prompts,
                                   Database& db)
    : m_args(args),
      m_io(io),
      m_prompts(prompts),
      m_db(db),
      m_settings(openUserSettings()),
      m_system(m_settings.get()) {
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

bool CommandLinePrint::printOverflowing(const QString& fields) {
    if (m_args.has(u"--allow-overflow"_s))
        return true;
    fail(m_io, u"these fields do not fit on the cheque: "_s + fields +
                   u" (--allow-overflow prints them all the same)"_s);
    return false;
}

bool CommandLinePrint::printDoubtfulIdentity(const QStringList& doubts) {
    fail(m_io, u"警告："_s + doubts.join(u"；"_s));
    return true;
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
    const QString typed = m_args.option(u"--number"_s);
    static const QRegularExpression serialDigits(
        QRegularExpression::anchoredPattern(u"[0-9]{1,8}"_s));
    if (serialDigits.match(typed).hasMatch())
        return LoadedNumber{typed.toLongLong()};
    // A full number may be of any open book of the account, not only of the one offered.
    static const QRegularExpression fullNumber(
        QRegularExpression::anchoredPattern(u".+[0-9]{8}"_s));
    if (!fullNumber.match(typed).hasMatch()) {
        fail(m_io, u"--number takes a cheque number of the account's book: "_s + typed);
        return std::nullopt;
    }
    const std::optional<QList<ChequeBook>> books =
        chequeBooks(m_db, offered.book.account, offered.book.kind);
    if (!books)
        return std::nullopt;  // after the database's message
    QList<ChequeBook> open = *books;
    open.removeIf([](const ChequeBook& book) { return book.closed; });
    if (const std::optional<TakenNumber> named = numberInBooks(open, typed))
        return LoadedNumber{named->serial};
    m_prompts.message(u"号码 %1 不在该账号未结束的支票簿中。"_s.arg(typed), {}, PromptButtons::Ok);
    return std::nullopt;
}
