// A printer's fine calibration in the window, as a cashier goes through it: the sheet printed,
// the marks typed, the fit kept for the printer; the next cheque through that printer moved
// by it, its journal entry naming it; a misread sheet refused; the check sheet measured; the
// fit forgotten, and the cheque back where it was.
#include <QAction>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMap>
#include <QPlainTextEdit>

#include "FitSheet.h"
#include "MainWindowFixture.h"
#include "PdfWords.h"
#include "PrinterFit.h"
#include "PrinterFitDialog.h"
#include "PrinterFitStore.h"

using namespace Qt::StringLiterals;

namespace {

// A printer that prints 1.2 % long with 1.5 mm more across, 1.5 % short with 2 mm less down.
const PrinterFit kPrinter{{1.012, 1.5}, {0.985, -2}};

QPointF printedBy(const PrinterFit& printer, QPointF sent) {
    return {printer.across.scale * sent.x() + printer.across.offset,
            printer.down.scale * sent.y() + printer.down.offset};
}

void typeMarks(PrinterFitDialog& dialog, const QList<QPointF>& marks) {
    for (int k = 0; k < int(marks.size()); ++k) {
        dialog.markBox(k, false)->setValue(marks[k].x());
        dialog.markBox(k, true)->setValue(marks[k].y());
    }
}

void press(PrinterFitDialog& dialog, const QString& name) {
    QTest::mouseClick(child<QPushButton>(&dialog, name), Qt::LeftButton);
}

}  // namespace

class TestMainWindowPrinterFit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    void calibrateAPrinterAndPrintThroughIt() {
        Fixture f;
        f.printers.fits = &f.settings;
        const QString pdf = f.t.dir.filePath(u"cheque.pdf"_s);
        f.type(Field::Payee, u"北京华光科技有限公司"_s);
        f.type(Field::Amount, u"12345.6"_s);
        f.printAnswering(PromptAnswer::No);
        const QMap<QString, QPointF> asMeant = wordCornersOnce(pdf);
        QVERIFY2(asMeant.size() >= 5, qPrintable(QStringList(asMeant.keys()).join(u' ')));

        f.window->findChild<QAction*>(u"mPrinterFit"_s)->trigger();
        auto* dialog = f.window->findChild<PrinterFitDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(child<QLabel>(dialog, u"kept"_s)->text(), u"未校准"_s);

        // The sheet, as the cheque lies (crosswise: a portrait page), uncorrected.
        answerPrinterDialog(true);
        press(*dialog, u"printSheet"_s);
        const bool landscape = false;
        const QList<QPointF> marks = fitSheetMarks(landscape);
        QCOMPARE(f.t.rows(u"SELECT 种类, 结果, 内容 FROM 打印日志 ORDER BY ID DESC LIMIT 1"_s),
                 u"精确校准/已打印/"_s);

        // A mark misread by 3 mm: nothing kept.
        QList<QPointF> measured;
        for (const QPointF& mark : marks)
            measured << printedBy(kPrinter, mark);
        QList<QPointF> misread = measured;
        misread[2].rx() += 3;
        typeMarks(*dialog, misread);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        press(*dialog, u"fit"_s);
        QCOMPARE(f.shownTexts().last(),
                 u"测量数据不一致，请重新测量（纸张可能放歪了）\n校正未保存。"_s);
        QCOMPARE(keptPrinterFit(f.settings, u"测试打印机"_s, landscape).state,
                 KeptFit::State::None);

        // Measured right, to the half millimetre a ruler reads: kept, no check sheet yet.
        for (QPointF& mark : measured)
            mark = QPointF(std::round(mark.x() * 2) / 2, std::round(mark.y() * 2) / 2);
        typeMarks(*dialog, measured);
        f.t.prompts.queueAnswer(PromptAnswer::No);
        press(*dialog, u"fit"_s);
        QCOMPARE(f.shownTexts().last(), u"校正已保存。是否打印检查页，核对校正的效果？"_s);
        const KeptFit kept = keptPrinterFit(f.settings, u"测试打印机"_s, landscape);
        QCOMPARE(kept.state, KeptFit::State::Kept);
        // Half millimetres over 170 mm and 257 mm: the scale within 0.3 %.
        QVERIFY(std::abs(kept.fit.across.scale - 1.012) < 0.003);
        QVERIFY(std::abs(kept.fit.down.scale - 0.985) < 0.003);
        QCOMPARE(child<QLabel>(dialog, u"kept"_s)->text(), describeFit(kept.fit));

        // A check sheet measured where it should be, one mark half a millimetre off.
        QList<QPointF> checked = marks;
        checked[1].ry() += 0.5;
        typeMarks(*dialog, checked);
        press(*dialog, u"check"_s);
        QVERIFY(child<QPlainTextEdit>(dialog, u"report"_s)
                    ->toPlainText()
                    .endsWith(u"最大偏离 0.50 毫米，不超过 0.5 毫米：校准有效"_s));
        press(*dialog, u"close"_s);

        // The next cheque through the printer: every word moved to (meant − offset) / scale,
        // and its entry names the fit. (Yes: the same payment again today.)
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        f.printAnswering(PromptAnswer::No);
        const QMap<QString, QPointF> corrected = wordCornersOnce(pdf);
        int compared = 0;
        for (auto word = corrected.begin(); word != corrected.end(); ++word) {
            if (!asMeant.contains(word.key()))
                continue;
            const QPointF expected = kept.fit.corrected(asMeant[word.key()]);
            const QString misplaced = misplacedWord(word.key(), *word, expected, 0.02);
            QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced));
            ++compared;
        }
        QVERIFY2(compared >= 5, qPrintable(f.shownTexts().join(u'|')));
        const QString entry =
            f.t.scalar(u"SELECT 内容 FROM 打印日志 ORDER BY ID DESC LIMIT 1"_s).toString();
        QVERIFY2(entry.endsWith(u"\n精确校准=横向打印："_s + describeFit(kept.fit)),
                 qPrintable(entry));

        // Forgotten: the cheque prints where it is meant again, and its entry names no fit.
        f.window->findChild<QAction*>(u"mPrinterFit"_s)->trigger();
        dialog = f.window->findChild<PrinterFitDialog*>();
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        press(*dialog, u"reset"_s);
        QCOMPARE(child<QLabel>(dialog, u"kept"_s)->text(), u"未校准"_s);
        press(*dialog, u"close"_s);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        f.printAnswering(PromptAnswer::No);
        QCOMPARE(wordCornersOnce(pdf), asMeant);
        QVERIFY(!f.t.scalar(u"SELECT 内容 FROM 打印日志 ORDER BY ID DESC LIMIT 1"_s)
                     .toString()
                     .contains(u"精确校准"_s));
    }
};

QTEST_MAIN(TestMainWindowPrinterFit)
#include "tst_mainwindow_printerfit.moc"
