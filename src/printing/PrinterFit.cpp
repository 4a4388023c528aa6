#include "PrinterFit.h"

#include <algorithm>
#include <cmath>

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

constexpr double kMostResidual = 1;      // mm
constexpr double kScalingWarned = 0.02;  // the driver fits the page to the paper
constexpr double kMostScaling = 0.05;
constexpr double kMostOffset = 20;  // mm
constexpr double kCheckGoal = 0.5;  // mm

QChar markName(qsizetype k) {
    return QChar(u'A' + int(k));
}

QString axesLine(QChar mark, const QString& what, QPointF d) {
    return u"%1：%2左右 %3 毫米，上下 %4 毫米"_s.arg(mark).arg(what, signedMillimetres(d.x()),
                                                               signedMillimetres(d.y()));
}

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

QString signedMillimetres(double mm) {
    // −0.00 reads as 0.00.
    const double shown = std::abs(mm) < 0.005 ? 0 : mm;
    return (shown < 0 ? u"−"_s : u"+"_s) + QString::number(std::abs(shown), 'f', 2);
}

bool acceptableFit(const PrinterFit& fit) {
    const double scaling = std::max(std::abs(fit.across.scale - 1), std::abs(fit.down.scale - 1));
    const double offset = std::max(std::abs(fit.across.offset), std::abs(fit.down.offset));
    return scaling <= kMostScaling && offset <= kMostOffset;
}

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
    if (!acceptableFit(fit)) {
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

QStringList fitReport(const FitOutcome& outcome) {
    QStringList lines;
    if (outcome.fit) {
        const auto axis = [](const QString& name, const AxisFit& a) {
            return u"%1：缩放 %2%，偏移 %3 毫米"_s.arg(name, QString::number(a.scale * 100, 'f', 2),
                                                       signedMillimetres(a.offset));
        };
        lines << axis(u"左右"_s, outcome.fit->across) << axis(u"上下"_s, outcome.fit->down);
    }
    for (qsizetype k = 0; k < outcome.residuals.size(); ++k)
        lines << axesLine(markName(k), u"残差 "_s, outcome.residuals[k]);
    if (!outcome.message.isEmpty())
        lines << outcome.message;
    return lines;
}

QStringList checkReport(const QList<QPointF>& intended, const QList<QPointF>& measured) {
    QStringList lines;
    double farthest = 0;
    for (qsizetype k = 0; k < intended.size() && k < measured.size(); ++k) {
        const QPointF d = measured[k] - intended[k];
        farthest = std::max({farthest, std::abs(d.x()), std::abs(d.y())});
        lines << axesLine(markName(k), u"偏离 "_s, d);
    }
    const QString most = QString::number(farthest, 'f', 2);
    lines << (farthest <= kCheckGoal ? u"最大偏离 %1 毫米，不超过 0.5 毫米：校准有效"_s.arg(most)
                                     : u"最大偏离 %1 毫米，超过 0.5 毫米：请重新校准"_s.arg(most));
    return lines;
}

std::optional<QList<QPointF>> parseMeasuredMarks(const QString& text, int count, QString* why) {
    QList<std::optional<QPointF>> marks(count);
    for (const QString& part : text.split(QRegularExpression(u"[\\s;；]+"_s), Qt::SkipEmptyParts)) {
        const QStringList sides = part.split(u'=');
        const QStringList numbers = sides.value(1).split(QRegularExpression(u"[,，]"_s));
        const qsizetype k = sides.size() == 2 && sides[0].size() == 1
                                ? sides[0].toUpper().front().unicode() - u'A'
                                : -1;
        bool xOk = false;
        bool yOk = false;
        const double x = numbers.value(0).trimmed().toDouble(&xOk);
        const double y = numbers.value(1).trimmed().toDouble(&yOk);
        if (k < 0 || k >= count || numbers.size() != 2 || !xOk || !yOk || !std::isfinite(x) ||
            !std::isfinite(y)) {
            *why = u"测量数据“%1”应写作“A=距左边,距上边”（毫米）"_s.arg(part);
            return std::nullopt;
        }
        if (marks[k]) {
            *why = u"标记%1的测量数据给了两次"_s.arg(markName(k));
            return std::nullopt;
        }
        marks[k] = QPointF(x, y);
    }
    QList<QPointF> measured;
    for (qsizetype k = 0; k < count; ++k) {
        if (!marks[k]) {
            *why = u"缺少标记%1的测量数据"_s.arg(markName(k));
            return std::nullopt;
        }
        measured << *marks[k];
    }
    return measured;
}
