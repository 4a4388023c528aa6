#include <QTest>

#include "HistoryColumns.h"
#include "HistoryRecords.h"
#include "HistoryRows.h"
#include "PayeeBook.h"
#include "SlipFromCheque.h"
#include "TestClock.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

const QString kAccountA = u"6222000011112222"_s;  // has slips and an own entry
const QString kAccountB = u"6222000033334444"_s;  // has only an own entry
const QString kAccountC = u"6222000055556666"_s;  // its own entry was removed

// A kept row of the history, as a print keeps it.
struct Kept {
    QString kind;
    QString date;
    QString account;
    QString bank;
    QString payee;
    QString amount = {};
    QString number = {};  // a transfer cheque's 支票号码
    QString drawer = {};  // a slip's 出票人全称
    QString payeeAccount = {};
    QString payeeBank = {};
};

}  // namespace

// A deposit slip filled from a kept transfer cheque, on a file and on a server: where each of
// its fields comes from, what stays empty, which rows are refused, that the kept slip names its
// cheque and that the cheque's row then reads 已打印.
class TestSlipFromCheque : public QObject {
    Q_OBJECT

private:
    TestDatabase* m_t = nullptr;

    qint64 keep(const Kept& row) {
        const std::optional<qint64> id = m_t->db.insertReturningId(
            u"INSERT INTO 历史记录 (种类, Dat, 账号, 银行, 收款人全称, 金额, 支票号码, "
            u"出票人全称, 收款人账号, 收款人开户银行) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
            {row.kind, row.date, row.account, row.bank, row.payee, row.amount, row.number,
             row.drawer, row.payeeAccount, row.payeeBank});
        return id.value_or(-1);
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

        const QString slip = u"进账单"_s, cheque = u"转账支票"_s;
        // Slips kept before: the newest of an account and of a payee count, the last input and
        // a slip without a drawer's name or a payee's account do not.
        for (const Kept& row : {
                 Kept{slip,
                      u"2026-11-02"_s,
                      kAccountA,
                      {},
                      u"丁公司"_s,
                      {},
                      {},
                      u"甲公司旧名"_s,
                      u"1111"_s,
                      u"农业银行"_s},
                 Kept{slip,
                      u"2026-11-20"_s,
                      kAccountA,
                      {},
                      u"丁公司"_s,
                      {},
                      {},
                      u"甲有限公司"_s,
                      u"4400123"_s,
                      u"工商银行西城支行"_s},
                 Kept{slip,
                      u"2026-11-21"_s,
                      kAccountA,
                      {},
                      u"丁公司"_s,
                      {},
                      {},
                      u""_s,
                      u""_s,
                      u""_s},
                 Kept{slip,
                      u"1900-01-01"_s,
                      kAccountA,
                      {},
                      u"丁公司"_s,
                      {},
                      {},
                      u"草稿"_s,
                      u"0000"_s,
                      u"草稿银行"_s},
                 Kept{slip,
                      u"2026-11-22"_s,
                      {},
                      {},
                      u"丙公司"_s,
                      {},
                      {},
                      u"某人"_s,
                      u"9999"_s,
                      u"旧银行"_s},
             })
            QVERIFY(keep(row) > 0);
        // Another kind's row of the account and payee is no slip.
        const qint64 earlier = keep({cheque,
                                     u"2026-11-23"_s,
                                     kAccountB,
                                     {},
                                     u"戊公司"_s,
                                     {},
                                     {},
                                     u"冒名"_s,
                                     u"7777"_s,
                                     u"冒名银行"_s});
        auto kept = [&](const QString& kind, const QString& date, const QString& account,
                        const QString& bank, const QString& payee, const QString& amount,
                        const QString& number = {}) {
            return keep({kind, date, account, bank, payee, amount, number, {}, {}, {}});
        };
        const qint64 toBookPayee = kept(cheque, u"2026-12-01"_s, kAccountA, u"工商银行北京分行"_s,
                                        u"丙公司"_s, u"￥1234.50"_s, u"1010203100000101"_s);
        const qint64 toSlipPayee = kept(cheque, u"2026-12-02"_s, kAccountB, u"农业银行上海分行"_s,
                                        u"丁公司"_s, u"￥88.00"_s);
        const qint64 toNobody =
            kept(cheque, u"2026-12-03"_s, kAccountC, u"中国银行"_s, u"戊公司"_s, u"￥5.00"_s);
        const qint64 aSlip = kept(slip, u"2026-12-04"_s, kAccountA, {}, u"丙公司"_s, u"￥1.00"_s);
        const qint64 lastInput =
            kept(cheque, u"1900-01-01"_s, kAccountA, {}, u"丙公司"_s, u"￥2.00"_s);
        QVERIFY(earlier > 0 && toBookPayee > 0 && toSlipPayee > 0 && toNobody > 0 && aSlip > 0 &&
                lastInput > 0);

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

        // The slip kept names its cheque; that cheque, and only it, reads 已打印 in the
        // history of transfer cheques. Loaded again, the slip is no longer filled from it.
        QString reason;
        std::optional<Document> filled = slipFromCheque(m_t->db, toSlipPayee, clock, &reason);
        QVERIFY(filled);
        qint64 keptSlip = 0;
        QVERIFY(SaveHistoryRecord(m_t->db, *filled, clock.now(), &keptSlip));
        QCOMPARE(m_t->scalar(u"SELECT 来源ID FROM 历史记录 WHERE ID=?"_s, {keptSlip}).toLongLong(),
                 toSlipPayee);
        const int printed = int(historyGridNames().indexOf(kSlipPrintedColumn));
        QVERIFY(printed > 0);
        QVERIFY(!historyGridNames(depositSlip()).contains(kSlipPrintedColumn));
        HistoryRowReader reader(m_t->db, HistoryOrder{});
        QStringList shown;
        for (QStringList row; reader.next(row);)
            shown << row[0] + u'=' + row[printed];
        QCOMPARE(shown.join(u' '), u"%1= %2= %3=已打印 %4="_s.arg(earlier)
                                       .arg(toBookPayee)
                                       .arg(toSlipPayee)
                                       .arg(toNobody));
        QVERIFY(LoadHistoryRecord(m_t->db, *filled, qint32(keptSlip), m_t->prompts, clock));
        QCOMPARE(filled->sourceId(), 0);
        QCOMPARE(filled->textOf(FieldRole::Payee), u"丁公司"_s);
    }
};

QTEST_MAIN(TestSlipFromCheque)
#include "tst_slipfromcheque.moc"
