#pragma once

#include <functional>

namespace app {

// What a window does around every input event it hands to the game: bring the
// game clock up to the present first (a timer switched on by the event must
// start its interval now, not at the last tick), and afterwards repaint and
// follow the windows the event showed or hid.
struct InputGate {
    std::function<void()> before;
    std::function<void()> after;

    void enter() const
    {
        if (before) before();
    }
    void leave() const
    {
        if (after) after();
    }
};

}  // namespace app
