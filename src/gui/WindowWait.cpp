#include "WindowWait.h"

#include <algorithm>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

bool IsFormOpen(const QString& caption) {
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [&](const QWidget* window) {
        return window->isVisible() && window->windowTitle() == caption;
    });
}

void WaitWhileFormOpen(const QString& caption) {
    if (!IsFormOpen(caption))
        return;
    // A local loop, looked in on every 50 ms: it sleeps while nothing happens, and notices a
    // window that closes without any event reaching this code.
    QEventLoop loop;
    QTimer timer;
    timer.setInterval(50);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (!IsFormOpen(caption))
            loop.quit();
    });
    timer.start();
    while (IsFormOpen(caption))
        loop.exec();
}
