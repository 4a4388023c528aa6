// Print formats carried between databases as files: a format edited in one office, exported,
// imported into another database under another name, shows the same rows and prints the same
// cheque in the same places; a file that is wrong in any way is refused with its reason and
// changes nothing.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QUrl>

#include "PdfWords.h"
#include "ProgramRun.h"
#include "ScannedForm.h"
#include "ScriptedPrompts.h"
#include "ServerRights.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

const QStringList kCheque{u"--allow-date"_s, u"--field"_s,    u"T3=北京华光科技有限公司"_s,
                          u"--field"_s,      u"T5=12345.6"_s, u"--field"_s,
                          u"T6=货款"_s};

// The lines pdfimages lists for a PDF's images, below its two lines of headings.
QStringList pdfImages(const QString& pdf) {
    QProcess list;
    list.start(u"pdfimages"_s, {u"-list"_s, pdf});
    if (!list.waitForFinished() || list.exitCode() != 0)
        return {u"pdfimages failed"_s};
    return QString::fromUtf8(list.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts).mid(2);
}

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
    QJsonObject readJson(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                              : QJsonObject();
    }
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

    // A scan of the blank form behind the fields: the preview shows it, the print never holds
    // it, and it travels in the file only when asked.
    void aBackgroundIsSeenNeverPrintedAndCarried() {
        QVERIFY(scannedForm().save(path(u"form.png"_s)));
        QVERIFY(scannedForm().save(path(u"form.jpg"_s), "JPEG", 80));
        const auto preview = [&](const QString& name) {
            const ProgramRun drawn =
                run(office, QStringList{u"preview"_s, path(name)} + kCheque.mid(1));
            return drawn.exitCode == 0 ? QImage(path(name)) : QImage();
        };
        const auto print = [&](const QString& name) {
            return run(office, QStringList{u"print"_s, u"--pdf"_s, path(name)} + kCheque).exitCode;
        };
        const QImage plain = preview(u"plain.png"_s);
        QCOMPARE(print(u"plain.pdf"_s), 0);
        QVERIFY(!plain.isNull());

        const auto setBackground = [&](const QStringList& arguments) {
            return run(office,
                       QStringList{u"format"_s, u"background"_s, u"标准支票"_s} + arguments);
        };
        QCOMPARE(setBackground({path(u"form.png"_s)}).exitCode, 0);
        const QImage fitted = preview(u"fitted.png"_s);
        QCOMPARE(setBackground({path(u"form.jpg"_s), u"--dpi"_s, u"300"_s}).exitCode, 0);
        const QImage halfSize = preview(u"half.png"_s);
        // At 8 pixels a mm: the frame's left edge lies on the form's left edge, its stub line
        // (59.5 mm in) at the stub's width of this format (58 mm) when fitted, 30 mm in at twice
        // the resolution; the margin beyond the form (10 mm below it) stays as it was.
        QVERIFY(!pinkish(plain.pixel(2, 300)));
        QVERIFY(pinkish(fitted.pixel(2, 300)));
        QVERIFY(pinkish(fitted.pixel(476, 300)) && !pinkish(halfSize.pixel(476, 300)));
        QVERIFY(pinkish(halfSize.pixel(240, 150)) && !pinkish(halfSize.pixel(240, 400)));
        QCOMPARE(fitted.pixel(1000, 700), plain.pixel(1000, 700));

        // Never printed: the PDF holds no picture, and the same words in the same places.
        QCOMPARE(print(u"withBackground.pdf"_s), 0);
        QCOMPARE(pdfImages(path(u"plain.pdf"_s)), QStringList());
        QCOMPARE(pdfImages(path(u"withBackground.pdf"_s)), QStringList());
        QCOMPARE(pdfWords(path(u"withBackground.pdf"_s)), pdfWords(path(u"plain.pdf"_s)));

        // Carried when asked: the other database holds the same picture at the same resolution.
        const QString stored = u"SELECT 种类, Name, 分辨率, length(图像) FROM 格式底图"_s;
        QCOMPARE(
            run(office, {u"format"_s, u"export"_s, u"标准支票"_s, path(u"bare.json"_s)}).exitCode,
            0);
        QCOMPARE(run(office, {u"format"_s, u"export"_s, u"标准支票"_s, path(u"full.json"_s),
                              u"--with-background"_s})
                     .exitCode,
                 0);
        QVERIFY(!readJson(u"bare.json"_s).contains(u"background"_s));
        QCOMPARE(run(branch, {u"format"_s, u"import"_s, path(u"full.json"_s), u"--name"_s,
                              u"分行格式"_s, u"--force"_s})
                     .exitCode,
                 0);
        QCOMPARE(branch.rows(stored), office.rows(stored).replace(u"标准支票"_s, u"分行格式"_s));
        QCOMPARE(run(branch, {u"format"_s, u"export"_s, u"分行格式"_s, path(u"again.json"_s),
                              u"--with-background"_s})
                     .exitCode,
                 0);
        QCOMPARE(readJson(u"again.json"_s).value(u"background"_s),
                 readJson(u"full.json"_s).value(u"background"_s));
        // A file without one leaves the background the format has.
        QCOMPARE(run(branch, {u"format"_s, u"import"_s, path(u"bare.json"_s), u"--name"_s,
                              u"分行格式"_s, u"--force"_s})
                     .exitCode,
                 0);
        QCOMPARE(branch.rows(stored), office.rows(stored).replace(u"标准支票"_s, u"分行格式"_s));

        // Refused, each with its reason, the background kept as it was.
        const QString kept = office.rows(stored);
        QFile text(path(u"notes.png"_s));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture") > 0);
        text.close();
        QVERIFY(scannedForm().scaled(300, 100).save(path(u"form.bmp"_s), "BMP"));
        QImage noise(600, 600, QImage::Format_RGB32);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, QRandomGenerator::global()->generate());
        QVERIFY(noise.save(path(u"noise.png"_s)));
        QVERIFY(QImage(9000, 10, QImage::Format_Mono).save(path(u"wide.png"_s)));
        const QList<std::pair<QStringList, QString>> refusals = {
            {{path(u"notes.png"_s)}, u"底图应是PNG或JPEG图片"_s},
            {{path(u"form.bmp"_s)}, u"底图应是PNG或JPEG图片"_s},
            {{path(u"noise.png"_s)}, u"底图超过700KB，请降低分辨率或存为JPEG"_s},
            {{path(u"wide.png"_s)}, u"底图超过8000×8000像素，请降低分辨率"_s},
            {{path(u"form.png"_s), u"--dpi"_s, u"20"_s}, u"底图的分辨率应在50到2400点/英寸之间"_s},
        };
        for (const auto& [arguments, reason] : refusals) {
            const ProgramRun refused = setBackground(arguments);
            QCOMPARE(refused.exitCode, 1);
            QCOMPARE(QString::fromUtf8(refused.err), u"chequeprint: "_s + reason + u'\n');
            QCOMPARE(office.rows(stored), kept);
        }
        QCOMPARE(setBackground({u"--remove"_s}).exitCode, 0);
        QCOMPARE(office.rows(stored), QString());
        QCOMPARE(preview(u"removed.png"_s), plain);
    }

    // On a server only a format editor changes formats: a clerk's import and background are
    // refused by the server and change nothing; made an editor, the clerk imports the same file.
    void onAServerOnlyAFormatEditorImports() {
        if (!onTestServer())
            QSKIP("a database file has no logins");
        ScriptedPrompts prompts;
        Database session(prompts);
        const QString clerk = branch.openAs(u"clerk"_s, session);
        QVERIFY(!clerk.isEmpty());
        QUrl address(branch.path());
        address.setUserName(clerk);
        const auto asClerk = [&](const QStringList& arguments) {
            return runProgram(arguments + QStringList{u"--database"_s, address.toString()});
        };
        QCOMPARE(run(office, {u"format"_s, u"export"_s, u"标准支票"_s, path(u"f.json"_s)}).exitCode,
                 0);
        QVERIFY(scannedForm().save(path(u"form.png"_s)));
        const QString rows = formatRows(branch);
        const QString backgrounds = branch.rows(u"SELECT Name, 分辨率 FROM 格式底图"_s);
        const QStringList import{u"format"_s, u"import"_s, path(u"f.json"_s), u"--name"_s,
                                 u"办事员格式"_s};
        QCOMPARE(asClerk(import).exitCode, 1);
        QCOMPARE(
            asClerk({u"format"_s, u"background"_s, u"标准支票"_s, path(u"form.png"_s)}).exitCode,
            1);
        QCOMPARE(formatRows(branch), rows);
        QCOMPARE(branch.rows(u"SELECT Name, 分辨率 FROM 格式底图"_s), backgrounds);

        QVERIFY(branch.db.execute(u"GRANT "_s + kFormatEditorRole + u" TO "_s + clerk));
        const ProgramRun editor = asClerk(import);
        QVERIFY2(editor.exitCode == 0, editor.err.constData());
        QVERIFY(formatRows(branch).contains(u"办事员格式"_s));
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
        QTest::newRow("a damaged background") << u"background"_s << u"格式文件中的底图已损坏"_s;
        QTest::newRow("a background no picture") << u"notPicture"_s << u"底图应是PNG或JPEG图片"_s;
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
        if (change == u"background" || change == u"notPicture")
            root[u"background"_s] =
                QJsonObject{{u"dotsPerInch"_s, 0},
                            {u"image"_s, change == u"background" ? u"iVBOR*w0"_s : u"aGVsbG8="_s}};
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
