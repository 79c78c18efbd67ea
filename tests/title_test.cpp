#include <gtest/gtest.h>

#include "testing/game.h"

namespace {

using testing_support::RecordingHost;

TEST(Title, formLoadCentresEachControlOnHalfTheOuterWidth)
{
    RecordingHost host;
    game::Program p(host);
    const game::Menu& m = p.menu();
    // A frame of 120 twips on each side: the centre lies one side frame right
    // of the client area's centre.
    p.apply(0, game::Input::titleSize(23580 + 240, m.Height));
    p.startUp();
    EXPECT_TRUE(m.Visible);
    EXPECT_FLOAT_EQ(m.lblWelcome.Left, 11910 - 4267.5f);
    EXPECT_FLOAT_EQ(m.lblInstructions.Left, 11910 - 2467.5f);
    EXPECT_FLOAT_EQ(m.lblControls.Left, 11910 - 2707.5f);
    EXPECT_FLOAT_EQ(m.cmdStart.Left, 11910 - 1387.5f);
    // Top, Width and Height stay as designed.
    EXPECT_EQ(m.lblWelcome.Top, 1080);
    EXPECT_EQ(m.lblControls.Width, 5415);
    EXPECT_EQ(m.cmdStart.Height, 1575);
    // Resizing later moves nothing.
    p.apply(0, game::Input::titleSize(30000, m.Height));
    EXPECT_FLOAT_EQ(m.cmdStart.Left, 11910 - 1387.5f);
}

TEST(Title, centringRoundsTheDoubleDifferenceToASingle)
{
    RecordingHost host;
    game::Program p(host);
    p.apply(0, game::Input::titleSize(23581.3f, p.menu().Height));
    p.startUp();
    const double expected = static_cast<double>(23581.3f) / 2 - 8535.0 / 2;
    EXPECT_EQ(p.menu().lblWelcome.Left, static_cast<float>(expected));
}

TEST(Title, startLoadsAndShowsTheBattlefieldThenHidesTheTitleForGood)
{
    RecordingHost host;
    game::Program p(host);
    p.startUp();
    EXPECT_EQ(p.form1IfCreated(), nullptr);
    p.apply(700, game::Input::start());
    const game::Form1* f = p.form1IfCreated();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->Loaded);
    EXPECT_TRUE(f->Visible);
    EXPECT_EQ(f->lives, 3);  // Form_Load ran before the window was shown
    EXPECT_FALSE(p.menu().Visible);
    // The timers of the design start with the load.
    EXPECT_EQ(f->tmrCollisionDetect.due(), 725);
    EXPECT_EQ(f->tmrCharaMovement.due(), 750);
    EXPECT_EQ(f->tmrSpawnTimer.due(), 3200);
    EXPECT_EQ(f->tmrTimer.due(), 1700);
    EXPECT_EQ(p.menu().Caption, "Zorvane");
    EXPECT_EQ(p.menu().BackColor, ui::rgb(0, 255, 255));
}

}  // namespace
