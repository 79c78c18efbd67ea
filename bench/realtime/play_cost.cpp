// What real play costs the machine: the game's own CPU time (user + system)
// and how often its threads went to sleep to wait for something (voluntary
// context switches, each one a wake-up later), from getrusage(RUSAGE_SELF) of
// the game process, over N seconds of play on a real display (30 unless
// given).
//
//   zorvane_realtime_play_cost [--field N | --floor] [seconds]
//
// The program is the game as main() sets it up (the same Shell, pictures,
// fonts and clock). Half a second after the title shows, Start is clicked;
// one second later the measurement starts. Without --field nothing more is
// done: the player stays idle in wave 1 (the castle killers walk in and hit
// the castle or the mage as they would). With --field N, at Start about N
// castle killers are put on the field, and more queue below its bottom edge
// so that about N stay on it all the time: they walk in eight lanes across
// the bottom left of the field, below the castle, and out through the left
// edge. So that the game does not end meanwhile, the mage is parked top
// right, out of every invader's way, and the castle and the mage get far
// more life than a game gives, as the fidelity measurement does.
//
// With --floor there is no game: a bare window of the battlefield's size is
// woken by a 25 ms single-shot precise timer, re-armed each time (40 wake-ups
// a second, as the game's with an idle player), and repaints one 53 x 59
// rectangle (an invader's step) on every other wake-up. That is what Qt and
// the window system cost on the machine at the time, before any game: the
// reference the game's own figures are read against.
//
// Besides the totals it prints where the wake-ups come from (each thread's
// own count from /proc), how often the game's timer woke the event loop, how
// many battlefield frames were painted and how much of the window they
// covered, and every X event that reached the game, by type: what a painted
// frame costs the window system. Needs a display: run it under Xvfb
// (bench/realtime/play_cost.sh does).

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
#include <map>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/battlefield_widget.h"
#include "app/shell.h"
#include "app/title_widget.h"

namespace {

QElapsedTimer wall;  // the one clock: the game's driver reads it too

struct Usage {
    double cpu = 0;  // s, user + system
    double user = 0, system = 0;
    long voluntary = 0, involuntary = 0;
};

Usage usageNow()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return Usage{s(u.ru_utime) + s(u.ru_stime), s(u.ru_utime), s(u.ru_stime), u.ru_nvcsw, u.ru_nivcsw};
}

// Each thread's name and voluntary switches so far, from /proc/self/task.
std::map<std::string, long> threadSwitches()
{
    std::map<std::string, long> out;
    const QStringList tids = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& tid : tids) {
        const std::string base = "/proc/self/task/" + tid.toStdString();
        std::string name;
        std::ifstream(base + "/comm") >> name;
        std::ifstream status(base + "/status");
        std::string line;
        long switches = 0;
        while (std::getline(status, line))
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) switches = std::stol(line.substr(24));
        if (tid.toLongLong() == static_cast<long long>(getpid())) name = "main thread (" + name + ")";
        out[name] += switches;
    }
    return out;
}

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

// Counts the driver's wake-ups and the battlefield's frames while measuring,
// and the main thread's CPU time spent delivering them.
class CountingApplication : public QApplication {
public:
    using QApplication::QApplication;

    app::Shell* shell = nullptr;
    bool counting = false;
    long timerWakes = 0;
    long frames = 0;
    double paintedPixels = 0;
    double paintedRects = 0;
    double wakeCpu = 0;   // the game's timer: firings, re-arming, following, taking stock
    double frameCpu = 0;  // the battlefield's update request: painting and handing the frame to X
    double paintCpu = 0;  // of which the paint event alone

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!counting) return QApplication::notify(receiver, event);
        double* into = nullptr;
        // Paint events come inside the update request (or a timer's follow-up).
        if (depth_ > 0 && event->type() != QEvent::Paint) return QApplication::notify(receiver, event);
        if (event->type() == QEvent::Timer && receiver == &shell->driver().timer()) {
            ++timerWakes;
            into = &wakeCpu;
        } else if (receiver == shell->battlefield() && event->type() == QEvent::UpdateRequest) {
            into = &frameCpu;
        } else if (receiver == shell->battlefield() && event->type() == QEvent::Paint) {
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
        return result;
    }

private:
    int depth_ = 0;
};

// Invaders shown whose rectangle meets the client area.
int invadersOnField(const game::Form1& form, QSize client)
{
    const float w = static_cast<float>(client.width()) * 15.0f;
    const float h = static_cast<float>(client.height()) * 15.0f;
    int n = 0;
    form.forEachSpriteBottomUp([&](const char* name, int, const auto& box) {
        const std::string kind = name;
        if (kind != "picCastleKiller" && kind != "picCKTop" && kind != "picCKBot") return;
        if (box.Visible && box.Left < w && box.Top < h && box.Left + box.Width > 0 && box.Top + box.Height > 0) ++n;
    });
    return n;
}

// About `onField` castle killers on the field from now on, for `seconds`:
// eight lanes parallel to their walk (55 left, 30 up per 50 ms tick), all
// below the castle, each filled at an even spacing from where it leaves the
// field through the left edge back to well below the bottom edge.
void fillTheField(game::Form1& form, int onField, double seconds)
{
    constexpr double kPerSecondX = 1100, kPerSecondY = 600;  // 20 ticks of 55 and 30 twips
    constexpr double kCastleRight = 6615;                    // the lanes are named by their height there
    const double fieldBottom = form.Height;
    std::vector<double> lanes;
    for (double y = 9000; y <= 13200; y += 600) lanes.push_back(y);
    // How long an invader is seen in each lane: from the bottom edge to
    // being wholly past the left edge (735 twips wide).
    std::vector<double> shownFor;
    double total = 0;
    for (double y : lanes) {
        const double entryX = kCastleRight + (fieldBottom - y) * kPerSecondX / kPerSecondY;
        shownFor.push_back((entryX + 735) / kPerSecondX);
        total += shownFor.back();
    }
    const double spacing = total / onField;  // seconds between two invaders of a lane
    for (std::size_t lane = 0; lane < lanes.size(); ++lane) {
        const double entryX = kCastleRight + (fieldBottom - lanes[lane]) * kPerSecondX / kPerSecondY;
        // s: seconds since it came in through the bottom edge (negative: still to come).
        for (double s = shownFor[lane] - spacing * 0.5 * static_cast<double>(lane % 2); s > -seconds; s -= spacing) {
            form.SpawnInvader(1);
            const ui::SpriteRef invader = form.picCastleKiller(form.picCastleKiller.UBound());
            invader.Left = static_cast<float>(entryX - s * kPerSecondX);
            invader.Top = static_cast<float>(fieldBottom - s * kPerSecondY);
        }
    }
}

// The reference: a bare window, 40 timer wake-ups and 20 small repaints a second.
class FloorWindow : public QWidget {
public:
    FloorWindow()
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(1608, 897);
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, [this] {
            timer_.start(25);
            if (++wakes_ % 2 == 0) {
                update(QRect(x_, 400, 53, 59));
                x_ = (x_ + 4) % 1500;
            }
        });
        timer_.start(25);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), QColor(0, 128, 0));
        painter.fillRect(QRect(x_, 402, 49, 57), QColor(200, 200, 200));
    }

private:
    QTimer timer_;
    long wakes_ = 0;
    int x_ = 100;
};

int runFloor(double seconds)
{
    FloorWindow window;
    window.show();
    Usage before, after;
    QTimer::singleShot(1500, Qt::PreciseTimer, &window, [&] {
        before = usageNow();
        QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &window, [&] {
            after = usageNow();
            QCoreApplication::quit();
        });
    });
    QApplication::exec();
    const double cpu = after.cpu - before.cpu;
    std::printf(
        "play cost: floor (a bare window, 40 timer wake-ups and 20 small repaints a second), %.0f s, under %s\n",
        seconds, qPrintable(QGuiApplication::platformName()));
    std::printf("  CPU %.3f s: %.2f%% of one core; voluntary context switches %.1f/s\n", cpu, 100.0 * cpu / seconds,
                static_cast<double>(after.voluntary - before.voluntary) / seconds);
    std::printf("reference: CPU %.2f%%, wake-ups %.1f/s\n", 100.0 * cpu / seconds,
                static_cast<double>(after.voluntary - before.voluntary) / seconds);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    wall.start();
    app::setUpBeforeApplication();
    CountingApplication application(argc, argv);
    app::setUpApplication();

    double seconds = 30;
    int field = 0;
    bool floor = false;
    const QStringList args = QCoreApplication::arguments();
    bool ok = true;
    for (qsizetype i = 1; i < args.size() && ok; ++i) {
        if (args.at(i) == QLatin1String("--field") && i + 1 < args.size())
            field = args.at(++i).toInt(&ok);
        else if (args.at(i) == QLatin1String("--floor"))
            floor = true;
        else
            seconds = args.at(i).toDouble(&ok);
    }
    if (!ok || seconds <= 0 || seconds > 3600 || field < 0 || field > 5000) {
        std::fputs("usage: zorvane_realtime_play_cost [--field N | --floor] [seconds]\n", stderr);
        return 2;
    }
    if (floor) return runFloor(seconds);

    XEventCounter xEvents;
    application.installNativeEventFilter(&xEvents);

    app::Shell shell([] { return wall.elapsed(); });
    application.shell = &shell;
    shell.start();

    constexpr double kSettle = 1.0;  // s from Start to the measurement
    game::Form1* form = nullptr;
    Usage before, after;
    std::map<std::string, long> threadsBefore, threadsAfter;
    double startWall = 0, elapsed = 0;
    int onFieldStart = 0, onFieldEnd = 0;
    std::size_t created = 0;
    std::string clockBefore, clockAfter;

    QTimer::singleShot(500, Qt::PreciseTimer, &application, [&] {
        shell.title()->startButton()->click();
        form = shell.program().form1IfCreated();
        if (form == nullptr || shell.battlefield() == nullptr || !form->tmrTimer.Enabled()) {
            std::fputs("Start did not start the battlefield\n", stderr);
            std::exit(1);
        }
        if (field > 0) {
            form->picHero.Left = 20000;
            form->picHero.Top = 2500;
            form->lblCastleLifeBar.Caption = "999999";
            form->lives = 30000;
            fillTheField(*form, field, seconds + kSettle + 2);
        }
        QTimer::singleShot(static_cast<int>(kSettle * 1000), Qt::PreciseTimer, &application, [&] {
            onFieldStart = invadersOnField(*form, shell.battlefield()->size());
            clockBefore = form->lblTimer.Caption;
            threadsBefore = threadSwitches();
            application.counting = true;
            xEvents.counting = true;
            startWall = static_cast<double>(wall.nsecsElapsed()) / 1e9;
            before = usageNow();
            QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &application, [&] {
                after = usageNow();
                elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9 - startWall;
                application.counting = false;
                xEvents.counting = false;
                threadsAfter = threadSwitches();
                onFieldEnd = invadersOnField(*form, shell.battlefield()->size());
                created = form->createdInvaders().size();
                clockAfter = form->lblTimer.Caption;
                QCoreApplication::quit();
            });
        });
    });
    QApplication::exec();
    if (elapsed <= 0) return 1;

    const double cpu = after.cpu - before.cpu;
    const double cpuShare = 100.0 * cpu / elapsed;
    const double wakes = static_cast<double>(after.voluntary - before.voluntary) / elapsed;
    const QSize client = shell.battlefield()->size();
    std::printf("play cost: %s, %.1f s measured, under %s, battlefield %dx%d\n",
                field > 0 ? "invaders on the field" : "idle player in wave 1", elapsed,
                qPrintable(QGuiApplication::platformName()), client.width(), client.height());
    std::printf("  clock %s -> %s; invaders on the field %d at the start, %d at the end; %zu made\n",
                clockBefore.c_str(), clockAfter.c_str(), onFieldStart, onFieldEnd, created);
    std::printf("  CPU %.3f s (user %.3f, system %.3f): %.2f%% of one core\n", cpu, after.user - before.user,
                after.system - before.system, cpuShare);
    std::printf("  voluntary context switches %.1f/s, involuntary %.1f/s\n", wakes,
                static_cast<double>(after.involuntary - before.involuntary) / elapsed);
    for (const auto& [name, n] : threadsAfter) {
        const auto was = threadsBefore.find(name);
        const long d = n - (was == threadsBefore.end() ? 0 : was->second);
        if (d != 0) std::printf("    %-32s %7.1f/s\n", name.c_str(), static_cast<double>(d) / elapsed);
    }
    const double frames = std::max(1.0, static_cast<double>(application.frames));
    std::printf(
        "  game timer wake-ups %.1f/s; battlefield frames %.1f/s, %.0f pixels in %.0f rectangles each on "
        "average (%.1f%% of the window)\n",
        static_cast<double>(application.timerWakes) / elapsed, static_cast<double>(application.frames) / elapsed,
        application.paintedPixels / frames, application.paintedRects / frames,
        100.0 * application.paintedPixels / frames / (static_cast<double>(client.width()) * client.height()));
    std::printf(
        "  main thread CPU: timer wake-ups %.2f%% (%.1f us each), frames %.2f%% (%.1f us each, of which "
        "painting %.1f us), the rest %.2f%%\n",
        100.0 * application.wakeCpu / elapsed,
        1e6 * application.wakeCpu / std::max(1.0, static_cast<double>(application.timerWakes)),
        100.0 * application.frameCpu / elapsed, 1e6 * application.frameCpu / frames,
        1e6 * application.paintCpu / frames, 100.0 * (cpu - application.wakeCpu - application.frameCpu) / elapsed);
    long xTotal = 0;
    for (const auto& [type, n] : xEvents.byType) xTotal += n;
    std::printf("  X events reaching the game: %.1f/s\n", static_cast<double>(xTotal) / elapsed);
    for (const auto& [type, n] : xEvents.byType)
        std::printf("    %-20s (type %3d) %7.1f/s\n", xEventName(type), type, static_cast<double>(n) / elapsed);

    bool met = true;
    if (field > 0) {
        const bool cpuOk = cpuShare <= 2.0;
        met = cpuOk;
        std::printf("budget: CPU %.2f%% <= 2%% %s (invaders on the field %d..%d)\n", cpuShare, cpuOk ? "met" : "MISSED",
                    std::min(onFieldStart, onFieldEnd), std::max(onFieldStart, onFieldEnd));
    } else {
        const bool cpuOk = cpuShare <= 1.0;
        const bool wakesOk = wakes <= 65.0;
        met = cpuOk && wakesOk;
        std::printf("budget: CPU %.2f%% <= 1%% %s; wake-ups %.1f/s <= 65/s %s\n", cpuShare, cpuOk ? "met" : "MISSED",
                    wakes, wakesOk ? "met" : "MISSED");
    }
    return met ? 0 : 3;
}
