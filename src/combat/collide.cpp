#include "battlefield/form1.h"

namespace game {

// Does a corner of Obj2 lie in the closed rectangle of Obj1? Deliberately
// one-sided: an Obj2 that covers Obj1, or a crosswise overlap, is missed, and
// the callers choose the argument order with that in mind. Every edge is a
// single-precision sum; no comparison is strict.
bool Form1::Collide(const ui::Extent& Obj1, const ui::Extent& Obj2)
{
    const float left = Obj1.Left;
    const float top = Obj1.Top;
    const float right = Obj1.Left + Obj1.Width;
    const float bottom = Obj1.Top + Obj1.Height;
    auto inside = [&](float x, float y) { return left <= x && x <= right && top <= y && y <= bottom; };

    const float x0 = Obj2.Left;
    const float y0 = Obj2.Top;
    const float x1 = Obj2.Left + Obj2.Width;
    const float y1 = Obj2.Top + Obj2.Height;
    return inside(x0, y0) || inside(x0, y1) || inside(x1, y1) || inside(x1, y0);
}

}  // namespace game
