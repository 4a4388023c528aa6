// The register of the cheque books as it is read: every serial of each book with its fate, the
// gaps below the last number taken for a print, and whether a number 打印中 is still held.
#include "ChequeRegister.h"

#include <algorithm>

#include <QHash>

#include "Database.h"

using namespace Qt::StringLiterals;

int BookRegister::count(const QString& state) const {
    return int(std::count_if(lines.begin(), lines.end(),
                             [&](const RegisterLine& line) { return line.state == state; }));
}

std::optional<QList<BookRegister>> chequeRegister(Database& db, const QString& typedAccount,
                                                  const QString& kind) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    const std::optional<QList<ChequeBook>> books = chequeBooks(db, account, kind);
    if (!books)
        return std::nullopt;
    // The numbers that printed a spoiled cheque again, by the register row of the spoiled one.
    QHash<qint64, QString> replacedBy;
    std::optional<QSqlQuery> replacements = db.select(
        u"SELECT s.替代ID, sb.前缀, s.号码 FROM 支票号码 s JOIN 支票簿 sb ON sb.ID = s.支票簿ID "
        u"WHERE s.替代ID IS NOT NULL ORDER BY s.ID"_s);
    if (!replacements)
        return std::nullopt;
    while (replacements->next())
        replacedBy.insert(
            replacements->value(0).toLongLong(),
            replacements->value(1).toString() + serialText(replacements->value(2).toLongLong()));
    QList<BookRegister> registers;
    for (const ChequeBook& book : *books) {
        std::optional<QSqlQuery> rows = db.select(
            u"SELECT n.号码, n.状态, n.时间, n.出票日期, n.收款人, n.金额, n.重打次数, n.作废原因, "
            u"n.作废时间, n.用户, rb.前缀, r.号码, n.打印取号, n.ID, n.作废人 FROM 支票号码 n "
            u"LEFT JOIN 支票号码 r ON r.ID = n.替代ID LEFT JOIN 支票簿 rb ON rb.ID = r.支票簿ID "
            u"WHERE n.支票簿ID = ? ORDER BY n.号码"_s,
            {book.id});
        if (!rows)
            return std::nullopt;
        BookRegister bookRegister{book, {}, {}};
        QHash<qsizetype, qint64> printing;  // the lines of numbers 打印中, with their row IDs
        qint64 serial = book.first;
        qint64 lastTakenForPrint = book.first - 1;
        auto unusedUpTo = [&](qint64 end) {
            for (; serial < end; ++serial) {
                RegisterLine unused;
                unused.serial = serial;
                unused.state = kNumberUnused;
                bookRegister.lines << unused;
            }
        };
        while (rows->next()) {
            const qint64 taken = rows->value(0).toLongLong();
            unusedUpTo(taken);
            if (rows->value(12).toInt() != 0)
                lastTakenForPrint = taken;
            RegisterLine line;
            line.serial = taken;
            line.state = rows->value(1).toString();
            line.time = rows->value(2).toString();
            line.issueDate = rows->value(3).toString();
            line.payee = rows->value(4).toString();
            line.amount = rows->value(5).toString();
            line.reprints = rows->value(6).toInt();
            line.reason = rows->value(7).toString();
            line.voidedAt = rows->value(8).toString();
            line.login = rows->value(9).toString();
            if (!rows->value(11).isNull())
                line.replaces =
                    rows->value(10).toString() + serialText(rows->value(11).toLongLong());
            line.replacedBy = replacedBy.value(rows->value(13).toLongLong());
            line.voidedBy = rows->value(14).toString();
            if (line.state == kNumberPrinting)
                printing.insert(qsizetype(bookRegister.lines.size()), rows->value(13).toLongLong());
            bookRegister.lines << line;
            serial = taken + 1;
        }
        unusedUpTo(book.last + 1);
        // A number no running print holds was left by one that died, or went unanswered (asked
        // once the rows are read: a server's connection runs one statement at a time).
        for (auto it = printing.cbegin(); it != printing.cend(); ++it)
            bookRegister.lines[it.key()].unsettled = db.heldByAPrint(it.value()) == false;
        // The gaps: runs of unused numbers below the last one taken for a print.
        for (const RegisterLine& line : bookRegister.lines) {
            if (line.state != kNumberUnused || line.serial > lastTakenForPrint)
                continue;
            if (!bookRegister.gaps.isEmpty() && bookRegister.gaps.last().second == line.serial - 1)
                bookRegister.gaps.last().second = line.serial;
            else
                bookRegister.gaps << std::pair(line.serial, line.serial);
        }
        registers << bookRegister;
    }
    return registers;
}
