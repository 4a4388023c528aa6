#include <functional>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ChequeFields.h"
#include "ChequeRegister.h"
#include "CollateDialog.h"
#include "Colors.h"
#include "DialogWait.h"
#include "Document.h"
#include "FontColorDialog.h"
#include "PdfPrinters.h"
#include "PrinterDialog.h"
#include "QtPrompts.h"
#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "WindowPrintQuestions.h"
#include "WindowScript.h"

using namespace Qt::StringLiterals;

namespace {

const QString kPrinterCaption = u"请选择打印机"_s;
const QString kCollateCaption = u"修改打印内容位置"_s;

// No English word on the dialog: every caption, label and button reads in Chinese.
void checkTextsAreChinese(QWidget* window, const QStringList& allowed = {}) {
    const QRegularExpression latin(u"[A-Za-z]"_s);
    QStringList texts{window->windowTitle()};
    for (const QLabel* label : window->findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
        texts << button->text();
    for (const QString& text : texts)
        if (!allowed.contains(text))
            QVERIFY2(!text.contains(latin), qPrintable(text));
}

void checkCentredOnScreen(QWidget* window) {
    const QPoint screen = QApplication::primaryScreen()->geometry().center();
    QVERIFY(qAbs(window->frameGeometry().center().x() - screen.x()) <= 1);
    QVERIFY(qAbs(window->frameGeometry().center().y() - screen.y()) <= 1);
}

QColor centreColor(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// Opens the combo box's list with the mouse and clicks the row, as a user picks a printer.
void pickWithMouse(QComboBox* com, int row) {
    QTest::mouseClick(com, Qt::LeftButton);
    QAbstractItemView* view = com->view();
    QTRY_VERIFY(view->isVisible());
    // The list takes a release soon after its opening for the end of the opening click, unless
    // the mouse has moved away from where it was pressed; a user's hand moves there first.
    QTest::mouseMove(view->viewport(), view->viewport()->rect().topLeft());
    const QPoint point = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseMove(view->viewport(), point);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    QTRY_VERIFY(!view->isVisible());
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(installChineseTranslations());
    }

    void waitingForADialogLeavesTheOtherWindowsUsable_data() {
        QTest::addColumn<QString>("closeBy");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << u"ok"_s << int(QDialog::Accepted);
        QTest::newRow("Cancel") << u"cancel"_s << int(QDialog::Rejected);
        QTest::newRow("Esc") << u"esc"_s << int(QDialog::Rejected);
        QTest::newRow("the close box") << u"close box"_s << int(QDialog::Rejected);
        QTest::newRow("destroyed while open") << u"delete"_s << int(QDialog::Rejected);
    }

    void waitingForADialogLeavesTheOtherWindowsUsable() {
        QFETCH(QString, closeBy);
        QFETCH(int, result);
        QWidget window;
        window.show();
        auto* dialog = new QDialog(&window);
        dialog->setWindowTitle(kPrinterCaption);
        auto* buttons =
            new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
        connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
        bool answered = false;
        runWhenOpen(kPrinterCaption, [&](QWidget* shown) {
            QCOMPARE(shown, static_cast<QWidget*>(dialog));
            QVERIFY(!QApplication::activeModalWidget());  // the window behind it stays usable
            if (closeBy == u"ok"_s)
                buttons->button(QDialogButtonBox::Ok)->click();
            else if (closeBy == u"cancel"_s)
                buttons->button(QDialogButtonBox::Cancel)->click();
            else if (closeBy == u"esc"_s)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else if (closeBy == u"close box"_s)
                dialog->close();
            else
                delete dialog;
            answered = true;
        });
        QCOMPARE(showAndWait(*dialog), result);
        QVERIFY(answered);
        QVERIFY(!openWindow(kPrinterCaption));
    }

    void printerDialogChoosesAPrinter_data() {
        QTest::addColumn<QStringList>("printers");
        QTest::addColumn<QStringList>("unreachable");
        QTest::addColumn<QStringList>("actions");  // every action but the last leaves it open
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("currentAfter");
        QTest::addColumn<QStringList>("messages");

        const QStringList three{u"财务室打印机"_s, u"出纳打印机"_s, u"PDF"_s};
        QTest::newRow("OK at once keeps the current printer")
            << three << QStringList() << QStringList{u"ok"_s} << three[0] << three[0]
            << QStringList();
        QTest::newRow("a printer picked with the mouse, then OK")
            << three << QStringList() << QStringList{u"pick 2"_s, u"ok"_s} << three[2] << three[2]
            << QStringList();
        QTest::newRow("a printer picked with the mouse, then Cancel")
            << three << QStringList() << QStringList{u"pick 1"_s, u"cancel"_s} << QString()
            << three[0] << QStringList();
        QTest::newRow("the close box is Cancel")
            << three << QStringList() << QStringList{u"pick 1"_s, u"close box"_s} << QString()
            << three[0] << QStringList();
        QTest::newRow("a printer that does not answer leaves the name empty")
            << three << QStringList{three[1]} << QStringList{u"pick 1"_s, u"ok"_s} << QString()
            << three[1] << QStringList{u"没有正常连接打印机！"_s};
        QTest::newRow("the keyboard alone chooses: arrows, then Enter")
            << three << QStringList() << QStringList{u"keys"_s, u"enter"_s} << three[1] << three[1]
            << QStringList();
        QTest::newRow("Esc is Cancel") << three << QStringList() << QStringList{u"keys"_s, u"esc"_s}
                                       << QString() << three[0] << QStringList();
        QTest::newRow("without printers both buttons leave it open")
            << QStringList() << QStringList() << QStringList{u"ok"_s, u"cancel"_s, u"close box"_s}
            << QString() << QString() << QStringList();
    }

    void printerDialogChoosesAPrinter() {
        QFETCH(QStringList, printers);
        QFETCH(QStringList, unreachable);
        QFETCH(QStringList, actions);
        QFETCH(QString, chosen);
        QFETCH(QString, currentAfter);
        QFETCH(QStringList, messages);

        PdfPrinters access(m_dir.filePath(u"printer.pdf"_s), printers);
        access.unreachable = unreachable;
        ScriptedPrompts prompts;
        int actionsRun = 0;
        runWhenOpen(kPrinterCaption, [&](QWidget* dialog) {
            QVERIFY(dialog);
            QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
            checkCentredOnScreen(dialog);
            checkTextsAreChinese(dialog);
            auto* com = child<QComboBox>(dialog, u"Com"_s);
            auto* ok = child<QPushButton>(dialog, u"CM0"_s);
            auto* cancel = child<QPushButton>(dialog, u"CM1"_s);
            QVERIFY(com && ok && cancel);
            QCOMPARE(ok->text(), u"确  定"_s);
            QCOMPARE(cancel->text(), u"取  消"_s);
            QTRY_VERIFY(com->hasFocus());  // the keyboard can choose at once
            QStringList listed;
            for (int i = 0; i < com->count(); ++i)
                listed << com->itemText(i);
            QCOMPARE(listed, printers);
            QCOMPARE(com->currentText(), printers.value(0));

            for (const QString& action : actions) {
                QVERIFY2(openWindow(kPrinterCaption), qPrintable(action));
                if (action.startsWith(u"pick "_s)) {
                    const int row = action.mid(5).toInt();
                    pickWithMouse(com, row);
                    QCOMPARE(com->currentText(), printers[row]);
                } else if (action == u"keys"_s) {  // typed letters never pick a printer
                    com->setFocus();
                    QTest::keyClick(com, Qt::Key_Down);
                    QTest::keyClicks(com, printers.value(2).left(1));  // "P" would pick PDF
                    QCOMPARE(com->currentText(), printers.value(1));
                } else if (action == u"enter"_s || action == u"esc"_s) {
                    QTest::keyClick(com, action == u"enter"_s ? Qt::Key_Return : Qt::Key_Escape);
                } else if (action == u"ok"_s) {
                    QTest::mouseClick(ok, Qt::LeftButton);
                } else if (action == u"cancel"_s) {
                    QTest::mouseClick(cancel, Qt::LeftButton);
                } else if (action == u"close box"_s) {
                    dialog->close();
                }
                ++actionsRun;
            }
        });
        QCOMPARE(PrinterDialog::choosePrinterWithDialog(access, prompts), chosen);
        QCOMPARE(actionsRun, actions.size());
        QVERIFY(!openWindow(kPrinterCaption));
        QCOMPARE(access.currentPrinter(), currentAfter);
        QStringList shown;
        for (const ScriptedPrompts::Shown& prompt : prompts.shown())
            shown << prompt.text;
        QCOMPARE(shown, messages);
    }

    void positionDialogMovesAField_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("shownX");
        QTest::addColumn<QString>("shownY");
        QTest::addColumn<QString>("closeBy");
        QTest::addColumn<double>("storedX");
        QTest::addColumn<double>("storedY");
        QTest::addColumn<int>("storedBold");
        QTest::addColumn<int>("refreshes");

        const QString standard = u"标准支票"_s;
        QTest::newRow("OK stores the typed position and the field's font")
            << standard << u"16"_s << u"48"_s << u"ok"_s << -2.0 << 3.0 << 1 << 1;
        QTest::newRow("Cancel stores nothing")
            << standard << u"16"_s << u"48"_s << u"cancel"_s << 16.0 << 48.0 << 0 << 0;
        QTest::newRow("the close box stores nothing")
            << standard << u"16"_s << u"48"_s << u"close box"_s << 16.0 << 48.0 << 0 << 0;
        QTest::newRow("a format without the field's row stores nothing; OK shows the grid again")
            << u"没有的格式"_s << QString() << QString() << u"ok"_s << 16.0 << 48.0 << 0 << 1;
    }

    void positionDialogMovesAField() {
        QFETCH(QString, format);
        QFETCH(QString, shownX);
        QFETCH(QString, shownY);
        QFETCH(QString, closeBy);
        QFETCH(double, storedX);
        QFETCH(double, storedY);
        QFETCH(int, storedBold);
        QFETCH(int, refreshes);

        TestDatabase data;
        QVERIFY(data.db.isOpen());
        Document cheque;
        TextFont bold = cheque.font(Field::StubPayee);
        bold.bold = true;
        cheque.setFont(Field::StubPayee, bold);
        QWidget mainWindow;
        mainWindow.show();
        int refreshed = 0;

        auto* dialog = new CollateDialog(
            data.db, format, Field::StubPayee, cheque, [&] { ++refreshed; }, &mainWindow);
        runWhenOpen(kCollateCaption, [&](QWidget* window) {
            QCOMPARE(window, static_cast<QWidget*>(dialog));
            // The main window takes no input while the dialog is open.
            QCOMPARE(QApplication::activeModalWidget(), window);
            checkCentredOnScreen(dialog);
            checkTextsAreChinese(dialog);
            auto* tx = child<QLineEdit>(dialog, u"TX"_s);
            auto* ty = child<QLineEdit>(dialog, u"TY"_s);
            auto* ok = child<QPushButton>(dialog, u"COM0"_s);
            auto* cancel = child<QPushButton>(dialog, u"COM1"_s);
            auto* lbl = child<QLabel>(dialog, u"LBL"_s);
            QVERIFY(tx && ty && ok && cancel && lbl);
            QCOMPARE(lbl->text(), u"票根-收款人"_s);
            QCOMPARE(ok->text(), u"确     定"_s);
            QCOMPARE(cancel->text(), u"取     消"_s);
            QCOMPARE(tx->text(), shownX);
            QCOMPARE(ty->text(), shownY);

            QTest::keyClick(tx, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(tx, u"-2"_s);
            QTest::keyClick(ty, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(ty, u"3mm"_s);
            if (closeBy == u"ok"_s)
                QTest::mouseClick(ok, Qt::LeftButton);
            else if (closeBy == u"cancel"_s)
                QTest::mouseClick(cancel, Qt::LeftButton);
            else
                dialog->close();
        });
        QSignalSpy finished(dialog, &QDialog::finished);
        dialog->open();  // returns at once
        QVERIFY(finished.wait());

        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(refreshed, refreshes);
        const QVariantList row{u"标准支票"_s, u"票根-收款人"_s};
        const QString where = u" FROM 支票格式 WHERE Name=? AND CtlDF=?"_s;
        QCOMPARE(data.scalar(u"SELECT X"_s + where, row).toDouble(), storedX);
        QCOMPARE(data.scalar(u"SELECT Y"_s + where, row).toDouble(), storedY);
        QCOMPARE(data.scalar(u"SELECT S"_s + where, row).toDouble(), 0.0);
        QCOMPARE(data.scalar(u"SELECT fBold"_s + where, row).toInt(), storedBold);
        QCOMPARE(data.scalar(u"SELECT COUNT(*) FROM 支票格式 WHERE Name=?"_s, {format}).toInt(),
                 format == u"标准支票"_s ? kPrintableFieldCount + 1 : 0);
    }

    void fontDialogEditsFontAndColour_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK returns the chosen style, size and colour") << true;
        QTest::newRow("Cancel returns nothing") << false;
    }

    void fontDialogEditsFontAndColour() {
        QFETCH(bool, accept);
        // A name the system may know only by an alias; it must come back as it went in.
        const TextFont initial{u"宋体"_s, 10.5, false, true, false, false, 0xFF0000};  // blue
        const QColor red(255, 0, 0);

        bool scriptRan = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<FontColorDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            // Closed whatever happens below, so that a failed check cannot hang the test.
            auto closeAtEnd = qScopeGuard([dialog] {
                if (dialog->isVisible())
                    dialog->reject();
            });
            QCOMPARE(dialog->windowTitle(), u"字体"_s);
            checkTextsAreChinese(dialog, {u"示例 AaBb 123"_s});
            QCOMPARE(dialog->textFont(), initial);
            auto* size = child<QComboBox>(dialog, u"Size"_s);
            auto* bold = child<QCheckBox>(dialog, u"Bold"_s);
            auto* italic = child<QCheckBox>(dialog, u"Italic"_s);
            auto* color = child<QPushButton>(dialog, u"Color"_s);
            auto* swatch = child<QAbstractButton>(dialog, u"Swatch1"_s);
            auto* sample = child<QLabel>(dialog, u"Sample"_s);
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            QVERIFY(size && bold && italic && color && swatch && sample);
            QVERIFY(buttons);
            QCOMPARE(child<QComboBox>(dialog, u"Family"_s)->currentText(), initial.name);
            QCOMPARE(size->currentText(), u"10.5"_s);
            QVERIFY(!bold->isChecked());
            QVERIFY(italic->isChecked());
            QCOMPARE(centreColor(color), QColor(0, 0, 255));
            QVERIFY(sample->font().italic());
            QCOMPARE(sample->palette().color(QPalette::WindowText), QColor(0, 0, 255));

            QTest::mouseClick(bold, Qt::LeftButton);
            QTest::mouseClick(swatch, Qt::LeftButton);
            QTest::keyClick(size->lineEdit(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(size->lineEdit(), u"15.5"_s);
            QCOMPARE(centreColor(color), red);
            QVERIFY(sample->font().bold());
            QCOMPARE(sample->font().pointSizeF(), 15.5);
            QCOMPARE(sample->palette().color(QPalette::WindowText), red);

            QAbstractButton* ok = buttons->button(QDialogButtonBox::Ok);
            QAbstractButton* cancel = buttons->button(QDialogButtonBox::Cancel);
            QVERIFY(ok->text().startsWith(u"确定"_s));
            QVERIFY(cancel->text().startsWith(u"取消"_s));
            QTest::mouseClick(accept ? ok : cancel, Qt::LeftButton);
            scriptRan = true;
        });
        QtPrompts prompts;
        const std::optional<TextFont> chosen = prompts.chooseFont(initial);
        QVERIFY(scriptRan);
        if (!accept) {
            QVERIFY(!chosen);
            return;
        }
        QVERIFY(chosen);
        const TextFont expected{u"宋体"_s, 15.5, true, true, false, false, fromQColor(red)};
        QCOMPARE(*chosen, expected);
        QCOMPARE(chosen->color, quint32(0x0000FF));  // red sits in the lowest byte
    }

    // The cashier's answers around a numbered cheque: the number loaded is typed whole or by its
    // last digits, which must name one number of the book; a number refused is asked again
    // with what was typed; the same sheet is printed again only once it is back; a spoiled
    // cheque needs a reason.
    void numberedPrintQuestionsReadTheCashiersAnswers() {
        ScriptedPrompts prompts;
        PdfPrinters printers(m_dir.filePath(u"q.pdf"_s));
        WindowPrintQuestions questions(prompts, printers, nullptr);
        ChequeBook book;
        book.prefix = u"3010"_s;
        book.first = 100;
        book.last = 149;
        const TakenNumber offered{0, book, 105};
        const QStringList typed = {u"10a"_s, u"7"_s, u"51"_s, u"07"_s};
        for (const QString& text : typed)
            prompts.queueText(text);
        auto loaded = questions.confirmNumberedStart(offered, {});
        QVERIFY(loaded && loaded->serial == 107);
        QCOMPARE(prompts.shown()[0].defaultText, u"00000105"_s);
        QCOMPARE(prompts.shown()[1].text, u"请输入支票号码（8位）或号码的末几位。"_s);
        QCOMPARE(prompts.shown()[3].text, u"7 可能是 00000107、00000117 等，请多输入几位。"_s);
        QCOMPARE(prompts.shown()[5].text,
                 u"本支票簿（00000100 至 00000149）中没有末几位为 51 的号码。"_s);
        // Refused by the book: the reason, then the number as typed to change.
        prompts.clear();
        prompts.queueText(u"301000000108"_s);
        loaded = questions.confirmNumberedStart(offered, u"号码 00000107 已经用过"_s);
        QVERIFY(loaded && loaded->serial == 108);
        QCOMPARE(prompts.shown()[0].text, u"号码 00000107 已经用过"_s);
        QCOMPARE(prompts.shown()[1].defaultText, u"07"_s);
        QVERIFY(!questions.confirmNumberedStart(offered, {}));  // cancelled

        QString reason;
        using O = PrintQuestions::Outcome;
        prompts.clear();
        prompts.queueChoice(2);  // 作废换新, without a reason: told why, then asked again
        prompts.queueText({});
        prompts.queueChoice(2);
        prompts.queueText(u"卡纸"_s);
        QCOMPARE(questions.numberedOutcome(u"301000000105"_s, &reason), std::optional(O::Spoiled));
        QCOMPARE(reason, u"卡纸"_s);
        QCOMPARE(prompts.shown()[2].text,
                 u"未填写作废原因，号码为 301000000105 的支票未作废，请重新选择打印结果。"_s);
        QCOMPARE(prompts.shown()[4].text, u"请输入作废原因："_s);
        // 原张重打 waits for the sheet to be put back; 取消 asks again.
        prompts.clear();
        prompts.queueChoice(1);
        prompts.queueAnswer(PromptAnswer::Cancel);
        prompts.queueChoice(1);
        prompts.queueAnswer(PromptAnswer::Ok);
        QCOMPARE(questions.numberedOutcome(u"301000000105"_s, &reason),
                 std::optional(O::PrintAgain));
        QCOMPARE(prompts.shown().size(), size_t(4));
        QCOMPARE(prompts.shown()[1].text, u"请放回号码为 301000000105 的支票，然后按“确定”"_s);
        QCOMPARE(prompts.shown()[1].buttons, PromptButtons::OkCancel);
        QVERIFY(!questions.numberedOutcome(u"301000000105"_s, &reason));  // nobody answered
    }

    // After a numbered batch the cashier ticks the spoiled cheques in the list of the batch: a
    // reason typed on a row ticks it, a ticked row without a reason is refused until the
    // common reason fills it, Esc does not end the question, and OK with nothing ticked means
    // every cheque printed well; so does a list destroyed unanswered.
    void spoiledChequesOfABatchAreTickedEachWithItsReason() {
        ScriptedPrompts prompts;
        PdfPrinters printers(m_dir.filePath(u"q.pdf"_s));
        WindowPrintQuestions questions(prompts, printers, nullptr);
        QList<Document> cheques(3);
        const QStringList payees = {u"甲公司"_s, u"乙公司"_s, u"丙公司"_s};
        for (int k = 0; k < 3; ++k) {
            cheques[k].setText(Field::Payee, payees[k]);
            cheques[k].setText(Field::Amount, u"￥%1.00"_s.arg(k + 1));
        }
        const QStringList numbers = {u"301000000105"_s, u"301000000106"_s, u"301000000108"_s};
        const QString caption = u"打印结果"_s;
        // Types Chinese text into the widget with the focus, as the input method commits it.
        auto commit = [](const QString& text) {
            QInputMethodEvent event;
            event.setCommitString(text);
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            QApplication::sendEvent(focus, &event);
        };

        bool scriptRan = false;
        runWhenOpen(caption, [&](QWidget* dialog) {
            // A failed check must not leave the question waiting for ever.
            const auto unanswered = qScopeGuard([dialog] {
                if (dialog && dialog->isVisible())
                    delete dialog;
            });
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            checkTextsAreChinese(dialog);
            auto* table = child<QTableWidget>(dialog, u"cheques"_s);
            auto* common = child<QLineEdit>(dialog, u"commonReason"_s);
            auto* apply = child<QPushButton>(dialog, u"applyReason"_s);
            auto* buttons = child<QDialogButtonBox>(dialog, u"buttons"_s);
            QVERIFY(table && common && apply && buttons);
            QCOMPARE(table->rowCount(), 3);
            for (int r = 0; r < 3; ++r)
                QCOMPARE((QStringList{table->item(r, 1)->text(), table->item(r, 2)->text(),
                                      table->item(r, 3)->text()}),
                         (QStringList{numbers[r], payees[r], u"￥%1.00"_s.arg(r + 1)}));
            QTest::keyClick(dialog, Qt::Key_Escape);
            QVERIFY(dialog->isVisible());

            // The first ticked with the space bar; a reason typed on the third ticks it.
            table->setFocus();
            table->setCurrentCell(0, 0);
            QTest::keyClick(table, Qt::Key_Space);
            QCOMPARE(table->item(0, 0)->checkState(), Qt::Checked);
            table->setCurrentCell(2, 4);
            QTest::keyClick(table, Qt::Key_F2);
            commit(u"卡纸"_s);
            QVERIFY(QApplication::focusWidget() != table);  // the reason's own editor
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_COMPARE(table->item(2, 4)->text(), u"卡纸"_s);
            QCOMPARE(table->item(2, 0)->checkState(), Qt::Checked);
            QCOMPARE(table->item(1, 0)->checkState(), Qt::Unchecked);

            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
            QVERIFY(dialog->isVisible());
            QCOMPARE(prompts.shown().back().text,
                     u"号码 301000000105 已勾选作废，请填写作废原因。"_s);
            QCOMPARE(table->currentRow(), 0);
            QVERIFY(QApplication::focusWidget() != table);  // its reason is being typed

            common->setFocus();
            commit(u"污损"_s);
            QTest::mouseClick(apply, Qt::LeftButton);
            QCOMPARE(table->item(0, 4)->text(), u"污损"_s);
            QCOMPARE(table->item(1, 4)->text(), QString());  // not ticked
            QCOMPARE(table->item(2, 4)->text(), u"卡纸"_s);  // its own reason stays
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
            scriptRan = true;
        });
        const QList<SpoiledCheque> spoiled = questions.spoiledInBatch(cheques, numbers).value();
        QVERIFY(scriptRan);
        QStringList answered;
        for (const SpoiledCheque& cheque : spoiled)
            answered << QString::number(cheque.place) + u' ' + cheque.reason;
        QCOMPARE(answered, (QStringList{u"0 污损"_s, u"2 卡纸"_s}));
        QCOMPARE(prompts.shown().size(), size_t(1));

        // Nothing ticked: all printed well.
        runWhenOpen(caption, [&](QWidget* dialog) {
            QVERIFY(dialog);
            QTest::mouseClick(
                child<QDialogButtonBox>(dialog, u"buttons"_s)->button(QDialogButtonBox::Ok),
                Qt::LeftButton);
        });
        QVERIFY(questions.spoiledInBatch(cheques, numbers)->isEmpty());
        QVERIFY(!openWindow(caption));
        // Destroyed unanswered, as the program closes, while a reason is being typed.
        runWhenOpen(caption, [&](QWidget* dialog) {
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            auto* table = child<QTableWidget>(dialog, u"cheques"_s);
            table->setFocus();
            table->setCurrentCell(1, 4);
            QTest::keyClick(table, Qt::Key_F2);
            commit(u"半截"_s);
            delete dialog;
        });
        QVERIFY(!questions.spoiledInBatch(cheques, numbers));  // nobody said: nothing settled
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
