#pragma once

#include <QFrame>

// The bar of the progress window: a sunken white panel that fills with blue from the left.
class IndicatorBar final : public QFrame {
public:
    explicit IndicatorBar(QWidget* parent = nullptr);

    // The part covered, from 0 to 1.
    void setCovered(double covered);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_covered = 0.0;
};
