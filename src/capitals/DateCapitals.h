#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// The capital form of one date part given as ASCII digits: 5 -> 零伍, 10 -> 零壹拾,
// 12 -> 壹拾贰, 2009 -> 贰零零玖.
QString DateToCapitals(QStringView digits);

// The calendar date of three capital date parts. A month or day out of range rolls over into
// the neighbouring months or years (month 13 is January of the next year, day 0 the last day
// of the month before). A year below 1 gives an invalid date.
QDate CapitalDateToDate(QStringView year, QStringView month, QStringView day);
