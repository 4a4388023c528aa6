#pragma once
// What the benchmarks share: a generated history (100,000 cheques unless told otherwise) in a
// SQLite file or a database of its own on a PostgreSQL server, timing, and the CPU time and
// peak memory of another program run on it.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QCommandLineParser>
#include <QDate>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QUrl>
#include <QUuid>

#include <QGuiApplication>
#include <QTemporaryDir>

#include "../src/app/ConsolePrompts.h"
#include "AmountCapitals.h"
#include "Database.h"
#include "ServerAddress.h"
#include "TextMeasure.h"

inline constexpr int kRows = 100000;

// A history of `rows` cheques as clerks keep them: payees of many companies (a few with
// Latin names), figure-form amounts from fen to millions as the amount field formats them,
// 20 years of print dates, now and then an additional information. `otherRows` rows of
// another kind of document, with values of the same sort, are spread evenly among them in the
// order of keeping; they draw from a random sequence of their own, so that the cheques are the
// same whatever their number. One transaction of multi-row inserts: 500 rows to a statement on
// a server, 32 in a file (Qt's SQLite driver looks every value's place up by name, which grows
// with the square of the values).
inline bool generateHistory(Database& db, int rows = kRows, int otherRows = 0) {
    using namespace Qt::StringLiterals;
    QRandomGenerator chequeRandom(7);
    QRandomGenerator otherRandom(11);
    const QStringList cities = {u"北京"_s, u"上海"_s, u"广州"_s, u"深圳"_s, u"杭州"_s,
                                u"成都"_s, u"武汉"_s, u"南京"_s, u"西安"_s, u"苏州"_s};
    const QStringList trades = {
        u"示例科技"_s,         u"华南建材"_s, u"前海信息技术"_s, u"东方贸易"_s, u"长江物流"_s,
        u"恒信会计师事务所"_s, u"新华印务"_s, u"金桥机电设备"_s, u"绿源食品"_s, u"博远咨询"_s};
    const QStringList kinds = {u"有限公司"_s, u"股份有限公司"_s, u"有限责任公司"_s, u"分公司"_s};
    const QStringList purposes = {u"货款"_s,   u"服务费"_s,   u"房租"_s,   u"工程款"_s,
                                  u"差旅费"_s, u"办公用品"_s, u"预付款"_s, u"设备款"_s};
    const QStringList banks = {u"中国工商银行北京分行"_s, u"中国建设银行上海分行"_s,
                               u"招商银行深圳分行"_s, u"中国银行广州分行"_s};
    const QString columns =
        u"INSERT INTO 历史记录 (种类, Dat, 出票日期, 收款人全称, 金额, 用途, 账号, 密码, 银行, "
        u"附加信息, \"日期(票根)\", \"收款人(票根)\", \"金额(票根)\", \"用途(票根)\", "
        u"\"主管(票根)\", \"会计(票根)\") VALUES "_s;
    constexpr int kColumns = 16;
    const QString one = u"(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"_s;
    const int batch = db.isServer() ? 500 : 32;
    Transaction transaction(db);
    QVariantList values;
    bool ok = transaction.active();
    const qint64 total = qint64(rows) + otherRows;
    int cheques = 0, others = 0;
    for (qint64 i = 0; i < total && ok; ++i) {
        // Row i is of the other kind where i * otherRows / total steps up: otherRows of them.
        const bool other = (i + 1) * otherRows / total != i * otherRows / total;
        QRandomGenerator& random = other ? otherRandom : chequeRandom;
        const int number = other ? others++ : cheques++;
        const QDate day = QDate(2006, 1, 1).addDays(random.bounded(7305));
        const QString iso = day.toString(Qt::ISODate);
        const QString payee =
            random.bounded(20) == 0
                ? u"ABC Trading Co., Ltd. No."_s + QString::number(random.bounded(100))
                : cities[random.bounded(int(cities.size()))] +
                      trades[random.bounded(int(trades.size()))] +
                      kinds[random.bounded(int(kinds.size()))];
        // Mostly thousands, some small change, a few millions.
        const qint64 fen = random.bounded(Q_INT64_C(100)) *
                               (random.bounded(10) == 0 ? Q_INT64_C(1000000) : Q_INT64_C(10000)) +
                           random.bounded(Q_INT64_C(1000000));
        const QString amount = FormatFigures(QString::number(fen / 100) + u'.' +
                                             QString::number(fen % 100).rightJustified(2, u'0'));
        const QString purpose = purposes[random.bounded(int(purposes.size()))];
        values << (other ? u"测试单据"_s : u"转账支票"_s) << iso << iso << payee << amount
               << purpose << QString::number(6222020000000000000LL + random.bounded(1000000000))
               << QString::number(random.bounded(100000000)).rightJustified(16, u'0')
               << banks[random.bounded(int(banks.size()))]
               << (random.bounded(10) == 0 ? u"合同号HT"_s + QString::number(number) : QString())
               << iso << payee.left(10) << amount << purpose << u"张三"_s << u"李四"_s;
        if (values.size() == kColumns * batch || i == total - 1) {
            const int n = int(values.size() / kColumns);
            ok = db.execute(columns + QStringList(n, one).join(u','), values);
            values.clear();
        }
    }
    return ok && transaction.commit();
}

// The rows of transfer cheques the history verb lists, in the order they were kept, read in one
// scan of a file's table.
inline QString listedChequesQuery(bool server) {
    return QStringLiteral(
               "SELECT * FROM 历史记录 WHERE Dat>'1900-01-01' AND %1种类='转账支票' "
               "ORDER BY ID")
        .arg(server ? QString() : QStringLiteral("+"));
}

// The median of several timed runs, in seconds.
template <typename F>
inline double medianSeconds(int runs, F&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A database of its own in a temporary folder, filled with the generated history, in an
// application that draws offscreen with the program's Chinese fonts.
struct GeneratedHistory {
    GeneratedHistory(int& argc, char** argv) : app(offscreen(argc), argv) {
        installChineseFontSubstitutes();
        ok = db.open(path());
        if (ok)
            generateHistory(db);
    }
    QString path() const { return dir.filePath(QStringLiteral("DATA.db")); }
    static int& offscreen(int& argc) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }

    QGuiApplication app;
    QTemporaryDir dir;
    ConsolePrompts prompts{stderr};
    Database db{prompts};
    bool ok = false;
};

// What the benchmarks of the verbs take: --rows N (transfer cheques), --other-kind-rows N (rows
// of another kind of document among them, none unless told), --engine sqlite|postgres, --address
// postgresql://USER@HOST:PORT/DBNAME (default CHEQUEPRINT_TEST_POSTGRES: a database of the
// bench's own is made there and dropped), --exe PATH (the chequeprint to measure, repeatable,
// to compare builds), --runs N.
struct BenchOptions {
    int rows = kRows;
    int otherKindRows = 0;
    bool server = false;
    QString address;
    QStringList programs;
    int runs = 3;

    bool parse(const QStringList& arguments, const QString& defaultProgram) {
        QCommandLineParser parser;
        parser.addOptions(
            {{QStringLiteral("rows"), QStringLiteral("rows"), QStringLiteral("N"),
              QString::number(kRows)},
             {QStringLiteral("other-kind-rows"), QStringLiteral("rows of another kind"),
              QStringLiteral("N"), QStringLiteral("0")},
             {QStringLiteral("engine"), QStringLiteral("sqlite or postgres"),
              QStringLiteral("ENGINE"), QStringLiteral("sqlite")},
             {QStringLiteral("address"), QStringLiteral("server address"), QStringLiteral("URL")},
             {QStringLiteral("exe"), QStringLiteral("chequeprint to measure"),
              QStringLiteral("PATH")},
             {QStringLiteral("runs"), QStringLiteral("runs of each"), QStringLiteral("N"),
              QStringLiteral("3")}});
        if (!parser.parse(arguments)) {
            std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
            return false;
        }
        rows = parser.value(QStringLiteral("rows")).toInt();
        otherKindRows = parser.value(QStringLiteral("other-kind-rows")).toInt();
        runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());
        server = parser.value(QStringLiteral("engine")) == QStringLiteral("postgres");
        address = parser.isSet(QStringLiteral("address"))
                      ? parser.value(QStringLiteral("address"))
                      : qEnvironmentVariable("CHEQUEPRINT_TEST_POSTGRES");
        programs = parser.values(QStringLiteral("exe"));
        if (programs.isEmpty())
            programs << defaultProgram;
        if (server && address.isEmpty()) {
            std::fprintf(stderr,
                         "--engine postgres needs --address or CHEQUEPRINT_TEST_POSTGRES\n");
            return false;
        }
        return rows > 0 && otherKindRows >= 0;
    }
};

// Runs one statement on the server's database that `address` names.
inline bool runOnServer(const QString& address, const QString& sql) {
    const QString connection = QUuid::createUuid().toString();
    bool ok = false;
    {
        QString why;
        const std::optional<ServerAddress> server = parseServerAddress(address, &why);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        if (server) {
            db.setHostName(server->host);
            db.setPort(server->port);
            db.setUserName(server->user);
            db.setDatabaseName(server->database);
            db.setConnectOptions(server->connectOptions);
            ok = db.open() && QSqlQuery(db).exec(sql);
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

// A database made on the server for the benchmark, dropped with everything in it.
struct ServerBenchDatabase {
    ServerBenchDatabase(const QString& address, const QString& databaseName) : server(address) {
        if (!server.isEmpty() &&
            runOnServer(server, QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING "
                                               "'UTF8' LC_COLLATE 'C.UTF-8' LC_CTYPE 'C.UTF-8'")
                                    .arg(databaseName)))
            name = databaseName;
    }
    ~ServerBenchDatabase() {
        if (!name.isEmpty())
            runOnServer(server,
                        QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    }
    ServerBenchDatabase(const ServerBenchDatabase&) = delete;
    ServerBenchDatabase& operator=(const ServerBenchDatabase&) = delete;

    QString server;
    QString name;  // empty when it could not be made
};

// The generated history in a SQLite file, or in a fresh database on the server (dropped at
// the end), opened in `db`.
class BenchDatabase {
public:
    explicit BenchDatabase(const BenchOptions& options)
        : m_server(options.server ? options.address : QString(),
                   QStringLiteral("bench_") + QUuid::createUuid().toString(QUuid::Id128)) {
        if (!options.server) {
            m_location = m_dir.filePath(QStringLiteral("DATA.db"));
            m_ok = db.open(m_location);
        } else {
            QUrl url(options.address);
            url.setPath(u'/' + m_server.name);
            m_location = url.toString();
            m_ok = !m_server.name.isEmpty() && db.initialize(m_location);
        }
        QElapsedTimer timer;
        timer.start();
        m_ok = m_ok && generateHistory(db, options.rows, options.otherKindRows);
        std::printf("%s history of %d rows of 转账支票 and %d of 测试单据 generated in %.1f s\n",
                    options.server ? "PostgreSQL" : "SQLite", options.rows, options.otherKindRows,
                    double(timer.elapsed()) / 1000);
        if (m_ok && options.server)
            // As autovacuum leaves a table, its visibility map set for index-only scans.
            runOnServer(m_location, QStringLiteral("VACUUM ANALYZE 历史记录"));
    }

    bool ok() const { return m_ok; }
    // The file or the server address that --database takes.
    const QString& location() const { return m_location; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    ServerBenchDatabase m_server;  // dropped after the connection below is closed
    QTemporaryDir m_dir;
    QString m_location;
    bool m_ok = false;

public:
    ConsolePrompts prompts{stderr};
    Database db{prompts};
};

// CPU time (user and system) and peak memory of a program run to its end.
struct ProgramCost {
    double cpuSeconds = 0;
    double maxRssMb = 0;
    int exitCode = -1;
};

// Runs the program with its standard output into `outputFile`, and measures it.
inline ProgramCost runProgram(const QStringList& command, const QString& outputFile) {
    std::vector<QByteArray> arguments;
    for (const QString& argument : command)
        arguments.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const QByteArray output = outputFile.toLocal8Bit();
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int out = ::open(output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out >= 0)
            dup2(out, 1);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ProgramCost cost;
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        cost.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                          double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        cost.maxRssMb = double(usage.ru_maxrss) / 1024;  // kilobytes on Linux
        cost.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return cost;
}

// The run of median CPU time among several, with the highest peak memory of them.
inline ProgramCost measureProgram(int runs, const QStringList& command, const QString& output) {
    std::vector<ProgramCost> costs;
    for (int i = 0; i < runs; ++i)
        costs.push_back(runProgram(command, output));
    std::sort(costs.begin(), costs.end(), [](const ProgramCost& a, const ProgramCost& b) {
        return a.cpuSeconds < b.cpuSeconds;
    });
    ProgramCost median = costs[costs.size() / 2];
    for (const ProgramCost& cost : costs)
        median.maxRssMb = std::max(median.maxRssMb, cost.maxRssMb);
    for (const ProgramCost& cost : costs)
        if (cost.exitCode != 0)
            median.exitCode = cost.exitCode;
    return median;
}

inline void printCost(const char* what, const ProgramCost& cost, const ProgramCost* reference,
                      const char* goal) {
    std::printf("%-34s CPU %8.3f s  max RSS %8.1f MB", what, cost.cpuSeconds, cost.maxRssMb);
    if (reference && reference->cpuSeconds > 0)
        std::printf("  (%.2fx CPU; %s)", cost.cpuSeconds / reference->cpuSeconds, goal);
    if (cost.exitCode != 0)
        std::printf("  FAILED (exit %d)", cost.exitCode);
    std::printf("\n");
}

// The listed history as the shells write it: sqlite3 -csv, or psql copying it out as CSV.
inline QStringList shellCsvCommand(const BenchOptions& options, const QString& location) {
    const QString query = listedChequesQuery(options.server);
    if (!options.server)
        return {QStringLiteral("sqlite3"), QStringLiteral("-csv"), QStringLiteral("-header"),
                location, query};
    return {QStringLiteral("psql"),
            QStringLiteral("-X"),
            QStringLiteral("-q"),
            location,
            QStringLiteral("-c"),
            QStringLiteral("COPY (") + query + QStringLiteral(") TO STDOUT CSV HEADER")};
}
