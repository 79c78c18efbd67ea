#include "battlefield/form1.h"

namespace game {

void Form1::tmrMoveTop_Timer()
{
    picCKTop.stepShown(70.0f, 0.0f);
}

void Form1::tmrMoveBot_Timer()
{
    picCKBot.stepShown(0.0f, 70.0f);
}

}  // namespace game
