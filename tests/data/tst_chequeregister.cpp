#include <QHash>
#include <QSet>
#include <QTest>

#include "BoundGrid.h"
#include "ChequeRegister.h"
#include "PrintJournal.h"
#include "ProgressIndicator.h"
#include "RegisterGrid.h"
#include "ScriptedPrompts.h"
#include "TestClock.h"
#include "TestDatabase.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

const QString kAccount = u"4000 0237 0900 1234 567"_s;

// A register line in one text: serial, state, payee, amount, reprints, reason, replaces,
// replaced by.
QString lineText(const RegisterLine& line) {
    return QStringList{serialText(line.serial),        line.state,  line.payee,    line.amount,
                       QString::number(line.reprints), line.reason, line.replaces, line.replacedBy}
        .join(u'/');
}

// 100 twips per character.
class LengthMeasure final : public TextMeasure {
public:
    double widthTwips(const QString& text) override { return 100.0 * text.size(); }
};

}  // namespace

class TestChequeRegister : public QObject {
    Q_OBJECT

private:
    TestDatabase* m_t = nullptr;
    Clock m_clock = testClock();

    ChequeBook book(qint64 first, qint64 last, const QString& account = kAccount) {
        ChequeBook b;
        b.account = account;
        b.prefix = u"30102031"_s;
        b.first = first;
        b.last = last;
        b.received = QDate(2026, 12, 1);
        return b;
    }
    TakenNumber take(std::optional<qint64> wanted = std::nullopt,
                     std::optional<qint64> replaces = std::nullopt) {
        QString why;
        const std::optional<TakenNumber> taken =
            takeNumber(m_t->db, m_clock, kAccount, wanted, &why, replaces);
        if (!taken)
            qWarning("no number: %s", qUtf8Printable(why));
        return taken.value_or(TakenNumber{});
    }
    QString refusedTake(std::optional<qint64> wanted = std::nullopt) {
        QString why;
        return takeNumber(m_t->db, m_clock, kAccount, wanted, &why) ? u"taken"_s : why;
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }
    void init() { m_t = new TestDatabase; }
    void cleanup() { delete m_t; }

    // Books that cannot be, or that were mistyped: each refused with its reason, nothing stored.
    // An account is kept without the blanks around it.
    void impossibleBooksAreRefused() {
        QString why;
        QVERIFY(addChequeBook(m_t->db, book(11, 35), m_clock.today(), &why));
        const QString prefix = u"支票号码前缀只能是数字，最多8位。"_s;
        const QString control = u"出票人账号中不能有制表符、换行等控制字符。"_s;
        const QString late = u"领用日期不能晚于今天。"_s;
        const struct {
            qint64 first = 1;
            qint64 last = 5;
            QString account = u"另一账号"_s;
            QString prefix = u"30102031"_s;
            QDate received = QDate(2026, 12, 1);
            QString reason;
        } cases[] = {
            {.first = 30,
             .last = 40,
             .account = kAccount,
             .reason = u"该账号已有号码重叠的支票簿：00000011 至 00000035。"_s},
            {.first = 1,
             .last = 11,
             .account = u" "_s + kAccount + u"\t"_s,
             .reason = u"该账号已有号码重叠的支票簿：00000011 至 00000035。"_s},
            {.first = 9, .last = 5, .reason = u"支票号码应为8位数字，且起始号码不大于终止号码。"_s},
            {.first = 99'999'990,
             .last = 100'000'000,
             .reason = u"支票号码应为8位数字，且起始号码不大于终止号码。"_s},
            {.first = 1, .last = 1001, .reason = u"一本支票簿最多1000张支票。"_s},
            {.account = u" "_s, .reason = u"请填写出票人账号。"_s},
            {.account = u"4000\t0237"_s, .reason = control},
            {.account = u"4000\n0237"_s, .reason = control},
            {.account = u"4000\u20280237"_s, .reason = control},
            {.prefix = u"3010 2031"_s, .reason = prefix},
            {.prefix = u"3010\n"_s, .reason = prefix},
            {.prefix = u"3010AB"_s, .reason = prefix},
            {.prefix = u"３０１０"_s, .reason = prefix},
            {.prefix = u"301020311"_s, .reason = prefix},
            {.prefix = QString(5000, u'1'), .reason = prefix},
            {.received = m_clock.today().addDays(1), .reason = late},
            {.received = QDate(2999, 1, 1), .reason = late},
        };
        for (const auto& c : cases) {
            ChequeBook b = book(c.first, c.last, c.account);
            b.prefix = c.prefix;
            b.received = c.received;
            why.clear();
            QVERIFY(!addChequeBook(m_t->db, b, m_clock.today(), &why));
            QCOMPARE(why, c.reason);
        }
        QCOMPARE(m_t->scalar(u"SELECT count(*) FROM 支票簿"_s).toInt(), 1);
        // The same serials in another account's book are another book's; one received today,
        // with blanks around its account, keeps the account without them.
        ChequeBook other = book(11, 35, u"  另一账号\t"_s);
        other.received = m_clock.today();
        QVERIFY(addChequeBook(m_t->db, other, m_clock.today(), &why));
        const std::optional<QList<ChequeBook>> books = chequeBooks(m_t->db, u"另一账号"_s);
        QVERIFY(books && books->size() == 1);
        QCOMPARE(books->first().received, m_clock.today());
        QCOMPARE(m_t->scalar(u"SELECT count(*) FROM 支票簿"_s).toInt(), 2);
    }

    // A book of five cheques worked through: printed, reprinted, spoiled and printed again on
    // the next number, a number typed by hand (leaving a gap), a number voided by hand, and no
    // number left for the sixth cheque.
    void aBookIsWorkedThrough() {
        QString why;
        QCOMPARE(hasOpenBook(m_t->db, kAccount), std::optional<bool>(false));
        QVERIFY(!offeredNumber(m_t->db, kAccount, &why));
        QCOMPARE(why, u"该账号没有未结束的支票簿。"_s);
        QVERIFY(addChequeBook(m_t->db, book(101, 105), m_clock.today(), &why));
        QCOMPARE(hasOpenBook(m_t->db, kAccount), std::optional<bool>(true));

        const TakenNumber first = take();
        QCOMPARE(first.text(), u"3010203100000101"_s);
        QVERIFY(numberPrinted(m_t->db, first.id, {u"2026-12-08"_s, u"甲公司"_s, u"￥100.00"_s, 7}));

        const TakenNumber second = take();
        QCOMPARE(second.serial, 102);
        QVERIFY(numberReprinted(m_t->db, second.id));
        QVERIFY(numberReprinted(m_t->db, second.id));
        QVERIFY(
            numberPrinted(m_t->db, second.id, {u"2026-12-08"_s, u"乙公司"_s, u"￥200.00"_s, {}}));
        // Settled: no more reprints, no second settling.
        QVERIFY(!numberReprinted(m_t->db, second.id));
        QVERIFY(!numberPrinted(m_t->db, second.id, {}));

        const TakenNumber spoiled = take();
        QVERIFY(voidTakenNumber(m_t->db, m_clock, spoiled.id, u"卡纸"_s));
        const TakenNumber replacement = take(std::nullopt, spoiled.id);
        QCOMPARE(replacement.serial, 104);
        QVERIFY(numberPrinted(m_t->db, replacement.id,
                              {u"2026-12-08"_s, u"丙公司"_s, u"￥300.00"_s, {}}));

        // Numbers once taken are never offered nor taken again.
        QCOMPARE(refusedTake(103), u"号码 00000103 已被使用（已作废），不能再用。"_s);
        QCOMPARE(refusedTake(101), u"号码 00000101 已被使用（已打印），不能再用。"_s);
        QCOMPARE(refusedTake(99), u"号码 00000099 不在该账号未结束的支票簿中。"_s);

        // The fifth goes; a sixth finds none.
        QCOMPARE(take().serial, 105);
        QCOMPARE(refusedTake(), u"该账号的支票簿已用完，请登记新的支票簿。"_s);

        // A printed cheque spoiled afterwards is voided by hand; twice is refused.
        QVERIFY(voidSerial(m_t->db, m_clock, kAccount, 101, u"金额写错"_s, &why));
        QVERIFY(!voidSerial(m_t->db, m_clock, kAccount, 101, u"又一次"_s, &why));
        QCOMPARE(why, u"号码 00000101 已作废。"_s);
        QVERIFY(!voidSerial(m_t->db, m_clock, kAccount, 102, u" "_s, &why));
        QCOMPARE(why, u"请填写作废原因。"_s);

        const std::optional<QList<BookRegister>> books = chequeRegister(m_t->db, kAccount);
        QVERIFY(books && books->size() == 1);
        QStringList lines;
        for (const RegisterLine& line : books->first().lines)
            lines << lineText(line);
        QCOMPARE(lines, (QStringList{
                            u"00000101/已作废/甲公司/￥100.00/0/金额写错//"_s,
                            u"00000102/已打印/乙公司/￥200.00/2///"_s,
                            u"00000103/已作废///0/卡纸//3010203100000104"_s,
                            u"00000104/已打印/丙公司/￥300.00/0//3010203100000103/"_s,
                            u"00000105/打印中///0///"_s,
                        }));
        QCOMPARE(books->first().count(kNumberVoided), 2);
        QVERIFY(books->first().gaps.isEmpty());
    }

    // A number typed by hand past the next one leaves a gap until someone voids the numbers
    // skipped; numbers after the last one taken are only unused, and one of them voided by hand
    // is passed over when its turn comes. A closed book offers nothing.
    void skippedNumbersAreGapsUntilExplained() {
        QString why;
        QVERIFY(addChequeBook(m_t->db, book(1, 10), m_clock.today(), &why));
        QCOMPARE(take().serial, 1);
        QCOMPARE(take(5).serial, 5);
        QCOMPARE(take().serial, 6);  // the next is past the last taken: 2..4 are not offered
        auto gaps = [&] { return chequeRegister(m_t->db, kAccount)->first().gaps; };
        QCOMPARE(gaps(), (QList<std::pair<qint64, qint64>>{{2, 4}}));
        QVERIFY(voidSerial(m_t->db, m_clock, kAccount, 3, u"撕坏"_s, &why));
        QCOMPARE(gaps(), (QList<std::pair<qint64, qint64>>{{2, 2}, {4, 4}}));
        QCOMPARE(chequeRegister(m_t->db, kAccount)->first().count(kNumberUnused), 6);
        // A sheet torn before its turn is passed over, and leaves no gap before it.
        QVERIFY(voidSerial(m_t->db, m_clock, kAccount, 8, u"撕坏"_s, &why));
        QCOMPARE(take().serial, 7);
        QCOMPARE(take().serial, 9);
        QCOMPARE(gaps(), (QList<std::pair<qint64, qint64>>{{2, 2}, {4, 4}}));
        QCOMPARE(chequeRegister(m_t->db, kAccount)->first().count(kNumberUnused), 3);

        QVERIFY(closeChequeBook(m_t->db, kAccount, 1, &why));
        QVERIFY(!closeChequeBook(m_t->db, kAccount, 1, &why));
        QCOMPARE(why, u"没有这本未结束的支票簿。"_s);
        QCOMPARE(refusedTake(), u"该账号没有未结束的支票簿。"_s);
        QCOMPARE(chequeRegister(m_t->db, kAccount)->first().lines.size(), 10);
    }

    // Books as the register window and its export read them: each book at a glance under its
    // heading, then its numbers in serial order with the gaps in place, each state in a colour
    // of its own; the account once per book; a voided number keeping the cheque it carried
    // beside who voided it; the replacement both ways; a print no longer running unconfirmed.
    void theGridReadsEachBookAtAGlance() {
        // A number, and the date, payee and amount of the cheque it carried.
        auto line = [](qint64 serial, const QString& state, const QStringList& cheque = {}) {
            RegisterLine l;
            l.serial = serial;
            l.state = state;
            l.issueDate = cheque.value(0);
            l.payee = cheque.value(1);
            l.amount = cheque.value(2);
            return l;
        };
        BookRegister one{book(1, 10), {}, {{3, 3}, {5, 6}}};
        one.book.prefix = u"A"_s;
        const RegisterLine printed =
            line(1, kNumberPrinted, {u"2026-12-08"_s, u"甲公司"_s, u"￥100.00"_s});
        RegisterLine spoiled =
            line(2, kNumberVoided, {u"2026-12-08"_s, u"乙公司"_s, u"￥200.00"_s});
        spoiled.reprints = 1;
        spoiled.reason = u"金额写错"_s;
        spoiled.voidedAt = u"2026-12-09 10:00:00"_s;
        spoiled.voidedBy = u"张三"_s;
        spoiled.replacedBy = u"A00000004"_s;
        RegisterLine again = line(4, kNumberPrinted, {u"2026-12-09"_s, u"乙公司"_s, u"￥200.00"_s});
        again.replaces = u"A00000002"_s;
        RegisterLine lost = line(7, kNumberPrinting);
        lost.time = u"2026-12-09 11:00:00"_s;
        lost.unsettled = true;
        RegisterLine torn = line(8, kNumberVoided);
        torn.reason = u"撕坏"_s;
        torn.voidedAt = u"2026-12-09 09:00:00"_s;
        torn.voidedBy = u"李四"_s;
        RegisterLine printing = line(9, kNumberPrinting);
        printing.time = u"2026-12-09 11:05:00"_s;
        one.lines = {printed, spoiled, line(3, kNumberUnused), again, line(5, kNumberUnused)};
        one.lines << line(6, kNumberUnused) << lost << torn << printing << line(10, kNumberUnused);
        BookRegister other{book(1, 1, u"6222 0002"_s), {line(1, kNumberUnused)}, {}};
        // The book list's counts add up to the book's size.
        QCOMPARE(bookListRow(one).mid(6, 4), (QStringList{u"2"_s, u"2"_s, u"2"_s, u"4"_s}));

        LengthMeasure measure;
        ProgressIndicator progress(m_clock);
        BoundGrid grid;
        buildRegisterGrid(grid, {one, other}, {measure, progress});
        QStringList rows;
        for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
            QStringList texts;
            for (int c = kRegisterAccountCol; c < grid.cols(); ++c)
                texts << grid.text(r, c);
            rows << texts.join(u'|');
        }
        QCOMPARE(rows, (QStringList{
                           kAccount + u"|A00000001-A00000010|未结束|2026-12-01|||||"_s,
                           u"|合计|已打印 2\u3000已作废 2\u3000打印中 2\u3000未使用 4\u3000"
                           u"缺号 00000003、00000005-00000006||||||"_s,
                           u"|A00000001|已打印|2026-12-08|甲公司|￥100.00|0||"_s,
                           u"|A00000002|已作废|2026-12-08|乙公司|￥200.00|1|"
                           u"金额写错（张三，2026-12-09 10:00:00）|被替代 A00000004"_s,
                           u"|A00000003|缺号||||||"_s,
                           u"|A00000004|已打印|2026-12-09|乙公司|￥200.00|0||替代 A00000002"_s,
                           u"|A00000005|缺号||||||"_s,
                           u"|A00000006|缺号||||||"_s,
                           u"|A00000007|打印中（未确认）|2026-12-09 11:00:00|||0||"_s,
                           u"|A00000008|已作废|2026-12-09 09:00:00|||0|撕坏（李四）|"_s,
                           u"|A00000009|打印中|2026-12-09 11:05:00|||0||"_s,
                           u"|A00000010|未使用||||||"_s,
                           u"6222 0002|3010203100000001|未结束|2026-12-01|||||"_s,
                           u"|合计|已打印 0\u3000已作废 0\u3000打印中 0\u3000未使用 1||||||"_s,
                           u"|3010203100000001|未使用||||||"_s,
                       }));

        // One colour to each state, a different one for each.
        QHash<QString, quint32> colors;
        for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
            if (!registerGridNumber(grid, r))
                continue;
            const QString state = grid.text(r, kRegisterStateCol).section(u'（', 0, 0);
            const quint32 color = grid.cell(r, kRegisterStateCol).foreColor;
            QCOMPARE(colors.value(state, color), color);
            colors.insert(state, color);
        }
        QCOMPARE(colors.size(), 5);
        QCOMPARE(QSet<quint32>(colors.cbegin(), colors.cend()).size(), 5);

        // A number's row names its book's account; the book's own rows name no number.
        const int first = grid.fixedRows();
        const struct {
            int row;
            QString number;
        } numbers[] = {{first + 8, kAccount + u" 7 A00000007"_s},
                       {first + 14, u"6222 0002 1 3010203100000001"_s}};
        for (const auto& n : numbers) {
            const std::optional<RegisterNumber> number = registerGridNumber(grid, n.row);
            QVERIFY(number);
            QCOMPARE(number->account + u' ' + QString::number(number->serial) + u' ' + number->text,
                     n.number);
        }
        QVERIFY(!registerGridNumber(grid, first) && !registerGridNumber(grid, first + 1));
        QVERIFY(isRegisterTotalsRow(grid, first + 13));
    }

    // The database itself keeps the register honest, whatever program writes to it: no number
    // is deleted, none goes back to printing, a printed one keeps the cheque it carried.
    void theDatabaseRefusesToRewriteTheRegister() {
        QString why;
        QVERIFY(addChequeBook(m_t->db, book(1, 5), m_clock.today(), &why));
        const TakenNumber printed = take();
        QVERIFY(
            numberPrinted(m_t->db, printed.id, {u"2026-12-08"_s, u"甲公司"_s, u"￥1.00"_s, {}}));
        const QStringList refused = {
            u"DELETE FROM 支票号码"_s,
            u"UPDATE 支票号码 SET 状态 = '打印中'"_s,
            u"UPDATE 支票号码 SET 收款人 = '乙公司'"_s,
            u"UPDATE 支票号码 SET 号码 = 2"_s,
            u"UPDATE 支票号码 SET 重打次数 = 5"_s,
        };
        for (const QString& sql : refused)
            QVERIFY2(!m_t->db.execute(sql), qPrintable(sql));
        QCOMPARE(m_t->rows(u"SELECT 号码, 状态, 收款人, 重打次数 FROM 支票号码"_s),
                 u"1/已打印/甲公司/0"_s);
        // The one change left: voiding it.
        QVERIFY(m_t->db.execute(u"UPDATE 支票号码 SET 状态 = '已作废', 作废原因 = '污损'"_s));
        QVERIFY(!m_t->db.execute(u"UPDATE 支票号码 SET 状态 = '已打印'"_s));
    }

    // The file's owner attacks the register with sqlite3: each attack is refused by the file's
    // own triggers, or named when the file is opened again (a dropped trigger is put back) and
    // before the next print, which it stops.
    void attacksOnAFileAreRefusedOrNamed_data() {
        QTest::addColumn<QStringList>("attack");
        QTest::addColumn<QString>("found");  // "" when the attack itself is refused
        QTest::addColumn<bool>("putBack");   // a trigger it dropped is put back at the next open
        const QString overlapping =
            u"INSERT INTO 支票簿 (账号, 前缀, 起始号码, 终止号码) "
            u"VALUES ('%1', '', 15, 30)"_s.arg(kAccount);
        QTest::newRow("a voided number turned printed") << QStringList{
            u"INSERT OR REPLACE INTO 支票号码 (支票簿ID, 号码, 状态, 时间, 收款人) "
            u"VALUES (1, 3, '已打印', '2026-12-08', '乙公司')"_s} << QString() << false;
        QTest::newRow("a number outside its book")
            << QStringList{u"INSERT INTO 支票号码 (支票簿ID, 号码, 状态, 时间) "
                           u"VALUES (1, 5000, '打印中', '2026-12-08')"_s}
            << QString() << false;
        QTest::newRow("a second book over the same numbers")
            << QStringList{overlapping} << QString() << false;
        QTest::newRow("a closed book reopened")
            << QStringList{u"UPDATE 支票簿 SET 已结束 = 1"_s, u"UPDATE 支票簿 SET 已结束 = 0"_s}
            << QString() << false;
        QTest::newRow("printed numbers deleted")
            << QStringList{u"DROP TRIGGER 支票号码_不可删除"_s,
                           u"DELETE FROM 支票号码 WHERE 状态 = '已打印'"_s}
            << u"支票号码有记录被删除"_s << true;
        QTest::newRow("the last number deleted")
            << QStringList{u"DROP TRIGGER 支票号码_不可删除"_s,
                           u"DELETE FROM 支票号码 WHERE 号码 = 3"_s}
            << u"支票号码有记录被删除"_s << true;
        QTest::newRow("the book deleted")
            << QStringList{u"DROP TRIGGER 支票簿_不可删除"_s, u"DELETE FROM 支票簿"_s}
            << u"支票簿有记录被删除"_s << true;
        QTest::newRow("a printed cheque's payee rewritten")
            << QStringList{u"UPDATE 历史记录 SET 收款人全称 = '丙公司' WHERE 收款人全称 = '乙公司'"_s}
            << u"号码3010203100000002与其历史记录不符"_s << false;
        QTest::newRow("a trigger that silently drops numbers")
            << QStringList{u"CREATE TRIGGER 不记 BEFORE INSERT ON 支票号码 "
                           u"BEGIN SELECT RAISE(IGNORE); END"_s}
            << u"有其他触发器：不记"_s << false;
        QTest::newRow("a trigger rewritten")
            << QStringList{u"DROP TRIGGER 支票簿_不可修改"_s,
                           u"CREATE TRIGGER 支票簿_不可修改 BEFORE UPDATE ON 支票簿 "
                           u"WHEN 0 BEGIN SELECT RAISE(ABORT, 'x'); END"_s}
            << u"触发器支票簿_不可修改已被改动"_s << false;
        QTest::newRow("a view in the book's place")
            << QStringList{u"ALTER TABLE 支票簿 RENAME TO 旧支票簿"_s,
                           u"CREATE VIEW 支票簿 AS SELECT * FROM 旧支票簿"_s}
            << u"支票簿不是数据表"_s << false;
    }
    void attacksOnAFileAreRefusedOrNamed() {
        if (onTestServer())
            QSKIP("a file's owner");
        QFETCH(QStringList, attack);
        QFETCH(QString, found);
        QFETCH(bool, putBack);
        QString why;
        QVERIFY(addChequeBook(m_t->db, book(1, 20), m_clock.today(), &why));
        for (const QString& payee : {u"甲公司"_s, u"乙公司"_s}) {
            const TakenNumber number = take();
            const std::optional<qint64> kept = m_t->db.insertReturningId(
                u"INSERT INTO 历史记录 (收款人全称, 金额, 支票号码) VALUES (?, '￥1.00', ?)"_s,
                {payee, number.text()});
            QVERIFY(kept && numberPrinted(m_t->db, number.id,
                                          {u"2026-12-08"_s, payee, u"￥1.00"_s, *kept}));
        }
        QVERIFY(voidSerial(m_t->db, m_clock, kAccount, 3, u"撕坏"_s, &why));
        QCOMPARE(recordsIntact(m_t->db), true);
        const QString before = m_t->rows(u"SELECT * FROM 支票号码 ORDER BY ID"_s);
        bool refused = false;
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"attacker"_s);
            raw.setDatabaseName(m_t->path());
            QVERIFY(raw.open());
            for (const QString& statement : attack)
                if (QSqlQuery query(raw); !query.exec(statement))
                    refused = true;
            raw.close();
        }
        QSqlDatabase::removeDatabase(u"attacker"_s);
        if (found.isEmpty()) {
            QVERIFY(refused);
            QCOMPARE(m_t->rows(u"SELECT * FROM 支票号码 ORDER BY ID"_s), before);
            QVERIFY(recordsIntact(m_t->db));
            return;
        }
        QVERIFY(!refused);
        // Opened again, as at the next start: what the attack dropped is put back and said.
        ScriptedPrompts prompts;
        Database reopened(prompts);
        QVERIFY(reopened.open(m_t->path()));
        QCOMPARE(prompts.shown().size(), putBack ? 1 : 0);
        if (putBack)
            QVERIFY(prompts.shown().front().text.startsWith(u"支票簿的保护触发器已被删除"_s));
        QVERIFY(!recordsIntact(reopened));
        QCOMPARE(prompts.shown().back().text,
                 u"支票簿登记的结构已被改动（%1），不能打印。"_s.arg(found));
    }

    // On a shared database a clerk keeps books and numbers with the clerks' rights; the server
    // writes who took a number and when, and refuses a clerk's deleting a book or a number.
    void aClerkKeepsTheRegisterOnASharedDatabase() {
        if (!onTestServer())
            QSKIP("a server's rights");
        ScriptedPrompts prompts;
        Database clerk(prompts);
        const QString login = m_t->openAs(u"clerk"_s, clerk);
        QVERIFY(!login.isEmpty());
        QString why;
        QVERIFY(addChequeBook(clerk, book(1, 5), m_clock.today(), &why));
        const std::optional<TakenNumber> taken =
            takeNumber(clerk, m_clock, kAccount, std::nullopt, &why);
        QVERIFY(taken);
        QVERIFY(numberPrinted(clerk, taken->id, {u"2026-12-08"_s, u"甲公司"_s, u"￥1.00"_s, {}}));
        QVERIFY(voidSerial(clerk, m_clock, kAccount, 2, u"撕坏"_s, &why));
        QCOMPARE(m_t->rows(u"SELECT 号码, 状态, 用户 FROM 支票号码 ORDER BY 号码"_s),
                 u"1/已打印/%1|2/已作废/%1"_s.arg(login));
        // The server's clock, not the one the clerk's program gave.
        QVERIFY(m_t->scalar(u"SELECT 时间 FROM 支票号码 WHERE 号码 = 1"_s).toString() !=
                m_clock.now().toString(u"yyyy-MM-dd HH:mm:ss"_s));
        QVERIFY(!clerk.execute(u"DELETE FROM 支票簿"_s));
        QVERIFY(!clerk.execute(u"UPDATE 支票簿 SET 终止号码 = 99"_s));
        QVERIFY(!clerk.execute(u"DELETE FROM 支票号码"_s));
        QCOMPARE(m_t->rows(u"SELECT 起始号码, 终止号码 FROM 支票簿"_s), u"1/5"_s);
    }
};

QTEST_GUILESS_MAIN(TestChequeRegister)
#include "tst_chequeregister.moc"
