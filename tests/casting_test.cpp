// Casting with the mouse, the special magic's states, and projectile flight.
// The expected launches were worked out beforehand, outside the game: the
// differences from start to target in single precision, their distance in
// double, each step the difference over (distance over speed) in double.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "testing/game.h"

namespace {

using testing_support::Game;
using testing_support::isAt;
using testing_support::place;
using testing_support::StillGame;

constexpr std::int16_t kLeft = 1, kRight = 2, kMiddle = 4;

float flown(float from, double step)
{
    return static_cast<float>(static_cast<double>(from) + step);
}

// ---------------------------------------------------------------- left-button casts

TEST(Casting, aLeftPressPutsTheSelectedSlotOnTheMageAndAimsItsCornerAtTheCursor)
{
    // From 5000, 6000 to 12000.5, 1000.25: differences 7000.5 and -4999.75, distance 8602.586838416686.
    struct Case {
        std::int16_t magic;
        std::int64_t speed;
        double stepX, stepY;
    };
    for (Case c :
         {Case{0, 200, 162.7533701546092, -116.23829189779406}, Case{1, 235, 191.23520993166576, -136.579992979908},
          Case{2, 275, 223.7858839625876, -159.8276513594668}}) {
        SCOPED_TRACE(c.magic);
        StillGame g;
        const game::Form1& f = g.view;
        g.variable("magicType", c.magic);
        place(g.box("picHero"), 5000, 6000, 675, 735);
        g.hand.Form_MouseDown(kLeft, 0, 12000.5f, 1000.25f);

        const std::size_t k = static_cast<std::size_t>(c.magic);
        const ui::PictureBox& p = f.picProjectile(c.magic);
        EXPECT_EQ(f.targetX, 12000.5f);
        EXPECT_EQ(f.targetY, 1000.25f);
        EXPECT_TRUE(p.Visible);
        EXPECT_EQ(p.Left, 5000);
        EXPECT_EQ(p.Top, 6000);
        EXPECT_TRUE(f.tmrProjectile(c.magic).Enabled());
        EXPECT_EQ(f.projStartX[k], 5000.0f);
        EXPECT_EQ(f.projStartY[k], 6000.0f);
        EXPECT_EQ(f.projDistance[k], 8602.586838416686);
        EXPECT_EQ(f.projStepX[k], c.stepX);
        EXPECT_EQ(f.projStepY[k], c.stepY);
        // The other slots stay idle.
        for (std::int16_t other = 0; other < 4; ++other) {
            if (other == c.magic) continue;
            EXPECT_FALSE(f.picProjectile(other).Visible) << other;
            EXPECT_FALSE(f.tmrProjectile(other).Enabled()) << other;
            EXPECT_FALSE(f.projStepX[static_cast<std::size_t>(other)].has_value()) << other;
        }
        // The speeds are not changed by a cast.
        EXPECT_EQ(f.projSpeed[k], c.speed);
    }
}

TEST(Casting, theStepUsesSingleDifferencesAndDoubleDistanceAndSteps)
{
    StillGame g;
    const game::Form1& f = g.view;
    // A diagonal step from 6600, 4200 leaves the mage at 6561.10888671875, 4161.10888671875.
    place(g.box("picHero"), 6561.10888671875f, 4161.10888671875f, 675, 735);
    g.hand.Form_MouseDown(kLeft, 0, 100.3f, 12345.7f);

    // The single differences to 100.30000305175781, 12345.7001953125 are
    // -6460.80908203125 and 8184.59130859375.
    const double stepX = -123.92046387391247, stepY = 156.98317945969356;
    EXPECT_EQ(f.projDistance[0], 10427.3481232366);
    EXPECT_EQ(f.projStepX[0], stepX);
    EXPECT_EQ(f.projStepY[0], stepY);
    // The exact difference in x, -6460.808883666992, would give another step.
    ASSERT_NE(stepX, -123.92046152986823);
    // And the step has the length of the speed, up to rounding.
    EXPECT_NEAR(std::hypot(stepX, stepY), 200.0, 1e-9);

    // Each flight tick adds the double step to the single position and
    // rounds the sum to single.
    g.hand.tmrProjectile_Timer(0);
    EXPECT_EQ(f.picProjectile(0).Left, 6437.1884765625f);
    EXPECT_EQ(f.picProjectile(0).Top, 4318.09228515625f);
    g.hand.tmrProjectile_Timer(0);
    EXPECT_EQ(f.picProjectile(0).Left, 6313.26806640625f);
    EXPECT_EQ(f.picProjectile(0).Top, 4475.07568359375f);
}

TEST(Casting, aFireCastStraightToTheRightMovesExactlyTwoHundredPerTickWithoutDrift)
{
    Game g;
    const game::Form1& f = g.view;
    g.apply(game::Input::mouseDown(kLeft, 16600, 4200));
    EXPECT_EQ(f.projStepX[0], 200.0);
    EXPECT_EQ(f.projStepY[0], 0.0);
    EXPECT_EQ(f.projDistance[0], 10000.0);
    // The first move comes 50 ms after the cast.
    g.advance(49);
    EXPECT_EQ(f.picProjectile(0).Left, 6600);
    for (int tick = 1; tick <= 10; ++tick) {
        g.advance(tick == 1 ? 1 : 50);
        EXPECT_EQ(f.picProjectile(0).Left, 6600 + 200 * tick) << tick;
        EXPECT_EQ(f.picProjectile(0).Top, 4200) << tick;
    }
    // It flies on past its target point.
    g.advance(50 * 30);
    EXPECT_EQ(f.picProjectile(0).Left, 6600 + 200 * 40);
    EXPECT_TRUE(f.picProjectile(0).Visible);
}

TEST(Casting, everyPressSetsTheTargetButABusySlotOrAnUnknownMagicCastsNothing)
{
    StillGame g;
    const game::Form1& f = g.view;
    g.hand.Form_MouseDown(kMiddle, 0, 111, 222);
    EXPECT_EQ(f.targetX, 111);
    EXPECT_EQ(f.targetY, 222);
    for (std::int16_t s = 0; s < 4; ++s) EXPECT_FALSE(f.picProjectile(s).Visible);
    EXPECT_FALSE(f.specialHeld);

    g.hand.Form_MouseDown(kLeft, 0, 16600, 4200);
    g.hand.tmrProjectile_Timer(0);
    ASSERT_EQ(f.picProjectile(0).Left, 6800);
    const auto stepX = f.projStepX[0];
    const auto startX = f.projStartX[0];

    // The fire slot still flies: the press only moves the target.
    g.hand.Form_MouseDown(kLeft, 0, 300, 400);
    EXPECT_EQ(f.targetX, 300);
    EXPECT_EQ(f.targetY, 400);
    EXPECT_EQ(f.picProjectile(0).Left, 6800);
    EXPECT_EQ(f.projStepX[0], stepX);
    EXPECT_EQ(f.projStartX[0], startX);

    for (std::int16_t magic : {std::int16_t{3}, std::int16_t{-1}, std::int16_t{100}}) {
        SCOPED_TRACE(magic);
        g.variable("magicType", magic);
        g.hand.Form_MouseDown(kLeft, 0, 500, 600);
        EXPECT_EQ(f.targetX, 500);
        for (std::int16_t s = 1; s < 4; ++s) {
            EXPECT_FALSE(f.picProjectile(s).Visible) << s;
            EXPECT_FALSE(f.tmrProjectile(s).Enabled()) << s;
        }
    }
}

TEST(Casting, castingPicturesFollowThePictureObjectTheMageHolds)
{
    enum Src { Start, WalkLeft, WalkRight, FireLeft, FireRight, Lightning };
    // The box holding each picture; the start picture is the mage's own.
    const std::array<const char*, 6> box{"picHero",
                                         "picBlackMageLeft",
                                         "picBlackMageRight",
                                         "picBlackMageFireLeft",
                                         "picBlackMageFireRight",
                                         "picBlackMageLightning"};
    struct Case {
        const char* what;
        Src before;
        std::int16_t magic;
        Src after;
    };
    const std::vector<Case> cases{
        {"fire from the start picture", Start, 0, Start},
        {"fire facing left", WalkLeft, 0, FireLeft},
        {"fire facing right", WalkRight, 0, FireRight},
        {"fire over an earlier fire picture", FireRight, 0, FireRight},
        {"fire over the lightning picture", Lightning, 0, Lightning},
        {"ice facing right", WalkRight, 1, WalkRight},
        {"ice from the start picture", Start, 1, Start},
        {"ice over a fire picture", FireLeft, 1, FireLeft},
        {"lightning from the start picture", Start, 2, Lightning},
        {"lightning facing left", WalkLeft, 2, Lightning},
        {"lightning over a fire picture", FireRight, 2, Lightning},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StillGame g;
        const game::Form1& f = g.view;
        const ui::PictureRef start = f.picHero.Picture;
        auto pic = [&](Src s) {
            switch (s) {
                case WalkLeft:
                    return f.picBlackMageLeft.Picture;
                case WalkRight:
                    return f.picBlackMageRight.Picture;
                case FireLeft:
                    return f.picBlackMageFireLeft.Picture;
                case FireRight:
                    return f.picBlackMageFireRight.Picture;
                case Lightning:
                    return f.picBlackMageLightning.Picture;
                case Start:
                    break;
            }
            return start;
        };
        g.hand.showPictureOf("picHero", box.at(c.before));
        g.variable("magicType", c.magic);
        g.hand.Form_MouseDown(kLeft, 0, 20000, 9000);
        EXPECT_EQ(f.picHero.Picture, pic(c.after));
    }
}

TEST(Casting, afterASidewaysStepTheNextFireCastShowsTheMatchingFirePicture)
{
    StillGame g;
    const game::Form1& f = g.view;
    g.hand.picHero_KeyDown(68, 0);  // D
    g.heroTick();
    g.hand.picHero_KeyUp(68, 0);
    g.hand.Form_MouseDown(kLeft, 0, 20000, 9000);
    EXPECT_EQ(f.picHero.Picture, f.picBlackMageFireRight.Picture);
    // The casting picture stays through a diagonal move...
    g.hand.picHero_KeyDown(87, 0);  // W
    g.hand.picHero_KeyDown(68, 0);  // D
    g.heroTick();
    EXPECT_EQ(f.picHero.Picture, f.picBlackMageFireRight.Picture);
    g.hand.picHero_KeyUp(87, 0);
    g.hand.picHero_KeyUp(68, 0);
    // ...until a step left, after which fire shows the left fire picture.
    g.hand.picHero_KeyDown(65, 0);  // A
    g.heroTick();
    g.hand.picHero_KeyUp(65, 0);
    g.box("picProjectile", 0).visible(false);
    g.hand.Form_MouseDown(kLeft, 0, 20000, 9000);
    EXPECT_EQ(f.picHero.Picture, f.picBlackMageFireLeft.Picture);
}

TEST(Casting, aCastAtTheMagesOwnCornerLaunchesNothingAndFreesTheSlot)
{
    StillGame g;
    const game::Form1& f = g.view;
    place(g.box("picHero"), 5000, 6000, 675, 735);
    g.variable("magicType", 2);
    g.hand.Form_MouseDown(kLeft, 0, 9000, 6000);
    ASSERT_TRUE(f.tmrProjectile(2).Enabled());
    const auto stepX = f.projStepX[2];
    const auto stepY = f.projStepY[2];
    ASSERT_EQ(stepX, 275.0);  // 4000 / (4000 / 275)
    // Hidden by a hit: the slot is free while its timer still runs.
    g.box("picProjectile", 2).visible(false);
    g.hand.showPictureOf("picHero", "picBlackMageRight");

    g.hand.Form_MouseDown(kLeft, 0, 5000, 6000);
    EXPECT_EQ(f.projStartX[2], 5000.0f);
    EXPECT_EQ(f.projStartY[2], 6000.0f);
    EXPECT_EQ(f.projDistance[2], 0.0);
    EXPECT_EQ(f.projStepX[2], stepX);
    EXPECT_EQ(f.projStepY[2], stepY);
    EXPECT_FALSE(f.picProjectile(2).Visible);
    EXPECT_FALSE(f.tmrProjectile(2).Enabled());
    EXPECT_EQ(f.picProjectile(2).Left, 5000);
    EXPECT_EQ(f.picProjectile(2).Top, 6000);
    // The casting picture was set before the launch.
    EXPECT_EQ(f.picHero.Picture, f.picBlackMageLightning.Picture);

    // A first cast of a slot aimed at its own corner leaves the steps without value.
    g.variable("magicType", 1);
    g.hand.Form_MouseDown(kLeft, 0, 5000, 6000);
    EXPECT_EQ(f.projDistance[1], 0.0);
    EXPECT_FALSE(f.projStepX[1].has_value());
    EXPECT_FALSE(f.projStepY[1].has_value());
    EXPECT_FALSE(f.picProjectile(1).Visible);
    EXPECT_FALSE(f.tmrProjectile(1).Enabled());
}

TEST(Casting, fireIceLightningAndTheSpecialFlyTogether)
{
    Game g;
    const game::Form1& f = g.view;
    g.apply(game::Input::mouseDown(kRight, 20000, 2000));
    g.advance(100);
    for (std::int16_t magic = 0; magic < 3; ++magic) {
        g.variable("magicType", magic);
        g.apply(game::Input::mouseDown(kLeft, 20000, 9000 + 500.0f * magic));
        g.apply(game::Input::mouseUp(kLeft, 20000, 9000));
        // The left release ended the charge: the special stands still.
        g.apply(game::Input::mouseDown(kRight, 20000, 2000));
        EXPECT_FALSE(f.specialHeld);
        g.apply(game::Input::mouseUp(kRight, 20000, 2000));
    }
    EXPECT_TRUE(f.picProjectile(3).Visible);
    EXPECT_FALSE(f.tmrProjectile(3).Enabled());
    for (std::int16_t s = 0; s < 3; ++s) {
        EXPECT_TRUE(f.picProjectile(s).Visible) << s;
        EXPECT_TRUE(f.tmrProjectile(s).Enabled()) << s;
    }
    // Once every slot is idle again all four can fly at once.
    Game h;
    const game::Form1& e = h.view;
    h.apply(game::Input::mouseDown(kRight, 20000, 2000));
    h.advance(50);
    h.apply(game::Input::mouseUp(kRight, 20000, 2000));
    for (std::int16_t magic = 0; magic < 3; ++magic) {
        h.variable("magicType", magic);
        h.apply(game::Input::mouseDown(kLeft, 20000, 9000));
        h.apply(game::Input::mouseUp(kLeft, 20000, 9000));
    }
    for (std::int16_t s = 0; s < 4; ++s) {
        EXPECT_TRUE(e.picProjectile(s).Visible) << s;
        EXPECT_TRUE(e.tmrProjectile(s).Enabled()) << s;
    }
}

// ---------------------------------------------------------------- the special's states

TEST(SpecialMagic, aRightPressArmsTheSpecialAndTheNextHeroTickStartsTheCharge)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::PictureBox& special = f.picProjectile(3);
    ASSERT_FALSE(special.Enabled);
    g.hand.Form_MouseDown(kRight, 0, 1234, 567);
    EXPECT_EQ(f.targetX, 1234);
    EXPECT_EQ(f.targetY, 567);
    EXPECT_TRUE(f.specialHeld);
    EXPECT_TRUE(special.Enabled);
    // Armed: nothing shown or moved.
    EXPECT_FALSE(special.Visible);
    EXPECT_EQ(special.Left, 16320);
    EXPECT_EQ(special.Top, 840);
    EXPECT_EQ(special.Width, 255);
    EXPECT_FALSE(f.tmrProjectile(3).Enabled());

    g.heroTick();  // Charging
    EXPECT_TRUE(special.Visible);
    EXPECT_TRUE(special.Enabled);
    EXPECT_EQ(special.Width, 258);
    EXPECT_EQ(special.Top, 4200 - 258);
    EXPECT_EQ(special.Left, 6600 + 337.5f - 129.0f);
    EXPECT_FALSE(f.tmrProjectile(3).Enabled());
}

TEST(SpecialMagic, aLeftOrMiddleReleaseWhileArmedDisarmsWithoutLaunching)
{
    for (std::int16_t button : {kLeft, kMiddle}) {
        SCOPED_TRACE(button);
        StillGame g;
        const game::Form1& f = g.view;
        g.hand.Form_MouseDown(kRight, 0, 1234, 567);
        g.hand.Form_MouseUp(button, 0, 20000, 800);
        EXPECT_FALSE(f.specialHeld);
        EXPECT_FALSE(f.picProjectile(3).Enabled);
        EXPECT_FALSE(f.picProjectile(3).Visible);
        EXPECT_FALSE(f.tmrProjectile(3).Enabled());
        EXPECT_FALSE(f.projStartX[3].has_value());
        EXPECT_EQ(f.targetX, 1234);  // the release point is not taken
        g.heroTick();
        EXPECT_FALSE(f.picProjectile(3).Visible);
        EXPECT_EQ(f.projSpeed[3], 275);
        // Idle again: the next right press arms it.
        g.hand.Form_MouseDown(kRight, 0, 1, 2);
        EXPECT_TRUE(f.specialHeld);
        EXPECT_TRUE(f.picProjectile(3).Enabled);
    }
}

TEST(SpecialMagic, aRightClickShorterThanATickLaunchesTheHiddenSpecialFromWhereItLastStood)
{
    Game g;
    const game::Form1& f = g.view;
    const ui::PictureBox& special = f.picProjectile(3);
    g.advance(10);
    g.apply(game::Input::mouseDown(kRight, 3000, 3000));
    g.advance(20);
    g.apply(game::Input::mouseUp(kRight, 20320, 2840));
    EXPECT_EQ(f.targetX, 20320);
    EXPECT_EQ(f.targetY, 2840);
    EXPECT_FALSE(special.Visible);
    EXPECT_FALSE(special.Enabled);
    EXPECT_FALSE(f.specialHeld);
    EXPECT_TRUE(f.tmrProjectile(3).Enabled());
    EXPECT_EQ(f.projStartX[3], 16320.0f);
    EXPECT_EQ(f.projStartY[3], 840.0f);
    // Differences 4000 and 2000, distance 4472.13595499958.
    EXPECT_EQ(f.projStepX[3], 245.96747752497683);
    EXPECT_EQ(f.projStepY[3], 122.98373876248841);

    g.advance(49);  // 79 ms: the hero tick at 50 did not charge it
    EXPECT_EQ(special.Width, 255);
    EXPECT_EQ(f.projSpeed[3], 275);
    EXPECT_EQ(special.Left, 16320);
    g.advance(1);  // the first flight tick, 50 ms after the release
    EXPECT_EQ(special.Left, 16565.966796875f);
    EXPECT_EQ(special.Top, 962.9837646484375f);
    EXPECT_FALSE(special.Visible);
}

TEST(SpecialMagic, aShortRightClickFromOutsideTheWindowStopsAtTheFirstFlightTick)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::PictureBox& special = f.picProjectile(3);
    g.box("picProjectile", 3).at(30000, 900);
    g.hand.Form_MouseDown(kRight, 0, 3000, 3000);
    g.hand.Form_MouseUp(kRight, 0, 1000, 900);
    ASSERT_TRUE(f.tmrProjectile(3).Enabled());
    g.hand.tmrProjectile_Timer(3);
    EXPECT_EQ(special.Left, 30000);
    EXPECT_EQ(special.Top, 900);
    EXPECT_FALSE(special.Visible);
    EXPECT_FALSE(f.tmrProjectile(3).Enabled());
}

TEST(SpecialMagic, aRightReleaseWhileChargingLaunchesFromAboveTheMageTowardsTheReleasePoint)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::PictureBox& special = f.picProjectile(3);
    g.hand.Form_MouseDown(kRight, 0, 100, 100);
    g.heroTicks(20);
    ASSERT_EQ(special.Left, 6780);
    ASSERT_EQ(special.Top, 3885);
    g.hand.Form_MouseUp(kRight, 0, 11780, 3885);
    EXPECT_EQ(f.targetX, 11780);
    EXPECT_EQ(f.targetY, 3885);
    EXPECT_EQ(f.projStartX[3], 6780.0f);
    EXPECT_EQ(f.projStartY[3], 3885.0f);
    EXPECT_EQ(f.projDistance[3], 5000.0);
    EXPECT_EQ(f.projStepX[3], 335.0);  // 5000 / (5000 / 335)
    EXPECT_EQ(f.projStepY[3], 0.0);
    EXPECT_TRUE(f.tmrProjectile(3).Enabled());
    EXPECT_TRUE(special.Visible);
    EXPECT_FALSE(special.Enabled);
    EXPECT_FALSE(f.specialHeld);

    // Flying: hero ticks no longer grow or carry it.
    g.heroTick();
    EXPECT_EQ(special.Width, 315);
    EXPECT_EQ(f.projSpeed[3], 335);
    g.hand.tmrProjectile_Timer(3);
    EXPECT_EQ(special.Left, 6780 + 335);
    EXPECT_EQ(special.Top, 3885);
}

TEST(SpecialMagic, aRightPressWhileFlyingDoesNothingAndItsReleaseLaunchesNothing)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::PictureBox& special = f.picProjectile(3);
    g.hand.Form_MouseDown(kRight, 0, 100, 100);
    g.heroTicks(2);
    g.hand.Form_MouseUp(kRight, 0, 20000, 3000);
    g.hand.tmrProjectile_Timer(3);
    const float left = special.Left;
    const auto stepX = f.projStepX[3];
    const auto startX = f.projStartX[3];

    g.hand.Form_MouseDown(kRight, 0, 500, 600);
    EXPECT_EQ(f.targetX, 500);
    EXPECT_FALSE(f.specialHeld);
    EXPECT_FALSE(special.Enabled);
    g.heroTick();
    EXPECT_EQ(special.Width, 261);
    g.hand.Form_MouseUp(kRight, 0, 700, 800);
    EXPECT_EQ(f.targetX, 500);
    EXPECT_EQ(f.targetY, 600);
    EXPECT_EQ(f.projStepX[3], stepX);
    EXPECT_EQ(f.projStartX[3], startX);
    EXPECT_EQ(special.Left, left);
    EXPECT_TRUE(f.tmrProjectile(3).Enabled());

    // At the end of the flight the special is idle again.
    g.flyOut(3);
    EXPECT_FALSE(special.Visible);
    EXPECT_FALSE(special.Enabled);
    g.hand.Form_MouseDown(kRight, 0, 1, 1);
    EXPECT_TRUE(f.specialHeld);
    EXPECT_TRUE(special.Enabled);
}

TEST(SpecialMagic, aLeftPressDuringAChargeCastsAndItsReleaseStrandsTheSpecial)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::PictureBox& special = f.picProjectile(3);
    g.hand.Form_MouseDown(kRight, 0, 100, 100);
    g.heroTicks(3);
    g.hand.Form_MouseDown(kLeft, 0, 16600, 4200);
    EXPECT_TRUE(f.picProjectile(0).Visible);
    EXPECT_TRUE(f.tmrProjectile(0).Enabled());
    EXPECT_TRUE(f.specialHeld);  // the press alone does not end the charge
    g.heroTick();
    EXPECT_EQ(special.Width, 267);

    g.hand.Form_MouseUp(kLeft, 0, 16600, 4200);
    // Stranded: visible, still, timer off, not armed.
    EXPECT_FALSE(f.specialHeld);
    EXPECT_FALSE(special.Enabled);
    EXPECT_TRUE(special.Visible);
    EXPECT_FALSE(f.tmrProjectile(3).Enabled());
    const float left = special.Left, top = special.Top;

    g.hand.picHero_KeyDown(68, 0);  // the mage walks away; the special stays
    g.heroTicks(2);
    EXPECT_EQ(special.Left, left);
    EXPECT_EQ(special.Top, top);
    EXPECT_EQ(special.Width, 267);
    EXPECT_EQ(f.projSpeed[3], 287);

    // The right button does nothing: the press moves the target only, and the
    // release neither aims nor launches.
    g.hand.Form_MouseDown(kRight, 0, 1000, 2000);
    EXPECT_FALSE(f.specialHeld);
    EXPECT_FALSE(special.Enabled);
    g.hand.Form_MouseUp(kRight, 0, 3000, 4000);
    EXPECT_EQ(f.targetX, 1000);
    EXPECT_EQ(f.targetY, 2000);
    EXPECT_FALSE(f.tmrProjectile(3).Enabled());
    EXPECT_FALSE(f.projStartX[3].has_value());
    g.heroTick();
    EXPECT_EQ(special.Width, 267);

    // An invader runs into it: killed, and the special is idle again.
    // From above, clear of the fire projectile and of the mage.
    place(g.box("picCastleKiller", 0), left - 100, top - 800, 735, 855);
    g.hand.tmrCollisionDetect_Timer();
    EXPECT_FALSE(special.Visible);
    EXPECT_EQ(f.kills, 1);
    EXPECT_EQ(f.lives, 3);
    g.hand.Form_MouseDown(kRight, 0, 1, 1);
    EXPECT_TRUE(f.specialHeld);
    EXPECT_TRUE(special.Enabled);
}

TEST(SpecialMagic, aKillDuringTheChargeHidesTheSpecialUntilTheNextHeroTick)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::PictureBox& special = f.picProjectile(3);
    g.hand.Form_MouseDown(kRight, 0, 100, 100);
    g.heroTicks(2);
    place(g.box("picCastleKiller", 0), special.Left - 100, special.Top - 800, 735, 855);
    g.hand.tmrCollisionDetect_Timer();
    EXPECT_EQ(f.kills, 1);
    ASSERT_EQ(f.lives, 3);
    EXPECT_FALSE(special.Visible);
    EXPECT_TRUE(f.specialHeld);
    EXPECT_TRUE(special.Enabled);

    g.heroTick();
    EXPECT_TRUE(special.Visible);
    EXPECT_EQ(special.Width, 264);
    EXPECT_EQ(special.Top, 4200 - 264);
    EXPECT_EQ(special.Left, 6600 + 337.5f - 132.0f);
    g.hand.Form_MouseUp(kRight, 0, 20000, 2000);
    EXPECT_TRUE(f.tmrProjectile(3).Enabled());
    EXPECT_EQ(f.projStartX[3], 6600 + 337.5f - 132.0f);
}

TEST(SpecialMagic, twoChargesOfTwentyTicksGrowItByOneHundredTwentyAndSpeedReaches395)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::PictureBox& special = f.picProjectile(3);
    for (int charge = 1; charge <= 2; ++charge) {
        SCOPED_TRACE(charge);
        g.hand.Form_MouseDown(kRight, 0, 100, 100);
        g.heroTicks(20);
        EXPECT_EQ(special.Width, 255 + 60 * charge);
        EXPECT_EQ(special.Height, 255 + 60 * charge);
        EXPECT_EQ(f.projSpeed[3], 275 + 60 * charge);
        g.hand.Form_MouseUp(kRight, 0, 20000, 100);
        EXPECT_GT(g.flyOut(3), 1);
        EXPECT_FALSE(special.Visible);
    }
    EXPECT_EQ(f.projSpeed[3], 395);
    EXPECT_EQ(special.Width, 375);
    EXPECT_EQ(special.Height, 375);
    // The second flight used the grown speed.
    EXPECT_NEAR(std::hypot(*f.projStepX[3], *f.projStepY[3]), 395.0, 1e-9);
}

TEST(SpecialMagic, pressesOverTheArmedSpecialOrTheMageAreLostButAStrandedSpecialLetsThemThrough)
{
    Game g;
    const game::Form1& f = g.view;
    const ui::PictureBox& special = f.picProjectile(3);
    g.hand.sendMouseDown(kRight, 15000, 9000);
    g.advance(50);
    ASSERT_TRUE(special.Visible);
    ASSERT_TRUE(special.Enabled);
    const float overX = special.Left + special.Width / 2;
    const float overY = special.Top + special.Height / 2;

    const game::MouseTarget lost = g.hand.sendMouseDown(kLeft, overX, overY);
    EXPECT_FALSE(lost.toForm);
    EXPECT_EQ(f.targetX, 15000);  // the form never saw it
    EXPECT_FALSE(f.picProjectile(0).Visible);
    EXPECT_FALSE(f.tmrProjectile(0).Enabled());
    g.hand.sendMouseUp(kLeft, overX, overY);  // and its release is lost with it
    EXPECT_TRUE(f.specialHeld);
    EXPECT_TRUE(special.Enabled);

    // Over the mage: lost too.
    EXPECT_FALSE(g.hand.sendMouseDown(kLeft, 6600 + 300, 4200 + 300).toForm);
    g.hand.sendMouseUp(kLeft, 6600 + 300, 4200 + 300);
    EXPECT_FALSE(f.picProjectile(0).Visible);

    // A middle press elsewhere reaches the form; its release strands the special.
    EXPECT_TRUE(g.hand.sendMouseDown(kMiddle, 15000, 9000).toForm);
    g.hand.sendMouseUp(kMiddle, 15000, 9000);
    EXPECT_FALSE(special.Enabled);
    EXPECT_TRUE(special.Visible);
    // Disarmed, it no longer takes presses: this one casts fire.
    EXPECT_TRUE(g.hand.sendMouseDown(kLeft, overX, overY).toForm);
    EXPECT_EQ(f.targetX, overX);
    EXPECT_TRUE(f.picProjectile(0).Visible);
}

// ---------------------------------------------------------------- flight

TEST(ProjectileFlight, onlyACornerStrictlyInsideTheOuterSizeMoves)
{
    struct Case {
        const char* what;
        float left, top;
        bool moves;
    };
    const float W = 24120, H = 13455;
    const std::vector<Case> cases{
        {"inside", 1000, 1000, true},
        {"Left exactly 0", 0, 1000, false},
        {"Top exactly 0", 1000, 0, false},
        {"Left just above 0", 0.001f, 1000, true},
        {"Top just above 0", 1000, 0.001f, true},
        {"Left negative", -1, 1000, false},
        {"Top negative", 1000, -1, false},
        {"Left exactly the width", W, 1000, false},
        {"Left just below the width", std::nextafter(W, 0.0f), 1000, true},
        {"Top exactly the height", 1000, H, false},
        {"Top just below the height", 1000, std::nextafter(H, 0.0f), true},
        {"beyond the client area but inside the outer size", 24000, 13400, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StillGame g;
        const game::Form1& f = g.view;
        ASSERT_EQ(f.Width, W);
        ASSERT_EQ(f.Height, H);
        const ui::PictureBox& p = f.picProjectile(1);
        g.box("picProjectile", 1).at(c.left, c.top).visible(true).enabled(true);
        g.hand.setProjectileStep(1, 100.25, -50.5);
        g.timer("tmrProjectile", true, 1);
        g.hand.tmrProjectile_Timer(1);
        if (c.moves) {
            EXPECT_EQ(p.Left, flown(c.left, 100.25));
            EXPECT_EQ(p.Top, flown(c.top, -50.5));
            EXPECT_TRUE(p.Visible);
            EXPECT_TRUE(p.Enabled);
            EXPECT_TRUE(f.tmrProjectile(1).Enabled());
        } else {
            EXPECT_EQ(p.Left, c.left);
            EXPECT_EQ(p.Top, c.top);
            EXPECT_FALSE(p.Visible);
            EXPECT_FALSE(p.Enabled);
            EXPECT_FALSE(f.tmrProjectile(1).Enabled());
        }
    }
}

TEST(ProjectileFlight, eachMoveIsADoubleSumStoredAsASingle)
{
    // Targets whose first move differs from single arithmetic with a rounded
    // step: on the Top for the first, on the Left for the second.
    // From 5000, 6000 at speed 200.
    struct Case {
        float targetX, targetY;
        double stepX, stepY;
        bool leftDiffers, topDiffers;
    };
    for (Case c : {Case{7000, 130, 64.50195157134267, -189.31322786189074, false, true},
                   Case{7001, 137, 64.59985725346608, -189.279841617727, true, false}}) {
        SCOPED_TRACE(::testing::Message() << c.targetX << ", " << c.targetY);
        StillGame g;
        const game::Form1& f = g.view;
        place(g.box("picHero"), 5000, 6000, 675, 735);
        g.hand.Form_MouseDown(kLeft, 0, c.targetX, c.targetY);
        ASSERT_EQ(flown(5000, c.stepX) != 5000 + static_cast<float>(c.stepX), c.leftDiffers);
        ASSERT_EQ(flown(6000, c.stepY) != 6000 + static_cast<float>(c.stepY), c.topDiffers);
        float left = 5000, top = 6000;
        for (int tick = 1; tick <= 5; ++tick) {
            g.hand.tmrProjectile_Timer(0);
            left = flown(left, c.stepX);
            top = flown(top, c.stepY);
            EXPECT_EQ(f.picProjectile(0).Left, left) << tick;
            EXPECT_EQ(f.picProjectile(0).Top, top) << tick;
        }
    }
}

TEST(ProjectileFlight, theMoveThatLeavesIsStillMadeAndTheNextTickEndsTheFlight)
{
    Game g;
    const game::Form1& f = g.view;
    place(g.box("picHero"), 23500, 13300, 675, 735);
    g.apply(game::Input::mouseDown(kLeft, 24100, 14100));  // just below the mage's bottom
    ASSERT_EQ(f.projStepX[0], 120.0);
    ASSERT_EQ(f.projStepY[0], 160.0);
    g.advance(50);
    // The corner was inside before the move: the move is made, past the height.
    EXPECT_EQ(f.picProjectile(0).Left, 23620);
    EXPECT_EQ(f.picProjectile(0).Top, 13460);
    EXPECT_TRUE(f.picProjectile(0).Visible);
    EXPECT_TRUE(f.tmrProjectile(0).Enabled());
    g.advance(50);
    EXPECT_EQ(f.picProjectile(0).Left, 23620);
    EXPECT_EQ(f.picProjectile(0).Top, 13460);
    EXPECT_FALSE(f.picProjectile(0).Visible);
    EXPECT_FALSE(f.picProjectile(0).Enabled);
    EXPECT_FALSE(f.tmrProjectile(0).Enabled());
    // The slot is free again.
    EXPECT_TRUE(g.hand.sendMouseDown(kLeft, 15000, 9000).toForm);
    EXPECT_TRUE(f.picProjectile(0).Visible);
}

TEST(ProjectileFlight, theBoundsAreTheWindowsCurrentOuterSize)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::PictureBox& p = f.picProjectile(0);
    g.hand.Form_MouseDown(kLeft, 0, 16600, 4200);
    g.box("picProjectile", 0).left(25000);
    g.hand.tmrProjectile_Timer(0);
    EXPECT_FALSE(p.Visible);  // outside 24120

    g.resize(30000, 20000);
    g.hand.Form_MouseDown(kLeft, 0, 16600, 4200);
    g.box("picProjectile", 0).at(25000, 15000);
    g.hand.tmrProjectile_Timer(0);
    EXPECT_EQ(p.Left, 25200);
    EXPECT_EQ(p.Top, 15000);
    EXPECT_TRUE(p.Visible);
    g.box("picProjectile", 0).left(30000);
    g.hand.tmrProjectile_Timer(0);
    EXPECT_EQ(p.Left, 30000);
    EXPECT_FALSE(p.Visible);
    EXPECT_FALSE(f.tmrProjectile(0).Enabled());
}

TEST(ProjectileFlight, aCastFromAMageOutsideTheBoundsEndsAtItsFirstTickWithoutMoving)
{
    for (auto [left, top] : {std::pair<float, float>{-500, 4000}, {4000, 0}, {24500, 4000}, {4000, 14000}}) {
        SCOPED_TRACE(::testing::Message() << left << ", " << top);
        StillGame g;
        const game::Form1& f = g.view;
        place(g.box("picHero"), left, top, 675, 735);
        g.hand.Form_MouseDown(kLeft, 0, 10000, 6000);
        ASSERT_TRUE(f.picProjectile(0).Visible);
        g.hand.tmrProjectile_Timer(0);
        EXPECT_EQ(f.picProjectile(0).Left, left);
        EXPECT_EQ(f.picProjectile(0).Top, top);
        EXPECT_FALSE(f.picProjectile(0).Visible);
        EXPECT_FALSE(f.tmrProjectile(0).Enabled());
    }
}

TEST(ProjectileFlight, aProjectileParkedByAHitEndsItsFlightAtTheNextTickOrIsCastAnew)
{
    StillGame g;
    const game::Form1& f = g.view;
    g.hand.Form_MouseDown(kLeft, 0, 16600, 4200);
    g.hand.tmrProjectile_Timer(0);
    place(g.box("picCastleKiller", 0), 6700, 4100, 735, 855);
    g.hand.tmrCollisionDetect_Timer();
    ASSERT_FALSE(f.picProjectile(0).Visible);
    ASSERT_TRUE(isAt(f.picProjectile(0), g.spentProjectile()));
    ASSERT_TRUE(f.tmrProjectile(0).Enabled());

    // Cast again before the flight tick: new steps, the timer just runs on.
    g.hand.Form_MouseDown(kLeft, 0, 6600, 9200);
    EXPECT_TRUE(f.picProjectile(0).Visible);
    EXPECT_TRUE(f.tmrProjectile(0).Enabled());
    EXPECT_EQ(f.projStepX[0], 0.0);
    EXPECT_EQ(f.projStepY[0], 200.0);
    g.hand.tmrProjectile_Timer(0);
    EXPECT_EQ(f.picProjectile(0).Top, 4400);

    // Parked again, the next flight tick stops it.
    place(g.box("picCastleKiller", 0), 6500, 4300, 735, 855);
    g.hand.tmrCollisionDetect_Timer();
    g.hand.tmrProjectile_Timer(0);
    EXPECT_TRUE(isAt(f.picProjectile(0), g.spentProjectile()));
    EXPECT_FALSE(f.tmrProjectile(0).Enabled());
    EXPECT_FALSE(f.picProjectile(0).Visible);
}

}  // namespace
