#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QSize>
#include <array>
#include <unordered_map>
#include <vector>

#include "app/painting/banded_rects.h"
#include "app/painting/zoom_ratio.h"

class QPixmap;

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
    // The full-size pixels one zoomed pixel covers along one axis, and how
    // much of each.
    struct Tap {
        int first = 0;
        int count = 0;
        std::array<quint32, Zoom::kMaxDen + 1> weight{};
    };
    // The taps of `count` zoomed pixels from `from` on, along an axis of
    // `size` full-size pixels that begins at full-size pixel `at` (the
    // picture's left or top edge, in the zoomed picture's full-size pixels).
    static void taps(std::vector<Tap>& result, int from, int count, Zoom zoom, int size, int at = 0);

    void operator()(const QImage& src, Zoom zoom, const QRect& dst, QImage& out)
    {
        (*this)(src, zoom, dst, out.bits(), out.bytesPerLine());
    }
    // The same into 32-bit pixels at `to`, rows `bytesPerLine` apart.
    void operator()(const QImage& src, Zoom zoom, const QRect& dst, uchar* to, qsizetype bytesPerLine);
    // With the taps of the columns and rows worked out beforehand: `xs` and
    // `ys` hold one for each column and row of `dst`.
    void operator()(const QImage& src, Zoom zoom, const Tap* xs, const Tap* ys, QSize dst, uchar* to,
                    qsizetype bytesPerLine);

    // The division table for `zoom`, which direct() needs.
    void divideBy(Zoom zoom);
    // Each zoomed pixel of `dst` on its own, from 32-bit pixels at `src`,
    // rows `line` pixels apart, whose first is full-size pixel `at`:
    // cheaper than summing rows across for a strip a pixel or two wide.
    void direct(const quint32* src, qsizetype line, QPoint at, const Tap* xs, const Tap* ys, QSize dst, uchar* to,
                qsizetype bytesPerLine) const;

private:
    void horizontal(const QImage& src, const Tap* xs, int count, int row, quint32* sums) const;

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

// The picture of a zoomed window: each pixel the mean of the full-size
// scene's pixels that it covers (ScaleDown), without scaling the whole scene
// on every repaint. A scene is a base (the window's colour and picture),
// then layers bottom up; an opaque box covers whatever lies beneath it, so a
// zoomed pixel that lies wholly inside one, with nothing above it, is that
// box's own image scaled down. The base and every such box are scaled once
// per zoom (a box once for each of the den x den places its corner can take
// across the zoomed pixels) and copied; each box gives only the pixels no
// later box reaches. Across a box's edge, where only the window's colour
// lies beneath, its pixels are copied from its look scaled on that colour;
// where boxes lie beneath, they are made from full-size pixels (the colour
// and the boxes, put together) once for each way the boxes can lie across
// the zoomed pixels, and copied; over the window's picture or running off
// the window, made each time. Those of everything else (labels) are made
// from the scene painted at full size. The result is the same as scaling
// the whole scene.
class ZoomedPicture {
public:
    // For a client area of `client` logical pixels at `zoom` and `ratio`
    // device pixels per pixel.
    void fit(QSize client, Zoom zoom, qreal ratio);
    // The design-pixel area the full-size scene covers: all that the zoomed
    // client area shows.
    QRect area() const { return area_; }

    // Paints the zoomed window's `zoomed` part (logical pixels of the client
    // area) with `painter`. Calls describe(*this, design) to be told the
    // scene's layers that reach into `design` (design pixels), through
    // setBase(), then addBox() and addOther() bottom up; and paint(painter,
    // region) to paint the scene's `region` (design pixels) at full size,
    // the painter clipped to it the way a window's painter is, with no clip
    // of its own. A scene that tells no base is painted whole at full size.
    template <typename Describe, typename Paint>
    void paint(QPainter& painter, const QRegion& zoomed, Describe&& describe, Paint&& paintFull);

    // The layers: the window's colour and picture at its top-left corner,
    // under everything.
    void setBase(const QColor& back, const QPixmap* picture);
    // An opaque box whose every pixel is `image`'s (at full size).
    void addBox(const QRect& design, const QImage& image);
    // Anything else that paints nothing outside `design`.
    void addOther(const QRect& design);

private:
    // A box's look scaled for each place its corner can take across the
    // zoomed pixels (den x den, made when first needed).
    struct Look {
        qint64 key;
        QImage full;
        std::vector<QImage> scaled;
        // The same with its edges, on the window's colour `aloneBack`.
        std::vector<QImage> alone;
        QRgb aloneBack;
    };
    struct Box {
        QRect design;
        std::size_t look;
    };

    // Sets up the repaint of `zoomed` on `painter`; the design area it covers.
    QRect begin(QPainter& painter, const QRegion& zoomed);
    // Composes the layers told; whether fullArea_ is to be painted at full
    // size (full_ is ready for it).
    bool compose();
    void finish(QPainter& painter);

    void makeBase();
    const QImage& scaledLook(Look& look, int left, int top);
    void copy(const QImage& from, QPoint fromAt, const QRect& r);
    // Adds the parts of `r` inside the repaint to those to scale.
    void scaleParts(const QRect& r);
    // Makes the first `count` of those, where only the base and boxes lie
    // beneath, from full-size pixels of the base and the boxes, and takes
    // them from those to scale.
    void paintOwn(std::size_t count);
    // What else reaches the zoomed pixels `cover` of box `b` (into near_).
    void findNear(std::size_t b, const QRect& cover);
    const QImage& aloneLook(Look& look, int left, int top);
    // The zoomed pixels `strip` across the edge of box `b` (whose zoomed
    // pixels are `cover`), which no later box reaches.
    void edge(std::size_t b, const QRect& cover, const QRect& strip);
    // Paints `strip` across the edge of box `b` (whose zoomed pixels are
    // `cover`) where the window's colour and boxes lie beneath it, from the
    // same pixels made before if they were; false where it cannot.
    bool madeEdge(std::size_t b, const QRect& cover, const QRect& strip);
    struct EdgeKeyHash {
        std::size_t operator()(const std::vector<qint32>& key) const;
    };
    // A grid of cells over the area, listing the rectangles that meet each.
    void buildCells(const std::vector<QRect>& rects);
    // Calls f(index) for each rectangle listed in a cell that `r` meets
    // (once for each such cell).
    template <typename F>
    void forEachInCells(const QRect& r, F&& f) const;
    QRect zoomedCover(const QRect& design) const;
    QRect zoomedInside(const QRect& design) const;
    QRect designCover(const QRect& zoomed) const;

    Zoom zoom_{0, 0};
    qreal ratio_ = 0;
    QSize client_;
    QRect area_;
    // Full-size pixels, painted where the repaint needs them.
    QImage full_;
    ScaleDown scale_;
    std::vector<ScaleDown::Tap> columns_, rows_;

    // The base, scaled, and what it was made of.
    QImage base_;
    QImage baseFull_;
    bool baseFilled_ = false;  // whether baseFill_ is the window's colour
    quint32 baseFill_ = 0;
    QRgb baseBack_ = 0;
    qint64 baseKey_ = 0;
    bool baseMade_ = false;
    std::vector<Look> looks_;

    // This repaint: the layers told, where the pixels go (the window's image,
    // or scratch_ when the painter has to draw them), the zoomed rectangles
    // in bands, and those to scale from full-size pixels.
    bool based_ = false;
    std::vector<Box> boxes_;
    std::vector<QRect> others_;
    uchar* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
    QPoint origin_;
    bool drawn_ = false;
    QImage scratch_;
    BandedRects zoomed_;  // the repaint, in zoomed pixels
    std::vector<QRect> toScale_;
    std::vector<QRect> covers_;
    QRegion fullArea_;
    bool clipped_ = false;
    std::vector<std::size_t> cellStart_, cellFill_, lastBox_, coverAt_;
    std::vector<QRect> ownParts_;
    int cellColumns_ = 0;
    std::vector<QRect> items_;
    std::vector<QRect> reach_;
    QRect pictureReach_;
    std::vector<std::size_t> seen_, near_;
    std::vector<QRect> shown_, lone_, mixed_;
    std::vector<std::size_t> below_;
    std::vector<qint32> key_;
    std::vector<quint32> edgeFull_;
    std::unordered_map<std::vector<qint32>, std::vector<quint32>, EdgeKeyHash> madeEdges_;
    QRect basePicture_;
    std::vector<quint32> own_;
    std::vector<quint32> cellCovers_;
    std::vector<ScaleDown::Tap> lookColumns_, lookRows_;
};

template <typename Describe, typename Paint>
void ZoomedPicture::paint(QPainter& painter, const QRegion& zoomed, Describe&& describe, Paint&& paintFull)
{
    const QRect design = begin(painter, zoomed);
    if (design.isEmpty()) return;
    if (ratio_ == 1) describe(*this, design);
    // (A picture too large to be made shows nothing new rather than fail.)
    if (compose() && !full_.isNull()) {
        QPainter fullPainter(&full_);
        paintFull(fullPainter, fullArea_);
    }
    finish(painter);
}

}  // namespace app
