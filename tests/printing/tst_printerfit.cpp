// The fit of a printer's scale and offset from four measured marks, as a table of printers.
#include <cmath>

#include <QTest>

#include "PrinterFit.h"

using namespace Qt::StringLiterals;

namespace {

// The marks' intended places: near the corners of a cheque's paper, 150 mm across and 60 down.
const QList<QPointF> kMarks = {{20, 15}, {190, 15}, {20, 85}, {190, 85}};

// Where a printer of these scales and offsets puts the marks, give or take `noise` (mm, one
// sign a mark) and `misread` added to the first mark's reading across.
QList<QPointF> printed(double sx, double tx, double sy, double ty, double noise = 0,
                       double misread = 0) {
    QList<QPointF> out;
    for (qsizetype k = 0; k < kMarks.size(); ++k) {
        const double sign = (k % 2 == 0) ? 1 : -1;
        out << QPointF(sx * kMarks[k].x() + tx + sign * noise + (k == 0 ? misread : 0),
                       sy * kMarks[k].y() + ty - sign * noise);
    }
    return out;
}

}  // namespace

class TestPrinterFit : public QObject {
    Q_OBJECT

private slots:
    void fitsTheMeasurements_data() {
        QTest::addColumn<QList<QPointF>>("measured");
        QTest::addColumn<int>("verdict");
        QTest::addColumn<double>("scaleAcross");  // expected, when a fit is given
        QTest::addColumn<double>("offsetDown");
        QTest::addColumn<double>("tolerance");
        using V = FitOutcome::Verdict;
        QTest::newRow("exact, 1.2 % long across, 1.5 % short down")
            << printed(1.012, 1.5, 0.985, -2) << int(V::Good) << 1.012 << -2.0 << 1e-9;
        QTest::newRow("a ruler's noise of 0.25 mm")
            << printed(1.004, 0.7, 0.996, 0.3, 0.25) << int(V::Good) << 1.004 << 0.3 << 0.01;
        QTest::newRow("one mark misread by 3 mm")
            << printed(1.0, 0, 1.0, 0, 0, 3) << int(V::Refused) << 0.0 << 0.0 << 0.0;
        QTest::newRow("a page fitted to 97 %")
            << printed(0.97, 3, 0.97, 2) << int(V::Scaling) << 0.97 << 2.0 << 1e-9;
        QTest::newRow("a page fitted to 90 %")
            << printed(0.90, 10, 0.90, 4) << int(V::Refused) << 0.90 << 4.0 << 1e-9;
        QTest::newRow("an offset of 25 mm")
            << printed(1.0, 25, 1.0, 0) << int(V::Refused) << 1.0 << 0.0 << 1e-9;
        QTest::newRow("every mark read at one place")
            << QList<QPointF>(4, QPointF(50, 50)) << int(V::Refused) << 0.0 << 0.0 << 0.0;
    }
    void fitsTheMeasurements() {
        QFETCH(QList<QPointF>, measured);
        QFETCH(int, verdict);
        QFETCH(double, scaleAcross);
        QFETCH(double, offsetDown);
        QFETCH(double, tolerance);
        const FitOutcome outcome = fitPrinter(kMarks, measured);
        QCOMPARE(int(outcome.verdict), verdict);
        QCOMPARE(outcome.message.isEmpty(), verdict == int(FitOutcome::Verdict::Good));
        if (tolerance == 0) {  // the measurements disagree: no fit at all
            QVERIFY(!outcome.fit);
            return;
        }
        QVERIFY(outcome.fit);
        QVERIFY2(std::abs(outcome.fit->across.scale - scaleAcross) <= tolerance,
                 qPrintable(QString::number(outcome.fit->across.scale, 'f', 6)));
        QVERIFY2(std::abs(outcome.fit->down.offset - offsetDown) <= tolerance * 100,
                 qPrintable(QString::number(outcome.fit->down.offset, 'f', 6)));
        // Sent corrected, each mark lands where it was meant, to the noise of the ruler.
        for (const QPointF& mark : kMarks) {
            const QPointF sent = outcome.fit->corrected(mark);
            const QPointF back(outcome.fit->across.scale * sent.x() + outcome.fit->across.offset,
                               outcome.fit->down.scale * sent.y() + outcome.fit->down.offset);
            QVERIFY(std::abs(back.x() - mark.x()) < 1e-9 && std::abs(back.y() - mark.y()) < 1e-9);
        }
    }
};

QTEST_GUILESS_MAIN(TestPrinterFit)
#include "tst_printerfit.moc"
