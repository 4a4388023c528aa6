#pragma once

#include <QString>

class Document;
class Database;
class PrintSurface;
struct FormatDisplays;

// The calibration page: a black 10 mm square 10 mm right of and below the origin of the
// printable area. Paper size and orientation stay as they are.
bool drawCalibrationSquare(PrintSurface& surface);

// Stores the measured margins (the numeric values of the two texts; anything else counts as
// 0) as the format's page margins; the stub width stays as stored.
bool saveMeasuredMargins(Database& db, const QString& horizontal, const QString& vertical,
                         const QString& format, const Document& cheque, FormatDisplays& displays);
