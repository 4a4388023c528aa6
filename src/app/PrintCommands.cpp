#include <functional>
#include <optional>

#include "BatchPrint.h"
#include "ChequeCheck.h"
#include "ChequeGeometry.h"
#include "ChequePicture.h"
#include "ChequeRegister.h"
#include "CommandLinePrint.h"
#include "Database.h"
#include "Document.h"
#include "FieldInput.h"
#include "FormatStore.h"
#include "ListPayees.h"
#include "OptionFlags.h"
#include "OutputFile.h"
#include "OverflowGuard.h"
#include "PaymentCheck.h"
#include "PaymentList.h"
#include "PrintJob.h"
#include "ProgressIndicator.h"
#include "RegText.h"
#include "SlipFromCheque.h"
#include "StartingCheque.h"
#include "VerbSession.h"
#include "Verbs.h"

using namespace Qt::StringLiterals;

namespace {

void fail(const Io& io, const QString& reason) {
    write(io.err, "chequeprint: " + reason.toUtf8() + '\n');
}

// Opens the database and reads the format of --format, or the current one, of the kind of
// --kind; nothing after saying why.
std::optional<PrintFormat> openFormat(VerbSession& s, const Arguments& args, const Io& io) {
    if (!s.open(args))
        return std::nullopt;
    const QString kind = documentKind(args).id.toString();
    FormatDisplays displays;
    ListFormatNames(s.db, displays, kind);
    const QString name =
        args.has(u"--format"_s) ? args.option(u"--format"_s) : displays.currentFormat;
    if (s.prompts.takeShown())
        return std::nullopt;
    if (!displays.formatNames.contains(name)) {
        fail(io, u"no print format named \""_s + name + u'"');
        return std::nullopt;
    }
    std::optional<PrintFormat> format = loadPrintFormat(s.db, name, documentKind(args));
    if (s.prompts.takeShown())
        return std::nullopt;
    return format;
}

// The kind's field that `key` names, by its tag (T3) or its identifier (票身-收款人); -1 for none.
int fieldNamed(const DocumentKind& kind, const QString& key) {
    for (const ChequeFieldInfo& field : kind.fields)
        if (field.tag == key || field.identifier == key)
            return field.index;
    return -1;
}

// The document of --kind the window would show at start (the last input, or on a first start the
// empty fields, with today's date), history row --history with today's date, or the slip filled
// from the kept cheque of --from-history, with --flags (or the stored switches) and the format's
// fonts, then the --field texts with their leave-field logic.
std::optional<Document> chequeFromArguments(VerbSession& s, const Arguments& args, const Io& io,
                                            const QString& format) {
    ChequeStart start{.switches = args.has(u"--flags"_s)
                                      ? args.option(u"--flags"_s)
                                      : storedOptionFlags(*openUserSettings(), documentKind(args)),
                      .format = format};
    bool rowId = true;  // --history, when given, is a row's ID
    if (args.has(u"--history"_s)) {
        bool number = false;
        start.historyRow = args.option(u"--history"_s).toInt(&number);
        rowId = number && *start.historyRow >= 0;
    }
    Document cheque(documentKind(args));
    ProgressIndicator progress(s.clock);
    if (!rowId || !startCheque(cheque, start, s.db, s.prompts, s.clock, progress)) {
        fail(io, u"no history row "_s + args.option(u"--history"_s));
        return std::nullopt;
    }
    // A slip filled from a kept cheque, over the last input: --field may still change it.
    if (args.has(u"--from-history"_s)) {
        bool number = false;
        const qint64 id = args.option(u"--from-history"_s).toLongLong(&number);
        QString why = u"没有第%1条历史记录"_s.arg(args.option(u"--from-history"_s));
        const std::optional<Document> slip =
            number ? slipFromCheque(s.db, id, s.clock, &why) : std::nullopt;
        if (!slip) {
            fail(io, why);
            return std::nullopt;
        }
        for (int i = 0; i < int(cheque.kind().fields.size()); ++i)
            cheque.setText(i, slip->text(i));
        cheque.setSourceId(slip->sourceId());
    }
    std::optional<QString> capitals;  // the amount in capitals as --field named it
    for (const QString& assignment : args.all(u"--field"_s)) {
        const qsizetype equals = assignment.indexOf(u'=');
        const QString key = assignment.left(equals);
        const int field = fieldNamed(cheque.kind(), key);
        if (equals < 0 || field < 0) {
            fail(io, u"unknown field "_s + key + u" in --field"_s);
            return std::nullopt;
        }
        cheque.setText(field, assignment.mid(equals + 1));
        if (field == cheque.field(FieldRole::AmountInCapitals))
            capitals = cheque.text(field);
        // Leaving a field of the stub does nothing; leaving any other runs its rules.
        if (partOf(cheque.kind(), field) != kStubPart)
            leaveBodyField(cheque, field, s.prompts);
    }
    // A message (a wrong date, a database error) was already shown: do not print.
    if (s.prompts.takeShown())
        return std::nullopt;
    // The capitals always print from the figures: capitals that say another amount are a
    // mistake of the caller, never printed beside the figures.
    cheque.deriveCapitals();
    if (capitals && *capitals != cheque.textOf(FieldRole::AmountInCapitals)) {
        fail(io, u"--field 大写金额=%1 does not match the amount in figures %2 (%3)"_s.arg(
                     *capitals, cheque.textOf(FieldRole::Amount),
                     cheque.textOf(FieldRole::AmountInCapitals)));
        return std::nullopt;
    }
    return cheque;
}

// Prints through the print job on the printer of --printer or into the PDF file of --pdf:
// 0 when the spooler took the job, it was journalled and, with --save, kept; otherwise 1,
// after `notPrinted` when nothing was printed.
int print(VerbSession& s, const Arguments& args, const Io& io, const PrintFormat& format,
          const std::function<PrintResult(PrintJob&)>& print, const QString& notPrinted = {}) {
    CommandLinePrint target(args, io, s.prompts, s.db);
    PrintJob job(s.db, s.prompts, s.clock, target, target, format);
    const PrintResult result = print(job);
    if (!result.printed) {
        if (!notPrinted.isEmpty())
            fail(io, notPrinted);
        return 1;
    }
    if (!result.keptAsAsked) {
        fail(io, u"printed, but it could not be saved in the history"_s);
        return 1;
    }
    if (!result.recorded) {
        fail(io, u"printed, but the print journal could not record it"_s);
        return 1;
    }
    // With a cheque book, the numbers the cheques were printed on.
    if (!result.numbers.isEmpty())
        if (const int written = writeOut(io, result.numbers.join(u'\n').toUtf8() + '\n'))
            return written;
    // The payments that did not print were named by the job; the batch is not done.
    return result.unprinted.isEmpty() ? 0 : 1;
}

}  // namespace

int printVerb(const Arguments& args, const Io& io) {
    // Only a deposit slip is filled from a kept cheque.
    if (args.has(u"--from-history"_s) && documentKind(args).id != depositSlip().id)
        return usageError(io, u"--from-history 只能用于进账单"_s);
    if (args.has(u"--back"_s) && !hasBack(documentKind(args)))
        return usageError(io, u"--back 只能用于现金支票"_s);
    // The back goes on a cheque whose number its front took.
    if (args.has(u"--back"_s) && args.has(u"--number"_s))
        return usageError(io, u"--back and --number exclude each other"_s);
    VerbSession s(io);
    const std::optional<PrintFormat> format = openFormat(s, args, io);
    if (!format)
        return 1;
    const std::optional<Document> cheque = chequeFromArguments(s, args, io, format->name);
    if (!cheque)
        return 1;
    if (args.has(u"--back"_s)) {
        // Of a kept cheque, its back's print is linked to its row.
        const qint64 row = args.has(u"--history"_s) ? args.option(u"--history"_s).toLongLong() : 0;
        return print(s, args, io, *format,
                     [&](PrintJob& job) { return job.printBacks({*cheque}, {row}); });
    }
    // A number names a sheet of the account's book: without one, nothing is printed on it.
    if (args.has(u"--number"_s)) {
        const std::optional<bool> book = hasOpenBook(s.db, cheque->textOf(FieldRole::DrawerAccount),
                                                     cheque->kind().id.toString());
        if (!book)
            return 1;
        if (!*book) {
            fail(io, u"--number needs an open cheque book of the account \""_s +
                         cheque->textOf(FieldRole::DrawerAccount) + u"\"; it has none"_s);
            return 1;
        }
    }
    return print(s, args, io, *format, [&](PrintJob& job) { return job.printCheque(*cheque); });
}

int previewVerb(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 1) {
        fail(io, u"preview needs one picture file name"_s);
        return 1;
    }
    VerbSession s(io);
    const std::optional<PrintFormat> format = openFormat(s, args, io);
    if (!format)
        return 1;
    const std::optional<Document> cheque = chequeFromArguments(s, args, io, format->name);
    if (!cheque)
        return 1;
    // The format's scan of the blank form behind the fields, as the window's preview shows it.
    const std::optional<FaintPicture> background =
        storedFaintBackground(s.db, *format, cheque->kind());
    const QImage picture =
        previewCheque(*cheque, *format, 8, s.prompts, background ? &*background : nullptr);
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
    const int modes = int(args.has(u"--sheet"_s)) + int(args.has(u"--measured"_s)) +
                      int(args.has(u"--show"_s)) + int(args.has(u"--reset"_s));
    if (modes > 1)
        return usageError(io, u"--sheet, --measured, --show and --reset exclude each other"_s);
    if (args.has(u"--check"_s) && !args.has(u"--sheet"_s) && !args.has(u"--measured"_s))
        return usageError(io, u"--check goes with --sheet or --measured"_s);
    if (modes == 1 && !args.has(u"--sheet"_s))
        return printerFitVerb(args, io);
    VerbSession s(io);
    const std::optional<PrintFormat> format = openFormat(s, args, io);
    if (!format)
        return 1;
    if (!args.has(u"--sheet"_s))
        return print(s, args, io, *format, [](PrintJob& job) { return job.printCalibration(); });
    // The marks' places are written once the sheet printed: they are what it is measured by.
    const bool landscape = fitSheetLandscape(args);
    const bool check = args.has(u"--check"_s);
    if (const int printed = print(s, args, io, *format, [&](PrintJob& job) {
            return job.printFitSheet(landscape, check);
        }))
        return printed;
    return writeOut(io, fitSheetLines(landscape));
}

int endorseVerb(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 1) {
        fail(io, u"endorse needs the text as one argument"_s);
        return 1;
    }
    if (args.inputs.first().isEmpty())
        return 0;  // nothing to print, no page
    VerbSession s(io);
    const std::optional<PrintFormat> format = openFormat(s, args, io);
    if (!format)
        return 1;
    Document cheque;  // with the format's stored endorsement parameters
    for (int i = 0; i < kEndorsementParameterCount; ++i)
        cheque.setEndorsement(i, format->endorsement[size_t(i)]);
    return print(s, args, io, *format, [&](PrintJob& job) { return job.printEndorsement(cheque); });
}

int batchVerb(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 1) {
        fail(io, u"batch needs the payment list's file name"_s);
        return 2;
    }
    QString error;
    const DocumentKind& kind = documentKind(args);
    const bool backs = args.has(u"--back"_s);
    if (backs && !hasBack(kind))
        return usageError(io, u"--back 只能用于现金支票"_s);
    const std::optional<PaymentList> list = readPaymentListFile(args.inputs.first(), &error, kind);
    if (!list) {
        fail(io, error);
        return 1;
    }
    VerbSession s(io);
    const std::optional<PrintFormat> format = openFormat(s, args, io);
    if (!format)
        return 1;
    // Every row starts from the document the print verb would print: the last input, the stored
    // switches and the format's fonts.
    const std::optional<Document> base = chequeFromArguments(s, args, io, format->name);
    if (!base)
        return 1;
    // What the rows that name only the payee take from the book of counterparties.
    const std::optional<QHash<QString, Payee>> book = listedPayees(s.db, *list, kind);
    if (!book)
        return 1;
    QString report;
    if (!list->hiddenSheets.isEmpty())
        report += u"已跳过隐藏的工作表：%1\n"_s.arg(list->hiddenSheets.join(u"、"_s));
    for (const QString& heading : list->unknownHeadings)
        report += u"未知的列：%1\n"_s.arg(heading);
    bool bad = false;
    QList<Document> cheques;
    QList<PaymentCheque> checked =
        checkPaymentList(*list, *base, s.clock.today(), *format, *printerLikeMeasure(), *book);
    for (PaymentCheque& cheque : checked) {
        // A date a bank would not pay is a problem of its row unless asked for.
        // The back carries no date: its fronts were asked about theirs.
        const QString date = backs ? QString() : unusualIssueDate(cheque.cheque, s.clock.today());
        if (!date.isEmpty() && !args.has(u"--allow-date"_s))
            cheque.problems << u"第%1行：出票日期不是今天（%2），加 --allow-date 才打印"_s.arg(
                QString::number(cheque.line), date);
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

    if (const int failed = print(
            s, args, io, *format,
            [&](PrintJob& job) {
                return backs ? job.printBacks(cheques) : job.printBatch(cheques);
            },
            // A kind printed on a cheque book's numbers is a cheque.
            u"none of the %1 %2 was printed"_s.arg(cheques.size())
                .arg(kind.numbered ? u"cheques"_s : u"documents"_s)))
        return failed;
    return writeOut(io, (batchSummary(cheques) + u'\n').toUtf8());
}
