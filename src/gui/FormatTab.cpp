#include "FormatTab.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "BoundGridModel.h"
#include "Cheque.h"
#include "FieldInput.h"
#include "FieldValidator.h"
#include "FormatStore.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

QPushButton* commandButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    button->setMinimumHeight(30);
    button->setEnabled(false);  // the format commands come with the format editing
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

FormatTab::FormatTab(BoundGrid& grid, GridTools tools, Cheque& cheque, QWidget* parent)
    : QWidget(parent),
      m_cheque(cheque),
      m_view(new BoundGridView(grid, tools, this)),
      m_marginX(valueLabel(u"M_X"_s, u"横向(毫米)"_s, this)),
      m_marginY(valueLabel(u"M_Y"_s, u"纵向(毫米)"_s, this)),
      m_stubWidth(valueLabel(u"M_S"_s, u"票根宽(毫米)"_s, this)) {
    m_view->setObjectName(u"FSF"_s);
    m_view->setFont(historyGridFont());  // the font its column widths were measured in
    m_view->setAccessibleName(u"支票格式"_s);

    auto* margins = new QGroupBox(u"页边距"_s, this);
    auto* marginLayout = new QFormLayout(margins);
    marginLayout->addRow(u"横向(毫米)："_s, m_marginX);
    marginLayout->addRow(u"纵向(毫米)："_s, m_marginY);
    marginLayout->addRow(commandButton(u"Comm3"_s, u"页边距 设置"_s, margins));

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
    buttons->addWidget(commandButton(u"Comm13"_s, u"保 存 格 式"_s, this));
    buttons->addWidget(commandButton(u"Comm12"_s, u"格 式 另 存"_s, this));
    buttons->addWidget(commandButton(u"Comm14"_s, u"删 除 格 式"_s, this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
}

void FormatTab::showFormat(const FormatDisplays& displays) {
    m_view->reload();
    m_view->clearSelection();
    m_view->scrollToTop();
    m_marginX->setText(displays.marginX);
    m_marginY->setText(displays.marginY);
    m_stubWidth->setText(displays.stubWidth);
    for (int i = 0; i < kEndorsementParameterCount; ++i)
        m_endorsement[size_t(i)]->setText(m_cheque.endorsement(i));
}
