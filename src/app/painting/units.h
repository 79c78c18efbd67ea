#pragma once

#include <QRect>

namespace app {

// Twips of the model and logical pixels of the screen.
inline constexpr float kTwipsPerPixel = 15.0f;

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

}  // namespace app
