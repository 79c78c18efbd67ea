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
    // What lies beneath the invaders: the layout's boxes, topmost first, then
    // the labels on the window's surface.
    MouseTarget beneath;
    const auto& rows = spriteRows();
    bool decided = false;
    for (auto it = rows.rbegin(); it != rows.rend() && !decided; ++it) {
        const ui::SpriteView b = it->of(*this);
        if (!b.Visible || !holds(b.Left, b.Top, b.Width, b.Height, x, y)) continue;
        if (b.Enabled) beneath = MouseTarget{false, controlName(it->name, it->index)};
        decided = true;
    }
    if (!decided)
        for (const LabelRow& row : labelRows()) {
            const ui::Label& l = this->*row.member;
            if (l.Enabled && holds(l.Left, l.Top, l.Width, l.Height, x, y)) {
                beneath = MouseTarget{false, l.name};
                break;
            }
        }

    // The invaders created at run time lie above every box, newest on top.
    // They are made disabled, and a disabled box hands a press to the window:
    // unless a script has enabled one, they matter only where the press would
    // otherwise be swallowed, and then only whether any of them is there.
    bool anyEnabled = false;
    for (InvaderKind kind : kCollisionOrder) anyEnabled = anyEnabled || invaders(kind).anyEnabled();
    if (!anyEnabled) {
        if (beneath.toForm) return beneath;
        for (InvaderKind kind : kCollisionOrder)
            if (invaders(kind).anyShownHolds(x, y)) return MouseTarget{};
        return beneath;
    }
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
        const ui::SpriteView s = invaders(it->first)(it->second);
        if (s.Visible && holds(s.Left, s.Top, s.Width, s.Height, x, y))
            return s.Enabled ? MouseTarget{false, controlName(invaderName(it->first), it->second)} : MouseTarget{};
    }
    return beneath;
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

void Form1::sendKeyDown(KeyCode keyCode)
{
    picHero_KeyDown(keyCode, 0);
}

void Form1::sendKeyUp(KeyCode keyCode)
{
    picHero_KeyUp(keyCode, 0);
}

}  // namespace game
