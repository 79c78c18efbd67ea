#include "shell/game_clock.h"

#include <algorithm>

#include "ui/scheduler.h"

namespace shell {

void GameClock::start(std::int64_t now)
{
    offset_ = now - scheduler_.now();
}

std::optional<std::int64_t> GameClock::present(std::int64_t now)
{
    if (scheduler_.busy()) return std::nullopt;
    std::int64_t target = now - offset_;
    const std::int64_t due = scheduler_.nextDue();
    if (due >= 0 && target > due + kMaxLateness) {
        const std::int64_t cut = target - (due + kMaxLateness);
        offset_ += cut;
        if (cut <= kMaxHiccup) debt_ += cut;
        target = due + kMaxLateness;
    }
    return std::max(target, scheduler_.now());
}

void GameClock::wake()
{
    if (debt_ > 0 && !scheduler_.busy()) {
        const std::int64_t pay = std::min(debt_, kRepayPerWake);
        offset_ -= pay;
        debt_ -= pay;
    }
}

std::int64_t GameClock::delayToNextDue(std::int64_t now) const
{
    const std::int64_t due = scheduler_.nextDue();
    if (due < 0) return -1;
    return std::max<std::int64_t>(0, due + offset_ - now);
}

}  // namespace shell
