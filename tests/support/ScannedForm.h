#pragma once

#include <QImage>
#include <QPainter>

// A blank transfer cheque as a scanner would give it: 235 x 80 mm at 150 dpi, a pink ground
// with a dark red frame and the line between the stub (60 mm) and the body.
inline QImage scannedForm() {
    QImage form(1387, 472, QImage::Format_RGB32);
    form.fill(QColor(247, 233, 236));
    form.setDotsPerMeterX(5906);  // 150 dpi, as the file says
    form.setDotsPerMeterY(5906);
    QPainter painter(&form);
    painter.setPen(QPen(QColor(176, 48, 80), 6));
    painter.drawRect(form.rect().adjusted(3, 3, -4, -4));
    painter.drawLine(354, 0, 354, 472);
    return form;
}

// Whether a pixel of a picture is of the scan's frame, drawn faintly over the blank cheque.
inline bool pinkish(QRgb pixel) {
    return qRed(pixel) > qGreen(pixel) + 20;
}
