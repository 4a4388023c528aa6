#pragma once

#include <QWidget>

#include "GridRoutines.h"

class BoundGrid;
class BoundGridView;
class Database;
class Prompts;
class QPushButton;

// The history tab: the history grid and its four commands. Bringing a row back into the
// cheque is the window's (reprintRequested); deleting, clearing and exporting are the tab's.
class HistoryTab final : public QWidget {
    Q_OBJECT

public:
    HistoryTab(BoundGrid& grid, GridTools tools, Database& db, Prompts& prompts,
               QWidget* parent = nullptr);

    // Builds the grid when it was never built, or again when the history changed since
    // (another clerk of a shared database, or another window, kept or deleted cheques).
    void showHistory();
    // Cheques were kept: the grid is built again if it was built before.
    void historyChanged();

    // "删 除 记 录": the selected rows, after the question.
    void deleteRows();
    // "清 除 记 录": every listed row, after the question.
    void clearAll();
    // "导 出 记 录": the grid into a CSV file or a workbook.
    void exportHistory();

    BoundGridView* view() const { return m_view; }
    // The grid rows of the selection: from the current row to the other end of the selection.
    std::pair<int, int> selectedGridRows() const;
    // The grid row of the current cell, or -1 when the grid has no data row.
    int currentGridRow() const;

signals:
    void reprintRequested(int gridRow);  // "再 次 打 印" or a double-click
    // Before any command of the tab: the window finishes what is being typed.
    void commandStarted();

private:
    void rebuild();

    BoundGrid& m_grid;
    GridTools m_tools;
    Database& m_db;
    Prompts& m_prompts;
    BoundGridView* m_view;
    bool m_built = false;
    QString m_stamp;  // what the history table held when the grid was built
};
