// A key event without a scan code (synthetic input, some remote desktops)
// falls back to the Qt key: it must mean what the same key means with its
// scan code on a PC keyboard.
#include <gtest/gtest.h>

#include "app/keymap.h"

namespace {

using app::virtualKeyCode;

TEST(KeyMapFallback, AKeyMeansTheSameWithAndWithoutItsScanCode)
{
    struct Key {
        quint32 scanCode;
        int key;
        Qt::KeyboardModifiers modifiers;
    };
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier, pad = Qt::KeypadModifier, none = Qt::NoModifier;
    // Shift turns the digit row into symbols, which still read as the digits.
    for (const Key& k : {Key{10, Qt::Key_Exclam, shift},  {11, Qt::Key_At, shift},
                         {12, Qt::Key_NumberSign, shift}, {13, Qt::Key_Dollar, shift},
                         {14, Qt::Key_Percent, shift},    {15, Qt::Key_AsciiCircum, shift},
                         {16, Qt::Key_Ampersand, shift},  {17, Qt::Key_Asterisk, shift},
                         {18, Qt::Key_ParenLeft, shift},  {19, Qt::Key_ParenRight, shift},
                         {9, Qt::Key_Escape, none},       {23, Qt::Key_Tab, none},
                         {23, Qt::Key_Backtab, shift},    {22, Qt::Key_Backspace, none},
                         {36, Qt::Key_Return, none},      {104, Qt::Key_Enter, pad},
                         {50, Qt::Key_Shift, none},       {37, Qt::Key_Control, none},
                         {64, Qt::Key_Alt, none},         {108, Qt::Key_AltGr, none},
                         {127, Qt::Key_Pause, none},      {66, Qt::Key_CapsLock, none},
                         {112, Qt::Key_PageUp, none},     {117, Qt::Key_PageDown, none},
                         {115, Qt::Key_End, none},        {110, Qt::Key_Home, none},
                         {113, Qt::Key_Left, none},       {111, Qt::Key_Up, none},
                         {114, Qt::Key_Right, none},      {116, Qt::Key_Down, none},
                         {107, Qt::Key_Print, none},      {118, Qt::Key_Insert, none},
                         {119, Qt::Key_Delete, none},     {77, Qt::Key_NumLock, none},
                         {78, Qt::Key_ScrollLock, none},  {21, Qt::Key_Plus, shift},
                         {86, Qt::Key_Plus, pad},         {20, Qt::Key_Minus, none},
                         {82, Qt::Key_Minus, pad},        {61, Qt::Key_Slash, none},
                         {106, Qt::Key_Slash, pad},       {60, Qt::Key_Period, none},
                         {91, Qt::Key_Period, pad},       {59, Qt::Key_Comma, none},
                         {63, Qt::Key_Asterisk, pad},     {90, Qt::Key_0, pad}}) {
        EXPECT_EQ(virtualKeyCode(0, k.key, k.modifiers), virtualKeyCode(k.scanCode, k.key, k.modifiers))
            << "scan code " << k.scanCode << ", Qt key " << k.key;
    }
}

}  // namespace
