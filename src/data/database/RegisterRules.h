#pragma once

#include <QStringList>

// The locks of the cheque register on a server, in the first key of PostgreSQL's two-key
// advisory locks. An account's books are held (to the end of a transaction, on hashtext of the
// account) while a book is added or a number taken; a number is held (by its ID as int4) by the
// session printing its cheque, for as long as it prints.
inline constexpr int kAccountBookLocks = 20261210;
inline constexpr int kPrintingNumberLocks = 20261211;

// The server's own rules on the cheque books and their numbers, which hold whatever program a
// clerk writes with. A book holds at most 1000 serials of eight digits, first <= last, shares none
// with another book of its account, and only closes (nothing else of it changes). A number lies
// in its book; it is made 打印中 with nothing carried, or 已作废 before its turn with a reason.
// While 打印中 only the login that took it (or the tables' owner) changes it, and never while
// another session prints it. A number is voided only with a reason; the server writes by whom
// (作废人) and, unless the tables' owner voids it, when (作废时间, in the time zone the statements
// ran in).
QStringList serverRegisterRules();
