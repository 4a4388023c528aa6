#include "MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "BoundGridModel.h"
#include "ChequeBooksDialog.h"
#include "ChequeGeometry.h"
#include "ChequeTab.h"
#include "Clock.h"
#include "CollateDialog.h"
#include "Database.h"
#include "FirstUse.h"
#include "FirstUseBanner.h"
#include "FormatCommands.h"
#include "FormatGrid.h"
#include "FormatNameDialog.h"
#include "FormatTab.h"
#include "GridExport.h"
#include "HelpTab.h"
#include "HistoryGrid.h"
#include "HistoryRecords.h"
#include "HistoryTab.h"
#include "IndicatorForm.h"
#include "JournalDialog.h"
#include "ListPayees.h"
#include "NumberText.h"
#include "OptionFlags.h"
#include "PayeePickList.h"
#include "PayeesDialog.h"
#include "PreviewWindow.h"
#include "PrinterAccess.h"
#include "Prompts.h"
#include "RegisterDialog.h"
#include "SlipFromCheque.h"
#include "StartingCheque.h"
#include "TypedKeysFilter.h"
#include "UserState.h"
#include "WindowFit.h"

using namespace Qt::StringLiterals;

namespace {

const QString kTabHints[] = {
    u"提示：修改字体、字号、打印字间距/位置只需在输入框上点鼠标右键，双击左键可从历史记录中选择，加速输入。"_s,
    u"提示：双击表格内容可将历史数据导入到打印界面，进行重复打印；单击表格横向表头可对点击所在的列进行排序。"_s,
    u"提示：双击表格可直接修改其中内容。"_s,
};

// Lets a page scroll as a whole when the window is smaller than it needs: what it holds moves
// into a scroll area that fills it, and looks as before whenever there is room.
void scrollWhenSmall(QWidget& page) {
    QLayout* contents = page.layout();
    if (!contents)
        return;
    auto* inner = new QWidget;
    inner->setLayout(contents);  // takes the page's widgets along
    auto* area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(true);
    area->setWidget(inner);
    area->viewport()->setAutoFillBackground(false);  // the tab's own background
    inner->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(&page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
}

// The title picture. Where the screen leaves less room than it needs, it is drawn smaller,
// beside the format list.
class TitleLabel final : public QLabel {
public:
    static constexpr QSize kSize{560, 60};
    TitleLabel() { setPixmap(m_picture.pixmap(kSize)); }
    QSize minimumSizeHint() const override { return {0, 0}; }

protected:
    void paintEvent(QPaintEvent* event) override {
        if (width() >= sizeHint().width() && height() >= sizeHint().height()) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        m_picture.paint(&painter, rect(), Qt::AlignLeft | Qt::AlignVCenter);
    }

private:
    QIcon m_picture{u":/title.svg"_s};
};

}  // namespace

MainWindow::MainWindow(WindowServices services, QWidget* parent)
    : QMainWindow(parent),
      m_services(services),
      m_historyList(services.db),
      m_measure(historyGridFont()),
      m_indicator(new IndicatorForm(this)),
      m_progress(services.clock, m_indicator) {
    setWindowTitle(u"Zentavo支票打印软件9.06"_s);
    setWindowIcon(QIcon(u":/chequeprint.svg"_s));
    Prompts& prompts = m_services.prompts;
    Database& db = m_services.db;
    // The kind the user worked on last.
    const DocumentKind* kind = kindById(storedCurrentKind(db).value_or(kTransferCheque));
    m_cheque = Document(kind ? *kind : transferCheque());
    m_historyList.setKind(m_cheque.kind().id.toString());

    // The payee's list offers the book of counterparties first; the other fields what the
    // history has.
    m_chequeTab = new ChequeTab(m_cheque, prompts, [this, &db](const QString& column) {
        const int payee = m_cheque.field(FieldRole::Payee);
        if (payee >= 0 && column == m_cheque.kind().fields[size_t(payee)].historyColumn)
            return payeePickList(db, m_cheque.kind().id.toString());
        return FillComboDistinct(db, column);
    });
    m_historyTab = new HistoryTab(m_historyList, gridTools(), db, prompts, services.clock);
    m_formatTab = new FormatTab(m_formatGrid, gridTools(), m_cheque, prompts);
    m_helpTab = new HelpTab;
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(u"SST"_s);
    const std::pair<QWidget*, QString> pages[] = {{m_chequeTab, u"支 票 打 印"_s},
                                                  {m_historyTab, u"历 史 记 录"_s},
                                                  {m_formatTab, u"格 式 校 准"_s},
                                                  {m_helpTab, u"使 用 说 明"_s}};
    for (const auto& [page, caption] : pages) {
        page->setAccessibleName(caption);
        if (page != m_chequeTab)  // the cheque tab scrolls its cheque alone
            scrollWhenSmall(*page);
        m_tabs->addTab(page, caption);
    }

    m_hint = new QLabel;
    m_hint->setObjectName(u"LBL"_s);
    m_hint->setAccessibleName(u"操作提示"_s);
    m_hint->setWordWrap(true);
    m_hint->setToolTip(u"说明：此处显示当前页面的操作提示。"_s);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildTop());
    m_firstUse = new FirstUseBanner(m_services.settings);
    layout->addWidget(m_firstUse);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_hint);
    setCentralWidget(central);
    buildMenus();
    connect(m_firstUse, &FirstUseBanner::calibrateRequested, m_marginAction, &QAction::trigger);

    connect(m_chequeTab, &ChequeTab::printRequested, this, &MainWindow::printCheque);
    connect(m_chequeTab, &ChequeTab::endorseRequested, this, &MainWindow::printEndorsement);
    connect(m_chequeTab, &ChequeTab::printBackRequested, this, &MainWindow::printBack);
    connect(m_chequeTab, &ChequeTab::chequeChanged, this, &MainWindow::forgetChangedKeptFront);
    connect(m_chequeTab, &ChequeTab::previewRequested, this, &MainWindow::showPreview);
    // A slip's payee named, the book gives the account and the bank left empty.
    connect(m_chequeTab, &ChequeTab::fieldLeft, this, [this](int field) {
        if (field == m_cheque.field(FieldRole::Payee) && fillPayeeFromBook(m_services.db, m_cheque))
            m_chequeTab->showCheque();
    });
    connect(m_chequeTab, &ChequeTab::adjustRequested, this, [this](int field, QPoint at) {
        m_adjustField = field;
        m_fieldPopup->exec(at);
    });
    connect(m_historyTab, &HistoryTab::reprintRequested, this, &MainWindow::reprintHistoryRow);
    connect(m_historyTab, &HistoryTab::slipRequested, this, &MainWindow::fillSlipFromHistoryRow);
    connect(m_historyTab, &HistoryTab::backRequested, this, &MainWindow::printBackOfHistoryRow);
    connect(m_historyTab, &HistoryTab::commandStarted, m_chequeTab, &ChequeTab::finishEditing);
    connect(m_helpTab, &HelpTab::aboutRequested, this, &MainWindow::showAbout);
    connect(m_formatTab, &FormatTab::saveRequested, this, &MainWindow::saveFormat);
    connect(m_formatTab, &FormatTab::saveAsRequested, this, &MainWindow::saveFormatAs);
    connect(m_formatTab, &FormatTab::deleteRequested, this, &MainWindow::deleteFormat);
    connect(m_formatTab, &FormatTab::exportRequested, this, &MainWindow::exportFormat);
    connect(m_formatTab, &FormatTab::importRequested, this, &MainWindow::importFormat);
    connect(m_formatTab, &FormatTab::previewRequested, this, &MainWindow::showPreview);
    connect(m_formatTab, &FormatTab::backgroundRequested, this, &MainWindow::chooseBackground);
    connect(m_formatTab, &FormatTab::calibrateRequested, this, &MainWindow::calibratePrinter);
    connect(m_formatTab, &FormatTab::stubWidthRequested, this, &MainWindow::askStubWidth);

    // Opening, in this order. The history grid is built when its tab is first shown, so that
    // a long history never delays the window.
    m_tabs->setCurrentIndex(0);
    tabChanged(0);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::tabChanged);
    ListFormatNames(db, m_displays, m_cheque.kind().id.toString());
    showFormatList();
    startCheque(m_cheque,
                {.switches = storedOptionFlags(m_services.settings, m_cheque.kind()),
                 .format = m_displays.currentFormat},
                db, prompts, m_services.clock, m_progress);
    m_chequeTab->showCheque();
    showKindCommands();
    showFormatGrid();
    showFirstUse();
    fitToScreen();
    m_chequeTab->focusFirstField();  // the cashier types at once
}

// The tabs go first: their views still read the grids, which are members.
MainWindow::~MainWindow() {
    delete takeCentralWidget();
}

void MainWindow::fitToScreen() {
    const QRect area = screenArea(*this);
    if (area.isEmpty())
        return;
    const QSize room = area.size().shrunkBy(frameAllowance(*this));
    const QSize natural = sizeHint();
    QSize size(qMin(natural.width(), room.width()), natural.height());
    if (size.width() < natural.width())  // the switches and the hint may need more lines
        size.setHeight(qMax(size.height(), menuBar()->sizeHint().height() +
                                               centralWidget()->heightForWidth(size.width())));
    size.setHeight(qMin(size.height(), room.height()));
    resize(size);
    move(centredIn(area, this->size(), frameAllowance(*this)));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown && !event->spontaneous()) {
        m_shown = true;
        fitToScreen();  // again, with the frame that the window has now
    }
}

QWidget* MainWindow::buildTop() {
    auto* top = new QWidget;
    auto* row = new QHBoxLayout(top);
    row->setContentsMargins(0, 0, 0, 0);
    auto* title = new TitleLabel;
    title->setObjectName(u"iTit"_s);
    title->setAccessibleName(u"支票打印"_s);
    row->addWidget(title);
    row->addStretch();
    // Centred beside the title, which gives up height first when the screen is small.
    auto* kindLabel = new QLabel(u"单据(&K)："_s);
    row->addWidget(kindLabel, 0, Qt::AlignVCenter);
    m_kindList = new QComboBox;
    m_kindList->setObjectName(u"KindList"_s);
    m_kindList->setAccessibleName(u"单据"_s);
    m_kindList->setToolTip(u"选择要填写和打印的单据。"_s);
    for (const DocumentKind* each : documentKinds())
        m_kindList->addItem(each->id.toString());
    m_kindList->setCurrentText(m_cheque.kind().id.toString());
    kindLabel->setBuddy(m_kindList);
    TypedKeysFilter::install(*m_kindList);
    connect(m_kindList, &QComboBox::textActivated, this, [this](const QString& id) {
        if (const DocumentKind* picked = kindById(id))
            switchKind(*picked);
    });
    row->addWidget(m_kindList, 0, Qt::AlignVCenter);
    row->addSpacing(12);
    row->addWidget(new QLabel(u"当前格式："_s), 0, Qt::AlignVCenter);
    m_formatList = new QComboBox;
    m_formatList->setObjectName(u"FMT"_s);
    m_formatList->setAccessibleName(u"当前格式"_s);
    m_formatList->setToolTip(u"当前支票使用的打印格式。"_s);
    m_formatList->setMinimumWidth(140);
    TypedKeysFilter::install(*m_formatList);  // only names from the list can be chosen
    connect(m_formatList, &QComboBox::textActivated, this, &MainWindow::formatPicked);
    row->addWidget(m_formatList, 0, Qt::AlignVCenter);
    auto* exit = new QPushButton(u"退  出(&X)"_s);
    exit->setObjectName(u"Comm2"_s);
    exit->setAccessibleName(u"退  出"_s);
    connect(exit, &QPushButton::clicked, this, &MainWindow::close);
    row->addWidget(exit, 0, Qt::AlignVCenter);
    return top;
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(u"文件(&F)"_s);
    file->setObjectName(u"mFile"_s);
    file->addAction(u"打印预览"_s, this, &MainWindow::showPreview)->setObjectName(u"mPreview"_s);
    m_batchAction = file->addAction(u"批量打印…"_s, this, &MainWindow::openBatch);
    m_batchAction->setObjectName(u"mBatch"_s);
    file->addAction(u"打印日志"_s, this, &MainWindow::showJournal)->setObjectName(u"mJournal"_s);
    m_chequeBookActions << file->addAction(u"支票簿…"_s, this, &MainWindow::showChequeBooks)
                        << file->addAction(u"支票登记簿"_s, this, &MainWindow::showRegister);
    m_chequeBookActions[0]->setObjectName(u"mChequeBooks"_s);
    m_chequeBookActions[1]->setObjectName(u"mRegister"_s);
    file->addAction(u"往来单位…"_s, this, &MainWindow::showPayees)->setObjectName(u"mPayees"_s);
    file->addAction(u"退出"_s, this, &MainWindow::close)->setObjectName(u"mExit"_s);
    QMenu* format = menuBar()->addMenu(u"格式(&O)"_s);
    format->setObjectName(u"mFormat"_s);
    m_marginAction = format->addAction(u"修改页边距"_s, this, &MainWindow::calibratePrinter);
    m_marginAction->setObjectName(u"mMargin"_s);
    m_stubWidthAction = format->addAction(u"修改票根宽"_s, this, &MainWindow::askStubWidth);
    m_stubWidthAction->setObjectName(u"mRooWidth"_s);
    format->addAction(u"精确校准…"_s, this, &MainWindow::openPrinterFit)
        ->setObjectName(u"mPrinterFit"_s);
    format->addSeparator();
    format->addAction(u"底图…"_s, this, &MainWindow::chooseBackground)
        ->setObjectName(u"mBackground"_s);
    m_showBackgroundAction = format->addAction(u"显示底图"_s);
    m_showBackgroundAction->setObjectName(u"mShowBackground"_s);
    m_showBackgroundAction->setCheckable(true);
    m_showBackgroundAction->setChecked(true);
    connect(m_showBackgroundAction, &QAction::toggled, this, &MainWindow::showBackground);
    QMenu* help = menuBar()->addMenu(u"帮助(&H)"_s);
    help->setObjectName(u"mHelp"_s);
    // The guide's tab is chosen without touching the hint line.
    help->addAction(u"使用说明"_s, this, [this] { m_tabs->setCurrentWidget(m_helpTab); })
        ->setObjectName(u"mUserHelp"_s);
    help->addAction(u"版权说明"_s, this, &MainWindow::showAbout)->setObjectName(u"mRight"_s);

    m_fieldPopup = new QMenu(this);
    m_fieldPopup->setObjectName(u"Position"_s);
    m_fieldPopup->addAction(u"字体字号"_s, this, [this] { adjustFont(m_adjustField); });
    m_fieldPopup->addAction(u"字符间距"_s, this, [this] { adjustSpacing(m_adjustField); });
    m_fieldPopup->addAction(u"位置校准"_s, this, [this] { adjustPosition(m_adjustField); });
}

void MainWindow::tabChanged(int index) {
    if (index >= 0 && index < 3)
        m_hint->setText(kTabHints[index]);
    if (m_tabs->widget(index) == m_historyTab)
        m_historyTab->showHistory();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Each step runs even when the one before failed.
    m_chequeTab->finishEditing();
    SaveOptionFlags(m_cheque, m_services.settings);
    saveLastInput(m_services.db, m_cheque);
    m_fieldPopup->close();
    event->accept();
}

void MainWindow::formatPicked(const QString& name) {
    m_displays.currentFormat = name;
    showFormatGrid();
    ApplyFormatFonts(m_services.db, name, m_cheque, m_progress);
    SetCurrentFormat(m_services.db, name);
    m_chequeTab->showCheque();
    showFirstUse();
}

void MainWindow::showFirstUse() {
    m_firstUse->showWhile(firstUse(m_services.db, m_displays.currentFormat));
}

void MainWindow::showFormatList() {
    const QSignalBlocker blocker(m_formatList);
    m_formatList->clear();
    m_formatList->addItems(m_displays.formatNames);
    m_formatList->setCurrentText(m_displays.currentFormat);
}

PreviewWindow* MainWindow::showPreview() {
    m_chequeTab->finishEditing();
    if (!m_preview) {
        m_preview = new PreviewWindow(
            m_cheque, [this] { return printFormat(); }, [this] { return shownBackground(); },
            m_services.prompts, this);
        m_preview->setBackgroundShown(m_showBackgroundAction->isChecked());
        connect(m_preview, &PreviewWindow::backgroundShownChanged, m_showBackgroundAction,
                &QAction::setChecked);
        connect(m_chequeTab, &ChequeTab::chequeChanged, m_preview, &PreviewWindow::redraw);
        connect(m_preview, &PreviewWindow::printRequested, this, &MainWindow::printCheque);
    }
    m_preview->show();
    m_preview->raise();
    m_preview->redraw();
    return m_preview;
}

JournalDialog* MainWindow::showJournal() {
    m_chequeTab->finishEditing();
    auto* journal = new JournalDialog(m_services.db, m_services.prompts, gridTools(),
                                      m_services.clock.today(), this);
    journal->show();
    return journal;
}

ChequeBooksDialog* MainWindow::showChequeBooks() {
    m_chequeTab->finishEditing();
    auto* books =
        new ChequeBooksDialog(m_services.db, m_services.prompts, m_cheque.text(Field::Account),
                              m_services.clock, m_cheque.kind(), this);
    books->show();
    return books;
}

PayeesDialog* MainWindow::showPayees() {
    m_chequeTab->finishEditing();
    auto* book = new PayeesDialog(m_services.db, m_services.prompts, this);
    book->show();
    return book;
}

RegisterDialog* MainWindow::showRegister() {
    m_chequeTab->finishEditing();
    auto* numbers =
        new RegisterDialog(m_services.db, m_services.prompts, m_services.clock, gridTools(),
                           m_cheque.text(Field::Account), m_cheque.kind(), this);
    numbers->show();
    return numbers;
}

void MainWindow::askStubWidth() {
    m_chequeTab->finishEditing();
    const QString answer =
        m_services.prompts.inputBox(u"请输入票根的宽度："_s, {}, m_displays.stubWidth).trimmed();
    if (answer.isEmpty())
        return;
    if (SavePageSettings(m_services.db, std::nullopt, std::nullopt, numericValue(answer),
                         m_displays.currentFormat, m_cheque, m_displays)) {
        reloadPrintFormat();
        m_formatTab->showFormat(m_displays);
    }
}

void MainWindow::showFormatGrid() {
    ShowFormatGrid(m_formatGrid, m_services.db, m_displays.currentFormat, m_cheque, m_displays,
                   gridTools());
    reloadPrintFormat();
    m_formatTab->showFormat(m_displays);
    // An open preview follows the format as it is changed.
    if (m_preview)
        m_preview->redraw();
}

void MainWindow::reloadPrintFormat() {
    m_printFormat = loadPrintFormat(m_services.db, m_displays.currentFormat, m_cheque.kind());
    reloadBackground();
}

const PrintFormat* MainWindow::printFormat() {
    if (!m_printFormat || m_printFormat->name != m_displays.currentFormat)
        reloadPrintFormat();
    return m_printFormat ? &*m_printFormat : nullptr;
}

void MainWindow::reprintHistoryRow(int row) {
    m_chequeTab->finishEditing();
    if (row < 0 || row >= m_historyList.count())
        return;
    const auto id = qint32(m_historyList.id(row));
    // The cheque keeps its switches and fonts, which the user may have changed since.
    if (startCheque(m_cheque, {.historyRow = id}, m_services.db, m_services.prompts,
                    m_services.clock, m_progress)) {
        m_chequeTab->showCheque();
        m_tabs->setCurrentWidget(m_chequeTab);
    }
}

void MainWindow::showAbout() {
    m_chequeTab->finishEditing();
    m_services.prompts.message(
        u"支票打印 %1\n\n"
        u"在普通办公打印机上打印中国银行支票。\n"
        u"基于 Qt %2。\n\n"
        u"本程序是自由软件，按 GNU 通用公共许可证第三版或更高版本（GPL-3.0-or-later）发布。\n\n"
        u"本程序从不连接网络：支票密码只留在您的电脑上，没有版本检查，也不打开任何网页。"_s.arg(
            QStringLiteral(CHEQUEPRINT_VERSION), QString::fromLatin1(qVersion())),
        u"版权说明"_s, PromptButtons::Ok);
}
