// How faithfully the game keeps time on a real display: the desktop program
// as a player starts it (real clock, real pictures), Start pressed, then the
// event loop left alone for N seconds of wall time (60 unless given). Prints
// how often the clock, the mage's movement and the collision test fired
// against the ideal counts, how late their firings came, how far the game
// clock fell behind the wall clock, and where the event loop's time went.
//
//   zorvane_realtime_fidelity [seconds]
//
// Needs a display: run it under xvfb-run (bench/realtime/run.sh does).
//
// So that the game runs for the whole measurement, the mage is parked right
// after Start where no invader passes, and the castle and the mage are given
// far more life than a game gives. Nothing else is touched: no key, no click.
//
// The counts are taken N seconds after the instant the battlefield's timers
// started, plus 20 ms of grace: a firing due at exactly N seconds counts when
// it comes at most as late as the driver lets a firing be before the game
// clock starts to lag (RealTimeDriver::kMaxLateness), and the next collision
// tick (25 ms later) cannot sneak in, since the driver never fires early.

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/battlefield_widget.h"
#include "app/shell.h"
#include "app/title_widget.h"
#include "arrange.h"

namespace {

QElapsedTimer wall;  // the one clock: the game's driver reads it too

double wallMs()
{
    return static_cast<double>(wall.nsecsElapsed()) / 1e6;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// How long this thread has waited on a run queue, in ms: ready to run while
// another process had the CPU (/proc/thread-self/schedstat, second field).
double runQueueWaitMs()
{
    std::FILE* f = std::fopen("/proc/thread-self/schedstat", "r");
    if (f == nullptr) return -1;
    unsigned long long running = 0, waiting = 0;
    const int got = std::fscanf(f, "%llu %llu", &running, &waiting);
    std::fclose(f);
    return got == 2 ? static_cast<double>(waiting) / 1e6 : -1;
}

// Nearest-rank percentiles.
struct Summary {
    std::size_t n = 0;
    double p50 = 0, p95 = 0, p99 = 0, max = 0, mean = 0;
};

Summary summarise(std::vector<double> values)
{
    Summary s;
    s.n = values.size();
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    auto rank = [&](double p) {
        const auto k = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(values.size())));
        return values[std::min(values.size() - 1, k == 0 ? 0 : k - 1)];
    };
    s.p50 = rank(50);
    s.p95 = rank(95);
    s.p99 = rank(99);
    s.max = values.back();
    double sum = 0;
    for (double v : values) sum += v;
    s.mean = sum / static_cast<double>(values.size());
    return s;
}

void printSummary(const char* what, const std::vector<double>& values)
{
    const Summary s = summarise(values);
    std::printf("  %-28s n=%-6zu p50 %7.3f  p95 %7.3f  p99 %7.3f  max %8.3f  mean %7.3f ms\n", what, s.n, s.p50, s.p95,
                s.p99, s.max, s.mean);
}

// One of the three timers being watched: its firings and how late each came.
struct Watched {
    Watched(const char* timerName, const ui::Timer* watchedTimer) : name(timerName), timer(watchedTimer) {}
    const char* name;
    const ui::Timer* timer;
    std::uint64_t firingsBefore = 0;
    std::vector<double> lateness;  // ms after the due time on the game clock as it stood
    std::vector<double> drift;     // ms after the due time on the ideal wall-clock grid
    std::uint64_t atStart = 0;
};

// The application, with a stopwatch around the two deliveries that matter:
// the driver's wake-ups (every game handler runs inside one) and the
// battlefield's repaints (painting the scene and handing it to the display).
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    app::Shell* shell = nullptr;
    std::vector<Watched>* watched = nullptr;
    bool measuring = false;
    double startReal = 0;  // wall ms at which the battlefield's timers started

    std::vector<double> wakeCost;      // ms from a wake-up to the end of its handlers and follow-up
    std::vector<double> wakeLateness;  // ms after the armed due time (earliest firing)
    std::vector<double> frameCost;     // ms per battlefield repaint, flush included
    std::vector<double> paintCost;     // ms per battlefield paint event alone
    std::uint64_t lagged = 0;          // wake-ups after which the game clock lagged more

    // The latest wake-ups, for a closer look at the worst of them.
    struct Wake {
        double at;          // ms after the timers' start
        double lateness;    // ms after the armed due time
        double runWait;     // ms spent waiting for a CPU since the previous wake-up
        double sinceEvent;  // ms since the event loop last finished delivering anything
        double lagAdded;    // ms the game clock fell further behind
    };
    std::vector<Wake> wakes;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!measuring || shell == nullptr) return QApplication::notify(receiver, event);
        bool result = false;
        if (receiver == &shell->driver().timer() && event->type() == QEvent::Timer) {
            result = timedWake(receiver, event);
        } else if (QWidget* field = shell->battlefield();
                   field != nullptr && receiver == field &&
                   (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Paint)) {
            const double t0 = wallMs();
            result = QApplication::notify(receiver, event);
            (event->type() == QEvent::Paint ? paintCost : frameCost).push_back(wallMs() - t0);
        } else {
            result = QApplication::notify(receiver, event);
        }
        lastDelivered_ = wallMs();
        return result;
    }

private:
    double lastDelivered_ = 0;
    double lastRunWait_ = -1;

    bool timedWake(QObject* receiver, QEvent* event)
    {
        const double woke = wallMs();
        const double runWait = runQueueWaitMs();
        const std::int64_t offsetBefore = shell->driver().offset();
        const std::int64_t armedDue = shell->program().scheduler().nextDue();
        for (Watched& w : *watched) w.firingsBefore = w.timer->firings();
        const bool result = QApplication::notify(receiver, event);
        wakeCost.push_back(wallMs() - woke);
        const double late = armedDue >= 0 ? woke - static_cast<double>(armedDue + offsetBefore) : 0.0;
        if (armedDue >= 0) wakeLateness.push_back(late);
        if (shell->driver().offset() != offsetBefore) ++lagged;
        wakes.push_back(Wake{woke - startReal, late, lastRunWait_ < 0 ? 0.0 : runWait - lastRunWait_,
                             woke - lastDelivered_, static_cast<double>(shell->driver().offset() - offsetBefore)});
        lastRunWait_ = runWait;
        for (Watched& w : *watched) {
            const std::uint64_t fired = w.timer->firings() - w.firingsBefore;
            const std::int64_t interval = w.timer->Interval();
            for (std::uint64_t k = 0; k < fired; ++k) {
                // The firings of this wake-up were due one interval apart,
                // the last one an interval before the timer's next due time.
                const std::int64_t due = w.timer->due() - interval * static_cast<std::int64_t>(fired - k);
                w.lateness.push_back(woke - static_cast<double>(due + offsetBefore));
                const std::uint64_t nth = w.firingsBefore - w.atStart + k + 1;
                w.drift.push_back(woke - (startReal + static_cast<double>(interval) * static_cast<double>(nth)));
            }
        }
        return result;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    wall.start();
    const double zoom = app::setUpBeforeApplication();
    TimedApplication application(argc, argv);
    app::setUpApplication();

    const QStringList args = QCoreApplication::arguments();
    double seconds = 60;
    if (args.size() > 1) {
        bool ok = false;
        seconds = args.at(1).toDouble(&ok);
        if (!ok || seconds <= 0 || seconds > 86400) {
            std::fputs("usage: zorvane_realtime_fidelity [seconds]\n", stderr);
            return 2;
        }
    }

    app::Shell shell([] { return wall.elapsed(); }, &app::PictureCache::fromResources, zoom);
    shell.start();

    std::vector<Watched> watched;
    const game::Form1* form = nullptr;
    std::string captionBefore;
    std::array<std::uint64_t, 3> counts{};
    std::string captionAfter;
    double elapsedReal = 0;
    double cpuBefore = 0, cpuUsed = 0;
    std::int64_t offsetAtStart = 0, lag = 0;
    std::size_t invadersMade = 0;
    bool running = false;
    double startPressMs = 0;

    // The player looks at the title for half a second, then presses Start.
    QTimer::singleShot(500, Qt::PreciseTimer, &application, [&] {
        const double pressed = wallMs();
        shell.title()->startButton()->click();
        startPressMs = wallMs() - pressed;
        form = shell.program().form1IfCreated();
        if (form == nullptr || !form->tmrTimer.Enabled()) {
            std::fputs("Start did not start the battlefield\n", stderr);
            std::exit(1);
        }
        // Out of every invader's way for the first two minutes: the castle
        // killers walk up and to the left along a line from the bottom right
        // corner to the castle, far above this corner; the streams of the
        // second and third waves run along the top and the left edge.
        bench::keepPlaying(shell.programToArrange(), 12000, 11800);

        watched = {Watched{"tmrTimer", &form->tmrTimer}, Watched{"tmrCharaMovement", &form->tmrCharaMovement},
                   Watched{"tmrCollisionDetect", &form->tmrCollisionDetect}};
        for (Watched& w : watched) w.atStart = w.timer->firings();
        captionBefore = form->lblTimer.Caption;
        offsetAtStart = shell.driver().offset();
        // The battlefield's timers started their first interval at the
        // scheduler's present, which on the wall clock is present + offset.
        const double startReal = static_cast<double>(form->tmrTimer.due() - form->tmrTimer.Interval() + offsetAtStart);
        application.shell = &shell;
        application.watched = &watched;
        application.startReal = startReal;
        application.measuring = true;
        cpuBefore = cpuSeconds();

        const double end = startReal + seconds * 1000.0 + static_cast<double>(app::RealTimeDriver::kMaxLateness);
        const int wait = std::max(0, static_cast<int>(std::ceil(end - wallMs())));
        QTimer::singleShot(wait, Qt::PreciseTimer, &application, [&, startReal] {
            application.measuring = false;
            elapsedReal = (wallMs() - startReal) / 1000.0;
            cpuUsed = cpuSeconds() - cpuBefore;
            for (std::size_t i = 0; i < 3; ++i) counts[i] = watched[i].timer->firings() - watched[i].atStart;
            captionAfter = form->lblTimer.Caption;
            lag = shell.driver().offset() - offsetAtStart;
            invadersMade = form->createdInvaders().size();
            running = form->tmrCharaMovement.Enabled() && form->tmrCollisionDetect.Enabled();
            QCoreApplication::quit();
        });
    });

    QApplication::exec();
    if (form == nullptr || watched.empty()) return 1;

    const std::array<double, 3> ideal{seconds, seconds * 20.0, seconds * 40.0};
    std::printf("fidelity: %.0f s of play after Start, under %s\n", seconds,
                qPrintable(QGuiApplication::platformName()));
    std::printf("  wall time from the timers' start to the count: %.3f s (QElapsedTimer)\n", elapsedReal);
    std::printf("  process CPU time meanwhile: %.2f s (%.1f%% of one core)\n", cpuUsed,
                100.0 * cpuUsed / std::max(1e-9, elapsedReal));
    std::printf("  clock caption: %s -> %s\n", captionBefore.c_str(), captionAfter.c_str());
    std::printf("  Start press (battlefield made and shown) took %.2f ms, its first paint event %.2f ms\n",
                startPressMs, application.paintCost.empty() ? 0.0 : application.paintCost.front());
    for (std::size_t i = 0; i < 3; ++i)
        std::printf("  %-20s %7" PRIu64 " firings, ideal %7.0f: %7.2f%%\n", watched[i].name, counts[i], ideal[i],
                    100.0 * static_cast<double>(counts[i]) / ideal[i]);
    std::printf("  game clock behind the wall clock at the end: %" PRId64 " ms (%" PRIu64
                " wake-ups lagged it); the game clock ran at %.4f%% of real time\n",
                lag, application.lagged, 100.0 * (1.0 - static_cast<double>(lag) / (1000.0 * elapsedReal)));
    std::printf("  still running at the end: %s; lives left %d of 30000; castle %s of 999999; %zu invaders made\n",
                running ? "yes" : "NO", static_cast<int>(form->lives), form->lblCastleLifeBar.Caption.c_str(),
                invadersMade);
    std::printf("lateness after the due time on the game clock (ms):\n");
    for (const Watched& w : watched) printSummary(w.name, w.lateness);
    printSummary("every wake-up of the driver", application.wakeLateness);
    std::printf("drift from the ideal wall-clock grid, lag included (ms):\n");
    for (const Watched& w : watched) printSummary(w.name, w.drift);
    std::printf("where the time went (ms):\n");
    printSummary("handlers per wake-up", application.wakeCost);
    printSummary("battlefield repaint + flush", application.frameCost);
    printSummary("battlefield paint event", application.paintCost);
    std::vector<double> runWaits;
    for (const auto& w : application.wakes) runWaits.push_back(w.runWait);
    printSummary("waiting for a CPU per wake-up", runWaits);
    std::printf("the latest wake-ups (ms; CPU wait since the previous wake-up, quiet time before it):\n");
    auto worst = application.wakes;
    std::sort(worst.begin(), worst.end(), [](const auto& a, const auto& b) { return a.lateness > b.lateness; });
    for (std::size_t i = 0; i < std::min<std::size_t>(8, worst.size()); ++i)
        std::printf("  at %9.1f  late %7.2f  waited for a CPU %7.2f  quiet %7.2f  lag added %4.0f\n", worst[i].at,
                    worst[i].lateness, worst[i].runWait, worst[i].sinceEvent, worst[i].lagAdded);

    // The budget: exactly N more seconds on the clock, and the mage's and
    // the collision ticks within 1% of their ideal counts.
    const bool clockOk = static_cast<double>(counts[0]) == ideal[0];
    const bool heroOk = std::fabs(static_cast<double>(counts[1]) - ideal[1]) <= 0.01 * ideal[1];
    const bool collisionOk = std::fabs(static_cast<double>(counts[2]) - ideal[2]) <= 0.01 * ideal[2];
    std::printf("budget: clock %" PRIu64 "/%.0f %s; hero %" PRIu64 "/%.0f %s; collision %" PRIu64 "/%.0f %s\n",
                counts[0], ideal[0], clockOk ? "met" : "MISSED", counts[1], ideal[1], heroOk ? "met" : "MISSED",
                counts[2], ideal[2], collisionOk ? "met" : "MISSED");
    return clockOk && heroOk && collisionOk && running ? 0 : 3;
}
