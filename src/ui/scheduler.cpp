#include "ui/scheduler.h"

#include <algorithm>

#include "ui/error.h"
#include "ui/untraced.h"

namespace ui {

Timer::Timer(Scheduler& scheduler, int interval, std::function<void()> handler)
{
    attach(scheduler, interval, std::move(handler));
}

void Timer::attach(Scheduler& scheduler, int interval, std::function<void()> handler)
{
    if (scheduler_ != nullptr) scheduler_->remove(this);
    scheduler_ = &scheduler;
    interval_ = interval;
    handler_ = std::move(handler);
    scheduler_->add(this);
}

Timer::~Timer()
{
    if (scheduler_ != nullptr) scheduler_->remove(this);
}

void Timer::setEnabled(bool on)
{
    if (on == enabled_ || scheduler_ == nullptr) return;
    enabled_ = on;
    if (on) due_ = scheduler_->now() + interval_;
}

Scheduler::~Scheduler()
{
    for (Timer* timer : timers_) timer->scheduler_ = nullptr;
}

void Scheduler::remove(Timer* t)
{
    timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end());
}

ZORVANE_UNTRACED Timer* Scheduler::earliestDueBy(std::int64_t t) const
{
    Timer* best = nullptr;
    for (Timer* timer : timers_) {
        if (!timer->enabled_ || timer->due_ > t) continue;
        if (best == nullptr || timer->due_ < best->due_) best = timer;
    }
    return best;
}

ZORVANE_UNTRACED std::int64_t Scheduler::nextDue() const
{
    std::int64_t best = -1;
    for (const Timer* timer : timers_)
        if (timer->enabled_ && (best < 0 || timer->due_ < best)) best = timer->due_;
    return best;
}

void Scheduler::advanceTo(std::int64_t t)
{
    if (busy_) return;
    while (Timer* timer = earliestDueBy(t)) {
        now_ = timer->due_;
        // The next period runs from this firing; a handler that switches its
        // own timer off and on again starts the same fresh period.
        timer->due_ += timer->interval_;
        ++timer->firings_;
        busy_ = true;
        try {
            timer->handler_();
        } catch (const RuntimeError&) {
            // The handler stops where it failed; play goes on.
        } catch (...) {
            busy_ = false;
            throw;
        }
        busy_ = false;
    }
    if (t > now_) now_ = t;
}

}  // namespace ui
