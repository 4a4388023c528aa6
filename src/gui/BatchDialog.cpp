#include "BatchDialog.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ChequePicture.h"
#include "PaymentList.h"

using namespace Qt::StringLiterals;

namespace {

constexpr double kPreviewPixelsPerMm = 3;
const QColor kBadRow(200, 0, 0);

}  // namespace

BatchDialog::BatchDialog(const QString& fileName, const PaymentList& list,
                         QList<PaymentCheque> cheques, const PrintFormat& format, Prompts& prompts,
                         QWidget* parent)
    : QDialog(parent),
      m_cheques(std::move(cheques)),
      m_format(format),
      m_prompts(prompts),
      m_summary(new QLabel(this)),
      m_inherited(new QLabel(this)),
      m_table(new QTableWidget(this)),
      m_preview(new QLabel(this)),
      m_printAll(new QPushButton(u"打印全部"_s, this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(u"Batch"_s);
    setWindowTitle(u"批量打印 - "_s + QFileInfo(fileName).fileName());

    // The list's own columns, as the cashier knows them from the spreadsheet, then the result.
    const QStringList headings =
        QStringList{u"行号"_s} + list.headings + QStringList{u"检查结果"_s};
    m_table->setColumnCount(int(headings.size()));
    m_table->setHorizontalHeaderLabels(headings);
    m_table->setRowCount(int(m_cheques.size()));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setAccessibleName(u"付款清单"_s);
    int bad = 0;
    for (int r = 0; r < m_cheques.size(); ++r) {
        const PaymentCheque& cheque = m_cheques[r];
        QStringList cells = QStringList{QString::number(cheque.line)} + list.rows[r].cells;
        cells << (cheque.problems.isEmpty() ? u"可以打印"_s : cheque.problems.join(u'\n'));
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (!cheque.problems.isEmpty())
                item->setForeground(kBadRow);
            m_table->setItem(r, c, item);
        }
        bad += cheque.problems.isEmpty() ? 0 : 1;
    }
    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();

    QString summary = checkSummary(m_cheques);
    if (!list.hiddenSheets.isEmpty())
        summary += u"；已跳过隐藏的工作表：%1"_s.arg(list.hiddenSheets.join(u"、"_s));
    if (!list.unknownHeadings.isEmpty())
        summary += u"；未知的列：%1"_s.arg(list.unknownHeadings.join(u"、"_s));
    if (bad > 0)
        summary += u"。请改正有问题的行后重新打开清单。"_s;
    m_summary->setText(summary);
    m_summary->setObjectName(u"BatchSummary"_s);
    if (bad > 0)
        m_summary->setStyleSheet(u"color: rgb(200, 0, 0);"_s);
    // Seen before printing: what every row without its own value prints from the window.
    m_inherited->setObjectName(u"BatchInherited"_s);
    m_inherited->setText(inheritedValuesLine(list, m_cheques));
    m_inherited->setVisible(!m_inherited->text().isEmpty());
    m_inherited->setWordWrap(true);
    m_inherited->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_preview->setAccessibleName(u"支票预览"_s);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setMinimumHeight(300);
    m_printAll->setAccessibleName(m_printAll->text());
    m_printAll->setEnabled(bad == 0 && !m_cheques.isEmpty());
    auto* close = new QPushButton(u"关  闭"_s, this);
    close->setAccessibleName(u"关闭"_s);
    connect(m_printAll, &QPushButton::clicked, this, &BatchDialog::printAllRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row) { showCheque(row); });

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_table);
    splitter->addWidget(m_preview);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_printAll);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_inherited);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    resize(900, 700);
    if (!m_cheques.isEmpty())
        m_table->setCurrentCell(0, 0);
}

void BatchDialog::showCheque(int row) {
    if (row < 0 || row >= m_cheques.size()) {
        m_preview->clear();
        return;
    }
    const QImage picture =
        previewCheque(m_cheques[row].cheque, m_format, kPreviewPixelsPerMm, m_prompts);
    m_preview->setPixmap(QPixmap::fromImage(picture));
}
