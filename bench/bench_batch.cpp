// A generated payment list of 1,000 rows: reading and checking it in the process, then
// `chequeprint batch --pdf` as a whole process, each cheque's share set against one
// `chequeprint print --pdf` process.
#include <cstdio>

#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "../src/app/ConsolePrompts.h"
#include "BenchSupport.h"
#include "Clock.h"
#include "Database.h"
#include "Document.h"
#include "FormatStore.h"
#include "HistoryRecords.h"
#include "OverflowGuard.h"
#include "PaymentCheck.h"
#include "PaymentList.h"
#include "ProgressIndicator.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kPayments = 1000;

QByteArray generatedList() {
    QRandomGenerator random(11);
    QString csv = u"收款人,金额,用途,出票日期,附加信息\n"_s;
    for (int i = 0; i < kPayments; ++i) {
        const qint64 fen = random.bounded(Q_INT64_C(1), Q_INT64_C(1000000000));
        csv += u"北京示例科技有限公司%1,%2.%3,货款,2026-12-%4,\"第%1笔\"\n"_s.arg(i)
                   .arg(fen / 100)
                   .arg(fen % 100, 2, 10, QChar(u'0'))
                   .arg(1 + i % 28);
    }
    return csv.toUtf8();
}

// The median wall time of a chequeprint process, in seconds; negative when it failed.
double processSeconds(int runs, const QStringList& arguments) {
    bool ok = true;
    const double seconds = medianSeconds(runs, [&] {
        QProcess process;
        process.start(QStringLiteral(CHEQUEPRINT_EXE), arguments);
        ok = ok && process.waitForFinished(600000) && process.exitCode() == 0;
    });
    return ok ? seconds : -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(GeneratedHistory::offscreen(argc), argv);
    installChineseFontSubstitutes();
    QTemporaryDir dir;
    const QString dbPath = dir.filePath(u"DATA.db"_s);
    const QString listPath = dir.filePath(u"list.csv"_s);
    const QByteArray bytes = generatedList();
    QFile list(listPath);
    if (!list.open(QIODevice::WriteOnly) || list.write(bytes) != bytes.size())
        return 1;
    list.close();

    ConsolePrompts prompts(stderr);
    Database db(prompts);
    if (!db.open(dbPath))
        return 1;
    Clock clock;
    Document base;
    loadLastInput(db, base, prompts, clock);
    ProgressIndicator progress(clock);
    ApplyFormatFonts(db, u"标准支票"_s, base, progress);
    int bad = 0;
    const double check = medianSeconds(5, [&] {
        QString error;
        const std::optional<PaymentList> payments = readCsvPaymentList(bytes, &error);
        bad = 0;
        for (const PaymentCheque& cheque : checkPaymentList(
                 *payments, base, clock.today(), u"标准支票"_s, db, *printerLikeMeasure()))
            if (!cheque.problems.isEmpty() && bad++ == 0)
                std::fprintf(stderr, "%s\n", qPrintable(cheque.problems.join(u' ')));
    });
    std::printf("read and check %d rows: median %.3f s (goal <= 0.5 s), %d bad rows\n", kPayments,
                check, bad);

    const double batch = processSeconds(
        3, {u"batch"_s, listPath, u"--database"_s, dbPath, u"--pdf"_s, dir.filePath(u"b.pdf"_s)});
    const double single = processSeconds(
        9, {u"print"_s, u"--database"_s, dbPath, u"--pdf"_s, dir.filePath(u"one.pdf"_s),
            u"--field"_s, u"T3=北京示例科技有限公司"_s, u"--field"_s, u"T5=1234.56"_s});
    if (batch < 0 || single < 0) {
        std::fprintf(stderr, "chequeprint failed\n");
        return 1;
    }
    std::printf(
        "chequeprint batch --pdf, %d cheques: median %.2f s, %.2f ms per cheque; one print --pdf "
        "process: %.1f ms; ratio %.3f (goal <= 0.2)\n",
        kPayments, batch, batch * 1000 / kPayments, single * 1000, batch / kPayments / single);
    return 0;
}
