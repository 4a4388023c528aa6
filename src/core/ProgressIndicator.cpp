#include "ProgressIndicator.h"

#include <algorithm>
#include <cmath>

#include "Clock.h"
#include "NumberText.h"

namespace {

QDateTime toWholeSecond(QDateTime time) {
    const QTime t = time.time();
    time.setTime(QTime(t.hour(), t.minute(), t.second()));
    return time;
}

}  // namespace

QString FormatElapsed(qint64 seconds) {
    qint64 fourth = 0, hours = 0, minutes = 0, secs = 0;
    if (seconds > 0) {
        secs = seconds % 60;
        const qint64 m = seconds / 60;
        minutes = m % 60;
        hours = m / 60;  // not wrapped at 60: a long export shows its true hours
    }
    QString text = QStringLiteral("%1:%2:%3:%4").arg(fourth).arg(hours).arg(minutes).arg(secs);
    for (int i = 0; i < 2 && text.startsWith(u"0:"); ++i)
        text.remove(0, 2);
    return text;
}

void ProgressIndicator::StartProgress(const QString& caption, qint32 total) {
    if (!m_state.shown)
        m_state = ProgressState{};  // a freshly loaded window
    m_state.caption = caption;
    m_total = std::max<qint32>(total, 1);
    m_state.bar = 0.0;
    m_done = 0;
    m_thousandths = -1;  // a new run writes its percentage afresh
    m_state.shown = true;
    if (m_display)
        m_display->showProgress(m_state);
    m_start = toWholeSecond(m_clock.now());
}

void ProgressIndicator::StepProgress(qint32 steps, const QString& unit) {
    const qint64 done = qint64(m_done) + steps;
    // Cut down to whole thousandths in integers, so that 3 of 10 is exactly 0.3.
    const qint64 thousandths = qint64(std::floor(double(done) * 1000.0 / double(m_total)));
    const double fraction = double(thousandths) / 1000.0;
    if (thousandths != m_thousandths) {  // the text only changes with the thousandths
        m_thousandths = thousandths;
        m_state.percent = numberText(double(thousandths) / 10.0) + u'%';
    }
    if (!unit.isEmpty()) {
        if (unit.toLower() != u"pages") {
            m_state.caption = unit;
        } else if (fraction >= 0.001) {
            const qint64 elapsed = m_start.secsTo(toWholeSecond(m_clock.now()));
            const auto totalTime = qint64(std::nearbyint(double(elapsed) / fraction));
            m_state.times = FormatElapsed(elapsed) + u'/' + FormatElapsed(totalTime - elapsed) +
                            u'/' + FormatElapsed(totalTime);
            m_state.counts = QStringLiteral("(%1/%2)").arg(done).arg(m_total);
        }
    }
    DrawProgress(qint32(std::clamp<qint64>(done, INT32_MIN, INT32_MAX)));
}

void ProgressIndicator::DrawProgress(qint32 done) {
    m_done = done;
    const double covered = std::clamp(double(done) / double(m_total), 0.0, 1.0);
    m_state.bar = std::max(m_state.bar, covered);
    refresh();
}

void ProgressIndicator::EndProgress() {
    if (!m_state.shown)
        return;
    m_state.shown = false;
    if (m_display)
        m_display->closeProgress();
}

void ProgressIndicator::refresh() {
    if (m_display && m_state.shown)
        m_display->updateProgress(m_state);
}
