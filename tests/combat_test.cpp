// The overlap test, the collision tick that settles every contact, the loss of
// a life, and the two ends of the game.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "testing/game.h"

namespace {

using testing_support::Corner;
using testing_support::Game;
using testing_support::isAt;
using testing_support::place;
using testing_support::StillGame;

ui::PictureBox box(float left, float top, float width, float height)
{
    ui::PictureBox b;
    b.Left = left;
    b.Top = top;
    b.Width = width;
    b.Height = height;
    return b;
}

// Puts an invader over the castle's inside, where it touches nothing else.
void intoTheCastle(Game& g, const char* invaders, int index)
{
    place(g.box(invaders, index), 1000, 1000, 735, 855);
}

// Puts a projectile wholly inside an invader's rectangle.
void intoInvader(Game& g, int slot, const ui::Extent& invader)
{
    g.box("picProjectile", slot).at(invader.Left + 100, invader.Top + 100).visible(true);
}

const std::vector<std::string> kLossPair{"Game Over, You Lose!", "Your score is "};

// ---------------------------------------------------------------- overlap test

TEST(Overlap, aCornerOfTheSecondSpriteInTheClosedRectangleOfTheFirstTouches)
{
    struct Case {
        const char* what;
        ui::PictureBox obj1, obj2;
        bool touches, swappedTouches;
    };
    const std::vector<Case> cases{
        {"top-left on the bottom-right corner", box(0, 0, 100, 100), box(100, 100, 10, 10), true, true},
        {"one twip right of the right edge", box(0, 0, 100, 100), box(101, 50, 10, 10), false, false},
        {"second wholly inside the first", box(0, 0, 100, 100), box(10, 10, 5, 5), true, false},
        {"second covering the first", box(40, 40, 20, 20), box(0, 0, 100, 100), false, true},
        {"crosswise", box(0, 40, 100, 20), box(40, 0, 20, 100), false, false},
        {"only the bottom-left corner inside", box(0, 0, 100, 100), box(50, -10, 100, 10), true, true},
        {"only the bottom-right corner inside", box(0, 0, 100, 100), box(-60, -10, 60, 10), true, true},
        {"only the top-right corner inside", box(0, 0, 100, 100), box(-10, 100, 10, 20), true, true},
        {"right edge of the second on the left edge of the first", box(0, 0, 100, 100), box(-10, 50, 10, 10), true,
         false},
        {"a hair left of the left edge", box(0, 0, 100, 100), box(-10.01f, 50, 10, 10), false, false},
        {"a hair below the bottom edge", box(0, 0, 100, 100), box(50, 100.01f, 10, 10), false, false},
        {"a hair above the top edge", box(0, 0, 100, 100), box(50, -10.01f, 10, 10), false, false},
        {"invader on the castle's bottom-right corner", box(-1200, 480, 7815, 3735), box(6615, 4215, 735, 855), true,
         true},
        {"invader a hair past the castle's corner", box(-1200, 480, 7815, 3735),
         box(std::nextafter(6615.0f, 7000.0f), 4215, 735, 855), false, false},
        {"same rectangle", box(5, 5, 50, 50), box(5, 5, 50, 50), true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(game::Form1::Collide(c.obj1, c.obj2), c.touches);
        EXPECT_EQ(game::Form1::Collide(c.obj2, c.obj1), c.swappedTouches);
    }
}

TEST(Overlap, aPointSizedSecondSpriteTouchesExactlyWhenItLiesInTheClosedRectangle)
{
    const ui::PictureBox obj1 = box(200, 300, 40, 60);
    struct Point {
        float x, y;
        bool inside;
    };
    const float eps = 0.001f;
    const std::vector<Point> points{
        {200, 300, true},        {240, 300, true},        {200, 360, true},        {240, 360, true},
        {220, 330, true},        {200 - eps, 330, false}, {240 + eps, 330, false}, {220, 300 - eps, false},
        {220, 360 + eps, false}, {0, 0, false},
    };
    for (const Point& p : points) {
        SCOPED_TRACE(::testing::Message() << p.x << ", " << p.y);
        EXPECT_EQ(game::Form1::Collide(obj1, box(p.x, p.y, 0, 0)), p.inside);
    }
    // A point-sized first sprite holds only its own point.
    EXPECT_TRUE(game::Form1::Collide(box(5, 5, 0, 0), box(5, 5, 0, 0)));
    EXPECT_TRUE(game::Form1::Collide(box(5, 5, 0, 0), box(0, 0, 5, 5)));
    EXPECT_FALSE(game::Form1::Collide(box(5, 5, 0, 0), box(0, 0, 10, 10)));
}

TEST(Overlap, edgeSumsAreRoundedToSinglePrecisionBeforeTheyAreCompared)
{
    // 7500 + 3/2048 plus a whole width crosses 8192, where the single rounds
    // the sum up by half a step.
    const float left = 7500.0f + 3.0f / 2048.0f;
    const float right = left + 735.0f;
    const float bottom = left + 855.0f;
    ASSERT_GT(static_cast<double>(right), static_cast<double>(left) + 735.0);
    ASSERT_GT(static_cast<double>(bottom), static_cast<double>(left) + 855.0);
    const float past = std::nextafter(right, 1e9f);
    const float below = std::nextafter(bottom, 1e9f);

    const ui::PictureBox obj1 = box(left, left, 735, 855);
    // Right and bottom edges of the first sprite.
    EXPECT_TRUE(game::Form1::Collide(obj1, box(right, 8000, 0, 0)));
    EXPECT_FALSE(game::Form1::Collide(obj1, box(past, 8000, 0, 0)));
    EXPECT_TRUE(game::Form1::Collide(obj1, box(8000, bottom, 0, 0)));
    EXPECT_FALSE(game::Form1::Collide(obj1, box(8000, below, 0, 0)));
    EXPECT_TRUE(game::Form1::Collide(obj1, box(right, bottom, 10, 10)));

    // Corners of the second sprite: its right and bottom are rounded sums too.
    EXPECT_TRUE(game::Form1::Collide(box(right, 8000, 100, 100), box(left, 8000, 735, 10)));
    EXPECT_FALSE(game::Form1::Collide(box(past, 8000, 100, 100), box(left, 8000, 735, 10)));
    EXPECT_TRUE(game::Form1::Collide(box(8000, bottom, 100, 100), box(8000, left, 10, 855)));
    EXPECT_FALSE(game::Form1::Collide(box(8000, below, 100, 100), box(8000, left, 10, 855)));
}

TEST(Overlap, visibilityAndEnabledStatePlayNoPart)
{
    ui::PictureBox a = box(0, 0, 100, 100);
    ui::PictureBox b = box(50, 50, 10, 10);
    ui::PictureBox c = box(150, 50, 10, 10);
    for (bool visible : {true, false})
        for (bool enabled : {true, false}) {
            a.Visible = b.Visible = c.Visible = visible;
            a.Enabled = b.Enabled = c.Enabled = enabled;
            EXPECT_TRUE(game::Form1::Collide(a, b));
            EXPECT_FALSE(game::Form1::Collide(a, c));
        }
}

// ---------------------------------------------------------------- kills

TEST(CollisionTick, aKillHidesAndParksBothSpritesFromTheCurrentOuterSizeAndCountsIt)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::SpriteView invader = f.picCastleKiller(0);
    const ui::PictureBox& fire = f.picProjectile(1);
    place(g.box("picCastleKiller", 0), 10000, 8000, 735, 855);
    intoInvader(g, 1, invader);
    g.collisionTick();
    EXPECT_FALSE(invader.Visible);
    EXPECT_FALSE(fire.Visible);
    const Corner parked = g.parkedInvader(), spent = g.spentProjectile();
    EXPECT_TRUE(isAt(invader, parked));
    EXPECT_TRUE(isAt(fire, spent));
    EXPECT_EQ(invader.Width, 735);
    EXPECT_EQ(fire.Width, 375);
    EXPECT_EQ(f.score, 100);
    EXPECT_EQ(f.lblScoreNum.Caption, "100");
    EXPECT_EQ(f.kills, 1);
    EXPECT_EQ(f.lblKillNum.Caption, "1");
    EXPECT_EQ(f.lives, 3);

    // The window was resized: the parking places follow its outer size.
    g.resize(30015, 16020);
    const ui::SpriteView bottom = f.picCKBot(0);
    place(g.box("picCKBot", 0), 2000, 9000, 735, 855);
    intoInvader(g, 3, bottom);
    g.collisionTick();
    EXPECT_TRUE(isAt(bottom, g.parkedInvader()));
    EXPECT_TRUE(isAt(f.picProjectile(3), g.spentProjectile()));
    EXPECT_EQ(f.score, 200);
    EXPECT_EQ(f.kills, 2);
    EXPECT_EQ(f.lblKillNum.Caption, "2");
    // The earlier parked pair stays where it was.
    EXPECT_TRUE(isAt(invader, parked));
    EXPECT_TRUE(isAt(fire, spent));
}

TEST(CollisionTick, ofTwoProjectilesOnOneInvaderTheLowerNumberedKillsAndTheOtherFliesOn)
{
    struct Case {
        std::int16_t first, second;
    };
    for (Case c : {Case{0, 1}, Case{0, 3}, Case{1, 2}, Case{2, 3}}) {
        SCOPED_TRACE(::testing::Message() << c.first << " and " << c.second);
        StillGame g;
        const game::Form1& f = g.view;
        const ui::SpriteView invader = f.picCastleKiller(0);
        place(g.box("picCastleKiller", 0), 10000, 8000, 735, 855);
        intoInvader(g, c.first, invader);
        place(g.box("picProjectile", c.second), 10300, 8400, 100, 100);
        g.box("picProjectile", c.second).visible(true);
        g.collisionTick();
        EXPECT_FALSE(invader.Visible);
        EXPECT_TRUE(isAt(f.picProjectile(c.first), g.spentProjectile()));
        EXPECT_FALSE(f.picProjectile(c.first).Visible);
        EXPECT_EQ(f.picProjectile(c.second).Left, 10300);
        EXPECT_EQ(f.picProjectile(c.second).Top, 8400);
        EXPECT_TRUE(f.picProjectile(c.second).Visible);
        EXPECT_EQ(f.kills, 1);
        EXPECT_EQ(f.score, 100);
    }
}

TEST(CollisionTick, afterAKillTheParkedInvaderIsStillTestedAgainstTheLaterProjectiles)
{
    StillGame g;
    const game::Form1& f = g.view;
    place(g.box("picCastleKiller", 0), 10000, 8000, 735, 855);
    intoInvader(g, 0, f.picCastleKiller(0));
    // A later projectile standing at the invaders' parking place meets it there.
    place(g.box("picProjectile", 2), g.parkedInvader().left + 10, g.parkedInvader().top + 10, 255, 255);
    g.collisionTick();
    EXPECT_EQ(f.kills, 2);
    EXPECT_EQ(f.score, 200);
    EXPECT_TRUE(isAt(f.picProjectile(2), g.spentProjectile()));
    EXPECT_EQ(f.lblKillNum.Caption, "2");
}

TEST(CollisionTick, oneProjectileKillsOnlyTheInvaderVisitedFirst)
{
    constexpr game::InvaderKind kKillers = game::InvaderKind::CastleKiller, kTop = game::InvaderKind::Top,
                                kBottom = game::InvaderKind::Bottom;
    struct Case {
        const char* what;
        game::InvaderKind firstKind;
        int firstIndex;
        game::InvaderKind secondKind;
        int secondIndex;
    };
    const std::vector<Case> cases{
        {"castle killers 0 before 1", kKillers, 0, kKillers, 1},
        {"castle killers before the top stream", kKillers, 1, kTop, 0},
        {"the top stream before the bottom stream", kTop, 0, kBottom, 0},
        {"castle killers before the bottom stream", kKillers, 0, kBottom, 1},
        {"top stream 0 before 1", kTop, 0, kTop, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StillGame g;
        const game::Form1& f = g.view;
        // Element 1 of each kind, at its stream's entry, where it touches nothing.
        for (const game::Form1::InvaderRow& row : game::Form1::invaderRows())
            g.hand.SpawnInvader(static_cast<std::int16_t>(row.kind));
        const ui::SpriteView first = f.invaders(c.firstKind)(c.firstIndex);
        const ui::SpriteView second = f.invaders(c.secondKind)(c.secondIndex);
        const auto firstBox = g.box(game::Form1::invaderName(c.firstKind), c.firstIndex);
        const auto secondBox = g.box(game::Form1::invaderName(c.secondKind), c.secondIndex);
        place(firstBox, 10000, 8000, 735, 855);
        place(secondBox, 10200, 8200, 735, 855);
        firstBox.visible(true);
        secondBox.visible(true);
        place(g.box("picProjectile", 0), 10300, 8300, 100, 100);
        g.collisionTick();
        EXPECT_FALSE(first.Visible);
        EXPECT_TRUE(isAt(first, g.parkedInvader()));
        EXPECT_TRUE(second.Visible);
        EXPECT_EQ(second.Left, 10200);
        EXPECT_EQ(f.kills, 1);
    }
}

TEST(CollisionTick, theKillComesFirstSoTheSameInvaderNeitherHitsTheMageNorTheCastle)
{
    {
        SCOPED_TRACE("projectile and mage");
        StillGame g;
        const game::Form1& f = g.view;
        const ui::SpriteView invader = f.picCastleKiller(0);
        place(g.box("picCastleKiller", 0), 6700, 4300, 735, 855);
        ASSERT_TRUE(game::Form1::Collide(invader, f.picHero));
        intoInvader(g, 0, invader);
        g.collisionTick();
        EXPECT_EQ(f.kills, 1);
        EXPECT_EQ(f.lives, 3);
        EXPECT_EQ(f.picHero.Left, 6600);
        EXPECT_TRUE(f.picHero.Visible);
        EXPECT_TRUE(f.picLife(2).Visible);
        EXPECT_FALSE(f.tmrCollisionDetect.Enabled());  // no hit switched it on
    }
    {
        SCOPED_TRACE("projectile and castle");
        StillGame g;
        const game::Form1& f = g.view;
        intoTheCastle(g, "picCKTop", 0);
        intoInvader(g, 2, f.picCKTop(0));
        g.collisionTick();
        EXPECT_EQ(f.kills, 1);
        EXPECT_EQ(f.score, 100);
        EXPECT_EQ(f.lblScoreNum.Caption, "100");
        EXPECT_EQ(f.lblCastleLifeBar.Caption, "3500");
        EXPECT_EQ(f.lblCastleLifeBar.Width, 6615);
    }
}

TEST(CollisionTick, aSpecialCoveringAnInvaderWithAllItsCornersOutsideDoesNotKillIt)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::SpriteView invader = f.picCastleKiller(0);
    place(g.box("picCastleKiller", 0), 10000, 10000, 735, 855);
    const ui::PictureBox& special = f.picProjectile(3);
    place(g.box("picProjectile", 3), 9900, 9900, 1000, 1100);
    g.box("picProjectile", 3).visible(true);
    g.collisionTick();
    EXPECT_TRUE(invader.Visible);
    EXPECT_EQ(invader.Left, 10000);
    EXPECT_TRUE(special.Visible);
    EXPECT_EQ(f.kills, 0);
    EXPECT_FALSE(f.score.has_value());
    EXPECT_EQ(f.lblScoreNum.Caption, "0");

    // Once one of its corners lies on the invader, it kills.
    g.box("picProjectile", 3).at(10735, 9400);  // bottom-left corner on the invader's right edge
    g.collisionTick();
    EXPECT_FALSE(invader.Visible);
    EXPECT_EQ(f.kills, 1);
}

// ---------------------------------------------------------------- hits on the mage

TEST(CollisionTick, aHeroHitCostsALifeAndPutsTheMageBackWithTheTimerOn)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::SpriteView invader = f.picCastleKiller(0);
    place(g.box("picCastleKiller", 0), 6700, 4300, 735, 855);
    g.box("picCastleKiller", 0).visible(true);
    const ui::PictureRef picture = f.picHero.Picture;
    g.collisionTick();
    EXPECT_EQ(f.lives, 2);
    EXPECT_FALSE(f.picLife(2).Visible);
    EXPECT_TRUE(f.picLife(1).Visible);
    EXPECT_EQ(f.picHero.Left, 6480);
    EXPECT_EQ(f.picHero.Top, 6480);
    EXPECT_TRUE(f.picHero.Visible);
    EXPECT_EQ(f.picHero.Picture, picture);
    EXPECT_TRUE(f.tmrCollisionDetect.Enabled());
    // The invader is left alone.
    EXPECT_TRUE(invader.Visible);
    EXPECT_EQ(invader.Left, 6700);
    EXPECT_EQ(invader.Top, 4300);
    EXPECT_FALSE(f.score.has_value());
    EXPECT_EQ(f.kills, 0);
}

TEST(CollisionTick, aLaterInvaderMeetsTheMageAtHisResetPlaceInTheSameTick)
{
    {
        SCOPED_TRACE("the second invader waits at the reset place");
        StillGame g;
        const game::Form1& f = g.view;
        g.hand.SpawnInvader(1);  // castle killer 1, shown
        place(g.box("picCastleKiller", 0), 6700, 4300, 735, 855);
        place(g.box("picCastleKiller", 1), 6400, 6400, 735, 855);
        g.collisionTick();
        EXPECT_EQ(f.lives, 1);
        EXPECT_FALSE(f.picLife(2).Visible);
        EXPECT_FALSE(f.picLife(1).Visible);
        EXPECT_TRUE(f.picLife(0).Visible);
        EXPECT_EQ(f.picHero.Left, 6480);
    }
    {
        SCOPED_TRACE("the second invader touched only the old place");
        StillGame g;
        const game::Form1& f = g.view;
        g.hand.SpawnInvader(1);
        place(g.box("picCastleKiller", 0), 6700, 4300, 735, 855);
        place(g.box("picCastleKiller", 1), 7000, 4500, 735, 855);
        ASSERT_TRUE(game::Form1::Collide(f.picCastleKiller(1), f.picHero));
        g.collisionTick();
        EXPECT_EQ(f.lives, 2);
    }
}

TEST(CollisionTick, hiddenInvadersTouchTheMageLikeShownOnes)
{
    for (int which = 0; which < 2; ++which) {
        SCOPED_TRACE(which == 0 ? "bottom stream element 0" : "top stream element 0");
        StillGame g;
        const game::Form1& f = g.view;
        const char* name = which == 0 ? "picCKBot" : "picCKTop";
        const ui::SpriteView invader = which == 0 ? f.picCKBot(0) : f.picCKTop(0);
        ASSERT_FALSE(invader.Visible);
        place(g.box(name, 0), 6700, 4300, 735, 855);
        g.collisionTick();
        EXPECT_EQ(f.lives, 2);
        EXPECT_FALSE(invader.Visible);
        EXPECT_EQ(invader.Left, 6700);
    }
}

TEST(CollisionTick, anInvaderOnBothTheMageAndTheCastleCostsALifeThenTheCastleHit)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::SpriteView invader = f.picCastleKiller(0);
    place(g.box("picCastleKiller", 0), 6000, 3900, 735, 855);
    ASSERT_TRUE(game::Form1::Collide(invader, f.picHero));
    ASSERT_TRUE(game::Form1::Collide(f.picCastle, invader));
    g.collisionTick();
    EXPECT_EQ(f.lives, 2);
    EXPECT_EQ(f.picHero.Left, 6480);
    EXPECT_EQ(f.lblCastleLifeBar.Caption, "3400");
    EXPECT_EQ(f.lblCastleLifeBar.Width, 6615 - 189);
    EXPECT_EQ(f.score, -400);
    EXPECT_FALSE(invader.Visible);
    EXPECT_TRUE(isAt(invader, g.parkedInvader()));
}

TEST(CollisionTick, aHitRestartsTheCollisionPeriodFromTheMomentOfTheHit)
{
    Game g;
    const game::Form1& f = g.view;
    g.advance(10);
    place(g.box("picCKBot", 0), 6700, 4300, 735, 855);
    g.hand.tmrCollisionDetect_Timer();  // a hit at 10 ms, off the timer's beat
    ASSERT_EQ(f.lives, 2);
    ASSERT_TRUE(f.tmrCollisionDetect.Enabled());
    place(g.box("picCKBot", 0), 6400, 6400, 735, 855);  // waiting at the reset place
    g.advance(15);                                      // 25 ms: the old beat would fire here
    EXPECT_EQ(f.lives, 2);
    g.advance(9);
    EXPECT_EQ(f.lives, 2);
    g.advance(1);  // 35 ms: 25 ms after the hit
    EXPECT_EQ(f.lives, 1);
    EXPECT_TRUE(f.tmrCollisionDetect.Enabled());
    // And on the clock's own beat the next tick follows 25 ms after the hit.
    g.advance(24);
    EXPECT_EQ(f.lives, 1);
    g.advance(1);
    EXPECT_EQ(f.lives, 0);
}

// ---------------------------------------------------------------- the castle

TEST(CollisionTick, eachCastleHitTakesAHundredAndABarStepUntilTheLastHundred)
{
    struct Case {
        const char* before;
        float width;
        const char* after;
        float widthAfter;
    };
    const std::vector<Case> cases{
        {"3500", 6615, "3400", 6426}, {"101", 500, "1", 311}, {"100", 189, "0", 150},
        {"0", 150, "0", 150},         {"50", 300, "0", 150},  {"-200", 150, "0", 150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        StillGame g;
        const game::Form1& f = g.view;
        g.caption("lblCastleLifeBar", c.before);
        g.labelWidth("lblCastleLifeBar", c.width);
        intoTheCastle(g, "picCastleKiller", 0);
        g.collisionTick();
        EXPECT_EQ(f.lblCastleLifeBar.Caption, c.after);
        EXPECT_EQ(f.lblCastleLifeBar.Width, c.widthAfter);
        EXPECT_EQ(f.score, -400);
        EXPECT_EQ(f.lblScoreNum.Caption, "-400");
    }
}

TEST(CollisionTick, thirtyFourCastleHitsLeaveOneHundredAndTheThirtyFifthFellsTheCastle)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::SpriteView invader = f.picCastleKiller(0);
    for (int k = 1; k <= 37; ++k) {
        SCOPED_TRACE(k);
        g.box("picCastleKiller", 0).visible(true);
        intoTheCastle(g, "picCastleKiller", 0);
        g.collisionTick();
        EXPECT_FALSE(invader.Visible);
        EXPECT_TRUE(isAt(invader, g.parkedInvader()));
        if (k <= 34) {
            EXPECT_EQ(f.lblCastleLifeBar.Caption, std::to_string(3500 - 100 * k));
            EXPECT_EQ(f.lblCastleLifeBar.Width, static_cast<float>(6615 - 189 * k));
        } else {
            EXPECT_EQ(f.lblCastleLifeBar.Caption, "0");
            EXPECT_EQ(f.lblCastleLifeBar.Width, 150);
        }
        EXPECT_EQ(f.score, -400 * k);
        EXPECT_EQ(f.lblScoreNum.Caption, std::to_string(-400 * k));
    }
    EXPECT_EQ(f.kills, 0);
    EXPECT_EQ(f.lblKillNum.Caption, "0");
}

TEST(CollisionTick, theCastleTestsTheInvadersCornersSoAnInvaderInsideItCounts)
{
    StillGame g;
    const game::Form1& f = g.view;
    const ui::SpriteView invader = f.picCastleKiller(0);
    // Wholly inside: none of the castle's corners lies in the invader.
    place(g.box("picCastleKiller", 0), 2000, 1500, 735, 855);
    g.collisionTick();
    EXPECT_EQ(f.lblCastleLifeBar.Caption, "3400");
    // Parked after a resize.
    place(g.box("picHero"), 15000, 9000, 675, 735);
    g.resize(25000, 14000);
    g.box("picCastleKiller", 0).visible(true);
    place(g.box("picCastleKiller", 0), 6615, 4215, 735, 855);  // on the castle's bottom-right corner
    g.collisionTick();
    EXPECT_EQ(f.lblCastleLifeBar.Caption, "3300");
    EXPECT_TRUE(isAt(invader, g.parkedInvader()));
}

TEST(CollisionTick, theScoresFirstChangeStartsFromNothing)
{
    {
        StillGame g;
        g.hand.tmrCollisionDetect_Timer();
        EXPECT_FALSE(g.view.score.has_value());
        EXPECT_EQ(g.view.lblScoreNum.Caption, "0");
        place(g.box("picCastleKiller", 0), 10000, 8000, 735, 855);
        intoInvader(g, 0, g.view.picCastleKiller(0));
        g.collisionTick();
        EXPECT_EQ(g.view.lblScoreNum.Caption, "100");
        intoTheCastle(g, "picCKTop", 0);
        g.collisionTick();
        EXPECT_EQ(g.view.score, -300);
        EXPECT_EQ(g.view.lblScoreNum.Caption, "-300");
    }
    {
        StillGame g;
        intoTheCastle(g, "picCKBot", 0);
        g.collisionTick();
        EXPECT_EQ(g.view.score, -400);
        EXPECT_EQ(g.view.lblScoreNum.Caption, "-400");
    }
}

TEST(CollisionTick, killsStayAtTheirSixteenBitTopWhileTheScoreStillGains)
{
    StillGame g;
    const game::Form1& f = g.view;
    g.variable("kills", 32766);
    g.variable("score", 5000);
    for (int round = 0; round < 2; ++round) {
        place(g.box("picCastleKiller", 0), 10000, 8000, 735, 855);
        intoInvader(g, 0, f.picCastleKiller(0));
        g.collisionTick();
    }
    EXPECT_EQ(f.kills, 32767);
    EXPECT_EQ(f.lblKillNum.Caption, "32767");
    EXPECT_EQ(f.score, 5200);
    EXPECT_EQ(f.lblScoreNum.Caption, "5200");
}

TEST(CollisionTick, aCastleCaptionThatIsNoNumberStopsTheTickAfterTheInvaderIsParked)
{
    {
        StillGame g;
        const game::Form1& f = g.view;
        g.caption("lblCastleLifeBar", "full");
        intoTheCastle(g, "picCastleKiller", 0);
        EXPECT_THROW(g.collisionTick(), ui::RuntimeError);
        EXPECT_FALSE(f.picCastleKiller(0).Visible);
        EXPECT_TRUE(isAt(f.picCastleKiller(0), g.parkedInvader()));
        EXPECT_EQ(f.lblCastleLifeBar.Caption, "full");
        EXPECT_FALSE(f.score.has_value());
    }
    {
        // On the clock: the rest of that tick is not run, the next tick is.
        Game g;
        const game::Form1& f = g.view;
        g.caption("lblCastleLifeBar", "full");
        intoTheCastle(g, "picCastleKiller", 0);
        place(g.box("picCKTop", 0), 10000, 8000, 735, 855);
        intoInvader(g, 1, f.picCKTop(0));
        g.timer("tmrProjectile", false, 1);
        g.advance(25);
        EXPECT_TRUE(isAt(f.picCastleKiller(0), g.parkedInvader()));
        EXPECT_EQ(f.kills, 0);
        EXPECT_EQ(f.picCKTop(0).Left, 10000);
        g.advance(25);
        EXPECT_EQ(f.kills, 1);
        EXPECT_TRUE(isAt(f.picCKTop(0), g.parkedInvader()));
    }
}

// ---------------------------------------------------------------- lives

TEST(Lives, losingALifeHidesTheIconOfThatLifeAndResetsTheMage)
{
    struct Case {
        std::int16_t before;
        int iconHidden;  // -1: none
        std::int16_t after;
    };
    const std::vector<Case> cases{
        {3, 2, 2}, {2, 1, 1}, {1, 0, 0}, {0, -1, -1}, {-1, -1, -2}, {4, -1, 3}, {5, -1, 4}, {-32768, -1, -32768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        StillGame g;
        const game::Form1& f = g.view;
        g.variable("lives", c.before);
        place(g.box("picHero"), 100, 200, 675, 735);
        g.box("picHero").visible(false);
        g.hand.LoseLife();
        EXPECT_EQ(f.lives, c.after);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(f.picLife(k).Visible, k != c.iconHidden) << k;
        EXPECT_EQ(f.picHero.Left, 6480);
        EXPECT_EQ(f.picHero.Top, 6480);
        EXPECT_TRUE(f.picHero.Visible);
        EXPECT_TRUE(f.tmrCollisionDetect.Enabled());
    }
}

TEST(Lives, fourHitsHideTheIconsTwoOneZeroAndTheNextHeroTickLoses)
{
    StillGame g;
    const game::Form1& f = g.view;
    g.hold({87});
    g.variable("magicType", 2);
    g.hand.showPictureOf("picHero", "picBlackMageFireLeft");
    const std::vector<std::vector<bool>> shown{
        {true, true, false}, {true, false, false}, {false, false, false}, {false, false, false}};
    for (int hit = 0; hit < 4; ++hit) {
        SCOPED_TRACE(hit + 1);
        place(g.box("picCastleKiller", 0), f.picHero.Left + 100, f.picHero.Top + 100, 735, 855);
        g.collisionTick();
        EXPECT_EQ(f.lives, 2 - hit);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(f.picLife(k).Visible, shown[static_cast<std::size_t>(hit)][k]) << k;
        EXPECT_TRUE(g.host.boxes.empty());
    }
    // What the mage holds stays as it was.
    EXPECT_EQ(f.keyDown[87], -1);
    EXPECT_EQ(f.magicType, 2);
    EXPECT_EQ(f.picHero.Picture, f.picBlackMageFireLeft.Picture);
    g.heroTick();
    EXPECT_EQ(g.host.boxes, kLossPair);
}

// ---------------------------------------------------------------- game end

TEST(GameEnd, winAndLossStopOnlyTheMageAndTheContactsAndShowTheirTwoBoxes)
{
    struct Case {
        bool win;
        std::optional<std::int64_t> score;
        const char* scoreBox;
    };
    const std::vector<Case> cases{
        {true, 1200, "Your score is 1200"},
        {false, -400, "Your score is -400"},
        {true, std::nullopt, "Your score is "},
        {false, 0, "Your score is 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scoreBox);
        Game g;
        const game::Form1& f = g.view;
        g.apply(game::Input::mouseDown(1, 20000, 9000));  // a fire projectile in flight
        if (c.score) g.variable("score", *c.score);       // else the score is still unset
        if (c.win)
            g.hand.WinGame();
        else
            g.hand.LoseGame();
        EXPECT_EQ(g.host.boxes, (std::vector<std::string>{
                                    c.win ? "You won the game, good job!" : "Game Over, You Lose!", c.scoreBox}));
        EXPECT_FALSE(f.tmrCharaMovement.Enabled());
        EXPECT_FALSE(f.tmrCollisionDetect.Enabled());
        EXPECT_TRUE(f.tmrMonsterMovement.Enabled());
        EXPECT_TRUE(f.tmrSpawnTimer.Enabled());
        EXPECT_TRUE(f.tmrTimer.Enabled());
        EXPECT_TRUE(f.tmrProjectile(0).Enabled());
        EXPECT_EQ(f.score, c.score);
    }
}

TEST(GameEnd, aFourthHitEndsTheGameOnTheNextHeroTickAndNothingIsDetectedAfterwards)
{
    Game g;
    const game::Form1& f = g.view;
    g.variable("lives", 0);
    place(g.box("picCKBot", 0), 6700, 4300, 735, 855);  // hidden, and never walks
    g.advance(25);
    EXPECT_EQ(f.lives, -1);
    EXPECT_TRUE(g.host.boxes.empty());
    g.advance(25);
    EXPECT_EQ(g.host.boxes, kLossPair);

    // The collision tick is off for good: invaders on the mage and projectiles
    // on invaders change nothing any more.
    place(g.box("picCKBot", 0), 6400, 6400, 735, 855);
    place(g.box("picCastleKiller", 0), 10000, 8000, 735, 855);
    g.variable("magicType", 0);
    g.apply(game::Input::mouseDown(1, 10100, 8100));
    g.advance(1000);
    EXPECT_EQ(f.lives, -1);
    EXPECT_EQ(f.kills, 0);
    EXPECT_FALSE(f.score.has_value());
    EXPECT_EQ(g.host.boxes, kLossPair);
    // The clock, spawning and the projectile's flight go on.
    EXPECT_EQ(f.lblTimer.Caption, "00:01");
    EXPECT_LT(f.picCastleKiller(0).Left, 10000);
    EXPECT_NE(f.picProjectile(0).Left, 6480);
}

}  // namespace
