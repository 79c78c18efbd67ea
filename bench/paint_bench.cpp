// What the battlefield costs to paint, with the game's real pictures and
// fonts, through the widget's own routines.
//
// paint/...: one whole frame, the 1608 x 897 client area into an offscreen
// image, in three scenes:
//   at_load          the battlefield just after Start;
//   invaders_200     200 invaders walking on the field;
//   invaders_30000   30,000 invaders shown, of which 200 on the field and the
//                    rest beyond its edges (where a long game leaves them),
//                    so the culling is what is measured.
//
// changes/...: what follows a movement tick in the shown window: the scene
// taken stock of and compared with the last one, the changed rectangles
// united into a region, and that region repainted by Qt (the update request
// and its paint event), with 5 (as in wave 1) or 200 invaders on the field,
// each taking a step.
//
// paint_zoomed/... and changes_zoomed/...: the same, with the window zoomed
// as on a small screen, to 3/4 (1206 x 673) and to 4/5 (1286 x 718): the
// whole window (or what changed) as the zoomed window shows it.
//
// take_stock/created_98301: taking stock of the scene with every invader
// array full (98,301 made), 200 of them on the field and the rest shown
// beyond its edges: what following the game costs after each timer firing at
// the index limit.
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <random>
#include <string>
#include <tuple>
#include <utility>

#include "app/battlefield_widget.h"
#include "app/painting/fonts.h"
#include "app/painting/picture_cache.h"
#include "app/painting/shown_scene.h"
#include "app/zoom.h"
#include "testing/game.h"

namespace {

using testing_support::Game;

struct Scene {
    Game game;
    app::PictureCache pictures;
    app::FontCache fonts;
    app::WindowZooms zooms;
    app::BattlefieldWidget widget{game.view, pictures, fonts, zooms};
    QImage image{widget.size(), QImage::Format_RGB32};

    // `shown` invaders in all, spread over the three arrays (or, with
    // `fill`, every array full), the first `onField` of them on the field and
    // the others beyond its edges.
    Scene(int shown, int onField, bool fill = false)
    {
        game.stopAllTimers();
        const game::Form1& form = game.view;
        std::mt19937 rng(7u);
        std::uniform_real_distribution<float> fieldX(0.0f, 23000.0f);
        std::uniform_real_distribution<float> fieldY(1500.0f, 12500.0f);
        std::uniform_real_distribution<float> beyondX(26000.0f, 60000.0f);
        for (int made = 0; fill || made < shown; ++made) {
            const int kind = made % 3;
            const game::InvaderKind invaderKind = *game::invaderKindOf(kind);
            const ui::SpriteArray& invaders = form.invaders(invaderKind);
            if (invaders.UBound() == ui::SpriteArray::kMaxIndex) break;
            game.hand.SpawnInvader(static_cast<std::int16_t>(kind));
            const bool inside = made < onField;
            const float left = inside ? fieldX(rng) : beyondX(rng);
            game.box(game::Form1::invaderName(invaderKind), invaders.UBound()).at(left, fieldY(rng)).visible(true);
        }
        paint();  // pictures decoded and fonts made before timing, as after the first frame
    }

    void paint()
    {
        QPainter painter(&image);
        widget.paintScene(painter, widget.rect());
    }
};

void BM_Paint(benchmark::State& state, int shown, int onField)
{
    Scene scene(shown, onField);
    for (auto _ : state) {
        scene.paint();
        benchmark::DoNotOptimize(scene.image.constBits());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());  // frames per second
    state.counters["invaders_shown"] = shown;
}

void BM_PaintZoomed(benchmark::State& state, int shown, int onField, app::Zoom zoom)
{
    Scene scene(shown, onField);
    // (The offscreen platform's screen is made up: the window opens at the
    // zoom asked for.)
    scene.zooms.requested = zoom.factor();
    scene.widget.show();
    QCoreApplication::processEvents();
    QImage window(scene.widget.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&window);
        scene.widget.paintZoomed(painter, scene.widget.rect());
        painter.end();
        benchmark::DoNotOptimize(window.constBits());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["invaders_shown"] = shown;
}

void BM_Changes(benchmark::State& state, int onField, double zoom)
{
    Scene scene(onField, onField);
    const game::Form1& form = scene.game.view;
    // (The offscreen platform's screen is made up: the window opens at the
    // zoom asked for.)
    scene.zooms.requested = zoom;
    scene.widget.show();
    QCoreApplication::processEvents();
    scene.widget.showChanges();  // the first stock taken
    float step = 1;
    for (auto _ : state) {
        // A step of every invader, forwards and back in turn, so that they
        // stay on the field; set by name, which the game's own step does not
        // pay, so not timed.
        state.PauseTiming();
        form.forEachSpriteBottomUp([&scene, step](const char* name, int index, const auto& box) {
            if (index < 1) return;  // the design's boxes and the arrays' templates stay
            scene.game.box(name, index).at(box.Left - step * 55, box.Top - step * 30);
        });
        state.ResumeTiming();
        step = -step;
        scene.widget.showChanges();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_TakeStock(benchmark::State& state)
{
    Scene scene(0, 200, true);
    app::ShownScene shown;
    for (auto _ : state) {
        shown.take(scene.game.view, scene.pictures, scene.widget.rect());
        benchmark::DoNotOptimize(shown);
    }
    state.counters["invaders_made"] = static_cast<double>(scene.game.view.createdInvaders().size());
    state.counters["boxes_on_screen"] = static_cast<double>(shown.boxes());
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app::PictureCache::registerResources();
    QApplication application(argc, argv);
    app::installFontSubstitutes();

    // Each zoomed case right after its full-size one, so that they can be
    // compared as ratios in one run.
    const std::pair<const char*, app::Zoom> zooms[] = {{"3_4", {3, 4}}, {"4_5", {4, 5}}};
    auto add = [](const std::string& name, auto&&... args) {
        benchmark::RegisterBenchmark(name.c_str(), args...)->Unit(benchmark::kMillisecond);
    };
    for (const auto& [name, shown, onField] : {std::tuple{"at_load", 0, 0}, std::tuple{"invaders_200", 200, 200}}) {
        add(std::string("paint/") + name, BM_Paint, shown, onField);
        for (const auto& [z, zoom] : zooms)
            add(std::string("paint_zoomed_") + z + "/" + name, BM_PaintZoomed, shown, onField, zoom);
    }
    add("paint/invaders_30000", BM_Paint, 30000, 200);
    for (const int onField : {5, 200}) {
        const std::string name = "/invaders_" + std::to_string(onField);
        add("changes" + name, BM_Changes, onField, 1.0);
        for (const auto& [z, zoom] : zooms)
            add("changes_zoomed_" + std::string(z) + name, BM_Changes, onField, zoom.factor());
    }
    benchmark::RegisterBenchmark("take_stock/created_98301", BM_TakeStock)->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
