#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The battlefield's names as scripts and tools address them: its controls
// and the variables that scripts may set.

namespace game {

// A control's name as scripts and dumps write it: NAME, or NAME(INDEX) for an
// element of a control array.
std::string controlName(std::string_view name, int index);

// What a name of the battlefield stands for, as scripts and tools address it.
enum class ControlKind : std::uint8_t { PictureBox, Label, Timer };
struct ControlName {
    ControlKind kind;
    int maxIndex;  // highest index of a control array, or -1 for a lone control
};
std::optional<ControlName> findControl(std::string_view name);

// A game-state variable that scripts may set: its range and whether it is
// indexed (and up to where).
struct SettableVariable {
    std::int64_t lo, hi;
    int maxIndex;  // -1 for a plain variable
};
std::optional<SettableVariable> findSettableVariable(std::string_view name);

}  // namespace game
