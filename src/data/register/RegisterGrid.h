#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "ChequeRegister.h"
#include "GridRoutines.h"

class BoundGrid;

// How the cheque books and the register of their numbers read, alike in the windows, their
// exports and the book and register verbs.

// "已结束" for a closed book, "未结束" for an open one.
QString bookStateText(const ChequeBook& book);
// The book's serials first..last as its cheques show them: "A00000003", or
// "A00000003-A00000005" for more than one.
QString serialRangeText(const ChequeBook& book, qint64 first, qint64 last);
// A number's state as its line shows it: "打印中（未确认）" for one left 打印中 by a print that
// is no longer running, else the state.
QString registerStateText(const RegisterLine& line);
// The date a number's line shows: the issue date of the cheque a printed number, or a voided one,
// carried; when a voided number that carried none was voided; when a number still printing was
// taken; nothing for an unused one.
QString registerLineDate(const RegisterLine& line);
// Why a number was voided, then who voided it and, when its line shows the cheque's issue date,
// when: "金额写错（张三，2026-12-09 10:00:00）".
QString registerVoidText(const RegisterLine& line);
// The spoiled cheque a number printed again and the number that printed its own again:
// "替代 A00000003", "被替代 A00000004", both apart by a full-width space.
QString registerLinkText(const RegisterLine& line);
// The book at a glance: how many numbers went which way, then its gaps as serials, when it has
// any: "已打印 6　已作废 2　打印中 0　未使用 17　缺号 00000103-00000105、00000110" (the unused
// count takes in the gaps).
QString registerTotals(const BookRegister& bookRegister);

// The book list: its headings, and one row per book (the serials as eight digits, the day it was
// received, its state and how many numbers were printed, voided, are printing and are unused,
// which add up to the book's size).
QStringList bookListHeadings();
QStringList bookListRow(const BookRegister& bookRegister);

// The register as a bound grid (columns: hidden ID, 账号, 号码, 状态, 日期, 收款人, 金额, 重打次数,
// 作废原因, 替代号码). Per book: a heading row (its account, its numbers, its state, the day it
// was received), the totals row (号码 "合计", the book at a glance in 状态), then a row per number
// in serial order, whose 状态 reads "缺号" for a number of a gap. The hidden ID column holds the
// serial of a number's row. A number's row is written in the colour of its state; the book's
// rows are filled pale blue. Column widths fit the texts, all but the totals, which a view may
// let run across the columns after 号码.
void buildRegisterGrid(BoundGrid& grid, const QList<BookRegister>& registers, GridTools tools);

// The columns of the register grid a view and a test address.
inline constexpr int kRegisterAccountCol = 1;
inline constexpr int kRegisterNumberCol = 2;
inline constexpr int kRegisterStateCol = 3;

// The state a row of the register grid shows for a number of a gap.
inline const QString kRegisterGap = QStringLiteral("缺号");

// The account and serial of a number's row of the register grid, the account from its book's
// heading row, and the number as the row shows it; nothing for a book's heading or totals row.
struct RegisterNumber {
    QString account;
    qint64 serial = 0;
    QString text;
};
std::optional<RegisterNumber> registerGridNumber(const BoundGrid& grid, int row);
// Whether the row is a book's totals row, whose totals run across the columns after 号码.
bool isRegisterTotalsRow(const BoundGrid& grid, int row);
