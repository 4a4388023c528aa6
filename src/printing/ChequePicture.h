#pragma once

#include <QImage>
#include <QPointF>
#include <QString>

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

// The cheque as it would come out of the printer: the blank cheque (stub left of the body
// when the stub is printed, at the format's stub width) with the fields drawn onto it by the
// same code that prints, fed crosswise. Null (after the print error message) when it cannot
// be drawn.
QImage previewCheque(const Document& cheque, const PrintFormat& format, double pixelsPerMm,
                     Prompts& prompts);
