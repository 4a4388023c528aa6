// The formats and the margins: the field popup, choosing a format and printing an endorsement,
// the format tab (editing, saving, deleting), calibrating the margins from the first-start line
// or the tab, the stub's width and the endorsement's parameters.
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>

#include "BoundGridModel.h"
#include "ChequePrinter.h"
#include "FirstUseBanner.h"
#include "FormatTab.h"
#include "MainWindowFixture.h"
#include "PrintJournal.h"
#include "PrintLayout.h"
#include "RecordingSurface.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

class TestMainWindowFormat : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        installChineseFontSubstitutes();
    }

    void popupCommandsLandInTheDatabase() {
        Fixture f;
        MainWindow& w = *f.window;
        auto stored = [&](const QString& column, int field) {
            return f.t.rows(
                u"SELECT "_s + column + u" FROM 支票格式 WHERE Name='标准支票' AND CtlDF=?"_s,
                {chequeFields()[size_t(field)].identifier.toString()});
        };
        f.t.prompts.queueText(u"0.8mm"_s);
        w.adjustSpacing(Field::StubPayee);
        QCOMPARE(f.t.prompts.shown().back().text, u"请输入字符间距（毫米）："_s);
        QCOMPARE(f.t.prompts.shown().back().defaultText, u"0"_s);
        QCOMPARE(stored(u"S"_s, Field::StubPayee).toDouble(), 0.8);
        QCOMPARE(w.formatGrid().text(w.formatGrid().fixedRows() + Field::StubPayee, 5), u"0.8"_s);
        w.adjustSpacing(Field::StubPayee);  // cancelled: nothing changes
        QCOMPARE(stored(u"S"_s, Field::StubPayee).toDouble(), 0.8);

        TextFont red{u"黑体"_s, 14, true, false, false, false, 255};
        f.t.prompts.queueFont(red);
        w.adjustFont(Field::Payee);
        QCOMPARE(w.cheque().font(Field::Payee), red);
        QCOMPARE(stored(u"fName, fSize, fBold, Color"_s, Field::Payee), u"黑体/14/1/255"_s);
        QCOMPARE(w.formatGrid().text(w.formatGrid().fixedRows() + Field::Payee, 9), u"√"_s);

        // The position dialog stores what it is given and refills the grid.
        runWhenOpen(u"修改打印内容位置"_s, [&](QWidget* dialog) {
            QVERIFY(dialog);
            QCOMPARE(QApplication::activeModalWidget(), dialog);  // the window takes no input
            child<QLineEdit>(dialog, u"TX"_s)->setText(u"-2"_s);
            child<QLineEdit>(dialog, u"TY"_s)->setText(u"3"_s);
            QTest::mouseClick(child<QPushButton>(dialog, u"COM0"_s), Qt::LeftButton);
        });
        w.adjustPosition(Field::Bank);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(stored(u"X, Y"_s, Field::Bank), u"-2/3"_s);
        QCOMPARE(w.formatGrid().text(w.formatGrid().fixedRows() + Field::Bank, 3), u"-2"_s);

        // A right click opens the popup over the field and leaves the field enabled after.
        QSignalSpy adjusted(&f.tab(), &ChequeTab::adjustRequested);
        for (QWidget* field :
             {static_cast<QWidget*>(f.field(Field::Accountant)), f.note()->viewport()}) {
            QTimer::singleShot(0, [&] { w.fieldPopup()->close(); });
            QTest::mouseClick(field, Qt::RightButton);
        }
        QCOMPARE(adjusted.size(), 2);
        QCOMPARE(adjusted[0][0].toInt(), Field::Accountant);
        QCOMPARE(adjusted[1][0].toInt(), Field::AdditionalInfo);
        QVERIFY(f.field(Field::Accountant)->isEnabled() && f.note()->isEnabled());
    }

    // A first start (no history, the format never calibrated) says where to begin, with a link
    // that runs 格式 → 修改页边距. Only a square that printed calibrates; the line then stays
    // away, in a window opened again too. Hidden with its button, it stays hidden for that user;
    // a database with history never shows it.
    void firstStartSaysToCalibrateFirst() {
        Fixture f;
        MainWindow& w = *f.window;
        FirstUseBanner* banner = w.firstUseBanner();
        QVERIFY(banner->isVisible());
        QCOMPARE(banner->line()->accessibleName(), u"首次使用请先校准打印机：格式 → 修改页边距"_s);
        auto follow = [&](bool choose, bool square) {
            answerPrinterDialog(choose);
            if (choose)  // then the square is asked for
                f.t.prompts.queueAnswer(square ? PromptAnswer::Yes : PromptAnswer::No);
            emit banner->line()->linkActivated(u"margin"_s);
            QWidget* margins = openWindow(u"输入打印校准值"_s);
            QVERIFY(margins);
            QTest::mouseClick(child<QPushButton>(margins, u"Comm1"_s), Qt::LeftButton);
            QTRY_VERIFY(!openWindow(u"输入打印校准值"_s));
        };
        follow(false, false);
        follow(true, false);
        QVERIFY(banner->isVisible());
        follow(true, true);
        QVERIFY(QFile::exists(f.t.dir.filePath(u"cheque.pdf"_s)));
        QVERIFY(!banner->isVisible());
        f.open();
        QVERIFY(!f.window->firstUseBanner()->isVisible());

        Fixture hidden;
        QVERIFY(hidden.window->firstUseBanner()->isVisible());
        QTest::mouseClick(hidden.window->firstUseBanner()->hideButton(), Qt::LeftButton);
        QVERIFY(!hidden.window->firstUseBanner()->isVisible());
        hidden.open();
        QVERIFY(!hidden.window->firstUseBanner()->isVisible());

        Fixture used;
        QVERIFY(used.t.db.execute(
            u"INSERT INTO 历史记录 (Dat, 收款人全称, 金额) VALUES ('2026-12-01', '甲公司', '1')"_s));
        used.open();
        QVERIFY(!used.window->firstUseBanner()->isVisible());
    }

    void choosingAFormatAndPrintingAnEndorsement() {
        Fixture f;
        // A second format: the shipped one with a larger payee and other margins.
        QVERIFY(f.t.db.execute(
            u"INSERT INTO 支票格式 (Name, CtlDF, X, Y, S, Color, fName, fSize, fBold, fItalic, "
            u"fUnderline, fStrikethru) SELECT '工行转账支票', CtlDF, X, Y, S, Color, fName, "
            u"CASE WHEN CtlDF='票身-收款人' THEN 16 ELSE fSize END, fBold, fItalic, fUnderline, "
            u"fStrikethru FROM 支票格式 WHERE Name='标准支票'"_s));
        QVERIFY(
            f.t.db.execute(u"UPDATE 支票格式 SET X=12 WHERE Name='工行转账支票' AND CtlDF=''"_s));
        f.open();
        QCOMPARE(f.window->formatList()->count(), 2);
        emit f.window->formatList()->textActivated(u"工行转账支票"_s);
        QCOMPARE(f.window->currentFormat(), u"工行转账支票"_s);
        QCOMPARE(f.window->cheque().font(Field::Payee).size, 16.0);
        QCOMPARE(f.window->formatTab()->marginX()->text(), u"12"_s);
        QCOMPARE(f.t.currentFormat(), u"工行转账支票"_s);

        // The endorsement goes through the same printer dialog.
        answerPrinterDialog(true);
        f.t.prompts.queueText(u"张三//李四"_s);
        QTest::mouseClick(f.tab().endorseButton(), Qt::LeftButton);
        QCOMPARE(f.t.prompts.shown().back().text, u"请输入背书内容(须换行处请输入“//”)："_s);
        QVERIFY(QFile(f.t.dir.filePath(u"cheque.pdf"_s)).size() > 1000);

        // Nothing but line breaks would print a blank page: it is not sent, and the journal
        // says it was not printed.
        QVERIFY(QFile::remove(f.t.dir.filePath(u"cheque.pdf"_s)));
        answerPrinterDialog(true);
        f.t.prompts.queueText(u"//"_s);
        QTest::mouseClick(f.tab().endorseButton(), Qt::LeftButton);
        QCOMPARE(f.t.prompts.shown().back().text, u"背书内容为空，没有可打印的内容。"_s);
        QVERIFY(!QFile::exists(f.t.dir.filePath(u"cheque.pdf"_s)));
        const QList<QStringList> journal = journalRows(f.t.db, {}, {});
        QCOMPARE(journal.size(), 2);
        QCOMPARE(journal[0][5], u"未打印：背书内容为空"_s);
        QCOMPARE(journal[1][5], u"已打印"_s);
    }

    // The format tab as a cashier uses it: move the payee in the grid, change its font, save,
    // save under a new name, delete the old format.
    void editingAndSavingFormats() {
        Fixture f;
        MainWindow& w = *f.window;
        w.tabs()->setCurrentWidget(w.formatTab());
        BoundGrid& grid = w.formatGrid();
        const int payee = grid.fixedRows() + Field::Payee;  // the shipped rows are in field order
        QCOMPARE(grid.text(payee, 2), u"票身-收款人"_s);
        BoundGridView* view = w.formatTab()->view();
        auto doubleClick = [&](int col) {
            const QRect cell =
                view->visualRect(view->model()->index(payee - grid.fixedRows(), col));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        };
        doubleClick(3);
        QLineEdit* editor = w.formatTab()->cellEditor();
        QVERIFY(editor->isVisible());
        editor->selectAll();
        QTest::keyClicks(editor, u"-"_s);
        QCOMPARE(grid.text(payee, 3), u"0"_s);  // a lone sign is no number yet
        editor->selectAll();
        QTest::keyClicks(editor, u"24"_s);
        QCOMPARE(grid.text(payee, 3), u"24"_s);
        QCOMPARE(grid.cell(payee, 3).foreColor, 255u);  // red: not saved yet
        doubleClick(2);                                 // the identifier column opens nothing
        QVERIFY(!editor->isVisible());

        f.t.prompts.queueFont(TextFont{u"楷体"_s, 14, true, false, false, false, 128});
        doubleClick(7);
        QCOMPARE(grid.text(payee, 7), u"楷体"_s);
        QCOMPARE(grid.text(payee, 9), u"√"_s);
        QTest::mouseClick(w.formatTab()->saveButton(), Qt::LeftButton);
        QCOMPARE(f.t.rows(u"SELECT X, fName, fBold, Color FROM 支票格式 "
                          u"WHERE Name='标准支票' AND CtlDF='票身-收款人'"_s),
                 u"24/楷体/1/128"_s);
        QCOMPARE(grid.cell(payee, 3).foreColor, 0u);
        QCOMPARE(w.cheque().font(Field::Payee).name, u"楷体"_s);
        // The window prints the payee 2 mm further right now: 10 - 10 + 60 (stub) + 24.
        RecordingSurface surface;
        w.cheque().setText(Field::Payee, u"甲"_s);
        QVERIFY(w.printFormat());
        QVERIFY(PrintCheque(surface, w.cheque(), *w.printFormat(), f.t.prompts));
        bool found = false;
        for (const auto& call : surface.texts())
            if (call.text == u"甲" && call.y < 40) {
                QCOMPARE(call.x, 84.0);
                found = true;
            }
        QVERIFY(found);

        auto answerNameDialog = [](const QString& name) {
            runWhenOpen(u"请选择要保存/删除的格式名称"_s, [name](QWidget* dialog) {
                QVERIFY(dialog);
                auto* names = child<QComboBox>(dialog, u"CMB"_s);
                if (names->isEditable())
                    names->setEditText(name);
                else
                    names->setCurrentIndex(names->findText(name));
                QTest::mouseClick(child<QPushButton>(dialog, u"COM0"_s), Qt::LeftButton);
            });
        };
        answerNameDialog(u"  工行转账支票 "_s);
        QTest::mouseClick(w.formatTab()->saveAsButton(), Qt::LeftButton);
        QCOMPARE(w.formatList()->currentText(), u"工行转账支票"_s);
        QCOMPARE(w.formatList()->count(), 2);
        QProcess formats;
        formats.start(QStringLiteral(CHEQUEPRINT_EXE), {u"formats"_s, u"--database"_s, f.t.path()});
        QVERIFY(formats.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(formats.readAllStandardOutput()),
                 u"工行转账支票\t*\n标准支票\n"_s);

        // Another clerk adds a format meanwhile: the delete dialog lists it, read afresh, and
        // answers the keyboard alone (a letter typed into its list picks nothing).
        QVERIFY(f.t.db.execute(u"INSERT INTO 支票格式 (Name, CtlDF) VALUES ('乙的格式', '')"_s));
        runWhenOpen(u"请选择要保存/删除的格式名称"_s, [](QWidget* dialog) {
            auto* names = child<QComboBox>(dialog, u"CMB"_s);
            QVERIFY(names);
            QCOMPARE(names->itemText(0), u"乙的格式"_s);
            names->setFocus();
            QTest::keyClick(names, Qt::Key_End);
            QTest::keyClick(names, Qt::Key_Home);
            QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, u"标"_s);
            QCoreApplication::sendEvent(names, &typed);
            QCOMPARE(names->currentIndex(), 0);
            QTest::keyClick(names, Qt::Key_Return);
        });
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        QTest::mouseClick(w.formatTab()->deleteButton(), Qt::LeftButton);
        QCOMPARE(f.t.prompts.shown().back().text, u"删除完成！"_s);
        QCOMPARE(f.t.scalar(u"SELECT count(*) FROM 支票格式 WHERE Name='乙的格式'"_s).toInt(), 0);

        answerNameDialog(u"工行转账支票"_s);  // the current one
        QTest::mouseClick(w.formatTab()->deleteButton(), Qt::LeftButton);
        QCOMPARE(f.t.prompts.shown().back().text, u"此格式为当前格式，不允许删除！"_s);
        answerNameDialog(u"标准支票"_s);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        QTest::mouseClick(w.formatTab()->deleteButton(), Qt::LeftButton);
        QCOMPARE(f.t.prompts.shown().back().text, u"删除完成！"_s);
        QCOMPARE(w.formatList()->count(), 1);
        QCOMPARE(f.t.scalar(u"SELECT count(*) FROM 支票格式 WHERE Name='标准支票'"_s).toInt(), 0);
    }

    // A format goes out as a file and comes back over a changed one; a file that is none is
    // refused with its reason and changes nothing.
    void exportingAndImportingAFormatFile() {
        Fixture f;
        MainWindow& w = *f.window;
        w.tabs()->setCurrentWidget(w.formatTab());
        BoundGrid& grid = w.formatGrid();
        const int payee = grid.fixedRows() + Field::Payee;
        const QString file = f.t.dir.filePath(u"标准支票.chequeformat"_s);
        auto press = [&](const QString& button) {
            QTest::mouseClick(w.formatTab()->findChild<QPushButton*>(button), Qt::LeftButton);
        };
        f.t.prompts.queueText(file);
        press(u"exportFormat"_s);
        QCOMPARE(f.shownTexts().last(), u"导出完成！"_s);
        QVERIFY(QFile::exists(file));

        const QString payeeRow =
            u" WHERE 种类='转账支票' AND Name='标准支票' AND CtlDF='票身-收款人'"_s;
        QVERIFY(f.t.db.execute(u"UPDATE 支票格式 SET X=99"_s + payeeRow));
        f.t.prompts.queueText(file);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);  // over the changed one
        press(u"importFormat"_s);
        QCOMPARE(f.shownTexts().mid(f.shownTexts().size() - 2),
                 (QStringList{u"该格式已经存在，是否覆盖？"_s,
                              u"导入完成！格式“标准支票”（转账支票）已保存。"_s}));
        QCOMPARE(grid.text(payee, 3), u"22"_s);
        QCOMPARE(f.t.scalar(u"SELECT X FROM 支票格式"_s + payeeRow).toDouble(), 22.0);
        const QString rows =
            f.t.rows(u"SELECT 种类, Name, CtlDF, X, Y, S FROM 支票格式 ORDER BY ID"_s);

        QFile broken(file);
        QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write("{}");
        broken.close();
        f.t.prompts.queueText(file);
        press(u"importFormat"_s);
        QCOMPARE(f.shownTexts().last(), u"无法导入格式：不是格式文件"_s);
        QCOMPARE(f.t.rows(u"SELECT 种类, Name, CtlDF, X, Y, S FROM 支票格式 ORDER BY ID"_s), rows);
    }

    void calibration_data() {
        QTest::addColumn<bool>("choose");  // a printer chosen
        QTest::addColumn<bool>("square");  // Yes to printing the square
        QTest::addColumn<bool>("ok");      // OK in the margin dialog
        QTest::newRow("no printer chosen, OK") << false << false << true;
        QTest::newRow("no square, OK") << true << false << true;
        QTest::newRow("the square, OK") << true << true << true;
        QTest::newRow("the square, Cancel") << true << true << false;
    }
    void calibration() {
        QFETCH(bool, choose);
        QFETCH(bool, square);
        QFETCH(bool, ok);
        Fixture f;
        MainWindow& w = *f.window;
        QVERIFY(w.printFormat());
        const PositionTable before = fieldPositions(*w.printFormat(), w.cheque());
        answerPrinterDialog(choose);
        f.t.prompts.queueAnswer(square ? PromptAnswer::Yes : PromptAnswer::No);
        QTest::mouseClick(w.formatTab()->calibrateButton(), Qt::LeftButton);
        // The margin dialog is open, without holding up the window.
        QWidget* dialog = openWindow(u"输入打印校准值"_s);
        QVERIFY(dialog);
        QVERIFY(!QApplication::activeModalWidget());
        auto* tx = child<QLineEdit>(dialog, u"TX"_s);
        auto* ty = child<QLineEdit>(dialog, u"TY"_s);
        QCOMPARE(tx->text() + u'/' + ty->text(), u"10/10"_s);
        tx->setText(u"13.5"_s);
        ty->setText(u"8"_s);
        QTest::mouseClick(child<QPushButton>(dialog, ok ? u"Comm0"_s : u"Comm1"_s), Qt::LeftButton);
        QTRY_VERIFY(!openWindow(u"输入打印校准值"_s));
        const bool asked = f.shownTexts().contains(
            u"您是否需要打印校验图形？如果要打印，请在打印机中放好A4纸一张。"_s);
        QCOMPARE(asked, choose);
        QCOMPARE(QFile::exists(f.t.dir.filePath(u"cheque.pdf"_s)), square);
        QCOMPARE(f.t.rows(u"SELECT X, Y, S FROM 支票格式 WHERE Name='标准支票' AND CtlDF=''"_s),
                 ok ? u"13.5/8/60"_s : u"10/10/60"_s);
        QCOMPARE(w.formatTab()->marginX()->text(), ok ? u"13.5"_s : u"10"_s);
        // The window then prints every field 3.5 mm further left and 2 mm lower.
        QVERIFY(w.printFormat());
        const PositionTable after = fieldPositions(*w.printFormat(), w.cheque());
        for (int i = 0; i < kPrintableFieldCount; ++i) {
            QCOMPARE(after[size_t(i)].x, before[size_t(i)].x - (ok ? 3.5 : 0));
            QCOMPARE(after[size_t(i)].y, before[size_t(i)].y + (ok ? 2 : 0));
        }
    }

    void stubWidthPrompt() {
        Fixture f;
        MainWindow& w = *f.window;
        w.askStubWidth();  // cancelled
        QCOMPARE(f.t.prompts.shown().back().text, u"请输入票根的宽度："_s);
        QCOMPARE(f.t.prompts.shown().back().defaultText, u"60"_s);
        f.t.prompts.queueText(u" 55.5mm "_s);
        QTest::mouseDClick(w.formatTab()->stubWidth(), Qt::LeftButton);
        QCOMPARE(f.t.rows(u"SELECT X, S FROM 支票格式 WHERE Name='标准支票' AND CtlDF=''"_s),
                 u"10/55.5"_s);
        QCOMPARE(w.formatTab()->stubWidth()->text(), u"55.5"_s);
    }

    // The endorsement parameters typed on the format tab stay in force: printing a cheque
    // leaves them as typed, the endorsement prints at them and 保存格式 stores them.
    void typedEndorsementParametersOutlastAPrint() {
        Fixture f;
        MainWindow& w = *f.window;
        w.tabs()->setCurrentWidget(w.formatTab());
        QLineEdit* x = w.formatTab()->endorsementBox(0);
        QCOMPARE(x->text(), u"14"_s);  // as stored
        x->setFocus();
        x->selectAll();
        QTest::keyClicks(x, u"30"_s);
        w.tabs()->setCurrentWidget(w.chequeTab());
        f.type(Field::Payee, u"甲公司"_s);
        f.type(Field::Amount, u"88"_s);
        f.printAnswering(PromptAnswer::No);
        QCOMPARE(f.shownTexts(), (QStringList{kStart, kKeep}));
        QCOMPARE(x->text(), u"30"_s);

        // The endorsement starts 30 mm from the paper's left edge (margin 10: no shift).
        answerPrinterDialog(true);
        f.t.prompts.queueText(u"背书人甲公司"_s);
        QTest::mouseClick(f.tab().endorseButton(), Qt::LeftButton);
        QProcess text;
        text.start(u"pdftotext"_s, {u"-bbox"_s, f.t.dir.filePath(u"cheque.pdf"_s), u"-"_s});
        QVERIFY(text.waitForFinished(60000));
        const QString boxes = QString::fromUtf8(text.readAllStandardOutput());
        const QRegularExpressionMatch word =
            QRegularExpression(u"<word xMin=\"([0-9.]+)\"[^>]*>背书"_s).match(boxes);
        QVERIFY2(word.hasMatch(), qPrintable(boxes));
        const double left = word.captured(1).toDouble() * 25.4 / 72;
        QVERIFY2(qAbs(left - 30) < 1, qPrintable(QString::number(left)));

        w.tabs()->setCurrentWidget(w.formatTab());
        QTest::mouseClick(w.formatTab()->saveButton(), Qt::LeftButton);
        QCOMPARE(f.t.scalar(u"SELECT fName FROM 支票格式 WHERE Name='标准支票' AND CtlDF=''"_s)
                     .toString()
                     .section(u' ', 0, 0),
                 u"30"_s);
        QCOMPARE(x->text(), u"30"_s);
    }
};

QTEST_MAIN(TestMainWindowFormat)
#include "tst_mainwindow_format.moc"
