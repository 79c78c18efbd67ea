#include "battlefield/form1.h"

namespace game {

void Form1::tmrProjectile_Timer(std::int16_t index)
{
    const float W = Width;
    const float H = Height;
    ui::PictureBox& projectile = picProjectile(index);
    const float L = projectile.Left;
    const float T = projectile.Top;
    const auto k = static_cast<std::size_t>(index);
    // Only the top-left corner is tested, before the move, against the outer
    // size: the move that carries it out is still made.
    if (L < W && T < H && L > 0 && T > 0) {
        projectile.Left = static_cast<float>(static_cast<double>(L) + projStepX[k].value_or(0.0));
        projectile.Top = static_cast<float>(static_cast<double>(T) + projStepY[k].value_or(0.0));
    } else {
        projectile.Enabled = false;
        projectile.Visible = false;
        tmrProjectile(index).setEnabled(false);
    }
}

}  // namespace game
