#pragma once
// How a bench sets the battlefield up before it measures, through the door
// scripts use to set things by name. No toolkit here.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "program.h"

namespace bench {

// A game that goes on for as long as any bench runs: the castle's life and
// the lives far beyond what invaders take, and the mage put at (left, top),
// out of the invaders' way.
inline void keepPlaying(game::Program& program, float heroLeft, float heroTop)
{
    using Kind = game::Setting::Kind;
    const game::Setting settings[] = {
        {.kind = Kind::SpriteNumber, .name = "picHero", .property = "Left", .number = heroLeft},
        {.kind = Kind::SpriteNumber, .name = "picHero", .property = "Top", .number = heroTop},
        {.kind = Kind::LabelCaption, .name = "lblCastleLifeBar", .text = "999999"},
        {.kind = Kind::Variable, .name = "lives", .integer = 30000},
    };
    std::string failure;
    for (const game::Setting& s : settings)
        if (!program.set(s, failure)) {
            std::fprintf(stderr, "bench set-up: %s\n", failure.c_str());
            std::abort();
        }
}

}  // namespace bench
