#include "DateCapitals.h"

#include <algorithm>
#include <cmath>

#include "AmountCapitals.h"
#include "NumberText.h"

namespace {

constexpr char16_t kZero = u'零';
constexpr char16_t kTen = u'拾';

// Month and day texts: a trailing 拾 makes every 拾 a "0", any other 拾 is dropped.
QString tensToDigits(QStringView part) {
    QString text = part.toString();
    if (text.endsWith(kTen))
        text.replace(kTen, u'0');
    text.remove(kTen);
    return text;
}

QString capitalsToAscii(QString text) {
    for (QChar& c : text) {
        const int value = capitalDigitValue(c.unicode());
        if (value >= 0)
            c = QChar(u'0' + value);
    }
    return text;
}

// A whole number (rounded half to even) kept within a range that a calendar can hold.
long long wholeNumber(const QString& text) {
    const double value = std::nearbyint(numericValue(text));
    return static_cast<long long>(std::clamp(value, -1e7, 1e7));
}

}  // namespace

QString DateToCapitals(QStringView digits) {
    const double n = std::nearbyint(numericValue(digits));
    QString text = DigitCapitals(digits, 1);
    if (text.size() == 1) {
        text.prepend(kZero);
    } else if (text.size() == 2) {
        if (text[1] == kZero)
            text = QString(text[0]) + QChar(kTen);
        else if (text[0] != kZero)
            text = QString(text[0]) + QChar(kTen) + text[1];
    }
    if (text.size() == 2 && std::fmod(n, 10.0) == 0.0)
        text.prepend(kZero);
    return text;
}

QDate CapitalDateToDate(QStringView year, QStringView month, QStringView day) {
    const long long y = wholeNumber(capitalsToAscii(year.toString()));
    const long long m = wholeNumber(capitalsToAscii(tensToDigits(month)));
    const long long d = wholeNumber(capitalsToAscii(tensToDigits(day)));
    // Months roll over into years, then days are counted from the first of the month.
    const long long months = y * 12 + (m - 1);
    const long long rolledYear = months >= 0 ? months / 12 : -((-months + 11) / 12);
    const long long rolledMonth = months - rolledYear * 12 + 1;
    if (rolledYear < 1)
        return {};
    const QDate first(static_cast<int>(rolledYear), static_cast<int>(rolledMonth), 1);
    return first.addDays(d - 1);
}
