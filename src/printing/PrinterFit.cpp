#include "PrinterFit.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double kMostResidual = 1;      // mm
constexpr double kScalingWarned = 0.02;  // the driver fits the page to the paper
constexpr double kMostScaling = 0.05;
constexpr double kMostOffset = 20;  // mm

// The least-squares line through (x[k], y[k]); none when every x is the same.
std::optional<AxisFit> fitAxis(const QList<double>& x, const QList<double>& y) {
    const auto n = double(x.size());
    double sx = 0;
    double sy = 0;
    for (qsizetype k = 0; k < x.size(); ++k) {
        sx += x[k];
        sy += y[k];
    }
    const double mx = sx / n;
    const double my = sy / n;
    double sxx = 0;
    double sxy = 0;
    for (qsizetype k = 0; k < x.size(); ++k) {
        sxx += (x[k] - mx) * (x[k] - mx);
        sxy += (x[k] - mx) * (y[k] - my);
    }
    if (sxx < 1e-9)
        return std::nullopt;
    const double scale = sxy / sxx;
    return AxisFit{scale, my - scale * mx};
}

}  // namespace

QPointF PrinterFit::corrected(QPointF intended) const {
    return {(intended.x() - across.offset) / across.scale,
            (intended.y() - down.offset) / down.scale};
}

FitOutcome fitPrinter(const QList<QPointF>& intended, const QList<QPointF>& measured) {
    FitOutcome outcome;
    const QString remeasure = u"测量数据不一致，请重新测量（纸张可能放歪了）"_s;
    if (intended.size() != measured.size() || intended.size() < 2) {
        outcome.message = remeasure;
        return outcome;
    }
    QList<double> ix, iy, mx, my;
    for (qsizetype k = 0; k < intended.size(); ++k) {
        ix << intended[k].x();
        iy << intended[k].y();
        mx << measured[k].x();
        my << measured[k].y();
    }
    const std::optional<AxisFit> across = fitAxis(ix, mx);
    const std::optional<AxisFit> down = fitAxis(iy, my);
    // A scale of nothing or less is no printer's: the marks were read wrong.
    if (!across || !down || across->scale <= 0 || down->scale <= 0) {
        outcome.message = remeasure;
        return outcome;
    }
    const PrinterFit fit{*across, *down};
    bool agree = true;
    for (qsizetype k = 0; k < intended.size(); ++k) {
        const QPointF fitted(across->scale * ix[k] + across->offset,
                             down->scale * iy[k] + down->offset);
        const QPointF residual = measured[k] - fitted;
        outcome.residuals << residual;
        agree = agree && std::abs(residual.x()) <= kMostResidual &&
                std::abs(residual.y()) <= kMostResidual;
    }
    if (!agree) {
        outcome.message = remeasure;
        return outcome;
    }
    outcome.fit = fit;
    const double scaling = std::max(std::abs(across->scale - 1), std::abs(down->scale - 1));
    const double offset = std::max(std::abs(across->offset), std::abs(down->offset));
    if (scaling > kMostScaling || offset > kMostOffset) {
        outcome.message = u"打印机的缩放或偏移过大，不能校准：请检查打印机设置和测量数据"_s;
    } else if (scaling >= kScalingWarned) {
        outcome.verdict = FitOutcome::Verdict::Scaling;
        outcome.message =
            u"打印机或其驱动程序正在缩放页面。"
            u"请在打印机设置中关闭‘适合页面/缩放’后重新校准"_s;
    } else {
        outcome.verdict = FitOutcome::Verdict::Good;
    }
    return outcome;
}
