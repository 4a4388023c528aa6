#include "BatchDialog.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>

#include "ChequePicture.h"
#include "PaymentList.h"
#include "PaymentListSave.h"
#include "Prompts.h"
#include "WindowFit.h"
#include "ui_BatchDialog.h"

using namespace Qt::StringLiterals;

namespace {

constexpr double kPreviewPixelsPerMm = 3;
const QColor kBadRow(200, 0, 0);

}  // namespace

BatchDialog::BatchDialog(const QString& fileName, const PaymentList& list,
                         QList<PaymentCheque> cheques, const PrintFormat& format, Prompts& prompts,
                         QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::BatchDialog>()),
      m_cheques(std::move(cheques)),
      m_format(format),
      m_prompts(prompts),
      m_headings(list.headings) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"批量打印 - "_s + QFileInfo(fileName).fileName());

    // The list's own columns, as the cashier knows them from the spreadsheet, then the result.
    const QStringList headings =
        QStringList{u"行号"_s} + list.headings + QStringList{u"检查结果"_s};
    QTableWidget* table = m_ui->rows;
    table->setColumnCount(int(headings.size()));
    table->setHorizontalHeaderLabels(headings);
    table->setRowCount(int(m_cheques.size()));
    int bad = 0;
    for (int r = 0; r < m_cheques.size(); ++r) {
        const PaymentCheque& cheque = m_cheques[r];
        QStringList cells = QStringList{QString::number(cheque.line)} + list.rows[r].cells;
        cells << (cheque.problems.isEmpty() ? u"可以打印"_s : cheque.problems.join(u'\n'));
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (!cheque.problems.isEmpty())
                item->setForeground(kBadRow);
            if (c == cells.size() - 1)  // a long reason is cut off in its cell
                item->setToolTip(cells[c]);
            table->setItem(r, c, item);
        }
        bad += cheque.problems.isEmpty() ? 0 : 1;
        m_cells << list.rows[r].cells;
        m_pending << r;
    }
    // The result is read whole: its column is as wide as its longest line, and a list
    // narrower than that scrolls sideways rather than cut it.
    table->horizontalHeader()->setSectionResizeMode(int(headings.size()) - 1,
                                                    QHeaderView::ResizeToContents);
    table->resizeColumnsToContents();
    table->resizeRowsToContents();

    QString summary = checkSummary(m_cheques);
    if (!list.hiddenSheets.isEmpty())
        summary += u"；已跳过隐藏的工作表：%1"_s.arg(list.hiddenSheets.join(u"、"_s));
    if (!list.unknownHeadings.isEmpty())
        summary += u"；未知的列：%1"_s.arg(list.unknownHeadings.join(u"、"_s));
    if (bad > 0)
        summary += u"。请改正有问题的行后重新打开清单。"_s;
    m_ui->BatchSummary->setText(summary);
    if (bad > 0)
        m_ui->BatchSummary->setStyleSheet(u"color: rgb(200, 0, 0);"_s);
    // Seen before printing: what every row without its own value prints from the window.
    m_ui->BatchInherited->setText(inheritedValuesLine(list, m_cheques));
    m_ui->BatchInherited->setVisible(!m_ui->BatchInherited->text().isEmpty());
    // The window's switches, which every row prints with.
    if (!m_cheques.isEmpty())
        m_ui->BatchSwitches->setText(batchSwitchesLine(m_cheques.first().cheque));
    m_ui->BatchSwitches->setVisible(!m_cheques.isEmpty());

    // A command of the list, not its answer: Enter does not print.
    m_printAll = m_ui->buttons->addButton(u"打印全部"_s, QDialogButtonBox::ActionRole);
    m_printAll->setAccessibleName(m_printAll->text());
    m_printAll->setEnabled(bad == 0 && !m_cheques.isEmpty());
    QPushButton* close = m_ui->buttons->button(QDialogButtonBox::Close);
    close->setText(u"关  闭"_s);
    close->setIcon(QIcon());
    close->setAccessibleName(u"关闭"_s);
    connect(m_printAll, &QPushButton::clicked, this, &BatchDialog::printAllRequested);
    // Shown once a print stopped part-way.
    m_chequeBooks = m_ui->buttons->addButton(u"登记支票簿…"_s, QDialogButtonBox::ActionRole);
    m_saveUnprinted =
        m_ui->buttons->addButton(u"未打印的另存为清单…"_s, QDialogButtonBox::ActionRole);
    for (QPushButton* button : {m_chequeBooks, m_saveUnprinted}) {
        button->setAccessibleName(button->text());
        button->hide();
    }
    connect(m_chequeBooks, &QPushButton::clicked, this, &BatchDialog::chequeBooksRequested);
    connect(m_saveUnprinted, &QPushButton::clicked, this, &BatchDialog::saveUnprintedRows);
    connect(table, &QTableWidget::currentCellChanged, this, [this](int row) { showCheque(row); });
    if (!m_cheques.isEmpty())
        table->setCurrentCell(0, 0);
    fitOnScreen(*this);
}

BatchDialog::~BatchDialog() = default;

QList<Document> BatchDialog::pendingCheques() const {
    QList<Document> pending;
    for (const int r : m_pending)
        pending << m_cheques[r].cheque;
    return pending;
}

void BatchDialog::printedExcept(const QList<int>& unprinted) {
    QList<int> still;
    for (const int k : unprinted)
        if (k >= 0 && k < m_pending.size())
            still << m_pending[k];
    QTableWidget* table = m_ui->rows;
    const int result = table->columnCount() - 1;
    for (const int r : m_pending) {
        const bool printed = !still.contains(r);
        const QString text = printed ? u"已打印"_s : u"未打印：支票簿的号码不够"_s;
        for (int c = 0; c < table->columnCount(); ++c) {
            QTableWidgetItem* item = table->item(r, c);
            item->setForeground(printed ? QColor(Qt::gray) : kBadRow);
            QFont font = item->font();
            font.setBold(!printed);
            item->setFont(font);
            if (c == result) {
                item->setText(text);
                item->setToolTip(text);
            }
        }
    }
    table->resizeColumnsToContents();  // the bold rows need wider columns
    m_pending = still;
    const qsizetype done = m_cheques.size() - m_pending.size();
    m_ui->BatchSummary->setText(
        u"已打印%1笔，未打印%2笔（红色的行）。请登记新的支票簿后打印未打印的，"
        u"或把它们另存为清单。"_s.arg(done)
            .arg(m_pending.size()));
    m_ui->BatchSummary->setStyleSheet(u"color: rgb(200, 0, 0);"_s);
    m_printAll->setText(u"打印未打印的"_s);
    m_printAll->setAccessibleName(m_printAll->text());
    m_printAll->setEnabled(!m_pending.isEmpty());
    for (QPushButton* button : {m_chequeBooks, m_saveUnprinted})
        button->setVisible(!m_pending.isEmpty());
    if (!m_pending.isEmpty())
        table->setCurrentCell(m_pending.first(), 0);
}

void BatchDialog::saveUnprintedRows() {
    const QString path = m_prompts.saveFile(FilePurpose::PaymentList, u"未打印的另存为清单"_s,
                                            u"付款清单 (*.xlsx)|*.xlsx"_s, u"未打印.xlsx"_s);
    if (path.isEmpty())
        return;
    QList<QStringList> rows;
    for (const int r : m_pending)
        rows << m_cells[r];
    if (savePaymentList(path, m_headings, rows, m_prompts))
        m_prompts.message(u"已把%1笔未打印的付款另存到 %2"_s.arg(rows.size()).arg(path), {},
                          PromptButtons::Ok);
}

QTableWidget* BatchDialog::table() const {
    return m_ui->rows;
}
QLabel* BatchDialog::summary() const {
    return m_ui->BatchSummary;
}
QLabel* BatchDialog::inherited() const {
    return m_ui->BatchInherited;
}
QLabel* BatchDialog::preview() const {
    return m_ui->preview;
}

void BatchDialog::showCheque(int row) {
    if (row < 0 || row >= m_cheques.size()) {
        m_ui->preview->clear();
        return;
    }
    const QImage picture =
        previewCheque(m_cheques[row].cheque, m_format, kPreviewPixelsPerMm, m_prompts);
    m_ui->preview->setPixmap(QPixmap::fromImage(picture));
}
