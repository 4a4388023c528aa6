#include "AmountText.h"

#include <QLocale>
#include <QRegularExpression>

#include "NumberText.h"

using namespace Qt::StringLiterals;

std::optional<QString> plainAmount(QStringView text, QString* reason) {
    // Blanks around the amount, and after its ￥, are no part of it; a blank inside (100 200)
    // may part two amounts and is refused rather than read as one.
    QString ascii = asciiDigits(text).trimmed();
    if (ascii.startsWith(u'￥') || ascii.startsWith(u'¥'))
        ascii = ascii.mid(1).trimmed();
    static const QRegularExpression number(
        u"^([0-9]{1,3}(?:,[0-9]{3})+|[0-9]+)(?:\\.([0-9]*))?$|^()\\.([0-9]+)$"_s);
    const QRegularExpressionMatch m = number.match(ascii);
    if (!m.hasMatch()) {
        *reason = u"不是有效的金额"_s;
        return std::nullopt;
    }
    // ".5" reads as 0.5 and "12." as 12, as a cashier means them.
    const bool leadingPoint = m.capturedStart(4) >= 0;
    const QString integer = leadingPoint ? QString() : m.captured(1).remove(u',');
    const QString decimals = m.captured(leadingPoint ? 4 : 2);
    if (decimals.size() > 2) {
        *reason = u"小数超过两位"_s;
        return std::nullopt;
    }
    static const QRegularExpression nonZero(u"[1-9]"_s);
    const qsizetype firstDigit = integer.indexOf(nonZero);
    const QString digits = firstDigit < 0 ? u"0"_s : integer.mid(firstDigit);
    if (digits.size() > 8) {
        *reason = u"整数超过八位"_s;
        return std::nullopt;
    }
    return decimals.isEmpty() ? digits : digits + u'.' + decimals;
}

QString groupedYuan(qint64 cents) {
    return u"￥%1.%2"_s.arg(QLocale(QLocale::Chinese, QLocale::China).toString(cents / 100))
        .arg(cents % 100, 2, 10, QChar(u'0'));
}

QString groupedFigures(QStringView figures) {
    return groupedYuan(figures.mid(1).toString().remove(u'.').toLongLong());
}
