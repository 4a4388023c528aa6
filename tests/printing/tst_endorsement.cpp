#include <QTest>

#include "Calibration.h"
#include "Document.h"
#include "Endorsement.h"
#include "FormatStore.h"
#include "RecordingSurface.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

constexpr double kMm = 25.4 / 72;

QStringList lines(const RecordingSurface& surface) {
    QStringList texts;
    for (const auto& call : surface.texts())
        texts << call.text;
    return texts;
}

}  // namespace

class TestEndorsement : public QObject {
    Q_OBJECT

private slots:
    void layoutFollowsTheMargins_data() {
        QTest::addColumn<double>("marginX");
        QTest::addColumn<double>("marginY");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::newRow("margins 10/10 print at the parameters") << 10.0 << 10.0 << 14.0 << 22.0;
        QTest::newRow("larger margins move left and up") << 12.0 << 15.0 << 12.0 << 17.0;
    }
    void layoutFollowsTheMargins() {
        QFETCH(double, marginX);
        QFETCH(double, marginY);
        QFETCH(double, x);
        QFETCH(double, y);
        const EndorsementLayout layout = endorsementLayout(Document(), marginX, marginY);
        QCOMPARE(layout.x, x);
        QCOMPARE(layout.y, y);
        QCOMPARE(layout.width, 63.0);
        QCOMPARE(layout.gap, 0.0);
        QCOMPARE(layout.fontSize, 10.0);
        Document typed;
        typed.setEndorsement(2, u"50mm"_s);
        typed.setEndorsement(3, u"abc"_s);
        QCOMPARE(endorsementLayout(typed, 10, 10).width, 50.0);
        QCOMPARE(endorsementLayout(typed, 10, 10).gap, 0.0);
    }

    void partsAndWrapping_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two names on two lines")
            << u"张三//李四"_s << QStringList{u"张三"_s, u"李四"_s};
        QTest::newRow("empty parts add no line")
            << u"//张三////李四//"_s << QStringList{u"张三"_s, u"李四"_s};
        // 10-point characters are 3.53 mm: 17 fit in 63 mm.
        QTest::newRow("long text wraps at the width")
            << QString(20, u'背') << QStringList{QString(17, u'背'), QString(3, u'背')};
        // A blank page is never sent.
        QTest::newRow("only line breaks and blanks") << u"// //　"_s << QStringList{};
    }
    void partsAndWrapping() {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        RecordingSurface surface;
        EndorsementLayout layout = endorsementLayout(Document(), 10, 10);
        layout.gap = 2;
        QCOMPARE(PrintEndorsement(surface, text, layout), !expected.isEmpty());
        QCOMPARE(lines(surface), expected);
        const auto drawn = surface.texts();
        for (size_t i = 0; i < drawn.size(); ++i) {
            QCOMPARE(drawn[i].x, 14.0);
            QVERIFY(qAbs(drawn[i].y - (22 + i * (10 * kMm + 2))) < 1e-9);
            QVERIFY(surface.textWidth(drawn[i].text) <= 63);
            QCOMPARE(drawn[i].font.size, 10.0);
        }
        QCOMPARE(surface.calls.empty(), expected.isEmpty());
        if (!expected.isEmpty())
            QCOMPARE(surface.calls.back().kind, RecordingSurface::Kind::End);
    }

    void characterWiderThanTheWidthGetsItsOwnLine() {
        RecordingSurface surface;
        EndorsementLayout layout = endorsementLayout(Document(), 10, 10);
        layout.width = 2;
        QVERIFY(PrintEndorsement(surface, u"甲乙"_s, layout));
        QCOMPARE(lines(surface), (QStringList{u"甲"_s, u"乙"_s}));
    }

    void failingPrinterStillEndsTheLoop() {
        RecordingSurface surface;
        surface.failAfterTexts = 0;
        QVERIFY(
            !PrintEndorsement(surface, QString(100, u'字'), endorsementLayout(Document(), 10, 10)));
        QVERIFY(surface.texts().empty());
    }

    void calibrationSquare() {
        RecordingSurface surface;
        QVERIFY(drawCalibrationSquare(surface));
        QCOMPARE(surface.calls.size(), size_t(2));
        const auto& box = surface.calls[0];
        QCOMPARE(box.kind, RecordingSurface::Kind::Box);
        QCOMPARE(QRectF(QPointF(box.x, box.y), QPointF(box.x2, box.y2)), QRectF(10, 10, 10, 10));
        QCOMPARE(box.color, quint32(0));
        QCOMPARE(surface.calls[1].kind, RecordingSurface::Kind::End);
    }

    void measuredMarginsKeepTheStubWidth() {
        TestDatabase t;
        FormatDisplays displays;
        QVERIFY(
            saveMeasuredMargins(t.db, u"13.5"_s, u"毫米"_s, u"标准支票"_s, Document(), displays));
        QCOMPARE(displays.marginX, u"13.5"_s);
        QCOMPARE(displays.marginY, u"0"_s);
        QCOMPARE(displays.stubWidth, u"60"_s);
    }
};

QTEST_GUILESS_MAIN(TestEndorsement)
#include "tst_endorsement.moc"
