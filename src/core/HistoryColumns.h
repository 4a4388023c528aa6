#pragma once

#include <QString>
#include <QStringList>

#include "DocumentKind.h"

// The history column that keeps the number of a cheque printed from a cheque book, empty for a
// cheque without one. No field fills it: the number is the sheet's, not typed.
inline const QString kHistoryNumberColumn = QStringLiteral("支票号码");

// The column of the transfer cheques' grid that reads 已打印 when a deposit slip filled from the
// cheque was kept (a slip whose 来源ID is the cheque's row), empty otherwise. No table has it: the
// grid reads it from the slips, one seek in their source's index for each row it shows, and it
// does not sort.
inline const QString kSlipPrintedColumn = QStringLiteral("进账单");
inline const QString kSlipPrinted = QStringLiteral("已打印");

// The columns of a kind's history grid (the transfer cheque's 19 unless told): database column
// names and headings, then for the transfer cheque whether a slip was printed from it, and a cheque
// book's number last for a kind printed on one. The history's
// exports write the same headings, and a payment list read from such an export is known by them.
const QStringList& historyGridNames(const DocumentKind& kind = transferCheque());
const QStringList& historyGridHeadings(const DocumentKind& kind = transferCheque());
