#include <QRandomGenerator>
#include <QTest>

#include "AmountCapitals.h"

using namespace Qt::StringLiterals;

namespace {

// Reads a capital amount back to fen by the usual reading of Chinese numerals; an
// independent check that the conversion writes the value it was given.
qint64 readCapitalsBack(const QString& capitals) {
    qint64 wanGroup = 0, group = 0, yuan = 0, jiao = 0, fen = 0;
    int digit = 0;
    for (QChar c : capitals) {
        const int value = capitalDigitValue(c.unicode());
        if (value >= 0) {
            digit = value;
            continue;
        }
        switch (c.unicode()) {
            case u'拾':
                group += digit * 10;
                break;
            case u'佰':
                group += digit * 100;
                break;
            case u'仟':
                group += digit * 1000;
                break;
            case u'万':
                wanGroup = group + digit, group = 0;
                break;
            case u'元':
                yuan = wanGroup * 10000 + group + digit;
                break;
            case u'角':
                jiao = digit;
                break;
            case u'分':
                fen = digit;
                break;
            case u'整':
                break;
            default:
                return -1;
        }
        digit = 0;
    }
    return yuan * 100 + jiao * 10 + fen;
}

QString figuresOfFen(qint64 fen) {
    return u"￥"_s + QString::number(fen / 100) + u'.' +
           QStringLiteral("%1").arg(fen % 100, 2, 10, QLatin1Char('0'));
}

}  // namespace

class TestAmountCapitals : public QObject {
    Q_OBJECT

private slots:
    void formatFigures_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("figures");
        QTest::newRow("empty text is zero") << u""_s << u"￥0.00"_s;
        QTest::newRow("letters only are zero") << u"abc"_s << u"￥0.00"_s;
        QTest::newRow("whole number gets .00") << u"7"_s << u"￥7.00"_s;
        QTest::newRow("leading point gets a zero") << u".5"_s << u"￥0.50"_s;
        QTest::newRow("one decimal gets a zero") << u"12.3"_s << u"￥12.30"_s;
        QTest::newRow("commas are removed") << u"1,234.5"_s << u"￥1234.50"_s;
        QTest::newRow("figure form stays") << u"￥1234.56"_s << u"￥1234.56"_s;
        QTest::newRow("more decimals are truncated") << u"1.999"_s << u"￥1.99"_s;
        QTest::newRow("nine digits keep the last eight") << u"123456789"_s << u"￥23456789.00"_s;
        QTest::newRow("one and eight zeros keeps the zeros")
            << u"100000000"_s << u"￥00000000.00"_s;
        QTest::newRow("largest amount") << u"99999999.99"_s << u"￥99999999.99"_s;
        QTest::newRow("minus sign vanishes") << u"-5"_s << u"￥5.00"_s;
        QTest::newRow("blanks and letters vanish") << u" 1 2 元"_s << u"￥12.00"_s;
        QTest::newRow("second point ends the number") << u"1.2.3"_s << u"￥1.20"_s;
        QTest::newRow("leading zeros vanish") << u"007.5"_s << u"￥7.50"_s;
        QTest::newRow("trailing zero decimals vanish first") << u"3.10"_s << u"￥3.10"_s;
        QTest::newRow("point alone is zero") << u"."_s << u"￥0.00"_s;
        QTest::newRow("trailing point") << u"5."_s << u"￥5.00"_s;
        QTest::newRow("tiny value is cut to zero") << u"0.0000001"_s << u"￥0.00"_s;
        QTest::newRow("exponent letter is removed") << u"1e5"_s << u"￥15.00"_s;
        QTest::newRow("full-width yen and digits") << u"￥１２"_s << u"￥0.00"_s;
        QTest::newRow("ten integer digits keep the last eight")
            << u"1234567890.12"_s << u"￥34567890.12"_s;
        QTest::newRow("decimals cut before the eight-digit cut")
            << u"123456789.999"_s << u"￥23456789.99"_s;
        QTest::newRow("beyond fifteen digits written without exponent")
            << u"12345678901234567890"_s << u"￥34600000.00"_s;
    }
    void formatFigures() {
        QFETCH(QString, typed);
        QFETCH(QString, figures);
        QCOMPARE(FormatFigures(typed), figures);
    }

    void amountToCapitals_data() {
        QTest::addColumn<QString>("figures");
        QTest::addColumn<QString>("capitals");
        QTest::newRow("zero is 零元整") << u"￥0.00"_s << u"零元整"_s;
        QTest::newRow("fen only has no 元 and no 整") << u"￥0.05"_s << u"伍分"_s;
        QTest::newRow("jiao only has no 元") << u"￥0.50"_s << u"伍角整"_s;
        QTest::newRow("one yuan") << u"￥1.00"_s << u"壹元整"_s;
        QTest::newRow("zero jiao between yuan and fen reads 零") << u"￥1.01"_s << u"壹元零壹分"_s;
        QTest::newRow("ten yuan") << u"￥10.00"_s << u"壹拾元整"_s;
        QTest::newRow("tens and fen") << u"￥20.07"_s << u"贰拾元零柒分"_s;
        QTest::newRow("zeros after hundreds collapse") << u"￥100.01"_s << u"壹佰元零壹分"_s;
        QTest::newRow("zero tens inside") << u"￥101.00"_s << u"壹佰零壹元整"_s;
        QTest::newRow("alternating zeros") << u"￥1010.10"_s << u"壹仟零壹拾元壹角整"_s;
        QTest::newRow("ten thousand") << u"￥10000.00"_s << u"壹万元整"_s;
        QTest::newRow("zero after 万") << u"￥10010.00"_s << u"壹万零壹拾元整"_s;
        QTest::newRow("zero run after 万") << u"￥40020.00"_s << u"肆万零贰拾元整"_s;
        QTest::newRow("trace 60000.60") << u"￥60000.60"_s << u"陆万元陆角整"_s;
        QTest::newRow("hundred thousand") << u"￥100000.00"_s << u"壹拾万元整"_s;
        QTest::newRow("zero run across 万 gives one 零 after 万")
            << u"￥105000.00"_s << u"壹拾万零伍仟元整"_s;
        QTest::newRow("zero run inside the 万 group") << u"￥1000100.00"_s << u"壹佰万零壹佰元整"_s;
        QTest::newRow("trace 1005000.00") << u"￥1005000.00"_s << u"壹佰万零伍仟元整"_s;
        QTest::newRow("several zero runs") << u"￥3004005.06"_s << u"叁佰万零肆仟零伍元零陆分"_s;
        QTest::newRow("zero hundreds of 万") << u"￥10010000.00"_s << u"壹仟零壹万元整"_s;
        QTest::newRow("every digit")
            << u"￥12345678.90"_s << u"壹仟贰佰叁拾肆万伍仟陆佰柒拾捌元玖角整"_s;
        QTest::newRow("largest amount ends in 分")
            << u"￥99999999.99"_s << u"玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分"_s;
        QTest::newRow("eight zeros after the cut") << u"￥00000000.00"_s << u"零元整"_s;
        QTest::newRow("leading zeros after the cut") << u"￥00000012.30"_s << u"壹拾贰元叁角整"_s;
        QTest::newRow("empty 万 group is dropped") << u"￥10000000.00"_s << u"壹仟万元整"_s;
        QTest::newRow("万 group ending in zero") << u"￥200000.01"_s << u"贰拾万元零壹分"_s;
        QTest::newRow("万 followed by fen only") << u"￥50000.05"_s << u"伍万元零伍分"_s;
        QTest::newRow("jiao and fen") << u"￥0.15"_s << u"壹角伍分"_s;
        QTest::newRow("zero yuan kept off before jiao") << u"￥10.50"_s << u"壹拾元伍角整"_s;
        QTest::newRow("empty text reads as zero") << u""_s << u"零元整"_s;
    }
    void amountToCapitals() {
        QFETCH(QString, figures);
        QFETCH(QString, capitals);
        QCOMPARE(AmountToCapitals(figures), capitals);
    }

    // Over many amounts of every shape: the capitals read back to the same value and keep
    // the rules of form (整 exactly when not ending in 分, no doubled or dangling 零).
    void amountToCapitalsReadsBack() {
        QRandomGenerator random(20261207);
        for (int i = 0; i < 200000; ++i) {
            // Mix uniform amounts with sparse ones (few non-zero digits) where zeros matter.
            qint64 fen = 0;
            if (i % 2 == 0) {
                fen = qint64(random.bounded(quint64(10000000000)));
            } else {
                for (qint64 place = 1; place < 10000000000; place *= 10)
                    if (random.bounded(3) == 0)
                        fen += random.bounded(1, 10) * place;
            }
            const QString figures = figuresOfFen(fen);
            const QString capitals = AmountToCapitals(figures);
            QVERIFY2(readCapitalsBack(capitals) == fen, qPrintable(figures + u' ' + capitals));
            QVERIFY2(capitals.endsWith(u'分') != capitals.endsWith(u'整'), qPrintable(capitals));
            if (fen == 0) {
                QCOMPARE(capitals, u"零元整"_s);
                continue;
            }
            QVERIFY2(!capitals.contains(u"零零") && !capitals.contains(u"零元") &&
                         !capitals.contains(u"零万") && !capitals.startsWith(u'零'),
                     qPrintable(capitals));
        }
    }

    void digitCapitals_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("result");
        QTest::newRow("digits to capitals") << u"0123456789"_s << 1 << u"零壹贰叁肆伍陆柒捌玖"_s;
        QTest::newRow("other characters stay") << u"￥1.5a"_s << 0 << u"￥壹.伍a"_s;
        QTest::newRow("back: leading zero capital dropped") << u"零伍"_s << -1 << u"5"_s;
        QTest::newRow("back: inner 拾 dropped") << u"壹拾贰"_s << -1 << u"12"_s;
        QTest::newRow("back: trailing 拾 is a zero") << u"零壹拾"_s << -1 << u"10"_s;
        QTest::newRow("back: twenty") << u"贰拾"_s << -1 << u"20"_s;
        QTest::newRow("back: leading 拾 is a one") << u"拾伍"_s << -1 << u"15"_s;
        QTest::newRow("back: other characters dropped") << u"贰零零玖年"_s << -1 << u"2009"_s;
        QTest::newRow("back: one leading ASCII zero dropped") << u"05"_s << -1 << u"5"_s;
        QTest::newRow("back: only one leading zero dropped") << u"005"_s << -1 << u"05"_s;
        QTest::newRow("back: 拾 alone is a one") << u"拾"_s << -1 << u"1"_s;
        QTest::newRow("back: empty") << u""_s << -1 << u""_s;
    }
    void digitCapitals() {
        QFETCH(QString, text);
        QFETCH(int, direction);
        QFETCH(QString, result);
        QCOMPARE(DigitCapitals(text, direction), result);
    }
};

QTEST_APPLESS_MAIN(TestAmountCapitals)
#include "tst_amountcapitals.moc"
