#include <functional>
#include <optional>

#include <QFileInfo>
#include <QPrinter>

#include "BatchPrint.h"
#include "Calibration.h"
#include "Cheque.h"
#include "ChequeCheck.h"
#include "ChequePicture.h"
#include "ChequePrinter.h"
#include "Clock.h"
#include "ConsolePrompts.h"
#include "Database.h"
#include "Endorsement.h"
#include "FieldInput.h"
#include "FormatStore.h"
#include "HistoryRecords.h"
#include "OptionFlags.h"
#include "OutputFile.h"
#include "OverflowGuard.h"
#include "PainterSurface.h"
#include "PaymentCheck.h"
#include "PaymentList.h"
#include "PrintJournal.h"
#include "PrinterChoice.h"
#include "ProgressIndicator.h"
#include "RegText.h"
#include "Verbs.h"

using namespace Qt::StringLiterals;

namespace {

void fail(const Io& io, const QString& reason) {
    write(io.err, "chequeprint: " + reason.toUtf8() + '\n');
}

// The database and prompts of one printing verb.
struct Session {
    explicit Session(const Io& io) : prompts(io.err), db(prompts) {}
    ConsolePrompts prompts;
    Database db;
    Clock clock;
};

// Opens the database and gives the format of --format, or the current one; empty after
// saying why.
QString openFormat(Session& s, const Arguments& args, const Io& io) {
    if (!openDatabase(s.db, args))
        return {};
    FormatDisplays displays;
    ListFormatNames(s.db, displays);
    const QString name =
        args.has(u"--format"_s) ? args.option(u"--format"_s) : displays.currentFormat;
    if (s.prompts.takeShown())
        return {};
    if (!displays.formatNames.contains(name)) {
        fail(io, u"no print format named \""_s + name + u'"');
        return {};
    }
    return name;
}

// The cheque the window would show at start (the last input, or on a first start the empty
// fields, with today's date) or history row --history with today's date, then --flags (or the
// stored switches), the --field texts with their leave-field logic, and the format's fonts.
std::optional<Cheque> chequeFromArguments(Session& s, const Arguments& args, const Io& io,
                                          const QString& format) {
    Cheque cheque;
    if (args.has(u"--history"_s)) {
        bool number = false;
        const int id = args.option(u"--history"_s).toInt(&number);
        if (!number || id < 0 || !LoadHistoryRecord(s.db, cheque, id, s.prompts, s.clock)) {
            fail(io, u"no history row "_s + args.option(u"--history"_s));
            return std::nullopt;
        }
        leaveBodyField(cheque, Field::Amount, s.prompts);
    } else {
        LoadLastInput(s.db, cheque, s.prompts, s.clock);
        leaveBodyField(cheque, Field::Amount, s.prompts);
    }
    if (args.has(u"--flags"_s)) {
        applyOptionFlags(cheque, args.option(u"--flags"_s));
    } else {
        const std::unique_ptr<QSettings> settings = openUserSettings();
        LoadOptionFlags(cheque, *settings);
    }
    for (const QString& assignment : args.all(u"--field"_s)) {
        const qsizetype equals = assignment.indexOf(u'=');
        const QString key = assignment.left(equals);
        int field = fieldIndexByTag(key);
        if (field < 0)
            field = fieldIndexByIdentifier(key);
        if (equals < 0 || field < 0) {
            fail(io, u"unknown field "_s + key + u" in --field"_s);
            return std::nullopt;
        }
        cheque.setText(field, assignment.mid(equals + 1));
        if (field < kBodyFieldCount)
            leaveBodyField(cheque, field, s.prompts);
    }
    // A message (a wrong date, a database error) was already shown: do not print.
    if (s.prompts.takeShown())
        return std::nullopt;
    ProgressIndicator progress(s.clock);
    ApplyFormatFonts(s.db, format, cheque, progress);
    if (s.prompts.takeShown())
        return std::nullopt;
    return cheque;
}

// Where a printing verb prints: the printer of --printer (or the system's default), or the
// PDF file of --pdf, which is written completely or not at all.
class Output {
public:
    bool open(Session& s, const Arguments& args, const Io& io) {
        m_printer.setDocName(u"chequeprint"_s);
        m_printer.setCreator(u"chequeprint"_s);
        if (args.has(u"--pdf"_s)) {
            if (args.has(u"--printer"_s)) {
                fail(io, u"--printer and --pdf exclude each other"_s);
                return false;
            }
            m_pdf.emplace(args.option(u"--pdf"_s));
            if (!m_pdf->open()) {
                fail(io, u"cannot write "_s + m_pdf->target() + u": "_s + m_pdf->errorString());
                return false;
            }
            m_printer.setOutputFormat(QPrinter::PdfFormat);
            m_printer.setOutputFileName(m_pdf->temporaryPath());
            return true;
        }
        if (!checkPrinterInstalled(s.prompts))
            return false;
        const QString name =
            args.has(u"--printer"_s) ? args.option(u"--printer"_s) : defaultPrinterName();
        return !selectPrinterByName(m_printer, name, s.prompts).isEmpty();
    }

    QPrinter& printer() { return m_printer; }

    // Gives a complete PDF file its name; a failed or cut one leaves the old file as it was.
    bool finish(bool complete, Session& s, const Io& io) {
        if (!m_pdf || !complete)
            return complete;
        if (m_pdf->commit(isCompletePdf))
            return true;
        fail(io, u"cannot write "_s + m_pdf->target() + u": "_s + m_pdf->errorString());
        s.prompts.message(u"打印错误，请检查打印机！"_s, {}, PromptButtons::Ok);
        return false;
    }

private:
    QPrinter m_printer{QPrinter::HighResolution};
    std::optional<OutputFile> m_pdf;
};

// Where the job goes, for the journal: the PDF file, or the printer asked for.
QString printTarget(const Arguments& args) {
    if (args.has(u"--pdf"_s))
        return QFileInfo(args.option(u"--pdf"_s)).absoluteFilePath();
    return args.has(u"--printer"_s) ? args.option(u"--printer"_s) : defaultPrinterName();
}

// Prints a calibration square or an endorsement and journals the attempt.
int printAndJournal(Session& s, const Arguments& args, const Io& io, const QString& kind,
                    const QString& format, const std::function<bool(PrintSurface&)>& draw) {
    Output output;
    bool printed = output.open(s, args, io);
    if (printed) {
        PainterSurface surface(output.printer());
        printed = output.finish(draw(surface), s, io);
    }
    AppendJournal(s.db, s.clock,
                  {kind, printTarget(args), format, printed ? kPrinted : kPrintFailed, {}, {}});
    return printed ? 0 : 1;
}

}  // namespace

int printVerb(const Arguments& args, const Io& io) {
    Session s(io);
    const QString format = openFormat(s, args, io);
    if (format.isEmpty())
        return 1;
    const std::optional<PrintFormat> printFormat = LoadPrintFormat(s.db, format);
    if (!printFormat)
        return 1;
    std::optional<Cheque> cheque = chequeFromArguments(s, args, io, format);
    if (!cheque)
        return 1;
    // Every attempt from here on is journalled, one refused or failed too.
    auto journal = [&](const QString& outcome, const QVariant& kept = {}) {
        AppendJournal(
            s.db, s.clock,
            {kChequeJob, printTarget(args), format, outcome, kept, journalFields(*cheque)});
    };
    // Nothing is printed that could not be kept: a real date and an amount in figure form.
    if (!checkChequeBeforePrint(*cheque, s.prompts)) {
        journal(refusedFor(u"日期或金额有误"_s));
        return 1;
    }
    if (!args.has(u"--allow-overflow"_s)) {
        const QList<int> overflowing =
            FindOverflowingFields(*cheque, *printFormat, *printerLikeMeasure());
        if (!overflowing.isEmpty()) {
            fail(io, u"these fields do not fit on the cheque: "_s + fieldIdentifiers(overflowing) +
                         u" (--allow-overflow prints them all the same)"_s);
            journal(refusedFor(u"超出支票栏位"_s));
            return 1;
        }
    }
    Output output;
    if (!output.open(s, args, io)) {
        journal(kPrintFailed);
        return 1;
    }
    PainterSurface surface(output.printer());
    const bool printed = PrintCheque(surface, *cheque, *printFormat, s.prompts);
    if (!output.finish(printed, s, io)) {
        journal(kPrintFailed);
        return 1;
    }
    qint64 id = 0;
    if (args.has(u"--save"_s) && !SaveHistoryRecord(s.db, *cheque, s.clock.today(), &id)) {
        journal(kPrinted);
        fail(io, u"the cheque was printed but could not be saved in the history"_s);
        return 1;
    }
    journal(kPrinted, args.has(u"--save"_s) ? QVariant(id) : QVariant());
    return 0;
}

int previewVerb(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 1) {
        fail(io, u"preview needs one picture file name"_s);
        return 1;
    }
    Session s(io);
    const QString format = openFormat(s, args, io);
    if (format.isEmpty())
        return 1;
    const std::optional<PrintFormat> printFormat = LoadPrintFormat(s.db, format);
    if (!printFormat)
        return 1;
    const std::optional<Cheque> cheque = chequeFromArguments(s, args, io, format);
    if (!cheque)
        return 1;
    const QImage picture = previewCheque(*cheque, *printFormat, 8, s.prompts);
    if (picture.isNull())
        return 1;
    OutputFile file(args.inputs.first());
    QString reason;
    if (!file.open())
        reason = file.errorString();
    else if (!picture.save(&file.device(), "PNG"))
        reason = u"the picture could not be written"_s;
    else if (!file.commit())
        reason = file.errorString();
    if (!reason.isEmpty()) {
        fail(io, u"cannot write "_s + file.target() + u": "_s + reason);
        return 1;
    }
    return 0;
}

int calibrateVerb(const Arguments& args, const Io& io) {
    Session s(io);
    const QString format = openFormat(s, args, io);
    if (format.isEmpty())
        return 1;
    return printAndJournal(s, args, io, kCalibrationJob, format,
                           [](PrintSurface& surface) { return PrintCalibrationSquare(surface); });
}

int endorseVerb(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 1) {
        fail(io, u"endorse needs the text as one argument"_s);
        return 1;
    }
    Session s(io);
    const QString format = openFormat(s, args, io);
    if (format.isEmpty())
        return 1;
    const std::optional<PrintFormat> printFormat = LoadPrintFormat(s.db, format);
    if (!printFormat || s.prompts.takeShown())
        return 1;
    Cheque cheque;  // with the format's stored endorsement parameters
    for (int i = 0; i < kEndorsementParameterCount; ++i)
        cheque.setEndorsement(i, printFormat->endorsement[size_t(i)]);
    const EndorsementLayout layout =
        endorsementLayout(cheque, printFormat->page.x, printFormat->page.y);
    const QString text = args.inputs.first();
    if (text.isEmpty())
        return 0;  // nothing to print, no page
    return printAndJournal(s, args, io, kEndorsementJob, format, [&](PrintSurface& surface) {
        return PrintEndorsementText(surface, text, layout);
    });
}

int batchVerb(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 1) {
        fail(io, u"batch needs the payment list's file name"_s);
        return 2;
    }
    QString error;
    const std::optional<PaymentList> list = ReadPaymentListFile(args.inputs.first(), &error);
    if (!list) {
        fail(io, error);
        return 1;
    }
    Session s(io);
    const QString format = openFormat(s, args, io);
    if (format.isEmpty())
        return 1;
    const std::optional<PrintFormat> printFormat = LoadPrintFormat(s.db, format);
    if (!printFormat)
        return 1;
    // Every row starts from the cheque the print verb would print: the last input, the stored
    // switches and the format's fonts.
    const std::optional<Cheque> base = chequeFromArguments(s, args, io, format);
    if (!base)
        return 1;
    QString report;
    for (const QString& heading : list->unknownHeadings)
        report += u"未知的列：%1\n"_s.arg(heading);
    bool bad = false;
    QList<Cheque> cheques;
    const QList<PaymentCheque> checked =
        CheckPaymentList(*list, *base, s.clock.today(), *printFormat, *printerLikeMeasure());
    for (const PaymentCheque& cheque : checked) {
        bad = bad || !cheque.problems.isEmpty();
        for (const QString& problem : cheque.problems)
            report += problem + u'\n';
        cheques << cheque.cheque;
    }
    report += checkSummary(checked) + u'\n';
    // While any row is bad, nothing prints.
    const bool checkOnly = args.has(u"--check"_s);
    if (checkOnly || bad || cheques.isEmpty()) {
        if (const int written = writeOut(io, report.toUtf8()))
            return written;
        if (checkOnly)
            return bad ? 1 : 0;
        fail(io, u"nothing was printed: the payment list has no rows or rows with problems"_s);
        return 1;
    }

    JournalEntry batch{kChequeJob, printTarget(args), format, kPrinted, {}, {}};
    Output output;
    bool printed = output.open(s, args, io);
    if (printed) {
        PainterSurface surface(output.printer());
        printed = output.finish(PrintChequeBatch(surface, cheques, *printFormat, {}), s, io);
    }
    if (!printed) {
        batch.outcome = kPrintFailed;
        AppendBatchJournal(s.db, s.clock, cheques, batch, {});
        fail(io, u"none of the %1 cheques was printed"_s.arg(cheques.size()));
        return 1;
    }
    QList<qint64> ids;
    const bool kept =
        !args.has(u"--save"_s) || SaveHistoryRecords(s.db, cheques, s.clock.today(), &ids);
    AppendBatchJournal(s.db, s.clock, cheques, batch, ids);
    if (!kept) {
        fail(io, u"the cheques were printed but could not be saved in the history"_s);
        return 1;
    }
    return writeOut(io, (batchSummary(cheques) + u'\n').toUtf8());
}
