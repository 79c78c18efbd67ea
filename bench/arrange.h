#pragma once
// How a bench sets the battlefield up before it measures, through the door
// scripts use to set things by name. No toolkit here.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "program.h"

namespace bench {

// Any setting; a refused one ends the bench, whose scene would not be the
// one it claims.
inline void set(game::Program& program, const game::Setting& setting)
{
    std::string failure;
    if (!program.set(setting, failure)) {
        std::fprintf(stderr, "bench set-up: %s\n", failure.c_str());
        std::abort();
    }
}

// A box (or an element of a control array) put with its top left at (left, top).
inline void place(game::Program& program, const std::string& name, int index, float left, float top)
{
    using Kind = game::Setting::Kind;
    set(program, {.kind = Kind::SpriteNumber, .name = name, .index = index, .property = "Left", .number = left});
    set(program, {.kind = Kind::SpriteNumber, .name = name, .index = index, .property = "Top", .number = top});
}

// A game that goes on for as long as any bench runs: the castle's life and
// the lives far beyond what invaders take, and the mage put at (left, top),
// out of the invaders' way.
inline void keepPlaying(game::Program& program, float heroLeft, float heroTop)
{
    using Kind = game::Setting::Kind;
    place(program, "picHero", -1, heroLeft, heroTop);
    set(program, {.kind = Kind::LabelCaption, .name = "lblCastleLifeBar", .text = "999999"});
    set(program, {.kind = Kind::Variable, .name = "lives", .integer = 30000});
}

// Every timer of the battlefield switched off.
inline void stopAllTimers(game::Program& program)
{
    for (const game::TimerRow& row : game::Form1::timerRows()) {
        const game::Setting off{.kind = game::Setting::Kind::TimerEnabled, .name = row.name};
        if (row.member != nullptr) set(program, off);
        for (int k = 0; row.elements != nullptr && k < game::Form1::kSlots; ++k) {
            game::Setting element = off;
            element.index = k;
            set(program, element);
        }
    }
}

}  // namespace bench
