#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <optional>

#include "ui/controls.h"

class QFont;
class QPainter;
class QPixmap;

namespace app {

// The image a painter paints on, as a QImage, or null (a widget's backing
// store, a pixmap).
const QImage* paintedImage(const QPainter& painter);

// Where a painter's pixels can be written straight into its image's rows
// instead of drawn through it: an image of 32-bit pixels (every such format
// takes the same opaque bytes), no clip of the painter's own, a scale of
// `ratio` and a whole-pixel offset. The bytes are the painter's own: it made
// the image its own (detached it) when it began. Casting const away is the
// only way to them that leaves the image as it is: the writable bits() counts
// as a detach, which gives the image a new cache key in the middle of
// painting (and would copy the bytes if anything shared them, so that the
// pixels landed where nothing shows them).
struct StraightImage {
    uchar* bits;
    qsizetype bytesPerLine;
    QRect rect;     // the image's pixels
    QPoint origin;  // where the painter's (0, 0) lies among them
};
std::optional<StraightImage> straightImage(const QPainter& painter, qreal ratio);

// A system colour of the model resolves against the desktop palette.
QColor toQColor(ui::Color color, const QPalette& palette);

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

}  // namespace app
