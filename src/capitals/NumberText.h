#pragma once

#include <QString>
#include <QStringView>

// The value of a number as typed by the user or read back from a label or grid cell.
// Blanks anywhere are skipped; an optional sign, digits with at most one decimal point and an
// optional exponent follow; the first other character ends the number. A text without a
// leading number counts as 0. Values beyond the range of a double are clamped to its limits.
double numericValue(QStringView text);

// The shortest decimal text of a value with at most 15 significant digits, never with an
// exponent: 15, 12.5, -3, 0.05.
QString numberText(double value);

// Whether the whole text (blanks around it aside) is one number: an optional sign, digits
// with at most one decimal point, an optional exponent. Its value goes to *value.
bool readsAsNumber(QStringView text, double* value);

// The text with full-width digits, point and minus (as Chinese input methods type them) in
// their ASCII forms; every other character stays.
QString asciiDigits(QStringView text);
