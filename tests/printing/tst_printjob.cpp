// The print job from the checks to the record, on a real database file and a real PDF: what is
// journalled before anything is sent, what a refused job and a held database leave behind.
#include <deque>
#include <functional>
#include <utility>

#include <QFile>
#include <QTest>

#include "Cheque.h"
#include "ChequeRegister.h"
#include "FormatStore.h"
#include "PdfPrinters.h"
#include "PrintFormat.h"
#include "PrintJob.h"
#include "PrintJournal.h"
#include "TestClock.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

// Answers as the cashier would, and lets a test act at the moment a question is asked.
class ScriptedQuestions final : public PrintQuestions {
public:
    bool keepAnswer = true;
    std::function<void()> onKeep;              // when the keep question is asked
    std::function<bool(int attempt)> onRetry;  // the answer to "try again?"
    int keepAsked = 0;
    int retries = 0;

    bool printOverflowing(const QList<int>&) override { return true; }
    QStringList unusualDates;  // what the date question named, when it was asked
    bool printOnUnusualDate(const QStringList& dates) override {
        unusualDates = dates;
        return true;
    }
    QString printedToday;  // "payee amount" of the question about a second cheque
    bool printAgainToday(const QString& payee, const QString& figures) override {
        printedToday = payee + u' ' + figures;
        return true;
    }
    QStringList printedBatchToday;  // the payments the batch question named
    bool printBatchAgainToday(const QStringList& payments) override {
        printedBatchToday = payments;
        return true;
    }
    bool choosePrinter(bool&) override { return true; }
    bool confirmStart(const QString&) override { return true; }
    bool keep(int) override {
        ++keepAsked;
        if (onKeep)
            onKeep();
        return keepAnswer;
    }
    bool tryAgain() override { return onRetry && onRetry(++retries); }
    bool printCalibrationSquare() override { return true; }
    QString endorsementText() override { return u"甲公司//乙公司"_s; }

    // With a cheque book: the numbers offered, the serial loaded instead (when set) and the
    // outcomes, one per print, with the reason of a spoiled one.
    QStringList offered;
    std::optional<qint64> loadInstead;
    std::deque<std::optional<Outcome>> outcomes;
    QStringList refusals;  // the reasons a loaded number was refused
    std::optional<LoadedNumber> confirmNumberedStart(const TakenNumber& number,
                                                     const QString& refusal) override {
        if (!refusal.isEmpty()) {
            refusals << refusal;
            return std::nullopt;
        }
        offered << number.text();
        return LoadedNumber{std::exchange(loadInstead, std::nullopt).value_or(number.serial)};
    }
    std::optional<Outcome> numberedOutcome(const QString&, QString* reason) override {
        *reason = u"卡纸"_s;
        if (outcomes.empty())
            return std::nullopt;
        const std::optional<Outcome> outcome = outcomes.front();
        outcomes.pop_front();
        return outcome;
    }
    bool keepNumbered() override { return true; }
    // The cheques spoiled in each numbered batch, one list per job, and what each job showed
    // ("number payee", one per cheque).
    std::deque<QList<SpoiledCheque>> spoiledBatches;
    QList<QStringList> batchesShown;
    QList<SpoiledCheque> spoiledInBatch(const QList<Cheque>& cheques,
                                        const QStringList& numbers) override {
        QStringList shown;
        for (qsizetype k = 0; k < cheques.size(); ++k)
            shown << numbers.value(k) + u' ' + cheques[k].text(Field::Payee);
        batchesShown << shown;
        if (spoiledBatches.empty())
            return {};
        const QList<SpoiledCheque> spoiled = spoiledBatches.front();
        spoiledBatches.pop_front();
        return spoiled;
    }
};

Cheque payable() {
    Cheque cheque;
    cheque.setText(Field::Year, u"贰零贰陆"_s);
    cheque.setText(Field::Month, u"壹拾贰"_s);
    cheque.setText(Field::Day, u"零捌"_s);
    cheque.setText(Field::Payee, u"甲公司"_s);
    cheque.setText(Field::Amount, u"￥88.00"_s);
    cheque.setText(Field::StubYear, u"2026"_s);
    cheque.setText(Field::StubMonth, u"12"_s);
    cheque.setText(Field::StubDay, u"8"_s);
    return cheque;
}

}  // namespace

class TestPrintJob : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        TestDatabase t;
        Clock clock = testClock();
        QString pdf = t.dir.filePath(u"cheque.pdf"_s);
        PdfPrinters printers{pdf};
        ScriptedQuestions questions;
        PrintFormat format = loadPrintFormat(t.db, u"标准支票"_s).value();
        PrintJob job{t.db, t.prompts, clock, printers, questions, format};

        Fixture() {
            printers.choosePrinter(printers.currentPrinter(), t.prompts);  // into the PDF
        }
        // The journal as another program reads it: outcome/history ID, oldest first.
        QString journal() {
            return t.rows(
                u"SELECT 结果, COALESCE(CAST(历史ID AS TEXT), '') FROM 打印日志 "
                u"ORDER BY ID"_s);
        }
        int kept() { return t.scalar(u"SELECT count(*) FROM 历史记录"_s).toInt(); }
    };

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    // Killed at any moment after the job was sent, the program leaves an entry that shows the
    // attempt: the entry is committed before the printer is touched, and is still 打印中
    // while the cashier is asked whether to keep the cheque.
    void theEntryIsWrittenBeforeThePrinterIsTouched() {
        Fixture f;
        QString seenAtKeep;
        f.questions.onKeep = [&] {
            QVERIFY(QFile::exists(f.pdf));
            ScriptedPrompts otherPrompts;
            Database other(otherPrompts);
            QVERIFY(!f.t.openAs(u"auditor"_s, other).isEmpty());
            std::optional<QSqlQuery> q = other.select(u"SELECT 结果, 打印机 FROM 打印日志"_s);
            QVERIFY(q && q->next());
            seenAtKeep = q->value(0).toString() + u'/' + q->value(1).toString();
        };
        const PrintResult result = f.job.printCheque(payable());
        QVERIFY2(result.printed, qPrintable(f.journal()));
        QCOMPARE(seenAtKeep, u"打印中/测试打印机"_s);
        QCOMPARE(result.kept.size(), 1);
        QCOMPARE(f.journal(), u"已打印/"_s + QString::number(result.kept[0]));
        QCOMPARE(f.kept(), 1);
    }

    // A job the spooler did not take is a print error: journalled as failed, not asked about,
    // not kept; for a batch the message says none of its cheques was printed.
    void aRefusedJobIsAFailure_data() {
        QTest::addColumn<int>("cheques");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("journal");
        QTest::newRow("one cheque") << 1 << u"打印错误，请检查打印机！"_s << u"打印失败/"_s;
        QTest::newRow("a batch") << 3 << u"打印错误，请检查打印机！本批 3 张支票都没有打印。"_s
                                 << u"打印失败/|打印失败/|打印失败/"_s;
    }
    void aRefusedJobIsAFailure() {
        QFETCH(int, cheques);
        QFETCH(QString, message);
        QFETCH(QString, journal);
        Fixture f;
        f.printers.refuseJobs = true;
        const PrintResult result = cheques == 1
                                       ? f.job.printCheque(payable())
                                       : f.job.printBatch(QList<Cheque>(cheques, payable()));
        QVERIFY(!result.printed);
        QCOMPARE(f.t.prompts.shown().back().text, message);
        QCOMPARE(f.questions.keepAsked, 0);
        QCOMPARE(f.journal(), journal);
        QCOMPARE(f.kept(), 0);
    }

    // Another program holds the database: nothing is printed when the entry cannot be
    // written, and a cheque already printed is kept once the database is free again, with
    // its entry, however often the cashier tries.
    void aHeldDatabase() {
        if (onTestServer())
            QSKIP("a file's lock");
        Fixture f;
        auto holdDatabase = [&f](Database& other) {
            QVERIFY(other.open(f.t.path()));
            QVERIFY(other.execute(u"BEGIN EXCLUSIVE"_s));
        };
        {
            ScriptedPrompts otherPrompts;
            Database other(otherPrompts);
            holdDatabase(other);
            QVERIFY(!f.job.printCheque(payable()).printed);
            QVERIFY(!QFile::exists(f.pdf));
            QVERIFY(f.t.prompts.shown().back().text.endsWith(
                u"！\n数据库正被其他程序使用，请稍后再试。"_s));
            QVERIFY(f.t.prompts.shown().back().text.startsWith(u"数据库打开错误("_s));
            QVERIFY(other.execute(u"ROLLBACK"_s));
        }
        QCOMPARE(f.journal(), QString());

        ScriptedPrompts otherPrompts;
        Database other(otherPrompts);
        f.questions.onKeep = [&] { holdDatabase(other); };
        f.questions.onRetry = [&](int attempt) {
            if (attempt == 1)  // the other program is done before the cashier answers
                other.execute(u"ROLLBACK"_s);
            return true;
        };
        const PrintResult result = f.job.printCheque(payable());
        QVERIFY(result.printed && result.keptAsAsked);
        QCOMPARE(f.questions.retries, 1);
        QCOMPARE(f.kept(), 1);
        QCOMPARE(f.journal(), u"已打印/"_s + QString::number(result.kept.value(0)));
    }

    // A cheque of an account with a cheque book prints on the book's numbers: printed well
    // (kept, with its number), printed again on the same blank, spoiled and printed again on
    // the next number, a number loaded by hand, a print the spooler refused (its number voided,
    // never offered again), and no number left at last. The journal names every attempt's number.
    void aChequeBookNumbersEveryPrint() {
        Fixture f;
        Cheque cheque = payable();
        cheque.setText(Field::Account, u"12345"_s);
        QString why;
        QVERIFY(addChequeBook(f.t.db, {0, u"12345"_s, u"9"_s, 1, 6, {}, false}, &why));
        using O = PrintQuestions::Outcome;

        f.questions.outcomes = {O::PrintedWell};
        PrintResult result = f.job.printCheque(cheque);
        QCOMPARE(result.numbers, QStringList{u"900000001"_s});
        QCOMPARE(f.questions.keepAsked, 0);  // printing well is keeping
        QCOMPARE(result.kept.size(), 1);

        f.questions.outcomes = {O::PrintAgain, O::PrintAgain, O::Spoiled, O::PrintedWell};
        result = f.job.printCheque(cheque);
        QCOMPARE(result.numbers, QStringList{u"900000003"_s});
        QCOMPARE(f.questions.offered,
                 (QStringList{u"900000001"_s, u"900000002"_s, u"900000003"_s}));

        f.questions.loadInstead = 5;  // 4 is skipped: a gap
        f.questions.outcomes = {O::PrintedWell};
        QCOMPARE(f.job.printCheque(cheque).numbers, QStringList{u"900000005"_s});

        f.printers.refuseJobs = true;
        QVERIFY(!f.job.printCheque(cheque).printed);
        f.printers.refuseJobs = false;
        QVERIFY(!f.job.printCheque(cheque).printed);
        QCOMPARE(f.t.prompts.shown().back().text, u"该账号的支票簿已用完，请登记新的支票簿。"_s);

        QStringList lines;
        const BookRegister book = chequeRegister(f.t.db, u"12345"_s).value().first();
        for (const RegisterLine& line : book.lines)
            lines << QStringList{serialText(line.serial), line.state,
                                 QString::number(line.reprints), line.reason, line.replaces}
                         .join(u'/');
        QCOMPARE(lines, (QStringList{u"00000001/已打印/0//"_s, u"00000002/已作废/2/卡纸/"_s,
                                     u"00000003/已打印/0//900000002"_s, u"00000004/未使用/0//"_s,
                                     u"00000005/已打印/0//"_s, u"00000006/已作废/0/打印失败/"_s}));
        QCOMPARE(book.gaps, (QList<std::pair<qint64, qint64>>{{4, 4}}));
        // Every attempt's entry, its outcome and number: the last refused before any number.
        QStringList entries;
        std::optional<QSqlQuery> q =
            f.t.db.select(u"SELECT 结果, 内容 FROM 打印日志 ORDER BY ID"_s);
        while (q && q->next()) {
            const QString fields = q->value(1).toString();
            const qsizetype at = fields.indexOf(u"支票号码="_s);
            entries << q->value(0).toString() + u'/' + (at < 0 ? QString() : fields.mid(at));
        }
        QCOMPARE(
            entries.join(u'|'),
            u"已打印/支票号码=900000001|已打印/支票号码=900000002|已打印/支票号码=900000002|"
            u"已打印/支票号码=900000002|已打印/支票号码=900000003|已打印/支票号码=900000005|"
            u"打印失败/支票号码=900000006|未打印：该账号的支票簿已用完，请登记新的支票簿。/"_s);
        QCOMPARE(f.kept(), 3);
        // Each kept history row holds the number it was printed on, the one whose register line
        // names that row.
        QCOMPARE(f.t.rows(u"SELECT h.支票号码, n.号码 FROM 支票号码 n JOIN 历史记录 h "
                          u"ON h.ID = n.历史ID ORDER BY n.号码"_s),
                 u"900000001/1|900000003/3|900000005/5"_s);
    }

    // A batch of an account with a cheque book takes consecutive numbers, named before it
    // prints; the cheques found spoiled are voided, each with its own reason, and go again on
    // the next numbers in one more job, each linked to the one it replaces. A place named twice
    // or outside the batch spoils nothing more. Accounts with and without a book do not mix.
    void aBatchTakesConsecutiveNumbers() {
        Fixture f;
        Cheque cheque = payable();
        cheque.setText(Field::Account, u"12345"_s);
        QString why;
        QVERIFY(addChequeBook(f.t.db, {0, u"12345"_s, u"9"_s, 1, 7, {}, false}, &why));
        QVERIFY(voidSerial(f.t.db, f.clock, u"12345"_s, 3, u"撕坏"_s, &why));  // passed over
        QList<Cheque> batch(3, cheque);
        for (int k = 0; k < 3; ++k)
            batch[k].setText(Field::Payee, u"收款人"_s + QString::number(k + 1));
        // The first and the third of the first job.
        f.questions.spoiledBatches = {
            {{2, u"污损"_s}, {0, u"卡纸"_s}, {0, u"重复"_s}, {3, u"不在本批"_s}}};
        const PrintResult result = f.job.printBatch(batch);
        QVERIFY(result.printed && result.keptAsAsked);
        QCOMPARE(result.kept.size(), 3);
        QCOMPARE(result.numbers, (QStringList{u"900000002"_s, u"900000005"_s, u"900000006"_s}));
        QCOMPARE(f.questions.batchesShown,
                 (QList<QStringList>{
                     {u"900000001 收款人1"_s, u"900000002 收款人2"_s, u"900000004 收款人3"_s},
                     {u"900000005 收款人1"_s, u"900000006 收款人3"_s}}));
        QStringList lines;
        const BookRegister book = chequeRegister(f.t.db, u"12345"_s).value().first();
        for (const RegisterLine& line : book.lines)
            lines << QStringList{serialText(line.serial), line.state, line.payee, line.reason,
                                 line.replaces}
                         .join(u'/');
        QCOMPARE(lines,
                 (QStringList{u"00000001/已作废//卡纸/"_s, u"00000002/已打印/收款人2//"_s,
                              u"00000003/已作废//撕坏/"_s, u"00000004/已作废//污损/"_s,
                              u"00000005/已打印/收款人1//900000001"_s,
                              u"00000006/已打印/收款人3//900000004"_s, u"00000007/未使用///"_s}));
        QCOMPARE(f.t.rows(u"SELECT 收款人全称, 支票号码 FROM 历史记录 ORDER BY ID"_s),
                 u"收款人2/900000002|收款人1/900000005|收款人3/900000006"_s);

        // One number left in the book, three asked for: refused before anything prints.
        QVERIFY(!f.job.printBatch(batch).printed);
        QCOMPARE(f.t.prompts.shown().back().text,
                 u"该账号的支票簿只剩1个号码，不够打印3张支票。"_s);
        batch[2].setText(Field::Account, u"67890"_s);
        QVERIFY(!f.job.printBatch(batch).printed);
        QCOMPARE(f.t.prompts.shown().back().text,
                 u"这批支票的账号不同，不能按支票簿编号，请按账号分批打印。"_s);
    }

    // Endorsements and calibration squares are journalled the same way, with no question of
    // keeping them.
    void otherPrintsAreJournalledToo() {
        Fixture f;
        QVERIFY(f.job.printEndorsement(payable()).printed);
        QVERIFY(f.job.printCalibration().printed);
        QCOMPARE(f.journal(), u"已打印/|已打印/"_s);
        QCOMPARE(f.t.rows(u"SELECT 种类 FROM 打印日志 ORDER BY ID"_s), u"背书|校准"_s);
        QCOMPARE(f.questions.keepAsked, 0);
    }
};

QTEST_MAIN(TestPrintJob)
#include "tst_printjob.moc"
