#pragma once

// The main window driven as a cashier drives it: keys and clicks offscreen, scripted answers,
// a temporary database and printers that print into a PDF file. The window tests share it, a
// flow a file (tst_mainwindow_*.cpp).
#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTextEdit>

#include "ChequeTab.h"
#include "MainWindow.h"
#include "PdfPrinters.h"
#include "TestClock.h"
#include "TestDatabase.h"
#include "TextCharacters.h"
#include "WindowScript.h"

inline const QString kDateError = QStringLiteral("日期填写错误，请重新填写！");
inline const QString kStart =
    QStringLiteral("请在选定的打印机中放好空白支票，并确认打印机已开启联机，然后按“确定”！");
inline const QString kKeep = QStringLiteral("是否保存支票打印信息？");

// Chooses `printer` in the printer dialog and presses OK, once it is open.
inline void choosePrinterInDialog(const QString& printer) {
    runWhenOpen(QStringLiteral("请选择打印机"), [printer](QWidget* dialog) {
        QVERIFY(dialog);
        auto* list = child<QComboBox>(dialog, QStringLiteral("Com"));
        list->setCurrentIndex(list->findText(printer));
        QTest::mouseClick(child<QPushButton>(dialog, QStringLiteral("CM0")), Qt::LeftButton);
    });
}

// Answers the printer dialog with its OK button (or Cancel) once it is open.
inline void answerPrinterDialog(bool ok) {
    runWhenOpen(QStringLiteral("请选择打印机"), [ok](QWidget* dialog) {
        QVERIFY(dialog);
        QTest::mouseClick(
            child<QPushButton>(dialog, ok ? QStringLiteral("CM0") : QStringLiteral("CM1")),
            Qt::LeftButton);
    });
}

// One window on a temporary database, with its own settings file and a fixed today.
struct Fixture {
    TestDatabase t;
    Clock clock = testClock();
    QSettings settings{t.dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    PdfPrinters printers{t.dir.filePath(QStringLiteral("cheque.pdf"))};
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
    // Prints the cheque in view: OK in the printer dialog and to the start message, then
    // `keep` to keeping it.
    void printAnswering(PromptAnswer keep) {
        answerPrinterDialog(true);
        t.prompts.queueAnswer(PromptAnswer::Ok);
        t.prompts.queueAnswer(keep);
        QTest::mouseClick(tab().printButton(), Qt::LeftButton);
    }
    int historyRows() {
        return t.scalar(QStringLiteral("SELECT count(*) FROM 历史记录 WHERE Dat>'1900-01-01'"))
            .toInt();
    }
    QStringList shownTexts() {
        QStringList texts;
        for (const auto& shown : t.prompts.shown())
            texts << shown.text;
        return texts;
    }
};
