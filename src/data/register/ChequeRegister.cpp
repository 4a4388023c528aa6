#include "ChequeRegister.h"

#include <algorithm>

#include <QHash>

#include "BookRows.h"
#include "Clock.h"
#include "Database.h"
#include "RegisterRules.h"

using namespace Qt::StringLiterals;

namespace {

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

// The open books of the account for documents of the kind: a number is never taken from a book
// of another kind.
std::optional<QList<ChequeBook>> openBooks(Database& db, const QString& account,
                                           const QString& kind) {
    return selectBooks(db, u" WHERE 账号 = ? AND 种类 = ? AND 已结束 = 0"_s, {account, kind});
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

}  // namespace

std::optional<TakenNumber> offeredNumber(Database& db, const QString& typedAccount, QString* why,
                                         const QString& kind) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    const std::optional<QList<ChequeBook>> books = openBooks(db, account, kind);
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
                                                 int count, QString* why, const QString& kind) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    const std::optional<TakenNumber> offered = offeredNumber(db, account, why, kind);
    if (!offered)
        return std::nullopt;
    const std::optional<QList<ChequeBook>> books = openBooks(db, account, kind);
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
                                                   const QList<qint64>& replaces, QString* why,
                                                   const QString& kind) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    std::optional<QList<TakenNumber>> taken;
    const bool ok = db.atomically([&] {
        taken.reset();
        if (!lockAccount(db, account))
            return false;
        const std::optional<QList<TakenNumber>> offered =
            offeredNumbers(db, account, count, why, kind);
        taken = offered ? takeNumbers(db, clock, *offered, replaces, why) : std::nullopt;
        return taken.has_value();
    });
    return ok ? taken : std::nullopt;
}

std::optional<TakenNumber> takeNumber(Database& db, const Clock& clock, const QString& typedAccount,
                                      std::optional<qint64> wanted, QString* why,
                                      std::optional<qint64> replaces, const QString& kind) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    std::optional<TakenNumber> taken;
    const bool ok = db.atomically([&] {
        taken.reset();
        if (!lockAccount(db, account))
            return false;
        if (!wanted) {
            taken = offeredNumber(db, account, why, kind);
        } else {
            const std::optional<QList<ChequeBook>> books = openBooks(db, account, kind);
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
                const QString& reason, QString* why, const QString& kind) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    if (reason.trimmed().isEmpty()) {
        *why = u"请填写作废原因。"_s;
        return false;
    }
    return db.atomically([&] {
        if (!lockAccount(db, account))
            return false;
        const std::optional<QList<ChequeBook>> books =
            selectBooks(db, u" WHERE 账号 = ? AND 种类 = ?"_s, {account, kind});
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
