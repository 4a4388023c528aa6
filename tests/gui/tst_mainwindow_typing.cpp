// The cheque tab as a cashier fills it in: the first start, typing and leaving each field, the
// switches, the pick list and the date picker, what a new start keeps, and a cheque typed and
// printed by keyboard alone.
#include <QAccessible>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTextEdit>

#include "BoundGridModel.h"
#include "ChequePrinter.h"
#include "FormatTab.h"
#include "HistoryList.h"
#include "HistoryTab.h"
#include "HistoryView.h"
#include "MainWindowFixture.h"
#include "RecordingSurface.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

class TestMainWindowTyping : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        installChineseFontSubstitutes();
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
        QCOMPARE(f.t.scalar(u"SELECT count(*) FROM 用户种类状态 WHERE 上次输入<>''"_s).toInt(), 1);
    }

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
};

QTEST_MAIN(TestMainWindowTyping)
#include "tst_mainwindow_typing.moc"
