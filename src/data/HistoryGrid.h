#pragma once

#include <QString>
#include <QStringList>

#include "GridRoutines.h"

class BoundGrid;
class Database;

// The 17 columns of the history grid: database column names and headings.
const QStringList& historyGridNames();
const QStringList& historyGridHeadings();

// The history grid's tool tip.
QString historyGridToolTip();

// Lays out the history grid and fills it with every history row except the last-input row,
// in the order the database returns them.
void BuildHistoryGrid(BoundGrid& grid, Database& db, GridTools tools);

// What the history table holds, in a few bytes: history rows are only ever added (with a
// new, larger ID) or deleted, so any change shows in their count or their largest ID. Empty
// when the database fails.
QString HistoryStamp(Database& db);

// The distinct values of one history column (a text column of the cheque fields), each once,
// in ascending order; an empty value gives an empty entry. Unknown columns give nothing.
QStringList FillComboDistinct(Database& db, const QString& column);
