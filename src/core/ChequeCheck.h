#pragma once

#include <optional>

#include <QDate>
#include <QString>

class Document;
class Prompts;

// The issue date of the three body date fields: invalid unless each part reads as a number
// in its range (year 2000-3000) and together they form a real calendar date.
QDate issueDate(const Document& cheque);

// The date of the three stub date fields, written in digits; a one- or two-digit year is
// taken as 2000-2029 or 1930-1999. Invalid unless a real calendar date.
QDate stubDate(const Document& cheque);

// Whether the issue date is printed: unless all three of its parts are suppressed
// (禁止日期打印).
bool issueDatePrinted(const Document& cheque);

// What stops the cheque from going to the printer: the field at fault and the message that
// says why.
struct PrintFault {
    int field;
    QString message;
    QString journalled;  // what the print journal says of it, briefly
};

// What stops the cheque from going to the printer: an empty field the kind requires
// ("请填写收款人账号。"), an amount not in figure form, an issue date that is printed but not
// real, or, when the stub is printed, a stub date that is not real; then a text holding a character
// that the history could not keep as it is. Nothing when it may print.
std::optional<PrintFault> faultBeforePrint(const Document& cheque);

// Whether the cheque may go to the printer, checked before the printer is touched (see
// faultBeforePrint). Otherwise shows the fault's message, gives the field at fault in
// `faultyField` and returns false.
bool checkChequeBeforePrint(const Document& cheque, Prompts& prompts, int* faultyField = nullptr);

// When a printed issue date is later than `today`, or more than ten days before it (a bank
// pays a cheque within ten days of its date), what the cashier is told about it:
// "2027年1月5日，晚于今天" or "2026年11月28日，已超过十天"; empty otherwise.
QString unusualIssueDate(const Document& cheque, const QDate& today);
