// The verbs of the cheque books and the register of their numbers: book, void and register.
#include <functional>
#include <optional>

#include <QRegularExpression>

#include "ChequeRegister.h"
#include "Database.h"
#include "NumberSettle.h"
#include "RegisterGrid.h"
#include "VerbSession.h"
#include "Verbs.h"

using namespace Qt::StringLiterals;

namespace {

void fail(const Io& io, const QString& reason) {
    write(io.err, "chequeprint: " + reason.toUtf8() + '\n');
}

// 1, after the reason the register gave, or else after the database's own message.
int refused(const Io& io, const QString& why) {
    if (!why.isEmpty())
        fail(io, why);
    return 1;
}

// A serial as typed: up to eight digits, leading zeros allowed.
std::optional<qint64> typedSerial(const QString& text) {
    static const QRegularExpression digits(QRegularExpression::anchoredPattern(u"[0-9]{1,8}"_s));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    return text.toLongLong();
}

// One tab-separated line; tabs and line breaks inside a cell shown as blanks.
QString line(const QStringList& cells) {
    QStringList shown;
    for (const QString& cell : cells)
        shown << oneLine(cell);
    return shown.join(u'\t') + u'\n';
}

int addBook(const Arguments& args, const Io& io) {
    const QStringList& inputs = args.inputs;
    if (inputs.size() != 4)
        return usageError(io, u"book add needs ACCOUNT FIRST LAST"_s);
    const std::optional<qint64> first = typedSerial(inputs[2]);
    const std::optional<qint64> last = typedSerial(inputs[3]);
    if (!first || !last)
        return usageError(io, u"book add needs serials of up to eight digits"_s);
    ChequeBook book;
    book.account = inputs[1];
    book.prefix = args.option(u"--prefix"_s);
    book.first = *first;
    book.last = *last;
    book.kind = documentKind(args).id.toString();
    if (args.has(u"--received"_s)) {
        book.received = QDate::fromString(args.option(u"--received"_s), Qt::ISODate);
        if (!book.received.isValid())
            return usageError(io, u"--received needs a date written YYYY-MM-DD"_s);
    }
    VerbSession s(io);
    if (!book.received.isValid())
        book.received = s.clock.today();
    if (!s.open(args))
        return 1;
    QString why;
    return addChequeBook(s.db, book, s.clock.today(), &why) ? 0 : refused(io, why);
}

// One line per book, with how many of its numbers went which way.
int listBooks(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 1)
        return usageError(io, u"book list takes no more arguments"_s);
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    const std::optional<QList<BookRegister>> registers =
        chequeRegister(s.db, {}, documentKind(args).id.toString());
    if (!registers)
        return 1;
    QString output;
    for (const BookRegister& bookRegister : *registers) {
        output += line(bookListRow(bookRegister));
    }
    return writeOut(io, output.toUtf8());
}

int closeBook(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 3)
        return usageError(io, u"book close needs ACCOUNT FIRST"_s);
    const std::optional<qint64> first = typedSerial(args.inputs[2]);
    if (!first)
        return usageError(io, u"book close needs the book's first serial, up to eight digits"_s);
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    QString why;
    return closeChequeBook(s.db, args.inputs[1], *first, &why, documentKind(args).id.toString())
               ? 0
               : refused(io, why);
}

// A book's lines: its heading, its numbers, its gaps and its totals.
QString registerText(const BookRegister& bookRegister) {
    const ChequeBook& book = bookRegister.book;
    const auto number = [&](qint64 serial) { return serialRangeText(book, serial, serial); };
    QString text = line({u"支票簿"_s, book.account, serialRangeText(book, book.first, book.last),
                         bookStateText(book), book.kind});
    for (const RegisterLine& n : bookRegister.lines) {
        const bool unused = n.state == kNumberUnused;
        text += line({number(n.serial), registerStateText(n), registerLineDate(n), n.payee,
                      n.amount, unused ? QString() : QString::number(n.reprints),
                      registerVoidText(n), registerLinkText(n)});
    }
    for (const auto& [first, last] : bookRegister.gaps)
        text += line({kRegisterGap, serialRangeText(book, first, last)});
    return text + line({u"合计"_s, registerTotals(bookRegister)});
}

}  // namespace

int bookVerb(const Arguments& args, const Io& io) {
    const QString action = args.inputs.value(0);
    if (action != u"add" && action != u"list" && action != u"close")
        return usageError(io, u"book needs add, list or close"_s);
    if (action != u"add" && (args.has(u"--prefix"_s) || args.has(u"--received"_s)))
        return usageError(io, u"--prefix and --received are for book add"_s);
    if (action == u"add")
        return addBook(args, io);
    if (action == u"list")
        return listBooks(args, io);
    return closeBook(args, io);
}

namespace {

// Runs `act` on the serial that the verb's one argument names among the books of --account:
// the serial (up to eight digits) or the full number, its book's prefix and serial.
int onNamedSerial(const Arguments& args, const Io& io, const QString& verb,
                  const std::function<int(VerbSession&, const QString& account, qint64)>& act) {
    if (args.inputs.size() != 1)
        return usageError(io, verb + u" needs one cheque number"_s);
    const QString number = args.inputs.first();
    // The full number is the prefix of its book, then eight digits.
    static const QRegularExpression fullNumber(
        QRegularExpression::anchoredPattern(u".+[0-9]{8}"_s));
    std::optional<qint64> serial = typedSerial(number);
    if (!serial && !fullNumber.match(number).hasMatch())
        return usageError(io, verb + u" needs a serial of up to eight digits or a full number"_s);
    const QString account = args.option(u"--account"_s);
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    if (!serial) {
        const std::optional<QList<ChequeBook>> books = chequeBooks(s.db, account);
        if (!books)
            return 1;
        const std::optional<TakenNumber> named = numberInBooks(*books, number);
        if (!named)
            return refused(io, u"号码 %1 不在该账号的支票簿中。"_s.arg(number));
        serial = named->serial;
    }
    return act(s, account, *serial);
}

}  // namespace

int voidVerb(const Arguments& args, const Io& io) {
    return onNamedSerial(
        args, io, u"void"_s, [&](VerbSession& s, const QString& account, qint64 serial) {
            QString why;
            return voidSerial(s.db, s.clock, account, serial, args.option(u"--reason"_s), &why)
                       ? 0
                       : refused(io, why);
        });
}

int settleVerb(const Arguments& args, const Io& io) {
    if (args.has(u"--printed"_s) == args.has(u"--void"_s))
        return usageError(io, u"settle needs --printed or --void"_s);
    if (args.has(u"--printed"_s) && args.has(u"--reason"_s))
        return usageError(io, u"--reason is for settle --void"_s);
    const Settlement settlement =
        args.has(u"--printed"_s) ? Settlement::Printed : Settlement::Voided;
    return onNamedSerial(args, io, u"settle"_s,
                         [&](VerbSession& s, const QString& account, qint64 serial) {
                             QString why;
                             return settleNumber(s.db, s.clock, account, serial, settlement,
                                                 args.option(u"--reason"_s), &why)
                                        ? 0
                                        : refused(io, why);
                         });
}

int registerVerb(const Arguments& args, const Io& io) {
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    const std::optional<QList<BookRegister>> registers =
        chequeRegister(s.db, args.option(u"--account"_s), documentKind(args).id.toString());
    if (!registers)
        return 1;
    QString output;
    for (const BookRegister& bookRegister : *registers)
        output += registerText(bookRegister);
    return writeOut(io, output.toUtf8());
}
