#pragma once

#include <cstdint>
#include <string_view>

namespace shell {

// The game reads Windows-style virtual-key codes of the physical key: W is 87
// whatever the layout, Shift or Caps Lock say, and keypad digits differ from
// the digits of the main row. The keys of a PC keyboard are named the way each
// shell hears them: the desktop by X keycode (evdev code + 8, the same numbers
// on Wayland), the browser by KeyboardEvent.code. Both return 0 for a key
// without a code.
int virtualKeyByScanCode(std::uint32_t scanCode);
int virtualKeyByCodeName(std::string_view code);

}  // namespace shell
