#pragma once

#include <QDate>

class Cheque;
class Prompts;

// The issue date of the three body date fields: invalid unless each part reads as a number
// in its range (year 2000-3000) and together they form a real calendar date.
QDate issueDate(const Cheque& cheque);

// The date of the three stub date fields, written in digits; a one- or two-digit year is
// taken as 2000-2029 or 1930-1999. Invalid unless a real calendar date.
QDate stubDate(const Cheque& cheque);

// Whether the cheque may go to the printer, checked before the printer is touched: the
// amount in figure form, a real issue date and, when the stub is printed, a real stub date.
// Otherwise shows the amount or the date message and returns false.
bool checkChequeBeforePrint(const Cheque& cheque, Prompts& prompts);
