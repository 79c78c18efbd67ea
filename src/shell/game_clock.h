#pragma once

#include <cstdint>
#include <optional>

namespace ui {
class Scheduler;
}

namespace shell {

// Real time turned into the game's virtual time, for any shell that wakes
// the game with real timers. Virtual time is real time minus an offset. A
// wake-up that comes late does not replay the missed ticks in a burst: the
// virtual target is held at most kMaxLateness past the earliest due firing
// and the offset grows by the rest, so the game clock lags behind the wall
// clock instead (time spent in a modal message box, or in a browser tab that
// was hidden and woken once a second, becomes lag the same way). A short
// hiccup (a late first frame, the process put aside for a moment) is paid
// back afterwards, a few milliseconds per wake-up, so that the clock keeps
// time over a minute without ever firing a burst.
class GameClock {
public:
    static constexpr std::int64_t kMaxLateness = 20;
    // Lag of at most this much from one late wake-up is paid back, at most
    // kRepayPerWake per timer wake-up; a longer gap (a modal box) stays lag.
    static constexpr std::int64_t kMaxHiccup = 250;
    static constexpr std::int64_t kRepayPerWake = 5;

    explicit GameClock(const ui::Scheduler& scheduler) : scheduler_(scheduler) {}

    // Lines the virtual clock up with the wall clock's `now`.
    void start(std::int64_t now);
    // The virtual time to bring the game up to at wall time `now`, under the
    // lateness rule. Nothing while a game handler is running (it is a message
    // box's nested event loop): the outer call goes on when it has returned.
    std::optional<std::int64_t> present(std::int64_t now);
    // A timer's own wake-up: pays back some of the hiccups' lag.
    void wake();
    // Milliseconds of wall time from `now` to the earliest due firing (at
    // least 0), or -1 when nothing is due.
    std::int64_t delayToNextDue(std::int64_t now) const;

    std::int64_t offset() const { return offset_; }
    // Lag still to be paid back.
    std::int64_t debt() const { return debt_; }

private:
    const ui::Scheduler& scheduler_;
    std::int64_t offset_ = 0;
    std::int64_t debt_ = 0;
};

}  // namespace shell
