#pragma once

#include <memory>

#include <QDialog>

#include "PaymentCheck.h"
#include "PrintFormat.h"

class Prompts;
class QLabel;
class QPushButton;
class QTableWidget;
struct PaymentList;

namespace Ui {
class BatchDialog;
}

// A payment list as it will print: the values rows take from the window's cheque, the
// window's switches they print with, every row with its check result (bad rows in red), the
// picture of the selected row's cheque, and "打印全部", which only a list without a bad row
// may use.
class BatchDialog final : public QDialog {
    Q_OBJECT

public:
    BatchDialog(const QString& fileName, const PaymentList& list, QList<PaymentCheque> cheques,
                const PrintFormat& format, Prompts& prompts, QWidget* parent = nullptr);
    ~BatchDialog() override;

    const QList<PaymentCheque>& cheques() const { return m_cheques; }
    const PrintFormat& format() const { return m_format; }
    QTableWidget* table() const;
    QLabel* summary() const;
    QLabel* inherited() const;
    QLabel* preview() const;
    QPushButton* printAll() const { return m_printAll; }

signals:
    void printAllRequested();

private:
    void showCheque(int row);

    std::unique_ptr<Ui::BatchDialog> m_ui;
    QList<PaymentCheque> m_cheques;
    PrintFormat m_format;  // as the list was checked against it
    Prompts& m_prompts;
    QPushButton* m_printAll;
};
