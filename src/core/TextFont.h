#pragma once

#include <QString>
#include <QtGlobal>

// A field's font and text colour. Colours are 32-bit values with red in the lowest byte.
struct TextFont {
    QString name = QStringLiteral("宋体");
    double size = 12.0;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    quint32 color = 0;

    bool operator==(const TextFont&) const = default;
};
