// Printing a cheque from the window: the answers on the way to the printer, the checks before
// it, the journal of every attempt, the preview, a double-click, a held database, and what
// prints being what the cashier meant.
#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>

#include "BoundGridModel.h"
#include "FormatTab.h"
#include "HistoryList.h"
#include "JournalDialog.h"
#include "MainWindowFixture.h"
#include "PreviewWindow.h"
#include "PrintJournal.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

class TestMainWindowPrinting : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        installChineseFontSubstitutes();
    }

    void printCommandPaths_data() {
        QTest::addColumn<int>("printers");  // installed
        QTest::addColumn<bool>("choose");   // OK in the printer dialog
        QTest::addColumn<bool>("start");    // OK to "打印开始提示"
        QTest::addColumn<bool>("keep");     // Yes to keeping it
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("printed");
        QTest::newRow("no printer")
            << 0 << false << false << false << QStringList{u"您的电脑没有连接打印机！"_s} << false;
        QTest::newRow("printer choice cancelled")
            << 1 << false << false << false << QStringList{} << false;
        QTest::newRow("start cancelled")
            << 1 << true << false << false << QStringList{kStart} << false;
        QTest::newRow("printed, not kept")
            << 1 << true << true << false << QStringList{kStart, kKeep} << true;
        QTest::newRow("printed and kept")
            << 1 << true << true << true << QStringList{kStart, kKeep} << true;
    }
    void printCommandPaths() {
        QFETCH(int, printers);
        QFETCH(bool, choose);
        QFETCH(bool, start);
        QFETCH(bool, keep);
        QFETCH(QStringList, shown);
        QFETCH(bool, printed);
        Fixture f;
        const QString pdf = f.t.dir.filePath(u"cheque.pdf"_s);
        PdfPrinters none(pdf, {});
        if (printers == 0)  // the same window on a computer without printers
            f.openWith(none);
        f.window->tabs()->setCurrentIndex(1);  // the history grid is built
        f.type(Field::Payee, u"甲公司"_s);
        f.type(Field::Amount, u"88"_s);
        if (printers > 0)
            answerPrinterDialog(choose);
        f.t.prompts.queueAnswer(start ? PromptAnswer::Ok : PromptAnswer::Cancel);
        f.t.prompts.queueAnswer(keep ? PromptAnswer::Yes : PromptAnswer::No);
        QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
        QCOMPARE(f.shownTexts(), shown);
        QCOMPARE(QFile::exists(pdf), printed);
        QCOMPARE(f.historyRows(), keep ? 1 : 0);
        QCOMPARE(f.window->historyList().count(), keep ? 1 : 0);
        if (keep)
            QCOMPARE(f.t.rows(u"SELECT 收款人全称, 金额, Dat FROM 历史记录"_s),
                     u"甲公司/￥88.00/2026-12-08"_s);
    }

    // Text that will not fit is asked about first, with No as the safe default.
    void overflowIsAskedAboutBeforeThePrinter_data() {
        QTest::addColumn<bool>("goOn");
        QTest::newRow("No stops before the printer dialog") << false;
        QTest::newRow("Yes goes on") << true;
    }
    void overflowIsAskedAboutBeforeThePrinter() {
        QFETCH(bool, goOn);
        Fixture f;
        f.type(Field::Payee, QString(30, u'字'));
        f.t.prompts.queueAnswer(goOn ? PromptAnswer::Yes : PromptAnswer::No);
        bool dialogOpened = false;
        runWhenOpen(u"请选择打印机"_s, [&](QWidget* dialog) { dialogOpened = dialog != nullptr; });
        QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
        QCOMPARE(f.t.prompts.shown().front().text,
                 u"以下内容超出支票栏位：票身-收款人、票根-收款人，是否继续打印？"_s);
        QCOMPARE(f.t.prompts.shown().front().buttons, PromptButtons::YesNoDefaultNo);
        QCOMPARE(dialogOpened, goOn);
        QVERIFY(!QFile::exists(f.t.dir.filePath(u"cheque.pdf"_s)));
    }

    // Kept, not kept, cancelled at the confirmation, a printer that does not answer: four
    // attempts, four journal entries, none of them with the password.
    void everyPrintAttemptIsJournalled() {
        Fixture f;
        PdfPrinters printers(f.t.dir.filePath(u"cheque.pdf"_s), {u"好打印机"_s, u"坏打印机"_s});
        printers.unreachable = {u"坏打印机"_s};
        f.openWith(printers);
        f.type(Field::Payee, u"甲公司"_s);
        f.type(Field::Password, u"123456"_s);
        int attempts = 0;
        auto attempt = [&](const QString& printer, PromptAnswer start, PromptAnswer keep) {
            if (attempts++ > 0)  // printed today already: one more
                f.t.prompts.queueAnswer(PromptAnswer::Yes);
            choosePrinterInDialog(printer);
            f.t.prompts.queueAnswer(start);
            if (start == PromptAnswer::Ok)  // only a print is asked whether to keep it
                f.t.prompts.queueAnswer(keep);
            QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
        };
        attempt(u"好打印机"_s, PromptAnswer::Ok, PromptAnswer::Yes);
        attempt(u"好打印机"_s, PromptAnswer::Ok, PromptAnswer::No);
        attempt(u"好打印机"_s, PromptAnswer::Cancel, {});
        f.t.prompts.clear();
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        choosePrinterInDialog(u"坏打印机"_s);
        QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
        QCOMPARE(f.shownTexts(),
                 (QStringList{u"今天已给 甲公司 打印过 ￥0.00 的支票，是否再打印一张？"_s,
                              u"没有正常连接打印机！"_s}));

        const QList<QStringList> rows = journalRows(f.t.db, QDate(2026, 12, 8), QDate(2026, 12, 8));
        QCOMPARE(rows.size(), 4);
        QStringList outcomes;
        for (const QStringList& row : rows)  // newest first
            outcomes << row[5] + u'/' + row[6];
        const QString id = f.t.scalar(u"SELECT max(ID) FROM 历史记录"_s).toString();
        QCOMPARE(outcomes, (QStringList{u"打印失败/"_s, u"已取消：打印开始提示/"_s, u"已打印/"_s,
                                        u"已打印/"_s + id}));
        QCOMPARE(rows[3][1], f.t.db.userName());  // who printed
        QCOMPARE(rows[3][0], u"2026-12-08 10:00:00"_s);
        QCOMPARE(rows[3][3], u"好打印机"_s);
        QCOMPARE(rows[3][4], u"标准支票"_s);
        QVERIFY(rows[3][7].contains(u"票身-收款人=甲公司"_s));
        for (const QStringList& row : rows)
            QVERIFY(!row[7].contains(u"123456"_s));
        QVERIFY(!f.t.db.execute(u"DELETE FROM 打印日志"_s));
        QCOMPARE(journalRows(f.t.db, {}, {}).size(), 4);

        // The journal window lists them newest first, and exports them like the history.
        JournalDialog* journal = f.window->showJournal();
        BoundGrid& grid = journal->grid();
        QCOMPARE(grid.rows() - grid.fixedRows(), 4);
        QCOMPARE(grid.text(grid.fixedRows(), 7), u"打印失败"_s);
        const QString csv = f.t.dir.filePath(u"日志.csv"_s);
        f.t.prompts.queueText(csv);
        journal->exportJournal();
        QFile exported(csv);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(exported.readAll().count("\r\n"), 5);
        journal->from()->setDate(QDate(2026, 12, 9));
        journal->showDays();
        QVERIFY(!grid.hasDataRows());
        journal->close();
    }

    // The preview follows the fields, frames what will not fit, zooms, and prints.
    void previewFollowsTheCheque() {
        Fixture f;
        QTest::mouseClick(f.tab().previewButton(), Qt::LeftButton);
        PreviewWindow* preview = f.window->findChild<PreviewWindow*>();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(!preview->picture().isNull());
        QVERIFY(preview->overflowLine()->text().isEmpty());
        auto redPixels = [&] {
            const QImage& picture = preview->picture();
            int red = 0;
            // Every pixel: a frame one pixel wide lies between every other row and column.
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    red += picture.pixelColor(x, y) == QColor(Qt::red);
            return red;
        };
        QCOMPARE(redPixels(), 0);
        f.type(Field::Payee, QString(25, u'字'));  // too long for its blank
        QCOMPARE(preview->overflowLine()->text(),
                 u"以下内容超出支票栏位：票身-收款人、票根-收款人"_s);
        QVERIFY(redPixels() > 20);
        // At actual size one millimetre is as many pixels as the screen has in a millimetre.
        preview->setActualSize(true);
        const double perMm = preview->screen()->physicalDotsPerInchX() / 25.4;
        QVERIFY(qAbs(preview->picture().width() - (60 + 175 + 10) * perMm) < 2);
        // Its print button is the print command: here cancelled at the printer dialog.
        f.t.prompts.queueAnswer(PromptAnswer::Yes);  // print what does not fit
        answerPrinterDialog(false);
        QTest::mouseClick(preview->findChild<QPushButton*>(u"Print"_s), Qt::LeftButton);
        QCOMPARE(journalRows(f.t.db, {}, {}).value(0).value(5), u"已取消：请选择打印机"_s);
    }

    // The checks come before the printer dialog, and the field at fault gets the focus; dates
    // that are not printed (禁止日期打印, the stub left off) do not stop it, and are kept empty.
    void checksComeBeforeTheCashierLoadsACheque() {
        Fixture f;
        f.type(Field::Payee, u"甲公司"_s);
        f.type(Field::Month, u"2"_s);
        f.type(Field::Day, u"30"_s);  // accepted while typing, no real date
        bool dialogOpened = false;
        runWhenOpen(u"请选择打印机"_s, [&](QWidget* dialog) { dialogOpened = dialog != nullptr; });
        QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
        QCOMPARE(f.shownTexts(), QStringList{kDateError});
        QCoreApplication::processEvents();  // the look for a printer dialog runs now
        QVERIFY(!dialogOpened);
        QCOMPARE(QApplication::focusWidget(), f.field(Field::Day));
        QVERIFY(!QFile::exists(f.t.dir.filePath(u"cheque.pdf"_s)));
        QCOMPARE(journalRows(f.t.db, {}, {}).value(0).value(5), u"未打印：日期或金额有误"_s);

        f.t.prompts.clear();
        QTest::mouseClick(f.tab().checkBox(Switch::SuppressDate), Qt::LeftButton);
        QTest::mouseClick(f.tab().checkBox(Switch::PrintStub), Qt::LeftButton);
        f.printAnswering(PromptAnswer::Yes);
        QCOMPARE(f.shownTexts(), (QStringList{kStart, kKeep}));
        QVERIFY(QFile::exists(f.t.dir.filePath(u"cheque.pdf"_s)));
        QCOMPARE(f.t.rows(u"SELECT 收款人全称, 出票日期, \"日期(票根)\" FROM 历史记录"_s),
                 u"甲公司//"_s);
    }

    // A double-click on the print button gives one printer dialog and one cheque: the second
    // click arrives while the dialog waits, and finds every print command off.
    void onePrintPerDoubleClick() {
        Fixture f;
        f.type(Field::Payee, u"甲公司"_s);
        runWhenOpen(u"请选择打印机"_s, [&](QWidget* dialog) {
            QVERIFY(dialog);
            for (QWidget* command :
                 std::initializer_list<QWidget*>{f.tab().printButton(), f.tab().endorseButton(),
                                                 f.window->formatTab()->calibrateButton()})
                QVERIFY(!command->isEnabled());
            QVERIFY(!f.window->findChild<QAction*>(u"mBatch"_s)->isEnabled());
            QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
            f.window->printCheque();  // a request that came another way is ignored too
            f.window->printEndorsement();
            QTest::mouseClick(child<QPushButton>(dialog, u"CM0"_s), Qt::LeftButton);
        });
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        f.tab().printButton()->setFocus();
        QTest::keyClick(f.tab().printButton(), Qt::Key_Space);
        QCOMPARE(f.shownTexts(), (QStringList{kStart, kKeep}));
        QCOMPARE(f.historyRows(), 1);
        QCOMPARE(journalRows(f.t.db, {}, {}).size(), 1);
        QVERIFY(f.tab().printButton()->isEnabled());
        QCOMPARE(f.window->focusWidget(), f.field(Field::Payee));  // ready for the next cheque
    }

    // Another program holds the database: nothing is printed, and the message says why.
    void aHeldDatabasePrintsNothing() {
        if (onTestServer())
            QSKIP("a file's lock");
        Fixture f;
        ScriptedPrompts otherPrompts;
        Database other(otherPrompts);
        QVERIFY(other.open(f.t.path()));
        QVERIFY(other.execute(u"BEGIN EXCLUSIVE"_s));
        answerPrinterDialog(true);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
        QCOMPARE(f.shownTexts().size(), 2);
        QCOMPARE(f.shownTexts()[0], kStart);
        QVERIFY(f.shownTexts()[1].endsWith(u"\n数据库正被其他程序使用，请稍后再试。"_s));
        QVERIFY(!QFile::exists(f.t.dir.filePath(u"cheque.pdf"_s)));
        QVERIFY(other.execute(u"ROLLBACK"_s));
        QCOMPARE(journalRows(f.t.db, {}, {}).size(), 0);
        QCOMPARE(f.historyRows(), 0);
    }

    // What prints is what the cashier meant: the capitals always those of the figures, whatever
    // the capitals field says; a date a bank would not pay asked about (No by default); the
    // same payee and amount a second time in a day asked about.
    void whatPrintsIsWhatTheCashierMeant() {
        Fixture f;
        MainWindow& w = *f.window;
        f.type(Field::Payee, u"甲公司"_s);
        f.type(Field::Amount, u"12345.67"_s);
        const QString capitals = u"壹万贰仟叁佰肆拾伍元陆角柒分"_s;
        // The capitals can be neither typed over nor reached by Tab.
        QLineEdit* derived = f.field(Field::AmountInCapitals);
        derived->setFocus();
        QTest::keyClicks(derived, u"8800"_s);
        QCOMPARE(derived->text(), capitals);
        f.field(Field::Account)->setFocus();
        QTest::keyClick(f.field(Field::Account), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.field(Field::Amount));
        // Capitals that say another amount (as a file or a script might bring) never print.
        w.cheque().setText(Field::AmountInCapitals, u"捌仟捌佰元整"_s);

        const QString pdf = f.t.dir.filePath(u"cheque.pdf"_s);
        const QDate today = f.clock.today();
        // The window is active again once the printer dialog has closed.
        const auto typeInActiveWindow = [&](int field, const QString& text) {
            w.activateWindow();
            if (QTest::qWaitForWindowActive(&w))
                f.type(field, text);
        };
        auto print = [&](const QDate& day, std::initializer_list<PromptAnswer> answers) {
            typeInActiveWindow(Field::Year, QString::number(day.year()));
            typeInActiveWindow(Field::Month, QString::number(day.month()));
            typeInActiveWindow(Field::Day, QString::number(day.day()));
            QFile::remove(pdf);
            f.t.prompts.clear();
            for (const PromptAnswer answer : answers)
                f.t.prompts.queueAnswer(answer);
            if (answers.size() > 0 && std::data(answers)[answers.size() - 1] == PromptAnswer::No)
                answerPrinterDialog(true);  // the last answer is to keep it: it gets printed
            QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
            return QFile::exists(pdf);
        };
        const auto lastOutcome = [&] { return journalRows(f.t.db, {}, {}).value(0).value(5); };
        const QString notToday =
            u"出票日期不是今天：%1。\n银行只在出票日起十天内付款，是否继续？"_s;

        // Next year, then eleven days ago: asked, and No prints nothing.
        for (const QDate& day : {today.addYears(1), today.addDays(-11)}) {
            QVERIFY(!print(day, {}));
            QCOMPARE(f.shownTexts().value(0),
                     notToday.arg(u"%1年%2月%3日，%4"_s.arg(day.year())
                                      .arg(day.month())
                                      .arg(day.day())
                                      .arg(day > today ? u"晚于今天"_s : u"已超过十天"_s)));
            QCOMPARE(f.t.prompts.shown()[0].buttons, PromptButtons::YesNoDefaultNo);
            QCOMPARE(lastOutcome(), u"已取消：出票日期不是今天"_s);
        }
        // Ten days ago is still paid: printed without a question, with the figures' capitals.
        QVERIFY(print(today.addDays(-10), {PromptAnswer::Ok, PromptAnswer::No}));
        QCOMPARE(f.shownTexts(), (QStringList{kStart, kKeep}));
        QProcess text;
        text.start(u"pdftotext"_s, {pdf, u"-"_s});
        QVERIFY(text.waitForFinished(60000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains(capitals) && !printed.contains(u"捌仟捌佰"_s),
                 qPrintable(printed));
        QVERIFY(journalRows(f.t.db, {}, {}).value(0).value(7).contains(u"大写金额="_s + capitals));

        // Today, the same payee and amount again: asked, No by default.
        QVERIFY(!print(today, {}));
        QCOMPARE(f.shownTexts(),
                 QStringList{u"今天已给 甲公司 打印过 ￥12,345.67 的支票，是否再打印一张？"_s});
        QCOMPARE(f.t.prompts.shown()[0].buttons, PromptButtons::YesNoDefaultNo);
        QCOMPARE(lastOutcome(), u"已取消：今天已打印过"_s);
        QVERIFY(print(today, {PromptAnswer::Yes, PromptAnswer::Ok, PromptAnswer::No}));
        // Another amount is another payment.
        typeInActiveWindow(Field::Amount, u"12345.68"_s);
        QVERIFY(print(today, {PromptAnswer::Ok, PromptAnswer::No}));
        QCOMPARE(f.shownTexts(), (QStringList{kStart, kKeep}));
    }
};

QTEST_MAIN(TestMainWindowPrinting)
#include "tst_mainwindow_printing.moc"
