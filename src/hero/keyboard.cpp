#include "battlefield/form1.h"

namespace game {

// The mage is steered by what is held at each tick, so the key handlers only
// keep the table. Codes outside it do not come from a keyboard and are ignored.
void Form1::picHero_KeyDown(KeyCode keyCode, std::int16_t /*shift*/)
{
    if (keyCode < 0 || keyCode > 255) return;
    keyDown[static_cast<std::size_t>(keyCode)] = -1;
}

void Form1::picHero_KeyUp(KeyCode keyCode, std::int16_t /*shift*/)
{
    if (keyCode < 0 || keyCode > 255) return;
    keyDown[static_cast<std::size_t>(keyCode)] = 0;
}

}  // namespace game
