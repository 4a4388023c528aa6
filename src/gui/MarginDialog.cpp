#include "MarginDialog.h"

#include <QPainter>

#include "Calibration.h"
#include "Document.h"
#include "FormatStore.h"
#include "NumberText.h"
#include "OkCancelButtons.h"
#include "WindowFit.h"
#include "ui_MarginDialog.h"

using namespace Qt::StringLiterals;

namespace {

// The calibration page in small: the paper's corner, the square 10 mm in, the two distances.
QPixmap squarePicture() {
    QPixmap picture(150, 120);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.drawRect(QRect(0, 0, 149, 119));
    painter.fillRect(QRect(60, 50, 30, 30), Qt::black);
    painter.setPen(QPen(QColor(38, 110, 92), 1, Qt::DashLine));
    painter.drawLine(0, 65, 58, 65);
    painter.drawLine(75, 0, 75, 48);
    QFont small = painter.font();
    small.setPixelSize(11);
    painter.setFont(small);
    painter.setPen(QColor(38, 110, 92));
    painter.drawText(QRect(2, 67, 56, 14), Qt::AlignCenter, u"横向"_s);
    painter.drawText(QRect(78, 16, 60, 14), Qt::AlignLeft, u"纵向"_s);
    return picture;
}

}  // namespace

MarginDialog::MarginDialog(Database& db, const QString& format, Document& cheque,
                           FormatDisplays& displays, std::function<void()> stored, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::MarginDialog>()),
      m_db(db),
      m_format(format),
      m_cheque(cheque),
      m_displays(displays),
      m_stored(std::move(stored)) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    captionOkCancel(*m_ui->buttons, u"确  定"_s, u"取  消"_s, u"Comm"_s);
    m_ui->Square->setPixmap(squarePicture());

    Document loaded = m_cheque;  // the endorsement boxes stay as the user has them
    FormatDisplays shown;
    const PageSettings page =
        LoadPageSettings(m_db, m_format, loaded, shown).value_or(PageSettings{});
    m_ui->TX->setText(numberText(page.x));
    m_ui->TY->setText(numberText(page.y));
    fitOnScreen(*this);
}

MarginDialog::~MarginDialog() = default;

void MarginDialog::accept() {
    if (saveMeasuredMargins(m_db, m_ui->TX->text(), m_ui->TY->text(), m_format, m_cheque,
                            m_displays) &&
        m_stored)
        m_stored();
    QDialog::accept();
}
