#include "app/zoom.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QList>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <cstdio>

#include "app/window_size.h"

namespace app {

namespace {

int floorDiv(int a, int b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

int ceilDiv(int a, int b)
{
    return -floorDiv(-a, b);
}

bool positionable()
{
    // A Wayland client can neither learn nor choose where its windows are.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace

Zoom fittingZoom(QSize design, QMargins frame, QSize available, double limit)
{
    return shell::fittingZoom(
        {design.width(), design.height()}, {frame.left() + frame.right(), frame.top() + frame.bottom()},
        available.isEmpty() ? shell::Extent{} : shell::Extent{available.width(), available.height()}, limit);
}

double takeOverSmallScaleFactor()
{
    auto small = [](const QByteArray& value) {
        bool ok = false;
        const double factor = value.trimmed().toDouble(&ok);
        return ok && factor > 0.0 && factor < 1.0 ? factor : 0.0;
    };
    // Per screen ("1.5;0.75" or "name=0.75;..."): there is no one zoom to
    // take over, so those are told plainly that they are not supported.
    QList<QByteArray> screens = qgetenv("QT_SCREEN_SCALE_FACTORS").split(';');
    bool refused = false;
    for (QByteArray& entry : screens) {
        const qsizetype name = entry.lastIndexOf('=') + 1;
        if (small(entry.mid(name)) == 0.0) continue;
        entry = entry.left(name) + "1";
        refused = true;
    }
    if (refused) {
        qputenv("QT_SCREEN_SCALE_FACTORS", screens.join(';'));
        std::fputs(
            "zorvane: screen scale factors below 1 are not supported: 1 is used, and each window is zoomed "
            "to fit its screen\n",
            stderr);
    }
    const double factor = small(qgetenv("QT_SCALE_FACTOR"));
    if (factor == 0.0) return 1.0;
    qputenv("QT_SCALE_FACTOR", QByteArrayLiteral("1"));
    return factor;
}

WindowZoom::WindowZoom(QWidget& window, QSize design, WindowZooms& zooms)
    : QObject(&window), window_(window), zooms_(zooms), design_(design)
{
    window_.resize(design_);
}

QSizeF WindowZoom::outerSizeInTwips() const
{
    return app::outerSizeInTwips(window_, design_);
}

QSize WindowZoom::zoomedSize() const
{
    return QSize(zoom_.times(design_.width()), zoom_.times(design_.height()));
}

void WindowZoom::beforeShow()
{
    choose(false);
}

void WindowZoom::afterShow()
{
    if (QWindow* handle = window_.windowHandle(); handle && !screenChanged_) {
        screenChanged_ = connect(handle, &QWindow::screenChanged, this, [this](QScreen* screen) {
            watch(screen);
            choose(false);
        });
        watch(handle->screen());
    }
    windowChanged();
}

void WindowZoom::watch(QScreen* screen)
{
    disconnect(geometryChanged_);
    disconnect(availableChanged_);
    if (!screen) return;
    geometryChanged_ = connect(screen, &QScreen::geometryChanged, this, [this] { choose(false); });
    availableChanged_ = connect(screen, &QScreen::availableGeometryChanged, this, [this] { choose(false); });
}

void WindowZoom::windowChanged()
{
    // A size the zoom did not make is the player's: the game reads it at the
    // current zoom, in whole pixels.
    if (window_.size() != zoomedSize()) {
        design_ = zoom_.full() ? window_.size()
                               : QSize(static_cast<int>(std::lround(window_.width() * zoom_.den / double(zoom_.num))),
                                       static_cast<int>(std::lround(window_.height() * zoom_.den / double(zoom_.num))));
    }
    const QMargins told = toldFrame(window_);
    if (told.isNull()) return;
    zooms_.lastFrameTold = told;
    // Once, when the window is first framed: later changes of the frame
    // (a window manager that takes it away from a maximised window, say)
    // leave the zoom as it is.
    if (framed_ || !window_.isVisible()) return;
    framed_ = true;
    if (told != frame_) choose(true);
}

void WindowZoom::choose(bool keepCentre)
{
    const QMargins told = toldFrame(window_);
    frame_ = told.isNull() ? zooms_.lastFrameTold : told;
    QScreen* screen = window_.screen();
    const QSize available = screen && !platformInventsScreens() ? screen->availableGeometry().size() : QSize();
    const Zoom zoom = fittingZoom(design_, frame_, available, zooms_.requested);
    if (zoom == zoom_) return;

    const QRect before = window_.frameGeometry();
    zoom_ = zoom;
    emit zoomChanged();
    window_.resize(zoomedSize());
    // A window the window manager placed at its former size (before its
    // frame was known) keeps its centre, inside the screen where it fits.
    if (keepCentre && positionable() && screen) {
        const QRect area = screen->availableGeometry();
        QRect after(QPoint(), zoomedSize().grownBy(frame_));
        after.moveCenter(before.center());
        after.moveLeft(std::max(area.left(), std::min(after.left(), area.right() + 1 - after.width())));
        after.moveTop(std::max(area.top(), std::min(after.top(), area.bottom() + 1 - after.height())));
        window_.move(after.topLeft());
    }
}

QPointF WindowZoom::toDesign(QPointF at) const
{
    return QPointF(zoom_.toDesign(at.x()), zoom_.toDesign(at.y()));
}

QRect WindowZoom::toZoomed(const QRect& design) const
{
    if (zoom_.full()) return design;
    const int left = floorDiv(design.left() * zoom_.num, zoom_.den);
    const int top = floorDiv(design.top() * zoom_.num, zoom_.den);
    const int right = ceilDiv((design.right() + 1) * zoom_.num, zoom_.den);
    const int bottom = ceilDiv((design.bottom() + 1) * zoom_.num, zoom_.den);
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace app
