#pragma once

#include <QAbstractTableModel>
#include <QTableView>

class HistoryList;
class TextMeasure;

// Shows the history list: each row's texts as they are needed, the headings with the sort
// marker.
class HistoryModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit HistoryModel(HistoryList& list, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_list(list) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // After the list changed.
    void reload();

private:
    HistoryList& m_list;
};

// The history grid: column widths in twips, the hidden ID column, a press of any mouse button on
// a heading that sorts (on the serial heading, fits the widths), a double-click reporting the
// row. When the columns are wider than the grid, the last one (the cheque number) stays in view
// at the grid's right edge while the others scroll beneath it.
class HistoryView final : public QTableView {
    Q_OBJECT

public:
    HistoryView(HistoryList& list, TextMeasure& measure, QWidget* parent = nullptr);

    // Shows the list as it now stands, its widths fitted again when `fit`; the current row
    // stays at its place, within the rows there are.
    void reload(bool fit);

    // The grid that keeps the last column in view; hidden while every column fits.
    QTableView* pinnedColumn() const { return m_pinned; }

signals:
    void rowDoubleClicked(int row);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;

private:
    void placePinned();
    int toPixels(int twips) const;
    int widthTwips() const;
    void headingPressed(int section);

    HistoryList& m_list;
    TextMeasure& m_measure;
    HistoryModel m_model;
    QTableView* m_pinned;
};
