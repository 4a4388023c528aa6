#pragma once

#include <QDateTime>
#include <QString>

class Clock;

// What the progress window shows.
struct ProgressState {
    QString caption = QStringLiteral("进度条指示器");  // LBL
    QString percent = QStringLiteral("0%");            // Percent
    QString counts;                                    // L1
    QString times;                                     // L2
    double bar = 0.0;  // covered part of Pic, 0..1; it only grows until the next start
    bool shown = false;
};

// Where the progress is shown. Each call lets pending window events run afterwards.
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void showProgress(const ProgressState& state) = 0;
    virtual void updateProgress(const ProgressState& state) = 0;
    virtual void closeProgress() = 0;
};

// The time as hours:minutes:seconds with leading zero fields dropped: 0 -> 0:0, 75 -> 1:15,
// 3725 -> 1:2:5. From 60 hours on, the hours field keeps counting (75:0:0).
QString FormatElapsed(qint64 seconds);

// Progress of one long operation at a time: the caller says how many steps the work has,
// then reports each step. Works without a display, for the command line and tests.
class ProgressIndicator final {
public:
    explicit ProgressIndicator(const Clock& clock, ProgressDisplay* display = nullptr)
        : m_clock(clock), m_display(display) {}

    void StartProgress(const QString& caption, qint32 total);
    void StepProgress(qint32 steps, const QString& unit);
    void DrawProgress(qint32 done);
    void EndProgress();

    const ProgressState& state() const { return m_state; }
    qint32 done() const { return m_done; }

private:
    void refresh();

    const Clock& m_clock;
    ProgressDisplay* m_display;
    ProgressState m_state;
    qint32 m_total = 1;
    qint32 m_done = 0;
    qint64 m_thousandths = -1;
    ProgressState m_displayed;  // what the display shows now
    QDateTime m_start;
};
