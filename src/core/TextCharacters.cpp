#include "TextCharacters.h"

#include <QTextBoundaryFinder>

using namespace Qt::StringLiterals;

QList<QStringView> textCharacters(QStringView text) {
    QList<QStringView> characters;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end > 0; end = finder.toNextBoundary()) {
        characters << text.sliced(start, end - start);
        start = end;
    }
    return characters;
}

qsizetype characterCount(QStringView text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

QStringView leadingCharacters(QStringView text, qsizetype units) {
    if (text.size() <= units)
        return text;
    if (units <= 0)
        return text.first(0);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(units);
    const qsizetype end = finder.isAtBoundary() ? units : finder.toPreviousBoundary();
    return text.first(qMax<qsizetype>(end, 0));
}

QString codePointName(char32_t c) {
    return u"U+"_s + QString::number(uint(c), 16).toUpper().rightJustified(4, u'0');
}

std::optional<char32_t> unstorableCharacter(QStringView text) {
    if (text.startsWith(QChar(0xFEFF)))
        return 0xFEFF;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            return c;
        }
        if ((c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE)
            return c;
    }
    return std::nullopt;
}

QString storableText(QStringView text) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QStringView c = text.sliced(i, pair ? 2 : 1);
        // A byte-order mark is refused only at the start of a text.
        const bool refused = unstorableCharacter(c) && (i == 0 || c != u"\uFEFF");
        kept += refused ? QStringView(u"\uFFFD") : c;
        i += c.size();
    }
    return kept;
}
