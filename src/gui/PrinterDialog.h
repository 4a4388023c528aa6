#pragma once

#include <memory>

#include <QDialog>
#include <QString>

class PrinterAccess;
class Prompts;

namespace Ui {
class PrinterDialog;
}

// The printer choice: a list of the installed printers with the current one preselected, OK
// and Cancel. It stays above other windows and is not modal: the caller waits for it while
// every window keeps answering.
class PrinterDialog final : public QDialog {
    Q_OBJECT

public:
    PrinterDialog(PrinterAccess& printers, Prompts& prompts, QWidget* parent = nullptr);
    ~PrinterDialog() override;

    // Shows the dialog, waits until it has closed and returns the chosen printer (empty when
    // cancelled or when the printer does not answer). `noAnswer`, when given, tells whether OK
    // was pressed but the printer did not answer.
    static QString choosePrinterWithDialog(PrinterAccess& printers, Prompts& prompts,
                                           QWidget* parent = nullptr, bool* noAnswer = nullptr);

    // The printer chosen with OK; empty until then, and when it did not answer.
    const QString& chosenPrinter() const { return m_chosen; }
    bool printerDidNotAnswer() const { return m_noAnswer; }

    // OK: the printer shown becomes the current one when it answers. Without printers the
    // dialog stays open.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Cancel closes, unless there is no printer to choose from.
    void cancelPressed();
    bool hasChoice() const;

    std::unique_ptr<Ui::PrinterDialog> m_ui;
    PrinterAccess& m_printers;
    Prompts& m_prompts;
    QString m_chosen;
    bool m_noAnswer = false;
};
