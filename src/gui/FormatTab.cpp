#include "FormatTab.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "BoundGrid.h"
#include "BoundGridModel.h"
#include "Cheque.h"
#include "FieldInput.h"
#include "FieldValidator.h"
#include "FormatGrid.h"
#include "FormatStore.h"
#include "Prompts.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

QPushButton* commandButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    button->setMinimumHeight(30);
    return button;
}

QLabel* valueLabel(const QString& name, const QString& accessibleName, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAccessibleName(accessibleName);
    label->setMinimumWidth(60);
    label->setFrameShape(QFrame::StyledPanel);
    return label;
}

}  // namespace

FormatTab::FormatTab(BoundGrid& grid, GridTools tools, Cheque& cheque, Prompts& prompts,
                     QWidget* parent)
    : QWidget(parent),
      m_grid(grid),
      m_cheque(cheque),
      m_prompts(prompts),
      m_cellEditor(nullptr),
      m_save(commandButton(u"Comm13"_s, u"保 存 格 式"_s, this)),
      m_saveAs(commandButton(u"Comm12"_s, u"格 式 另 存"_s, this)),
      m_delete(commandButton(u"Comm14"_s, u"删 除 格 式"_s, this)),
      // The rows stay in the order a save stores them: the headings do not sort.
      m_view(new BoundGridView(grid, tools, this, BoundGridView::Headings::KeepOrder)),
      m_marginX(valueLabel(u"M_X"_s, u"横向(毫米)"_s, this)),
      m_marginY(valueLabel(u"M_Y"_s, u"纵向(毫米)"_s, this)),
      m_stubWidth(valueLabel(u"M_S"_s, u"票根宽(毫米)"_s, this)) {
    m_view->setObjectName(u"FSF"_s);
    m_view->setFont(historyGridFont());  // the font its column widths were measured in
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            editCell(m_grid.fixedRows() + index.row(), index.column());
    });
    connect(m_view, &QAbstractItemView::clicked, this, [this] { m_cellEditor->hide(); });
    m_cellEditor = new QLineEdit(m_view->viewport());
    m_cellEditor->setObjectName(u"TT"_s);
    m_cellEditor->setAccessibleName(u"单元格编辑"_s);
    m_cellEditor->hide();
    m_cellEditor->installEventFilter(this);
    connect(m_cellEditor, &QLineEdit::textEdited, this, &FormatTab::cellTyped);
    m_view->setAccessibleName(u"支票格式"_s);

    auto* margins = new QGroupBox(u"页边距"_s, this);
    auto* marginLayout = new QFormLayout(margins);
    marginLayout->addRow(u"横向(毫米)："_s, m_marginX);
    marginLayout->addRow(u"纵向(毫米)："_s, m_marginY);
    m_calibrate = commandButton(u"Comm3"_s, u"页边距 设置"_s, margins);
    connect(m_calibrate, &QPushButton::clicked, this, &FormatTab::calibrateRequested);
    marginLayout->addRow(m_calibrate);
    m_stubWidth->setToolTip(u"双击修改票根宽度。"_s);
    m_stubWidth->installEventFilter(this);

    auto* stub = new QFormLayout;
    stub->addRow(u"票根宽(毫米)："_s, m_stubWidth);

    auto* endorsement = new QGroupBox(u"背书参数"_s, this);
    auto* endorsementLayout = new QFormLayout(endorsement);
    for (int i = 0; i < kEndorsementParameterCount; ++i) {
        const EndorsementParameterInfo& info = endorsementParameters()[size_t(i)];
        auto* box = new QLineEdit(endorsement);
        box->setObjectName(u"B_T%1"_s.arg(i));
        box->setAccessibleName(info.label.toString().chopped(1));
        box->setValidator(
            new FieldValidator([](char16_t c) { return NumericKeyFilter(c); }, 5, box));
        connect(box, &QLineEdit::textEdited, this,
                [this, i](const QString& text) { m_cheque.setEndorsement(i, text); });
        endorsementLayout->addRow(info.label.toString(), box);
        m_endorsement[size_t(i)] = box;
    }

    auto* side = new QVBoxLayout;
    side->addWidget(margins);
    side->addLayout(stub);
    side->addWidget(endorsement);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_view, 1);
    top->addLayout(side);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_saveAs);
    buttons->addWidget(m_delete);
    connect(m_save, &QPushButton::clicked, this, &FormatTab::saveRequested);
    connect(m_saveAs, &QPushButton::clicked, this, &FormatTab::saveAsRequested);
    connect(m_delete, &QPushButton::clicked, this, &FormatTab::deleteRequested);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
}

void FormatTab::showFormat(const FormatDisplays& displays) {
    m_cellEditor->hide();
    m_view->reload();
    // The format opens at its first field, nothing selected, so a red row shows red.
    m_view->setCurrentIndex(QModelIndex());
    m_view->clearSelection();
    m_view->scrollToTop();
    m_marginX->setText(displays.marginX);
    m_marginY->setText(displays.marginY);
    m_stubWidth->setText(displays.stubWidth);
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
    if (watched == m_stubWidth && event->type() == QEvent::MouseButtonDblClick)
        emit stubWidthRequested();
    return QWidget::eventFilter(watched, event);
}
