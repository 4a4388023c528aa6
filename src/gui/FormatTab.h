#pragma once

#include <array>

#include <QWidget>

#include "ChequeSwitches.h"
#include "GridRoutines.h"

class BoundGrid;
class BoundGridView;
class Cheque;
class QLabel;
class QLineEdit;
class QPushButton;
struct FormatDisplays;

// The format tab: the format grid, the page margins and stub width of the current format and
// its endorsement parameters. Its four commands come with the format editing.
class FormatTab final : public QWidget {
    Q_OBJECT

public:
    FormatTab(BoundGrid& grid, GridTools tools, Cheque& cheque, QWidget* parent = nullptr);

    // Shows the grid and the displays as they now stand.
    void showFormat(const FormatDisplays& displays);

    BoundGridView* view() const { return m_view; }
    QLabel* marginX() const { return m_marginX; }
    QLabel* marginY() const { return m_marginY; }
    QLabel* stubWidth() const { return m_stubWidth; }
    QLineEdit* endorsementBox(int i) const { return m_endorsement[size_t(i)]; }

private:
    Cheque& m_cheque;
    BoundGridView* m_view;
    QLabel* m_marginX;                                                   // M_X
    QLabel* m_marginY;                                                   // M_Y
    QLabel* m_stubWidth;                                                 // M_S
    std::array<QLineEdit*, kEndorsementParameterCount> m_endorsement{};  // B_T
};
