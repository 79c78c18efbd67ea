#pragma once

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QSize>
#include <array>
#include <vector>

#include "app/painting/zoom_ratio.h"

namespace app {

// Scales the device pixels `dst` of a picture zoomed by `zoom` out of its
// full-size `src` (both RGB32, at the same device pixel ratio) into `out`,
// from out's top-left corner. Each pixel is the mean of the full-size pixels
// it covers, each weighted by how much of it it covers, so that thin lines
// and text stay legible; a pixel depends on nothing else, so any part of the
// picture comes out the same as when the whole of it is scaled.
// An object keeps its working memory from one call to the next.
class ScaleDown {
public:
    void operator()(const QImage& src, Zoom zoom, const QRect& dst, QImage& out)
    {
        (*this)(src, zoom, dst, out.bits(), out.bytesPerLine());
    }
    // The same into 32-bit pixels at `to`, rows `bytesPerLine` apart.
    void operator()(const QImage& src, Zoom zoom, const QRect& dst, uchar* to, qsizetype bytesPerLine);

    // The full-size pixels one zoomed pixel covers along one axis, and how
    // much of each.
    struct Tap {
        int first = 0;
        int count = 0;
        std::array<quint32, Zoom::kMaxDen + 1> weight{};
    };

private:
    void horizontal(const QImage& src, int row, quint32* sums) const;

    std::vector<Tap> xs_, ys_;
    // Rows of the full-size picture summed across: two lanes per zoomed
    // pixel (red and blue, green), a few rows kept as a ring.
    std::vector<quint32> sums_;
    std::vector<int> rowOf_;
    // A lane's sum divided by den * den, rounded.
    std::vector<quint8> divided_;
    int dividedBy_ = 0;
};

inline void scaleDown(const QImage& src, Zoom zoom, const QRect& dst, QImage& out)
{
    ScaleDown()(src, zoom, dst, out);
}

// The picture of a zoomed window: the window is painted at full size into an
// image of its own, as it would be painted on screen, and what the screen
// shows is scaled from that image. Painting and showing are apart, as a
// window's repaints are: the parts of the full-size picture marked stale are
// painted afresh from the game when the window paints next, and then the
// window's parts it was asked to paint are scaled from the picture.
class ZoomedPicture {
public:
    // For a client area of `client` logical pixels at `zoom` and `ratio`
    // device pixels per pixel; anything new makes the whole picture stale.
    void fit(QSize client, Zoom zoom, qreal ratio);
    // The design-pixel area the full-size picture holds: all that the zoomed
    // client area shows.
    QRect area() const { return area_; }
    void makeStale(const QRegion& design) { stale_ += design; }
    void makeAllStale() { stale_ = area_; }

    // Paints the stale parts with paint(painter, region): region is in
    // design pixels and the painter is clipped to it the way a window's
    // painter is, with no clip of its own.
    template <typename F>
    void refresh(F&& paint);
    // Draws the zoomed picture in `zoomed` (logical pixels of the client area).
    void show(QPainter& painter, const QRegion& zoomed);

private:
    QImage& beginRefresh();
    void endRefresh();

    QImage full_;
    Zoom zoom_{0, 0};
    qreal ratio_ = 0;
    QSize client_;
    QRect area_;
    QRegion stale_;
    QImage scratch_;
    ScaleDown scale_;
};

template <typename F>
void ZoomedPicture::refresh(F&& paint)
{
    // (A picture too large to be made shows nothing new rather than fail.)
    if (stale_.isEmpty() || full_.isNull()) return;
    const QRegion area = stale_ & area_;
    {
        QPainter painter(&beginRefresh());
        paint(painter, area);
    }
    endRefresh();
}

}  // namespace app
