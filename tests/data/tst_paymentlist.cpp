// Payment lists for batch printing, read from CSV files and Excel workbooks as spreadsheets and
// people write them.
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <xlsxwriter.h>
#include <zip.h>

#include "ChequeFields.h"
#include "PaymentList.h"
#include "XlsxPaymentList.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray gb18030(const QString& text) {
    QStringEncoder encode("GB18030");
    return encode(text);
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A list's rows, each one's cells joined by "|" after its line: "57:甲|100".
QStringList rowsOf(const PaymentList& list) {
    QStringList rows;
    for (const PaymentList::Row& row : list.rows)
        rows << QString::number(row.line) + u':' + row.cells.join(u'|');
    return rows;
}

// A payment list as libxlsxwriter writes it: shared strings, numbers typed as numbers and as
// text, dates in two formats, a line break, an empty row and a last row at row 57.
QByteArray libxlsxwriterList() {
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(u"list.xlsx"_s).toUtf8();
    lxw_workbook* book = workbook_new(path.constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "付款清单");
    lxw_format* isoDate = workbook_add_format(book);
    format_set_num_format(isoDate, "yyyy-mm-dd");
    lxw_format* chineseDate = workbook_add_format(book);
    format_set_num_format(chineseDate, "yyyy\"年\"m\"月\"d\"日\"");
    const char* headings[] = {"收款人", "金额", "用途", "出票日期"};
    for (lxw_col_t column = 0; column < 4; ++column)
        worksheet_write_string(sheet, 0, column, headings[column], nullptr);
    lxw_datetime afternoon = {2026, 12, 9, 15, 30, 0};
    lxw_datetime newYear = {2027, 1, 5, 0, 0, 0};
    worksheet_write_string(sheet, 1, 0, "甲公司", nullptr);
    worksheet_write_number(sheet, 1, 1, 1234.56, nullptr);
    worksheet_write_string(sheet, 1, 2, "货款\r\n第二批", nullptr);
    worksheet_write_datetime(sheet, 1, 3, &afternoon, isoDate);
    worksheet_write_blank(sheet, 2, 5, isoDate);  // an empty but formatted cell
    worksheet_write_string(sheet, 3, 0, "乙公司", nullptr);
    worksheet_write_string(sheet, 3, 1, "1500.00", nullptr);
    worksheet_write_datetime(sheet, 3, 3, &newYear, chineseDate);
    worksheet_write_string(sheet, 4, 0, "丙公司", nullptr);
    worksheet_write_number(sheet, 4, 1, 1500, nullptr);
    worksheet_write_string(sheet, 4, 2, "服务费", nullptr);
    worksheet_write_string(sheet, 56, 0, "丁公司", nullptr);
    worksheet_write_number(sheet, 56, 1, 123456789.5, nullptr);
    worksheet_write_string(sheet, 56, 3, "2026-02-30", nullptr);
    return workbook_close(book) == LXW_NO_ERROR ? contentsOf(QString::fromUtf8(path))
                                                : QByteArray();
}

using Parts = QList<std::pair<QString, QByteArray>>;

// A zip archive of the parts, in order.
QByteArray zipOf(const Parts& parts) {
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(u"parts.zip"_s).toUtf8();
    int error = 0;
    zip_t* zip = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, bytes] : parts)
        zip_file_add(zip, name.toUtf8().constData(),
                     zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0),
                     ZIP_FL_ENC_UTF_8);
    return zip && zip_close(zip) == 0 ? contentsOf(QString::fromUtf8(path)) : QByteArray();
}

QByteArray worksheet(const QByteArray& rows) {
    return R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
           "<sheetData>" +
           rows + "</sheetData></worksheet>";
}

// A workbook made by hand: its sheets named in `sheets` (<sheet> elements), `relationships`
// (<Relationship> elements) and its other parts.
QByteArray handMadeWorkbook(const QByteArray& sheets, const QByteArray& relationships,
                            Parts parts) {
    parts.prepend(
        {u"xl/_rels/workbook.xml.rels"_s,
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" +
             relationships + "</Relationships>"});
    parts.prepend(
        {u"xl/workbook.xml"_s,
         R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
         R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
         "<sheets>" +
             sheets + "</sheets></workbook>"});
    return zipOf(parts);
}

// A workbook of one sheet, xl/worksheets/sheet1.xml, with these rows and shared strings.
QByteArray oneSheetWorkbook(const QByteArray& rows, const QByteArray& sharedStrings = {}) {
    const QByteArray strings = "<sst>" + sharedStrings + "</sst>";
    return handMadeWorkbook(
        R"(<sheet name="1" sheetId="1" r:id="rId1"/>)",
        R"(<Relationship Id="rId1" Type="x/worksheet" Target="worksheets/sheet1.xml"/>)"
        R"(<Relationship Id="rId2" Type="x/sharedStrings" Target="sharedStrings.xml"/>)",
        {{u"xl/worksheets/sheet1.xml"_s, worksheet(rows)}, {u"xl/sharedStrings.xml"_s, strings}});
}

}  // namespace

class TestPaymentList : public QObject {
    Q_OBJECT

private slots:
    void readingCsv_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<QStringList>("cells");  // every row's cells joined by "|"
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QStringList>("unknown");
        const QList<int> payeeAmount = {Field::Payee, Field::Amount};
        QTest::newRow("UTF-8 with a byte-order mark")
            << ("\xEF\xBB\xBF"_ba + u"收款人,金额\r\n甲公司,100\r\n"_s.toUtf8())
            << QStringList{u"收款人"_s, u"金额"_s} << payeeAmount << QStringList{u"甲公司|100"_s}
            << QList<int>{2} << QStringList{};
        QTest::newRow("GB18030 from a Chinese Windows")
            << gb18030(u"收款人全称,金额\r\n乙公司,200.5\r\n"_s)
            << QStringList{u"收款人全称"_s, u"金额"_s} << payeeAmount
            << QStringList{u"乙公司|200.5"_s} << QList<int>{2} << QStringList{};
        QTest::newRow("quotes, commas and a line break inside a value")
            << u"收款人,用途\n\"甲,乙\"\"公司\",\"第一行\r\n第二行\"\n丙,货款\n"_s.toUtf8()
            << QStringList{u"收款人"_s, u"用途"_s} << QList<int>{Field::Payee, Field::Purpose}
            << QStringList{u"甲,乙\"公司|第一行\r\n第二行"_s, u"丙|货款"_s} << QList<int>{2, 3}
            << QStringList{};
        QTest::newRow("blank lines and rows skipped, short rows filled")
            << u"\n,,\n票身-收款人,小写金额,出票日期\n\n丁\n,,\n戊,5,2026-12-09"_s.toUtf8()
            << QStringList{u"票身-收款人"_s, u"小写金额"_s, u"出票日期"_s}
            << QList<int>{Field::Payee, Field::Amount, PaymentList::kIssueDate}
            << QStringList{u"丁||"_s, u"戊|5|2026-12-09"_s} << QList<int>{5, 7} << QStringList{};
        QTest::newRow("unknown headings are reported")
            << u"收款人,备注,金额\n甲,随便,1\n"_s.toUtf8()
            << QStringList{u"收款人"_s, u"备注"_s, u"金额"_s}
            << QList<int>{Field::Payee, PaymentList::kUnknown, Field::Amount}
            << QStringList{u"甲|随便|1"_s} << QList<int>{2} << QStringList{u"备注"_s};
        // The history's export puts a "'" before a value a spreadsheet would run; under its
        // headings the quote is taken back, but not one that was typed, and not in a list
        // typed by hand under the fields' identifiers.
        QTest::newRow("the export's guarding quote is taken back under its headings")
            << u"收款人,用途(票根),账号\n'+1+1,''=x,'abc\n"_s.toUtf8()
            << QStringList{u"收款人"_s, u"用途(票根)"_s, u"账号"_s}
            << QList<int>{Field::Payee, Field::StubPurpose, Field::Account}
            << QStringList{u"+1+1|'=x|'abc"_s} << QList<int>{2} << QStringList{};
        QTest::newRow("a list typed under the identifiers keeps its quotes")
            << u"票身-收款人,票身-用途\n'+1+1,'=x\n"_s.toUtf8()
            << QStringList{u"票身-收款人"_s, u"票身-用途"_s}
            << QList<int>{Field::Payee, Field::Purpose} << QStringList{u"'+1+1|'=x"_s}
            << QList<int>{2} << QStringList{};
        QTest::newRow("cells beyond the headings belong to no column")
            << u"收款人,金额\n甲,1,多余\n"_s.toUtf8() << QStringList{u"收款人"_s, u"金额"_s}
            << payeeAmount << QStringList{u"甲|1"_s} << QList<int>{2} << QStringList{};
    }
    void readingCsv() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, headings);
        QFETCH(QList<int>, columns);
        QFETCH(QStringList, cells);
        QFETCH(QList<int>, lines);
        QFETCH(QStringList, unknown);
        QString error;
        const std::optional<PaymentList> list = readCsvPaymentList(bytes, &error);
        QVERIFY2(list, qPrintable(error));
        QCOMPARE(list->headings, headings);
        QCOMPARE(list->columns, columns);
        QCOMPARE(list->unknownHeadings, unknown);
        QStringList rows;
        QList<int> starts;
        for (const PaymentList::Row& row : list->rows) {
            rows << row.cells.join(u'|');
            starts << row.line;
        }
        QCOMPARE(rows, cells);
        QCOMPARE(starts, lines);
    }

    void filesThatCannotBeRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << u"文件中没有标题行"_s;
        QTest::newRow("only blank lines") << "\r\n,\r\n"_ba << u"文件中没有标题行"_s;
        QTest::newRow("a quote never closed")
            << u"收款人\n甲\n\"乙\n丙"_s.toUtf8() << u"第3行的引号没有结束"_s;
        // Every row is made as wide as the headings: a small file must not fill the memory.
        QTest::newRow("a stray heading far to the right")
            << (u"收款人,金额"_s + QString(300, u',') + u"x\n甲,1\n"_s).toUtf8()
            << u"标题行的列太多（超过256列）"_s;
    }
    void filesThatCannotBeRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QString reason;
        QVERIFY(!readCsvPaymentList(bytes, &reason));
        QCOMPARE(reason, error);
    }

    void readingWorkbooks_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<QStringList>("rows");
        const QStringList fourHeadings = {u"收款人"_s, u"金额"_s, u"用途"_s, u"出票日期"_s};
        QTest::newRow("written by libxlsxwriter")
            << libxlsxwriterList() << fourHeadings
            << QStringList{u"2:甲公司|1234.56|货款\r\n第二批|2026-12-09"_s,
                           u"4:乙公司|1500.00||2027-01-05"_s, u"5:丙公司|1500|服务费|"_s,
                           u"57:丁公司|123456789.5||2026-02-30"_s};
        QTest::newRow("written by openpyxl, days counted from 1904")
            << contentsOf(QStringLiteral(OPENPYXL_LIST))
            << QStringList{u"收款人全称"_s, u"金额"_s, u"用途"_s, u"出票日期"_s, u"备注"_s}
            << QStringList{u"2:甲公司|1234.56|货款|2026-12-09|"_s,
                           u"3:乙公司|1500.00||2027-01-05|加急"_s,
                           u"5:丙公司|0.3|服务费|2026-12-31|TRUE"_s};
        // What Excel writes and neither library does: the first sheet stored as sheet2, rich
        // text with phonetic guides, formula results (an amount as the sheet shows it), rows and
        // cells without their numbers, a time format, an escaped carriage return and a date typed
        // as a date. An escaped underscore before an escape-like text shows that text, and so
        // does one split between two runs: each run's text is unescaped on its own.
        const QByteArray styles =
            R"(<styleSheet><numFmts><numFmt numFmtId="164" formatCode="[h]:mm"/></numFmts>)"
            R"(<cellStyleXfs><xf numFmtId="14"/></cellStyleXfs>)"
            R"(<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/></cellXfs>)"
            "</styleSheet>";
        const QByteArray strings =
            R"(<sst><si><t>收款人</t></si><si><r><t>金</t></r><r><rPr><b/></rPr><t>额</t></r>)"
            R"(<rPh sb="0" eb="1"><t>jin</t></rPh></si><si><t xml:space="preserve">己公司</t></si></sst>)";
        const QByteArray rows =
            R"(<row r="3"><c r="A3" t="s"><v>0</v></c><c r="B3" t="s"><v>1</v></c>)"
            R"(<c r="C3" t="inlineStr"><is><t>用途</t></is></c><c r="D3" t="str"><f>"出票"&amp;"日期"</f><v>出票日期</v></c></row>)"
            R"(<row><c t="s"><v>2</v></c><c><f>100*1.13</f><v>112.99999999999999</v></c><c t="inlineStr"><is><r><t>办公_x00</t></r><r><t>41_用品_x005F_x0041_</t></r></is></c>)"
            R"(<c s="1"><v>46000.25</v></c></row>)"
            R"(<row r="7"><c r="A7" t="inlineStr"><is><t>戊_x000D_公司</t></is></c><c r="B7" s="2"><v>0.75</v></c>)"
            R"(<c r="C7" t="b"><v>0</v></c><c r="D7" t="d"><v>2026-12-09T00:00:00</v></c></row>)";
        QTest::newRow("written by hand")
            << handMadeWorkbook(
                   R"(<sheet name="清单" sheetId="1" r:id="rId7"/><sheet name="说明" sheetId="2" r:id="rId1"/>)",
                   R"(<Relationship Id="rId1" Type="x/worksheet" Target="/xl/worksheets/sheet1.xml"/>)"
                   R"(<Relationship Id="rId7" Type="x/worksheet" Target="worksheets/sheet2.xml"/>)"
                   R"(<Relationship Id="rId8" Type="x/sharedStrings" Target="sharedStrings.xml"/>)"
                   R"(<Relationship Id="rId9" Type="x/styles" Target="styles.xml"/>)",
                   {{u"xl/worksheets/sheet1.xml"_s,
                     worksheet("<row><c t=\"inlineStr\"><is><t>说明</t></is></c></row>")},
                    {u"xl/worksheets/sheet2.xml"_s, worksheet(rows)},
                    {u"xl/sharedStrings.xml"_s, strings},
                    {u"xl/styles.xml"_s, styles}})
            << fourHeadings
            << QStringList{u"4:己公司|113|办公_x0041_用品_x0041_|2025-12-09"_s,
                           u"7:戊\r公司|0.75|FALSE|2026-12-09"_s};
    }
    void readingWorkbooks() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, headings);
        QFETCH(QStringList, rows);
        QString error;
        const std::optional<PaymentList> list = readXlsxPaymentList(bytes, &error);
        QVERIFY2(list, qPrintable(error));
        QCOMPARE(list->headings, headings);
        QCOMPARE(rowsOf(*list), rows);
    }

    void workbooksThatCannotBeRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QString notWorkbook = u"不是有效的Excel工作簿（.xlsx）文件"_s;
        const QString brokenSheet = u"Excel工作簿已损坏：xl/worksheets/sheet1.xml"_s;
        QByteArray noise(4096, Qt::Uninitialized);
        QRandomGenerator(57).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        const QByteArray workbook = libxlsxwriterList();
        QTest::newRow("random bytes") << noise << notWorkbook;
        QTest::newRow("the first half of a workbook")
            << workbook.left(workbook.size() / 2) << notWorkbook;
        QTest::newRow("a zip without the workbook")
            << zipOf({{u"xl/worksheets/sheet1.xml"_s, worksheet({})}})
            << u"Excel工作簿已损坏：xl/workbook.xml"_s;
        QTest::newRow("a sheet that is no XML")
            << oneSheetWorkbook(R"(<row r="1"><c r="A1"><v>1</c></row>)") << brokenSheet;
        QTest::newRow("a shared string that is not there")
            << oneSheetWorkbook(R"(<row r="2"><c r="B2" t="s"><v>1</v></c></row>)",
                                "<si><t>收款人</t></si>")
            << u"Excel工作簿已损坏：单元格B2"_s;
        QTest::newRow("a column past XFD")
            << oneSheetWorkbook(R"(<row r="1"><c r="XFE1"><v>1</v></c></row>)")
            << u"Excel工作簿已损坏：单元格XFE1"_s;
        QTest::newRow("a row past 1048576")
            << oneSheetWorkbook(R"(<row><c r="A1048577"><v>1</v></c></row>)")
            << u"Excel工作簿已损坏：单元格A1048577"_s;
        QTest::newRow("more rows than a sheet has")
            << oneSheetWorkbook(QByteArray(R"(<row r="1"/>)").repeated(1048577)) << brokenSheet;
        QTest::newRow("a sheet of over 100 MB")
            << oneSheetWorkbook(QByteArray(100 * 1024 * 1024, ' ')) << brokenSheet;
        QTest::newRow("an empty sheet") << oneSheetWorkbook({}) << u"文件中没有标题行"_s;
    }
    void workbooksThatCannotBeRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QString reason;
        QVERIFY(!readXlsxPaymentList(bytes, &reason));
        QCOMPARE(reason, error);
    }

    // The reader is chosen by the file's first bytes, then by its name.
    void readingFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");  // none: the file is not there
        QTest::addColumn<QString>("outcome");   // the first heading, or the error
        const QByteArray workbook = libxlsxwriterList();
        QTest::newRow("CSV") << u"list.csv"_s << u"收款人全称,金额\n甲,1\n"_s.toUtf8()
                             << u"收款人全称"_s;
        QTest::newRow("a workbook") << u"list.XLSX"_s << workbook << u"收款人"_s;
        QTest::newRow("a workbook named .csv") << u"list.csv"_s << workbook << u"收款人"_s;
        QTest::newRow("text named .xlsx")
            << u"list.xlsx"_s << "a,b\n"_ba << u"不是有效的Excel工作簿（.xlsx）文件"_s;
        QTest::newRow("an old Excel file") << u"list.xls"_s << "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"_ba
                                           << u"不支持旧版Excel（.xls）文件，请另存为.xlsx或CSV"_s;
        QTest::newRow("a missing file") << u"gone.xlsx"_s << QByteArray() << u"无法读取文件"_s;
    }
    void readingFiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, outcome);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QFile file(path);
        QVERIFY(bytes.isNull() ||
                (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()));
        file.close();
        QString error;
        const std::optional<PaymentList> list = readPaymentListFile(path, &error);
        if (list)
            QCOMPARE(list->headings.value(0), outcome);
        else if (bytes.isNull())
            QVERIFY2(error.startsWith(outcome + path + u"："_s), qPrintable(error));
        else
            QCOMPARE(error, outcome);
    }
};

QTEST_APPLESS_MAIN(TestPaymentList)
#include "tst_paymentlist.moc"
