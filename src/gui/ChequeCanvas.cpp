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

QRect ChequeCanvas::toPixels(const QRectF& mm, QStringView part) const {
    const double left = kMarginMm + ChequeGeometry::of(*m_kind).partLeft(part);
    const QRectF shifted = mm.translated(left, kMarginMm);
    return QRectF(shifted.topLeft() * kPixelsPerMm, shifted.size() * kPixelsPerMm).toRect();
}

QSize ChequeCanvas::sizeHint() const {
    // The parts side by side, as tall as the tallest.
    QSizeF parts(0, 0);
    for (const ChequeGeometry::Part& part : ChequeGeometry::of(*m_kind).parts)
        parts = QSizeF(parts.width() + part.size.width(), qMax(parts.height(), part.size.height()));
    return ((parts + QSizeF(2 * kMarginMm, 2 * kMarginMm)) * kPixelsPerMm).toSize();
}

void ChequeCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ChequeGeometry& g = ChequeGeometry::of(*m_kind);
    drawChequePicture(painter, *m_kind, kPixelsPerMm, m_stubShown,
                      QPointF(kMarginMm + g.partLeft(kStubPart), kMarginMm),
                      QPointF(kMarginMm + g.partLeft(kBodyPart), kMarginMm));
}
