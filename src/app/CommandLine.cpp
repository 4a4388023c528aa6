#include "CommandLine.h"

#include <cerrno>
#include <cstring>

#include <QByteArray>
#include <QCommandLineParser>

#include "Database.h"
#include "RegText.h"
#include "VerbTable.h"
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

const DocumentKind& documentKind(const Arguments& args) {
    const DocumentKind* kind = args.has(u"--kind"_s) ? kindById(args.option(u"--kind"_s)) : nullptr;
    return kind != nullptr ? *kind : transferCheque();
}

int usageError(const Io& io, const QString& problem) {
    write(io.err, "chequeprint: " + problem.toUtf8() + "\n\n" + usageText());
    return 2;
}

namespace {

// Whether the option takes a value: as the option table says, unless it is one of `switches`
// (those a verb takes without a value).
bool takesValue(const QString& option, const QStringList& switches = {}) {
    const VerbOption* found = findOption(option);
    return found != nullptr && !found->valueName.isEmpty() && !switches.contains(option);
}

// "--database" -> "database", the name QCommandLineParser knows the option by.
QString bareName(const QString& option) {
    return option.mid(2);
}

// A parser that knows the given options. A single-dash word such as -500 is read as one long
// option, so that it is refused as a whole instead of as the short options 5, 0 and 0.
void setUpParser(QCommandLineParser& parser, const QStringList& options,
                 const QStringList& switches = {}) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const QString& option : options) {
        QCommandLineOption parsed(bareName(option));
        if (takesValue(option, switches))
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

    // First pass: every option of every verb, to tell option values from the verb. An option
    // that one verb takes as a switch and others with a value is read as a switch when that
    // finds a verb that takes switches (payee import --history ends the line).
    QStringList everyOption;
    QStringList someVerbsSwitches;
    for (const Verb& verb : verbTable()) {
        everyOption += verb.optionNames();
        someVerbsSwitches += verb.switches;
    }
    everyOption.removeDuplicates();
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption version(u"version"_s);
    const auto setUp = [&](QCommandLineParser& parser, const QStringList& switches) {
        setUpParser(parser, everyOption, switches);
        parser.addOption(help);
        parser.addOption(version);
    };
    QCommandLineParser switched;
    setUp(switched, someVerbsSwitches);
    const Verb* switchedVerb =
        switched.parse(commandLine) ? findVerb(switched.positionalArguments().value(0)) : nullptr;
    const bool useSwitched = switchedVerb != nullptr && !switchedVerb->switches.isEmpty();
    QCommandLineParser valued;
    setUp(valued, {});
    QCommandLineParser& first = useSwitched ? switched : valued;
    if (!useSwitched && !valued.parse(commandLine))
        return usageError(io, parseError(first));
    if (first.isSet(help))
        return writeOut(io, usageText());
    if (first.isSet(version))
        return writeOut(io, "chequeprint " CHEQUEPRINT_VERSION "\n");
    const QStringList positional = first.positionalArguments();
    if (positional.isEmpty()) {
        if (!first.optionNames().isEmpty())
            return usageError(io, u"no verb given"_s);
        return writeOut(io, usageText());
    }
    const QString verbName = positional.first();
    const Verb* verb = findVerb(verbName);
    if (verb == nullptr)
        return usageError(io, u"unknown verb "_s + verbName);
    const QStringList verbOptions = verb->optionNames();
    for (const QString& name : first.optionNames())
        if (!verbOptions.contains(u"--"_s + name))
            return usageError(io, u"--"_s + name + u" does not apply to "_s + verbName);

    // Second pass: only the options of the verb.
    QCommandLineParser second;
    setUpParser(second, verbOptions, verb->switches);
    if (!second.parse(commandLine))
        return usageError(io, parseError(second));
    Arguments args;
    args.inputs = second.positionalArguments().mid(1);
    for (const QString& option : verbOptions) {
        if (!second.isSet(bareName(option)))
            continue;
        if (!takesValue(option, verb->switches)) {
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
    if (args.has(u"--kind"_s) && kindById(args.option(u"--kind"_s)) == nullptr)
        return usageError(io, u"没有这种单据：%1"_s.arg(args.option(u"--kind"_s)));
    if (!verb->takesInputs() && !args.inputs.isEmpty())
        return usageError(io, u"unexpected argument "_s + args.inputs.first());
    for (const QString& option : verb->required)
        if (!args.has(option))
            return usageError(io, verbName + u" needs "_s + option);
    return verb->run(args, io);
}
