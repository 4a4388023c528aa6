#include "PrinterFitDialog.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>

#include "FitSheet.h"
#include "PrinterAccess.h"
#include "PrinterFit.h"
#include "PrinterFitStore.h"
#include "Prompts.h"
#include "WindowFit.h"
#include "ui_PrinterFitDialog.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView kTitle = u"精确校准";

}  // namespace

PrinterFitDialog::PrinterFitDialog(QSettings& settings, PrinterAccess& printers, Prompts& prompts,
                                   bool landscape, std::function<bool(QWidget*, bool)> printSheet,
                                   QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::PrinterFitDialog>()),
      m_settings(settings),
      m_printers(printers),
      m_prompts(prompts),
      m_landscape(landscape),
      m_printSheet(std::move(printSheet)) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // The marks' boxes lie as the marks on the sheet: A and B above, C and D below.
    const QList<QPointF> marks = fitSheetMarks(m_landscape);
    for (int k = 0; k < int(marks.size()); ++k) {
        auto* mark = new QWidget(m_ui->sheet);
        auto* row = new QHBoxLayout(mark);
        row->setContentsMargins(0, 0, 0, 0);
        const QString name(QChar(u'A' + k));
        auto* label = new QLabel(name + u"  "_s, mark);
        row->addWidget(label);
        for (const bool fromTop : {false, true}) {
            auto* caption = new QLabel(fromTop ? u"距上边"_s : u"距左边"_s, mark);
            auto* box = new QDoubleSpinBox(mark);
            box->setRange(0, 500);
            box->setDecimals(1);
            box->setSingleStep(0.5);
            box->setSpecialValueText(u" "_s);  // 0: not measured yet
            box->setAccessibleName(u"标记%1%2"_s.arg(name, caption->text()));
            box->setToolTip(u"应在 %1 毫米"_s.arg(fromTop ? marks[k].y() : marks[k].x()));
            caption->setBuddy(box);
            row->addWidget(caption);
            row->addWidget(box);
            m_boxes << box;
        }
        row->addStretch();
        const bool right = k % 2 == 1;
        m_ui->marks->addWidget(mark, k / 2 * 2, right ? 2 : 0);
    }
    // A gap between the columns and the rows, as on the paper.
    m_ui->marks->setColumnMinimumWidth(1, 24);
    m_ui->marks->setColumnStretch(1, 1);
    m_ui->marks->setRowMinimumHeight(1, 30);
    m_ui->sheet->setTitle(m_ui->sheet->title() + u"　"_s + orientationName(m_landscape));

    // By keyboard the marks come between the sheet's buttons and the fit's, in the sheet's
    // order. Enter goes on to the next box, as Tab does, and presses only the button it is on:
    // a half-typed sheet is never fitted nor a sheet printed by the dialog's default button.
    QWidget* previous = m_ui->reset;
    for (QWidget* next : QList<QWidget*>(m_boxes.begin(), m_boxes.end()) +
                             QList<QWidget*>{m_ui->fit, m_ui->check, m_ui->close}) {
        setTabOrder(previous, next);
        previous = next;
    }
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);

    connect(m_ui->printSheet, &QPushButton::clicked, this, [this] { this->printSheet(false); });
    connect(m_ui->printCheck, &QPushButton::clicked, this, [this] { this->printSheet(true); });
    connect(m_ui->reset, &QPushButton::clicked, this, &PrinterFitDialog::forget);
    connect(m_ui->fit, &QPushButton::clicked, this, &PrinterFitDialog::fitAndKeep);
    connect(m_ui->check, &QPushButton::clicked, this, &PrinterFitDialog::checkMarks);
    connect(m_ui->close, &QPushButton::clicked, this, &QDialog::reject);
    showPrinter();
    fitOnScreen(*this);
}

PrinterFitDialog::~PrinterFitDialog() = default;

void PrinterFitDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
        button->click();
    else
        focusNextChild();
}

QDoubleSpinBox* PrinterFitDialog::markBox(int mark, bool fromTop) const {
    return m_boxes.value(mark * 2 + int(fromTop));
}

void PrinterFitDialog::showPrinter() {
    const QString printer = m_printers.currentPrinter();
    m_ui->printer->setText(printer.isEmpty()
                               ? u"（没有打印机）"_s
                               : printer + u"（"_s + orientationName(m_landscape) + u"）"_s);
    const KeptFit kept = keptPrinterFit(m_settings, printer, m_landscape);
    switch (kept.state) {
        case KeptFit::State::None:
            m_ui->kept->setText(u"未校准"_s);
            break;
        case KeptFit::State::Kept:
            m_ui->kept->setText(describeFit(kept.fit));
            break;
        case KeptFit::State::Damaged:
            m_ui->kept->setText(u"校准数据已损坏，请重新校准或清除校准"_s);
            break;
    }
    const bool calibrated = kept.state == KeptFit::State::Kept;
    m_ui->printCheck->setEnabled(calibrated);
    m_ui->check->setEnabled(calibrated);
    m_ui->reset->setEnabled(kept.state != KeptFit::State::None);
    m_ui->fit->setEnabled(!printer.isEmpty());
}

void PrinterFitDialog::printSheet(bool check) {
    // The sheet goes to the printer chosen for it, which is the one calibrated from then on.
    if (m_printSheet(this, check) && check)
        report({u"检查页已打印：请量出各标记的位置，填入后按“检查”。"_s});
    showPrinter();
}

std::optional<QList<QPointF>> PrinterFitDialog::typedMarks() {
    QList<QPointF> marks;
    for (qsizetype k = 0; k + 1 < m_boxes.size(); k += 2) {
        QDoubleSpinBox* left = m_boxes[k];
        QDoubleSpinBox* top = m_boxes[k + 1];
        for (QDoubleSpinBox* box : {left, top}) {
            if (box->value() <= 0) {
                m_prompts.message(u"请填写%1。"_s.arg(box->accessibleName()), kTitle.toString(),
                                  PromptButtons::Ok);
                box->setFocus();
                return std::nullopt;
            }
        }
        marks << QPointF(left->value(), top->value());
    }
    return marks;
}

void PrinterFitDialog::report(const QStringList& lines) {
    m_ui->report->appendPlainText(lines.join(u'\n'));
    m_ui->report->verticalScrollBar()->setValue(m_ui->report->verticalScrollBar()->maximum());
}

void PrinterFitDialog::fitAndKeep() {
    const std::optional<QList<QPointF>> measured = typedMarks();
    if (!measured)
        return;
    const FitOutcome outcome = fitPrinter(fitSheetMarks(m_landscape), *measured);
    report(QStringList{u"—— 计算结果 ——"_s} + fitReport(outcome));
    using Verdict = FitOutcome::Verdict;
    const QString title = kTitle.toString();
    if (outcome.verdict == Verdict::Refused) {
        m_prompts.message(outcome.message + u"\n校正未保存。"_s, title, PromptButtons::Ok);
        return;
    }
    if (outcome.verdict == Verdict::Scaling &&
        m_prompts.message(outcome.message + u"\n是否仍然保存这个校正？"_s, title,
                          PromptButtons::YesNoDefaultNo) != PromptAnswer::Yes) {
        report({u"校正未保存。"_s});
        return;
    }
    const QString printer = m_printers.currentPrinter();
    if (!keepPrinterFit(m_settings, printer, m_landscape, *outcome.fit)) {
        m_prompts.message(u"校正未能保存：设置文件无法写入。"_s, title, PromptButtons::Ok);
        return;
    }
    report({u"校正已保存：%1（%2）。"_s.arg(printer, orientationName(m_landscape))});
    showPrinter();
    m_checks = 0;
    if (m_prompts.message(u"校正已保存。是否打印检查页，核对校正的效果？"_s, title,
                          PromptButtons::YesNo) == PromptAnswer::Yes)
        printSheet(true);
}

void PrinterFitDialog::checkMarks() {
    const std::optional<QList<QPointF>> measured = typedMarks();
    if (!measured)
        return;
    report(QStringList{u"—— 第%1次检查 ——"_s.arg(++m_checks)} +
           checkReport(fitSheetMarks(m_landscape), *measured));
}

void PrinterFitDialog::forget() {
    const QString printer = m_printers.currentPrinter();
    if (m_prompts.message(u"是否清除打印机“%1”的精确校准？"_s.arg(printer), kTitle.toString(),
                          PromptButtons::YesNoDefaultNo) != PromptAnswer::Yes)
        return;
    if (!forgetPrinterFits(m_settings, printer))
        m_prompts.message(u"校准未能清除：设置文件无法写入。"_s, kTitle.toString(),
                          PromptButtons::Ok);
    else
        report({u"已清除打印机“%1”的精确校准。"_s.arg(printer)});
    showPrinter();
}
