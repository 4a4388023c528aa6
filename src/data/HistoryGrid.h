#pragma once

#include <QString>
#include <QStringList>

class Database;

// The 18 columns of the history grid: database column names and headings, the cheque book's
// number last.
const QStringList& historyGridNames();
const QStringList& historyGridHeadings();

// The history grid's tool tip.
QString historyGridToolTip();

// The distinct values of one history column (a text column of the cheque fields), each once,
// in ascending order; an empty value gives an empty entry. Unknown columns give nothing.
QStringList FillComboDistinct(Database& db, const QString& column);
