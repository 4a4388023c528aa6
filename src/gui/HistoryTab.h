#pragma once

#include <QWidget>

#include "GridRoutines.h"

class BoundGrid;
class BoundGridView;
class QPushButton;

// The history tab: the history grid and its four commands.
class HistoryTab final : public QWidget {
    Q_OBJECT

public:
    HistoryTab(BoundGrid& grid, GridTools tools, QWidget* parent = nullptr);

    BoundGridView* view() const { return m_view; }
    // The grid rows of the selection: from the current row to the other end of the selection.
    std::pair<int, int> selectedGridRows() const;
    // The grid row of the current cell, or -1 when the grid has no data row.
    int currentGridRow() const;

signals:
    void reprintRequested(int gridRow);  // "再 次 打 印" or a double-click
    void deleteRequested();
    void exportRequested();
    void clearRequested();

private:
    BoundGrid& m_grid;
    BoundGridView* m_view;
};
