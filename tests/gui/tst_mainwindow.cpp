// The main window driven as a cashier drives it: keys and clicks offscreen, scripted answers,
// a temporary database and printers that print into a PDF file.
#include <memory>

#include <QAccessible>
#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include "BatchDialog.h"
#include "BoundGridModel.h"
#include "ChequeBooksDialog.h"
#include "ChequePrinter.h"
#include "ChequeRegister.h"
#include "ChequeTab.h"
#include "FirstUseBanner.h"
#include "FormatTab.h"
#include "HistoryList.h"
#include "HistoryRecords.h"
#include "HistoryTab.h"
#include "HistoryView.h"
#include "JournalDialog.h"
#include "MainWindow.h"
#include "PaymentList.h"
#include "PdfPrinters.h"
#include "PreviewWindow.h"
#include "PrintJournal.h"
#include "PrintLayout.h"
#include "PrintQueues.h"
#include "RecordingSurface.h"
#include "RegisterDialog.h"
#include "RegisterGrid.h"
#include "TestClock.h"
#include "TestDatabase.h"
#include "TextCharacters.h"
#include "TextMeasure.h"
#include "WindowScript.h"

using namespace Qt::StringLiterals;

namespace {

const QString kDateError = u"日期填写错误，请重新填写！"_s;
const QString kStart = u"请在选定的打印机中放好空白支票，并确认打印机已开启联机，然后按“确定”！"_s;
const QString kKeep = u"是否保存支票打印信息？"_s;

// One window on a temporary database, with its own settings file and a fixed today.
struct Fixture {
    TestDatabase t;
    Clock clock = testClock();
    QSettings settings{t.dir.filePath(u"settings.ini"_s), QSettings::IniFormat};
    PdfPrinters printers{t.dir.filePath(u"cheque.pdf"_s)};
    std::unique_ptr<MainWindow> window;

    Fixture() { open(); }
    void open() { openWith(printers); }
    void openWith(PrinterAccess& access) {
        window.reset();
        window =
            std::make_unique<MainWindow>(WindowServices{t.db, t.prompts, clock, access, settings});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    ChequeTab& tab() { return *window->chequeTab(); }
    QLineEdit* field(int index) { return qobject_cast<QLineEdit*>(tab().field(index)); }
    QTextEdit* note() { return qobject_cast<QTextEdit*>(tab().field(Field::AdditionalInfo)); }
    // Types into a field as a user does (Chinese through the input method) and leaves it with
    // the tab key.
    void type(int index, const QString& text) {
        QLineEdit* edit = field(index);
        edit->setFocus();
        edit->selectAll();
        typeInto(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }
    static void typeInto(QWidget* widget, const QString& text) {
        for (QStringView c : textCharacters(text)) {
            if (c.size() == 1 && c[0].unicode() < 128) {
                QTest::keyClick(widget, char(c[0].unicode()));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(c.toString());
                QApplication::sendEvent(widget, &commit);
            }
        }
    }
    int historyRows() {
        return t.scalar(u"SELECT count(*) FROM 历史记录 WHERE Dat>'1900-01-01'"_s).toInt();
    }
    QStringList shownTexts() {
        QStringList texts;
        for (const auto& shown : t.prompts.shown())
            texts << shown.text;
        return texts;
    }
};

// Chooses `printer` in the printer dialog and presses OK, once it is open.
void choosePrinterInDialog(const QString& printer) {
    runWhenOpen(u"请选择打印机"_s, [printer](QWidget* dialog) {
        QVERIFY(dialog);
        auto* list = child<QComboBox>(dialog, u"Com"_s);
        list->setCurrentIndex(list->findText(printer));
        QTest::mouseClick(child<QPushButton>(dialog, u"CM0"_s), Qt::LeftButton);
    });
}

// Answers the printer dialog with its OK button (or Cancel) once it is open.
void answerPrinterDialog(bool ok) {
    runWhenOpen(u"请选择打印机"_s, [ok](QWidget* dialog) {
        QVERIFY(dialog);
        QTest::mouseClick(child<QPushButton>(dialog, ok ? u"CM0"_s : u"CM1"_s), Qt::LeftButton);
    });
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        installChineseFontSubstitutes();
    }

    // Two clerks with a window each on one database: a cheque one keeps shows in the other's
    // history when its history tab is shown again; each finds their own last input next time.
    void twoWindowsOnOneDatabase() {
        Fixture f;
        ScriptedPrompts otherPrompts;
        Database otherDb(otherPrompts);
        QVERIFY(!f.t.openAs(u"clerk_b"_s, otherDb).isEmpty());
        QSettings otherSettings(f.t.dir.filePath(u"other.ini"_s), QSettings::IniFormat);
        auto other = std::make_unique<MainWindow>(
            WindowServices{otherDb, otherPrompts, f.clock, f.printers, otherSettings});
        other->show();
        QVERIFY(QTest::qWaitForWindowExposed(other.get()));
        other->tabs()->setCurrentIndex(1);
        HistoryList& otherHistory = other->historyList();
        QCOMPARE(otherHistory.count(), 0);

        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.type(Field::Payee, u"甲公司"_s);
        f.type(Field::Amount, u"88"_s);
        answerPrinterDialog(true);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
        QVERIFY2(f.historyRows() == 1, qPrintable(f.shownTexts().join(u'\n')));

        other->tabs()->setCurrentIndex(0);
        other->tabs()->setCurrentIndex(1);
        QCOMPARE(otherHistory.count(), 1);
        QCOMPARE(otherHistory.text(0, 4), u"甲公司"_s);

        other->tabs()->setCurrentIndex(0);
        other->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(other.get()));
        auto* payee = qobject_cast<QLineEdit*>(other->chequeTab()->field(Field::Payee));
        payee->setFocus();
        payee->selectAll();
        Fixture::typeInto(payee, u"乙公司"_s);
        other->close();
        f.window->close();
        f.open();
        QCOMPARE(f.field(Field::Payee)->text(), u"甲公司"_s);
        other = std::make_unique<MainWindow>(
            WindowServices{otherDb, otherPrompts, f.clock, f.printers, otherSettings});
        QCOMPARE(qobject_cast<QLineEdit*>(other->chequeTab()->field(Field::Payee))->text(),
                 u"乙公司"_s);
        QVERIFY(otherPrompts.shown().empty());
    }

    void firstStartShowsTodayAndTheShippedFormat() {
        Fixture f;
        MainWindow& w = *f.window;
        // The cashier types at once: the focus starts on the first field, the date's year.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), f.field(Field::Year));
        QCOMPARE(w.windowTitle(), u"Zentavo支票打印软件9.06"_s);
        QCOMPARE(f.field(Field::Year)->text(), u"贰零贰陆"_s);
        QCOMPARE(f.field(Field::Month)->text(), u"壹拾贰"_s);
        QCOMPARE(f.field(Field::Day)->text(), u"零捌"_s);
        QCOMPARE(f.field(Field::StubYear)->text() + f.field(Field::StubMonth)->text() +
                     f.field(Field::StubDay)->text(),
                 u"2026128"_s);
        QCOMPARE(f.field(Field::Amount)->text(), u"￥0.00"_s);
        QCOMPARE(f.field(Field::AmountInCapitals)->text(), u"零元整"_s);
        QVERIFY(f.field(Field::Payee)->text().isEmpty());
        QCOMPARE(f.field(Field::Payee)->placeholderText(), u"北京示例科技有限公司"_s);
        QCOMPARE(w.formatList()->currentText(), u"标准支票"_s);
        QVERIFY(w.hintLine()->text().startsWith(u"提示：修改字体、字号、打印"_s));
        QVERIFY(f.tab().checkBox(Switch::PrintStub)->isChecked());
        QVERIFY(f.field(Field::StubPayee)->isVisible());
        // Every field is reachable by its identifier; every tab by its caption.
        for (const ChequeFieldInfo& info : chequeFields())
            QCOMPARE(f.tab().field(info.index)->accessibleName(), info.identifier.toString());
        QStringList captions;
        for (int i = 0; i < w.tabs()->count(); ++i)
            captions << w.tabs()->tabText(i);
        QCOMPARE(captions, (QStringList{u"支 票 打 印"_s, u"历 史 记 录"_s, u"格 式 校 准"_s,
                                        u"使 用 说 明"_s}));
        // The format tab shows the shipped format; the history waits for its tab.
        QCOMPARE(w.formatGrid().rows() - w.formatGrid().fixedRows(), kPrintableFieldCount);
        QCOMPARE(w.formatTab()->marginX()->text(), u"10"_s);
        QCOMPARE(w.formatTab()->stubWidth()->text(), u"60"_s);
        QCOMPARE(w.formatTab()->endorsementBox(2)->text(), u"63"_s);
        QVERIFY(!w.historyList().isLoaded());
        w.tabs()->setCurrentIndex(1);
        QVERIFY(w.historyList().isLoaded());
        QCOMPARE(w.historyList().count(), 0);
        QVERIFY(w.hintLine()->text().startsWith(u"提示：双击表格内容"_s));
        QVERIFY(f.shownTexts().isEmpty());
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

    void typingAndLeavingTheFields() {
        Fixture f;
        f.type(Field::Year, u"2009"_s);
        QCOMPARE(f.field(Field::Year)->text(), u"贰零零玖"_s);
        QCOMPARE(f.field(Field::StubYear)->text(), u"2009"_s);
        f.type(Field::Month, u"壹拾贰"_s);  // capitals stay as typed
        QCOMPARE(f.field(Field::Month)->text(), u"壹拾贰"_s);
        QCOMPARE(f.field(Field::StubMonth)->text(), u"12"_s);
        f.type(Field::Day, u"3.1"_s);  // the point is dropped
        QCOMPARE(f.field(Field::Day)->text(), u"叁拾壹"_s);
        f.type(Field::Month, u"13"_s);  // out of range: the message, nothing else changes
        QCOMPARE(f.shownTexts(), QStringList{kDateError});
        QCOMPARE(f.field(Field::Month)->text(), u"13"_s);
        QCOMPARE(f.field(Field::StubMonth)->text(), u"12"_s);
        f.type(Field::Month, u"拾"_s);
        QCOMPARE(f.field(Field::StubMonth)->text(), u"10"_s);

        // What is no amount stays in view as typed and is refused: a letter, a 万, a second
        // point or a third decimal is never dropped into another amount.
        for (const QString& typed : {u"1a2,34.5x"_s, u"1万"_s, u"1234.5.6"_s, u"1234.567"_s,
                                     u"12345.675"_s, u"12.345,67"_s}) {
            f.t.prompts.clear();
            f.type(Field::Amount, typed);
            QCOMPARE(f.field(Field::Amount)->text(), typed);
            QVERIFY(f.field(Field::AmountInCapitals)->text().isEmpty());  // none will print
            QCOMPARE(f.shownTexts().size(), 1);
            QVERIFY(f.shownTexts()[0].startsWith(u"金额填写错误（"_s));
        }
        f.t.prompts.clear();
        f.type(Field::Amount, u"1,234.5"_s);
        QCOMPARE(f.field(Field::Amount)->text(), u"￥1234.50"_s);
        QCOMPARE(f.field(Field::AmountInCapitals)->text(), u"壹仟贰佰叁拾肆元伍角整"_s);
        QCOMPARE(f.field(Field::StubAmount)->text(), u"￥1234.50"_s);
        // Full-width digits, as an input method in full-width mode types them or a document
        // pastes them, are digits in the numeric fields.
        f.type(Field::Amount, u"１２３４５．６７"_s);
        QCOMPARE(f.field(Field::StubAmount)->text(), u"￥12345.67"_s);
        for (auto [index, pasted, kept] :
             {std::tuple{int(Field::Amount), u"２８．５"_s, u"２８．５"_s},
              std::tuple{int(Field::StubDay), u"２８"_s, u"28"_s}}) {
            QGuiApplication::clipboard()->setText(pasted);
            f.field(index)->setFocus();
            f.field(index)->selectAll();
            f.field(index)->paste();
            QCOMPARE(f.field(index)->text(), kept);
        }
        QTest::keyClick(f.field(Field::StubDay), Qt::Key_Tab);
        f.field(Field::Amount)->setFocus();
        QTest::keyClick(f.field(Field::Amount), Qt::Key_Tab);
        QCOMPARE(f.field(Field::AmountInCapitals)->text(), u"贰拾捌元伍角整"_s);
        f.t.prompts.clear();
        f.type(Field::Amount, u"123456789"_s);  // more than the cheque carries
        QCOMPARE(f.shownTexts(), QStringList{u"金额填写错误（整数超过八位），请重新填写！"_s});
        // Nothing shows the previous amount any more.
        QCOMPARE(f.field(Field::StubAmount)->text(), QString());
        QCOMPARE(f.field(Field::AmountInCapitals)->text(), QString());

        f.type(Field::Payee, u"上海某某贸易有限公司第一分公司"_s);
        QCOMPARE(f.field(Field::StubPayee)->text(), u"上海某某贸易有限公司第一分公司"_s);  // whole
        f.type(Field::StubPayee, u"一二三四五六七八九十十一"_s);  // typing stops at 10
        QCOMPARE(f.field(Field::StubPayee)->text().size(), 10);
        f.type(Field::StubPayee, u"𠮷野家Foods公司有限"_s);  // 𠮷 is one of the 10
        QCOMPARE(f.field(Field::StubPayee)->text(), u"𠮷野家Foods公司"_s);
        QCOMPARE(f.window->cheque().text(Field::Payee), u"上海某某贸易有限公司第一分公司"_s);

        // The additional information wraps on the stub and takes no line break: Enter does
        // nothing, a paste loses them. Typing and pasting stop at 42 characters, 𠮷 being one.
        MainWindow& w = *f.window;
        QTextEdit* note = f.note();
        f.field(Field::Password)->setFocus();
        QTest::keyClick(f.field(Field::Password), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), note);
        Fixture::typeInto(note, u"货款"_s);
        QTest::keyClick(note, Qt::Key_Return);
        QTest::keyClick(note, Qt::Key_Enter);
        Fixture::typeInto(note, u"12月"_s);
        QCOMPARE(w.cheque().text(Field::AdditionalInfo), u"货款12月"_s);
        QApplication::clipboard()->setText(u"\n第一批\r\n第二批\u2029"_s);
        QTest::keyClick(note, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.cheque().text(Field::AdditionalInfo), u"货款12月第一批第二批"_s);
        const QString full = QString(41, u'字') + u"𠮷"_s;
        note->selectAll();
        QApplication::clipboard()->setText(full + u"尾"_s);
        QTest::keyClick(note, Qt::Key_V, Qt::ControlModifier);
        Fixture::typeInto(note, u"多"_s);
        QCOMPARE(note->toPlainText(), full);
        QCOMPARE(w.cheque().text(Field::AdditionalInfo), full);
        QTest::keyClick(note, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.field(Field::StubYear));
        // All of it shows over the stub's box, in a larger font too.
        const int boxHeight = note->height();
        for (double points : {10.0, 16.0}) {
            TextFont font = w.cheque().font(Field::AdditionalInfo);
            font.size = points;
            w.cheque().setFont(Field::AdditionalInfo, font);
            f.tab().showCheque();
            QVERIFY(note->document()->size().height() <= note->viewport()->height());
            QCOMPARE(note->height() > boxHeight, points > 10);
        }

        // The stub is shown, and printed, with its switch, whatever turns it: a click, the
        // program, a screen reader. The cheque follows once each time.
        QCheckBox* stub = f.tab().checkBox(Switch::PrintStub);
        auto toggleAction = [](QWidget* box) {
            QAccessible::queryAccessibleInterface(box)->actionInterface()->doAction(
                QAccessibleActionInterface::toggleAction());
        };
        const std::function<void()> turns[] = {
            [&] { QTest::mouseClick(stub, Qt::LeftButton); },
            [&] { stub->setChecked(!stub->isChecked()); },
            [&] { toggleAction(stub); },
        };
        QSignalSpy changes(&f.tab(), &ChequeTab::chequeChanged);
        for (int turn = 0; turn < 6; ++turn) {
            const bool on = !stub->isChecked();
            changes.clear();
            turns[turn % 3]();
            QCOMPARE(changes.size(), 1);
            QCOMPARE(w.cheque().chk(Switch::PrintStub), on ? 1 : 0);
            QCOMPARE(f.field(Field::StubPayee)->isVisible(), on);
            RecordingSurface printed;
            QVERIFY(PrintCheque(printed, w.cheque(), *w.printFormat(), f.t.prompts));
            QCOMPARE(printed.drawnText().contains(u'字'), on);
        }
        QTest::mouseClick(stub, Qt::LeftButton);  // off
        QVERIFY(!f.field(Field::StubPayee)->isVisible());
        QCOMPARE(f.window->cheque().chk(Switch::PrintStub), 0);
        // The date switch takes month and day.
        QTest::mouseClick(f.tab().checkBox(Switch::SuppressDate), Qt::LeftButton);
        QVERIFY(f.tab().checkBox(Field::Month)->isChecked() &&
                f.tab().checkBox(Field::Day)->isChecked());
        QTest::mouseClick(f.tab().feedOption(1), Qt::LeftButton);
        QVERIFY(!f.window->cheque().crosswise() && !f.tab().feedOption(0)->isChecked());
        toggleAction(f.tab().feedOption(0));
        QVERIFY(f.window->cheque().crosswise() && !f.tab().feedOption(1)->isChecked());
    }

    // A box that keeps a field off the paper says so in its tip and greys the field while it is
    // checked; the field stays editable, and its colour comes back with the box unchecked. The
    // date switch greys all three parts of the date.
    void aSuppressedFieldIsGrey() {
        Fixture f;
        auto textColour = [&](int field) {
            return f.tab().field(field)->palette().color(QPalette::Text);
        };
        auto isGrey = [&](int field) {
            const QColor c = textColour(field);
            return c.red() == c.green() && c.green() == c.blue() && c.lightness() > 100;
        };
        const std::pair<int, QString> boxes[] = {{Field::Month, u"勾选后不打印月份"_s},
                                                 {Field::Day, u"勾选后不打印日"_s},
                                                 {Field::Payee, u"勾选后不打印收款人"_s},
                                                 {Field::Purpose, u"勾选后不打印用途"_s}};
        for (const auto& [field, tip] : boxes) {
            QCheckBox* box = f.tab().checkBox(suppressingSwitch(field));
            QCOMPARE(box->toolTip(), tip);
            const QColor shown = textColour(field);
            QVERIFY(!isGrey(field));
            QTest::mouseClick(box, Qt::LeftButton);
            QVERIFY(isGrey(field));
            for (const int other : {Field::Year, Field::Amount, Field::Bank})
                QVERIFY(!isGrey(other));
            QTest::mouseClick(box, Qt::LeftButton);
            QCOMPARE(textColour(field), shown);
        }
        QTest::mouseClick(f.tab().checkBox(Switch::SuppressDate), Qt::LeftButton);
        QVERIFY(isGrey(Field::Year) && isGrey(Field::Month) && isGrey(Field::Day));
        QVERIFY(!isGrey(Field::StubYear));  // the stub's date still prints
        f.type(Field::Payee, u"乙公司"_s);
        QTest::mouseClick(f.tab().checkBox(suppressingSwitch(Field::Payee)), Qt::LeftButton);
        f.type(Field::Payee, u"丙公司"_s);
        QCOMPARE(f.window->cheque().text(Field::Payee), u"丙公司"_s);
        QVERIFY(isGrey(Field::Payee));
    }

    void pickListAndDatePicker() {
        Fixture f;
        for (const QString& payee : {u"乙公司"_s, u"甲公司"_s, u"乙公司"_s})
            QVERIFY(f.t.db.execute(
                u"INSERT INTO 历史记录 (Dat, 收款人全称) VALUES ('2026-12-01', ?)"_s, {payee}));
        QTest::mouseDClick(f.field(Field::Payee), Qt::LeftButton);
        QComboBox* list = f.tab().pickList();
        QVERIFY(list->isVisible());
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        QCOMPARE(items, (QStringList{u"乙公司"_s, u"甲公司"_s}));  // each once, sorted
        list->setCurrentIndex(1);
        emit list->textActivated(list->currentText());
        QCOMPARE(f.field(Field::Payee)->text(), u"甲公司"_s);
        QCOMPARE(f.field(Field::StubPayee)->text(), u"甲公司"_s);
        QTest::mouseClick(f.field(Field::Bank), Qt::LeftButton);  // a click hides it
        QVERIFY(!list->isVisible());
        QTest::mouseDClick(f.field(Field::Password), Qt::LeftButton);
        QVERIFY(!list->isVisible());  // no pick list for the password

        QTest::mouseDClick(f.field(Field::Month), Qt::LeftButton);
        QCalendarWidget* picker = f.tab().datePicker();
        QVERIFY(picker->isVisible());
        QCOMPARE(picker->selectedDate(), QDate(2026, 12, 8));
        emit picker->clicked(QDate(2027, 1, 20));
        QVERIFY(!picker->isVisible());
        QCOMPARE(f.field(Field::Year)->text() + f.field(Field::Month)->text() +
                     f.field(Field::Day)->text(),
                 u"贰零贰柒零壹零贰拾"_s);
        QCOMPARE(f.field(Field::StubDay)->text(), u"20"_s);
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
        QCOMPARE(books->windowTitle(), u"支票簿"_s);
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
                              u"未结束"_s, u"0"_s, u"0"_s, u"0"_s, u"6"_s}));
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
        QCOMPARE(tableRow(0).mid(6), (QStringList{u"1"_s, u"0"_s, u"0"_s, u"5"_s}));
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
        Cheque died;
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
        answerPrinterDialog(true);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
        QCOMPARE(f.shownTexts(), (QStringList{kStart, kKeep}));
        QVERIFY(QFile::exists(f.t.dir.filePath(u"cheque.pdf"_s)));
        QCOMPARE(f.t.rows(u"SELECT 收款人全称, 出票日期, \"日期(票根)\" FROM 历史记录"_s),
                 u"甲公司//"_s);
    }

    void historyCommands() {
        Fixture f;
        MainWindow& w = *f.window;
        Cheque stored;
        for (const QString& payee : {u"甲"_s, u"乙"_s, u"丙"_s}) {
            stored.setText(Field::Payee, payee);
            stored.setText(Field::Amount, u"￥5.00"_s);
            for (int i : {Field::StubYear, Field::StubMonth, Field::StubDay})
                stored.setText(i, u"2026"_s.left(i == Field::StubYear ? 4 : 1));
            for (int i : {Field::Year, Field::Month, Field::Day})
                stored.setText(i, QStringList{u"贰零贰陆"_s, u"零贰"_s, u"零贰"_s}[i]);
            QVERIFY(SaveHistoryRecord(f.t.db, stored, QDate(2026, 11, 1), nullptr,
                                      payee == u"乙" ? u"3010203100000101"_s : QString()));
        }
        w.tabs()->setCurrentIndex(1);
        HistoryList& list = w.historyList();
        HistoryView* view = w.historyTab()->view();
        QCOMPARE(list.count(), 3);
        // The cheque book's number is the last column, wide enough to read, empty without one.
        const int number = view->model()->columnCount() - 1;
        QCOMPARE(view->model()->headerData(number, Qt::Horizontal).toString(), u"支票号码"_s);
        QCOMPARE(view->model()->index(1, number).data().toString(), u"3010203100000101"_s);
        QCOMPARE(view->model()->index(0, number).data().toString(), QString());
        QVERIFY(view->columnWidth(number) >=
                view->fontMetrics().horizontalAdvance(u"3010203100000101"_s));

        // A right-button press on the payee's heading sorts by it, in the database.
        QHeaderView* header = view->horizontalHeader();
        const QPoint heading(header->sectionViewportPosition(4) + header->sectionSize(4) / 2,
                             header->height() / 2);
        QTest::mousePress(header->viewport(), Qt::RightButton, {}, heading);
        QCOMPARE(view->model()->headerData(4, Qt::Horizontal, Qt::DisplayRole), u"收款人△"_s);
        QCOMPARE(view->model()->index(0, 4).data(), u"丙"_s);

        // A double-click brings the row back with today's date.
        const QRect cell = view->visualRect(view->model()->index(1, 4));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(w.tabs()->currentIndex(), 0);
        QCOMPARE(f.field(Field::Payee)->text(), u"乙"_s);
        QCOMPARE(f.field(Field::Day)->text(), u"零捌"_s);

        // Deleting the selection asks first; clearing empties the grid.
        w.tabs()->setCurrentIndex(1);
        w.historyTab()->view()->selectRow(0);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        w.historyTab()->deleteRows();
        QCOMPARE(f.historyRows(), 2);
        QCOMPARE(list.count(), 2);
        QCOMPARE(view->model()->index(0, 4).data(), u"乙"_s);
        const QString csv = f.t.dir.filePath(u"历史.csv"_s);
        f.t.prompts.queueText(csv);
        w.historyTab()->exportHistory();
        QFile exported(csv);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        const QList<QByteArray> exportedLines = exported.readAll().split('\n');
        QVERIFY(exportedLines[0].trimmed().endsWith(",支票号码"));
        QVERIFY(exportedLines[1].trimmed().endsWith(",3010203100000101"));
        exported.close();
        // Again, typed without an ending while the dialog shows CSV: the same file, asked
        // about once.
        f.t.prompts.clear();
        QVERIFY(QFile::resize(csv, 0));
        f.t.prompts.queueText(f.t.dir.filePath(u"历史"_s));
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        w.historyTab()->exportHistory();
        QCOMPARE(f.shownTexts(),
                 (QStringList{QString(), u"该文件已存在，是否覆盖？"_s,
                              u"已导出 2 行到 "_s + QDir::toNativeSeparators(csv)}));
        QVERIFY(QFile(csv).size() > 0);
        QVERIFY(!QFile::exists(f.t.dir.filePath(u"历史"_s)));
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        w.historyTab()->clearAll();
        QCOMPARE(f.historyRows(), 0);
        QCOMPARE(list.count(), 0);
        const size_t before = f.t.prompts.shown().size();
        w.reprintHistoryRow(w.historyTab()->currentRow());  // nothing to bring back
        QCOMPARE(f.t.prompts.shown().size(), before);
    }

    // A cashier searches the history: typing waits for its pause, the count follows the rows
    // found, a sort and the export keep the search, the date range narrows it, clearing brings
    // every row back; the cheque number stays in view at the window's own size throughout.
    void searchingTheHistory() {
        Fixture f;
        MainWindow& w = *f.window;
        const struct {
            QString payee, amount, number;
            QDate printed;
        } kept[] = {
            {u"北京示例科技发展有限责任公司第一分公司"_s, u"￥1234.50"_s, u"3010203100000101"_s,
             QDate(2026, 11, 1)},
            {u"ABC Trading Co., Ltd."_s, u"￥20.00"_s, u"3010203100000102"_s, QDate(2026, 11, 5)},
            {u"上海华南建材股份有限公司"_s, u"￥1234.50"_s, QString(), QDate(2026, 11, 5)},
            {u"abc 贸易"_s, u"￥3.00"_s, QString(), QDate(2026, 11, 9)}};
        for (const auto& row : kept) {
            Cheque cheque;
            cheque.setText(Field::Payee, row.payee);
            cheque.setText(Field::Amount, row.amount);
            cheque.setText(Field::AdditionalInfo, u"合同号HT20261101-0001，分两期付清"_s);
            for (int i : {Field::StubYear, Field::StubMonth, Field::StubDay})
                cheque.setText(i, u"2026"_s.left(i == Field::StubYear ? 4 : 1));
            for (int i : {Field::Year, Field::Month, Field::Day})
                cheque.setText(i, QStringList{u"贰零贰陆"_s, u"零贰"_s, u"零贰"_s}[i]);
            QVERIFY(SaveHistoryRecord(f.t.db, cheque, row.printed, nullptr, row.number));
        }
        w.tabs()->setCurrentIndex(1);
        HistoryTab& tab = *w.historyTab();
        HistoryList& list = w.historyList();
        HistoryView* view = tab.view();
        auto* search = tab.findChild<QLineEdit*>(u"searchText"_s);
        auto* rowCount = tab.findChild<QLabel*>(u"rowCount"_s);
        auto* byDate = tab.findChild<QCheckBox*>(u"byDate"_s);
        QVERIFY(search && rowCount && byDate);
        QCOMPARE(search->placeholderText(), u"搜索收款人、金额、账号、支票号码"_s);
        QCOMPARE(rowCount->text(), u"共 4 行"_s);
        const int payee = 4;
        const auto payees = [&] {
            QStringList texts;
            for (int row = 0; row < view->model()->rowCount(); ++row)
                texts << view->model()->index(row, payee).data().toString();
            return texts.join(u'|');
        };
        // The cheque number is in view: the pinned column over the grid's right edge, or the
        // grid's own last column when every column fits.
        const auto numberInView = [&] {
            const int number = view->model()->columnCount() - 1;
            if (view->pinnedColumn()->isVisible())
                return wholeInView(view->pinnedColumn()) &&
                       view->pinnedColumn()->model()->index(0, number).data() ==
                           view->model()->index(0, number).data();
            return view->viewport()->rect().contains(
                view->visualRect(view->model()->index(0, number)));
        };
        QVERIFY(numberInView());

        // Ctrl+F from the grid goes to the search line.
        view->setFocus();
        QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(search->hasFocus());
        QTest::keyClicks(search, u"ABC"_s);
        QCOMPARE(list.count(), 4);  // not yet: typing has not paused
        QTRY_COMPARE(rowCount->text(), u"共 2 行"_s);
        QCOMPARE(payees(), u"ABC Trading Co., Ltd.|abc 贸易"_s);

        search->clear();
        QTest::keyClicks(search, u"1,234.5"_s);
        QTRY_COMPARE(payees(),
                     u"北京示例科技发展有限责任公司第一分公司|上海华南建材股份有限公司"_s);
        QCOMPARE(rowCount->text(), u"共 2 行"_s);
        // Sorted by the payee's heading: the search stays.
        QHeaderView* header = view->horizontalHeader();
        view->scrollTo(view->model()->index(0, payee));
        QTest::mousePress(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(payee) + header->sectionSize(payee) / 2,
                   header->height() / 2));
        QCOMPARE(view->model()->headerData(payee, Qt::Horizontal).toString(), u"收款人△"_s);
        QCOMPARE(payees(), u"上海华南建材股份有限公司|北京示例科技发展有限责任公司第一分公司"_s);
        QCOMPARE(rowCount->text(), u"共 2 行"_s);

        // The range of print dates, both days included, narrows the search.
        tab.findChild<QDateEdit*>(u"fromDate"_s)->setDate(QDate(2026, 11, 5));
        tab.findChild<QDateEdit*>(u"toDate"_s)->setDate(QDate(2026, 11, 5));
        byDate->setChecked(true);
        QCOMPARE(payees(), u"上海华南建材股份有限公司"_s);
        QCOMPARE(rowCount->text(), u"共 1 行"_s);
        // The export writes the row found, and only it.
        const QString csv = f.t.dir.filePath(u"找到的.csv"_s);
        f.t.prompts.queueText(csv);
        tab.exportHistory();
        QFile exported(csv);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = exported.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[1].contains("上海华南建材股份有限公司"));

        // Cleared, every row is back, still sorted by the payee.
        byDate->setChecked(false);
        search->clear();
        QTRY_COMPARE(rowCount->text(), u"共 4 行"_s);
        QCOMPARE(view->model()->headerData(payee, Qt::Horizontal).toString(), u"收款人△"_s);
        QCOMPARE(view->model()->index(0, payee).data().toString(), u"ABC Trading Co., Ltd."_s);
        QVERIFY(numberInView());
    }

    void closingAndReopeningKeepsTheInput() {
        Fixture f;
        f.type(Field::Payee, u"甲公司"_s);
        f.type(Field::Supervisor, u"张三"_s);
        QTest::mouseClick(f.tab().checkBox(Switch::PrintStub), Qt::LeftButton);
        QTest::mouseClick(f.tab().feedOption(1), Qt::LeftButton);
        f.field(Field::Bank)->setFocus();
        Fixture::typeInto(f.field(Field::Bank), u"工商银行"_s);  // still in the field
        f.window->close();
        QCOMPARE(f.settings.value(u"CHK_F/Parameter/LastOne/Default"_s).toString(),
                 u"0;0;0;0;0;0;0;0;0;0;"_s);

        f.clock.setNow(QDateTime(QDate(2026, 12, 9), QTime(9, 0)));
        f.open();
        QCOMPARE(f.field(Field::Payee)->text(), u"甲公司"_s);
        QCOMPARE(f.field(Field::Supervisor)->text(), u"张三"_s);
        QCOMPARE(f.field(Field::Bank)->text(), u"工商银行"_s);
        QCOMPARE(f.field(Field::Day)->text(), u"零玖"_s);
        QVERIFY(!f.tab().checkBox(Switch::PrintStub)->isChecked());
        QVERIFY(f.tab().feedOption(1)->isChecked());
        QCOMPARE(f.t.scalar(u"SELECT count(*) FROM 历史记录"_s).toInt(), 0);  // no listed row
        QCOMPARE(f.t.scalar(u"SELECT count(*) FROM 用户状态 WHERE 上次输入<>''"_s).toInt(), 1);
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

    // Through a real print queue the window puts every character where the print verb puts
    // it in its PDF for the same fields, moved by the queue's printable-area corner (which is
    // what the calibration measures): both pages drawn as pictures lie on each other.
    void printsThroughARealQueueLikeThePrintVerb() {
        const QString queue = kPdfQueue;
        SKIP_WITHOUT_QUEUE(queue);
        Fixture f;
        SystemPrinters printers;
        const QString title = uniqueTitle(u"window-cheque"_s);
        printers.printer().setDocName(title);
        f.openWith(printers);
        const QStringList fields = {u"T3=北京华光科技有限公司"_s, u"T5=12345.6"_s,  u"T6=货款"_s,
                                    u"T7=0200001234567"_s,        u"T9=工商银行"_s, u"F7=张三"_s};
        for (const QString& field : fields)
            f.type(fieldIndexByTag(field.left(2)), field.mid(3));
        const PrintedJobs jobs;
        choosePrinterInDialog(queue);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
        QVERIFY2(f.historyRows() == 1, qPrintable(f.shownTexts().join(u'|')));
        f.window->tabs()->setCurrentIndex(1);
        QCOMPARE(f.window->historyList().text(0, 4), u"北京华光科技有限公司"_s);

        const QString printed = jobs.awaitPdf(title);
        QVERIFY2(!printed.isEmpty(), "the queue wrote no PDF for the job");

        QStringList arguments = {u"print"_s,
                                 u"--database"_s,
                                 f.t.path(),
                                 u"--pdf"_s,
                                 f.t.dir.filePath(u"verb.pdf"_s),
                                 u"--flags"_s,
                                 u"1;0;0;0;0;0;0;0;1;0;"_s};
        for (const QString& field : fields)
            arguments << u"--field"_s << field;
        QProcess verb;
        verb.start(QStringLiteral(CHEQUEPRINT_EXE), arguments);
        QVERIFY(verb.waitForFinished(60000) && verb.exitCode() == 0);

        auto ink = [&](const QString& pdf, const QString& name) {
            QProcess render;
            render.start(u"pdftoppm"_s, {u"-r"_s, u"100"_s, u"-gray"_s, u"-singlefile"_s, pdf,
                                         f.t.dir.filePath(name)});
            render.waitForFinished(60000);
            return QImage(f.t.dir.filePath(name + u".pgm"_s));
        };
        const QImage window = ink(printed, u"window"_s);
        const QImage reference = ink(f.t.dir.filePath(u"verb.pdf"_s), u"verb"_s);
        QFile::remove(printed);
        QCOMPARE(window.size(), reference.size());
        const QMarginsF margins = printers.printer().pageLayout().margins(QPageLayout::Millimeter);
        const int shiftX = qRound(margins.left() / 25.4 * 100);
        const int shiftY = qRound(margins.top() / 25.4 * 100);
        // Dark pixels of one page that have a dark pixel within two pixels (0.5 mm) on the other.
        auto dark = [](const QImage& image, int x, int y) {
            return x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
                   qGray(image.pixel(x, y)) < 128;
        };
        int inked = 0, matched = 0;
        for (int y = 0; y < reference.height(); ++y) {
            for (int x = 0; x < reference.width(); ++x) {
                if (!dark(reference, x, y))
                    continue;
                ++inked;
                bool near = false;
                for (int dy = -2; dy <= 2 && !near; ++dy)
                    for (int dx = -2; dx <= 2 && !near; ++dx)
                        near = dark(window, x + shiftX + dx, y + shiftY + dy);
                matched += near;
            }
        }
        QVERIFY2(inked > 2000, qPrintable(QString::number(inked)));
        QVERIFY2(matched >= inked * 97 / 100,
                 qPrintable(u"%1 of %2 dark pixels match"_s.arg(matched).arg(inked)));
    }

    // A queue that rejects jobs (cupsreject) is refused like a stopped one, in the window and
    // by the print verb: the print error, nothing kept, the attempt journalled as failed.
    void aQueueThatRejectsJobs() {
        const QString queue = kRejectingQueue;
        SKIP_WITHOUT_QUEUE(queue);
        Fixture f;
        SystemPrinters printers;
        f.openWith(printers);
        f.type(Field::Payee, u"甲公司"_s);
        choosePrinterInDialog(queue);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
        QCOMPARE(f.shownTexts(), QStringList{u"没有正常连接打印机！"_s});

        QProcess verb;
        verb.start(QStringLiteral(CHEQUEPRINT_EXE),
                   {u"print"_s, u"--database"_s, f.t.path(), u"--printer"_s, queue, u"--save"_s});
        QVERIFY(verb.waitForFinished(60000));
        QCOMPARE(verb.exitCode(), 1);
        QVERIFY(verb.readAllStandardError().contains("没有正常连接打印机！"));
        QCOMPARE(f.historyRows(), 0);
        QStringList outcomes;
        for (const QStringList& row : journalRows(f.t.db, {}, {}))
            outcomes << row[3] + u'/' + row[5];
        QCOMPARE(outcomes, QStringList(2, queue + u"/打印失败"_s));
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

    // What prints is what the cashier meant: the capitals always those of the figures, whatever
    // the capitals field says; a date a bank would not pay asked about (No by default); the
    // same payee and amount a second time in a day asked about.
    // A cheque typed and printed by keyboard alone: Enter moves on through the fields in the
    // cheque's order (Shift+Enter back), passing the derived capitals, and from the last field
    // to 打 印 支 票; Ctrl+P prints; the printer dialog takes Enter; and then the payee waits,
    // selected, for the next cheque.
    void aChequeIsTypedAndPrintedByKeyboard() {
        Fixture f;
        MainWindow& w = *f.window;
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QLineEdit* payee = f.field(Field::Payee);
        payee->setFocus();
        payee->selectAll();
        payee->insert(u"甲公司"_s);  // as an input method types it
        QTest::keyClick(payee, Qt::Key_Return);
        QWidget* afterPayee = QApplication::focusWidget();
        QVERIFY(afterPayee != payee);
        QTest::keyClick(afterPayee, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), payee);
        QStringList walked;
        for (int step = 0; step < 30 && QApplication::focusWidget() != f.tab().printButton();
             ++step) {
            QWidget* now = QApplication::focusWidget();
            walked << now->accessibleName();
            if (now == f.field(Field::Amount))
                QTest::keyClicks(now, u"88"_s);
            // The additional information takes Enter as a line break: Tab leaves it.
            QTest::keyClick(now, now == f.note() ? Qt::Key_Tab : Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget(), f.tab().printButton());
        QVERIFY2(!walked.contains(f.field(Field::AmountInCapitals)->accessibleName()),
                 qPrintable(walked.join(u' ')));
        QCOMPARE(walked.value(0), payee->accessibleName());
        QVERIFY(walked.indexOf(f.field(Field::Amount)->accessibleName()) > 0);
        QCOMPARE(walked.size(), kPrintableFieldCount - 4);  // not the date, not the capitals

        const QString pdf = f.t.dir.filePath(u"cheque.pdf"_s);
        f.t.prompts.clear();
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        bool chosen = false;
        runOnceOpen(u"请选择打印机"_s, [&chosen](QWidget* dialog) {
            QVERIFY(dialog);
            chosen = true;
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier);
        QTRY_VERIFY(QFile::exists(pdf));  // a shortcut clicks its button a moment later
        QVERIFY(chosen);
        QCOMPARE(f.shownTexts(), (QStringList{kStart, kKeep}));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), payee);
        QCOMPARE(payee->selectedText(), u"甲公司"_s);
        // The history shows when it was printed, to the minute.
        w.tabs()->setCurrentIndex(1);
        QTRY_COMPARE(w.historyTab()->view()->model()->rowCount(), 1);
        QCOMPARE(w.historyTab()->view()->model()->index(0, 2).data().toString(),
                 kTestNow.toString(u"yyyy.MM.dd HH:mm"_s));
    }

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
        answerPrinterDialog(true);
        f.t.prompts.queueAnswer(PromptAnswer::Ok);
        f.t.prompts.queueAnswer(PromptAnswer::No);
        QTest::mouseClick(f.tab().printButton(), Qt::LeftButton);
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

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
