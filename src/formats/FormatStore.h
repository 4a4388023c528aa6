#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "DocumentKind.h"
#include "PrintFormat.h"
#include "TextFont.h"
#include "UserState.h"

class Document;
class Database;
class ProgressIndicator;

// What the main window shows of the formats: the list and text of FMT (the current format)
// and the captions of M_X, M_Y (page margins) and M_S (stub width), all in mm.
struct FormatDisplays {
    QStringList formatNames;
    QString currentFormat;
    QString marginX;
    QString marginY;
    QString stubWidth;
};

// A format belongs to a kind of document: its name is unique within the kind only, and two
// kinds may each have a format of one name. The calls below that take a document work on the
// formats of the document's kind; the others take the kind's id (the transfer cheque unless
// told).

// The names of the kind's stored formats, in order.
QStringList storedFormatNames(Database& db, const QString& kind = kTransferCheque);
// The kind's format names, one per format, and the current format (the one the current-format row
// names; the first name when that row is missing, which is then recreated naming it).
void ListFormatNames(Database& db, FormatDisplays& displays, const QString& kind = kTransferCheque);

// Names the kind's current format in the current-format row (recreated when missing).
bool SetCurrentFormat(Database& db, const QString& name, const QString& kind = kTransferCheque);

// Inside a transaction that replaces rows of the format: waits for another program doing the
// same to finish, and keeps others waiting until this transaction ends.
bool lockFormat(Database& db, const QString& name, const QString& kind = kTransferCheque);

// The format's margins and stub width (0, 0, 0 without a page-settings row); nothing when the
// query fails, so that nobody prints with margins that were never read. Resets the
// endorsement parameters to their design values, then fills them from the format when its
// stored text has at least five blank-separated parts; updates M_X, M_Y and M_S when the row
// exists.
std::optional<PageSettings> LoadPageSettings(Database& db, const QString& name, Document& cheque,
                                             FormatDisplays& displays);

// The format as drawing needs it, in one statement: its page settings, every field's stored
// position and the stored endorsement parameters (as LoadPageSettings gives them), without
// touching any cheque. A row naming no field is skipped; of two rows of one field the first
// counts. Nothing when the database fails, so that nobody prints with margins that were never
// read.
std::optional<PrintFormat> loadPrintFormat(Database& db, const QString& name,
                                           const DocumentKind& kind = transferCheque());

// The format's rows as stored: the format as loadPrintFormat gives it, whether it has a
// page-settings row, and the font of each field that has a row (by position index, in the
// order of the rows). Nothing when the database fails.
struct StoredFormatRows {
    PrintFormat format;
    bool hasPageRow = false;
    QList<std::pair<int, TextFont>> fonts;
};
std::optional<StoredFormatRows> readFormatRows(Database& db, const QString& name,
                                               const DocumentKind& kind);

// Writes the format's page-settings row (created when missing): each of x, y, s that is given,
// and the endorsement parameters as they stand, joined by single blanks. A value of exactly
// -90000 mm is not written either: it has always meant "unchanged" to this call. M_X, M_Y and
// M_S then show the stored values.
bool SavePageSettings(Database& db, std::optional<double> x, std::optional<double> y,
                      std::optional<double> s, const QString& name, const Document& cheque,
                      FormatDisplays& displays);

// Updates the format's row of field `field` (position index; -1 for none, which addresses the
// page-settings row): each of x, y, s that is given, and, for a field, its current font and
// colour. A value of exactly -10000 mm is not written either: it has always meant "unchanged" to
// this call. A field without a row writes nothing (returns false).
bool UpdateFieldSettings(Database& db, int field, const Document& cheque, const QString& name,
                         std::optional<double> x, std::optional<double> y, std::optional<double> s);

// The field's stored position in the format (its first row); nothing when it has no row or the
// query fails.
std::optional<FieldPosition> storedFieldPosition(Database& db, const QString& name, int field,
                                                 const QString& kind = kTransferCheque);

// Gives every field the font and colour of its row in the format; fields without a row keep
// theirs. Shows progress, one step per field.
void ApplyFormatFonts(Database& db, const QString& name, Document& cheque,
                      ProgressIndicator& progress);
