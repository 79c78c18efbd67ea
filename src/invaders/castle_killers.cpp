#include "battlefield/form1.h"

namespace game {

void Form1::tmrMonsterMovement_Timer()
{
    // Every castle killer ever created is visited; parked ones are hidden and
    // stay where they were parked.
    const int top = picCastleKiller.UBound();
    ui::PictureBox* killers = picCastleKiller.data();
    for (int i = 0; i <= top; ++i) {
        ui::PictureBox& killer = killers[i];
        if (!killer.Visible) continue;
        killer.Top = killer.Top - 30;
        killer.Left = killer.Left - 55;
    }
}

}  // namespace game
