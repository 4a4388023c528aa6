// A printer's fine calibration from the command line: the sheet and its marks, the fit kept,
// refused or warned about as measured, shown and forgotten; then a cheque printed through a
// real print queue whose fit says it prints 1.2 % long and 1.5 mm right across, 1.5 % short
// and 2 mm high down: every word lands where the fit sends it, the same cheque into a PDF file
// stays where it was, the journal names the fit, and a damaged fit prints nothing.
#include <QPrinter>
#include <QSettings>
#include <QTest>

#include "PdfWords.h"
#include "PrintQueues.h"
#include "PrinterFit.h"
#include "ProgramRun.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

const PrinterFit kPrinter{{1.012, 1.5}, {0.985, -2}};

// The marks of a sheet as calibrate --sheet writes them.
QList<QPointF> marksOf(const QByteArray& lines) {
    QList<QPointF> marks;
    for (const QByteArray& line : lines.trimmed().split('\n')) {
        const QList<QByteArray> cells = line.split('\t');
        if (cells.size() == 3 && cells[0] == QByteArray(1, char('A' + marks.size())))
            marks << QPointF(cells[1].toDouble(), cells[2].toDouble());
    }
    return marks;
}

// The marks as a ruler reads them off a page the printer put at scale × place + offset.
QString measuredText(const QList<QPointF>& marks, const PrinterFit& printer) {
    QStringList parts;
    for (int k = 0; k < int(marks.size()); ++k)
        parts << u"%1=%2,%3"_s.arg(QChar(u'A' + k))
                     .arg(printer.across.scale * marks[k].x() + printer.across.offset)
                     .arg(printer.down.scale * marks[k].y() + printer.down.offset);
    return parts.join(u' ');
}

// Whether the pixel at a place (mm) of a page drawn at 254 dpi is dark.
bool darkAt(const QImage& page, QPointF mm) {
    return qGray(page.pixel(qRound(mm.x() * 10), qRound(mm.y() * 10))) < 128;
}

}  // namespace

class TestPrinterCalibration : public QObject {
    Q_OBJECT

    TestDatabase t;

    ProgramRun run(QStringList arguments) {
        arguments << u"--database"_s << t.path();
        RunOptions options;
        options.folder = t.dir.path();  // the settings, where the fits are kept, too
        return runProgram(arguments, options);
    }
    QString path(const QString& name) const { return t.dir.filePath(name); }
    QByteArray shown(const QString& printer) {
        return run({u"calibrate"_s, u"--show"_s, u"--printer"_s, printer}).out;
    }
    QString lastEntry() {
        return t.rows(u"SELECT 种类, 打印机, 结果, 内容 FROM 打印日志 ORDER BY ID DESC LIMIT 1"_s);
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    // The sheet lies on the cheque's paper as it is fed: a crosshair at each mark it names, far
    // apart on both axes.
    void theSheetAndItsMarks_data() {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("pageSize");
        QTest::newRow("fed crosswise") << u"1;0;0;0;0;0;0;0;1;0;"_s << u"595 x 842"_s;
        QTest::newRow("fed lengthwise") << u"0;0;0;0;0;0;0;0;1;0;"_s << u"842 x 595"_s;
    }
    void theSheetAndItsMarks() {
        QFETCH(QString, flags);
        QFETCH(QString, pageSize);
        const ProgramRun sheet = run(
            {u"calibrate"_s, u"--sheet"_s, u"--flags"_s, flags, u"--pdf"_s, path(u"sheet.pdf"_s)});
        QCOMPARE(sheet.exitCode, 0);
        const QList<QPointF> marks = marksOf(sheet.out);
        QCOMPARE(marks.size(), 4);
        QVERIFY(marks[1].x() - marks[0].x() >= 150 && marks[2].y() - marks[0].y() >= 60);

        QProcess info;
        info.start(u"pdfinfo"_s, {path(u"sheet.pdf"_s)});
        QVERIFY(info.waitForFinished(60000));
        QVERIFY(info.readAllStandardOutput().contains(pageSize.toUtf8()));
        QProcess render;
        render.start(u"pdftoppm"_s, {u"-r"_s, u"254"_s, u"-gray"_s, u"-singlefile"_s,
                                     path(u"sheet.pdf"_s), path(u"sheet"_s)});
        QVERIFY(render.waitForFinished(60000));
        const QImage page(path(u"sheet.pgm"_s));
        QVERIFY(!page.isNull());
        for (const QPointF& mark : marks) {
            QVERIFY(darkAt(page, mark));
            for (const QPointF arm : {QPointF(4, 0), QPointF(-4, 0), QPointF(0, 4), QPointF(0, -4)})
                QVERIFY(darkAt(page, mark + arm));
            QVERIFY(!darkAt(page, mark + QPointF(1, 1)));
        }
        QCOMPARE(t.rows(u"SELECT 种类, 结果 FROM 打印日志 ORDER BY ID DESC LIMIT 1"_s),
                 u"精确校准/已打印"_s);

        // A file has no fit to check.
        const ProgramRun check =
            run({u"calibrate"_s, u"--sheet"_s, u"--check"_s, u"--pdf"_s, path(u"check.pdf"_s)});
        QCOMPARE(check.exitCode, 1);
        QVERIFY(!QFile::exists(path(u"check.pdf"_s)));
        QCOMPARE(t.rows(u"SELECT 种类, 结果 FROM 打印日志 ORDER BY ID DESC LIMIT 1"_s),
                 u"精确校准/未打印：未精确校准"_s);
    }

    // What is kept of the marks as measured: each row on a printer of its own.
    void measurements_data() {
        QTest::addColumn<QString>("measured");
        QTest::addColumn<bool>("force");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("kept");  // what --show then says after the printer's name
        const QList<QPointF> marks{{20, 20}, {190, 20}, {20, 277}, {190, 277}};
        QString misread = measuredText(marks, kPrinter);
        misread.replace(u"C=21.74"_s, u"C=24.74"_s);
        QTest::newRow("a printer 1.2 % long, 1.5 % short")
            << measuredText(marks, kPrinter) << false << 0
            << "横向打印\t左右 101.20%、+1.50 毫米；上下 98.50%、−2.00 毫米"_ba;
        QTest::newRow("one mark misread by 3 mm") << misread << true << 1 << "未校准"_ba;
        QTest::newRow("a page fitted to 97 %")
            << measuredText(marks, {{0.97, 0}, {0.97, 0}}) << false << 1 << "未校准"_ba;
        QTest::newRow("a page fitted to 97 %, kept all the same")
            << measuredText(marks, {{0.97, 0}, {0.97, 0}}) << true << 0
            << "横向打印\t左右 97.00%、+0.00 毫米；上下 97.00%、+0.00 毫米"_ba;
        QTest::newRow("a page fitted to 90 %")
            << measuredText(marks, {{0.9, 0}, {0.9, 0}}) << true << 1 << "未校准"_ba;
        QTest::newRow("a mark missing")
            << u"A=20,20 B=190,20 C=20,277"_s << false << 2 << "未校准"_ba;
        QTest::newRow("a mark given twice")
            << u"A=20,20 B=190,20 C=20,277 D=190,277 A=20,20"_s << false << 2 << "未校准"_ba;
        QTest::newRow("not numbers")
            << u"A=20 B=190,20 C=20,277 D=190,x"_s << false << 2 << "未校准"_ba;
    }
    void measurements() {
        QFETCH(QString, measured);
        QFETCH(bool, force);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, kept);
        const QString printer = u"打印机"_s + QString::fromUtf8(QTest::currentDataTag());
        QStringList arguments{u"calibrate"_s,           u"--measured"_s, measured,
                              u"--printer"_s,           printer,         u"--flags"_s,
                              u"1;0;0;0;0;0;0;0;1;0;"_s};
        if (force)
            arguments << u"--force"_s;
        const ProgramRun fitted = run(arguments);
        QVERIFY2(fitted.exitCode == exitCode, fitted.out + fitted.err);
        QCOMPARE(shown(printer), printer.toUtf8() + '\t' + kept + '\n');
        if (exitCode == 0) {
            QCOMPARE(run({u"calibrate"_s, u"--reset"_s, u"--printer"_s, printer}).exitCode, 0);
            QCOMPARE(shown(printer), printer.toUtf8() + "\t未校准\n");
        }
    }

    void printsThroughAQueueMovedByItsFit() {
        SKIP_WITHOUT_QUEUE(kFineQueue);
        const QStringList cheque{
            u"print"_s,   u"--allow-date"_s, u"--field"_s, u"T3=北京华光科技有限公司"_s,
            u"--field"_s, u"T5=12345.6"_s,   u"--field"_s, u"T6=货款"_s,
            u"--field"_s, u"T9=工商银行"_s};
        const auto throughQueue = [&] {
            const PrintedJobs jobs;
            const ProgramRun printed = run(cheque + QStringList{u"--printer"_s, kFineQueue});
            const QString pdf =
                printed.exitCode == 0 ? jobs.awaitPdf(u"chequeprint-"_s) : QString();
            const QMap<QString, QPointF> words = wordCornersOnce(pdf);
            QFile::remove(pdf);
            return words;
        };
        const QMap<QString, QPointF> asMeant = throughQueue();
        QVERIFY2(asMeant.size() >= 5, "the queue wrote no PDF for the job");
        QCOMPARE(run(cheque + QStringList{u"--pdf"_s, path(u"before.pdf"_s)}).exitCode, 0);

        const ProgramRun sheet = run({u"calibrate"_s, u"--sheet"_s, u"--pdf"_s, path(u"s.pdf"_s)});
        const ProgramRun fitted =
            run({u"calibrate"_s, u"--measured"_s, measuredText(marksOf(sheet.out), kPrinter),
                 u"--printer"_s, kFineQueue});
        QVERIFY2(fitted.exitCode == 0, fitted.err);

        // The queue's page begins at the corner of the printable area Qt gives it.
        QPrinter printer;
        printer.setPrinterName(kFineQueue);
        printer.setPageSize(QPageSize(QPageSize::A3));
        const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
        const QPointF origin(margins.left(), margins.top());
        const QMap<QString, QPointF> moved = throughQueue();
        int compared = 0;
        for (auto word = moved.begin(); word != moved.end(); ++word) {
            if (!asMeant.contains(word.key()))
                continue;
            const QPointF expected = kPrinter.corrected(asMeant[word.key()] - origin) + origin;
            const QString misplaced = misplacedWord(word.key(), *word, expected, 0.05);
            QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced));
            ++compared;
        }
        QVERIFY(compared >= 5);
        QVERIFY(lastEntry().endsWith(
            u"精确校准=横向打印：左右 101.20%、+1.50 毫米；上下 98.50%、−2.00 毫米"_s));

        // A file is no printer: the same cheque into a PDF file is where it was.
        QCOMPARE(run(cheque + QStringList{u"--pdf"_s, path(u"after.pdf"_s)}).exitCode, 0);
        QCOMPARE(pdfWords(path(u"after.pdf"_s)), pdfWords(path(u"before.pdf"_s)));
        QVERIFY(!lastEntry().contains(u"精确校准"_s));

        // A fit no calibration could have kept (150 %) is taken for damaged: nothing prints.
        {
            QSettings settings(path(u"chequeprint/chequeprint.ini"_s), QSettings::IniFormat);
            settings.setValue(u"打印机精确校准/%1/横向打印"_s.arg(kFineQueue), u"1.5 0 1 0"_s);
        }
        const PrintedJobs jobs;
        const ProgramRun damaged = run(cheque + QStringList{u"--printer"_s, kFineQueue});
        QCOMPARE(damaged.exitCode, 1);
        QVERIFY2(damaged.err.contains("精确校准数据已损坏"), damaged.err);
        QCOMPARE(jobs.sent(u"chequeprint-"_s), 0);
        QVERIFY(lastEntry().startsWith(u"支票/%1/未打印：精确校准数据损坏/"_s.arg(kFineQueue)));
        QVERIFY(shown(kFineQueue).endsWith("横向打印\t校准数据已损坏\n"));
    }
};

QTEST_MAIN(TestPrinterCalibration)
#include "tst_printercalibration.moc"
