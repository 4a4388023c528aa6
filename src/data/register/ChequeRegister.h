#pragma once

#include <optional>

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include "UserState.h"

class Clock;
class Database;

// The cheque books of the accounts and the fate of every number in them: which cheque it
// carried, how often it went through the printer, or why it was voided. A number, once taken
// for a print, is never offered again; the register keeps the payee, amount and date of its
// own, so that deleting history rows leaves the auditor's account of the numbers whole.

// A book of blank cheques of one account (出票人账号): the serials first..last, each printed
// on the cheque after the prefix (the code of the bank and the kind of cheque).
struct ChequeBook {
    qint64 id = 0;
    QString account;
    QString prefix;
    qint64 first = 0;
    qint64 last = 0;
    QDate received;
    bool closed = false;
    // The kind of document its blanks are (转账支票): a number goes only to a document of the
    // book's kind, and books of different kinds may share serials.
    QString kind = kTransferCheque;
};

// A serial as the cheque shows it: eight digits.
QString serialText(qint64 serial);
// The largest serial: eight digits.
inline constexpr qint64 kLastSerial = 99'999'999;
inline constexpr qint64 kMostChequesInBook = 1000;

// The serial of `book` that the cashier names by `typed`, as it stands on the sheet: the whole
// serial (eight digits, maybe after the book's prefix) or its last digits, which must end
// exactly one serial of the book. Nothing, with the reason, otherwise (for example
// "7 可能是 00000107 或 00000117，请多输入几位。").
std::optional<qint64> serialInBook(const ChequeBook& book, const QString& typed, QString* why);

// What became of a number, as the register names it.
inline const QString kNumberPrinting = QStringLiteral("打印中");  // taken, print not settled
inline const QString kNumberPrinted = QStringLiteral("已打印");
inline const QString kNumberVoided = QStringLiteral("已作废");
inline const QString kNumberUnused = QStringLiteral("未使用");

// The prefix is the bank's digits: a cheque's number is at most sixteen characters, the prefix
// and the eight digits of the serial.
inline constexpr qsizetype kLongestPrefix = 8;

// Adds a book, its account stored without the blanks around it. Refused, with the reason in
// `why`, when the account is empty or holds a control character (a tab, a line break), the
// prefix is more than kLongestPrefix characters or anything but digits, the serials are not
// first <= last within eight digits, the book would hold more than kMostChequesInBook cheques,
// it was received later than `today`, or they share a serial with another book of the account
// and kind (open or closed). Its ID, or nothing (after the database's message when it failed).
std::optional<qint64> addChequeBook(Database& db, const ChequeBook& book, const QDate& today,
                                    QString* why);
// The calls below that take a `kind` work on the books of that kind of document only.

// Every book of the kind (of the account, when given), by account then first serial; nothing
// after the database's message.
std::optional<QList<ChequeBook>> chequeBooks(Database& db, const QString& account = {},
                                             const QString& kind = kTransferCheque);
// Closes the account's book that starts at `first`: none of its numbers is offered again, the
// ones used stay in the register. False with the reason when there is no such open book.
bool closeChequeBook(Database& db, const QString& account, qint64 first, QString* why,
                     const QString& kind = kTransferCheque);

// A number taken for one print: the journal and the history name it by its text.
struct TakenNumber {
    qint64 id = 0;  // the register's row
    ChequeBook book;
    qint64 serial = 0;
    QString text() const { return book.prefix + serialText(serial); }
};

// The book of `books` (of one account) that a full number names, with its serial: the book's
// prefix, then the eight digits of a serial in its range. No two books of an account share a
// serial, and the number's length fixes the prefix's, so one book at most. Nothing for none.
std::optional<TakenNumber> numberInBooks(const QList<ChequeBook>& books, const QString& number);

// Whether the account has an open book: without one, a cheque prints as it always has.
std::optional<bool> hasOpenBook(Database& db, const QString& account,
                                const QString& kind = kTransferCheque);
// The number a print of the account would take now: the first one past the last taken for a
// print, in the first open book that has one left; numbers voided by hand before their turn
// are passed over, numbers skipped by a print are not offered again (they are gaps). Nothing
// when there is none (`why` says whether the account has no open book or its books are used
// up) or after the database's message.
std::optional<TakenNumber> offeredNumber(Database& db, const QString& account, QString* why,
                                         const QString& kind = kTransferCheque);

// Takes a number for a print, before anything is sent, in one transaction that holds the book
// (two clerks never take one number): `wanted`, which must be in an open book of the account
// and never taken, or else the offered one. Marked 打印中 with the time and login. `replaces`
// names the register row of the spoiled cheque this one prints again. Nothing, with the reason,
// when no number can be taken.
std::optional<TakenNumber> takeNumber(Database& db, const Clock& clock, const QString& account,
                                      std::optional<qint64> wanted, QString* why,
                                      std::optional<qint64> replaces = std::nullopt,
                                      const QString& kind = kTransferCheque);

// The `count` numbers a batch of the account would take now, all of one book: the offered one
// and the next free ones after it, or when its book has too few left, the next free ones of
// the first later open book that has enough (the few left wait for single cheques). Nothing,
// with the reason, when no open book has that many left, or after the database's message.
std::optional<QList<TakenNumber>> offeredNumbers(Database& db, const QString& account, int count,
                                                 QString* why,
                                                 const QString& kind = kTransferCheque);
// Takes exactly the `offered` numbers in one transaction that holds the book, each replacing
// the register row at the same place of `replaces` when there is one; nothing, with the reason
// and none taken, when another print took one of them meanwhile.
std::optional<QList<TakenNumber>> takeNumbers(Database& db, const Clock& clock,
                                              const QList<TakenNumber>& offered,
                                              const QList<qint64>& replaces, QString* why);

// The same, choosing the numbers inside the transaction that takes them: two batches at once
// take two runs, one after the other, never the same numbers.
std::optional<QList<TakenNumber>> takeBatchNumbers(Database& db, const Clock& clock,
                                                   const QString& account, int count,
                                                   const QList<qint64>& replaces, QString* why,
                                                   const QString& kind = kTransferCheque);
// Inside a transaction, holds the account's books to its end: two clerks take, void or settle
// numbers of one account in turn.
bool lockAccountBooks(Database& db, const QString& account);

// What the register keeps of the cheque a number carried.
struct CarriedCheque {
    QString issueDate;  // as the history keeps it (YYYY-MM-DD), or empty
    QString payee;
    QString amount;
    QVariant historyId;  // the history row when the cheque was kept
};

// The cheque printed well (打印正常): the number is 已打印 and keeps the cheque.
bool numberPrinted(Database& db, qint64 numberId, const CarriedCheque& cheque);
// The same blank cheque went through the printer once more (重新打印).
bool numberReprinted(Database& db, qint64 numberId);
// The cheque of a taken number is spoiled, or its print failed: 已作废 with the reason and time.
// A number that may have printed is never taken again.
// False with `why` when it was voided already.
bool voidTakenNumber(Database& db, const Clock& clock, qint64 numberId, const QString& reason,
                     QString* why = nullptr);
// Voids a serial of the account's books by hand: one never taken (a cheque torn or lost), one
// printed and then spoiled, or one left 打印中 by a print no longer running. False with the
// reason when the serial is in no book of the account, already voided, or held by a print that
// is running.
bool voidSerial(Database& db, const Clock& clock, const QString& account, qint64 serial,
                const QString& reason, QString* why, const QString& kind = kTransferCheque);

// One number of a book as the register lists it.
struct RegisterLine {
    qint64 serial = 0;
    QString state;  // kNumberPrinting, kNumberPrinted, kNumberVoided or kNumberUnused
    QString time;   // when it was taken, or voided by hand
    QString issueDate;
    QString payee;
    QString amount;
    int reprints = 0;
    QString reason;          // why it was voided
    QString voidedAt;        // when
    QString login;           // who took or voided it
    QString voidedBy;        // who voided it
    bool unsettled = false;  // 打印中, and the print that took it is no longer running
    QString replaces;        // the number whose spoiled cheque this one printed again
    QString replacedBy;      // the number that printed this one's spoiled cheque again
};

// A book's register: every serial in order, and the gaps: serials never taken nor voided below
// the last one taken for a print, which someone must explain (void them with a reason).
struct BookRegister {
    ChequeBook book;
    QList<RegisterLine> lines;
    QList<std::pair<qint64, qint64>> gaps;  // first and last serial of each gap
    int count(const QString& state) const;
};

// The register of the account's books of the kind (every book of the kind when `account` is
// empty).
std::optional<QList<BookRegister>> chequeRegister(Database& db, const QString& account = {},
                                                  const QString& kind = kTransferCheque);
