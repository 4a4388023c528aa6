#include <QFile>
#include <QTest>

#include "Document.h"
#include "HistoryExport.h"
#include "HistoryGrid.h"
#include "HistoryList.h"
#include "HistoryRecords.h"
#include "PrintJournal.h"
#include "ProgressIndicator.h"
#include "SampleCheque.h"
#include "ScriptedPrompts.h"
#include "TestClock.h"
#include "TestDatabase.h"
#include "TextMeasure.h"
#include "UserState.h"
#include "ZeroMeasure.h"

using namespace Qt::StringLiterals;

namespace {

// The sample cheque made out to `payee`.
Document chequeTo(const QString& payee) {
    Document cheque = sampleCheque();
    cheque.setText(Field::Payee, payee);
    return cheque;
}

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT

private:
    TestDatabase* m_t = nullptr;
    Clock m_clock = testClock();
    ZeroMeasure m_measure;
    ProgressIndicator m_progress{m_clock};

    int count(const QString& where = u"TRUE"_s) {
        return m_t->scalar(u"SELECT count(*) FROM 历史记录 WHERE "_s + where).toInt();
    }
    HistoryList loadedList() {
        HistoryList list(m_t->db);
        list.load();
        return list;
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }
    void init() { m_t = new TestDatabase; }
    void cleanup() { delete m_t; }

    void savingWithADateAlwaysAddsARow() {
        const Document cheque = chequeTo(u"甲公司"_s);
        QVERIFY(SaveHistoryRecord(m_t->db, cheque, QDate(2026, 12, 7)));
        QVERIFY(SaveHistoryRecord(m_t->db, cheque, QDate(2026, 12, 7)));
        QCOMPARE(count(), 2);
        QCOMPARE(m_t->scalar(u"SELECT 出票日期 FROM 历史记录"_s).toString(), u"2009-05-19"_s);
        QCOMPARE(m_t->scalar(u"SELECT \"日期(票根)\" FROM 历史记录"_s).toString(), u"2009-05-19"_s);
        QCOMPARE(m_t->scalar(u"SELECT Dat FROM 历史记录"_s).toString(), u"2026-12-07"_s);
        QCOMPARE(m_t->scalar(u"SELECT \"会计(票根)\" FROM 历史记录"_s).toString(), u"李四"_s);
    }

    // A cheque printed on a cheque book's number keeps it in the grid's last column, one
    // without keeps it empty; sorting by it goes as in the other columns, numbers first by
    // their exact value (past what a double tells apart), and a row kept later goes to its
    // sorted place.
    void theNumberIsTheGridsLastColumn() {
        QList<qint64> ids;
        QVERIFY(saveHistoryRecords(
            m_t->db, {chequeTo(u"甲"_s), chequeTo(u"乙"_s), chequeTo(u"丙"_s), chequeTo(u"丁"_s)},
            QDate(2026, 12, 1), &ids,
            {u"9010203100000102"_s, u""_s, u"9010203100000101"_s, u"9010203100000100"_s}));
        QCOMPARE(ids.size(), 4);
        HistoryList list = loadedList();
        const int number = int(historyGridNames().size()) - 1;
        QCOMPARE(list.headings().last(), u"支票号码"_s);
        auto column = [&](int c) {
            QStringList texts;
            for (int row = 0; row < list.count(); ++row)
                texts << list.text(row, c);
            return texts.join(u'|');
        };
        QCOMPARE(column(4), u"甲|乙|丙|丁"_s);
        QCOMPARE(column(number), u"9010203100000102||9010203100000101|9010203100000100"_s);
        QVERIFY(list.sortBy(number));
        QCOMPARE(list.headings().last(), u"支票号码△"_s);
        QCOMPARE(column(4), u"丁|丙|甲|乙"_s);
        QVERIFY(SaveHistoryRecord(m_t->db, chequeTo(u"戊"_s), QDate(2026, 12, 2), nullptr,
                                  u"3010203100000101"_s));
        QVERIFY(list.refresh());
        QCOMPARE(column(4), u"戊|丁|丙|甲|乙"_s);
        QVERIFY(list.sortBy(number));
        QCOMPARE(column(4), u"乙|甲|丙|丁|戊"_s);
    }

    // Each kind keeps its own last input, current format and history rows: a second kind (here
    // the transfer cheque's tables under another id) neither sees nor overwrites the first's.
    void eachKindKeepsItsOwnState() {
        DocumentKind other = transferCheque();
        other.id = u"另一种";
        Document slip(other);
        const Document sample = chequeTo(u"另一种的收款人"_s);
        for (const ChequeFieldInfo& field : other.fields)
            slip.setText(field.index, sample.text(field.index));
        QVERIFY(saveLastInput(m_t->db, chequeTo(u"支票的收款人"_s)));
        QVERIFY(saveLastInput(m_t->db, slip));
        QVERIFY(storeCurrentFormat(m_t->db, u"另一种格式"_s, u"另一种"_s));
        QVERIFY(storeCurrentKind(m_t->db, u"另一种"_s));
        ScriptedPrompts prompts;
        Document cheque;
        QVERIFY(LoadHistoryRecord(m_t->db, cheque, -1, prompts, m_clock));
        QCOMPARE(cheque.text(Field::Payee), u"支票的收款人"_s);
        Document reloaded(other);
        QVERIFY(LoadHistoryRecord(m_t->db, reloaded, -1, prompts, m_clock));
        QCOMPARE(reloaded.text(Field::Payee), u"另一种的收款人"_s);
        QCOMPARE(storedCurrentFormat(m_t->db, u"另一种"_s).value_or(u"-"_s), u"另一种格式"_s);
        QVERIFY(storedCurrentFormat(m_t->db).value_or(u"-"_s) != u"另一种格式"_s);
        QCOMPARE(storedCurrentKind(m_t->db).value_or(u"-"_s), u"另一种"_s);
        QVERIFY(SaveHistoryRecord(m_t->db, slip, QDate(2026, 12, 2)));
        QVERIFY(SaveHistoryRecord(m_t->db, chequeTo(u"丙"_s), QDate(2026, 12, 2)));
        QCOMPARE(m_t->scalar(u"SELECT 种类 FROM 历史记录 ORDER BY ID LIMIT 1"_s).toString(),
                 u"另一种"_s);
        QCOMPARE(m_t->scalar(u"SELECT 种类 FROM 历史记录 ORDER BY ID DESC LIMIT 1"_s).toString(),
                 u"转账支票"_s);
    }

    void closingSavesKeepOneLastInputRow() {
        QVERIFY(saveLastInput(m_t->db, chequeTo(u"第一次"_s)));
        QVERIFY(saveLastInput(m_t->db, chequeTo(u"第二次"_s)));
        QCOMPARE(m_t->scalar(u"SELECT count(*) FROM 用户种类状态 WHERE 上次输入<>''"_s).toInt(), 1);
        QVERIFY(m_t->scalar(u"SELECT 上次输入 FROM 用户种类状态 WHERE 上次输入<>''"_s)
                    .toString()
                    .contains(u"第二次"_s));
        QCOMPARE(count(), 0);
        QCOMPARE(loadedList().count(), 0);  // never listed

        // A character the database would not keep as it is comes back as U+FFFD, the rest of
        // the text as it was (a leading U+FFFE would otherwise turn every character after it).
        QVERIFY(saveLastInput(m_t->db, chequeTo(u"\uFFFE北京某某\xD800公司"_s)));
        Document loaded;
        ScriptedPrompts prompts;
        Clock clock = testClock();
        loadLastInput(m_t->db, loaded, prompts, clock);
        QCOMPARE(loaded.text(Field::Payee), u"\uFFFD北京某某\uFFFD公司"_s);
    }

    // Two users of one database: each finds their own last input and current format.
    void eachUserKeepsTheirOwnState() {
        ScriptedPrompts prompts;
        Database other(prompts);
        const QString clerk = m_t->openAs(u"clerk_b"_s, other);
        QCOMPARE(other.userName(), clerk);
        QVERIFY(!clerk.isEmpty() && clerk != m_t->db.userName());
        QVERIFY(saveLastInput(m_t->db, chequeTo(u"甲的收款人"_s)));
        QVERIFY(saveLastInput(other, chequeTo(u"乙的收款人"_s)));
        QVERIFY(storeCurrentFormat(other, u"乙的格式"_s));
        for (auto [db, payee, format] : {std::tuple{&m_t->db, u"甲的收款人"_s, u"标准支票"_s},
                                         std::tuple{&other, u"乙的收款人"_s, u"乙的格式"_s}}) {
            Document cheque;
            QVERIFY(LoadHistoryRecord(*db, cheque, -1, prompts, m_clock));
            QCOMPARE(cheque.text(Field::Payee), payee);
            std::optional<QString> current = storedCurrentFormat(*db);
            QCOMPARE(current.value_or(u"-"_s), format);
        }
        QCOMPARE(m_t->scalar(u"SELECT count(*) FROM 用户种类状态 WHERE 用户<>''"_s).toInt(), 2);

        // A user without a state of their own starts from the one of user ''.
        QVERIFY(m_t->db.execute(u"DELETE FROM 用户种类状态 WHERE 用户=''"_s));
        QVERIFY(
            m_t->db.execute(u"INSERT INTO 用户种类状态 (用户, 种类, 当前格式, 上次输入) VALUES "
                            u"('', '转账支票', '共用格式', '{\"收款人全称\":\"共用\"}')"_s));
        Database third(prompts);
        QVERIFY(!m_t->openAs(u"clerk_c"_s, third).isEmpty());
        Document cheque;
        QVERIFY(LoadHistoryRecord(third, cheque, -1, prompts, m_clock));
        QCOMPARE(cheque.text(Field::Payee), u"共用"_s);
        QCOMPARE(storedCurrentFormat(third).value_or(u"-"_s), u"共用格式"_s);
        QCOMPARE(storedCurrentFormat(other).value_or(u"-"_s), u"乙的格式"_s);
    }

    // A printed date must be a real one; a date that is not printed (the stub left off, the
    // issue date suppressed) and is no real date is kept empty.
    void datesThatAreNoRealDates_data() {
        QTest::addColumn<QStringList>("stubDate");
        QTest::addColumn<QString>("issueDay");
        QTest::addColumn<int>("switchOn");  // -1: none
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("kept");  // 日期(票根) / 出票日期
        const QString day = u"壹拾玖"_s;
        const QString printStub = u"2009-01-01/2009-05-19"_s;
        QTest::newRow("empty stub")
            << QStringList{u""_s, u""_s, u""_s} << day << -1 << false << QString();
        QTest::newRow("month 13") << QStringList{u"2009"_s, u"13"_s, u"1"_s} << day << -1 << false
                                  << QString();
        QTest::newRow("30 February")
            << QStringList{u"2009"_s, u"2"_s, u"30"_s} << day << -1 << false << QString();
        QTest::newRow("letters") << QStringList{u"20a9"_s, u"1"_s, u"1"_s} << day << -1 << false
                                 << QString();
        QTest::newRow("two-digit year")
            << QStringList{u"09"_s, u"1"_s, u"1"_s} << day << -1 << true << printStub;
        QTest::newRow("stub not printed, 30 February")
            << QStringList{u"2009"_s, u"2"_s, u"30"_s} << day << int(Switch::PrintStub) << true
            << u"/2009-05-19"_s;
        QTest::newRow("issue date printed, 31 May")
            << QStringList{u"09"_s, u"1"_s, u"1"_s} << u"叁拾贰"_s << -1 << false << QString();
        QTest::newRow("issue date suppressed, 32 May")
            << QStringList{u"09"_s, u"1"_s, u"1"_s} << u"叁拾贰"_s << 0 << true << u"2009-01-01/"_s;
    }
    void datesThatAreNoRealDates() {
        QFETCH(QStringList, stubDate);
        QFETCH(QString, issueDay);
        QFETCH(int, switchOn);
        QFETCH(bool, saved);
        QFETCH(QString, kept);
        Document cheque = chequeTo(u"甲"_s);
        for (int i = 0; i < 3; ++i)
            cheque.setText(stubField(i + 1), stubDate[i]);
        cheque.setText(Field::Day, issueDay);
        if (switchOn == int(Switch::PrintStub))
            QVERIFY(cheque.setChk(switchOn, 0));
        else if (switchOn >= 0)
            QVERIFY(cheque.setChk(switchOn, 1));
        QCOMPARE(SaveHistoryRecord(m_t->db, cheque, QDate(2026, 12, 7)), saved);
        QCOMPARE(count(), saved ? 1 : 0);
        if (saved)
            QCOMPARE(m_t->rows(u"SELECT \"日期(票根)\", 出票日期 FROM 历史记录"_s), kept);
    }

    // An entry is written as 打印中 before a print is sent; the database lets exactly that mark
    // change, once, to the outcome with the kept row, and nothing else of the journal.
    void theJournalTakesOneOutcomePerPrint_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("outcome") << u"结果='已打印', 历史ID=7"_s << true;
        QTest::newRow("failed") << u"结果='打印失败'"_s << true;
        QTest::newRow("another mark") << u"结果='已取消：打印开始提示'"_s << false;
        QTest::newRow("outcome and contents") << u"结果='已打印', 内容='x'"_s << false;
        QTest::newRow("outcome and time") << u"结果='已打印', 时间='2020-01-01'"_s << false;
        QTest::newRow("outcome and printer") << u"结果='已打印', 打印机='别的'"_s << false;
        QTest::newRow("outcome and login") << u"结果='已打印', 用户='别人'"_s << false;
        QTest::newRow("contents only") << u"内容='x'"_s << false;
    }
    void theJournalTakesOneOutcomePerPrint() {
        QFETCH(QString, change);
        QFETCH(bool, allowed);
        const std::optional<QList<qint64>> ids =
            journalPrinting(m_t->db, m_clock, {kChequeJob, u"打印机"_s, u"标准支票"_s, {}, {}, {}},
                            {u"票身-收款人=甲"_s, u"票身-收款人=乙"_s});
        QVERIFY(ids && ids->size() == 2);
        QCOMPARE(m_t->rows(u"SELECT 结果, 内容 FROM 打印日志 ORDER BY ID"_s),
                 u"打印中/票身-收款人=甲|打印中/票身-收款人=乙"_s);
        const QVariantList first{ids->at(0)};
        const QString before = m_t->rows(u"SELECT * FROM 打印日志 WHERE ID=?"_s, first);
        QCOMPARE(m_t->db.execute(u"UPDATE 打印日志 SET "_s + change + u" WHERE ID=?"_s, first),
                 allowed);
        QCOMPARE(m_t->rows(u"SELECT * FROM 打印日志 WHERE ID=?"_s, first) != before, allowed);
        // Once it has its outcome, it changes no more; the other gets its own through the
        // program, with its history row, and is never deleted.
        if (allowed)
            QVERIFY(!m_t->db.execute(u"UPDATE 打印日志 SET 结果='打印失败' WHERE ID=?"_s, first));
        QVERIFY(recordOutcome(m_t->db, {ids->at(1)}, kPrinted, {42}));
        QCOMPARE(m_t->rows(u"SELECT 结果, 历史ID FROM 打印日志 WHERE ID=?"_s, {ids->at(1)}),
                 u"已打印/42"_s);
        QVERIFY(!m_t->db.execute(u"DELETE FROM 打印日志 WHERE ID=?"_s, {ids->at(1)}));
    }

    // The journal lists what was written last first, whatever the clock said: a clock set
    // back never moves a later print down the list, and the days filter by the time recorded.
    void theJournalListsInTheOrderWritten() {
        Clock clock = testClock();
        const JournalEntry entry{kChequeJob, u"打印机"_s, u"标准支票"_s, {}, {}, {}};
        for (const QString& step : {u"甲"_s, u"乙"_s}) {
            JournalEntry attempt = entry;
            attempt.outcome = cancelledAt(step);
            QVERIFY(appendJournal(m_t->db, clock, attempt));
            clock.setNow(kTestNow.addSecs(-3600));  // set back an hour
        }
        const QList<QStringList> rows = journalRows(m_t->db, {}, {});
        QVERIFY(rows.size() >= 2);
        QCOMPARE(rows[0][5] + u'|' + rows[1][5], u"已取消：乙|已取消：甲"_s);
        if (!onTestServer())  // a server writes its own time
            QCOMPARE(rows[0][0], u"2026-12-08 09:00:00"_s);
    }

    // A cheque the user chose to keep is never lost silently: the failing statement is shown
    // and the failure returned. An issue date that is no real date is not kept either.
    void failedSavesAreShown() {
        Document cheque = chequeTo(u"甲"_s);
        cheque.setText(Field::Day, u"叁拾壹"_s);
        cheque.setText(Field::Month, u"零贰"_s);  // 31 February
        QVERIFY(!SaveHistoryRecord(m_t->db, cheque, QDate(2026, 12, 7)));
        QCOMPARE(count(), 0);

        if (!onTestServer()) {
            // Another program keeps the file's write lock past the wait: the batch is refused
            // whole, with a message, and nothing of it runs outside a transaction.
            ScriptedPrompts otherPrompts;
            Database other(otherPrompts);
            QVERIFY(other.open(m_t->path()));
            QVERIFY(other.transaction());
            m_t->db.setBusyTimeout(200);  // the wait runs out sooner than a user's five seconds
            QList<qint64> ids;
            QVERIFY(!saveHistoryRecords(m_t->db, {chequeTo(u"丙"_s), chequeTo(u"丁"_s)},
                                        QDate(2026, 12, 7), &ids));
            QCOMPARE(m_t->prompts.shown().back().text,
                     u"数据库打开错误(BEGIN)！\n数据库正被其他程序使用，请稍后再试。"_s);
            other.rollback();
            QCOMPARE(count(), 0);
            QVERIFY(ids.isEmpty());
        }

        QVERIFY(m_t->db.execute(u"DROP TABLE 历史记录"_s));
        m_t->prompts.clear();
        QVERIFY(!SaveHistoryRecord(m_t->db, chequeTo(u"乙"_s), QDate(2026, 12, 7)));
        QCOMPARE(m_t->prompts.shown().size(), size_t(1));
        QVERIFY(m_t->prompts.shown()[0].text.startsWith(u"数据库打开错误(INSERT INTO 历史记录"_s));
        QVERIFY(m_t->prompts.shown()[0].text.endsWith(u")！"_s));
    }

    void loadingBringsTodaysDate_data() {
        QTest::addColumn<int>("id");
        QTest::newRow("a listed row") << 0;
        QTest::newRow("the last-input row") << -1;
    }
    void loadingBringsTodaysDate() {
        QFETCH(int, id);
        const Document stored = chequeTo(u"O'Brien 贸易"_s);
        QVERIFY(id < 0 ? saveLastInput(m_t->db, stored)
                       : SaveHistoryRecord(m_t->db, stored, QDate(2009, 5, 20)));
        const int rowId = id < 0 ? -1 : m_t->scalar(u"SELECT max(ID) FROM 历史记录"_s).toInt();
        Document cheque;
        QVERIFY(LoadHistoryRecord(m_t->db, cheque, rowId, m_t->prompts, m_clock));
        QCOMPARE(cheque.text(0), u"贰零贰陆"_s);
        QCOMPARE(cheque.text(1), u"壹拾贰"_s);
        QCOMPARE(cheque.text(2), u"零捌"_s);
        QCOMPARE(cheque.text(stubField(1)), u"2026"_s);
        QCOMPARE(cheque.text(stubField(2)), u"12"_s);
        QCOMPARE(cheque.text(stubField(3)), u"8"_s);
        for (int i : {3, 5, 6, 7, 8, 9, 10, 14, 15, 16, 17, 18})
            QCOMPARE(cheque.text(i), stored.text(i));
        QCOMPARE(cheque.text(4), Document().text(4));  // the capitals are not stored
        QVERIFY(m_t->prompts.shown().empty());
    }

    void loadingAnUnknownIdChangesNothing() {
        Document cheque;
        QVERIFY(!LoadHistoryRecord(m_t->db, cheque, 999, m_t->prompts, m_clock));
        QVERIFY(!LoadHistoryRecord(m_t->db, cheque, -1, m_t->prompts, m_clock));
        for (int i = 0; i < kPrintableFieldCount; ++i)
            QCOMPARE(cheque.text(i), Document().text(i));
    }

    void deletingASelection_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("downwards") << 1 << 2;
        QTest::newRow("upwards") << 2 << 1;
    }
    void deletingASelection() {
        QFETCH(int, first);
        QFETCH(int, last);
        for (const QString& payee : {u"一"_s, u"二"_s, u"三"_s, u"四"_s})
            QVERIFY(SaveHistoryRecord(m_t->db, chequeTo(payee), QDate(2026, 12, 1)));
        HistoryList list = loadedList();
        m_t->prompts.queueAnswer(PromptAnswer::Yes);
        QVERIFY(DeleteHistoryRows(m_t->db, list, first, last, m_t->prompts));
        QCOMPARE(m_t->prompts.shown().back().text, u"您确定要删除第2至第3行记录？"_s);
        QCOMPARE(m_t->prompts.shown().back().buttons, PromptButtons::YesNoDefaultNo);
        QCOMPARE(count(), 2);
        QCOMPARE(count(u"收款人全称 IN ('一', '四')"_s), 2);
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.text(1, 4), u"四"_s);
        QCOMPARE(list.text(1, 1), u"2"_s);
    }

    void deletingNeedsAYesAndDataRows() {
        QVERIFY(SaveHistoryRecord(m_t->db, chequeTo(u"一"_s), QDate(2026, 12, 1)));
        HistoryList list = loadedList();
        QVERIFY(!DeleteHistoryRows(m_t->db, list, 0, 1, m_t->prompts));  // past the last row
        QVERIFY(m_t->prompts.shown().empty());
        QVERIFY(!DeleteHistoryRows(m_t->db, list, 0, 0, m_t->prompts));  // answered No
        QVERIFY(!DeleteAllHistory(m_t->db, list, m_t->prompts));
        QCOMPARE(m_t->prompts.shown().back().text, u"您确定要删除所有打印记录？"_s);
        QCOMPARE(m_t->prompts.shown().back().buttons, PromptButtons::YesNoDefaultNo);
        QCOMPARE(count(), 1);
        QCOMPARE(list.count(), 1);
    }

    // Deleting all deletes what the grid lists: the last input stays, and so do cheques other
    // clerks kept after the grid was built, with a later ID or (committed late) an earlier one.
    void deletingAllDeletesWhatIsListed() {
        qint64 id = 0;
        QVERIFY(SaveHistoryRecord(m_t->db, chequeTo(u"一"_s), QDate(2026, 12, 1)));
        QVERIFY(SaveHistoryRecord(m_t->db, chequeTo(u"二"_s), QDate(2026, 12, 1), &id));
        QVERIFY(SaveHistoryRecord(m_t->db, chequeTo(u"三"_s), QDate(2026, 12, 1)));
        QVERIFY(m_t->db.execute(u"DELETE FROM 历史记录 WHERE ID=?"_s, {id}));
        QVERIFY(saveLastInput(m_t->db, chequeTo(u"上次"_s)));
        HistoryList list = loadedList();
        Database other(m_t->prompts);  // another clerk's program
        QVERIFY(other.open(m_t->path()));
        QVERIFY(SaveHistoryRecord(other, chequeTo(u"后来的"_s), QDate(2026, 12, 1)));
        QVERIFY(
            other.execute(u"INSERT INTO 历史记录 (ID, Dat, 收款人全称) VALUES (?, "
                          u"'2026-12-01', '晚提交的')"_s,
                          {id}));
        m_t->prompts.queueAnswer(PromptAnswer::Yes);
        QVERIFY(DeleteAllHistory(m_t->db, list, m_t->prompts));
        QCOMPARE(m_t->rows(u"SELECT 收款人全称 FROM 历史记录 ORDER BY ID"_s), u"晚提交的|后来的"_s);
        QCOMPARE(list.count(), 0);
        Document cheque;
        QVERIFY(LoadHistoryRecord(m_t->db, cheque, -1, m_t->prompts, m_clock));
        QCOMPARE(cheque.text(Field::Payee), u"上次"_s);
        m_t->prompts.clear();
        QVERIFY(!DeleteAllHistory(m_t->db, list, m_t->prompts));  // empty list: no question
        QVERIFY(m_t->prompts.shown().empty());
        // Brought up to date, the list finds both, the one committed late under its earlier ID
        // too.
        QVERIFY(list.refresh());
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.text(0, 4), u"晚提交的"_s);
    }

    // A list of a few pages sorts in the database, takes in rows kept since in their sorted
    // places, and is read again when another clerk deleted rows.
    void theListSortsPagesAndTakesInNewRows() {
        // Amounts ￥1.00 … ￥250.00 in a shuffled order of keeping, between rows of another kind
        // whose amounts would fall between them.
        constexpr int kRows = 250;
        QVERIFY(m_t->db.atomically([&] {
            for (int i = 0; i < kRows; ++i)
                if (!m_t->db.execute(
                        u"INSERT INTO 历史记录 (Dat, 收款人全称, 金额) VALUES ('2026-12-01', ?, ?)"_s,
                        {u"收款人%1"_s.arg(i), u"￥%1.00"_s.arg((i * 37) % kRows + 1)}) ||
                    !m_t->db.execute(u"INSERT INTO 历史记录 (种类, Dat, 收款人全称, 金额) "
                                     u"VALUES ('测试单据', '2026-12-01', '别的', ?)"_s,
                                     {u"￥%1.50"_s.arg(i)}))
                    return false;
            return true;
        }));
        HistoryList list = loadedList();
        QCOMPARE(list.count(), kRows);
        QCOMPARE(list.text(kRows - 1, 4), u"收款人249"_s);  // the order of keeping, across pages
        QCOMPARE(list.text(kRows - 1, 1), u"250"_s);
        const int amount = 5;
        QVERIFY(list.sortBy(amount));
        QCOMPARE(list.headings()[amount], u"金额△"_s);
        QStringList wrong;
        for (int row = 0; row < kRows; ++row)
            if (list.text(row, amount) != u"￥%1.00"_s.arg(row + 1))
                wrong << list.text(row, amount);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u' ')));
        QVERIFY(list.sortBy(amount));
        QCOMPARE(list.headings()[amount], u"金额▽"_s);
        QCOMPARE(list.text(0, amount), u"￥250.00"_s);

        // ￥125.50 is kept: it goes after the 125 larger amounts.
        QVERIFY(m_t->db.execute(
            u"INSERT INTO 历史记录 (Dat, 收款人全称, 金额) VALUES ('2026-12-02', '新', '￥125.50')"_s));
        QVERIFY(list.refresh());
        QVERIFY(!list.refresh());  // nothing more
        QCOMPARE(list.count(), kRows + 1);
        QCOMPARE(list.text(125, amount), u"￥125.50"_s);
        QCOMPARE(list.text(125, 1), u"126"_s);
        QCOMPARE(list.text(126, amount), u"￥125.00"_s);

        // A last-input row of old is never listed; a row another clerk deleted makes the list
        // read again, in the same order.
        Database other(m_t->prompts);
        QVERIFY(other.open(m_t->path()));
        QVERIFY(other.execute(u"INSERT INTO 历史记录 (Dat) VALUES ('1900-01-01')"_s));
        QVERIFY(other.execute(u"DELETE FROM 历史记录 WHERE 金额='￥250.00'"_s));
        QVERIFY(
            other.execute(u"INSERT INTO 历史记录 (种类, Dat, 金额) "
                          u"VALUES ('测试单据', '2026-12-02', '￥999.00')"_s));
        QVERIFY(list.refresh());
        QCOMPARE(list.count(), kRows);
        QCOMPARE(list.text(0, amount), u"￥249.00"_s);
        // Rows of another kind kept or deleted elsewhere leave the list as it is.
        QVERIFY(other.execute(u"DELETE FROM 历史记录 WHERE 金额='￥0.50'"_s));
        QVERIFY(
            other.execute(u"INSERT INTO 历史记录 (种类, Dat, 金额) "
                          u"VALUES ('测试单据', '2026-12-02', '￥0.01')"_s));
        QVERIFY(!list.refresh());

        // Deleting a range across a page's end.
        m_t->prompts.queueAnswer(PromptAnswer::Yes);
        QVERIFY(DeleteHistoryRows(m_t->db, list, 95, 104, m_t->prompts));
        QCOMPARE(list.count(), kRows - 10);
        QCOMPARE(count(u"Dat>'1900-01-01' AND 种类='转账支票'"_s), kRows - 10);
        QCOMPARE(list.text(95, amount), u"￥144.00"_s);
    }

    // The search and the date range, in the list and in the export alike, over payees,
    // amounts kept with grouping commas and without, accounts and cheque numbers. Each row
    // names the payees found, in the order of keeping.
    void theSearchFindsRows_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("found");
        const QDate none;
        QTest::newRow("a payee's part; the last-input row never")
            << u"示例科技"_s << none << none << u"北京示例科技有限公司"_s;
        QTest::newRow("blanks around the text do not count")
            << u"  示例科技 "_s << none << none << u"北京示例科技有限公司"_s;
        QTest::newRow("Latin letters in either case")
            << u"aBc"_s << none << none << u"ABC Trading Co.|abc 贸易"_s;
        QTest::newRow("other letters only as typed") << u"äbc"_s << none << none << u""_s;
        QTest::newRow("other letters found as typed") << u"ÄBC"_s << none << none << u"ÄBC Ltd"_s;
        QTest::newRow("an amount without commas finds both forms")
            << u"1234.5"_s << none << none << u"北京示例科技有限公司|ABC Trading Co."_s;
        QTest::newRow("an amount with commas finds both forms")
            << u"1,234.50"_s << none << none << u"北京示例科技有限公司|ABC Trading Co."_s;
        QTest::newRow("the yen sign anchors the amount's start")
            << u"¥1234"_s << none << none << u"北京示例科技有限公司|ABC Trading Co."_s;
        QTest::newRow("figures in amounts, accounts and numbers")
            << u"1234"_s << none << none
            << u"北京示例科技有限公司|ABC Trading Co.|百分之百_公司%|ÄBC Ltd"_s;
        QTest::newRow("an account's part")
            << u"2020012"_s << none << none << u"北京示例科技有限公司"_s;
        QTest::newRow("a cheque number with letters") << u"x-1"_s << none << none << u"abc 贸易"_s;
        QTest::newRow("_ is itself") << u"_"_s << none << none << u"百分之百_公司%"_s;
        QTest::newRow("% is itself") << u"%"_s << none << none << u"百分之百_公司%"_s;
        QTest::newRow("quotes are text, not SQL")
            << u"'); DELETE FROM 历史记录; --"_s << none << none << u""_s;
        QTest::newRow("both days of the range included")
            << u""_s << QDate(2026, 12, 1) << QDate(2026, 12, 5)
            << u"ABC Trading Co.|百分之百_公司%"_s;
        QTest::newRow("a range of one day")
            << u""_s << QDate(2026, 12, 5) << QDate(2026, 12, 5) << u"百分之百_公司%"_s;
        QTest::newRow("a range open at its end")
            << u""_s << QDate(2026, 12, 9) << none << u"abc 贸易|ÄBC Ltd"_s;
        QTest::newRow("a range open at its start; the last-input row never")
            << u""_s << none << QDate(2026, 11, 30) << u"北京示例科技有限公司"_s;
        QTest::newRow("a text within a range")
            << u"abc"_s << QDate(2026, 12, 2) << QDate(2026, 12, 31) << u"abc 贸易"_s;
        QTest::newRow("nothing found") << u"没有"_s << none << none << u""_s;
    }

    void theSearchFindsRows() {
        QFETCH(QString, text);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, found);
        const QString insert =
            u"INSERT INTO 历史记录 (Dat, 收款人全称, 金额, 账号, 支票号码) VALUES (?,?,?,?,?)"_s;
        const QList<QVariantList> rows = {
            {u"2026-11-30"_s, u"北京示例科技有限公司"_s, u"￥1,234.50"_s, u"6222020012345678"_s,
             u"10203040"_s},
            {u"1900-01-01"_s, u"北京示例科技有限公司"_s, u"￥1234.50"_s, u""_s, u""_s},
            {u"2026-12-01"_s, u"ABC Trading Co."_s, u"￥1234.50"_s, u"11112222"_s, u""_s},
            {u"2026-12-05"_s, u"百分之百_公司%"_s, u"￥12.00"_s, u""_s, u"88001234"_s},
            {u"2026-12-09"_s, u"abc 贸易"_s, u"￥234.50"_s, u"9999"_s, u"X-1"_s},
            {u"2026-12-31"_s, u"ÄBC Ltd"_s, u"￥11,234.00"_s, u"7777"_s, u""_s},
        };
        // The same rows of another kind are never found.
        for (const QVariantList& row : rows)
            QVERIFY(m_t->db.execute(insert, row) &&
                    m_t->db.execute(u"INSERT INTO 历史记录 (种类, Dat, 收款人全称, 金额, 账号, "
                                    u"支票号码) VALUES ('测试单据', ?,?,?,?,?)"_s,
                                    row));
        HistoryList list = loadedList();
        QVERIFY(list.setFilter({text, from, to}));
        const int payee = 4;
        QStringList listed;
        for (int row = 0; row < list.count(); ++row)
            listed << list.text(row, payee);
        QCOMPARE(listed.join(u'|'), found);
        QCOMPARE(count(), 2 * int(rows.size()));

        // The export writes the rows found, in the list's order, sorted the other way round.
        QVERIFY(list.sortBy(0 + 2));
        QVERIFY(list.sortBy(0 + 2));
        const QString csv = m_t->dir.filePath(u"found.csv"_s);
        const bool written = exportHistoryToFile(m_t->db, list.order(), list.headings(), csv,
                                                 m_t->prompts, m_progress);
        QCOMPARE(written, !found.isEmpty());
        QStringList exported;
        QFile file(csv);
        if (written && file.open(QIODevice::ReadOnly))
            for (const QByteArray& line : file.readAll().split('\n').mid(1))
                if (!line.isEmpty())
                    exported.prepend(QString::fromUtf8(line).split(u',').value(payee - 1));
        QCOMPARE(exported.join(u'|'), found);
    }

    // Under a search, sorting keeps it, and rows kept since are taken in when they are found.
    void theSearchStaysThroughSortsAndNewRows() {
        for (const auto& [payee, amount] : {std::pair{u"甲公司"_s, u"￥30.00"_s},
                                            {u"乙公司"_s, u"￥10.00"_s},
                                            {u"甲方二部"_s, u"￥20.00"_s}})
            QVERIFY(m_t->db.execute(
                u"INSERT INTO 历史记录 (Dat, 收款人全称, 金额) VALUES ('2026-12-01', ?, ?)"_s,
                {payee, amount}));
        HistoryList list = loadedList();
        QVERIFY(list.setFilter({u"甲"_s, {}, {}}));
        const int amount = 5;
        QVERIFY(list.sortBy(amount));
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.text(0, amount) + list.text(1, amount), u"￥20.00￥30.00"_s);
        QVERIFY(SaveHistoryRecord(m_t->db, chequeTo(u"甲新"_s), QDate(2026, 12, 2)));
        QVERIFY(SaveHistoryRecord(m_t->db, chequeTo(u"丙"_s), QDate(2026, 12, 2)));
        QVERIFY(list.refresh());
        QCOMPARE(list.count(), 3);
        QVERIFY(list.setFilter({}));
        QCOMPARE(list.count(), 5);
        QCOMPARE(list.headings()[amount], u"金额△"_s);
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
