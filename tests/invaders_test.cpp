#include <gtest/gtest.h>

#include "testing/game.h"

namespace {

using testing_support::Corner;
using testing_support::Game;
using testing_support::isAt;
using testing_support::StillGame;

TEST(SpawnBeat, oneCastleKillerPerBeatAtTheBottomRightOfTheOuterWindow)
{
    Game g;
    const game::Form1& f = g.view;
    g.advance(2499);
    EXPECT_EQ(f.picCastleKiller.UBound(), 0);
    g.advance(1);
    EXPECT_EQ(f.picCastleKiller.UBound(), 1);
    EXPECT_TRUE(isAt(f.picCastleKiller(1), g.castleKillerEntry()));
    EXPECT_TRUE(f.picCastleKiller(1).Visible);
    EXPECT_FALSE(f.picCastleKiller(1).Enabled);
    EXPECT_EQ(f.picCastleKiller(1).Picture, f.picCastleKiller(0).Picture);
    EXPECT_EQ(f.picCastleKiller(1).BackColor, ui::rgb(0, 128, 0));
    g.advance(3 * 2500);
    EXPECT_EQ(f.picCastleKiller.UBound(), 4);
    EXPECT_EQ(f.picCKTop.UBound(), 0);
    EXPECT_EQ(f.picCKBot.UBound(), 0);
}

TEST(SpawnBeat, entryPointsFollowTheWindowSizeAtTheBeat)
{
    StillGame g;
    const game::Form1& f = g.view;
    g.resize(f.Width + 3000.5f, f.Height + 777.25f);
    g.timer("tmrMoveTop", true);
    g.timer("tmrMoveBot", true);
    g.hand.tmrSpawnTimer_Timer();
    EXPECT_TRUE(isAt(f.picCKBot(1), g.bottomStreamEntry()));
    EXPECT_TRUE(isAt(f.picCastleKiller(1), g.castleKillerEntry()));
    EXPECT_TRUE(isAt(f.picCKTop(1), g.topStreamEntry()));
    // Bottom stream first, then the castle killer, then the top stream.
    const auto& created = f.createdInvaders();
    ASSERT_EQ(created.size(), 3u);
    EXPECT_EQ(created[0].first, game::InvaderKind::Bottom);
    EXPECT_EQ(created[1].first, game::InvaderKind::CastleKiller);
    EXPECT_EQ(created[2].first, game::InvaderKind::Top);
    g.hand.SpawnInvader(3);  // no such kind: nothing is made
    g.hand.SpawnInvader(-1);
    EXPECT_EQ(f.createdInvaders().size(), 3u);
}

TEST(SpawnBeat, aKilledIndexIsNeverHandedOutAgainAndTheLimitStopsThatKindOnly)
{
    StillGame g;
    const game::Form1& f = g.view;
    for (int i = 0; i < 3; ++i) g.hand.SpawnInvader(1);
    g.box("picCastleKiller", 3).visible(false);  // killed and parked
    g.hand.SpawnInvader(1);
    EXPECT_EQ(f.picCastleKiller.UBound(), 4);
    EXPECT_TRUE(f.picCastleKiller(4).Visible);

    for (int i = f.picCKTop.UBound(); i < 32767; ++i) g.hand.SpawnInvader(2);
    EXPECT_EQ(f.picCKTop.UBound(), 32767);
    g.hand.SpawnInvader(2);  // at the 16-bit limit the top stream stops coming
    EXPECT_EQ(f.picCKTop.UBound(), 32767);
    g.timer("tmrMoveTop", true);
    g.hand.tmrSpawnTimer_Timer();  // and the beat goes on for the others
    EXPECT_EQ(f.picCastleKiller.UBound(), 5);
}

TEST(InvaderMovement, eachKindMovesByItsExactStepAndHiddenOnesStayPut)
{
    StillGame g;
    const game::Form1& f = g.view;
    g.hand.SpawnInvader(1);
    g.hand.SpawnInvader(2);
    g.hand.SpawnInvader(0);
    g.box("picCKTop", 0).visible(true);
    g.box("picCKBot", 0).visible(true);
    g.box("picCastleKiller", 1).visible(false).at(g.parkedInvader().left, g.parkedInvader().top);
    for (int i = 0; i < 10; ++i) {
        g.hand.tmrMonsterMovement_Timer();
        g.hand.tmrMoveTop_Timer();
        g.hand.tmrMoveBot_Timer();
    }
    EXPECT_EQ(f.picCastleKiller(0).Left, 27600 - 550);
    EXPECT_EQ(f.picCastleKiller(0).Top, 14640 - 300);
    EXPECT_TRUE(isAt(f.picCastleKiller(1), g.parkedInvader()));
    EXPECT_EQ(f.picCKTop(0).Left, 27480 - 700);
    EXPECT_EQ(f.picCKTop(0).Top, 1320);
    EXPECT_TRUE(isAt(f.picCKTop(1), {g.topStreamEntry().left - 700, g.topStreamEntry().top}));
    EXPECT_EQ(f.picCKBot(0).Left, 600);
    EXPECT_EQ(f.picCKBot(0).Top, 14160 - 700);
    EXPECT_TRUE(isAt(f.picCKBot(1), {g.bottomStreamEntry().left, g.bottomStreamEntry().top - 700}));
}

TEST(InvaderMovement, stepsAreSinglePrecisionAndUnbounded)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::SpriteView k = f.picCastleKiller(0);
    g.box("picCastleKiller", 0).at(0.1f, -100000.3f);
    g.hand.tmrMonsterMovement_Timer();
    EXPECT_EQ(k.Left, 0.1f - 55.0f);
    EXPECT_EQ(k.Top, -100000.3f - 30.0f);
    EXPECT_TRUE(k.Visible);  // past the edges it walks on
}

TEST(GameClock, countsTicksShowsThemAndStartsTheWavesOnTheirSecond)
{
    Game g;
    const game::Form1& f = g.view;
    g.advance(999);
    EXPECT_EQ(f.lblTimer.Caption, "00:00");
    g.advance(1);
    EXPECT_EQ(f.lblTimer.Caption, "00:01");
    g.advance(58000);
    EXPECT_EQ(f.lblTimer.Caption, "00:59");
    g.advance(1000);
    EXPECT_EQ(f.lblTimer.Caption, "01:00");
    EXPECT_EQ(f.clockMinutes, 1);
    EXPECT_EQ(f.clockSeconds, 0);
    g.advance(1000);
    EXPECT_FALSE(f.tmrMoveTop.Enabled());
    EXPECT_FALSE(f.picCKTop(0).Visible);
    EXPECT_EQ(f.lblWaveNum.Caption, "1");
    g.advance(1000);  // 62 ticks
    EXPECT_EQ(f.lblTimer.Caption, "01:02");
    EXPECT_TRUE(f.tmrMoveTop.Enabled());
    EXPECT_TRUE(f.picCKTop(0).Visible);
    EXPECT_EQ(f.lblWaveNum.Caption, "2");
    EXPECT_FALSE(f.tmrMoveBot.Enabled());
    g.advance(62999);
    EXPECT_FALSE(f.tmrMoveBot.Enabled());
    g.advance(1);  // 125 ticks
    EXPECT_EQ(f.lblTimer.Caption, "02:05");
    EXPECT_TRUE(f.tmrMoveBot.Enabled());
    EXPECT_TRUE(f.picCKBot(0).Visible);
    EXPECT_EQ(f.lblWaveNum.Caption, "3");
}

TEST(GameClock, minutesAreNeverCutAndTheClockStopsAtItsLastSecond)
{
    StillGame g;
    const game::Form1& f = g.view;
    for (int i = 0; i < 6000; ++i) g.hand.tmrTimer_Timer();
    EXPECT_EQ(f.lblTimer.Caption, "100:00");
    EXPECT_EQ(f.lblWaveNum.Caption, "3");  // never past 3
    EXPECT_EQ(f.lblOfNum.Caption, "of 3");
    g.variable("clockMinutes", 32767);
    g.variable("clockSeconds", 58);
    g.hand.tmrTimer_Timer();
    EXPECT_EQ(f.lblTimer.Caption, "32767:59");
    g.hand.tmrTimer_Timer();
    EXPECT_EQ(f.lblTimer.Caption, "32767:59");
    EXPECT_EQ(f.clockMinutes, 32767);
}

TEST(Waves, aStreamsKilledElementZeroIsShownWhereItWasParked)
{
    Game g;
    const game::Form1& f = g.view;
    const Corner parked = g.parkedInvader();
    g.box("picCKTop", 0).at(parked.left, parked.top);
    g.advance(62000);
    EXPECT_TRUE(f.picCKTop(0).Visible);
    EXPECT_TRUE(isAt(f.picCKTop(0), parked));
    g.advance(500);  // the first beat after 01:02 brings the first created one
    EXPECT_EQ(f.picCKTop.UBound(), 1);
    EXPECT_LT(f.picCKTop(0).Left, parked.left);
}

TEST(Waves, theEndOfTheGameStopsNeitherTheClockNorTheInvaders)
{
    Game g;
    const game::Form1& f = g.view;
    g.variable("kills", 151);
    g.advance(50);
    ASSERT_EQ(g.host.boxes.size(), 2u);
    EXPECT_FALSE(f.tmrCharaMovement.Enabled());
    EXPECT_FALSE(f.tmrCollisionDetect.Enabled());
    g.advance(130000);
    EXPECT_EQ(f.lblTimer.Caption, "02:10");
    EXPECT_EQ(f.lblWaveNum.Caption, "3");
    EXPECT_EQ(f.picCastleKiller.UBound(), 52);
    EXPECT_TRUE(f.tmrMonsterMovement.Enabled());
    EXPECT_TRUE(f.tmrSpawnTimer.Enabled());
}

}  // namespace
