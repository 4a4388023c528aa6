#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include "BoundGrid.h"
#include "BoundGridModel.h"
#include "GridRoutines.h"
#include "HistoryGrid.h"
#include "HistoryList.h"
#include "HistoryView.h"
#include "ProgressIndicator.h"
#include "TestClock.h"
#include "TestDatabase.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

class TestGridView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installChineseFontSubstitutes(); }

    void showsTheHistoryGridAndSortsOnHeaderClicks() {
        TestDatabase t;
        QVERIFY(t.db.execute(
            u"INSERT INTO 历史记录 (Dat, 出票日期, 收款人全称, 金额, 银行) VALUES "
            u"('2026-12-01', '2026-12-01', '北京示例科技有限公司', '￥1234.50', '工商银行'),"
            u"('2026-12-02', '2026-12-02', '上海某某贸易有限公司', '￥88.00', '建设银行'),"
            u"('2026-12-03', '2026-12-03', '广州华南建材有限公司', '￥99999999.99', '农业银行')"_s));
        FontTextMeasure measure(historyGridFont());
        const Clock clock = testClock();
        ProgressIndicator progress(clock);
        HistoryList list(t.db);
        HistoryView view(list, measure);
        view.setFont(historyGridFont());
        view.setToolTip(historyGridToolTip());
        view.resize(900, 200);
        view.show();
        QVERIFY(list.load());
        view.reload(true);

        QVERIFY(view.isColumnHidden(0));
        QCOMPARE(view.model()->rowCount(), 3);
        QCOMPARE(view.model()->headerData(4, Qt::Horizontal).toString(), u"收款人"_s);
        QCOMPARE(view.model()->index(0, 2).data().toString(), u"2026.12.01"_s);
        QCOMPARE(view.model()->index(2, 1).data().toString(), u"3"_s);
        // Columns are as wide as the list says, in pixels of the screen, plus the cell margins.
        const int pixels = qRound(list.columnWidths()[4] * view.logicalDpiX() / 1440.0);
        QVERIFY(view.columnWidth(4) >= pixels && view.columnWidth(4) <= pixels + 10);

        QSignalSpy doubleClicked(&view, &HistoryView::rowDoubleClicked);
        QHeaderView* header = view.horizontalHeader();
        const int x = header->sectionViewportPosition(5) + header->sectionSize(5) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(view.model()->index(0, 5).data().toString(), u"￥88.00"_s);  // by value
        QCOMPARE(view.model()->headerData(5, Qt::Horizontal).toString(), u"金额△"_s);
        // Any mouse button sorts, on the press; a press on the edge between two headings only
        // starts resizing a column; a grid that keeps its order does not sort at all.
        QTest::mousePress(header->viewport(), Qt::RightButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(view.model()->headerData(5, Qt::Horizontal).toString(), u"金额▽"_s);
        QCOMPARE(view.model()->index(0, 5).data().toString(), u"￥99999999.99"_s);
        const int edge = header->sectionViewportPosition(6);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {},
                          QPoint(edge, header->height() / 2));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {},
                            QPoint(edge, header->height() / 2));
        QCOMPARE(list.headings()[5], u"金额▽"_s);
        QVERIFY(!list.headings()[6].contains(u'△') && !list.headings()[6].contains(u'▽'));
        BoundGrid grid;
        SetUpGridColumns(grid, historyGridNames(), historyGridHeadings());
        grid.setTag(u"历史记录"_s);
        FillGrid(grid, t.db, {}, {}, {}, {measure, progress});
        BoundGridView kept(grid, {measure, progress}, nullptr, BoundGridView::Headings::KeepOrder);
        kept.resize(900, 200);
        kept.show();
        kept.reload();
        QTest::mouseClick(kept.horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(x, header->height() / 2));
        QCOMPARE(grid.text(1, 5), u"金额"_s);

        const QRect cell = view.visualRect(view.model()->index(1, 4));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(doubleClicked.count(), 1);
        QCOMPARE(doubleClicked.first().first().toInt(), 1);

        const QString shot = qEnvironmentVariable("CHEQUEPRINT_SCREENSHOT_DIR");
        if (!shot.isEmpty())
            view.grab().save(shot + u"/history-grid.png"_s);
    }
};

QTEST_MAIN(TestGridView)
#include "tst_gridview.moc"
