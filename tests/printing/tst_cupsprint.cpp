#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "BatchPrint.h"
#include "Calibration.h"
#include "ChequePrinter.h"
#include "Document.h"
#include "FormatStore.h"
#include "PainterSurface.h"
#include "PrintQueues.h"
#include "PrinterChoice.h"
#include "ScriptedPrompts.h"
#include "Spooler.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

// The first page's size as pdfinfo reports it, e.g. "595 x 842 pts (A4)".
QString pageSizeOf(const QString& pdf) {
    QProcess info;
    info.start(u"pdfinfo"_s, {pdf});
    info.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(u"Page size:"_s))
            return line.mid(10).trimmed();
    return {};
}

// The first dark pixel along a row or a column of a picture, or -1.
int firstDark(const QImage& image, int fixed, bool alongRow) {
    const int length = alongRow ? image.width() : image.height();
    for (int i = 0; i < length; ++i)
        if (qGray(alongRow ? image.pixel(i, fixed) : image.pixel(fixed, i)) < 128)
            return i;
    return -1;
}

}  // namespace

class TestCupsPrint : public QObject {
    Q_OBJECT

private slots:
    void printerThatIsNotInstalledIsReported() {
        QPrinter printer;
        ScriptedPrompts prompts;
        QVERIFY(selectPrinterByName(printer, u"没有这台打印机"_s, prompts).isEmpty());
        QCOMPARE(prompts.shown().size(), size_t(1));
        QCOMPARE(prompts.shown()[0].text, u"没有正常连接打印机！"_s);
    }

    // What the spooler says: a queue that rejects jobs is refused when chosen, like a stopped
    // one; a document that reaches it all the same (the queue began rejecting after it was
    // chosen) is not taken for printed; a queue that takes it is.
    void theSpoolersAnswer_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("a queue that takes jobs") << kPdfQueue << true;
        QTest::newRow("a queue that rejects jobs") << kRejectingQueue << false;
    }
    void theSpoolersAnswer() {
        QFETCH(QString, queue);
        QFETCH(bool, accepted);
        SKIP_WITHOUT_QUEUE(queue);
        QPrinter printer(QPrinter::HighResolution);
        ScriptedPrompts prompts;
        QCOMPARE(selectPrinterByName(printer, queue, prompts).isEmpty(), !accepted);
        QCOMPARE(prompts.shown().size(), size_t(accepted ? 0 : 1));
        printer.setPrinterName(queue);
        SpoolerJob job;
        printer.setDocName(job.title());
        PainterSurface surface(printer);
        surface.setBeforeEnd([&] { job.beforeEnd(); });
        QVERIFY(drawCalibrationSquare(surface));
        QCOMPARE(job.accepted(queue), accepted);
        // A document that never reached the spooler is no accepted job either.
        SpoolerJob unsent;
        unsent.beforeEnd();
        QVERIFY(!unsent.accepted(queue));
    }

    // Through a real print queue the square lies 10 mm from the printable area's corner.
    void calibrationSquareThroughAPrintQueue() {
        SKIP_WITHOUT_QUEUE(kPdfQueue);
        const PrintedJobs jobs;
        const QString title = uniqueTitle(u"calibration"_s);

        QPrinter printer(QPrinter::HighResolution);
        ScriptedPrompts prompts;
        QCOMPARE(selectPrinterByName(printer, kPdfQueue, prompts), kPdfQueue);
        printer.setDocName(title);
        const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
        PainterSurface surface(printer);
        QVERIFY(drawCalibrationSquare(surface));

        const QString printed = jobs.awaitPdf(title);
        QVERIFY2(!printed.isEmpty(), "the queue wrote no PDF for the job");

        QTemporaryDir dir;
        QProcess render;
        render.start(u"pdftoppm"_s, {u"-r"_s, u"254"_s, u"-gray"_s, u"-singlefile"_s, u"-f"_s,
                                     u"1"_s, printed, dir.filePath(u"page"_s)});
        QVERIFY(render.waitForFinished(60000));
        const QImage page(dir.filePath(u"page.pgm"_s));
        QVERIFY(!page.isNull());
        // 254 dpi: ten pixels to the millimetre.
        const double left = (margins.left() + 10) * 10, top = (margins.top() + 10) * 10;
        QVERIFY2(qAbs(firstDark(page, int(top) + 50, true) - left) <= 3,
                 qPrintable(QString::number(firstDark(page, int(top) + 50, true))));
        QVERIFY(qAbs(firstDark(page, int(left) + 50, false) - top) <= 3);
        QFile::remove(printed);
    }

    // A crosswise cheque printed with its stub wants A3; a queue without A3 gets A4, never a
    // size it does not have.
    void a3OnlyWhereThePrinterHasIt_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("pageSize");
        QTest::newRow("a printer with A3") << kPdfQueue << u"842 x 1191 pts (A3)"_s;
        QTest::newRow("a printer with A4 only") << kA4Queue << u"595 x 842 pts (A4)"_s;
    }
    void a3OnlyWhereThePrinterHasIt() {
        QFETCH(QString, queue);
        QFETCH(QString, pageSize);
        SKIP_WITHOUT_QUEUE(queue);
        const PrintedJobs jobs;
        const QString title = uniqueTitle(u"paper-"_s + queue);
        TestDatabase t;
        QPrinter printer(QPrinter::HighResolution);
        QCOMPARE(selectPrinterByName(printer, queue, t.prompts), queue);
        printer.setDocName(title);
        Document cheque;
        QVERIFY(cheque.crosswise() && cheque.stubVisible());
        cheque.setText(Field::Payee, u"甲公司"_s);
        PainterSurface surface(printer);
        QVERIFY(
            PrintCheque(surface, cheque, loadPrintFormat(t.db, u"标准支票"_s).value(), t.prompts));
        // What the job asked for is paper the queue has.
        QCOMPARE(printer.pageLayout().pageSize().isEquivalentTo(QPageSize(QPageSize::A3)),
                 pageSize.endsWith(u"(A3)"_s));
        const QString printed = jobs.awaitPdf(title);
        QVERIFY2(!printed.isEmpty(), "the queue wrote no PDF for the job");
        QCOMPARE(pageSizeOf(printed), pageSize);
        QFile::remove(printed);
    }

    // A batch is one job: the queue writes one file with a page per cheque, each on paper the
    // queue has.
    void aBatchIsOneJobThroughAPrintQueue() {
        SKIP_WITHOUT_QUEUE(kA4Queue);
        const PrintedJobs jobs;
        const QString title = uniqueTitle(u"batch-of-three"_s);
        TestDatabase t;
        QPrinter printer(QPrinter::HighResolution);
        QCOMPARE(selectPrinterByName(printer, kA4Queue, t.prompts), kA4Queue);
        printer.setDocName(title);
        QList<Document> cheques(3);
        for (int k = 0; k < 3; ++k)
            cheques[k].setText(Field::Payee, u"收款人%1"_s.arg(k));
        PainterSurface surface(printer);
        QVERIFY(
            printChequeBatch(surface, cheques, loadPrintFormat(t.db, u"标准支票"_s).value(), {}));
        // Every job of the batch was handed to the spooler before the print returned: one job,
        // and, once it has ended, one file.
        QCOMPARE(jobs.sent(title), 1);
        const QString printed = jobs.awaitPdf(title);
        QVERIFY2(!printed.isEmpty(), "the queue wrote no PDF for the job");
        QCOMPARE(jobs.pdfs(title).size(), 1);
        QProcess info;
        info.start(u"pdfinfo"_s, {u"-l"_s, u"3"_s, printed});
        QVERIFY(info.waitForFinished(60000));
        const QString shown = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(shown.contains(u"Pages:           3\n"_s), qPrintable(shown));
        QCOMPARE(shown.count(u"595 x 842 pts (A4)"_s), 3);  // one line per page
        QFile::remove(printed);
    }
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
