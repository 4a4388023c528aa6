// A scan of the blank form behind the fields, as a cashier uses it to place them by eye: chosen
// from 格式 → 底图…, seen faintly in the window's picture and in the preview opened from the
// format tab, hidden and shown again from either, carried into a format file only when wanted,
// and cleared; the cheque printed meanwhile holds no picture.
#include <QAction>
#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "ChequeCanvas.h"
#include "FormatTab.h"
#include "MainWindowFixture.h"
#include "PreviewWindow.h"
#include "ScannedForm.h"

using namespace Qt::StringLiterals;

class TestMainWindowBackground : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    void placingFieldsOverAScannedForm() {
        Fixture f;
        MainWindow& w = *f.window;
        const QString form = f.t.dir.filePath(u"空白支票.png"_s);
        QVERIFY(scannedForm().save(form));
        ChequeCanvas* canvas = w.chequeTab()->canvas();
        w.tabs()->setCurrentWidget(w.formatTab());
        auto press = [&](const QString& button) {
            QTest::mouseClick(w.formatTab()->findChild<QPushButton*>(button), Qt::LeftButton);
        };
        press(u"showPreview"_s);
        PreviewWindow* preview = w.findChild<PreviewWindow*>();
        QVERIFY(preview && preview->isVisible());
        const QImage plainPreview = preview->picture();
        const QImage plainCanvas = canvas->grab().toImage();

        // The scan's own resolution (150 dpi) is offered; 0 fits it to the whole form.
        f.t.prompts.queueText(form);
        f.t.prompts.queueText(u"0"_s);
        press(u"chooseBackground"_s);
        const auto& shown = f.t.prompts.shown();
        QCOMPARE(shown[shown.size() - 2].text,
                 u"请输入图片的分辨率（点/英寸）；输入0则按单据大小放置："_s);
        QCOMPARE(shown[shown.size() - 2].defaultText, u"150"_s);
        QCOMPARE(shown.back().text, u"底图已保存。"_s);
        QCOMPARE(f.t.rows(u"SELECT 种类, Name, 分辨率 FROM 格式底图"_s), u"转账支票/标准支票/0"_s);
        // The frame's left edge at the form's: 1 mm into the canvas, at the stub's left edge
        // of the preview.
        const QImage shownCanvas = canvas->grab().toImage();
        QVERIFY(pinkish(shownCanvas.pixel(4, 150)) && !pinkish(plainCanvas.pixel(4, 150)));
        QVERIFY(preview->picture() != plainPreview);
        QVERIFY(pinkish(preview->picture().pixel(1, preview->picture().height() / 2)));

        // Hidden from the preview: gone from both pictures, and the menu says so.
        auto* show = preview->findChild<QCheckBox*>(u"ShowBackground"_s);
        auto* menu = w.findChild<QAction*>(u"mShowBackground"_s);
        QVERIFY(show->isChecked() && menu->isChecked());
        show->click();
        QVERIFY(!menu->isChecked());
        QCOMPARE(canvas->grab().toImage(), plainCanvas);
        QCOMPARE(preview->picture(), plainPreview);
        menu->trigger();
        QVERIFY(show->isChecked());
        QCOMPARE(canvas->grab().toImage(), shownCanvas);

        // Never printed, whether shown or not.
        f.type(Field::Payee, u"北京华光科技有限公司"_s);
        f.type(Field::Amount, u"12345.6"_s);
        f.printAnswering(PromptAnswer::No);
        QProcess images;
        images.start(u"pdfimages"_s, {u"-list"_s, f.t.dir.filePath(u"cheque.pdf"_s)});
        QVERIFY(images.waitForFinished() && images.exitCode() == 0);
        QCOMPARE(images.readAllStandardOutput().count('\n'), 2);  // the headings alone

        // Exported with it only when the cashier says so.
        const QString file = f.t.dir.filePath(u"标准支票.chequeformat"_s);
        const auto exported = [&](PromptAnswer withBackground) {
            f.t.prompts.queueText(file);
            f.t.prompts.queueAnswer(withBackground);
            press(u"exportFormat"_s);
            QFile written(file);
            return written.open(QIODevice::ReadOnly)
                       ? QJsonDocument::fromJson(written.readAll()).object()
                       : QJsonObject();
        };
        QVERIFY(!exported(PromptAnswer::No).contains(u"background"_s));
        QVERIFY(f.shownTexts().contains(u"是否把底图一并导出？"_s));
        QCOMPARE(exported(PromptAnswer::Yes)[u"background"_s][u"dotsPerInch"_s].toDouble(), 0.0);

        // Cleared: the frame is gone from the picture; a file that is no picture is refused.
        f.t.prompts.queueChoice(1);
        press(u"chooseBackground"_s);
        QCOMPARE(f.shownTexts().mid(f.shownTexts().size() - 2),
                 (QStringList{u"格式“标准支票”已有底图。"_s, u"底图已清除。"_s}));
        QCOMPARE(f.t.scalar(u"SELECT count(*) FROM 格式底图"_s).toInt(), 0);
        QVERIFY(!pinkish(canvas->grab().toImage().pixel(4, 150)));
        f.t.prompts.queueText(file);
        press(u"chooseBackground"_s);
        QCOMPARE(f.shownTexts().last(), u"无法使用底图：底图应是PNG或JPEG图片"_s);
        QCOMPARE(f.t.scalar(u"SELECT count(*) FROM 格式底图"_s).toInt(), 0);
    }
};

QTEST_MAIN(TestMainWindowBackground)
#include "tst_mainwindow_background.moc"
