// Every window and dialog opens inside the screen's available area, frame and all, with its
// buttons in view, on the screens and at the scales the cashiers use. The scale and the screen
// are fixed when a program starts: each case runs in a process of its own.
#include <functional>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "BatchDialog.h"
#include "ChequeBooksDialog.h"
#include "ChequeRegister.h"
#include "ChequeTab.h"
#include "FirstUseBanner.h"
#include "FontColorDialog.h"
#include "FormatNameDialog.h"
#include "FormatStore.h"
#include "FormatTab.h"
#include "JournalDialog.h"
#include "MainWindow.h"
#include "MarginDialog.h"
#include "PdfPrinters.h"
#include "PreviewWindow.h"
#include "PrinterDialog.h"
#include "RegisterDialog.h"
#include "SpoiledChequesDialog.h"
#include "TestClock.h"
#include "TestDatabase.h"
#include "WindowScript.h"

using namespace Qt::StringLiterals;

namespace {

// Set in the process of one case: the screen's size in device pixels, "1366x768".
constexpr char kScreenRun[] = "CHEQUEPRINT_TEST_SCREEN";

struct Fixture {
    TestDatabase t;
    Clock clock = testClock();
    QSettings settings{t.dir.filePath(u"settings.ini"_s), QSettings::IniFormat};
    PdfPrinters printers{t.dir.filePath(u"cheque.pdf"_s)};
    std::unique_ptr<MainWindow> window;

    Fixture() {
        window = std::make_unique<MainWindow>(
            WindowServices{t.db, t.prompts, clock, printers, settings});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
};

QString rectText(const QRect& r) {
    return u"%1x%2+%3+%4"_s.arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
}

// What is wrong with where the window lies: its frame must lie inside the screen's available
// area, in device-independent pixels and in the device pixels of a screen `native` large, where
// a fractional scale rounds; its buttons must be whole in view. Empty when all is well.
QString misplaced(const QWidget& window, QSize native, const QList<QWidget*>& buttons) {
    const QRect frame = window.frameGeometry();
    const QRect available = window.screen()->availableGeometry();
    const qreal scale = window.screen()->devicePixelRatio();
    // As Qt maps a window onto the screen: the corner and the size each rounded.
    const QRect onScreen(qRound(frame.x() * scale), qRound(frame.y() * scale),
                         qRound(frame.width() * scale), qRound(frame.height() * scale));
    QStringList wrong;
    if (!available.contains(frame))
        wrong << u"frame %1 outside %2"_s.arg(rectText(frame), rectText(available));
    if (!QRect(QPoint(), native).contains(onScreen))
        wrong << u"frame %1 in device pixels"_s.arg(rectText(onScreen));
    for (const QWidget* button : buttons)
        if (!wholeInView(button))
            wrong << u"%1 not in view"_s.arg(button->accessibleName() + button->objectName());
    return wrong.join(u"; "_s);
}

// Every button of the window's rows of dialog buttons.
QList<QWidget*> dialogButtons(const QWidget& window) {
    QList<QWidget*> buttons;
    for (const QDialogButtonBox* box : window.findChildren<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons())
            if (!button->isHidden())
                buttons << button;
    return buttons;
}

// A payment list as wide and as long as cashiers send them, with unknown columns that make its
// summary a long line and one bad row.
QString paymentList(const QString& folder) {
    QString csv =
        u"收款人全称,金额,用途,出票日期,账号,银行,附加信息,主管,会计,收款人(票根),"
        u"用途(票根),部门,经办人,备注一,备注二,备注三\n"_s;
    for (int row = 1; row <= 60; ++row)
        csv +=
            u"北京示例科技有限公司第%1分公司,%2,货款,2026-12-08,6222001,工商银行北京分行,,"
            u"张三,李四,示例公司,货款,财务部,王五,,,\n"_s.arg(row)
                .arg(row == 7 ? u"-5"_s : QString::number(row * 100));
    QFile file(folder + u"/清单.csv"_s);
    if (file.open(QIODevice::WriteOnly))
        file.write(csv.toUtf8());
    return file.fileName();
}

}  // namespace

class TestWindowFit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installChineseFontSubstitutes(); }

    // At 150 % on 1366x768 the screen is 910.67 device-independent pixels wide, which Qt gives
    // as 911: a window that wide would reach one device pixel past the edge. At 200 % the
    // small screen leaves 683x384: the cheque, the batch's list and the register scroll, and
    // every button stays in view.
    void windowsFitTheScreen_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QString>("scale");
        if (qEnvironmentVariableIsSet(kScreenRun)) {
            QTest::newRow("this process") << QSize() << QString();
            return;
        }
        for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)})
            for (const QString& scale : {u"1"_s, u"1.25"_s, u"1.5"_s, u"2"_s})
                QTest::addRow("%dx%d at %s", screen.width(), screen.height(), qPrintable(scale))
                    << screen << scale;
    }
    void windowsFitTheScreen() {
        QFETCH(QSize, screen);
        QFETCH(QString, scale);
        if (!screen.isEmpty()) {
            runCase(screen, scale);
            return;
        }
        const QStringList size = qEnvironmentVariable(kScreenRun).split(u'x');
        const QSize native(size.value(0).toInt(), size.value(1).toInt());
        Fixture f;
        MainWindow& w = *f.window;
        ChequeTab& tab = *w.chequeTab();

        // The main window: on a screen too small for it, the cheque scrolls; the commands, the
        // switches, the first start's line and the hint stay in view. Otherwise it has its
        // natural size.
        QList<QWidget*> inView = {w.menuBar(),
                                  w.formatList(),
                                  w.hintLine(),
                                  w.firstUseBanner()->line(),
                                  w.firstUseBanner()->hideButton(),
                                  w.findChild<QPushButton*>(u"Comm2"_s),
                                  tab.previewButton(),
                                  tab.printButton(),
                                  tab.endorseButton(),
                                  tab.feedOption(0),
                                  tab.feedOption(1)};
        for (int i : {Switch::SuppressDate, 4, 5, Switch::PrintStub, Switch::GuidesCloseIn})
            inView << tab.checkBox(i);
        QString wrong = misplaced(w, native, inView);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        const QRect available = w.screen()->availableGeometry();
        const QSize room = available.size() - (w.frameGeometry().size() - w.size());
        const bool small =
            w.sizeHint().width() >= room.width() || w.sizeHint().height() >= room.height();
        // The cheque is whole in view, or it scrolls.
        QScrollArea* cheque = tab.chequeArea();
        const bool whole = cheque->viewport()->rect().contains(cheque->widget()->geometry());
        QVERIFY(whole || cheque->horizontalScrollBar()->isVisible() ||
                cheque->verticalScrollBar()->isVisible());
        QVERIFY(whole || small);
        if (!small)
            QCOMPARE(w.size(), w.sizeHint());
        // The format tab, whose fields need more height than a small screen has, scrolls too.
        w.tabs()->setCurrentWidget(w.formatTab());
        QVERIFY(available.contains(w.frameGeometry()));
        QVERIFY(wholeInView(w.formatTab()->calibrateButton()));
        w.tabs()->setCurrentWidget(&tab);

        // Every other window and dialog, opened as the cashier opens it.
        QString why;
        QVERIFY(addChequeBook(f.t.db, {0, u"6222001"_s, {}, 1, 300, f.clock.today(), false},
                              f.clock.today(), &why));
        const QString format = w.currentFormat();
        FormatDisplays displays;
        QList<Document> cheques(40, w.cheque());
        QStringList numbers;
        for (int i = 1; i <= 40; ++i)
            numbers << serialText(i);
        const std::pair<QString, std::function<QWidget*()>> windows[] = {
            {u"批量打印"_s,
             [&]() -> QWidget* { return w.openBatchFile(paymentList(f.t.dir.path())); }},
            {u"支票登记簿"_s, [&]() -> QWidget* { return w.showRegister(); }},
            {u"支票簿"_s, [&]() -> QWidget* { return w.showChequeBooks(); }},
            {u"打印日志"_s, [&]() -> QWidget* { return w.showJournal(); }},
            {u"打印预览"_s, [&]() -> QWidget* { return w.showPreview(); }},
            {u"输入打印校准值"_s,
             [&]() -> QWidget* {
                 return new MarginDialog(f.t.db, format, w.cheque(), displays, {}, &w);
             }},
            {u"修改打印内容位置"_s,
             [&]() -> QWidget* {
                 w.adjustPosition(Field::Payee);
                 return openWindow(u"修改打印内容位置"_s);
             }},
            {u"打印结果"_s,
             [&]() -> QWidget* {
                 return new SpoiledChequesDialog(cheques, numbers, f.t.prompts, &w);
             }},
            {u"请选择打印机"_s,
             [&]() -> QWidget* { return new PrinterDialog(f.printers, f.t.prompts, &w); }},
            {u"格式名称"_s,
             [&]() -> QWidget* { return new FormatNameDialog({format}, format, true, &w); }},
            {u"字体"_s,
             [&]() -> QWidget* { return new FontColorDialog(w.cheque().font(Field::Payee), &w); }},
        };
        for (const auto& [name, open] : windows) {
            QPointer<QWidget> opened = open();
            QVERIFY2(opened, qPrintable(name));
            opened->show();
            QVERIFY(QTest::qWaitForWindowExposed(opened));
            QList<QWidget*> buttons = dialogButtons(*opened);
            for (const QString& button : {u"Fit"_s, u"Actual"_s, u"Print"_s})
                if (auto* preview = opened->findChild<QPushButton*>(button))
                    buttons << preview;
            QVERIFY2(!buttons.isEmpty(), qPrintable(name));
            wrong = misplaced(*opened, native, buttons);
            QVERIFY2(wrong.isEmpty(), qPrintable(name + u": "_s + wrong));
            delete opened;
        }
    }

private:
    // Runs the case in a process of its own, on an offscreen screen of that size and scale.
    static void runCase(QSize screen, const QString& scale) {
        QTemporaryDir dir;
        QFile config(dir.filePath(u"screen.json"_s));
        QVERIFY(config.open(QIODevice::WriteOnly));
        const QJsonObject only{{u"name"_s, u"screen"_s},
                               {u"x"_s, 0},
                               {u"y"_s, 0},
                               {u"width"_s, screen.width()},
                               {u"height"_s, screen.height()}};
        config.write(QJsonDocument(QJsonObject{{u"screens"_s, QJsonArray{only}}}).toJson());
        config.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen:configfile="_s + config.fileName());
        environment.insert(u"QT_SCALE_FACTOR"_s, scale);
        environment.insert(QString::fromLatin1(kScreenRun),
                           u"%1x%2"_s.arg(screen.width()).arg(screen.height()));
        QProcess run;
        run.setProcessEnvironment(environment);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QCoreApplication::applicationFilePath(), {u"windowsFitTheScreen"_s});
        QVERIFY(run.waitForFinished(120000));
        QVERIFY2(run.exitCode() == 0, run.readAll().constData());
    }
};

QTEST_MAIN(TestWindowFit)
#include "tst_windowfit.moc"
