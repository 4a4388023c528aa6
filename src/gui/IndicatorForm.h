#pragma once

#include <QWidget>

#include "ProgressIndicator.h"

class QLabel;

// The progress window: a small, centred, always-on-top window with the caption, a blue bar
// that grows from the left, the percentage, the step count and the time estimate.
class IndicatorForm final : public QWidget, public ProgressDisplay {
    Q_OBJECT

public:
    explicit IndicatorForm(QWidget* parent = nullptr);

    void showProgress(const ProgressState& state) override;
    void updateProgress(const ProgressState& state) override;
    void closeProgress() override;

private:
    class Bar;
    QLabel* m_lbl;      // LBL
    Bar* m_pic;         // Pic
    QLabel* m_percent;  // Percent
    QLabel* m_l1;       // L1
    QLabel* m_l2;       // L2
};
