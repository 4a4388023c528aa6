#pragma once

#include <optional>

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

// How a printer misplaces what it prints, on each axis of the paper: it puts a point meant at
// p (mm from the paper's edge) at scale × p + offset. Fitted from a sheet of marks the cashier
// measured with a ruler.
struct AxisFit {
    double scale = 1;
    double offset = 0;  // mm
};

struct PrinterFit {
    AxisFit across;  // from the paper's left edge
    AxisFit down;    // from the paper's top edge

    // Where to send a point so that it lands where it is meant: (intended − offset) / scale on
    // each axis.
    QPointF corrected(QPointF intended) const;
};

// What came of the measurements.
struct FitOutcome {
    enum class Verdict {
        Good,     // stored as it is
        Scaling,  // the page is scaled by 2 % or more: stored only if the cashier insists
        Refused,  // nothing stored
    };
    Verdict verdict = Verdict::Refused;
    std::optional<PrinterFit> fit;  // none when the measurements disagree
    QList<QPointF> residuals;       // each mark's measured less fitted place (mm)
    QString message;                // why it is refused or warned about; empty when good
};

// Fits each axis separately by least squares, measured = scale × intended + offset, over the
// marks' intended and measured places (the same count, at least two, not all at one place on an
// axis). A residual over 1 mm means a misread mark or a sheet laid askew; a scale off by more
// than 5 % or an offset over 20 mm is no printer's error but a wrong setting or measurement.
FitOutcome fitPrinter(const QList<QPointF>& intended, const QList<QPointF>& measured);

// Whether a fit is one that may be stored: scaled by 5 % at most, offset by 20 mm at most.
bool acceptableFit(const PrinterFit& fit);

// A length in mm with its sign and two decimals: "+1.50", "−2.00".
QString signedMillimetres(double mm);

// What the cashier reads of a fit: the scale and offset of each axis, then each mark's residual
// (the marks named A, B, C...).
QStringList fitReport(const FitOutcome& outcome);
// What the cashier reads of a check sheet: how far each mark lies from where it is meant, and
// whether the farthest lies within 0.5 mm.
QStringList checkReport(const QList<QPointF>& intended, const QList<QPointF>& measured);

// The marks' measured places as typed: "A=x,y B=x,y ..." in mm, for marks A to the count
// given, each once, in any order; none (with the reason) when it is not.
std::optional<QList<QPointF>> parseMeasuredMarks(const QString& text, int count, QString* why);
