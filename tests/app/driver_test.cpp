#include "app/driver.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "ui/scheduler.h"

namespace {

// A scheduler with a 25 ms and a 50 ms timer, driven on a fake wall clock.
struct Driven {
    qint64 wall = 1000;  // the wall clock does not start at 0
    ui::Scheduler scheduler;
    std::vector<std::pair<char, std::int64_t>> fired;  // timer, virtual time
    std::function<void()> onFifty;
    ui::Timer fast{scheduler, 25, [this] { fired.emplace_back('f', scheduler.now()); }};
    ui::Timer slow{scheduler, 50, [this] {
                       fired.emplace_back('s', scheduler.now());
                       if (onFifty) onFifty();
                   }};
    app::RealTimeDriver driver{scheduler, [this] { return wall; }};

    // As the shell does: a due wake-up brings the game up to the present.
    Driven()
    {
        QObject::connect(&driver, &app::RealTimeDriver::due, [this] { catchUp(); });
    }
    void catchUp()
    {
        if (const std::optional<std::int64_t> present = driver.present()) {
            scheduler.advanceTo(*present);
            driver.rearm();
        }
    }

    int count(char which) const
    {
        int n = 0;
        for (auto& f : fired) n += f.first == which;
        return n;
    }
};

TEST(RealTimeDriver, FiresOnTimeAndArmsForTheNextDueFiring)
{
    Driven d;
    d.driver.start();
    EXPECT_EQ(d.driver.armedDelay(), -1) << "no timer is on";
    EXPECT_FALSE(d.driver.timer().isActive());

    d.fast.setEnabled(true);
    d.slow.setEnabled(true);
    d.catchUp();
    EXPECT_EQ(d.driver.armedDelay(), 25);
    EXPECT_TRUE(d.driver.timer().isActive());
    EXPECT_EQ(d.driver.timer().timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(d.driver.timer().isSingleShot());

    d.wall = 1024;  // a millisecond early: nothing yet
    d.catchUp();
    EXPECT_TRUE(d.fired.empty());
    EXPECT_EQ(d.driver.armedDelay(), 1);

    d.wall = 1025;
    d.catchUp();
    d.wall = 1050;
    d.catchUp();
    EXPECT_EQ(d.fired, (std::vector<std::pair<char, std::int64_t>>{{'f', 25}, {'f', 50}, {'s', 50}}));
    EXPECT_EQ(d.scheduler.now(), 50);
    EXPECT_EQ(d.driver.offset(), 1000);
    EXPECT_EQ(d.driver.armedDelay(), 25);
}

TEST(RealTimeDriver, ALateWakeUpLagsInsteadOfReplayingTheMissedTicks)
{
    Driven d;
    d.fast.setEnabled(true);
    d.slow.setEnabled(true);
    d.driver.start();

    // 475 ms late: without the rule this would fire 20 ticks at once.
    d.wall = 1500;
    d.catchUp();
    EXPECT_EQ(d.fired, (std::vector<std::pair<char, std::int64_t>>{{'f', 25}}));
    EXPECT_EQ(d.scheduler.now(), 45) << "held at the earliest due time plus 20 ms";
    EXPECT_EQ(d.driver.offset(), 1455) << "the cut-off time became lag";
    EXPECT_EQ(d.driver.armedDelay(), 5) << "the 50 ms tick is 5 ms away in the lagging clock";

    // From there on the ticks come at their pace again.
    d.wall = 1505;
    d.catchUp();
    EXPECT_EQ(d.count('f'), 2);
    EXPECT_EQ(d.count('s'), 1);
    d.wall = 1530;
    d.catchUp();
    d.wall = 1555;
    d.catchUp();
    EXPECT_EQ(d.count('f'), 4);
    EXPECT_EQ(d.count('s'), 2);
    EXPECT_EQ(d.driver.offset(), 1455);
}

TEST(RealTimeDriver, AShortHiccupIsPaidBackAFewMillisecondsPerWakeWithoutABurst)
{
    Driven d;
    d.fast.setEnabled(true);
    d.driver.start();

    d.wall = 1085;  // 60 ms late: 40 ms of it cut off as lag
    d.driver.wake();
    EXPECT_EQ(d.count('f'), 1);
    EXPECT_EQ(d.driver.offset(), 1040);
    EXPECT_EQ(d.driver.debt(), 40);

    // Each later wake-up gives back 5 ms; no wake-up fires the tick twice.
    for (int i = 0; i < 8; ++i) {
        const int before = d.count('f');
        d.wall += 20;
        d.driver.wake();
        EXPECT_LE(d.count('f') - before, 1);
    }
    EXPECT_EQ(d.driver.debt(), 0);
    EXPECT_EQ(d.driver.offset(), 1000) << "the clock is back on time";
}

TEST(RealTimeDriver, NothingRunsInsideAHandlerAndTheTimeInAModalBoxBecomesLag)
{
    Driven d;
    d.fast.setEnabled(true);
    d.slow.setEnabled(true);
    d.driver.start();
    int nestedCalls = 0;
    d.onFifty = [&] {
        // What a message box does: the wall clock runs on and the event loop
        // wakes the driver while the handler still waits for OK.
        d.onFifty = nullptr;
        d.wall += 5000;
        ++nestedCalls;
        d.catchUp();
        d.catchUp();
    };

    d.wall = 1025;
    d.catchUp();
    d.wall = 1050;
    d.catchUp();
    EXPECT_EQ(nestedCalls, 1);
    EXPECT_EQ(d.fired, (std::vector<std::pair<char, std::int64_t>>{{'f', 25}, {'f', 50}, {'s', 50}}))
        << "no firing started inside the handler";
    EXPECT_EQ(d.driver.armedDelay(), 0) << "re-armed after the handler, already overdue";

    d.catchUp();
    EXPECT_EQ(d.count('f'), 3) << "one firing, not two hundred";
    EXPECT_EQ(d.scheduler.now(), 95);
    EXPECT_EQ(d.driver.offset(), 6050 - 95);
}

}  // namespace
