#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace ui {

class Scheduler;

// A periodic timer. Switching it on starts a fresh interval; switching on a
// timer that is already on changes nothing; one switched off never fires.
class Timer {
public:
    Timer(Scheduler& scheduler, int interval, std::function<void()> handler);
    // A timer that joins a scheduler later, with attach().
    Timer() = default;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    // Joins the scheduler: firings due in the same millisecond go in the order
    // in which their timers joined.
    void attach(Scheduler& scheduler, int interval, std::function<void()> handler);

    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);
    int Interval() const { return interval_; }
    std::int64_t due() const { return due_; }
    // How many times it has fired, for those who measure the game's pace.
    std::uint64_t firings() const { return firings_; }

private:
    friend class Scheduler;
    Scheduler* scheduler_ = nullptr;
    int interval_ = 0;
    bool enabled_ = false;
    std::int64_t due_ = 0;
    std::uint64_t firings_ = 0;
    std::function<void()> handler_;
};

// Fires timers on an injected clock of whole milliseconds. Firings due at the
// same millisecond go in the order the timers were registered; every handler
// runs to its end before another starts, and no handler starts while another
// is still running (a modal box shown from a handler keeps the others waiting).
class Scheduler {
public:
    Scheduler() = default;
    // Its timers know it by address.
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;
    // Timers that outlive it are left detached: they never fire, and
    // switching them changes nothing.
    ~Scheduler();

    std::int64_t now() const { return now_; }
    bool busy() const { return busy_; }

    // Fires, one at a time and in order, every firing due in (now, t]; then the
    // clock stands at t. Returns at once (firing nothing) when called from
    // inside a handler.
    void advanceTo(std::int64_t t);

    // The due time of the next firing, or -1 when no timer is on.
    std::int64_t nextDue() const;

private:
    friend class Timer;
    void add(Timer* t) { timers_.push_back(t); }
    void remove(Timer* t);
    Timer* earliestDueBy(std::int64_t t) const;

    std::vector<Timer*> timers_;
    std::int64_t now_ = 0;
    bool busy_ = false;
};

}  // namespace ui
