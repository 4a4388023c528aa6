#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

#include "PaymentList.h"

// Reads the first sheet of an Excel workbook (.xlsx) as a payment list, each cell as a person
// sees it: texts as they are, numbers plainly (1500, 1234.56), dates as 2026-12-09; each row
// keeps its row number. Nothing, with the reason, for bytes that are no workbook, an old
// binary Excel file (.xls), a damaged workbook or a list that PaymentListBuilder refuses.
std::optional<PaymentList> ReadXlsxPaymentList(const QByteArray& bytes, QString* error);
