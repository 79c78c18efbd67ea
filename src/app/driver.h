#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>

#include "shell/game_clock.h"

namespace ui {
class Scheduler;
}

namespace app {

// Tells the game's one scheduler what real time it is, under the lateness
// rule that every shell shares (shell::GameClock).
//
// One single-shot timer is armed for the earliest due firing, so the process
// wakes once per distinct due time: firings due at the same millisecond fire
// in one wake-up, and nothing wakes it while no timer is on.
class RealTimeDriver : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<qint64()>;
    static constexpr qint64 kMaxLateness = shell::GameClock::kMaxLateness;
    static constexpr qint64 kMaxHiccup = shell::GameClock::kMaxHiccup;
    static constexpr qint64 kRepayPerWake = shell::GameClock::kRepayPerWake;

    // Without a clock, a monotonic one (QElapsedTimer) is used.
    explicit RealTimeDriver(const ui::Scheduler& scheduler, Clock nowMs = {}, QObject* parent = nullptr);

    // Lines the virtual clock up with the present and arms the timer.
    void start();
    // The virtual time to bring the game up to now, under the lateness rule.
    // Nothing while a game handler is running (it is a message box's nested
    // event loop): the outer call goes on when that handler has returned.
    // The owner brings the clock there, then re-arms.
    std::optional<std::int64_t> present();
    // Arms the timer for the earliest due firing, or stops it when none is.
    void rearm();
    // The timer's own wake-up: pays back some of the hiccups' lag, then asks
    // its owner to bring the game up to the present (due()).
    void wake();

    qint64 offset() const { return clock_.offset(); }
    // Lag still to be paid back.
    qint64 debt() const { return clock_.debt(); }
    // Milliseconds until the armed wake-up, or -1 when nothing is due.
    qint64 armedDelay() const { return armedDelay_; }
    QTimer& timer() { return timer_; }

signals:
    // A firing is due: the owner brings the game up to present(), then re-arms.
    void due();

private:
    shell::GameClock clock_;
    Clock nowMs_;
    QElapsedTimer elapsed_;
    QTimer timer_;
    qint64 armedDelay_ = -1;
};

}  // namespace app
