#include "CollateDialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "CentreOnScreen.h"
#include "ChequeFields.h"
#include "Database.h"
#include "FormatStore.h"
#include "NumberText.h"

using namespace Qt::StringLiterals;

CollateDialog::CollateDialog(Database& db, const QString& formatName, int field, Cheque& cheque,
                             std::function<void()> refresh, QWidget* mainWindow)
    // Not a child of the main window: disabling the main window would disable it too. It stays
    // on top so that it cannot get lost behind the disabled window.
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_db(db),
      m_format(formatName),
      m_field(field),
      m_cheque(cheque),
      m_refresh(std::move(refresh)),
      m_mainWindow(mainWindow),
      m_lbl(new QLabel(chequeFields().at(size_t(field)).identifier.toString(), this)),
      m_tx(new QLineEdit(this)),
      m_ty(new QLineEdit(this)),
      m_com0(new QPushButton(u"确     定"_s, this)),
      m_com1(new QPushButton(u"取     消"_s, this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(u"CollateDialog"_s);
    setWindowTitle(u"修改打印内容位置"_s);
    m_lbl->setObjectName(u"LBL"_s);
    m_tx->setObjectName(u"TX"_s);
    m_ty->setObjectName(u"TY"_s);
    m_com0->setObjectName(u"COM0"_s);
    m_com1->setObjectName(u"COM1"_s);

    auto* explanation = new QLabel(
        u"以下数值用于调整打印内容位置：\n横向数值加大向右移，反之向左；\n纵向数值加大向下移，反之向上。"_s,
        this);
    auto* current = new QHBoxLayout;
    current->addWidget(new QLabel(u"当前修改内容："_s, this));
    current->addWidget(m_lbl, 1);

    auto* position = new QHBoxLayout;
    position->addWidget(new QLabel(u"向右移"_s, this));
    position->addWidget(m_tx);
    position->addWidget(new QLabel(u"毫米"_s, this));
    position->addSpacing(12);
    position->addWidget(new QLabel(u"向下移"_s, this));
    position->addWidget(m_ty);
    position->addWidget(new QLabel(u"毫米"_s, this));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_com0);
    buttons->addWidget(m_com1);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(current);
    layout->addLayout(position);
    layout->addLayout(buttons);

    connect(m_com0, &QPushButton::clicked, this, &CollateDialog::store);
    connect(m_com1, &QPushButton::clicked, this, &QWidget::close);
}

CollateDialog::~CollateDialog() {
    // Deleted without closing, it still must not leave the main window disabled.
    enableMainWindow();
}

void CollateDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window restored from the task bar is shown again; what was typed stays.
    if (event->spontaneous())
        return;
    if (m_mainWindow)
        m_mainWindow->setEnabled(false);
    centreOnScreen(*this);
    loadPosition();
}

void CollateDialog::closeEvent(QCloseEvent* event) {
    enableMainWindow();
    event->accept();
}

void CollateDialog::loadPosition() {
    m_tx->clear();
    m_ty->clear();
    const std::optional<FieldPosition> position = storedFieldPosition(m_db, m_format, m_field);
    if (!position)
        return;
    m_tx->setText(numberText(position->x));
    m_ty->setText(numberText(position->y));
}

void CollateDialog::store() {
    UpdateFieldSettings(m_db, m_field, m_cheque, m_format, numericValue(m_tx->text()),
                        numericValue(m_ty->text()), std::nullopt);
    // The grid shows what the database holds, whether or not the change went in (another
    // clerk may have changed the format meanwhile).
    if (m_refresh)
        m_refresh();
    close();
}

void CollateDialog::enableMainWindow() {
    if (m_mainWindow)
        m_mainWindow->setEnabled(true);
}
