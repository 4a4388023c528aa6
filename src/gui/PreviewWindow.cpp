#include "PreviewWindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ChequeGeometry.h"
#include "ChequePicture.h"
#include "Document.h"
#include "OverflowGuard.h"
#include "PrintFormat.h"
#include "PrintSurface.h"
#include "Prompts.h"
#include "WindowFit.h"

using namespace Qt::StringLiterals;

PreviewWindow::PreviewWindow(const Document& cheque, std::function<const PrintFormat*()> format,
                             std::function<const FaintPicture*()> background, Prompts& prompts,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_cheque(cheque),
      m_format(std::move(format)),
      m_background(std::move(background)),
      m_prompts(prompts),
      m_scroll(new QScrollArea(this)),
      m_shown(new QLabel),
      m_overflow(new QLabel(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(u"Preview"_s);
    setWindowTitle(u"打印预览"_s);
    m_shown->setAccessibleName(u"支票预览"_s);
    m_scroll->setWidget(m_shown);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_overflow->setObjectName(u"Overflow"_s);
    m_overflow->setStyleSheet(u"color: rgb(200, 0, 0);"_s);

    auto* fit = new QPushButton(u"适合窗口"_s, this);
    auto* actual = new QPushButton(u"实际大小"_s, this);
    auto* print = m_print = new QPushButton(u"打印"_s, this);
    for (QPushButton* button : {fit, actual, print})
        button->setAccessibleName(button->text());
    fit->setObjectName(u"Fit"_s);
    actual->setObjectName(u"Actual"_s);
    print->setObjectName(u"Print"_s);
    connect(fit, &QPushButton::clicked, this, [this] { setActualSize(false); });
    connect(actual, &QPushButton::clicked, this, [this] { setActualSize(true); });
    connect(print, &QPushButton::clicked, this, &PreviewWindow::printRequested);
    m_showBackground = new QCheckBox(u"显示底图(&G)"_s, this);
    m_showBackground->setObjectName(u"ShowBackground"_s);
    m_showBackground->setChecked(true);
    connect(m_showBackground, &QCheckBox::toggled, this, &PreviewWindow::backgroundShownChanged);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fit);
    buttons->addWidget(actual);
    buttons->addWidget(m_showBackground);
    buttons->addStretch();
    buttons->addWidget(print);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_overflow);
    resize(1000, 420);
    fitOnScreen(*this);
}

double PreviewWindow::pixelsPerMm() const {
    if (m_actualSize) {
        const QScreen* shown = screen();
        return (shown ? shown->physicalDotsPerInchX() : 96.0) / 25.4;
    }
    // The whole paper (stub, body and 10 mm around) in the visible part of the window.
    const ChequeGeometry& g = ChequeGeometry::of(m_cheque.kind());
    const QSize room = m_scroll->viewport()->size() - QSize(4, 4);
    const QSizeF front = g.rowSize(0);
    const double width = front.width() + 10;
    const double height = front.height() + 10;
    return qMax(1.0, qMin(room.width() / width, room.height() / height));
}

void PreviewWindow::setPrintEnabled(bool enabled) {
    m_print->setEnabled(enabled);
}

void PreviewWindow::setBackgroundShown(bool shown) {
    const QSignalBlocker quiet(m_showBackground);
    m_showBackground->setChecked(shown);
    redraw();
}

void PreviewWindow::setActualSize(bool actual) {
    m_actualSize = actual;
    redraw();
}

void PreviewWindow::redraw() {
    const double scale = pixelsPerMm();
    const PrintFormat* format = m_format();
    if (!format) {
        // Its margins were never read: a picture without them would mislead.
        m_prompts.message(u"打印错误，请检查打印机！"_s, {}, PromptButtons::Ok);
        m_picture = {};
        return;
    }
    m_picture = previewCheque(m_cheque, *format, scale, m_prompts, m_background());
    if (m_picture.isNull())
        return;
    // The fields that will not fit, measured as the preview draws them (fed crosswise).
    Document fed = m_cheque;
    fed.setCrosswise(true);
    QList<QRectF> extents;
    const QList<int> overflowing =
        findOverflowingFields(fed, *format, *printerLikeMeasure(), &extents);
    if (!overflowing.isEmpty()) {
        // The printer's origin lies (H - 10, V - 10) mm from the paper corner of the picture.
        const QPointF offset(format->page.x - 10, format->page.y - 10);
        QPainter painter(&m_picture);
        painter.setPen(QPen(Qt::red, qMax(1.0, scale * 0.3)));
        for (const QRectF& extent : extents)
            painter.drawRect(QRectF((extent.topLeft() + offset) * scale, extent.size() * scale)
                                 .adjusted(-1, -1, 1, 1));
        m_overflow->setText(u"以下内容超出支票栏位："_s +
                            fieldIdentifiers(m_cheque.kind(), overflowing));
    } else {
        m_overflow->clear();
    }
    m_shown->setPixmap(QPixmap::fromImage(m_picture));
    m_shown->resize(m_picture.size());
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_actualSize)
        redraw();
}
