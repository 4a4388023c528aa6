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
// The date a number's line shows: the issue date of a printed cheque, when a voided number was
// voided, when a number still printing was taken; nothing for an unused one.
QString registerLineDate(const RegisterLine& line);
// How many numbers went which way: "已打印 3、已作废 1、未使用 46", then 打印中 when any are.
QString registerTotals(const BookRegister& bookRegister);

// The book list: its headings, and one row per book (the serials as eight digits, the day it was
// received, its state and how many numbers were printed, voided and are unused).
QStringList bookListHeadings();
QStringList bookListRow(const BookRegister& bookRegister);

// The register as a bound grid (columns: hidden ID, 账号, 号码, 状态, 日期, 收款人, 金额, 重打次数,
// 作废原因, 替代号码). Per book: a heading row (its numbers, its state, the day it was received),
// a row per number, a row per gap (状态 "缺号") and the totals (号码 "合计", the totals in 状态).
// The rows keep this order; the hidden ID column holds the serial of a number's row. Column
// widths fit the texts, all but the totals, which a view may let run across the columns after
// 号码.
void buildRegisterGrid(BoundGrid& grid, const QList<BookRegister>& registers, GridTools tools);

// The columns of the register grid a view and a test address.
inline constexpr int kRegisterAccountCol = 1;
inline constexpr int kRegisterNumberCol = 2;
inline constexpr int kRegisterStateCol = 3;

// The account and serial of a number's row of the register grid; nothing for a book's heading,
// gap or totals row.
struct RegisterNumber {
    QString account;
    qint64 serial = 0;
};
std::optional<RegisterNumber> registerGridNumber(const BoundGrid& grid, int row);
// Whether the row is a book's totals row, whose totals run across the columns after 号码.
bool isRegisterTotalsRow(const BoundGrid& grid, int row);
