#pragma once

#include <QMargins>
#include <QMetaObject>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QSizeF>

#include "app/painting/zoom_ratio.h"

class QScreen;
class QWidget;

namespace app {

// The largest zoom, at most `limit` and at most 1, at which a client area of
// `design` pixels fits in `available` with `frame` around it (the frame is
// the window system's and does not shrink). An empty `available` is a screen
// of unknown size, where everything fits. Where not even 1/8 fits, 1/8.
Zoom fittingZoom(QSize design, QMargins frame, QSize available, double limit);

// The zoom the player asked for, at most 1: QT_SCALE_FACTOR below 1, which
// Qt's painting does not honour (it paints at full size into the smaller
// window), is taken over by the game before the QApplication exists:
// Qt is told 1 and the game zooms its windows by the factor asked for
// instead. Returns the factor taken over, or 1. Per-screen factors below 1
// (QT_SCREEN_SCALE_FACTORS) become 1, with a word on standard error.
double takeOverSmallScaleFactor();

// What the game's windows share about their zoom: the zoom the player asked
// for (at most 1), and the frame last told for any of them (a window manager
// frames them all alike, so a window not yet framed borrows it). The shell
// owns one for its windows.
struct WindowZooms {
    explicit WindowZooms(double asked = 1.0) : requested(asked > 0.0 && asked < 1.0 ? asked : 1.0) {}
    double requested;
    QMargins lastFrameTold;
};

// A top-level window's zoom and its size in the design's pixels.
//
// The window opens at the largest zoom at which it fits its screen's
// available area, frame included where the window system has told it (a
// frame told for another of the game's windows is taken as this one's until
// its own is told), and chooses again when its frame is first told, when it
// moves to another screen or when its screen changes size.
// The client size in design pixels is what the game reads: it changes only
// when the player (or the window manager) resizes the window, and then by
// the new size at the current zoom, in whole pixels.
class WindowZoom : public QObject {
    Q_OBJECT
public:
    WindowZoom(QWidget& window, QSize design, WindowZooms& zooms);

    Zoom zoom() const { return zoom_; }
    // The client area in design pixels, as the game reads it.
    QSize design() const { return design_; }
    // The outer size the game reads, in twips: the design client size and
    // the frame the window system has told.
    QSizeF outerSizeInTwips() const;

    // Around QWidget::setVisible(true): chooses the zoom before the window
    // shows, so that it is placed at its zoomed size, and again right after,
    // when some window systems have told the frame.
    void beforeShow();
    void afterShow();
    // From the window's move, resize and activation: the window system may
    // have framed it (choose again) or resized it (a new design size).
    void windowChanged();

    // A point of the client area in design pixels, whole ones when zoomed.
    QPointF toDesign(QPointF at) const;
    // The zoomed rectangle that covers a design rectangle.
    QRect toZoomed(const QRect& design) const;

signals:
    // The zoom changed; the window's size follows right after.
    void zoomChanged();

private:
    QSize zoomedSize() const;
    // Chooses the zoom for the screen the window is on; a window that was
    // placed at another size before its frame was told keeps its centre.
    void choose(bool keepCentre);
    void watch(QScreen* screen);

    QWidget& window_;
    WindowZooms& zooms_;
    QSize design_;
    Zoom zoom_;
    QMargins frame_;  // the frame the zoom was chosen with
    bool framed_ = false;
    QMetaObject::Connection screenChanged_;
    QMetaObject::Connection geometryChanged_;
    QMetaObject::Connection availableChanged_;
};

}  // namespace app
