#pragma once

#include <memory>

#include <QTimer>
#include <QWidget>

#include "GridRoutines.h"

class Clock;
class Database;
class HistoryList;
class HistoryView;
class Prompts;
class QPushButton;

namespace Ui {
class HistoryTab;
}

// The history tab: the search line and the date range above the history grid, the count of the
// rows it lists, and its commands. Bringing a row back into the cheque is the window's
// (reprintRequested); deleting, clearing and exporting are the tab's.
class HistoryTab final : public QWidget {
    Q_OBJECT

public:
    HistoryTab(HistoryList& list, GridTools tools, Database& db, Prompts& prompts,
               const Clock& clock, QWidget* parent = nullptr);
    ~HistoryTab() override;

    // Reads the list when it was never read; otherwise brings it up to date, when the history
    // changed since (another clerk of a shared database, or another window, kept or deleted
    // cheques).
    void showHistory();
    // Cheques were kept: a list that was read takes them in.
    void historyChanged();

    // "删 除 记 录": the selected rows, after the question.
    void deleteRows();
    // "清 除 记 录": every listed row, after the question.
    void clearAll();
    // "导 出 记 录": the grid into a CSV file or a workbook.
    void exportHistory();

    HistoryView* view() const { return m_view; }
    // The rows of the selection (from 0): from the current row to the other end of the
    // selection.
    std::pair<int, int> selectedRows() const;
    // The row of the current cell (from 0), or -1 when the list is empty.
    int currentRow() const;
    // "填写进账单": shown while the grid lists transfer cheques.
    QPushButton* fillSlipButton() const { return m_fillSlip; }
    // "打印背面": shown while the grid lists a kind with a back.
    QPushButton* printBackButton() const { return m_printBack; }

    // The search as the controls now say, applied at once rather than after the pause that
    // typing waits for.
    void applySearch();
    // How long typing must pause before the grid is searched, in milliseconds.
    static constexpr int kSearchPause = 250;

signals:
    void reprintRequested(int row);  // "再 次 打 印" or a double-click
    void slipRequested(int row);     // "填写进账单", on a row of a transfer cheque
    void backRequested(int row);     // "打印背面", on a row of a kind with a back
    // Before any command of the tab: the window finishes what is being typed.
    void commandStarted();

private:
    // Shows the list as it now stands and its count.
    void reloadView(bool fit);
    void showCount();
    void dateChanged(bool from);
    // The row's menu: 再次打印, for a transfer cheque 填写进账单, for a kind with a back 打印背面.
    void showRowMenu(QPoint at);
    // Whether the grid lists a kind of document that has a back.
    bool listsBacks() const;

    std::unique_ptr<Ui::HistoryTab> m_ui;
    HistoryList& m_list;
    GridTools m_tools;
    Database& m_db;
    Prompts& m_prompts;
    const Clock& m_clock;  // today, which the export's proposed name carries
    HistoryView* m_view;
    QPushButton* m_fillSlip;
    QPushButton* m_printBack;
    QTimer m_searchPause;
};
