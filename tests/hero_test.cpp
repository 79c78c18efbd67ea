// The mage's keyboard table, his movement tick (walking, magic selection, the
// special's charge) and the end checks at the close of every tick.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "testing/game.h"

namespace {

using testing_support::Game;
using testing_support::place;
using testing_support::StillGame;

constexpr int kW = 87, kA = 65, kS = 83, kD = 68;
constexpr int k1 = 49, k2 = 50, k3 = 51;

// The diagonal step as the rules define it: the root of 55 * 55 / 2, in double.
const double kDiagonal = std::sqrt(55.0 * 55.0 / 2.0);

const std::vector<std::string> kWinPair{"You won the game, good job!", "Your score is "};

float minusDiagonal(float v)
{
    return static_cast<float>(static_cast<double>(v) - kDiagonal);
}
float plusDiagonal(float v)
{
    return static_cast<float>(static_cast<double>(v) + kDiagonal);
}

// ---------------------------------------------------------------- keyboard

TEST(KeyboardTable, pressStoresMinusOneReleaseStoresZeroAndShiftIsIgnored)
{
    StillGame g;
    for (int code = 0; code < 256; ++code) ASSERT_EQ(g.view.keyDown[static_cast<std::size_t>(code)], 0) << code;

    g.hand.picHero_KeyDown(kW, 1);  // with Shift held
    EXPECT_EQ(g.view.keyDown[kW], -1);
    g.hand.picHero_KeyDown(kW, 0);  // a key repeat stores -1 again
    EXPECT_EQ(g.view.keyDown[kW], -1);
    g.hand.picHero_KeyDown(kS, 0);  // W then S: both held, the tick decides
    EXPECT_EQ(g.view.keyDown[kW], -1);
    EXPECT_EQ(g.view.keyDown[kS], -1);
    g.hand.picHero_KeyUp(kW, 4);
    EXPECT_EQ(g.view.keyDown[kW], 0);
    EXPECT_EQ(g.view.keyDown[kS], -1);

    // A release without a press leaves the entry at 0.
    g.hand.picHero_KeyUp(kD, 0);
    EXPECT_EQ(g.view.keyDown[kD], 0);

    // Every code in the table is recorded, also those the game never reads.
    g.hand.picHero_KeyDown(0, 0);
    g.hand.picHero_KeyDown(255, 0);
    EXPECT_EQ(g.view.keyDown[0], -1);
    EXPECT_EQ(g.view.keyDown[255], -1);
}

TEST(KeyboardTable, codesOutsideTheTableAreIgnored)
{
    StillGame g;
    g.hand.picHero_KeyDown(256, 0);
    g.hand.picHero_KeyDown(-1, 0);
    g.hand.picHero_KeyDown(256 + kW, 0);
    g.apply(game::Input::keyDown(256 + kD));
    g.apply(game::Input::keyDown(65536 + kA));
    g.apply(game::Input::keyDown(-1));
    for (int code = 0; code < 256; ++code) EXPECT_EQ(g.view.keyDown[static_cast<std::size_t>(code)], 0) << code;

    g.apply(game::Input::keyDown(kA));
    EXPECT_EQ(g.view.keyDown[kA], -1);
    g.apply(game::Input::keyUp(256 + kA));
    g.hand.picHero_KeyUp(256 + kA, 0);
    EXPECT_EQ(g.view.keyDown[kA], -1);
    g.apply(game::Input::keyUp(kA));
    EXPECT_EQ(g.view.keyDown[kA], 0);
}

// ---------------------------------------------------------------- walking

TEST(HeroMovement, eachKeyRuleMovesTheMageAndOnlySidewaysStepsTurnHim)
{
    enum class Pic { Kept, Right, Left };
    struct Case {
        const char* keys;
        std::vector<int> held;
        int up;    // -1 up, +1 down, 0 still
        int side;  // -1 left, +1 right, 0 still
        bool diagonal;
        Pic picture;
    };
    const std::vector<Case> cases{
        {"A+W", {kA, kW}, -1, -1, true, Pic::Kept},
        {"W+D", {kW, kD}, -1, +1, true, Pic::Kept},
        {"S+A", {kS, kA}, +1, -1, true, Pic::Kept},
        {"S+D", {kS, kD}, +1, +1, true, Pic::Kept},
        {"W", {kW}, -1, 0, false, Pic::Kept},
        {"S", {kS}, +1, 0, false, Pic::Kept},
        {"D", {kD}, 0, +1, false, Pic::Right},
        {"A", {kA}, 0, -1, false, Pic::Left},
        {"none", {}, 0, 0, false, Pic::Kept},
        {"W+A+S+D", {kW, kA, kS, kD}, -1, -1, true, Pic::Kept},
        {"W+S", {kW, kS}, -1, 0, false, Pic::Kept},
        {"A+D", {kA, kD}, 0, +1, false, Pic::Right},
        {"W+A+S", {kW, kA, kS}, -1, -1, true, Pic::Kept},
        {"W+A+D", {kW, kA, kD}, -1, -1, true, Pic::Kept},
        {"W+S+D", {kW, kS, kD}, -1, +1, true, Pic::Kept},
        {"S+A+D", {kS, kA, kD}, +1, -1, true, Pic::Kept},
        {"an unused key", {70}, 0, 0, false, Pic::Kept},
    };
    // At 39 twips a double sum stored as a single differs from single
    // arithmetic with a rounded step, in both directions.
    const float start = 39;
    ASSERT_NE(minusDiagonal(start), start - static_cast<float>(kDiagonal));
    ASSERT_NE(plusDiagonal(start), start + static_cast<float>(kDiagonal));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        StillGame g;
        const game::Form1& f = g.view;
        place(g.box("picHero"), start, start, 675, 735);
        // A casting picture, to see whether the move keeps it.
        g.hand.showPictureOf("picHero", "picBlackMageLightning");
        for (int k : c.held) g.hand.picHero_KeyDown(k, 0);
        g.heroTick();

        auto expected = [&](int dir) {
            if (dir == 0) return start;
            if (c.diagonal) return dir < 0 ? minusDiagonal(start) : plusDiagonal(start);
            return dir < 0 ? start - 55.0f : start + 55.0f;
        };
        EXPECT_EQ(f.picHero.Top, expected(c.up));
        EXPECT_EQ(f.picHero.Left, expected(c.side));
        EXPECT_EQ(f.picHero.Width, 675);
        EXPECT_EQ(f.picHero.Height, 735);
        switch (c.picture) {
            case Pic::Kept:
                EXPECT_EQ(f.picHero.Picture, f.picBlackMageLightning.Picture);
                break;
            case Pic::Right:
                EXPECT_EQ(f.picHero.Picture, f.picBlackMageRight.Picture);
                break;
            case Pic::Left:
                EXPECT_EQ(f.picHero.Picture, f.picBlackMageLeft.Picture);
                break;
        }
    }
}

TEST(HeroMovement, diagonalStepsAreDoubleSumsStoredAsSinglesAndReadBackEachTick)
{
    StillGame g;
    const game::Form1& f = g.view;
    EXPECT_EQ(f.diagonalStep, 38.890872965260115);
    EXPECT_EQ(f.picHero.Left, 6600);
    EXPECT_EQ(f.picHero.Top, 4200);

    g.hold({kA, kW});
    g.heroTick();
    EXPECT_EQ(f.picHero.Left, static_cast<float>(6600.0 - 38.890872965260115));
    EXPECT_EQ(f.picHero.Top, static_cast<float>(4200.0 - 38.890872965260115));

    // The second step starts from the stored single, not from an exact double.
    g.heroTick();
    const float left2 = minusDiagonal(static_cast<float>(6600.0 - kDiagonal));
    const float top2 = minusDiagonal(static_cast<float>(4200.0 - kDiagonal));
    EXPECT_EQ(f.picHero.Left, left2);
    EXPECT_EQ(f.picHero.Top, top2);
    EXPECT_NE(left2, static_cast<float>(6600.0 - 2 * kDiagonal));

    // Forty more steps, each from what the sprite reports.
    float left = left2, top = top2;
    for (int i = 0; i < 40; ++i) {
        g.heroTick();
        left = minusDiagonal(left);
        top = minusDiagonal(top);
    }
    EXPECT_EQ(f.picHero.Left, left);
    EXPECT_EQ(f.picHero.Top, top);

    // Back down and right: the sums go the other way.
    g.hand.picHero_KeyUp(kA, 0);
    g.hand.picHero_KeyUp(kW, 0);
    g.hold({kS, kD});
    for (int i = 0; i < 3; ++i) {
        g.heroTick();
        left = plusDiagonal(left);
        top = plusDiagonal(top);
    }
    EXPECT_EQ(f.picHero.Left, left);
    EXPECT_EQ(f.picHero.Top, top);
}

TEST(HeroMovement, nothingHoldsTheMageInsideTheField)
{
    StillGame g;
    const game::Form1& f = g.view;
    place(g.box("picHero"), 20, 30, 675, 735);
    g.hold({kA});
    g.heroTick();
    EXPECT_EQ(f.picHero.Left, -35);
    g.hand.picHero_KeyUp(kA, 0);
    g.hold({kW});
    g.heroTick();
    EXPECT_EQ(f.picHero.Top, -25);
    place(g.box("picHero"), 24100, 13450, 675, 735);
    g.hand.picHero_KeyUp(kW, 0);
    g.hold({kS, kD});
    g.heroTick();
    EXPECT_EQ(f.picHero.Left, plusDiagonal(24100));
    EXPECT_EQ(f.picHero.Top, plusDiagonal(13450));
}

TEST(HeroMovement, theStartPictureIsNeitherWalkingPictureUntilASidewaysMove)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::PictureRef start = f.picHero.Picture;
    ASSERT_NE(start, nullptr);
    EXPECT_NE(start, f.picBlackMageLeft.Picture);
    EXPECT_NE(start, f.picBlackMageRight.Picture);

    // Up, down and diagonal moves keep the start picture.
    for (auto keys : {std::vector<int>{kW}, {kS}, {kA, kW}, {kS, kD}}) {
        for (int k : keys) g.hand.picHero_KeyDown(k, 0);
        g.heroTick();
        for (int k : keys) g.hand.picHero_KeyUp(k, 0);
        EXPECT_EQ(f.picHero.Picture, start);
    }

    g.hold({kA});
    g.heroTick();
    EXPECT_EQ(f.picHero.Picture, f.picBlackMageLeft.Picture);
    // The picture is set again on every such tick, also over a casting picture.
    g.hand.showPictureOf("picHero", "picBlackMageFireLeft");
    g.heroTick();
    EXPECT_EQ(f.picHero.Picture, f.picBlackMageLeft.Picture);
    g.hand.picHero_KeyUp(kA, 0);
    g.hold({kD});
    g.heroTick();
    EXPECT_EQ(f.picHero.Picture, f.picBlackMageRight.Picture);
    // The walking sources keep their own pictures.
    EXPECT_NE(f.picBlackMageLeft.Picture, f.picBlackMageRight.Picture);
}

TEST(HeroMovement, aDisabledMageNeitherWalksNorChangesMagicButTheTickGoesOn)
{
    StillGame g;
    const game::Form1& f = g.view;
    g.box("picHero").enabled(false);
    g.hold({kD, k3});
    g.hand.setSpecialHeld(true);
    g.variable("lives", -1);
    g.heroTick();
    EXPECT_EQ(f.picHero.Left, 6600);
    EXPECT_EQ(f.magicType, 0);
    EXPECT_NE(f.picHero.Picture, f.picBlackMageRight.Picture);
    EXPECT_NE(f.picProjectileType.Picture, f.picLightning.Picture);
    // The charge and the end checks still run.
    EXPECT_TRUE(f.picProjectile(3).Visible);
    EXPECT_EQ(f.projSpeed[3], 278);
    EXPECT_EQ(g.host.boxes, (std::vector<std::string>{"Game Over, You Lose!", "Your score is "}));
}

// ---------------------------------------------------------------- magic type

TEST(MagicSelection, theLastHeldDigitWinsAndTheIndicatorSharesItsIconObject)
{
    {
        Game g;
        EXPECT_NE(g.view.picProjectileType.Picture, g.view.picFire.Picture);  // its own copy at load
    }
    enum Icon { Fire, Ice, Lightning, Unchanged };
    struct Case {
        const char* keys;
        std::vector<int> held;
        int magic;
        Icon icon;
    };
    const std::vector<Case> cases{
        {"1", {k1}, 0, Fire},
        {"2", {k2}, 1, Ice},
        {"3", {k3}, 2, Lightning},
        {"1+2", {k1, k2}, 1, Ice},
        {"1+3", {k1, k3}, 2, Lightning},
        {"2+3", {k2, k3}, 2, Lightning},
        {"1+2+3", {k1, k2, k3}, 2, Lightning},
        {"keypad 1, 2, 3", {97, 98, 99}, -7, Unchanged},
        {"none", {}, -7, Unchanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        StillGame g;
        const game::Form1& f = g.view;
        // A value no key gives, to see whether the tick writes it.
        g.variable("magicType", -7);
        const ui::PictureRef before = f.picProjectileType.Picture;
        for (int k : c.held) g.hand.picHero_KeyDown(k, 0);
        g.heroTick();
        EXPECT_EQ(f.magicType, c.magic);
        switch (c.icon) {
            case Fire:
                EXPECT_EQ(f.picProjectileType.Picture, f.picFire.Picture);
                break;
            case Ice:
                EXPECT_EQ(f.picProjectileType.Picture, f.picIce.Picture);
                break;
            case Lightning:
                EXPECT_EQ(f.picProjectileType.Picture, f.picLightning.Picture);
                break;
            case Unchanged:
                EXPECT_EQ(f.picProjectileType.Picture, before);
                break;
        }
    }
}

TEST(MagicSelection, theChoiceStaysAfterTheKeyIsReleased)
{
    StillGame g;
    const game::Form1& f = g.view;
    g.hold({k2});
    g.heroTick();
    g.hand.picHero_KeyUp(k2, 0);
    g.heroTick();
    EXPECT_EQ(f.magicType, 1);
    EXPECT_EQ(f.picProjectileType.Picture, f.picIce.Picture);
    // Walking and choosing happen in the same tick.
    g.hold({k1, kD});
    g.heroTick();
    EXPECT_EQ(f.magicType, 0);
    EXPECT_EQ(f.picHero.Left, 6655);
}

// ---------------------------------------------------------------- the special's charge

TEST(SpecialCharge, twentyTicksHeldGrowTheSpecialBySixtyAboveAndCentredOnTheMage)
{
    Game g;
    const game::Form1& f = g.view;
    const ui::PictureBox& special = f.picProjectile(3);
    ASSERT_EQ(special.Width, 255);
    ASSERT_EQ(special.Height, 255);
    g.apply(game::Input::mouseDown(2, 15000, 9000));
    // Nothing is shown until the first hero tick.
    EXPECT_FALSE(special.Visible);
    g.advance(49);
    EXPECT_FALSE(special.Visible);
    EXPECT_EQ(special.Width, 255);
    g.advance(1);
    EXPECT_TRUE(special.Visible);
    EXPECT_EQ(special.Width, 258);
    EXPECT_EQ(special.Height, 258);
    EXPECT_EQ(f.projSpeed[3], 278);

    g.advance(950);  // twenty hero ticks in all
    EXPECT_EQ(special.Width, 315);
    EXPECT_EQ(special.Height, 315);
    EXPECT_EQ(f.projSpeed[3], 335);
    EXPECT_EQ(special.Top, 4200 - 315);
    EXPECT_EQ(special.Left, 6600 + 675 / 2.0f - 315 / 2.0f);
    EXPECT_EQ(special.Left, 6780);
    EXPECT_TRUE(special.Visible);
    // The other speeds stay.
    EXPECT_EQ(f.projSpeed[0], 200);
    EXPECT_EQ(f.projSpeed[1], 235);
    EXPECT_EQ(f.projSpeed[2], 275);
}

TEST(SpecialCharge, theSpecialFollowsTheMageAndIsCentredInSinglePrecision)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::PictureBox& special = f.picProjectile(3);
    g.hand.setSpecialHeld(true);

    // A hero Left where single arithmetic, left to right, differs from double.
    const float heroLeft = 3849.98169f;
    const float heroTop = 4161.10889f;
    place(g.box("picHero"), heroLeft, heroTop, 675, 735);
    g.heroTick();
    const float expectedLeft = heroLeft + 675.0f / 2 - 258.0f / 2;
    ASSERT_NE(expectedLeft, static_cast<float>(static_cast<double>(heroLeft) + 337.5 - 129.0));
    EXPECT_EQ(special.Left, expectedLeft);
    EXPECT_EQ(special.Top, heroTop - 258.0f);

    // The mage walks on while charging: the special is carried above his new place.
    g.hold({kS, kA});
    g.heroTick();
    const float left2 = minusDiagonal(heroLeft);
    const float top2 = plusDiagonal(heroTop);
    EXPECT_EQ(f.picHero.Left, left2);
    EXPECT_EQ(special.Left, left2 + 675.0f / 2 - 261.0f / 2);
    EXPECT_EQ(special.Top, top2 - 261.0f);

    // An odd hero width: halves are exact in single precision.
    place(g.box("picHero"), 1000, 2000, 677, 735);
    g.heroTick();
    EXPECT_EQ(special.Left, minusDiagonal(1000) + 677.0f / 2 - 264.0f / 2);
    // Top follows the new Height, Left the new Width, also when they differ.
    g.box("picProjectile", 3).width(400);
    g.heroTick();
    EXPECT_EQ(special.Width, 403);
    EXPECT_EQ(special.Height, 267);
    EXPECT_EQ(special.Top, plusDiagonal(plusDiagonal(2000)) - 267.0f);
    EXPECT_EQ(special.Left, minusDiagonal(minusDiagonal(1000)) + 677.0f / 2 - 403.0f / 2);
}

TEST(SpecialCharge, noChargeWhileNotHeld)
{
    StillGame g;
    const game::Form1& f = g.view;
    g.heroTicks(5);
    EXPECT_FALSE(f.picProjectile(3).Visible);
    EXPECT_EQ(f.picProjectile(3).Width, 255);
    EXPECT_EQ(f.projSpeed[3], 275);
}

// ---------------------------------------------------------------- end checks

TEST(GameEndChecks, theHundredFiftyFirstKillWinsNotTheHundredFiftieth)
{
    StillGame g;
    g.variable("kills", 150);
    g.heroTick();
    EXPECT_TRUE(g.host.boxes.empty());
    g.variable("kills", 151);
    g.heroTick();
    EXPECT_EQ(g.host.boxes, kWinPair);
}

TEST(GameEndChecks, lifeZeroPlaysOnAndMinusOneLoses)
{
    StillGame g;
    g.variable("lives", 0);
    g.heroTick();
    EXPECT_TRUE(g.host.boxes.empty());
    g.variable("lives", -1);
    g.heroTick();
    EXPECT_EQ(g.host.boxes, (std::vector<std::string>{"Game Over, You Lose!", "Your score is "}));
}

TEST(GameEndChecks, aCastleLifeOfZeroLosesAndAnyOtherDoesNot)
{
    for (const char* caption : {"100", "1", "-100", "3500"}) {
        SCOPED_TRACE(caption);
        StillGame g;
        g.caption("lblCastleLifeBar", caption);
        g.heroTick();
        EXPECT_TRUE(g.host.boxes.empty());
    }
    StillGame g;
    g.caption("lblCastleLifeBar", "0");
    g.heroTick();
    EXPECT_EQ(g.host.boxes, (std::vector<std::string>{"Game Over, You Lose!", "Your score is "}));
}

TEST(GameEndChecks, everyConditionThatHoldsIsAnnouncedInOrder)
{
    {
        SCOPED_TRACE("lives below 0 and the castle fallen: two defeat pairs");
        StillGame g;
        g.variable("lives", -1);
        g.caption("lblCastleLifeBar", "0");
        g.heroTick();
        EXPECT_EQ(g.host.boxes, (std::vector<std::string>{"Game Over, You Lose!", "Your score is ",
                                                          "Game Over, You Lose!", "Your score is "}));
    }
    {
        SCOPED_TRACE("a win and a loss together: the victory pair first");
        StillGame g;
        g.variable("kills", 151);
        g.caption("lblCastleLifeBar", "0");
        g.heroTick();
        EXPECT_EQ(g.host.boxes, (std::vector<std::string>{"You won the game, good job!", "Your score is ",
                                                          "Game Over, You Lose!", "Your score is "}));
    }
    {
        SCOPED_TRACE("all three: six boxes");
        StillGame g;
        g.variable("kills", 200);
        g.variable("lives", -3);
        g.caption("lblCastleLifeBar", "0");
        g.variable("score", 1200);
        g.heroTick();
        EXPECT_EQ(g.host.boxes,
                  (std::vector<std::string>{"You won the game, good job!", "Your score is 1200", "Game Over, You Lose!",
                                            "Your score is 1200", "Game Over, You Lose!", "Your score is 1200"}));
    }
}

TEST(GameEndChecks, theGameEndsOnTheFirstHeroTickAfterTheDecidingValueAndOnlyOnce)
{
    Game g;
    const game::Form1& f = g.view;
    g.advance(10);
    g.variable("kills", 151);
    g.advance(39);  // 49 ms: no hero tick yet
    EXPECT_TRUE(g.host.boxes.empty());
    g.advance(1);
    EXPECT_EQ(g.host.boxes, kWinPair);
    EXPECT_FALSE(f.tmrCharaMovement.Enabled());
    EXPECT_FALSE(f.tmrCollisionDetect.Enabled());
    // No later tick moves the mage or repeats the checks.
    g.apply(game::Input::keyDown(kD));
    g.advance(1000);
    EXPECT_EQ(g.host.boxes, kWinPair);
    EXPECT_EQ(f.picHero.Left, 6600);
}

TEST(GameEndChecks, aCastleCaptionThatIsNoNumberStopsTheTickWhereItIsRead)
{
    {
        StillGame g;
        const game::Form1& f = g.view;
        g.caption("lblCastleLifeBar", "abc");
        g.variable("kills", 151);
        g.hand.setSpecialHeld(true);
        g.hold({kD});
        EXPECT_THROW(g.heroTick(), ui::RuntimeError);
        // Everything before the reading was done.
        EXPECT_EQ(f.picHero.Left, 6655);
        EXPECT_EQ(f.projSpeed[3], 278);
        EXPECT_EQ(g.host.boxes, kWinPair);
    }
    {
        // On the clock the failed tick ends quietly and the next one runs.
        Game g;
        const game::Form1& f = g.view;
        g.caption("lblCastleLifeBar", "abc");
        g.apply(game::Input::keyDown(kD));
        g.advance(100);
        EXPECT_EQ(f.picHero.Left, 6710);
        EXPECT_TRUE(f.tmrCharaMovement.Enabled());
        EXPECT_TRUE(g.host.boxes.empty());
    }
}

}  // namespace
