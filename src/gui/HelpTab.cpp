#include "HelpTab.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ChequeFields.h"

using namespace Qt::StringLiterals;

HelpTab::HelpTab(QWidget* parent) : QWidget(parent), m_guide(new QPlainTextEdit(this)) {
    m_guide->setObjectName(u"Txt10"_s);
    m_guide->setAccessibleName(u"使用说明"_s);
    m_guide->setReadOnly(true);
    m_guide->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_guide->setPlainText(userGuideText());

    auto* about = new QPushButton(u"版 权 说 明"_s, this);
    about->setObjectName(u"Comm11"_s);
    about->setAccessibleName(about->text());
    about->setMinimumHeight(30);
    connect(about, &QPushButton::clicked, this, &HelpTab::aboutRequested);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(about);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_guide, 1);
    layout->addLayout(buttons);
}
