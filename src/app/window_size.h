#pragma once

#include <QSizeF>

class QWidget;

namespace app {

// The window's outer size in twips, frame and title bar included, as far as
// the window system has told us. Before a window manager decorates the window
// (and with none running) the frame is unknown and this is the client size.
// On Wayland the frame counts only where Qt draws it itself (3, 30, 3 and 3
// pixels, known once the window shows); a frame the compositor draws is never
// told to the client, which then reads its client size.
// The offscreen platform invents a 2-pixel frame that no user ever sees; it is
// left out so that headless runs see the same sizes as an undecorated window.
QSizeF outerSizeInTwips(const QWidget& window);

// Takes the window's outer size into `told`: true when it differs from the
// size told before, which the window then tells its listeners.
bool takeOuterSize(const QWidget& window, QSizeF& told);

}  // namespace app
