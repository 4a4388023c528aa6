// The print job from the checks to the record, on a real database file and a real PDF: what is
// journalled before anything is sent, what a refused job and a held database leave behind.
#include <deque>
#include <functional>
#include <utility>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include "ChequeRegister.h"
#include "Document.h"
#include "FieldInput.h"
#include "FormatStore.h"
#include "NumberSettle.h"
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

    bool printOverflowing(const QString&) override { return true; }
    QStringList unusualDates;  // what the date question named, when it was asked
    bool dateAnswer = true;
    bool printOnUnusualDate(const QStringList& dates) override {
        unusualDates = dates;
        return dateAnswer;
    }
    QString printedToday;  // "payee amount" of the question about a second cheque
    bool againAnswer = true;
    bool printAgainToday(const QString& payee, const QString& figures) override {
        printedToday = payee + u' ' + figures;
        return againAnswer;
    }
    QStringList printedBatchToday;  // the payments the batch question named
    bool printBatchAgainToday(const QStringList& payments) override {
        printedBatchToday = payments;
        return true;
    }
    bool choosePrinter(bool&) override { return true; }
    // The answer to the n-th start confirmation (from 1); yes when not set.
    std::function<bool(int start)> onStart;
    int starts = 0;
    bool confirmStart(const QString&) override {
        ++starts;
        return !onStart || onStart(starts);
    }
    bool keep(int) override {
        ++keepAsked;
        if (onKeep)
            onKeep();
        return keepAnswer;
    }
    bool tryAgain() override { return onRetry && onRetry(++retries); }
    bool printCalibrationSquare() override { return true; }
    QString endorsementText() override { return u"甲公司//乙公司"_s; }
    QStringList identityDoubts;  // what the doubt question was asked about
    bool identityAnswer = true;
    bool printDoubtfulIdentity(const QStringList& doubts) override {
        identityDoubts = doubts;
        return identityAnswer;
    }

    // With a cheque book: the numbers offered, the serial loaded instead (when set) and the
    // outcomes, one per print, with the reason of a spoiled one.
    QStringList offered;
    std::optional<qint64> loadInstead;
    std::deque<std::optional<Outcome>> outcomes;
    QStringList refusals;                 // the reasons a loaded number was refused
    std::deque<qint64> loadAfterRefusal;  // the serials loaded when asked again; then cancelled
    std::optional<LoadedNumber> confirmNumberedStart(const TakenNumber& number,
                                                     const QString& refusal) override {
        if (!refusal.isEmpty()) {
            refusals << refusal;
            if (loadAfterRefusal.empty())
                return std::nullopt;
            const qint64 serial = loadAfterRefusal.front();
            loadAfterRefusal.pop_front();
            return LoadedNumber{serial};
        }
        offered << number.text();
        return LoadedNumber{std::exchange(loadInstead, std::nullopt).value_or(number.serial)};
    }
    std::function<void()> onOutcome;  // when the outcome question is asked
    std::optional<Outcome> numberedOutcome(const QString&, QString* reason) override {
        if (onOutcome)
            onOutcome();
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
    bool nobodySays = false;  // the batch question goes unanswered
    std::optional<QList<SpoiledCheque>> spoiledInBatch(const QList<Document>& cheques,
                                                       const QStringList& numbers) override {
        QStringList shown;
        for (qsizetype k = 0; k < cheques.size(); ++k)
            shown << numbers.value(k) + u' ' + cheques[k].text(Field::Payee);
        batchesShown << shown;
        if (nobodySays)
            return std::nullopt;
        if (spoiledBatches.empty())
            return QList<SpoiledCheque>();
        const QList<SpoiledCheque> spoiled = spoiledBatches.front();
        spoiledBatches.pop_front();
        return spoiled;
    }
};

Document payable() {
    Document cheque;
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

// `cheque` issued on `day`, the stub dated the same, as the window writes a date.
Document issuedOn(Document cheque, const QDate& day) {
    ScriptedPrompts prompts;
    enterDate(cheque, day, prompts);
    return cheque;
}

// What each page of a printed PDF says, without the blanks that character spacing puts between
// letters.
QStringList pdfPages(const QString& pdf) {
    QProcess process;
    process.start(u"pdftotext"_s, {pdf, u"-"_s});
    process.waitForFinished(60000);
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(u'\f');
    pages.removeLast();  // what follows the last page break
    for (QString& page : pages)
        page.remove(QRegularExpression(u"\\s"_s));
    return pages;
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
        QString lastOutcome() {
            return t.rows(u"SELECT 结果 FROM 打印日志 ORDER BY ID DESC LIMIT 1"_s);
        }
        // The account's register, a line per serial: serial/state/payee/reason/replaces.
        QStringList numbers(const QString& account) {
            QStringList lines;
            const BookRegister book = chequeRegister(t.db, account).value().first();
            for (const RegisterLine& line : book.lines)
                lines << QStringList{serialText(line.serial), line.state, line.payee, line.reason,
                                     line.replaces}
                             .join(u'/');
            return lines;
        }
        QStringList shownTexts() {
            QStringList texts;
            for (const ScriptedPrompts::Shown& shown : t.prompts.shown())
                texts << shown.text;
            return texts;
        }
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

    // A number is held by its print while the print runs: another clerk can neither void nor
    // settle it then. A print that ends unanswered (as one killed) leaves its number 打印中 and
    // held by none, for the cashier to settle from the paper: kept as its journal entry
    // recorded it, or voided.
    void aNumberIsHeldWhileItPrintsAndSettledAfter() {
        Fixture f;
        const QString account = u"12345"_s;
        QString why;
        QVERIFY(
            addChequeBook(f.t.db, {0, account, u"10"_s, 1, 20, {}, false}, f.clock.today(), &why));
        ScriptedPrompts otherPrompts;
        Database other(otherPrompts);
        QVERIFY(!f.t.openAs(u"clerk2"_s, other).isEmpty());
        QStringList whileHeld;
        f.questions.onOutcome = [&] {
            QString refused;
            QVERIFY(!voidSerial(other, f.clock, account, 1, u"撕坏"_s, &refused));
            whileHeld << refused;
            QVERIFY(!settleNumber(other, f.clock, account, 1, Settlement::Printed, {}, &refused));
            whileHeld << refused;
        };
        f.questions.outcomes = {PrintQuestions::Outcome::PrintedWell, std::nullopt, std::nullopt};
        QStringList payees{u"甲公司"_s, u"乙公司"_s, u"丙公司"_s};
        for (const QString& payee : payees) {
            Document cheque = payable();
            // Blanks typed around the account still find its book.
            cheque.setText(Field::Account, payee == u"丙公司"_s ? u" 12345 "_s : account);
            cheque.setText(Field::Payee, payee);
            QVERIFY(f.job.printCheque(cheque).printed);
            f.questions.onOutcome = {};
        }
        QCOMPARE(whileHeld, (QStringList{u"号码 1000000001 正在打印，不能作废"_s,
                                         u"号码 1000000001 正在打印，不能确认"_s}));
        QCOMPARE(f.numbers(account).mid(0, 3),
                 (QStringList{u"00000001/已打印/甲公司//"_s, u"00000002/打印中///"_s,
                              u"00000003/打印中///"_s}));
        QVERIFY2(settleNumber(f.t.db, f.clock, account, 2, Settlement::Printed, {}, &why),
                 qPrintable(why));
        QVERIFY2(settleNumber(f.t.db, f.clock, account, 3, Settlement::Voided, u"未打出"_s, &why),
                 qPrintable(why));
        QVERIFY(!settleNumber(f.t.db, f.clock, account, 2, Settlement::Voided, u"又一次"_s, &why));
        QCOMPARE(why, u"号码 1000000002 已打印，不需确认。"_s);
        QVERIFY(!settleNumber(f.t.db, f.clock, account, 4, Settlement::Printed, {}, &why));
        QCOMPARE(why, u"号码 00000004 没有被取用过。"_s);
        QCOMPARE(f.numbers(account).mid(0, 3),
                 (QStringList{u"00000001/已打印/甲公司//"_s, u"00000002/已打印/乙公司//"_s,
                              u"00000003/已作废//未打出/"_s}));
        // The settled cheque's history row is its journal entry's, number and all. The two
        // unanswered prints were journalled as sent; only a print that died before that keeps
        // its entry 打印中 until it is settled.
        QCOMPARE(f.t.rows(u"SELECT 收款人全称, 金额, 支票号码 FROM 历史记录 ORDER BY ID"_s),
                 u"甲公司/￥88.00/1000000001|乙公司/￥88.00/1000000002"_s);
        QCOMPARE(f.journal(), u"已打印/1|已打印/|已打印/"_s);
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
                                       : f.job.printBatch(QList<Document>(cheques, payable()));
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
        Document cheque = payable();
        cheque.setText(Field::Account, u"12345"_s);
        QString why;
        QVERIFY(
            addChequeBook(f.t.db, {0, u"12345"_s, u"9"_s, 1, 6, {}, false}, f.clock.today(), &why));
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
        Document cheque = payable();
        cheque.setText(Field::Account, u"12345"_s);
        QString why;
        QVERIFY(
            addChequeBook(f.t.db, {0, u"12345"_s, u"9"_s, 1, 7, {}, false}, f.clock.today(), &why));
        QVERIFY(voidSerial(f.t.db, f.clock, u"12345"_s, 3, u"撕坏"_s, &why));  // passed over
        QList<Document> batch(3, cheque);
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
        QCOMPARE(f.numbers(u"12345"_s),
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

    // A batch that printed but whose spoiled cheques nobody named (the window closed on the
    // question) is never taken for printed well: the journal says printed, the numbers stay
    // 打印中 for someone to settle, and nothing is kept.
    void aBatchNobodySettlesStaysPrinting() {
        Fixture f;
        Document cheque = payable();
        cheque.setText(Field::Account, u"12345"_s);
        QString why;
        QVERIFY(addChequeBook(f.t.db, {0, u"12345"_s, {}, 1, 5, {}, false}, f.clock.today(), &why));
        f.questions.nobodySays = true;
        const PrintResult result = f.job.printBatch(QList<Document>(2, cheque));
        QVERIFY(result.printed && result.recorded);
        QVERIFY(result.unprinted.isEmpty() && result.kept.isEmpty() && result.numbers.isEmpty());
        QCOMPARE(
            f.numbers(u"12345"_s),
            (QStringList{u"00000001/打印中///"_s, u"00000002/打印中///"_s, u"00000003/未使用///"_s,
                         u"00000004/未使用///"_s, u"00000005/未使用///"_s}));
        QCOMPARE(f.t.scalar(u"SELECT count(*) FROM 打印日志 WHERE 结果='已打印'"_s).toInt(), 2);
        QCOMPARE(f.t.scalar(u"SELECT count(*) FROM 历史记录 WHERE Dat>'1900-01-01'"_s).toInt(), 0);
    }

    // The capitals print from the figures, whatever the cheque's own capitals say, and the
    // journal keeps what went on the paper: for one cheque and for each of a batch.
    void theCapitalsPrintFromTheFigures() {
        Fixture f;
        Document cheque = payable();
        cheque.setText(Field::Amount, u"￥12345.67"_s);
        cheque.setText(Field::AmountInCapitals, u"捌仟捌佰元整"_s);
        QVERIFY(f.job.printCheque(cheque).printed);
        const QStringList printed = pdfPages(f.pdf);
        QCOMPARE(printed.size(), 1);
        QVERIFY2(printed[0].contains(u"壹万贰仟叁佰肆拾伍元陆角柒分"_s), qPrintable(printed[0]));
        QVERIFY(!printed[0].contains(u"捌仟捌佰"_s));

        Document other = payable();
        other.setText(Field::Payee, u"乙公司"_s);
        other.setText(Field::Amount, u"￥1234.50"_s);
        other.setText(Field::AmountInCapitals, QString());
        QVERIFY(QFile::remove(f.pdf));
        QVERIFY(f.job.printBatch({cheque, other}).printed);
        const QStringList pages = pdfPages(f.pdf);
        QVERIFY2(pages.size() == 2 && pages[0].contains(u"壹万贰仟叁佰肆拾伍元陆角柒分"_s) &&
                     pages[1].contains(u"壹仟贰佰叁拾肆元伍角整"_s),
                 qPrintable(pages.join(u'|')));

        QStringList capitals;
        std::optional<QSqlQuery> q = f.t.db.select(u"SELECT 内容 FROM 打印日志 ORDER BY ID"_s);
        while (q && q->next())
            for (const QString& line : q->value(0).toString().split(u'\n'))
                if (line.startsWith(u"大写金额="_s))
                    capitals << line.mid(5);
        QCOMPARE(capitals,
                 (QStringList{u"壹万贰仟叁佰肆拾伍元陆角柒分"_s, u"壹万贰仟叁佰肆拾伍元陆角柒分"_s,
                              u"壹仟贰佰叁拾肆元伍角整"_s}));
    }

    // A bank pays a cheque from its issue date to ten days after it: a printed date later than
    // today or more than ten days before it is asked about; "No" prints nothing and journals
    // why, "Yes" prints the cheque as dated. Today is 2026-12-08.
    void anUnusualIssueDateIsAskedAbout_data() {
        QTest::addColumn<QDate>("issued");
        QTest::addColumn<bool>("dateOff");   // 禁止日期打印
        QTest::addColumn<QString>("asked");  // what the question names; empty: not asked
        QTest::newRow("next year") << QDate(2027, 1, 5) << false << u"2027年1月5日，晚于今天"_s;
        QTest::newRow("tomorrow") << QDate(2026, 12, 9) << false << u"2026年12月9日，晚于今天"_s;
        QTest::newRow("eleven days ago")
            << QDate(2026, 11, 27) << false << u"2026年11月27日，已超过十天"_s;
        QTest::newRow("ten days ago") << QDate(2026, 11, 28) << false << QString();
        QTest::newRow("today") << QDate(2026, 12, 8) << false << QString();
        QTest::newRow("eleven days ago, the date not printed")
            << QDate(2026, 11, 27) << true << QString();
    }
    void anUnusualIssueDateIsAskedAbout() {
        QFETCH(QDate, issued);
        QFETCH(bool, dateOff);
        QFETCH(QString, asked);
        Fixture f;
        Document cheque = issuedOn(payable(), issued);
        cheque.setChk(Switch::SuppressDate, dateOff ? 1 : 0);
        f.questions.dateAnswer = false;
        const PrintResult result = f.job.printCheque(cheque);
        QCOMPARE(f.questions.unusualDates, asked.isEmpty() ? QStringList() : QStringList{asked});
        QCOMPARE(result.printed, asked.isEmpty());
        QCOMPARE(QFile::exists(f.pdf), asked.isEmpty());
        QCOMPARE(f.lastOutcome(), asked.isEmpty() ? u"已打印"_s : u"已取消：出票日期不是今天"_s);
        if (asked.isEmpty())
            return;
        f.questions.dateAnswer = true;
        QVERIFY(f.job.printCheque(cheque).printed);
        QCOMPARE(f.t.rows(u"SELECT 结果 FROM 打印日志 ORDER BY ID"_s),
                 u"已取消：出票日期不是今天|已打印"_s);
    }

    // A batch asks once, naming each cheque of an unusual date by its place and payee; "No"
    // prints none of it.
    void aBatchNamesEachChequeOfAnUnusualDate() {
        Fixture f;
        QList<Document> batch;
        for (const QDate& day : {QDate(2026, 12, 8), QDate(2026, 12, 9), QDate(2026, 11, 27)}) {
            batch << issuedOn(payable(), day);
            batch.last().setText(Field::Payee, u"收款人"_s + QString::number(batch.size()));
        }
        f.questions.dateAnswer = false;
        QVERIFY(!f.job.printBatch(batch).printed);
        QCOMPARE(f.questions.unusualDates,
                 (QStringList{u"第2张（收款人2）：2026年12月9日，晚于今天"_s,
                              u"第3张（收款人3）：2026年11月27日，已超过十天"_s}));
        QVERIFY(!QFile::exists(f.pdf));
        QCOMPARE(f.journal(),
                 u"已取消：出票日期不是今天/|已取消：出票日期不是今天/|"
                 u"已取消：出票日期不是今天/"_s);
    }

    // A cheque to 甲公司 of ￥88.00 once more on the same day is asked about: after one printed,
    // one still printing (the program died) or one of a batch; not after another amount,
    // another payee, yesterday, or an attempt that printed nothing. "No" prints nothing.
    void theSameChequeTwiceADayIsAskedAbout_data() {
        QTest::addColumn<QString>("before");  // the earlier attempt
        QTest::addColumn<QString>("payee");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<bool>("asked");
        QTest::newRow("printed") << u"printed"_s << u"甲公司"_s << u"￥88.00"_s << true;
        QTest::newRow("still printing") << u"printing"_s << u"甲公司"_s << u"￥88.00"_s << true;
        QTest::newRow("in a batch") << u"batch"_s << u"甲公司"_s << u"￥88.00"_s << true;
        QTest::newRow("another amount") << u"printed"_s << u"甲公司"_s << u"￥89.00"_s << false;
        QTest::newRow("another payee") << u"printed"_s << u"乙公司"_s << u"￥88.00"_s << false;
        QTest::newRow("yesterday") << u"yesterday"_s << u"甲公司"_s << u"￥88.00"_s << false;
        QTest::newRow("refused by the spooler")
            << u"refused"_s << u"甲公司"_s << u"￥88.00"_s << false;
        QTest::newRow("cancelled") << u"cancelled"_s << u"甲公司"_s << u"￥88.00"_s << false;
    }
    void theSameChequeTwiceADayIsAskedAbout() {
        QFETCH(QString, before);
        QFETCH(QString, payee);
        QFETCH(QString, amount);
        QFETCH(bool, asked);
        Fixture f;
        if (before == u"printing"_s) {
            // The program died while the spooler had it: the entry stays 打印中.
            QVERIFY(journalPrinting(f.t.db, f.clock,
                                    {kChequeJob, u"测试打印机"_s, u"标准支票"_s, kPrinting, {}, {}},
                                    {journalFields(payable())}));
        } else if (before == u"batch"_s) {
            Document other = payable();
            other.setText(Field::Payee, u"乙公司"_s);
            QVERIFY(f.job.printBatch({other, payable()}).printed);
        } else {
            f.clock.setNow(before == u"yesterday"_s ? kTestNow.addDays(-1) : kTestNow);
            f.printers.refuseJobs = before == u"refused"_s;
            f.questions.onStart = [&](int) { return before != u"cancelled"_s; };
            f.job.printCheque(payable());
            f.clock.setNow(kTestNow);
            f.printers.refuseJobs = false;
            f.questions.onStart = nullptr;
        }
        QVERIFY(!QFile::exists(f.pdf) || QFile::remove(f.pdf));
        QVERIFY(f.questions.printedToday.isEmpty());

        Document cheque = payable();
        cheque.setText(Field::Payee, payee);
        cheque.setText(Field::Amount, amount);
        f.questions.againAnswer = false;
        const PrintResult result = f.job.printCheque(cheque);
        QCOMPARE(f.questions.printedToday, asked ? payee + u' ' + amount : QString());
        QCOMPARE(result.printed, !asked);
        QCOMPARE(QFile::exists(f.pdf), !asked);
        QCOMPARE(f.lastOutcome(), asked ? u"已取消：今天已打印过"_s : u"已打印"_s);
        if (asked) {
            f.questions.againAnswer = true;
            QVERIFY(f.job.printCheque(cheque).printed);
        }
    }

    // A text with a character the database would not keep as it is never prints: the field
    // is named, and the attempt journalled with that character replaced, every other one kept.
    void aCharacterTheDatabaseCannotKeepIsRefused_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("journalled");  // the field's line of the entry
        QTest::newRow("a noncharacter")
            << int(Field::Payee) << u"甲公司\uFFFE"_s << u"票身-收款人=甲公司\uFFFD"_s;
        QTest::newRow("a lone half of a surrogate pair")
            << int(Field::Purpose) << u"货\xD800款"_s << u"票身-用途=货\uFFFD款"_s;
    }
    void aCharacterTheDatabaseCannotKeepIsRefused() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, journalled);
        Fixture f;
        Document cheque = payable();
        cheque.setText(field, text);
        const PrintResult result = f.job.printCheque(cheque);
        QVERIFY(!result.printed);
        QCOMPARE(result.faultyField, std::optional(field));
        QVERIFY(!QFile::exists(f.pdf));
        QCOMPARE(f.shownTexts().size(), 1);
        QVERIFY2(f.shownTexts()[0].contains(u"无法保存的字符"_s), qPrintable(f.shownTexts()[0]));
        QCOMPARE(f.journal(), u"未打印：含有无法保存的字符/"_s);
        const QStringList lines = f.t.rows(u"SELECT 内容 FROM 打印日志"_s).split(u'\n');
        QVERIFY2(lines.contains(journalled), qPrintable(lines.join(u'|')));
    }

    // A number the cashier loads that the book refuses (voided, not in the book, printed
    // already) is asked for again with the reason; the next good one prints. Cancelled then,
    // the reason is journalled and no number is taken.
    void aRefusedNumberIsAskedAgainWithItsReason() {
        Fixture f;
        Document cheque = payable();
        cheque.setText(Field::Account, u"12345"_s);
        QString why;
        QVERIFY(
            addChequeBook(f.t.db, {0, u"12345"_s, u"9"_s, 1, 6, {}, false}, f.clock.today(), &why));
        QVERIFY(voidSerial(f.t.db, f.clock, u"12345"_s, 2, u"撕坏"_s, &why));
        f.questions.loadInstead = 2;
        f.questions.loadAfterRefusal = {99, 3};
        f.questions.outcomes = {PrintQuestions::Outcome::PrintedWell};
        PrintResult result = f.job.printCheque(cheque);
        QCOMPARE(result.numbers, QStringList{u"900000003"_s});
        QCOMPARE(f.questions.refusals,
                 (QStringList{u"号码 00000002 已被使用（已作废），不能再用。"_s,
                              u"号码 00000099 不在该账号未结束的支票簿中。"_s}));

        f.questions.refusals.clear();
        f.questions.loadInstead = 3;  // the same cheque again today: printed again, as asked
        result = f.job.printCheque(cheque);
        QVERIFY(!result.printed);
        QCOMPARE(f.questions.refusals,
                 QStringList{u"号码 00000003 已被使用（已打印），不能再用。"_s});
        QCOMPARE(f.lastOutcome(), u"未打印：号码 00000003 已被使用（已打印），不能再用。"_s);
        QCOMPARE(f.numbers(u"12345"_s),
                 (QStringList{u"00000001/未使用///"_s, u"00000002/已作废//撕坏/"_s,
                              u"00000003/已打印/甲公司//"_s, u"00000004/未使用///"_s,
                              u"00000005/未使用///"_s, u"00000006/未使用///"_s}));
    }

    // A numbered batch of three, two of them spoiled, whose reprints stop: the book runs short
    // or out, the cashier cancels, or the spooler refuses. The payments not printed are named
    // by their places in the batch and listed (when anything printed), the spoiled numbers
    // are voided, and every payment is either kept on its number or named.
    void aNumberedBatchThatStopsNamesWhatDidNotPrint_data() {
        QTest::addColumn<int>("lastSerial");             // the book holds 1 to this
        QTest::addColumn<QList<QList<int>>>("spoiled");  // the places spoiled in each round
        // "cancel" or "refuse" (by the spooler) the second round, "refuse1" the first
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QList<int>>("unprinted");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("numbers");
        const QString first = u"收款人1　￥12,345.67"_s;
        const QString third = u"收款人3　￥1,000,000.00"_s;
        const QStringList firstRound = {u"00000001/已作废//卡纸/"_s, u"00000002/已打印/收款人2//"_s,
                                        u"00000003/已作废//污损/"_s};
        QTest::newRow("too few numbers left for the reprints")
            << 4 << QList<QList<int>>{{0, 2}} << QString() << QList<int>{0, 2}
            << QStringList{u"该账号的支票簿只剩1个号码，不够打印2张支票。"_s,
                           u"以下2笔未打印：\n"_s + first + u'\n' + third}
            << firstRound + QStringList{u"00000004/未使用///"_s};
        QTest::newRow("the book used up by a spoiled reprint")
            << 5 << QList<QList<int>>{{0, 2}, {1}} << QString() << QList<int>{2}
            << QStringList{u"该账号的支票簿已用完，请登记新的支票簿。"_s,
                           u"以下1笔未打印：\n"_s + third}
            << firstRound + QStringList{u"00000004/已打印/收款人1//900000001"_s,
                                        u"00000005/已作废//重影/900000003"_s};
        QTest::newRow("the reprints cancelled")
            << 5 << QList<QList<int>>{{0, 2}} << u"cancel"_s << QList<int>{0, 2}
            << QStringList{u"以下2笔未打印：\n"_s + first + u'\n' + third}
            << firstRound + QStringList{u"00000004/未使用///"_s, u"00000005/未使用///"_s};
        QTest::newRow("the reprints refused by the spooler")
            << 5 << QList<QList<int>>{{0, 2}} << u"refuse"_s << QList<int>{0, 2}
            << QStringList{u"打印错误，请检查打印机！本批 2 张支票都没有打印。"_s,
                           u"以下2笔未打印：\n"_s + first + u'\n' + third}
            << firstRound + QStringList{u"00000004/已作废//打印失败/900000001"_s,
                                        u"00000005/已作废//打印失败/900000003"_s};
        QTest::newRow("nothing printed: nothing listed")
            << 3 << QList<QList<int>>{} << u"refuse1"_s << QList<int>{0, 1, 2}
            << QStringList{u"打印错误，请检查打印机！本批 3 张支票都没有打印。"_s}
            << QStringList{u"00000001/已作废//打印失败/"_s, u"00000002/已作废//打印失败/"_s,
                           u"00000003/已作废//打印失败/"_s};
    }
    void aNumberedBatchThatStopsNamesWhatDidNotPrint() {
        QFETCH(int, lastSerial);
        QFETCH(QList<QList<int>>, spoiled);
        QFETCH(QString, stop);
        QFETCH(QList<int>, unprinted);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, numbers);
        Fixture f;
        QString why;
        QVERIFY(addChequeBook(f.t.db, {0, u"12345"_s, u"9"_s, 1, lastSerial, {}, false},
                              f.clock.today(), &why));
        const QString amounts[] = {u"￥12345.67"_s, u"￥88.00"_s, u"￥1000000.00"_s};
        QList<Document> batch;
        for (const QString& amount : amounts) {
            batch << payable();
            batch.last().setText(Field::Account, u"12345"_s);
            batch.last().setText(Field::Payee, u"收款人"_s + QString::number(batch.size()));
            batch.last().setText(Field::Amount, amount);
        }
        const QStringList reasons = {u"卡纸"_s, u"重影"_s};
        for (qsizetype round = 0; round < spoiled.size(); ++round) {
            QList<SpoiledCheque> named;
            for (const int place : spoiled[round])
                named << SpoiledCheque{place,
                                       round == 0 && place == 2 ? u"污损"_s : reasons[round]};
            f.questions.spoiledBatches.push_back(named);
        }
        f.questions.onStart = [&](int start) {
            f.printers.refuseJobs = stop == u"refuse1"_s || (start == 2 && stop == u"refuse"_s);
            return start < 2 || stop != u"cancel"_s;
        };
        const PrintResult result = f.job.printBatch(batch);
        QCOMPARE(result.unprinted, unprinted);
        QCOMPARE(f.shownTexts(), shown);
        QCOMPARE(f.numbers(u"12345"_s), numbers);
        // Nothing is lost: each payment is kept on a number printed well, or named unprinted.
        QStringList payees;
        for (const int place : result.unprinted)
            payees << batch[place].text(Field::Payee);
        std::optional<QSqlQuery> q = f.t.db.select(
            u"SELECT h.收款人全称 FROM 历史记录 h JOIN 支票号码 n ON n.历史ID = h.ID "
            u"WHERE n.状态 = '已打印'"_s);
        while (q && q->next())
            payees << q->value(0).toString();
        payees.sort();
        QCOMPARE(payees, (QStringList{u"收款人1"_s, u"收款人2"_s, u"收款人3"_s}));
        QCOMPARE(result.numbers.size(), 3 - unprinted.size());
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
