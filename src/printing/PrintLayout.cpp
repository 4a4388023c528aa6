#include "PrintLayout.h"

#include "ChequeGeometry.h"
#include "Document.h"
#include "PrintSurface.h"

namespace {

constexpr double kA4WidthMm = 210;

}  // namespace

std::span<const double> figureBoxColumns(const DocumentKind& kind, int field) {
    const ChequeGeometry::BoxSet* boxes =
        ChequeGeometry::of(kind).boxesOf(kind.fields[size_t(field)].identifier);
    if (!boxes)
        return {};
    return {boxes->lefts.constData(), size_t(boxes->lefts.size())};
}

bool SetupChequePage(PrintSurface& surface, const Document& cheque, PartSide side) {
    if (!surface.deviceName().toUpper().startsWith(u"OKI")) {
        const bool a3 = side == PartSide::Front && cheque.crosswise() && cheque.stubVisible();
        if (!(a3 && surface.setPaperSize(PaperSize::A3)) && !surface.setPaperSize(PaperSize::A4))
            return false;
    }
    // A refused orientation is not fatal: printing goes on.
    surface.setLandscape(!cheque.crosswise());
    return true;
}

QPointF fieldOrigin(const PageSettings& page, const Document& cheque, int field) {
    double y = 10 - page.y;
    if (!cheque.crosswise()) {
        // Fed lengthwise, the cheque lies across the A4 paper path at its far side: the A4
        // width less the body's height down (210 - 80 = 130 mm). Guides closing in from both
        // sides hold it in the middle of the path instead, half of that.
        const double farSide =
            kA4WidthMm - ChequeGeometry::of(cheque.kind()).partSize(kBodyPart).height();
        y += farSide;
        if (cheque.chk(Switch::GuidesCloseIn) != 0)
            y -= farSide / 2;
    }
    // The stub is printed left of the other parts of the front.
    const bool rightOfStub = cheque.stubVisible() && partOf(cheque.kind(), field) != kStubPart &&
                             sideOf(cheque.kind(), field) == PartSide::Front;
    return {10 - page.x + (rightOfStub ? page.s : 0), y};
}

PositionTable fieldPositions(const PrintFormat& format, const Document& cheque) {
    PositionTable table;
    for (int i = 0; i < int(cheque.kind().fields.size()); ++i) {
        const QPointF origin = fieldOrigin(format.page, cheque, i);
        const FieldPosition& stored = format.fields[size_t(i)];
        table[size_t(i)] = {origin.x() + stored.x, origin.y() + stored.y, stored.s};
    }
    return table;
}
