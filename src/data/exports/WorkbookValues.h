#pragma once

#include <optional>

#include <QDateTime>
#include <QString>

// The number that an amount text names, for a number cell: only when the text is an exact
// amount as the program reads amounts (plainAmount: at most two decimals, eight integer
// digits, maybe ￥ and thousands separators), so that the cell shows the same amount;
// nothing for any other text, which stays a text cell as it is.
std::optional<double> workbookAmount(const QString& text);

// The day, and the time of day when the text has one, that a date text names ("2026.12.08",
// "2026-12-08", either with " 10:30" or " 10:30:15" after it); nothing for any other text, or
// a day before 1900, which a workbook cannot hold as a date.
struct WorkbookDate {
    QDate day;
    std::optional<QTime> time;
};
std::optional<WorkbookDate> workbookDate(const QString& text);

// How many characters wide an amount shows in the format "￥#,##0.00" (the sign counting two).
int shownAmountWidth(double amount);
