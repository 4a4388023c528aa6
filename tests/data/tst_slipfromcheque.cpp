#include <QTest>

#include "HistoryRecords.h"
#include "PayeeBook.h"
#include "SlipFromCheque.h"
#include "TestClock.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

const QString kAccountA = u"6222000011112222"_s;  // has slips and an own entry
const QString kAccountB = u"6222000033334444"_s;  // has only an own entry
const QString kAccountC = u"6222000055556666"_s;  // its own entry was removed

// The columns of a kept row that the tests fill, in the order the rows below give them.
const QString kKeptColumns =
    u"种类, Dat, 账号, 银行, 收款人全称, 金额, 支票号码, 出票人全称, 收款人账号, 收款人开户银行"_s;

}  // namespace

// A deposit slip filled from a kept transfer cheque, on a file and on a server: where each of
// its fields comes from, what stays empty, which rows are refused, and that the kept slip names
// its cheque.
class TestSlipFromCheque : public QObject {
    Q_OBJECT

private:
    TestDatabase* m_t = nullptr;

    // Keeps a row given as its values separated by "/" (kKeptColumns); its ID.
    qint64 keep(const QString& row) {
        QVariantList values;
        for (const QString& value : row.split(u'/'))
            values << value;
        return m_t->db
            .insertReturningId(u"INSERT INTO 历史记录 ("_s + kKeptColumns +
                                   u") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                               values)
            .value_or(-1);
    }
    static QString texts(const Document& slip) {
        QStringList texts;
        for (int i = 0; i < int(slip.kind().fields.size()); ++i)
            texts << slip.text(i);
        return texts.join(u'|');
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }
    void init() { m_t = new TestDatabase; }
    void cleanup() { delete m_t; }

    void fillsTheSlipFromWhatTheHistoryAndTheBookKnow() {
        QString why;
        QVERIFY(addPayee(m_t->db,
                         {.fullName = u"甲公司"_s,
                          .printName = u"甲公司（印鉴名）"_s,
                          .account = kAccountA,
                          .own = true},
                         &why));
        QVERIFY(addPayee(
            m_t->db, {.fullName = u"甲公司上海分公司"_s, .account = kAccountB, .own = true}, &why));
        QVERIFY(addPayee(m_t->db, {.fullName = u"甲公司旧户"_s, .account = kAccountC, .own = true},
                         &why));
        QVERIFY(removePayee(m_t->db, u"甲公司旧户"_s, &why));
        // A counterparty that is no own account does not name a drawer, even with its account.
        QVERIFY(addPayee(m_t->db, {.fullName = u"己公司"_s, .account = kAccountC}, &why));
        QVERIFY(addPayee(
            m_t->db,
            {.fullName = u"丙公司"_s, .account = u"3100999"_s, .bank = u"建设银行城东支行"_s},
            &why));

        // Slips kept before: the newest of an account and of a payee count; the last input, a
        // slip without a drawer's name or a payee's account, and another kind's row do not.
        for (
            const QString& row : {
                u"进账单/2026-11-02/6222000011112222//丁公司///甲公司旧名/1111/农业银行"_s,
                u"进账单/2026-11-20/6222000011112222//丁公司///甲有限公司/4400123/工商银行西城支行"_s,
                u"进账单/2026-11-21/6222000011112222//丁公司/////"_s,
                u"进账单/1900-01-01/6222000011112222//丁公司///草稿/0000/草稿银行"_s,
                u"进账单/2026-11-22///丙公司///某人/9999/旧银行"_s,
                u"转账支票/2026-11-23/6222000033334444//戊公司///冒名/7777/冒名银行"_s,
            })
            QVERIFY(keep(row) > 0);
        const qint64 toBookPayee = keep(
            u"转账支票/2026-12-01/6222000011112222/工商银行北京分行/"
            u"丙公司/￥1234.50/1010203100000101///"_s);
        const qint64 toSlipPayee =
            keep(u"转账支票/2026-12-02/6222000033334444/农业银行上海分行/丁公司/￥88.00////"_s);
        const qint64 toNobody =
            keep(u"转账支票/2026-12-03/6222000055556666/中国银行/戊公司/￥5.00////"_s);
        const qint64 aSlip = keep(u"进账单/2026-12-04/6222000011112222//丙公司/￥1.00////"_s);
        const qint64 lastInput = keep(u"转账支票/1900-01-01/6222000011112222//丙公司/￥2.00////"_s);
        QVERIFY(toBookPayee > 0 && toSlipPayee > 0 && toNobody > 0 && aSlip > 0 && lastInput > 0);

        // Date | drawer: name, account, bank | payee: name, account, bank | capitals | amount |
        // kind | count | number.
        struct Case {
            qint64 id;
            QString filled;  // the fields joined by "|"; empty when refused
            QString refusal;
        };
        const QList<Case> cases = {
            {toBookPayee,
             u"2026|12|8|甲有限公司|6222000011112222|工商银行北京分行|丙公司|3100999|"
             u"建设银行城东支行|壹仟贰佰叁拾肆元伍角整|￥1234.50|转账支票|1|1010203100000101"_s,
             {}},
            {toSlipPayee,
             u"2026|12|8|甲公司上海分公司|6222000033334444|农业银行上海分行|丁公司|4400123|"
             u"工商银行西城支行|捌拾捌元整|￥88.00|转账支票|1|"_s,
             {}},
            {toNobody,
             u"2026|12|8||6222000055556666|中国银行|戊公司|||伍元整|￥5.00|转账支票|1|"_s,
             {}},
            {aSlip, {}, u"第%1条历史记录不是转账支票"_s.arg(aSlip)},
            {lastInput, {}, u"第%1条历史记录不是转账支票"_s.arg(lastInput)},
            {999999, {}, u"没有第999999条历史记录"_s},
        };
        const Clock clock = testClock();
        QStringList statements;
        m_t->db.watchStatements(
            [&](const QString& sql, const QVariantList&) { statements << sql; });
        for (const Case& c : cases) {
            QString reason;
            const std::optional<Document> filled = slipFromCheque(m_t->db, c.id, clock, &reason);
            QCOMPARE(filled ? texts(*filled) : QString(), c.filled);
            QCOMPARE(reason, c.refusal);
            QCOMPARE(filled ? filled->sourceId() : 0, filled ? c.id : 0);
            if (filled)
                QCOMPARE(&filled->kind(), &depositSlip());
        }
        m_t->db.watchStatements({});
        QVERIFY(m_t->prompts.shown().empty());

        // On a million rows each lookup is a seek: no statement reads the history whole or
        // sorts it (a file's plans; a server's small table is read whole whatever its indexes).
        if (!onTestServer()) {
            statements.removeDuplicates();
            QVERIFY(statements.size() >= 4);
            for (const QString& sql : std::as_const(statements)) {
                std::optional<QSqlQuery> plan =
                    m_t->db.select(u"EXPLAIN QUERY PLAN "_s + sql,
                                   QVariantList(sql.count(u'?'), QVariant(u"x"_s)));
                QStringList lines;
                while (plan && plan->next())
                    lines << plan->value(3).toString();
                const QString joined = lines.join(u" / "_s);
                QVERIFY2(!lines.isEmpty() && !joined.contains(u"SCAN 历史记录"_s) &&
                             !joined.contains(u"TEMP B-TREE"_s),
                         qPrintable(sql + u": "_s + joined));
            }
        }

        // The slip kept names its cheque (the history's column is the plans test's); loaded
        // again, it is no longer filled from it.
        QString reason;
        std::optional<Document> filled = slipFromCheque(m_t->db, toSlipPayee, clock, &reason);
        QVERIFY(filled);
        qint64 keptSlip = 0;
        QVERIFY(SaveHistoryRecord(m_t->db, *filled, clock.now(), &keptSlip));
        QCOMPARE(m_t->scalar(u"SELECT 来源ID FROM 历史记录 WHERE ID=?"_s, {keptSlip}).toLongLong(),
                 toSlipPayee);
        QVERIFY(LoadHistoryRecord(m_t->db, *filled, qint32(keptSlip), m_t->prompts, clock));
        QCOMPARE(filled->sourceId(), 0);
        QCOMPARE(filled->textOf(FieldRole::Payee), u"丁公司"_s);
    }
};

QTEST_MAIN(TestSlipFromCheque)
#include "tst_slipfromcheque.moc"
