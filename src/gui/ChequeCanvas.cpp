#include "ChequeCanvas.h"

#include <QPainter>

#include "ChequeGeometry.h"
#include "ChequePicture.h"

namespace {

constexpr double kMarginMm = 1;  // around the picture

}  // namespace

ChequeCanvas::ChequeCanvas(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ChequeCanvas::setStubShown(bool shown) {
    m_stubShown = shown;
    update();
}

QRect ChequeCanvas::toPixels(const QRectF& mm, bool onStub) const {
    const double left = kMarginMm + (onStub ? 0 : ChequeGeometry::standard().stub.width());
    const QRectF shifted = mm.translated(left, kMarginMm);
    return QRectF(shifted.topLeft() * kPixelsPerMm, shifted.size() * kPixelsPerMm).toRect();
}

QSize ChequeCanvas::sizeHint() const {
    const ChequeGeometry& g = ChequeGeometry::standard();
    return QSizeF((g.stub.width() + g.body.width() + 2 * kMarginMm) * kPixelsPerMm,
                  (g.body.height() + 2 * kMarginMm) * kPixelsPerMm)
        .toSize();
}

void ChequeCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double stub = ChequeGeometry::standard().stub.width();
    drawChequePicture(painter, kPixelsPerMm, m_stubShown, QPointF(kMarginMm, kMarginMm),
                      QPointF(kMarginMm + stub, kMarginMm));
}
