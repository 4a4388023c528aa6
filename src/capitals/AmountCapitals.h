#pragma once

#include <QString>
#include <QStringView>

// The figure form of an amount: "￥", the integer digits, ".", two decimals; at most 12
// characters. Anything typed goes in; unreadable text gives ￥0.00.
QString FormatFigures(QStringView text);

// The amount in Chinese capitals of a figure-form text, e.g. ￥1010.10 -> 壹仟零壹拾元壹角整.
// At most ten digits (eight integer digits) are expressed; there is no 亿 unit.
QString AmountToCapitals(QStringView figures);

// direction >= 0: ASCII digits become capital digits, everything else stays.
// direction < 0: capital digits and 拾 are read back to ASCII digits, everything else is
// dropped, and one leading "0" is removed (壹拾贰 -> 12, 零伍 -> 5, 贰拾 -> 20).
QString DigitCapitals(QStringView text, int direction);

// The value 0..9 of a capital digit, or -1 for any other character.
int capitalDigitValue(char16_t c);
