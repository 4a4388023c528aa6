#include <QProcess>
#include <QTest>

#include "AmountCapitals.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess process;
    process.start(QStringLiteral(CHEQUEPRINT_EXE), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void amountArguments() {
        const Run r = run({u"amount"_s, u"1234.5"_s, u""_s, u"0.05"_s, u"123456789"_s});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out),
                 u"￥1234.50\t壹仟贰佰叁拾肆元伍角整\n"
                 u"￥0.00\t零元整\n"
                 u"￥0.05\t伍分\n"
                 u"￥23456789.00\t贰仟叁佰肆拾伍万陆仟柒佰捌拾玖元整\n"_s);
        QVERIFY(r.err.isEmpty());
    }

    void amountFromStandardInput() {
        // An empty line is an empty amount; CR LF and a missing last newline are read too.
        const Run r = run({u"amount"_s}, "1010.1\r\n\n-7\n60000.6");
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out),
                 u"￥1010.10\t壹仟零壹拾元壹角整\n"
                 u"￥0.00\t零元整\n"
                 u"￥7.00\t柒元整\n"
                 u"￥60000.60\t陆万元陆角整\n"_s);
    }

    void manyLinesGiveOneLineEach() {
        QByteArray input;
        QStringList expected;
        for (int i = 0; i < 100000; ++i) {
            const QString amount =
                QString::number(i * 7919 % 100000000) + u'.' + QString::number(i % 100);
            input += amount.toUtf8() + '\n';
            const QString figures = FormatFigures(amount);
            expected << figures + u'\t' + AmountToCapitals(figures);
        }
        const Run r = run({u"amount"_s}, input);
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = QString::fromUtf8(r.out).split(u'\n');
        QCOMPARE(lines.size(), 100001);
        QCOMPARE(lines.last(), QString());
        QCOMPARE(lines.mid(0, 100000), expected);
    }

    void dateParts() {
        const Run r = run({u"date"_s, u"2009"_s, u"10"_s, u"05"_s, u"31"_s});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out), u"贰零零玖\n零壹拾\n零伍\n叁拾壹\n"_s);
        const Run fromInput = run({u"date"_s}, "1\n20\n");
        QCOMPARE(QString::fromUtf8(fromInput.out), u"零壹\n零贰拾\n"_s);
    }

    void textsAfterDoubleDashAreAmounts() {
        const Run r = run({u"amount"_s, u"--"_s, u"--5"_s});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out), u"￥5.00\t伍元整\n"_s);
    }

    void helpVersionAndUsage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("usageOnStdout");
        QTest::addColumn<bool>("usageOnStderr");
        QTest::newRow("no verb prints the usage") << QStringList{} << 0 << true << false;
        QTest::newRow("help") << QStringList{u"--help"_s} << 0 << true << false;
        QTest::newRow("unknown verb") << QStringList{u"frobnicate"_s} << 2 << false << true;
        QTest::newRow("unknown option alone") << QStringList{u"--frob"_s} << 2 << false << true;
        QTest::newRow("unknown option of a verb")
            << QStringList{u"amount"_s, u"--frob"_s} << 2 << false << true;
    }
    void helpVersionAndUsage() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(bool, usageOnStdout);
        QFETCH(bool, usageOnStderr);
        const Run r = run(arguments);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.out.contains("Usage: chequeprint"), usageOnStdout);
        QCOMPARE(r.err.contains("Usage: chequeprint"), usageOnStderr);
        if (exitCode != 0)
            QVERIFY(r.out.isEmpty());
    }

    void formatsAndHistoryOfADatabase() {
        TestDatabase t;
        QVERIFY(t.db.execute(
            u"INSERT INTO 历史记录 (Dat, 收款人全称, 金额, 附加信息) VALUES "
            u"('1900-01-01', '上次', '', ''), ('2009-05-19', '甲', '￥1.00', '第一行\n第二行')"_s));
        const Run formats = run({u"--database"_s, t.path(), u"formats"_s});  // option first
        QCOMPARE(formats.exitCode, 0);
        QCOMPARE(QString::fromUtf8(formats.out), u"标准支票\t*\n"_s);

        const Run history = run({u"history"_s, u"--database"_s, t.path()});
        QCOMPARE(history.exitCode, 0);
        const QStringList lines = QString::fromUtf8(history.out).split(u'\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(u"序号\t打印时间\t出票日期\t收款人\t金额\t"_s));
        QCOMPARE(lines[1].split(u'\t').mid(0, 5),
                 (QStringList{u"1"_s, u"2009.05.19"_s, u""_s, u"甲"_s, u"￥1.00"_s}));
        QCOMPARE(lines[1].split(u'\t')[9], u"第一行 第二行"_s);
    }

    void databaseProblems() {
        const Run missingValue = run({u"formats"_s, u"--database"_s});
        QCOMPARE(missingValue.exitCode, 2);
        const Run unexpected = run({u"history"_s, u"extra"_s});
        QCOMPARE(unexpected.exitCode, 2);
        QTemporaryDir dir;
        QFile plain(dir.filePath(u"plain"_s));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const Run unreachable = run({u"formats"_s, u"--database"_s, plain.fileName() + u"/x.db"_s});
        QCOMPARE(unreachable.exitCode, 1);
        QVERIFY(QString::fromUtf8(unreachable.err)
                    .endsWith(u"\nchequeprint: 无法建立数据库连接！\n"_s));
        QVERIFY(unreachable.out.isEmpty());
    }

    void printingVerbsWriteCompletePdfs() {
        TestDatabase t;
        const QString db = t.path();
        const QString cheque = t.dir.filePath(u"cheque.pdf"_s);
        const Run print = run({u"print"_s, u"--database"_s, db, u"--pdf"_s, cheque, u"--field"_s,
                               u"T5=1234.5"_s, u"--field"_s, u"票身-收款人=甲公司"_s, u"--flags"_s,
                               u"1;0;0;0;0;0;0;0;0;0;"_s, u"--save"_s});
        QCOMPARE(print.exitCode, 0);
        QVERIFY(QFile(cheque).size() > 1000);
        QVERIFY(!QFile::exists(cheque + u".partial"_s));
        QCOMPARE(t.scalar(u"SELECT 收款人全称 || 金额 FROM 历史记录 WHERE Dat>'1900-01-01'"_s)
                     .toString(),
                 u"甲公司￥1234.50"_s);

        const QString square = t.dir.filePath(u"square.pdf"_s);
        QCOMPARE(run({u"calibrate"_s, u"--pdf"_s, square}).exitCode, 0);
        QVERIFY(QFile::exists(square));
        const QString endorsement = t.dir.filePath(u"endorsement.pdf"_s);
        QCOMPARE(run({u"endorse"_s, u"张三//李四"_s, u"--database"_s, db, u"--pdf"_s, endorsement})
                     .exitCode,
                 0);
        QVERIFY(QFile::exists(endorsement));
        const QString empty = t.dir.filePath(u"empty.pdf"_s);
        QCOMPARE(run({u"endorse"_s, u""_s, u"--database"_s, db, u"--pdf"_s, empty}).exitCode, 0);
        QVERIFY(!QFile::exists(empty));  // nothing to print, no page
    }

    void printingFailuresLeaveNoFile_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong date")
            << QStringList{u"--field"_s, u"T1=13"_s} << u"日期填写错误，请重新填写！"_s;
        QTest::newRow("unknown field")
            << QStringList{u"--field"_s, u"T77=1"_s} << u"unknown field"_s;
        QTest::newRow("unknown format")
            << QStringList{u"--format"_s, u"无"_s} << u"no print format"_s;
        QTest::newRow("unknown history row")
            << QStringList{u"--history"_s, u"42"_s} << u"no history row 42"_s;
    }
    void printingFailuresLeaveNoFile() {
        QFETCH(QStringList, options);
        QFETCH(QString, message);
        TestDatabase t;
        const QString pdf = t.dir.filePath(u"out.pdf"_s);
        const Run r =
            run(QStringList{u"print"_s, u"--database"_s, t.path(), u"--pdf"_s, pdf} + options);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(!QFile::exists(pdf + u".partial"_s));
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 历史记录"_s).toInt(), 0);
    }

    void exportRefusesToReplaceWithoutForce() {
        TestDatabase t;
        QVERIFY(t.db.execute(
            u"INSERT INTO 历史记录 (Dat, 收款人全称) VALUES ('2026-12-01', '甲,乙')"_s));
        const QString csv = t.dir.filePath(u"history.csv"_s);
        QCOMPARE(run({u"export"_s, csv, u"--database"_s, t.path()}).exitCode, 0);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray first = file.readAll();
        file.close();
        QVERIFY(first.startsWith("序号,打印时间,"_ba));
        QVERIFY(first.contains("\"甲,乙\""));

        QVERIFY(
            t.db.execute(u"INSERT INTO 历史记录 (Dat, 收款人全称) VALUES ('2026-12-02', '丙')"_s));
        const Run refused = run({u"export"_s, csv, u"--database"_s, t.path()});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.err.contains("--force"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), first);
        file.close();
        QCOMPARE(run({u"export"_s, csv, u"--force"_s, u"--database"_s, t.path()}).exitCode, 0);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count('\n'), 3);
        file.close();

        QVERIFY(t.db.execute(u"DELETE FROM 历史记录"_s));
        const Run empty = run({u"export"_s, csv, u"--force"_s, u"--database"_s, t.path()});
        QCOMPARE(empty.exitCode, 1);
        QVERIFY(QString::fromUtf8(empty.err).contains(u"表格中没有数据！"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count('\n'), 3);  // left as it was

        QVERIFY(
            t.db.execute(u"INSERT INTO 历史记录 (Dat, 收款人全称) VALUES ('2026-12-03', '丁')"_s));
        const QString xlsx = t.dir.filePath(u"history.xlsx"_s);
        QCOMPARE(run({u"export"_s, xlsx, u"--database"_s, t.path()}).exitCode, 0);
        QFile workbook(xlsx);
        QVERIFY(workbook.open(QIODevice::ReadOnly));
        QCOMPARE(workbook.read(2), QByteArray("PK"));
    }

    void version() {
        const Run r = run({u"--version"_s});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.startsWith("chequeprint "));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
