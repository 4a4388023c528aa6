#pragma once

#include <QColor>
#include <QtGlobal>

// The program keeps colours as 32-bit values with red in the lowest byte (0 = black). A value
// with the top bit set names a system colour, which is shown as black.
QColor toQColor(quint32 color);
quint32 fromQColor(const QColor& color);
