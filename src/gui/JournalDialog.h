#pragma once

#include <memory>

#include <QDate>
#include <QDialog>

#include "BoundGrid.h"
#include "GridRoutines.h"

class BoundGridView;
class Database;
class ProgressIndicator;
class Prompts;
class QDateEdit;

namespace Ui {
class JournalDialog;
}

// The print journal, read-only: every attempt newest first, between two days, exported like
// the history. A window of its own beside the main window, not modal.
class JournalDialog final : public QDialog {
    Q_OBJECT

public:
    JournalDialog(Database& db, Prompts& prompts, GridTools tools, const QDate& today,
                  QWidget* parent = nullptr);
    ~JournalDialog() override;

    BoundGrid& grid() { return m_grid; }
    QDateEdit* from() const;
    QDateEdit* to() const;
    // Lists the days chosen.
    void showDays();
    void exportJournal();

private:
    std::unique_ptr<Ui::JournalDialog> m_ui;
    Database& m_db;
    Prompts& m_prompts;
    GridTools m_tools;
    QDate m_today;  // the day the dialog opened, which the export's proposed name carries
    BoundGrid m_grid;
    BoundGridView* m_view;
};
