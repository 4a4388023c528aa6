#include "HelpTab.h"

#include "ChequeFields.h"
#include "ui_HelpTab.h"

HelpTab::HelpTab(QWidget* parent) : QWidget(parent), m_ui(std::make_unique<Ui::HelpTab>()) {
    m_ui->setupUi(this);
    m_ui->Txt10->setPlainText(userGuideText());
    connect(m_ui->Comm11, &QPushButton::clicked, this, &HelpTab::aboutRequested);
}

HelpTab::~HelpTab() = default;

QPlainTextEdit* HelpTab::guide() const {
    return m_ui->Txt10;
}
