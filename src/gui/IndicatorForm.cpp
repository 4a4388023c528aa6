#include "IndicatorForm.h"

#include <QApplication>

#include "WindowFit.h"
#include "ui_IndicatorForm.h"

IndicatorForm::IndicatorForm(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint),
      m_ui(std::make_unique<Ui::IndicatorForm>()) {
    m_ui->setupUi(this);
    // It shows how far a task is and takes no key: the window the cashier works in keeps them.
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_ui->Percent->setMinimumWidth(
        m_ui->Percent->fontMetrics().horizontalAdvance(QStringLiteral("100.0%")));
    updateProgress(ProgressState{});
    adjustSize();
    fitOnScreen(*this);
}

IndicatorForm::~IndicatorForm() = default;

void IndicatorForm::showProgress(const ProgressState& state) {
    updateProgress(state);
    if (!isVisible()) {
        adjustSize();
        show();  // centred on the screen as it is shown
    }
    QApplication::processEvents();
}

void IndicatorForm::updateProgress(const ProgressState& state) {
    m_ui->LBL->setText(state.caption);  // the caption
    m_ui->Percent->setText(state.percent);
    m_ui->L1->setText(state.counts);  // the steps done and the total
    m_ui->L2->setText(state.times);   // elapsed, remaining and total time
    m_ui->Pic->setCovered(state.bar);
    QApplication::processEvents();
}

void IndicatorForm::closeProgress() {
    hide();
    QApplication::processEvents();
}
