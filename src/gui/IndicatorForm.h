#pragma once

#include <memory>

#include <QWidget>

#include "ProgressIndicator.h"

namespace Ui {
class IndicatorForm;
}

// The progress window: a small, centred, always-on-top window with the caption, a blue bar
// that grows from the left, the percentage, the step count and the time estimate.
class IndicatorForm final : public QWidget, public ProgressDisplay {
    Q_OBJECT

public:
    explicit IndicatorForm(QWidget* parent = nullptr);
    ~IndicatorForm() override;

    void showProgress(const ProgressState& state) override;
    void updateProgress(const ProgressState& state) override;
    void closeProgress() override;

private:
    std::unique_ptr<Ui::IndicatorForm> m_ui;
};
