#include "app/keymap.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace {

struct Press {
    const char* what;
    quint32 scanCode;
    int key;
    Qt::KeyboardModifiers modifiers;
    int expected;
};

void expectCodes(const std::vector<Press>& presses)
{
    for (const Press& p : presses) {
        const QKeyEvent event(QEvent::KeyPress, p.key, p.modifiers, p.scanCode, 0, 0, QString());
        EXPECT_EQ(app::virtualKeyCode(event), p.expected) << p.what;
    }
}

TEST(KeyMap, LettersComeFromThePhysicalKeyWhateverShiftCapsOrLayoutSay)
{
    expectCodes({
        {"w", 25, Qt::Key_W, Qt::NoModifier, 87},
        {"Shift+w", 25, Qt::Key_W, Qt::ShiftModifier, 87},
        {"Caps Lock w", 25, Qt::Key_W, Qt::NoModifier, 87},
        {"d", 40, Qt::Key_D, Qt::NoModifier, 68},
        {"the W key on an AZERTY layout says Z", 25, Qt::Key_Z, Qt::NoModifier, 87},
        {"the W key on a Hebrew layout says apostrophe", 25, Qt::Key_Apostrophe, Qt::NoModifier, 87},
    });
}

TEST(KeyMap, MainRowDigitsAndKeypadDigitsHaveTheirOwnCodes)
{
    expectCodes({
        {"1", 10, Qt::Key_1, Qt::NoModifier, 49},
        {"Shift+1 says !", 10, Qt::Key_Exclam, Qt::ShiftModifier, 49},
        {"0", 19, Qt::Key_0, Qt::NoModifier, 48},
        {"keypad 1", 87, Qt::Key_1, Qt::KeypadModifier, 97},
        {"keypad 1 on Wayland, without the keypad flag", 87, Qt::Key_1, Qt::NoModifier, 97},
        {"keypad 1 with Num Lock off", 87, Qt::Key_End, Qt::KeypadModifier, 97},
        {"keypad 7", 79, Qt::Key_7, Qt::KeypadModifier, 103},
        {"keypad 0", 90, Qt::Key_0, Qt::KeypadModifier, 96},
    });
}

TEST(KeyMap, CommonKeysGetWindowsStyleCodes)
{
    expectCodes({
        {"Space", 65, Qt::Key_Space, Qt::NoModifier, 32},
        {"Return", 36, Qt::Key_Return, Qt::NoModifier, 13},
        {"Escape", 9, Qt::Key_Escape, Qt::NoModifier, 27},
        {"Tab", 23, Qt::Key_Tab, Qt::NoModifier, 9},
        {"left Shift", 50, Qt::Key_Shift, Qt::ShiftModifier, 16},
        {"Left", 113, Qt::Key_Left, Qt::NoModifier, 37},
        {"Down", 116, Qt::Key_Down, Qt::NoModifier, 40},
        {"F1", 67, Qt::Key_F1, Qt::NoModifier, 112},
        {"F12", 96, Qt::Key_F12, Qt::NoModifier, 123},
    });
}

TEST(KeyMap, EventsWithoutAScanCodeFallBackToTheQtKey)
{
    expectCodes({
        {"W", 0, Qt::Key_W, Qt::NoModifier, 87},
        {"1", 0, Qt::Key_1, Qt::NoModifier, 49},
        {"! is Shift+1", 0, Qt::Key_Exclam, Qt::ShiftModifier, 49},
        {"keypad 1", 0, Qt::Key_1, Qt::KeypadModifier, 97},
        {"Space", 0, Qt::Key_Space, Qt::NoModifier, 32},
        {"F12", 0, Qt::Key_F12, Qt::NoModifier, 123},
        {"a media key has no code", 0, Qt::Key_MediaPlay, Qt::NoModifier, -1},
        {"an unknown scan code falls back too", 200, Qt::Key_D, Qt::NoModifier, 68},
    });
}

}  // namespace
