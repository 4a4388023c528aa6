#pragma once

#include <QWidget>

#include "BoundGrid.h"
#include "GridRoutines.h"

class BoundGridView;
class Database;
class ProgressIndicator;
class Prompts;
class QDateEdit;

// The print journal, read-only: every attempt newest first, between two days, exported like
// the history.
class JournalDialog final : public QWidget {
    Q_OBJECT

public:
    JournalDialog(Database& db, Prompts& prompts, GridTools tools, const QDate& today,
                  QWidget* parent = nullptr);

    BoundGrid& grid() { return m_grid; }
    QDateEdit* from() const { return m_from; }
    QDateEdit* to() const { return m_to; }
    // Lists the days chosen.
    void showDays();
    void exportJournal();

private:
    Database& m_db;
    Prompts& m_prompts;
    GridTools m_tools;
    BoundGrid m_grid;
    BoundGridView* m_view;
    QDateEdit* m_from;
    QDateEdit* m_to;
};
