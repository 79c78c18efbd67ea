#include "battlefield/form1.h"

namespace game {

void Form1::tmrSpawnTimer_Timer()
{
    // A stream whose wave has not begun has its mover off, and sends nobody.
    for (const InvaderRow& row : invaderRows())
        if (row.wave == nullptr || (this->*row.mover).Enabled()) SpawnInvader(static_cast<std::int16_t>(row.kind));
}

ui::Extent Form1::entryOf(InvaderKind kind) const
{
    const InvaderRow& row = invaderRow(kind);
    const ui::SpriteView zero = invaders(kind)(0);
    return ui::Extent(row.entryLeft.at(Width), row.entryTop.at(Height), zero.Width, zero.Height);
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
