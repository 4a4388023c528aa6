#include "CommandLine.h"

#include <functional>
#include <map>

#include <QByteArray>
#include <QFileInfo>

#include "AmountCapitals.h"
#include "BoundGrid.h"
#include "Clock.h"
#include "ConsolePrompts.h"
#include "Database.h"
#include "DateCapitals.h"
#include "FormatStore.h"
#include "GridExport.h"
#include "HistoryGrid.h"
#include "ProgressIndicator.h"
#include "TextMeasure.h"
#include "Verbs.h"

using namespace Qt::StringLiterals;

void write(std::FILE* file, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
}

bool openDatabase(Database& db, const Arguments& args) {
    const QString path = args.option(u"--database"_s);
    return db.open(path.isEmpty() ? Database::defaultPath() : path);
}

namespace {

constexpr char kUsage[] =
    "Usage: chequeprint [VERB [ARGUMENTS...]] [--database FILE]\n"
    "\n"
    "Prints Chinese bank cheques. The verbs run without a display:\n"
    "  amount [TEXT...]   the figure form of each amount, a tab, the amount in capitals;\n"
    "                     one amount per line from standard input when no TEXT is given\n"
    "  date [DIGITS...]   the capital form of each date part (year, month or day);\n"
    "                     one per line from standard input when no DIGITS are given\n"
    "  formats            the print formats, one per line; the current one ends in a tab and *\n"
    "  history            the history as the grid shows it: the headings, then one line per\n"
    "                     cheque, cells separated by tabs (tabs and line breaks inside a cell\n"
    "                     shown as blanks)\n"
    "  export FILE        write the history grid to FILE: CSV when the name ends in csv,\n"
    "                     otherwise an .xlsx workbook; an existing FILE needs --force\n"
    "  print              print the cheque: the last input with today's date, or --history ID\n"
    "                     with today's date; --field KEY=TEXT (a tag such as T3 or an\n"
    "                     identifier such as 票身-收款人) as if typed into the field;\n"
    "                     --flags TEXT the option switches (default: the stored ones);\n"
    "                     --save adds the cheque to the history dated today\n"
    "  preview FILE.png   the same cheque drawn onto a picture of the blank cheque\n"
    "  calibrate          print the calibration square (10 mm square, 10 mm from the origin)\n"
    "  endorse TEXT       print an endorsement (\"//\" starts a new line)\n"
    "\n"
    "Options:\n"
    "  --database FILE    use this database file instead of the user's DATA.db\n"
    "                     (created with the default format when missing)\n"
    "  --printer NAME     print on this printer (default: the system's default printer)\n"
    "  --pdf FILE         print into this PDF file instead\n"
    "  --format NAME      use this print format (default: the current one)\n"
    "  --help             show this text\n"
    "  --version          show the program's version\n";

int usageError(const Io& io, const QString& problem) {
    write(io.err, "chequeprint: " + problem.toUtf8() + "\n\n" + kUsage);
    return 2;
}

QByteArray readAll(std::FILE* in) {
    QByteArray data;
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        data.append(buffer, qsizetype(n));
    return data;
}

// The lines of standard input; a last line without its newline still counts, CR LF too.
QStringList readLines(std::FILE* in) {
    QString text = QString::fromUtf8(readAll(in));
    if (text.endsWith(u'\n'))
        text.chop(1);
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

using LineConverter = std::function<void(const QString& input, QString& output)>;

// One output line per input: the arguments, or else the lines of standard input.
int convertEach(const QStringList& inputs, const Io& io, const LineConverter& convert) {
    const QStringList lines = inputs.isEmpty() ? readLines(io.in) : inputs;
    QString output;
    output.reserve(lines.size() * 24);
    for (const QString& line : lines) {
        convert(line, output);
        output += u'\n';
    }
    write(io.out, output.toUtf8());
    return 0;
}

int listFormats(const Arguments& args, const Io& io) {
    ConsolePrompts prompts(io.err);
    Database db(prompts);
    if (!openDatabase(db, args))
        return 1;
    FormatDisplays displays;
    ListFormatNames(db, displays);
    if (prompts.takeShown())
        return 1;
    QString output;
    for (const QString& name : displays.formatNames)
        output += name + (name == displays.currentFormat ? u"\t*\n"_s : u"\n"_s);
    write(io.out, output.toUtf8());
    return 0;
}

QString oneLine(QString text) {
    for (QChar& c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

// The history grid as the window builds it, for the verbs that print or export it.
struct HistoryGridRun {
    explicit HistoryGridRun(const Io& io) : prompts(io.err) {}

    // False after a message was shown.
    bool build(const Arguments& args) {
        Database db(prompts);
        if (!openDatabase(db, args))
            return false;
        FontTextMeasure measure(historyGridFont());
        BuildHistoryGrid(grid, db, {measure, progress});
        return !prompts.takeShown();
    }

    ConsolePrompts prompts;
    Clock clock;
    ProgressIndicator progress{clock};
    BoundGrid grid;
};

int exportHistory(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 1)
        return usageError(io, u"export needs one file name"_s);
    const QString fileName = args.inputs.first();
    if (QFileInfo::exists(fileName) && !args.has(u"--force"_s)) {
        write(io.err, "chequeprint: " + fileName.toUtf8() + " exists; add --force to replace it\n");
        return 1;
    }
    HistoryGridRun run(io);
    if (!run.build(args))
        return 1;
    if (!run.grid.hasDataRows()) {
        run.prompts.message(u"表格中没有数据！"_s, {}, PromptButtons::Ok);
        return 1;
    }
    // The file is written under a temporary name and replaces the old one only when complete.
    const bool written = fileName.right(3).toLower() == u"csv"
                             ? ExportCsv(run.grid, fileName, run.progress)
                             : ExportExcel(run.grid, fileName, u"Zentavo支票打印历史记录"_s,
                                           run.progress, run.prompts);
    if (!written && !run.prompts.takeShown())
        write(io.err, "chequeprint: cannot write " + fileName.toUtf8() + '\n');
    return written ? 0 : 1;
}

int listHistory(const Arguments& args, const Io& io) {
    HistoryGridRun run(io);
    if (!run.build(args))
        return 1;
    QString output;
    for (const QStringList& row : visibleGridTexts(run.grid)) {
        QStringList cells;
        for (const QString& cell : row)
            cells << oneLine(cell);
        output += cells.join(u'\t') + u'\n';
    }
    write(io.out, output.toUtf8());
    return 0;
}

struct Verb {
    QStringList options;  // the options that apply to the verb
    bool takesInputs;
    std::function<int(const Arguments&, const Io&)> run;
};

// Every option of the verbs, and whether it takes a value.
const std::map<QString, bool>& knownOptions() {
    static const std::map<QString, bool> table = {
        {u"--database"_s, true}, {u"--printer"_s, true}, {u"--pdf"_s, true},
        {u"--format"_s, true},   {u"--history"_s, true}, {u"--field"_s, true},
        {u"--flags"_s, true},    {u"--save"_s, false},   {u"--force"_s, false}};
    return table;
}

const std::map<QString, Verb>& verbs() {
    static const std::map<QString, Verb> table = {
        {u"amount"_s,
         {{u"--database"_s},
          true,
          [](const Arguments& args, const Io& io) {
              return convertEach(args.inputs, io, [](const QString& input, QString& output) {
                  const QString figures = FormatFigures(input);
                  output += figures;
                  output += u'\t';
                  output += AmountToCapitals(figures);
              });
          }}},
        {u"date"_s,
         {{u"--database"_s},
          true,
          [](const Arguments& args, const Io& io) {
              return convertEach(args.inputs, io, [](const QString& input, QString& output) {
                  output += DateToCapitals(input);
              });
          }}},
        {u"formats"_s, {{u"--database"_s}, false, listFormats}},
        {u"history"_s, {{u"--database"_s}, false, listHistory}},
        {u"export"_s, {{u"--database"_s, u"--force"_s}, true, exportHistory}},
        {u"print"_s,
         {{u"--database"_s, u"--printer"_s, u"--pdf"_s, u"--format"_s, u"--history"_s, u"--field"_s,
           u"--flags"_s, u"--save"_s},
          false,
          printVerb}},
        {u"preview"_s,
         {{u"--database"_s, u"--format"_s, u"--history"_s, u"--field"_s, u"--flags"_s},
          true,
          previewVerb}},
        {u"calibrate"_s, {{u"--database"_s, u"--printer"_s, u"--pdf"_s}, false, calibrateVerb}},
        {u"endorse"_s,
         {{u"--database"_s, u"--printer"_s, u"--pdf"_s, u"--format"_s}, true, endorseVerb}},
    };
    return table;
}

}  // namespace

int runCommandLine(const QStringList& arguments, std::FILE* in, std::FILE* out, std::FILE* err) {
    const Io io{in, out, err};
    // Options start with "--" and may stand before or after the verb; "--" itself ends them,
    // so that any text can be converted.
    QString verbName;
    Arguments args;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == u"--help" || argument == u"-h")) {
            write(out, kUsage);
            return 0;
        } else if (!optionsEnded && argument == u"--version") {
            write(out, "chequeprint " CHEQUEPRINT_VERSION "\n");
            return 0;
        } else if (!optionsEnded && argument.startsWith(u"--")) {
            const auto known = knownOptions().find(argument);
            if (known == knownOptions().end())
                return usageError(io, u"unknown option "_s + argument);
            if (known->second && i + 1 >= arguments.size())
                return usageError(io, argument + u" needs a value"_s);
            args.options[argument] << (known->second ? arguments[++i] : QString());
        } else if (verbName.isEmpty()) {
            verbName = argument;
        } else {
            args.inputs << argument;
        }
    }
    if (verbName.isEmpty()) {
        if (!args.options.empty())
            return usageError(io, u"no verb given"_s);
        write(out, kUsage);
        return 0;
    }
    const auto verb = verbs().find(verbName);
    if (verb == verbs().end())
        return usageError(io, u"unknown verb "_s + verbName);
    for (const auto& [option, values] : args.options)
        if (!verb->second.options.contains(option))
            return usageError(io, option + u" does not apply to "_s + verbName);
    if (!verb->second.takesInputs && !args.inputs.isEmpty())
        return usageError(io, u"unexpected argument "_s + args.inputs.first());
    return verb->second.run(args, io);
}
