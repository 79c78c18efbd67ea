#pragma once

#include <cstdint>
#include <string_view>

#include "battlefield/form1.h"

namespace game {

// What the rules' own unit tests and the benches do by hand that no player
// and no script can: run one handler on its own, as its timer or its event
// would, make an invader at its stream's entry, and write the few values of
// the mage's state that the set door does not name. Everything else is
// written through Program::apply or Program::set and read through the
// battlefield's const view; this list is the whole of what runs by hand.
class ByHand {
public:
    explicit ByHand(Form1& form) : f_(form) {}

    // ---- the handlers and the procedures they share, each run once, now ----
    void tmrCollisionDetect_Timer() { f_.tmrCollisionDetect_Timer(); }
    void tmrCharaMovement_Timer() { f_.tmrCharaMovement_Timer(); }
    void tmrMonsterMovement_Timer() { f_.tmrMonsterMovement_Timer(); }
    void tmrSpawnTimer_Timer() { f_.tmrSpawnTimer_Timer(); }
    void tmrTimer_Timer() { f_.tmrTimer_Timer(); }
    void tmrMoveTop_Timer() { f_.tmrMoveTop_Timer(); }
    void tmrMoveBot_Timer() { f_.tmrMoveBot_Timer(); }
    void tmrProjectile_Timer(std::int16_t slot) { f_.tmrProjectile_Timer(slot); }
    void Form_MouseDown(std::int16_t button, std::int16_t shift, float x, float y)
    {
        f_.Form_MouseDown(button, shift, x, y);
    }
    void Form_MouseUp(std::int16_t button, std::int16_t shift, float x, float y)
    {
        f_.Form_MouseUp(button, shift, x, y);
    }
    void picHero_KeyDown(KeyCode code, std::int16_t shift) { f_.picHero_KeyDown(code, shift); }
    void picHero_KeyUp(KeyCode code, std::int16_t shift) { f_.picHero_KeyUp(code, shift); }
    void SpawnInvader(std::int16_t kind) { f_.SpawnInvader(kind); }
    void WinGame() { f_.WinGame(); }
    void LoseGame() { f_.LoseGame(); }
    void LoseLife() { f_.LoseLife(); }
    void Show() { f_.Show(); }

    // ---- a press's way to its handler, for the tests of that routing ----
    MouseTarget sendMouseDown(std::int16_t button, float x, float y) { return f_.sendMouseDown(button, x, y); }
    MouseTarget sendMouseUp(std::int16_t button, float x, float y) { return f_.sendMouseUp(button, x, y); }

    // ---- values the set door does not name ----
    // A box shows the picture another box holds (the mage's looks are boxes
    // of their own), or a colour behind it.
    void showPictureOf(std::string_view box, std::string_view from) { sprite(box).Picture = sprite(from).Picture; }
    void setBackColor(std::string_view box, int index, ui::Color color) { sprite(box, index).BackColor = color; }
    void setTargetX(float x) { f_.targetX = x; }
    void setProjectileStep(int slot, double x, double y)
    {
        f_.projStepX.at(static_cast<std::size_t>(slot)) = x;
        f_.projStepY.at(static_cast<std::size_t>(slot)) = y;
    }
    void setKeyDown(int code, std::int16_t state) { f_.keyDown.at(static_cast<std::size_t>(code)) = state; }
    void setSpecialHeld(bool held) { f_.specialHeld = held; }

private:
    ui::SpriteRef sprite(std::string_view name, int index = -1) { return f_.sprite(name, index).value(); }

    Form1& f_;
};

}  // namespace game
