#include "CommandLine.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>

#include <QByteArray>
#include <QCommandLineParser>
#include <QFileInfo>

#include "AmountCapitals.h"
#include "Clock.h"
#include "ConsolePrompts.h"
#include "Database.h"
#include "DateCapitals.h"
#include "FormatStore.h"
#include "GridExport.h"
#include "HistoryExport.h"
#include "HistoryGrid.h"
#include "HistoryRows.h"
#include "PrintJournal.h"
#include "ProgressIndicator.h"
#include "RegText.h"
#include "Verbs.h"

using namespace Qt::StringLiterals;

bool write(std::FILE* file, const QByteArray& bytes) {
    const size_t written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
    return std::fflush(file) == 0 && written == size_t(bytes.size()) && !std::ferror(file);
}

int writeOut(const Io& io, const QByteArray& bytes) {
    errno = 0;
    if (write(io.out, bytes))
        return 0;
    const int reason = errno;
    write(io.err, QByteArray("chequeprint: cannot write to standard output: ") +
                      (reason != 0 ? std::strerror(reason) : "write error") + '\n');
    return 1;
}

QString databaseLocation(const QString& option) {
    if (!option.isEmpty())
        return option;
    const QString chosen = openUserSettings()->value(u"database/url"_s).toString();
    return chosen.isEmpty() ? Database::defaultPath() : chosen;
}

bool openDatabase(Database& db, const Arguments& args) {
    return db.open(databaseLocation(args.option(u"--database"_s)));
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
    "  init-database      create the tables and the shipped format in a shared database\n"
    "                     (--database postgresql://USER@HOST[:PORT]/DBNAME), or bring older\n"
    "                     ones up to date; run once by an administrator\n"
    "  history            the history as the grid shows it, each line led by the row's ID\n"
    "                     (the ID that print --history takes): the headings, then one line\n"
    "                     per cheque, cells separated by tabs (tabs and line breaks inside a\n"
    "                     cell shown as blanks)\n"
    "  journal            every print attempt, newest first, as tab-separated lines (the\n"
    "                     password is never in it); --from DATE and --to DATE (YYYY-MM-DD)\n"
    "                     limit it to those days\n"
    "  batch FILE         print a payment list (CSV, or the first visible sheet of an .xlsx;\n"
    "                     the history's headings or the fields' identifiers), one cheque per\n"
    "                     row in one print job, each row starting from the last input (but\n"
    "                     with the password of its own 密码 column or none); every row is\n"
    "                     checked first as the print command would, and while one is\n"
    "                     bad the report lists it (line, column, value, reason), nothing\n"
    "                     prints and the exit status is 1; --check only checks; --save keeps\n"
    "                     every cheque in the history; --printer and --pdf as for print\n"
    "  export FILE        write the history grid to FILE: CSV when the name ends in csv,\n"
    "                     otherwise an .xlsx workbook; an existing FILE needs --force\n"
    "  print              print the cheque: the last input with today's date, or --history ID\n"
    "                     with today's date; --field KEY=TEXT (a tag such as T3 or an\n"
    "                     identifier such as 票身-收款人) as if typed into the field;\n"
    "                     --flags TEXT the option switches (default: the stored ones);\n"
    "                     --save adds the cheque to the history dated today; a field that does\n"
    "                     not fit on the cheque stops the print unless --allow-overflow\n"
    "  preview FILE.png   the same cheque drawn onto a picture of the blank cheque\n"
    "  calibrate          print the calibration square (10 mm square, 10 mm from the origin)\n"
    "  endorse TEXT       print an endorsement (\"//\" starts a new line)\n"
    "\n"
    "Options:\n"
    "  --database FILE    use this database file instead of the user's DATA.db\n"
    "                     (created with the default format when missing), or a shared\n"
    "                     database postgresql://USER@HOST[:PORT]/DBNAME; without the option,\n"
    "                     the one the key database/url of the settings names\n"
    "  --printer NAME     print on this printer (default: the system's default printer)\n"
    "  --pdf FILE         print into this PDF file instead\n"
    "  --format NAME      use this print format (default: the current one)\n"
    "  --                 ends the options: amount -- -500 converts the text -500\n"
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
    return writeOut(io, output.toUtf8());
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
    return writeOut(io, output.toUtf8());
}

int initDatabase(const Arguments& args, const Io& io) {
    ConsolePrompts prompts(io.err);
    Database db(prompts);
    return db.initialize(databaseLocation(args.option(u"--database"_s))) ? 0 : 1;
}

QString oneLine(QString text) {
    for (QChar& c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

// Appends the text with its tabs and line breaks shown as blanks, copying it once.
void appendOneLine(QString& line, const QString& text) {
    const qsizetype start = line.size();
    line += text;
    QChar* c = line.data() + start;
    for (QChar* end = line.data() + line.size(); c != end; ++c)
        if (*c == u'\t' || *c == u'\n' || *c == u'\r')
            *c = u' ';
}

int exportHistory(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 1)
        return usageError(io, u"export needs one file name"_s);
    const QString fileName = args.inputs.first();
    if (QFileInfo::exists(fileName) && !args.has(u"--force"_s)) {
        write(io.err, "chequeprint: " + fileName.toUtf8() + " exists; add --force to replace it\n");
        return 1;
    }
    ConsolePrompts prompts(io.err);
    Database db(prompts);
    if (!openDatabase(db, args))
        return 1;
    Clock clock;
    ProgressIndicator progress(clock);
    // The rows are written as they are read; the old file is only replaced by a complete one.
    return ExportHistoryToFile(db, HistoryOrder{}, historyGridHeadings(), fileName, prompts,
                               progress)
               ? 0
               : 1;
}

// The history as the grid lists it, line by line as the rows are read.
int listHistory(const Arguments& args, const Io& io) {
    ConsolePrompts prompts(io.err);
    Database db(prompts);
    if (!openDatabase(db, args))
        return 1;
    HistoryRowReader reader(db, HistoryOrder{});
    if (!reader.ok())
        return 1;
    // The grid's hidden column 0 holds the row's ID, which --history takes: it goes in front.
    QString line;
    QByteArray output;
    auto add = [&](const QStringList& cells) {
        line.clear();
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (c > 0)
                line += u'\t';
            appendOneLine(line, cells[c]);
        }
        line += u'\n';
        output += line.toUtf8();
    };
    add(historyGridHeadings());
    QStringList row;
    while (reader.next(row)) {
        add(row);
        if (output.size() > (1 << 20)) {  // out in pieces of about a megabyte
            if (writeOut(io, output) != 0)
                return 1;
            output.clear();
        }
    }
    if (writeOut(io, output) != 0)
        return 1;
    return reader.failed() || prompts.takeShown() ? 1 : 0;
}

int listJournal(const Arguments& args, const Io& io) {
    QDate days[2];
    const QString options[] = {u"--from"_s, u"--to"_s};
    for (int i = 0; i < 2; ++i) {
        if (!args.has(options[i]))
            continue;
        days[i] = QDate::fromString(args.option(options[i]), Qt::ISODate);
        if (!days[i].isValid())
            return usageError(io, options[i] + u" needs a date written YYYY-MM-DD"_s);
    }
    ConsolePrompts prompts(io.err);
    Database db(prompts);
    if (!openDatabase(db, args))
        return 1;
    QString output = journalHeadings().join(u'\t') + u'\n';
    for (const QStringList& row : journalRows(db, days[0], days[1])) {
        QStringList cells;
        for (const QString& cell : row)
            cells << oneLine(cell);
        output += cells.join(u'\t') + u'\n';
    }
    if (prompts.takeShown())
        return 1;
    return writeOut(io, output.toUtf8());
}

struct Verb {
    QStringList options;  // the options that apply to the verb
    bool takesInputs;
    std::function<int(const Arguments&, const Io&)> run;
};

// The options that take a value; every other option of the verbs is a switch.
const QStringList& valueOptions() {
    static const QStringList names = {u"--database"_s, u"--printer"_s, u"--pdf"_s,
                                      u"--format"_s,   u"--history"_s, u"--field"_s,
                                      u"--flags"_s,    u"--from"_s,    u"--to"_s};
    return names;
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
        {u"init-database"_s, {{u"--database"_s}, false, initDatabase}},
        {u"journal"_s, {{u"--database"_s, u"--from"_s, u"--to"_s}, false, listJournal}},
        {u"batch"_s,
         {{u"--database"_s, u"--format"_s, u"--check"_s, u"--printer"_s, u"--pdf"_s, u"--save"_s},
          true,
          batchVerb}},
        {u"history"_s, {{u"--database"_s}, false, listHistory}},
        {u"export"_s, {{u"--database"_s, u"--force"_s}, true, exportHistory}},
        {u"print"_s,
         {{u"--database"_s, u"--printer"_s, u"--pdf"_s, u"--format"_s, u"--history"_s, u"--field"_s,
           u"--flags"_s, u"--save"_s, u"--allow-overflow"_s},
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

// "--database" -> "database", the name QCommandLineParser knows the option by.
QString bareName(const QString& option) {
    return option.mid(2);
}

// A parser that knows the given options. A single-dash word such as -500 is read as one long
// option, so that it is refused as a whole instead of as the short options 5, 0 and 0.
void setUpParser(QCommandLineParser& parser, const QStringList& options) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const QString& option : options) {
        QCommandLineOption parsed(bareName(option));
        if (valueOptions().contains(option))
            parsed.setValueName(u"VALUE"_s);
        parser.addOption(parsed);
    }
}

// The parser's complaint, with a hint when the refused option looks like a negative amount.
QString parseError(const QCommandLineParser& parser) {
    QString problem = parser.errorText();
    for (const QString& name : parser.unknownOptionNames())
        if (!name.isEmpty() && (name.front().isDigit() || name.front() == u'.'))
            return problem + u" (put an amount that starts with - after --)"_s;
    return problem;
}

// The command line never picks a file the user did not name, and an empty value is a slip.
QString refusedValue(const QString& option, const QString& value) {
    if (value.isEmpty())
        return option + u" needs a value that is not empty"_s;
    if (option == u"--database" && value == u":memory:")
        return u"--database needs a file name, not :memory:"_s;
    return {};
}

}  // namespace

QByteArray usageText() {
    return kUsage;
}

bool wantsWindow(const QStringList& arguments, QString* database) {
    QCommandLineParser parser;
    setUpParser(parser, {u"--database"_s});
    if (!parser.parse(QStringList{u"chequeprint"_s} + arguments) ||
        !parser.positionalArguments().isEmpty())
        return false;
    const QStringList values = parser.values(u"database"_s);
    if (values.size() > 1 ||
        (!values.isEmpty() && !refusedValue(u"--database"_s, values.first()).isEmpty()))
        return false;  // the verbs' checks say what is wrong
    *database = values.value(0);
    return true;
}

int runCommandLine(const QStringList& arguments, std::FILE* in, std::FILE* out, std::FILE* err) {
    const Io io{in, out, err};
    QStringList commandLine = arguments;
    commandLine.prepend(u"chequeprint"_s);

    // First pass: every option of every verb, to tell option values from the verb.
    QCommandLineParser first;
    QStringList everyOption;
    for (const auto& [name, verb] : verbs())
        everyOption += verb.options;
    everyOption.removeDuplicates();
    setUpParser(first, everyOption);
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption version(u"version"_s);
    first.addOption(help);
    first.addOption(version);
    if (!first.parse(commandLine))
        return usageError(io, parseError(first));
    if (first.isSet(help))
        return writeOut(io, kUsage);
    if (first.isSet(version))
        return writeOut(io, "chequeprint " CHEQUEPRINT_VERSION "\n");
    const QStringList positional = first.positionalArguments();
    if (positional.isEmpty()) {
        if (!first.optionNames().isEmpty())
            return usageError(io, u"no verb given"_s);
        return writeOut(io, kUsage);
    }
    const QString verbName = positional.first();
    const auto verb = verbs().find(verbName);
    if (verb == verbs().end())
        return usageError(io, u"unknown verb "_s + verbName);
    for (const QString& name : first.optionNames())
        if (!verb->second.options.contains(u"--"_s + name))
            return usageError(io, u"--"_s + name + u" does not apply to "_s + verbName);

    // Second pass: only the options of the verb.
    QCommandLineParser second;
    setUpParser(second, verb->second.options);
    if (!second.parse(commandLine))
        return usageError(io, parseError(second));
    Arguments args;
    args.inputs = second.positionalArguments().mid(1);
    for (const QString& option : verb->second.options) {
        if (!second.isSet(bareName(option)))
            continue;
        if (!valueOptions().contains(option)) {
            args.options[option] = QStringList{QString()};
            continue;
        }
        const QStringList values = second.values(bareName(option));
        for (const QString& value : values) {
            const QString refused = refusedValue(option, value);
            if (!refused.isEmpty())
                return usageError(io, refused);
        }
        args.options[option] = values;
    }
    if (!verb->second.takesInputs && !args.inputs.isEmpty())
        return usageError(io, u"unexpected argument "_s + args.inputs.first());
    return verb->second.run(args, io);
}
