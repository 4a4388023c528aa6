#pragma once

#include <QString>
#include <QWidget>

class PrinterAccess;
class Prompts;
class QComboBox;
class QPushButton;

// The printer choice: a list of the installed printers with the current one preselected, OK
// and Cancel. It stays above other windows, deletes itself on close and writes the chosen
// printer to the caller's text, which is left empty when nothing was chosen.
class PrinterDialog final : public QWidget {
    Q_OBJECT

public:
    // `noAnswer`, when given, tells whether OK was pressed but the printer did not answer.
    PrinterDialog(PrinterAccess& printers, Prompts& prompts, QString& selectedPrinterName,
                  QWidget* parent = nullptr, bool* noAnswer = nullptr);

    // Shows the dialog, waits until it has closed and returns the chosen printer (empty when
    // cancelled or when the printer does not answer).
    static QString choosePrinterWithDialog(PrinterAccess& printers, Prompts& prompts,
                                           QWidget* parent = nullptr, bool* noAnswer = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buttonPressed(bool ok);

    PrinterAccess& m_printers;
    Prompts& m_prompts;
    QString& m_selected;
    QComboBox* m_com;    // Com
    QPushButton* m_cm0;  // CM0
    QPushButton* m_cm1;  // CM1
    bool* m_noAnswer = nullptr;
    bool m_answered = false;
};
