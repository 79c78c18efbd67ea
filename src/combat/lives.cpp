#include "battlefield/form1.h"

namespace game {

void Form1::LoseLife()
{
    // Icon k stands for life k + 1. Past the last life there is no icon left
    // to hide, and the rest of the reset goes on as usual.
    if (lives != 0 && picLife.exists(lives - 1)) picLife(lives - 1).Visible = false;
    if (lives > -32768) lives = static_cast<std::int16_t>(lives - 1);
    picHero.Left = 6480;
    picHero.Top = 6480;
    picHero.Visible = true;
    tmrCollisionDetect.setEnabled(true);
}

}  // namespace game
