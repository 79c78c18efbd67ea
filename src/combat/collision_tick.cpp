#include "battlefield/form1.h"

namespace game {

void Form1::tmrCollisionDetect_Timer()
{
    // Each invader is tested against the projectiles and the mage (their
    // corners in it) and the castle (its corners in the castle). Only pairs
    // that may touch are put to the exact test; only a hit moves any of the
    // probes, so they are read again after each one.
    std::array<ui::CornerSpan, kSlots + 1> probes{};
    auto readProbes = [&] {
        for (int j = 0; j < kSlots; ++j) probes[static_cast<std::size_t>(j)] = ui::CornerSpan::of(picProjectile(j));
        probes.back() = ui::CornerSpan::of(picHero);
    };
    readProbes();

    for (InvaderKind kind : kCollisionOrder) {
        ui::SpriteArray& array = invaders(kind);
        // Hidden invaders are tested too: parked ones sit where nothing
        // reaches them, and a stream's waiting element 0 can be met.
        for (std::size_t i = array.nextThatMayMeet(0, probes, picCastle); i < array.size();
             i = array.nextThatMayMeet(i + 1, probes, picCastle)) {
            const ui::SpriteRef invader = array(static_cast<int>(i));
            bool hit = false;
            for (int j = 0; j <= picProjectile.UBound(); ++j) {
                if (!Collide(invader, picProjectile(j))) continue;
                hit = true;
                KillInvader(invader, picProjectile(j));
            }
            if (Collide(invader, picHero)) {
                hit = true;
                HitHero();
            }
            if (Collide(picCastle, invader)) {
                hit = true;
                HitCastle(invader);
            }
            if (hit) readProbes();
        }
    }
}

void Form1::KillInvader(const ui::SpriteRef& invader, ui::PictureBox& projectile)
{
    ParkInvader(invader);
    projectile.Visible = false;
    projectile.Top = spentProjectileTop();
    projectile.Left = spentProjectileLeft();
    AddToScore(100);
    // A 16-bit count; it stops at its top rather than failing.
    if (kills < 32767) kills = static_cast<std::int16_t>(kills + 1);
    lblKillNum.Caption = std::to_string(kills);
}

void Form1::HitHero()
{
    picHero.Visible = false;
    tmrCollisionDetect.setEnabled(false);
    LoseLife();
}

void Form1::HitCastle(const ui::SpriteRef& invader)
{
    ParkInvader(invader);
    const double life = castleLifeOf(lblCastleLifeBar);
    if (life <= 100) {
        lblCastleLifeBar.Caption = "0";
        lblCastleLifeBar.Width = 150;
    } else {
        lblCastleLifeBar.Caption = numberText(life - 100);
        lblCastleLifeBar.Width = lblCastleLifeBar.Width - 189;
    }
    AddToScore(-400);
}

void Form1::ParkInvader(const ui::SpriteRef& invader) const
{
    invader.Visible = false;
    invader.Top = parkedInvaderTop();
    invader.Left = parkedInvaderLeft();
}

void Form1::AddToScore(std::int64_t points)
{
    score = score.value_or(0) + points;
    lblScoreNum.Caption = std::to_string(*score);
}

}  // namespace game
