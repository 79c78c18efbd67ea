#include "shell/physical_keys.h"

#include <array>

namespace shell {

namespace {

// One key of a PC keyboard, as both shells hear it.
struct PhysicalKey {
    std::uint8_t scanCode;
    std::string_view code;
    std::uint8_t virtualKey;
};

// The letters follow their physical places on a US board, so WASD stays under
// the left hand on any layout (a Hebrew or Russian layout has no Latin
// letters at all).
constexpr PhysicalKey kKeys[] = {
    {9, "Escape", 27},
    {10, "Digit1", '1'},
    {11, "Digit2", '2'},
    {12, "Digit3", '3'},
    {13, "Digit4", '4'},
    {14, "Digit5", '5'},
    {15, "Digit6", '6'},
    {16, "Digit7", '7'},
    {17, "Digit8", '8'},
    {18, "Digit9", '9'},
    {19, "Digit0", '0'},
    {20, "Minus", 189},
    {21, "Equal", 187},
    {22, "Backspace", 8},
    {23, "Tab", 9},
    {24, "KeyQ", 'Q'},
    {25, "KeyW", 'W'},
    {26, "KeyE", 'E'},
    {27, "KeyR", 'R'},
    {28, "KeyT", 'T'},
    {29, "KeyY", 'Y'},
    {30, "KeyU", 'U'},
    {31, "KeyI", 'I'},
    {32, "KeyO", 'O'},
    {33, "KeyP", 'P'},
    {34, "BracketLeft", 219},
    {35, "BracketRight", 221},
    {36, "Enter", 13},
    {37, "ControlLeft", 17},
    {38, "KeyA", 'A'},
    {39, "KeyS", 'S'},
    {40, "KeyD", 'D'},
    {41, "KeyF", 'F'},
    {42, "KeyG", 'G'},
    {43, "KeyH", 'H'},
    {44, "KeyJ", 'J'},
    {45, "KeyK", 'K'},
    {46, "KeyL", 'L'},
    {47, "Semicolon", 186},
    {48, "Quote", 222},
    {49, "Backquote", 192},
    {50, "ShiftLeft", 16},
    {51, "Backslash", 220},
    {52, "KeyZ", 'Z'},
    {53, "KeyX", 'X'},
    {54, "KeyC", 'C'},
    {55, "KeyV", 'V'},
    {56, "KeyB", 'B'},
    {57, "KeyN", 'N'},
    {58, "KeyM", 'M'},
    {59, "Comma", 188},
    {60, "Period", 190},
    {61, "Slash", 191},
    {62, "ShiftRight", 16},
    {63, "NumpadMultiply", 106},
    {64, "AltLeft", 18},
    {65, "Space", 32},
    {66, "CapsLock", 20},
    {67, "F1", 112},
    {68, "F2", 113},
    {69, "F3", 114},
    {70, "F4", 115},
    {71, "F5", 116},
    {72, "F6", 117},
    {73, "F7", 118},
    {74, "F8", 119},
    {75, "F9", 120},
    {76, "F10", 121},
    {77, "NumLock", 144},
    {78, "ScrollLock", 145},
    {79, "Numpad7", 103},
    {80, "Numpad8", 104},
    {81, "Numpad9", 105},
    {82, "NumpadSubtract", 109},
    {83, "Numpad4", 100},
    {84, "Numpad5", 101},
    {85, "Numpad6", 102},
    {86, "NumpadAdd", 107},
    {87, "Numpad1", 97},
    {88, "Numpad2", 98},
    {89, "Numpad3", 99},
    {90, "Numpad0", 96},
    {91, "NumpadDecimal", 110},
    {94, "IntlBackslash", 226},  // the extra key left of Z on ISO boards
    {95, "F11", 122},
    {96, "F12", 123},
    {104, "NumpadEnter", 13},
    {105, "ControlRight", 17},
    {106, "NumpadDivide", 111},
    {107, "PrintScreen", 44},
    {108, "AltRight", 18},  // AltGr
    {110, "Home", 36},
    {111, "ArrowUp", 38},
    {112, "PageUp", 33},
    {113, "ArrowLeft", 37},
    {114, "ArrowRight", 39},
    {115, "End", 35},
    {116, "ArrowDown", 40},
    {117, "PageDown", 34},
    {118, "Insert", 45},
    {119, "Delete", 46},
    {127, "Pause", 19},
    {133, "MetaLeft", 91},
    {134, "MetaRight", 92},
    {135, "ContextMenu", 93},
};

constexpr std::array<std::uint8_t, 136> kByScanCode = [] {
    std::array<std::uint8_t, 136> t{};
    for (const PhysicalKey& k : kKeys) t[k.scanCode] = k.virtualKey;
    return t;
}();

}  // namespace

int virtualKeyByScanCode(std::uint32_t scanCode)
{
    return scanCode < kByScanCode.size() ? kByScanCode[scanCode] : 0;
}

int virtualKeyByCodeName(std::string_view code)
{
    for (const PhysicalKey& k : kKeys)
        if (k.code == code) return k.virtualKey;
    return 0;
}

}  // namespace shell
