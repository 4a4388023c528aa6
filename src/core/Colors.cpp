#include "Colors.h"

QColor toQColor(quint32 color) {
    if (color & 0x80000000u)
        return Qt::black;
    return QColor(int(color & 0xff), int((color >> 8) & 0xff), int((color >> 16) & 0xff));
}

quint32 fromQColor(const QColor& color) {
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}
