#include "PrintLayout.h"

#include "Cheque.h"
#include "ChequeGeometry.h"
#include "Database.h"
#include "FormatStore.h"
#include "PrintSurface.h"

using namespace Qt::StringLiterals;

const std::array<double, 11>& figureBoxColumns() {
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

std::optional<PositionTable> LoadFieldPositions(Database& db, const QString& format, Cheque& cheque,
                                                FormatDisplays& displays) {
    const std::optional<PageSettings> settings = LoadPageSettings(db, format, cheque, displays);
    if (!settings)
        return std::nullopt;
    PositionTable table;
    for (int i = 0; i < kPrintableFieldCount; ++i) {
        const QPointF origin = fieldOrigin(*settings, cheque, i);
        table[size_t(i)] = {origin.x(), origin.y(), 0};
    }
    std::optional<QSqlQuery> rows =
        db.select(u"SELECT X,Y,S,CtlDF FROM 支票格式 WHERE Name=? AND CtlDF<>''"_s, {format});
    if (!rows)
        return std::nullopt;
    while (rows->next()) {
        const int index = FieldIndexOf(rows->value(3).toString());
        if (index < 0)
            continue;
        FieldPosition& position = table[size_t(index)];
        position.x += rows->value(0).toDouble();
        position.y += rows->value(1).toDouble();
        position.s += rows->value(2).toDouble();
    }
    return table;
}

int FieldIndexOf(QStringView identifier) {
    return fieldIndexByIdentifier(identifier);
}
