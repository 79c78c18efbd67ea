// Input at the edges of what the window and the simulator pass on: key codes
// outside the table, buttons that are neither left, right nor middle, presses
// far outside the window, windows of one twip and of the largest size. The
// game must take all of it without harm, and every rule of
// testing/invariants.h must hold after each event and each timer firing.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "testing/invariants.h"

namespace {

using zorvane_checks::Session;

constexpr float kMax = std::numeric_limits<float>::max();
constexpr std::int16_t kLeft = 1, kRight = 2;
constexpr long long kW = 87, kA = 65, kS = 83, kD = 68;

void click(Session& s, std::int16_t button, float x, float y)
{
    s.apply(game::Input::mouseDown(button, x, y));
    s.apply(game::Input::mouseUp(button, x, y));
}

// A player who walks a small square, changes magic, casts every 300 ms at a
// point that moves across the field and charges the special now and then,
// for `ms` of game time; the rules are checked after every firing.
std::string play(Session& s, std::int64_t ms)
{
    static constexpr long long kWalk[4] = {kW, kD, kS, kA};
    for (std::int64_t t = 0; t < ms; t += 100) {
        const std::int64_t now = s.now();
        if (now % 1000 == 0) {
            s.apply(game::Input::keyUp(kWalk[(now / 1000 + 3) % 4]));
            s.apply(game::Input::keyDown(kWalk[(now / 1000) % 4]));
        }
        if (now % 3000 == 0) s.apply(game::Input::keyDown(49 + (now / 3000) % 3));
        if (now % 3000 == 100) s.apply(game::Input::keyUp(49 + (now / 3000) % 3));
        if (now % 300 == 0)
            click(s, kLeft, 2000.0f + static_cast<float>(now % 23000), 12000.0f - static_cast<float>(now % 9000));
        if (now % 4000 == 0) s.apply(game::Input::mouseDown(kRight, 20000, 3000));
        if (now % 4000 == 1500) s.apply(game::Input::mouseUp(kRight, 3000, 12000));
        if (std::string why = s.check(); !why.empty()) return why;
        if (std::string why = s.advance(100); !why.empty()) return why;
    }
    return {};
}

// ---------------------------------------------------------------- keys

TEST(StrayInput, keyCodesOutsideTheTableNeitherPressNorReleaseAnyKey)
{
    // Codes that equal a steering key in their low 8, 16 or 32 bits must not
    // reach that key: the table is indexed by the code as it stands.
    const std::vector<long long> stray{-1,        256,        -32768,           65536,      LLONG_MIN,
                                       LLONG_MAX, kW + 256,   kW - 256,         kW + 65536, kW + (1LL << 32),
                                       kD + 256,  kD - 65536, kD + (1LL << 32), -kD};
    Session s;
    const game::Form1& f = s.form();
    for (long long code : stray) s.apply(game::Input::keyDown(code));
    const auto nothingHeld = f.keyDown;
    EXPECT_EQ(nothingHeld, decltype(f.keyDown){});

    s.apply(game::Input::keyDown(kD));
    for (long long code : stray) s.apply(game::Input::keyUp(code));
    EXPECT_EQ(f.keyDown[kD], -1);
    ASSERT_EQ(s.advance(500), "");
    EXPECT_EQ(f.picHero.Left, 6600 + 10 * 55);  // D held all along: ten steps right
    EXPECT_EQ(f.picHero.Top, 4200);             // no stray W
}

// ---------------------------------------------------------------- buttons

TEST(StrayInput, buttonsOtherThanLeftRightAndMiddleCastNothingButEndACharge)
{
    for (const std::int16_t button : std::vector<std::int16_t>{0, 3, 5, 8, 16, -1, -2, 32767, -32768}) {
        SCOPED_TRACE(button);
        Session s;
        const game::Form1& f = s.form();
        click(s, button, 15000, 9000);
        EXPECT_EQ(f.targetX, 15000);  // every press that reaches the window aims
        EXPECT_EQ(f.targetY, 9000);
        for (int k = 0; k < 4; ++k) {
            EXPECT_FALSE(f.picProjectile(k).Visible) << k;
            EXPECT_FALSE(f.tmrProjectile(k).Enabled()) << k;
        }
        EXPECT_FALSE(f.specialHeld);
        EXPECT_FALSE(f.picProjectile(3).Enabled);

        // During a charge such a release ends it without a launch: the
        // special stays where it stood.
        s.apply(game::Input::mouseDown(kRight, 15000, 9000));
        ASSERT_EQ(s.advance(100), "");
        ASSERT_TRUE(f.picProjectile(3).Visible);
        const float left = f.picProjectile(3).Left;
        click(s, button, 15000, 9000);
        EXPECT_FALSE(f.specialHeld);
        EXPECT_FALSE(f.picProjectile(3).Enabled);
        ASSERT_EQ(s.advance(200), "");
        EXPECT_FALSE(f.tmrProjectile(3).Enabled());
        EXPECT_EQ(f.picProjectile(3).Left, left);
    }
}

// ---------------------------------------------------------------- presses far away

TEST(StrayInput, castsTowardsTheFarEndsOfTheSingleRangeFlyOutAtTheirSpeed)
{
    const float tiny = std::numeric_limits<float>::denorm_min();
    const std::vector<std::pair<float, float>> targets{{kMax, kMax},   {-kMax, -kMax}, {kMax, -kMax},
                                                       {-kMax, kMax},  {1e30f, 4200},  {6600, -1e30f},
                                                       {-tiny, -tiny}, {-0.0f, -1.0f}, {-1e6f, 1e6f}};
    // None lies in a box or label that would take the press (the castle's
    // life bar holds the top-left corner of the field).
    for (const auto& [x, y] : targets) {
        SCOPED_TRACE(testing::Message() << x << ", " << y);
        Session s;
        const game::Form1& f = s.form();
        click(s, kLeft, x, y);
        ASSERT_TRUE(f.picProjectile(0).Visible);
        const double stepX = f.projStepX[0].value_or(NAN);
        const double stepY = f.projStepY[0].value_or(NAN);
        ASSERT_TRUE(std::isfinite(stepX) && std::isfinite(stepY));
        EXPECT_NEAR(std::hypot(stepX, stepY), 200.0, 1e-9);
        // At 200 twips a tick no corner stays inside for 200 ticks.
        for (int tick = 0; tick < 200 && f.tmrProjectile(0).Enabled(); ++tick) ASSERT_EQ(s.advance(50), "");
        EXPECT_FALSE(f.tmrProjectile(0).Enabled());
        EXPECT_FALSE(f.picProjectile(0).Visible);
    }
}

TEST(StrayInput, aPressAtAPointOfTheLargestSizeIsRoutedLikeAnyOther)
{
    Session s;
    const game::Form1& f = s.form();
    for (float x : {kMax, -kMax, 1e30f, -1e30f})
        for (float y : {kMax, -kMax, 0.0f}) {
            s.apply(game::Input::mouseDown(kRight, x, y));
            EXPECT_EQ(f.targetX, x);  // no box holds such a point: the press aims
            s.apply(game::Input::mouseUp(kRight, x, y));
            ASSERT_EQ(s.check(), "");
        }
    ASSERT_EQ(s.advance(1000), "");
}

// ---------------------------------------------------------------- window sizes

TEST(StrayInput, windowsOfOneTwipOnePixelAndTheLargestSizeKeepEveryRule)
{
    const std::vector<std::pair<float, float>> sizes{{1, 1},    {15, 15},     {1, kMax},
                                                     {kMax, 1}, {kMax, kMax}, {1e30f, 1e30f}};
    for (const auto& [w, h] : sizes) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        Session s;
        const game::Form1& f = s.form();
        s.apply(game::Input::fieldSize(w, h));
        ASSERT_EQ(play(s, 140'000), "");  // into the third wave
        // Invaders enter 1000 twips inside the outer size, whatever it is.
        const ui::SpriteView last = f.picCastleKiller(f.picCastleKiller.UBound());
        EXPECT_TRUE(std::isfinite(last.Left) && std::isfinite(last.Top));
    }
}

TEST(StrayInput, aWindowThatShrinksToOneTwipEndsEveryFlightAtItsNextTick)
{
    Session s;
    const game::Form1& f = s.form();
    s.apply(game::Input::mouseDown(kRight, 15000, 9000));
    ASSERT_EQ(s.advance(100), "");
    s.apply(game::Input::mouseUp(kRight, 15000, 9000));
    click(s, kLeft, 20000, 4200);
    s.apply(game::Input::keyDown(50));
    ASSERT_EQ(s.advance(50), "");
    click(s, kLeft, 20000, 4200);
    ASSERT_EQ(s.advance(50), "");
    ASSERT_TRUE(f.tmrProjectile(0).Enabled() && f.tmrProjectile(1).Enabled() && f.tmrProjectile(3).Enabled());
    s.apply(game::Input::fieldSize(1, 1));
    ASSERT_EQ(s.advance(50), "");
    for (int k = 0; k < 4; ++k) {
        EXPECT_FALSE(f.tmrProjectile(k).Enabled()) << k;
        EXPECT_FALSE(f.picProjectile(k).Visible) << k;
    }
}

// ---------------------------------------------------------------- found in review

// The special launched by a short right click starts from wherever its
// sprite last stood. A kill parks it at W + 5000; in a window 1e32 twips wide
// that place is 1e32. Once the window has grown to the largest size that place
// lies inside, and a release at the far left makes the single difference
// overflow: the distance is infinite, the step NaN, and the first flight tick
// wrote NaN into the special's Left. A launch without a finite direction must
// launch nothing, as one at zero distance does. Played through input alone.
TEST(StrayInput, aSpecialWhoseDistanceOverflowsLaunchesNothing)
{
    Session s;
    const game::Form1& f = s.form();
    const ui::PictureBox& special = f.picProjectile(3);
    s.apply(game::Input::fieldSize(1e32f, f.Height));  // castle killers enter far right and never arrive
    s.apply(game::Input::keyDown(kA));
    ASSERT_EQ(s.advance(4400), "");  // into the bottom stream's column
    s.apply(game::Input::keyUp(kA));
    s.apply(game::Input::mouseDown(kRight, 15000, 9000));
    ASSERT_EQ(s.advance(500), "");
    click(s, kLeft, 15000, 9000);  // the left release strands the special there
    s.apply(game::Input::keyDown(kD));
    ASSERT_EQ(s.advance(2000), "");  // the mage steps out of the column
    s.apply(game::Input::keyUp(kD));
    ASSERT_EQ(s.advance(135'000), "");  // a bottom-stream invader runs into the special
    ASSERT_FALSE(special.Visible);
    ASSERT_EQ(special.Left, 1e32f);

    s.apply(game::Input::fieldSize(kMax, f.Height));
    click(s, kRight, -kMax, 5000);
    ASSERT_EQ(s.advance(200), "");
    EXPECT_TRUE(std::isfinite(special.Left));
    EXPECT_TRUE(std::isfinite(special.Top));
    EXPECT_FALSE(special.Visible);
    EXPECT_FALSE(f.tmrProjectile(3).Enabled());
}

// ---------------------------------------------------------------- a long game

TEST(LongPlay, tenMinutesOfPlayPastTheEndKeepEveryRule)
{
    Session s;
    const game::Form1& f = s.form();
    ASSERT_EQ(play(s, 600'000), "");
    // The game is over by now; only the hero tick and the contacts stopped.
    EXPECT_FALSE(f.tmrCharaMovement.Enabled());
    EXPECT_FALSE(f.tmrCollisionDetect.Enabled());
    EXPECT_EQ(s.boxes() % 2, 0u);
    EXPECT_GE(s.boxes(), 2u);
    EXPECT_EQ(f.lblTimer.Caption, "10:00");
}

// ---------------------------------------------------------------- the rules themselves

// The checks that compare captions and the key table without building
// strings must still see a wrong one: each fault is put into a game that is
// otherwise sound, and taken out again.
TEST(Rules, aWrongCaptionOrKeyEntryIsReported)
{
    Session s;
    const game::Form1& f = s.form();
    ASSERT_EQ(s.advance(61'000), "");
    ASSERT_EQ(f.lblTimer.Caption, "01:01");
    auto write = [&s](const char* label, std::string text) {
        std::string failure;
        ASSERT_TRUE(s.set({.kind = game::Setting::Kind::LabelCaption, .name = label, .text = std::move(text)}, failure))
            << failure;
    };
    struct Fault {
        const char* label;
        const std::string* caption;
        const char* wrong;
        const char* rule;
    };
    const Fault faults[] = {{"lblTimer", &f.lblTimer.Caption, "1:01", "clock label"},
                            {"lblTimer", &f.lblTimer.Caption, "01:001", "clock label"},
                            {"lblTimer", &f.lblTimer.Caption, "0101", "clock label"},
                            {"lblTimer", &f.lblTimer.Caption, "a1:01", "clock label"},
                            {"lblScoreNum", &f.lblScoreNum.Caption, "00", "score label"},
                            {"lblKillNum", &f.lblKillNum.Caption, "-0", "kill label"}};
    for (const Fault& fault : faults) {
        const std::string right = *fault.caption;
        write(fault.label, fault.wrong);
        EXPECT_NE(s.check().find(fault.rule), std::string::npos) << fault.wrong;
        write(fault.label, right);
    }
    s.hand().setKeyDown(200, 1);
    EXPECT_NE(s.check().find("key table entry 200 holds 1"), std::string::npos);
    s.hand().setKeyDown(200, -1);  // held
    EXPECT_EQ(s.check(), "");
}

}  // namespace
