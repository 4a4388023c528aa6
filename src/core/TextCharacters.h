#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QStringView>

// The characters of a text as a reader sees them: its grapheme clusters. A character outside
// the Basic Multilingual Plane (𠮷, two UTF-16 units) and a letter with its combining marks
// (e and U+0301) are one character each. Everything that draws, measures, breaks, cuts or
// counts text character by character goes through here. The views point into `text`.
QList<QStringView> textCharacters(QStringView text);

// How many characters `text` holds, counted as textCharacters does.
qsizetype characterCount(QStringView text);

// The longest front of `text` at most `units` UTF-16 units long that ends between two
// characters; `text` itself when it is no longer.
QStringView leadingCharacters(QStringView text, qsizetype units);

// The first character of `text` that the database would not keep as it is, or nothing: a
// noncharacter (U+FFFE, U+FFFF and the other plane ends, U+FDD0 to U+FDEF), half of a surrogate
// pair, or a byte-order mark at the start (SQLite reads a leading U+FEFF or U+FFFE as the byte
// order of the text, and drops it or swaps every byte after it).
std::optional<char32_t> unstorableCharacter(QStringView text);

// How a character is named in a message: "U+FFFE".
QString codePointName(char32_t c);

// `text` with each character that unstorableCharacter names replaced by U+FFFD, so that the
// database keeps every other character of it where it stands: SQLite would read half of a
// surrogate pair together with the character after it.
QString storableText(QStringView text);
