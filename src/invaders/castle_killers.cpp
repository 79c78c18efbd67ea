#include "battlefield/form1.h"

namespace game {

void Form1::tmrMonsterMovement_Timer()
{
    walkInvaders(InvaderKind::CastleKiller);
}

void Form1::walkInvaders(InvaderKind kind)
{
    // Every invader ever created is visited: shown ones walk (up, then left),
    // parked ones are hidden and keep their place.
    const InvaderRow& row = invaderRow(kind);
    (this->*row.array).stepShown(row.leftStep, row.topStep);
}

}  // namespace game
