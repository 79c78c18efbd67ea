#include "battlefield/form1.h"

namespace game {

namespace {

bool holds(float left, float top, float width, float height, float x, float y)
{
    const float right = left + width;
    const float bottom = top + height;
    return left <= x && x < right && top <= y && y < bottom;
}

std::size_t buttonSlot(std::int16_t button)
{
    switch (button) {
        case 1:
            return 0;
        case 2:
            return 1;
        case 4:
            return 2;
        default:
            return 3;
    }
}

}  // namespace

MouseTarget Form1::hitTest(float x, float y) const
{
    // Topmost first: the invaders created at run time, newest on top, then the
    // design's boxes in their stacking order.
    // A press looks through every invader ever created, so the columns are
    // read directly.
    auto* self = const_cast<Form1*>(this);
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
        ui::SpriteArray& a = *self->invaderArray(it->first);
        const auto i = static_cast<std::size_t>(it->second);
        if (a.visible()[i] && holds(a.left()[i], a.top()[i], a.width()[i], a.height()[i], x, y))
            return a(it->second).Enabled ? MouseTarget{false, std::string(invaderArrayName(it->first)) + "(" +
                                                                  std::to_string(it->second) + ")"}
                                         : MouseTarget{};
    }
    const auto design = designBottomUp();
    for (auto it = design.rbegin(); it != design.rend(); ++it) {
        const ui::SpriteRef b = it->sprite();
        if (b.Visible && holds(b.Left, b.Top, b.Width, b.Height, x, y)) {
            if (!b.Enabled) return MouseTarget{};
            std::string name = it->name;
            if (it->index >= 0) name += "(" + std::to_string(it->index) + ")";
            return MouseTarget{false, name};
        }
    }
    for (const ui::Label* l : labels())
        if (l->Enabled && holds(l->Left, l->Top, l->Width, l->Height, x, y)) return MouseTarget{false, l->name};
    return MouseTarget{};
}

MouseTarget Form1::sendMouseDown(std::int16_t button, float x, float y)
{
    const std::size_t slot = buttonSlot(button);
    MouseTarget target = hitTest(x, y);
    lastPress_[slot] = target;
    pressed_[slot] = true;
    if (target.toForm) Form_MouseDown(button, 0, x, y);
    return target;
}

MouseTarget Form1::sendMouseUp(std::int16_t button, float x, float y)
{
    const std::size_t slot = buttonSlot(button);
    MouseTarget target = pressed_[slot] ? lastPress_[slot] : hitTest(x, y);
    if (target.toForm) Form_MouseUp(button, 0, x, y);
    return target;
}

void Form1::sendKeyDown(long long keyCode)
{
    if (keyCode >= 0 && keyCode <= 255) picHero_KeyDown(static_cast<int>(keyCode), 0);
}

void Form1::sendKeyUp(long long keyCode)
{
    if (keyCode >= 0 && keyCode <= 255) picHero_KeyUp(static_cast<int>(keyCode), 0);
}

}  // namespace game
