// The program under attack: files it writes are complete or absent and private, first starts
// at the same moment lose nothing, and what is printed is what is kept.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "ChequeFields.h"
#include "ChequeRegister.h"
#include "DateCapitals.h"
#include "DocumentKind.h"
#include "ProgramRun.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

constexpr char kOldContents[] = "old contents";
// Above what opening the database writes (its 32 KiB shared-memory file), below every file
// that the tests below make.
constexpr long kFullDisk = 100000;

RunOptions inFolder(const QString& folder) {
    RunOptions options;
    options.folder = folder;
    return options;
}
RunOptions onFullDisk(const QString& folder) {
    RunOptions options = inFolder(folder);
    options.fileSizeLimit = kFullDisk;
    return options;
}
RunOptions withOpenUmask(const QString& folder) {
    RunOptions options = inFolder(folder);
    options.openUmask = true;
    return options;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A payee of 3,000 different characters: every one is a glyph in the PDF and ink on the
// preview, so that both files grow well past the full-disk limit.
QString longPayee() {
    QString payee;
    for (char16_t c = 0x4e00; c < 0x4e00 + 3000; ++c)
        payee += QChar(c);
    return payee;
}

bool isPrivate(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 &&
           (status.st_mode & 0777) == 0600;
}

QString pdfText(const QString& pdf) {
    QProcess process;
    process.start(u"pdftotext"_s, {pdf, u"-"_s});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class TestRobustness : public QObject {
    Q_OBJECT

private slots:
    void eightFirstStartsAtOnceLoseNothing() {
        QTemporaryDir dir;
        const QString db = dir.filePath(u"DATA.db"_s);
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int i = 0; i < 8; ++i) {
            auto process = std::make_unique<QProcess>();
            prepareProcess(*process, withOpenUmask(dir.path()));
            process->start(
                QStringLiteral(CHEQUEPRINT_EXE),
                {u"print"_s, u"--database"_s, db, u"--pdf"_s, dir.filePath(u"%1.pdf"_s.arg(i)),
                 u"--field"_s, u"T3=收款人%1"_s.arg(i), u"--field"_s, u"T5=%1"_s.arg(i + 1),
                 u"--flags"_s, u"1;0;0;0;0;0;0;0;0;0;"_s, u"--save"_s});
            processes.push_back(std::move(process));
        }
        for (const auto& process : processes) {
            QVERIFY(process->waitForFinished(120000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        }
        TestDatabase t;
        t.db.open(db);
        QCOMPARE(t.scalar(u"SELECT count(DISTINCT 收款人全称) FROM 历史记录 WHERE Dat>?"_s,
                          {u"1900-01-01"_s})
                     .toInt(),
                 8);
        // The shipped format exists exactly once: its fields and its page settings.
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 支票格式 WHERE 种类='转账支票'"_s).toInt(),
                 kPrintableFieldCount + 1);
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 支票格式 WHERE 种类='进账单'"_s).toInt(),
                 int(depositSlip().fields.size()) + 1);
        QVERIFY(isPrivate(db));
    }

    // Prints on one cheque book killed while their numbers are 打印中 (a payee of thousands
    // of glyphs keeps each one drawing long enough to be caught there). A number a killed print
    // left 打印中 has its journal entry and is held by no one: settle keeps it from that entry.
    // No number is taken twice, nothing stays 打印中, and the book's counts add up.
    void killedPrintsLeaveNumbersToSettle() {
        QTemporaryDir dir;
        const QString db = dir.filePath(u"DATA.db"_s);
        const QString account = u"6222 0001"_s;
        const auto verb = [&](const QStringList& arguments) {
            return runProgram(arguments + QStringList{u"--database"_s, db}, inFolder(dir.path()));
        };
        QCOMPARE(
            verb({u"book"_s, u"add"_s, account, u"1"_s, u"100"_s, u"--prefix"_s, u"10"_s}).exitCode,
            0);
        ScriptedPrompts prompts;
        Database reader(prompts);
        QVERIFY(reader.open(db));
        const auto printing = [&] {
            std::optional<QSqlQuery> query =
                reader.select(u"SELECT count(*) FROM 支票号码 WHERE 状态 = '打印中'"_s);
            return query && query->next() ? query->value(0).toInt() : -1;
        };
        int left = 0;
        for (int k = 1; k <= 20 && left < 3; ++k) {
            QProcess print;
            prepareProcess(print, inFolder(dir.path()));
            print.start(
                QStringLiteral(CHEQUEPRINT_EXE),
                {u"print"_s, u"--database"_s, db, u"--pdf"_s, dir.filePath(u"%1.pdf"_s.arg(k)),
                 u"--field"_s, u"T7="_s + account, u"--field"_s, u"T3="_s + longPayee(),
                 u"--field"_s, u"T5=%1"_s.arg(k), u"--allow-overflow"_s, u"--save"_s});
            QVERIFY(print.waitForStarted());
            // Killed the moment its number is seen 打印中.
            while (print.state() == QProcess::Running && printing() == left)
                QThread::msleep(1);
            print.kill();
            QVERIFY(print.waitForFinished());
            left = printing();
        }
        QVERIFY2(left > 0, "no print was killed while its number was printing");
        const BookRegister before = chequeRegister(reader, account)->first();
        for (const RegisterLine& line : before.lines)
            if (line.state == kNumberPrinting) {
                const ProgramRun settled = verb({u"settle"_s, serialText(line.serial),
                                                 u"--account"_s, account, u"--printed"_s});
                QVERIFY2(settled.exitCode == 0, settled.err.constData());
            }
        const BookRegister after = chequeRegister(reader, account)->first();
        QCOMPARE(after.count(kNumberPrinting), 0);
        QCOMPARE(after.count(kNumberPrinted), before.count(kNumberPrinted) + left);
        QCOMPARE(
            after.count(kNumberPrinted) + after.count(kNumberVoided) + after.count(kNumberUnused),
            100);
        // Each printed number has exactly one history row, on its own number, and the journal
        // has no entry left 打印中.
        const auto scalar = [&](const QString& sql) {
            std::optional<QSqlQuery> query = reader.select(sql);
            return query && query->next() ? query->value(0).toInt() : -1;
        };
        QCOMPARE(scalar(u"SELECT count(DISTINCT 支票号码) FROM 历史记录 WHERE 支票号码 <> ''"_s),
                 after.count(kNumberPrinted));
        QCOMPARE(scalar(u"SELECT count(*) FROM 历史记录 WHERE 支票号码 <> ''"_s),
                 after.count(kNumberPrinted));
        QCOMPARE(scalar(u"SELECT count(*) FROM 打印日志 WHERE 结果 = '打印中'"_s), 0);
    }

    // Four batches and eight single cheques printed at once on one book of 100: every cheque
    // printed, each on a number of its own.
    void batchesAndSinglePrintsAtOnceTakeDistinctNumbers() {
        QTemporaryDir dir;
        const QString db = dir.filePath(u"DATA.db"_s);
        const QString account = u"6222 0001"_s;
        QCOMPARE(runProgram({u"book"_s, u"add"_s, account, u"1"_s, u"100"_s, u"--prefix"_s, u"10"_s,
                             u"--database"_s, db},
                            inFolder(dir.path()))
                     .exitCode,
                 0);
        QString list = u"收款人,金额,账号\n"_s;
        for (int row = 1; row <= 10; ++row)
            list += u"批量%1,%1.00,%2\n"_s.arg(row).arg(account);
        writeFile(dir.filePath(u"list.csv"_s), list.toUtf8());
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int k = 0; k < 12; ++k) {
            const QString pdf = dir.filePath(u"%1.pdf"_s.arg(k));
            const QStringList arguments =
                k < 4 ? QStringList{u"batch"_s, dir.filePath(u"list.csv"_s)}
                      : QStringList{u"print"_s,       u"--field"_s,          u"T7="_s + account,
                                    u"--field"_s,     u"T3=单张%1"_s.arg(k), u"--field"_s,
                                    u"T5=%1"_s.arg(k)};
            auto process = std::make_unique<QProcess>();
            prepareProcess(*process, inFolder(dir.path()));
            process->start(
                QStringLiteral(CHEQUEPRINT_EXE),
                arguments + QStringList{u"--database"_s, db, u"--pdf"_s, pdf, u"--save"_s});
            processes.push_back(std::move(process));
        }
        for (const auto& process : processes) {
            QVERIFY(process->waitForFinished(120000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        }
        ScriptedPrompts prompts;
        Database reader(prompts);
        QVERIFY(reader.open(db));
        const BookRegister book = chequeRegister(reader, account)->first();
        QCOMPARE(book.count(kNumberPrinted), 48);
        QCOMPARE(book.count(kNumberPrinting) + book.count(kNumberVoided), 0);
        std::optional<QSqlQuery> numbers = reader.select(
            u"SELECT count(DISTINCT 支票号码), count(*) FROM 历史记录 "
            u"WHERE 支票号码 <> ''"_s);
        QVERIFY(numbers && numbers->next());
        QCOMPARE(numbers->value(0).toInt(), 48);
        QCOMPARE(numbers->value(1).toInt(), 48);
    }

    void fullDiskKeepsTheOldFile_data() {
        QTest::addColumn<QStringList>("arguments");  // OUT stands for the file's path
        QTest::addColumn<QString>("name");
        const QString payee = u"T3="_s + longPayee();
        QTest::newRow("cheque PDF")
            << QStringList{u"print"_s,  u"--pdf"_s,           u"OUT"_s, u"--field"_s, payee,
                           u"--save"_s, u"--allow-overflow"_s}
            << u"cheque.pdf"_s;
        QTest::newRow("preview picture")
            << QStringList{u"preview"_s, u"OUT"_s, u"--field"_s, payee} << u"preview.png"_s;
        QTest::newRow("CSV export")
            << QStringList{u"export"_s, u"OUT"_s, u"--force"_s} << u"history.csv"_s;
        QTest::newRow("workbook export")
            << QStringList{u"export"_s, u"OUT"_s, u"--force"_s} << u"history.xlsx"_s;
    }
    void fullDiskKeepsTheOldFile() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, name);
        TestDatabase t;
        // A history long enough for exports past the limit.
        QVERIFY(
            t.db.execute(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
                         u"WHERE i<3000) INSERT INTO 历史记录 (Dat, 收款人全称, 用途) "
                         u"SELECT '2026-12-01', printf('收款人%d', i), hex(randomblob(40)) "
                         u"FROM n"_s));
        const QString out = t.dir.filePath(name);
        writeFile(out, kOldContents);
        auto files = [&] {
            QStringList list = filesUnder(t.dir.path());
            list.removeIf(
                [](const QString& f) { return f.endsWith(u"-wal") || f.endsWith(u"-shm"); });
            return list;
        };
        const QStringList before = files();
        arguments.replaceInStrings(u"OUT"_s, out);
        const ProgramRun r = runProgram(arguments + QStringList{u"--database"_s, t.path()},
                                        onFullDisk(t.dir.path()));
        QCOMPARE(r.exitCode, 1);
        // A print is refused before anything is drawn when its journal entry cannot be
        // written; an export fails at its file.
        QVERIFY2(r.err.contains("cannot write") || r.err.contains("数据库打开错误"),
                 r.err.constData());
        QCOMPARE(contents(out), QByteArray(kOldContents));
        // No temporary file is left behind, no cheque was kept.
        QCOMPARE(files(), before);
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 历史记录"_s).toInt(), 3000);

        // With room on the disk the same command replaces the file with a private one.
        const ProgramRun roomy =
            runProgram(arguments + QStringList{u"--database"_s, t.path()}, inFolder(t.dir.path()));
        QCOMPARE(roomy.exitCode, 0);
        QVERIFY(contents(out).size() > kFullDisk);
        QVERIFY(isPrivate(out));
    }

    void targetsThatAreNoRegularFileAreRefused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("device");  // else a folder
        QTest::newRow("export onto a device")
            << QStringList{u"export"_s, u"OUT"_s, u"--force"_s} << true;
        QTest::newRow("PDF onto a device") << QStringList{u"print"_s, u"--pdf"_s, u"OUT"_s} << true;
        QTest::newRow("export onto a folder")
            << QStringList{u"export"_s, u"OUT"_s, u"--force"_s} << false;
        QTest::newRow("PDF onto a folder")
            << QStringList{u"print"_s, u"--pdf"_s, u"OUT"_s} << false;
    }
    void targetsThatAreNoRegularFileAreRefused() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, device);
        TestDatabase t;
        QVERIFY(
            t.db.execute(u"INSERT INTO 历史记录 (Dat, 收款人全称) VALUES ('2026-12-01', '甲')"_s));
        const QString out = t.dir.filePath(u"target.csv"_s);
        if (device) {
            // A node like /dev/null's, made inside the temporary folder.
            if (::mknod(QFile::encodeName(out).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("making a device node needs root");
        } else {
            QVERIFY(QDir().mkdir(out));
        }
        arguments.replaceInStrings(u"OUT"_s, out);
        const ProgramRun r =
            runProgram(arguments + QStringList{u"--database"_s, t.path()}, inFolder(t.dir.path()));
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("not a regular file"), r.err.constData());
        const QFileInfo after(out);
        QVERIFY(device ? !after.isFile() && after.exists() : after.isDir());
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 历史记录"_s).toInt(), 1);
    }

    // A program killed while writing leaves its hidden temporary file, maybe holding a whole
    // cheque, beside the target. The next output into that folder removes such files once they
    // are stale, whatever target they were for; never one that another process holds, one just
    // made, another program's file or a link.
    void staleTemporaryFilesAreRemoved() {
        TestDatabase t;
        const QDir dir(t.dir.path());
        const QDateTime anHourAgo = QDateTime::currentDateTime().addSecs(-3600);
        auto leave = [&](const QString& name, const QDateTime& modified) {
            writeFile(dir.filePath(name), "%PDF-1.4 cut short");
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        };
        leave(u".old.pdf.chequeprint-AbCdEf"_s, anHourAgo);
        leave(u".payments.csv.chequeprint-GhIjKl"_s, anHourAgo);
        leave(u".held.pdf.chequeprint-MnOpQr"_s, anHourAgo);
        leave(u".fresh.pdf.chequeprint-StUvWx"_s, QDateTime::currentDateTime());
        leave(u".notes.txt.AbCdEf"_s, anHourAgo);
        leave(u"victim.pdf"_s, anHourAgo);
        QVERIFY(QFile::link(dir.filePath(u"victim.pdf"_s),
                            dir.filePath(u".link.pdf.chequeprint-YzAbCd"_s)));
        // Another process still writing holds its file locked.
        const int held = ::open(QFile::encodeName(dir.filePath(u".held.pdf.chequeprint-MnOpQr"_s)),
                                O_RDONLY | O_CLOEXEC);
        QVERIFY(held >= 0 && ::flock(held, LOCK_SH) == 0);
        const ProgramRun r = runProgram({u"print"_s, u"--database"_s, t.path(), u"--pdf"_s,
                                         dir.filePath(u"cheque.pdf"_s), u"--field"_s, u"T3=甲"_s},
                                        inFolder(dir.path()));
        ::close(held);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QVERIFY(QFileInfo(dir.filePath(u"cheque.pdf"_s)).size() > 1000);
        QCOMPARE(dir.entryList({u".*"_s}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
                 (QStringList{u".fresh.pdf.chequeprint-StUvWx"_s, u".held.pdf.chequeprint-MnOpQr"_s,
                              u".link.pdf.chequeprint-YzAbCd"_s, u".notes.txt.AbCdEf"_s}));
        QCOMPARE(contents(dir.filePath(u"victim.pdf"_s)), QByteArray("%PDF-1.4 cut short"));
    }

    // The database itself, or its write-ahead log, as the output: refused before it is touched,
    // so the history stays whole.
    void theDatabaseIsNoOutput_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("export over the database")
            << QStringList{u"export"_s, u"OUT"_s, u"--force"_s} << u""_s;
        QTest::newRow("PDF over the database")
            << QStringList{u"print"_s, u"--pdf"_s, u"OUT"_s} << u""_s;
        QTest::newRow("picture over its log") << QStringList{u"preview"_s, u"OUT"_s} << u"-wal"_s;
    }
    void theDatabaseIsNoOutput() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, suffix);
        TestDatabase t;
        QVERIFY(
            t.db.execute(u"INSERT INTO 历史记录 (Dat, 收款人全称) VALUES ('2026-12-01', '甲')"_s));
        arguments.replaceInStrings(u"OUT"_s, t.path() + suffix);
        const ProgramRun r =
            runProgram(arguments + QStringList{u"--database"_s, t.path()}, inFolder(t.dir.path()));
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("is the program's database"), r.err.constData());
        QCOMPARE(t.scalar(u"SELECT count(*) FROM 历史记录"_s).toInt(), 1);
    }

    void aPlantedSymlinkIsNeverFollowed() {
        TestDatabase t;
        const QString victim = t.dir.filePath(u"victim.txt"_s);
        writeFile(victim, kOldContents);
        const QString pdf = t.dir.filePath(u"cheque.pdf"_s);
        for (const QString& planted : {pdf + u".partial"_s, pdf + u".tmp"_s})
            QVERIFY(QFile::link(victim, planted));
        const ProgramRun r = runProgram(
            {u"print"_s, u"--database"_s, t.path(), u"--pdf"_s, pdf, u"--field"_s, u"T3=甲"_s},
            inFolder(t.dir.path()));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(contents(victim), QByteArray(kOldContents));
        QCOMPARE(QFileInfo(pdf + u".partial"_s).symLinkTarget(), victim);
        QVERIFY(contents(pdf).contains("%%EOF"));
    }

    void filesThatHoldThePasswordArePrivate() {
        QTemporaryDir dir;
        const QString db = dir.filePath(u"DATA.db"_s);
        const QString pdf = dir.filePath(u"cheque.pdf"_s);
        const QString png = dir.filePath(u"cheque.png"_s);
        const QString csv = dir.filePath(u"history.csv"_s);
        const QString xlsx = dir.filePath(u"history.xlsx"_s);
        const QStringList secret = {u"--database"_s, db, u"--field"_s, u"T8=123456"_s};
        const RunOptions openUmask = withOpenUmask(dir.path());
        QCOMPARE(
            runProgram(QStringList{u"print"_s, u"--pdf"_s, pdf, u"--save"_s} + secret, openUmask)
                .exitCode,
            0);
        QCOMPARE(runProgram(QStringList{u"preview"_s, png} + secret, openUmask).exitCode, 0);
        QCOMPARE(runProgram({u"export"_s, csv, u"--database"_s, db}, openUmask).exitCode, 0);
        QCOMPARE(runProgram({u"export"_s, xlsx, u"--database"_s, db}, openUmask).exitCode, 0);
        for (const QString& file : {db, pdf, png, csv, xlsx})
            QVERIFY2(isPrivate(file), qPrintable(file));
    }

    // The date and the amount printed are the ones kept; a cheque that could not be kept is
    // not printed at all.
    void printedDateIsTheKeptDate_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("printedMonth");
        QTest::newRow("拾 as the month")
            << QStringList{u"T1=拾"_s, u"T2=5"_s} << 10 << 5 << u"拾"_s;
        QTest::newRow("拾贰 and 叁拾壹")
            << QStringList{u"T1=拾贰"_s, u"T2=叁拾壹"_s} << 12 << 31 << u"拾贰"_s;
        QTest::newRow("digits become capitals")
            << QStringList{u"T1=10"_s, u"T2=20"_s} << 10 << 20 << u"零壹拾"_s;
    }
    void printedDateIsTheKeptDate() {
        QFETCH(QStringList, fields);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(QString, printedMonth);
        TestDatabase t;
        const QString pdf = t.dir.filePath(u"cheque.pdf"_s);
        QStringList arguments = {
            u"print"_s,   u"--database"_s,           t.path(),    u"--pdf"_s,       pdf,
            u"--flags"_s, u"1;0;0;0;0;0;0;0;1;0;"_s, u"--save"_s, u"--allow-date"_s};
        for (const QString& field : fields)
            arguments << u"--field"_s << field;
        const ProgramRun r = runProgram(arguments, inFolder(t.dir.path()));
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QDate kept(QDate::currentDate().year(), month, day);
        QCOMPARE(t.scalar(u"SELECT 出票日期 FROM 历史记录 WHERE Dat>'1900-01-01'"_s).toString(),
                 kept.toString(Qt::ISODate));
        QCOMPARE(
            t.scalar(u"SELECT \"日期(票根)\" FROM 历史记录 WHERE Dat>'1900-01-01'"_s).toString(),
            kept.toString(Qt::ISODate));
        const QStringList lines = pdfText(pdf).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.contains(printedMonth), qPrintable(lines.join(u'|')));  // on the body
        QVERIFY2(lines.contains(QString::number(month)), qPrintable(lines.join(u'|')));  // stub
    }

    void aFirstStartPrintsTodayAndNoSamplePayee() {
        QTemporaryDir dir;
        const QString db = dir.filePath(u"DATA.db"_s);
        const QString pdf = dir.filePath(u"cheque.pdf"_s);
        const ProgramRun r =
            runProgram({u"print"_s, u"--database"_s, db, u"--pdf"_s, pdf, u"--field"_s, u"T5=8"_s,
                        u"--flags"_s, u"1;0;0;0;0;0;0;0;0;0;"_s, u"--save"_s},
                       inFolder(dir.path()));
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QDate today = QDate::currentDate();
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(DateToCapitals(QString::number(today.year()))), qPrintable(text));
        QVERIFY(!text.contains(u"北京示例"_s));
        TestDatabase t;
        t.db.open(db);
        QCOMPARE(t.scalar(u"SELECT 出票日期 || '|' || 收款人全称 FROM 历史记录"_s).toString(),
                 today.toString(Qt::ISODate) + u'|');
    }

    void databaseErrorsNameTheirReason() {
        QTemporaryDir dir;
        const QString notADatabase = dir.filePath(u"notes.db"_s);
        const QByteArray text = QByteArray("not a database, just notes\n").repeated(200);
        writeFile(notADatabase, text);
        const ProgramRun r = runProgram({u"formats"_s, u"--database"_s, notADatabase});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("file is not a database"), r.err.constData());
        QVERIFY(r.err.contains("无法建立数据库连接！"));
        QCOMPARE(contents(notADatabase), text);  // never deleted nor replaced

        const ProgramRun folder = runProgram({u"formats"_s, u"--database"_s, dir.path()});
        QCOMPARE(folder.exitCode, 1);
        QVERIFY2(folder.err.contains("unable to open database file"), folder.err.constData());
    }

    // A mistyped server address opens nothing: the clerk hears why, and no file named like the
    // address takes the cheques that belong on the server. A Windows drive is still a file.
    void mistypedAddressesMakeNoFile_data() {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("made");  // the file the program makes, or none
        QTest::newRow("one slash") << u"postgresql:/host/db"_s << QString();
        QTest::newRow("capitals, no slash") << u"POSTGRESQL:finance"_s << QString();
        QTest::newRow("other database") << u"mysql://x/y"_s << QString();
        QTest::newRow("drive") << u"C:/x/DATA.db"_s << u"C:/x/DATA.db"_s;
    }
    void mistypedAddressesMakeNoFile() {
        QFETCH(QString, location);
        QFETCH(QString, made);
        QTemporaryDir dir;
        const ProgramRun r =
            runProgram({u"formats"_s, u"--database"_s, location}, inFolder(dir.path()));
        const QStringList left = filesUnder(dir.path());
        if (!made.isEmpty()) {
            QVERIFY2(r.exitCode == 0, r.err.constData());
            QVERIFY2(left.contains(dir.filePath(made)), qPrintable(left.join(u' ')));
            return;
        }
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("not a database address"), r.err.constData());
        QVERIFY(r.err.contains("无法建立数据库连接！"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestRobustness)
#include "tst_robustness.moc"
