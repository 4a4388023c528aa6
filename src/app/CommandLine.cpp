#include "CommandLine.h"

#include <functional>

#include <QByteArray>

#include "AmountCapitals.h"
#include "DateCapitals.h"

namespace {

constexpr char kUsage[] =
    "Usage: chequeprint [VERB [ARGUMENTS...]]\n"
    "\n"
    "Prints Chinese bank cheques. The verbs run without a display:\n"
    "  amount [TEXT...]   the figure form of each amount, a tab, the amount in capitals;\n"
    "                     one amount per line from standard input when no TEXT is given\n"
    "  date [DIGITS...]   the capital form of each date part (year, month or day);\n"
    "                     one per line from standard input when no DIGITS are given\n"
    "\n"
    "Options:\n"
    "  --help             show this text\n"
    "  --version          show the program's version\n";

void write(std::FILE* file, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
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
int convertEach(const QStringList& inputs, std::FILE* in, std::FILE* out,
                const LineConverter& convert) {
    const QStringList lines = inputs.isEmpty() ? readLines(in) : inputs;
    QString output;
    output.reserve(lines.size() * 24);
    for (const QString& line : lines) {
        convert(line, output);
        output += u'\n';
    }
    write(out, output.toUtf8());
    return 0;
}

}  // namespace

int runCommandLine(const QStringList& arguments, std::FILE* in, std::FILE* out, std::FILE* err) {
    if (arguments.isEmpty()) {
        write(out, kUsage);
        return 0;
    }
    const QString verb = arguments.first();
    if (verb == u"--help" || verb == u"-h") {
        write(out, kUsage);
        return 0;
    }
    if (verb == u"--version") {
        write(out, "chequeprint " CHEQUEPRINT_VERSION "\n");
        return 0;
    }

    // Options start with "--"; "--" itself ends them, so that any text can be converted.
    QStringList inputs;
    bool optionsEnded = false;
    for (const QString& argument : arguments.mid(1)) {
        if (!optionsEnded && argument == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.startsWith(u"--")) {
            write(err, "chequeprint: unknown option " + argument.toUtf8() + "\n\n" + kUsage);
            return 2;
        } else {
            inputs << argument;
        }
    }

    if (verb == u"amount") {
        return convertEach(inputs, in, out, [](const QString& input, QString& output) {
            const QString figures = FormatFigures(input);
            output += figures;
            output += u'\t';
            output += AmountToCapitals(figures);
        });
    }
    if (verb == u"date") {
        return convertEach(inputs, in, out, [](const QString& input, QString& output) {
            output += DateToCapitals(input);
        });
    }
    write(err, "chequeprint: unknown verb " + verb.toUtf8() + "\n\n" + kUsage);
    return 2;
}
