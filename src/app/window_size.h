#pragma once

#include <QMargins>
#include <QSize>
#include <QSizeF>

class QWidget;

namespace app {

// The frame around the window's client area, as far as the window system has
// told us. Before a window manager decorates the window (and with none
// running) it is unknown, and none. On Wayland it is told only where Qt draws
// it itself (3, 30, 3 and 3 pixels, known once the window shows); a frame the
// compositor draws is never told to the client.
// The offscreen platform invents a 2-pixel frame that no user ever sees; it is
// left out so that headless runs see the same sizes as an undecorated window.
QMargins toldFrame(const QWidget& window);

// Whether the platform's screens are made up (the offscreen platform's 800 x
// 800 one): nothing is fitted to them.
bool platformInventsScreens();

// The window's outer size in twips, frame and title bar included: a client
// area of `client` pixels (the window's own size at full size, its size in
// the design's pixels when zoomed) and the frame told.
QSizeF outerSizeInTwips(const QWidget& window, QSize client);

// Takes that outer size into `told`: true when it differs from the size told
// before, which the window then tells its listeners.
bool takeOuterSize(const QWidget& window, QSize client, QSizeF& told);

}  // namespace app
