#pragma once

#include <QString>
#include <QStringList>

#include "GridRoutines.h"

class BoundGrid;
class Document;
class Database;
struct FormatDisplays;

// The thirteen columns of the format grid: database column names and headings.
const QStringList& formatGridNames();
const QStringList& formatGridHeadings();

struct TextFont;

// The columns of the format grid that are edited: the three millimetre columns in the cell,
// the font columns through the font dialog.
inline constexpr int kFirstMillimetreColumn = 3;
inline constexpr int kLastMillimetreColumn = 5;
inline constexpr int kFirstFontColumn = 6;

// Writes what was typed into a millimetre cell as the text of its numeric value (letters and
// a lone sign give 0) and marks the row red, unsaved.
void editFormatCell(BoundGrid& grid, int row, int col, const QString& typed);

// The font of a data row (colour from the cell fill, near-black read as black), and the font
// written back into the row, which is then marked red.
TextFont formatRowFont(const BoundGrid& grid, int row);
void setFormatRowFont(BoundGrid& grid, int row, const TextFont& font);

// Lays out the format grid and fills it with the field rows of the format, in ID order (the
// page-settings row is not shown); colours show as cell fills (black as near-black), flags as
// "√". Then loads the format's page settings into the displays (0 when it has none) and the
// endorsement parameters into the cheque. Unsaved edits in the grid are gone.
void ShowFormatGrid(BoundGrid& grid, Database& db, const QString& name, Document& cheque,
                    FormatDisplays& displays, GridTools tools);
