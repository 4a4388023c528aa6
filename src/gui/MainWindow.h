#pragma once

#include <optional>

#include <functional>
#include <map>
#include <optional>

#include <QMainWindow>
#include <QPointer>

#include "BoundGrid.h"
#include "ChequePicture.h"
#include "Document.h"
#include "FormatStore.h"
#include "GridRoutines.h"
#include "HistoryList.h"
#include "PrintJob.h"
#include "ProgressIndicator.h"
#include "TextMeasure.h"

class ChequeTab;
class Clock;
class Database;
class FirstUseBanner;
class FormatTab;
class HelpTab;
class HistoryTab;
class IndicatorForm;
class BatchDialog;
class ChequeBooksDialog;
class PayeesDialog;
class PrintJob;
class QAction;
class JournalDialog;
class PreviewWindow;
class PrinterAccess;
class RegisterDialog;
class Prompts;
class QComboBox;
class QLabel;
class QMenu;
class QSettings;
class QTabWidget;

// What the window works with; tests give it a temporary database, scripted prompts, a fixed
// clock and printers that print into a PDF file.
struct WindowServices {
    Database& db;
    Prompts& prompts;
    Clock& clock;
    PrinterAccess& printers;
    QSettings& settings;
};

// The main window: the cheque from entry to paper, the history, the formats and the help.
// It owns the cheque for the whole run; every tab is a view over it and over the grids.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(WindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    Document& cheque() { return m_cheque; }
    ChequeTab* chequeTab() const { return m_chequeTab; }
    HistoryTab* historyTab() const { return m_historyTab; }
    FormatTab* formatTab() const { return m_formatTab; }
    HelpTab* helpTab() const { return m_helpTab; }
    QTabWidget* tabs() const { return m_tabs; }
    QComboBox* formatList() const { return m_formatList; }
    QComboBox* kindList() const { return m_kindList; }
    QLabel* hintLine() const { return m_hint; }
    FirstUseBanner* firstUseBanner() const { return m_firstUse; }
    QMenu* fieldPopup() const { return m_fieldPopup; }
    HistoryList& historyList() { return m_historyList; }
    BoundGrid& formatGrid() { return m_formatGrid; }
    const QString& currentFormat() const { return m_displays.currentFormat; }
    // The current format as printing and the preview read it; it is read again when it was
    // saved or another one chosen, and when reading it had failed. Null when it cannot be read.
    const PrintFormat* printFormat();

    // Puts the document in the window aside, with what was typed into it, and shows the one of
    // `kind` (as it was left, or on the first switch the user's last input of that kind) with
    // the kind's formats, history and commands; remembered for the user.
    void switchKind(const DocumentKind& kind);

    // The commands, as the buttons and menus run them.
    void printCheque();
    void printEndorsement();
    // "打印背面": the back of the document in the window, linked to the row of its front when
    // that front was just printed and kept and nothing was typed since.
    void printBack();
    // "打印背面" on a row of the history: the back of that kept document; the one in the window
    // stays as it is.
    void printBackOfHistoryRow(int row);
    void reprintHistoryRow(int row);
    // "填写进账单" on a row of a kept transfer cheque: the window turns to the deposit slip,
    // filled from that cheque (see slipFromCheque), ready to print.
    void fillSlipFromHistoryRow(int row);
    void showAbout();
    void adjustFont(int field);
    void adjustSpacing(int field);
    void adjustPosition(int field);
    void saveFormat();
    void saveFormatAs();
    void deleteFormat();
    // The current format into a format file, and a format file into the database.
    void exportFormat();
    void importFormat();
    // "格式" → "底图…": sets, replaces or removes the current format's scan of the blank form.
    void chooseBackground();
    // "格式" → "显示底图" (and the preview's box of that name).
    void showBackground(bool shown);
    void calibratePrinter();
    // The fine calibration of a printer's scale and offset, for the cheque's orientation.
    void openPrinterFit();
    void askStubWidth();
    // The print journal window ("文件" → "打印日志").
    JournalDialog* showJournal();
    // The cheque books ("文件" → "支票簿…"), a new one's account taken from the cheque.
    ChequeBooksDialog* showChequeBooks();
    // The book of counterparties ("文件" → "往来单位…").
    PayeesDialog* showPayees();
    // The register of the cheque numbers ("文件" → "支票登记簿"), the cheque's account first.
    RegisterDialog* showRegister();
    // The print preview ("打印预览"), one at a time; it follows the cheque while open.
    PreviewWindow* showPreview();
    // "文件" → "批量打印…": asks for a payment list and shows it checked, every row starting
    // from the cheque in the window; nothing when no list was chosen or it could not be read.
    BatchDialog* openBatch();
    BatchDialog* openBatchFile(const QString& path);
    // "打印全部": the printer, one confirmation of the count and total, one job with a page per
    // cheque, then one question keeps them all in the history; every cheque is journalled.
    void printBatch(BatchDialog& batch);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Sizes the window to its natural size, or to the screen's available area when that is
    // smaller, and places it in the middle of that area, frame and all.
    void fitToScreen();
    // Grows the window, where the screen has room, to what a taller kind of document needs;
    // it never shrinks, and moves only as far as keeps its bottom on the screen.
    void growToFit();
    void buildMenus();
    QWidget* buildTop();
    void tabChanged(int index);
    void formatPicked(const QString& name);
    // The first start's line, while neither a cheque was kept nor the current format calibrated.
    void showFirstUse();
    void showFormatGrid();
    void showFormatList();
    // The commands of cheques alone (cheque books, the stub, the endorsement) only for a kind
    // that has them.
    void showKindCommands();
    void reloadPrintFormat();
    // Reads the current format's background again and draws it (or none) in the picture.
    void reloadBackground();
    // The background while it is shown; none otherwise or without one.
    const FaintPicture* shownBackground() const;
    GridTools gridTools() { return {m_measure, m_progress}; }
    // Runs one print through the print job, one at a time: while it runs every print command
    // is disabled, and a second request (a double-click) is ignored (nothing). Nothing too
    // when the format cannot be read.
    std::optional<PrintResult> runPrint(QWidget* parent, const PrintFormat* format,
                                        const std::function<PrintResult(PrintJob&)>& print);
    void setPrintCommandsEnabled(bool enabled);
    // Forgets the kept front once the document differs from what was kept.
    void forgetChangedKeptFront();

    WindowServices m_services;
    Document m_cheque;                       // the document shown, of the current kind
    std::map<QString, Document> m_putAside;  // the other kinds', as they were left
    FormatDisplays m_displays;
    std::optional<PrintFormat> m_printFormat;  // the current format, read once
    std::optional<FaintPicture> m_background;  // its scan of the blank form, placed
    HistoryList m_historyList;
    BoundGrid m_formatGrid;
    FontTextMeasure m_measure;
    IndicatorForm* m_indicator;
    ProgressIndicator m_progress;
    ChequeTab* m_chequeTab;
    HistoryTab* m_historyTab;
    FormatTab* m_formatTab;
    HelpTab* m_helpTab;
    QTabWidget* m_tabs;
    QComboBox* m_formatList;  // FMT
    QComboBox* m_kindList;
    QLabel* m_hint;  // LBL
    FirstUseBanner* m_firstUse;
    QMenu* m_fieldPopup;  // the popup of the field adjustments
    QAction* m_batchAction = nullptr;
    QAction* m_marginAction = nullptr;
    QList<QAction*> m_chequeBookActions;  // 支票簿…, 支票登记簿
    QAction* m_stubWidthAction = nullptr;
    QAction* m_showBackgroundAction = nullptr;  // 显示底图
    bool m_printing = false;                    // a print command is running
    // The front just printed and kept from the document in the window: its history row and the
    // texts it was kept with. Its back's print is linked to that row while the texts are the same.
    struct KeptFront {
        qint64 row = 0;
        QStringList texts;
    } m_keptFront;
    bool m_shown = false;    // it was shown once
    int m_adjustField = -1;  // the field whose popup is open (AdjustFieldTag, AdjustFieldId)
    QPointer<PreviewWindow> m_preview;
};
