#include <cstddef>

#include "battlefield/form1.h"

// The three kinds of invader, one row each. The castle killers climb in from
// the bottom right from the start; the top stream flies in along the top from
// 01:02, the bottom stream up along the left from 02:05.

namespace game {

namespace {

using Row = Form1::InvaderRow;
using Place = Row::Place;

constexpr Place kNear2000{.offset = 2000, .fromFarEdge = false};
constexpr Place kFar1000{.offset = 1000, .fromFarEdge = true};

constexpr std::array<Row, 3> kInvaderRows{{
    {.kind = InvaderKind::Bottom,
     .array = &Form1::picCKBot,
     .mover = &Form1::tmrMoveBot,
     .leftStep = 0,
     .topStep = 70,
     .entryLeft = kNear2000,
     .entryTop = kFar1000,
     .wave = "3",
     .waveMinutes = 2,
     .waveSeconds = 5},
    {.kind = InvaderKind::CastleKiller,
     .array = &Form1::picCastleKiller,
     .mover = &Form1::tmrMonsterMovement,
     .leftStep = 55,
     .topStep = 30,
     .entryLeft = kFar1000,
     .entryTop = kFar1000,
     .wave = nullptr,
     .waveMinutes = 0,
     .waveSeconds = 0},
    {.kind = InvaderKind::Top,
     .array = &Form1::picCKTop,
     .mover = &Form1::tmrMoveTop,
     .leftStep = 70,
     .topStep = 0,
     .entryLeft = kFar1000,
     .entryTop = kNear2000,
     .wave = "2",
     .waveMinutes = 1,
     .waveSeconds = 2},
}};

// invaderRow looks a kind up by its code, so the rows stand in the codes' order.
constexpr bool inCodeOrder()
{
    for (std::size_t i = 0; i < kInvaderRows.size(); ++i)
        if (static_cast<std::size_t>(kInvaderRows[i].kind) != i) return false;
    return true;
}
static_assert(inCodeOrder(), "the invader rows must stand in the order of their kinds' codes");

}  // namespace

const std::array<Form1::InvaderRow, 3>& Form1::invaderRows()
{
    return kInvaderRows;
}

}  // namespace game
