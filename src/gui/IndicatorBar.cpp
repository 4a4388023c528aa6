#include "IndicatorBar.h"

#include <QPainter>

IndicatorBar::IndicatorBar(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setMinimumSize(300, 20);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void IndicatorBar::setCovered(double covered) {
    m_covered = covered;
    update();
}

void IndicatorBar::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRectF inside = contentsRect();
    painter.fillRect(QRectF(inside.topLeft(), QSizeF(m_covered * inside.width(), inside.height())),
                     QColor(0, 0, 255));
}
