#include "WorkbookValues.h"

#include <cmath>

#include "AmountText.h"

namespace {

// The amount as the program writes it (￥ or not, digits, maybe a point and up to two
// decimals, at most eight integer digits after leading zeros), read without a pattern: a
// million rows carry two amounts each. Nothing for any other text, which the full reading
// decides on.
std::optional<double> plainFigures(const QString& text) {
    const qsizetype start = text.startsWith(u'￥') || text.startsWith(u'¥') ? 1 : 0;
    qsizetype point = -1;
    qsizetype integerDigits = 0;
    bool leading = true;  // still among the integer part's leading zeros
    for (qsizetype i = start; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'.' && point < 0) {
            point = i;
        } else if (c < u'0' || c > u'9') {
            return std::nullopt;
        } else if (point < 0 && !(leading && c == u'0')) {
            leading = false;
            ++integerDigits;
        }
    }
    const qsizetype decimals = point < 0 ? 0 : text.size() - point - 1;
    if (text.size() == start || point == start || point == text.size() - 1 || decimals > 2 ||
        integerDigits > 8)
        return std::nullopt;
    bool ok = false;
    const double value = QStringView(text).sliced(start).toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// The digits of text[from, from + count) as a number; -1 when any is no digit.
int digitsAt(const QString& text, qsizetype from, qsizetype count) {
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

}  // namespace

std::optional<double> workbookAmount(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    if (const std::optional<double> figures = plainFigures(text))
        return figures;
    QString reason;
    const std::optional<QString> plain = plainAmount(text, &reason);
    if (!plain)
        return std::nullopt;
    bool ok = false;
    const double value = plain->toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

std::optional<WorkbookDate> workbookDate(const QString& text) {
    // yyyy.mm.dd or yyyy-mm-dd, then maybe " hh:mm" or " hh:mm:ss" ("T" as ISO writes it).
    const qsizetype n = text.size();
    if (n != 10 && n != 16 && n != 19)
        return std::nullopt;
    const QChar separator = text[4];
    if ((separator != u'.' && separator != u'-') || text[7] != separator)
        return std::nullopt;
    const QDate day(digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2));
    if (!day.isValid() || day.year() < 1900)
        return std::nullopt;
    if (n == 10)
        return WorkbookDate{day, std::nullopt};
    if ((text[10] != u' ' && text[10] != u'T') || text[13] != u':' || (n == 19 && text[16] != u':'))
        return std::nullopt;
    const QTime time(digitsAt(text, 11, 2), digitsAt(text, 14, 2),
                     n == 19 ? digitsAt(text, 17, 2) : 0);
    if (!time.isValid())
        return std::nullopt;
    return WorkbookDate{day, time};
}

int shownAmountWidth(double amount) {
    int digits = 1;
    for (double whole = std::floor(amount); whole >= 10; whole = std::floor(whole / 10))
        ++digits;
    return 2 + digits + (digits - 1) / 3 + 3;  // ￥, the digits, their commas, ".00"
}
