#include <cmath>

#include "battlefield/form1.h"

namespace game {

namespace {

constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kRightButton = 2;
constexpr int kSpecial = 3;

}  // namespace

void Form1::Form_MouseDown(std::int16_t button, std::int16_t /*shift*/, float x, float y)
{
    targetX = x;
    targetY = y;

    if (button == kLeftButton) {
        // The slot of a cast is the selected magic.
        if (magicType >= 0 && magicType <= 2) {
            const std::int16_t slot = magicType;
            ui::PictureBox& projectile = picProjectile(slot);
            if (!projectile.Visible) {
                // Casting pictures are chosen by which picture object the mage
                // holds, not by what it looks like.
                if (slot == 0) {
                    if (picHero.Picture == picBlackMageRight.Picture)
                        picHero.Picture = picBlackMageFireRight.Picture;
                    else if (picHero.Picture == picBlackMageLeft.Picture)
                        picHero.Picture = picBlackMageFireLeft.Picture;
                } else if (slot == 2) {
                    picHero.Picture = picBlackMageLightning.Picture;
                }
                projectile.Top = picHero.Top;
                projectile.Left = picHero.Left;
                projectile.Visible = true;
                Shoot(slot);
            }
        }
    }

    // A right press arms the special; the next hero tick shows it.
    if (button == kRightButton && !picProjectile(kSpecial).Visible) {
        specialHeld = true;
        picProjectile(kSpecial).Enabled = true;
    }
}

void Form1::Form_MouseUp(std::int16_t button, std::int16_t /*shift*/, float x, float y)
{
    const bool armed = picProjectile(kSpecial).Enabled;
    if (button == kRightButton && armed) {
        targetX = x;
        targetY = y;
        Shoot(kSpecial);
    }
    // Any release ends a charge.
    specialHeld = false;
    picProjectile(kSpecial).Enabled = false;
}

void Form1::Shoot(std::int16_t slot)
{
    ui::PictureBox& projectile = picProjectile(slot);
    const auto k = static_cast<std::size_t>(slot);
    projStartX[k] = projectile.Left;
    projStartY[k] = projectile.Top;
    // The differences are singles; the distance and the steps are doubles.
    const float dx = targetX - *projStartX[k];
    const float dy = targetY - *projStartY[k];
    const double distance = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
    projDistance[k] = distance;
    if (distance == 0 || !std::isfinite(distance)) {
        // Aimed at its own corner the step has no direction, and a distance
        // beyond every number (only reachable with absurd window sizes) has
        // none either: nothing is launched, and the slot is free again at once.
        projectile.Visible = false;
        tmrProjectile(slot).setEnabled(false);
        return;
    }
    const double ticks = distance / static_cast<double>(projSpeed[k]);
    projStepX[k] = static_cast<double>(dx) / ticks;
    projStepY[k] = static_cast<double>(dy) / ticks;
    tmrProjectile(slot).setEnabled(true);
}

}  // namespace game
