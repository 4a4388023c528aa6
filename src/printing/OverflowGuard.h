#pragma once

#include <memory>

#include <QList>
#include <QRectF>
#include <QString>

#include "DocumentKind.h"
#include "PrintSurface.h"

class Document;
struct DocumentKind;
struct PrintFormat;

// The printed fields whose text will not fit, by position index, in field order. Each field is
// measured by the code that prints it (its font, spacing and position, the amount in its
// boxes), on `measure`, which draws nothing; a field overflows when it runs past the edge of the
// cheque body (or of the stub), past the right end of its blank (the blank of the cheque
// picture, moved with the format's position of the field), or when the amount in figures needs
// more than its eleven boxes. Suppressed fields, and the stub when it is not printed, never
// overflow. Only the fields of `side` are measured.
// `extents`, when given, receives where each overflowing field's text lies on the printer (mm).
QList<int> findOverflowingFields(const Document& cheque, const PrintFormat& format,
                                 PrintSurface& measure, QList<QRectF>* extents = nullptr,
                                 PartSide side = PartSide::Front);

// The identifiers of the fields, joined by "、".
QString fieldIdentifiers(const DocumentKind& kind, const QList<int>& fields);

// A surface that measures like the printer's but on a picture at printer resolution, for the
// check before the printer is chosen.
std::unique_ptr<PrintSurface> printerLikeMeasure();
