// Every row of a payment list checked before anything prints, on the recording surface.
#include <sys/resource.h>
#include <sys/stat.h>

#include <functional>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <xlsxwriter.h>
#include <zip.h>

#include "BatchPrint.h"
#include "Document.h"
#include "FieldInput.h"
#include "FormatStore.h"
#include "PaymentCheck.h"
#include "PaymentList.h"
#include "RecordingSurface.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

// The bytes of the workbook that `write` fills.
QByteArray workbookOf(const std::function<void(lxw_workbook*)>& write) {
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(u"list.xlsx"_s).toUtf8();
    lxw_workbook* book = workbook_new(path.constData());
    write(book);
    if (workbook_close(book) != LXW_NO_ERROR)
        return {};
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A sheet of one payment to 甲公司 of `amount`, in its second row.
lxw_worksheet* paymentSheet(lxw_workbook* book, const char* name, double amount) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, name);
    worksheet_write_string(sheet, 0, 0, "收款人", nullptr);
    worksheet_write_string(sheet, 0, 1, "金额", nullptr);
    worksheet_write_string(sheet, 1, 0, "甲公司", nullptr);
    worksheet_write_number(sheet, 1, 1, amount, nullptr);
    return sheet;
}

// A workbook of one payment to 甲公司 whose amount cell holds `amount` in the number format
// `format` (none: general), as a formula's cached result when `formula` is given.
QByteArray workbookPaying(double amount, const char* format, const char* formula = nullptr) {
    return workbookOf([&](lxw_workbook* book) {
        lxw_worksheet* sheet = paymentSheet(book, nullptr, 0);
        lxw_format* style = nullptr;
        if (format) {
            style = workbook_add_format(book);
            format_set_num_format(style, format);
        }
        if (formula)
            worksheet_write_formula_num(sheet, 1, 1, formula, style, amount);
        else
            worksheet_write_number(sheet, 1, 1, amount, style);
    });
}

// `workbook` with `from` replaced by `to` in its part `name`, which it stores unpacked.
QByteArray rewritten(const QByteArray& workbook, const char* name, const QByteArray& from,
                     const QByteArray& to) {
    QTemporaryDir dir;
    QFile file(dir.filePath(u"list.xlsx"_s));
    if (!file.open(QIODevice::WriteOnly) || file.write(workbook) != workbook.size())
        return {};
    file.close();
    zip_t* zip = zip_open(QFile::encodeName(file.fileName()).constData(), 0, nullptr);
    zip_stat_t stat;
    zip_file_t* part =
        zip && zip_stat(zip, name, 0, &stat) == 0 ? zip_fopen(zip, name, 0) : nullptr;
    if (!part)
        return {};
    QByteArray text(qsizetype(stat.size), Qt::Uninitialized);
    const bool read = zip_fread(part, text.data(), stat.size) == zip_int64_t(stat.size);
    zip_fclose(part);
    text.replace(from, to);
    const zip_int64_t added =
        read ? zip_file_add(zip, name,
                            zip_source_buffer(zip, text.constData(), zip_uint64_t(text.size()), 0),
                            ZIP_FL_OVERWRITE)
             : -1;
    if (added < 0 || zip_set_file_compression(zip, zip_uint64_t(added), ZIP_CM_STORE, 0) != 0 ||
        zip_close(zip) != 0 || !file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A workbook of `rows` payments to 甲公司 of 1 to `rows` yuan, each row with `strays` stray
// values in the last columns a sheet has (XFD and those left of it).
QByteArray workbookWithStrayValues(int rows, int strays) {
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(u"list.xlsx"_s).toUtf8();
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;  // the test itself stays small
    lxw_workbook* book = workbook_new_opt(path.constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    worksheet_write_string(sheet, 0, 0, "收款人", nullptr);
    worksheet_write_string(sheet, 0, 1, "金额", nullptr);
    for (lxw_row_t row = 1; row <= lxw_row_t(rows); ++row) {
        worksheet_write_string(sheet, row, 0, "甲公司", nullptr);
        worksheet_write_number(sheet, row, 1, row, nullptr);
        for (lxw_col_t column = 16384 - strays; column < 16384; ++column)
            worksheet_write_number(sheet, row, column, 1, nullptr);
    }
    if (workbook_close(book) != LXW_NO_ERROR)
        return {};
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The most memory the process has held so far, in bytes.
qint64 peakMemory() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

}  // namespace

class TestPaymentCheck : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    void datesInTheirForms_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("dashes") << u"2026-12-09"_s << QDate(2026, 12, 9);
        QTest::newRow("points") << u"2026.1.5"_s << QDate(2026, 1, 5);
        QTest::newRow("slashes") << u"2026/01/05"_s << QDate(2026, 1, 5);
        QTest::newRow("Chinese") << u"2026年1月5日"_s << QDate(2026, 1, 5);
        QTest::newRow("no real day") << u"2026-02-30"_s << QDate();
        QTest::newRow("words") << u"明天"_s << QDate();
    }
    void datesInTheirForms() {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(paymentDate(text), date);
    }

    void everyRowIsCheckedBeforeAnythingPrints() {
        TestDatabase t;
        const QByteArray csv =
            u"收款人,金额,用途,出票日期,收款人(票根)\n"
            u"甲公司,1234.5,货款,2026年12月9日,\n"
            u"乙公司,123456789,货款,,\n"
            u"丙公司,10,货款,2026-02-30,\n"
            u",10,货款,,\n"
            u"丁公司,10,货款,,一二三四五六七八九十十一\n"
            u"戊公司戊公司戊公司戊公司戊公司戊公司戊公司,10,,,\n"
            u"己公司,10,货款,,𠮷野家Foods公司\n"_s.toUtf8();
        QString error;
        const std::optional<PaymentList> list = readCsvPaymentList(csv, &error);
        QVERIFY(list);
        Document base;
        base.setText(Field::Bank, u"工商银行"_s);
        RecordingSurface measure;
        const QList<PaymentCheque> cheques = checkPaymentList(
            *list, base, QDate(2026, 12, 8), loadPrintFormat(t.db, u"标准支票"_s).value(), measure);
        QCOMPARE(cheques.size(), 7);

        // The good row: typed as a user types, the capitals and the stub follow.
        const Document& good = cheques[0].cheque;
        QVERIFY2(cheques[0].problems.isEmpty(), qPrintable(cheques[0].problems.join(u'\n')));
        QCOMPARE(good.text(Field::Amount), u"￥1234.50"_s);
        QCOMPARE(good.text(Field::AmountInCapitals), u"壹仟贰佰叁拾肆元伍角整"_s);
        QCOMPARE(good.text(Field::StubPayee), u"甲公司"_s);
        QCOMPARE(good.text(Field::Day) + good.text(Field::StubDay), u"零玖9"_s);
        QCOMPARE(good.text(Field::Bank), u"工商银行"_s);  // from the base cheque

        QStringList problems;
        for (const PaymentCheque& cheque : cheques)
            problems << cheque.problems.join(u" / "_s);
        QCOMPARE(problems[1], u"第3行，金额列“123456789”：整数超过八位"_s);
        QCOMPARE(problems[2], u"第4行，出票日期列“2026-02-30”：日期填写错误"_s);
        QCOMPARE(problems[3], u"第5行，收款人列“”：缺少收款人"_s);
        QCOMPARE(problems[4], u"第6行，收款人(票根)列“一二三四五六七八九十十一”：超过10个字"_s);
        const QString stubTooSmall =
            u"“戊公司戊公司戊公司戊公司戊公司戊公司戊公司”：票根的收款人栏放不下，"
            u"可缩小票根字号或取消‘连同票根一起打印’"_s;
        QVERIFY2(problems[5].startsWith(u"第7行，票身-收款人列"_s) &&
                     problems[5].endsWith(u"：超出支票栏位 / 第7行，收款人"_s + stubTooSmall),
                 qPrintable(problems[5]));
        QCOMPARE(problems[6], QString());  // 𠮷 is one character of the ten, not two
        QCOMPARE(cheques[1].cheque.text(Field::Day), u"零捌"_s);  // no date: today
        QVERIFY(measure.texts().empty());                         // nothing was printed
        // Every problem of a row, in the order of its columns: a missing payee before a wrong
        // amount and date; a payee too long for its blank beside a wrong date.
        const std::optional<PaymentList> more = readCsvPaymentList(
            u"收款人,金额,用途,出票日期\n"
            u",abc,货款,2026-02-30\n"
            u"戊公司戊公司戊公司戊公司戊公司戊公司戊公司,10,货款,2026-02-30\n"_s.toUtf8(),
            &error);
        QVERIFY(more);
        const QList<PaymentCheque> checked = checkPaymentList(
            *more, base, QDate(2026, 12, 8), loadPrintFormat(t.db, u"标准支票"_s).value(), measure);
        QCOMPARE(checked[0].problems,
                 (QStringList{u"第2行，收款人列“”：缺少收款人"_s,
                              u"第2行，金额列“abc”：不是有效的金额"_s,
                              u"第2行，出票日期列“2026-02-30”：日期填写错误"_s}));
        QCOMPARE(checked[1].problems.size(), 3);
        QVERIFY2(checked[1].problems[0].startsWith(u"第3行，票身-收款人列"_s) &&
                     checked[1].problems[0].endsWith(u"：超出支票栏位"_s),
                 qPrintable(checked[1].problems[0]));
        QCOMPARE(checked[1].problems[1], u"第3行，收款人"_s + stubTooSmall);
        QCOMPARE(checked[1].problems[2], u"第3行，出票日期列“2026-02-30”：日期填写错误"_s);
    }

    // With the stub printed, what the body repeats on it (payee, amount, purpose) must fit the
    // stub's smaller blanks: a row that does not is named by the body's cell, with the blank
    // and the way out, not by a stub column the list does not have. A stub cell of the row's
    // own is named as any other cell; without the stub nothing of it is checked.
    void whatTheStubRepeatsMustFitIt_data() {
        QTest::addColumn<QString>("csv");
        QTest::addColumn<bool>("stub");
        QTest::addColumn<double>("stubPoints");  // the stub's font size; 0: as it is
        QTest::addColumn<QStringList>("problems");
        const QString company = u"北京示例科技发展有限公司"_s;  // twelve characters
        const QString way = u"可缩小票根字号或取消‘连同票根一起打印’"_s;
        const QString payees = u"收款人,金额\n%1,100\n"_s.arg(company);
        QTest::newRow("a payee")
            << payees << true << 0.0
            << QStringList{u"第2行，收款人“%1”：票根的收款人栏放不下，%2"_s.arg(company, way)};
        QTest::newRow("the same payee without the stub") << payees << false << 0.0 << QStringList();
        QTest::newRow("the same payee in a smaller stub font")
            << payees << true << 9.0 << QStringList();
        QTest::newRow("a purpose, under another heading")
            << u"收款人全称,金额,用途\n甲公司,100,%1\n"_s.arg(company) << true << 0.0
            << QStringList{u"第2行，用途“%1”：票根的用途栏放不下，%2"_s.arg(company, way)};
        QTest::newRow("an amount in a large stub font")
            << u"收款人,金额\n甲公司,1234567.5\n"_s << true << 24.0
            << QStringList{u"第2行，金额“1234567.5”：票根的金额栏放不下，%1"_s.arg(way)};
        QTest::newRow("a stub payee of the row's own")
            << u"收款人,金额,收款人(票根)\n甲公司,100,北京示例科技发展公司\n"_s << true << 0.0
            << QStringList{u"第2行，票根-收款人列“北京示例科技发展公司”：超出支票栏位"_s};
        QTest::newRow("a short stub payee of the row's own for a long payee")
            << u"收款人,金额,收款人(票根)\n%1,100,示例科技\n"_s.arg(company) << true << 0.0
            << QStringList();
        const QString longer = company + company;
        QTest::newRow("a payee too long for the body as well")
            << u"金额,收款人\n100,%1\n"_s.arg(longer) << true << 0.0
            << QStringList{u"第2行，票身-收款人列“%1”：超出支票栏位"_s.arg(longer),
                           u"第2行，收款人“%1”：票根的收款人栏放不下，%2"_s.arg(longer, way)};
    }
    void whatTheStubRepeatsMustFitIt() {
        QFETCH(QString, csv);
        QFETCH(bool, stub);
        QFETCH(double, stubPoints);
        QFETCH(QStringList, problems);
        TestDatabase t;
        QString error;
        const std::optional<PaymentList> list = readCsvPaymentList(csv.toUtf8(), &error);
        QVERIFY2(list, qPrintable(error));
        Document base;
        base.setChk(Switch::PrintStub, stub ? 1 : 0);
        for (const int field : {Field::StubPayee, Field::StubAmount, Field::StubPurpose}) {
            TextFont font = base.font(field);
            font.size = stubPoints > 0 ? stubPoints : font.size;
            base.setFont(field, font);
        }
        RecordingSurface measure;
        const QList<PaymentCheque> cheques = checkPaymentList(
            *list, base, QDate(2026, 12, 8), loadPrintFormat(t.db, u"标准支票"_s).value(), measure);
        QCOMPARE(cheques.size(), 1);
        QCOMPARE(cheques[0].problems, problems);
    }

    // Lists as people and spreadsheets really make them. What a row prints is exactly what its
    // cell holds and shows, or the row is named with the reason: an amount is never cut.
    void hostileLists_data() {
        // /dev/zero, NAME.fifo, NAME/ (a folder), NAME.sparse (20 MB and a byte of holes) or a file
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");  // the file's
        QTest::addColumn<QString>("outcome");   // the last row's amount, its problems or the error
        auto csv = [](const QString& amount) {
            return (u"收款人,金额\n甲公司,\""_s + amount + u"\"\n"_s).toUtf8();
        };
        const struct {
            const char* name;
            QString amount;
            QString outcome;
        } amounts[] = {
            {"a word", u"FIRST"_s, u"不是有效的金额"_s},
            {"zero", u"0"_s, u"金额必须大于零"_s},
            {"zero fen", u"0.00"_s, u"金额必须大于零"_s},
            {"in capitals", u"壹仟元"_s, u"不是有效的金额"_s},
            {"a letter O", u"1O00"_s, u"不是有效的金额"_s},
            {"hexadecimal", u"0x10"_s, u"不是有效的金额"_s},
            {"two points", u"1.2.3"_s, u"不是有效的金额"_s},
            {"three decimals", u"12.345"_s, u"小数超过两位"_s},
            {"nine integer digits", u"123456789"_s, u"整数超过八位"_s},
            {"negative", u"-5"_s, u"不是有效的金额"_s},
            {"an exponent", u"1e3"_s, u"不是有效的金额"_s},
            {"separators out of their groups", u"1,23,456"_s, u"不是有效的金额"_s},
            {"ten thousand as 万", u"1万"_s, u"不是有效的金额"_s},
            {"a decimal comma", u"12.345,67"_s, u"不是有效的金额"_s},
            {"separators and the yuan sign", u" ￥1,234.5 "_s, u"￥1234.50"_s},
            {"a blank after the yuan sign", u"￥ 1234.56"_s, u"￥1234.56"_s},
            {"a leading point", u".5"_s, u"￥0.50"_s},
            {"a trailing point", u"12."_s, u"￥12.00"_s},
            {"full-width digits", u"¥１２３４５６７８．９"_s, u"￥12345678.90"_s},
            {"one fen", u"0.01"_s, u"￥0.01"_s},
        };
        for (const auto& [name, amount, outcome] : amounts)
            QTest::newRow(name) << u"list.csv"_s << csv(amount)
                                << (outcome.startsWith(u'￥')
                                        ? outcome
                                        : u"第2行，金额列“"_s + amount + u"”："_s + outcome);
        // A spreadsheet shows a value with a line break in one row.
        QTest::newRow("a line break inside a value")
            << u"list.csv"_s
            << u"收款人,用途,金额\n乙公司,\"第一行\n第二行\",100\n甲公司,货款,0\n"_s.toUtf8()
            << u"第3行，金额列“0”：金额必须大于零"_s;
        // The capitals always print from the figures: a column of them must say the same.
        QTest::newRow("capitals that match the amount")
            << u"list.csv"_s
            << u"收款人,金额,大写金额\n甲公司,1234.5,壹仟贰佰叁拾肆元伍角整\n"_s.toUtf8()
            << u"￥1234.50"_s;
        QTest::newRow("capitals of another amount")
            << u"list.csv"_s << u"收款人,金额,大写金额\n甲公司,12345.67,捌仟捌佰元整\n"_s.toUtf8()
            << u"第2行，大写金额列“捌仟捌佰元整”：与小写金额￥12345.67的大写"
               u"（壹万贰仟叁佰肆拾伍元陆角柒分）不符"_s;
        QTest::newRow("capitals in the first column, beside a missing payee")
            << u"list.csv"_s << u"大写金额,收款人,金额\n壹元整,,100\n"_s.toUtf8()
            << u"第2行，大写金额列“壹元整”：与小写金额￥100.00的大写（壹佰元整）不符 / "
               u"第2行，收款人列“”：缺少收款人"_s;
        QTest::newRow("capitals beside an amount that is none")
            << u"list.csv"_s << u"收款人,金额,大写金额\n甲公司,1234.567,壹仟元整\n"_s.toUtf8()
            << u"第2行，金额列“1234.567”：小数超过两位"_s;
        // What the history could not keep as it is never prints.
        QTest::newRow("a noncharacter in the capitals")
            << u"list.csv"_s << u"收款人,金额,大写金额\n甲公司,100,壹佰元整\uFDD0\n"_s.toUtf8()
            << u"第2行，大写金额列“壹佰元整\uFDD0”：含有无法保存的字符（U+FDD0）"_s;
        QTest::newRow("a noncharacter of another plane in the payee")
            << u"list.csv"_s << u"收款人,金额\n甲公司\U0010FFFF,100\n"_s.toUtf8()
            << u"第2行，收款人列“甲公司\U0010FFFF”：含有无法保存的字符（U+10FFFF）"_s;
        QTest::newRow("a number shown with two decimals")
            << u"list.xlsx"_s << workbookPaying(1234.5, "#,##0.00") << u"￥1234.50"_s;
        QTest::newRow("more decimals than the format shows")
            << u"list.xlsx"_s << workbookPaying(1234.567, "#,##0.00")
            << u"第2行，金额列“1234.567”：单元格只显示2位小数"_s;
        QTest::newRow("cents the format hides")
            << u"list.xlsx"_s << workbookPaying(1234.56, "#,##0")
            << u"第2行，金额列“1234.56”：单元格只显示0位小数"_s;
        QTest::newRow("three decimals in the general format")
            << u"list.xlsx"_s << workbookPaying(12.345, nullptr)
            << u"第2行，金额列“12.345”：小数超过两位"_s;
        QTest::newRow("a formula as the sheet computes it")
            << u"list.xlsx"_s << workbookPaying(112.99999999999999, "0.00", "=100*1.13")
            << u"￥113.00"_s;
        // What prints is what a reviewer sees in the workbook: the first visible sheet, and no
        // hidden row.
        QTest::newRow("a hidden first sheet") << u"list.xlsx"_s << workbookOf([](lxw_workbook* b) {
            worksheet_hide(paymentSheet(b, "Sheet1", 50000));
            worksheet_activate(paymentSheet(b, "清单", 100));
        }) << u"￥100.00"_s;
        QTest::newRow("only a very hidden sheet")  // which Excel shows in no list of sheets
            << u"list.xlsx"_s
            << rewritten(workbookPaying(100, nullptr), "xl/workbook.xml", R"(sheetId="1")",
                         R"(sheetId="1" state="veryHidden")")
            << u"Excel工作簿没有可见的工作表"_s;
        lxw_row_col_options hidden{.hidden = 1, .level = 0, .collapsed = 0};
        const QByteArray hiddenRow = workbookOf([&](lxw_workbook* b) {
            worksheet_set_row_opt(paymentSheet(b, nullptr, 100), 1, LXW_DEF_ROW_HEIGHT, nullptr,
                                  &hidden);
        });
        QTest::newRow("a hidden row")
            << u"list.xlsx"_s << hiddenRow << u"第2行：该行在表格中被隐藏"_s;
        QTest::newRow("a row of no height")
            << u"list.xlsx"_s
            << rewritten(hiddenRow, "xl/worksheets/sheet1.xml", R"(hidden="1")",
                         R"(ht="0" customHeight="1")")
            << u"第2行：该行在表格中被隐藏"_s;
        QTest::newRow("a row too low to read")
            << u"list.xlsx"_s
            << rewritten(hiddenRow, "xl/worksheets/sheet1.xml", R"(hidden="1")",
                         R"(ht="1" customHeight="1")")
            << u"第2行：该行在表格中被隐藏"_s;
        // A sheet a spreadsheet would call damaged is not read on.
        QTest::newRow("rows out of order")
            << u"list.xlsx"_s
            << rewritten(workbookPaying(100, nullptr), "xl/worksheets/sheet1.xml", R"(<row r="2")",
                         R"(<row r="1")")
            << u"Excel工作簿已损坏：xl/worksheets/sheet1.xml"_s;
        QTest::newRow("a part changed after it was packed")  // its checksum no longer matches
            << u"list.xlsx"_s
            << rewritten(workbookPaying(100, nullptr), "xl/worksheets/sheet1.xml", "", "")
                   .replace("<v>100</v>", "<v>900</v>")
            << u"Excel工作簿已损坏：xl/worksheets/sheet1.xml"_s;
        QTest::newRow("rows hidden unless given a height")
            << u"list.xlsx"_s
            << rewritten(workbookPaying(100, nullptr), "xl/worksheets/sheet1.xml",
                         R"(<sheetFormatPr defaultRowHeight="15"/>)",
                         R"(<sheetFormatPr defaultRowHeight="15" zeroHeight="1"/>)")
            << u"标题行（第1行）在表格中被隐藏"_s;
        QTest::newRow("a hidden payee column beside a visible one")
            << u"list.xlsx"_s << workbookOf([&](lxw_workbook* b) {
                   lxw_worksheet* sheet = paymentSheet(b, nullptr, 100);
                   worksheet_write_string(sheet, 0, 2, "收款单位", nullptr);
                   worksheet_write_string(sheet, 1, 2, "乙公司", nullptr);
                   worksheet_set_column_opt(sheet, 0, 0, LXW_DEF_COL_WIDTH, nullptr, &hidden);
               })
            << u"“收款人”列在表格中被隐藏"_s;
        QTest::newRow("an amount whose format shows nothing")
            << u"list.xlsx"_s << workbookPaying(100, ";;;")
            << u"第2行，金额列“100”：单元格的格式使内容不显示"_s;
        QTest::newRow("a hidden heading row") << u"list.xlsx"_s << workbookOf([&](lxw_workbook* b) {
            worksheet_set_row_opt(paymentSheet(b, nullptr, 100), 0, LXW_DEF_ROW_HEIGHT, nullptr,
                                  &hidden);
        }) << u"标题行（第1行）在表格中被隐藏"_s;
        // Two parts of one name, the second sheet's renamed where the zip names it (its local
        // header and the central directory): which one a reader takes would be left to chance.
        const QByteArray twoSheets = workbookOf([](lxw_workbook* b) {
            paymentSheet(b, nullptr, 100);
            worksheet_hide(paymentSheet(b, nullptr, 50000));
        });
        QTest::newRow("two parts of one name")
            << u"list.xlsx"_s
            << QByteArray(twoSheets).replace("xl/worksheets/sheet2.xml", "xl/worksheets/sheet1.xml")
            << u"Excel工作簿已损坏：xl/worksheets/sheet1.xml重名"_s;
        QTest::newRow("two parts whose names differ in case")
            << u"list.xlsx"_s
            << QByteArray(twoSheets).replace("xl/worksheets/sheet2.xml", "XL/Worksheets/SHEET1.xml")
            << u"Excel工作簿已损坏：XL/Worksheets/SHEET1.xml重名"_s;
        QTest::newRow("two columns for the amount")
            << u"list.csv"_s << u"收款人,金额,用途,小写金额\n甲公司,100,货款,100\n"_s.toUtf8()
            << u"标题“金额”和“小写金额”填的是同一栏，只能保留一列"_s;
        QTest::newRow("two columns for the payee")
            << u"list.csv"_s << u"收款人,金额,收款人全称\n甲公司,100,甲公司\n"_s.toUtf8()
            << u"标题“收款人”和“收款人全称”填的是同一栏，只能保留一列"_s;
        // A few kilobytes must not fill the memory, however far to the right a value stands.
        QTest::newRow("a value in the last column of every row")
            << u"list.xlsx"_s << workbookWithStrayValues(2000, 1) << u"￥2000.00"_s;
        QTest::newRow("a sheet that unpacks to 30 MB")
            << u"list.xlsx"_s << workbookWithStrayValues(4000, 300) << u"￥4000.00"_s;
        QByteArray tenThousandRows = u"收款人,金额\n"_s.toUtf8();
        for (int row = 1; row <= 10001; ++row)
            tenThousandRows += u"甲公司,%1\n"_s.arg(row).toUtf8();
        QTest::newRow("more than 10000 rows")
            << u"list.csv"_s << tenThousandRows << u"付款行太多（超过10000行）"_s;
        QTest::newRow("a file over 20 MB")
            << u"list.sparse"_s << QByteArray() << u"无法读取文件FILE：文件太大（超过20MB）"_s;
        const QString notAFile = u"无法读取文件FILE：这不是普通文件"_s;
        QTest::newRow("a device") << u"/dev/zero"_s << QByteArray() << notAFile;
        QTest::newRow("a pipe") << u"list.fifo"_s << QByteArray() << notAFile;
        QTest::newRow("a folder") << u"list.csv/"_s << QByteArray() << notAFile;
    }
    void hostileLists() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, outcome);
        TestDatabase t;
        QTemporaryDir dir;
        const QString path = name.startsWith(u'/') ? name : dir.filePath(name);
        if (name.endsWith(u".fifo"_s)) {
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        } else if (name.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(path));
        } else if (name.endsWith(u".sparse"_s)) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(20 * 1024 * 1024 + 1));
        } else if (!bytes.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        // Reading and checking any list here takes a few megabytes at most, whatever its file.
        const qint64 peakBefore = peakMemory();
        QString error;
        const std::optional<PaymentList> list = readPaymentListFile(path, &error);
        QList<PaymentCheque> cheques;
        if (list) {
            RecordingSurface measure;
            cheques = checkPaymentList(*list, Document(), QDate(2026, 12, 8),
                                       loadPrintFormat(t.db, u"标准支票"_s).value(), measure);
        }
        const qint64 grown = peakMemory() - peakBefore;
#ifndef __SANITIZE_ADDRESS__  // the sanitizer's own bookkeeping grows with every allocation
        QVERIFY2(grown < 64 * 1024 * 1024, qPrintable(u"%1 MB"_s.arg(grown >> 20)));
#else
        Q_UNUSED(grown);
#endif
        if (!list) {
            QCOMPARE(error, QString(outcome).replace(u"FILE"_s, path));
            return;
        }
        QVERIFY(!cheques.isEmpty());
        const PaymentCheque& last = cheques.back();
        QCOMPARE(last.problems.isEmpty() ? last.cheque.text(Field::Amount)
                                         : last.problems.join(u" / "_s),
                 outcome);
    }

    // A password belongs to one cheque: a row has its own or none, while the account, the bank
    // and the stub's signatures still come from the window's cheque unless the row gives them.
    void aRowTakesThePasswordOnlyFromItsOwnColumn_data() {
        QTest::addColumn<QString>("csv");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("bank");
        QTest::addColumn<QString>("inherited");
        const QString all =
            u"各行沿用：账号 6222001\u3000银行 工商银行\u3000主管 张三\u3000会计 （空）"_s;
        QTest::newRow("no password column")
            << u"收款人,金额\n甲公司,100\n"_s << QString() << u"6222001"_s << u"工商银行"_s << all;
        QTest::newRow("blank password cell") << u"收款人,金额,密码\n甲公司,100,\" \"\n"_s
                                             << QString() << u"6222001"_s << u"工商银行"_s << all;
        QTest::newRow("own password") << u"收款人,金额,密码\n甲公司,100,4711\n"_s << u"4711"_s
                                      << u"6222001"_s << u"工商银行"_s << all;
        QTest::newRow("own account and bank")
            << u"收款人,金额,账号,银行,密码,主管\n甲公司,100,9558,建设银行,,李四\n"_s << QString()
            << u"9558"_s << u"建设银行"_s << u"各行沿用：会计 （空）"_s;
        QTest::newRow("one row of two gives its account")
            << u"收款人,金额,账号\n甲公司,100,9558\n乙公司,200,\n"_s << QString() << u"9558"_s
            << u"工商银行"_s << all;
    }
    void aRowTakesThePasswordOnlyFromItsOwnColumn() {
        QFETCH(QString, csv);
        QFETCH(QString, password);
        QFETCH(QString, account);
        QFETCH(QString, bank);
        QFETCH(QString, inherited);
        TestDatabase t;
        QString error;
        const std::optional<PaymentList> list = readCsvPaymentList(csv.toUtf8(), &error);
        QVERIFY2(list, qPrintable(error));
        Document base;
        base.setText(Field::Password, u"123456"_s);
        base.setText(Field::Account, u"6222001"_s);
        base.setText(Field::Bank, u"工商银行"_s);
        base.setText(Field::Supervisor, u"张三"_s);
        RecordingSurface measure;
        const QList<PaymentCheque> cheques = checkPaymentList(
            *list, base, QDate(2026, 12, 8), loadPrintFormat(t.db, u"标准支票"_s).value(), measure);
        QVERIFY(!cheques.isEmpty());
        QVERIFY2(cheques[0].problems.isEmpty(), qPrintable(cheques[0].problems.join(u'\n')));
        for (const PaymentCheque& row : cheques)
            QVERIFY(row.cheque.text(Field::Password) != base.text(Field::Password));
        QCOMPARE(cheques[0].cheque.text(Field::Password), password);
        QCOMPARE(cheques[0].cheque.text(Field::Account), account);
        QCOMPARE(cheques[0].cheque.text(Field::Bank), bank);
        QCOMPARE(inheritedValuesLine(*list, cheques), inherited);
    }

    void aBatchPrintsAsOneDocumentOrNotAtAll() {
        TestDatabase t;
        QList<Document> cheques(3);
        const QString amounts[] = {u"￥99999999.99"_s, u"￥0.10"_s, u"￥1234.56"_s};
        for (int k = 0; k < 3; ++k) {
            cheques[k].setText(Field::Payee, u"收款人%1"_s.arg(k));
            cheques[k].setText(Field::Amount, amounts[k]);
        }
        QCOMPARE(batchSummary(cheques), u"共 3 张支票，合计 ￥100,001,234.65"_s);

        auto count = [](const RecordingSurface& surface, RecordingSurface::Kind kind) {
            return std::count_if(surface.calls.begin(), surface.calls.end(),
                                 [&](const auto& call) { return call.kind == kind; });
        };
        RecordingSurface printer;
        QList<int> drawn;
        QVERIFY(printChequeBatch(printer, cheques, loadPrintFormat(t.db, u"标准支票"_s).value(),
                                 [&](int page) { drawn << page; }));
        QCOMPARE(drawn, (QList<int>{1, 2, 3}));
        QCOMPARE(count(printer, RecordingSurface::Kind::NewPage), 2);
        QCOMPARE(count(printer, RecordingSurface::Kind::End), 1);
        QVERIFY(printer.drawnText().contains(u"收款人2"_s));

        // The printer fails on the second page: the whole job is thrown away.
        RecordingSurface failing;
        failing.failAfterTexts = int(printer.texts().size()) / 2;
        drawn.clear();
        QVERIFY(!printChequeBatch(failing, cheques, loadPrintFormat(t.db, u"标准支票"_s).value(),
                                  [&](int page) { drawn << page; }));
        QCOMPARE(drawn, QList<int>{1});
        QCOMPARE(count(failing, RecordingSurface::Kind::End), 0);
        QCOMPARE(failing.calls.back().kind, RecordingSurface::Kind::Abandon);
    }
};

QTEST_GUILESS_MAIN(TestPaymentCheck)
#include "tst_paymentcheck.moc"
