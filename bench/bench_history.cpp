// The history verb over a generated history (bench_history --rows N --engine sqlite|postgres
// [--address URL] [--exe PATH]...): its CPU time and peak memory against the database's own
// shell writing the same rows as CSV (sqlite3 -csv, or psql copying them out). The server's
// own work is not counted for either. Up to 100,000 rows it also times building the window's
// history grid against a raw load of the same rows, and sorting it by the payee against a
// plain sort of the payee texts.
#include <algorithm>
#include <cstdio>
#include <vector>

#include <QSqlQuery>
#include <QSqlRecord>

#include "BenchSupport.h"
#include "BoundGrid.h"
#include "Clock.h"
#include "Database.h"
#include "GridRoutines.h"
#include "HistoryGrid.h"
#include "ProgressIndicator.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

void timeTheGrid(Database& db) {
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
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(GeneratedHistory::offscreen(argc), argv);
    installChineseFontSubstitutes();
    BenchOptions options;
    if (!options.parse(app.arguments(), QStringLiteral(CHEQUEPRINT_EXE)))
        return 2;
    BenchDatabase history(options);
    if (!history.ok())
        return 1;

    const QString out = history.filePath(u"out.txt"_s);
    const ProgramCost shell =
        measureProgram(options.runs, shellCsvCommand(options, history.location()), out);
    printCost(options.server ? "psql COPY ... TO STDOUT CSV" : "sqlite3 -csv", shell, nullptr, "");
    for (const QString& program : options.programs) {
        const ProgramCost verb = measureProgram(
            options.runs, {program, u"history"_s, u"--database"_s, history.location()}, out);
        printCost(qPrintable(u"history ("_s + program.section(u'/', -4, -4) + u')'), verb, &shell,
                  "goal <= 2x, RSS <= 100 MB");
    }
    if (options.rows <= kRows)
        timeTheGrid(history.db);
    return 0;
}
