#include "MarginDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "Calibration.h"
#include "CentreOnScreen.h"
#include "Cheque.h"
#include "FormatStore.h"
#include "NumberText.h"

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

QLineEdit* numberBox(const QString& name, const QString& accessibleName, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setMaximumWidth(80);
    return box;
}

}  // namespace

MarginDialog::MarginDialog(Database& db, const QString& format, Cheque& cheque,
                           FormatDisplays& displays, std::function<void()> stored, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_db(db),
      m_format(format),
      m_cheque(cheque),
      m_displays(displays),
      m_stored(std::move(stored)),
      m_tx(numberBox(u"TX"_s, u"向左移"_s, this)),
      m_ty(numberBox(u"TY"_s, u"向上移"_s, this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(u"Margin"_s);
    setWindowTitle(u"输入打印校准值"_s);

    auto* first = new QLabel(
        u"请在下列输入框中填入打印内容需要移动的距离，如需向反方向移动，请填写负数。"_s, this);
    auto* second = new QLabel(
        u"【通常情况下，只需打印出如右图的校准黑块，量出横向边距和纵向边距填入输入框即可，数字可填写小数】"_s,
        this);
    for (QLabel* label : {first, second})
        label->setWordWrap(true);
    auto* values = new QGridLayout;
    values->addWidget(new QLabel(u"向左移"_s, this), 0, 0);
    values->addWidget(m_tx, 0, 1);
    values->addWidget(new QLabel(u"毫米（横向边距）"_s, this), 0, 2);
    values->addWidget(new QLabel(u"向上移"_s, this), 1, 0);
    values->addWidget(m_ty, 1, 1);
    values->addWidget(new QLabel(u"毫米（纵向边距）"_s, this), 1, 2);
    auto* left = new QVBoxLayout;
    left->addWidget(first);
    left->addWidget(second);
    left->addLayout(values);
    auto* picture = new QLabel(this);
    picture->setObjectName(u"Square"_s);
    picture->setAccessibleName(u"校准黑块"_s);
    picture->setPixmap(squarePicture());
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(picture);

    auto* ok = new QPushButton(u"确  定"_s, this);
    auto* cancel = new QPushButton(u"取  消"_s, this);
    ok->setObjectName(u"Comm0"_s);
    cancel->setObjectName(u"Comm1"_s);
    ok->setAccessibleName(ok->text());
    cancel->setAccessibleName(cancel->text());
    connect(ok, &QPushButton::clicked, this, &MarginDialog::store);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setMinimumWidth(520);

    Cheque loaded = m_cheque;  // the endorsement boxes stay as the user has them
    FormatDisplays shown;
    const PageSettings page =
        LoadPageSettings(m_db, m_format, loaded, shown).value_or(PageSettings{});
    m_tx->setText(numberText(page.x));
    m_ty->setText(numberText(page.y));
}

void MarginDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    centreOnScreen(*this);
}

void MarginDialog::store() {
    if (saveMeasuredMargins(m_db, m_tx->text(), m_ty->text(), m_format, m_cheque, m_displays) &&
        m_stored)
        m_stored();
    close();
}
