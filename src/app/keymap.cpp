#include "app/keymap.h"

#include <QKeyEvent>

#include "shell/physical_keys.h"

namespace app {

namespace {

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
    if (const int vk = shell::virtualKeyByScanCode(scanCode); vk != 0) return vk;
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
