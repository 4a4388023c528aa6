#include "ChequePrinter.h"

#include "Cheque.h"
#include "PrintLayout.h"
#include "PrintSurface.h"
#include "Prompts.h"
#include "TextCharacters.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView kYen = u"￥";
constexpr double kAdditionalLineWidth = 40;  // mm
constexpr double kAdditionalLineStep = 5;    // mm

// The amount in figures without its point, blanks in front up to the eleven boxes.
QString boxedAmount(const QString& figures) {
    QString digits = figures;
    digits.remove(u'.');
    const qsizetype count = characterCount(digits);
    if (count < 11)
        digits.prepend(QString(11 - count, u' '));
    return digits;
}

}  // namespace

bool DrawChequeFields(PrintSurface& surface, const Cheque& cheque, const PrintFormat& format) {
    return SetupChequePage(surface, cheque) && drawChequePage(surface, cheque, format) &&
           surface.endDocument();
}

bool drawChequePage(PrintSurface& surface, const Cheque& cheque, const PrintFormat& format) {
    const PositionTable positions = fieldPositions(format, cheque);
    const std::array<double, 11>& columns = figureBoxColumns();

    if (cheque.stubVisible()) {
        for (int j = 0; j < kStubFieldCount; ++j) {
            const int field = stubField(j);
            const FieldPosition& at = positions[size_t(field)];
            surface.beginField(field);
            surface.setFont(cheque.font(field));
            if (field != Field::AdditionalInfo) {
                PrintSpaced(surface, at.x, at.y, cheque.text(field), at.s, columns, false);
                continue;
            }
            QString remaining = cheque.text(field);
            remaining.remove(u' ');
            for (double y = at.y; !remaining.isEmpty() && surface.ok(); y += kAdditionalLineStep) {
                const QString line = takeLine(surface, remaining, kAdditionalLineWidth);
                PrintSpaced(surface, at.x, y, line, at.s, columns, false);
            }
        }
    }
    for (int i = 0; i < kBodyFieldCount; ++i) {
        const FieldPosition& at = positions[size_t(i)];
        surface.beginField(i);
        surface.setFont(cheque.font(i));
        if (cheque.suppressed(i))
            continue;
        if (i == Field::Amount)
            PrintSpaced(surface, at.x, at.y, boxedAmount(cheque.text(i)), at.s, columns, true);
        else
            PrintSpaced(surface, at.x, at.y, cheque.text(i), at.s, columns, false);
    }
    return surface.ok();
}

void PrintSpaced(PrintSurface& surface, double x, double y, const QString& text, double spacing,
                 const std::array<double, 11>& columns, bool boxed) {
    const QList<QStringView> characters = textCharacters(text);
    for (qsizetype i = 1; i <= characters.size() && surface.ok(); ++i) {
        const QString c = characters[i - 1].toString();
        const double drawX = c == kYen ? x - surface.textWidth(kYen.toString()) / 4 : x;
        surface.drawText(drawX, y, c);
        if (boxed) {
            x += spacing;
            if (i <= 10)
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

bool PrintCheque(PrintSurface& surface, const Cheque& cheque, const PrintFormat& format,
                 Prompts& prompts) {
    if (DrawChequeFields(surface, cheque, format))
        return true;
    surface.abandonDocument();
    prompts.message(u"打印错误，请检查打印机！"_s, {}, PromptButtons::Ok);
    return false;
}
