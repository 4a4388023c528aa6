#include "FitSheet.h"

#include "PrintSurface.h"

using namespace Qt::StringLiterals;

namespace {

constexpr double kInset = 20;       // mm from each edge to a mark
constexpr double kArm = 6;          // mm from a crosshair's centre to the end of each arm
constexpr double kLine = 0.2;       // mm, the width of every line
constexpr double kRuler = 100;      // mm
constexpr double kRulerGap = 25;    // mm from A to each ruler
constexpr double kLongTick = 3;     // mm, every 10 mm
constexpr double kShortTick = 1.5;  // mm, every 5 mm

// Draws in paper coordinates.
struct SheetPen {
    PrintSurface& surface;
    QPointF origin;

    void box(double x1, double y1, double x2, double y2) const {
        surface.fillBox(x1 - origin.x(), y1 - origin.y(), x2 - origin.x(), y2 - origin.y(), 0);
    }
    void across(double x1, double x2, double y) const { box(x1, y - kLine / 2, x2, y + kLine / 2); }
    void down(double x, double y1, double y2) const { box(x - kLine / 2, y1, x + kLine / 2, y2); }
    void text(double x, double y, const QString& words, double size) const {
        surface.setFont(TextFont{.size = size});
        surface.drawText(x - origin.x(), y - origin.y(), words);
    }
};

}  // namespace

QSizeF fitSheetPaper(bool landscape) {
    return landscape ? QSizeF(297, 210) : QSizeF(210, 297);
}

QList<QPointF> fitSheetMarks(bool landscape) {
    const QSizeF paper = fitSheetPaper(landscape);
    const double right = paper.width() - kInset;
    const double bottom = paper.height() - kInset;
    return {{kInset, kInset}, {right, kInset}, {kInset, bottom}, {right, bottom}};
}

bool drawFitSheet(PrintSurface& surface, bool landscape, QPointF paperOrigin,
                  const QString& heading) {
    if (!surface.setPaperSize(PaperSize::A4))
        return false;
    surface.setLandscape(landscape);
    const SheetPen pen{surface, paperOrigin};
    const QList<QPointF> marks = fitSheetMarks(landscape);
    for (qsizetype k = 0; k < marks.size(); ++k) {
        const QPointF m = marks[k];
        pen.across(m.x() - kArm, m.x() + kArm, m.y());
        pen.down(m.x(), m.y() - kArm, m.y() + kArm);
        // The letter lies inwards of its mark, clear of the paper's edges.
        const double dx = m.x() < fitSheetPaper(landscape).width() / 2 ? 2 : -6;
        const double dy = m.y() < fitSheetPaper(landscape).height() / 2 ? 2 : -7;
        pen.text(m.x() + dx, m.y() + dy, QString(QChar(u'A' + int(k))), 12);
    }
    // The rulers start 25 mm right of and below A, so that neither crosses a crosshair.
    const QPointF a = marks.front();
    const double rulerY = a.y() + kRulerGap;
    const double rulerX = a.x() + kRulerGap;
    pen.across(a.x(), a.x() + kRuler, rulerY);
    pen.down(rulerX, rulerY + 10, rulerY + 10 + kRuler);
    for (int mm = 0; mm <= kRuler; mm += 5) {
        const double tick = mm % 10 == 0 ? kLongTick : kShortTick;
        pen.down(a.x() + mm, rulerY - tick, rulerY);
        pen.across(rulerX - tick, rulerX, rulerY + 10 + mm);
    }
    pen.text(a.x() + kRuler + 3, rulerY - 2.5, u"100 毫米"_s, 9);
    pen.text(rulerX + 3, rulerY + 10 + kRuler - 2, u"100 毫米"_s, 9);

    const double textX = rulerX + 15;
    double y = rulerY + 10;
    for (const QString& line : {heading, u"请用直尺量出每个十字中心距纸张左边和上边的距离"_s,
                                u"（毫米，精确到0.5毫米），填入“精确校准”窗口。"_s,
                                u"两条刻度线各长100毫米，可用来核对直尺。"_s,
                                u"打印时不要选择“适合页面”或任何缩放。"_s}) {
        pen.text(textX, y, line, line == heading ? 14 : 10);
        y += line == heading ? 10 : 6;
    }
    return surface.ok() && surface.endDocument();
}
