#include "ChequePicture.h"

#include <QPainter>

#include "Cheque.h"
#include "ChequeGeometry.h"
#include "ChequePrinter.h"
#include "PainterSurface.h"
#include "PrintFormat.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

const QColor kPaper(236, 246, 241);
const QColor kInk(38, 110, 92);

// Draws one part (body or stub) with its top-left at `origin` (mm).
void drawPart(QPainter& painter, double scale, QPointF origin, bool stub) {
    const ChequeGeometry& g = ChequeGeometry::standard();
    auto at = [&](double x, double y) { return (origin + QPointF(x, y)) * scale; };
    auto rect = [&](const QRectF& r) { return QRectF(at(r.left(), r.top()), r.size() * scale); };
    const QSizeF size = stub ? g.stub : g.body;

    painter.fillRect(rect(QRectF(QPointF(), size)), kPaper);
    painter.setPen(QPen(kInk, 0.3 * scale));
    painter.drawRect(rect(QRectF(QPointF(), size)));
    // Each blank place is a line to write on; the places of the body are underlined.
    painter.setPen(QPen(kInk, 0.15 * scale));
    for (const ChequeGeometry::Place& place : g.places) {
        if (place.onStub != stub)
            continue;
        const int field = FieldIndexOf(place.field);
        if (field >= 0 && chequeFields()[size_t(field)].drawing == FieldDrawing::Lines)
            painter.drawRect(rect(place.rect));
        else
            painter.drawLine(at(place.rect.left(), place.rect.bottom()),
                             at(place.rect.right(), place.rect.bottom()));
    }
    if (!stub) {
        const QRectF boxes(g.boxLefts[0], g.boxTop, g.boxRight - g.boxLefts[0],
                           g.boxBottom - g.boxTop);
        painter.drawRect(rect(boxes));
        QFont font(u"宋体"_s);
        font.setPointSizeF(6);
        painter.setFont(font);
        for (size_t i = 0; i < g.boxLefts.size(); ++i) {
            const double left = g.boxLefts[i];
            const double right = i + 1 < g.boxLefts.size() ? g.boxLefts[i + 1] : g.boxRight;
            if (i > 0)
                painter.drawLine(at(left, g.boxTop), at(left, g.boxBottom));
            painter.drawText(rect(QRectF(left, g.boxTop - 3, right - left, 3)), Qt::AlignCenter,
                             g.boxHeadings.value(qsizetype(i)));
        }
    }
    for (const ChequeGeometry::Label& label : g.labels) {
        if (label.onStub != stub)
            continue;
        QFont font(u"宋体"_s);
        font.setPointSizeF(label.points);
        painter.setFont(font);
        painter.setPen(kInk);
        painter.drawText(at(label.at.x(), label.at.y()) +
                             QPointF(0, QFontMetricsF(font, painter.device()).ascent()),
                         label.text);
    }
}

}  // namespace

void drawChequePicture(QPainter& painter, double pixelsPerMm, bool withStub, QPointF stubAt,
                       QPointF bodyAt) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (withStub)
        drawPart(painter, pixelsPerMm, stubAt, true);
    drawPart(painter, pixelsPerMm, bodyAt, false);
    painter.restore();
}

QImage previewCheque(const Cheque& cheque, const PrintFormat& format, double pixelsPerMm,
                     Prompts& prompts) {
    Cheque fed = cheque;
    fed.setCrosswise(true);
    const PageSettings& page = format.page;
    const bool withStub = fed.stubVisible();
    const double stubWidth = withStub ? page.s : 0;
    const ChequeGeometry& g = ChequeGeometry::standard();
    const QSizeF paper(stubWidth + g.body.width() + 10, g.body.height() + 10);

    QImage image((paper * pixelsPerMm).toSize(), QImage::Format_RGB32);
    const int dotsPerMeter = qRound(pixelsPerMm * 1000);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        drawChequePicture(painter, pixelsPerMm, withStub, QPointF(0, 0), QPointF(stubWidth, 0));
    }
    // The printer's origin lies (H - 10, V - 10) mm from the paper corner.
    PainterSurface surface(image, QPointF(page.x - 10, page.y - 10));
    if (!PrintCheque(surface, fed, format, prompts))
        return {};
    return image;
}
