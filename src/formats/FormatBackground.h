#pragma once

#include <optional>

#include <QByteArray>
#include <QImage>
#include <QString>

class Database;

// A scan of the blank form, drawn faintly behind a format's fields so that a cashier can place
// them by eye. It is kept with the format in the database, so that every clerk of a shared
// database sees it, and travels in the format's file when asked. It is never printed: nothing
// that prints is given it.
struct FormatBackground {
    QByteArray image;        // the PNG or JPEG file as it was chosen; empty for none
    double dotsPerInch = 0;  // the scan's resolution; 0 stretches it over the whole form
};

// At most this big, so that a format file holding it (in base64) stays under 1 MB.
inline constexpr qsizetype kMostBackgroundBytes = 700 * 1024;
// Enough for the widest form at 600 dpi.
inline constexpr int kMostBackgroundPixels = 8000;
inline constexpr double kFewestBackgroundDpi = 50;
inline constexpr double kMostBackgroundDpi = 2400;

// The picture of a background, checked: nothing, with the reason, unless the image is a PNG or
// JPEG file of at most 700 KB and 8000 pixels a side that can be read, and the resolution is 0
// (fitted to the form) or 50 to 2400 dots per inch.
std::optional<QImage> backgroundPicture(const FormatBackground& background, QString* why);

// The background of an image file at the resolution given, checked as above: nothing, with the
// reason, when the file cannot be read or the picture is refused.
std::optional<FormatBackground> backgroundFromFile(const QString& path, double dotsPerInch,
                                                   QString* why);

// The format's background (an empty image when it has none); nothing when the database fails.
std::optional<FormatBackground> storedBackground(Database& db, const QString& name,
                                                 const QString& kind);
// Sets the format's background, or removes it when the image is empty. The caller holds a
// transaction with the format's lock; false after the database's message.
bool writeBackground(Database& db, const QString& name, const QString& kind,
                     const FormatBackground& background);
// The same in a transaction of its own under the format's lock. A background is only set for a
// format that has rows (another clerk may have deleted it meanwhile); removing always runs.
enum class BackgroundStored { Stored, NoFormat, Failed };
BackgroundStored storeBackground(Database& db, const QString& name, const QString& kind,
                                 const FormatBackground& background);
