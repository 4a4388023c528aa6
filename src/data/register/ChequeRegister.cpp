#include "ChequeRegister.h"

#include <algorithm>

#include <QHash>
#include <QRegularExpression>

#include "Clock.h"
#include "Database.h"
#include "RegisterRules.h"

using namespace Qt::StringLiterals;

namespace {

const QString kBookColumns = u"ID, 账号, 前缀, 起始号码, 终止号码, 领用日期, 已结束"_s;

ChequeBook bookFrom(const QSqlQuery& row) {
    ChequeBook book;
    book.id = row.value(0).toLongLong();
    book.account = row.value(1).toString();
    book.prefix = row.value(2).toString();
    book.first = row.value(3).toLongLong();
    book.last = row.value(4).toLongLong();
    book.received = QDate::fromString(row.value(5).toString(), Qt::ISODate);
    book.closed = row.value(6).toInt() != 0;
    return book;
}

std::optional<QList<ChequeBook>> selectBooks(Database& db, const QString& where,
                                             const QVariantList& values) {
    std::optional<QSqlQuery> rows = db.select(
        u"SELECT "_s + kBookColumns + u" FROM 支票簿"_s + where + u" ORDER BY 账号, 起始号码"_s,
        values);
    if (!rows)
        return std::nullopt;
    QList<ChequeBook> books;
    while (rows->next())
        books << bookFrom(*rows);
    return books;
}

// Two clerks taking a number of one account's books, or adding a book to it, do it in turn.
bool lockAccount(Database& db, const QString& account) {
    return db.lockName(kAccountBookLocks, account);
}

// A change of one number that its state allows: false, after the database's message, when the
// statement fails; false, with `why`, when the number is not in a state that allows it.
bool changeNumber(Database& db, const QString& sql, const QVariantList& values, QString* why) {
    const std::optional<int> changed = db.changeRows(sql, values);
    if (!changed)
        db.showStatementError(sql);
    else if (*changed != 1 && why)
        *why = u"该支票号码的状态不允许这样修改。"_s;
    return changed == 1;
}

// The serial a book offers next: the first one past the last taken for a print that has no
// fate yet (a sheet voided by hand before its turn is passed over); none past the book's end.
std::optional<qint64> nextSerial(Database& db, const ChequeBook& book, bool* failed) {
    std::optional<QSqlQuery> row = db.select(
        u"SELECT MAX(号码) FROM 支票号码 WHERE 支票簿ID = ? AND 打印取号 = 1"_s, {book.id});
    if (!row || !row->next()) {
        *failed = true;
        return std::nullopt;
    }
    qint64 next = row->value(0).isNull() ? book.first : row->value(0).toLongLong() + 1;
    std::optional<QSqlQuery> later =
        db.select(u"SELECT 号码 FROM 支票号码 WHERE 支票簿ID = ? AND 号码 >= ? ORDER BY 号码"_s,
                  {book.id, next});
    if (!later) {
        *failed = true;
        return std::nullopt;
    }
    while (later->next() && later->value(0).toLongLong() == next)
        ++next;
    return next <= book.last ? std::optional<qint64>(next) : std::nullopt;
}

// Marks a serial taken for a print: 打印中, with the time and login.
std::optional<qint64> insertTaken(Database& db, const Clock& clock, const ChequeBook& book,
                                  qint64 serial, std::optional<qint64> replaces) {
    return db.insertReturningId(
        u"INSERT INTO 支票号码 (支票簿ID, 号码, 状态, 时间, 用户, 替代ID) VALUES (?,?,?,?,?,?)"_s,
        {book.id, serial, kNumberPrinting, clock.now().toString(u"yyyy-MM-dd HH:mm:ss"_s),
         db.userName(), replaces ? QVariant(*replaces) : QVariant(QMetaType(QMetaType::LongLong))});
}

// The open book of the account that holds `serial`.
std::optional<ChequeBook> bookHolding(const QList<ChequeBook>& books, qint64 serial) {
    for (const ChequeBook& book : books)
        if (serial >= book.first && serial <= book.last)
            return book;
    return std::nullopt;
}

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
        if (!lockAccount(db, book.account))
            return false;
        const std::optional<QList<ChequeBook>> overlapping =
            selectBooks(db, u" WHERE 账号 = ? AND 起始号码 <= ? AND 终止号码 >= ?"_s,
                        {book.account, book.last, book.first});
        if (!overlapping)
            return false;
        if (!overlapping->isEmpty()) {
            const ChequeBook& other = overlapping->first();
            *why = u"该账号已有号码重叠的支票簿：%1 至 %2。"_s.arg(serialText(other.first),
                                                                   serialText(other.last));
            return false;
        }
        id = db.insertReturningId(
            u"INSERT INTO 支票簿 (账号, 前缀, 起始号码, 终止号码, 领用日期) VALUES (?,?,?,?,?)"_s,
            {book.account, book.prefix.isNull() ? u""_s : book.prefix, book.first, book.last,
             book.received.isValid() ? book.received.toString(Qt::ISODate) : u""_s});
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

std::optional<QList<ChequeBook>> chequeBooks(Database& db, const QString& typedAccount) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    return account.isEmpty() ? selectBooks(db, {}, {})
                             : selectBooks(db, u" WHERE 账号 = ?"_s, {account});
}

bool closeChequeBook(Database& db, const QString& typedAccount, qint64 first, QString* why) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    return db.atomically([&] {
        const std::optional<QList<ChequeBook>> books =
            selectBooks(db, u" WHERE 账号 = ? AND 起始号码 = ? AND 已结束 = 0"_s, {account, first});
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

std::optional<bool> hasOpenBook(Database& db, const QString& typedAccount) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    std::optional<QSqlQuery> row =
        db.select(u"SELECT COUNT(*) FROM 支票簿 WHERE 账号 = ? AND 已结束 = 0"_s, {account});
    if (!row || !row->next())
        return std::nullopt;
    return row->value(0).toLongLong() > 0;
}

std::optional<TakenNumber> offeredNumber(Database& db, const QString& typedAccount, QString* why) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    const std::optional<QList<ChequeBook>> books =
        selectBooks(db, u" WHERE 账号 = ? AND 已结束 = 0"_s, {account});
    if (!books)
        return std::nullopt;
    for (const ChequeBook& book : *books) {
        bool failed = false;
        const std::optional<qint64> serial = nextSerial(db, book, &failed);
        if (failed)
            return std::nullopt;
        if (serial)
            return TakenNumber{0, book, *serial};
    }
    *why = books->isEmpty() ? u"该账号没有未结束的支票簿。"_s
                            : u"该账号的支票簿已用完，请登记新的支票簿。"_s;
    return std::nullopt;
}

std::optional<QList<TakenNumber>> offeredNumbers(Database& db, const QString& typedAccount,
                                                 int count, QString* why) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    const std::optional<TakenNumber> offered = offeredNumber(db, account, why);
    if (!offered)
        return std::nullopt;
    const std::optional<QList<ChequeBook>> books =
        selectBooks(db, u" WHERE 账号 = ? AND 已结束 = 0"_s, {account});
    if (!books)
        return std::nullopt;
    // The book of the offered number, or else the first later one with room for the whole
    // batch: a batch never spreads over two books, and a book's last few numbers wait for
    // single cheques.
    qsizetype most = 0;
    for (const ChequeBook& book : *books) {
        if (book.first < offered->book.first)
            continue;
        bool failed = false;
        const std::optional<qint64> start =
            book.id == offered->book.id ? offered->serial : nextSerial(db, book, &failed);
        if (failed)
            return std::nullopt;
        if (!start)
            continue;
        std::optional<QSqlQuery> used =
            db.select(u"SELECT 号码 FROM 支票号码 WHERE 支票簿ID = ? AND 号码 > ? ORDER BY 号码"_s,
                      {book.id, *start});
        if (!used)
            return std::nullopt;
        QList<TakenNumber> run{TakenNumber{0, book, *start}};
        bool more = used->next();
        for (qint64 serial = *start + 1; run.size() < count && serial <= book.last; ++serial) {
            if (more && used->value(0).toLongLong() == serial) {
                more = used->next();
                continue;
            }
            run << TakenNumber{0, book, serial};
        }
        if (run.size() >= count)
            return run;
        most = std::max(most, run.size());
    }
    *why = u"该账号的支票簿只剩%1个号码，不够打印%2张支票。"_s.arg(most).arg(count);
    return std::nullopt;
}

namespace {

// Whether the book's number was never taken; false when it was, with the reason in `why`, and
// when the database failed.
bool numberUnused(Database& db, qint64 bookId, qint64 serial, QString* why) {
    std::optional<QSqlQuery> used =
        db.select(u"SELECT 状态 FROM 支票号码 WHERE 支票簿ID = ? AND 号码 = ?"_s, {bookId, serial});
    if (!used)
        return false;
    if (used->next()) {
        *why = u"号码 %1 已被使用（%2），不能再用。"_s.arg(serialText(serial),
                                                           used->value(0).toString());
        return false;
    }
    return true;
}

}  // namespace

std::optional<QList<TakenNumber>> takeNumbers(Database& db, const Clock& clock,
                                              const QList<TakenNumber>& offered,
                                              const QList<qint64>& replaces, QString* why) {
    QList<TakenNumber> taken;
    const bool ok = db.atomically([&] {
        taken.clear();
        if (offered.isEmpty() || !lockAccount(db, offered.first().book.account))
            return false;
        for (qsizetype k = 0; k < offered.size(); ++k) {
            const TakenNumber& number = offered[k];
            if (!numberUnused(db, number.book.id, number.serial, why))
                return false;
            const std::optional<qint64> id =
                insertTaken(db, clock, number.book, number.serial,
                            k < replaces.size() ? std::optional(replaces[k]) : std::nullopt);
            if (!id)
                return false;
            taken << TakenNumber{*id, number.book, number.serial};
        }
        return true;
    });
    return ok ? std::optional(taken) : std::nullopt;
}

std::optional<QList<TakenNumber>> takeBatchNumbers(Database& db, const Clock& clock,
                                                   const QString& typedAccount, int count,
                                                   const QList<qint64>& replaces, QString* why) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    std::optional<QList<TakenNumber>> taken;
    const bool ok = db.atomically([&] {
        taken.reset();
        if (!lockAccount(db, account))
            return false;
        const std::optional<QList<TakenNumber>> offered = offeredNumbers(db, account, count, why);
        taken = offered ? takeNumbers(db, clock, *offered, replaces, why) : std::nullopt;
        return taken.has_value();
    });
    return ok ? taken : std::nullopt;
}

std::optional<TakenNumber> takeNumber(Database& db, const Clock& clock, const QString& typedAccount,
                                      std::optional<qint64> wanted, QString* why,
                                      std::optional<qint64> replaces) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    std::optional<TakenNumber> taken;
    const bool ok = db.atomically([&] {
        taken.reset();
        if (!lockAccount(db, account))
            return false;
        if (!wanted) {
            taken = offeredNumber(db, account, why);
        } else {
            const std::optional<QList<ChequeBook>> books =
                selectBooks(db, u" WHERE 账号 = ? AND 已结束 = 0"_s, {account});
            if (!books)
                return false;
            const std::optional<ChequeBook> book = bookHolding(*books, *wanted);
            if (!book) {
                *why = u"号码 %1 不在该账号未结束的支票簿中。"_s.arg(serialText(*wanted));
                return false;
            }
            if (!numberUnused(db, book->id, *wanted, why))
                return false;
            taken = TakenNumber{0, *book, *wanted};
        }
        if (!taken)
            return false;
        const std::optional<qint64> id =
            insertTaken(db, clock, taken->book, taken->serial, replaces);
        if (!id)
            return false;
        taken->id = *id;
        return true;
    });
    return ok ? taken : std::nullopt;
}

bool lockAccountBooks(Database& db, const QString& account) {
    return lockAccount(db, account);
}

bool numberPrinted(Database& db, qint64 numberId, const CarriedCheque& cheque) {
    return changeNumber(
        db,
        u"UPDATE 支票号码 SET 状态 = ?, 出票日期 = ?, 收款人 = ?, 金额 = ?, 历史ID = ? "
        u"WHERE ID = ? AND 状态 = ?"_s,
        {kNumberPrinted, cheque.issueDate.isNull() ? u""_s : cheque.issueDate,
         cheque.payee.isNull() ? u""_s : cheque.payee,
         cheque.amount.isNull() ? u""_s : cheque.amount, cheque.historyId, numberId,
         kNumberPrinting},
        nullptr);
}

bool numberReprinted(Database& db, qint64 numberId) {
    return changeNumber(db,
                        u"UPDATE 支票号码 SET 重打次数 = 重打次数 + 1 WHERE ID = ? AND 状态 = ?"_s,
                        {numberId, kNumberPrinting}, nullptr);
}

bool voidTakenNumber(Database& db, const Clock& clock, qint64 numberId, const QString& reason,
                     QString* why) {
    // A server writes who voided it and when itself.
    QVariantList values{kNumberVoided, reason.isNull() ? u""_s : reason,
                        clock.now().toString(u"yyyy-MM-dd HH:mm:ss"_s)};
    if (!db.isServer())
        values << db.userName();
    return changeNumber(db,
                        u"UPDATE 支票号码 SET 状态 = ?, 作废原因 = ?, 作废时间 = ?"_s +
                            (db.isServer() ? u""_s : u", 作废人 = ?"_s) +
                            u" WHERE ID = ? AND 状态 <> ?"_s,
                        values + QVariantList{numberId, kNumberVoided}, why);
}

bool voidSerial(Database& db, const Clock& clock, const QString& typedAccount, qint64 serial,
                const QString& reason, QString* why) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    if (reason.trimmed().isEmpty()) {
        *why = u"请填写作废原因。"_s;
        return false;
    }
    return db.atomically([&] {
        if (!lockAccount(db, account))
            return false;
        const std::optional<QList<ChequeBook>> books =
            selectBooks(db, u" WHERE 账号 = ?"_s, {account});
        if (!books)
            return false;
        const std::optional<ChequeBook> book = bookHolding(*books, serial);
        if (!book) {
            *why = u"号码 %1 不在该账号的支票簿中。"_s.arg(serialText(serial));
            return false;
        }
        std::optional<QSqlQuery> row = db.select(
            u"SELECT ID, 状态 FROM 支票号码 WHERE 支票簿ID = ? AND 号码 = ?"_s, {book->id, serial});
        if (!row)
            return false;
        if (!row->next()) {
            const QString now = clock.now().toString(u"yyyy-MM-dd HH:mm:ss"_s);
            const QString insert =
                u"INSERT INTO 支票号码 (支票簿ID, 号码, 状态, 时间, 用户, 作废原因, 作废时间, "
                u"作废人, 打印取号) VALUES (?,?,?,?,?,?,?,?,0)"_s;
            if (db.execute(insert, {book->id, serial, kNumberVoided, now, db.userName(), reason,
                                    now, db.userName()}))
                return true;
            db.showStatementError(insert);
            return false;
        }
        const qint64 id = row->value(0).toLongLong();
        const QString state = row->value(1).toString();
        if (state == kNumberVoided) {
            *why = u"号码 %1 已作废。"_s.arg(serialText(serial));
            return false;
        }
        if (state == kNumberPrinting && db.heldByAPrint(id) != false) {
            *why = u"号码 %1 正在打印，不能作废"_s.arg(book->prefix + serialText(serial));
            return false;
        }
        return voidTakenNumber(db, clock, id, reason, why);
    });
}
