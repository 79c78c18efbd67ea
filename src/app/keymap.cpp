#include "app/keymap.h"

#include <QKeyEvent>
#include <array>

namespace app {

namespace {

// Virtual-key codes by X keycode for the keys of a PC keyboard. The letters
// follow their physical places on a US board, so WASD stays under the left
// hand on any layout (a Hebrew or Russian layout has no Latin letters at all).
constexpr std::array<std::uint8_t, 136> kByScanCode = [] {
    std::array<std::uint8_t, 136> t{};
    auto set = [&t](int scan, int vk) { t[static_cast<std::size_t>(scan)] = static_cast<std::uint8_t>(vk); };
    set(9, 27);  // Escape
    for (int i = 0; i < 9; ++i) set(10 + i, '1' + i);
    set(19, '0');
    set(20, 189);  // minus
    set(21, 187);  // equals
    set(22, 8);    // Backspace
    set(23, 9);    // Tab
    const char* top = "QWERTYUIOP";
    for (int i = 0; i < 10; ++i) set(24 + i, top[i]);
    set(34, 219);  // [
    set(35, 221);  // ]
    set(36, 13);   // Return
    set(37, 17);   // left Ctrl
    const char* home = "ASDFGHJKL";
    for (int i = 0; i < 9; ++i) set(38 + i, home[i]);
    set(47, 186);  // ;
    set(48, 222);  // '
    set(49, 192);  // `
    set(50, 16);   // left Shift
    set(51, 220);  // backslash
    const char* bottom = "ZXCVBNM";
    for (int i = 0; i < 7; ++i) set(52 + i, bottom[i]);
    set(59, 188);                                       // comma
    set(60, 190);                                       // period
    set(61, 191);                                       // slash
    set(62, 16);                                        // right Shift
    set(63, 106);                                       // keypad *
    set(64, 18);                                        // left Alt
    set(65, 32);                                        // Space
    set(66, 20);                                        // Caps Lock
    for (int i = 0; i < 10; ++i) set(67 + i, 112 + i);  // F1..F10
    set(77, 144);                                       // Num Lock
    set(78, 145);                                       // Scroll Lock
    set(79, 103);                                       // keypad 7
    set(80, 104);
    set(81, 105);
    set(82, 109);  // keypad -
    set(83, 100);  // keypad 4
    set(84, 101);
    set(85, 102);
    set(86, 107);  // keypad +
    set(87, 97);   // keypad 1
    set(88, 98);
    set(89, 99);
    set(90, 96);    // keypad 0
    set(91, 110);   // keypad decimal
    set(94, 226);   // the extra key left of Z on ISO boards
    set(95, 122);   // F11
    set(96, 123);   // F12
    set(104, 13);   // keypad Enter
    set(105, 17);   // right Ctrl
    set(106, 111);  // keypad /
    set(107, 44);   // Print Screen
    set(108, 18);   // right Alt (AltGr)
    set(110, 36);   // Home
    set(111, 38);   // Up
    set(112, 33);   // Page Up
    set(113, 37);   // Left
    set(114, 39);   // Right
    set(115, 35);   // End
    set(116, 40);   // Down
    set(117, 34);   // Page Down
    set(118, 45);   // Insert
    set(119, 46);   // Delete
    set(127, 19);   // Pause
    set(133, 91);   // left Super
    set(134, 92);   // right Super
    set(135, 93);   // Menu
    return t;
}();

// Without a scan code: the Qt key. Shift turns the digit row into symbols, so
// those are read back as the digits of a US board.
int fromQtKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (modifiers & Qt::KeypadModifier) ? 96 + (key - Qt::Key_0) : '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Exclam:
            return '1';
        case Qt::Key_At:
            return '2';
        case Qt::Key_NumberSign:
            return '3';
        case Qt::Key_Dollar:
            return '4';
        case Qt::Key_Percent:
            return '5';
        case Qt::Key_AsciiCircum:
            return '6';
        case Qt::Key_Ampersand:
            return '7';
        case Qt::Key_Asterisk:
            return (modifiers & Qt::KeypadModifier) ? 106 : '8';
        case Qt::Key_ParenLeft:
            return '9';
        case Qt::Key_ParenRight:
            return '0';
        case Qt::Key_Space:
            return 32;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 9;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
            return 18;
        case Qt::Key_Pause:
            return 19;
        case Qt::Key_CapsLock:
            return 20;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Print:
            return 44;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        case Qt::Key_NumLock:
            return 144;
        case Qt::Key_ScrollLock:
            return 145;
        case Qt::Key_Plus:
            return (modifiers & Qt::KeypadModifier) ? 107 : 187;
        case Qt::Key_Minus:
            return (modifiers & Qt::KeypadModifier) ? 109 : 189;
        case Qt::Key_Slash:
            return (modifiers & Qt::KeypadModifier) ? 111 : 191;
        case Qt::Key_Period:
            return (modifiers & Qt::KeypadModifier) ? 110 : 190;
        case Qt::Key_Comma:
            return 188;
        default:
            return -1;
    }
}

}  // namespace

int virtualKeyCode(quint32 scanCode, int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (scanCode > 0 && scanCode < kByScanCode.size()) {
        if (const int vk = kByScanCode[scanCode]; vk != 0) return vk;
    }
    return fromQtKey(qtKey, modifiers);
}

int virtualKeyCode(const QKeyEvent& event)
{
    return virtualKeyCode(event.nativeScanCode(), event.key(), event.modifiers());
}

int gameButton(Qt::MouseButton button)
{
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

}  // namespace app
