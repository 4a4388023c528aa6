// The history tab: another clerk's window on the same database, reprinting, sorting, deleting
// and exporting rows, and searching them.
#include <memory>

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>

#include "HistoryList.h"
#include "HistoryRecords.h"
#include "HistoryTab.h"
#include "HistoryView.h"
#include "MainWindowFixture.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

class TestMainWindowHistory : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        installChineseFontSubstitutes();
    }

    // Two clerks with a window each on one database: a cheque one keeps shows in the other's
    // history when its history tab is shown again; each finds their own last input next time.
    void twoWindowsOnOneDatabase() {
        Fixture f;
        ScriptedPrompts otherPrompts;
        Database otherDb(otherPrompts);
        QVERIFY(!f.t.openAs(u"clerk_b"_s, otherDb).isEmpty());
        QSettings otherSettings(f.t.dir.filePath(u"other.ini"_s), QSettings::IniFormat);
        auto other = std::make_unique<MainWindow>(
            WindowServices{otherDb, otherPrompts, f.clock, f.printers, otherSettings});
        other->show();
        QVERIFY(QTest::qWaitForWindowExposed(other.get()));
        other->tabs()->setCurrentIndex(1);
        HistoryList& otherHistory = other->historyList();
        QCOMPARE(otherHistory.count(), 0);

        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.type(Field::Payee, u"甲公司"_s);
        f.type(Field::Amount, u"88"_s);
        f.printAnswering(PromptAnswer::Yes);
        QVERIFY2(f.historyRows() == 1, qPrintable(f.shownTexts().join(u'\n')));

        other->tabs()->setCurrentIndex(0);
        other->tabs()->setCurrentIndex(1);
        QCOMPARE(otherHistory.count(), 1);
        QCOMPARE(otherHistory.text(0, 4), u"甲公司"_s);

        other->tabs()->setCurrentIndex(0);
        other->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(other.get()));
        auto* payee = qobject_cast<QLineEdit*>(other->chequeTab()->field(Field::Payee));
        payee->setFocus();
        payee->selectAll();
        Fixture::typeInto(payee, u"乙公司"_s);
        other->close();
        f.window->close();
        f.open();
        QCOMPARE(f.field(Field::Payee)->text(), u"甲公司"_s);
        other = std::make_unique<MainWindow>(
            WindowServices{otherDb, otherPrompts, f.clock, f.printers, otherSettings});
        QCOMPARE(qobject_cast<QLineEdit*>(other->chequeTab()->field(Field::Payee))->text(),
                 u"乙公司"_s);
        QVERIFY(otherPrompts.shown().empty());
    }

    void historyCommands() {
        Fixture f;
        MainWindow& w = *f.window;
        Document stored;
        for (const QString& payee : {u"甲"_s, u"乙"_s, u"丙"_s}) {
            stored.setText(Field::Payee, payee);
            stored.setText(Field::Amount, u"￥5.00"_s);
            for (int i : {Field::StubYear, Field::StubMonth, Field::StubDay})
                stored.setText(i, u"2026"_s.left(i == Field::StubYear ? 4 : 1));
            for (int i : {Field::Year, Field::Month, Field::Day})
                stored.setText(i, QStringList{u"贰零贰陆"_s, u"零贰"_s, u"零贰"_s}[i]);
            QVERIFY(SaveHistoryRecord(f.t.db, stored, QDate(2026, 11, 1), nullptr,
                                      payee == u"乙" ? u"3010203100000101"_s : QString()));
        }
        w.tabs()->setCurrentIndex(1);
        HistoryList& list = w.historyList();
        HistoryView* view = w.historyTab()->view();
        QCOMPARE(list.count(), 3);
        // The cheque book's number is the last column, wide enough to read, empty without one.
        const int number = view->model()->columnCount() - 1;
        QCOMPARE(view->model()->headerData(number, Qt::Horizontal).toString(), u"支票号码"_s);
        QCOMPARE(view->model()->index(1, number).data().toString(), u"3010203100000101"_s);
        QCOMPARE(view->model()->index(0, number).data().toString(), QString());
        QVERIFY(view->columnWidth(number) >=
                view->fontMetrics().horizontalAdvance(u"3010203100000101"_s));

        // A right-button press on the payee's heading sorts by it, in the database.
        QHeaderView* header = view->horizontalHeader();
        const QPoint heading(header->sectionViewportPosition(4) + header->sectionSize(4) / 2,
                             header->height() / 2);
        QTest::mousePress(header->viewport(), Qt::RightButton, {}, heading);
        QCOMPARE(view->model()->headerData(4, Qt::Horizontal, Qt::DisplayRole), u"收款人△"_s);
        QCOMPARE(view->model()->index(0, 4).data(), u"丙"_s);

        // A double-click brings the row back with today's date.
        const QRect cell = view->visualRect(view->model()->index(1, 4));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(w.tabs()->currentIndex(), 0);
        QCOMPARE(f.field(Field::Payee)->text(), u"乙"_s);
        QCOMPARE(f.field(Field::Day)->text(), u"零捌"_s);

        // Deleting the selection asks first; clearing empties the grid.
        w.tabs()->setCurrentIndex(1);
        w.historyTab()->view()->selectRow(0);
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        w.historyTab()->deleteRows();
        QCOMPARE(f.historyRows(), 2);
        QCOMPARE(list.count(), 2);
        QCOMPARE(view->model()->index(0, 4).data(), u"乙"_s);
        const QString csv = f.t.dir.filePath(u"历史.csv"_s);
        f.t.prompts.queueText(csv);
        w.historyTab()->exportHistory();
        QFile exported(csv);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        const QList<QByteArray> exportedLines = exported.readAll().split('\n');
        QVERIFY(exportedLines[0].trimmed().endsWith(",支票号码"));
        QVERIFY(exportedLines[1].trimmed().endsWith(",3010203100000101"));
        exported.close();
        // Again, typed without an ending while the dialog shows CSV: the same file, asked
        // about once.
        f.t.prompts.clear();
        QVERIFY(QFile::resize(csv, 0));
        f.t.prompts.queueText(f.t.dir.filePath(u"历史"_s));
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        w.historyTab()->exportHistory();
        QCOMPARE(f.shownTexts(),
                 (QStringList{QString(), u"该文件已存在，是否覆盖？"_s,
                              u"已导出 2 行到 "_s + QDir::toNativeSeparators(csv)}));
        QVERIFY(QFile(csv).size() > 0);
        QVERIFY(!QFile::exists(f.t.dir.filePath(u"历史"_s)));
        f.t.prompts.queueAnswer(PromptAnswer::Yes);
        w.historyTab()->clearAll();
        QCOMPARE(f.historyRows(), 0);
        QCOMPARE(list.count(), 0);
        const size_t before = f.t.prompts.shown().size();
        w.reprintHistoryRow(w.historyTab()->currentRow());  // nothing to bring back
        QCOMPARE(f.t.prompts.shown().size(), before);
    }

    // A cashier searches the history: typing waits for its pause, the count follows the rows
    // found, a sort and the export keep the search, the date range narrows it, clearing brings
    // every row back; the cheque number stays in view at the window's own size throughout.
    void searchingTheHistory() {
        Fixture f;
        MainWindow& w = *f.window;
        const struct {
            QString payee, amount, number;
            QDate printed;
        } kept[] = {
            {u"北京示例科技发展有限责任公司第一分公司"_s, u"￥1234.50"_s, u"3010203100000101"_s,
             QDate(2026, 11, 1)},
            {u"ABC Trading Co., Ltd."_s, u"￥20.00"_s, u"3010203100000102"_s, QDate(2026, 11, 5)},
            {u"上海华南建材股份有限公司"_s, u"￥1234.50"_s, QString(), QDate(2026, 11, 5)},
            {u"abc 贸易"_s, u"￥3.00"_s, QString(), QDate(2026, 11, 9)}};
        for (const auto& row : kept) {
            Document cheque;
            cheque.setText(Field::Payee, row.payee);
            cheque.setText(Field::Amount, row.amount);
            cheque.setText(Field::AdditionalInfo, u"合同号HT20261101-0001，分两期付清"_s);
            for (int i : {Field::StubYear, Field::StubMonth, Field::StubDay})
                cheque.setText(i, u"2026"_s.left(i == Field::StubYear ? 4 : 1));
            for (int i : {Field::Year, Field::Month, Field::Day})
                cheque.setText(i, QStringList{u"贰零贰陆"_s, u"零贰"_s, u"零贰"_s}[i]);
            QVERIFY(SaveHistoryRecord(f.t.db, cheque, row.printed, nullptr, row.number));
        }
        w.tabs()->setCurrentIndex(1);
        HistoryTab& tab = *w.historyTab();
        HistoryList& list = w.historyList();
        HistoryView* view = tab.view();
        auto* search = tab.findChild<QLineEdit*>(u"searchText"_s);
        auto* rowCount = tab.findChild<QLabel*>(u"rowCount"_s);
        auto* byDate = tab.findChild<QCheckBox*>(u"byDate"_s);
        QVERIFY(search && rowCount && byDate);
        QCOMPARE(search->placeholderText(), u"搜索收款人、金额、账号、支票号码"_s);
        QCOMPARE(rowCount->text(), u"共 4 行"_s);
        const int payee = 4;
        const auto payees = [&] {
            QStringList texts;
            for (int row = 0; row < view->model()->rowCount(); ++row)
                texts << view->model()->index(row, payee).data().toString();
            return texts.join(u'|');
        };
        // The cheque number is in view: the pinned column over the grid's right edge, or the
        // grid's own last column when every column fits.
        const auto numberInView = [&] {
            const int number = view->model()->columnCount() - 1;
            if (view->pinnedColumn()->isVisible())
                return wholeInView(view->pinnedColumn()) &&
                       view->pinnedColumn()->model()->index(0, number).data() ==
                           view->model()->index(0, number).data();
            return view->viewport()->rect().contains(
                view->visualRect(view->model()->index(0, number)));
        };
        QVERIFY(numberInView());

        // Ctrl+F from the grid goes to the search line.
        view->setFocus();
        QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(search->hasFocus());
        QTest::keyClicks(search, u"ABC"_s);
        QCOMPARE(list.count(), 4);  // not yet: typing has not paused
        QTRY_COMPARE(rowCount->text(), u"共 2 行"_s);
        QCOMPARE(payees(), u"ABC Trading Co., Ltd.|abc 贸易"_s);

        search->clear();
        QTest::keyClicks(search, u"1,234.5"_s);
        QTRY_COMPARE(payees(),
                     u"北京示例科技发展有限责任公司第一分公司|上海华南建材股份有限公司"_s);
        QCOMPARE(rowCount->text(), u"共 2 行"_s);
        // Sorted by the payee's heading: the search stays.
        QHeaderView* header = view->horizontalHeader();
        view->scrollTo(view->model()->index(0, payee));
        QTest::mousePress(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(payee) + header->sectionSize(payee) / 2,
                   header->height() / 2));
        QCOMPARE(view->model()->headerData(payee, Qt::Horizontal).toString(), u"收款人△"_s);
        QCOMPARE(payees(), u"上海华南建材股份有限公司|北京示例科技发展有限责任公司第一分公司"_s);
        QCOMPARE(rowCount->text(), u"共 2 行"_s);

        // The range of print dates, both days included, narrows the search.
        tab.findChild<QDateEdit*>(u"fromDate"_s)->setDate(QDate(2026, 11, 5));
        tab.findChild<QDateEdit*>(u"toDate"_s)->setDate(QDate(2026, 11, 5));
        byDate->setChecked(true);
        QCOMPARE(payees(), u"上海华南建材股份有限公司"_s);
        QCOMPARE(rowCount->text(), u"共 1 行"_s);
        // The export writes the row found, and only it.
        const QString csv = f.t.dir.filePath(u"找到的.csv"_s);
        f.t.prompts.queueText(csv);
        tab.exportHistory();
        QFile exported(csv);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = exported.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[1].contains("上海华南建材股份有限公司"));

        // Cleared, every row is back, still sorted by the payee.
        byDate->setChecked(false);
        search->clear();
        QTRY_COMPARE(rowCount->text(), u"共 4 行"_s);
        QCOMPARE(view->model()->headerData(payee, Qt::Horizontal).toString(), u"收款人△"_s);
        QCOMPARE(view->model()->index(0, payee).data().toString(), u"ABC Trading Co., Ltd."_s);
        QVERIFY(numberInView());
    }
};

QTEST_MAIN(TestMainWindowHistory)
#include "tst_mainwindow_history.moc"
