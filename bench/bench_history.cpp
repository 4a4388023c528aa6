// Building the history grid against a raw load of the same rows, and sorting the grid by the
// payee against a plain sort of the payee texts, over a generated history of 100,000 rows.
#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include "../src/app/ConsolePrompts.h"
#include "BoundGrid.h"
#include "Clock.h"
#include "Database.h"
#include "GridRoutines.h"
#include "HistoryGrid.h"
#include "ProgressIndicator.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 100000;

void generateHistory(Database& db) {
    QRandomGenerator random(7);
    const QStringList companies = {u"北京示例科技有限公司"_s, u"上海某某贸易有限公司"_s,
                                   u"广州华南建材有限公司"_s, u"深圳前海信息技术有限公司"_s,
                                   u"ABC Trading Co., Ltd."_s};
    Transaction transaction(db);
    for (int i = 0; i < kRows; ++i) {
        const QDate day = QDate(2010, 1, 1).addDays(random.bounded(5000));
        const QString payee = companies[random.bounded(int(companies.size()))] +
                              QString::number(random.bounded(3000));
        const qint64 fen = random.bounded(Q_INT64_C(10000000000));
        const QString amount = u"￥"_s + QString::number(fen / 100) + u'.' +
                               QString::number(fen % 100).rightJustified(2, u'0');
        const QString iso = day.toString(Qt::ISODate);
        db.execute(
            u"INSERT INTO 历史记录 (Dat, 出票日期, 收款人全称, 金额, 用途, 账号, 密码, 银行, "
            u"附加信息, "
            u"\"日期(票根)\", \"收款人(票根)\", \"金额(票根)\", \"用途(票根)\", \"主管(票根)\", "
            u"\"会计(票根)\") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"_s,
            {iso, iso, payee, amount, u"货款"_s, QString::number(6222020000000000000LL + i),
             QString::number(random.bounded(100000000)), u"中国工商银行北京分行"_s, QString(), iso,
             payee.left(10), amount, u"货款"_s, u"张三"_s, u"李四"_s});
    }
    transaction.commit();
}

template <typename F>
double medianSeconds(int runs, F&& work) {
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

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installChineseFontSubstitutes();
    QTemporaryDir dir;
    ConsolePrompts prompts(stderr);
    Database db(prompts);
    if (!db.open(dir.filePath(u"DATA.db"_s)))
        return 1;
    generateHistory(db);
    std::printf("history of %d rows generated\n", kRows);

    const double raw = medianSeconds(5, [&] {
        std::vector<std::vector<QVariant>> rows;
        std::optional<QSqlQuery> query =
            db.select(u"SELECT * FROM 历史记录 WHERE  Dat>?"_s, {u"1900-01-01"_s});
        const int columns = query->record().count();
        while (query->next()) {
            std::vector<QVariant> row;
            row.reserve(size_t(columns));
            for (int c = 0; c < columns; ++c)
                row.push_back(query->value(c));
            rows.push_back(std::move(row));
        }
    });

    FontTextMeasure measure(historyGridFont());
    Clock clock;
    ProgressIndicator progress(clock);
    BoundGrid grid;
    const double build = medianSeconds(5, [&] { BuildHistoryGrid(grid, db, {measure, progress}); });

    const int payee = 4;
    QStringList payees;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        payees << grid.text(r, payee);
    const double plainSort = medianSeconds(5, [&] {
        QStringList texts = payees;
        std::sort(texts.begin(), texts.end(),
                  [](const QString& a, const QString& b) { return QString::compare(a, b) < 0; });
    });
    std::vector<double> sortTimes;
    for (int i = 0; i < 5; ++i) {
        BoundGrid unsorted = grid;  // the copy is not timed
        sortTimes.push_back(medianSeconds(1, [&] { SortGridByColumn(unsorted, payee); }));
    }
    std::sort(sortTimes.begin(), sortTimes.end());
    const double sort = sortTimes[2];

    std::printf("raw forward-only load:  %.3f s\n", raw);
    std::printf("BuildHistoryGrid:       %.3f s  (%.2fx the raw load; goal <= 1.5x)\n", build,
                build / raw);
    std::printf("std::sort of payees:    %.3f s\n", plainSort);
    std::printf("SortGridByColumn payee: %.3f s  (%.2fx the plain sort; goal <= 2x)\n", sort,
                sort / plainSort);
    return 0;
}
