#include "ChequePrinter.h"

#include "ChequeGeometry.h"
#include "Document.h"
#include "PrintLayout.h"
#include "PrintSurface.h"
#include "Prompts.h"
#include "TextCharacters.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView kYen = u"￥";
constexpr double kAdditionalLineWidth = 40;  // mm
constexpr double kAdditionalLineStep = 5;    // mm

}  // namespace

QString boxedAmount(const QString& figures, qsizetype boxes) {
    QString digits = figures;
    digits.remove(u'.');
    const qsizetype count = characterCount(digits);
    if (count < boxes)
        digits.prepend(QString(boxes - count, u' '));
    return digits;
}

bool drawChequeFields(PrintSurface& surface, const Document& cheque, const PrintFormat& format,
                      PartSide side) {
    return SetupChequePage(surface, cheque, side) &&
           drawChequePage(surface, cheque, format, side) && surface.endDocument();
}

bool drawChequePage(PrintSurface& surface, const Document& cheque, const PrintFormat& format,
                    PartSide side) {
    const PositionTable positions = fieldPositions(format, cheque);

    // The stub first, then the body.
    auto draw = [&](int field) {
        const FieldPosition& at = positions[size_t(field)];
        surface.beginField(field);
        surface.setFont(cheque.font(field));
        if (cheque.suppressed(field))
            return;
        const QString text = cheque.printedText(field);
        switch (cheque.kind().fields[size_t(field)].drawing) {
            case FieldDrawing::Line:
                PrintSpaced(surface, at.x, at.y, text, at.s, {}, false);
                break;
            case FieldDrawing::Boxes: {
                const std::span<const double> columns = figureBoxColumns(cheque.kind(), field);
                PrintSpaced(surface, at.x, at.y, boxedAmount(text, qsizetype(columns.size())), at.s,
                            columns, true);
                break;
            }
            case FieldDrawing::Lines: {
                QString remaining = text;
                remaining.remove(u' ');
                for (double y = at.y; !remaining.isEmpty() && surface.ok();
                     y += kAdditionalLineStep) {
                    const QString line = takeLine(surface, remaining, kAdditionalLineWidth);
                    PrintSpaced(surface, at.x, y, line, at.s, {}, false);
                }
                break;
            }
        }
    };
    const DocumentKind& kind = cheque.kind();
    const int fields = int(kind.fields.size());
    auto onStub = [&](int field) { return partOf(kind, field) == kStubPart; };
    auto onSide = [&](int field) { return sideOf(kind, field) == side; };
    if (cheque.stubVisible())
        for (int i = 0; i < fields; ++i)
            if (onStub(i) && onSide(i))
                draw(i);
    for (int i = 0; i < fields; ++i)
        if (!onStub(i) && onSide(i))
            draw(i);
    return surface.ok();
}

void PrintSpaced(PrintSurface& surface, double x, double y, const QString& text, double spacing,
                 std::span<const double> columns, bool boxed) {
    const QList<QStringView> characters = textCharacters(text);
    for (qsizetype i = 1; i <= characters.size() && surface.ok(); ++i) {
        const QString c = characters[i - 1].toString();
        const double drawX = c == kYen ? x - surface.textWidth(kYen.toString()) / 4 : x;
        surface.drawText(drawX, y, c);
        if (boxed) {
            x += spacing;
            if (size_t(i) < columns.size())
                x += columns[size_t(i)] - columns[size_t(i - 1)];
        } else {
            x += surface.textWidth(c) + spacing;
        }
    }
}

QString takeLine(PrintSurface& surface, QString& remaining, double width) {
    const QList<QStringView> characters = textCharacters(remaining);
    // The first character always goes, so that every line makes progress.
    qsizetype taken = characters.isEmpty() ? 0 : 1;
    qsizetype end = taken > 0 ? characters.front().size() : 0;  // UTF-16 units
    while (taken < characters.size() && surface.textWidth(remaining.first(end)) <= width)
        end += characters[taken++].size();
    if (taken > 1 && surface.textWidth(remaining.first(end)) > width)
        end -= characters[--taken].size();
    const QString line = remaining.first(end);
    remaining.remove(0, end);
    return line;
}

bool PrintCheque(PrintSurface& surface, const Document& cheque, const PrintFormat& format,
                 Prompts& prompts) {
    if (drawChequeFields(surface, cheque, format))
        return true;
    surface.abandonDocument();
    prompts.message(u"打印错误，请检查打印机！"_s, {}, PromptButtons::Ok);
    return false;
}
