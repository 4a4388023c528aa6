#pragma once

#include <array>
#include <optional>
#include <span>

#include <QPointF>
#include <QString>
#include <QStringView>

#include "ChequeFields.h"
#include "DocumentKind.h"
#include "PrintFormat.h"

class Document;
struct DocumentKind;
class PrintSurface;

// Every field's printer position (mm), by the kind's position index.
using PositionTable = std::array<FieldPosition, kMaxKindFields>;

// Left edges (mm) of the boxes of a field written one character to a box (the amount in
// figures), one a box; empty for a field without boxes. Only the differences between neighbours
// matter.
std::span<const double> figureBoxColumns(const DocumentKind& kind, int field);

// Paper size (kept on a printer whose name begins with "OKI"; A3 for a crosswise cheque with
// its stub, falling back to A4; A4 otherwise) and orientation (landscape for lengthwise
// feeding). The back has no stub beside it: never A3. False when even A4 is refused.
bool SetupChequePage(PrintSurface& surface, const Document& cheque,
                     PartSide side = PartSide::Front);

// Where a field's format position (0, 0), the top-left corner of its part of the cheque, lands
// on the printer: 10 - H across (+ the stub width for a front field off the stub when the stub
// is printed; a back is printed with the stub torn off),
// 10 - V down (+ the A4 width less the body's height lengthwise, 210 - 80 = 130 mm for the
// cheque; half of that back with the paper guides closing in).
QPointF fieldOrigin(const PageSettings& page, const Document& cheque, int field);

// Where the printer's origin lies on the paper as the format's margins measured it: the
// calibration square, drawn 10 mm from the origin, lay H across and V down from the edges.
inline QPointF paperOrigin(const PageSettings& page) {
    return {page.x - 10, page.y - 10};
}

// Every field's printer position from the format and the cheque's feed switches:
// X = format X + 10 - H (+ stub width for a body field when the stub is printed),
// Y = format Y + 10 - V (+130 lengthwise, -65 more with the paper guides closing in),
// S = format S.
PositionTable fieldPositions(const PrintFormat& format, const Document& cheque);
