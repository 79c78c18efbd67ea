#pragma once

#include <cstdint>
#include <string>

namespace game {

// A value written into the battlefield by name, as scripts and tests arrange
// a situation: a property of a picture box, a label's caption or width, a
// timer switched on or off, or a game-state variable that scripts may set.
struct Setting {
    enum class Kind : std::uint8_t { SpriteNumber, SpriteFlag, LabelCaption, LabelWidth, TimerEnabled, Variable };

    Kind kind = Kind::Variable;
    std::string name;          // control or variable name, without the index
    int index = -1;            // element of a control array, or -1
    std::string property;      // SpriteNumber, SpriteFlag: Left, Top, Width, Height, Visible or Enabled
    float number = 0;          // SpriteNumber, LabelWidth
    bool flag = false;         // SpriteFlag, TimerEnabled
    std::int64_t integer = 0;  // Variable
    std::string text;          // LabelCaption
};

}  // namespace game
