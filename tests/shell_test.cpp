#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "shell/game_clock.h"
#include "shell/physical_keys.h"
#include "shell/zoom.h"
#include "ui/scheduler.h"

namespace {

TEST(PhysicalKeys, BothShellsNameTheSameKeysAlike)
{
    // X keycode and KeyboardEvent.code of one physical key give one code.
    const struct {
        std::uint32_t scan;
        const char* code;
        int vk;
    } keys[] = {{25, "KeyW", 'W'},          {38, "KeyA", 'A'},      {39, "KeyS", 'S'},       {40, "KeyD", 'D'},
                {10, "Digit1", '1'},        {12, "Digit3", '3'},    {87, "Numpad1", 97},     {104, "NumpadEnter", 13},
                {94, "IntlBackslash", 226}, {62, "ShiftRight", 16}, {135, "ContextMenu", 93}};
    for (const auto& k : keys) {
        EXPECT_EQ(shell::virtualKeyByScanCode(k.scan), k.vk) << k.code;
        EXPECT_EQ(shell::virtualKeyByCodeName(k.code), k.vk) << k.code;
    }
    for (const char* unknown : {"", "Fn", "keyw", "KeyW ", "Lang1"}) EXPECT_EQ(shell::virtualKeyByCodeName(unknown), 0);
    for (std::uint32_t scan : {0u, 8u, 136u, 100000u}) EXPECT_EQ(shell::virtualKeyByScanCode(scan), 0);
}

TEST(GameClock, AHiddenPageWokenOnceASecondLagsInsteadOfBursting)
{
    ui::Scheduler scheduler;
    int ticks = 0;
    ui::Timer tick{scheduler, 25, [&] { ++ticks; }};
    shell::GameClock clock{scheduler};
    std::int64_t wall = 5000;
    clock.start(wall);
    tick.setEnabled(true);
    // A browser runs a hidden page's timers at most once a second: each late
    // wake-up fires what is due and at most kMaxLateness more, never the
    // second's forty ticks.
    for (int second = 1; second <= 10; ++second) {
        wall += 1000;
        clock.wake();
        const std::optional<std::int64_t> present = clock.present(wall);
        ASSERT_TRUE(present);
        const int before = ticks;
        scheduler.advanceTo(*present);
        EXPECT_LE(ticks - before, 1 + shell::GameClock::kMaxLateness / 25) << "second " << second;
        EXPECT_EQ(clock.debt(), 0) << "a long gap stays lag";
    }
    // Shown again: on time at once, at the due rate.
    wall += 25;
    scheduler.advanceTo(*clock.present(wall));
    EXPECT_EQ(clock.delayToNextDue(wall), scheduler.nextDue() + clock.offset() - wall);
}

TEST(Zoom, TheLargestSmallRatioThatFitsWithTheFrame)
{
    const shell::Extent field{1608, 897}, frame{6, 33};
    EXPECT_EQ(shell::fittingZoom(field, frame, {1920, 1080}, 1.0), (shell::Zoom{1, 1}));
    EXPECT_EQ(shell::fittingZoom(field, frame, {1366, 768}, 1.0), (shell::Zoom{4, 5}));
    EXPECT_EQ(shell::fittingZoom(field, frame, {1, 1}, 1.0), (shell::Zoom{1, 8}));
    EXPECT_EQ(shell::fittingZoom(field, frame, {}, 0.9), (shell::Zoom{7, 8}));
    EXPECT_EQ((shell::Zoom{4, 5}).toDesign(401), 501);
}

}  // namespace
