#include <QTest>

#include "DateCapitals.h"

using namespace Qt::StringLiterals;

class TestDateCapitals : public QObject {
    Q_OBJECT

private slots:
    void dateToCapitals_data() {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("capitals");
        QTest::newRow("one digit gets a leading 零") << u"1"_s << u"零壹"_s;
        QTest::newRow("five") << u"5"_s << u"零伍"_s;
        QTest::newRow("nine") << u"9"_s << u"零玖"_s;
        QTest::newRow("leading zero digit reads like one digit") << u"05"_s << u"零伍"_s;
        QTest::newRow("ten gets 零 in front") << u"10"_s << u"零壹拾"_s;
        QTest::newRow("eleven has no 零") << u"11"_s << u"壹拾壹"_s;
        QTest::newRow("twelve") << u"12"_s << u"壹拾贰"_s;
        QTest::newRow("nineteen") << u"19"_s << u"壹拾玖"_s;
        QTest::newRow("twenty gets 零 in front") << u"20"_s << u"零贰拾"_s;
        QTest::newRow("twenty-one") << u"21"_s << u"贰拾壹"_s;
        QTest::newRow("twenty-nine") << u"29"_s << u"贰拾玖"_s;
        QTest::newRow("thirty gets 零 in front") << u"30"_s << u"零叁拾"_s;
        QTest::newRow("thirty-one") << u"31"_s << u"叁拾壹"_s;
        QTest::newRow("year digit by digit") << u"2009"_s << u"贰零零玖"_s;
        QTest::newRow("year zeros included") << u"2000"_s << u"贰零零零"_s;
        QTest::newRow("empty stays empty") << u""_s << u""_s;
    }
    void dateToCapitals() {
        QFETCH(QString, digits);
        QFETCH(QString, capitals);
        QCOMPARE(DateToCapitals(digits), capitals);
    }

    void capitalDateToDate_data() {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QDate>("date");
        QTest::newRow("month 零壹拾, day 叁拾壹")
            << u"贰零零玖"_s << u"零壹拾"_s << u"叁拾壹"_s << QDate(2009, 10, 31);
        QTest::newRow("month 壹拾贰, day 零伍")
            << u"贰零零玖"_s << u"壹拾贰"_s << u"零伍"_s << QDate(2009, 12, 5);
        QTest::newRow("day 零贰拾")
            << u"贰零零玖"_s << u"零贰"_s << u"零贰拾"_s << QDate(2009, 2, 20);
        QTest::newRow("day 零壹拾")
            << u"贰零壹零"_s << u"零壹"_s << u"零壹拾"_s << QDate(2010, 1, 10);
        QTest::newRow("壹拾 without 零 is ten")
            << u"贰零壹零"_s << u"壹拾"_s << u"贰拾壹"_s << QDate(2010, 10, 21);
        QTest::newRow("day 零叁拾")
            << u"贰零壹零"_s << u"零壹"_s << u"零叁拾"_s << QDate(2010, 1, 30);
        QTest::newRow("拾 alone as a month is October")
            << u"贰零零玖"_s << u"拾"_s << u"零伍"_s << QDate(2009, 10, 5);
        QTest::newRow("拾贰 as a month, 叁拾壹 as a day")
            << u"贰零零玖"_s << u"拾贰"_s << u"叁拾壹"_s << QDate(2009, 12, 31);
        QTest::newRow("month 0 is no date") << u"贰零零玖"_s << u"零"_s << u"零伍"_s << QDate();
        QTest::newRow("month 13 is no date")
            << u"贰零零玖"_s << u"壹拾叁"_s << u"零壹"_s << QDate();
        QTest::newRow("day 0 is no date") << u"贰零零玖"_s << u"零叁"_s << u"零"_s << QDate();
        QTest::newRow("31 February does not roll into March")
            << u"贰零零玖"_s << u"零贰"_s << u"叁拾壹"_s << QDate();
        QTest::newRow("31 April is no date")
            << u"贰零零玖"_s << u"零肆"_s << u"叁拾壹"_s << QDate();
        QTest::newRow("29 February of a common year is no date")
            << u"2009"_s << u"2"_s << u"29"_s << QDate();
        QTest::newRow("a part that is no number")
            << u"贰零零玖"_s << u"拾拾"_s << u"零壹"_s << QDate();
        QTest::newRow("ASCII digits read too")
            << u"2012"_s << u"2"_s << u"29"_s << QDate(2012, 2, 29);
        QTest::newRow("year below 1 is no date") << u""_s << u"零壹"_s << u"零壹"_s << QDate();
    }
    void readDatePart_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("拾") << u"拾"_s << 10;
        QTest::newRow("拾贰") << u"拾贰"_s << 12;
        QTest::newRow("贰拾") << u"贰拾"_s << 20;
        QTest::newRow("叁拾壹") << u"叁拾壹"_s << 31;
        QTest::newRow("零壹拾") << u"零壹拾"_s << 10;
        QTest::newRow("壹拾") << u"壹拾"_s << 10;
        QTest::newRow("零伍") << u"零伍"_s << 5;
        QTest::newRow("壹拾壹") << u"壹拾壹"_s << 11;
        QTest::newRow("year in capitals") << u"贰零零玖"_s << 2009;
        QTest::newRow("ASCII digits") << u"2009"_s << 2009;
        QTest::newRow("leading zero") << u"05"_s << 5;
        QTest::newRow("blanks aside") << u" 叁拾 壹 "_s << 31;
        QTest::newRow("three digits are one number") << u"贰贰贰"_s << 222;
        QTest::newRow("拾拾 is no number") << u"拾拾"_s << -1;
        QTest::newRow("拾零 is no number") << u"拾零"_s << -1;
        QTest::newRow("零拾 is no number") << u"零拾"_s << -1;
        QTest::newRow("two tens digits") << u"贰叁拾"_s << -1;
        QTest::newRow("two units digits") << u"贰拾叁肆"_s << -1;
        QTest::newRow("another character") << u"5日"_s << -1;
        QTest::newRow("a sign") << u"-5"_s << -1;
        QTest::newRow("empty") << u""_s << -1;
        QTest::newRow("a long digit run stays large") << u"99999999999999999999"_s << 100000;
    }
    void readDatePart() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(::readDatePart(text), value);
    }

    void capitalDateToDate() {
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(QDate, date);
        QCOMPARE(CapitalDateToDate(year, month, day), date);
    }

    // Every day written in capitals reads back as the same day.
    void everyDayReadsBack() {
        for (QDate d(2000, 1, 1); d.year() <= 2032; d = d.addDays(1)) {
            const QString y = DateToCapitals(QString::number(d.year()));
            const QString m = DateToCapitals(QString::number(d.month()));
            const QString dd = DateToCapitals(QString::number(d.day()));
            QVERIFY2(CapitalDateToDate(y, m, dd) == d, qPrintable(y + m + dd));
        }
    }
};

QTEST_APPLESS_MAIN(TestDateCapitals)
#include "tst_datecapitals.moc"
