#include "battlefield/form1.h"

namespace game {

void Form1::tmrMonsterMovement_Timer()
{
    // Every castle killer ever created is visited: shown ones walk 30 up, then
    // 55 left; parked ones are hidden and keep their place (taking away zero
    // leaves every value as it was). Plain columns keep the sweep cheap with
    // tens of thousands of them.
    const int top = picCastleKiller.UBound();
    // The flags read as bytes (0 or 1) times the step, so the loop vectorises.
    const auto* visible = reinterpret_cast<const unsigned char*>(picCastleKiller.visible());
    float* tops = picCastleKiller.top();
    float* lefts = picCastleKiller.left();
    for (int i = 0; i <= top; ++i) {
        const float shown = static_cast<float>(visible[i]);
        tops[i] = tops[i] - shown * 30.0f;
        lefts[i] = lefts[i] - shown * 55.0f;
    }
}

}  // namespace game
