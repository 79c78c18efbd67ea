#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "testing/game.h"

namespace {

using game::Input;
using testing_support::Game;

constexpr int kKeyD = 68;

// Input waits for every firing due by its time, and the clock never runs back.
TEST(Program, inputArrivesAfterEveryFiringDueByItsTime)
{
    Game g;
    const float left = g.view.picHero.Left;
    g.program.apply(1000, Input::keyDown(kKeyD));
    EXPECT_EQ(g.view.lblTimer.Caption, "00:01");
    EXPECT_EQ(g.view.picHero.Left, left) << "the hero ticks up to 1000 ran before the key was held";
    g.program.apply(1050, Input::time());
    EXPECT_EQ(g.view.picHero.Left, left + 55);
    g.program.apply(20, Input::keyUp(kKeyD));
    EXPECT_EQ(g.program.now(), 1050);
    EXPECT_EQ(g.view.keyDown[kKeyD], 0);
}

struct HookedHost : game::Host {
    std::function<void()> onBox;
    void MsgBox(const std::string&) override
    {
        if (onBox) std::exchange(onBox, nullptr)();
    }
};

// Input for a window that is not there is dropped; input that comes while a
// handler waits on a message box is delivered without moving the clock.
TEST(Program, inputBeforeTheBattlefieldIsDroppedAndInsideAHandlerOnlyDelivered)
{
    HookedHost host;
    game::Program p(host);
    p.startUp();
    p.apply(100, Input::keyDown(kKeyD));
    p.apply(100, Input::fieldSize(1, 1));
    EXPECT_EQ(p.form1IfCreated(), nullptr);
    EXPECT_EQ(p.now(), 100);

    p.apply(100, Input::start());
    const game::Form1& f = *p.form1IfCreated();
    std::string failure;
    ASSERT_TRUE(p.set({.kind = game::Setting::Kind::Variable, .name = "kills", .integer = f.killsToWin + 1},
                      failure));  // the next hero tick wins
    std::int64_t inside = -1;
    host.onBox = [&] {
        p.apply(p.now() + 60'000, Input::keyDown(kKeyD));
        inside = p.now();
    };
    p.apply(150, Input::time());
    EXPECT_EQ(inside, 150);
    EXPECT_EQ(f.keyDown[kKeyD], -1);
    EXPECT_EQ(p.now(), 150);
}

}  // namespace
