#include "ui/controls.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <memory>
#include <stdexcept>
#include <utility>

#include "ui/control_array.h"
#include "ui/error.h"
#include "ui/scheduler.h"
#include "ui/sprite_array.h"

namespace {

TEST(ControlArray, growsByCopiesOfElementZeroThatStartHiddenAndNeverReusesAnIndex)
{
    ui::PictureBox zero;
    zero.Left = 5;
    zero.Width = 735;
    zero.Visible = true;
    zero.Enabled = false;
    zero.Picture = ui::makePicture("invader.gif", "picCastleKiller(0)");
    ui::ControlArray<ui::PictureBox> a({zero});
    EXPECT_EQ(a.UBound(), 0);
    a(0).Left = 99;  // the copy is of element 0 as it is now
    ui::PictureBox& one = a.Load(1);
    EXPECT_FALSE(one.Visible);
    EXPECT_FALSE(one.Enabled);
    EXPECT_EQ(one.Left, 99);
    EXPECT_EQ(one.Width, 735);
    EXPECT_EQ(one.Picture, a(0).Picture);  // the same picture object
    EXPECT_EQ(a.UBound(), 1);
    EXPECT_THROW(a.Load(3), ui::RuntimeError);  // only the next index can be made
    EXPECT_THROW(a(2), ui::RuntimeError);
    EXPECT_THROW(a(-1), ui::RuntimeError);
}

// Steps counted during a run of the timers and taken later must leave every
// element exactly where stepping at once leaves it: across a block's end and
// a group's tail, for -0, NaN, huge and tiny values, with a query, a new
// element and a change of step in the middle of the run.
TEST(SpriteArray, stepsCountedInARunEndWhereStepsTakenAtOnceDo)
{
    const float values[] = {0.0f, -0.0f, std::numeric_limits<float>::quiet_NaN(), 1e30f, -3.5e-41f, 7.25f, -1e7f};
    auto fill = [&](ui::SpriteArray& a) {
        for (int i = 1; i < 4096 + 70; ++i) {
            const ui::SpriteRef e = a.Load(i);
            e.Left = values[i % 7] * static_cast<float>(i % 3 + 1);
            e.Top = values[(i + 3) % 7];
            e.Visible = i % 5 != 0;
        }
    };
    ui::PictureBox design;
    design.Visible = true;
    ui::StepBatching batching;
    ui::SpriteArray batched(design, &batching), direct(design);
    fill(batched);
    fill(direct);
    const ui::SpriteView held = std::as_const(batched)(4100);
    // Eleven ticks: a query at the fifth, a new element at the seventh, the
    // step changed at the ninth.
    auto tick = [](ui::SpriteArray& a, int n) {
        if (n == 5) static_cast<void>(a.allFinite());  // a query takes what was counted so far
        if (n == 7) a.Load(a.UBound() + 1).Visible = true;
        if (n < 9)
            a.stepShown(55.0f, 30.0f);
        else
            a.stepShown(0.0f, 70.0f);
    };
    ui::Scheduler s;
    int n = 0;
    ui::Timer t(s, 1, [&] { tick(batched, ++n); });
    t.setEnabled(true);
    {
        const ui::StepBatch run(batching);
        s.advanceTo(11);
    }
    for (int i = 1; i <= 11; ++i) tick(direct, i);
    ASSERT_EQ(batched.UBound(), direct.UBound());
    for (int i = 0; i <= direct.UBound(); ++i) {
        const ui::SpriteView a = std::as_const(batched)(i), b = std::as_const(direct)(i);
        ASSERT_EQ(std::bit_cast<std::uint32_t>(a.Left), std::bit_cast<std::uint32_t>(b.Left)) << i;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(a.Top), std::bit_cast<std::uint32_t>(b.Top)) << i;
    }
    EXPECT_EQ(std::bit_cast<std::uint32_t>(held.Top), std::bit_cast<std::uint32_t>(direct(4100).Top));
}

// A window may be closed in the middle of a run: its arrays leave the batch,
// and the others still take their steps when it closes.
TEST(SpriteArray, anArrayDestroyedInARunLeavesTheBatch)
{
    ui::PictureBox design;
    design.Visible = true;
    ui::StepBatching batching;
    auto first = std::make_unique<ui::SpriteArray>(design, &batching);
    auto middle = std::make_unique<ui::SpriteArray>(design, &batching);
    ui::SpriteArray last(design, &batching);
    ui::Scheduler s;
    ui::Timer t(s, 10, [&] {
        first->stepShown(1.0f, 0.0f);
        middle->stepShown(1.0f, 0.0f);
        last.stepShown(1.0f, 0.0f);
        middle.reset();
        first.reset();
    });
    t.setEnabled(true);
    {
        const ui::StepBatch run(batching);
        s.advanceTo(10);
    }
    EXPECT_EQ(std::as_const(last)(0).Left, -1.0f);
}

// A handler that held a view of an element while it stepped the array would
// read the element where it stood before the step; debug builds refuse the step.
TEST(SpriteArray, aStepWhileAViewTakenInTheRunIsAliveIsRefusedInDebugBuilds)
{
#ifdef NDEBUG
    GTEST_SKIP() << "checked in debug builds only";
#else
    ui::PictureBox design;
    ui::StepBatching batching;
    ui::SpriteArray a(design, &batching);
    const ui::SpriteView before = std::as_const(a)(0);  // taken outside the run: it sees every step
    {
        const ui::StepBatch run(batching);
        {
            const ui::SpriteRef held = a(0);
            const ui::SpriteRef copy = held;
            EXPECT_THROW(a.stepShown(1.0f, 0.0f), std::logic_error);
        }
        a.stepShown(1.0f, 0.0f);  // the views are gone
    }
    EXPECT_EQ(before.Left, -1.0f) << "one step, taken when the run closed";
#endif
}

TEST(Picture, copiesAreDistinctObjectsShowingTheSameImage)
{
    ui::PictureRef source = ui::makePicture("mage_left.gif", "picBlackMageLeft");
    ui::PictureRef own = ui::makePicture("mage_left.gif", "picHero");
    ui::PictureBox hero;
    hero.Picture = own;
    EXPECT_NE(hero.Picture, source);
    EXPECT_EQ(hero.Picture->image, source->image);
    hero.Picture = source;  // assignment shares the object
    EXPECT_EQ(hero.Picture, source);
}

}  // namespace
