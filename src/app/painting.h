#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <vector>

#include "ui/controls.h"

class QPainter;
class QPixmap;

namespace app {

inline constexpr float kTwipsPerPixel = 15.0f;

// A system colour of the model resolves against the desktop palette.
QColor toQColor(ui::Color color, const QPalette& palette);

// The logical-pixel rectangle of a control: its corner and its size are each
// rounded to whole pixels, so a box keeps its size while it moves.
QRect pixelRect(float left, float top, float width, float height);

// A pixel area widened by one pixel all round and turned into twips, to cull
// boxes before any pixel arithmetic (most invaders ever made are parked far
// outside the window); the pixel of slack covers the rounding.
struct CullArea {
    float left, top, right, bottom;
    bool meets(float boxLeft, float boxTop, float boxWidth, float boxHeight) const
    {
        return !(boxLeft >= right || boxTop >= bottom || boxLeft + boxWidth <= left || boxTop + boxHeight <= top);
    }
};
CullArea cullArea(const QRect& area);

// A label on its window's surface: the opaque background if it has one, then
// the caption wrapped at word boundaries inside the rectangle and cut off at
// its bottom. Disabled labels are greyed.
void paintLabel(QPainter& painter, const ui::Label& label, const QFont& font, const QPalette& palette);

// A picture box: background, border, then the picture at its natural size from
// the inner top-left corner, clipped by the box. Transparent pixels of the
// picture show the background.
// `where` is the box's pixel rectangle (pixelRect).
void paintBox(QPainter& painter, const QRect& where, ui::Border border, ui::Color back, const QPixmap* picture,
              const QPalette& palette);
// The same with the background colour already resolved.
void paintBox(QPainter& painter, const QRect& where, ui::Border border, const QColor& back, const QPixmap* picture,
              const QPalette& palette);

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

private:
    struct Entry {
        const QPixmap* picture;
        QRgb back;
        QSize size;
        qreal ratio;
        QImage::Format format;
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
    struct Band {
        int top, bottom;
        std::size_t first, end;  // its rectangles in deviceArea_
    };
    std::vector<QRect> deviceArea_;
    std::vector<Band> bands_;
};

}  // namespace app
