#pragma once

#include <QString>
#include <QStringList>

#include "DocumentKind.h"

// The history column that keeps the number of a cheque printed from a cheque book, empty for a
// cheque without one. No field fills it: the number is the sheet's, not typed.
inline const QString kHistoryNumberColumn = QStringLiteral("支票号码");

// The columns of a kind's history grid (the transfer cheque's 18 unless told): database column
// names and headings, a cheque book's number last for a kind printed on one. The history's
// exports write the same headings, and a payment list read from such an export is known by them.
const QStringList& historyGridNames(const DocumentKind& kind = transferCheque());
const QStringList& historyGridHeadings(const DocumentKind& kind = transferCheque());
