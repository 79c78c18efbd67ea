#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <variant>

#include "ui/control_array.h"
#include "ui/controls.h"
#include "ui/scheduler.h"
#include "ui/sprite_array.h"

// The shapes of the battlefield's tables: one row per control, timer,
// variable and invader kind, as the window was designed (battlefield/layout.cpp,
// invaders/kinds.cpp).

namespace game {

class Form1;

// The three invader streams, by the numbers SpawnInvader is given.
enum class InvaderKind : std::int8_t { Bottom = 0, CastleKiller = 1, Top = 2 };

// Projectile slots: 0 fire, 1 ice, 2 lightning, 3 the special.
inline constexpr int kProjectileSlots = 4;

// A field of the battlefield, as a pointer to member.
template <typename T>
using Member = T Form1::*;

// The variables' types, for forEachVariable's callers.
using KeyTable = std::array<std::int16_t, 256>;
using VariableMember =
    std::variant<float Form1::*, double Form1::*, std::int16_t Form1::*, bool Form1::*,
                 std::array<std::optional<float>, 4> Form1::*, std::array<std::optional<double>, 4> Form1::*,
                 std::array<std::int64_t, 4> Form1::*, KeyTable Form1::*, std::optional<std::int64_t> Form1::*>;
// The types a script may set; setVariable handles each of them, and a
// settable row of any other type does not compile.
using SettableMember =
    std::variant<std::int16_t Form1::*, std::array<std::int64_t, 4> Form1::*, std::optional<std::int64_t> Form1::*>;

// ---- the layout: one row per control, as the window was designed ----
using SpriteMember =
    std::variant<ui::PictureBox Form1::*, ui::ControlArray<ui::PictureBox> Form1::*, ui::SpriteArray Form1::*>;
struct SpriteRow {
    const char* name;
    int index = -1;  // element of a control array, or -1
    SpriteMember member;
    int tab;  // position in the tab order
    ui::PictureBox design;
    const char* image = nullptr;  // the picture at load, or null

    template <typename Self>
    auto of(Self& form) const;
};
struct LabelRow {
    Member<ui::Label> member;
    int tab;
    ui::Label design;
};
struct TimerRow {
    const char* name;
    int interval;
    bool onAtLoad;
    Member<ui::Timer> member = nullptr;  // a lone timer ...
    void (Form1::*tick)() = nullptr;
    Member<std::array<ui::Timer, kProjectileSlots>> elements = nullptr;  // ... or a control array of them
    void (Form1::*tickOf)(std::int16_t) = nullptr;
};
struct VariableRow {
    const char* name;
    VariableMember member;
    std::optional<SettableMember> settable;  // the same member, where scripts may set it
    std::int64_t lo, hi;                     // the values they may set
};
// One kind of invader: where its invaders live, the timer that walks
// them and how far each of its ticks takes every shown one, where a new
// one enters, and when its wave begins.
struct InvaderRow {
    // A distance from the window's left or top edge, or back from its
    // outer width or height.
    struct Place {
        float offset;
        bool fromFarEdge;
        float at(float size) const { return fromFarEdge ? size - offset : offset; }
    };
    InvaderKind kind;
    Member<ui::SpriteArray> array;
    Member<ui::Timer> mover;
    float leftStep, topStep;  // taken away at every tick
    Place entryLeft, entryTop;
    // The clock's reading when the wave begins: the mover starts, element
    // 0 shows and the wave label reads `wave`. A kind without a wave is
    // there from the start and spawns even while its mover is off;
    // another spawns only while its mover is on.
    const char* wave;
    std::int16_t waveMinutes, waveSeconds;
};

template <typename Self>
auto SpriteRow::of(Self& form) const
{
    using Ref = std::conditional_t<std::is_const_v<Self>, ui::SpriteView, ui::SpriteRef>;
    return std::visit(
        [&](auto m) -> Ref {
            auto& control = form.*m;
            if constexpr (std::is_same_v<std::remove_cvref_t<decltype(control)>, ui::PictureBox>)
                return Ref(control);
            else
                return Ref(control(index < 0 ? 0 : index));
        },
        member);
}

}  // namespace game
