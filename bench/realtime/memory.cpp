// How much memory the game holds at its peak (VmHWM, the high-water mark of
// the resident set), at three moments:
//
//   title      the title window shown and painted once;
//   load       Start pressed, the battlefield shown and painted once;
//   limit      every invader array filled up to its top index 32767 (32,768
//              elements each, 98,301 invaders made at run time, all shown
//              where they come in), and the battlefield painted once more.
//
//   zorvane_realtime_memory
//
// The game's timers are switched off once the battlefield has been painted,
// so that the invaders made here stay where they came in and no message box
// interrupts the measurement; nothing in the game allocates on a tick.
// Needs a display: run it under xvfb-run (bench/realtime/run.sh does).

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPushButton>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/application.h"
#include "app/battlefield_widget.h"
#include "app/shell.h"
#include "app/title_widget.h"
#include "arrange.h"
#include "program.h"

namespace {

// A field of /proc/self/status, in bytes, or -1.
long long statusBytes(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.compare(0, key.size(), key) == 0) return std::stoll(line.substr(key.size())) * 1024;
    return -1;
}

void report(const char* moment)
{
    const long long hwm = statusBytes("VmHWM");
    const long long rss = statusBytes("VmRSS");
    std::printf("  %-6s VmHWM %7.1f MB (%6.1f MiB)   VmRSS %7.1f MB\n", moment, static_cast<double>(hwm) / 1e6,
                static_cast<double>(hwm) / 1048576.0, static_cast<double>(rss) / 1e6);
}

// Counts the paint events a window receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Runs the event loop until `window` has been painted once more (10 s at most).
bool waitForPaint(QWidget* window, PaintCounter& counter)
{
    const int before = counter.paints;
    window->update();
    QElapsedTimer waited;
    waited.start();
    while (counter.paints == before && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return counter.paints > before;
}

}  // namespace

int main(int argc, char** argv)
{
    const double zoom = app::setUpBeforeApplication();
    QApplication application(argc, argv);
    app::setUpApplication();

    std::printf("memory: peak resident set under %s (1 MB = 10^6 bytes)\n",
                qPrintable(QGuiApplication::platformName()));
    app::Shell shell({}, &app::PictureCache::fromResources, zoom);
    PaintCounter titlePaints;
    shell.title()->installEventFilter(&titlePaints);
    shell.start();
    if (!waitForPaint(shell.title(), titlePaints)) {
        std::fputs("the title window was never painted\n", stderr);
        return 1;
    }
    report("title");

    shell.title()->startButton()->click();
    game::Program& program = shell.programToArrange();
    const game::Form1* form = program.form1IfCreated();
    app::BattlefieldWidget* field = shell.battlefield();
    if (form == nullptr || field == nullptr) {
        std::fputs("Start did not show the battlefield\n", stderr);
        return 1;
    }
    PaintCounter fieldPaints;
    field->installEventFilter(&fieldPaints);
    if (!waitForPaint(field, fieldPaints)) {
        std::fputs("the battlefield was never painted\n", stderr);
        return 1;
    }
    report("load");

    bench::stopAllTimers(program);
    game::ByHand hand = program.byHand();
    for (std::int16_t kind = 0; kind < 3; ++kind) {
        const ui::SpriteArray& invaders = form->invaders(*game::invaderKindOf(kind));
        while (invaders.UBound() < ui::SpriteArray::kMaxIndex) hand.SpawnInvader(kind);
    }
    QElapsedTimer painting;
    painting.start();
    if (!waitForPaint(field, fieldPaints)) {
        std::fputs("the battlefield was not painted at the index limit\n", stderr);
        return 1;
    }
    const double frameMs = static_cast<double>(painting.nsecsElapsed()) / 1e6;
    report("limit");
    std::printf("  at the limit: %zu invaders made, top indices %d/%d/%d, that frame came %.1f ms after the request\n",
                form->createdInvaders().size(), static_cast<int>(form->picCKBot.UBound()),
                static_cast<int>(form->picCastleKiller.UBound()), static_cast<int>(form->picCKTop.UBound()), frameMs);

    const double peak = static_cast<double>(statusBytes("VmHWM")) / 1e6;
    std::printf("budget: peak memory at the index limit %.1f MB of 80 MB %s\n", peak, peak <= 80.0 ? "met" : "MISSED");
    return peak <= 80.0 ? 0 : 3;
}
