#include "app/driver.h"

#include <algorithm>

namespace app {

RealTimeDriver::RealTimeDriver(const ui::Scheduler& scheduler, Clock nowMs, QObject* parent)
    : QObject(parent), clock_(scheduler), nowMs_(std::move(nowMs))
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
    clock_.start(nowMs_());
    rearm();
}

std::optional<std::int64_t> RealTimeDriver::present()
{
    return clock_.present(nowMs_());
}

void RealTimeDriver::wake()
{
    clock_.wake();
    emit due();
}

void RealTimeDriver::rearm()
{
    armedDelay_ = clock_.delayToNextDue(nowMs_());
    if (armedDelay_ < 0) {
        timer_.stop();
        return;
    }
    timer_.start(static_cast<int>(std::min<qint64>(armedDelay_, 1 << 30)));
}

}  // namespace app
