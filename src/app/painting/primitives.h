#pragma once

#include <QColor>
#include <QPalette>
#include <QRect>

#include "ui/controls.h"

class QFont;
class QPainter;
class QPixmap;

namespace app {

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
