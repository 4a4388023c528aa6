#pragma once

#include <memory>

#include <QDialog>

#include "BoundGrid.h"
#include "GridRoutines.h"
#include "RegisterGrid.h"

class BoundGridView;
class Clock;
class Database;
struct DocumentKind;
class Prompts;
class QComboBox;

namespace Ui {
class RegisterDialog;
}

// The register of the cheque numbers: per book its totals and gaps first, then every number with
// what became of it, in the colour of its state, for all accounts or one; a number can be voided,
// and the register exported like the history. A window of its own beside the main window, not
// modal.
class RegisterDialog final : public QDialog {
    Q_OBJECT

public:
    // The register of the books of `kind`; `account` is chosen first when it has books;
    // otherwise all accounts are shown.
    RegisterDialog(Database& db, Prompts& prompts, const Clock& clock, GridTools tools,
                   const QString& account, const DocumentKind& kind, QWidget* parent = nullptr);
    ~RegisterDialog() override;

    BoundGrid& grid() { return m_grid; }
    BoundGridView* view() const { return m_view; }
    QComboBox* accounts() const;
    // Lists the chosen account's books again, the selected row kept.
    void showRegister();
    // "作废…": voids the selected number after asking why, naming it; the reason in a message
    // when the register refuses.
    void voidSelected();
    // "确认已打印…": a number left 打印中 by a print no longer running, whose cheque the
    // cashier found printed well, is kept as its journal entry recorded it.
    void settleSelected();
    void exportRegister();

private:
    std::optional<RegisterNumber> selectedNumber() const;

    std::unique_ptr<Ui::RegisterDialog> m_ui;
    Database& m_db;
    Prompts& m_prompts;
    const Clock& m_clock;
    const DocumentKind& m_kind;
    GridTools m_tools;
    BoundGrid m_grid;
    BoundGridView* m_view;
};
