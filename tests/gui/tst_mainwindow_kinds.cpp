// The window's kinds of document: the cashier switches between the transfer cheque and the
// deposit slip without losing what was typed into either, prints a slip, and finds each kind's
// own formats, history and commands.
#include <QAction>
#include <QTabWidget>

#include "BatchDialog.h"
#include "HistoryColumns.h"
#include "HistoryList.h"
#include "HistoryTab.h"
#include "HistoryView.h"
#include "MainWindowFixture.h"
#include "PayeeBook.h"

using namespace Qt::StringLiterals;

namespace {

int slipField(QStringView identifier) {
    return fieldByIdentifier(depositSlip(), identifier);
}

// Picks a kind in the 单据 box by keyboard, as a cashier does.
void pickKind(MainWindow& window, const QString& kind) {
    QComboBox* kinds = window.kindList();
    kinds->setFocus();
    const int target = kinds->findText(kind);
    QVERIFY(target >= 0);
    while (kinds->currentIndex() != target)
        QTest::keyClick(kinds, target > kinds->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
    // Showing and hiding the progress of reading the kind's fonts leaves no window active on the
    // offscreen platform.
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

QAction* action(MainWindow& window, const QString& name) {
    return window.findChild<QAction*>(name);
}

}  // namespace

class TestMainWindowKinds : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        installChineseFontSubstitutes();
    }

    void switchingKindsKeepsEachOnesInputAndPrintsASlip() {
        Fixture f;
        QCOMPARE(f.window->kindList()->currentText(), u"转账支票"_s);
        f.type(Field::Payee, u"甲公司"_s);
        f.type(Field::Amount, u"88"_s);

        // The slip: its own fields, format, commands and history.
        pickKind(*f.window, u"进账单"_s);
        QCOMPARE(&f.window->cheque().kind(), &depositSlip());
        QCOMPARE(f.window->formatList()->currentText(), u"标准进账单"_s);
        QCOMPARE(f.tab().printButton()->accessibleName(), u"打印进账单"_s);
        QVERIFY(f.tab().endorseButton()->isHidden());
        QVERIFY(!action(*f.window, u"mChequeBooks"_s)->isVisible());
        QVERIFY(!action(*f.window, u"mRooWidth"_s)->isVisible());
        const std::pair<QStringView, QString> typed[] = {{u"出票人全称", u"上海甲贸易有限公司"_s},
                                                         {u"出票人账号", u"310066001"_s},
                                                         {u"出票人开户银行", u"工商银行上海分行"_s},
                                                         {u"收款人全称", u"北京乙科技有限公司"_s},
                                                         {u"收款人账号", u"110077002"_s},
                                                         {u"收款人开户银行", u"建设银行北京分行"_s},
                                                         {u"小写金额", u"1234.5"_s}};
        for (const auto& [identifier, text] : typed)
            f.type(slipField(identifier), text);
        QCOMPARE(f.field(slipField(u"大写金额"))->text(), u"壹仟贰佰叁拾肆元伍角整"_s);
        f.printAnswering(PromptAnswer::Yes);
        QVERIFY(QFile::exists(f.t.dir.filePath(u"cheque.pdf"_s)));
        QCOMPARE(f.t.rows(u"SELECT 种类, 出票人全称, 收款人账号, 金额, 票据种类 FROM 历史记录 "
                          u"WHERE Dat>'1900-01-01'"_s),
                 u"进账单/上海甲贸易有限公司/110077002/￥1234.50/转账支票"_s);
        QCOMPARE(f.t.rows(u"SELECT 种类, 格式, 结果 FROM 打印日志"_s),
                 u"进账单/标准进账单/已打印"_s);
        f.window->tabs()->setCurrentWidget(f.window->historyTab());
        QCOMPARE(f.window->historyList().count(), 1);
        QCOMPARE(f.window->historyList().text(0, 4), u"上海甲贸易有限公司"_s);

        // Back to the cheque: what was typed is there, with the cheque's own history and
        // commands; the slip's input waits in turn.
        pickKind(*f.window, u"转账支票"_s);
        QCOMPARE(f.field(Field::Payee)->text(), u"甲公司"_s);
        QCOMPARE(f.field(Field::Amount)->text(), u"￥88.00"_s);
        QCOMPARE(f.window->formatList()->currentText(), u"标准支票"_s);
        QCOMPARE(f.window->historyList().count(), 0);
        QVERIFY(action(*f.window, u"mChequeBooks"_s)->isVisible());
        QVERIFY(!f.tab().endorseButton()->isHidden());
        pickKind(*f.window, u"进账单"_s);
        QCOMPARE(f.field(slipField(u"收款人账号"))->text(), u"110077002"_s);

        // The next start shows the kind worked on last, with its last input; the cheque's is
        // kept too.
        f.window->close();
        f.open();
        QCOMPARE(f.window->kindList()->currentText(), u"进账单"_s);
        QCOMPARE(f.field(slipField(u"出票人全称"))->text(), u"上海甲贸易有限公司"_s);
        pickKind(*f.window, u"转账支票"_s);
        QCOMPARE(f.field(Field::Payee)->text(), u"甲公司"_s);
    }

    // A kept cheque's row fills a slip: the drawer's name from the company's own entry of the
    // account, the payee's account and bank from the book, the cheque's amount; the slip printed
    // names its cheque, whose row then shows that a slip was printed.
    void aSlipFilledFromAKeptCheque() {
        Fixture f;
        QString why;
        QVERIFY(addPayee(f.t.db,
                         {.fullName = u"上海甲贸易有限公司"_s,
                          .account = u"310066001"_s,
                          .bank = u"工商银行上海分行"_s,
                          .own = true},
                         &why));
        QVERIFY(addPayee(
            f.t.db,
            {.fullName = u"乙公司"_s, .account = u"110077002"_s, .bank = u"建设银行北京分行"_s},
            &why));
        f.type(Field::Payee, u"乙公司"_s);
        f.type(Field::Bank, u"工商银行上海分行"_s);
        f.type(Field::Account, u"310066001"_s);
        f.type(Field::Amount, u"88"_s);
        f.printAnswering(PromptAnswer::Yes);
        const qint64 cheque = f.t.scalar(u"SELECT max(ID) FROM 历史记录"_s).toLongLong();

        f.window->tabs()->setCurrentWidget(f.window->historyTab());
        HistoryTab& history = *f.window->historyTab();
        QVERIFY(history.fillSlipButton()->isVisible());
        history.view()->setCurrentIndex(history.view()->model()->index(0, 2));
        QTest::mouseClick(history.fillSlipButton(), Qt::LeftButton);
        QCOMPARE(&f.window->cheque().kind(), &depositSlip());
        QCOMPARE(f.window->tabs()->currentWidget(), f.window->chequeTab());
        const std::pair<QStringView, QString> filled[] = {
            {u"出票日期-年", u"2026"_s},
            {u"出票日期-日", u"8"_s},
            {u"出票人全称", u"上海甲贸易有限公司"_s},
            {u"出票人账号", u"310066001"_s},
            {u"收款人全称", u"乙公司"_s},
            {u"收款人账号", u"110077002"_s},
            {u"收款人开户银行", u"建设银行北京分行"_s},
            {u"小写金额", u"￥88.00"_s},
            {u"大写金额", u"捌拾捌元整"_s},
            {u"票据种类", u"转账支票"_s},
            {u"票据张数", u"1"_s}};
        for (const auto& [identifier, text] : filled)
            QCOMPARE(f.field(slipField(identifier))->text(), text);

        QFile::remove(f.t.dir.filePath(u"cheque.pdf"_s));
        f.printAnswering(PromptAnswer::Yes);
        QVERIFY(QFile::exists(f.t.dir.filePath(u"cheque.pdf"_s)));
        QCOMPARE(f.t.scalar(u"SELECT 来源ID FROM 历史记录 WHERE 种类='进账单' AND "
                            u"Dat>'1900-01-01'"_s)
                     .toLongLong(),
                 cheque);
        // The cheques' history shows the slip; the slips' has no such command.
        f.window->tabs()->setCurrentWidget(f.window->historyTab());
        QVERIFY(!history.fillSlipButton()->isVisible());
        pickKind(*f.window, u"转账支票"_s);
        const int column = int(historyGridNames().indexOf(kSlipPrintedColumn));
        QCOMPARE(f.window->historyList().text(0, column), kSlipPrinted);
        QVERIFY(history.fillSlipButton()->isVisible());

        // On a slip, naming a payee of the book fills the account and bank left empty, never
        // one that was typed.
        pickKind(*f.window, u"进账单"_s);
        f.window->tabs()->setCurrentWidget(f.window->chequeTab());
        QLineEdit* account = f.field(slipField(u"收款人账号"));
        account->setFocus();
        account->selectAll();
        QTest::keyClick(account, Qt::Key_Delete);
        QTest::keyClick(account, Qt::Key_Tab);
        f.type(slipField(u"收款人开户银行"), u"自填银行"_s);
        f.type(slipField(u"收款人全称"), u"上海甲贸易有限公司"_s);
        QCOMPARE(f.field(slipField(u"收款人账号"))->text(), u"310066001"_s);
        QCOMPARE(f.field(slipField(u"收款人开户银行"))->text(), u"自填银行"_s);

        // A list of slips naming the payees alone: the book gives their accounts and banks,
        // the slip in the window the drawer; one job, both kept as slips.
        QFile list(f.t.dir.filePath(u"slips.csv"_s));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(u"收款人,金额\n乙公司,10\n上海甲贸易有限公司,20.5\n"_s.toUtf8());
        list.close();
        f.t.prompts.queueText(list.fileName());
        action(*f.window, u"mBatch"_s)->trigger();
        QPointer<BatchDialog> batch = f.window->findChild<BatchDialog*>();
        QVERIFY(batch && batch->printAll()->isEnabled());
        answerPrinterDialog(true);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        QTest::mouseClick(batch->printAll(), Qt::LeftButton);
        QTRY_VERIFY(!batch);
        QVERIFY(f.shownTexts().join(u'|').contains(u"共 2 张进账单，合计 ￥30.50"_s));
        QCOMPARE(f.t.rows(u"SELECT 收款人全称, 收款人账号, 收款人开户银行, 出票人全称, 金额 "
                          u"FROM 历史记录 WHERE 种类='进账单' AND Dat>'1900-01-01' AND 来源ID "
                          u"IS NULL ORDER BY ID"_s),
                 u"乙公司/110077002/建设银行北京分行/上海甲贸易有限公司/￥10.00|"
                 u"上海甲贸易有限公司/310066001/工商银行上海分行/上海甲贸易有限公司/￥20.50"_s);
    }
};

QTEST_MAIN(TestMainWindowKinds)
#include "tst_mainwindow_kinds.moc"
