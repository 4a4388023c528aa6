// Building the history grid against a raw load of the same rows, and sorting the grid by the
// payee against a plain sort of the payee texts, over a generated history of 100,000 rows.
#include <algorithm>
#include <cstdio>
#include <vector>

#include <QElapsedTimer>
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

int main(int argc, char* argv[]) {
    GeneratedHistory history(argc, argv);
    if (!history.ok)
        return 1;
    Database& db = history.db;
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
