#include "FormatTab.h"

#include <QEvent>
#include <QLineEdit>

#include "BoundGrid.h"
#include "BoundGridModel.h"
#include "ChequeGeometry.h"
#include "Document.h"
#include "FieldInput.h"
#include "FieldValidator.h"
#include "FormatGrid.h"
#include "FormatStore.h"
#include "Prompts.h"
#include "TextMeasure.h"
#include "ui_FormatTab.h"

using namespace Qt::StringLiterals;

FormatTab::FormatTab(BoundGrid& grid, GridTools tools, Document& cheque, Prompts& prompts,
                     QWidget* parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::FormatTab>()),
      m_grid(grid),
      m_cheque(cheque),
      m_prompts(prompts),
      // The rows stay in the order a save stores them: the headings do not sort.
      m_view(new BoundGridView(grid, tools, this, BoundGridView::Headings::KeepOrder)),
      m_cellEditor(new QLineEdit(m_view->viewport())) {
    m_ui->setupUi(this);
    // The grid needs the grid it shows, so it is made here and takes the room beside the
    // margins and the endorsement parameters.
    m_ui->top->insertWidget(0, m_view, 1);
    m_view->setObjectName(u"FSF"_s);
    m_view->setFont(historyGridFont());  // the font its column widths were measured in
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            editCell(m_grid.fixedRows() + index.row(), index.column());
    });
    connect(m_view, &QAbstractItemView::clicked, this, [this] { m_cellEditor->hide(); });
    m_cellEditor->setObjectName(u"TT"_s);
    m_cellEditor->setAccessibleName(u"单元格编辑"_s);
    m_cellEditor->hide();
    m_cellEditor->installEventFilter(this);
    connect(m_cellEditor, &QLineEdit::textEdited, this, &FormatTab::cellTyped);
    m_view->setAccessibleName(u"支票格式"_s);

    connect(m_ui->Comm3, &QPushButton::clicked, this, &FormatTab::calibrateRequested);
    m_ui->M_S->installEventFilter(this);

    // One box a parameter, labelled as the endorsement table names it.
    for (int i = 0; i < kEndorsementParameterCount; ++i) {
        const EndorsementParameterInfo& info = endorsementParameters()[size_t(i)];
        auto* box = new QLineEdit(m_ui->endorsement);
        box->setObjectName(u"B_T%1"_s.arg(i));
        box->setAccessibleName(info.label.toString().chopped(1));
        box->setValidator(
            new FieldValidator([](char16_t c) { return NumericKeyFilter(c); }, 5, box));
        connect(box, &QLineEdit::textEdited, this,
                [this, i](const QString& text) { m_cheque.setEndorsement(i, text); });
        m_ui->endorsementLayout->addRow(info.label.toString(), box);
        m_endorsement[size_t(i)] = box;
    }

    connect(m_ui->Comm13, &QPushButton::clicked, this, &FormatTab::saveRequested);
    connect(m_ui->exportFormat, &QPushButton::clicked, this, &FormatTab::exportRequested);
    connect(m_ui->importFormat, &QPushButton::clicked, this, &FormatTab::importRequested);
    connect(m_ui->showPreview, &QPushButton::clicked, this, &FormatTab::previewRequested);
    connect(m_ui->chooseBackground, &QPushButton::clicked, this, &FormatTab::backgroundRequested);
    connect(m_ui->Comm12, &QPushButton::clicked, this, &FormatTab::saveAsRequested);
    connect(m_ui->Comm14, &QPushButton::clicked, this, &FormatTab::deleteRequested);
}

FormatTab::~FormatTab() = default;

QLabel* FormatTab::marginX() const {
    return m_ui->M_X;
}
QLabel* FormatTab::marginY() const {
    return m_ui->M_Y;
}
QLabel* FormatTab::stubWidth() const {
    return m_ui->M_S;
}
QPushButton* FormatTab::saveButton() const {
    return m_ui->Comm13;
}
QPushButton* FormatTab::saveAsButton() const {
    return m_ui->Comm12;
}
QPushButton* FormatTab::deleteButton() const {
    return m_ui->Comm14;
}
QPushButton* FormatTab::calibrateButton() const {
    return m_ui->Comm3;
}

void FormatTab::showFormat(const FormatDisplays& displays) {
    // A kind without a stub or an endorsement has no values of them to set.
    const bool stub = hasPart(m_cheque.kind(), kStubPart);
    m_ui->stubWidthLabel->setVisible(stub);
    m_ui->M_S->setVisible(stub);
    m_ui->endorsement->setVisible(m_cheque.kind().endorsable);
    m_cellEditor->hide();
    m_view->reload();
    // The format opens at its first field, nothing selected, so a red row shows red.
    m_view->setCurrentIndex(QModelIndex());
    m_view->clearSelection();
    m_view->scrollToTop();
    m_ui->M_X->setText(displays.marginX);
    m_ui->M_Y->setText(displays.marginY);
    m_ui->M_S->setText(displays.stubWidth);
    for (int i = 0; i < kEndorsementParameterCount; ++i)
        m_endorsement[size_t(i)]->setText(m_cheque.endorsement(i));
}

void FormatTab::editCell(int row, int col) {
    m_cellEditor->hide();
    if (row < m_grid.fixedRows() || row >= m_grid.rows())
        return;
    const QModelIndex index = m_view->model()->index(row - m_grid.fixedRows(), col);
    if (col >= kFirstMillimetreColumn && col <= kLastMillimetreColumn) {
        m_editRow = row;
        m_editCol = col;
        const QRect cell = m_view->visualRect(index);
        m_cellEditor->setGeometry(cell.adjusted(0, 0, 1, 0));
        m_cellEditor->setText(m_grid.text(row, col));
        m_cellEditor->show();
        m_cellEditor->setFocus();
        m_cellEditor->selectAll();
    } else if (col >= kFirstFontColumn) {
        const std::optional<TextFont> chosen = m_prompts.chooseFont(formatRowFont(m_grid, row));
        if (!chosen)
            return;
        setFormatRowFont(m_grid, row, *chosen);
        m_view->reload();
    }
}

void FormatTab::cellTyped(const QString& text) {
    editFormatCell(m_grid, m_editRow, m_editCol, text);
    // The cell shows the value at once; the editor keeps what is being typed.
    m_view->model()->dataChanged(m_view->model()->index(0, 0),
                                 m_view->model()->index(m_view->model()->rowCount() - 1,
                                                        m_view->model()->columnCount() - 1));
}

bool FormatTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_cellEditor && event->type() == QEvent::FocusOut)
        m_cellEditor->hide();
    if (watched == m_ui->M_S && event->type() == QEvent::MouseButtonDblClick)
        emit stubWidthRequested();
    return QWidget::eventFilter(watched, event);
}
