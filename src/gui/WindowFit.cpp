#include "WindowFit.h"

#include <cmath>

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

const QString kFitScroll = u"fitScroll"_s;

// Whether the layout item is, or holds, a row of dialog buttons.
bool holdsButtonBox(QLayoutItem* item) {
    if (QWidget* widget = item->widget())
        return qobject_cast<QDialogButtonBox*>(widget) ||
               widget->findChild<QDialogButtonBox*>() != nullptr;
    if (QLayout* layout = item->layout())
        for (int i = 0; i < layout->count(); ++i)
            if (holdsButtonBox(layout->itemAt(i)))
                return true;
    return false;
}

// Whether the window's contents need more room than `room` even at their smallest.
bool cramped(const QWidget& window, QSize room) {
    const QLayout* layout = window.layout();
    if (!layout)
        return false;
    const QSize smallest = layout->totalMinimumSize();
    if (smallest.width() > room.width() || smallest.height() > room.height())
        return true;
    return layout->hasHeightForWidth() &&
           layout->totalHeightForWidth(qMin(window.width(), room.width())) > room.height();
}

// Moves everything of the window's layout but its rows of dialog buttons into a scroll area
// that takes their place, so that the buttons stay in view however small the window is.
void scrollAllButButtons(QWidget& window) {
    auto* layout = qobject_cast<QBoxLayout*>(window.layout());
    if (!layout || window.findChild<QScrollArea*>(kFitScroll, Qt::FindDirectChildrenOnly))
        return;
    auto* inner = new QWidget;
    auto* moved = new QVBoxLayout;
    moved->setContentsMargins(0, 0, 0, 0);
    int at = -1;
    int stretch = 0;
    for (int i = 0; i < layout->count();) {
        QLayoutItem* item = layout->itemAt(i);
        if (holdsButtonBox(item)) {
            ++i;
            continue;
        }
        if (at < 0)
            at = i;
        const int itemStretch = layout->stretch(i);
        stretch = qMax(stretch, itemStretch);
        layout->takeAt(i);
        if (QWidget* widget = item->widget()) {
            moved->addWidget(widget, itemStretch, item->alignment());
            delete item;
        } else if (QLayout* nested = item->layout()) {
            moved->addLayout(nested, itemStretch);
        } else {
            moved->addItem(item);
        }
    }
    if (at < 0) {
        delete moved;
        delete inner;
        return;
    }
    inner->setLayout(moved);  // takes the moved widgets along
    auto* area = new QScrollArea;
    area->setObjectName(kFitScroll);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(inner);
    layout->insertWidget(at, area, qMax(stretch, 1));
    // Added to a window that is being shown, it would only show at the next turn of the loop.
    area->show();
    layout->activate();  // the window's smallest size is now that of what stays outside
}

// The window shown: contents that cannot fit scroll, the size is cut to the room, and the window
// is centred.
void fitNow(QWidget& window) {
    const QMargins allowance = frameAllowance(window);
    const QRect area = screenArea(window);
    const QSize room = area.size().shrunkBy(allowance);
    if (cramped(window, room))
        scrollAllButButtons(window);
    window.resize(window.size().boundedTo(room));
    window.move(centredIn(area, window.size(), allowance));
}

class ScreenFitter final : public QObject {
public:
    explicit ScreenFitter(QWidget& window) : QObject(&window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Before the window's own show event, which may look at its size.
        if (watched == &m_window && event->type() == QEvent::Show && !event->spontaneous())
            fitNow(m_window);
        return false;
    }

private:
    QWidget& m_window;
};

}  // namespace

QRect usableArea(const QRect& available, qreal scale) {
    const bool fractional = std::abs(scale - std::round(scale)) > 1e-6;
    return fractional ? available.adjusted(0, 0, -1, -1) : available;
}

QPoint centredIn(const QRect& area, QSize size, const QMargins& allowance) {
    QRect framed(QPoint(), size.grownBy(allowance));
    framed.moveCenter(area.center());
    // A window larger than the area keeps its title bar and left edge on the screen.
    framed.moveLeft(qMax(area.left(), qMin(framed.left(), area.right() + 1 - framed.width())));
    framed.moveTop(qMax(area.top(), qMin(framed.top(), area.bottom() + 1 - framed.height())));
    return framed.topLeft();
}

QMargins windowFrame(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

QMargins frameAllowance(const QWidget& window) {
    const QMargins frame = windowFrame(window);
    if (!frame.isNull() || window.windowFlags().testFlag(Qt::FramelessWindowHint))
        return frame;
    // A window manager frames a window only once it is on the screen: until then, room for the
    // usual title bar (about two lines of text) and thin borders.
    const int line = window.fontMetrics().height();
    const int border = qMax(2, line / 4);
    return {border, 2 * line, border, border};
}

QRect screenArea(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return usableArea(screen->availableGeometry(), screen->devicePixelRatio());
}

void placeOnScreen(QWidget& window) {
    window.move(centredIn(screenArea(window), window.size(), frameAllowance(window)));
}

void fitOnScreen(QWidget& window) {
    window.installEventFilter(new ScreenFitter(window));
}
