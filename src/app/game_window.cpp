#include "app/game_window.h"

#include "app/window_size.h"

namespace app {

GameWindow::GameWindow(QSize design, WindowZooms& zooms, QWidget* parent) : QWidget(parent), zoom_(*this, design, zooms)
{
    told_ = outerSize();
}

QSizeF GameWindow::outerSize() const
{
    return zoom_.outerSizeInTwips();
}

void GameWindow::tellOuterSize()
{
    if (takeOuterSize(*this, zoom_.design(), told_)) emit outerSizeChanged(told_);
}

void GameWindow::setVisible(bool visible)
{
    const bool opening = visible && !isVisible();
    if (opening) zoom_.beforeShow();
    QWidget::setVisible(visible);
    if (opening) zoom_.afterShow();
}

void GameWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    zoom_.windowChanged();
    resized();
    tellOuterSize();
}

void GameWindow::moveEvent(QMoveEvent* event)
{
    // Being framed by a window manager moves the client area.
    QWidget::moveEvent(event);
    zoom_.windowChanged();
    tellOuterSize();
}

}  // namespace app
