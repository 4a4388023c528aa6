#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include "HistoryList.h"
#include "SchemaUpgrades.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

// The version whose program kept cheque books and numbers, before a voided number named who
// voided it, before a history row kept its time of day, and before there were kinds.
constexpr int kBooksVersion = 8;

// The tables with the rows a cashier of that version kept, in the columns that version had.
const QList<std::pair<QString, QString>> kKeptRows = {
    {u"支票格式"_s, u"Name, CtlDF, X, Y, S, Color, fName, fSize, fBold"_s},
    {u"历史记录"_s, u"Dat, 出票日期, 收款人全称, 金额, 用途, 账号, 银行, 支票号码"_s},
    {u"打印日志"_s, u"时间, 种类, 打印机, 格式, 结果, 历史ID, 内容, 用户"_s},
    {u"支票簿"_s, u"账号, 前缀, 起始号码, 终止号码, 领用日期, 已结束"_s},
    {u"支票号码"_s,
     u"支票簿ID, 号码, 状态, 时间, 用户, 出票日期, 收款人, 金额, 历史ID, 重打次数, "
     u"作废原因, 作废时间, 替代ID, 打印取号"_s},
    {u"用户状态"_s, u"用户, 当前格式, 上次输入"_s},
};

}  // namespace

// A database that the program of the cheque books' version made and filled is upgraded by
// today's program: every row it held is there as it was, the new columns say what the rows
// were (transfer cheques, their times of day), and the program's own checks find nothing
// wrong. Built from the shipped steps themselves, on a file and on a server.
class TestSchemaUpgrade : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_location;

    // Each table's rows in the given columns, in the order of their IDs, as text.
    static QString rowsOf(const QString& location) {
        QStringList tables;
        {
            QSqlDatabase db = plainConnection(location, u"rows"_s);
            QSqlQuery query(db);
            for (const auto& [table, columns] : kKeptRows) {
                QStringList rows;
                // The formats a later kind ships are added by the upgrade, beside the
                // cashier's rows.
                const QString kept = table == u"支票格式"_s
                                         ? u" WHERE Name NOT IN ('标准进账单', '标准现金支票')"_s
                                         : QString();
                if (!query.exec(u"SELECT %1 FROM %2%3 ORDER BY %4"_s.arg(
                        columns, table, kept, table == u"用户状态"_s ? u"用户"_s : u"ID"_s)))
                    rows << query.lastError().text();
                while (query.next()) {
                    QStringList cells;
                    for (int i = 0; i < query.record().count(); ++i)
                        cells << query.value(i).toString();
                    rows << cells.join(u'/');
                }
                tables << table + u": "_s + rows.join(u" | "_s);
            }
        }
        QSqlDatabase::removeDatabase(u"rows"_s);
        return tables.join(u'\n');
    }

    // The older program's tables, made by its own statements, and what a cashier kept in them:
    // two cheques (one on a number of a book), a voided number, a format of their own, the
    // journal of each print and an endorsement.
    static QString makeOlderDatabase(const QString& location) {
        QStringList statements = schemaScript() + shippedFormatScript();
        for (int version = 1; version < kBooksVersion; ++version) {
            const UpgradeStep& step = schemaUpgrades()[size_t(version - 1)];
            statements += step.statements + (onTestServer() ? step.serverOnly : step.fileOnly);
            // The move of the last input and the current format to the user's state, as that
            // step made it for a database without a last input.
            if (step.movesUserState)
                statements << u"INSERT INTO 用户状态 (用户, 当前格式) VALUES ('出纳', '标准支票')"_s
                           << u"DELETE FROM 支票格式 WHERE Name=''"_s;
        }
        statements
            << (onTestServer() ? u"CREATE TABLE 数据库版本 (版本 integer NOT NULL)"_s
                               : u"SELECT 1"_s)
            << (onTestServer() ? u"INSERT INTO 数据库版本 (版本) VALUES (%1)"_s
                               : u"PRAGMA user_version=%1"_s)
                   .arg(kBooksVersion)
            << u"INSERT INTO 支票格式 (Name, CtlDF, X, Y, S, Color, fName, fSize, fBold) VALUES "
               u"('我的格式', '', 230, 80, 0, 0, '', 0, FALSE), "
               u"('我的格式', '收款人', 30.5, 12, 1.5, 255, '宋体', 12, TRUE)"_s
            << u"INSERT INTO 历史记录 (Dat, 出票日期, 收款人全称, 金额, 用途, 账号, 银行, "
               u"支票号码) "
               u"VALUES ('2026-11-02', '2026-11-02', '甲公司', '￥1,234.50', '货款', '6222001', "
               u"'工行', '00012345'), ('2026-11-03', '2026-11-03', '乙公司', '￥88.00', "
               u"'服务费', '6222001', '工行', '')"_s
            << u"INSERT INTO 打印日志 (时间, 种类, 打印机, 格式, 结果, 历史ID, 内容, 用户) VALUES "
               u"('2026-11-02 09:30:15', '支票', 'ChequePDF', '我的格式', '已打印', 1, '甲', "
               u"'出纳'), ('2026-11-02 09:40:00', '支票', 'ChequePDF', '我的格式', '打印失败', "
               u"NULL, '乙', '出纳'), ('2026-11-03 10:00:00', '支票', 'ChequePDF', '我的格式', "
               u"'已打印', 2, '乙', '出纳'), ('2026-11-03 10:05:00', '背书', 'ChequePDF', "
               u"'我的格式', '已打印', NULL, '', '出纳')"_s
            << u"INSERT INTO 支票簿 (账号, 前缀, 起始号码, 终止号码, 领用日期) VALUES "
               u"('6222001', '', 12340, 12364, '2026-11-01')"_s
            << u"INSERT INTO 支票号码 (支票簿ID, 号码, 状态, 时间, 用户, 出票日期, 收款人, 金额, "
               u"历史ID, 作废原因, 作废时间) VALUES (1, 12344, '已作废', '2026-11-02 09:40:00', "
               u"'出纳', '2026-11-02', '乙公司', '￥88.00', NULL, '卡纸', '2026-11-02 09:41:00'), "
               u"(1, 12345, '已打印', '2026-11-02 09:30:15', '出纳', '2026-11-02', '甲公司', "
               u"'￥1,234.50', 1, '', '')"_s;
        QString failure;
        {
            QSqlDatabase db = plainConnection(location, u"older"_s);
            QSqlQuery query(db);
            for (const QString& statement : std::as_const(statements))
                if (failure.isEmpty() &&
                    !query.exec(onTestServer() ? inServerDialect(statement) : statement))
                    failure = statement + u": "_s + query.lastError().text();
        }
        QSqlDatabase::removeDatabase(u"older"_s);
        return failure;
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    void theCashiersRowsComeThroughTheUpgrade() {
        TestServerDatabase server;
        const QString location = onTestServer() ? server.address() : m_dir.filePath(u"DATA.db"_s);
        const QString made = makeOlderDatabase(location);
        QVERIFY2(made.isEmpty(), qPrintable(made));
        const QString before = rowsOf(location);
        QVERIFY2(!before.contains(u"ERROR"_s, Qt::CaseInsensitive), qPrintable(before));

        // A clerk's program refuses a shared database of an older version and changes nothing;
        // an administrator's upgrades it. A file is upgraded when it is opened.
        ScriptedPrompts prompts;
        Database db(prompts);
        if (onTestServer()) {
            QVERIFY(!Database(prompts).open(location));
            QCOMPARE(rowsOf(location), before);
            QVERIFY(db.initialize(location));
        } else {
            QVERIFY(db.open(location));
        }
        QCOMPARE(rowsOf(location), before);

        const auto rows = [&](const QString& sql) {
            QStringList found;
            std::optional<QSqlQuery> query = db.select(sql);
            while (query && query->next())
                found << query->value(0).toString();
            return found.join(u'|');
        };
        QCOMPARE(rows(onTestServer() ? u"SELECT 版本 FROM 数据库版本"_s : u"PRAGMA user_version"_s),
                 QString::number(kSchemaVersion));
        // Everything kept was a transfer cheque's; a row kept takes its time of day from the
        // journal entry that kept it; no number was voided by anyone named.
        QCOMPARE(rows(u"SELECT DISTINCT 种类 FROM 历史记录"_s), u"转账支票"_s);
        QCOMPARE(rows(u"SELECT 种类 FROM 支票格式 GROUP BY 种类 "
                      u"ORDER BY 种类 = '进账单', 种类 = '现金支票'"_s),
                 u"转账支票|现金支票|进账单"_s);
        QCOMPARE(rows(u"SELECT DISTINCT 种类 FROM 支票簿"_s), u"转账支票"_s);
        QCOMPARE(rows(u"SELECT 时刻 FROM 历史记录 ORDER BY ID"_s), u"09:30:15|10:00:00"_s);
        QCOMPARE(rows(u"SELECT 作废人 FROM 支票号码 ORDER BY ID"_s), u"|"_s);
        QCOMPARE(rows(u"SELECT 用户 || 种类 || 当前格式 FROM 用户种类状态"_s),
                 u"出纳转账支票标准支票"_s);
        QCOMPARE(rows(u"SELECT count(*) FROM 历史记录 WHERE 来源ID IS NOT NULL OR 票据种类<>''"_s),
                 u"0"_s);
        // The book of counterparties comes, empty.
        QCOMPARE(rows(u"SELECT count(*) FROM 往来单位"_s), u"0"_s);
        // The program's own checks find the journal and the register whole, and the history
        // lists the transfer cheques.
        QCOMPARE(db.journalTampering(), QString());
        QCOMPARE(db.registerTampering(), QString());
        HistoryList list(db);
        QVERIFY(list.load());
        QCOMPARE(list.count(), 2);
        if (!onTestServer())
            QVERIFY(prompts.shown().empty());
    }
};

QTEST_MAIN(TestSchemaUpgrade)
#include "tst_schemaupgrade.moc"
