#pragma once

#include <QString>
#include <QStringList>

#include "GridRoutines.h"

class BoundGrid;
class Cheque;
class Database;
struct FormatDisplays;

// The thirteen columns of the format grid: database column names and headings.
const QStringList& formatGridNames();
const QStringList& formatGridHeadings();

// Lays out the format grid and fills it with the field rows of the format, in ID order (the
// page-settings row is not shown); colours show as cell fills (black as near-black), flags as
// "√". Then loads the format's page settings into the displays (0 when it has none) and the
// endorsement parameters into the cheque. Unsaved edits in the grid are gone.
void ShowFormatGrid(BoundGrid& grid, Database& db, const QString& name, Cheque& cheque,
                    FormatDisplays& displays, GridTools tools);
