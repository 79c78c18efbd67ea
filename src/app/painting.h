#pragma once

#include <QColor>
#include <QPalette>
#include <QRect>

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

}  // namespace app
