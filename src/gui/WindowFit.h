#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Every window opens inside the screen's available area (the screen less its panels), frame
// and all, at any scale.

// The part of a screen's available area (device-independent pixels) a window may cover. At a
// fractional scale Qt rounds the screen's size to whole device-independent pixels, up as often
// as down, and a window as large as that would reach one device pixel past the screen's edge:
// one pixel is left over on the right and at the bottom.
QRect usableArea(const QRect& available, qreal scale);

// Where a window whose inside is `size` goes in `area`: the top-left corner of its frame
// (`allowance`: its frame, or the room for one while the frame is not known yet), centred, or
// at the area's top or left edge when the window is larger.
QPoint centredIn(const QRect& area, QSize size, const QMargins& allowance);

// The window's frame as the window system has it; none before it has framed the window.
QMargins windowFrame(const QWidget& window);
// The frame, or when it is not known yet, the room a window manager's title bar and borders
// usually take.
QMargins frameAllowance(const QWidget& window);
// The part of the window's screen that it may cover, frame and all.
QRect screenArea(const QWidget& window);

// Centres the window, frame and all, in its screen's available area.
void placeOnScreen(QWidget& window);

// Makes a top-level window fit its screen each time it is shown: when its contents need more
// room than the screen has, they move into a scroll area while its rows of dialog buttons stay
// outside it, in view; its size is cut to the area and it is centred there. Call it from the
// constructor, after the window's layout is made.
void fitOnScreen(QWidget& window);
