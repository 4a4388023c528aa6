#include "HistoryFilter.h"

#include "Database.h"
#include "HistoryRecords.h"

using namespace Qt::StringLiterals;

namespace {

// Latin capitals to small letters, and nothing else, as both engines match them.
QString asciiLower(QString text) {
    for (QChar& c : text)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return text;
}

// The amount as a cashier types it, its grouping commas left out and ¥ read as ￥; empty when
// the text cannot be part of an amount, which then is not searched.
QString typedAmount(const QString& text) {
    QString amount;
    for (const QChar c : text) {
        if (c == u',' || c == u'，')
            continue;
        if (c == u'¥' || c == u'￥')
            amount += u'￥';
        else if ((c >= u'0' && c <= u'9') || c == u'.')
            amount += c;
        else
            return {};
    }
    return amount;
}

}  // namespace

bool HistoryFilter::isActive() const {
    return !text.trimmed().isEmpty() || from.isValid() || to.isValid();
}

SqlCondition historyFilterCondition(const HistoryFilter& filter, bool server) {
    QStringList parts;
    QVariantList values;
    if (const QString typed = filter.text.trimmed(); !typed.isEmpty()) {
        // A file's LIKE matches Latin letters in either case, and only those; so does a
        // server's ILIKE in the collation "C" (ten times quicker than folding each value).
        const auto like = [server](const QString& column) {
            return column + (server ? u" COLLATE \"C\" ILIKE"_s : u" LIKE"_s) + u" ? ESCAPE '\\'"_s;
        };
        const QString pattern = likePatternContaining(asciiLower(typed));
        QStringList found;
        for (const QString& column : {u"收款人全称"_s, u"账号"_s, kHistoryNumberColumn}) {
            found << like(column);
            values << pattern;
        }
        // An amount is found by its figures whether it was kept with grouping commas or
        // without, and typed with them or without: "1234.5" and "1,234.50" find ￥1,234.50
        // and ￥1234.50 alike.
        if (const QString amount = typedAmount(typed); !amount.isEmpty()) {
            found << u"replace(金额, ',', '') LIKE ? ESCAPE '\\'"_s;
            values << likePatternContaining(amount);
        }
        parts << u'(' + found.join(u" OR "_s) + u')';
    }
    if (filter.from.isValid()) {
        parts << u"Dat>=?"_s;
        values << filter.from.toString(Qt::ISODate);
    }
    if (filter.to.isValid()) {
        parts << u"Dat<=?"_s;
        values << filter.to.toString(Qt::ISODate);
    }
    return {parts.join(u" AND "_s), values};
}
