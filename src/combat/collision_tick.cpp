#include "battlefield/form1.h"

namespace game {

void Form1::tmrCollisionDetect_Timer()
{
    for (int kind : {1, 2, 0}) {  // castle killers, then the top stream, then the bottom stream
        ui::ControlArray<ui::PictureBox>& invaders = *invaderArray(kind);
        const int n = invaders.UBound();
        for (int i = 0; i <= n; ++i) {
            // Hidden invaders are tested too: parked ones sit where nothing
            // reaches them, and a stream's waiting element 0 can be met.
            const int projectiles = picProjectile.UBound();
            for (int j = 0; j <= projectiles; ++j) {
                if (!Collide(invaders(i), picProjectile(j))) continue;
                ui::PictureBox& invader = invaders(i);
                ui::PictureBox& projectile = picProjectile(j);
                invader.Visible = false;
                projectile.Visible = false;
                invader.Top = Height + 5000;
                invader.Left = Width + 3000;
                projectile.Top = Height - 3000;
                projectile.Left = Width + 5000;
                score = score.value_or(0) + 100;
                lblScoreNum.Caption = std::to_string(*score);
                // A 16-bit count; it stops at its top rather than failing.
                if (kills < 32767) kills = static_cast<std::int16_t>(kills + 1);
                lblKillNum.Caption = std::to_string(kills);
            }

            if (Collide(invaders(i), picHero)) {
                picHero.Visible = false;
                tmrCollisionDetect.setEnabled(false);
                LoseLife();
            }

            if (Collide(picCastle, invaders(i))) {
                ui::PictureBox& invader = invaders(i);
                invader.Visible = false;
                invader.Top = Height + 5000;
                invader.Left = Width + 3000;
                const double life = castleLifeOf(lblCastleLifeBar);
                if (life <= 100) {
                    lblCastleLifeBar.Caption = "0";
                    lblCastleLifeBar.Width = 150;
                } else {
                    lblCastleLifeBar.Caption = numberText(life - 100);
                    lblCastleLifeBar.Width = lblCastleLifeBar.Width - 189;
                }
                score = score.value_or(0) - 400;
                lblScoreNum.Caption = std::to_string(*score);
            }
        }
    }
}

}  // namespace game
