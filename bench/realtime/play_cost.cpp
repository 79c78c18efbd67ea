// What real play costs the whole machine: the game's own process and the
// display server it hands its frames to, over N seconds of play on a real
// display (20 unless given), and the same for floors, bare Qt windows that do
// the same work.
//
//   zorvane_realtime_play_cost [--field N] [--zoom F] [--floor] [--server PID]... [seconds]
//
// The program is the game as main() sets it up (the same application
// set-up, Shell, pictures, fonts and clock). Half a second after the title
// shows, Start is clicked; one second later the measurement starts. Without
// --field nothing more is done: the player stays idle in wave 1 (the castle
// killers walk in and hit the castle or the mage as they would), and the
// report gives how many invaders the field showed on average, read at
// every eighth timer wake-up: the floor for the same work shows as many. With
// --field N, at Start about N castle killers are put on the field, and more
// queue below its bottom edge so that about N stay on it all the time: they
// walk in eight lanes across the bottom left of the field, below the castle,
// and out through the left edge. So that the game does not end meanwhile,
// the mage is parked top right, out of every invader's way, and the castle
// and the mage get far more life than a game gives, as the fidelity
// measurement does.
//
// With --floor there is no game: a bare window of the battlefield's size,
// woken by a single-shot precise timer re-armed each time for the next 25 ms
// of a fixed grid (40 wake-ups a second, as the game's while it plays),
// steps on every other wake-up.
// Alone, it repaints one 53 x 59 rectangle (an invader's step): the idle
// floor. With --field N it shows the castle killers the field would show at
// the same places, of the same size and picture, taking the same steps, and
// repaints them as a plain Qt program would: update() for each box's old and
// new rectangle, then in the paint event the window's colour and a
// drawPixmap for each box. That is what Qt and the window system cost for
// the same pixels: the reference the game is read against. The floor uses
// Qt's defaults, as a plain program would.
//
// --zoom F (below 1) zooms the game's windows by F, as QT_SCALE_FACTOR does
// (the battlefield at 3/4 with 0.75), where a small screen would.
//
// --server PID names a process of the display side: the X server, or under
// Wayland the compositor, its helper clients and the X server it is nested
// in. Its CPU time and wake-ups over the same interval are read from
// /proc/PID/task/*/schedstat and status. Repeat it for each process.
//
// Besides the totals it prints each thread's CPU time and wake-ups (the event
// loop's apart from the toolkit's reader thread), how often the game's timer
// woke the event loop, how many battlefield frames were painted and how much
// of the window they covered, and every X event that reached the game, by
// type. The last line,
//   result: game G display D whole W wakeups K
// (per cent of one core for the game, the display side and both, and the
// game process's voluntary wake-ups a second), is what play_cost.sh reads.
// Needs a display: play_cost.sh runs it under Xvfb and under Weston.

#include <sys/resource.h>
#include <unistd.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "app/battlefield_widget.h"
#include "app/painting/picture_cache.h"
#include "app/painting/units.h"
#include "app/shell.h"
#include "app/title_widget.h"
#include "arrange.h"
#include "battlefield/form1.h"
#include "field_places.h"

namespace {

QElapsedTimer wall;  // the one clock: the game's driver reads it too

double wallSeconds()
{
    return static_cast<double>(wall.nsecsElapsed()) / 1e9;
}

// One thread: its name, CPU time (s) and voluntary context switches so far.
struct Task {
    std::string name;
    double cpu = 0;
    long wakes = 0;
};

// Every thread of process `pid` ("self" for this one), by thread id.
std::map<long, Task> tasksOf(const std::string& pid)
{
    std::map<long, Task> out;
    const std::string dir = "/proc/" + pid + "/task";
    const QStringList tids = QDir(QString::fromStdString(dir)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& tid : tids) {
        const std::string base = dir + "/" + tid.toStdString();
        Task task;
        std::ifstream comm(base + "/comm");
        std::getline(comm, task.name);
        double ns = 0;  // the first field: time on a CPU, in nanoseconds
        if (std::ifstream(base + "/schedstat") >> ns) task.cpu = ns / 1e9;
        std::ifstream status(base + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) task.wakes = std::stol(line.substr(24));
        if (!task.name.empty()) out[tid.toLong()] = task;
    }
    return out;
}

// Sums of a process's threads between two readings; threads born in between
// count from nothing.
Task since(const std::map<long, Task>& before, const std::map<long, Task>& after)
{
    Task sum;
    for (const auto& [tid, now] : after) {
        const auto was = before.find(tid);
        sum.cpu += now.cpu - (was == before.end() ? 0 : was->second.cpu);
        sum.wakes += now.wakes - (was == before.end() ? 0 : was->second.wakes);
    }
    return sum;
}

// The game's process (getrusage: every thread, those that ended included),
// its threads, and the display side's processes, read at the start and at the
// end of the measured interval.
class Measurement {
public:
    explicit Measurement(std::vector<std::string> servers) : servers_(std::move(servers)) {}

    void begin() { take(before_); }
    void end() { take(after_); }

    double elapsed() const { return after_.wall - before_.wall; }
    double gameShare() const { return 100.0 * (after_.cpu - before_.cpu) / elapsed(); }

    // The shared part of every report, ending with the result line.
    void report() const
    {
        const double s = elapsed();
        const double wakes = static_cast<double>(after_.voluntary - before_.voluntary) / s;
        std::printf(
            "  game: CPU %.3f s (user %.3f, system %.3f): %.2f%% of one core; voluntary wake-ups %.1f/s, "
            "involuntary %.1f/s\n",
            after_.cpu - before_.cpu, after_.user - before_.user, after_.system - before_.system, gameShare(), wakes,
            static_cast<double>(after_.involuntary - before_.involuntary) / s);
        std::printf("    %-32s %7s %12s\n", "thread", "CPU", "wake-ups");
        for (const auto& [tid, now] : after_.threads) {
            const Task d = since(before_.threads, {{tid, now}});
            if (d.wakes == 0 && d.cpu == 0) continue;
            const std::string name = tid == static_cast<long>(getpid()) ? "main thread (" + now.name + ")" : now.name;
            std::printf("    %-32s %6.2f%% %10.1f/s\n", name.c_str(), 100.0 * d.cpu / s,
                        static_cast<double>(d.wakes) / s);
        }
        double display = 0;
        for (std::size_t i = 0; i < servers_.size(); ++i) {
            const Task d = since(before_.servers[i], after_.servers[i]);
            const std::string name = after_.servers[i].empty() ? "(gone)" : after_.servers[i].begin()->second.name;
            std::printf("  display side: %s (pid %s): %.2f%% of one core, %.1f wake-ups/s\n", name.c_str(),
                        servers_[i].c_str(), 100.0 * d.cpu / s, static_cast<double>(d.wakes) / s);
            display += 100.0 * d.cpu / s;
        }
        if (servers_.empty()) std::printf("  display side: not measured (no --server given)\n");
        std::printf("  whole machine: %.2f%% of one core (game %.2f%% + display side %.2f%%)\n", gameShare() + display,
                    gameShare(), display);
        std::printf("result: game %.3f display %.3f whole %.3f wakeups %.1f\n", gameShare(), display,
                    gameShare() + display, wakes);
    }

private:
    struct Reading {
        double wall = 0;
        double cpu = 0, user = 0, system = 0;
        long voluntary = 0, involuntary = 0;
        std::map<long, Task> threads;
        std::vector<std::map<long, Task>> servers;
    };

    void take(Reading& r) const
    {
        r.servers.clear();
        for (const std::string& pid : servers_) r.servers.push_back(tasksOf(pid));
        r.threads = tasksOf("self");
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
        };
        r.user = seconds(u.ru_utime);
        r.system = seconds(u.ru_stime);
        r.cpu = r.user + r.system;
        r.voluntary = u.ru_nvcsw;
        r.involuntary = u.ru_nivcsw;
        r.wall = wallSeconds();
    }

    std::vector<std::string> servers_;
    Reading before_, after_;
};

// The X events that reach the game, counted by type.
class XEventCounter : public QAbstractNativeEventFilter {
public:
    bool counting = false;
    std::map<int, long> byType;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (counting && eventType == "xcb_generic_event_t")
            ++byType[*static_cast<const unsigned char*>(message) & 0x7f];  // xcb_generic_event_t::response_type
        return false;
    }
};

const char* xEventName(int type)
{
    static const char* const names[] = {"error",          "reply",          "KeyPress",         "KeyRelease",
                                        "ButtonPress",    "ButtonRelease",  "MotionNotify",     "EnterNotify",
                                        "LeaveNotify",    "FocusIn",        "FocusOut",         "KeymapNotify",
                                        "Expose",         "GraphicsExpose", "NoExpose",         "Visibility",
                                        "CreateNotify",   "DestroyNotify",  "UnmapNotify",      "MapNotify",
                                        "MapRequest",     "ReparentNotify", "ConfigureNotify",  "ConfigureRequest",
                                        "GravityNotify",  "ResizeRequest",  "CirculateNotify",  "CirculateRequest",
                                        "PropertyNotify", "SelectionClear", "SelectionRequest", "SelectionNotify",
                                        "ColormapNotify", "ClientMessage",  "MappingNotify",    "GenericEvent"};
    return type < static_cast<int>(std::size(names)) ? names[type] : "extension event";
}

// CPU time of the calling thread, in seconds.
double threadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Counts the wake-ups of the timer that drives the window and the window's
// frames while measuring, and the main thread's CPU time spent on them.
class CountingApplication : public QApplication {
public:
    using QApplication::QApplication;

    const QObject* timer = nullptr;   // the game's driver, or the floor's timer
    const QWidget* window = nullptr;  // the battlefield, or the floor's window
    bool counting = false;
    long timerWakes = 0;
    long frames = 0;
    double paintedPixels = 0;
    double paintedRects = 0;
    double wakeCpu = 0;               // the timer: firings, re-arming, following, taking stock
    double frameCpu = 0;              // the window's update request: painting and handing the frame over
    double paintCpu = 0;              // of which the paint event alone
    std::function<void()> afterWake;  // run after each timer wake-up, outside its time

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!counting) return QApplication::notify(receiver, event);
        double* into = nullptr;
        // Paint events come inside the update request (or a timer's follow-up).
        if (depth_ > 0 && event->type() != QEvent::Paint) return QApplication::notify(receiver, event);
        if (event->type() == QEvent::Timer && receiver == timer) {
            ++timerWakes;
            into = &wakeCpu;
        } else if (receiver == window && event->type() == QEvent::UpdateRequest) {
            into = &frameCpu;
        } else if (receiver == window && event->type() == QEvent::Paint) {
            ++frames;
            paintedRects += static_cast<QPaintEvent*>(event)->region().rectCount();
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                paintedPixels += static_cast<double>(r.width()) * r.height();
            into = &paintCpu;
        }
        if (into == nullptr) return QApplication::notify(receiver, event);
        const double t0 = threadCpu();
        ++depth_;
        const bool result = QApplication::notify(receiver, event);
        --depth_;
        *into += threadCpu() - t0;  // a paint event counts in the update request around it as well
        if (into == &wakeCpu && afterWake) afterWake();
        return result;
    }

    // Where the main thread's time went, of `cpu` seconds in `elapsed`.
    void report(double cpu, double elapsed) const
    {
        const double n = std::max(1.0, static_cast<double>(frames));
        const QSize size = window->size();
        std::printf(
            "  timer wake-ups %.1f/s; frames %.1f/s, %.0f pixels in %.0f rectangles each on average (%.1f%% of the "
            "window)\n",
            static_cast<double>(timerWakes) / elapsed, static_cast<double>(frames) / elapsed, paintedPixels / n,
            paintedRects / n, 100.0 * paintedPixels / n / (static_cast<double>(size.width()) * size.height()));
        std::printf(
            "  main thread CPU: timer wake-ups %.2f%% (%.1f us each), frames %.2f%% (%.1f us each, of which "
            "painting %.1f us), the rest %.2f%%\n",
            100.0 * wakeCpu / elapsed, 1e6 * wakeCpu / std::max(1.0, static_cast<double>(timerWakes)),
            100.0 * frameCpu / elapsed, 1e6 * frameCpu / n, 1e6 * paintCpu / n,
            100.0 * (cpu - wakeCpu - frameCpu) / elapsed);
    }

private:
    int depth_ = 0;
};

// Invaders shown whose rectangle meets the client area.
int invadersOnField(const game::Form1& form, const app::BattlefieldWidget& window)
{
    // (The field the game reads, zoomed or not.)
    const double zoom = window.zoom().factor();
    const auto w = static_cast<float>(window.width() / zoom * double{app::kTwipsPerPixel});
    const auto h = static_cast<float>(window.height() / zoom * double{app::kTwipsPerPixel});
    int n = 0;
    form.forEachSpriteBottomUp([&](const char* name, int, const auto& box) {
        const std::string_view kind = name;
        if (kind != "picCastleKiller" && kind != "picCKTop" && kind != "picCKBot") return;
        if (box.Visible && box.Left < w && box.Top < h && box.Left + box.Width > 0 && box.Top + box.Height > 0) ++n;
    });
    return n;
}

std::vector<QPointF> points(const std::vector<bench::Place>& places)
{
    std::vector<QPointF> out;
    for (const bench::Place& p : places) out.emplace_back(p.x, p.y);
    return out;
}

// A bare window of the battlefield's size, woken 40 times a second, that
// steps on every other wake-up.
class FloorWindow : public QWidget {
public:
    FloorWindow()
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(1608, 897);
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, [this] {
            // Armed for the next 25 ms of a fixed grid, as the game's driver
            // arms its timer: re-arming 25 ms after each (late) wake-up would
            // wake less often than the game.
            const qint64 now = wall.elapsed();
            due_ = std::max(due_ + 25, now);
            timer_.start(static_cast<int>(due_ - now));
            if (++wakes_ % 2 == 0) step();
        });
        due_ = wall.elapsed() + 25;
        timer_.start(25);
    }

    const QTimer& timer() const { return timer_; }

protected:
    virtual void step() = 0;

private:
    QTimer timer_;
    qint64 due_ = 0;  // ms on the wall clock
    long wakes_ = 0;
};

// The idle floor: one small rectangle repainted 20 times a second.
class IdleFloor : public FloorWindow {
protected:
    void step() override
    {
        update(QRect(x_, 400, 53, 59));
        x_ = (x_ + 4) % 1500;
    }

    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), QColor(0, 128, 0));
        painter.fillRect(QRect(x_, 402, 49, 57), QColor(200, 200, 200));
    }

private:
    int x_ = 100;
};

// The field's floor: castle killers walking, as a plain Qt program shows them.
class FieldFloor : public FloorWindow {
public:
    // Enough of them for `seconds` from now.
    FieldFloor(int onField, double seconds, QPixmap box, QColor back)
        : places_(points(bench::fieldPlaces(onField, seconds, height() * double{app::kTwipsPerPixel}))),
          box_(std::move(box)),
          back_(back)
    {
    }

protected:
    void step() override
    {
        const auto& walk = bench::castleKillers();
        for (QPointF& at : places_) {
            update(rectAt(at));
            at -= QPointF(walk.leftStep, walk.topStep);
            update(rectAt(at));
        }
    }

    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), back_);
        for (const QPointF& at : places_)
            if (const QRect r = rectAt(at); r.intersects(event->rect())) painter.drawPixmap(r.topLeft(), box_);
    }

private:
    QRect rectAt(const QPointF& at) const
    {
        return app::pixelRect(static_cast<float>(at.x()), static_cast<float>(at.y()),
                              static_cast<float>(box_.width()) * app::kTwipsPerPixel,
                              static_cast<float>(box_.height()) * app::kTwipsPerPixel);
    }

    std::vector<QPointF> places_;  // twips, as the game keeps them
    QPixmap box_;
    QColor back_;
};

// The castle killer as the field shows it: its picture at the top left of its
// box, on the window's colour (which the castle killers take at load).
QPixmap castleKillerBox(QColor back)
{
    const ui::PictureBox& design = bench::castleKillerDesign().design;
    const QRect r = app::pixelRect(0, 0, design.Width, design.Height);
    QPixmap box(r.size());
    box.fill(back);
    QPainter painter(&box);
    app::PictureCache::registerResources();
    painter.drawPixmap(0, 0, app::PictureCache::fromResources(bench::castleKillerDesign().image));
    return box;
}

int runFloor(CountingApplication& application, int field, double seconds, Measurement& measurement)
{
    const QColor back(0, 128, 0);  // the battlefield's colour
    constexpr int kSettle = 1500;  // ms from showing the window to the measurement
    std::unique_ptr<FloorWindow> window;
    if (field > 0)
        window = std::make_unique<FieldFloor>(field, seconds + kSettle / 1000.0 + 2, castleKillerBox(back), back);
    else
        window = std::make_unique<IdleFloor>();
    window->show();
    application.timer = &window->timer();
    application.window = window.get();
    QTimer::singleShot(kSettle, Qt::PreciseTimer, window.get(), [&] {
        application.counting = true;
        measurement.begin();
        QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, window.get(), [&] {
            measurement.end();
            application.counting = false;
            QCoreApplication::quit();
        });
    });
    QApplication::exec();
    if (field > 0)
        std::printf(
            "play cost: field floor (a bare window, %d boxes walking as the castle killers, repainted as "
            "a plain Qt program would), %.1f s measured, under %s\n",
            field, measurement.elapsed(), qPrintable(QGuiApplication::platformName()));
    else
        std::printf(
            "play cost: idle floor (a bare window, 40 timer wake-ups and 20 small repaints a second), "
            "%.1f s measured, under %s\n",
            measurement.elapsed(), qPrintable(QGuiApplication::platformName()));
    application.report(measurement.gameShare() * measurement.elapsed() / 100.0, measurement.elapsed());
    measurement.report();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    wall.start();
    // The floor is a plain Qt program: only the game's own set-up is skipped.
    const bool floor = std::any_of(argv + 1, argv + argc, [](const char* a) { return std::string(a) == "--floor"; });
    const double asked = floor ? 1.0 : app::setUpBeforeApplication();
    CountingApplication application(argc, argv);
    if (!floor) app::setUpApplication();

    double seconds = 20;
    int field = 0;
    double zoom = 1;
    std::vector<std::string> servers;
    const QStringList args = QCoreApplication::arguments();
    bool ok = true;
    for (qsizetype i = 1; i < args.size() && ok; ++i) {
        if (args.at(i) == QLatin1String("--field") && i + 1 < args.size())
            field = args.at(++i).toInt(&ok);
        else if (args.at(i) == QLatin1String("--zoom") && i + 1 < args.size())
            zoom = args.at(++i).toDouble(&ok);
        else if (args.at(i) == QLatin1String("--server") && i + 1 < args.size())
            servers.push_back(std::to_string(args.at(++i).toUInt(&ok)));
        else if (args.at(i) != QLatin1String("--floor"))
            seconds = args.at(i).toDouble(&ok);
    }
    if (!ok || seconds <= 0 || seconds > 3600 || field < 0 || field > 5000 || zoom <= 0 || zoom > 1) {
        std::fputs("usage: zorvane_realtime_play_cost [--field N] [--zoom F] [--floor] [--server PID]... [seconds]\n",
                   stderr);
        return 2;
    }
    Measurement measurement(servers);
    if (floor) return runFloor(application, field, seconds, measurement);

    XEventCounter xEvents;
    application.installNativeEventFilter(&xEvents);

    app::Shell shell([] { return wall.elapsed(); }, &app::PictureCache::fromResources, zoom < 1 ? zoom : asked);
    application.timer = &shell.driver().timer();
    shell.start();

    constexpr double kSettle = 1.0;  // s from Start to the measurement
    const game::Form1* form = nullptr;
    int onFieldStart = 0, onFieldEnd = 0;
    // Read at every eighth timer wake-up, so that taking the mean the
    // idle-work floor shows costs the game next to nothing.
    long onFieldSum = 0, onFieldSamples = 0;
    std::size_t created = 0;
    std::string clockBefore, clockAfter;

    QTimer::singleShot(500, Qt::PreciseTimer, &application, [&] {
        shell.title()->startButton()->click();
        form = shell.program().form1IfCreated();
        if (form == nullptr || shell.battlefield() == nullptr || !form->tmrTimer.Enabled()) {
            std::fputs("Start did not start the battlefield\n", stderr);
            std::exit(1);
        }
        application.window = shell.battlefield();
        if (field > 0) {
            bench::keepPlaying(shell.programToArrange(), 20000, 2500);
            // (The field's height as the game reads it, zoomed or not.)
            const double fieldHeight =
                shell.battlefield()->height() / shell.battlefield()->zoom().factor() * double{app::kTwipsPerPixel};
            bench::fillTheField(shell.programToArrange(),
                                bench::fieldPlaces(field, seconds + kSettle + 2, fieldHeight));
        }
        QTimer::singleShot(static_cast<int>(kSettle * 1000), Qt::PreciseTimer, &application, [&] {
            onFieldStart = invadersOnField(*form, *shell.battlefield());
            clockBefore = form->lblTimer.Caption;
            application.afterWake = [&] {
                if (application.timerWakes % 8 != 0) return;
                onFieldSum += invadersOnField(*form, *shell.battlefield());
                ++onFieldSamples;
            };
            application.counting = true;
            xEvents.counting = true;
            measurement.begin();
            QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &application, [&] {
                measurement.end();
                application.counting = false;
                xEvents.counting = false;
                onFieldEnd = invadersOnField(*form, *shell.battlefield());
                created = form->createdInvaders().size();
                clockAfter = form->lblTimer.Caption;
                QCoreApplication::quit();
            });
        });
    });
    QApplication::exec();
    const double elapsed = measurement.elapsed();
    if (elapsed <= 0) return 1;

    const QSize client = shell.battlefield()->size();
    std::printf("play cost: %s, %.1f s measured, under %s, battlefield %dx%d\n",
                field > 0 ? "invaders on the field" : "idle player in wave 1", elapsed,
                qPrintable(QGuiApplication::platformName()), client.width(), client.height());
    std::printf("  clock %s -> %s; invaders on the field %d at the start, %d at the end, %.1f on average; %zu made\n",
                clockBefore.c_str(), clockAfter.c_str(), onFieldStart, onFieldEnd,
                static_cast<double>(onFieldSum) / static_cast<double>(std::max(1L, onFieldSamples)), created);
    application.report(measurement.gameShare() * elapsed / 100.0, elapsed);
    if (!xEvents.byType.empty()) {
        long xTotal = 0;
        for (const auto& [type, n] : xEvents.byType) xTotal += n;
        std::printf("  X events reaching the game: %.1f/s\n", static_cast<double>(xTotal) / elapsed);
        for (const auto& [type, n] : xEvents.byType)
            std::printf("    %-20s (type %3d) %7.1f/s\n", xEventName(type), type, static_cast<double>(n) / elapsed);
    }
    measurement.report();
    return 0;
}
