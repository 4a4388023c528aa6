#pragma once

#include <QString>
#include <QStringList>

#include "HistoryColumns.h"

class Database;

// The history grid's tool tip.
QString historyGridToolTip();

// The distinct values of one history column (a text column of the cheque fields), each once,
// in ascending order; an empty value gives an empty entry. Unknown columns give nothing.
QStringList FillComboDistinct(Database& db, const QString& column);
