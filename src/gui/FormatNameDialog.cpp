#include "FormatNameDialog.h"

#include <QPointer>

#include "DialogWait.h"
#include "OkCancelButtons.h"
#include "TypedKeysFilter.h"
#include "WindowFit.h"
#include "ui_FormatNameDialog.h"

using namespace Qt::StringLiterals;

FormatNameDialog::FormatNameDialog(const QStringList& names, const QString& current, bool saveAs,
                                   QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::FormatNameDialog>()) {
    m_ui->setupUi(this);
    captionOkCancel(*m_ui->buttons, u"确    定"_s, u"取    消"_s, u"COM"_s);
    m_ui->CMB->setEditable(saveAs);
    m_ui->CMB->setInsertPolicy(QComboBox::NoInsert);
    m_ui->CMB->addItems(names);
    m_ui->CMB->setCurrentIndex(m_ui->CMB->findText(current, Qt::MatchExactly));
    if (!saveAs)  // only a listed name can be deleted
        TypedKeysFilter::install(*m_ui->CMB);
    fitOnScreen(*this);
}

FormatNameDialog::~FormatNameDialog() = default;

QString FormatNameDialog::chooseFormatName(const QStringList& names, const QString& current,
                                           bool saveAs, QWidget* parent) {
    QPointer<FormatNameDialog> dialog = new FormatNameDialog(names, current, saveAs, parent);
    const bool chosen = showAndWait(*dialog) == QDialog::Accepted;
    const QString name = chosen && dialog ? dialog->shownName() : QString();
    delete dialog.data();
    return name;
}

QString FormatNameDialog::shownName() const {
    return m_ui->CMB->currentText().trimmed();
}

void FormatNameDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The keys go to the list at once, so the choice can be made without the mouse.
    activateWindow();
    m_ui->CMB->setFocus();
}
