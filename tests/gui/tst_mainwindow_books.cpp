// Cheque books and batches from the window: a book entered, its register and its voided
// numbers; a payment list printed from the file menu, and a numbered batch whose book runs out.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "BatchDialog.h"
#include "BoundGridModel.h"
#include "ChequeBooksDialog.h"
#include "ChequeRegister.h"
#include "MainWindowFixture.h"
#include "PaymentList.h"
#include "PrintJournal.h"
#include "RegisterDialog.h"
#include "RegisterGrid.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

class TestMainWindowBooks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        installChineseFontSubstitutes();
    }

    // A cheque book entered in its window (an overlapping one refused, the book closed once the
    // question is answered Yes), then its register: the totals and the gaps below the number a
    // print took first, then every number, the gaps in place; a number voided there, twice, and
    // the register exported.
    void chequeBooksAndTheirRegister() {
        Fixture f;
        f.type(Field::Account, u"1234567890"_s);
        const QString account = f.window->cheque().text(Field::Account);
        f.window->findChild<QAction*>(u"mChequeBooks"_s)->trigger();
        auto* books = f.window->findChild<ChequeBooksDialog*>();
        QVERIFY(books && books->isVisible());
        QCOMPARE(books->windowTitle(), u"支票簿（转账支票）"_s);
        QCOMPARE(child<QLineEdit>(books, u"account"_s)->text(), account);
        QCOMPARE(child<QDateEdit>(books, u"received"_s)->date(), f.clock.today());
        auto* first = child<QLineEdit>(books, u"first"_s);
        auto* last = child<QLineEdit>(books, u"last"_s);
        QTest::keyClicks(first, u"1a2345678901"_s);  // digits only, eight at most
        QCOMPARE(first->text(), u"12345678"_s);
        auto* table = child<QTableWidget>(books, u"books"_s);
        auto tableRow = [&](int row) {
            QStringList texts;
            for (int c = 0; c < table->columnCount(); ++c)
                texts << table->item(row, c)->text();
            return texts;
        };
        auto* received = child<QDateEdit>(books, u"received"_s);
        auto enter = [&](const QString& from, const QString& to, const QString& prefix) {
            child<QLineEdit>(books, u"prefix"_s)->setText(prefix);
            first->setText(from);
            last->setText(to);
            QTest::mouseClick(child<QPushButton>(books, u"add"_s), Qt::LeftButton);
        };
        // A prefix that is not the bank's digits, and a book received tomorrow, are refused.
        enter(u"1"_s, u"6"_s, u"AB"_s);
        received->setDate(f.clock.today().addDays(1));
        enter(u"1"_s, u"6"_s, u"10"_s);
        QCOMPARE(table->rowCount(), 0);
        received->setDate(f.clock.today());
        enter(u"1"_s, u"6"_s, u"10"_s);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(tableRow(0),
                 (QStringList{account, u"10"_s, u"00000001"_s, u"00000006"_s, u"2026-12-08"_s,
                              u"未结束"_s, u"0"_s, u"0"_s, u"0"_s, u"6"_s, u"转账支票"_s}));
        enter(u"6"_s, u"9"_s, u"10"_s);
        QCOMPARE(f.shownTexts(),
                 (QStringList{u"支票号码前缀只能是数字，最多8位。"_s, u"领用日期不能晚于今天。"_s,
                              u"该账号已有号码重叠的支票簿：00000001 至 00000006。"_s}));
        QCOMPARE(table->rowCount(), 1);

        // A print takes number 4: 1 to 3 are gaps until they are explained.
        QString why;
        const std::optional<TakenNumber> taken = takeNumber(f.t.db, f.clock, account, 4, &why);
        QVERIFY2(taken, qPrintable(why));
        QVERIFY(numberPrinted(f.t.db, taken->id, {u"2026-12-08"_s, u"甲公司"_s, u"100.00"_s, {}}));

        f.t.prompts.clear();
        table->selectRow(0);
        for (const PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Yes}) {
            f.t.prompts.queueAnswer(answer);
            QTest::mouseClick(child<QPushButton>(books, u"closeBook"_s), Qt::LeftButton);
            QCOMPARE(tableRow(0)[5], answer == PromptAnswer::Yes ? u"已结束"_s : u"未结束"_s);
        }
        QCOMPARE(f.t.prompts.shown().back().text,
                 u"结束这本支票簿后，其余号码不再使用，是否继续？"_s);
        QCOMPARE(f.t.prompts.shown().back().buttons, PromptButtons::YesNoDefaultNo);
        QCOMPARE(tableRow(0).mid(6, 4), (QStringList{u"1"_s, u"0"_s, u"0"_s, u"5"_s}));
        books->close();

        f.window->findChild<QAction*>(u"mRegister"_s)->trigger();
        auto* numbers = f.window->findChild<RegisterDialog*>();
        QVERIFY(numbers && numbers->isVisible());
        QCOMPARE(numbers->accounts()->currentText(), account);
        const BoundGrid& grid = numbers->grid();
        auto column = [&](int col) {
            QStringList texts;
            for (int r = grid.fixedRows(); r < grid.rows(); ++r)
                texts << grid.text(r, col);
            return texts;
        };
        // The book at a glance under its heading, then its numbers, the gaps among them.
        const QStringList serials{u"1000000001-1000000006"_s,
                                  u"合计"_s,
                                  u"1000000001"_s,
                                  u"1000000002"_s,
                                  u"1000000003"_s,
                                  u"1000000004"_s,
                                  u"1000000005"_s,
                                  u"1000000006"_s};
        QCOMPARE(column(kRegisterNumberCol), serials);
        QCOMPARE(
            column(kRegisterStateCol).mid(1),
            (QStringList{u"已打印 1\u3000已作废 0\u3000打印中 0\u3000未使用 5\u3000"
                         u"缺号 00000001-00000003"_s,
                         u"缺号"_s, u"缺号"_s, u"缺号"_s, u"已打印"_s, u"未使用"_s, u"未使用"_s}));

        // Number 2: without a reason it is not voided, and the cashier is told; then voided;
        // a second time the register refuses.
        f.t.prompts.clear();
        for (const QString& reason : {QString(), u"撕坏"_s, u"撕坏"_s}) {
            numbers->view()->selectRow(3);
            f.t.prompts.queueText(reason);
            QTest::mouseClick(child<QPushButton>(numbers, u"voidNumber"_s), Qt::LeftButton);
        }
        const QString question = u"请输入号码 1000000002 的作废原因："_s;
        QCOMPARE(f.shownTexts(),
                 (QStringList{question, u"未填写作废原因，号码 1000000002 未作废。"_s, question,
                              question, u"号码 00000002 已作废。"_s}));
        QCOMPARE(numbers->view()->currentIndex().row(), 3);

        // Number 5 left 打印中 by a print that died after its journal entry: unconfirmed, kept
        // from that entry once the cashier says the cheque came out well; 6 likewise, voided.
        Document died;
        died.setText(Field::Payee, u"乙公司"_s);
        died.setText(Field::Amount, u"￥5.00"_s);
        for (const QString& serial : {u"5"_s, u"6"_s}) {  // taken before the book was closed
            QVERIFY(
                f.t.db.execute(u"INSERT INTO 支票号码 (支票簿ID, 号码, 状态, 时间) "
                               u"SELECT ID, ?, '打印中', '2026-12-08 10:00:00' FROM 支票簿"_s,
                               {serial}));
            QVERIFY(
                writePrintingEntries(f.t.db, f.clock, {kChequeJob, {}, {}, kPrinting, {}, {}},
                                     {journalFields(died) + u"\n支票号码=100000000"_s + serial}));
        }
        numbers->showRegister();
        QCOMPARE(column(kRegisterStateCol).mid(6),
                 (QStringList{u"打印中（未确认）"_s, u"打印中（未确认）"_s}));
        f.t.prompts.clear();
        numbers->view()->selectRow(6);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        QTest::mouseClick(child<QPushButton>(numbers, u"settlePrinted"_s), Qt::LeftButton);
        numbers->view()->selectRow(7);
        f.t.prompts.queueText(u"未打出"_s);
        QTest::mouseClick(child<QPushButton>(numbers, u"voidNumber"_s), Qt::LeftButton);
        QCOMPARE(f.shownTexts(),
                 (QStringList{u"号码 1000000005 的支票已打印完好？确认后按打印日志记入历史记录。"_s,
                              u"请输入号码 1000000006 的作废原因："_s}));
        QCOMPARE(column(kRegisterStateCol).mid(6), (QStringList{u"已打印"_s, u"已作废"_s}));
        QCOMPARE(
            f.t.rows(u"SELECT 收款人全称, 金额, 支票号码 FROM 历史记录 WHERE 支票号码 <> ''"_s),
            u"乙公司/￥5.00/1000000005"_s);

        const QString csv = f.t.dir.filePath(u"登记簿.csv"_s);
        f.t.prompts.queueText(csv);
        QTest::mouseClick(child<QPushButton>(numbers, u"export"_s), Qt::LeftButton);
        QFile exported(csv);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(exported.readAll()).split(u"\r\n"_s),
                 (QStringList{u"账号,号码,状态,日期,收款人,金额,重打次数,作废原因,替代号码"_s,
                              account + u",1000000001-1000000006,已结束,2026-12-08,,,,,"_s,
                              u",合计,已打印 2\u3000已作废 2\u3000打印中 0\u3000未使用 2\u3000"
                              u"缺号 00000001、00000003,,,,,,"_s,
                              u",1000000001,缺号,,,,,,"_s,
                              u",1000000002,已作废,2026-12-08 10:00:00,,,0,撕坏（"_s +
                                  f.t.db.userName() + u"）,"_s,
                              u",1000000003,缺号,,,,,,"_s,
                              u",1000000004,已打印,2026-12-08,甲公司,100.00,0,,"_s,
                              u",1000000005,已打印,2005-11-23,乙公司,￥5.00,0,,"_s,
                              u",1000000006,已作废,2026-12-08 10:00:00,,,0,未打出（"_s +
                                  f.t.db.userName() + u"）,"_s,
                              QString()}));
        numbers->close();
    }

    void batchPrintingFromTheFileMenu() {
        Fixture f;
        MainWindow& w = *f.window;
        // Every row starts from the cheque in the window, but never takes its password.
        f.type(Field::Bank, u"工商银行"_s);
        f.type(Field::Account, u"6222001"_s);
        f.type(Field::Password, u"123456"_s);
        auto listFile = [&](const QString& name, const QString& csv) {
            QFile file(f.t.dir.filePath(name));
            if (file.open(QIODevice::WriteOnly))
                file.write(csv.toUtf8());
            return file.fileName();
        };
        auto openList = [&](const QString& path) {
            f.t.prompts.queueText(path);
            w.findChild<QAction*>(u"mBatch"_s)->trigger();
            return QPointer<BatchDialog>(w.findChild<BatchDialog*>());
        };

        // A bad row is red, and nothing can be printed.
        QPointer<BatchDialog> batch = openList(listFile(
            u"bad.csv"_s, u"收款人,金额,账号\n甲公司,100,\n乙公司,-5,\n丙公司,5,货款\n"_s));
        QVERIFY(batch && batch->isVisible());
        QCOMPARE(batch->table()->rowCount(), 3);
        QCOMPARE(batch->table()->item(1, 4)->text(), u"第3行，金额列“-5”：不是有效的金额"_s);
        QCOMPARE(
            batch->table()->item(2, 4)->text(),
            u"第4行，账号列“货款”：账号填写错误（只能是数字，可用空格或横线分隔），请重新填写"_s);
        // The result is read whole however narrow the list, the list scrolling sideways.
        batch->table()->setMaximumWidth(400);
        QCoreApplication::processEvents();
        const QFontMetrics metrics(batch->table()->item(2, 4)->font());
        QVERIFY(batch->table()->columnWidth(4) >
                metrics.horizontalAdvance(batch->table()->item(2, 4)->text()));
        batch->table()->setMaximumWidth(QWIDGETSIZE_MAX);
        QCOMPARE(batch->table()->item(1, 1)->foreground().color(), QColor(200, 0, 0));
        QCOMPARE(batch->table()->item(0, 1)->foreground().style(), Qt::NoBrush);
        QVERIFY(batch->summary()->text().startsWith(u"共3行，有问题的2行"_s));
        QVERIFY(!batch->printAll()->isEnabled());
        QVERIFY(!batch->preview()->pixmap().isNull());  // the first row's cheque
        const auto* inherited = batch->findChild<QLabel*>(u"BatchInherited"_s);
        QVERIFY(inherited && inherited->isVisible());
        QCOMPARE(inherited->text(),
                 u"各行沿用：账号 6222001\u3000银行 工商银行\u3000主管 （空）\u3000会计 （空）"_s);
        const auto switchesLine = [&] {
            const auto* line = batch->findChild<QLabel*>(u"BatchSwitches"_s);
            return line && line->isVisible() ? line->text() : QString();
        };
        QCOMPARE(switchesLine(), u"打印设置：横向打印\u3000连同票根一起打印"_s);
        batch->close();
        QTRY_VERIFY(!batch);
        // Every switch that is on, the paper's first; the date switch holds the month and day.
        QTest::mouseClick(f.tab().checkBox(Switch::SuppressDate), Qt::LeftButton);
        QTest::mouseClick(f.tab().checkBox(suppressingSwitch(Field::Purpose)), Qt::LeftButton);
        QTest::mouseClick(f.tab().feedOption(1), Qt::LeftButton);
        batch = openList(f.t.dir.filePath(u"bad.csv"_s));
        QVERIFY(batch);
        QCOMPARE(switchesLine(),
                 u"打印设置：纵向打印\u3000连同票根一起打印\u3000禁止日期打印"
                 u"\u3000不打印用途"_s);
        batch->close();
        QTRY_VERIFY(!batch);
        QTest::mouseClick(f.tab().checkBox(Switch::SuppressDate), Qt::LeftButton);
        QTest::mouseClick(f.tab().checkBox(suppressingSwitch(Field::Purpose)), Qt::LeftButton);
        QTest::mouseClick(f.tab().feedOption(0), Qt::LeftButton);

        // Two good rows: one confirmation with the count and total, one PDF with a page each,
        // one question keeps both, and each is journalled with its history row.
        batch = openList(
            listFile(u"good.csv"_s,
                     u"收款人,金额,用途,密码\n甲公司,1234.56,货款,4711\n乙公司,0.44,运费,\n"_s));
        QVERIFY(batch && batch->printAll()->isEnabled());
        // While it prints, the list can neither be printed again nor closed.
        runWhenOpen(u"请选择打印机"_s, [&](QWidget* dialog) {
            QVERIFY(batch && !batch->isEnabled());
            QTest::mouseClick(child<QPushButton>(dialog, u"CM0"_s), Qt::LeftButton);
        });
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        QTest::mouseClick(batch->printAll(), Qt::LeftButton);
        QCOMPARE(f.shownTexts().mid(f.shownTexts().size() - 2),
                 (QStringList{u"共 2 张支票，合计 ￥1,235.00\n"_s + kStart,
                              u"是否保存这2张支票的打印信息？"_s}));
        QTRY_VERIFY(!batch);
        QProcess text;
        text.start(u"pdftotext"_s, {f.t.dir.filePath(u"cheque.pdf"_s), u"-"_s});
        QVERIFY(text.waitForFinished(60000));
        const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f');
        QCOMPARE(pages.size(), 3);  // two pages and what follows the last page break
        QVERIFY(pages[0].contains(u"甲公司"_s) && pages[1].contains(u"乙公司"_s));
        QCOMPARE(f.t.rows(u"SELECT 收款人全称, 银行, 账号, 密码 FROM 历史记录 ORDER BY ID"_s),
                 u"甲公司/工商银行/6222001/4711|乙公司/工商银行/6222001/"_s);
        QCOMPARE(f.t.scalar(u"SELECT count(*) FROM 打印日志 WHERE 结果='已打印' AND 历史ID IN "
                            u"(SELECT ID FROM 历史记录)"_s)
                     .toInt(),
                 2);
    }

    // A numbered batch whose book runs out while its spoiled cheques print again: the payments
    // not printed are named, stay in the list in red beside the rows printed, can be saved as a
    // list of their own, and print once a new book is entered.
    void aNumberedBatchThatRunsOutKeepsWhatItDidNotPrint() {
        Fixture f;
        MainWindow& w = *f.window;
        f.type(Field::Account, u"6222001"_s);
        QString why;
        QVERIFY(addChequeBook(f.t.db, {0, u"6222001"_s, {}, 1, 4, f.clock.today(), false},
                              f.clock.today(), &why));
        QFile file(f.t.dir.filePath(u"list.csv"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(u"收款人,金额\n甲公司,100\n乙公司,200\n丙公司,300\n"_s.toUtf8());
        file.close();
        f.t.prompts.queueText(file.fileName());
        w.findChild<QAction*>(u"mBatch"_s)->trigger();
        QPointer<BatchDialog> batch = w.findChild<BatchDialog*>();
        QVERIFY(batch && batch->printAll()->isEnabled());

        // Numbers 1 to 3 print; the first two come out spoiled; one number is left for them.
        auto spoilRows = [](const QList<int>& rows) {
            runOnceOpen(u"打印结果"_s, [rows](QWidget* dialog) {
                auto* table = child<QTableWidget>(dialog, u"cheques"_s);
                QVERIFY(table);
                for (const int r : rows)
                    table->item(r, 0)->setCheckState(Qt::Checked);
                child<QLineEdit>(dialog, u"commonReason"_s)->setText(u"卡纸"_s);
                QTest::mouseClick(
                    child<QDialogButtonBox>(dialog, u"buttons"_s)->button(QDialogButtonBox::Ok),
                    Qt::LeftButton);
            });
        };
        answerPrinterDialog(true);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        spoilRows({0, 1});
        QTest::mouseClick(batch->printAll(), Qt::LeftButton);
        QTRY_VERIFY(
            f.shownTexts().contains(u"以下2笔未打印：\n甲公司　￥100.00\n乙公司　￥200.00"_s));
        QVERIFY(batch && batch->isVisible());
        QTableWidget* table = batch->table();
        const int result = table->columnCount() - 1;
        QCOMPARE((QStringList{table->item(0, result)->text(), table->item(1, result)->text(),
                              table->item(2, result)->text()}),
                 (QStringList{u"未打印：支票簿的号码不够"_s, u"未打印：支票簿的号码不够"_s,
                              u"已打印"_s}));
        QCOMPARE(table->item(0, 1)->foreground().color(), QColor(200, 0, 0));
        QCOMPARE(batch->printAll()->text(), u"打印未打印的"_s);
        QVERIFY(batch->printAll()->isEnabled() && batch->saveUnprinted()->isVisible() &&
                batch->chequeBooks()->isVisible());
        QCOMPARE(f.t.rows(u"SELECT 号码, 状态, 作废原因 FROM 支票号码 ORDER BY 号码"_s),
                 u"1/已作废/卡纸|2/已作废/卡纸|3/已打印/"_s);

        // Saved as a list, they read back as the same payments.
        const QString saved = f.t.dir.filePath(u"未打印.xlsx"_s);
        f.t.prompts.queueText(saved);
        QTest::mouseClick(batch->saveUnprinted(), Qt::LeftButton);
        QString error;
        const std::optional<PaymentList> list = readPaymentListFile(saved, &error);
        QVERIFY2(list, qPrintable(error));
        QCOMPARE(list->headings, (QStringList{u"收款人"_s, u"金额"_s}));
        QCOMPARE(list->rows.size(), 2);
        QCOMPARE(list->rows[1].cells, (QStringList{u"乙公司"_s, u"200"_s}));

        // A new book entered, the two print on its first numbers and the list is done; their
        // spoiled cheques went through the printer today, which is said first.
        QVERIFY(addChequeBook(f.t.db, {0, u"6222001"_s, {}, 5, 9, f.clock.today(), false},
                              f.clock.today(), &why));
        f.t.prompts.clear();
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        answerPrinterDialog(true);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        spoilRows({});
        QTest::mouseClick(batch->printAll(), Qt::LeftButton);
        QTRY_VERIFY(!batch);
        QCOMPARE(f.shownTexts().value(0),
                 u"以下付款今天已打印过支票：\n甲公司\u3000￥100.00\n"
                 u"乙公司\u3000￥200.00\n是否再打印一次？"_s);
        QCOMPARE(f.t.rows(u"SELECT 收款人全称, 支票号码 FROM 历史记录 WHERE Dat>'1900-01-01' "
                          u"ORDER BY ID"_s),
                 u"丙公司/00000003|甲公司/00000005|乙公司/00000006"_s);
    }
};

QTEST_MAIN(TestMainWindowBooks)
#include "tst_mainwindow_books.moc"
