// The export verb over a generated history (bench_export --rows N [--other-kind-rows N] --engine
// sqlite|postgres [--address URL] [--exe PATH]...), its CPU time and peak memory: export x.csv
// against the database's own shell writing the same rows as CSV (sqlite3 -csv, or psql copying them
// out), and export x.xlsx against a bare libxlsxwriter writer in constant-memory mode that reads
// the same rows forwards and writes the same cells, without formats (this program run again
// with --bare-xlsx FILE --database LOCATION).
#include <cstdio>

#include <QSqlQuery>
#include <QSqlRecord>

#include <xlsxwriter.h>

#include "BenchSupport.h"
#include "HistoryGrid.h"

using namespace Qt::StringLiterals;

namespace {

int writeBareWorkbook(const QString& fileName, const QString& location) {
    ConsolePrompts prompts(stderr);
    Database db(prompts);
    if (!db.open(location))
        return 1;
    std::optional<QSqlQuery> query = db.select(listedChequesQuery(db.isServer()));
    if (!query)
        return 1;
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(QFile::encodeName(fileName).constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    const QStringList& headings = historyGridHeadings();
    for (int m = 1; m < headings.size(); ++m)
        worksheet_write_string(sheet, 0, lxw_col_t(m - 1), headings[m].toUtf8().constData(),
                               nullptr);
    // The grid's columns after the ID and the running number, as the query has them.
    std::vector<int> fields;
    std::vector<bool> dates;
    for (int c = 2; c < historyGridNames().size(); ++c) {
        const QString& name = historyGridNames()[c];
        fields.push_back(query->record().indexOf(name));
        dates.push_back(name == u"Dat" || name == u"出票日期" || name == u"日期(票根)");
    }
    lxw_row_t n = 1;
    while (query->next()) {
        worksheet_write_string(sheet, n, 0, QByteArray::number(n).constData(), nullptr);
        for (size_t i = 0; i < fields.size(); ++i) {
            const QVariant value = query->value(fields[i]);
            QString shown = value.toString();
            if (dates[i])  // yyyy-mm-dd as the grid shows it, yyyy.mm.dd
                shown.replace(u'-', u'.');
            const QByteArray text = shown.toUtf8();
            if (!text.isEmpty())
                worksheet_write_string(sheet, n, lxw_col_t(i + 1), text.constData(), nullptr);
        }
        ++n;
    }
    return workbook_close(workbook) == LXW_NO_ERROR ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 5 && qstrcmp(argv[1], "--bare-xlsx") == 0)
        return writeBareWorkbook(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[4]));
    QGuiApplication app(GeneratedHistory::offscreen(argc), argv);
    BenchOptions options;
    if (!options.parse(app.arguments(), QStringLiteral(CHEQUEPRINT_EXE)))
        return 2;
    BenchDatabase history(options);
    if (!history.ok())
        return 1;
    const QString location = history.location();
    const QString out = history.filePath(u"out.txt"_s);
    const QString csv = history.filePath(u"history.csv"_s);
    const QString xlsx = history.filePath(u"history.xlsx"_s);

    const ProgramCost shell = measureProgram(options.runs, shellCsvCommand(options, location), out);
    printCost(options.server ? "psql COPY ... TO STDOUT CSV" : "sqlite3 -csv", shell, nullptr, "");
    const ProgramCost bare =
        measureProgram(options.runs,
                       {QCoreApplication::applicationFilePath(), u"--bare-xlsx"_s,
                        history.filePath(u"bare.xlsx"_s), u"--database"_s, location},
                       out);
    printCost("bare libxlsxwriter (constant memory)", bare, nullptr, "");
    for (const QString& program : options.programs) {
        const QString which = program.section(u'/', -4, -4);
        const ProgramCost toCsv = measureProgram(
            options.runs, {program, u"export"_s, csv, u"--force"_s, u"--database"_s, location},
            out);
        printCost(qPrintable(u"export x.csv ("_s + which + u')'), toCsv, &shell,
                  "goal <= 2x, RSS <= 100 MB");
        const ProgramCost toXlsx = measureProgram(
            options.runs, {program, u"export"_s, xlsx, u"--force"_s, u"--database"_s, location},
            out);
        printCost(qPrintable(u"export x.xlsx ("_s + which + u')'), toXlsx, &bare,
                  "goal <= 1.3x, RSS <= 150 MB");
    }
    return 0;
}
