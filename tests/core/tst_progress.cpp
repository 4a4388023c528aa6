#include <QTest>

#include "ProgressIndicator.h"
#include "TestClock.h"

using namespace Qt::StringLiterals;

class TestProgress : public QObject {
    Q_OBJECT

private:
    Clock m_clock;

private slots:
    void init() { m_clock.setNow(kTestNow); }

    void formatElapsed_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << u"0:0"_s;
        QTest::newRow("negative is zero") << qint64(-5) << u"0:0"_s;
        QTest::newRow("seconds only") << qint64(59) << u"0:59"_s;
        QTest::newRow("one minute") << qint64(60) << u"1:0"_s;
        QTest::newRow("minutes and seconds") << qint64(75) << u"1:15"_s;
        QTest::newRow("one hour") << qint64(3600) << u"1:0:0"_s;
        QTest::newRow("no leading zeros inside") << qint64(3725) << u"1:2:5"_s;
        QTest::newRow("just under sixty hours") << qint64(215999) << u"59:59:59"_s;
        QTest::newRow("sixty hours and more keep counting hours") << qint64(270000) << u"75:0:0"_s;
    }
    void formatElapsed() {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(FormatElapsed(seconds), text);
    }

    void percentAndBar_data() {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<double>("bar");
        QTest::newRow("three tenths") << 10 << 3 << u"30%"_s << 0.3;
        QTest::newRow("a third is cut to thousandths") << 3 << 1 << u"33.3%"_s << 1.0 / 3;
        QTest::newRow("two thirds are cut, not rounded") << 3 << 2 << u"66.6%"_s << 2.0 / 3;
        QTest::newRow("all done") << 7 << 7 << u"100%"_s << 1.0;
        QTest::newRow("below a thousandth") << 2000 << 1 << u"0%"_s << 0.0005;
        QTest::newRow("one step of seven") << 7 << 1 << u"14.2%"_s << 1.0 / 7;
    }
    void percentAndBar() {
        QFETCH(int, total);
        QFETCH(int, steps);
        QFETCH(QString, percent);
        QFETCH(double, bar);
        ProgressIndicator progress(m_clock);
        progress.StartProgress(u"正在导出"_s, total);
        for (int i = 0; i < steps; ++i)
            progress.StepProgress(1, QString());
        QCOMPARE(progress.state().percent, percent);
        QCOMPARE(progress.state().bar, bar);
        QCOMPARE(progress.done(), steps);
    }

    void pagesShowCountsAndTimes() {
        ProgressIndicator progress(m_clock);
        progress.StartProgress(u"调整列宽"_s, 20);
        for (int i = 1; i <= 5; ++i) {
            m_clock.setNow(kTestNow.addSecs(10 * i));
            progress.StepProgress(1, u"Pages"_s);
        }
        // 50 s for a quarter: 200 s in all, 150 s to go.
        QCOMPARE(progress.state().counts, u"(5/20)"_s);
        QCOMPARE(progress.state().times, u"0:50/2:30/3:20"_s);
        QCOMPARE(progress.state().caption, u"调整列宽"_s);
    }

    void emptyUnitKeepsCountsAndTimes() {
        ProgressIndicator progress(m_clock);
        progress.StartProgress(u"a"_s, 4);
        progress.StepProgress(1, QString());
        QVERIFY(progress.state().counts.isEmpty());
        QVERIFY(progress.state().times.isEmpty());
        progress.StepProgress(1, u"pages"_s);
        const ProgressState before = progress.state();
        progress.StepProgress(1, QString());
        QCOMPARE(progress.state().counts, before.counts);
        QCOMPARE(progress.state().times, before.times);
        QCOMPARE(progress.state().percent, u"75%"_s);
    }

    void otherUnitBecomesTheCaption() {
        ProgressIndicator progress(m_clock);
        progress.StartProgress(u"正在保存格式"_s, 2);
        progress.StepProgress(1, u"正在写入第二步"_s);
        QCOMPARE(progress.state().caption, u"正在写入第二步"_s);
        QVERIFY(progress.state().counts.isEmpty());
    }

    void barOnlyGrowsUntilTheNextStart() {
        ProgressIndicator progress(m_clock);
        progress.StartProgress(u"a"_s, 10);
        progress.DrawProgress(6);
        progress.DrawProgress(2);
        QCOMPARE(progress.state().bar, 0.6);
        QCOMPARE(progress.done(), 2);
        // A second start while running resets counts and bar but keeps the texts shown.
        progress.StepProgress(1, u"pages"_s);
        const QString counts = progress.state().counts;
        progress.StartProgress(u"b"_s, 5);
        QCOMPARE(progress.state().bar, 0.0);
        QCOMPARE(progress.done(), 0);
        QCOMPARE(progress.state().counts, counts);
        // After the window closed, a new start shows a freshly loaded window.
        progress.EndProgress();
        progress.EndProgress();  // closing a closed window is ignored
        progress.StartProgress(u"c"_s, 5);
        QVERIFY(progress.state().counts.isEmpty());
        QCOMPARE(progress.state().percent, u"0%"_s);
    }

    // A run starts afresh: the percentage of the run before is no reason to keep "0%".
    void twoRunsInARowEachReachTheirEnd() {
        ProgressIndicator progress(m_clock);
        for (const QString& caption : {u"第一次"_s, u"第二次"_s}) {
            progress.StartProgress(caption, 1);
            QCOMPARE(progress.state().percent, u"0%"_s);
            progress.StepProgress(1, QString());
            QCOMPARE(progress.state().percent, u"100%"_s);
            progress.EndProgress();
        }
    }
};

QTEST_APPLESS_MAIN(TestProgress)
#include "TestClock.h"
#include "tst_progress.moc"
