#include "AmountCapitals.h"

#include <array>

#include "NumberText.h"

namespace {

constexpr char16_t kYen = u'￥';
constexpr char16_t kZero = u'零';
constexpr char16_t kTen = u'拾';
constexpr std::array<char16_t, 10> kCapitalDigits = {u'零', u'壹', u'贰', u'叁', u'肆',
                                                     u'伍', u'陆', u'柒', u'捌', u'玖'};
// Unit of each digit position of the amount in fen, counted from the right.
constexpr std::array<char16_t, 10> kUnits = {u'分', u'角', u'元', u'拾', u'佰',
                                             u'仟', u'万', u'拾', u'佰', u'仟'};
constexpr int kPositions = 10;

// One part of the capital amount: at most two characters.
struct Part {
    char16_t chars[2] = {};
    int size = 0;

    void set(char16_t a) { chars[0] = a, size = 1; }
    void set(char16_t a, char16_t b) { chars[0] = a, chars[1] = b, size = 2; }
    void clear() { size = 0; }
    bool empty() const { return size == 0; }
    bool startsWithZero() const { return size > 0 && chars[0] == kZero; }
};

// Replaces every non-overlapping pair (a, b), scanning once from the left, by `with`
// (one or two characters). The text never grows, so it is rewritten in place.
int replacePair(char16_t* text, int size, char16_t a, char16_t b, const char16_t* with,
                int withSize) {
    int out = 0;
    for (int in = 0; in < size;) {
        if (in + 1 < size && text[in] == a && text[in + 1] == b) {
            for (int k = 0; k < withSize; ++k)
                text[out++] = with[k];
            in += 2;
        } else {
            text[out++] = text[in++];
        }
    }
    return out;
}

}  // namespace

int capitalDigitValue(char16_t c) {
    for (int v = 0; v < 10; ++v)
        if (kCapitalDigits[static_cast<size_t>(v)] == c)
            return v;
    return -1;
}

QString FormatFigures(QStringView text) {
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if ((c >= u'0' && c <= u'9') || c == u'.')
            kept.append(c);

    QString figures = QChar(kYen) + numberText(numericValue(kept));
    const qsizetype point = figures.indexOf(u'.');
    if (point < 0) {
        figures += u".00";
    } else {
        const qsizetype decimals = figures.size() - point - 1;
        if (decimals == 1)
            figures += u'0';
        else if (decimals > 2)
            figures.truncate(point + 3);  // truncation, never rounding
    }
    if (figures.size() > 12)
        figures = QChar(kYen) + figures.right(11);
    return figures;
}

QString AmountToCapitals(QStringView figures) {
    // Step 1: the amount in fen as a digit string without leading zeros.
    char16_t digits[kPositions];
    int length = 0;
    for (QChar qc : figures) {
        const char16_t c = qc.unicode();
        if (c == kYen || c == u'.')
            continue;
        if (c < u'0' || c > u'9')
            break;
        if (length == 0 && c == u'0')
            continue;
        if (length == kPositions) {
            // Beyond ten digits (never from FormatFigures): keep the last ten.
            for (int k = 1; k < kPositions; ++k)
                digits[k - 1] = digits[k];
            --length;
        }
        digits[length++] = c;
    }
    if (length == 0)
        digits[length++] = u'0';

    // Steps 2 and 3: one part per position, capital digit followed by its unit.
    std::array<Part, kPositions> parts;
    for (int p = 0; p < length; ++p) {
        const int value = digits[length - 1 - p] - u'0';
        parts[static_cast<size_t>(p)].set(kCapitalDigits[static_cast<size_t>(value)],
                                          kUnits[static_cast<size_t>(p)]);
    }

    // Step 4: zero collapsing.
    for (int p = length - 1; p >= 0; --p) {
        Part& part = parts[static_cast<size_t>(p)];
        if (!part.startsWithZero())
            continue;
        part.set(kZero);
        for (int q = p - 1; q >= 2; --q) {
            Part& lower = parts[static_cast<size_t>(q)];
            if (!lower.startsWithZero())
                break;
            lower.clear();
        }
    }
    // Step 5: the 万 of the ten-thousands group.
    if (length > 6) {
        Part& wan = parts[6];
        if (wan.empty())
            wan.set(u'万');
        if (wan.startsWithZero())
            wan.set(u'万', kZero);
    }
    // Step 6: the 元.
    if (length > 2) {
        Part& yuan = parts[2];
        if (yuan.empty() || yuan.startsWithZero())
            yuan.set(u'元');
    }

    // Step 7: join from the highest position down.
    char16_t text[2 * kPositions + 1];
    int size = 0;
    for (int p = kPositions - 1; p >= 0; --p) {
        const Part& part = parts[static_cast<size_t>(p)];
        for (int k = 0; k < part.size; ++k)
            text[size++] = part.chars[k];
    }

    // Step 8: three single passes, in this order.
    const char16_t wanZero[] = {u'万', kZero};
    const char16_t zero[] = {kZero};
    const char16_t yuan[] = {u'元'};
    size = replacePair(text, size, kZero, u'万', wanZero, 2);
    size = replacePair(text, size, kZero, kZero, zero, 1);
    size = replacePair(text, size, kZero, u'元', yuan, 1);

    // Steps 9 to 11.
    if (size > 0 && text[size - 1] == kZero)
        --size;
    if (size == 0 || text[size - 1] != u'分')
        text[size++] = u'整';
    const QStringView result(text, size);
    if (result == u"元整" || result == u"整")
        return QStringLiteral("零元整");
    return result.toString();
}

QString DigitCapitals(QStringView text, int direction) {
    QString result;
    result.reserve(text.size());
    if (direction >= 0) {
        for (QChar c : text) {
            const char16_t u = c.unicode();
            result.append(u >= u'0' && u <= u'9' ? QChar(kCapitalDigits[u - u'0']) : c);
        }
        return result;
    }

    for (QChar c : text) {
        const int value = capitalDigitValue(c.unicode());
        result.append(value >= 0 ? QChar(u'0' + value) : c);
    }
    if (result.startsWith(kTen))
        result[0] = u'1';
    if (result.endsWith(kTen))
        result[result.size() - 1] = u'0';
    QString digits;
    digits.reserve(result.size());
    for (QChar c : result)  // drops the remaining 拾 and every other non-digit
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    if (digits.startsWith(u'0'))
        digits.remove(0, 1);
    return digits;
}
