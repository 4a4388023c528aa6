#include <filesystem>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTest>

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
                 19);
        QCOMPARE(
            t.scalar(u"SELECT fName FROM 支票格式 WHERE Name='标准支票' AND CtlDF=''"_s).toString(),
            u"14 22 63 0 10"_s);
        QCOMPARE(t.scalar(u"SELECT CtlDF FROM 支票格式 WHERE Name=''"_s).toString(), u"标准支票"_s);
        QCOMPARE(t.scalar(u"PRAGMA journal_mode"_s).toString(), u"wal"_s);
        QCOMPARE(t.scalar(u"PRAGMA synchronous"_s).toInt(), 2);  // FULL
        QVERIFY(t.prompts.shown().empty());
    }

    void reopeningKeepsWhatIsStored() {
        TestDatabase t;
        QVERIFY(t.db.execute(u"DELETE FROM 支票格式 WHERE CtlDF='会计'"_s));
        Database again(t.prompts);
        QVERIFY(again.open(t.path()));
        std::optional<QSqlQuery> count = again.select(u"SELECT count(*) FROM 支票格式"_s);
        QVERIFY(count && count->next());
        QCOMPARE(count->value(0).toInt(), 20);
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
        QTest::newRow("folder cannot be made") << false;
        QTest::newRow("file is not a database") << true;
    }
    void unreachableFileShowsTheConnectionMessage() {
        QFETCH(bool, notADatabase);
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
        QCOMPARE(prompts.shown()[0].text, u"无法建立数据库连接！"_s);
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
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 支票格式"_s).toInt(), 21);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseLayer)
#include "tst_database.moc"
