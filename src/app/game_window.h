#pragma once

#include <QSize>
#include <QSizeF>
#include <QWidget>

#include "app/zoom.h"

namespace app {

// A top-level window of the game: zoomed to fit its screen (WindowZoom), and
// telling the game its outer size in twips, frame included, whenever the
// window system changes it. The title and the battlefield are both one.
class GameWindow : public QWidget {
    Q_OBJECT
public:
    // `design`: the client area in pixels at full size.
    GameWindow(QSize design, WindowZooms& zooms, QWidget* parent);

    // The window's outer size in twips, as far as the window system has told.
    QSizeF outerSize() const;
    Zoom zoom() const { return zoom_.zoom(); }

    void setVisible(bool visible) override;

signals:
    // The outer size (twips) differs from the one last told.
    void outerSizeChanged(QSizeF twips);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // After a resize has been taken into the zoom, before the size is told.
    virtual void resized() {}
    void tellOuterSize();

    WindowZoom zoom_;

private:
    QSizeF told_;
};

}  // namespace app
