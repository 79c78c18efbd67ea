#include "battlefield/form1.h"

namespace game {

void Form1::tmrMonsterMovement_Timer()
{
    // Every castle killer ever created is visited: shown ones walk 30 up, then
    // 55 left; parked ones are hidden and keep their place (taking away zero
    // leaves every value as it was). Plain columns keep the sweep cheap with
    // tens of thousands of them.
    const int top = picCastleKiller.UBound();
    const bool* visible = picCastleKiller.visible();
    float* tops = picCastleKiller.top();
    float* lefts = picCastleKiller.left();
    for (int i = 0; i <= top; ++i) {
        tops[i] = tops[i] - (visible[i] ? 30.0f : 0.0f);
        lefts[i] = lefts[i] - (visible[i] ? 55.0f : 0.0f);
    }
}

}  // namespace game
