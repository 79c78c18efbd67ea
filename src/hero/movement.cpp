#include "battlefield/form1.h"

namespace game {

namespace {

constexpr int kA = 65, kD = 68, kS = 83, kW = 87;
constexpr int k1 = 49, k2 = 50, k3 = 51;

// A diagonal step is worked out in double precision from the stored single
// and stored back as a single.
float stepped(float coordinate, double step)
{
    return static_cast<float>(static_cast<double>(coordinate) + step);
}

}  // namespace

void Form1::tmrCharaMovement_Timer()
{
    if (picHero.Enabled) {
        walkHero();
        chooseMagic();
    }
    chargeSpecial();
    checkForTheEnd();
}

void Form1::walkHero()
{
    auto held = [this](int code) { return keyDown[static_cast<std::size_t>(code)] != 0; };
    // Pairs first, then single keys; the first rule that matches applies.
    if (held(kA) && held(kW)) {
        picHero.Top = stepped(picHero.Top, -diagonalStep);
        picHero.Left = stepped(picHero.Left, -diagonalStep);
    } else if (held(kW) && held(kD)) {
        picHero.Top = stepped(picHero.Top, -diagonalStep);
        picHero.Left = stepped(picHero.Left, diagonalStep);
    } else if (held(kS) && held(kA)) {
        picHero.Top = stepped(picHero.Top, diagonalStep);
        picHero.Left = stepped(picHero.Left, -diagonalStep);
    } else if (held(kS) && held(kD)) {
        picHero.Top = stepped(picHero.Top, diagonalStep);
        picHero.Left = stepped(picHero.Left, diagonalStep);
    } else if (held(kW)) {
        picHero.Top = picHero.Top - 55;
    } else if (held(kS)) {
        picHero.Top = picHero.Top + 55;
    } else if (held(kD)) {
        picHero.Left = picHero.Left + 55;
        picHero.Picture = picBlackMageRight.Picture;
    } else if (held(kA)) {
        picHero.Left = picHero.Left - 55;
        picHero.Picture = picBlackMageLeft.Picture;
    }
}

void Form1::chooseMagic()
{
    auto held = [this](int code) { return keyDown[static_cast<std::size_t>(code)] != 0; };
    // Each key applies in turn, so 3 wins over 2 and 2 over 1.
    if (held(k1)) {
        magicType = 0;
        picProjectileType.Picture = picFire.Picture;
    }
    if (held(k2)) {
        magicType = 1;
        picProjectileType.Picture = picIce.Picture;
    }
    if (held(k3)) {
        magicType = 2;
        picProjectileType.Picture = picLightning.Picture;
    }
}

void Form1::chargeSpecial()
{
    // The special charges above the mage for as long as the right button is
    // held; it never shrinks and its speed is never lowered.
    if (!specialHeld) return;
    ui::PictureBox& special = picProjectile(3);
    special.Visible = true;
    projSpeed[3] = projSpeed[3] + 3;
    special.Width = special.Width + 3;
    special.Height = special.Height + 3;
    special.Top = picHero.Top - special.Height;
    special.Left = picHero.Left + picHero.Width / 2 - special.Width / 2;
}

void Form1::checkForTheEnd()
{
    // Each end test stands on its own: whatever holds in this tick is announced.
    if (kills > killsToWin) WinGame();
    if (lives < 0) LoseGame();
    if (castleLifeOf(lblCastleLifeBar) == 0) LoseGame();
}

}  // namespace game
