#include "PrintLayout.h"

#include "Cheque.h"
#include "ChequeGeometry.h"
#include "PrintSurface.h"

const std::array<double, kFigureBoxes>& figureBoxColumns() {
    return ChequeGeometry::standard().boxLefts;
}

bool SetupChequePage(PrintSurface& surface, const Cheque& cheque) {
    if (!surface.deviceName().toUpper().startsWith(u"OKI")) {
        const bool a3 = cheque.crosswise() && cheque.stubVisible();
        if (!(a3 && surface.setPaperSize(PaperSize::A3)) && !surface.setPaperSize(PaperSize::A4))
            return false;
    }
    // A refused orientation is not fatal: printing goes on.
    surface.setLandscape(!cheque.crosswise());
    return true;
}

QPointF fieldOrigin(const PageSettings& page, const Cheque& cheque, int field) {
    double y = 10 - page.y;
    if (!cheque.crosswise()) {
        // A cheque fed lengthwise lies at the far side of the A4 paper path (210 - 80 mm), or
        // in its middle when the guides close in from both sides.
        y += 130;
        if (cheque.chk(Switch::GuidesCloseIn) != 0)
            y -= 65;
    }
    const bool bodyWithStub = field < kBodyFieldCount && cheque.stubVisible();
    return {10 - page.x + (bodyWithStub ? page.s : 0), y};
}

PositionTable fieldPositions(const PrintFormat& format, const Cheque& cheque) {
    PositionTable table;
    for (int i = 0; i < kPrintableFieldCount; ++i) {
        const QPointF origin = fieldOrigin(format.page, cheque, i);
        const FieldPosition& stored = format.fields[size_t(i)];
        table[size_t(i)] = {origin.x() + stored.x, origin.y() + stored.y, stored.s};
    }
    return table;
}
