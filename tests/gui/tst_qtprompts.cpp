#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "Database.h"
#include "GridExport.h"
#include "PdfPrinters.h"
#include "PrinterDialog.h"
#include "QtPrompts.h"
#include "ScriptedPrompts.h"
#include "WindowScript.h"

using namespace Qt::StringLiterals;

namespace {

const QString kBatchFilter = u"付款清单 (*.csv *.xlsx)|*.csv;*.xlsx|所有文件 (*)|*"_s;

// The locks this process holds on the files, as /proc/locks lists them (kind, mode, range),
// without the running number that other processes' locks shift.
QStringList locksOn(const QStringList& paths) {
    QStringList inodes;
    for (const QString& path : paths) {
        struct stat info {};
        if (::stat(QFile::encodeName(path).constData(), &info) == 0)
            inodes << u':' + QString::number(info.st_ino);
    }
    QFile file(u"/proc/locks"_s);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QString pid = QString::number(QCoreApplication::applicationPid());
    QStringList held;
    for (const QString& line : QString::fromLatin1(file.readAll()).split(u'\n')) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        const qsizetype kind = fields.indexOf(u"POSIX"_s);
        if (kind < 0 || fields.size() < kind + 7 || fields[kind + 3] != pid)
            continue;
        const QString& where = fields[kind + 4];  // device:inode
        if (std::any_of(inodes.begin(), inodes.end(),
                        [&](const QString& inode) { return where.endsWith(inode); }))
            held << fields.mid(kind).join(u' ');
    }
    held.sort();
    return held;
}

// Runs `script` on the message box once one shows; the script answers it.
void whenBoxShows(std::function<void(QMessageBox*)> script) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, script] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (!box || !box->isVisible())
                continue;
            poll->deleteLater();
            poll->stop();
            script(box);
            return;
        }
    });
    poll->start();
}

// Runs `script` on the message box once one shows, then presses its OK button.
void whenMessageShows(std::function<void(QMessageBox*)> script) {
    whenBoxShows([script](QMessageBox* box) {
        script(box);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
}

}  // namespace

class TestQtPrompts : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;

private slots:
    void initTestCase() {
        // A home of the test's own, so that its documents folder is known and the dialogs'
        // history does not reach the user's settings.
        QVERIFY(m_home.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(u".config"_s)));
        QVERIFY(QDir().mkpath(m_home.filePath(u"Documents"_s)));
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                 m_home.filePath(u"Documents"_s));
    }

    void standardButtonsReadInChinese() {
        QVERIFY(installChineseTranslations());
        QMessageBox box(QMessageBox::Question, applicationTitle(), u"是否保存支票打印信息？"_s,
                        QMessageBox::Yes | QMessageBox::No);
        box.show();  // the buttons get their texts when the box is laid out
        QVERIFY(box.button(QMessageBox::Yes)->text().startsWith(u"是"_s));
        QVERIFY(box.button(QMessageBox::No)->text().startsWith(u"否"_s));
    }

    // A question whose every answer matters has no way out: Escape and closing the box leave
    // it open until one of its buttons is pressed, and that one is the answer.
    void aChoiceWaitsForOneOfItsButtons() {
        bool stayedOpen = false;
        QString pressed;
        whenBoxShows([&stayedOpen, &pressed](QMessageBox* box) {
            QTest::keyClick(box, Qt::Key_Escape);
            box->close();
            stayedOpen = box->isVisible();
            QAbstractButton* button = box->buttons().value(1);
            pressed = button->text();
            QTest::mouseClick(button, Qt::LeftButton);
        });
        QtPrompts prompts;
        const QStringList choices = {u"打印正常"_s, u"重新打印"_s, u"作废"_s};
        const std::optional<int> chosen = prompts.choose(
            u"号码为 301000000105 的支票打印完毕，请检查打印结果："_s, u"打印结果"_s, choices);
        QVERIFY(stayedOpen);
        QVERIFY(chosen && !pressed.isEmpty());
        QCOMPARE(choices.value(*chosen), pressed);
    }

    void fileDialogsLeaveTheDatabaseLocksAlone_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("defaultName");  // in the database's folder when not empty
        QTest::addColumn<QString>("nameFilter");   // the user's choice of file type
        QTest::addColumn<int>("listed");           // files that choice lists in the folder
        QTest::addColumn<QString>("chosen");       // accepted, or cancelled when empty

        QTest::newRow("export, cancelled")
            << true << exportFilter() << QString() << QString() << 1 << QString();
        QTest::newRow("export to a name beside the database")
            << true << exportFilter() << u"导出.xlsx"_s << u"MS Excel文件  (*.xlsx)"_s << 1
            << u"导出.xlsx"_s;
        // Replacing it is asked by the program, after the dialog: the dialog asks nothing.
        QTest::newRow("export over an existing workbook")
            << true << exportFilter() << QString() << u"MS Excel文件  (*.xlsx)"_s << 1
            << u"上月历史.xlsx"_s;
        QTest::newRow("payment list, every file shown")
            << false << kBatchFilter << QString() << u"所有文件 (*)"_s << 5 << u"付款清单.csv"_s;
    }

    // The dialogs list the database's folder without opening its files: closing any file of
    // the database would drop every lock SQLite holds on it.
    void fileDialogsLeaveTheDatabaseLocksAlone() {
        QFETCH(bool, save);
        QFETCH(QString, filter);
        QFETCH(QString, defaultName);
        QFETCH(QString, nameFilter);
        QFETCH(int, listed);
        QFETCH(QString, chosen);
        if (!QFile::exists(u"/proc/locks"_s))
            QSKIP("the system lists no file locks in /proc/locks");

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString dbPath = folder.filePath(u"DATA.db"_s);
        ScriptedPrompts dbPrompts;
        Database db(dbPrompts);
        QVERIFY(db.open(dbPath));
        // A read in progress, as while the program walks the history.
        std::optional<QSqlQuery> reading = db.select(u"SELECT name FROM sqlite_master"_s);
        QVERIFY(reading && reading->next());
        for (const QString& name : {u"付款清单.csv"_s, u"上月历史.xlsx"_s}) {
            QFile other(folder.filePath(name));
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.write("收款人,金额\n甲公司,88\n");
        }

        const QStringList dbFiles{dbPath, dbPath + u"-wal"_s, dbPath + u"-shm"_s};
        for (const QString& file : dbFiles)
            QVERIFY2(QFile::exists(file), qPrintable(file));
        const QStringList before = locksOn(dbFiles);
        QVERIFY(!before.isEmpty());

        QString startedIn;
        QString preselected;  // the kind of file the dialog shows chosen as it opens
        bool qtOwnDialog = false;
        bool scriptRan = false;
        QStringList dialogAsked;  // boxes the file dialog showed itself, closed unanswered
        QTimer boxes;
        boxes.setInterval(20);
        connect(&boxes, &QTimer::timeout, [&] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) {
                    dialogAsked << box->text();
                    box->reject();
                }
        });
        boxes.start();
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto closeAtEnd = qScopeGuard([dialog] {
                if (dialog->isVisible())
                    dialog->reject();
            });
            qtOwnDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
            startedIn = dialog->directory().absolutePath();
            preselected = dialog->selectedNameFilter();
            auto* model = dialog->findChild<QFileSystemModel*>();
            QVERIFY(model);
            // The user goes to the database's folder and picks the kind of file.
            dialog->setDirectory(folder.path());
            if (!nameFilter.isEmpty()) {
                dialog->selectNameFilter(nameFilter.simplified());  // Qt's dialog keeps one blank
                QCOMPARE(dialog->selectedNameFilter(), nameFilter.simplified());
            }
            // A small folder's files come in one batch, and the model asks the icon provider
            // for each as the batch arrives, the files the filter hides too: once the listed
            // ones show the provider's type, every file of the folder has been looked at.
            const QModelIndex shown = model->index(folder.path());
            auto types = [&] {
                QStringList listedTypes;
                for (int row = 0; row < model->rowCount(shown); ++row)
                    listedTypes << model->type(model->index(row, 0, shown));
                return listedTypes;
            };
            QTRY_COMPARE(types(), QStringList(listed, u"文件"_s));
            if (chosen.isEmpty()) {
                dialog->reject();
            } else {
                auto* name = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
                QVERIFY(name);
                name->clear();
                name->insert(chosen);  // as typed
                static_cast<QDialog*>(dialog)->accept();
            }
            scriptRan = true;
        });
        QtPrompts prompts;
        int choice = -1;
        const QString answer =
            save ? prompts.saveFileName(
                       u"导出"_s, filter,
                       defaultName.isEmpty() ? QString() : folder.filePath(defaultName), &choice)
                 : prompts.openFileName(u"选择付款清单"_s, filter, {});
        QCOMPARE(locksOn(dbFiles), before);
        QVERIFY(scriptRan);
        QCOMPARE(dialogAsked, QStringList());
        QCOMPARE(answer, chosen.isEmpty() ? QString() : folder.filePath(chosen));
        // The kind of file chosen, which names without an ending take.
        if (save && !chosen.isEmpty())
            QCOMPARE(choice, std::max(0, int(filter.split(u'|').indexOf(nameFilter)) / 2));
        // Qt's own dialog: a native one would look inside the files to show their types.
        QVERIFY(qtOwnDialog);
        QCOMPARE(startedIn,
                 defaultName.isEmpty() ? m_home.filePath(u"Documents"_s) : folder.path());
        // A proposed workbook shows workbooks chosen; otherwise the first kind is.
        QCOMPARE(preselected, defaultName.endsWith(u".xlsx"_s)
                                  ? u"MS Excel文件 (*.xlsx)"_s
                                  : filter.section(u'|', 0, 0).simplified());
    }

    void messagesShowAboveTheDialogThatCausedThem_data() {
        QTest::addColumn<bool>("fromModalDialog");
        QTest::newRow("printer dialog of the main window") << false;
        QTest::newRow("printer dialog of a window-modal list") << true;
    }

    // "没有正常连接打印机！" belongs to the printer dialog that stays on top, and stays on top
    // with it; a message while a plain window is active belongs to that window.
    void messagesShowAboveTheDialogThatCausedThem() {
        QFETCH(bool, fromModalDialog);
        QTemporaryDir dir;
        QWidget window;
        window.setWindowTitle(u"支票打印"_s);
        window.resize(400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QDialog list(&window);
        QWidget* owner = &window;
        if (fromModalDialog) {
            list.setWindowTitle(u"批量打印"_s);
            list.setWindowModality(Qt::WindowModal);
            list.show();
            QVERIFY(QTest::qWaitForWindowActive(&list));
            owner = &list;
        }
        QtPrompts prompts;  // as the program makes them: without a window of their own

        bool plainChecked = false;
        whenMessageShows([&](QMessageBox* box) {
            QCOMPARE(box->parentWidget(), owner);
            QVERIFY(!box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            plainChecked = true;
        });
        QCOMPARE(prompts.message(u"表格中没有数据！"_s, {}, PromptButtons::Ok), PromptAnswer::Ok);
        QVERIFY(plainChecked);

        PdfPrinters printers(dir.filePath(u"printer.pdf"_s), {u"财务室打印机"_s, u"出纳打印机"_s});
        printers.unreachable = {u"出纳打印机"_s};
        QStringList seen;
        runWhenOpen(u"请选择打印机"_s, [&](QWidget* dialog) {
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            whenMessageShows([&, dialog](QMessageBox* box) {
                seen << box->text();
                if (box->isVisible())
                    seen << u"visible"_s;
                if (box->parentWidget() && box->parentWidget()->window() == dialog)
                    seen << u"belongs to the printer dialog"_s;
                if (box->windowHandle() &&
                    box->windowHandle()->transientParent() == dialog->windowHandle())
                    seen << u"its window is the printer dialog's"_s;
                if (box->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
                    seen << u"stays on top"_s;
            });
            auto* com = child<QComboBox>(dialog, u"Com"_s);
            QVERIFY(com);
            com->setCurrentIndex(1);
            QTest::mouseClick(child<QPushButton>(dialog, u"CM0"_s), Qt::LeftButton);
        });
        bool noAnswer = false;
        QCOMPARE(PrinterDialog::choosePrinterWithDialog(printers, prompts, owner, &noAnswer),
                 QString());
        QVERIFY(noAnswer);
        QCOMPARE(seen, (QStringList{u"没有正常连接打印机！"_s, u"visible"_s,
                                    u"belongs to the printer dialog"_s,
                                    u"its window is the printer dialog's"_s, u"stays on top"_s}));
    }
};

QTEST_MAIN(TestQtPrompts)
#include "tst_qtprompts.moc"
