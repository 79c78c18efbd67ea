#include <algorithm>

#include "battlefield/form1.h"

namespace game {

namespace {

// The span of a sprite's corners on each axis. No corner of it can lie in a
// rectangle that one of these spans misses, so a pair whose spans miss cannot
// touch; only pairs that might are put to the exact test. Comparisons with a
// NaN are false, so a NaN never makes a pair look apart.
struct Span {
    float minX, maxX, minY, maxY;
};

Span spanOf(const ui::Extent& e)
{
    const float x1 = e.Left + e.Width;
    const float y1 = e.Top + e.Height;
    return Span{std::min(e.Left, x1), std::max(e.Left, x1), std::min(e.Top, y1), std::max(e.Top, y1)};
}

// Could a corner with these spans lie in the closed rectangle [x0, x1] x [y0, y1]?
bool mayMeet(const Span& corners, float x0, float x1, float y0, float y1)
{
    return !(corners.maxX < x0 || corners.minX > x1 || corners.maxY < y0 || corners.minY > y1);
}

}  // namespace

void Form1::tmrCollisionDetect_Timer()
{
    // What each invader is tested against: the projectiles' and the mage's
    // corners against the invader, the invader's corners against the castle.
    // Only a hit moves any of them, so they are read again after each one.
    Span others[5];
    float castleX0 = 0, castleX1 = 0, castleY0 = 0, castleY1 = 0;
    auto refresh = [&] {
        for (int j = 0; j < 4; ++j) others[j] = spanOf(picProjectile(j));
        others[4] = spanOf(picHero);
        castleX0 = picCastle.Left;
        castleX1 = picCastle.Left + picCastle.Width;
        castleY0 = picCastle.Top;
        castleY1 = picCastle.Top + picCastle.Height;
    };
    refresh();

    for (int kind : {1, 2, 0}) {  // castle killers, then the top stream, then the bottom stream
        ui::SpriteArray& invaders = *invaderArray(kind);
        const int n = invaders.UBound();
        const float* lefts = invaders.left();
        const float* tops = invaders.top();
        const float* widths = invaders.width();
        const float* heights = invaders.height();
        for (int i = 0; i <= n; ++i) {
            // Hidden invaders are tested too: parked ones sit where nothing
            // reaches them, and a stream's waiting element 0 can be met.
            const float x0 = lefts[i];
            const float y0 = tops[i];
            const float x1 = x0 + widths[i];
            const float y1 = y0 + heights[i];
            bool may = mayMeet(Span{std::min(x0, x1), std::max(x0, x1), std::min(y0, y1), std::max(y0, y1)}, castleX0,
                               castleX1, castleY0, castleY1);
            for (const Span& other : others) may = may || mayMeet(other, x0, x1, y0, y1);
            if (!may) continue;

            bool hit = false;
            const int projectiles = picProjectile.UBound();
            for (int j = 0; j <= projectiles; ++j) {
                if (!Collide(invaders(i), picProjectile(j))) continue;
                hit = true;
                const ui::SpriteRef invader = invaders(i);
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
                hit = true;
                picHero.Visible = false;
                tmrCollisionDetect.setEnabled(false);
                LoseLife();
            }

            if (Collide(picCastle, invaders(i))) {
                hit = true;
                const ui::SpriteRef invader = invaders(i);
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
            if (hit) refresh();
        }
    }
}

}  // namespace game
