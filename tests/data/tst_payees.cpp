#include <QFile>
#include <QTest>

#include "PayeeBook.h"
#include "PayeeImport.h"
#include "PaymentListSave.h"
#include "ProgramRun.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

// The columns of the book that a change could touch, every row, removed ones too.
const QString kBookRows =
    u"SELECT 全称, 打印名称, 账号, 开户银行, 用途, 备注, 本单位, 已删除 FROM 往来单位 ORDER BY ID"_s;

QString names(const std::optional<QList<Payee>>& found) {
    if (!found)
        return u"(failed)"_s;
    QStringList list;
    for (const Payee& payee : *found)
        list << payee.fullName;
    return list.join(u'|');
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
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
        return writeFile(path, bytes) ? path : QString();
    }
    std::optional<Payee> find(const QString& name) {
        std::optional<Payee> found;
        if (!findPayee(m_t->db, name, &found))
            qWarning("findPayee failed");
        return found;
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }
    void init() { m_t = new TestDatabase; }
    void cleanup() { delete m_t; }

    void aCashierKeepsTheBook() {
        Database& db = m_t->db;
        QString why;
        QVERIFY(addPayee(db,
                         {.fullName = u" 甲公司 "_s,
                          .account = u"6222 0001"_s,
                          .bank = u"ABC银行北京分行"_s,
                          .purpose = u"货款"_s},
                         &why));
        QVERIFY(addPayee(db,
                         {.fullName = u"本公司基本户"_s,
                          .printName = u"本公司"_s,
                          .account = u"4000 1234"_s,
                          .bank = u"工行"_s,
                          .own = true},
                         &why));
        // A name the book has, blanks around it or not, and no name at all are refused.
        QVERIFY(!addPayee(db, {.fullName = u"甲公司"_s}, &why));
        QCOMPARE(why, u"往来单位已存在：甲公司"_s);
        QVERIFY(!addPayee(db, {.fullName = u"  "_s}, &why));
        QCOMPARE(why, u"缺少全称"_s);

        std::optional<Payee> found = find(u"甲公司"_s);
        QVERIFY(found);
        QCOMPARE(found->bank, u"ABC银行北京分行"_s);
        QVERIFY(!find(u"甲公"_s));  // exact names only
        found->account = u"6222 0002"_s;
        found->notes = u"月结"_s;
        QVERIFY2(editPayee(db, *found, &why), qPrintable(why));
        Payee renamed = *find(u"本公司基本户"_s);
        renamed.fullName = u"甲公司"_s;
        QVERIFY(!editPayee(db, renamed, &why));
        QCOMPARE(why, u"往来单位已存在：甲公司"_s);
        QCOMPARE(m_t->rows(kBookRows),
                 u"甲公司//6222 0002/ABC银行北京分行/货款/月结/0/0|"
                 u"本公司基本户/本公司/4000 1234/工行///1/0"_s);

        // A search finds a name, an account or a bank containing the text, Latin letters in
        // either case; its % and _ are plain characters.
        QCOMPARE(names(payees(db)), u"本公司基本户|甲公司"_s);
        QCOMPARE(names(payees(db, u"abc"_s)), u"甲公司"_s);
        QCOMPARE(names(payees(db, u"1234"_s)), u"本公司基本户"_s);
        QCOMPARE(names(payees(db, u"公司"_s)), u"本公司基本户|甲公司"_s);
        QCOMPARE(names(payees(db, u"%"_s)), QString());

        // A removal keeps the row, marked; the entry is no longer found or listed, and its
        // name may be entered again.
        QVERIFY(removePayee(db, u"甲公司"_s, &why));
        QVERIFY(!removePayee(db, u"甲公司"_s, &why));
        QCOMPARE(why, u"没有这个往来单位：甲公司"_s);
        QVERIFY(!find(u"甲公司"_s));
        QCOMPARE(names(payees(db)), u"本公司基本户"_s);
        QVERIFY(addPayee(db, {.fullName = u"甲公司"_s, .account = u"6222 0003"_s}, &why));
        QCOMPARE(m_t->rows(u"SELECT 账号 || '/' || 已删除 FROM 往来单位 WHERE 全称='甲公司' "
                           u"ORDER BY ID"_s),
                 u"6222 0002/1|6222 0003/0"_s);
        QVERIFY(!editPayee(db, {.id = 1, .fullName = u"甲公司旧"_s}, &why));  // removed: not edited
        QCOMPARE(why, u"没有这个往来单位：甲公司旧"_s);
    }

    void listsAndTheHistoryFillTheBook() {
        Database& db = m_t->db;
        QString why;
        QVERIFY(
            addPayee(db, {.fullName = u"乙公司"_s, .account = u"111"_s, .bank = u"建行"_s}, &why));
        // A CSV list: a new name is added, a known one takes the values that are not empty.
        std::optional<PayeeImportCount> count = importPayeeList(db,
                                                                csv(u"list.csv"_s,
                                                                    "全称,账号,开户银行,用途,备注\n"
                                                                    "乙公司,,农行,,老客户\n"
                                                                    "丙公司,333,中行,服务费,\n"),
                                                                &why);
        QVERIFY2(count, qPrintable(why));
        QCOMPARE(count->added, 1);
        QCOMPARE(count->updated, 1);
        QCOMPARE(m_t->rows(kBookRows),
                 u"乙公司//111/农行//老客户/0/0|丙公司//333/中行/服务费//0/0"_s);

        // A workbook, written by the program's own list writer: a row that changes nothing is
        // not counted.
        ScriptedPrompts prompts;
        const QString workbook = m_t->dir.filePath(u"list.xlsx"_s);
        QVERIFY(savePaymentList(workbook, {u"全称"_s, u"打印名称"_s, u"账号"_s},
                                {{u"丙公司"_s, u""_s, u"333"_s}, {u"丁公司"_s, u"丁"_s, u"444"_s}},
                                prompts));
        count = importPayeeList(db, workbook, &why);
        QVERIFY2(count, qPrintable(why));
        QCOMPARE(count->added, 1);
        QCOMPARE(count->updated, 0);
        QCOMPARE(find(u"丁公司"_s)->printName, u"丁"_s);

        // The history's transfer cheques give each payee not in the book once; a removed entry
        // stays removed, another kind's payee is not taken.
        QVERIFY(removePayee(db, u"丁公司"_s, &why));
        const QString bookBefore = m_t->rows(kBookRows);
        QVERIFY(
            db.execute(u"INSERT INTO 历史记录 (Dat, 出票日期, 收款人全称, 金额, 种类) VALUES "
                       u"('2026-12-01', '2026-12-01', '戊公司', '￥1.00', '转账支票'), "
                       u"('2026-12-02', '2026-12-02', '戊公司', '￥2.00', '转账支票'), "
                       u"('2026-12-02', '2026-12-02', ' 己公司', '￥2.00', '转账支票'), "
                       u"('2026-12-02', '2026-12-02', '乙公司', '￥3.00', '转账支票'), "
                       u"('2026-12-02', '2026-12-02', '丁公司', '￥3.00', '转账支票'), "
                       u"('2026-12-02', '2026-12-02', '', '￥3.00', '转账支票'), "
                       u"('2026-12-03', '2026-12-03', '庚公司', '￥4.00', '进账单')"_s));
        count = importHistoryPayees(db);
        QVERIFY(count);
        QCOMPARE(count->added, 2);
        QCOMPARE(m_t->rows(kBookRows), bookBefore + u"|己公司//////0/0|戊公司//////0/0"_s);
        count = importHistoryPayees(db);
        QVERIFY(count);
        QCOMPARE(count->added, 0);
    }

    // A list with a bad row, or that is no list of counterparties, changes nothing and names
    // every problem.
    void aBadListChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("rows without a full name or with one twice")
            << QByteArray("全称,账号\n新公司,1\n,2\n乙公司,3\n 新公司 ,4\n")
            << u"第3行：缺少全称\n第5行：全称重复"_s;
        QTest::newRow("an unknown heading")
            << QByteArray("全称,开户行\n新公司,工行\n")
            << u"不认识的标题：开户行（可用：全称、打印名称、账号、开户银行、用途、备注）"_s;
        QTest::newRow("no full name column") << QByteArray("账号\n1\n") << u"没有“全称”列"_s;
        QTest::newRow("an unclosed quote")
            << QByteArray("全称\n\"新公司\n") << u"第2行的引号没有结束"_s;
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

    // The verbs, through the program as a user runs it.
    void theVerbsKeepTheBook() {
        const QString db = m_t->path();
        const auto run = [&](const QStringList& arguments) {
            return runProgram(arguments + QStringList{u"--database"_s, db});
        };
        ProgramRun added = run({u"payee"_s, u"add"_s, u"甲公司"_s, u"--account"_s, u"6222"_s,
                                u"--bank"_s, u"工行"_s, u"--purpose"_s, u"货款"_s,
                                u"--print-name"_s, u"甲"_s, u"--notes"_s, u"a\tb"_s});
        QVERIFY2(added.exitCode == 0, added.err.constData());
        QCOMPARE(run({u"payee"_s, u"add"_s, u"本单位户"_s, u"--own"_s}).exitCode, 0);
        added = run({u"payee"_s, u"add"_s, u"甲公司"_s});
        QCOMPARE(added.exitCode, 1);
        QCOMPARE(added.err, "chequeprint: 往来单位已存在：甲公司\n");
        const ProgramRun listed = run({u"payee"_s, u"list"_s});
        QCOMPARE(listed.exitCode, 0);
        QCOMPARE(listed.out,
                 "全称\t打印名称\t账号\t开户银行\t用途\t备注\t本单位\n"
                 "本单位户\t\t\t\t\t\t是\n"
                 "甲公司\t甲\t6222\t工行\t货款\ta b\t\n");
        QCOMPARE(run({u"payee"_s, u"list"_s, u"6222"_s}).out.count('\n'), 2);

        const QString list = csv(u"verb.csv"_s, "全称,开户银行\n甲公司,农行\n乙公司,中行\n");
        ProgramRun imported = run({u"payee"_s, u"import"_s, list});
        QCOMPARE(imported.out, "新增 1 个，更新 1 个\n");
        const QString bad = csv(u"bad.csv"_s, "全称,开户银行\n丙公司,农行\n,中行\n");
        imported = run({u"payee"_s, u"import"_s, bad});
        QCOMPARE(imported.exitCode, 1);
        QCOMPARE(imported.err, "chequeprint: 未导入，往来单位没有改动：\n第3行：缺少全称\n");
        QVERIFY(
            m_t->db.execute(u"INSERT INTO 历史记录 (Dat, 出票日期, 收款人全称, 金额) VALUES "
                            u"('2026-12-01', '2026-12-01', '丁公司', '￥1.00')"_s));
        imported = run({u"payee"_s, u"import"_s, u"--history"_s});
        QVERIFY2(imported.exitCode == 0, imported.err.constData());
        QCOMPARE(imported.out, "新增 1 个，更新 0 个\n");

        QCOMPARE(run({u"payee"_s, u"remove"_s, u"乙公司"_s}).exitCode, 0);
        const ProgramRun missing = run({u"payee"_s, u"remove"_s, u"乙公司"_s});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err, "chequeprint: 没有这个往来单位：乙公司\n");
        QCOMPARE(run({u"payee"_s, u"list"_s}).out.count('\n'), 4);
        // Options of one action given to another, and --history to print still taking an ID.
        QCOMPARE(run({u"payee"_s, u"list"_s, u"--own"_s}).exitCode, 2);
        QCOMPARE(run({u"payee"_s, u"add"_s, u"戊"_s, u"--history"_s}).exitCode, 2);
        RunOptions inFolder;
        inFolder.folder = m_t->dir.path();
        const ProgramRun print = runProgram({u"print"_s, u"--history"_s}, inFolder);
        QCOMPARE(print.exitCode, 2);
        QVERIFY2(print.err.startsWith("chequeprint: Missing value after '--history'."),
                 print.err.constData());
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
