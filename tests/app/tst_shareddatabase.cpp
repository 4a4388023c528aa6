// Several clerks on one PostgreSQL database: programs running at the same moment, and a server
// that restarts under a running program. Runs only where a test server is (scripts/test.sh).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include "BoundGrid.h"
#include "ChequeFields.h"
#include "ChequeRegister.h"
#include "Document.h"
#include "FormatCommands.h"
#include "FormatGrid.h"
#include "FormatStore.h"
#include "HistoryRecords.h"
#include "ProgramRun.h"
#include "ProgressIndicator.h"
#include "RegisterRules.h"
#include "ServerRights.h"
#include "TestClock.h"
#include "TestDatabase.h"
#include "UserState.h"
#include "ZeroMeasure.h"

using namespace Qt::StringLiterals;

namespace {

// What one clerk does in a process of its own: saves the shipped format from its grid
// `times` times, and after each save finds it whole, with a row for each field and one
// page-settings row whatever the other clerk is doing. Exit code 0 when every save went in whole.
int saveFormatRepeatedly(const QString& address, int times) {
    ScriptedPrompts prompts;
    Database db(prompts);
    if (!db.open(address))
        return 1;
    const Clock clock = testClock();
    ZeroMeasure measure;
    ProgressIndicator progress(clock);
    BoundGrid grid;
    Document cheque;
    FormatDisplays displays;
    ListFormatNames(db, displays);
    ShowFormatGrid(grid, db, displays.currentFormat, cheque, displays, {measure, progress});
    for (int i = 0; i < times; ++i) {
        if (!SaveFormatFromGrid(db, grid, displays.currentFormat, cheque, displays, progress,
                                prompts))
            return 1;
        std::optional<QSqlQuery> rows = db.select(
            u"SELECT count(*) FILTER (WHERE CtlDF<>''), count(*) FILTER (WHERE "
            u"CtlDF='') FROM 支票格式 WHERE Name=?"_s,
            {displays.currentFormat});
        if (!rows || !rows->next() || rows->value(0).toInt() != kPrintableFieldCount ||
            rows->value(1).toInt() != 1) {
            qWarning("after save %d the format has %s field rows and %s page rows", i + 1,
                     qPrintable(rows->value(0).toString()), qPrintable(rows->value(1).toString()));
            return 2;
        }
    }
    return 0;
}

// Starts processes, then waits for them all; their standard error on failure.
QString runTogether(std::vector<std::unique_ptr<QProcess>>& processes) {
    for (auto& process : processes) {
        prepareProcess(*process, {});
        process->start();
    }
    QString failures;
    for (auto& process : processes)
        if (!process->waitForFinished(600000) || process->exitCode() != 0)
            failures += QString::fromLocal8Bit(process->readAllStandardError()) + u'\n';
    return failures;
}

// Clerks 甲 and 乙 each print and keep `times` cheques at the same moment, each into a PDF of
// their own and with payees of their own (甲1, 甲2, ...); `options` go to every print. Their
// standard error when any print failed.
QString clerksPrintAtOnce(TestDatabase& t, int times, const QString& options) {
    std::vector<std::unique_ptr<QProcess>> clerks;
    for (const QString& clerk : {u"甲"_s, u"乙"_s}) {
        auto process = std::make_unique<QProcess>();
        process->setProgram(u"bash"_s);
        process->setArguments(
            {u"-c"_s,
             u"for i in $(seq %1); do \"$0\" print --database \"$1\" --pdf \"$2\" %2 "
             u"--field \"票身-收款人=$3$i\" --save || exit 1; done"_s.arg(times)
                 .arg(options),
             QStringLiteral(CHEQUEPRINT_EXE), t.path(), t.dir.filePath(clerk + u".pdf"_s), clerk});
        clerks.push_back(std::move(process));
    }
    return runTogether(clerks);
}

Document chequeFor(const QString& payee) {
    Document cheque;
    const QString texts[] = {u"2026"_s, u"12"_s, u"8"_s};
    for (int i = 0; i < 3; ++i) {
        cheque.setText(i, texts[i]);
        cheque.setText(stubField(i + 1), texts[i]);
    }
    cheque.setText(Field::Payee, payee);
    cheque.setText(Field::Amount, u"￥1.00"_s);
    return cheque;
}

// A login's own session on the shared database, as psql gives it: each statement as typed.
class Session {
public:
    explicit Session(const QString& address) : m_name(QUuid::createUuid().toString()) {
        QString why;
        const ServerAddress at = parseServerAddress(address, &why).value_or(ServerAddress{});
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, m_name);
        db.setHostName(at.host);
        db.setPort(at.port);
        db.setUserName(at.user);
        db.setDatabaseName(at.database);
        db.open();
    }
    ~Session() { QSqlDatabase::removeDatabase(m_name); }
    // The server's message when it refuses the statement; empty when it ran.
    QString refusal(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        return query.exec(sql) ? QString() : query.lastError().databaseText();
    }

private:
    QString m_name;
};

// A server of the test's own, which it may stop and start.
class OwnServer {
public:
    OwnServer() {
        // The cluster belongs to the postgres user when the tests run as root.
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadOther | QFile::ExeOther);
        const QString url = script(u"start"_s).trimmed();
        if (url.startsWith(u"postgresql://"_s))
            m_address = url;
    }
    ~OwnServer() {
        if (!m_address.isEmpty())
            script(u"stop"_s);
    }
    const QString& address() const { return m_address; }
    // The same database through the folder of the server's socket, as a program on the
    // server's own machine reaches it.
    QString socketAddress() const {
        const QUrl url(m_address);
        return u"postgresql://%1@%2?host=%3&port=%4"_s
            .arg(url.userName(), url.path(), m_dir.filePath(u"pg"_s))
            .arg(url.port());
    }
    QString script(const QString& command) {
        QProcess process;
        process.start(u"bash"_s,
                      {QStringLiteral(PG_TEST_SERVER_SCRIPT), command, m_dir.filePath(u"pg"_s)});
        process.waitForFinished(120000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

private:
    QTemporaryDir m_dir;
    QString m_address;
};

}  // namespace

class TestSharedDatabase : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    // An administrator sets up an empty database once (two at the same moment do no harm);
    // clients never create tables, and refuse a database of a newer program.
    void settingUpASharedDatabase() {
        TestServerDatabase empty;
        ScriptedPrompts prompts;
        for (const QString& address :
             {empty.address(), u"postgresql://postgres@127.0.0.1:1/chequeprint"_s}) {
            Database client(prompts);  // no tables yet; no server there
            QVERIFY(!client.open(address));
            QCOMPARE(prompts.shown().back().text.section(u'\n', 0, 0), u"无法建立数据库连接！"_s);
        }
        std::vector<std::unique_ptr<QProcess>> administrators;
        for (int i = 0; i < 2; ++i) {
            auto process = std::make_unique<QProcess>();
            process->setProgram(QStringLiteral(CHEQUEPRINT_EXE));
            process->setArguments({u"init-database"_s, u"--database"_s, empty.address()});
            administrators.push_back(std::move(process));
        }
        const QString failures = runTogether(administrators);
        QVERIFY2(failures.trimmed().isEmpty(), qPrintable(failures));
        QCOMPARE(runProgram({u"init-database"_s, u"--database"_s, empty.address()}).exitCode, 0);

        const ProgramRun formats = runProgram({u"formats"_s, u"--database"_s, empty.address()});
        QCOMPARE(formats.exitCode, 0);
        QCOMPARE(QString::fromUtf8(formats.out), u"标准支票\t*\n"_s);
        Database client(prompts);
        QVERIFY(client.open(empty.address()));
        std::optional<QSqlQuery> rows =
            client.select(u"SELECT count(*) FROM 支票格式 WHERE 种类='转账支票'"_s);
        QVERIFY(rows && rows->next());
        QCOMPARE(rows->value(0).toInt(),
                 kPrintableFieldCount + 1);  // the shipped format and its page row

        // A database of the version before each clerk had a state of their own: its one last
        // input and current format become where every clerk starts from.
        for (const QString& sql :
             {u"DROP TABLE 用户状态"_s, u"DROP TABLE 用户种类状态"_s,
              u"ALTER TABLE 打印日志 DROP COLUMN 用户"_s, u"UPDATE 数据库版本 SET 版本=2"_s,
              u"INSERT INTO 支票格式 (Name, CtlDF) VALUES ('', '标准支票')"_s,
              u"INSERT INTO 历史记录 (Dat, 收款人全称) VALUES ('1900-01-01', '上次的收款人')"_s})
            QVERIFY(client.execute(sql));
        QCOMPARE(runProgram({u"init-database"_s, u"--database"_s, empty.address()}).exitCode, 0);
        Database upgraded(prompts);
        QVERIFY(upgraded.open(empty.address()));
        Document cheque;
        const Clock clock = testClock();
        loadLastInput(upgraded, cheque, prompts, clock);
        QCOMPARE(cheque.text(Field::Payee), u"上次的收款人"_s);
        QCOMPARE(storedCurrentFormat(upgraded).value_or(QString()), u"标准支票"_s);
        rows = client.select(u"SELECT count(*) FROM 历史记录"_s);
        QVERIFY(rows && rows->next());
        QCOMPARE(rows->value(0).toInt(), 0);

        QVERIFY(client.execute(u"UPDATE 数据库版本 SET 版本=99"_s));
        Database older(prompts);
        QVERIFY(!older.open(empty.address()));
        QCOMPARE(prompts.shown().back().text,
                 u"该数据文件由更新版本的程序建立，请使用新版本的程序打开！"_s);
        const ProgramRun refused =
            runProgram({u"init-database"_s, u"--database"_s, empty.address()});
        QCOMPARE(refused.exitCode, 1);
    }

    // A clerk with exactly the rights init-database gives, running any program: cannot lock
    // the others out, take IDs ahead of them, act for another clerk, empty the formats or
    // choose the journal's time and login; and still prints and keeps cheques.
    void aClerkCannotRewriteTheRecordOrBecomeSomeoneElse() {
        TestDatabase t;
        ScriptedPrompts prompts;
        Database mallory(prompts), victim(prompts);
        const QString login = t.openAs(u"mallory"_s, mallory);
        QVERIFY(!login.isEmpty() && !t.openAs(u"victim"_s, victim).isEmpty());
        QVERIFY(storeCurrentFormat(victim, u"标准支票"_s));
        QVERIFY(storeCurrentFormat(mallory, u"标准支票"_s));
        QVERIFY(storeCurrentKind(victim, u"转账支票"_s) &&
                storeCurrentKind(mallory, u"转账支票"_s));
        const QString victimName = victim.userName();
        for (
            const QString& sql : {
                u"UPDATE 数据库版本 SET 版本=99"_s,
                u"DELETE FROM 数据库版本"_s,
                u"INSERT INTO 历史记录 (ID, 收款人全称) VALUES (5, '抢号')"_s,
                u"INSERT INTO 历史记录 (ID, 收款人全称) OVERRIDING SYSTEM VALUE VALUES (6, '抢号')"_s,
                u"INSERT INTO 打印日志 (ID, 时间, 种类, 结果) VALUES (7, '2026', '支票', '已打印')"_s,
                u"UPDATE 历史记录 SET 金额='￥1.00'"_s,
                u"UPDATE 打印日志 SET 时间='2000-01-01'"_s,
                u"DELETE FROM 打印日志"_s,
                u"TRUNCATE 打印日志"_s,
                u"DROP TABLE 打印日志"_s,
                u"ALTER TABLE 打印日志 DISABLE TRIGGER ALL"_s,
                u"ALTER TABLE 用户状态 DISABLE ROW LEVEL SECURITY"_s,
                u"INSERT INTO 用户状态 (用户, 当前格式) VALUES ('"_s + victimName + u"', '偏移')"_s,
                u"UPDATE 用户状态 SET 用户='"_s + victimName + u"'"_s,
                u"ALTER TABLE 用户种类状态 DISABLE ROW LEVEL SECURITY"_s,
                u"INSERT INTO 用户种类状态 (用户, 种类, 当前格式) VALUES ('"_s + victimName +
                    u"', '转账支票', '偏移')"_s,
                u"UPDATE 用户种类状态 SET 用户='"_s + victimName + u"'"_s,
                u"DELETE FROM 支票格式"_s,
                u"UPDATE 支票格式 SET X=X+50"_s,
            })
            QVERIFY2(!mallory.execute(sql), qPrintable(sql));
        // These run, and touch nothing of anyone else's.
        QVERIFY(mallory.execute(u"UPDATE 用户状态 SET 当前格式='偏移' WHERE 用户<>current_user"_s));
        QVERIFY(mallory.execute(u"DELETE FROM 用户状态 WHERE 用户<>current_user"_s));
        QVERIFY(
            mallory.execute(u"UPDATE 用户种类状态 SET 当前格式='偏移' WHERE 用户<>current_user"_s));
        QVERIFY(mallory.execute(u"DELETE FROM 用户种类状态 WHERE 用户<>current_user"_s));
        QVERIFY(mallory.execute(u"SET TIME ZONE 'Pacific/Kiritimati'"_s));
        QVERIFY(
            mallory.execute(u"INSERT INTO 打印日志 (时间, 用户, 种类, 结果) VALUES "
                            u"('2000-01-01 00:00:00', 'postgres', '支票', '打印中')"_s));
        QVERIFY(mallory.execute(
            u"INSERT INTO 历史记录 (Dat, 时刻, 收款人全称) VALUES ('2000-01-01', '00:00:00', '甲')"_s));

        QCOMPARE(storedCurrentFormat(victim).value_or(QString()), u"标准支票"_s);
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 支票格式 WHERE 种类='转账支票'"_s).toInt(),
                 kPrintableFieldCount + 1);
        QCOMPARE(t.rows(u"SELECT 用户, abs(extract(epoch FROM 时间::timestamp - localtimestamp)) "
                        u"< 60 FROM 打印日志"_s),
                 login + u"/1"_s);
        QCOMPARE(t.rows(u"SELECT Dat = current_date, abs(extract(epoch FROM (Dat + 时刻::time) - "
                        u"localtimestamp)) < 60 FROM 历史记录"_s),
                 u"1/1"_s);
        // Everyone goes on: the clerk prints and keeps a cheque with the program, and the
        // administrator's init-database still runs.
        QUrl address(t.path());
        address.setUserName(login);
        const ProgramRun print = runProgram({u"print"_s, u"--database"_s, address.toString(),
                                             u"--pdf"_s, t.dir.filePath(u"c.pdf"_s), u"--field"_s,
                                             u"票身-收款人=乙公司"_s, u"--save"_s});
        QVERIFY2(print.exitCode == 0, print.err.constData());
        QCOMPARE(t.rows(u"SELECT 结果, 用户 FROM 打印日志 WHERE 历史ID IS NOT NULL"_s),
                 u"已打印/"_s + login);
        QCOMPARE(runProgram({u"init-database"_s, u"--database"_s, t.path()}).exitCode, 0);
    }

    // A clerk's session cannot make the cheque register say what the program would not: each
    // attempt is refused with its reason and changes nothing. The program still keeps the
    // register as the clerk, with the void's time and login the server's, and an administrator
    // settles a number that a clerk's program left printing once no program prints it.
    void aClerkCannotRewriteTheChequeRegister() {
        TestDatabase t;
        ScriptedPrompts prompts;
        Database mallory(prompts), victim(prompts);
        const QString login = t.openAs(u"mallory"_s, mallory);
        QVERIFY(!login.isEmpty() && !t.openAs(u"victim"_s, victim).isEmpty());
        QUrl address(t.path());
        address.setUserName(login);
        const Clock clock = testClock();
        QString why;
        const std::optional<qint64> book =
            addChequeBook(victim, {0, u"甲"_s, {}, 1, 20, {}, false}, clock.today(), &why);
        const std::optional<qint64> closed =
            addChequeBook(victim, {0, u"甲"_s, {}, 21, 40, {}, false}, clock.today(), &why);
        QVERIFY(book && closed && closeChequeBook(victim, u"甲"_s, 21, &why));
        auto take = [&](Database& db) {
            return takeNumber(db, clock, u"甲"_s, std::nullopt, &why).value_or(TakenNumber{});
        };
        const qint64 victims = take(victim).id, printing = take(mallory).id,
                     waiting = take(mallory).id;
        // Mallory's program prints on the second number.
        const QString printLock = u"SELECT pg_advisory_lock(%1, %2)"_s.arg(kPrintingNumberLocks);
        QVERIFY(mallory.select(printLock.arg(printing)));

        const QString newBook = u"INSERT INTO 支票簿 (账号, 起始号码, 终止号码) VALUES "_s;
        const QString newNumber = u"INSERT INTO 支票号码 (支票簿ID, 时间, 号码, 状态"_s;
        const QString ofBook = u") VALUES (%1, '', "_s.arg(*book);
        const QString change = u"UPDATE 支票号码 SET "_s;
        const QString fakeOwner =
            u"CREATE TEMP TABLE pg_class AS SELECT c.oid, r.oid AS relowner FROM "
            u"pg_catalog.pg_class c, pg_roles r WHERE relname = '支票号码' AND rolname = '%1'"_s
                .arg(login);
        const struct {
            QStringList sql;
            QString refusal;
        } attacks[] = {
            {{newBook + u"('甲', 15, 25)"_s}, u"该账号已有号码重叠的支票簿"_s},
            {{newBook + u"('甲', 30, 35)"_s}, u"该账号已有号码重叠的支票簿"_s},
            {{u"CREATE TEMP TABLE 支票簿 (账号 text, 起始号码 int, 终止号码 int)"_s,
              u"INSERT INTO public.支票簿 (账号, 起始号码, 终止号码) VALUES ('甲', 15, 25)"_s},
             u"该账号已有号码重叠的支票簿"_s},
            {{newBook + u"('乙', 9, 5)"_s}, u"起始号码不大于终止号码"_s},
            {{newBook + u"('乙', -1, 5)"_s}, u"起始号码不大于终止号码"_s},
            {{newBook + u"('乙', 99999990, 100000000)"_s}, u"起始号码不大于终止号码"_s},
            {{newBook + u"('乙', 1, 1001)"_s}, u"一本支票簿最多1000张支票"_s},
            {{u"UPDATE 支票簿 SET 已结束 = 0 WHERE ID = %1"_s.arg(*closed)},
             u"已结束的支票簿不能重新启用"_s},
            {{newNumber + ofBook + u"5000, '打印中')"_s}, u"号码不在支票簿的范围内"_s},
            {{newNumber + ofBook + u"-3, '打印中')"_s}, u"号码不在支票簿的范围内"_s},
            {{newNumber + ofBook + u"7, '已打印')"_s}, u"新号码只能是打印中，或未用先作废"_s},
            {{newNumber + u", 收款人"_s + ofBook + u"7, '打印中', '乙公司')"_s},
             u"新号码只能是打印中，或未用先作废"_s},
            {{newNumber + u", 金额"_s + ofBook + u"7, '打印中', '￥1.00')"_s},
             u"新号码只能是打印中，或未用先作废"_s},
            {{newNumber + u", 历史ID"_s + ofBook + u"7, '打印中', 1)"_s},
             u"新号码只能是打印中，或未用先作废"_s},
            {{newNumber + u", 重打次数"_s + ofBook + u"7, '打印中', 2)"_s},
             u"新号码只能是打印中，或未用先作废"_s},
            {{newNumber + u", 作废原因"_s + ofBook + u"7, '已作废', '撕坏')"_s},
             u"新号码只能是打印中，或未用先作废"_s},
            {{newNumber + u", 打印取号"_s + ofBook + u"7, '已作废', 0)"_s}, u"请填写作废原因"_s},
            {{newNumber + u", 作废原因, 打印取号"_s + ofBook + u"7, '已作废', ' 　', 0)"_s},
             u"请填写作废原因"_s},
            {{change + u"状态 = '已作废', 作废原因 = ' ' WHERE ID = %1"_s.arg(waiting)},
             u"请填写作废原因"_s},
            {{change + u"作废时间 = '2000-01-01 00:00:00' WHERE ID = %1"_s.arg(waiting)},
             u"支票号码不可修改"_s},
            {{change + u"作废人 = 'victim' WHERE ID = %1"_s.arg(waiting)}, u"permission denied"_s},
            {{change + u"状态 = '已打印', 收款人 = '乙公司' WHERE ID = %1"_s.arg(victims)},
             u"打印中的号码只能由取号的用户修改"_s},
            {{change + u"状态 = '已作废', 作废原因 = '撕坏' WHERE ID = %1"_s.arg(victims)},
             u"打印中的号码只能由取号的用户修改"_s},
            {{change + u"重打次数 = 重打次数 + 1 WHERE ID = %1"_s.arg(victims)},
             u"打印中的号码只能由取号的用户修改"_s},
            {{fakeOwner, u"UPDATE public.支票号码 SET 重打次数 = 1 WHERE ID = %1"_s.arg(victims)},
             u"打印中的号码只能由取号的用户修改"_s},
            {{fakeOwner,
              u"INSERT INTO public.支票号码 (ID, 支票簿ID, 号码, 状态, 时间, 用户) "
              u"VALUES (99, %1, 9, '打印中', '2000-01-01', 'victim')"_s.arg(*book)},
             u"ID由数据库生成"_s},
            {{change + u"状态 = '已作废', 作废原因 = '卡纸' WHERE ID = %1"_s.arg(printing)},
             u"号码正在打印，不能作废"_s},
            {{change + u"状态 = '已打印' WHERE ID = %1"_s.arg(printing)},
             u"号码正在打印，不能修改"_s},
        };
        const QString books = u"SELECT * FROM 支票簿 ORDER BY ID"_s;
        const QString numbers = u"SELECT * FROM 支票号码 ORDER BY ID"_s;
        const QString before = t.rows(books) + u'\n' + t.rows(numbers);
        for (const auto& attack : attacks) {
            Session session(address.toString());
            for (qsizetype k = 0; k + 1 < attack.sql.size(); ++k)
                QVERIFY2(session.refusal(attack.sql[k]).isEmpty(), qPrintable(attack.sql[k]));
            const QString refusal = session.refusal(attack.sql.last());
            QVERIFY2(refusal.contains(attack.refusal), qPrintable(attack.sql.last() + refusal));
            QCOMPARE(t.rows(books) + u'\n' + t.rows(numbers), before);
        }

        // Two books added at once: the second waits for the first, then sees its serials. A
        // transaction that read before the other's book was added adds none.
        Session first(address.toString()), second(address.toString());
        QVERIFY(first.refusal(u"BEGIN"_s).isEmpty() &&
                first.refusal(newBook + u"('丙', 1, 20)"_s).isEmpty());
        QVERIFY(second.refusal(u"SET lock_timeout = '1s'"_s).isEmpty());
        QVERIFY(second.refusal(newBook + u"('丙', 11, 30)"_s).contains(u"lock timeout"_s));
        QVERIFY(first.refusal(u"COMMIT"_s).isEmpty());
        QVERIFY(second.refusal(newBook + u"('丙', 11, 30)"_s).contains(u"号码重叠"_s));
        QVERIFY(first.refusal(u"BEGIN ISOLATION LEVEL REPEATABLE READ"_s).isEmpty() &&
                first.refusal(u"SELECT count(*) FROM 支票簿"_s).isEmpty());
        QVERIFY(second.refusal(newBook + u"('丁', 1, 20)"_s).isEmpty());
        QVERIFY(first.refusal(newBook + u"('丁', 11, 30)"_s).contains(u"可重复读"_s));
        QCOMPARE(t.rows(u"SELECT 账号, 起始号码 FROM 支票簿 WHERE 账号 IN ('丙', '丁')"_s),
                 u"丙/1|丁/1"_s);

        // The program as the clerk, whose session writes another time zone: the printing
        // session reprints and voids its own number; a printed one and an unused one are voided.
        QVERIFY(mallory.execute(u"SET TIME ZONE 'Pacific/Kiritimati'"_s));
        QVERIFY(numberReprinted(mallory, printing));
        QVERIFY(voidTakenNumber(mallory, clock, printing, u"卡纸"_s));
        QVERIFY(mallory.select(u"SELECT pg_advisory_unlock_all()"_s));
        QVERIFY(numberPrinted(mallory, waiting, {u"2026-12-08"_s, u"甲公司"_s, u"￥1.00"_s, {}}));
        QVERIFY(voidSerial(mallory, clock, u"甲"_s, 3, u"金额写错"_s, &why));
        QVERIFY(voidSerial(mallory, clock, u"甲"_s, 10, u"撕坏"_s, &why));
        const QString voids =
            u"SELECT 号码, 重打次数, 收款人, 作废原因, 作废人, abs(extract(epoch FROM "
            u"作废时间::timestamp - localtimestamp)) < 60 FROM 支票号码 WHERE 状态 = '已作废' "
            u"ORDER BY 号码"_s;
        QCOMPARE(t.rows(voids),
                 u"2/1//卡纸/%1/1|3/0/甲公司/金额写错/%1/1|10/0//撕坏/%1/1"_s.arg(login));

        // The victim's program prints, then ends without settling its number: the
        // administrator voids it once the print no longer holds it.
        QVERIFY(victim.select(printLock.arg(victims)));
        QVERIFY(!voidTakenNumber(t.db, clock, victims, u"程序中断"_s));
        QVERIFY(victim.select(u"SELECT pg_advisory_unlock_all()"_s));
        QVERIFY(voidTakenNumber(t.db, clock, victims, u"程序中断"_s));
        QCOMPARE(t.rows(u"SELECT 作废原因, 作废人 FROM 支票号码 WHERE ID = %1"_s.arg(victims)),
                 u"程序中断/"_s + t.db.userName());
    }

    // init-database may run again at any time: it puts back the shipped format when it is
    // gone, and turns rights that an older set-up granted to each login into membership of
    // the clerks' role, which is all they need and no more.
    void initDatabasePutsBackTheFormatAndTheRights() {
        TestDatabase t;
        const QString old = t.server.clerk(u"old"_s);
        QVERIFY(!old.isEmpty());
        QVERIFY(
            t.db.execute(u"GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA "
                         u"public TO "_s +
                         old));
        QVERIFY(t.db.execute(u"DELETE FROM 支票格式 WHERE Name='标准支票'"_s));
        const ProgramRun init = runProgram({u"init-database"_s, u"--database"_s, t.path()});
        QCOMPARE(init.exitCode, 0);
        QVERIFY2(
            init.err.contains("标准支票格式已丢失，现已恢复。") && init.err.contains(old.toUtf8()),
            init.err.constData());
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 支票格式 WHERE Name='标准支票'"_s).toInt(),
                 kPrintableFieldCount + 1);
        ScriptedPrompts prompts;
        Database clerk(prompts);
        QUrl address(t.path());
        address.setUserName(old);
        QVERIFY(clerk.open(address.toString()));
        QVERIFY(!clerk.execute(u"DELETE FROM 支票格式"_s));
        QVERIFY(
            clerk.insertReturningId(u"INSERT INTO 历史记录 (收款人全称) VALUES (?)"_s, {u"甲"_s}));
        // Whoever edits formats is given the role for it.
        QVERIFY(t.db.execute(u"GRANT "_s + kFormatEditorRole + u" TO "_s + old));
        QVERIFY(clerk.execute(u"UPDATE 支票格式 SET X=X WHERE Name='标准支票'"_s));
    }

    // Two clerks print and keep 200 cheques each at the same moment: every one is kept once.
    void twoClerksKeepEveryCheque() {
        TestDatabase t;
        QVERIFY(t.db.isOpen());
        const QString failures = clerksPrintAtOnce(t, 200, {});
        QVERIFY2(failures.trimmed().isEmpty(), qPrintable(failures));
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 历史记录"_s).toInt(), 400);
        QCOMPARE(t.scalar(u"SELECT count(DISTINCT 收款人全称) FROM 历史记录"_s).toInt(), 400);
    }

    // Two clerks print 40 cheques each at the same moment from one cheque book: every number
    // is taken once, each printed cheque kept with its own.
    void twoClerksTakeEveryNumberOnce() {
        TestDatabase t;
        QString why;
        QVERIFY(addChequeBook(t.db, {0, u"12345"_s, u"3010"_s, 1, 100, {}, false}, kTestNow.date(),
                              &why));
        const QString failures = clerksPrintAtOnce(t, 40, u"--field 账号=12345"_s);
        QVERIFY2(failures.trimmed().isEmpty(), qPrintable(failures));
        QCOMPARE(t.rows(u"SELECT count(*), count(DISTINCT 号码), count(DISTINCT 历史ID), "
                        u"min(号码), max(号码) FROM 支票号码 WHERE 状态 = '已打印'"_s),
                 u"80/80/80/1/80"_s);
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 历史记录"_s).toInt(), 80);
    }

    // Two clerks save the same format 100 times each at the same moment: it keeps one set of
    // rows, as after any one save.
    void twoClerksSavingOneFormatLeaveItWhole() {
        TestDatabase t;
        QVERIFY(t.db.isOpen());
        std::vector<std::unique_ptr<QProcess>> clerks;
        for (int i = 0; i < 2; ++i) {
            auto process = std::make_unique<QProcess>();
            process->setProgram(QCoreApplication::applicationFilePath());
            process->setArguments({u"--save-format"_s, t.path(), u"100"_s});
            clerks.push_back(std::move(process));
        }
        const QString failures = runTogether(clerks);
        QVERIFY2(failures.trimmed().isEmpty(), qPrintable(failures));
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 支票格式 WHERE Name='标准支票' AND CtlDF<>''"_s)
                     .toInt(),
                 kPrintableFieldCount);
        QCOMPARE(
            t.scalar(u"SELECT count(*) FROM 支票格式 WHERE Name='标准支票' AND CtlDF=''"_s).toInt(),
            1);
    }

    // A transaction that meets a serialization failure or a deadlock runs again, unseen; one
    // that meets them every time fails once, with one message, keeping nothing.
    void collisionsRunTheTransactionAgain_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("failures");
        QTest::addColumn<bool>("kept");
        QTest::newRow("serialization failure once") << u"40001"_s << 1 << true;
        QTest::newRow("deadlock three times") << u"40P01"_s << 3 << true;
        QTest::newRow("deadlock every time") << u"40P01"_s << 1000 << false;
        QTest::newRow("another fault") << u"P0001"_s << 1 << false;
    }
    void collisionsRunTheTransactionAgain() {
        QFETCH(QString, code);
        QFETCH(int, failures);
        QFETCH(bool, kept);
        TestDatabase t;
        // The second row of each attempt fails; the count survives the rollbacks.
        QVERIFY(t.db.execute(u"CREATE SEQUENCE tries"_s));
        QVERIFY(t.db.execute(
            u"CREATE FUNCTION collide() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
            u"IF NEW.收款人全称 = '二' AND nextval('tries') <= %1 THEN "
            u"RAISE EXCEPTION 'collided' USING ERRCODE = '%2'; END IF; RETURN NEW; END $$"_s
                .arg(failures)
                .arg(code)));
        QVERIFY(
            t.db.execute(u"CREATE TRIGGER collide BEFORE INSERT ON 历史记录 FOR EACH ROW "
                         u"EXECUTE FUNCTION collide()"_s));
        QList<qint64> ids;
        QCOMPARE(saveHistoryRecords(t.db, {chequeFor(u"一"_s), chequeFor(u"二"_s)},
                                    QDate(2026, 12, 8), &ids),
                 kept);
        QCOMPARE(t.rows(u"SELECT 收款人全称 FROM 历史记录 ORDER BY ID"_s),
                 kept ? u"一|二"_s : u""_s);
        QCOMPARE(int(t.prompts.shown().size()), kept ? 0 : 1);
        const int attempts = t.scalar(u"SELECT last_value FROM tries"_s).toInt();
        QCOMPARE(attempts, code == u"P0001" ? 1 : std::min(failures + 1, 5));
    }

    // An administrator who may not create roles is told what is missing and what to do instead;
    // once the roles are there, the same login sets the database up.
    void initDatabaseWithoutTheRightToCreateRoles() {
        OwnServer server;
        if (server.address().isEmpty())
            SKIP_FOR_MISSING_SET_UP(u"the PostgreSQL test server of this test did not start"_s);
        Session postgres(server.address());
        QCOMPARE(postgres.refusal(u"CREATE ROLE kassenwart LOGIN"_s), QString());
        QCOMPARE(postgres.refusal(u"CREATE DATABASE kasse OWNER kassenwart"_s), QString());
        QUrl url(server.address());
        url.setUserName(u"kassenwart"_s);
        url.setPath(u"/kasse"_s);
        const QStringList init = {u"init-database"_s, u"--database"_s, url.toString()};
        const ProgramRun refused = runProgram(init);
        QCOMPARE(refused.exitCode, 1);
        const QString said = QString::fromUtf8(refused.err);
        QVERIFY2(said.contains(u"需要能创建角色（CREATEROLE）的数据库用户运行 init-database"_s) &&
                     said.contains(kClerkRole) && !said.contains(u"无法建立数据库连接"_s) &&
                     !said.contains(u"$$"_s),
                 qPrintable(said));
        for (const QString& role : {kClerkRole, kFormatEditorRole})
            QCOMPARE(postgres.refusal(u"CREATE ROLE %1 NOLOGIN"_s.arg(role)), QString());
        const ProgramRun done = runProgram(init);
        QVERIFY2(done.exitCode == 0, done.err.constData());
    }

    // The server stops under a running program and starts again: a save while it is down fails
    // with the message and keeps nothing; the next ones connect again and keep everything.
    void aServerRestartLosesNothing() {
        OwnServer server;
        if (server.address().isEmpty())
            SKIP_FOR_MISSING_SET_UP(u"the PostgreSQL test server of this test did not start"_s);
        ScriptedPrompts prompts;
        Database db(prompts);
        QVERIFY(db.initialize(server.address()));
        auto kept = [&] {
            std::optional<QSqlQuery> q = db.select(u"SELECT count(*) FROM 历史记录"_s);
            return q && q->next() ? q->value(0).toInt() : -1;
        };
        QVERIFY(SaveHistoryRecord(db, chequeFor(u"重启前"_s), QDate(2026, 12, 8)));

        server.script(u"pause"_s);
        QVERIFY(!SaveHistoryRecord(db, chequeFor(u"停机时"_s), QDate(2026, 12, 8)));
        QVERIFY(prompts.shown().back().text.startsWith(u"数据库打开错误(INSERT INTO 历史记录"_s));
        server.script(u"resume"_s);
        QCOMPARE(kept(), 1);

        // A single statement and a transaction, each the first after a restart.
        server.script(u"pause"_s);
        server.script(u"resume"_s);
        prompts.clear();
        QVERIFY(SaveHistoryRecord(db, chequeFor(u"重启后"_s), QDate(2026, 12, 8)));
        server.script(u"pause"_s);
        server.script(u"resume"_s);
        QList<qint64> ids;
        QVERIFY(saveHistoryRecords(db, {chequeFor(u"一"_s), chequeFor(u"二"_s)}, QDate(2026, 12, 8),
                                   &ids));
        QCOMPARE(ids.size(), 2);
        QVERIFY(prompts.shown().empty());
        QCOMPARE(kept(), 4);

        // The history grid reads the column types first: after a restart too.
        server.script(u"pause"_s);
        server.script(u"resume"_s);
        QCOMPARE(db.declaredTypes(u"历史记录"_s).value(u"dat"_s), u"date"_s);

        // Another program on the server's machine, through the server's socket.
        Database local(prompts);
        QVERIFY2(local.open(server.socketAddress()), qPrintable(server.socketAddress()));
        std::optional<QSqlQuery> q = local.select(u"SELECT count(*) FROM 历史记录"_s);
        QVERIFY(q && q->next());
        QCOMPARE(q->value(0).toInt(), 4);
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--save-format")
        return saveFormatRepeatedly(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    TestSharedDatabase test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shareddatabase.moc"
