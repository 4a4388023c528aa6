#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

#include "DocumentKind.h"
#include "PaymentList.h"

// Reads the first visible sheet of an Excel workbook (.xlsx) as a payment list of `kind`, each
// cell as a person sees it: texts as they are, numbers plainly (1500, 1234.56), dates as
// 2026-12-09; each row keeps its row number and whether the sheet hides it, and the list names
// the hidden sheets before the one read. Nothing, with the reason, for bytes that are no workbook,
// an old binary Excel file (.xls), a damaged workbook (two parts of one name, ignoring case, among
// others), a workbook without a visible sheet or a list that PaymentListBuilder refuses.
std::optional<PaymentList> readXlsxPaymentList(const QByteArray& bytes, QString* error,
                                               const DocumentKind& kind = transferCheque());
