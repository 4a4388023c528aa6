#pragma once

#include <optional>

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

class Database;
class Document;
struct DocumentKind;
class Prompts;
struct PrintFormat;
class QPainter;

// Draws a blank document of the kind at true size on a painter whose device has `pixelsPerMm`:
// the stub with its top-left at `stubAt` (unless `withStub` is false) and the body at `bodyAt`
// (mm).
void drawChequePicture(QPainter& painter, const DocumentKind& kind, double pixelsPerMm,
                       bool withStub, QPointF stubAt, QPointF bodyAt);

// Draws one part of the document (as the geometry names it), blank, with its top-left at `at`
// (mm): the window's picture of a part the paper does not show beside the others (a back).
void drawDocumentPart(QPainter& painter, const DocumentKind& kind, double pixelsPerMm, QPointF at,
                      QStringView part);

// A picture drawn faintly over the blank document and under the fields: a format's scan of the
// blank form, for placing fields by eye. Only the window's picture and the preview draw it.
struct FaintPicture {
    QImage image;
    QRectF fromBody;  // where it lies, in mm from the top-left corner of the document's body
};

// The front of the form: the stub (`stubWidth` wide, where the kind has one) left of the body.
QSizeF frontSize(const DocumentKind& kind, double stubWidth);

// Where a format's background lies: its top-left at the form's front's, its size by its
// resolution; with none (0), over the whole front. Only the part on the front is kept.
FaintPicture placedBackground(const QImage& image, double dotsPerInch, const DocumentKind& kind,
                              double stubWidth);

// The stored background of the format, placed; none when it has none, it cannot be read or
// is no picture a format may have.
std::optional<FaintPicture> storedFaintBackground(Database& db, const PrintFormat& format,
                                                  const DocumentKind& kind);

// Draws the picture faintly with the body's top-left at `bodyAt` (mm), inside `within` (mm).
void drawFaintPicture(QPainter& painter, const FaintPicture& picture, double pixelsPerMm,
                      QPointF bodyAt, const QRectF& within);

// The cheque as it would come out of the printer: the blank cheque (stub left of the body
// when the stub is printed, at the format's stub width) with the fields drawn onto it by the
// same code that prints, fed crosswise. Null (after the print error message) when it cannot
// be drawn. A background given is drawn faintly under the fields.
QImage previewCheque(const Document& cheque, const PrintFormat& format, double pixelsPerMm,
                     Prompts& prompts, const FaintPicture* background = nullptr);
