#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <QRegion>
#include <vector>

#include "app/painting/banded_rects.h"
#include "ui/controls.h"

class QPainter;
class QPixmap;

namespace app {

// Picture boxes without a border, painted once into an opaque image of their
// own and then copied. Such a box fills its rectangle before its picture is
// drawn, so its pixels do not depend on what lies beneath: copying them gives
// the very pixels that filling and blending again would give, at a fraction
// of the cost (hundreds of invaders are repainted on every movement tick).
// Only for whole-number scales, where a box's corner falls on a device pixel.
class BoxImages {
public:
    // Starts painting `area` (logical pixels) with `painter`, which is clipped
    // to it. When the painter paints straight on an image at a whole-number
    // scale, the copies are written into that image's rows, clipped to the
    // area, without going through the painter: under a clip of many
    // rectangles the painter cuts every row of every box into spans.
    void begin(QPainter& painter, const QRegion& area);
    // Paints the box as paintBox would, from an image when it can. Only
    // between begin() and the end of that painter's work.
    void paint(QPainter& painter, const QRect& where, ui::Border border, const QColor& back, const QPixmap* picture,
               const QPalette& palette);
    // The image of a box of `size` with this look, at `ratio` device pixels
    // per pixel in `format`, made the first time it is asked for; null for a
    // translucent colour, an empty box, or a border unless `bordered` (a box
    // with a border is as opaque, but painting it costs little beside
    // copying it). Valid until the next call.
    const QImage* image(QSize size, ui::Border border, const QColor& back, const QPixmap* picture,
                        const QPalette& palette, qreal ratio, QImage::Format format, bool bordered = false);

private:
    struct Entry {
        const QPixmap* picture;
        QRgb back;
        QSize size;
        qreal ratio;
        QImage::Format format;
        ui::Border border;
        qint64 palette;  // for a border's colours
        QImage image;
    };
    void copy(const QImage& box, QPoint at) const;

    std::vector<Entry> entries_;  // a few looks: the invader, the mage's pictures
    qreal ratio_ = 1;
    QImage::Format format_ = QImage::Format_Invalid;  // of the image painted on, if it is one
    // Writing straight into the image painted on: its pixels (null when the
    // painter has to draw the copies), the device position of logical (0, 0),
    // and the area in device pixels, banded as a region's rectangles are.
    uchar* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
    QRect deviceRect_;
    QPoint origin_;
    BandedRects deviceArea_;
};

}  // namespace app
