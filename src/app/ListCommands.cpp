// The verbs that convert texts or list what is stored: amount, date, formats, history, journal,
// export and init-database.
#include <functional>

#include <QByteArray>
#include <QFileInfo>

#include "AmountCapitals.h"
#include "CommandLine.h"
#include "Database.h"
#include "DateCapitals.h"
#include "FormatStore.h"
#include "HistoryExport.h"
#include "HistoryGrid.h"
#include "HistoryRows.h"
#include "PrintJournal.h"
#include "ProgressIndicator.h"
#include "VerbSession.h"
#include "Verbs.h"

using namespace Qt::StringLiterals;

namespace {

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

}  // namespace

int amountVerb(const Arguments& args, const Io& io) {
    return convertEach(args.inputs, io, [](const QString& input, QString& output) {
        const QString figures = FormatFigures(input);
        output += figures;
        output += u'\t';
        output += AmountToCapitals(figures);
    });
}

int dateVerb(const Arguments& args, const Io& io) {
    return convertEach(args.inputs, io, [](const QString& input, QString& output) {
        output += DateToCapitals(input);
    });
}

int formatsVerb(const Arguments& args, const Io& io) {
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    FormatDisplays displays;
    ListFormatNames(s.db, displays, documentKind(args).id.toString());
    if (s.prompts.takeShown())
        return 1;
    QString output;
    for (const QString& name : displays.formatNames)
        output += name + (name == displays.currentFormat ? u"\t*\n"_s : u"\n"_s);
    return writeOut(io, output.toUtf8());
}

int initDatabaseVerb(const Arguments& args, const Io& io) {
    VerbSession s(io);
    return s.db.initialize(databaseLocation(args.option(u"--database"_s))) ? 0 : 1;
}

QString oneLine(QString text) {
    for (QChar& c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

namespace {

// Appends the text with its tabs and line breaks shown as blanks, copying it once.
void appendOneLine(QString& line, const QString& text) {
    const qsizetype start = line.size();
    line += text;
    QChar* c = line.data() + start;
    for (QChar* end = line.data() + line.size(); c != end; ++c)
        if (*c == u'\t' || *c == u'\n' || *c == u'\r')
            *c = u' ';
}

}  // namespace

int exportVerb(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 1)
        return usageError(io, u"export needs one file name"_s);
    const QString fileName = args.inputs.first();
    if (QFileInfo::exists(fileName) && !args.has(u"--force"_s)) {
        write(io.err, "chequeprint: " + fileName.toUtf8() + " exists; add --force to replace it\n");
        return 1;
    }
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    ProgressIndicator progress(s.clock);
    // The rows are written as they are read; the old file is only replaced by a complete one.
    const HistoryOrder order{.kind = documentKind(args).id.toString()};
    return exportHistoryToFile(s.db, order, historyGridHeadings(order.documentKind()), fileName,
                               s.prompts, progress)
               ? 0
               : 1;
}

// The history as the grid lists it, line by line as the rows are read.
int historyVerb(const Arguments& args, const Io& io) {
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    const HistoryOrder order{.kind = documentKind(args).id.toString()};
    HistoryRowReader reader(s.db, order);
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
    add(historyGridHeadings(order.documentKind()));
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
    return reader.failed() || s.prompts.takeShown() ? 1 : 0;
}

int journalVerb(const Arguments& args, const Io& io) {
    QDate days[2];
    const QString options[] = {u"--from"_s, u"--to"_s};
    for (int i = 0; i < 2; ++i) {
        if (!args.has(options[i]))
            continue;
        days[i] = QDate::fromString(args.option(options[i]), Qt::ISODate);
        if (!days[i].isValid())
            return usageError(io, options[i] + u" needs a date written YYYY-MM-DD"_s);
    }
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    QString output = journalHeadings().join(u'\t') + u'\n';
    for (const QStringList& row : journalRows(s.db, days[0], days[1])) {
        QStringList cells;
        for (const QString& cell : row)
            cells << oneLine(cell);
        output += cells.join(u'\t') + u'\n';
    }
    if (s.prompts.takeShown())
        return 1;
    return writeOut(io, output.toUtf8());
}
