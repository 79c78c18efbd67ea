#pragma once

#include <Qt>
#include <QtGlobal>

class QKeyEvent;

namespace app {

// The game reads Windows-style virtual-key codes of the physical key: W is 87
// whatever the layout, Shift or Caps Lock say, and keypad digits differ from
// the digits of the main row. Returns -1 for a key without such a code.
//
// scanCode is the X keycode (evdev code + 8, the same numbers on Wayland); 0
// means the event did not come from a keyboard (a synthetic or test event), and
// then the Qt key and the keypad modifier decide.
int virtualKeyCode(quint32 scanCode, int qtKey, Qt::KeyboardModifiers modifiers);
int virtualKeyCode(const QKeyEvent& event);

// The game's button number for a Qt mouse button: 1 left, 2 right, 4 middle,
// else 0.
int gameButton(Qt::MouseButton button);

}  // namespace app
