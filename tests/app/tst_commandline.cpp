#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>

#include <xlsxwriter.h>

#include "AmountCapitals.h"
#include "ChequeRegister.h"
#include "Document.h"
#include "HistoryRecords.h"
#include "ProgramRun.h"
#include "TestClock.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

using Run = ProgramRun;

Run run(const QStringList& arguments, const QByteArray& input = {}, const QString& folder = {},
        const QString& standardOutputFile = {}) {
    return runProgram(arguments, {input, folder, standardOutputFile});
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

    // The usage is written from the verb table; the README shows it whole, as a code block.
    void readmeShowsTheUsage() {
        const Run r = run({u"--help"_s});
        QByteArray block;
        for (const QByteArray& line : r.out.chopped(1).split('\n')) {
            QVERIFY2(QString::fromUtf8(line).size() <= 90, line.constData());
            block += (line.isEmpty() ? QByteArray() : "    " + line) + '\n';
        }
        QFile readme(QStringLiteral(CHEQUEPRINT_README));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        QVERIFY2(readme.readAll().contains(block), "README.md: paste chequeprint --help again");
    }

    void formatsAndHistoryOfADatabase() {
        TestDatabase t;
        // 甲 is the first listed cheque (序号 1) but has the second ID, 乙 the third.
        QVERIFY(
            t.db.execute(u"INSERT INTO 历史记录 (Dat, 收款人全称, 金额, 附加信息, 支票号码) VALUES "
                         u"('1900-01-01', '上次', '', '', ''), "
                         u"('2009-05-19', '甲', '￥1.00', '第一行\n第二行', '3010203100000101'), "
                         u"('2009-05-20', '乙', '￥2.00', '', '')"_s));
        const Run formats = run({u"--database"_s, t.path(), u"formats"_s});  // option first
        QCOMPARE(formats.exitCode, 0);
        QCOMPARE(QString::fromUtf8(formats.out), u"标准支票\t*\n"_s);

        const Run history = run({u"history"_s, u"--database"_s, t.path()});
        QCOMPARE(history.exitCode, 0);
        const QStringList lines = QString::fromUtf8(history.out).split(u'\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith(u"ID\t序号\t打印时间\t出票日期\t收款人\t金额\t"_s));
        const QStringList first = lines[1].split(u'\t');
        const QStringList second = lines[2].split(u'\t');
        QCOMPARE(first.mid(1, 5),
                 (QStringList{u"1"_s, u"2009.05.19"_s, u""_s, u"甲"_s, u"￥1.00"_s}));
        QCOMPARE(first[10], u"第一行 第二行"_s);
        // The cheque book's number last, empty for a cheque without one, after whether a slip
        // was printed from the cheque (none here).
        QVERIFY(lines[0].endsWith(u"\t会计(票根)\t进账单\t支票号码"_s));
        QCOMPARE(first.size(), 19);
        QCOMPARE(first[17], QString());
        QCOMPARE(first.last(), u"3010203100000101"_s);
        QCOMPARE(second.size(), 19);
        QCOMPARE(second.last(), QString());
        QCOMPARE(second.mid(1, 5),
                 (QStringList{u"2"_s, u"2009.05.20"_s, u""_s, u"乙"_s, u"￥2.00"_s}));
        QCOMPARE(first[0], t.scalar(u"SELECT ID FROM 历史记录 WHERE 收款人全称='甲'"_s).toString());
        QCOMPARE(second[0],
                 t.scalar(u"SELECT ID FROM 历史记录 WHERE 收款人全称='乙'"_s).toString());
        QVERIFY(second[0] != second[1]);

        // Without the option, the database that the user's settings name.
        const QString home = t.dir.filePath(u"home"_s);
        {
            QSettings settings(home + u"/chequeprint/chequeprint.ini"_s, QSettings::IniFormat);
            settings.setValue(u"database/url"_s, t.path());
        }
        const Run chosen = run({u"history"_s}, {}, home);
        QCOMPARE(chosen.exitCode, 0);
        QCOMPARE(chosen.out, history.out);
        QVERIFY(!QFileInfo::exists(home + u"/chequeprint/DATA.db"_s));

        // The ID shown reprints that cheque; the saved copy is the newest row.
        const QString pdf = t.dir.filePath(u"again.pdf"_s);
        const Run again = run({u"print"_s, u"--history"_s, second[0], u"--database"_s, t.path(),
                               u"--pdf"_s, pdf, u"--save"_s});
        QCOMPARE(again.exitCode, 0);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(t.scalar(u"SELECT 收款人全称 || 金额 FROM 历史记录 ORDER BY ID DESC LIMIT 1"_s)
                     .toString(),
                 u"乙￥2.00"_s);
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
        // Which file, and why.
        QVERIFY2(QString::fromUtf8(unreachable.err)
                     .startsWith(u"chequeprint: 无法建立数据库连接！\n"_s + plain.fileName() +
                                 u"/x.db：unable to open database file"_s),
                 unreachable.err.constData());
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

        // A payee too long for its blank prints only when asked to.
        const QString longer = t.dir.filePath(u"longer.pdf"_s);
        QCOMPARE(run({u"print"_s, u"--database"_s, db, u"--pdf"_s, longer, u"--field"_s,
                      u"T3="_s + QString(30, u'字'), u"--allow-overflow"_s})
                     .exitCode,
                 0);
        QVERIFY(QFile::exists(longer));
        // A cheque dated eleven days ago prints when asked to; capitals that match the figures
        // may be given.
        const QDate old = QDate::currentDate().addDays(-11);
        const QString dated = t.dir.filePath(u"dated.pdf"_s);
        const Run oldDate =
            run({u"print"_s, u"--database"_s, db, u"--pdf"_s, dated, u"--allow-date"_s, u"--save"_s,
                 u"--field"_s, u"T0=%1"_s.arg(old.year()), u"--field"_s,
                 u"T1=%1"_s.arg(old.month()), u"--field"_s, u"T2=%1"_s.arg(old.day()), u"--field"_s,
                 u"T5=8800"_s, u"--field"_s, u"大写金额=捌仟捌佰元整"_s});
        QVERIFY2(oldDate.exitCode == 0, oldDate.err.constData());
        QVERIFY(QFile::exists(dated));
        QCOMPARE(t.scalar(u"SELECT 出票日期 FROM 历史记录 WHERE 金额='￥8800.00'"_s).toString(),
                 old.toString(Qt::ISODate));

        const QString square = t.dir.filePath(u"square.pdf"_s);
        QCOMPARE(run({u"calibrate"_s, u"--pdf"_s, square, u"--database"_s, db}).exitCode, 0);
        QVERIFY(QFile::exists(square));
        const QString endorsement = t.dir.filePath(u"endorsement.pdf"_s);
        QCOMPARE(run({u"endorse"_s, u"张三//李四"_s, u"--database"_s, db, u"--pdf"_s, endorsement})
                     .exitCode,
                 0);
        QVERIFY(QFile::exists(endorsement));
        const QString empty = t.dir.filePath(u"empty.pdf"_s);
        QCOMPARE(run({u"endorse"_s, u""_s, u"--database"_s, db, u"--pdf"_s, empty}).exitCode, 0);
        QVERIFY(!QFile::exists(empty));  // nothing to print, no page
        const Run blank = run({u"endorse"_s, u"//"_s, u"--database"_s, db, u"--pdf"_s, empty});
        QCOMPARE(blank.exitCode, 1);  // a text that draws nothing is refused, with no page
        QVERIFY(blank.err.contains("背书内容为空，没有可打印的内容。"));
        QVERIFY(!QFile::exists(empty));
    }

    void printingFailuresLeaveNoFile_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong date")
            << QStringList{u"--field"_s, u"T1=13"_s} << u"日期填写错误，请重新填写！"_s;
        QTest::newRow("unknown field")
            << QStringList{u"--field"_s, u"T77=1"_s} << u"unknown field"_s;
        // An amount is printed exactly as given or not at all, for the reason a list gives.
        const QString amountError = u"金额填写错误（%1），请重新填写！"_s;
        const std::pair<QString, QString> amounts[] = {
            {u"123456789"_s, u"整数超过八位"_s},  {u"-500"_s, u"不是有效的金额"_s},
            {u"1234.567"_s, u"小数超过两位"_s},   {u"12345.675"_s, u"小数超过两位"_s},
            {u"1万"_s, u"不是有效的金额"_s},      {u"1234.5.6"_s, u"不是有效的金额"_s},
            {u"12.345,67"_s, u"不是有效的金额"_s}};
        for (const auto& [amount, reason] : amounts)
            QTest::addRow("amount %s", qPrintable(amount))
                << QStringList{u"--field"_s, u"小写金额="_s + amount} << amountError.arg(reason);
        QTest::newRow("capitals of another amount")
            << QStringList{u"--field"_s, u"T5=12345.67"_s, u"--field"_s, u"T4=捌仟捌佰元整"_s}
            << u"--field 大写金额=捌仟捌佰元整 does not match the amount in figures ￥12345.67"_s;
        // A bank pays a cheque within ten days of its date, and never before it.
        const QDate today = QDate::currentDate();
        for (const QDate& day : {today.addYears(1), today.addDays(1), today.addDays(-11)})
            QTest::addRow("dated %s", qPrintable(day.toString(Qt::ISODate)))
                << QStringList{u"--field"_s, u"T0=%1"_s.arg(day.year()),
                               u"--field"_s, u"T1=%1"_s.arg(day.month()),
                               u"--field"_s, u"T2=%1"_s.arg(day.day())}
                << u"the issue date is not today: %1年%2月%3日"_s.arg(day.year())
                       .arg(day.month())
                       .arg(day.day());
        QTest::newRow("a number without a cheque book")
            << QStringList{u"--field"_s, u"T7=6222001"_s, u"--number"_s, u"2"_s}
            << u"--number needs an open cheque book of the account \"6222001\""_s;
        QTest::newRow("a noncharacter in the payee")
            << QStringList{u"--field"_s, u"T3=\uFFFE北京某某"_s}
            << u"票身-收款人中有无法保存的字符（U+FFFE）"_s;
        QTest::newRow("30 February")
            << QStringList{u"--field"_s, u"T1=2"_s, u"--field"_s, u"T2=30"_s}
            << u"日期填写错误，请重新填写！"_s;
        QTest::newRow("a month that is no number")
            << QStringList{u"--field"_s, u"T1=拾拾"_s} << u"日期填写错误，请重新填写！"_s;
        QTest::newRow("a payee that does not fit")
            << QStringList{u"--field"_s, u"T3="_s + QString(30, u'字')}
            << u"these fields do not fit on the cheque: 票身-收款人"_s;
        QTest::newRow("a PDF name that is a folder")
            << QStringList{u"--pdf"_s, u"."_s} << u"not a regular file"_s;
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
        for (const QString& file : filesUnder(t.dir.path()))  // no temporary file left
            QVERIFY2(QFileInfo(file).fileName().startsWith(u"DATA.db"_s), qPrintable(file));
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

    void wherePositionalArgumentsAndOptionsGo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("an option value before the verb is not the verb")
            << QStringList{u"--database"_s, u"{db}"_s, u"amount"_s, u"1"_s} << 0
            << u"￥1.00\t壹元整\n"_s << QString();
        QTest::newRow("a single-dash text after -- is an amount")
            << QStringList{u"amount"_s, u"--"_s, u"-500"_s, u"-h"_s} << 0
            << u"￥500.00\t伍佰元整\n￥0.00\t零元整\n"_s << QString();
        QTest::newRow("a single-dash amount before -- is refused with a hint")
            << QStringList{u"amount"_s, u"-500"_s} << 2 << QString() << u"after --"_s;
        QTest::newRow("-h is the help")
            << QStringList{u"date"_s, u"-h"_s} << 0 << u"Usage"_s << QString();
        QTest::newRow("an option of another verb")
            << QStringList{u"amount"_s, u"1"_s, u"--pdf"_s, u"{db}"_s} << 2 << QString()
            << u"--pdf does not apply to amount"_s;
        QTest::newRow("a switch of another verb before the verb")
            << QStringList{u"--force"_s, u"formats"_s} << 2 << QString()
            << u"--force does not apply to formats"_s;
        QTest::newRow("an option without a verb")
            << QStringList{u"--force"_s} << 2 << QString() << u"no verb"_s;
    }
    void wherePositionalArgumentsAndOptionsGo() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, errorPart);
        QTemporaryDir dir;
        arguments.replaceInStrings(u"{db}"_s, dir.filePath(u"named.db"_s));
        const Run r = run(arguments, {}, dir.path());
        QCOMPARE(r.exitCode, exitCode);
        if (exitCode == 0)
            QVERIFY2(QString::fromUtf8(r.out).startsWith(out), r.out.constData());
        else
            QVERIFY2(QString::fromUtf8(r.err).contains(errorPart), r.err.constData());
        QCOMPARE(filesUnder(dir.path()), QStringList());  // none of these opens the database
    }

    void refusedOptionValues_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("option");
        QTest::newRow("empty --database")
            << QStringList{u"formats"_s, u"--database"_s, u""_s} << u"--database"_s;
        QTest::newRow("empty --database written with =")
            << QStringList{u"--database="_s, u"history"_s} << u"--database"_s;
        QTest::newRow("in-memory database")
            << QStringList{u"print"_s, u"--database"_s, u":memory:"_s, u"--pdf"_s, u"out.pdf"_s}
            << u"--database"_s;
        QTest::newRow("empty --pdf")
            << QStringList{u"calibrate"_s, u"--pdf"_s, u""_s} << u"--pdf"_s;
        QTest::newRow("empty --format")
            << QStringList{u"print"_s,   u"--database"_s, u"x.db"_s, u"--pdf"_s,
                           u"out.pdf"_s, u"--format"_s,   u""_s}
            << u"--format"_s;
        QTest::newRow("empty --field among good ones")
            << QStringList{u"print"_s,      u"--field"_s, u"T5=1"_s,  u"--field"_s, u""_s,
                           u"--database"_s, u"x.db"_s,    u"--pdf"_s, u"out.pdf"_s}
            << u"--field"_s;
        QTest::newRow("empty --history")
            << QStringList{u"preview"_s, u"out.png"_s,   u"--database"_s,
                           u"x.db"_s,    u"--history"_s, u""_s}
            << u"--history"_s;
        QTest::newRow("empty --printer")
            << QStringList{u"endorse"_s, u"甲"_s, u"--database"_s, u"x.db"_s, u"--printer"_s, u""_s}
            << u"--printer"_s;
    }
    void refusedOptionValues() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, option);
        QTemporaryDir dir;
        const Run r = run(arguments, {}, dir.path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.startsWith("chequeprint: " + option.toUtf8() + ' '), r.err.constData());
        QVERIFY(r.out.isEmpty());
        QCOMPARE(filesUnder(dir.path()), QStringList());
    }

    void failedWritesToStandardOutput_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("amount") << QStringList{u"amount"_s, u"1"_s};
        QTest::newRow("date") << QStringList{u"date"_s, u"2009"_s};
        QTest::newRow("formats") << QStringList{u"formats"_s, u"--database"_s, u"{db}"_s};
        QTest::newRow("history") << QStringList{u"history"_s, u"--database"_s, u"{db}"_s};
        QTest::newRow("help") << QStringList{u"--help"_s};
        QTest::newRow("version") << QStringList{u"--version"_s};
    }
    void failedWritesToStandardOutput() {
        QFETCH(QStringList, arguments);
        if (!QFile::exists(u"/dev/full"_s))
            QSKIP("no /dev/full here");
        TestDatabase t;
        arguments.replaceInStrings(u"{db}"_s, t.path());
        const Run r = run(arguments, {}, {}, u"/dev/full"_s);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.startsWith("chequeprint: cannot write to standard output: "),
                 r.err.constData());
        QCOMPARE(r.err.count('\n'), 1);
    }

    void unknownFieldKeepsItsTextToItself() {
        TestDatabase t;
        const QString pdf = t.dir.filePath(u"out.pdf"_s);
        const Run r = run({u"print"_s, u"--database"_s, t.path(), u"--pdf"_s, pdf, u"--field"_s,
                           u"T5=1"_s, u"--field"_s, u"t8=SECRET"_s});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("unknown field t8"), r.err.constData());
        QVERIFY(!r.err.contains("SECRET"));
        QVERIFY(!r.out.contains("SECRET"));
        QVERIFY(!QFile::exists(pdf));
    }

    // Without a verb the program opens its window; where there is no display it says so and
    // shows what runs without one.
    void withoutADisplayTheWindowSaysSo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no arguments") << QStringList{};
        QTest::newRow("a database only") << QStringList{u"--database"_s, u"x.db"_s};
    }
    void withoutADisplayTheWindowSaysSo() {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        RunOptions options;
        options.folder = dir.path();
        options.noDisplay = true;
        const Run r = runProgram(arguments, options);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.startsWith("chequeprint: no display for the window"));
        QCOMPARE(r.err.count("no display"), 1);
        QVERIFY(r.err.contains("Usage: chequeprint"));
        QVERIFY(filesUnder(dir.path()).isEmpty());  // no database opened
        const Run verb = runProgram({u"amount"_s, u"1"_s}, options);
        QCOMPARE(verb.exitCode, 0);
        QCOMPARE(verb.out, "￥1.00\t壹元整\n"_ba);
    }

    // Every print attempt of the verbs lands in the journal, newest first, without the password.
    void theJournalOfTheVerbs() {
        TestDatabase t;
        const QString pdf = t.dir.filePath(u"c.pdf"_s);
        QCOMPARE(run({u"print"_s, u"--database"_s, t.path(), u"--pdf"_s, pdf, u"--field"_s,
                      u"T8=SECRET"_s, u"--save"_s})
                     .exitCode,
                 0);
        QCOMPARE(run({u"print"_s, u"--database"_s, t.path(), u"--pdf"_s, pdf, u"--field"_s,
                      u"T1=2"_s, u"--field"_s, u"T2=30"_s})
                     .exitCode,
                 1);
        const Run journal = run({u"journal"_s, u"--database"_s, t.path()});
        QCOMPARE(journal.exitCode, 0);
        const QStringList lines = QString::fromUtf8(journal.out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], u"时间\t用户\t种类\t打印机\t格式\t结果\t历史ID\t内容"_s);
        QCOMPARE(lines[1].split(u'\t')[5], u"未打印：日期或金额有误"_s);
        QCOMPARE(lines[2].split(u'\t').mid(2, 5),
                 (QStringList{u"支票"_s, QFileInfo(pdf).absoluteFilePath(), u"标准支票"_s,
                              u"已打印"_s, u"1"_s}));
        QVERIFY(!journal.out.contains("SECRET"));
        QCOMPARE(run({u"journal"_s, u"--database"_s, t.path(), u"--from"_s, u"2999-01-01"_s})
                     .out.count('\n'),
                 1);  // the headings only
        QCOMPARE(run({u"journal"_s, u"--from"_s, u"yesterday"_s}).exitCode, 2);
    }

    // A payment list is checked in full; a bad row is named by the line a spreadsheet shows.
    void batchChecksThenPrints() {
        TestDatabase t;
        auto writeList = [&](const QString& name, const QString& csv) {
            QFile file(t.dir.filePath(name));
            if (file.open(QIODevice::WriteOnly))
                file.write(csv.toUtf8());
            return file.fileName();
        };
        const QString pdf = t.dir.filePath(u"batch.pdf"_s);
        auto batch = [&](const QString& list, const QStringList& more) {
            return run(QStringList{u"batch"_s, list, u"--database"_s, t.path()} + more);
        };
        auto journalled = [&](const QString& outcome) {
            return t.scalar(u"SELECT count(*) FROM 打印日志 WHERE 结果=?"_s, {outcome}).toInt();
        };

        // A bad row at line 57: the report names it, and nothing prints.
        const QDate today = QDate::currentDate();
        QString csv = u"收款人,金额,用途,出票日期\n"_s;
        for (int line = 2; line <= 60; ++line)
            csv += u"收款人%1,%2,货款,%3\n"_s.arg(line)
                       .arg(line == 57 ? u"-500"_s : QString::number(line * 10))
                       .arg(today.toString(Qt::ISODate));
        const QString badList = writeList(u"付款.csv"_s, csv);
        const QString report = u"第57行，金额列“-500”：不是有效的金额\n共59行，有问题的1行\n"_s;
        Run r = batch(badList, {u"--check"_s});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(QString::fromUtf8(r.out), report);
        r = batch(badList, {u"--pdf"_s, pdf, u"--save"_s});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(QString::fromUtf8(r.out), report);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 打印日志"_s).toInt(), 0);
        // A row dated more than ten days ago is a problem of its row unless --allow-date.
        const QDate old = today.addDays(-11);
        const QString oldList = writeList(
            u"旧.csv"_s, u"收款人,金额,出票日期\n甲公司,100,%1\n"_s.arg(old.toString(Qt::ISODate)));
        r = batch(oldList, {u"--check"_s});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(QString::fromUtf8(r.out),
                 u"第2行：出票日期不是今天（%1年%2月%3日，已超过十天），加 --allow-date 才打印\n"
                 u"共1行，有问题的1行\n"_s.arg(old.year())
                     .arg(old.month())
                     .arg(old.day()));
        QCOMPARE(batch(oldList, {u"--check"_s, u"--allow-date"_s}).exitCode, 0);

        // A workbook is read as a reviewer sees it: its first visible sheet, naming the hidden
        // one skipped, and a hidden row is a bad one.
        const QString workbook = t.dir.filePath(u"付款.xlsx"_s);
        lxw_workbook* book = workbook_new(QFile::encodeName(workbook).constData());
        lxw_worksheet* sheets[] = {workbook_add_worksheet(book, "Sheet1"),
                                   workbook_add_worksheet(book, "清单")};
        for (lxw_worksheet* sheet : sheets) {
            worksheet_write_string(sheet, 0, 0, "收款人", nullptr);
            worksheet_write_string(sheet, 0, 1, "金额", nullptr);
        }
        worksheet_write_string(sheets[0], 1, 0, "甲公司", nullptr);
        worksheet_write_number(sheets[0], 1, 1, 50000, nullptr);
        worksheet_write_string(sheets[1], 1, 0, "甲公司", nullptr);
        worksheet_write_number(sheets[1], 1, 1, 100, nullptr);
        worksheet_write_string(sheets[1], 2, 0, "乙公司", nullptr);
        worksheet_write_number(sheets[1], 2, 1, 200, nullptr);
        lxw_row_col_options hidden{.hidden = 1, .level = 0, .collapsed = 0};
        worksheet_set_row_opt(sheets[1], 2, LXW_DEF_ROW_HEIGHT, nullptr, &hidden);
        worksheet_activate(sheets[1]);
        worksheet_hide(sheets[0]);
        QCOMPARE(workbook_close(book), LXW_NO_ERROR);
        r = batch(workbook, {u"--check"_s});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(QString::fromUtf8(r.out),
                 u"已跳过隐藏的工作表：Sheet1\n第3行：该行在表格中被隐藏\n共2行，有问题的1行\n"_s);

        // Three good rows, one with a line break in a quoted value: one PDF with a page each,
        // all three kept and journalled with their history rows, each with the last input's
        // account but without its password.
        Document last;
        last.setText(Field::Account, u"6222001"_s);
        last.setText(Field::Password, u"SECRET"_s);
        QVERIFY(saveLastInput(t.db, last));
        const QString goodList = writeList(
            u"good.csv"_s,
            u"收款人,金额,用途\n甲公司,1234.56,货款\n\"乙,公司\",1500,\"运费\n十二月\"\n丙公司,0.5,杂费\n"_s);
        r = batch(goodList, {u"--pdf"_s, pdf, u"--save"_s});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out), u"共 3 张支票，合计 ￥2,735.06\n"_s);
        QProcess info;
        info.start(u"pdfinfo"_s, {pdf});
        QVERIFY(info.waitForFinished(60000));
        QVERIFY(info.readAllStandardOutput().contains("Pages:           3\n"));
        const QStringList pages[] = {{u"甲公司"_s, u"壹仟贰佰叁拾肆元伍角陆分"_s},
                                     {u"乙,公司"_s, u"壹仟伍佰元整"_s, u"运费十二月"_s},
                                     {u"丙公司"_s, u"伍角整"_s}};
        for (int page = 1; page <= 3; ++page) {
            QProcess text;
            text.start(u"pdftotext"_s, {u"-f"_s, QString::number(page), u"-l"_s,
                                        QString::number(page), pdf, u"-"_s});
            QVERIFY(text.waitForFinished(60000));
            const QString shown = QString::fromUtf8(text.readAllStandardOutput()).remove(u'\n');
            for (int other = 1; other <= 3; ++other)
                QCOMPARE(shown.contains(pages[other - 1].front()), other == page);
            for (const QString& expected : pages[page - 1])
                QVERIFY2(shown.contains(expected), qPrintable(expected));
        }
        QCOMPARE(
            t.scalar(
                 u"SELECT group_concat(收款人全称, '|') FROM 历史记录 WHERE Dat<>'1900-01-01'"_s)
                .toString(),
            u"甲公司|乙,公司|丙公司"_s);
        QCOMPARE(t.rows(u"SELECT 账号, 密码 FROM 历史记录 WHERE Dat<>'1900-01-01' ORDER BY ID"_s),
                 u"6222001/|6222001/|6222001/"_s);
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 打印日志 WHERE 结果='已打印' AND 历史ID IN "
                          u"(SELECT ID FROM 历史记录)"_s)
                     .toInt(),
                 3);

        // A PDF that cannot be written: none of the three printed, all journalled as failed,
        // nothing more kept.
        r = batch(goodList, {u"--pdf"_s, t.dir.path(), u"--save"_s});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("none of the 3 cheques was printed"));
        QCOMPARE(journalled(u"打印失败"_s), 3);
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 历史记录 WHERE Dat<>'1900-01-01'"_s).toInt(), 3);
    }

    // A book added, listed, its numbers voided by serial and by full number, its register, and
    // the book closed; refusals give the register's reason, wrong arguments the usage.
    void chequeBooksAndTheirRegister() {
        TestDatabase t;
        const QString a = u"6222 0001"_s;
        auto verb = [&](const QStringList& arguments) {
            return run(arguments + QStringList{u"--database"_s, t.path()});
        };
        auto refusedWith = [&](const QStringList& arguments, const QString& reason) {
            const Run r = verb(arguments);
            return r.exitCode == 1 && r.out.isEmpty() &&
                   QString::fromUtf8(r.err) == u"chequeprint: "_s + reason + u'\n';
        };
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        Run r = verb({u"book"_s, u"add"_s, a, u"1"_s, u"00000005"_s, u"--prefix"_s, u"30102031"_s,
                      u"--received"_s, u"2026-12-01"_s});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.isEmpty() && r.err.isEmpty());
        QVERIFY(refusedWith({u"book"_s, u"add"_s, a, u"5"_s, u"9"_s},
                            u"该账号已有号码重叠的支票簿：00000001 至 00000005。"_s));
        QCOMPARE(verb({u"book"_s, u"add"_s, u"6222 0002"_s, u"11"_s, u"12"_s}).exitCode, 0);

        // Two numbers printed (the first once again on the same blank), then voided by hand:
        // the second by its full number, the fourth (torn before its turn) by its serial.
        const Clock clock = testClock();
        QString why;
        const std::optional<TakenNumber> one = takeNumber(t.db, clock, a, {}, &why);
        QVERIFY(one && numberReprinted(t.db, one->id));
        QVERIFY(numberPrinted(t.db, one->id, {u"2026-12-02"_s, u"甲公司"_s, u"￥1,234.50"_s, {}}));
        const std::optional<TakenNumber> two = takeNumber(t.db, clock, a, {}, &why);
        QVERIFY(two &&
                numberPrinted(t.db, two->id, {u"2026-12-03"_s, u"乙\t公司"_s, u"￥20.00"_s, {}}));
        QCOMPARE(verb({u"void"_s, u"3010203100000002"_s, u"--account"_s, a, u"--reason"_s,
                       u"金额写错"_s})
                     .exitCode,
                 0);
        QCOMPARE(verb({u"void"_s, u"4"_s, u"--reason"_s, u"撕坏"_s, u"--account"_s, a}).exitCode,
                 0);
        QVERIFY(refusedWith({u"void"_s, u"00000004"_s, u"--account"_s, a, u"--reason"_s, u"又"_s},
                            u"号码 00000004 已作废。"_s));
        QVERIFY(refusedWith(
            {u"void"_s, u"9999999900000005"_s, u"--account"_s, a, u"--reason"_s, u"撕坏"_s},
            u"号码 9999999900000005 不在该账号的支票簿中。"_s));

        r = verb({u"book"_s, u"list"_s});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(
            QString::fromUtf8(r.out),
            a + u"\t30102031\t00000001\t00000005\t2026-12-01\t未结束\t1\t2\t0\t2\t转账支票\n"_s +
                u"6222 0002\t\t00000011\t00000012\t"_s + today +
                u"\t未结束\t0\t0\t0\t2\t转账支票\n"_s);
        r = verb({u"register"_s, u"--account"_s, a});
        QCOMPARE(r.exitCode, 0);
        static const QRegularExpression stamp(u"\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"_s);
        QCOMPARE(QString::fromUtf8(r.out).replace(stamp, u"{time}"_s),
                 u"支票簿\t"_s + a + u"\t3010203100000001-3010203100000005\t未结束\t转账支票\n"_s +
                     u"3010203100000001\t已打印\t2026-12-02\t甲公司\t￥1,234.50\t1\t\t\n"
                     u"3010203100000002\t已作废\t2026-12-03\t乙 公司\t￥20.00\t0\t"
                     u"金额写错（"_s +
                     t.db.userName() +
                     u"，{time}）\t\n"
                     u"3010203100000003\t未使用\t\t\t\t\t\t\n"
                     u"3010203100000004\t已作废\t{time}\t\t\t0\t撕坏（"_s +
                     t.db.userName() +
                     u"）\t\n"
                     u"3010203100000005\t未使用\t\t\t\t\t\t\n"
                     u"合计\t已打印 1\u3000已作废 2\u3000打印中 0\u3000未使用 2\n"_s);
        // The second's cheque printed again on the fifth skips the third: a gap until someone
        // explains it.
        QVERIFY(takeNumber(t.db, clock, a, 5, &why, two->id));
        const QString again = QString::fromUtf8(verb({u"register"_s, u"--account"_s, a}).out)
                                  .replace(stamp, u"{time}"_s);
        QVERIFY2(
            again.contains(u"\t0\t金额写错（"_s + t.db.userName() +
                           u"，{time}）\t被替代 3010203100000005\n"_s) &&
                again.endsWith(u"3010203100000005\t打印中（未确认）\t{time}\t\t\t0\t\t"
                               u"替代 3010203100000002\n缺号\t3010203100000003\n"
                               u"合计\t已打印 1\u3000已作废 2\u3000打印中 1\u3000未使用 1\u3000"
                               u"缺号 00000003\n"_s),
            qPrintable(again));

        QCOMPARE(verb({u"book"_s, u"close"_s, a, u"0001"_s}).exitCode, 0);
        QVERIFY(refusedWith({u"book"_s, u"close"_s, a, u"1"_s}, u"没有这本未结束的支票簿。"_s));
        QVERIFY(verb({u"register"_s})
                    .out.startsWith((u"支票簿\t"_s + a +
                                     u"\t3010203100000001-3010203100000005\t已结束\t转账支票\n"_s)
                                        .toUtf8()));

        const QStringList wrong[] = {
            {u"book"_s},
            {u"book"_s, u"sell"_s},
            {u"book"_s, u"add"_s, a, u"1"_s},
            {u"book"_s, u"add"_s, a, u"1"_s, u"5x"_s},
            {u"book"_s, u"add"_s, a, u"1"_s, u"123456789"_s},
            {u"book"_s, u"add"_s, a, u"1"_s, u"５"_s},
            {u"book"_s, u"add"_s, a, u"1"_s, u"5"_s, u"--received"_s, u"2026-02-30"_s},
            {u"book"_s, u"list"_s, u"--prefix"_s, u"1"_s},
            {u"book"_s, u"close"_s, a},
            {u"void"_s, u"1"_s, u"--account"_s, a},
            {u"void"_s, u"1"_s, u"--reason"_s, u"撕坏"_s},
            {u"void"_s, u"1-2"_s, u"--account"_s, a, u"--reason"_s, u"撕坏"_s},
            {u"register"_s, a},
        };
        const QByteArray before = verb({u"register"_s}).out;
        for (const QStringList& arguments : wrong) {
            r = verb(arguments);
            QVERIFY2(r.exitCode == 2 && r.err.startsWith("chequeprint: ") &&
                         r.err.contains("Usage: chequeprint") && r.out.isEmpty(),
                     qPrintable(arguments.join(u' ')));
        }
        QCOMPARE(verb({u"register"_s}).out, before);
    }

    // A book typed wrong is refused with the reason and exit code 1, nothing added; an account
    // is kept without the blanks around it. With two open books of an account, print --number
    // takes the full number of either book, or a serial alone.
    void numbersOfTwoOpenBooks() {
        TestDatabase t;
        const QString a = u"6222 0003"_s;
        auto verb = [&](const QStringList& arguments) {
            return run(arguments + QStringList{u"--database"_s, t.path()});
        };
        const std::pair<QStringList, QString> refused[] = {
            {{a, u"1"_s, u"5"_s, u"--prefix"_s, u"10 20"_s},
             u"支票号码前缀只能是数字，最多8位。"_s},
            {{u"6222\t0003"_s, u"1"_s, u"5"_s}, u"出票人账号中不能有制表符、换行等控制字符。"_s},
            {{a, u"1"_s, u"5"_s, u"--received"_s, u"2999-01-01"_s}, u"领用日期不能晚于今天。"_s},
        };
        for (const auto& [arguments, reason] : refused) {
            const Run r = verb(QStringList{u"book"_s, u"add"_s} + arguments);
            QCOMPARE(r.exitCode, 1);
            QCOMPARE(QString::fromUtf8(r.err), u"chequeprint: "_s + reason + u'\n');
        }
        QVERIFY(verb({u"book"_s, u"list"_s}).out.isEmpty());
        QCOMPARE(
            verb({u"book"_s, u"add"_s, u" "_s + a + u" "_s, u"1"_s, u"5"_s, u"--prefix"_s, u"10"_s})
                .exitCode,
            0);
        QCOMPARE(verb({u"book"_s, u"add"_s, a, u"6"_s, u"10"_s, u"--prefix"_s, u"1020"_s}).exitCode,
                 0);

        const QString pdf = t.dir.filePath(u"cheque.pdf"_s);
        auto print = [&](const QString& number) {
            return verb({u"print"_s, u"--pdf"_s, pdf, u"--field"_s, u"T7="_s + a, u"--field"_s,
                         u"T3=甲公司"_s, u"--field"_s, u"T5=1.00"_s, u"--number"_s, number});
        };
        // The second book's number in full, the first book's by its serial.
        Run r = print(u"102000000008"_s);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(r.out, "102000000008\n");
        r = print(u"3"_s);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(r.out, "1000000003\n");
        // The first book's prefix before a serial of the second names no number.
        QFile::remove(pdf);
        r = print(u"1000000009"_s);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, "chequeprint: 号码 1000000009 不在该账号未结束的支票簿中。\n");
        QVERIFY(r.out.isEmpty() && !QFile::exists(pdf));
        QCOMPARE(t.rows(u"SELECT 号码, 状态 FROM 支票号码 ORDER BY 号码"_s),
                 u"3/已打印|8/已打印"_s);
    }

    void version() {
        const Run r = run({u"--version"_s});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.startsWith("chequeprint "));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
