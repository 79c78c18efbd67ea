#pragma once

// Where castle killers stand when a bench fills the battlefield with them, so
// that the desktop's and the page's benches, and the floors beside them, show
// the same scene. No toolkit here.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "arrange.h"
#include "battlefield/form1.h"
#include "program.h"

namespace bench {

// The castle killers' row: their look and their walk.
inline const game::Form1::InvaderRow& castleKillers()
{
    for (const auto& row : game::Form1::invaderRows())
        if (row.kind == game::InvaderKind::CastleKiller) return row;
    std::abort();
}

inline const game::Form1::SpriteRow& castleKillerDesign()
{
    for (const auto& row : game::Form1::spriteRows())
        if (std::string(row.name) == "picCastleKiller") return row;
    std::abort();
}

struct Place {
    double x, y;  // top left, twips
};

// Where castle killers stand (top left, twips) so that about `onField` of
// them walk on a field `fieldHeight` twips high for `seconds`: eight lanes
// parallel to their walk (a step left and up per 50 ms tick), all below the
// castle, each filled at an even spacing from where it leaves the field
// through the left edge back to well below the bottom edge.
inline std::vector<Place> fieldPlaces(int onField, double seconds, double fieldHeight)
{
    const auto& walk = castleKillers();
    const double width = castleKillerDesign().design.Width;
    const double perSecondX = 20.0 * walk.leftStep, perSecondY = 20.0 * walk.topStep;  // 20 ticks a second
    constexpr double kCastleRight = 6615;  // the lanes are named by their height there
    std::vector<double> lanes;
    for (double y = 9000; y <= 13200; y += 600) lanes.push_back(y);
    // How long an invader is seen in each lane: from the bottom edge to
    // being wholly past the left edge.
    std::vector<double> shownFor;
    double total = 0;
    for (double y : lanes) {
        const double entryX = kCastleRight + (fieldHeight - y) * perSecondX / perSecondY;
        shownFor.push_back((entryX + width) / perSecondX);
        total += shownFor.back();
    }
    const double spacing = total / onField;  // seconds between two invaders of a lane
    std::vector<Place> places;
    for (std::size_t lane = 0; lane < lanes.size(); ++lane) {
        const double entryX = kCastleRight + (fieldHeight - lanes[lane]) * perSecondX / perSecondY;
        // s: seconds since it came in through the bottom edge (negative: still to come).
        // The lanes' first invaders are staggered over one spacing, so that
        // even a few boxes, spaced far apart, are shown from the start.
        const double first =
            shownFor[lane] - spacing * (static_cast<double>(lane) + 0.5) / static_cast<double>(lanes.size());
        for (double s = first; s > -seconds; s -= spacing)
            places.push_back({entryX - s * perSecondX, fieldHeight - s * perSecondY});
    }
    return places;
}

// Castle killers made and placed there; they walk by the game's own rules.
inline void fillTheField(game::Program& program, const std::vector<Place>& places)
{
    const game::Form1& field = *program.form1IfCreated();
    game::ByHand hand = program.byHand();
    for (const Place& at : places) {
        hand.SpawnInvader(static_cast<std::int16_t>(game::InvaderKind::CastleKiller));
        place(program, "picCastleKiller", field.picCastleKiller.UBound(), static_cast<float>(at.x),
              static_cast<float>(at.y));
    }
}

}  // namespace bench
