// Batches of deposit slips: a slip list is read under the slip's own headings and checked as a
// cheque list is, a row that names only the payee takes the payee's account and bank from the
// book of counterparties, and `batch --kind 进账单` prints every slip of the list in one job,
// each field inside its place, journalled and kept as slips.
#include <QFile>
#include <QTest>

#include <xlsxwriter.h>

#include "ChequeGeometry.h"
#include "Document.h"
#include "FormatStore.h"
#include "HistoryRecords.h"
#include "ListPayees.h"
#include "PaymentCheck.h"
#include "PaymentList.h"
#include "PdfWords.h"
#include "ProgramRun.h"
#include "RecordingSurface.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

// The slip's fields by identifier.
int slipField(QStringView identifier) {
    return fieldByIdentifier(depositSlip(), identifier);
}

// A slip's texts, the amount in capitals left out: date, drawer, payee, amount, the cheque.
QString slipTexts(const Document& slip) {
    QStringList texts;
    for (const ChequeFieldInfo& field : slip.kind().fields)
        if (field.role != FieldRole::AmountInCapitals)
            texts << slip.text(field.index);
    return texts.join(u'|');
}

// The book of counterparties every test starts from: 北京乙科技有限公司 with its account and
// bank, 丁公司 without a bank, 戊公司 removed.
void fillTheBook(Database& db) {
    QString why;
    QVERIFY2(addPayee(db,
                      {.fullName = u"北京乙科技有限公司"_s,
                       .account = u"110077002"_s,
                       .bank = u"建设银行北京分行"_s},
                      &why),
             qPrintable(why));
    QVERIFY(addPayee(db, {.fullName = u"丁公司"_s, .account = u"220088003"_s}, &why));
    QVERIFY(addPayee(db, {.fullName = u"戊公司"_s, .account = u"1"_s, .bank = u"1"_s}, &why));
    QVERIFY(removePayee(db, u"戊公司"_s, &why));
}

const QString kDrawer = u"上海甲贸易有限公司|310066001|工商银行上海分行"_s;

// The slip the rows start from: the drawer filled, and a payee account and a cheque number that
// belong to another slip and must never reach a row.
Document baseSlip() {
    Document slip(depositSlip());
    const QStringList drawer = kDrawer.split(u'|');
    slip.setText(slipField(u"出票人全称"), drawer[0]);
    slip.setText(slipField(u"出票人账号"), drawer[1]);
    slip.setText(slipField(u"出票人开户银行"), drawer[2]);
    slip.setText(slipField(u"收款人账号"), u"990000000"_s);
    slip.setText(slipField(u"票据号码"), u"99999999"_s);
    return slip;
}

}  // namespace

class TestSlipBatch : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    void aSlipListIsCheckedAgainstTheBook_data() {
        QTest::addColumn<QString>("csv");
        // Per row: the slip's texts (slipTexts), or its problems joined by " / ".
        QTest::addColumn<QStringList>("outcome");
        const QString today = u"2026|12|8|"_s;
        QTest::newRow("every field under its identifier")
            << u"出票日期,出票人全称,出票人账号,出票人开户银行,收款人全称,收款人账号,"
               u"收款人开户银行,小写金额,票据种类,票据张数,票据号码\n"
               u"2026-12-09,北京丙公司,6222,农业银行,丙公司,330099004,招商银行,1234.5,银行汇票,"
               u"2,10203040\n"_s
            << QStringList{
                   u"2026|12|9|北京丙公司|6222|农业银行|丙公司|330099004|招商银行|"
                   u"￥1234.50|银行汇票|2|10203040"_s};
        QTest::newRow("the payee's name alone: the book and the base slip give the rest")
            << u"收款人,金额\n北京乙科技有限公司,88\n"_s
            << QStringList{today + kDrawer +
                           u"|北京乙科技有限公司|110077002|建设银行北京分行|￥88.00|转账支票|1|"_s};
        QTest::newRow("the row's own account before the book's, under other headings")
            << u"收款人全称,收款账号,收款人开户行,金额,张数\n北京乙科技有限公司,999,,5,3\n"_s
            << QStringList{today + kDrawer +
                           u"|北京乙科技有限公司|999|建设银行北京分行|￥5.00|转账支票|3|"_s};
        QTest::newRow("an export of transfer cheques: their account, bank and number")
            << u"收款人,金额,用途,账号,银行,支票号码\n"
               u"北京乙科技有限公司,10,货款,6222001,中国银行,3010203100000101\n"_s
            << QStringList{today +
                           u"上海甲贸易有限公司|6222001|中国银行|北京乙科技有限公司|110077002|"
                           u"建设银行北京分行|￥10.00|转账支票|1|3010203100000101"_s};
        const QString notInBook = u"，往来单位中没有“%1”"_s;
        QTest::newRow("names the book has not, or has without a bank")
            << u"收款人,金额,票据号码\n北京乙科技有限公司,1,1\n丙公司,2,2\n丁公司,3,3\n戊公司,4,4\n"
               u",5,5\n"_s
            << QStringList{
                   today + kDrawer +
                       u"|北京乙科技有限公司|110077002|建设银行北京分行|￥1.00|转账支票|1|1"_s,
                   u"第3行，收款人账号列“”：缺少收款人账号"_s + notInBook.arg(u"丙公司"_s) +
                       u" / 第3行，收款人开户银行列“”：缺少收款人开户银行"_s +
                       notInBook.arg(u"丙公司"_s),
                   u"第4行，收款人开户银行列“”：缺少收款人开户银行"_s,
                   u"第5行，收款人账号列“”：缺少收款人账号"_s + notInBook.arg(u"戊公司"_s) +
                       u" / 第5行，收款人开户银行列“”：缺少收款人开户银行"_s +
                       notInBook.arg(u"戊公司"_s),
                   u"第6行，收款人列“”：缺少收款人"_s};
    }
    // Through the real CSV reader, the book's lookup and the check: the slip's headings, the
    // amount in figure form, the date in figures, the book filling what a row leaves empty and
    // a row it cannot fill refused by its line.
    void aSlipListIsCheckedAgainstTheBook() {
        QFETCH(QString, csv);
        QFETCH(QStringList, outcome);
        TestDatabase t;
        fillTheBook(t.db);
        QString error;
        const std::optional<PaymentList> list =
            readCsvPaymentList(csv.toUtf8(), &error, depositSlip());
        QVERIFY2(list, qPrintable(error));
        const std::optional<QHash<QString, Payee>> book = listedPayees(t.db, *list, depositSlip());
        QVERIFY(book);
        const std::optional<PrintFormat> format =
            loadPrintFormat(t.db, u"标准进账单"_s, depositSlip());
        QVERIFY(format);
        RecordingSurface measure;
        const QList<PaymentCheque> slips =
            checkPaymentList(*list, baseSlip(), QDate(2026, 12, 8), *format, measure, *book);
        QStringList found;
        for (const PaymentCheque& slip : slips)
            found << (slip.problems.isEmpty() ? slipTexts(slip.cheque)
                                              : slip.problems.join(u" / "_s));
        QCOMPARE(found, outcome);
    }

    void slipsFromTheCommandLine_data() {
        QTest::addColumn<bool>("workbook");
        QTest::newRow("CSV") << false;
        QTest::newRow("xlsx") << true;
    }
    // batch --kind 进账单: a list with a row the book cannot fill prints nothing; the good list
    // prints every slip on a page of its own, every field inside its place, the drawer from the
    // last input, the payee's account and bank from the book where the row leaves them; three
    // slips journalled under the slip's job and kept in the slips' history.
    void slipsFromTheCommandLine() {
        QFETCH(bool, workbook);
        TestDatabase t;
        fillTheBook(t.db);
        Document last = baseSlip();
        last.setText(slipField(u"票据种类"), u"转账支票"_s);
        QVERIFY(saveLastInput(t.db, last));

        const QStringList headings = {u"收款人全称"_s, u"收款人账号"_s, u"收款人开户银行"_s,
                                      u"金额"_s, u"票据号码"_s};
        const QList<QStringList> rows = {
            {u"甲公司"_s, u"110011001"_s, u"工商银行北京分行"_s, u"1234.5"_s, u"10203040"_s},
            {u"北京乙科技有限公司"_s, {}, {}, u"88"_s, u"10203041"_s},
            {u"丙公司"_s, u"330099004"_s, u"招商银行"_s, u"0.5"_s, u"10203042"_s}};
        const auto writeList = [&](const QString& name, const QList<QStringList>& lines) {
            const QString path = t.dir.filePath(name + (workbook ? u".xlsx"_s : u".csv"_s));
            if (workbook) {
                lxw_workbook* book = workbook_new(path.toUtf8().constData());
                lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
                for (int c = 0; c < headings.size(); ++c)
                    worksheet_write_string(sheet, 0, lxw_col_t(c), headings[c].toUtf8().constData(),
                                           nullptr);
                for (int r = 0; r < lines.size(); ++r)
                    for (int c = 0; c < headings.size(); ++c) {
                        const auto row = lxw_row_t(r + 1);
                        const QString& cell = lines[r][c];
                        if (headings[c] == u"金额"_s)
                            worksheet_write_number(sheet, row, lxw_col_t(c), cell.toDouble(),
                                                   nullptr);
                        else if (!cell.isEmpty())
                            worksheet_write_string(sheet, row, lxw_col_t(c),
                                                   cell.toUtf8().constData(), nullptr);
                    }
                return workbook_close(book) == LXW_NO_ERROR ? path : QString();
            }
            QString csv = headings.join(u',') + u'\n';
            for (const QStringList& line : lines)
                csv += line.join(u',') + u'\n';
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(csv.toUtf8()) > 0 ? path
                                                                                   : QString();
        };
        const QString pdf = t.dir.filePath(u"slips.pdf"_s);
        const auto batch = [&](const QString& list) {
            return runProgram({u"batch"_s, list, u"--kind"_s, u"进账单"_s, u"--database"_s,
                               t.path(), u"--pdf"_s, pdf, u"--save"_s});
        };

        // A payee the book has not, without an account: nothing prints, nothing is journalled.
        const QString bad =
            writeList(u"bad"_s, rows + QList<QStringList>{{u"丁公司"_s, {}, {}, u"7"_s, u"1"_s}});
        QVERIFY(!bad.isEmpty());
        ProgramRun run = batch(bad);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(QString::fromUtf8(run.out),
                 u"第5行，收款人开户银行列“”：缺少收款人开户银行\n共4行，有问题的1行\n"_s);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 打印日志"_s).toInt(), 0);

        const QString good = writeList(u"good"_s, rows);
        QVERIFY(!good.isEmpty());
        run = batch(good);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(QString::fromUtf8(run.out), u"共 3 张进账单，合计 ￥1,323.00\n"_s);

        // Each page holds its slip's words and nothing else (no number of another slip): each
        // field's text inside the field's place, and the amount's ￥ and figures in their boxes.
        const QDate today = QDate::currentDate();
        const QStringList drawer = kDrawer.split(u'|');
        const QStringList fromBook = {u"110077002"_s, u"建设银行北京分行"_s};
        const QStringList capitals = {u"壹仟贰佰叁拾肆元伍角整"_s, u"捌拾捌元整"_s, u"伍角整"_s};
        const QStringList figures = {u"￥123450"_s, u"￥8800"_s, u"￥050"_s};
        QHash<QString, QRectF> placeOf;
        for (const ChequeGeometry::Place& place : ChequeGeometry::of(depositSlip()).places)
            placeOf.insert(place.field, place.rect);
        for (int page = 1; page <= 3; ++page) {
            const QList<std::pair<QString, QRectF>> words = pdfWords(pdf, page);
            const QStringList& row = rows[page - 1];
            const QList<std::pair<QString, QString>> fields = {
                {u"出票日期-年"_s, QString::number(today.year())},
                {u"出票日期-月"_s, QString::number(today.month())},
                {u"出票日期-日"_s, QString::number(today.day())},
                {u"出票人全称"_s, drawer[0]},
                {u"出票人账号"_s, drawer[1]},
                {u"出票人开户银行"_s, drawer[2]},
                {u"收款人全称"_s, row[0]},
                {u"收款人账号"_s, row[1].isEmpty() ? fromBook[0] : row[1]},
                {u"收款人开户银行"_s, row[2].isEmpty() ? fromBook[1] : row[2]},
                {u"大写金额"_s, capitals[page - 1]},
                {u"票据种类"_s, u"转账支票"_s},
                {u"票据张数"_s, u"1"_s},
                {u"票据号码"_s, row[4]}};
            QStringList expected;
            for (const QChar figure : figures[page - 1])
                expected << QString(figure);
            for (const auto& entry : fields) {
                const QString& field = entry.first;
                const QString& text = entry.second;
                expected << text;
                const QRectF place = placeOf.value(field);
                QVERIFY2(std::ranges::any_of(words,
                                             [&](const auto& word) {
                                                 return word.first == text &&
                                                        liesInside(word.second, place);
                                             }),
                         qPrintable(u"page %1: %2 not in %3"_s.arg(page).arg(text, field)));
            }
            QStringList printed;
            for (const auto& [word, box] : words)
                printed << word;
            printed.sort();
            expected.sort();
            QCOMPARE(printed, expected);
            QCOMPARE(wordsOutside(words, placeOf.values()), QStringList());
        }
        QVERIFY(pdfWords(pdf, 4).isEmpty());  // three pages, no more

        // Three slips journalled under the slip's job with their history rows, kept as slips.
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 打印日志 WHERE 种类='进账单' AND 结果='已打印' "
                          u"AND 历史ID IN (SELECT ID FROM 历史记录 WHERE 种类='进账单')"_s)
                     .toInt(),
                 3);
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 打印日志"_s).toInt(), 3);
        const ProgramRun history =
            runProgram({u"history"_s, u"--kind"_s, u"进账单"_s, u"--database"_s, t.path()});
        QCOMPARE(history.exitCode, 0);
        QStringList lines = QString::fromUtf8(history.out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        lines.removeFirst();
        for (QString& line : lines)
            line = line.section(u'\t', 4);
        lines.sort();
        const QString kept = drawer.join(u'\t') + u"\t%1\t%2\t%3\t%4\t转账支票\t1\t%5"_s;
        QCOMPARE(lines, (QStringList{kept.arg(u"丙公司"_s, u"330099004"_s, u"招商银行"_s,
                                              u"￥0.50"_s, u"10203042"_s),
                                     kept.arg(u"北京乙科技有限公司"_s, fromBook[0], fromBook[1],
                                              u"￥88.00"_s, u"10203041"_s),
                                     kept.arg(u"甲公司"_s, u"110011001"_s, u"工商银行北京分行"_s,
                                              u"￥1234.50"_s, u"10203040"_s)}));
    }
};

QTEST_MAIN(TestSlipBatch)
#include "tst_slipbatch.moc"
