#pragma once

#include <QString>
#include <QStringList>

// The history column that keeps the number of a cheque printed from a cheque book, empty for a
// cheque without one. No field fills it: the number is the sheet's, not typed.
inline const QString kHistoryNumberColumn = QStringLiteral("支票号码");

// The 18 columns of the history grid: database column names and headings, the cheque book's
// number last. The history's exports write the same headings, and a payment list read from
// such an export is known by them.
const QStringList& historyGridNames();
const QStringList& historyGridHeadings();
