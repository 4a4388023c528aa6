#include <QFontMetricsF>
#include <QGuiApplication>
#include <QTest>

#include "BoundGrid.h"
#include "GridRoutines.h"
#include "HistoryGrid.h"
#include "HistoryList.h"
#include "HistoryRows.h"
#include "ProgressIndicator.h"
#include "TestClock.h"
#include "TestDatabase.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

// 100 twips per character: widths that the arithmetic of fitting can be checked against.
class LengthMeasure final : public TextMeasure {
public:
    double widthTwips(const QString& text) override { return 100.0 * text.size(); }
};

class CountingDisplay final : public ProgressDisplay {
public:
    int shown = 0;
    void showProgress(const ProgressState&) override { ++shown; }
    void updateProgress(const ProgressState&) override {}
    void closeProgress() override {}
};

// A bound grid with columns ID, serial and the given ones, and one data row per entry.
BoundGrid makeGrid(const QStringList& headings, const QList<QStringList>& rows) {
    BoundGrid grid;
    SetUpGridColumns(grid, QStringList{u"ID"_s, u""_s} + headings,
                     QStringList{u"ID"_s, u"序号"_s} + headings);
    for (const QStringList& row : rows) {
        const int r = grid.rows();
        grid.setRows(r + 1);
        grid.setText(r, 0, QString::number(100 + r));
        grid.setText(r, 1, QString::number(r - 1));
        for (int c = 0; c < row.size(); ++c)
            grid.setText(r, c + 2, row[c]);
    }
    return grid;
}

QStringList column(const BoundGrid& grid, int col) {
    QStringList texts;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        texts << grid.text(r, col);
    return texts;
}

}  // namespace

class TestGridRoutines : public QObject {
    Q_OBJECT

private:
    LengthMeasure m_measure;
    const Clock m_clock = testClock();
    CountingDisplay m_display;
    ProgressIndicator m_progress{m_clock, &m_display};
    GridTools tools() { return {m_measure, m_progress}; }

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        installChineseFontSubstitutes();
    }

    void setUpLaysOutTheFixedRowsAndColumns() {
        BoundGrid grid = makeGrid({u"收款人"_s}, {});
        QCOMPARE(grid.rows(), 2);
        QCOMPARE(grid.fixedRows(), 2);
        QCOMPARE(grid.fixedCols(), 2);
        QCOMPARE(grid.colWidth(0), 0);
        QCOMPARE(grid.rowHeight(0), 0);
        QVERIFY(grid.rowHeight(1) > 0);
        QCOMPARE(grid.text(1, 2), u"收款人"_s);
        SetUpGridColumns(grid, {u"a"_s}, {u"a"_s, u"b"_s});  // lists of different lengths
        QCOMPARE(grid.cols(), 3);
    }

    void fittingFollowsTheWidestText() {
        BoundGrid grid = makeGrid({u"空"_s, u"宽"_s, u"很宽"_s, u"末"_s},
                                  {{u""_s, QString(30, u'x'), QString(80, u'y'), u"z"_s}});
        grid.setText(1, 2, QString());  // a column whose heading and cells are all empty
        grid.setWidth(12000);
        FitColumnWidths(grid, 1, true, tools());
        QCOMPARE(grid.colWidth(0), 0);     // hidden ID column stays hidden
        QCOMPARE(grid.colWidth(1), 300);   // "序号" 200 + 100
        QCOMPARE(grid.colWidth(2), 50);    // empty column
        QCOMPARE(grid.colWidth(3), 3100);  // widest text 3000 + 100
        QCOMPARE(grid.colWidth(4), 6000);  // 8100 cut to half the grid's width
        // The last column takes up the rest: 12000 - 400 - (300 + 50 + 3100 + 6000).
        QCOMPARE(grid.colWidth(5), 2150);
        QCOMPARE(m_display.shown, 0);  // no progress for a small grid
    }

    void progressOnlyAboveTwoHundredRows() {
        BoundGrid grid = makeGrid({u"a"_s}, QList<QStringList>(201, {u"1"_s}));
        m_display.shown = 0;
        FitColumnWidths(grid, 1, false, tools());
        QCOMPARE(m_display.shown, 0);
        FitColumnWidths(grid, 1, true, tools());
        QCOMPARE(m_display.shown, 1);
        QCOMPARE(m_progress.state().counts, u"(3/3)"_s);
    }

    void fontMeasureAgreesWithQt() {
        const QFont font = historyGridFont();
        FontTextMeasure measure(font);
        QImage device(1, 1, QImage::Format_ARGB32);
        device.setDotsPerMeterX(qRound(1440 / 0.0254));
        device.setDotsPerMeterY(qRound(1440 / 0.0254));
        const QFontMetricsF metrics(font, &device);
        for (const QString& text : {u"北京示例科技有限公司"_s, u"￥1234.50"_s, u"2009.05.19"_s,
                                    u"ABC Trading Co., Ltd."_s, u"附加信息(票根)"_s, u""_s}) {
            QVERIFY2(qAbs(measure.widthTwips(text) - metrics.horizontalAdvance(text)) < 1.0,
                     qPrintable(text));
            QVERIFY(text.isEmpty() || measure.widthTwips(text) > 0);
        }
    }

    void headingClicksToggleTheSortMarker() {
        BoundGrid grid = makeGrid({u"金额"_s, u"收款人"_s},
                                  {{u"9"_s, u"乙"_s}, {u"10"_s, u"甲"_s}, {u"-2.5"_s, u"丙"_s}});
        SortGridByColumn(grid, 2);
        QCOMPARE(grid.text(1, 2), u"金额△"_s);
        QCOMPARE(column(grid, 2), (QStringList{u"-2.5"_s, u"9"_s, u"10"_s}));    // as numbers
        QCOMPARE(column(grid, 1), (QStringList{u"1"_s, u"2"_s, u"3"_s}));        // renumbered
        QCOMPARE(column(grid, 0), (QStringList{u"104"_s, u"102"_s, u"103"_s}));  // rows moved whole
        grid.setText(3, 1, u"x"_s);  // a serial column out of order is written again
        SortGridByColumn(grid, 2);
        QCOMPARE(grid.text(1, 2), u"金额▽"_s);
        QCOMPARE(column(grid, 1), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
        QCOMPARE(column(grid, 2), (QStringList{u"10"_s, u"9"_s, u"-2.5"_s}));
        SortGridByColumn(grid, 2);
        QCOMPARE(grid.text(1, 2), u"金额△"_s);
        SortGridByColumn(grid, 3);
        QCOMPARE(grid.text(1, 2), u"金额"_s);  // the other heading loses its marker
        QCOMPARE(grid.text(1, 3), u"收款人△"_s);
        QCOMPARE(grid.currentCol(), 3);
    }

    void sortFollowsTheGridsRules_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("ascending");
        QTest::newRow("dates are texts") << QStringList{u"2010.01.02"_s, u"2009.12.31"_s}
                                         << QStringList{u"2009.12.31"_s, u"2010.01.02"_s};
        QTest::newRow("amounts in figure form are numbers")
            << QStringList{u"￥100.00"_s, u"￥1,234.50"_s, u"￥3.50"_s, u"￥20.00"_s}
            << QStringList{u"￥3.50"_s, u"￥20.00"_s, u"￥100.00"_s, u"￥1,234.50"_s};
        QTest::newRow("19-digit account numbers compare by every digit")
            << QStringList{u"6222021001123456789"_s, u"6222021001123456781"_s,
                           u"6222021001123456785"_s}
            << QStringList{u"6222021001123456781"_s, u"6222021001123456785"_s,
                           u"6222021001123456789"_s};
        QTest::newRow("long negatives and decimals, exactly; equal numbers keep their order")
            << QStringList{u"-9007199254740993"_s,
                           u"0.10"_s,
                           u"-9007199254740992"_s,
                           u"0.1"_s,
                           u"-0"_s,
                           u"0"_s,
                           u"12345678901234567.5"_s,
                           u"12345678901234567.25"_s}
            << QStringList{u"-9007199254740993"_s,
                           u"-9007199254740992"_s,
                           u"-0"_s,
                           u"0"_s,
                           u"0.10"_s,
                           u"0.1"_s,
                           u"12345678901234567.25"_s,
                           u"12345678901234567.5"_s};
        QTest::newRow("numbers come before texts in a mixed column")
            << QStringList{u"1a"_s, u"10"_s, u""_s, u"2"_s, u"-x"_s, u""_s, u"9"_s}
            << QStringList{u"2"_s, u"9"_s, u"10"_s, u""_s, u""_s, u"-x"_s, u"1a"_s};
        QTest::newRow("blanks around a number") << QStringList{u" 30 "_s, u"4"_s,
                                                               u"\u3000"
                                                               "3\u00a0"_s}
                                                << QStringList{
                                                       u"\u3000"
                                                       "3\u00a0"_s,
                                                       u"4"_s, u" 30 "_s};
        QTest::newRow("exponents are exact, absurd ones too")
            << QStringList{u"1e20"_s,
                           u"99999999999999999999"_s,
                           u"1E+20"_s,
                           u"1.5e-3"_s,
                           u"0.0015"_s,
                           u"1e99999999999999999999"_s,
                           u"-1e99999999999999999999"_s}
            << QStringList{u"-1e99999999999999999999"_s, u"1.5e-3"_s, u"0.0015"_s,
                           u"99999999999999999999"_s,    u"1e20"_s,   u"1E+20"_s,
                           u"1e99999999999999999999"_s};
        QTest::newRow("figure-form amounts with blanks and separators")
            << QStringList{u"￥ 1,000.00"_s, u"¥999.99"_s, u"￥abc"_s, u"￥-5"_s, u"￥"_s}
            << QStringList{u"￥-5"_s, u"¥999.99"_s, u"￥ 1,000.00"_s, u"￥"_s, u"￥abc"_s};
        QTest::newRow("texts by their characters' code points")
            << QStringList{u"😀"_s, u"Ａ"_s, u"乙"_s, u"甲"_s, u"a"_s, u"A"_s}
            << QStringList{u"A"_s, u"a"_s, u"乙"_s, u"甲"_s, u"Ａ"_s, u"😀"_s};
    }
    void sortFollowsTheGridsRules() {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, ascending);
        QList<QStringList> rows;
        for (const QString& text : texts)
            rows << QStringList{text};
        BoundGrid grid = makeGrid({u"a"_s}, rows);
        SortGridByColumn(grid, 2);
        QCOMPARE(column(grid, 2), ascending);

        // The database sorts the history the same way, both ways round, whether it reads the
        // rows in order or the history grid lists their IDs (the payee through its own index,
        // the purpose by keys made here); equal texts in the order they were kept, or the
        // other way round.
        TestDatabase t;
        for (const QString& text : texts)
            QVERIFY(t.db.execute(
                u"INSERT INTO 历史记录 (Dat, 收款人全称, 用途) VALUES ('2026-12-08', ?, ?)"_s,
                {text, text}));
        HistoryList list(t.db);
        for (const QString& name : {u"收款人全称"_s, u"用途"_s}) {
            const int column = int(historyGridNames().indexOf(name));
            for (const bool descending : {false, true}) {
                HistoryRowReader reader(t.db, HistoryOrder{column, descending});
                QStringList read, listed, row;
                while (reader.next(row))
                    read << row[column];
                QVERIFY(list.sortBy(column));
                for (int r = 0; r < list.count(); ++r)
                    listed << list.text(r, column);
                QStringList expected = ascending;
                if (descending)
                    std::reverse(expected.begin(), expected.end());
                QCOMPARE(read, expected);
                QCOMPARE(listed, expected);
            }
        }
    }

    void headerPressesFitSortOrDoNothing() {
        BoundGrid grid = makeGrid({u"甲"_s, u"乙"_s}, {{u"2"_s, u"b"_s}, {u"1"_s, u"a"_s}});
        for (int c = 0; c < grid.cols(); ++c)
            grid.setColWidth(c, c == 0 ? 0 : 1000);
        const auto press = [&](double x, double y) {
            GridHeaderMouseDown(gridHeader(grid), x, y, gridHeaderActions(grid, tools()));
        };
        press(1500, 400);  // below the header
        QCOMPARE(grid.text(1, 2), u"甲"_s);
        press(500, 100);  // above the serial column: refit only
        QCOMPARE(grid.text(1, 2), u"甲"_s);
        QCOMPARE(grid.colWidth(1), 300);
        press(grid.colWidth(1) + grid.colWidth(2) + 10, 100);  // just inside column 3
        QCOMPARE(grid.text(1, 3), u"乙△"_s);
        QCOMPARE(headingMiddle(gridHeader(grid), 3),
                 grid.colWidth(1) + grid.colWidth(2) + grid.colWidth(3) / 2.0);
        QCOMPARE(column(grid, 3), (QStringList{u"a"_s, u"b"_s}));
    }

    void removingRowsMovesTextsOnly() {
        BoundGrid grid =
            makeGrid({u"a"_s}, {{u"r1"_s}, {u"r2"_s}, {u"r3"_s}, {u"r4"_s}, {u"r5"_s}});
        quint32 red = 255;
        SetCellColor(grid, 4, 2, red, false);
        RemoveGridRows(grid, 5, 4);  // grid rows 4 and 5 = data rows 3 and 4
        QCOMPARE(column(grid, 2), (QStringList{u"r1"_s, u"r2"_s, u"r5"_s}));
        QCOMPARE(column(grid, 1), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
        QCOMPARE(GetCellColor(grid, 4, 2, false), red);  // colours stay where they were
    }

    void blackIsStoredAsNearBlack() {
        BoundGrid grid = makeGrid({u"a"_s}, {{u"x"_s}, {u"y"_s}});
        quint32 black = 0;
        SetCellColor(grid, 2, 2, black, true);
        QCOMPARE(black, kNearBlack);
        QCOMPARE(grid.cell(2, 2).foreColor, kNearBlack);
        QCOMPARE(GetCellColor(grid, 2, 2, true), quint32(0));
        SetAllForeColor(grid, 255);
        QCOMPARE(grid.cell(3, 2).foreColor, quint32(255));
        QCOMPARE(grid.cell(1, 2).foreColor, quint32(0));  // header rows untouched
        SetRowForeColor(grid, 2, 0x00ff00);
        QCOMPARE(GetCellColor(grid, 2, 0, true), quint32(0x00ff00));
        int first = 7, last = 3;
        OrderPair(first, last);
        QCOMPARE(first, 3);
        QCOMPARE(last, 7);
    }

    void fillingShowsDatesYesNoAndColours() {
        TestDatabase t;
        QVERIFY(
            t.db.execute(u"CREATE TABLE 样本 (ID INTEGER PRIMARY KEY, Dat DATE, 名称 TEXT, "
                         u"数 double precision, 是 BOOLEAN, Color bigint)"_s));
        QVERIFY(t.db.execute(u"INSERT INTO 样本 VALUES (1, '2009-05-19', 'a', 12.5, TRUE, 0)"_s));
        QVERIFY(t.db.execute(u"INSERT INTO 样本 VALUES (2, NULL, NULL, 3, FALSE, 255)"_s));
        // A file may hold a date that is none; a server's date column refuses it.
        QVERIFY(t.db.execute(u"INSERT INTO 样本 VALUES (3, %1, '', NULL, NULL, NULL)"_s.arg(
            onTestServer() ? u"NULL"_s : u"'kaputt'"_s)));
        BoundGrid grid;
        SetUpGridColumns(
            grid, {u"ID"_s, u""_s, u"Dat"_s, u"名称"_s, u"数"_s, u"是"_s, u"Color"_s, u"缺"_s},
            {u"ID"_s, u"序号"_s, u"日期"_s, u"名称"_s, u"数"_s, u"是"_s, u"颜色"_s, u"缺"_s});
        grid.setTag(u"样本"_s);
        FillGrid(grid, t.db, u"ID<?"_s, {10}, u"ID DESC"_s, tools());
        QCOMPARE(grid.rows(), 5);
        QCOMPARE(column(grid, 0), (QStringList{u"3"_s, u"2"_s, u"1"_s}));
        QCOMPARE(column(grid, 1), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
        QCOMPARE(column(grid, 2), (QStringList{u""_s, u""_s, u"2009.05.19"_s}));
        QCOMPARE(column(grid, 4), (QStringList{u""_s, u"3"_s, u"12.5"_s}));
        QCOMPARE(column(grid, 5), (QStringList{u""_s, u""_s, u"√"_s}));
        QCOMPARE(column(grid, 6), (QStringList{u""_s, u""_s, u""_s}));
        QCOMPARE(grid.cell(2, 6).backColor, quint32(0));  // NULL: default colour
        QCOMPARE(grid.cell(3, 6).backColor, quint32(255));
        QCOMPARE(grid.cell(4, 6).backColor, kNearBlack);
        QVERIFY(t.prompts.shown().empty());

        grid.setTag(u"没有这个表"_s);  // a failed query leaves headings and no data row
        FillGrid(grid, t.db, {}, {}, {}, tools());
        QCOMPARE(grid.rows(), 2);
        QCOMPARE(t.prompts.shown().back().text, u"数据库打开错误(SELECT * FROM 没有这个表)！"_s);
    }

    void historyListLeavesOutTheLastInputRow() {
        TestDatabase t;
        QVERIFY(
            t.db.execute(u"INSERT INTO 历史记录 (Dat, 收款人全称) VALUES "
                         u"('1900-01-01', '上次'), ('2009-05-19', '甲'), ('2010-01-02', '乙'), "
                         u"(NULL, '无日期')"_s));
        HistoryList list(t.db);
        QVERIFY(list.load());
        QCOMPARE(list.count(), 2);
        QCOMPARE(historyGridNames().size(), 17);
        QCOMPARE(list.headings()[1], u"序号"_s);
        QCOMPARE((QStringList{list.text(0, 4), list.text(1, 4)}), (QStringList{u"甲"_s, u"乙"_s}));
        QCOMPARE((QStringList{list.text(0, 2), list.text(1, 2)}),
                 (QStringList{u"2009.05.19"_s, u"2010.01.02"_s}));
    }

    void pickListHasEachValueOnceInOrder() {
        TestDatabase t;
        QVERIFY(t.db.execute(
            u"INSERT INTO 历史记录 (Dat, 收款人全称, 金额) VALUES ('2009-01-01', 'b', '1'),"
            u"('2009-01-01', 'a''s', '2'), ('2009-01-01', 'b', '3'),"
            u"('2009-01-01', '', '4'), ('2009-01-01', NULL, '5')"_s));
        QCOMPARE(FillComboDistinct(t.db, u"收款人全称"_s), (QStringList{u""_s, u"a's"_s, u"b"_s}));
        QCOMPARE(FillComboDistinct(t.db, u"金额(票根)"_s), QStringList{u""_s});
        QCOMPARE(FillComboDistinct(t.db, u"ID; DROP TABLE 历史记录"_s), QStringList{});
        QVERIFY(t.prompts.shown().empty());
    }
};

QTEST_MAIN(TestGridRoutines)
#include "tst_gridroutines.moc"
