#include "battlefield/form1.h"

namespace game {

namespace {

// Moves every shown element of a column by `step`; hidden ones keep their
// place (taking away zero leaves every value as it was).
void sweep(float* column, const bool* visible, int top, float step)
{
    for (int i = 0; i <= top; ++i) column[i] = column[i] - (visible[i] ? step : 0.0f);
}

}  // namespace

void Form1::tmrMoveTop_Timer() { sweep(picCKTop.left(), picCKTop.visible(), picCKTop.UBound(), 70.0f); }

void Form1::tmrMoveBot_Timer() { sweep(picCKBot.top(), picCKBot.visible(), picCKBot.UBound(), 70.0f); }

}  // namespace game
