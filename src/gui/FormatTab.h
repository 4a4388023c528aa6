#pragma once

#include <array>
#include <memory>

#include <QWidget>

#include "ChequeSwitches.h"
#include "GridRoutines.h"

class BoundGrid;
class BoundGridView;
class Document;
class QLabel;
class QLineEdit;
class QPushButton;
struct FormatDisplays;

namespace Ui {
class FormatTab;
}

// The format tab: the format grid, edited in place (a double-click on a millimetre cell opens
// the cell editor, on a font cell the font dialog), the page margins and stub width of the
// current format, its endorsement parameters and the format commands.
class Prompts;

class FormatTab final : public QWidget {
    Q_OBJECT

public:
    FormatTab(BoundGrid& grid, GridTools tools, Document& cheque, Prompts& prompts,
              QWidget* parent = nullptr);
    ~FormatTab() override;

    // Shows the grid and the displays as they now stand.
    void showFormat(const FormatDisplays& displays);

    BoundGridView* view() const { return m_view; }
    QLabel* marginX() const;
    QLabel* marginY() const;
    QLabel* stubWidth() const;
    QLineEdit* endorsementBox(int i) const { return m_endorsement[size_t(i)]; }
    QLineEdit* cellEditor() const { return m_cellEditor; }
    QPushButton* saveButton() const;
    QPushButton* saveAsButton() const;
    QPushButton* deleteButton() const;
    QPushButton* calibrateButton() const;

    // A double-click on the grid's cell (grid row and column).
    void editCell(int row, int col);

signals:
    void saveRequested();
    void saveAsRequested();
    void deleteRequested();
    void exportRequested();
    void importRequested();
    // The preview beside the grid, and the scan of the blank form behind it: fields placed by eye.
    void previewRequested();
    void backgroundRequested();
    void calibrateRequested();
    void stubWidthRequested();  // a double-click on M_S

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cellTyped(const QString& text);

    std::unique_ptr<Ui::FormatTab> m_ui;
    BoundGrid& m_grid;
    Document& m_cheque;
    Prompts& m_prompts;
    BoundGridView* m_view;
    QLineEdit* m_cellEditor;                                             // TT
    int m_editRow = -1;                                                  // EditRow
    int m_editCol = -1;                                                  // EditCol
    std::array<QLineEdit*, kEndorsementParameterCount> m_endorsement{};  // B_T
};
