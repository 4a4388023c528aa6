// The verb that keeps a printer's fit: measured marks in, the fit kept, shown or forgotten.
#include <memory>

#include <QSettings>

#include "Document.h"
#include "FitSheet.h"
#include "OptionFlags.h"
#include "PrinterFit.h"
#include "PrinterFitStore.h"
#include "RegText.h"
#include "Verbs.h"

using namespace Qt::StringLiterals;

namespace {

void fail(const Io& io, const QString& reason) {
    write(io.err, "chequeprint: " + reason.toUtf8() + '\n');
}

int writeLines(const Io& io, const QStringList& lines) {
    return lines.isEmpty() ? 0 : writeOut(io, lines.join(u'\n').toUtf8() + '\n');
}

int showFits(QSettings& settings, const Arguments& args, const Io& io) {
    const QString printer = args.option(u"--printer"_s);
    QStringList lines;
    for (const PrinterFitRow& row : keptPrinterFits(settings, printer))
        lines << row.printer + u'\t' + orientationName(row.landscape) + u'\t' +
                     (row.kept.state == KeptFit::State::Kept ? describeFit(row.kept.fit)
                                                             : u"校准数据已损坏"_s);
    if (lines.isEmpty() && !printer.isEmpty())
        lines << printer + u"\t未校准"_s;
    return writeLines(io, lines);
}

// Fits the printer from the marks measured on its sheet and keeps the fit; with --check, says
// how far the marks of a check sheet lie from their places instead.
int fitFromMeasurements(QSettings& settings, const Arguments& args, const Io& io) {
    const bool landscape = fitSheetLandscape(args);
    const QList<QPointF> intended = fitSheetMarks(landscape);
    QString why;
    const std::optional<QList<QPointF>> measured =
        parseMeasuredMarks(args.option(u"--measured"_s), int(intended.size()), &why);
    if (!measured) {
        fail(io, why);
        return 2;
    }
    if (args.has(u"--check"_s)) {
        const QStringList report = checkReport(intended, *measured);
        if (const int written = writeLines(io, report))
            return written;
        return report.last().contains(u"校准有效"_s) ? 0 : 1;
    }
    const FitOutcome outcome = fitPrinter(intended, *measured);
    if (const int written = writeLines(io, fitReport(outcome)))
        return written;
    using Verdict = FitOutcome::Verdict;
    if (outcome.verdict == Verdict::Refused ||
        (outcome.verdict == Verdict::Scaling && !args.has(u"--force"_s))) {
        fail(io, outcome.verdict == Verdict::Scaling
                     ? u"not kept: the page is scaled (--force keeps it all the same)"_s
                     : u"not kept"_s);
        return 1;
    }
    const QString printer = args.option(u"--printer"_s);
    if (!keepPrinterFit(settings, printer, landscape, *outcome.fit)) {
        fail(io, u"cannot write the settings file "_s + settings.fileName());
        return 1;
    }
    return writeLines(io, {u"已保存：%1（%2）"_s.arg(printer, orientationName(landscape))});
}

}  // namespace

bool fitSheetLandscape(const Arguments& args) {
    const DocumentKind& kind = documentKind(args);
    Document cheque(kind);
    applyOptionFlags(cheque, args.has(u"--flags"_s) ? args.option(u"--flags"_s)
                                                    : storedOptionFlags(*openUserSettings(), kind));
    return !cheque.crosswise();
}

QByteArray fitSheetLines(bool landscape) {
    QByteArray lines;
    const QList<QPointF> marks = fitSheetMarks(landscape);
    for (qsizetype k = 0; k < marks.size(); ++k)
        lines += QString(u"%1\t%2\t%3\n"_s)
                     .arg(QChar(u'A' + int(k)))
                     .arg(marks[k].x())
                     .arg(marks[k].y())
                     .toUtf8();
    return lines;
}

int printerFitVerb(const Arguments& args, const Io& io) {
    const bool needsPrinter = args.has(u"--measured"_s) || args.has(u"--reset"_s);
    if (args.has(u"--pdf"_s) || (needsPrinter && !args.has(u"--printer"_s)))
        return usageError(io, u"a printer's fit needs --printer NAME, never --pdf"_s);
    const std::unique_ptr<QSettings> settings = openUserSettings();
    if (args.has(u"--show"_s))
        return showFits(*settings, args, io);
    if (args.has(u"--reset"_s)) {
        if (forgetPrinterFits(*settings, args.option(u"--printer"_s)))
            return 0;
        fail(io, u"cannot write the settings file "_s + settings->fileName());
        return 1;
    }
    return fitFromMeasurements(*settings, args, io);
}
