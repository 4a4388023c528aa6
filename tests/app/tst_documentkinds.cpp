// Two kinds of document in one database stay apart: each has its own formats (of the same name
// too), its own cheque books and its own job in the journal. The second kind exists only here:
// a copy of the transfer cheque with another id and job, handed to the code as a value. A third,
// with fields, a picture and switches of its own, prints and is kept through the same code.
#include <QTest>

#include "ChequeGeometry.h"
#include "ChequeRegister.h"
#include "Document.h"
#include "FormatStore.h"
#include "GeometryFaults.h"
#include "HistoryRecords.h"
#include "PdfPrinters.h"
#include "PdfWords.h"
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

// A receipt of six fields on one part, its picture in a file the test writes: nothing of the
// transfer cheque's tables, not even a switch.
constexpr DocumentPart kReceiptParts[] = {
    {.name = u"body", .side = PartSide::Front, .shownBySwitch = -1}};
constexpr ChequeFieldInfo kReceiptFields[] = {
    {.index = 0,
     .tag = u"R0",
     .identifier = u"回单-年",
     .historyColumn = u"出票日期",
     .toolTip = u"",
     .tabOrder = 0,
     .input = FieldInput::Date,
     .pick = FieldPick::None,
     .drawing = FieldDrawing::Line,
     .role = FieldRole::IssueYear},
    {.index = 1,
     .tag = u"R1",
     .identifier = u"回单-月",
     .historyColumn = u"出票日期",
     .toolTip = u"",
     .tabOrder = 1,
     .input = FieldInput::Date,
     .pick = FieldPick::None,
     .drawing = FieldDrawing::Line,
     .role = FieldRole::IssueMonth},
    {.index = 2,
     .tag = u"R2",
     .identifier = u"回单-日",
     .historyColumn = u"出票日期",
     .toolTip = u"",
     .tabOrder = 2,
     .input = FieldInput::Date,
     .pick = FieldPick::None,
     .drawing = FieldDrawing::Line,
     .role = FieldRole::IssueDay},
    {.index = 3,
     .tag = u"R3",
     .identifier = u"回单-付款人",
     .historyColumn = u"出票人全称",
     .toolTip = u"",
     .tabOrder = 3,
     .input = FieldInput::Text,
     .pick = FieldPick::None,
     .drawing = FieldDrawing::Line},
    {.index = 4,
     .tag = u"R4",
     .identifier = u"回单-大写",
     .toolTip = u"",
     .tabOrder = 4,
     .input = FieldInput::Derived,
     .pick = FieldPick::None,
     .drawing = FieldDrawing::Line,
     .role = FieldRole::AmountInCapitals},
    {.index = 5,
     .tag = u"R5",
     .identifier = u"回单-金额",
     .historyColumn = u"金额",
     .toolTip = u"",
     .tabOrder = 5,
     .input = FieldInput::Figures,
     .pick = FieldPick::None,
     .drawing = FieldDrawing::Boxes,
     .role = FieldRole::Amount},
};

// Each field's place on the receipt (mm), as the picture file has it.
const QList<std::pair<QString, QRectF>> kReceiptPlaces = {
    {u"回单-年"_s, {20, 10, 22, 7}},   {u"回单-月"_s, {45, 10, 16, 7}},
    {u"回单-日"_s, {64, 10, 16, 7}},   {u"回单-付款人"_s, {20, 20, 90, 7}},
    {u"回单-大写"_s, {20, 30, 60, 7}}, {u"回单-金额"_s, {82, 30, 44, 7}},
};

// The receipt's picture, written into `folder`.
QString writeReceiptGeometry(const QString& folder) {
    QString places;
    for (const auto& [field, r] : kReceiptPlaces)
        places +=
            u"%1{\"field\": \"%2\", \"part\": \"body\", \"x\": %3, \"y\": %4, "
            u"\"w\": %5, \"h\": %6}"_s.arg(places.isEmpty() ? u""_s : u", "_s, field)
                .arg(r.x())
                .arg(r.y())
                .arg(r.width())
                .arg(r.height());
    QString lefts;
    for (int i = 0; i < 11; ++i)
        lefts += (i ? u", "_s : u""_s) + QString::number(82 + 4 * i);
    const QString json =
        u"{\"parts\": [{\"name\": \"body\", \"width\": 130, \"height\": 45}], "
        u"\"figureBoxes\": [{\"field\": \"回单-金额\", \"part\": \"body\", \"left\": [%1], "
        u"\"right\": 126, \"top\": 30, \"bottom\": 37, \"headings\": [\"亿\", \"千\", "
        u"\"百\", \"十\", \"万\", \"千\", \"百\", \"十\", \"元\", \"角\", \"分\"]}], "
        u"\"places\": [%2], \"switchBoxes\": [], \"labels\": []}"_s.arg(lefts, places);
    const QString path = folder + u"/receipt-geometry.json"_s;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(json.toUtf8()) < 0)
        return {};
    return path;
}

// Prints as a cashier who says yes to everything and finds every cheque printed well.
class YesQuestions final : public PrintQuestions {
public:
    bool printOverflowing(const QString&) override { return true; }
    bool printOnUnusualDate(const QStringList&) override { return true; }
    bool printAgainToday(const QString&, const QString&) override { return true; }
    bool printBatchAgainToday(const QStringList&) override { return true; }
    bool choosePrinter(bool&) override { return true; }
    bool confirmStart(const QString&) override { return true; }
    bool keep(int) override { return true; }
    bool tryAgain() override { return false; }
    bool printCalibrationSquare() override { return true; }
    QString endorsementText() override { return {}; }
    bool printDoubtfulIdentity(const QStringList&) override { return true; }
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

        const std::optional<PrintFormat> format = loadPrintFormat(t.db, u"共用"_s, printed);
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

    // A kind whose fields, picture and switches are all its own prints each field inside its
    // place, is journalled under its job, keeps its texts in the history's columns of its own
    // fields, and comes back from there.
    void aKindOfItsOwnPrintsAndIsKept() {
        TestDatabase t;
        const QString geometryPath = writeReceiptGeometry(t.dir.path());
        QVERIFY(!geometryPath.isEmpty());
        const DocumentKind receipt{
            .id = u"测试回单",
            .journalJob = u"回单",
            .backJob = {},
            .parts = kReceiptParts,
            .fields = kReceiptFields,
            .switches = {},
            .geometry = geometryPath,
            .shippedFormat = u"标准回单",
            .shippedFormatRows = u"(written by the test)",
            .settingsKey = u"测试回单/选项",
            .numbered = false,
            .endorsable = false,
            .filledFrom = {},
        };
        QCOMPARE(kindFaults(receipt), QStringList());
        QCOMPARE(geometryFaults(receipt, ChequeGeometry::of(receipt)), QStringList());

        // Its format puts each field 1 mm into its place; margins 10/10 put the paper's
        // corner at the printer's origin.
        QVERIFY(
            t.db.execute(u"INSERT INTO 支票格式 (种类, Name, CtlDF, X, Y, S, fName, fSize) "
                         u"VALUES ('测试回单', '标准回单', '', 10, 10, 0, '', 0)"_s));
        for (const auto& [field, place] : kReceiptPlaces)
            QVERIFY(t.db.execute(
                u"INSERT INTO 支票格式 (种类, Name, CtlDF, X, Y, S, fName, fSize) "
                u"VALUES ('测试回单', '标准回单', ?, ?, ?, 0, '宋体', 10)"_s,
                {field, place.x() + (field == u"回单-金额"_s ? 0.8 : 1), place.y() + 1}));
        const std::optional<PrintFormat> format = loadPrintFormat(t.db, u"标准回单"_s, receipt);
        QVERIFY(format);

        Document filled(receipt);
        filled.setTextOf(FieldRole::IssueYear, u"贰零贰陆"_s);
        filled.setTextOf(FieldRole::IssueMonth, u"壹拾贰"_s);
        filled.setTextOf(FieldRole::IssueDay, u"零捌"_s);
        filled.setText(3, u"乙公司"_s);
        filled.setTextOf(FieldRole::Amount, u"￥1234.50"_s);
        const QString pdf = t.dir.filePath(u"receipt.pdf"_s);
        PdfPrinters printers(pdf);
        printers.choosePrinter(printers.currentPrinter(), t.prompts);
        YesQuestions questions;
        const Clock clock = testClock();
        PrintJob job(t.db, t.prompts, clock, printers, questions, *format);
        QVERIFY(job.printCheque(filled).printed);

        // Every word on the paper lies inside the place of a field.
        const QList<std::pair<QString, QRectF>> words = pdfWords(pdf);
        QStringList printed;
        for (const auto& [word, box] : words)
            printed << word;
        QCOMPARE(printed.join(u' '),
                 u"贰零贰陆 壹拾贰 零捌 乙公司 壹仟贰佰叁拾肆元伍角整 ￥ 1 2 3 4 5 0"_s);
        QList<QRectF> places;
        for (const auto& [field, place] : kReceiptPlaces)
            places << place;
        QCOMPARE(wordsOutside(words, places), QStringList());

        // Journalled under its job and kept in its own columns, and loaded back from there.
        QCOMPARE(t.rows(u"SELECT 种类, 格式, 结果 FROM 打印日志"_s), u"回单/标准回单/已打印"_s);
        QCOMPARE(t.rows(u"SELECT 种类, 出票日期, 出票人全称, 金额, 收款人全称 FROM 历史记录 "
                        u"WHERE Dat<>'1900-01-01'"_s),
                 u"测试回单/2026-12-08/乙公司/￥1234.50/"_s);
        Document loaded(receipt);
        const qint64 id = t.scalar(u"SELECT max(ID) FROM 历史记录"_s).toLongLong();
        QVERIFY(LoadHistoryRecord(t.db, loaded, qint32(id), t.prompts, clock));
        QCOMPARE(loaded.text(3), u"乙公司"_s);
        QCOMPARE(loaded.textOf(FieldRole::Amount), u"￥1234.50"_s);
    }

    // A deposit slip from the command line: every field given lands inside its place on the
    // slip, the date in figures, the capitals derived from the figures; the slip is journalled
    // under its own job and kept in its own history with its own columns.
    void depositSlipFromTheCommandLine() {
        TestDatabase t;
        const QString pdf = t.dir.filePath(u"slip.pdf"_s);
        const QStringList fields = {u"出票人全称=上海甲贸易有限公司"_s,
                                    u"出票人账号=310066001"_s,
                                    u"出票人开户银行=工商银行上海分行"_s,
                                    u"收款人全称=北京乙科技有限公司"_s,
                                    u"收款人账号=110077002"_s,
                                    u"收款人开户银行=建设银行北京分行"_s,
                                    u"小写金额=1234.50"_s,
                                    u"票据种类=转账支票"_s,
                                    u"票据张数=1"_s,
                                    u"票据号码=10203040"_s};
        QStringList arguments = {u"print"_s, u"--kind"_s, u"进账单"_s, u"--database"_s,
                                 t.path(),   u"--pdf"_s,  pdf,         u"--save"_s};
        for (const QString& field : fields)
            arguments << u"--field"_s << field;
        const ProgramRun run = runProgram(arguments);
        QVERIFY2(run.exitCode == 0, run.err.constData());

        const QDate today = QDate::currentDate();
        QStringList expected = {QString::number(today.year()), QString::number(today.month()),
                                QString::number(today.day())};
        for (const QString& field : fields)
            if (!field.startsWith(u"小写金额"_s))
                expected << field.section(u'=', 1);
        expected << u"壹仟贰佰叁拾肆元伍角整"_s << u"￥"_s << u"1"_s << u"2"_s << u"3"_s << u"4"_s
                 << u"5"_s << u"0"_s;
        const QList<std::pair<QString, QRectF>> words = pdfWords(pdf);
        QStringList printed;
        for (const auto& [word, box] : words)
            printed << word;
        std::ranges::sort(printed);
        std::ranges::sort(expected);
        QCOMPARE(printed, expected);
        QList<QRectF> places;
        for (const ChequeGeometry::Place& place : ChequeGeometry::of(depositSlip()).places)
            places << place.rect;
        QCOMPARE(wordsOutside(words, places), QStringList());

        QCOMPARE(t.rows(u"SELECT 种类, 格式, 结果 FROM 打印日志"_s), u"进账单/标准进账单/已打印"_s);
        const ProgramRun history =
            runProgram({u"history"_s, u"--kind"_s, u"进账单"_s, u"--database"_s, t.path()});
        QCOMPARE(history.exitCode, 0);
        const QStringList lines = QString::fromUtf8(history.out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].section(u'\t', 2),
                 u"打印时间\t出票日期\t出票人\t出票人账号\t出票人开户银行\t收款人\t收款人账号\t"
                 u"收款人开户银行\t金额\t票据种类\t票据张数\t票据号码"_s);
        QCOMPARE(lines[1].section(u'\t', 4),
                 u"上海甲贸易有限公司\t310066001\t工商银行上海分行\t北京乙科技有限公司\t"
                 u"110077002\t建设银行北京分行\t￥1234.50\t转账支票\t1\t10203040"_s);
        // The transfer cheques' history lists no slip.
        const ProgramRun cheques = runProgram({u"history"_s, u"--database"_s, t.path()});
        QCOMPARE(QString::fromUtf8(cheques.out).count(u'\n'), 1);
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
