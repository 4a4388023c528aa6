// Print formats carried between databases as files: a format edited in one office, exported,
// imported into another database under another name, shows the same rows and prints the same
// cheque in the same places; a file that is wrong in any way is refused with its reason and
// changes nothing.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include "PdfWords.h"
#include "ProgramRun.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

const QStringList kCheque{u"--allow-date"_s, u"--field"_s,    u"T3=北京华光科技有限公司"_s,
                          u"--field"_s,      u"T5=12345.6"_s, u"--field"_s,
                          u"T6=货款"_s};

}  // namespace

class TestFormatFiles : public QObject {
    Q_OBJECT

    TestDatabase office;  // where the format was placed
    TestDatabase branch;  // where it is carried to

    ProgramRun run(const TestDatabase& db, QStringList arguments) {
        arguments << u"--database"_s << db.path();
        RunOptions options;
        options.folder = office.dir.path();
        return runProgram(arguments, options);
    }
    QString path(const QString& name) const { return office.dir.filePath(name); }
    QString formatRows(TestDatabase& db) {
        return db.rows(
            u"SELECT Name, CtlDF, X, Y, S, Color, fName, fSize, fBold FROM 支票格式 "
            u"WHERE Name<>'' ORDER BY Name, ID"_s);
    }

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        // The office moved the payee, gave it a bold red font, and measured its margins.
        QVERIFY(office.db.execute(
            u"UPDATE 支票格式 SET X=41.5, Y=22.5, S=0.5, Color=255, fName='黑体', fBold=? "
            u"WHERE Name='标准支票' AND CtlDF='票身-收款人'"_s,
            {true}));
        QVERIFY(office.db.execute(
            u"UPDATE 支票格式 SET X=12.5, Y=9, S=58 WHERE Name='标准支票' AND CtlDF=''"_s));
    }

    void carriedToAnotherDatabase() {
        QCOMPARE(run(office, {u"format"_s, u"export"_s, u"标准支票"_s, path(u"f.json"_s)}).exitCode,
                 0);
        const ProgramRun imported =
            run(branch, {u"format"_s, u"import"_s, path(u"f.json"_s), u"--name"_s, u"分行格式"_s});
        QVERIFY2(imported.exitCode == 0, imported.err);
        const ProgramRun there = run(office, {u"format"_s, u"show"_s, u"标准支票"_s});
        const ProgramRun here = run(branch, {u"format"_s, u"show"_s, u"分行格式"_s});
        QCOMPARE(here.out, there.out);
        QVERIFY(there.out.contains("票身-收款人\t41.5\t22.5\t0.5\t255\t黑体\t12\t√"));
        QVERIFY(there.out.endsWith("页边距\t12.5\t9\t票根宽\t58\n"));

        QCOMPARE(
            run(office, QStringList{u"print"_s, u"--pdf"_s, path(u"a.pdf"_s)} + kCheque).exitCode,
            0);
        QCOMPARE(run(branch, QStringList{u"print"_s, u"--format"_s, u"分行格式"_s, u"--pdf"_s,
                                         path(u"b.pdf"_s)} +
                                 kCheque)
                     .exitCode,
                 0);
        const auto words = pdfWords(path(u"a.pdf"_s));
        QVERIFY(words.size() > 5);
        QCOMPARE(pdfWords(path(u"b.pdf"_s)), words);

        // Once there, the name is only taken again when told to.
        const ProgramRun again =
            run(branch, {u"format"_s, u"import"_s, path(u"f.json"_s), u"--name"_s, u"分行格式"_s});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains("已经存在"));
        QCOMPARE(run(branch, {u"format"_s, u"import"_s, path(u"f.json"_s), u"--name"_s,
                              u"分行格式"_s, u"--force"_s})
                     .exitCode,
                 0);
        QCOMPARE(run(branch, {u"format"_s, u"show"_s, u"分行格式"_s}).out, there.out);
    }

    // Each file is the exported one with one thing wrong.
    void refusedFiles_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a newer version")
            << u"version"_s << u"格式文件的版本（2）比本程序新，请先升级程序"_s;
        QTest::newRow("an unknown kind") << u"kind"_s << u"没有这种单据：本票"_s;
        QTest::newRow("a field of another kind")
            << u"other"_s << u"“身份证件号码”不是转账支票的栏位"_s;
        QTest::newRow("a field missing") << u"missing"_s << u"缺少栏位“票身-年”"_s;
        QTest::newRow("a field twice") << u"twice"_s << u"栏位“票身-月”出现了两次"_s;
        QTest::newRow("a number that is text") << u"text"_s << u"栏位“票身-年”的x不是数字"_s;
        QTest::newRow("a field off the paper") << u"off"_s << u"栏位“票身-年”的位置不在纸张上"_s;
        QTest::newRow("over 1 MB") << u"big"_s << u"格式文件超过1MB"_s;
        QTest::newRow("no format file") << u"garbage"_s << u"不是格式文件"_s;
    }
    void refusedFiles() {
        QFETCH(QString, change);
        QFETCH(QString, reason);
        QCOMPARE(run(office, {u"format"_s, u"export"_s, u"标准支票"_s, path(u"f.json"_s)}).exitCode,
                 0);
        QFile file(path(u"f.json"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        file.close();
        QJsonArray fields = root.value(u"fields"_s).toArray();
        QJsonObject first = fields[0].toObject();
        QByteArray bytes;
        if (change == u"version")
            root[u"chequeformat"_s] = 2;
        else if (change == u"kind")
            root[u"kind"_s] = u"本票"_s;
        else if (change == u"other")
            first[u"identifier"_s] = u"身份证件号码"_s;
        else if (change == u"missing")
            fields.removeAt(0);
        else if (change == u"twice")
            fields.append(fields[1]);
        else if (change == u"text")
            first[u"x"_s] = u"38"_s;
        else if (change == u"off")
            first[u"x"_s] = 1000;
        if (change == u"other" || change == u"text" || change == u"off")
            fields[0] = first;
        root[u"fields"_s] = fields;
        bytes = QJsonDocument(root).toJson();
        if (change == u"big")
            bytes.append(QByteArray(1024 * 1024, ' '));
        if (change == u"garbage")
            bytes = "<format/>";
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();

        const QString before = formatRows(branch);
        const ProgramRun imported = run(branch, {u"format"_s, u"import"_s, path(u"f.json"_s),
                                                 u"--name"_s, u"分行格式"_s, u"--force"_s});
        QCOMPARE(imported.exitCode, 1);
        QCOMPARE(QString::fromUtf8(imported.err), u"chequeprint: "_s + reason + u'\n');
        QCOMPARE(formatRows(branch), before);
    }
};

QTEST_MAIN(TestFormatFiles)
#include "tst_formatfiles.moc"
