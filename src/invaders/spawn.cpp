#include "battlefield/form1.h"

namespace game {

void Form1::tmrSpawnTimer_Timer()
{
    if (tmrMoveBot.Enabled()) SpawnInvader(0);
    SpawnInvader(1);
    if (tmrMoveTop.Enabled()) SpawnInvader(2);
}

void Form1::SpawnInvader(std::int16_t invaderKind)
{
    ui::SpriteArray* invaders = invaderArray(invaderKind);
    if (invaders == nullptr) return;
    // Invaders are parked, never destroyed, so indices are never reused; at
    // the 16-bit limit that kind simply stops coming.
    const int index = invaders->UBound() + 1;
    if (index > ui::SpriteArray::kMaxIndex) return;

    const ui::SpriteRef invader = invaders->Load(index);
    created_.emplace_back(static_cast<std::int8_t>(invaderKind), static_cast<std::int16_t>(index));
    switch (invaderKind) {
        case 0:
            invader.Left = 2000;
            invader.Top = Height - 1000;
            break;
        case 1:
            invader.Left = Width - 1000;
            invader.Top = Height - 1000;
            break;
        default:
            invader.Left = Width - 1000;
            invader.Top = 2000;
            break;
    }
    invader.Visible = true;
}

}  // namespace game
