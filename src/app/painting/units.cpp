#include "app/painting/units.h"

#include <cmath>

namespace app {

namespace {

int toPixels(float twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

}  // namespace

QRect pixelRect(float left, float top, float width, float height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

CullArea cullArea(const QRect& area)
{
    return CullArea{
        static_cast<float>(area.left() - 1) * kTwipsPerPixel, static_cast<float>(area.top() - 1) * kTwipsPerPixel,
        static_cast<float>(area.right() + 2) * kTwipsPerPixel, static_cast<float>(area.bottom() + 2) * kTwipsPerPixel};
}

}  // namespace app
