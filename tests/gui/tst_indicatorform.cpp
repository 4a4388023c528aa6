#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include "IndicatorForm.h"
#include "ProgressIndicator.h"
#include "TestClock.h"

using namespace Qt::StringLiterals;

class TestIndicatorForm : public QObject {
    Q_OBJECT

private:
    Clock m_clock;

private slots:
    void init() { m_clock.setNow(kTestNow); }

    void windowShowsTheStateCentredAndOnTop() {
        IndicatorForm form;
        ProgressIndicator progress(m_clock, &form);
        progress.StartProgress(u"正在导出数据至CSV格式文件……"_s, 20);
        QVERIFY(form.isVisible());
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(form.windowTitle(), u"请稍侯 …"_s);
        const QRect screen = QApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(form.frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(form.frameGeometry().center().y() - screen.center().y()) <= 1);

        for (int i = 1; i <= 5; ++i) {
            m_clock.setNow(kTestNow.addSecs(3 * i));
            progress.StepProgress(1, u"pages"_s);
        }
        auto label = [&](const char* name) {
            return form.findChild<QLabel*>(QString::fromLatin1(name))->text();
        };
        QCOMPARE(label("LBL"), u"正在导出数据至CSV格式文件……"_s);
        QCOMPARE(label("Percent"), u"25%"_s);
        QCOMPARE(label("L1"), u"(5/20)"_s);
        QCOMPARE(label("L2"), u"0:15/0:45/1:0"_s);

        // The bar covers the left quarter of Pic in blue.
        auto* pic = form.findChild<QWidget*>(u"Pic"_s);
        const QImage image = pic->grab().toImage();
        QCOMPARE(image.pixelColor(image.width() / 5, image.height() / 2), QColor(0, 0, 255));
        QVERIFY(image.pixelColor(image.width() * 3 / 10, image.height() / 2) != QColor(0, 0, 255));
        const QString shot = qEnvironmentVariable("CHEQUEPRINT_SCREENSHOT_DIR");
        if (!shot.isEmpty())
            form.grab().save(shot + u"/progress.png"_s);

        progress.EndProgress();
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(TestIndicatorForm)
#include "TestClock.h"
#include "tst_indicatorform.moc"
