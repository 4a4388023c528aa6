#include <QTest>

#include "Document.h"
#include "HistoryRecords.h"
#include "ProgressIndicator.h"
#include "SampleCheque.h"
#include "StartingCheque.h"
#include "TestClock.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

enum class Kept { LastInput, Nothing, HistoryRow, NoSuchRow };

}  // namespace

class TestStartingCheque : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    void startsFromWhatWasKept_data() {
        QTest::addColumn<Kept>("kept");
        QTest::addColumn<QString>("payee");
        QTest::addColumn<QString>("amount");
        QTest::newRow("the last input takes the switches and the format's fonts")
            << Kept::LastInput << u"上次的收款人"_s << u"￥1234.50"_s;
        QTest::newRow("a first start keeps the fields as they stand")
            << Kept::Nothing << u"原有收款人"_s << u"￥0.00"_s;
        QTest::newRow("a kept cheque printed again keeps the switches and fonts")
            << Kept::HistoryRow << u"上次的收款人"_s << u"￥1234.50"_s;
        QTest::newRow("a row that is not there changes nothing")
            << Kept::NoSuchRow << u"原有收款人"_s << QString();
    }
    void startsFromWhatWasKept() {
        QFETCH(Kept, kept);
        QFETCH(QString, payee);
        QFETCH(QString, amount);
        TestDatabase t;
        const Clock clock = testClock();
        ProgressIndicator progress(clock);
        Document stored = sampleCheque();
        stored.setText(Field::Payee, u"上次的收款人"_s);
        stored.setText(Field::Amount, u"1234.5"_s);  // as typed: the start leaves the field
        ChequeStart start{.switches = u"0;1;0;0;0;0;0;0;1;0;"_s, .format = u"标准支票"_s};
        if (kept == Kept::LastInput) {
            QVERIFY(saveLastInput(t.db, stored));
        } else if (kept == Kept::HistoryRow) {
            QVERIFY(SaveHistoryRecord(t.db, stored, QDate(2009, 5, 20)));
            start = {.historyRow = t.scalar(u"SELECT max(ID) FROM 历史记录"_s).toInt()};
        } else if (kept == Kept::NoSuchRow) {
            start.historyRow = 999;
        }

        Document cheque;
        cheque.setText(Field::Payee, u"原有收款人"_s);
        TextFont marked = cheque.font(Field::Purpose);
        marked.size = 99;
        cheque.setFont(Field::Purpose, marked);
        const Document before = cheque;

        QCOMPARE(startCheque(cheque, start, t.db, t.prompts, clock, progress),
                 kept != Kept::NoSuchRow);
        QVERIFY(t.prompts.shown().empty());
        QCOMPARE(cheque.text(Field::Payee), payee);
        if (kept == Kept::NoSuchRow) {
            for (int i = 0; i < kPrintableFieldCount; ++i)
                QCOMPARE(cheque.text(i), before.text(i));
        } else {
            QCOMPARE(cheque.text(Field::Year), u"贰零贰陆"_s);  // the tests' today
            QCOMPARE(cheque.text(Field::StubDay), u"8"_s);
            QCOMPARE(cheque.text(Field::Amount), amount);
            QCOMPARE(cheque.text(Field::StubAmount), amount);
        }
        const bool takesSwitchesAndFonts = start.switches.has_value() && kept != Kept::NoSuchRow;
        QCOMPARE(cheque.crosswise(), !takesSwitchesAndFonts);
        QCOMPARE(cheque.chk(0), takesSwitchesAndFonts ? 1 : 0);
        QCOMPARE(cheque.font(Field::Purpose) == marked, !takesSwitchesAndFonts);
    }
};

QTEST_GUILESS_MAIN(TestStartingCheque)
#include "tst_startingcheque.moc"
