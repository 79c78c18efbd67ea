#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "program.h"

namespace testing_support {

// Records the game's message boxes instead of showing them; each is closed
// with OK at once.
class RecordingHost : public game::Host {
public:
    void MsgBox(const std::string& text) override { boxes.push_back(text); }
    std::vector<std::string> boxes;
};

// A sprite's top-left corner, in twips.
struct Corner {
    float left, top;
};

// A started game on a virtual clock: the title window loaded at 0 and Start
// pressed at 0, so the battlefield's timers run from 0.
struct Game {
    RecordingHost host;
    game::Program program{host};
    game::Form1& form;

    Game() : form(start(program)) {}

    const ui::Scheduler& clock() const { return program.scheduler(); }
    void advance(std::int64_t ms) { program.apply(program.now() + ms, game::Input::time()); }
    // Input at the present moment, through the door every front end uses.
    void apply(const game::Input& input) { program.apply(program.now(), input); }

    // Places worked out from the window's current outer size. A hit parks
    // both sprites right of the window, apart, where they touch nothing.
    Corner parkedInvader() const { return {form.Width + 3000, form.Height + 5000}; }
    Corner spentProjectile() const { return {form.Width + 5000, form.Height - 3000}; }
    // Where each stream's new invaders enter.
    Corner bottomStreamEntry() const { return {2000, form.Height - 1000}; }
    Corner castleKillerEntry() const { return {form.Width - 1000, form.Height - 1000}; }
    Corner topStreamEntry() const { return {form.Width - 1000, 2000}; }

    // Switches every timer off, so that a test can drive handlers by hand.
    void stopAllTimers()
    {
        for (auto& [name, timer] : form.timers()) timer->setEnabled(false);
    }

private:
    static game::Form1& start(game::Program& p)
    {
        p.startUp();
        p.apply(0, game::Input::start());
        return *p.form1ToArrange();
    }
};

// A started game with every timer switched off, so that a test drives the
// handlers by hand.
struct StillGame : Game {
    StillGame() { stopAllTimers(); }
    void hold(std::initializer_list<int> codes)
    {
        for (int c : codes) form.picHero_KeyDown(c, 0);
    }
    void heroTick() { form.tmrCharaMovement_Timer(); }
    void heroTicks(int n)
    {
        for (int i = 0; i < n; ++i) heroTick();
    }
    void collisionTick() { form.tmrCollisionDetect_Timer(); }
    // Runs flight ticks of a slot until its timer stops; returns how many ran.
    int flyOut(std::int16_t slot)
    {
        int n = 0;
        for (; form.tmrProjectile(slot).Enabled() && n < 10000; ++n) form.tmrProjectile_Timer(slot);
        return n;
    }
};

// Whether a sprite's top-left corner is exactly at a place.
inline ::testing::AssertionResult isAt(const ui::Extent& s, Corner c)
{
    if (s.Left == c.left && s.Top == c.top) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at " << s.Left << ", " << s.Top << ", not " << c.left << ", " << c.top;
}

// Puts a lone box or an invader (through its view) at a rectangle.
inline void place(ui::SpriteRef b, float left, float top, float width, float height)
{
    b.Left = left;
    b.Top = top;
    b.Width = width;
    b.Height = height;
}

}  // namespace testing_support
