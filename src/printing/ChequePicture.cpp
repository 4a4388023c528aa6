#include "ChequePicture.h"

#include <QPainter>

#include "ChequeGeometry.h"
#include "ChequePrinter.h"
#include "Document.h"
#include "FormatBackground.h"
#include "PainterSurface.h"
#include "PrintFormat.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

const QColor kPaper(236, 246, 241);
const QColor kInk(38, 110, 92);

// Draws one part of the cheque (as the geometry names it) with its top-left at `origin` (mm).
void drawPart(QPainter& painter, const DocumentKind& kind, double scale, QPointF origin,
              QStringView part) {
    const ChequeGeometry& g = ChequeGeometry::of(kind);
    auto at = [&](double x, double y) { return (origin + QPointF(x, y)) * scale; };
    auto rect = [&](const QRectF& r) { return QRectF(at(r.left(), r.top()), r.size() * scale); };
    const QSizeF size = g.partSize(part);

    painter.fillRect(rect(QRectF(QPointF(), size)), kPaper);
    painter.setPen(QPen(kInk, 0.3 * scale));
    painter.drawRect(rect(QRectF(QPointF(), size)));
    // Each blank place is a line to write on; the places of the body are underlined.
    painter.setPen(QPen(kInk, 0.15 * scale));
    for (const ChequeGeometry::Place& place : g.places) {
        if (place.part != part)
            continue;
        const int field = fieldByIdentifier(kind, place.field);
        if (field >= 0 && kind.fields[size_t(field)].drawing == FieldDrawing::Lines)
            painter.drawRect(rect(place.rect));
        else
            painter.drawLine(at(place.rect.left(), place.rect.bottom()),
                             at(place.rect.right(), place.rect.bottom()));
    }
    for (const ChequeGeometry::BoxSet& boxes : g.boxSets) {
        if (boxes.part != part || boxes.lefts.isEmpty())
            continue;
        const QList<double>& lefts = boxes.lefts;
        painter.drawRect(rect(QRectF(lefts.first(), boxes.top, boxes.right - lefts.first(),
                                     boxes.bottom - boxes.top)));
        QFont font(u"宋体"_s);
        font.setPointSizeF(6);
        painter.setFont(font);
        for (qsizetype i = 0; i < lefts.size(); ++i) {
            const double left = lefts[i];
            const double right = i + 1 < lefts.size() ? lefts[i + 1] : boxes.right;
            if (i > 0)
                painter.drawLine(at(left, boxes.top), at(left, boxes.bottom));
            painter.drawText(rect(QRectF(left, boxes.top - 3, right - left, 3)), Qt::AlignCenter,
                             boxes.headings.value(i));
        }
    }
    for (const ChequeGeometry::Label& label : g.labels) {
        if (label.part != part)
            continue;
        QFont font(u"宋体"_s);
        font.setPointSizeF(label.points);
        painter.setFont(font);
        painter.setPen(label.colour.isEmpty() ? kInk : QColor(label.colour));
        painter.drawText(at(label.at.x(), label.at.y()) +
                             QPointF(0, QFontMetricsF(font, painter.device()).ascent()),
                         label.text);
    }
}

}  // namespace

void drawChequePicture(QPainter& painter, const DocumentKind& kind, double pixelsPerMm,
                       bool withStub, QPointF stubAt, QPointF bodyAt) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (withStub)
        drawPart(painter, kind, pixelsPerMm, stubAt, kStubPart);
    drawPart(painter, kind, pixelsPerMm, bodyAt, kBodyPart);
    painter.restore();
}

void drawDocumentPart(QPainter& painter, const DocumentKind& kind, double pixelsPerMm, QPointF at,
                      QStringView part) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    drawPart(painter, kind, pixelsPerMm, at, part);
    painter.restore();
}

QSizeF frontSize(const DocumentKind& kind, double stubWidth) {
    const QSizeF body = ChequeGeometry::of(kind).partSize(kBodyPart);
    return {(hasPart(kind, kStubPart) ? stubWidth : 0) + body.width(), body.height()};
}

FaintPicture placedBackground(const QImage& image, double dotsPerInch, const DocumentKind& kind,
                              double stubWidth) {
    const QPointF corner(hasPart(kind, kStubPart) ? -stubWidth : 0, 0);
    const QRectF form(corner, frontSize(kind, stubWidth));
    if (dotsPerInch <= 0)
        return {image, form};
    // A scan of a whole page, or one given too low a resolution, would otherwise be kept and
    // scaled far beyond the form.
    const double mmPerPixel = 25.4 / dotsPerInch;
    // Both start at the form's corner, so they always overlap.
    const QRectF onForm = QRectF(corner, QSizeF(image.size()) * mmPerPixel) & form;
    const QRect pixels =
        QRectF((onForm.topLeft() - corner) / mmPerPixel, onForm.size() / mmPerPixel)
            .toAlignedRect() &
        image.rect();
    return {image.copy(pixels), QRectF(corner + QPointF(pixels.topLeft()) * mmPerPixel,
                                       QSizeF(pixels.size()) * mmPerPixel)};
}

std::optional<FaintPicture> storedFaintBackground(Database& db, const PrintFormat& format,
                                                  const DocumentKind& kind) {
    const std::optional<FormatBackground> stored =
        storedBackground(db, format.name, kind.id.toString());
    if (!stored || stored->image.isEmpty())
        return std::nullopt;
    QString why;
    const std::optional<QImage> picture = backgroundPicture(*stored, &why);
    if (!picture)
        return std::nullopt;
    return placedBackground(*picture, stored->dotsPerInch, kind, format.page.s);
}

void drawFaintPicture(QPainter& painter, const FaintPicture& picture, double pixelsPerMm,
                      QPointF bodyAt, const QRectF& within) {
    const auto pixels = [pixelsPerMm](const QRectF& mm) {
        return QRectF(mm.topLeft() * pixelsPerMm, mm.size() * pixelsPerMm);
    };
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRect(pixels(within), Qt::IntersectClip);
    // Faint enough that the fields over it stay the clearest thing in the picture.
    painter.setOpacity(0.4);
    painter.drawImage(pixels(picture.fromBody.translated(bodyAt)), picture.image);
    painter.restore();
}

QImage previewCheque(const Document& cheque, const PrintFormat& format, double pixelsPerMm,
                     Prompts& prompts, const FaintPicture* background) {
    Document fed = cheque;
    fed.setCrosswise(true);
    const PageSettings& page = format.page;
    const bool withStub = fed.stubVisible();
    const double stubWidth = withStub ? page.s : 0;
    const QSizeF body = ChequeGeometry::of(cheque.kind()).partSize(kBodyPart);
    const QSizeF paper(stubWidth + body.width() + 10, body.height() + 10);

    QImage image((paper * pixelsPerMm).toSize(), QImage::Format_RGB32);
    const int dotsPerMeter = qRound(pixelsPerMm * 1000);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        drawChequePicture(painter, cheque.kind(), pixelsPerMm, withStub, QPointF(0, 0),
                          QPointF(stubWidth, 0));
        if (background)
            drawFaintPicture(painter, *background, pixelsPerMm, QPointF(stubWidth, 0),
                             QRectF(0, 0, stubWidth + body.width(), body.height()));
    }
    // The printer's origin lies (H - 10, V - 10) mm from the paper corner.
    PainterSurface surface(image, QPointF(page.x - 10, page.y - 10));
    if (!PrintCheque(surface, fed, format, prompts))
        return {};
    return image;
}
