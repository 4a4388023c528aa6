#pragma once

#include <optional>

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include "Document.h"
#include "PayeeBook.h"

class PrintSurface;
struct PaymentList;
struct PrintFormat;

// One document (a cheque, a deposit slip) per row of a payment list, checked in full before
// anything prints.
struct PaymentCheque {
    int line;              // the row's line in the file
    Document cheque;       // the row's values set as if typed, of the base document's kind
    QStringList problems;  // "第N行，列“…”（值）：原因", empty when the row may print
};

// Builds each row's document from `base`, of its kind (its switches, account, bank, supervisor
// ...; what belongs to one payment starts empty: payee, amounts, purposes, the password, a slip's
// payee account and bank and cheque number, so a row has a password only from its own column):
// every non-empty value of the row set as if typed, so that the capitals and the stub copies
// follow; the date from the row (a date, yyyy-mm-dd, yyyy.mm.dd, yyyy/mm/dd or yyyy年m月d日) or
// else `today`. A kind that names the payee's account and bank takes those the row leaves empty
// from `book`, the book of counterparties' entries by full name, under the row's payee. Then
// every check: the row not hidden in its sheet, the amount and date rules, a payee and an amount
// present (and the payee's account and bank where the kind has them), the length limits and the
// overflow guard (measured on `measure`). A row's problems name its line, column, value and reason
// in Chinese ("第N行：该行在表格中被隐藏" for a hidden row;
// "第N行，收款人账号列“”：缺少收款人账号，往来单位中没有“丙公司”" for a payee the book has not):
// every problem of the row, in the order of its columns, what belongs to none last. The checks of
// the cheque as a whole (the print checks, the overflow guard) leave out the cells already refused.
QList<PaymentCheque> checkPaymentList(const PaymentList& list, const Document& base,
                                      const QDate& today, const PrintFormat& format,
                                      PrintSurface& measure,
                                      const QHash<QString, Payee>& book = {});

// "共N行，有问题的M行": the rows of a checked list and how many of them may not print.
QString checkSummary(const QList<PaymentCheque>& cheques);

// "各行沿用：账号 …　银行 …　主管 …　会计 …": the values of the base document that rows without
// their own take (the fields that are no date, not derived and not of one payment, by the name
// they take in lists), an empty one as "（空）". A field every row fills itself is left out; the
// line is empty when no row takes any of them.
QString inheritedValuesLine(const PaymentList& list, const QList<PaymentCheque>& cheques);

// "打印设置：横向打印　连同票根一起打印　禁止日期打印": how every row of a batch prints, from the
// switches of the base document that all rows share: the feed option, then each switch of its
// kind that is on, those of the paper first (a kind without switches shows the feed alone). A box
// that stands on the cheque beside its field reads "不打印" and its caption; the month and the day
// are left out when the date switch holds them.
QString batchSwitchesLine(const Document& base);

// The day a date cell names, in any of the forms above; invalid for anything else.
QDate paymentDate(const QString& text);

// The plain number ("1234.5") that an amount cell names: digits with at most two decimals,
// thousands separated by "," in groups of three or not at all, maybe after ￥ or ¥, blanks
// around it ignored, full-width digits and points read as ASCII ones; more than zero and at
// most eight integer digits. Nothing, with the reason, for anything else: an amount is never cut.
std::optional<QString> paymentAmount(const QString& text, QString* reason);
