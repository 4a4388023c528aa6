// The window printing through real CUPS print queues (set up by .ci/run; skipped without them):
// a queue that prints, and one that rejects every job.
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>

#include "HistoryList.h"
#include "MainWindowFixture.h"
#include "PrintJournal.h"
#include "PrintQueues.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

class TestMainWindowQueues : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        installChineseFontSubstitutes();
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
                                 u"1;0;0;0;0;0;0;0;1;0;"_s,
                                 u"--allow-date"_s};
        for (const QString& field : fields)
            arguments << u"--field"_s << field;
        // The window's day, which its fixed clock gives: the verb's own today would write
        // another date, of other characters, on every day but that one.
        const QDate day = f.clock.today();
        for (const auto& [tag, part] :
             {std::pair{u"T0"_s, day.year()}, {u"T1"_s, day.month()}, {u"T2"_s, day.day()}})
            arguments << u"--field"_s << tag + u'=' + QString::number(part);
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
};

QTEST_MAIN(TestMainWindowQueues)
#include "tst_mainwindow_queues.moc"
