#include "TypedKeysFilter.h"

#include <QKeyEvent>
#include <QWidget>

void TypedKeysFilter::install(QWidget& box) {
    box.installEventFilter(new TypedKeysFilter(&box));
}

bool TypedKeysFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const QString text = static_cast<const QKeyEvent*>(event)->text();
        if (!text.isEmpty() && text.front().isPrint())
            return true;
    }
    return QObject::eventFilter(watched, event);
}
