#include "NumberText.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>

namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

double numericValue(QStringView text) {
    // Collect the leading number as plain ASCII, then let from_chars round it correctly
    // (independent of the process locale, unlike strtod).
    std::string number;
    number.reserve(32);
    bool mantissaDigits = false;
    bool point = false;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i].unicode()))
            ++i;
    };
    skipBlanks();
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        if (text[i] == u'-')
            number.push_back('-');
        ++i;
    }
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (isBlank(c))
            continue;
        if (isDigit(c)) {
            number.push_back(static_cast<char>(c));
            mantissaDigits = true;
        } else if (c == u'.' && !point) {
            number.push_back('.');
            point = true;
        } else {
            break;
        }
    }
    if (!mantissaDigits)
        return 0.0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        std::string exponent = "e";
        ++i;
        skipBlanks();
        if (i < n && (text[i] == u'-' || text[i] == u'+')) {
            exponent.push_back(static_cast<char>(text[i].unicode()));
            ++i;
        }
        bool exponentDigits = false;
        for (; i < n; ++i) {
            const char16_t c = text[i].unicode();
            if (isBlank(c))
                continue;
            if (!isDigit(c))
                break;
            exponent.push_back(static_cast<char>(c));
            exponentDigits = true;
        }
        if (exponentDigits)
            number += exponent;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here: tell overflow from underflow by the size
        // of the number, which strtod would have turned into infinity or zero.
        const bool negative = number.front() == '-';
        const auto e = number.find('e');
        const bool tiny = e != std::string::npos && number.compare(e + 1, 1, "-") == 0;
        return tiny ? 0.0 : (negative ? -DBL_MAX : DBL_MAX);
    }
    return value;
}

QString numberText(double value) {
    if (value == 0.0 || std::isnan(value))
        return QStringLiteral("0");
    if (std::isinf(value))
        value = value < 0 ? -DBL_MAX : DBL_MAX;
    // 15 significant digits in scientific form, e.g. "1.23450000000000e+02".
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view sci(buffer, static_cast<size_t>(result.ptr - buffer));
    const bool negative = sci.front() == '-';
    const size_t ePos = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, ePos))
        if (c >= '0' && c <= '9')
            digits.push_back(c);
    int exponent = 0;
    std::from_chars(sci.data() + ePos + (sci[ePos + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                    exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    // The value is 0.<digits> x 10^(exponent + 1).
    const int pointAt = exponent + 1;
    const int count = static_cast<int>(digits.size());
    std::string text;
    if (negative)
        text.push_back('-');
    if (pointAt <= 0) {
        text += "0.";
        text.append(static_cast<size_t>(-pointAt), '0');
        text += digits;
    } else if (pointAt >= count) {
        text += digits;
        text.append(static_cast<size_t>(pointAt - count), '0');
    } else {
        text.append(digits, 0, static_cast<size_t>(pointAt));
        text.push_back('.');
        text.append(digits, static_cast<size_t>(pointAt));
    }
    return QString::fromLatin1(text);
}

bool readsAsNumber(QStringView text, double* value) {
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'-' || t[i] == u'+'))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        if (isDigit(t[i].unicode()))
            ++digits;
        else if (t[i] == u'.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && (t[i] == u'-' || t[i] == u'+'))
            ++i;
        int exponentDigits = 0;
        for (; i < n && isDigit(t[i].unicode()); ++i)
            ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    *value = numericValue(t);
    return true;
}

QString asciiDigits(QStringView text) {
    QString ascii = text.toString();
    for (QChar& c : ascii) {
        if (c >= u'０' && c <= u'９')
            c = QChar(u'0' + (c.unicode() - u'０'));
        else if (c == u'．')
            c = u'.';
        else if (c == u'－' || c == u'−')
            c = u'-';
    }
    return ascii;
}
