#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>

#include "Calibration.h"
#include "PainterSurface.h"
#include "PrinterChoice.h"
#include "ScriptedPrompts.h"

using namespace Qt::StringLiterals;

namespace {

// The queue .ci/run sets up: CUPS with printer-driver-cups-pdf, writing into ~/PDF.
const QString kQueue = u"ChequePDF"_s;

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

    // Through a real print queue the square lies 10 mm from the printable area's corner.
    void calibrationSquareThroughAPrintQueue() {
        if (!QPrinterInfo::availablePrinterNames().contains(kQueue))
            QSKIP("no CUPS queue ChequePDF (cupsd with printer-driver-cups-pdf)");
        const QDir out(QDir::home().filePath(u"PDF"_s));
        const QStringList before = out.entryList({u"*.pdf"_s}, QDir::Files);

        QPrinter printer(QPrinter::HighResolution);
        ScriptedPrompts prompts;
        QCOMPARE(selectPrinterByName(printer, kQueue, prompts), kQueue);
        printer.setDocName(u"calibration"_s);
        const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
        PainterSurface surface(printer);
        QVERIFY(PrintCalibrationSquare(surface));

        QString printed;
        for (int waited = 0; waited < 300 && printed.isEmpty(); ++waited) {
            QTest::qWait(100);
            for (const QString& name : out.entryList({u"*.pdf"_s}, QDir::Files))
                if (!before.contains(name))
                    printed = out.filePath(name);
        }
        QVERIFY2(!printed.isEmpty(), "the queue wrote no PDF within 30 s");
        QTest::qWait(500);  // let the writer finish the file

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
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
