#include "battlefield/form1.h"

namespace game {

namespace {

// Moves every shown element of a column by `step`; hidden ones keep their
// place (taking away zero leaves every value as it was).
void sweep(float* column, const bool* visible, int top, float step)
{
    // The flags read as bytes (0 or 1) times the step, so the loop vectorises.
    const auto* shown = reinterpret_cast<const unsigned char*>(visible);
    for (int i = 0; i <= top; ++i) column[i] = column[i] - static_cast<float>(shown[i]) * step;
}

}  // namespace

void Form1::tmrMoveTop_Timer()
{
    sweep(picCKTop.left(), picCKTop.visible(), picCKTop.UBound(), 70.0f);
}

void Form1::tmrMoveBot_Timer()
{
    sweep(picCKBot.top(), picCKBot.visible(), picCKBot.UBound(), 70.0f);
}

}  // namespace game
