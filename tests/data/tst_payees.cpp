#include <functional>

#include <QFile>
#include <QTest>

#include "DocumentKind.h"
#include "PayeeBook.h"
#include "PayeeImport.h"
#include "PayeePickList.h"
#include "PaymentListSave.h"
#include "ProgramRun.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

// Every row of the book, removed ones too.
const QString kBookRows =
    u"SELECT 全称, 打印名称, 账号, 开户银行, 用途, 备注, 本单位, 已删除 FROM 往来单位 ORDER BY ID"_s;

QString names(const std::optional<QList<Payee>>& found) {
    QStringList list;
    for (const Payee& payee : found.value_or(QList<Payee>{}))
        list << payee.fullName;
    return found ? list.join(u'|') : u"(failed)"_s;
}

}  // namespace

// The book of counterparties on a file and on a server: entering, editing, finding, searching,
// removing (kept, marked) and importing from lists and from the history.
class TestPayees : public QObject {
    Q_OBJECT

private:
    TestDatabase* m_t = nullptr;

    QString csv(const QString& name, const QByteArray& bytes) {
        const QString path = m_t->dir.filePath(name);
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path
                                                                                    : QString();
    }
    std::optional<Payee> find(const QString& name) {
        std::optional<Payee> found;
        return findPayee(m_t->db, name, &found) ? found : std::nullopt;
    }
    // The plan of the last statement `run` runs, its one value `value`: a file's from EXPLAIN
    // QUERY PLAN, a server's from EXPLAIN with reading the whole table made dear (a table of a
    // few rows would be read whole otherwise).
    QString planOf(const std::function<void()>& run, const QString& value) {
        QString sql;
        m_t->db.watchStatements([&](const QString& statement, const QVariantList&) {
            sql = QString(statement).replace(u"?"_s, u"'"_s + value + u"'"_s);
        });
        run();
        m_t->db.watchStatements({});
        QStringList lines;
        {
            QSqlDatabase db = plainConnection(m_t->path(), u"plan"_s);
            QSqlQuery plan(db);
            if (!onTestServer()
                    ? plan.exec(u"EXPLAIN QUERY PLAN "_s + sql)
                    : plan.exec(u"SET enable_seqscan = off"_s) && plan.exec(u"EXPLAIN "_s + sql))
                while (plan.next())
                    lines << plan.value(onTestServer() ? 0 : 3).toString();
        }
        QSqlDatabase::removeDatabase(u"plan"_s);
        return lines.join(u" / "_s);
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }
    void init() { m_t = new TestDatabase; }
    void cleanup() { delete m_t; }

    void aCashierKeepsTheBook() {
        Database& db = m_t->db;
        QString why;
        QVERIFY(addPayee(db, {.fullName = u" 甲公司 "_s, .bank = u"ABC银行"_s}, &why));
        QVERIFY(addPayee(
            db,
            {.fullName = u"本公司"_s, .printName = u"本"_s, .account = u"4000 1234"_s, .own = true},
            &why));
        // A name the book has, blanks around it or not, and no name at all are refused.
        QVERIFY(!addPayee(db, {.fullName = u"甲公司"_s}, &why));
        QCOMPARE(why, u"往来单位已存在：甲公司"_s);
        QVERIFY(!addPayee(db, {.fullName = u"  "_s}, &why));
        QCOMPARE(why, u"缺少全称"_s);
        QVERIFY(!find(u"甲公"_s));  // exact names only, found by one seek in the unique index
        const QString plan = planOf([&] { find(u"甲公司"_s); }, u"甲公司"_s);
        QVERIFY2(
            plan.contains(onTestServer() ? u"Index Scan using \"往来单位_全称\""_s
                                         : u"SEARCH 往来单位 USING INDEX 往来单位_全称 (全称=?)"_s),
            qPrintable(plan));

        Payee edited = find(u"甲公司"_s).value_or(Payee{});
        edited.account = u"6222 0002"_s;
        edited.notes = u"月结"_s;
        QVERIFY2(editPayee(db, edited, &why), qPrintable(why));
        edited.fullName = u"本公司"_s;
        QVERIFY(!editPayee(db, edited, &why));
        QCOMPARE(why, u"往来单位已存在：本公司"_s);
        QCOMPARE(m_t->rows(kBookRows),
                 u"甲公司//6222 0002/ABC银行//月结/0/0|本公司/本/4000 1234////1/0"_s);
        // A name, an account or a bank containing the text, Latin letters in either case; a %
        // is a plain character.
        QCOMPARE(names(payees(db)), u"本公司|甲公司"_s);
        QCOMPARE(names(payees(db, u"abc"_s)), u"甲公司"_s);
        QCOMPARE(names(payees(db, u"1234"_s)), u"本公司"_s);
        QCOMPARE(names(payees(db, u"%"_s)), QString());

        // A removal keeps the row, marked; the entry is no longer found, listed or edited, and
        // its name may be entered again.
        QVERIFY(removePayee(db, u"甲公司"_s, &why));
        QVERIFY(!removePayee(db, u"甲公司"_s, &why));
        QCOMPARE(why, u"没有这个往来单位：甲公司"_s);
        QVERIFY(!find(u"甲公司"_s));
        QCOMPARE(names(payees(db)), u"本公司"_s);
        edited.fullName = u"甲公司"_s;
        QVERIFY(!editPayee(db, edited, &why));
        QVERIFY(addPayee(db, {.fullName = u"甲公司"_s, .account = u"3"_s}, &why));
        QCOMPARE(m_t->rows(u"SELECT 账号, 已删除 FROM 往来单位 WHERE 全称='甲公司' ORDER BY ID"_s),
                 u"6222 0002/1|3/0"_s);
    }

    void listsAndTheHistoryFillTheBook() {
        Database& db = m_t->db;
        QString why;
        QVERIFY(
            addPayee(db, {.fullName = u"乙公司"_s, .account = u"111"_s, .bank = u"建行"_s}, &why));
        // A new name is added, a known one takes the values that are not empty.
        std::optional<PayeeImportCount> count = importPayeeList(
            db,
            csv(u"list.csv"_s,
                "全称,账号,开户银行,用途,备注\n乙公司,,农行,,老客户\n丙公司,3,中行,,\n"),
            &why);
        QVERIFY2(count, qPrintable(why));
        QCOMPARE(std::pair(count->added, count->updated), std::pair(1, 1));
        QCOMPARE(m_t->rows(kBookRows), u"乙公司//111/农行//老客户/0/0|丙公司//3/中行///0/0"_s);
        // A workbook written by the program's own list writer; a row that changes nothing is
        // not counted.
        ScriptedPrompts prompts;
        const QString workbook = m_t->dir.filePath(u"list.xlsx"_s);
        QVERIFY(savePaymentList(workbook, {u"全称"_s, u"打印名称"_s, u"账号"_s},
                                {{u"丙公司"_s, u""_s, u"3"_s}, {u"丁公司"_s, u"丁"_s, u"4"_s}},
                                prompts));
        count = importPayeeList(db, workbook, &why);
        QVERIFY2(count, qPrintable(why));
        QCOMPARE(std::pair(count->added, count->updated), std::pair(1, 0));

        // Each payee of the history's transfer cheques that the book has not, once; a removed
        // entry stays removed, another kind's payee is not taken.
        QVERIFY(removePayee(db, u"丁公司"_s, &why));
        const QString before = m_t->rows(kBookRows);
        QVERIFY(db.execute(
            u"INSERT INTO 历史记录 (Dat, 收款人全称, 种类) VALUES "
            u"('2026-12-01', '戊公司', '转账支票'), ('2026-12-01', '戊公司', '转账支票'), "
            u"('2026-12-02', ' 己公司', '转账支票'), ('2026-12-02', '乙公司', '转账支票'), "
            u"('2026-12-02', '丁公司', '转账支票'), ('2026-12-02', '', '转账支票'), "
            u"('2026-12-03', '庚公司', '进账单')"_s));
        count = importHistoryPayees(db);
        QVERIFY(count && count->added == 2);
        QCOMPARE(m_t->rows(kBookRows), before + u"|己公司//////0/0|戊公司//////0/0"_s);
        count = importHistoryPayees(db);
        QVERIFY(count && count->added == 0);
    }

    // A list with a bad row, or that is no list of counterparties, changes nothing and names
    // every problem.
    void aBadListChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("rows without a full name or with one twice")
            << QByteArray("全称,账号\n新公司,1\n,2\n乙公司,3\n 新公司 ,4\n")
            << u"第3行：缺少全称\n第5行：全称重复"_s;
        QTest::newRow("an unknown heading and one twice")
            << QByteArray("全称,开户行,全称\n新公司,工行,新\n")
            << u"标题重复：全称\n"
               u"不认识的标题：开户行（可用：全称、打印名称、账号、开户银行、用途、备注）"_s;
        QTest::newRow("no full name column") << QByteArray("账号\n1\n") << u"没有“全称”列"_s;
    }
    void aBadListChangesNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QString why;
        QVERIFY(addPayee(m_t->db, {.fullName = u"乙公司"_s, .account = u"111"_s}, &why));
        const QString before = m_t->rows(kBookRows);
        QVERIFY(!importPayeeList(m_t->db, csv(u"bad.csv"_s, bytes), &why));
        QCOMPARE(why, reason);
        QCOMPARE(m_t->rows(kBookRows), before);
    }

    // A payee field's pick list: the book's entries not removed, the most used of the kind
    // first (a name kept with blanks around it counts for its entry), then the kind's other
    // history names; a removed entry is one of those when the history has it, else not listed.
    // The history's names and counts come from its index alone.
    void thePayeePickListTakesTheBookFirst() {
        Database& db = m_t->db;
        QString why;
        for (const QString& name :
             {u"甲公司"_s, u"乙公司"_s, u"丙公司"_s, u"丁公司"_s, u"戊公司"_s})
            QVERIFY(addPayee(db, {.fullName = name}, &why));
        QVERIFY(removePayee(db, u"丙公司"_s, &why));
        QVERIFY(removePayee(db, u"丁公司"_s, &why));
        const QString cheque = transferCheque().id.toString();
        const QString slip = depositSlip().id.toString();
        const std::pair<QString, QString> rows[] = {
            {u"乙公司"_s, cheque}, {u"乙公司"_s, cheque},  {u"乙公司"_s, cheque},
            {u"甲公司"_s, cheque}, {u" 甲公司"_s, cheque}, {u"丙公司"_s, cheque},
            {u"丙公司"_s, cheque}, {u"己公司"_s, cheque},  {u""_s, cheque},
            {u"庚公司"_s, slip},   {u"庚公司"_s, slip},    {u"甲公司"_s, slip}};
        for (const auto& [payee, kind] : rows)
            QVERIFY(db.execute(
                u"INSERT INTO 历史记录 (Dat, 收款人全称, 种类) VALUES ('2026-12-01', ?, ?)"_s,
                {payee, kind}));
        QCOMPARE(payeePickList(db, cheque),
                 (QStringList{u"乙公司"_s, u"甲公司"_s, u"戊公司"_s, u"丙公司"_s, u"己公司"_s}));
        QCOMPARE(payeePickList(db, slip),
                 (QStringList{u"甲公司"_s, u"乙公司"_s, u"戊公司"_s, u"庚公司"_s}));
        const QString plan = planOf([&] { payeePickList(db, cheque); }, cheque);
        // A file reads the kind's part of its payee index alone. A server's small table has no
        // statistics, so it may take any index led by the kind; it must not read the table whole.
        QVERIFY2(onTestServer()
                     ? plan.contains(u"Index Cond: (\"种类\" = "_s) && !plan.contains(u"Seq Scan"_s)
                     : plan.contains(u"USING COVERING INDEX 历史记录_种类_收款人 (种类=?)"_s),
                 qPrintable(plan));
    }

    // Each verb once, through the program as a user runs it.
    void theVerbsKeepTheBook() {
        const auto run = [&](const QStringList& arguments) {
            return runProgram(arguments + QStringList{u"--database"_s, m_t->path()});
        };
        QCOMPARE(run({u"payee"_s, u"add"_s, u"甲公司"_s, u"--account"_s, u"6222"_s, u"--bank"_s,
                      u"工行"_s, u"--purpose"_s, u"货款"_s, u"--print-name"_s, u"甲"_s,
                      u"--notes"_s, u"a\tb"_s, u"--own"_s})
                     .exitCode,
                 0);
        ProgramRun r = run({u"payee"_s, u"add"_s, u"甲公司"_s});
        QCOMPARE(std::pair(r.exitCode, r.err),
                 std::pair(1, "chequeprint: 往来单位已存在：甲公司\n"_ba));
        r = run(
            {u"payee"_s, u"import"_s, csv(u"l.csv"_s, "全称,开户银行\n甲公司,农行\n乙公司,\n")});
        QCOMPARE(r.out, "新增 1 个，更新 1 个\n");
        r = run({u"payee"_s, u"import"_s, csv(u"bad.csv"_s, "全称\n乙公司\n乙公司\n")});
        QCOMPARE(std::pair(r.exitCode, r.err),
                 std::pair(1, "chequeprint: 未导入，往来单位没有改动：\n第3行：全称重复\n"_ba));
        QVERIFY(m_t->db.execute(
            u"INSERT INTO 历史记录 (Dat, 收款人全称) VALUES ('2026-12-01', '丙公司')"_s));
        QCOMPARE(run({u"payee"_s, u"import"_s, u"--history"_s}).out, "新增 1 个，更新 0 个\n");
        QCOMPARE(run({u"payee"_s, u"remove"_s, u"丙公司"_s}).exitCode, 0);
        r = run({u"payee"_s, u"remove"_s, u"丙公司"_s});
        QCOMPARE(std::pair(r.exitCode, r.err),
                 std::pair(1, "chequeprint: 没有这个往来单位：丙公司\n"_ba));
        QCOMPARE(run({u"payee"_s, u"list"_s, u"公司"_s}).out,
                 "全称\t打印名称\t账号\t开户银行\t用途\t备注\t本单位\n"
                 "乙公司\t\t\t\t\t\t\n"
                 "甲公司\t甲\t6222\t农行\t货款\ta b\t是\n");
        // An option of one action given to another; print's --history still takes an ID.
        QCOMPARE(run({u"payee"_s, u"list"_s, u"--own"_s}).exitCode, 2);
        RunOptions inFolder;
        inFolder.folder = m_t->dir.path();
        r = runProgram({u"print"_s, u"--history"_s}, inFolder);
        QVERIFY2(
            r.exitCode == 2 && r.err.startsWith("chequeprint: Missing value after '--history'"),
            r.err.constData());
    }

    // On a shared database every clerk adds and edits entries and marks them removed; the
    // server gives the IDs, and nobody but the tables' owner deletes a row.
    void aClerkKeepsTheBookButDeletesNothing() {
        if (!onTestServer())
            QSKIP("a file has no clerks");
        ScriptedPrompts prompts;
        Database clerk(prompts);
        QVERIFY(!m_t->openAs(u"clerk"_s, clerk).isEmpty());
        QString why;
        const std::optional<qint64> id = addPayee(clerk, {.fullName = u"甲公司"_s}, &why);
        QVERIFY(id);
        QVERIFY(editPayee(clerk, {.id = *id, .fullName = u"甲公司"_s, .bank = u"工行"_s}, &why));
        QVERIFY(importHistoryPayees(clerk));
        QVERIFY(removePayee(clerk, u"甲公司"_s, &why));
        QVERIFY(!clerk.execute(u"DELETE FROM 往来单位"_s));
        QVERIFY(!clerk.execute(u"INSERT INTO 往来单位 (ID, 全称) VALUES (1000, '乙公司')"_s));
        QVERIFY(!clerk.execute(u"UPDATE 往来单位 SET ID = 1000"_s));
        QCOMPARE(m_t->rows(u"SELECT ID, 开户银行, 已删除 FROM 往来单位"_s),
                 u"%1/工行/1"_s.arg(*id));
    }
};

QTEST_MAIN(TestPayees)
#include "tst_payees.moc"
