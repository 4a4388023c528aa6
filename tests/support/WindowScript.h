#pragma once

#include <functional>

#include <QApplication>
#include <QTimer>
#include <QWidget>

// Finding and answering the program's own windows in tests of the window.

// The visible top-level window with exactly this caption, or null.
inline QWidget* openWindow(const QString& caption) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowTitle() == caption)
            return window;
    return nullptr;
}

template <typename T>
T* child(QWidget* window, const QString& name) {
    T* found = window ? window->findChild<T*>(name) : nullptr;
    if (!found)
        qWarning("no child %s", qPrintable(name));
    return found;
}

// Runs `script` once the event loop turns and closes the window afterwards if the script
// left it open (a failed check), so that a failing test cannot hang in the wait.
inline void runWhenOpen(const QString& caption, std::function<void(QWidget*)> script) {
    QTimer::singleShot(0, [caption, script] {
        script(openWindow(caption));
        if (QWidget* window = openWindow(caption))
            window->close();
    });
}

// Runs `script` on the window with this caption as soon as it opens, however many turns of the
// event loop (a print, a progress window) come first; gives up after 30 s.
inline void runOnceOpen(const QString& caption, std::function<void(QWidget*)> script) {
    auto* poll = new QTimer;
    auto* waited = new int(0);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, waited, caption, script] {
        QWidget* window = openWindow(caption);
        if (!window && ++*waited < 3000)
            return;
        poll->stop();
        poll->deleteLater();
        delete waited;
        script(window);
    });
    poll->start();
}

// Whether all of `widget` can be seen: shown, and inside every widget it lies in, up to its
// window.
inline bool wholeInView(const QWidget* widget) {
    if (!widget->isVisible())
        return false;
    for (const QWidget* outer = widget; !outer->isWindow();) {
        outer = outer->parentWidget();
        if (!outer->rect().contains(QRect(widget->mapTo(outer, QPoint()), widget->size())))
            return false;
    }
    return true;
}
