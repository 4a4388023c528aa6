#pragma once

#include <memory>

#include <QDialog>
#include <QList>

#include "ChequeRegister.h"

class Clock;
class Database;
struct DocumentKind;
class Prompts;

namespace Ui {
class ChequeBooksDialog;
}

// The cheque books of every account, with how many of their numbers were printed, voided or
// are unused; a new book is entered below the list, and the selected one can be closed. A window
// of its own beside the main window, not modal.
class ChequeBooksDialog final : public QDialog {
    Q_OBJECT

public:
    // `account` fills the new book's account (the cheque's 账号), the clock's today its day
    // received; a book received later than today is refused.
    // The books are those of `kind` (a cash cheque never takes a transfer cheque's number).
    ChequeBooksDialog(Database& db, Prompts& prompts, const QString& account, const Clock& clock,
                      const DocumentKind& kind, QWidget* parent = nullptr);
    ~ChequeBooksDialog() override;

    // Lists the books again; `select` the row of the book with this ID.
    void showBooks(qint64 select = 0);
    // "登记": adds the book the fields describe; the reason in a message when it is refused.
    void addBook();
    // "结束": closes the selected book once the question is answered Yes.
    void closeBook();

private:
    std::unique_ptr<Ui::ChequeBooksDialog> m_ui;
    Database& m_db;
    Prompts& m_prompts;
    const Clock& m_clock;
    const QString m_kind;
    QList<ChequeBook> m_books;  // as listed
};
