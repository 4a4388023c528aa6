#pragma once

#include <functional>
#include <memory>

#include <QDialog>
#include <QList>
#include <QPointF>

class PrinterAccess;
class Prompts;
class QDoubleSpinBox;
class QSettings;

namespace Ui {
class PrinterFitDialog;
}

// The fine calibration of the current printer: its sheet printed, the marks measured with a
// ruler and typed in boxes laid out like the sheet, the fit shown, kept on this machine for the
// printer and the orientation, then checked on a sheet printed through it. The kept fit is
// shown and can be forgotten here too.
class PrinterFitDialog final : public QDialog {
    Q_OBJECT

public:
    // `printSheet` prints the sheet on the printer the cashier chooses, uncorrected or (true)
    // through the kept fit; whether it printed. `landscape`: the orientation the cheque lies in.
    PrinterFitDialog(QSettings& settings, PrinterAccess& printers, Prompts& prompts, bool landscape,
                     std::function<bool(QWidget* parent, bool check)> printSheet,
                     QWidget* parent = nullptr);
    ~PrinterFitDialog() override;

    // The box of a mark's distance from the paper's left (or top) edge, for tests.
    QDoubleSpinBox* markBox(int mark, bool fromTop) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showPrinter();
    void printSheet(bool check);
    void fitAndKeep();
    void checkMarks();
    void forget();
    // The typed marks; none, after saying which is missing, when a box is empty.
    std::optional<QList<QPointF>> typedMarks();
    void report(const QStringList& lines);

    std::unique_ptr<Ui::PrinterFitDialog> m_ui;
    QSettings& m_settings;
    PrinterAccess& m_printers;
    Prompts& m_prompts;
    bool m_landscape;
    std::function<bool(QWidget*, bool)> m_printSheet;
    QList<QDoubleSpinBox*> m_boxes;  // left then top, for A to D
    int m_checks = 0;                // the check sheets measured so far
};
