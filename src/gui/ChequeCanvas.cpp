#include "ChequeCanvas.h"

#include <QPainter>

#include "ChequeGeometry.h"
#include "ChequePicture.h"
#include "DocumentKind.h"

namespace {

constexpr double kMarginMm = 1;  // around the picture

}  // namespace

ChequeCanvas::ChequeCanvas(QWidget* parent) : QWidget(parent), m_kind(&transferCheque()) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ChequeCanvas::setKind(const DocumentKind& kind) {
    m_kind = &kind;
    updateGeometry();
    update();
}

void ChequeCanvas::setStubShown(bool shown) {
    m_stubShown = shown;
    update();
}

void ChequeCanvas::setBackground(const FaintPicture* background) {
    m_background.reset();
    // Scaled once to the size it is drawn at, not at every paint.
    if (background)
        m_background = FaintPicture{
            background->image.scaled((background->fromBody.size() * kPixelsPerMm).toSize(),
                                     Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
            background->fromBody};
    update();
}

QRect ChequeCanvas::toPixels(const QRectF& mm, QStringView part) const {
    const ChequeGeometry& g = ChequeGeometry::of(*m_kind);
    const QRectF shifted = mm.translated(kMarginMm + g.partLeft(part), kMarginMm + g.partTop(part));
    return QRectF(shifted.topLeft() * kPixelsPerMm, shifted.size() * kPixelsPerMm).toRect();
}

QSize ChequeCanvas::sizeHint() const {
    // The parts side by side, a back below them.
    const QSizeF shown = ChequeGeometry::of(*m_kind).shownSize();
    return ((shown + QSizeF(2 * kMarginMm, 2 * kMarginMm)) * kPixelsPerMm).toSize();
}

void ChequeCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ChequeGeometry& g = ChequeGeometry::of(*m_kind);
    for (const ChequeGeometry::Part& part : g.parts)
        if (m_stubShown || part.name != kStubPart)
            drawDocumentPart(
                painter, *m_kind, kPixelsPerMm,
                QPointF(kMarginMm + g.partLeft(part.name), kMarginMm + g.partTop(part.name)),
                part.name);
    if (!m_background)
        return;
    // Over the front parts shown, lined up with the body (the stub drawn may be narrower or
    // wider than the format's).
    const QPointF body(kMarginMm + g.partLeft(kBodyPart), kMarginMm + g.partTop(kBodyPart));
    const double left =
        m_stubShown && hasPart(*m_kind, kStubPart) ? kMarginMm + g.partLeft(kStubPart) : body.x();
    const QSizeF bodySize = g.partSize(kBodyPart);
    drawFaintPicture(painter, *m_background, kPixelsPerMm, body,
                     QRectF(left, body.y(), body.x() + bodySize.width() - left, bodySize.height()));
}
