#include "DateCapitals.h"

#include <algorithm>
#include <cmath>

#include "AmountCapitals.h"
#include "NumberText.h"

namespace {

constexpr char16_t kZero = u'零';
constexpr char16_t kTen = u'拾';

// The value 0..9 of an ASCII or capital digit, or -1.
int digitValue(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    return capitalDigitValue(c.unicode());
}

// Past any day, month or year a cheque can carry; keeps long digit runs from overflowing.
constexpr int kBeyondAnyDatePart = 100000;

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

int readDatePart(QStringView text) {
    QString chars;
    for (QChar c : text)
        if (!c.isSpace())
            chars += c;
    const qsizetype ten = chars.indexOf(kTen);
    if (ten < 0) {
        if (chars.isEmpty())
            return -1;
        int value = 0;
        for (QChar c : chars) {
            const int digit = digitValue(c);
            if (digit < 0)
                return -1;
            value = std::min(value * 10 + digit, kBeyondAnyDatePart);
        }
        return value;
    }
    // A tens form: [零][tens digit]拾[units digit], the digits 1 to 9.
    QStringView tens = QStringView(chars).left(ten);
    const QStringView units = QStringView(chars).mid(ten + 1);
    if (tens.size() == 2 && tens[0] == kZero)
        tens = tens.mid(1);
    const int tensDigit = tens.isEmpty() ? 1 : (tens.size() == 1 ? digitValue(tens[0]) : -1);
    const int unitsDigit = units.isEmpty() ? 0 : (units.size() == 1 ? digitValue(units[0]) : -1);
    if (tensDigit < 1 || unitsDigit < 0 || (!units.isEmpty() && unitsDigit == 0))
        return -1;
    return tensDigit * 10 + unitsDigit;
}

QDate CapitalDateToDate(QStringView year, QStringView month, QStringView day) {
    const int y = readDatePart(year);
    const int m = readDatePart(month);
    const int d = readDatePart(day);
    if (y < 1 || m < 1 || d < 1)
        return {};
    return QDate(y, m, d);  // invalid when the three form no real date
}
