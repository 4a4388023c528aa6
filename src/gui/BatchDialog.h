#pragma once

#include <QDialog>

#include "PaymentCheck.h"
#include "PrintFormat.h"

class Prompts;
class QLabel;
class QPushButton;
class QTableWidget;
struct PaymentList;

// A payment list as it will print: the values rows take from the window's cheque, every row
// with its check result (bad rows in red), the picture of the selected row's cheque, and
// "打印全部", which only a list without a bad row may use.
class BatchDialog final : public QDialog {
    Q_OBJECT

public:
    BatchDialog(const QString& fileName, const PaymentList& list, QList<PaymentCheque> cheques,
                const PrintFormat& format, Prompts& prompts, QWidget* parent = nullptr);

    const QList<PaymentCheque>& cheques() const { return m_cheques; }
    const PrintFormat& format() const { return m_format; }
    QTableWidget* table() const { return m_table; }
    QLabel* summary() const { return m_summary; }
    QLabel* inherited() const { return m_inherited; }
    QLabel* preview() const { return m_preview; }
    QPushButton* printAll() const { return m_printAll; }

signals:
    void printAllRequested();

private:
    void showCheque(int row);

    QList<PaymentCheque> m_cheques;
    PrintFormat m_format;  // as the list was checked against it
    Prompts& m_prompts;
    QLabel* m_summary;
    QLabel* m_inherited;
    QTableWidget* m_table;
    QLabel* m_preview;
    QPushButton* m_printAll;
};
