#include "ui/scheduler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/error.h"

namespace {

struct Log {
    std::vector<std::string> fired;
};

TEST(Scheduler, aTimerSwitchedOnFiresAfterOneIntervalThenEveryInterval)
{
    ui::Scheduler s;
    std::vector<std::int64_t> at;
    ui::Timer t(s, 50, [&] { at.push_back(s.now()); });
    s.advanceTo(10);
    t.setEnabled(true);
    s.advanceTo(59);
    EXPECT_TRUE(at.empty());
    s.advanceTo(60);
    s.advanceTo(200);
    EXPECT_EQ(at, (std::vector<std::int64_t>{60, 110, 160}));
    EXPECT_EQ(s.now(), 200);
}

TEST(Scheduler, switchingOnATimerThatIsOnChangesNothingAndOffNeverFires)
{
    ui::Scheduler s;
    std::vector<std::int64_t> at;
    ui::Timer t(s, 100, [&] { at.push_back(s.now()); });
    t.setEnabled(true);
    s.advanceTo(70);
    t.setEnabled(true);  // already on: still due at 100
    s.advanceTo(100);
    EXPECT_EQ(at, (std::vector<std::int64_t>{100}));
    s.advanceTo(150);
    t.setEnabled(false);
    s.advanceTo(1000);
    EXPECT_EQ(at.size(), 1u);
    t.setEnabled(true);  // off then on: a fresh interval from now
    s.advanceTo(1099);
    EXPECT_EQ(at.size(), 1u);
    s.advanceTo(1100);
    EXPECT_EQ(at.back(), 1100);
}

TEST(Scheduler, sameMillisecondFiringsGoInRegistrationOrderOneHandlerAtATime)
{
    ui::Scheduler s;
    Log log;
    bool inside = false;
    auto handler = [&](const char* name) {
        return [&, name] {
            EXPECT_FALSE(inside);
            inside = true;
            log.fired.push_back(std::string(name) + "@" + std::to_string(s.now()));
            inside = false;
        };
    };
    ui::Timer a(s, 50, handler("a"));
    ui::Timer b(s, 25, handler("b"));
    ui::Timer c(s, 100, handler("c"));
    c.setEnabled(true);
    b.setEnabled(true);
    a.setEnabled(true);
    s.advanceTo(100);
    EXPECT_EQ(log.fired, (std::vector<std::string>{"b@25", "a@50", "b@50", "b@75", "a@100", "b@100", "c@100"}));
}

TEST(Scheduler, aTimerSwitchedOnByAHandlerTakesItsPlaceInTheFixedOrder)
{
    ui::Scheduler s;
    Log log;
    ui::Timer first(s, 50, [&] { log.fired.push_back("first@" + std::to_string(s.now())); });
    ui::Timer* laterPtr = nullptr;
    ui::Timer starter(s, 50, [&] {
        log.fired.push_back("starter@" + std::to_string(s.now()));
        laterPtr->setEnabled(true);
    });
    ui::Timer later(s, 50, [&] { log.fired.push_back("later@" + std::to_string(s.now())); });
    laterPtr = &later;
    starter.setEnabled(true);
    s.advanceTo(50);
    first.setEnabled(true);  // also due at 100, and registered before both
    s.advanceTo(100);
    EXPECT_EQ(log.fired, (std::vector<std::string>{"starter@50", "first@100", "starter@100", "later@100"}));
}

TEST(Scheduler, aHandlerThatSwitchesItsOwnTimerOffAndOnRestartsItsPeriod)
{
    ui::Scheduler s;
    std::vector<std::int64_t> at;
    ui::Timer* self = nullptr;
    ui::Timer t(s, 25, [&] {
        at.push_back(s.now());
        self->setEnabled(false);
        self->setEnabled(true);
    });
    self = &t;
    t.setEnabled(true);
    s.advanceTo(75);
    EXPECT_EQ(at, (std::vector<std::int64_t>{25, 50, 75}));
}

TEST(Scheduler, noHandlerStartsInsideAnotherAndAFailingHandlerStopsAlone)
{
    ui::Scheduler s;
    int nested = 0;
    int failures = 0;
    ui::Timer inner(s, 10, [&] { ++nested; });
    ui::Timer outer(s, 10, [&] {
        // A modal box spinning the loop from inside a handler must not let
        // another handler run.
        s.advanceTo(s.now() + 1000);
        ++failures;
        throw ui::RuntimeError("failed property access");
    });
    inner.setEnabled(true);
    outer.setEnabled(true);
    s.advanceTo(10);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(s.now(), 10);
    EXPECT_FALSE(s.busy());
    s.advanceTo(20);
    EXPECT_EQ(failures, 2);
}

TEST(Scheduler, nextDueNamesTheEarliestFiringOrNoneWhenAllAreOff)
{
    ui::Scheduler s;
    ui::Timer a(s, 40, [] {});
    ui::Timer b(s, 30, [] {});
    EXPECT_EQ(s.nextDue(), -1);
    a.setEnabled(true);
    b.setEnabled(true);
    EXPECT_EQ(s.nextDue(), 30);
}

// A timer that outlives its scheduler (a window kept after its program) is
// left detached instead of reaching back into freed memory.
TEST(Scheduler, aTimerThatOutlivesItsSchedulerIsDetached)
{
    int fired = 0;
    auto s = std::make_unique<ui::Scheduler>();
    ui::Timer t(*s, 10, [&] { ++fired; });
    t.setEnabled(true);
    s.reset();
    t.setEnabled(false);
    t.setEnabled(true);
    EXPECT_EQ(fired, 0);
}

}  // namespace
