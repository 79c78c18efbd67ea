#include "app/driver.h"

#include <algorithm>

#include "ui/scheduler.h"

namespace app {

RealTimeDriver::RealTimeDriver(const ui::Scheduler& scheduler, Clock nowMs, QObject* parent)
    : QObject(parent), scheduler_(scheduler), nowMs_(std::move(nowMs))
{
    if (!nowMs_) {
        elapsed_.start();
        nowMs_ = [this] { return elapsed_.elapsed(); };
    }
    timer_.setSingleShot(true);
    // A coarse timer may wake up to 5% early and shifts its phase; a tick
    // should come as close to its due time as the system allows.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &RealTimeDriver::wake);
}

void RealTimeDriver::start()
{
    offset_ = nowMs_() - scheduler_.now();
    rearm();
}

std::optional<std::int64_t> RealTimeDriver::present()
{
    if (scheduler_.busy()) return std::nullopt;
    std::int64_t target = nowMs_() - offset_;
    const std::int64_t due = scheduler_.nextDue();
    if (due >= 0 && target > due + kMaxLateness) {
        const std::int64_t cut = target - (due + kMaxLateness);
        offset_ += cut;
        if (cut <= kMaxHiccup) debt_ += cut;
        target = due + kMaxLateness;
    }
    return std::max(target, scheduler_.now());
}

void RealTimeDriver::wake()
{
    if (debt_ > 0 && !scheduler_.busy()) {
        const qint64 pay = std::min(debt_, kRepayPerWake);
        offset_ -= pay;
        debt_ -= pay;
    }
    emit due();
}

void RealTimeDriver::rearm()
{
    const std::int64_t due = scheduler_.nextDue();
    if (due < 0) {
        timer_.stop();
        armedDelay_ = -1;
        return;
    }
    armedDelay_ = std::max<qint64>(0, due + offset_ - nowMs_());
    timer_.start(static_cast<int>(std::min<qint64>(armedDelay_, 1 << 30)));
}

}  // namespace app
