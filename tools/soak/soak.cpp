// zorvane-soak: plays many hours of game time on the virtual clock with a
// scripted player who walks in a square, changes magic, casts every 300 ms and
// charges the special every few seconds, and who plays on after the game has
// ended. The game's rules (testing/invariants.h) are checked every game
// minute. Reports the wall time, the memory sampled every game hour and the
// final state of every timer.
//
//   zorvane-soak [--hours H]     (default 24)
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

#include "testing/invariants.h"

namespace {

constexpr std::int64_t kStepMs = 100;
constexpr std::int64_t kMinute = 60'000;
constexpr std::int64_t kHour = 60 * kMinute;

double cpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// A line "NAME:   N kB" of /proc/self/status, in kB; -1 when absent.
long statusKb(const char* name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(name);
    while (std::getline(status, line))
        if (line.compare(0, n, name) == 0 && line.size() > n && line[n] == ':') return std::atol(line.c_str() + n + 1);
    return -1;
}

// The scripted player. Everything depends on the game time only, so a run
// can be repeated exactly.
class Player {
public:
    explicit Player(zorvane_checks::Session& game) : game_(game), f_(game.form()) {}

    void act(std::int64_t t)
    {
        // Walk a square: 2 s up, right, down, left, then a diagonal there and back.
        static constexpr game::KeyCode kWalks[6][2] = {{87, -1}, {68, -1}, {83, -1}, {65, -1}, {87, 68}, {83, 65}};
        const auto walk = static_cast<std::size_t>((t / 2000) % 6);
        if (walk != walk_) {
            for (game::KeyCode code : kWalks[walk_])
                if (code >= 0) game_.apply(game::Input::keyUp(code));
            for (game::KeyCode code : kWalks[walk])
                if (code >= 0) game_.apply(game::Input::keyDown(code));
            walk_ = walk;
        }
        // Magic 1, 2, 3 in turn, each key held for one step every 7 s.
        if (t % 7000 == 0) game_.apply(game::Input::keyDown(49 + (t / 7000) % 3));
        if (t % 7000 == kStepMs) game_.apply(game::Input::keyUp(49 + (t / 7000) % 3));
        // A cast every 300 ms at the newest invader still shown, or across the field.
        if (t % 300 == 0) {
            float x = 4000.0f + static_cast<float>((t / 300) % 20) * 1000.0f;
            float y = 9000.0f;
            const auto& created = f_.createdInvaders();
            for (auto it = created.rbegin(); it != created.rend(); ++it) {
                const ui::SpriteView s = f_.invaders(it->first)(it->second);
                if (s.Visible) {
                    x = s.Left + s.Width / 2;
                    y = s.Top + s.Height / 2;
                    break;
                }
            }
            game_.apply(game::Input::mouseDown(1, x, y));
            game_.apply(game::Input::mouseUp(1, x, y));
        }
        // The special: pressed every 5 s, released a second later.
        if (t % 5000 == 0) game_.apply(game::Input::mouseDown(2, 20000, 6000));
        if (t % 5000 == 1000) game_.apply(game::Input::mouseUp(2, 20000, 2000));
    }

private:
    zorvane_checks::Session& game_;
    const game::Form1& f_;
    std::size_t walk_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    double hours = 24;
    if (argc == 3 && std::strcmp(argv[1], "--hours") == 0) {
        hours = std::atof(argv[2]);
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: zorvane-soak [--hours H]\n");
        return 2;
    }
    if (!(hours > 0)) {
        std::fprintf(stderr, "zorvane-soak: --hours takes a positive number\n");
        return 2;
    }
    const auto length = static_cast<std::int64_t>(hours * static_cast<double>(kHour));

    const auto wallStart = std::chrono::steady_clock::now();
    zorvane_checks::Session game;
    const game::Form1& f = game.form();
    Player player(game);
    std::printf("hour  invaders  kills  lives  castle  score  VmRSS_kB  wall_s   cpu_s\n");
    std::int64_t endedAt = -1;
    for (std::int64_t t = 0; t < length; t += kStepMs) {
        player.act(t);
        game.run(kStepMs);
        if (endedAt < 0 && !f.tmrCharaMovement.Enabled()) endedAt = game.now();
        if (game.now() % kMinute == 0) {
            if (const std::string why = game.check(); !why.empty()) {
                std::printf("BROKEN RULE %s\n", why.c_str());
                return 1;
            }
        }
        if (game.now() % kHour == 0) {
            const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
            std::printf("%4lld  %8zu  %5d  %5d  %6s  %5lld  %8ld  %6.1f  %6.1f\n",
                        static_cast<long long>(game.now() / kHour), f.createdInvaders().size(), f.kills, f.lives,
                        f.lblCastleLifeBar.Caption.c_str(), static_cast<long long>(f.score.value_or(0)),
                        statusKb("VmRSS"), wall, cpuSeconds());
            std::fflush(stdout);
        }
    }
    const std::string why = game.check();
    if (!why.empty()) {
        std::printf("BROKEN RULE %s\n", why.c_str());
        return 1;
    }

    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    std::printf("game time: %lld ms; the game ended at %lld ms with %zu message boxes\n",
                static_cast<long long>(game.now()), static_cast<long long>(endedAt), game.boxes());
    std::printf("invaders: %zu castle killers, %zu top, %zu bottom (top index %d, %d, %d)\n",
                f.picCastleKiller.size() - 1, f.picCKTop.size() - 1, f.picCKBot.size() - 1, f.picCastleKiller.UBound(),
                f.picCKTop.UBound(), f.picCKBot.UBound());
    std::printf("clock: %s\n", f.lblTimer.Caption.c_str());
    for (const auto& [name, timer] : f.timers())
        std::printf("timer %s: %s\n", name.c_str(), timer->Enabled() ? "on" : "off");
    std::printf("wall time: %.1f s (CPU %.1f s)\npeak RSS (VmHWM): %ld kB\n", wall, cpuSeconds(), statusKb("VmHWM"));
    return 0;
}
