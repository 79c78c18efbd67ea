// How long the game takes from the start of its process to the first painted
// frame of the title window.
//
//   zorvane_realtime_startup [runs]
//
// Starts itself `runs` times (10 unless given) as a fresh process, one after
// the other, and prints each run and the median and maximum. Each child
// starts up exactly as the game does (QApplication, fonts, the desktop shell,
// the title window shown) and notes the moment the title window's first paint
// event has been painted. Its start is the moment just before the parent
// spawned it (CLOCK_MONOTONIC), so loading the program and its libraries is
// included. As a cross-check, each child also reports the same span measured
// from the kernel's start time of the process (/proc/self/stat, in clock ticks
// of 10 ms, against CLOCK_BOOTTIME), which is coarser but needs no parent.
//
// Needs a display: run it under xvfb-run (bench/realtime/run.sh does).

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/shell.h"
#include "app/title_widget.h"

extern char** environ;

namespace {

constexpr const char* kChildFlag = "--child-started-at-ns";

std::int64_t nowNs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// The process's start in CLOCK_BOOTTIME nanoseconds, from field 22 of
// /proc/self/stat (clock ticks since boot), or -1.
std::int64_t processStartBoottimeNs()
{
    std::ifstream in("/proc/self/stat");
    std::string line;
    if (!std::getline(in, line)) return -1;
    // The command name (field 2) may hold blanks; it ends at the last ')'.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) {
        if (!(rest >> field)) return -1;
        if (i == 22) {
            const long ticks = sysconf(_SC_CLK_TCK);
            return static_cast<std::int64_t>(std::stoll(field) * (1'000'000'000 / ticks));
        }
    }
    return -1;
}

// Notes the end of the first paint event of the watched window.
class FirstPaint : public QObject {
public:
    std::int64_t paintedAtNs = -1;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (paintedAtNs >= 0 || event->type() != QEvent::Paint) return QObject::eventFilter(watched, event);
        // Let the window paint itself right here, then stop the watch.
        watched->removeEventFilter(this);
        watched->event(event);
        paintedAtNs = nowNs(CLOCK_MONOTONIC);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return true;
    }
};

int child(char** argv, std::int64_t spawnedAtNs)
{
    int argc = 1;  // Qt sees the program's name only
    const std::int64_t processStart = processStartBoottimeNs();
    // The same steps as the game's main().
    const double zoom = app::setUpBeforeApplication();
    QApplication application(argc, argv);
    app::setUpApplication();
    app::Shell shell({}, &app::PictureCache::fromResources, zoom);
    FirstPaint watch;
    shell.title()->installEventFilter(&watch);
    shell.start();
    // A window that never paints is a failure, not a hang.
    QTimer::singleShot(10000, &application, &QCoreApplication::quit);
    QApplication::exec();
    if (watch.paintedAtNs < 0) {
        std::fputs("the title window was never painted\n", stderr);
        return 1;
    }
    const std::int64_t bootNow = nowNs(CLOCK_BOOTTIME);
    const std::int64_t monoNow = nowNs(CLOCK_MONOTONIC);
    const double fromSpawn = static_cast<double>(watch.paintedAtNs - spawnedAtNs) / 1e6;
    // The kernel's start time, carried over to the monotonic clock.
    const double fromKernel =
        processStart < 0 ? -1.0 : static_cast<double>(watch.paintedAtNs - (monoNow - (bootNow - processStart))) / 1e6;
    std::printf("%.3f %.3f\n", fromSpawn, fromKernel);
    return 0;
}

int parent(const char* self, int runs)
{
    std::vector<double> spans, kernelSpans;
    for (int run = 1; run <= runs; ++run) {
        int out[2];
        if (pipe(out) != 0) return 1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, out[1]);

        const std::int64_t spawnedAt = nowNs(CLOCK_MONOTONIC);
        std::string stamp = std::to_string(spawnedAt);
        std::string flag = kChildFlag;
        std::string program = self;
        char* childArgv[] = {program.data(), flag.data(), stamp.data(), nullptr};
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, self, &actions, nullptr, childArgv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (spawned != 0) {
            std::fprintf(stderr, "cannot start %s: %s\n", self, std::strerror(spawned));
            close(out[0]);
            return 1;
        }
        std::string text;
        char buf[256];
        ssize_t got = 0;
        while ((got = read(out[0], buf, sizeof buf)) > 0 || (got < 0 && errno == EINTR))
            if (got > 0) text.append(buf, static_cast<std::size_t>(got));
        close(out[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        double span = -1, kernel = -1;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
            std::sscanf(text.c_str(), "%lf %lf", &span, &kernel) != 2) {
            std::fprintf(stderr, "run %d failed\n", run);
            return 1;
        }
        spans.push_back(span);
        kernelSpans.push_back(kernel);
        std::printf("  run %2d: %7.1f ms (from the kernel's start time: %6.1f ms)\n", run, span, kernel);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
    };
    const double med = median(spans);
    const double max = *std::max_element(spans.begin(), spans.end());
    std::printf(
        "startup to the title's first painted frame, %d runs: median %.1f ms, max %.1f ms "
        "(kernel start time: median %.1f ms, max %.1f ms)\n",
        runs, med, max, median(kernelSpans), *std::max_element(kernelSpans.begin(), kernelSpans.end()));
    std::printf("budget: startup max %.1f ms of 200 ms %s (median %.1f ms)\n", max, max <= 200.0 ? "met" : "MISSED",
                med);
    return max <= 200.0 ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], kChildFlag) == 0) {
        return child(argv, std::stoll(argv[2]));
    }
    int runs = 10;
    if (argc == 2) runs = std::atoi(argv[1]);
    if (argc > 2 || runs < 1 || runs > 1000) {
        std::fputs("usage: zorvane_realtime_startup [runs]\n", stderr);
        return 2;
    }
    // The parent spawns the program it is: the same binary, found through
    // /proc so that a relative path or $PATH lookup makes no difference.
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return 1;
    self[n] = '\0';
    std::printf("startup: %d runs, each a fresh process\n", runs);
    std::fflush(stdout);
    return parent(self, runs);
}
