#include "IndicatorForm.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>

#include "CentreOnScreen.h"

class IndicatorForm::Bar final : public QFrame {
public:
    explicit Bar(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setMinimumSize(300, 20);
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::white);
        setPalette(p);
    }
    void setCovered(double covered) {
        m_covered = covered;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        const QRectF inside = contentsRect();
        painter.fillRect(
            QRectF(inside.topLeft(), QSizeF(m_covered * inside.width(), inside.height())),
            QColor(0, 0, 255));
    }

private:
    double m_covered = 0.0;
};

IndicatorForm::IndicatorForm(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint),
      m_lbl(new QLabel(this)),
      m_pic(new Bar(this)),
      m_percent(new QLabel(this)),
      m_l1(new QLabel(this)),
      m_l2(new QLabel(this)) {
    setObjectName(QStringLiteral("Indicator"));
    m_lbl->setObjectName(QStringLiteral("LBL"));
    m_pic->setObjectName(QStringLiteral("Pic"));
    m_percent->setObjectName(QStringLiteral("Percent"));
    m_l1->setObjectName(QStringLiteral("L1"));
    m_l2->setObjectName(QStringLiteral("L2"));
    setWindowTitle(QStringLiteral("请稍侯 …"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_lbl, 0, 0, 1, 3);
    layout->addWidget(m_pic, 1, 0, 1, 2);
    layout->addWidget(m_percent, 1, 2);
    layout->addWidget(m_l1, 2, 0);
    layout->addWidget(m_l2, 2, 1, 1, 2, Qt::AlignRight);
    m_percent->setMinimumWidth(
        m_percent->fontMetrics().horizontalAdvance(QStringLiteral("100.0%")));
    updateProgress(ProgressState{});
    adjustSize();
}

void IndicatorForm::showProgress(const ProgressState& state) {
    updateProgress(state);
    if (!isVisible()) {
        adjustSize();
        show();
        // Centred with its frame, which is only known once the window is shown.
        centreOnScreen(*this);
    }
    QApplication::processEvents();
}

void IndicatorForm::updateProgress(const ProgressState& state) {
    m_lbl->setText(state.caption);
    m_percent->setText(state.percent);
    m_l1->setText(state.counts);
    m_l2->setText(state.times);
    m_pic->setCovered(state.bar);
    QApplication::processEvents();
}

void IndicatorForm::closeProgress() {
    hide();
    QApplication::processEvents();
}
