#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include "GridRoutines.h"

class BoundGrid;

// Shows a bound grid's data rows, with its heading row as the header.
class BoundGridModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit BoundGridModel(BoundGrid& grid, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_grid(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // After a grid routine changed the grid.
    void reload();

private:
    BoundGrid& m_grid;
};

// A table view over a bound grid: column widths in twips, the hidden field-name row and ID
// column, a press of any mouse button on a heading that sorts (the serial heading fits the
// widths) unless the grid keeps its order, a double-click reporting the grid row.
class BoundGridView final : public QTableView {
    Q_OBJECT

public:
    enum class Headings { Sort, KeepOrder };
    BoundGridView(BoundGrid& grid, GridTools tools, QWidget* parent = nullptr,
                  Headings headings = Headings::Sort);

    // Shows the grid as it now stands (after filling, sorting, removing rows).
    void reload();

signals:
    void gridRowDoubleClicked(int gridRow);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int toPixels(int twips) const;
    void headerPressed(int section);

    BoundGrid& m_grid;
    GridTools m_tools;
    BoundGridModel m_model;
};
