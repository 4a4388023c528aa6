#pragma once

#include <QString>

#include "UserState.h"

class BoundGrid;
class Document;
class Database;
class ProgressIndicator;
class Prompts;
struct FormatDisplays;

// The format commands behind the format tab's buttons, on the format grid, without widgets.
// They work on the formats of the cheque's kind (DeleteFormat: of `kind`).

// Replaces the format's field rows by the grid's data rows (colour from the cell fill, black
// stored as 0; flags from "√"), marks the grid saved, stores the page settings from the
// displays' margins and stub width with the endorsement parameters, and gives the fields the
// saved fonts. All of it in one transaction: a failure leaves the stored format as it was. An
// empty name (it belongs to the current-format row) is refused with a message.
bool SaveFormatFromGrid(Database& db, BoundGrid& grid, const QString& name, Document& cheque,
                        FormatDisplays& displays, ProgressIndicator& progress, Prompts& prompts);

// Saves the grid under the chosen name (empty: nothing happens), after asking
// "该格式已经存在，是否覆盖？" when the name exists; the saved format becomes the current one.
bool SaveFormatAs(Database& db, BoundGrid& grid, const QString& chosen, Document& cheque,
                  FormatDisplays& displays, ProgressIndicator& progress, Prompts& prompts);

// Deletes the chosen format with its page settings (empty: nothing happens); the current
// format is refused with "此格式为当前格式，不允许删除！". Ends with "删除完成！".
bool DeleteFormat(Database& db, const QString& chosen, FormatDisplays& displays, Prompts& prompts,
                  const QString& kind = kTransferCheque);
