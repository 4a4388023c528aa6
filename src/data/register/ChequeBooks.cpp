// The cheque books themselves: adding, listing and closing them, and reading a number's serial.
#include "ChequeRegister.h"

#include <algorithm>

#include <QRegularExpression>

#include "BookRows.h"
#include "Database.h"

using namespace Qt::StringLiterals;

namespace {

// A tab, a line break or another control character: none belongs in an account, where it
// would break the lines of the register and the lists.
bool hasControlCharacter(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const QChar::Category category = c.category();
        return category == QChar::Other_Control || category == QChar::Separator_Line ||
               category == QChar::Separator_Paragraph;
    });
}

}  // namespace

QString serialText(qint64 serial) {
    return u"%1"_s.arg(serial, 8, 10, QChar(u'0'));
}

std::optional<qint64> serialInBook(const ChequeBook& book, const QString& typed, QString* why) {
    QString digits = typed;
    digits.remove(u' ');
    if (digits.size() > 8 && !book.prefix.isEmpty() && digits.startsWith(book.prefix))
        digits.remove(0, book.prefix.size());
    static const QRegularExpression serialDigits(u"^[0-9]{1,8}$"_s);
    if (!serialDigits.match(digits).hasMatch()) {
        *why = u"请输入支票号码（8位）或号码的末几位。"_s;
        return std::nullopt;
    }
    if (digits.size() == 8)
        return digits.toLongLong();
    QStringList matching;
    qint64 serial = 0;
    for (qint64 s = book.first; s <= book.last && matching.size() < 3; ++s)
        if (serialText(s).endsWith(digits)) {
            matching << serialText(s);
            serial = s;
        }
    if (matching.size() == 1)
        return serial;
    if (matching.isEmpty())
        *why = u"本支票簿（%1 至 %2）中没有末几位为 %3 的号码。"_s.arg(
            serialText(book.first), serialText(book.last), digits);
    else if (matching.size() == 2)
        *why = u"%1 可能是 %2 或 %3，请多输入几位。"_s.arg(digits, matching[0], matching[1]);
    else
        *why = u"%1 可能是 %2、%3 等，请多输入几位。"_s.arg(digits, matching[0], matching[1]);
    return std::nullopt;
}

std::optional<qint64> addChequeBook(Database& db, const ChequeBook& entered, const QDate& today,
                                    QString* why) {
    ChequeBook book = entered;
    book.account = entered.account.trimmed();
    if (book.account.isEmpty()) {
        *why = u"请填写出票人账号。"_s;
        return std::nullopt;
    }
    if (hasControlCharacter(book.account)) {
        *why = u"出票人账号中不能有制表符、换行等控制字符。"_s;
        return std::nullopt;
    }
    static const QRegularExpression prefixDigits(
        QRegularExpression::anchoredPattern(u"[0-9]{0,%1}"_s.arg(kLongestPrefix)));
    if (!prefixDigits.match(book.prefix).hasMatch()) {
        *why = u"支票号码前缀只能是数字，最多%1位。"_s.arg(kLongestPrefix);
        return std::nullopt;
    }
    if (book.first < 0 || book.last > kLastSerial || book.first > book.last) {
        *why = u"支票号码应为8位数字，且起始号码不大于终止号码。"_s;
        return std::nullopt;
    }
    // A book holds 25 or 50 cheques; a range of thousands is a typing error, and its register
    // would list every number.
    if (book.last - book.first + 1 > kMostChequesInBook) {
        *why = u"一本支票簿最多%1张支票。"_s.arg(kMostChequesInBook);
        return std::nullopt;
    }
    if (book.received.isValid() && book.received > today) {
        *why = u"领用日期不能晚于今天。"_s;
        return std::nullopt;
    }
    std::optional<qint64> id;
    const bool ok = db.atomically([&] {
        if (!lockAccountBooks(db, book.account))
            return false;
        const std::optional<QList<ChequeBook>> overlapping =
            selectBooks(db, u" WHERE 账号 = ? AND 种类 = ? AND 起始号码 <= ? AND 终止号码 >= ?"_s,
                        {book.account, book.kind, book.last, book.first});
        if (!overlapping)
            return false;
        if (!overlapping->isEmpty()) {
            const ChequeBook& other = overlapping->first();
            *why = u"该账号已有号码重叠的支票簿：%1 至 %2。"_s.arg(serialText(other.first),
                                                                   serialText(other.last));
            return false;
        }
        id = db.insertReturningId(
            u"INSERT INTO 支票簿 (账号, 前缀, 起始号码, 终止号码, 领用日期, 种类) "
            u"VALUES (?,?,?,?,?,?)"_s,
            {book.account, book.prefix.isNull() ? u""_s : book.prefix, book.first, book.last,
             book.received.isValid() ? book.received.toString(Qt::ISODate) : u""_s, book.kind});
        return id.has_value();
    });
    return ok ? id : std::nullopt;
}

std::optional<TakenNumber> numberInBooks(const QList<ChequeBook>& books, const QString& number) {
    static const QRegularExpression serialDigits(
        QRegularExpression::anchoredPattern(u"[0-9]{8}"_s));
    for (const ChequeBook& book : books) {
        if (number.size() != book.prefix.size() + 8 || !number.startsWith(book.prefix))
            continue;
        const QString serial = number.mid(book.prefix.size());
        if (!serialDigits.match(serial).hasMatch())
            continue;
        const qint64 value = serial.toLongLong();
        if (value >= book.first && value <= book.last)
            return TakenNumber{0, book, value};
    }
    return std::nullopt;
}

std::optional<QList<ChequeBook>> chequeBooks(Database& db, const QString& typedAccount,
                                             const QString& kind) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    return account.isEmpty() ? selectBooks(db, u" WHERE 种类 = ?"_s, {kind})
                             : selectBooks(db, u" WHERE 账号 = ? AND 种类 = ?"_s, {account, kind});
}

bool closeChequeBook(Database& db, const QString& typedAccount, qint64 first, QString* why,
                     const QString& kind) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    return db.atomically([&] {
        const std::optional<QList<ChequeBook>> books =
            selectBooks(db, u" WHERE 账号 = ? AND 种类 = ? AND 起始号码 = ? AND 已结束 = 0"_s,
                        {account, kind, first});
        if (!books)
            return false;
        if (books->isEmpty()) {
            *why = u"没有这本未结束的支票簿。"_s;
            return false;
        }
        if (db.execute(u"UPDATE 支票簿 SET 已结束 = 1 WHERE ID = ?"_s, {books->first().id}))
            return true;
        db.showStatementError(u"UPDATE 支票簿"_s);
        return false;
    });
}

std::optional<bool> hasOpenBook(Database& db, const QString& typedAccount, const QString& kind) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    std::optional<QSqlQuery> row =
        db.select(u"SELECT COUNT(*) FROM 支票簿 WHERE 账号 = ? AND 种类 = ? AND 已结束 = 0"_s,
                  {account, kind});
    if (!row || !row->next())
        return std::nullopt;
    return row->value(0).toLongLong() > 0;
}
