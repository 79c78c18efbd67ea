// Corners of the core that the rule tests and the scenarios do not reach.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "testing/game.h"
#include "ui/error.h"
#include "ui/scheduler.h"

namespace {

// A handler that fails with something other than the game's own runtime
// error ends the advance, yet must not leave the clock stuck as if a handler
// were still running: later advances fire again.
TEST(CoverageGaps, AForeignExceptionLeavesTheSchedulerUsable)
{
    ui::Scheduler clock;
    int firings = 0;
    bool fail = true;
    ui::Timer timer(clock, 10, [&] {
        ++firings;
        if (fail) throw std::logic_error("broken handler");
    });
    timer.setEnabled(true);
    EXPECT_THROW(clock.advanceTo(10), std::logic_error);
    EXPECT_FALSE(clock.busy());
    fail = false;
    clock.advanceTo(30);
    EXPECT_EQ(firings, 3);
}

// The castle's life is read back from its bar's caption: blanks and a plus
// sign are allowed, fractions and big numbers keep their digits, and what is
// no number at all stops the handler with the bar as it was.
TEST(CoverageGaps, CastleLifeCaptionsAreReadAsNumbers)
{
    auto hit = [](testing_support::Game& g, const char* caption) {
        g.stopAllTimers();
        g.caption("lblCastleLifeBar", caption);
        testing_support::place(g.box("picCastleKiller", 0), 1000, 1000, 735, 855);  // inside the castle
        g.hand.tmrCollisionDetect_Timer();
    };
    for (const auto& [before, after] :
         std::vector<std::pair<const char*, const char*>>{{" +250\t", "150"}, {"250.5", "150.5"}, {"1e20", "1e+20"}}) {
        testing_support::Game g;
        hit(g, before);
        EXPECT_EQ(g.view.lblCastleLifeBar.Caption, after) << before;
    }
    for (const char* junk : {"", " ", "+", "12ab", "inf", "nan"}) {
        testing_support::Game g;
        EXPECT_THROW(hit(g, junk), ui::RuntimeError) << junk;
        EXPECT_EQ(g.view.lblCastleLifeBar.Caption, junk);
    }
}

// An index below zero or past the top is a run-time error on every kind of
// array, never a read outside it; only the next index above the top can be
// created, up to the 16-bit limit. The window's arrays are read through its
// view; their writable sides are the same arrays' own, checked on arrays of
// the window's shapes.
TEST(CoverageGaps, IndicesOutsideAnArrayAreRunTimeErrors)
{
    testing_support::StillGame g;
    const game::Form1& c = g.view;
    const int lives = static_cast<int>(c.picLife.size());
    for (int i : {-1, 4}) {
        EXPECT_THROW(g.hand.tmrProjectile_Timer(static_cast<std::int16_t>(i)), ui::RuntimeError);
        EXPECT_THROW(c.tmrProjectile(i), ui::RuntimeError);
    }
    ui::ControlArray<ui::PictureBox> picLife(std::vector<ui::PictureBox>(static_cast<std::size_t>(lives)));
    ui::SpriteArray picCKBot{ui::PictureBox{}};
    for (int i : {-1, lives}) {
        EXPECT_THROW(picLife(i), ui::RuntimeError);
        EXPECT_THROW(c.picLife(i), ui::RuntimeError);
        EXPECT_THROW(picCKBot(i < 0 ? i : 1), ui::RuntimeError);
        EXPECT_THROW(c.picCKBot(i < 0 ? i : 1), ui::RuntimeError);
    }
    EXPECT_THROW(picLife.Load(lives + 1), ui::RuntimeError);
    for (int i = lives; i <= ui::ControlArray<ui::PictureBox>::kMaxIndex; ++i) picLife.Load(i);
    EXPECT_THROW(picLife.Load(ui::ControlArray<ui::PictureBox>::kMaxIndex + 1), ui::RuntimeError);
    EXPECT_THROW(picCKBot.Load(2), ui::RuntimeError);
    for (int i = 1; i <= ui::SpriteArray::kMaxIndex; ++i) picCKBot.Load(i);
    EXPECT_THROW(picCKBot.Load(ui::SpriteArray::kMaxIndex + 1), ui::RuntimeError);
    EXPECT_EQ(picCKBot.UBound(), ui::SpriteArray::kMaxIndex);
}

// Codes outside the key table, on either side, change nothing when released.
TEST(CoverageGaps, ReleasesOfCodesOutsideTheKeyTableAreIgnored)
{
    testing_support::Game g;
    g.apply(game::Input::keyDown(87));
    const auto held = g.view.keyDown;
    for (long long code : {-1LL, 256LL, -32769LL, 1LL << 40}) g.apply(game::Input::keyUp(code));
    for (int code : {-1, 256}) g.hand.picHero_KeyUp(code, 0);  // the handler guards itself too
    EXPECT_EQ(g.view.keyDown, held);
}

// Showing the battlefield again, once it is up, neither loads it again nor
// restarts its timers: the game goes on as it stands.
TEST(CoverageGaps, ShowingTheBattlefieldAgainKeepsTheGame)
{
    testing_support::Game g;
    g.advance(3000);
    g.variable("score", 1234);
    g.timer("tmrSpawnTimer", false);
    const std::string clock = g.view.lblTimer.Caption;
    g.hand.Show();
    EXPECT_EQ(g.view.score, 1234);
    EXPECT_FALSE(g.view.tmrSpawnTimer.Enabled());
    EXPECT_EQ(g.view.lblTimer.Caption, clock);
    EXPECT_TRUE(g.view.Visible);
}

TEST(CoverageGaps, CodesOutsideTheThreeKindsNameNoKind)
{
    EXPECT_FALSE(game::invaderKindOf(3));
    EXPECT_FALSE(game::invaderKindOf(-1));
    EXPECT_EQ(game::invaderKindOf(2), game::InvaderKind::Top);
}

// A clock set below zero (the simulator can set it) keeps the "00" pattern
// behind its minus sign.
TEST(CoverageGaps, NegativeMinutesShowWithTwoDigits)
{
    testing_support::Game g;
    g.variable("clockMinutes", -3);
    g.hand.tmrTimer_Timer();
    EXPECT_EQ(g.view.lblTimer.Caption, "-03:01");
}

// Names the window does not have find nothing (the set door refuses them);
// with an invader enabled, a press beside it still goes to the box beneath
// (here the mage).
TEST(CoverageGaps, UnknownNamesFindNothingAndAPressBesideAnEnabledInvaderFallsThrough)
{
    testing_support::StillGame g;
    using Kind = game::Setting::Kind;
    for (const game::Setting& s : {game::Setting{.kind = Kind::SpriteFlag, .name = "picNothing", .property = "Visible"},
                                   game::Setting{.kind = Kind::LabelCaption, .name = "lblNothing"},
                                   game::Setting{.kind = Kind::TimerEnabled, .name = "tmrNothing"}}) {
        std::string failure;
        EXPECT_FALSE(g.program.set(s, failure));
        EXPECT_NE(failure.find(s.name), std::string::npos) << failure;
    }

    const game::Form1& v = g.view;
    g.hand.SpawnInvader(1);
    g.box("picCastleKiller", 1).enabled(true);  // somewhere far from the mage
    EXPECT_EQ(v.hitTest(v.picHero.Left + 10, v.picHero.Top + 10).control, "picHero");
}

}  // namespace
