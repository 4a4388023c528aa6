#include <cfloat>

#include <QTest>

#include "NumberText.h"

using namespace Qt::StringLiterals;

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void numericValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << u"42"_s << 42.0;
        QTest::newRow("decimal") << u"12.5"_s << 12.5;
        QTest::newRow("leading point") << u".5"_s << 0.5;
        QTest::newRow("negative sign") << u"-3"_s << -3.0;
        QTest::newRow("plus sign") << u"+7"_s << 7.0;
        QTest::newRow("blanks before") << u"  \t15"_s << 15.0;
        QTest::newRow("blanks inside are skipped") << u"1 2 3"_s << 123.0;
        QTest::newRow("blank between sign and digits") << u"- 3"_s << -3.0;
        QTest::newRow("second point ends the number") << u"1.2.3"_s << 1.2;
        QTest::newRow("letter ends the number") << u"30mm"_s << 30.0;
        QTest::newRow("exponent") << u"1.5e3"_s << 1500.0;
        QTest::newRow("negative exponent") << u"25E-1"_s << 2.5;
        QTest::newRow("exponent without digits is ignored") << u"7e"_s << 7.0;
        QTest::newRow("no leading number") << u"abc"_s << 0.0;
        QTest::newRow("empty text") << u""_s << 0.0;
        QTest::newRow("sign alone") << u"-"_s << 0.0;
        QTest::newRow("point alone") << u"."_s << 0.0;
        QTest::newRow("full-width digits are not digits") << u"１２"_s << 0.0;
        QTest::newRow("overflow is clamped") << u"1e400"_s << DBL_MAX;
        QTest::newRow("negative overflow is clamped") << u"-1e400"_s << -DBL_MAX;
        QTest::newRow("underflow is zero") << u"1e-400"_s << 0.0;
    }
    void numericValue() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(::numericValue(text), value);
    }

    void numberText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole number") << 15.0 << u"15"_s;
        QTest::newRow("one decimal") << 12.5 << u"12.5"_s;
        QTest::newRow("negative") << -3.0 << u"-3"_s;
        QTest::newRow("zero") << 0.0 << u"0"_s;
        QTest::newRow("negative zero") << -0.0 << u"0"_s;
        QTest::newRow("below one has a leading zero") << 0.05 << u"0.05"_s;
        QTest::newRow("binary fraction noise is rounded away") << 0.1 + 0.2 << u"0.3"_s;
        QTest::newRow("fifteen significant digits") << 123456789012.345678 << u"123456789012.346"_s;
        QTest::newRow("large values without exponent") << 1e17 << u"100000000000000000"_s;
        QTest::newRow("small values without exponent") << 1.5e-7 << u"0.00000015"_s;
        QTest::newRow("thousandths times hundred") << 0.333 * 100 << u"33.3"_s;
    }
    void numberText() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(::numberText(value), text);
    }

    // Every text the program writes must read back as the same number.
    void numberTextReadsBack() {
        const double values[] = {1.0 / 3, 2.0 / 3, 1234.5678, 99999999.99, 1e-5, 7e14, -42.125};
        for (double v : values) {
            const double back = ::numericValue(::numberText(v));
            QVERIFY2(qAbs(back - v) <= qAbs(v) * 1e-14, qPrintable(::numberText(v)));
        }
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
