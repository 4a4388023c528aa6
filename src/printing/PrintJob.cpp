#include "PrintJob.h"

#include "AmountText.h"
#include "BatchPrint.h"
#include "Calibration.h"
#include "ChequeCheck.h"
#include "ChequePrinter.h"
#include "ChequeRegister.h"
#include "Clock.h"
#include "Database.h"
#include "Document.h"
#include "Endorsement.h"
#include "FitSheet.h"
#include "HistoryRecords.h"
#include "OverflowGuard.h"
#include "PainterSurface.h"
#include "PrintFormat.h"
#include "PrintJournal.h"
#include "PrintLayout.h"
#include "PrinterAccess.h"
#include "PrinterFitStore.h"
#include "Prompts.h"

#include <QScopeGuard>

using namespace Qt::StringLiterals;

PrintJob::PrintJob(Database& db, Prompts& prompts, const Clock& clock, PrinterAccess& printers,
                   PrintQuestions& questions, const PrintFormat& format)
    : m_db(db),
      m_prompts(prompts),
      m_clock(clock),
      m_printers(printers),
      m_questions(questions),
      m_format(format) {}

PrintResult PrintJob::printCheque(const Document& typed) {
    Document cheque = typed;
    cheque.deriveCapitals();
    const QList<Document> cheques{cheque};
    const QString job = documentJob(cheques);
    PrintResult result;
    if (!printerReady(job, cheques))
        return result;
    // What would be refused, or asked about, comes before the cashier loads a blank cheque.
    if (const std::optional<PrintFault> fault = faultBeforePrint(cheque)) {
        m_prompts.message(fault->message, u"错误提示"_s, PromptButtons::Ok);
        result.faultyField = fault->field;
        journal(job, cheques, refusedFor(fault->journalled));
        return result;
    }
    if (!questionsAnswered(cheques))
        return result;
    if (!printerChosen(job, cheques))
        return result;
    const std::optional<bool> numbered = hasBook(cheque);
    if (!numbered) {
        journal(job, cheques, refusedFor(u"无法读取支票簿"_s));
        return result;
    }
    if (*numbered)
        return printNumbered(cheque);
    if (!m_questions.confirmStart({})) {
        journal(job, cheques, cancelledAt(u"打印开始提示"_s));
        return result;
    }
    return send(job, cheques,
                [&](PrintSurface& surface) { return drawChequeFields(surface, cheque, m_format); });
}

bool PrintJob::questionsAnswered(const QList<Document>& cheques) {
    const QString job = documentJob(cheques);
    if (cheques.size() == 1) {
        const Document& cheque = cheques.front();
        const QList<int> overflowing =
            findOverflowingFields(cheque, m_format, *printerLikeMeasure());
        if (!overflowing.isEmpty() &&
            !m_questions.printOverflowing(fieldIdentifiers(cheque.kind(), overflowing))) {
            journal(job, cheques, cancelledAt(u"超出支票栏位"_s));
            return false;
        }
    }
    const QStringList dates = sayOfEach(cheques, [this](const Document& cheque) {
        return unusualIssueDate(cheque, m_clock.today());
    });
    if (!dates.isEmpty() && !m_questions.printOnUnusualDate(dates)) {
        journal(job, cheques, cancelledAt(u"出票日期不是今天"_s));
        return false;
    }
    const std::optional<QSet<QString>> printed =
        paymentsPrintedOn(m_db, m_clock.today(), cheques.front().kind());
    if (!printed) {
        journal(job, cheques, refusedFor(u"无法读取打印日志"_s));
        return false;
    }
    QStringList again;
    for (const Document& cheque : cheques)
        if (printed->contains(
                paymentKey(cheque.textOf(FieldRole::Payee), cheque.textOf(FieldRole::Amount))))
            again << cheque.textOf(FieldRole::Payee) + u'\u3000' +
                         groupedFigures(cheque.textOf(FieldRole::Amount));
    const bool printAgain =
        again.isEmpty() || (cheques.size() == 1 ? m_questions.printAgainToday(
                                                      cheques.front().textOf(FieldRole::Payee),
                                                      cheques.front().textOf(FieldRole::Amount))
                                                : m_questions.printBatchAgainToday(again));
    if (!printAgain) {
        journal(job, cheques, cancelledAt(u"今天已打印过"_s));
        return false;
    }
    return true;
}

PrintResult PrintJob::printBatch(const QList<Document>& typed) {
    QList<Document> cheques = typed;
    for (Document& cheque : cheques)
        cheque.deriveCapitals();
    if (cheques.isEmpty())
        return {};
    const QString job = documentJob(cheques);
    if (!printerReady(job, cheques))
        return {};
    if (!questionsAnswered(cheques) || !printerChosen(job, cheques))
        return {};
    QStringList accounts;
    bool numbered = false;
    for (const Document& cheque : cheques) {
        const QString account = cheque.textOf(FieldRole::DrawerAccount);
        if (accounts.contains(account))
            continue;
        accounts << account;
        const std::optional<bool> book = hasBook(cheque);
        if (!book) {
            journal(job, cheques, refusedFor(u"无法读取支票簿"_s));
            return {};
        }
        numbered = numbered || *book;
    }
    if (numbered && accounts.size() > 1) {
        const QString why = u"这批支票的账号不同，不能按支票簿编号，请按账号分批打印。"_s;
        m_prompts.message(why, {}, PromptButtons::Ok);
        journal(job, cheques, refusedFor(why));
        return {};
    }
    if (numbered)
        return printNumberedBatch(cheques);
    if (!m_questions.confirmStart(batchSummary(cheques))) {
        journal(job, cheques, cancelledAt(u"打印开始提示"_s));
        return {};
    }
    const int pages = int(cheques.size());
    return send(job, cheques, [&](PrintSurface& surface) {
        if (pageDrawn)
            pageDrawn(0, pages);
        return printChequeBatch(surface, cheques, m_format, [&](int page) {
            if (pageDrawn)
                pageDrawn(page, pages);
        });
    });
}

PrintResult PrintJob::printEndorsement(const Document& cheque) {
    if (!printerChosen(kEndorsementJob, {}))
        return {};
    const EndorsementLayout layout = endorsementLayout(cheque, m_format.page.x, m_format.page.y);
    const QString text = m_questions.endorsementText();
    if (text.isEmpty()) {
        journal(kEndorsementJob, {}, cancelledAt(u"背书内容"_s));
        return {};
    }
    // Only "//" and blanks: the printer would get a blank page.
    if (endorsementIsBlank(text)) {
        m_prompts.message(u"背书内容为空，没有可打印的内容。"_s, {}, PromptButtons::Ok);
        journal(kEndorsementJob, {}, refusedFor(u"背书内容为空"_s));
        return {};
    }
    return send(kEndorsementJob, {},
                [&](PrintSurface& surface) { return PrintEndorsement(surface, text, layout); });
}

PrintResult PrintJob::printCalibration() {
    if (!printerChosen(kCalibrationJob, {}))
        return {};
    if (!m_questions.printCalibrationSquare()) {
        journal(kCalibrationJob, {}, cancelledAt(u"打印位置校验"_s));
        return {};
    }
    return send(kCalibrationJob, {},
                [](PrintSurface& surface) { return drawCalibrationSquare(surface); });
}

PrintResult PrintJob::printFitSheet(bool landscape, bool check) {
    // The job's entry names the fit of the orientation the sheet prints in; a sheet to be
    // measured goes uncorrected.
    m_applyFit = check;
    const auto restore = qScopeGuard([this] { m_applyFit = true; });
    const auto orient = [&] {
        m_printers.printer().setPageOrientation(landscape ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
    };
    orient();
    if (!printerChosen(kFitSheetJob, {}))
        return {};
    orient();
    // A check sheet is printed through the printer's fit: without one it would check nothing.
    if (check && m_printers.printerFit(landscape).state != KeptFit::State::Kept) {
        m_prompts.message(u"打印机“%1”尚未精确校准（%2），不能打印检查页。"_s.arg(
                              m_printers.currentPrinter(), orientationName(landscape)),
                          {}, PromptButtons::Ok);
        journal(kFitSheetJob, {}, refusedFor(u"未精确校准"_s));
        return {};
    }
    const QString heading = (check ? u"精确校准检查页（已校正）"_s : u"精确校准页"_s) +
                            u"　打印机："_s + m_printers.currentPrinter();
    return send(kFitSheetJob, {}, [&](PrintSurface& surface) {
        return drawFitSheet(surface, landscape, paperOrigin(m_format.page), heading);
    });
}

bool PrintJob::pageLandscape(const QList<Document>& cheques) {
    return cheques.isEmpty()
               ? m_printers.printer().pageLayout().orientation() == QPageLayout::Landscape
               : !cheques.front().crosswise();
}

std::optional<KeptFit> PrintJob::usableFit(const QString& kind, const QList<Document>& cheques) {
    if (!m_applyFit)
        return KeptFit{};
    const KeptFit kept = m_printers.printerFit(pageLandscape(cheques));
    if (kept.state != KeptFit::State::Damaged)
        return kept;
    m_prompts.message(u"打印机“%1”的精确校准数据已损坏，请重新校准或清除校准。"_s.arg(
                          m_printers.currentPrinter()),
                      u"打印机错误"_s, PromptButtons::Ok);
    journal(kind, cheques, refusedFor(u"精确校准数据损坏"_s));
    return std::nullopt;
}

bool PrintJob::printerReady(const QString& kind, const QList<Document>& cheques) {
    if (!m_printers.installedPrinters().isEmpty())
        return true;
    m_prompts.message(u"您的电脑没有连接打印机！"_s, u"打印机错误"_s, PromptButtons::Ok);
    journal(kind, cheques, refusedFor(u"没有打印机"_s));
    return false;
}

bool PrintJob::printerChosen(const QString& kind, const QList<Document>& cheques) {
    bool noAnswer = false;
    // A printer whose fit is damaged is refused as soon as it is chosen.
    if (m_questions.choosePrinter(noAnswer))
        return usableFit(kind, cheques).has_value();
    // A printer that did not answer is a failed attempt; a cancelled choice, a cancelled one.
    journal(kind, cheques, noAnswer ? kPrintFailed : cancelledAt(u"请选择打印机"_s));
    return false;
}

std::optional<bool> PrintJob::journalAndSend(const QString& kind, const QList<Document>& cheques,
                                             const QStringList& fields,
                                             const std::function<bool(PrintSurface&)>& draw,
                                             QList<qint64>& entries,
                                             const NumberTaking& takeNumbers) {
    // The entry is committed before the printer is touched: a cheque never leaves without it,
    // whatever moment the program dies. When it cannot be written, nothing is printed. The
    // cheques' numbers are taken in the same transaction: a number is never taken without
    // the entry that says where it went.
    if (!recordsIntact(m_db))
        return std::nullopt;
    // A kept fit moves every position; the entry names it. (Read again: another window may
    // have changed it since the printer was chosen.)
    const std::optional<KeptFit> fit = usableFit(kind, cheques);
    if (!fit)
        return std::nullopt;
    const KeptFit& kept = *fit;
    QStringList contents = fields;
    if (kept.state == KeptFit::State::Kept) {
        const QString named = u"精确校准="_s + orientationName(pageLandscape(cheques)) + u"："_s +
                              describeFit(kept.fit);
        if (contents.isEmpty())
            contents << QString();
        for (QString& content : contents)
            content += (content.isEmpty() ? QString() : u"\n"_s) + named;
    }
    const JournalEntry job{kind, m_printers.currentPrinter(), m_format.name, kPrinting, {}, {}};
    std::optional<QList<qint64>> journalled;
    const bool written = m_db.atomically([&] {
        QStringList withNumbers = contents;
        journalled = (!takeNumbers || takeNumbers(withNumbers))
                         ? writePrintingEntries(m_db, m_clock, job, withNumbers)
                         : std::nullopt;
        return journalled.has_value();
    });
    if (!written)
        return std::nullopt;
    entries = *journalled;

    bool printed = false;
    m_printers.beginDocument();
    {
        PainterSurface surface(m_printers.printer());
        if (kept.state == KeptFit::State::Kept)
            surface.setCorrection(kept.fit, paperOrigin(m_format.page));
        surface.setBeforeEnd([this] { m_printers.beforeDocumentEnds(); });
        if (!draw(surface)) {
            surface.abandonDocument();
        } else {
            printed = m_printers.documentAccepted();
        }
    }
    if (!printed)
        m_prompts.message(
            cheques.size() > 1 ? batchFailure(cheques) : u"打印错误，请检查打印机！"_s, {},
            PromptButtons::Ok);
    return printed;
}

PrintResult PrintJob::send(const QString& kind, const QList<Document>& cheques,
                           const std::function<bool(PrintSurface&)>& draw) {
    PrintResult result;
    QStringList fields;
    for (const Document& cheque : cheques)
        fields << journalFields(cheque);
    QList<qint64> entries;
    const std::optional<bool> printed = journalAndSend(kind, cheques, fields, draw, entries);
    if (!printed)
        return result;
    result.printed = *printed;
    if (!result.printed) {
        result.recorded = withRetries([&] { return recordOutcome(m_db, entries, kPrintFailed); });
        return result;
    }
    // The journal already holds the documents: keeping them (never an endorsement or a
    // calibration square, which have none) is asked until it succeeds or the cashier gives up,
    // and the kept rows commit with the outcome.
    if (!cheques.isEmpty() && m_questions.keep(int(cheques.size()))) {
        result.keptAsAsked = withRetries([&] {
            return m_db.atomically([&] {
                return saveHistoryRecords(m_db, cheques, m_clock.now(), &result.kept) &&
                       recordOutcome(m_db, entries, kPrinted, result.kept);
            });
        });
        if (!result.keptAsAsked)
            result.kept.clear();
        result.recorded = result.keptAsAsked;
        return result;
    }
    result.recorded = withRetries([&] { return recordOutcome(m_db, entries, kPrinted); });
    return result;
}

bool PrintJob::journal(const QString& kind, const QList<Document>& cheques,
                       const QString& outcome) {
    JournalEntry entry{kind, m_printers.currentPrinter(), m_format.name, outcome, {}, {}};
    if (cheques.size() > 1)
        return appendBatchJournal(m_db, m_clock, cheques, entry, {});
    if (!cheques.isEmpty())
        entry.fields = journalFields(cheques.front());
    return appendJournal(m_db, m_clock, entry);
}

QString PrintJob::documentJob(const QList<Document>& cheques) {
    return cheques.front().kind().journalJob.toString();
}

std::optional<bool> PrintJob::hasBook(const Document& cheque) {
    if (!cheque.kind().numbered)
        return false;
    return hasOpenBook(m_db, cheque.textOf(FieldRole::DrawerAccount), cheque.kind().id.toString());
}

bool PrintJob::withRetries(const std::function<bool()>& work) {
    while (!work())
        if (!m_questions.tryAgain())
            return false;
    return true;
}
