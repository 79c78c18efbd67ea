#include "battlefield/form1.h"

// The three kinds of invader, one row each. The castle killers climb in from
// the bottom right from the start; the top stream flies in along the top from
// 01:02, the bottom stream up along the left from 02:05.

namespace game {

const std::array<Form1::InvaderRow, 3>& Form1::invaderRows()
{
    using Place = InvaderRow::Place;
    constexpr Place kNear2000{2000, false};
    constexpr Place kFar1000{1000, true};
    static const std::array<InvaderRow, 3> rows{{
        {InvaderKind::Bottom, &Form1::picCKBot, &Form1::tmrMoveBot, 0, 70, kNear2000, kFar1000, "3", 2, 5},
        {InvaderKind::CastleKiller, &Form1::picCastleKiller, &Form1::tmrMonsterMovement, 55, 30, kFar1000, kFar1000,
         nullptr, 0, 0},
        {InvaderKind::Top, &Form1::picCKTop, &Form1::tmrMoveTop, 70, 0, kFar1000, kNear2000, "2", 1, 2},
    }};
    return rows;
}

}  // namespace game
