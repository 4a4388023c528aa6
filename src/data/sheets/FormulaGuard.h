#pragma once

#include <QString>
#include <QStringView>

// A text that a spreadsheet would run as a formula is written to a CSV file behind a "'", so
// that it opens as text; a payment list read back takes that quote away again.

// Whether the text gets the "'": one beginning with =, +, - or @ after any blanks, with a tab
// or with a carriage return, and also such a text behind quotes of its own, so that taking the
// added quote back never takes one that was typed.
bool needsFormulaGuard(QStringView text);

// A value read from a CSV file that the export wrote, without the "'" it added: the text itself.
QString withoutFormulaGuard(const QString& value);
