#pragma once

#include <QApplication>
#include <QScreen>
#include <QWidget>

// Centres a window, with its frame, on the primary screen. The frame is only known once the
// window is shown, so call it from the show event or after show().
inline void centreOnScreen(QWidget& window) {
    if (const QScreen* screen = QApplication::primaryScreen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->geometry().center());
        window.move(frame.topLeft());
    }
}
