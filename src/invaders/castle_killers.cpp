#include "battlefield/form1.h"

namespace game {

void Form1::tmrMonsterMovement_Timer()
{
    // Every castle killer ever created is visited: shown ones walk 30 up, then
    // 55 left; parked ones are hidden and keep their place.
    picCastleKiller.stepShown(55.0f, 30.0f);
}

}  // namespace game
