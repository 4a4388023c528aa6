// The history verb over a generated history (bench_history --rows N [--other-kind-rows N] --engine
// sqlite|postgres [--address URL] [--exe PATH]...): its CPU time and peak memory against the
// database's own shell writing the same rows as CSV (sqlite3 -csv, or psql copying them out). The
// server's own work is not counted for either. The window's history grid has its figures in
// bench_window.
#include <cstdio>

#include "BenchSupport.h"
#include "Database.h"

using namespace Qt::StringLiterals;

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
    return 0;
}
