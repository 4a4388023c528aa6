#include "ManualPage.h"

#include <QRegularExpression>
#include <QSet>

#include "ManualPageText.h"
#include "VerbTable.h"

using namespace Qt::StringLiterals;

namespace {

// The words in capitals that stand for what the user fills in: the value names and arguments
// of the tables, and the parts of a server's address.
bool isPlaceholder(const QString& word) {
    static const QSet<QString> placeholders = [] {
        QSet<QString> found{u"USER"_s, u"HOST"_s, u"PORT"_s, u"DBNAME"_s};
        QString named;
        for (const VerbOption& option : optionTable())
            named += option.valueName + u' ';
        for (const Verb& verb : verbTable())
            named += verb.arguments + u' ';
        static const QRegularExpression capitals(u"[A-Z]{2,}"_s);
        for (const QRegularExpressionMatch& match : capitals.globalMatch(named))
            found << match.captured();
        return found;
    }();
    return placeholders.contains(word);
}

// Whether the hyphen at `at` of a word is one the user types (in an option, a verb, a date, a
// field's identifier, a negative amount) rather than one of an English word (tab-separated).
bool typedHyphen(QStringView word, qsizetype at) {
    QStringView bare = word;
    while (!bare.isEmpty() && u"([\""_s.contains(bare.front()))
        bare = bare.sliced(1);
    while (!bare.isEmpty() && u")].,;:\""_s.contains(bare.back()))
        bare.chop(1);
    if (bare.startsWith(u'-') || findVerb(bare.toString()) != nullptr)
        return true;
    const auto lower = [](QChar c) { return c >= u'a' && c <= u'z'; };
    return at == 0 || at + 1 == word.size() || !lower(word[at - 1]) || !lower(word[at + 1]);
}

// A verb's or an option's name in bold, its hyphens as \-.
QString bold(const QString& name) {
    return u"\\fB"_s + QString(name).replace(u'-', u"\\-"_s) + u"\\fR"_s;
}

// One word of the tables as roff: an option in bold, a placeholder in italics, a backslash as
// \e and a typed hyphen as \-, which copies as the ASCII hyphen-minus that the shell needs.
// With `guard`, a word with any of those is never hyphenated at a line's end.
QString roffWord(const QString& word, bool guard) {
    static const QRegularExpression marked(
        u"(?<![\\w-])--[a-z][a-z-]*|(?<![A-Za-z0-9])[A-Z]{2,}(?![A-Za-z0-9])"_s);
    QString out;
    bool typed = false;
    qsizetype plainFrom = 0;
    const auto addPlain = [&](qsizetype end) {
        for (qsizetype i = plainFrom; i < end; ++i) {
            if (word[i] == u'\\') {
                out += u"\\e"_s;
            } else if (word[i] == u'-' && typedHyphen(word, i)) {
                out += u"\\-"_s;
                typed = true;
            } else {
                out += word[i];
            }
        }
    };
    for (const QRegularExpressionMatch& match : marked.globalMatch(word)) {
        const QString found = match.captured();
        const bool option = found.startsWith(u'-');
        if (option ? findOption(found) == nullptr : !isPlaceholder(found))
            continue;
        addPlain(match.capturedStart());
        out += option ? bold(found) : u"\\fI"_s + found + u"\\fR"_s;
        typed = true;
        plainFrom = match.capturedEnd();
    }
    addPlain(word.size());
    return (guard && typed ? u"\\%"_s : QString()) + out;
}

QString roff(const QString& text, bool guard = true) {
    QStringList words = text.split(u' ');
    for (QString& word : words)
        word = roffWord(word, guard);
    return words.join(u' ');
}

// A line of text: one that would start with a control character is guarded by \&.
QString textLine(const QString& roffText) {
    const bool control = roffText.startsWith(u'.') || roffText.startsWith(u'\'');
    return (control ? u"\\&"_s : QString()) + roffText + u'\n';
}

// "a", "a and b", "a, b and c"
QString listed(const QStringList& items) {
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(u", "_s) + u" and "_s + items.last();
}

// The parts of a help between its semicolons, those inside brackets aside.
QStringList clauses(const QString& help) {
    QStringList parts{QString()};
    int depth = 0;
    for (const QChar c : help) {
        depth += c == u'(' ? 1 : c == u')' ? -1 : 0;
        if (c == u';' && depth == 0)
            parts << QString();
        else
            parts.last() += c;
    }
    for (QString& part : parts)
        part = part.trimmed();
    return parts;
}

// Whether the text names the option.
bool mentions(const QString& text, const QString& option) {
    const QRegularExpression word(u"(?<![\\w-])"_s + QRegularExpression::escape(option) +
                                  u"(?![\\w-])"_s);
    return text.contains(word);
}

// Each verb with what the usage writes after it, a word of the usage never broken across
// lines, and its help.
QString commandEntries() {
    QString page = u".SH COMMANDS\n"_s;
    for (const Verb& verb : verbTable()) {
        page += u".SY "_s + QString(verb.name).replace(u'-', u"\\-"_s) + u'\n';
        // The dots of a repeatable option end no sentence: "...\&".
        for (const QString& word : verb.synopsis())
            page +=
                textLine(roff(word, false).replace(u' ', u"\\ "_s).replace(u"..."_s, u"...\\&"_s));
        page += u".YS\n.RS 7n\n"_s + textLine(roff(verb.help)) + u".RE\n"_s;
    }
    return page;
}

// Each option with its help, the verbs that take it and, for an option that the help of those
// verbs explains, what each says of it.
QString optionEntries() {
    QString page = u".SH OPTIONS\n"_s;
    for (const VerbOption& option : optionTable()) {
        QStringList takers;
        QStringList uses;
        for (const Verb& verb : verbTable()) {
            bool takes = false;
            for (const QStringList& group : verb.options)
                takes = takes || group.contains(option.name);
            if (!takes)
                continue;
            takers << u"\\%"_s + bold(verb.name);
            if (!option.help.isEmpty())
                continue;
            for (const QString& clause : clauses(verb.help))
                if (mentions(clause, option.name))
                    uses << bold(verb.name) + u": "_s + roff(clause);
        }
        page += u".TP\n\\%"_s + bold(option.name) +
                (option.valueName.isEmpty() ? QString() : u' ' + roff(option.valueName)) + u'\n';
        QStringList lines;
        if (!option.help.isEmpty())
            lines << roff(option.help);
        if (!takers.isEmpty())
            lines << u"Taken by "_s + listed(takers) +
                         (option.repeatable ? u"; may be given more than once."_s : u"."_s);
        lines += uses;
        for (QString& line : lines)
            line = textLine(line);
        page += lines.join(u".br\n"_s);
    }
    return page;
}

}  // namespace

QByteArray manualPage(const QString& date) {
    const QString title = u".TH CHEQUEPRINT 1 \"%1\" \"chequeprint %2\" \"User Commands\"\n"_s.arg(
        date, QStringLiteral(CHEQUEPRINT_VERSION));
    const QString dataDir = QStringLiteral(CHEQUEPRINT_DATADIR).replace(u'-', u"\\-"_s);
    return (u".\\\" -*- coding: UTF-8 -*-\n"_s + title + QString::fromUtf8(kManualIntroduction) +
            commandEntries() + optionEntries() +
            QString::fromUtf8(kManualReference).replace(u"@DATADIR@"_s, dataDir))
        .toUtf8();
}
