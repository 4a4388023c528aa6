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
// may use. When a numbered batch stops part-way (its cheque book ran out), the list stays open
// with the rows printed marked 已打印 and the others to print once a book is entered, or to
// save as a payment list of their own.
class BatchDialog final : public QDialog {
    Q_OBJECT

public:
    BatchDialog(const QString& fileName, const PaymentList& list, QList<PaymentCheque> cheques,
                const PrintFormat& format, Prompts& prompts, QWidget* parent = nullptr);
    ~BatchDialog() override;

    const QList<PaymentCheque>& cheques() const { return m_cheques; }
    // The cheques of the rows still to print: every row until a print stops part-way.
    QList<Document> pendingCheques() const;
    // After a print of pendingCheques() that printed some: `unprinted` are the places (from 0)
    // among them that did not print; the others are marked 已打印.
    void printedExcept(const QList<int>& unprinted);
    const PrintFormat& format() const { return m_format; }
    QTableWidget* table() const;
    QLabel* summary() const;
    QLabel* inherited() const;
    QLabel* preview() const;
    QPushButton* printAll() const { return m_printAll; }
    QPushButton* saveUnprinted() const { return m_saveUnprinted; }
    QPushButton* chequeBooks() const { return m_chequeBooks; }

signals:
    void printAllRequested();
    void chequeBooksRequested();

private:
    void showCheque(int row);
    void saveUnprintedRows();

    std::unique_ptr<Ui::BatchDialog> m_ui;
    QList<PaymentCheque> m_cheques;
    PrintFormat m_format;  // as the list was checked against it
    Prompts& m_prompts;
    QPushButton* m_printAll;
    QPushButton* m_saveUnprinted;
    QPushButton* m_chequeBooks;
    QStringList m_headings;      // the list's own columns
    QList<QStringList> m_cells;  // each row's cells, as read
    QList<int> m_pending;        // the rows still to print
};
