#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

class QSqlDatabase;

// The grid's sort order as a key whose bytes compare (memcmp) in that order: texts that read as
// numbers come first, by their exact value (sign, size, then digits, never through a double,
// so 19-digit account numbers differ in their last digit); a figure-form amount ("￥1,234.50")
// is the number it stands for; every other text follows, by its characters' code points. A
// missing value is the empty text. The grid, the file's connections and the server all sort
// with this one key, so that they agree row for row.
QByteArray gridSortKey(QStringView text);

// The key of a text given as UTF-8 (null for a missing value), as the file's function makes it.
QByteArray gridSortKeyOfUtf8(const char* text, int size);

// Whether the key is a text's rather than a number's.
bool isGridSortKeyOfText(const QByteArray& key);

// The terms, any of which holds, of a condition on a text column (its name as SQL writes it)
// that holds for every value whose key is a number's or the empty text's (a missing value too),
// and for few others: the values that start as a number may (with a blank, a sign, a point, a
// digit or ￥). An index of the column finds each term's values without reading the rest.
QStringList gridSortKeyNumberCandidates(const QString& column);

// The key as an SQL function, grid_sort_key(text), on a file's connection; false when the
// connection is not a SQLite one.
bool registerGridSortKey(QSqlDatabase& db);

// The same function on a server, in PL/pgSQL, for init-database to create.
QString serverGridSortKeyFunction();
