// Exporting the history grid of 100,000 rows: ExportCsv against the sqlite3 shell writing the
// same table as CSV, and ExportExcel against a bare libxlsxwriter loop writing the same cells.
#include <cstdio>

#include <QProcess>

#include <xlsxwriter.h>

#include "BenchSupport.h"
#include "BoundGrid.h"
#include "Clock.h"
#include "GridExport.h"
#include "HistoryGrid.h"
#include "ProgressIndicator.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    GeneratedHistory history(argc, argv);
    if (!history.ok)
        return 1;
    Database& db = history.db;
    ConsolePrompts& prompts = history.prompts;
    QTemporaryDir& dir = history.dir;
    const QString dbPath = history.path();
    FontTextMeasure measure(historyGridFont());
    Clock clock;
    ProgressIndicator progress(clock);
    BoundGrid grid;
    BuildHistoryGrid(grid, db, {measure, progress});
    std::printf("history grid of %d rows built\n", grid.rows() - grid.fixedRows());

    const QString csv = dir.filePath(u"grid.csv"_s);
    const double exportCsv = medianSeconds(5, [&] { ExportCsv(grid, csv, progress); });
    const double shellCsv = medianSeconds(5, [&] {
        QProcess sqlite;
        sqlite.setStandardOutputFile(dir.filePath(u"shell.csv"_s));
        sqlite.start(u"sqlite3"_s, {u"-csv"_s, u"-header"_s, dbPath,
                                    u"SELECT * FROM 历史记录 WHERE Dat>'1900-01-01'"_s});
        sqlite.waitForFinished(-1);
    });

    const QString xlsx = dir.filePath(u"grid.xlsx"_s);
    const double exportXlsx = medianSeconds(
        3, [&] { ExportExcel(grid, xlsx, u"Zentavo支票打印历史记录"_s, progress, prompts); });
    const QByteArray bare = QFile::encodeName(dir.filePath(u"bare.xlsx"_s));
    const double bareXlsx = medianSeconds(3, [&] {
        lxw_workbook* workbook = workbook_new(bare.constData());
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
        lxw_row_t n = 0;
        for (int r = 0; r < grid.rows(); ++r) {
            if (grid.rowHeight(r) == 0)
                continue;
            lxw_col_t m = 0;
            for (int c = 0; c < grid.cols(); ++c) {
                if (grid.colWidth(c) == 0)
                    continue;
                const QString& text = grid.text(r, c);
                if (!text.isEmpty())
                    worksheet_write_string(sheet, n, m, text.toUtf8().constData(), nullptr);
                ++m;
            }
            ++n;
        }
        workbook_close(workbook);
    });

    std::printf("sqlite3 -csv:     %.3f s\n", shellCsv);
    std::printf("ExportCsv:        %.3f s  (%.2fx sqlite3 -csv; goal <= 1.0x)\n", exportCsv,
                exportCsv / shellCsv);
    std::printf("bare libxlsxwriter: %.3f s\n", bareXlsx);
    std::printf("ExportExcel:      %.3f s  (%.2fx the bare loop; goal <= 1.1x)\n", exportXlsx,
                exportXlsx / bareXlsx);
    return 0;
}
