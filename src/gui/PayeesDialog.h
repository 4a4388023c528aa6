#pragma once

#include <memory>

#include <QDialog>
#include <QList>

#include "PayeeBook.h"

class Database;
class Prompts;

namespace Ui {
class PayeesDialog;
}

// The book of counterparties (往来单位): its entries not removed, by full name, narrowed by the
// search line; an entry is added, changed (double-click or Enter on its row too) or removed,
// and the book filled from a list or from the history. A window of its own beside the main
// window, not modal.
class PayeesDialog final : public QDialog {
    Q_OBJECT

public:
    PayeesDialog(Database& db, Prompts& prompts, QWidget* parent = nullptr);
    ~PayeesDialog() override;

    // Lists the entries the search line finds again; `select` the row of the entry with this ID.
    void showPayees(qint64 select = 0);
    // "新增…" and "修改…": the entry's form, until the book takes it or it is cancelled.
    void addEntry();
    void editEntry();
    // "删除": marks the selected entry removed once the question is answered Yes.
    void removeEntry();
    // "导入…": a CSV or .xlsx list of counterparties; "从历史记录导入": the history's payees.
    void importList();
    void importHistory();

private:
    // The entry of the selected row; nothing, and the cashier told, when none is.
    std::optional<Payee> selectedPayee();
    // Shows the form for `payee` and waits until it is closed; the ID it saved, or 0.
    qint64 openForm(const QString& title, const Payee& payee);
    void showCount(int added, int updated);

    std::unique_ptr<Ui::PayeesDialog> m_ui;
    Database& m_db;
    Prompts& m_prompts;
    QList<Payee> m_shown;  // as listed
};
