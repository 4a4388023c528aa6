// The cash cheque in the window: its front printed and kept, then its back as a job of its own,
// from the cheque tab, from the history and after a batch; the back's print linked to its
// front's row, and a doubtful identity number asked about.
#include <QAction>
#include <QTabWidget>

#include "BatchDialog.h"
#include "ChequeGeometry.h"
#include "HistoryTab.h"
#include "HistoryView.h"
#include "MainWindowFixture.h"
#include "PdfWords.h"
#include "PrintFormat.h"

using namespace Qt::StringLiterals;

namespace {

int cashField(QStringView identifier) {
    return fieldByIdentifier(cashCheque(), identifier);
}

// Picks a kind in the 单据 box by keyboard, as a cashier does.
void pickKind(MainWindow& window, const QString& kind) {
    QComboBox* kinds = window.kindList();
    kinds->setFocus();
    const int target = kinds->findText(kind);
    QVERIFY(target >= 0);
    while (kinds->currentIndex() != target)
        QTest::keyClick(kinds, target > kinds->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// The words on the back's paper, each of which must lie inside the place of a back field (the
// place on the back, from the corner that the format's margins set: 10 mm in, less each
// margin, for a cheque fed crosswise); those outside are returned as "!word".
QStringList backWords(const QString& pdf, const PrintFormat& format) {
    QList<QRectF> places;
    for (const ChequeGeometry::Place& place : ChequeGeometry::of(cashCheque()).places)
        if (place.part == u"back"_s)
            places << place.rect.translated(10 - format.page.x, 10 - format.page.y);
    const QList<std::pair<QString, QRectF>> words = pdfWords(pdf);
    QStringList texts;
    for (const auto& [text, box] : words)
        texts << text;
    for (const QString& outside : wordsOutside(words, places))
        texts << u'!' + outside;
    return texts;
}

QString journal(Fixture& f) {
    return f.t.rows(u"SELECT 种类, 结果, COALESCE(历史ID, 0) FROM 打印日志 ORDER BY ID"_s);
}

}  // namespace

class TestMainWindowCash : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        installChineseFontSubstitutes();
    }

    void aCashChequesFrontThenItsBack() {
        Fixture f;
        pickKind(*f.window, u"现金支票"_s);
        QCOMPARE(&f.window->cheque().kind(), &cashCheque());
        QPushButton* printBack = f.tab().printBackButton();
        QVERIFY(printBack->isVisible());
        QVERIFY(f.tab().endorseButton()->isHidden());
        f.type(Field::Payee, u"张三"_s);
        f.type(Field::Account, u"310066001"_s);
        f.type(Field::Amount, u"500"_s);
        const int name = cashField(u"身份证件名称");
        const int issuer = cashField(u"发证机关");
        const int number = cashField(u"身份证件号码");
        QCOMPARE(f.field(name)->text(), u"身份证"_s);
        f.type(issuer, u"北京市公安局海淀分局"_s);
        f.type(number, u"110101199003071233"_s);

        // The back's fields stand on the back, below everything of the front, and the Tab key
        // reaches them after the front's, then the print of the front and that of the back.
        int frontBottom = 0;
        for (int field = 0; field < name; ++field)
            frontBottom = qMax(frontBottom, f.tab().field(field)->geometry().bottom());
        for (int field : {name, issuer, number})
            QVERIFY(f.tab().field(field)->geometry().top() > frontBottom);
        QList<QWidget*> chain;
        f.tab().focusFirstField();
        for (int step = 0; step < 40 && QApplication::focusWidget() != printBack; ++step) {
            chain << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(chain.mid(chain.size() - 4),
                 (QList<QWidget*>{f.tab().field(name), f.tab().field(issuer), f.tab().field(number),
                                  f.tab().printButton()}));

        // The front, kept; then the back, its one question the start on the turned sheet.
        const QString pdf = f.t.dir.filePath(u"cheque.pdf"_s);
        f.printAnswering(PromptAnswer::Yes);
        const qint64 front =
            f.t.scalar(u"SELECT max(ID) FROM 历史记录 WHERE Dat>'1900-01-01'"_s).toLongLong();
        QCOMPARE(
            f.t.rows(u"SELECT 种类, 收款人全称, 发证机关, 身份证件号码 FROM 历史记录 WHERE ID=?"_s,
                     {front}),
            u"现金支票/张三/北京市公安局海淀分局/110101199003071233"_s);
        QFile::remove(pdf);
        f.t.prompts.clear();
        answerPrinterDialog(true);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        QTest::mouseClick(printBack, Qt::LeftButton);
        QCOMPARE(f.shownTexts(),
                 QStringList{u"现金支票背面：请把支票翻过来，背面朝上放入。\n"_s + kStart});
        const PrintFormat format = *f.window->printFormat();
        QCOMPARE(backWords(pdf, format).join(u' '),
                 u"身份证 北京市公安局海淀分局 110101199003071233"_s);
        const QString linked = u"现金支票/已打印/%1|现金支票背面/已打印/%1"_s.arg(front);
        QCOMPARE(journal(f), linked);

        // Once the cheque in the window is changed, its back belongs to no kept row.
        f.type(issuer, u"上海市公安局"_s);
        answerPrinterDialog(true);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        QTest::mouseClick(printBack, Qt::LeftButton);
        QCOMPARE(journal(f), linked + u"|现金支票背面/已打印/0"_s);

        // From the history, the row's own back, the cheque in the window as it was.
        f.window->tabs()->setCurrentWidget(f.window->historyTab());
        HistoryTab& history = *f.window->historyTab();
        QVERIFY(history.printBackButton()->isVisible());
        QVERIFY(!history.fillSlipButton()->isVisible());
        history.view()->setCurrentIndex(history.view()->model()->index(0, 2));
        QFile::remove(pdf);
        answerPrinterDialog(true);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        QTest::mouseClick(history.printBackButton(), Qt::LeftButton);
        QCOMPARE(backWords(pdf, format).join(u' '),
                 u"身份证 北京市公安局海淀分局 110101199003071233"_s);
        QCOMPARE(journal(f),
                 linked + u"|现金支票背面/已打印/0|现金支票背面/已打印/%1"_s.arg(front));
        QCOMPARE(f.window->cheque().text(issuer), u"上海市公安局"_s);
        QCOMPARE(f.window->tabs()->currentWidget(), f.window->historyTab());

        // A number that fails its check is asked about; No prints nothing.
        f.window->tabs()->setCurrentWidget(f.window->chequeTab());
        f.type(number, u"110101199003071234"_s);
        QFile::remove(pdf);
        f.t.prompts.clear();
        f.t.prompts.queueAnswer(PromptAnswer::No);
        QTest::mouseClick(printBack, Qt::LeftButton);
        QCOMPARE(f.shownTexts().size(), 1);
        QVERIFY(f.shownTexts().front().contains(u"是否继续打印"_s));
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(f.t.rows(u"SELECT 种类, 结果 FROM 打印日志 ORDER BY ID DESC LIMIT 1"_s),
                 u"现金支票背面/已取消：身份证件号码"_s);
    }

    // A batch of cash cheques: once every front printed and was kept, the backs follow as a
    // second job, in the same order, each linked to its front's row.
    void aBatchsBacksFollowItsFronts() {
        Fixture f;
        pickKind(*f.window, u"现金支票"_s);
        f.type(Field::Account, u"310066001"_s);
        QFile list(f.t.dir.filePath(u"cash.csv"_s));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(
            u"收款人,金额,证件号码,发证机关\n"
            u"张三,100,110101199003071233,北京市公安局海淀分局\n"
            u"李四,200,310104198511204567,上海市公安局徐汇分局\n"_s.toUtf8());
        list.close();
        f.t.prompts.queueText(list.fileName());
        f.window->findChild<QAction*>(u"mBatch"_s)->trigger();
        QPointer<BatchDialog> batch = f.window->findChild<BatchDialog*>();
        QVERIFY(batch && batch->printAll()->isEnabled());
        // The printer is chosen twice: for the fronts, then for the backs.
        runOnceOpen(u"请选择打印机"_s, [](QWidget* dialog) {
            QTest::mouseClick(child<QPushButton>(dialog, u"CM0"_s), Qt::LeftButton);
            runOnceOpen(u"请选择打印机"_s, [](QWidget* again) {
                QTest::mouseClick(child<QPushButton>(again, u"CM0"_s), Qt::LeftButton);
            });
        });
        f.t.prompts.queueAnswer(PromptAnswer::Ok);   // the fronts' start
        f.t.prompts.queueAnswer(PromptAnswer::Yes);  // keep them
        f.t.prompts.queueAnswer(PromptAnswer::Yes);  // the backs next
        f.t.prompts.queueAnswer(PromptAnswer::Ok);   // the backs' start
        QTest::mouseClick(batch->printAll(), Qt::LeftButton);
        QTRY_VERIFY(!batch);
        QVERIFY(f.shownTexts().contains(u"正面已打印完毕。是否接着打印这批支票的背面？"_s));
        const QStringList rows =
            f.t.rows(u"SELECT ID FROM 历史记录 WHERE Dat>'1900-01-01' ORDER BY ID"_s).split(u'|');
        QCOMPARE(rows.size(), 2);
        QCOMPARE(f.t.rows(u"SELECT 种类, 结果, COALESCE(历史ID, 0) FROM 打印日志 WHERE "
                          u"种类='现金支票背面' ORDER BY ID"_s),
                 u"现金支票背面/已打印/%1|现金支票背面/已打印/%2"_s.arg(rows[0], rows[1]));
        // The second page of the backs' job is the second cheque's back.
        const QList<std::pair<QString, QRectF>> second =
            pdfWords(f.t.dir.filePath(u"cheque.pdf"_s), 2);
        QVERIFY(std::ranges::any_of(
            second, [](const auto& word) { return word.first == u"310104198511204567"_s; }));
    }
};

QTEST_MAIN(TestMainWindowCash)
#include "tst_mainwindow_cash.moc"
