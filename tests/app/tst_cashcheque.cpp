// The cash cheque from the command line, as a cashier's week uses it: two books of one account,
// one for each kind of cheque, whose numbers never cross; a front and its back, each read back
// from its PDF inside the places of the picture; the back printed again from the kept row; a
// list of cash cheques printed as fronts, then backs, in one order.
#include <QTest>

#include "ChequeGeometry.h"
#include "Document.h"
#include "IdentityNumber.h"
#include "PdfWords.h"
#include "ProgramRun.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

const QString kAccount = u"310066001"_s;
const QString kCard = u"11010519491231002X"_s;  // a number whose check character is right

// The places of the kind's parts as the shipped format prints them, with margins 10/10: the
// stub at the paper's corner and the body right of it (60 mm) on the front; the back alone.
QList<QRectF> placesOnPaper(PartSide side) {
    QList<QRectF> places;
    const DocumentKind& kind = cashCheque();
    for (const ChequeGeometry::Place& place : ChequeGeometry::of(kind).places) {
        const int field = fieldByIdentifier(kind, place.field);
        if (sideOf(kind, field) != side)
            continue;
        const bool rightOfStub = side == PartSide::Front && place.part != kStubPart;
        places << place.rect.translated(rightOfStub ? 60 : 0, 0);
    }
    return places;
}

QStringList wordsOf(const QString& pdf, int page = 0) {
    QStringList words;
    for (const auto& [word, box] : pdfWords(pdf, page))
        words << word;
    return words;
}

}  // namespace

class TestCashCheque : public QObject {
    Q_OBJECT

    TestDatabase t;

    ProgramRun run(QStringList arguments) {
        arguments << u"--database"_s << t.path();
        RunOptions options;
        options.folder = t.dir.path();
        return runProgram(arguments, options);
    }
    QString pdf(const QString& name) const { return t.dir.filePath(name); }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    void identityNumbersAreChecked_data() {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("doubted");
        QTest::newRow("right, X") << u"身份证"_s << kCard << false;
        QTest::newRow("right, x") << u"居民身份证"_s << kCard.toLower() << false;
        QTest::newRow("right, digit") << u"身份证"_s << u"440304198506123455"_s << false;
        QTest::newRow("wrong check") << u"身份证"_s << u"440304198506123454"_s << true;
        QTest::newRow("seventeen") << u"身份证"_s << u"44030419850612345"_s << true;
        QTest::newRow("a letter inside") << u"身份证"_s << u"4403041985061234A5"_s << true;
        QTest::newRow("no card named") << u""_s << u"123"_s << true;
        QTest::newRow("a passport") << u"护照"_s << u"E12345678"_s << false;
        QTest::newRow("no number") << u"身份证"_s << u""_s << false;
    }
    // A number is doubted only on an identity card, and never stops anything.
    void identityNumbersAreChecked() {
        QFETCH(QString, card);
        QFETCH(QString, number);
        QFETCH(bool, doubted);
        Document cheque(cashCheque());
        cheque.setText(fieldByIdentifier(cashCheque(), u"身份证件名称"), card);
        cheque.setText(fieldByIdentifier(cashCheque(), u"身份证件号码"), number);
        QCOMPARE(!identityNumberDoubt(cheque).isEmpty(), doubted);
        QCOMPARE(identityNumberDoubt(Document(transferCheque())), QString());
    }

    void booksFrontsAndBacks() {
        // A book of each kind on one account, sharing serials: each kind takes its own.
        QCOMPARE(
            run({u"book"_s, u"add"_s, kAccount, u"1"_s, u"25"_s, u"--prefix"_s, u"101"_s}).exitCode,
            0);
        QCOMPARE(run({u"book"_s, u"add"_s, kAccount, u"1"_s, u"25"_s, u"--prefix"_s, u"202"_s,
                      u"--kind"_s, u"现金支票"_s})
                     .exitCode,
                 0);
        const QStringList front = {u"--allow-date"_s, u"--save"_s,
                                   u"--field"_s,      u"票身-收款人=张三"_s,
                                   u"--field"_s,      u"小写金额=5000"_s,
                                   u"--field"_s,      u"账号="_s + kAccount,
                                   u"--field"_s,      u"银行=工商银行上海分行"_s,
                                   u"--field"_s,      u"票身-用途=差旅费"_s,
                                   u"--field"_s,      u"发证机关=北京市公安局西城分局"_s,
                                   u"--field"_s,      u"身份证件号码="_s + kCard};
        const QStringList cash = {u"print"_s, u"--kind"_s, u"现金支票"_s};
        QCOMPARE(run(cash + QStringList{u"--pdf"_s, pdf(u"front.pdf"_s)} + front).out,
                 "20200000001\n");
        QCOMPARE(run(QStringList{u"print"_s, u"--pdf"_s, pdf(u"transfer.pdf"_s)} +
                     front.first(front.size() - 4))
                     .out,
                 "10100000001\n");
        QCOMPARE(run(cash + QStringList{u"--pdf"_s, pdf(u"front2.pdf"_s)} + front).out,
                 "20200000002\n");

        // The front holds the cheque's fields inside their places and nothing of the back.
        const QStringList frontWords = wordsOf(pdf(u"front.pdf"_s));
        QVERIFY2(frontWords.contains(u"张三"_s) && frontWords.contains(u"伍仟元整"_s),
                 qPrintable(frontWords.join(u' ')));
        QVERIFY(!frontWords.contains(kCard) && !frontWords.contains(u"身份证"_s));
        QCOMPARE(wordsOutside(pdfWords(pdf(u"front.pdf"_s)), placesOnPaper(PartSide::Front)),
                 QStringList());

        // Each register lists its own kind's book and number.
        const QString cashRegister =
            QString::fromUtf8(run({u"register"_s, u"--kind"_s, u"现金支票"_s}).out);
        QVERIFY2(cashRegister.startsWith(u"支票簿\t"_s + kAccount +
                                         u"\t20200000001-20200000025\t未结束\t现金支票\n"_s) &&
                     cashRegister.contains(u"20200000002\t已打印"_s) &&
                     !cashRegister.contains(u"101000"_s),
                 qPrintable(cashRegister));
        QVERIFY(QString::fromUtf8(run({u"book"_s, u"list"_s}).out)
                    .endsWith(u"\t1\t0\t0\t24\t转账支票\n"_s));

        // The back of the first kept cash cheque, from its row: its three values alone, inside
        // their places, journalled under its own job and linked to the row.
        const QString row = t.rows(
            u"SELECT ID FROM 历史记录 WHERE 种类='现金支票' AND "
            u"支票号码='20200000001'"_s);
        QCOMPARE(t.rows(u"SELECT 身份证件名称, 发证机关, 身份证件号码 FROM 历史记录 WHERE ID=?"_s,
                        {row}),
                 u"身份证/北京市公安局西城分局/"_s + kCard);
        const ProgramRun back = run(
            cash + QStringList{u"--back"_s, u"--history"_s, row, u"--pdf"_s, pdf(u"back.pdf"_s)});
        QVERIFY2(back.exitCode == 0 && back.err.isEmpty(), back.err.constData());
        QStringList backWords = wordsOf(pdf(u"back.pdf"_s));
        backWords.sort();
        QCOMPARE(backWords, QStringList({kCard, u"北京市公安局西城分局"_s, u"身份证"_s}));
        QCOMPARE(wordsOutside(pdfWords(pdf(u"back.pdf"_s)), placesOnPaper(PartSide::Back)),
                 QStringList());
        QCOMPARE(t.rows(u"SELECT 历史ID, 结果 FROM 打印日志 WHERE 种类='现金支票背面'"_s),
                 row + u"/已打印"_s);

        // A number that fails its check is said, and the back prints all the same; --back is
        // the cash cheque's alone and never takes a number.
        const ProgramRun doubted =
            run(cash + QStringList{u"--back"_s, u"--pdf"_s, pdf(u"doubted.pdf"_s), u"--field"_s,
                                   u"身份证件号码=110105194912310021"_s});
        QCOMPARE(doubted.exitCode, 0);
        QVERIFY2(QString::fromUtf8(doubted.err).contains(u"110105194912310021"_s),
                 doubted.err.constData());
        QCOMPARE(run({u"print"_s, u"--back"_s, u"--pdf"_s, pdf(u"x.pdf"_s)}).exitCode, 2);
        QCOMPARE(run(cash + QStringList{u"--back"_s, u"--number"_s, u"3"_s}).exitCode, 2);
        QCOMPARE(t.rows(u"SELECT count(*) FROM 支票号码 n JOIN 支票簿 b ON b.ID = n.支票簿ID "
                        u"WHERE b.种类='现金支票'"_s),
                 u"2"_s);
    }

    // A list of cash cheques: the fronts as one job on consecutive numbers, then the backs as
    // another, page k of one the back of page k of the other.
    void batchFrontsThenBacks() {
        QFile list(t.dir.filePath(u"wages.csv"_s));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(
            u"收款人,金额,用途,身份证件号码,发证机关\n"
            u"李四,800.00,备用金,440304198506123455,深圳市公安局福田分局\n"
            u"王五,1200.00,差旅费,310115199001011232,上海市公安局浦东分局\n"_s.toUtf8());
        list.close();
        // A back whose issuing office runs past its blank makes the row bad before anything
        // prints.
        QFile tooLong(t.dir.filePath(u"long.csv"_s));
        QVERIFY(tooLong.open(QIODevice::WriteOnly));
        tooLong.write(
            u"收款人,金额,发证机关\n赵六,10.00,新疆维吾尔自治区乌鲁木齐市公安局\n"_s.toUtf8());
        tooLong.close();
        const ProgramRun refused = run({u"batch"_s, tooLong.fileName(), u"--kind"_s, u"现金支票"_s,
                                        u"--allow-date"_s, u"--check"_s});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(QString::fromUtf8(refused.out).contains(u"第2行，发证机关列"_s) &&
                     QString::fromUtf8(refused.out).contains(u"超出支票栏位"_s),
                 refused.out.constData());
        const QString before = t.rows(u"SELECT max(ID) FROM 打印日志"_s);
        const QStringList batch = {u"batch"_s, list.fileName(), u"--kind"_s, u"现金支票"_s,
                                   u"--allow-date"_s};
        const ProgramRun fronts =
            run(batch + QStringList{u"--save"_s, u"--pdf"_s, pdf(u"fronts.pdf"_s)});
        QVERIFY2(fronts.exitCode == 0, fronts.err.constData());
        const ProgramRun backs =
            run(batch + QStringList{u"--back"_s, u"--pdf"_s, pdf(u"backs.pdf"_s)});
        QVERIFY2(backs.exitCode == 0, backs.err.constData());
        for (const auto& [page, payee, number] :
             {std::tuple{1, u"李四"_s, u"440304198506123455"_s},
              std::tuple{2, u"王五"_s, u"310115199001011232"_s}}) {
            QVERIFY(wordsOf(pdf(u"fronts.pdf"_s), page).contains(payee));
            QVERIFY(!wordsOf(pdf(u"fronts.pdf"_s), page).contains(number));
            QVERIFY(wordsOf(pdf(u"backs.pdf"_s), page).contains(number));
            QCOMPARE(
                wordsOutside(pdfWords(pdf(u"backs.pdf"_s), page), placesOnPaper(PartSide::Back)),
                QStringList());
        }
        QCOMPARE(t.rows(u"SELECT 种类, count(*) FROM 打印日志 WHERE 结果='已打印' AND ID > ? "
                        u"GROUP BY 种类 ORDER BY 种类"_s,
                        {before.toLongLong()}),
                 u"现金支票/2|现金支票背面/2"_s);
    }
};

QTEST_GUILESS_MAIN(TestCashCheque)
#include "tst_cashcheque.moc"
