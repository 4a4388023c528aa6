#pragma once

#include <array>
#include <optional>

#include <QByteArray>
#include <QList>
#include <QSizeF>
#include <QString>

#include "FormatBackground.h"
#include "PrintFormat.h"
#include "TextFont.h"

class Database;
struct DocumentKind;

// A print format as a file to carry to another office or database: JSON in UTF-8, one format a
// file, with the version of its layout so that a file written before a change of meaning is
// never read as one after it. Every length is in mm from the paper's top-left edge, on the
// paper the file names. A printer's fit is never in it: that belongs to the printer.
inline constexpr int kFormatFileVersion = 1;
inline constexpr qsizetype kMostFormatFileBytes = 1024 * 1024;

struct FormatFileField {
    QString identifier;
    FieldPosition at;  // x and y on the paper, the extra advance after each character
    TextFont font;
};

struct FormatFile {
    QString kind;  // the kind's id
    QString name;
    PageSettings page;  // the margins and the stub width
    std::array<QString, kEndorsementParameterCount> endorsement;
    QList<FormatFileField> fields;  // in the order they were stored
    FormatBackground background;    // none unless asked for on export, or given in the file
};

// The paper a kind's format file measures on: the cheque lying crosswise, its stub (where it
// has one) left of its body, on A3 then (230 mm do not fit across A4), else on A4.
QSizeF formatFilePaper(const DocumentKind& kind);

// How far right of the paper's edge a field's part lies in a format file: a front field off the
// stub lies right of it, by the stub's width; the file's x is the stored x plus this.
double partShift(const DocumentKind& kind, int field, double stubWidth);

// The stored format as a file's contents, with its background when asked; nothing when it
// cannot be read (the database said why) or has no rows.
std::optional<FormatFile> storedFormatFile(Database& db, const QString& name,
                                           const DocumentKind& kind, bool withBackground = false);
QByteArray formatFileJson(const FormatFile& file);
// The file's contents, checked: nothing, with the reason, when the file is over 1 MB, no JSON
// object, of a newer version, of a kind this program does not know, or when a field of the
// kind is missing or given twice, an identifier belongs to no field of the kind, or a number
// is not finite or lies off the paper, or a background it holds is damaged or not a picture
// a format may have.
std::optional<FormatFile> readFormatFile(const QByteArray& bytes, QString* why);

// Stores the file's format under `name` in one transaction under the format's lock: its old
// rows go, the file's come, all or none; a background in the file replaces the format's.
// False after the database's message.
bool storeFormatFile(Database& db, const FormatFile& file, const QString& name);
