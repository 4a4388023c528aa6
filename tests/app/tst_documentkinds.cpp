// Two kinds of document in one database stay apart: each has its own formats (of the same name
// too), its own cheque books and its own job in the journal. The second kind exists only here:
// a copy of the transfer cheque with another id and job, handed to the code as a value.
#include <QTest>

#include "ChequeRegister.h"
#include "Document.h"
#include "FormatStore.h"
#include "PdfPrinters.h"
#include "PrintFormat.h"
#include "PrintJob.h"
#include "ProgramRun.h"
#include "TestClock.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

const DocumentKind& scratchKind() {
    static const DocumentKind kind = [] {
        DocumentKind copy = transferCheque();
        copy.id = u"测试支票";
        copy.journalJob = u"测试单";
        return copy;
    }();
    return kind;
}

const QString kAccount = u"11001234"_s;

// Prints as a cashier who says yes to everything and finds every cheque printed well.
class YesQuestions final : public PrintQuestions {
public:
    bool printOverflowing(const QList<int>&) override { return true; }
    bool printOnUnusualDate(const QStringList&) override { return true; }
    bool printAgainToday(const QString&, const QString&) override { return true; }
    bool printBatchAgainToday(const QStringList&) override { return true; }
    bool choosePrinter(bool&) override { return true; }
    bool confirmStart(const QString&) override { return true; }
    bool keep(int) override { return true; }
    bool tryAgain() override { return false; }
    bool printCalibrationSquare() override { return true; }
    QString endorsementText() override { return {}; }
    std::optional<LoadedNumber> confirmNumberedStart(const TakenNumber& offered,
                                                     const QString&) override {
        return LoadedNumber{offered.serial};
    }
    std::optional<Outcome> numberedOutcome(const QString&, QString*) override {
        return Outcome::PrintedWell;
    }
    bool keepNumbered() override { return true; }
    std::optional<QList<SpoiledCheque>> spoiledInBatch(const QList<Document>&,
                                                       const QStringList&) override {
        return QList<SpoiledCheque>();
    }
};

// A cheque of the kind to the account, dated the test's today, that the checks let through.
Document payable(const DocumentKind& kind) {
    Document cheque(kind);
    cheque.setTextOf(FieldRole::IssueYear, u"贰零贰陆"_s);
    cheque.setTextOf(FieldRole::IssueMonth, u"壹拾贰"_s);
    cheque.setTextOf(FieldRole::IssueDay, u"零捌"_s);
    cheque.setTextOf(FieldRole::Payee, u"甲公司"_s);
    cheque.setTextOf(FieldRole::Amount, u"￥88.00"_s);
    cheque.setTextOf(FieldRole::DrawerAccount, kAccount);
    cheque.setChk(Switch::PrintStub, 0);
    return cheque;
}

// The kind's format 共用 with its own left margin, so that whose rows were read shows.
void saveSharedName(Database& db, const DocumentKind& kind, double marginX) {
    FormatDisplays displays;
    QVERIFY(SavePageSettings(db, marginX, 10.0, 60.0, u"共用"_s, Document(kind), displays));
}

}  // namespace

class TestDocumentKinds : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    void kindsStayApart_data() {
        QTest::addColumn<bool>("scratchPrints");
        QTest::addColumn<bool>("transferBook");
        QTest::addColumn<bool>("scratchBook");
        QTest::addColumn<QString>("number");  // what the print was numbered, empty for none
        QTest::newRow("transfer cheque, both kinds have a book")
            << false << true << true << u"10100000001"_s;
        QTest::newRow("scratch kind, both kinds have a book")
            << true << true << true << u"20200000001"_s;
        QTest::newRow("transfer cheque, only the other kind has a book")
            << false << false << true << QString();
        QTest::newRow("scratch kind, only the transfer cheque has a book")
            << true << true << false << QString();
    }
    // Each kind prints with its own format of the shared name, takes a number only from a book
    // of its own kind (books of two kinds share the serials), and is journalled under its job.
    void kindsStayApart() {
        QFETCH(bool, scratchPrints);
        QFETCH(bool, transferBook);
        QFETCH(bool, scratchBook);
        QFETCH(QString, number);
        const DocumentKind& printed = scratchPrints ? scratchKind() : transferCheque();
        const QString other = (scratchPrints ? transferCheque() : scratchKind()).id.toString();
        TestDatabase t;
        const Clock clock = testClock();

        saveSharedName(t.db, transferCheque(), 11);
        saveSharedName(t.db, scratchKind(), 22);
        QCOMPARE(storedFormatNames(t.db), QStringList({u"共用"_s, u"标准支票"_s}));
        QCOMPARE(storedFormatNames(t.db, scratchKind().id.toString()), QStringList{u"共用"_s});

        QString why;
        for (const auto& [kind, wanted, prefix] :
             {std::tuple{&transferCheque(), transferBook, u"101"_s},
              std::tuple{&scratchKind(), scratchBook, u"202"_s}}) {
            if (!wanted)
                continue;
            ChequeBook book{0,  kAccount,        prefix, 1,
                            25, kTestNow.date(), false,  kind->id.toString()};
            QVERIFY2(addChequeBook(t.db, book, kTestNow.date(), &why), qPrintable(why));
            // A second book of the same kind may not share those serials; the database itself
            // refuses it too.
            book.first = 20;
            book.last = 30;
            QVERIFY(!addChequeBook(t.db, book, kTestNow.date(), &why));
            QVERIFY(
                !t.db.execute(u"INSERT INTO 支票簿 (账号, 起始号码, 终止号码, 种类) "
                              u"VALUES (?, 20, 30, ?)"_s,
                              {kAccount, kind->id.toString()}));
        }

        const std::optional<PrintFormat> format =
            loadPrintFormat(t.db, u"共用"_s, printed.id.toString());
        QVERIFY(format);
        QCOMPARE(format->page.x, scratchPrints ? 22.0 : 11.0);
        PdfPrinters printers(t.dir.filePath(u"kind.pdf"_s));
        printers.choosePrinter(printers.currentPrinter(), t.prompts);
        YesQuestions questions;
        PrintJob job(t.db, t.prompts, clock, printers, questions, *format);
        const PrintResult result = job.printCheque(payable(printed));
        QVERIFY(result.printed);
        QCOMPARE(result.numbers, number.isEmpty() ? QStringList() : QStringList{number});
        QCOMPARE(t.rows(u"SELECT 种类, 格式, 结果 FROM 打印日志"_s),
                 printed.journalJob.toString() + u"/共用/已打印"_s);
        // The other kind's book gave nothing.
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 支票号码 n JOIN 支票簿 b ON b.ID = n.支票簿ID "
                          u"WHERE b.种类 = ?"_s,
                          {other})
                     .toInt(),
                 0);
    }

    // A kind the program does not know is refused by every verb that takes one, before
    // anything is opened; the verbs without --kind work on the transfer cheque only.
    void unknownKindIsRefused() {
        TestDatabase t;
        FormatDisplays displays;
        QVERIFY(SavePageSettings(t.db, 1.0, 1.0, 1.0, u"只在测试"_s, Document(scratchKind()),
                                 displays));
        const ProgramRun formats = runProgram({u"formats"_s, u"--database"_s, t.path()});
        QCOMPARE(formats.exitCode, 0);
        QCOMPARE(formats.out, "标准支票\t*\n");

        const QString unknown = t.dir.filePath(u"unknown.db"_s);
        for (const QStringList& verb :
             {QStringList{u"print"_s, u"--pdf"_s, t.dir.filePath(u"no.pdf"_s)},
              {u"preview"_s, t.dir.filePath(u"no.png"_s)},
              {u"batch"_s, t.dir.filePath(u"no.csv"_s)},
              {u"history"_s},
              {u"export"_s, t.dir.filePath(u"no.csv"_s)},
              {u"formats"_s},
              {u"book"_s, u"list"_s},
              {u"register"_s}}) {
            const ProgramRun run =
                runProgram(verb + QStringList{u"--kind"_s, u"未知"_s, u"--database"_s, unknown});
            QCOMPARE(run.exitCode, 2);
            QVERIFY2(run.err.startsWith("chequeprint: 没有这种单据：未知\n"), run.err.constData());
        }
        QVERIFY(!QFile::exists(unknown));
    }
};

QTEST_MAIN(TestDocumentKinds)
#include "tst_documentkinds.moc"
