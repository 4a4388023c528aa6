#include <filesystem>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include "ChequeFields.h"
#include "Document.h"
#include "FormatStore.h"
#include "HistoryRecords.h"
#include "HistoryRows.h"
#include "PrintJournal.h"
#include "SchemaUpgrades.h"
#include "TestClock.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

class TestDatabaseLayer : public QObject {
    Q_OBJECT

private slots:
    void firstUseCreatesAPrivateFileWithTheDefaultFormat() {
        TestDatabase t;
        QVERIFY(t.db.isOpen());
        namespace fs = std::filesystem;
        QCOMPARE(fs::status(t.path().toStdString()).permissions(),
                 fs::perms::owner_read | fs::perms::owner_write);
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 支票格式 WHERE Name='标准支票' AND CtlDF<>''"_s)
                     .toInt(),
                 kPrintableFieldCount);
        QCOMPARE(
            t.scalar(u"SELECT fName FROM 支票格式 WHERE Name='标准支票' AND CtlDF=''"_s).toString(),
            u"14 22 63 0 10"_s);
        QCOMPARE(t.currentFormat(), u"标准支票"_s);
        QCOMPARE(t.scalar(u"PRAGMA journal_mode"_s).toString(), u"wal"_s);
        QCOMPARE(t.scalar(u"PRAGMA synchronous"_s).toInt(), 2);  // FULL
        QVERIFY(t.prompts.shown().empty());
    }

    void reopeningKeepsWhatIsStored() {
        TestDatabase t;
        QVERIFY(t.db.execute(u"DELETE FROM 支票格式 WHERE CtlDF='会计'"_s));
        Database again(t.prompts);
        QVERIFY(again.open(t.path()));
        std::optional<QSqlQuery> count =
            again.select(u"SELECT count(*) FROM 支票格式 WHERE 种类='转账支票'"_s);
        QVERIFY(count && count->next());
        QCOMPARE(count->value(0).toInt(),
                 kPrintableFieldCount);  // one field's row fewer, the page's
    }

    void queryWithoutRowsIsNoFailure() {
        TestDatabase t;
        std::optional<QSqlQuery> query =
            t.db.select(u"SELECT * FROM 历史记录 WHERE ID=?"_s, {12345});
        QVERIFY(query);
        QVERIFY(!query->next());
        QVERIFY(t.prompts.shown().empty());
    }

    void invalidStatementShowsItsText() {
        TestDatabase t;
        const QString sql = u"SELECT * FROM 没有这个表"_s;
        QVERIFY(!t.db.select(sql));
        QCOMPARE(t.prompts.shown().size(), size_t(1));
        QCOMPARE(t.prompts.shown()[0].text, u"数据库打开错误(SELECT * FROM 没有这个表)！"_s);
        QCOMPARE(t.prompts.shown()[0].buttons, PromptButtons::Ok);
        QVERIFY(!t.db.execute(u"DELETE FROM 没有这个表"_s));  // reported to the caller only
        QCOMPARE(t.prompts.shown().size(), size_t(1));
    }

    void unreachableFileShowsTheConnectionMessage_data() {
        QTest::addColumn<bool>("notADatabase");
        QTest::addColumn<QString>("reason");  // SQLite's
        QTest::newRow("folder cannot be made") << false << u"unable to open database file"_s;
        QTest::newRow("file is not a database") << true << u"file is not a database"_s;
    }
    void unreachableFileShowsTheConnectionMessage() {
        QFETCH(bool, notADatabase);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString path;
        QFile file(dir.filePath(u"plain"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        path = notADatabase ? file.fileName() : file.fileName() + u"/sub/DATA.db"_s;
        ScriptedPrompts prompts;
        Database db(prompts);
        QVERIFY(!db.open(path));
        QCOMPARE(prompts.shown().size(), size_t(1));
        // Which file, and why, in a second line.
        const QStringList lines = prompts.shown()[0].text.split(u'\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], u"无法建立数据库连接！"_s);
        QVERIFY2(lines[1].startsWith(path + u"："_s + reason), qPrintable(lines[1]));
        QCOMPARE(QFileInfo(file.fileName()).size(), 4096);  // a file not ours is left alone
    }

    void portableFileBesideTheProgramWins() {
        const QString portable = QCoreApplication::applicationDirPath() + u"/DATA.db"_s;
        QVERIFY(!QFileInfo::exists(portable));
        QVERIFY(Database::defaultPath() != portable);
        QFile file(portable);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString chosen = Database::defaultPath();
        QFile::remove(portable);
        QCOMPARE(chosen, portable);
    }

    void unfinishedTransactionLeavesTheOldState() {
        TestDatabase t;
        {
            Transaction transaction(t.db);
            QVERIFY(t.db.execute(u"DELETE FROM 支票格式"_s));
            QVERIFY(!t.db.execute(u"INSERT INTO 没有这个表 VALUES (1)"_s));
        }  // not committed
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 支票格式 WHERE 种类='转账支票'"_s).toInt(),
                 kPrintableFieldCount + 1);
    }

    // An older file gains the journal and each user's own state on opening and loses
    // nothing: the file as the program wrote it before schema versions (version 0), before
    // the journal (1) and before each user had a state of their own (2). Its last input and
    // current format become those of the user who opens it.
    // Another program changes the journal's structure: the program notices it and prints
    // nothing, or, for a protecting trigger that was only deleted, puts it back and says so.
    void tamperingWithTheJournal_data() {
        QTest::addColumn<QStringList>("tampering");
        QTest::addColumn<QString>("shown");  // what opening or the next print is told, in part
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("prints");
        QTest::newRow("an ignoring trigger")
            << QStringList{u"CREATE TRIGGER 静音 BEFORE INSERT ON 打印日志 "
                           u"BEGIN SELECT RAISE(IGNORE); END"_s}
            << u"有其他触发器：静音"_s << true << false;
        QTest::newRow("a protecting trigger made harmless")
            << QStringList{u"DROP TRIGGER 打印日志_不可删除"_s,
                           u"CREATE TRIGGER 打印日志_不可删除 BEFORE DELETE ON 打印日志 "
                           u"BEGIN SELECT 1; END"_s}
            << u"触发器打印日志_不可删除已被改动"_s << true << false;
        QTest::newRow("a view over the history")
            << QStringList{u"CREATE VIEW 付款 AS SELECT * FROM 历史记录"_s} << u"有视图引用：付款"_s
            << true << false;
        QTest::newRow("a protecting trigger deleted")
            << QStringList{u"DROP TRIGGER 打印日志_不可修改"_s}
            << u"打印日志的保护触发器已被删除，现已恢复：打印日志_不可修改"_s << true << true;
        // A file without its tables is refused when opened.
        QTest::newRow("the table dropped")
            << QStringList{u"DROP TABLE 打印日志"_s} << u"无法建立数据库连接！"_s << false << false;
        QTest::newRow("a view in the table's place")
            << QStringList{u"DROP TABLE 打印日志"_s, u"CREATE VIEW 打印日志 AS SELECT 1 AS ID"_s}
            << u"无法建立数据库连接！"_s << false << false;
        QTest::newRow("a view in the history's place")
            << QStringList{u"ALTER TABLE 历史记录 RENAME TO 旧记录"_s,
                           u"CREATE VIEW 历史记录 AS SELECT * FROM 旧记录"_s}
            << u"无法建立数据库连接！"_s << false << false;
    }
    void tamperingWithTheJournal() {
        QFETCH(QStringList, tampering);
        QFETCH(QString, shown);
        QFETCH(bool, opens);
        QFETCH(bool, prints);
        if (onTestServer())
            QSKIP("a file's structure");
        TestDatabase t;
        QVERIFY(
            t.db.execute(u"INSERT INTO 打印日志 (时间, 种类, 结果) VALUES ('2026-12-08', '支票', "
                         u"'已打印')"_s));
        // Written over by INSERT OR REPLACE, which deletes without a trigger: refused.
        QVERIFY(
            !t.db.execute(u"INSERT OR REPLACE INTO 打印日志 (ID, 时间, 种类, 结果) "
                          u"VALUES (1, '2026-12-08', '支票', '已取消：打印机卡纸')"_s));
        QCOMPARE(t.scalar(u"SELECT 结果 FROM 打印日志 WHERE ID=1"_s).toString(), u"已打印"_s);
        for (const QString& sql : tampering)
            QVERIFY2(t.db.execute(sql), qPrintable(sql));

        ScriptedPrompts prompts;
        Database reopened(prompts);
        QCOMPARE(reopened.open(t.path()), opens);
        if (!opens) {
            QCOMPARE(prompts.shown().back().text.section(u'\n', 0, 0), shown);
            return;
        }
        const Clock clock = testClock();
        const std::optional<QList<qint64>> entry =
            journalPrinting(reopened, clock, {kChequeJob, u"打印机"_s, u"标准支票"_s, {}, {}, {}});
        QCOMPARE(entry.has_value(), prints);
        QVERIFY(!prompts.shown().empty());
        QVERIFY2(prompts.shown().front().text.contains(shown),
                 qPrintable(prompts.shown().front().text));
        QCOMPARE(reopened.journalTampering().isEmpty(), prints);
    }

    void olderFilesAreUpgradedKeepingEverything_data() {
        QTest::addColumn<int>("version");
        QTest::newRow("before schema versions") << 0;
        QTest::newRow("version 1") << 1;
        QTest::newRow("version 2") << 2;
    }
    void olderFilesAreUpgradedKeepingEverything() {
        QFETCH(int, version);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"DATA.db"_s);
        {
            // The older program's tables, a format of the user's and a history row.
            const QString connection = u"older"_s;
            QSqlDatabase older = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
            older.setDatabaseName(path);
            QVERIFY(older.open());
            QSqlQuery q(older);
            for (
                const QString& sql :
                {u"CREATE TABLE 支票格式 (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT NOT "
                 u"NULL DEFAULT '', CtlDF TEXT NOT NULL DEFAULT '', X DOUBLE DEFAULT 0, Y DOUBLE "
                 u"DEFAULT 0, S DOUBLE DEFAULT 0, Color INTEGER DEFAULT 0, fName TEXT DEFAULT '', "
                 u"fSize DOUBLE DEFAULT 0, fBold BOOLEAN DEFAULT 0, fItalic BOOLEAN DEFAULT 0, "
                 u"fUnderline BOOLEAN DEFAULT 0, fStrikethru BOOLEAN DEFAULT 0)"_s,
                 u"CREATE TABLE 历史记录 (ID INTEGER PRIMARY KEY AUTOINCREMENT, Dat DATE, 出票日期 "
                 u"DATE, 收款人全称 TEXT DEFAULT '', 金额 TEXT DEFAULT '', 用途 TEXT DEFAULT '', "
                 u"账号 TEXT DEFAULT '', 密码 TEXT DEFAULT '', 银行 TEXT DEFAULT '', 附加信息 TEXT "
                 u"DEFAULT '', \"日期(票根)\" DATE, \"收款人(票根)\" TEXT DEFAULT '', "
                 u"\"金额(票根)\" "
                 u"TEXT DEFAULT '', \"用途(票根)\" TEXT DEFAULT '', \"主管(票根)\" TEXT DEFAULT "
                 u"'', \"会计(票根)\" TEXT DEFAULT '')"_s,
                 u"INSERT INTO 支票格式 (Name, CtlDF, X) VALUES ('我的格式', '银行', 120), "
                 u"('我的格式', '', 11), ('', '我的格式', 0)"_s,
                 u"INSERT INTO 历史记录 (Dat, 收款人全称, 金额) VALUES ('2025-01-02', '甲', "
                 u"'￥1.00'), ('1900-01-01', '上次的收款人', '￥2.00')"_s,
                 version >= 2 ? u"CREATE TABLE 打印日志 (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                u"时间 TEXT NOT NULL, 种类 TEXT NOT NULL, 打印机 TEXT NOT NULL "
                                u"DEFAULT '', 格式 TEXT NOT NULL DEFAULT '', 结果 TEXT NOT NULL, "
                                u"历史ID INTEGER, 内容 TEXT NOT NULL DEFAULT '')"_s
                              : u"SELECT 1"_s,
                 // The journal entry that kept 甲's row, and one of the last input's.
                 version >= 2 ? u"INSERT INTO 打印日志 (时间, 种类, 结果, 历史ID) VALUES "
                                u"('2025-01-02 09:30:15', '支票', '已打印', 1), "
                                u"('2025-01-02 09:40:00', '支票', '已打印', NULL)"_s
                              : u"SELECT 1"_s,
                 version >= 2 ? u"CREATE TRIGGER 打印日志_不可修改 BEFORE UPDATE ON 打印日志 "
                                u"BEGIN SELECT RAISE(ABORT, '打印日志不可修改'); END"_s
                              : u"SELECT 1"_s,
                 version >= 2 ? u"CREATE TRIGGER 打印日志_不可删除 BEFORE DELETE ON 打印日志 "
                                u"BEGIN SELECT RAISE(ABORT, '打印日志不可删除'); END"_s
                              : u"SELECT 1"_s,
                 u"PRAGMA user_version=%1"_s.arg(version)})
                QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
            older.close();
            older = QSqlDatabase();
            QSqlDatabase::removeDatabase(connection);
        }
        ScriptedPrompts prompts;
        Database db(prompts);
        QVERIFY(db.open(path));
        auto scalar = [&](const QString& sql) {
            std::optional<QSqlQuery> q = db.select(sql);
            return q && q->next() ? q->value(0) : QVariant();
        };
        QCOMPARE(scalar(u"PRAGMA user_version"_s).toInt(), kSchemaVersion);
        // A row kept before the time of day was kept takes it from the journal entry that kept
        // it; the history shows it beside the day, or the day alone without one.
        const QString time = version >= 2 ? u"09:30:15"_s : QString();
        QCOMPARE(
            scalar(u"SELECT ifnull(时刻, '') FROM 历史记录 WHERE 收款人全称 = '甲'"_s).toString(),
            time);
        HistoryRowReader rows(db, HistoryOrder{});
        QStringList texts;
        QVERIFY(rows.next(texts));
        QCOMPARE(texts[2], version >= 2 ? u"2025.01.02 09:30"_s : u"2025.01.02"_s);
        // No cheque book yet: every account prints as before. A voided number will name who
        // voided it.
        QCOMPARE(scalar(u"SELECT count(*) FROM 支票簿"_s).toInt(), 0);
        QCOMPARE(
            scalar(u"SELECT count(*) FROM pragma_table_info('支票号码') WHERE name = '作废人'"_s)
                .toInt(),
            1);
        // No shipped transfer cheque format added; the deposit slip's comes with the slip.
        QCOMPARE(scalar(u"SELECT group_concat(Name || CtlDF || X, '|') FROM 支票格式 "
                        u"WHERE 种类='转账支票'"_s)
                     .toString(),
                 u"我的格式银行120.0|我的格式11.0"_s);
        // The rows kept before cheque books were known have an empty number.
        QCOMPARE(scalar(u"SELECT group_concat(收款人全称 || 金额 || 支票号码) FROM 历史记录"_s)
                     .toString(),
                 u"甲￥1.00"_s);
        FormatDisplays displays;
        ListFormatNames(db, displays);
        QCOMPARE(displays.currentFormat, u"我的格式"_s);
        Document cheque;
        const Clock clock = testClock();
        loadLastInput(db, cheque, prompts, clock);
        QCOMPARE(cheque.text(Field::Payee), u"上次的收款人"_s);
        QCOMPARE(cheque.text(Field::Amount), u"￥2.00"_s);
        QCOMPARE(scalar(u"SELECT 用户 FROM 用户状态"_s).toString(), db.userName());
        // Everything kept before there were kinds is the transfer cheque's.
        QCOMPARE(scalar(u"SELECT group_concat(种类) FROM 历史记录"_s).toString(), u"转账支票"_s);
        QStringList otherKinds = scalar(
                                     u"SELECT group_concat(DISTINCT 种类 || Name) FROM 支票格式 "
                                     u"WHERE 种类<>'转账支票'"_s)
                                     .toString()
                                     .split(u',');
        otherKinds.sort();
        QCOMPARE(otherKinds, QStringList({u"现金支票标准现金支票"_s, u"进账单标准进账单"_s}));
        QCOMPARE(scalar(u"SELECT 用户 || 种类 || 当前格式 FROM 用户种类状态"_s).toString(),
                 db.userName() + u"转账支票我的格式"_s);
        QVERIFY(!db.userName().isEmpty());
        QCOMPARE(scalar(u"SELECT count(*) FROM 打印日志"_s).toInt(), version >= 2 ? 2 : 0);
        // The journal takes rows and refuses to change them.
        QVERIFY(db.execute(
            u"INSERT INTO 打印日志 (时间, 种类, 结果) VALUES ('2026-12-08', '支票', '已打印')"_s));
        QVERIFY(!db.execute(u"UPDATE 打印日志 SET 结果='改'"_s));
        QVERIFY(!db.execute(u"DELETE FROM 打印日志"_s));
        QCOMPARE(scalar(u"SELECT 结果 FROM 打印日志"_s).toString(), u"已打印"_s);
        // But a print in progress gets its outcome, once.
        QVERIFY(db.execute(
            u"INSERT INTO 打印日志 (时间, 种类, 结果) VALUES ('2026-12-08', '支票', '打印中')"_s));
        QVERIFY(db.execute(u"UPDATE 打印日志 SET 结果='打印失败' WHERE 结果='打印中'"_s));
        QVERIFY(!db.execute(u"UPDATE 打印日志 SET 结果='已打印' WHERE 结果='打印失败'"_s));
    }

    // What a location means: a file, or a shared database's address with no password, only
    // connection options whose values cannot be read as more options, and a connect timeout of
    // its own when it names none. Anything that starts like an address but is not a
    // PostgreSQL one is refused rather than taken for a file name.
    void addressesOfASharedDatabase_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("parts");  // host port user database options, the reason, or
                                             // "file"
        const QString defaults =
            u"connect_timeout=10;keepalives_idle=20;keepalives_interval=5;"
            u"keepalives_count=3;tcp_user_timeout=35000"_s;
        QTest::newRow("plain") << u"postgresql://cashier@db.office/finance"_s
                               << u"db.office 5432 cashier finance "_s + defaults;
        QTest::newRow("port and options")
            << u"postgres://cashier@10.0.0.5:6543/finance?sslmode=require&connect_timeout=3&"
               u"keepalives_idle=60&keepalives_count=5&tcp_user_timeout=0"_s
            << u"10.0.0.5 6543 cashier finance sslmode=require;connect_timeout=3;"
               u"keepalives_idle=60;keepalives_count=5;tcp_user_timeout=0;keepalives_interval=5"_s;
        QTest::newRow("scheme in capitals")
            << u"POSTGRESQL://cashier@db/finance?sslmode=require"_s
            << u"db 5432 cashier finance sslmode=require;"_s + defaults;
        QTest::newRow("short scheme, mixed case")
            << u"Postgres://cashier@db/finance"_s << u"db 5432 cashier finance "_s + defaults;
        // The driver quotes the user, host and database as values of their own.
        QTest::newRow("odd user name") << u"postgresql://x%20user%3Dpostgres@db/finance"_s
                                       << u"db 5432 x user=postgres finance "_s + defaults;
        QTest::newRow("password") << u"postgresql://cashier:secret@db/finance"_s
                                  << u"a password does not belong in the address"_s;
        QTest::newRow("password as option") << u"postgresql://cashier@db/finance?password=secret"_s
                                            << u"option \"password\" is not supported"_s;
        QTest::newRow("password with a slash")
            << u"postgresql://cashier:a/secret@db/finance"_s << u"not a database address"_s;
        // A local server through its socket, as libpq writes it: the host (a folder) and the
        // port as options.
        QTest::newRow("socket folder") << u"postgresql://cashier@/finance?host=/run/postgresql"_s
                                       << u"/run/postgresql 5432 cashier finance "_s + defaults;
        QTest::newRow("socket folder, encoded, and port")
            << u"postgresql://cashier@/finance?host=%2Fvar%2Frun%2Fpostgresql&port=5433&"
               u"sslmode=disable"_s
            << u"/var/run/postgresql 5433 cashier finance sslmode=disable;"_s + defaults;
        QTest::newRow("host in both places")
            << u"postgresql://cashier@db/finance?host=/run/postgresql"_s
            << u"names its host more than once"_s;
        QTest::newRow("port in both places") << u"postgresql://cashier@db:5433/finance?port=5434"_s
                                             << u"names its port more than once"_s;
        QTest::newRow("port not a number")
            << u"postgresql://cashier@/finance?host=/run/postgresql&port=abc"_s
            << u"option \"port\" needs a port number"_s;
        QTest::newRow("socket folder with a blank")
            << u"postgresql://cashier@/finance?host=/run/my%20pg"_s
            << u"option \"host\" needs a value"_s;
        QTest::newRow("socket folder and a password")
            << u"postgresql://cashier:secret@/finance?host=/run/postgresql"_s
            << u"a password does not belong in the address"_s;
        QTest::newRow("no host anywhere")
            << u"postgresql://cashier@/finance"_s << u"not a database address"_s;
        QTest::newRow("smuggled option") << u"postgresql://c@db/finance?sslmode=a;password=x"_s
                                         << u"option \"sslmode\" needs a value"_s;
        // The driver joins the options with blanks: a value must stay one value.
        QTest::newRow("smuggled user")
            << u"postgresql://clerk@db/finance?application_name=x%20user%3Dpostgres"_s
            << u"option \"application_name\" needs a value"_s;
        QTest::newRow("smuggled password")
            << u"postgresql://clerk@db/finance?sslmode=disable%20password%3Dsecret"_s
            << u"option \"sslmode\" needs a value"_s;
        QTest::newRow("tab") << u"postgresql://clerk@db/finance?application_name=a%09user%3Dx"_s
                             << u"option \"application_name\" needs a value"_s;
        QTest::newRow("equals sign") << u"postgresql://clerk@db/finance?application_name=a=b"_s
                                     << u"option \"application_name\" needs a value"_s;
        QTest::newRow("quote") << u"postgresql://clerk@db/finance?application_name=a%27b"_s
                               << u"option \"application_name\" needs a value"_s;
        QTest::newRow("backslash") << u"postgresql://clerk@db/finance?sslcert=a%5Cb"_s
                                   << u"option \"sslcert\" needs a value"_s;
        // An empty value would take the next option's text for its own.
        QTest::newRow("empty value") << u"postgresql://clerk@db/finance?application_name="_s
                                     << u"option \"application_name\" needs a value"_s;
        QTest::newRow("no database")
            << u"postgresql://cashier@db/"_s << u"not a database address"_s;
        QTest::newRow("bad port") << u"postgresql://cashier@db:99999/finance"_s
                                  << u"not a database address"_s;
        QTest::newRow("one slash") << u"postgresql:/host/db"_s << u"not a database address"_s;
        QTest::newRow("no slash") << u"postgresql:finance"_s << u"not a database address"_s;
        QTest::newRow("other database") << u"mysql://x/y"_s << u"not a database address"_s;
        QTest::newRow("web address")
            << u"http://db.office/finance"_s << u"not a database address"_s;
        QTest::newRow("drive and slashes") << u"C:/x/DATA.db"_s << u"file"_s;
        QTest::newRow("drive and backslashes") << u"C:\\data\\DATA.db"_s << u"file"_s;
        QTest::newRow("relative") << u"DATA.db"_s << u"file"_s;
        QTest::newRow("colon further in") << u"./postgresql:finance"_s << u"file"_s;
    }
    void addressesOfASharedDatabase() {
        QFETCH(QString, address);
        QFETCH(QString, parts);
        QCOMPARE(isServerAddress(address), parts != u"file"_s);
        if (parts == u"file"_s)
            return;
        QString reason;
        const std::optional<ServerAddress> parsed = parseServerAddress(address, &reason);
        if (parsed)
            QCOMPARE(QStringList({parsed->host, QString::number(parsed->port), parsed->user,
                                  parsed->database, parsed->connectOptions})
                         .join(u' '),
                     parts);
        else
            QVERIFY2(reason.contains(parts), qPrintable(reason));
        if (parsed)
            return;
        // Opening it says which address, never with a password, and why.
        ScriptedPrompts prompts;
        Database db(prompts);
        QVERIFY(!db.open(address));
        const QString shown = prompts.shown().back().text;
        QVERIFY2(shown.startsWith(u"无法建立数据库连接！\n"_s) &&
                     shown.endsWith(u"："_s + reason) && !shown.contains(u"secret"_s),
                 qPrintable(shown));
    }

    void aFileFromANewerProgramIsRefused() {
        TestDatabase t;
        QVERIFY(t.db.execute(u"PRAGMA user_version=99"_s));
        ScriptedPrompts prompts;
        Database again(prompts);
        QVERIFY(!again.open(t.path()));
        QCOMPARE(prompts.shown().back().text,
                 u"该数据文件由更新版本的程序建立，请使用新版本的程序打开！"_s);
        QCOMPARE(t.scalar(u"PRAGMA user_version"_s).toInt(), 99);  // left as it was
    }
};

QTEST_GUILESS_MAIN(TestDatabaseLayer)
#include "tst_database.moc"
