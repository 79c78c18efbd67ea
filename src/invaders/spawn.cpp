#include "battlefield/form1.h"

namespace game {

void Form1::tmrSpawnTimer_Timer()
{
    if (tmrMoveBot.Enabled()) SpawnInvader(static_cast<std::int16_t>(InvaderKind::Bottom));
    SpawnInvader(static_cast<std::int16_t>(InvaderKind::CastleKiller));
    if (tmrMoveTop.Enabled()) SpawnInvader(static_cast<std::int16_t>(InvaderKind::Top));
}

ui::Extent Form1::entryOf(InvaderKind kind) const
{
    const ui::SpriteView zero = invaders(kind)(0);
    switch (kind) {
        case InvaderKind::Bottom:
            return ui::Extent(2000, Height - 1000, zero.Width, zero.Height);
        case InvaderKind::CastleKiller:
            return ui::Extent(Width - 1000, Height - 1000, zero.Width, zero.Height);
        case InvaderKind::Top:
        default:
            return ui::Extent(Width - 1000, 2000, zero.Width, zero.Height);
    }
}

void Form1::SpawnInvader(std::int16_t invaderKind)
{
    const std::optional<InvaderKind> kind = invaderKindOf(invaderKind);
    if (!kind) return;
    ui::SpriteArray& array = invaders(*kind);
    // Invaders are parked, never destroyed, so indices are never reused; at
    // the 16-bit limit that kind simply stops coming.
    const int index = array.UBound() + 1;
    if (index > ui::SpriteArray::kMaxIndex) return;

    const ui::SpriteRef invader = array.Load(index);
    created_.emplace_back(*kind, static_cast<std::int16_t>(index));
    const ui::Extent entry = entryOf(*kind);
    invader.Left = entry.Left;
    invader.Top = entry.Top;
    invader.Visible = true;
}

}  // namespace game
