#pragma once

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

// A started game on a virtual clock: the title window loaded at 0 and Start
// pressed at 0, so the battlefield's timers run from 0.
struct Game {
    RecordingHost host;
    game::Program program{host};
    game::Form1& form;

    Game() : form(start(program)) {}

    ui::Scheduler& clock() { return program.scheduler(); }
    void advance(std::int64_t ms) { clock().advanceTo(clock().now() + ms); }

    // Switches every timer off, so that a test can drive handlers by hand.
    void stopAllTimers()
    {
        for (auto& [name, timer] : form.timers()) timer->setEnabled(false);
    }

private:
    static game::Form1& start(game::Program& p)
    {
        p.startUp();
        p.menu().cmdStart_Click();
        return *p.form1IfCreated();
    }
};

// Puts a lone box or an invader (through its view) at a rectangle.
inline void place(ui::SpriteRef b, float left, float top, float width, float height)
{
    b.Left = left;
    b.Top = top;
    b.Width = width;
    b.Height = height;
}

}  // namespace testing_support
