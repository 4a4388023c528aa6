#include "CollateDialog.h"

#include <QShowEvent>

#include "Database.h"
#include "Document.h"
#include "FormatStore.h"
#include "NumberText.h"
#include "OkCancelButtons.h"
#include "WindowFit.h"
#include "ui_CollateDialog.h"

using namespace Qt::StringLiterals;

CollateDialog::CollateDialog(Database& db, const QString& formatName, int field, Document& cheque,
                             std::function<void()> refresh, QWidget* mainWindow)
    : QDialog(mainWindow),
      m_ui(std::make_unique<Ui::CollateDialog>()),
      m_db(db),
      m_format(formatName),
      m_field(field),
      m_cheque(cheque),
      m_refresh(std::move(refresh)) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    captionOkCancel(*m_ui->buttons, u"确     定"_s, u"取     消"_s, u"COM"_s);
    m_ui->LBL->setText(cheque.kind().fields[size_t(field)].identifier.toString());
    fitOnScreen(*this);
}

CollateDialog::~CollateDialog() = default;

void CollateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored from the task bar is shown again; what was typed stays.
    if (event->spontaneous())
        return;
    loadPosition();
}

void CollateDialog::loadPosition() {
    m_ui->TX->clear();
    m_ui->TY->clear();
    const std::optional<FieldPosition> position =
        storedFieldPosition(m_db, m_format, m_field, m_cheque.kind().id.toString());
    if (!position)
        return;
    m_ui->TX->setText(numberText(position->x));
    m_ui->TY->setText(numberText(position->y));
}

void CollateDialog::accept() {
    UpdateFieldSettings(m_db, m_field, m_cheque, m_format, numericValue(m_ui->TX->text()),
                        numericValue(m_ui->TY->text()), std::nullopt);
    // The grid shows what the database holds, whether or not the change went in (another
    // clerk may have changed the format meanwhile).
    if (m_refresh)
        m_refresh();
    QDialog::accept();
}
