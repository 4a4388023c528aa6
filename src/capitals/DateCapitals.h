#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// The capital form of one date part given as ASCII digits: 5 -> 零伍, 10 -> 零壹拾,
// 12 -> 壹拾贰, 2009 -> 贰零零玖.
QString DateToCapitals(QStringView digits);

// The value of one date part as the user wrote it, blanks aside: digits (ASCII or capital)
// read one by one (2009, 贰零零玖, 05, 零伍), or one number with 拾 (拾 10, 拾贰 12, 贰拾 20,
// 叁拾壹 31, 壹拾 and 零壹拾 10). -1 for any other text (拾拾, 拾零, 年, nothing at all).
int readDatePart(QStringView text);

// The calendar date of three date parts read by readDatePart; an invalid date when a part is
// no number or the three form no real date (2月30日): nothing ever rolls over.
QDate CapitalDateToDate(QStringView year, QStringView month, QStringView day);
