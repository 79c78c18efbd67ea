// What one frame of the battlefield costs to paint: the whole 1608 x 897
// client area into an offscreen image, through the widget's own paint routine
// and with the game's real pictures and fonts, in three scenes:
//
//   at_load          the battlefield just after Start;
//   invaders_200     200 invaders walking on the field;
//   invaders_30000   30,000 invaders shown, of which 200 on the field and the
//                    rest beyond its edges (where a long game leaves them),
//                    so the culling is what is measured.
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <random>

#include "app/battlefield_widget.h"
#include "app/fonts.h"
#include "app/picture_cache.h"
#include "support.h"

namespace {

using testing_support::Game;

struct Scene {
    Game game;
    app::PictureCache pictures;
    app::FontCache fonts;
    app::BattlefieldWidget widget{game.form, pictures, fonts};
    QImage image{widget.size(), QImage::Format_RGB32};

    // `shown` invaders in all, spread over the three arrays, the first
    // `onField` of them on the field and the others beyond its edges.
    Scene(int shown, int onField)
    {
        game.stopAllTimers();
        game::Form1& form = game.form;
        std::mt19937 rng(7u);
        std::uniform_real_distribution<float> fieldX(0.0f, 23000.0f);
        std::uniform_real_distribution<float> fieldY(1500.0f, 12500.0f);
        std::uniform_real_distribution<float> beyondX(26000.0f, 60000.0f);
        for (int made = 0; made < shown; ++made) {
            const int kind = made % 3;
            form.SpawnInvader(static_cast<std::int16_t>(kind));
            ui::SpriteArray& invaders = form.invaders(*game::invaderKindOf(kind));
            const ui::SpriteRef invader = invaders(invaders.UBound());
            const bool inside = made < onField;
            invader.Left = inside ? fieldX(rng) : beyondX(rng);
            invader.Top = fieldY(rng);
            invader.Visible = true;
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

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app::PictureCache::registerResources();
    QApplication application(argc, argv);
    app::installFontSubstitutes();

    benchmark::RegisterBenchmark("paint/at_load", BM_Paint, 0, 0)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("paint/invaders_200", BM_Paint, 200, 200)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("paint/invaders_30000", BM_Paint, 30000, 200)->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
