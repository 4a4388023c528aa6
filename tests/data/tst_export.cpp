#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include "BoundGrid.h"
#include "ExportRows.h"
#include "GridExport.h"
#include "GridRoutines.h"
#include "ProgressIndicator.h"
#include "ReadBack.h"
#include "ScriptedPrompts.h"
#include "TestClock.h"
#include "WorkbookCheck.h"

using namespace Qt::StringLiterals;

namespace {

// Texts that CSV writers get wrong.
const QStringList kAwkward = {u"逗号,在中间"_s, u"引号\"在中间"_s, u"\""_s, u"  前导空格"_s,
                              u"普通中文"_s,    u"a,\"b\""_s,      u""_s,   u"多行\r\n文字"_s};

// A history-like grid: hidden field-name row and ID column, serial column, one awkward
// text per data row, and a hidden middle column.
BoundGrid makeGrid() {
    BoundGrid grid;
    SetUpGridColumns(grid, {u"ID"_s, u""_s, u"甲"_s, u"隐藏"_s, u"乙"_s},
                     {u"ID"_s, u"序号"_s, u"收款人△"_s, u"隐藏"_s, u"金额"_s});
    for (int i = 0; i < kAwkward.size(); ++i) {
        const int r = grid.appendRow();
        grid.setText(r, 0, QString::number(100 + i));
        grid.setText(r, 1, QString::number(i + 1));
        grid.setText(r, 2, kAwkward[i]);
        grid.setText(r, 3, u"不应导出"_s);
        grid.setText(r, 4, u"￥1,234.50"_s);
    }
    for (int c = 0; c < grid.cols(); ++c)
        grid.setColWidth(c, c == 0 || c == 3 ? 0 : 1000 + 123 * c);
    return grid;
}

// What makeGrid() shows, row by row: the headings (without the sort marker), then each row
// without its hidden columns.
QList<QStringList> shownTexts() {
    QList<QStringList> rows{{u"序号"_s, u"收款人"_s, u"金额"_s}};
    for (int i = 0; i < kAwkward.size(); ++i)
        rows << QStringList{QString::number(i + 1), kAwkward[i], u"￥1,234.50"_s};
    return rows;
}

// One row of an amount, a date and a text, as a history export hands them to the workbook.
class ValueRow final : public ExportRows {
public:
    ValueRow(const QString& amount, const QString& date)
        : m_row{amount, date, amount}, m_headings{u"金额"_s, u"打印时间"_s, u"用途"_s} {}
    const QStringList& headings() const override { return m_headings; }
    qint64 count() const override { return 1; }
    bool next(QStringList& texts) override {
        texts = m_row;
        m_row.clear();
        return !texts.isEmpty();
    }
    std::optional<std::vector<int>> columnWidths() const override {
        return std::vector<int>{3, 3, 3};
    }
    std::vector<ExportColumn> columnKinds() const override {
        return {ExportColumn::Amount, ExportColumn::Date, ExportColumn::Text};
    }

private:
    QStringList m_row;
    QStringList m_headings;
};

}  // namespace

class TestExport : public QObject {
    Q_OBJECT

private:
    const Clock m_clock = testClock();
    ProgressIndicator m_progress{m_clock};
    QTemporaryDir m_dir;

private slots:
    void csvFields_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("comma: enclosed, otherwise unchanged") << u"a,b"_s << u"\"a,b\""_s;
        QTest::newRow("quote: doubled and enclosed") << u"a\"b"_s << u"\"a\"\"b\""_s;
        QTest::newRow("a lone quote becomes four quotes") << u"\""_s << u"\"\"\"\""_s;
        QTest::newRow("leading blanks are no reason to quote") << u"  a"_s << u"  a"_s;
        QTest::newRow("a line break is quoted") << u"a\r\nb"_s << u"\"a\r\nb\""_s;
        QTest::newRow("a lone line feed is quoted") << u"a\nb"_s << u"\"a\nb\""_s;
        QTest::newRow("a formula opens as text") << u"=1+2"_s << u"'=1+2"_s;
        QTest::newRow("plus, minus and at open as text") << u"+1"_s << u"'+1"_s;
        QTest::newRow("minus sign") << u"-5"_s << u"'-5"_s;
        QTest::newRow("at sign") << u"@SUM(A1)"_s << u"'@SUM(A1)"_s;
        QTest::newRow("a leading tab") << u"\tx"_s << u"'\tx"_s;
        QTest::newRow("blanks before a formula are trimmed by a spreadsheet")
            << u" =1"_s << u"' =1"_s;
        QTest::newRow("an ideographic blank too") << u"\u3000+1"_s << u"'\u3000+1"_s;
        QTest::newRow("a leading carriage return: guarded, then quoted")
            << u"\r=1"_s << u"\"'\r=1\""_s;
        QTest::newRow("a formula behind a typed quote gets one more") << u"'=x"_s << u"''=x"_s;
        QTest::newRow("a typed quote before plain text stays alone") << u"'abc"_s << u"'abc"_s;
        QTest::newRow("a formula with a comma is guarded, then quoted")
            << u"=HYPERLINK(\"x\",1)"_s << u"\"'=HYPERLINK(\"\"x\"\",1)\""_s;
        QTest::newRow("an inner equals sign is plain text") << u"a=b"_s << u"a=b"_s;
        QTest::newRow("plain Chinese") << u"收款人"_s << u"收款人"_s;
    }
    void csvFields() {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QCOMPARE(csvField(text), field);
    }

    void csvReadsBackAsTheGridShowsIt() {
        const BoundGrid grid = makeGrid();
        const QString path = m_dir.filePath(u"grid.csv"_s);
        QVERIFY(ExportCsv(grid, path, m_progress));
        const QJsonObject json = readBack({u"csv"_s, path, u"utf-8"_s});
        QVERIFY(json[u"crlf"].toBool());
        QVERIFY(!json[u"bom"].toBool());
        // Every row reads back as one record, the one with a line break in a cell too.
        const QList<QStringList> rows = rowsOf(json);
        QCOMPARE(rows.first(), (QStringList{u"序号"_s, u"收款人"_s, u"金额"_s}));  // no sort marker
        QCOMPARE(rows, shownTexts());
        QCOMPARE(m_progress.state().percent, u"100%"_s);
    }

    void workbookReadsBackWithItsFormatting() {
        const BoundGrid grid = makeGrid();
        const QString path = m_dir.filePath(u"grid.xlsx"_s);
        ScriptedPrompts prompts;
        QVERIFY(ExportExcel(grid, path, u"Zentavo支票打印历史记录"_s, m_progress, prompts));
        QVERIFY(prompts.shown().empty());
        QVERIFY(!QFile::exists(path + u".partial"_s));
        QCOMPARE(m_progress.state().percent, u"100%"_s);
        const QJsonObject json = readBack({u"xlsx"_s, path});
        QCOMPARE(json[u"sheets"].toArray().size(), 1);
        QCOMPARE(json[u"sheets"][0].toString(), u"Zentavo支票打印历史记录"_s);
        QCOMPARE(rowsOf(json), shownTexts());
        const QJsonObject styles = json[u"styles"].toObject();
        const int rows = int(shownTexts().size());
        for (int r = 1; r <= rows; ++r) {
            for (const QString& col : {u"A"_s, u"B"_s, u"C"_s}) {
                const QJsonObject style = styles[col + QString::number(r)].toObject();
                QVERIFY2(style[u"border"].toBool(), qPrintable(col + QString::number(r)));
                QCOMPARE(style[u"bold"].toBool(), r == 1);
                QCOMPARE(style[u"fill"].toString(), r == 1 ? u"FFFFC080"_s : QString());
            }
        }
        // Widths: the grid's twips / 123, truncated (Excel stores a little padding on top).
        const QJsonObject widths = json[u"widths"].toObject();
        const int visibleCols[] = {1, 2, 4};
        for (int m = 1; m <= 3; ++m) {
            const int twips = grid.colWidth(visibleCols[m - 1]);
            QCOMPARE(int(widths[QString::number(m)].toDouble()), twips / 123);
        }
    }

    // An amount column holds a number shown as yuan where the text is an exact amount, and
    // the text as it was anywhere else; a date column a date (with its time when it has one)
    // where the text is a day a workbook holds. A column as narrow as three characters in the
    // grid is widened to what the number or the date shows. The text column keeps its text.
    void workbookValues_data() {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("amountCell");  // as read back: a number's value, or the text
        QTest::addColumn<QString>("dateCell");    // a date as yyyy-mm-dd [hh:mm], or the text
        // The widths in characters: "￥1,234.50" is ten wide (the sign two), plus two.
        QTest::addColumn<int>("amountWidth");
        QTest::addColumn<int>("dateWidth");
        QTest::newRow("an amount as kept, a day")
            << u"1234.50"_s << u"2026.12.08"_s << u"1234.5"_s << u"2026-12-08"_s << 12 << 12;
        QTest::newRow("an amount in the figure form, a day")
            << u"￥9516.11"_s << u"2026.12.08"_s << u"9516.11"_s << u"2026-12-08"_s << 12 << 12;
        QTest::newRow("an integer amount, a day and time")
            << u"12345678"_s << u"2026.12.08 10:30"_s << u"12345678"_s << u"2026-12-08 10:30"_s
            << 17 << 18;
        QTest::newRow("an old row's sign and separators, a stored date")
            << u"￥1,234.05"_s << u"2026-12-08"_s << u"1234.05"_s << u"2026-12-08"_s << 12 << 12;
        QTest::newRow("three decimals and no such day stay texts")
            << u"1.005"_s << u"2026.02.30"_s << u"1.005"_s << u"2026.02.30"_s << 3 << 3;
        QTest::newRow("nine integer digits and a day before 1900 stay texts")
            << u"123456789.00"_s << u"1899.12.31"_s << u"123456789.00"_s << u"1899.12.31"_s << 3
            << 3;
        QTest::newRow("separators out of place and words stay texts")
            << u"1,23.00"_s << u"十二月八日"_s << u"1,23.00"_s << u"十二月八日"_s << 3 << 3;
        QTest::newRow("a minus and an hour without minutes stay texts")
            << u"-5.00"_s << u"2026.12.08 10"_s << u"-5.00"_s << u"2026.12.08 10"_s << 3 << 3;
    }
    void workbookValues() {
        QFETCH(QString, amount);
        QFETCH(QString, date);
        QFETCH(QString, amountCell);
        QFETCH(QString, dateCell);
        QFETCH(int, amountWidth);
        QFETCH(int, dateWidth);
        ValueRow row(amount, date);
        const QString path = m_dir.filePath(u"values.xlsx"_s);
        ScriptedPrompts prompts;
        QVERIFY(ExportExcel(row, path, u"历史"_s, m_progress, prompts));
        const QJsonObject json = readBack({u"xlsx"_s, path});
        QCOMPARE(rowsOf(json), (QList<QStringList>{{u"金额"_s, u"打印时间"_s, u"用途"_s},
                                                   {amountCell, dateCell, amount}}));
        const QJsonObject styles = json[u"styles"].toObject();
        // A column widened from the grid's three characters holds a number or a date.
        const bool number = amountWidth > 3;
        const QString text = u"inlineStr"_s;
        QCOMPARE(styles[u"A2"][u"type"].toString(), number ? u"n"_s : text);
        QCOMPARE(styles[u"A2"][u"format"].toString(), number ? u"\"￥\"#,##0.00"_s : QString());
        const bool day = dateWidth > 3;
        QCOMPARE(styles[u"B2"][u"type"].toString(), day ? u"n"_s : text);
        QCOMPARE(styles[u"B2"][u"format"].toString(), !day                   ? QString()
                                                      : dateCell.size() > 10 ? u"yyyy-mm-dd hh:mm"_s
                                                                             : u"yyyy-mm-dd"_s);
        QCOMPARE(styles[u"C2"][u"type"].toString(), text);
        for (const QString& cell : {u"A2"_s, u"B2"_s, u"C2"_s})
            QVERIFY2(styles[cell][u"border"].toBool(), qPrintable(cell));
        const QJsonObject widths = json[u"widths"].toObject();
        QCOMPARE(int(widths[u"1"].toDouble()), amountWidth);
        QCOMPARE(int(widths[u"2"].toDouble()), dateWidth);
        QCOMPARE(int(widths[u"3"].toDouble()), 3);
    }

    // A cell too long for a workbook cell is cut (at 32,767 UTF-16 units, as the spreadsheet
    // counts, and never inside a character), the others stay whole, and the message counts the
    // cut cells.
    void longCellsAreCutAndCounted() {
        BoundGrid grid = makeGrid();
        const QString emoji = u"\U0001F600"_s;  // one character, two UTF-16 units
        const QString a(kMaxCellCharacters - 1, u'a');
        grid.setText(2, 2, QString(kMaxCellCharacters, u'长'));       // just fits
        grid.setText(3, 2, QString(kMaxCellCharacters + 10, u'长'));  // cut
        grid.setText(4, 2, a + emoji + emoji);                        // cut before the pair
        grid.setText(5, 2, a + u"e\u0301"_s);                         // cut before the é
        grid.setText(6, 2, a.chopped(1) + emoji);                     // just fits
        const QString path = m_dir.filePath(u"long.xlsx"_s);
        ScriptedPrompts prompts;
        QVERIFY(ExportExcel(grid, path, u"历史"_s, m_progress, prompts));
        QCOMPARE(prompts.shown().size(), size_t(1));
        QCOMPARE(prompts.shown()[0].text, u"有3个单元格的内容超过32767个字符，已截断。"_s);
        const QList<QStringList> rows = rowsOf(readBack({u"xlsx"_s, path}));
        QCOMPARE(rows[1][1], QString(kMaxCellCharacters, u'长'));
        QCOMPARE(rows[2][1], QString(kMaxCellCharacters, u'长'));
        QCOMPARE(rows[3][1], a);
        QCOMPARE(rows[4][1], a);
        QCOMPARE(rows[5][1], a.chopped(1) + emoji);
        QCOMPARE(rows[6][1], grid.text(7, 2));
    }

    void workbookFailureLeavesNoFile() {
        const BoundGrid grid = makeGrid();
        ScriptedPrompts prompts;
        const QString path = m_dir.filePath(u"没有的文件夹/grid.xlsx"_s);
        QVERIFY(!ExportExcel(grid, path, u"历史"_s, m_progress, prompts));
        QCOMPARE(prompts.shown().back().text, u"文件保存出错！"_s);
        QVERIFY(!QFile::exists(path));
        // A sheet name a workbook cannot hold fails the same way.
        const QString named = m_dir.filePath(u"named.xlsx"_s);
        QVERIFY(!ExportExcel(grid, named, u"a/b"_s, m_progress, prompts));
        QVERIFY(!QFile::exists(named) && !QFile::exists(named + u".partial"_s));
    }

    // The check reads each part in pieces: a sheet of many pieces passes whole, and fails when
    // its text was cut short, as does a small part.
    void workbookCheckFindsACutPart_data() {
        QTest::addColumn<QString>("part");  // the part cut short, none for the whole workbook
        QTest::addColumn<bool>("complete");
        QTest::newRow("whole") << QString() << true;
        QTest::newRow("sheet of many pieces cut") << u"xl/worksheets/sheet1.xml"_s << false;
        QTest::newRow("small part cut") << u"xl/styles.xml"_s << false;
    }
    void workbookCheckFindsACutPart() {
        QFETCH(QString, part);
        QFETCH(bool, complete);
        BoundGrid grid = makeGrid();
        for (int i = 0; i < 5000; ++i)  // a sheet text of many pieces of 64 KiB
            grid.setText(grid.appendRow(), 2, u"收款人"_s + QString::number(i));
        const QString path = m_dir.filePath(u"pieces.xlsx"_s);
        ScriptedPrompts prompts;
        QVERIFY(ExportExcel(grid, path, u"历史"_s, m_progress, prompts));
        // A copy of the archive with the part's text cut by a few bytes, packed again.
        const QString copy = m_dir.filePath(u"copy.xlsx"_s);
        QProcess python;
        python.start(u"python3"_s,
                     {u"-c"_s,
                      u"import sys, zipfile\n"
                      u"src = zipfile.ZipFile(sys.argv[1])\n"
                      u"dst = zipfile.ZipFile(sys.argv[2], 'w', zipfile.ZIP_DEFLATED)\n"
                      u"for info in src.infolist():\n"
                      u"    data = src.read(info)\n"
                      u"    dst.writestr(info.filename, data[:-9] if info.filename == sys.argv[3] "
                      u"else data)\n"
                      u"dst.close()\n"_s,
                      path, copy, part});
        QVERIFY(python.waitForFinished(60000) && python.exitCode() == 0);
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(isCompleteWorkbook(file), complete);
    }

    void columnLetters_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("letters");
        QTest::newRow("first") << 1 << u"A"_s;
        QTest::newRow("last single letter") << 26 << u"Z"_s;
        QTest::newRow("first double") << 27 << u"AA"_s;
        QTest::newRow("AZ") << 52 << u"AZ"_s;
        QTest::newRow("BA") << 53 << u"BA"_s;
        QTest::newRow("last double") << 702 << u"ZZ"_s;
        QTest::newRow("beyond two letters") << 703 << u"AAA"_s;
    }
    void columnLetters() {
        QFETCH(int, column);
        QFETCH(QString, letters);
        QCOMPARE(ColumnLetters(column), letters);
    }

    void exportAsksAndChoosesByName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("choice");       // of the dialog's file types: 0 CSV, 1 workbook
        QTest::addColumn<QString>("written");  // the file's name
        QTest::addColumn<bool>("csv");
        QTest::newRow("csv in upper case") << u"out.CSV"_s << 1 << u"out.CSV"_s << true;
        QTest::newRow("txt gives a workbook") << u"out.txt"_s << 0 << u"out.txt"_s << false;
        QTest::newRow("xlsx") << u"out.xlsx"_s << 0 << u"out.xlsx"_s << false;
        QTest::newRow("no ending, CSV chosen") << u"typed"_s << 0 << u"typed.csv"_s << true;
        QTest::newRow("no ending, workbook chosen") << u"typed"_s << 1 << u"typed.xlsx"_s << false;
    }
    void exportAsksAndChoosesByName() {
        QFETCH(QString, name);
        QFETCH(int, choice);
        QFETCH(QString, written);
        QFETCH(bool, csv);
        const QString path = m_dir.filePath(written);
        ScriptedPrompts prompts;
        prompts.queueText(m_dir.filePath(name));
        prompts.queueFilter(choice);
        QVERIFY(ExportGrid(makeGrid(), prompts, u"历史"_s, kTestNow.date(), m_progress));
        QCOMPARE(prompts.shown().size(), size_t(2));  // the dialog, then where the rows went
        QCOMPARE(prompts.shown()[0].kind, ScriptedPrompts::Kind::SaveFile);
        QCOMPARE(prompts.shown()[0].title, u"历史-20261208.xlsx"_s);  // the name proposed
        QCOMPARE(prompts.shown()[1].text, u"已导出 8 行到 "_s + QDir::toNativeSeparators(path));
        QCOMPARE(prompts.shown()[0].defaultText,
                 u"CSV (逗号分隔)(*.csv)|*.csv|MS Excel文件  (*.xlsx)|*.xlsx"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(2) == "PK", !csv);  // a workbook is a zip archive
    }

    void existingFileIsReplacedOnlyOnYes() {
        const QString path = m_dir.filePath(u"old.csv"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents\r\n");
        old.close();
        ScriptedPrompts prompts;
        prompts.queueText(path);  // answered No (nothing queued)
        QVERIFY(!ExportGrid(makeGrid(), prompts, u"历史"_s, kTestNow.date(), m_progress));
        QCOMPARE(prompts.shown().back().text, u"该文件已存在，是否覆盖？"_s);
        QCOMPARE(prompts.shown().back().buttons, PromptButtons::YesNo);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old contents\r\n"));  // byte for byte
        old.close();

        prompts.queueText(path);
        prompts.queueAnswer(PromptAnswer::Yes);
        QVERIFY(ExportGrid(makeGrid(), prompts, u"历史"_s, kTestNow.date(), m_progress));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QVERIFY(old.readAll().startsWith("序号,"_ba));
        QCOMPARE(QDir(m_dir.path()).entryList({u"old.csv*"_s}).size(), 1);  // nothing left aside
    }

    void failedReplacementPutsTheOldFileBack() {
        const QString path = m_dir.filePath(u"keep.xlsx"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old workbook");
        old.close();
        ScriptedPrompts prompts;
        prompts.queueText(path);
        prompts.queueAnswer(PromptAnswer::Yes);
        // A sheet name no workbook can hold makes the export fail after the question.
        QVERIFY(!ExportGrid(makeGrid(), prompts, u"[bad]"_s, kTestNow.date(), m_progress));
        QCOMPARE(prompts.shown().back().text, u"文件保存出错！"_s);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old workbook"));
    }

    void emptyGridOrCancelledDialog() {
        BoundGrid empty;
        SetUpGridColumns(empty, {u"ID"_s, u""_s}, {u"ID"_s, u"序号"_s});
        ScriptedPrompts prompts;
        QVERIFY(!ExportGrid(empty, prompts, u"历史"_s, kTestNow.date(), m_progress));
        QCOMPARE(prompts.shown().size(), size_t(1));  // no dialog
        QCOMPARE(prompts.shown()[0].text, u"表格中没有数据！"_s);
        prompts.clear();
        QVERIFY(
            !ExportGrid(makeGrid(), prompts, u"历史"_s, kTestNow.date(), m_progress));  // cancelled
        QCOMPARE(prompts.shown().size(), size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
