// What each timer tick of the battlefield costs, with 10, 1,000 and 32,767
// elements in every invader array, in the three mixes a long game goes
// through:
//
//   walking  every invader shown and on its way, spread over the field and far
//            beyond it, clear of the mage, the castle and the projectiles, so
//            that no tick finds a hit;
//   parked   most invaders killed and parked out of sight at (W+3000, H+5000),
//            one in fifty still walking;
//   ended    every invader shown after the game has been won: the collision
//            and hero timers are off, so those two ticks no longer run and are
//            not measured in this mix.
//
// The field is built before the timed loop (elements created with
// SpawnInvader, then placed) and checked after it: a benchmark whose ticks
// changed anything but positions reports an error instead of a figure.
// Movement ticks keep moving their invaders; positions drift without bound,
// which changes nothing in the cost.
//
// Two more benchmarks time whole seconds of the game's clock through the
// scheduler: one second of play with every timer on at 1,000 elements per
// array, and one second after the end at 32,767 elements per array.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "testing/game.h"

namespace {

using testing_support::Game;

enum class Mix { Walking, Parked, Ended };

const char* mixName(Mix mix)
{
    switch (mix) {
        case Mix::Walking:
            return "walking";
        case Mix::Parked:
            return "parked";
        case Mix::Ended:
            return "ended";
    }
    return "";
}

constexpr int kKinds[] = {0, 1, 2};  // bottom stream, castle killers, top stream

game::InvaderKind kindOf(int code)
{
    return *game::invaderKindOf(code);
}
constexpr int kKeyD = 68;
constexpr int kKeyW = 87;

// One in this many invaders still walks in the parked mix.
constexpr int kWalkingShare = 50;

// What only a hit, a spawn or the end of the game changes.
struct Counters {
    std::int16_t kills = 0;
    std::optional<std::int64_t> score;
    std::int16_t lives = 0;
    std::string castleLife;
    bool heroVisible = false;
    std::size_t messageBoxes = 0;
    bool collisionOn = false;
    bool heroTickOn = false;
    bool operator==(const Counters&) const = default;
};

struct Field {
    Game game;
    const game::Form1& form = game.view;
    game::ByHand& hand = game.hand;
    int elements;

    Field(int n, Mix mix) : elements(n)
    {
        // The second and third waves are under way: both streams walk and
        // spawn.
        game.timer("tmrMoveTop", true);
        game.timer("tmrMoveBot", true);

        const float W = form.Width;
        const float H = form.Height;
        std::mt19937 rng(20240611u);
        std::uniform_real_distribution<float> across(-3000.0f, 30000.0f);
        // Below the mage and the castle with room to spare: a castle killer
        // climbs 600 twips a second and the bottom stream 1,400.
        std::uniform_real_distribution<float> below(6500.0f, 20000.0f);
        // After the end nothing is tested any more, so anywhere will do.
        std::uniform_real_distribution<float> anywhere(-2000.0f, 20000.0f);

        for (int kind : kKinds) {
            const ui::SpriteArray& invaders = form.invaders(kindOf(kind));
            while (static_cast<int>(invaders.size()) < n) hand.SpawnInvader(static_cast<std::int16_t>(kind));
            for (int i = 0; i < n; ++i) {
                const testing_support::BoxSetter invader = game.box(game::Form1::invaderName(kindOf(kind)), i);
                const bool walks = mix != Mix::Parked || i % kWalkingShare == 0;
                invader.visible(walks);
                if (!walks) {
                    invader.at(W + 3000, H + 5000);
                } else {
                    const float left = across(rng);
                    invader.at(left, mix == Mix::Ended ? anywhere(rng) : below(rng));
                }
            }
        }

        // The mage walks up and to the right.
        game.program.apply(game.program.now(), game::Input::keyDown(kKeyD));
        game.program.apply(game.program.now(), game::Input::keyDown(kKeyW));

        if (mix == Mix::Ended) hand.WinGame();
    }

    const ui::SpriteArray& array(int kind) const { return form.invaders(kindOf(kind)); }

    std::int64_t allElements() const
    {
        std::int64_t total = 0;
        for (int kind : kKinds) total += static_cast<std::int64_t>(form.invaders(kindOf(kind)).size());
        return total;
    }

    Counters counters() const
    {
        return Counters{form.kills,
                        form.score,
                        form.lives,
                        form.lblCastleLifeBar.Caption,
                        form.picHero.Visible,
                        game.host.boxes.size(),
                        form.tmrCollisionDetect.Enabled(),
                        form.tmrCharaMovement.Enabled()};
    }

    std::array<std::size_t, 3> shown() const
    {
        std::array<std::size_t, 3> out{};
        for (int kind : kKinds) {
            const ui::SpriteArray& invaders = form.invaders(kindOf(kind));
            for (int i = 0; i <= invaders.UBound(); ++i) out[static_cast<std::size_t>(kind)] += invaders(i).Visible;
        }
        return out;
    }

    // Launches projectile `slot` to the right along a lane of the upper field,
    // where no invader of these mixes comes within a second.
    void launch(int slot)
    {
        game.box("picProjectile", slot).at(8000, 1500.0f + 700.0f * static_cast<float>(slot)).visible(true);
        hand.setProjectileStep(slot, static_cast<double>(form.projSpeed[static_cast<std::size_t>(slot)]), 0.0);
        game.timer("tmrProjectile", true, slot);
    }
};

// ---- single ticks ----

enum class Tick { Collision, Hero, CastleKillers, TopStream, BottomStream, Projectile, Spawn, Clock };

struct TickInfo {
    Tick tick;
    const char* name;
    bool runsAfterEnd;
};

constexpr TickInfo kTicks[] = {
    {Tick::Collision, "tmrCollisionDetect", false},
    {Tick::Hero, "tmrCharaMovement", false},
    {Tick::CastleKillers, "tmrMonsterMovement", true},
    {Tick::TopStream, "tmrMoveTop", true},
    {Tick::BottomStream, "tmrMoveBot", true},
    {Tick::Projectile, "tmrProjectile", true},
    {Tick::Spawn, "tmrSpawnTimer", true},
    {Tick::Clock, "tmrTimer", true},
};

// The elements one call visits, for items per second.
std::int64_t itemsPerCall(Tick tick, Field& f)
{
    switch (tick) {
        case Tick::Collision:
            return f.allElements();
        case Tick::CastleKillers:
            return static_cast<std::int64_t>(f.array(1).size());
        case Tick::TopStream:
            return static_cast<std::int64_t>(f.array(2).size());
        case Tick::BottomStream:
            return static_cast<std::int64_t>(f.array(0).size());
        default:
            return 1;
    }
}

// The spawn beat creates elements, and arrays never shrink: each repetition
// gets a fresh field and this many calls, so the arrays stay near their size
// (at 32,767 they fill up on the first call and later calls find them full,
// as in any long game).
constexpr benchmark::IterationCount kSpawnCalls = 32;

void BM_Tick(benchmark::State& state, Tick tick, Mix mix)
{
    Field f(static_cast<int>(state.range(0)), mix);
    game::ByHand& hand = f.hand;
    const std::int64_t items = itemsPerCall(tick, f);
    if (tick == Tick::Projectile) f.launch(0);
    const Counters before = f.counters();
    const auto shownBefore = f.shown();

    switch (tick) {
        case Tick::Collision:
            for (auto _ : state) {
                hand.tmrCollisionDetect_Timer();
                benchmark::ClobberMemory();
            }
            break;
        case Tick::Hero:
            for (auto _ : state) {
                hand.tmrCharaMovement_Timer();
                benchmark::ClobberMemory();
            }
            break;
        case Tick::CastleKillers:
            for (auto _ : state) {
                hand.tmrMonsterMovement_Timer();
                benchmark::ClobberMemory();
            }
            break;
        case Tick::TopStream:
            for (auto _ : state) {
                hand.tmrMoveTop_Timer();
                benchmark::ClobberMemory();
            }
            break;
        case Tick::BottomStream:
            for (auto _ : state) {
                hand.tmrMoveBot_Timer();
                benchmark::ClobberMemory();
            }
            break;
        case Tick::Projectile: {
            // Kept in flight: sent back to its start before it reaches the edge.
            const ui::PictureBox& p = f.form.picProjectile(0);
            const testing_support::BoxSetter back = f.game.box("picProjectile", 0);
            for (auto _ : state) {
                hand.tmrProjectile_Timer(0);
                float left = p.Left;
                if (left > 20000) back.left(8000);
                benchmark::DoNotOptimize(left);
            }
            break;
        }
        case Tick::Spawn:
            for (auto _ : state) {
                hand.tmrSpawnTimer_Timer();
                benchmark::ClobberMemory();
            }
            break;
        case Tick::Clock:
            for (auto _ : state) {
                hand.tmrTimer_Timer();
                benchmark::DoNotOptimize(f.form.lblTimer.Caption.data());
            }
            break;
    }

    if (f.counters() != before || (tick != Tick::Spawn && f.shown() != shownBefore))
        state.SkipWithError("a tick changed more than positions: the field is not the mix it claims");
    state.SetItemsProcessed(state.iterations() * items);
    state.counters["elements"] = static_cast<double>(f.allElements());
}

// ---- whole seconds ----

// Puts everything back where it stood after each simulated second, so that
// walkers never reach the castle or the mage and the mix stays what it is.
// Invaders that the spawn beat created meanwhile are parked; once there are
// `regrowth` of them per array the field is built afresh.
class Replay {
public:
    Replay(int n, Mix mix, int regrowth) : n_(n), mix_(mix), regrowth_(regrowth) { build(); }

    Field& field() { return *field_; }

    void restore()
    {
        const game::Form1& form = field_->form;
        Game& game = field_->game;
        for (int kind : kKinds) {
            if (static_cast<int>(field_->array(kind).size()) > n_ + regrowth_) {
                build();
                return;
            }
        }
        for (int kind : kKinds) {
            const ui::SpriteArray& invaders = field_->array(kind);
            const auto k = static_cast<std::size_t>(kind);
            for (std::size_t i = 0; i < invaders.size(); ++i) {
                const testing_support::BoxSetter invader =
                    game.box(game::Form1::invaderName(kindOf(kind)), static_cast<int>(i));
                if (i < lefts_[k].size()) {
                    invader.at(lefts_[k][i], tops_[k][i]);
                } else {
                    invader.visible(false).at(form.parkedInvaderLeft(), form.parkedInvaderTop());
                }
            }
        }
        game.box("picHero").at(heroLeft_, heroTop_);
        for (int slot = 0; slot < 4; ++slot) field_->launch(slot);
    }

    bool unchanged() const { return field_->counters() == counters_; }

private:
    void build()
    {
        field_ = std::make_unique<Field>(n_, mix_);
        for (int slot = 0; slot < 4; ++slot) field_->launch(slot);
        for (int kind : kKinds) {
            const ui::SpriteArray& invaders = field_->array(kind);
            const auto k = static_cast<std::size_t>(kind);
            lefts_[k].clear();
            tops_[k].clear();
            for (int i = 0; i <= invaders.UBound(); ++i) {
                lefts_[k].push_back(invaders(i).Left);
                tops_[k].push_back(invaders(i).Top);
            }
        }
        heroLeft_ = field_->form.picHero.Left;
        heroTop_ = field_->form.picHero.Top;
        counters_ = field_->counters();
    }

    int n_;
    Mix mix_;
    int regrowth_;
    std::unique_ptr<Field> field_;
    std::array<std::vector<float>, 3> lefts_;
    std::array<std::vector<float>, 3> tops_;
    float heroLeft_ = 0;
    float heroTop_ = 0;
    Counters counters_;
};

// One second of the game's clock through the scheduler, every timer that the
// mix has on: 40 collision ticks, 20 each of the hero, the castle killers and
// both streams, 4 x 20 projectile ticks, one clock tick, and the spawn beat on
// two seconds out of five.
void BM_Second(benchmark::State& state, Mix mix)
{
    Replay replay(static_cast<int>(state.range(0)), mix, 30);
    std::int64_t ticks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        replay.restore();
        Field& f = replay.field();
        state.ResumeTiming();
        f.game.advance(1000);
        benchmark::ClobberMemory();
        state.PauseTiming();
        if (!replay.unchanged()) {
            state.SkipWithError("a hit happened: the field is not the mix it claims");
            break;
        }
        state.ResumeTiming();
        ++ticks;
    }
    state.SetItemsProcessed(ticks);  // simulated seconds per second
}

void registerAll()
{
    for (const TickInfo& t : kTicks) {
        for (Mix mix : {Mix::Walking, Mix::Parked, Mix::Ended}) {
            if (mix == Mix::Ended && !t.runsAfterEnd) continue;
            const std::string name = std::string("tick/") + t.name + "/" + mixName(mix);
            auto* b = benchmark::RegisterBenchmark(name.c_str(), BM_Tick, t.tick, mix);
            b->Arg(10)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);
            if (t.tick == Tick::Spawn) b->Iterations(kSpawnCalls);
        }
    }
    benchmark::RegisterBenchmark("second/of_play_every_timer_on", BM_Second, Mix::Walking)
        ->Arg(1000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("second/after_the_end", BM_Second, Mix::Ended)
        ->Arg(32767)
        ->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv)
{
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
