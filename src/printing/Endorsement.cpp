#include "Endorsement.h"

#include <QStringList>

#include "ChequePrinter.h"
#include "Document.h"
#include "NumberText.h"
#include "PrintSurface.h"

using namespace Qt::StringLiterals;

EndorsementLayout endorsementLayout(const Document& cheque, double marginX, double marginY) {
    auto parameter = [&](int i) { return numericValue(cheque.endorsement(i)); };
    return {parameter(0) - (marginX - 10), parameter(1) - (marginY - 10), parameter(2),
            parameter(3), parameter(4)};
}

bool endorsementIsBlank(const QString& text) {
    return QString(text).remove(u"//"_s).trimmed().isEmpty();
}

bool PrintEndorsement(PrintSurface& surface, const QString& text, const EndorsementLayout& layout) {
    if (endorsementIsBlank(text))
        return false;
    TextFont font;
    font.size = layout.fontSize;
    surface.setFont(font);
    double y = layout.y;
    for (QString remaining : text.split(u"//"_s)) {
        while (!remaining.isEmpty()) {
            const QString line = takeLine(surface, remaining, layout.width);
            surface.drawText(layout.x, y, line);
            y += surface.textHeight(u"字"_s) + layout.gap;
        }
    }
    return surface.endDocument();
}
