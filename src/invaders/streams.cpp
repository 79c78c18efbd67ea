#include "battlefield/form1.h"

namespace game {

void Form1::tmrMoveTop_Timer()
{
    walkInvaders(InvaderKind::Top);
}

void Form1::tmrMoveBot_Timer()
{
    walkInvaders(InvaderKind::Bottom);
}

}  // namespace game
