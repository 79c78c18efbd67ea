#include "app/zoom.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <initializer_list>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "app/painting/zoomed_picture.h"

namespace {

using app::Zoom;

// The window opens at the largest ratio of small whole numbers at which it
// fits, frame and all; what the player asked for caps it.
TEST(FittingZoom, IsTheLargestSmallRatioThatFitsTheScreenFrameIncluded)
{
    const QSize field(1608, 897), title(1572, 870);
    const QMargins openbox(1, 20, 1, 5), qtFrame(3, 30, 3, 3);
    struct Case {
        const char* screen;
        QSize design;
        QMargins frame;
        QSize available;
        double limit;
        Zoom zoom;
    };
    const std::vector<Case> cases{
        {"1366 x 768, framed", field, openbox, {1366, 768}, 1, {4, 5}},
        {"1366 x 768, framed", title, openbox, {1366, 768}, 1, {5, 6}},
        {"1366 x 768, no frame", field, {}, {1366, 768}, 1, {5, 6}},
        {"1280 x 720, Qt's frame", field, qtFrame, {1280, 720}, 1, {3, 4}},
        {"1280 x 720, Qt's frame", title, qtFrame, {1280, 720}, 1, {3, 4}},
        {"1920 x 1080 at 125 %", field, qtFrame, {1536, 864}, 1, {7, 8}},
        {"1280 x 800, framed (its width decides)", field, openbox, {1280, 800}, 1, {3, 4}},
        {"1920 x 1080", field, openbox, {1920, 1080}, 1, {1, 1}},
        {"1920 x 1080, 0.9 asked for", field, openbox, {1920, 1080}, 0.9, {7, 8}},
        {"unknown, 0.5 asked for", field, {}, {}, 0.5, {1, 2}},
        {"too small for anything", field, {}, {150, 100}, 1, {1, 8}},
    };
    for (const Case& c : cases) {
        const Zoom z = app::fittingZoom(c.design, c.frame, c.available, c.limit);
        EXPECT_EQ(z, c.zoom) << c.screen << ", " << c.design.width() << " wide: " << z.num << "/" << z.den;
    }
}

// Qt does not honour a scale factor below 1: the game takes it as its zoom
// and tells Qt 1. Larger factors and nonsense are left to Qt; per-screen
// factors below 1 become 1.
TEST(SmallScaleFactor, IsTakenOverAndOthersAreLeftAlone)
{
    const QByteArray before = qgetenv("QT_SCALE_FACTOR");
    qputenv("QT_SCREEN_SCALE_FACTORS", "1.5;0.75;HDMI-1=0.5;DP-1=2");
    app::takeOverSmallScaleFactor();
    EXPECT_EQ(qgetenv("QT_SCREEN_SCALE_FACTORS"), "1.5;1;HDMI-1=1;DP-1=2");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    for (const auto& [value, taken, left] : std::vector<std::tuple<const char*, double, const char*>>{
             {"0.75", 0.75, "1"}, {" 0.5", 0.5, "1"}, {"1.5", 1, "1.5"}, {"0", 1, "0"}, {"small", 1, "small"}}) {
        qputenv("QT_SCALE_FACTOR", value);
        EXPECT_EQ(app::takeOverSmallScaleFactor(), taken) << value;
        EXPECT_EQ(qgetenv("QT_SCALE_FACTOR"), left) << value;
    }
    qputenv("QT_SCALE_FACTOR", before);
    if (before.isNull()) qunsetenv("QT_SCALE_FACTOR");
}

// A zoomed pixel is the mean of the full-size pixels it covers, weighted by
// how much of each; a part of the picture comes out as it does in the whole.
TEST(ScaleDown, EachPixelIsTheMeanOfWhatItCoversAndAPartComesOutAsInTheWhole)
{
    QImage full(83, 67, QImage::Format_RGB32);
    std::mt19937 rng(5u);
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x) full.setPixel(x, y, 0xff000000u | (rng() & 0xffffffu));
    for (const Zoom z :
         {Zoom{1, 2}, Zoom{2, 3}, Zoom{3, 4}, Zoom{4, 5}, Zoom{5, 6}, Zoom{6, 7}, Zoom{7, 8}, Zoom{1, 8}}) {
        const QSize size((full.width() * z.num) / z.den, (full.height() * z.num) / z.den);
        QImage whole(size, QImage::Format_RGB32), part(5, 4, QImage::Format_RGB32);
        app::scaleDown(full, z, QRect(QPoint(0, 0), size), whole);
        const QRect inside(size.width() / 3, size.height() / 3, 5, 4);
        app::scaleDown(full, z, inside, part);
        EXPECT_EQ(part, whole.copy(inside)) << z.num << "/" << z.den;
    }
    // At 1/2 a pixel covers 2 x 2 whole ones; at 2/3, (0, 0) covers all of
    // (0, 0) and half of (1, 0), (0, 1) and (1, 1), in halves of a pixel.
    auto mean = [&](std::initializer_list<std::pair<QPoint, int>> covered, int whole) {
        int sum = 0;
        for (const auto& [at, weight] : covered) sum += qGreen(full.pixel(at)) * weight;
        return (sum + whole / 2) / whole;
    };
    QImage out(1, 1, QImage::Format_RGB32);
    app::scaleDown(full, {1, 2}, QRect(3, 2, 1, 1), out);
    EXPECT_EQ(qGreen(out.pixel(0, 0)), mean({{{6, 4}, 1}, {{7, 4}, 1}, {{6, 5}, 1}, {{7, 5}, 1}}, 4));
    app::scaleDown(full, {2, 3}, QRect(0, 0, 1, 1), out);
    EXPECT_EQ(qGreen(out.pixel(0, 0)), mean({{{0, 0}, 4}, {{1, 0}, 2}, {{0, 1}, 2}, {{1, 1}, 1}}, 9));
}

}  // namespace
