#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QtTest/QTest>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>

#include "app/battlefield_widget.h"
#include "app/painting/box_images.h"
#include "app/painting/dirty_region.h"
#include "app/painting/primitives.h"
#include "app/painting/zoomed_picture.h"
#include "testing/still_shell.h"

namespace {

// The battlefield played tick by tick on the offscreen platform, whose
// backing store keeps what the window shows: after every tick and event it
// must hold what a full repaint of the game draws, although only what changed
// was repainted: at full size exactly, zoomed (3/4, 4/5, 5/6) the whole
// scene painted at full size and averaged down, to one level.
struct Repaint : StillShell, ::testing::WithParamInterface<double> {
    const game::Form1& form = pressStart();
    app::BattlefieldWidget& widget = *shell.battlefield();
    const double zoom = widget.zoom().factor();
    double painted = 0;  // pixels repainted since the last look
    int dumps = 0;

    Repaint() : StillShell(GetParam())
    {
        EXPECT_EQ(zoom, GetParam());
        widget.installEventFilter(&counter);
        if (!QTest::qWaitForWindowExposed(&widget)) ADD_FAILURE() << "the battlefield was never shown";
        QCoreApplication::processEvents();
    }

    // The next firing due: the clock moves on to it and the driver wakes.
    void tick()
    {
        wall = shell.program().scheduler().nextDue();
        shell.driver().wake();
    }
    void key(QEvent::Type type, int qtKey, quint32 scanCode)
    {
        QKeyEvent event(type, qtKey, Qt::NoModifier, scanCode, 0, 0, QString());
        QApplication::sendEvent(&widget, &event);
    }
    // A press at a design point, where the zoomed window shows it.
    void mouse(QEvent::Type type, Qt::MouseButton button, QPoint design)
    {
        const QPointF at = QPointF(design) * zoom;
        QMouseEvent event(type, at, widget.mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }
    // A castle killer made by the game's own spawning, put at (left, top).
    void invader(float left, float top)
    {
        hand().SpawnInvader(1);
        box("picCastleKiller", form.picCastleKiller.UBound()).at(left, top);
    }

    // Lets the window repaint, then compares it with a full repaint and
    // returns how many pixels were repainted.
    double look(const char* when)
    {
        painted = 0;
        QCoreApplication::processEvents();
        const double repainted = painted;
        const QImage shown =
            widget.screen()->grabWindow(widget.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        // The whole scene painted afresh. Under a clip of its own the painter
        // draws the boxes' copies itself (which BoxImages's test holds to
        // paintBox), instead of their being written into the image. Zoomed,
        // it is painted at full size, every full-size pixel the window
        // covers, and averaged down: the window may differ from that by one
        // level of a channel at most.
        const app::Zoom z = widget.zoom();
        QImage full(QSize((widget.width() * z.den + z.num - 1) / z.num, (widget.height() * z.den + z.num - 1) / z.num),
                    QImage::Format_RGB32);
        {
            QPainter painter(&full);
            painter.setClipRect(full.rect());
            widget.paintScene(painter, full.rect());
        }
        if (!z.full()) {
            QImage scaled(widget.size(), QImage::Format_RGB32);
            app::scaleDown(full, z, scaled.rect(), scaled);
            full = scaled;
        }
        int most = shown.size() == full.size() ? 0 : 256;
        for (int y = 0; y < shown.height() && most <= 1; ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb a = shown.pixel(x, y), b = full.pixel(x, y);
                most = std::max({most, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                 std::abs(qBlue(a) - qBlue(b))});
            }
        EXPECT_LE(most, 1) << when;
        if (most > 1 && qEnvironmentVariableIsSet("REPAINT_DUMP")) {
            shown.save(QString("/tmp/shown_%1.png").arg(++dumps));
            full.save(QString("/tmp/full_%1.png").arg(dumps));
        }
        return repainted;
    }

    struct PaintCounter : QObject {
        double* pixels;
        explicit PaintCounter(double* into) : pixels(into) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) *pixels += r.width() * r.height();
            return false;
        }
    } counter{&painted};
};

TEST_P(Repaint, OnlyWhatChangedIsRepaintedAndTheWindowShowsWhatAFullRepaintShows)
{
    enum Shows { kNothing, kSomething, kEither };
    struct Step {
        const char* what;
        std::function<void(Repaint&)> act;  // an event of the window, or a change of the model
        bool event;                         // (which shows at the next tick)
        int ticks;
        Shows shows;
        double most = 0.1;  // of the window's pixels repainted, at most
    };
    // Hidden projectiles wait at their design places (x 15240 to 16575, y 600
    // to 1095) and kill what they touch: the invaders keep clear of them.
    const std::vector<Step> steps{
        {"a collision tick that hits nothing", [](Repaint&) {}, false, 1, kNothing},
        {"an invader walks over labels, one of them recaptioned",
         [](Repaint& t) {
             t.invader(17000, 500);
             t.caption("lblKillNum", "12");
         },
         false, 6, kSomething},
        {"an invader walks into the castle, whose bar shrinks", [](Repaint& t) { t.invader(6500, 2000); }, false, 2,
         kSomething},
        {"an invader leaves the window", [](Repaint& t) { t.invader(-600, 8000); }, false, 6, kSomething},
        {"the castle hidden", [](Repaint& t) { t.box("picCastle").visible(false); }, false, 1, kSomething},
        {"and shown again", [](Repaint& t) { t.box("picCastle").visible(true); }, false, 1, kSomething},
        {"D: the mage walks right, another picture object", [](Repaint& t) { t.key(QEvent::KeyPress, Qt::Key_D, 40); },
         true, 4, kSomething},
        {"D let go", [](Repaint& t) { t.key(QEvent::KeyRelease, Qt::Key_D, 40); }, true, 2, kEither},
        {"2: the indicator shows ice", [](Repaint& t) { t.key(QEvent::KeyPress, Qt::Key_2, 11); }, true, 2, kSomething},
        {"the right button held: the special grows above the mage",
         [](Repaint& t) { t.mouse(QEvent::MouseButtonPress, Qt::RightButton, QPoint(1200, 200)); }, true, 6,
         kSomething},
        {"and let go: it flies",
         [](Repaint& t) { t.mouse(QEvent::MouseButtonRelease, Qt::RightButton, QPoint(1200, 200)); }, true, 4,
         kSomething},
        {"a crowd walks: a region of more rectangles than are painted alone",
         [](Repaint& t) {
             for (float i = 0; i < 72; ++i)
                 t.invader(9000 + 1000 * std::fmod(i, 12.0f) + 330 * std::floor(i / 12),
                           5000 + 600 * std::floor(i / 12));
         },
         false, 4, kSomething, 0.5},
    };
    const double window = widget.width() * widget.height();
    look("at the start");
    for (const Step& step : steps) {
        step.act(*this);
        double repainted = step.event ? look(step.what) : 0;
        for (int i = 0; i < step.ticks; ++i) {
            tick();
            repainted += look(step.what);
        }
        if (step.shows == kNothing) {
            EXPECT_EQ(repainted, 0) << step.what;
        } else if (step.shows == kSomething) {
            EXPECT_GT(repainted, 0) << step.what;
        }
        EXPECT_LT(repainted, step.most * window) << step.what;
    }
    EXPECT_LT(form.lblCastleLifeBar.Width, 6615.0f) << "the castle was hit";
    EXPECT_EQ(form.magicType, 1);
    EXPECT_TRUE(form.picProjectile(3).Visible) << "the special flies";
}

INSTANTIATE_TEST_SUITE_P(FullSizeAndZoomed, Repaint, ::testing::Values(1.0, 0.75, 0.8, 5.0 / 6));

// The boxes copied from images of their own, at 1 and 2 device pixels per
// pixel and on both image formats the platforms paint on, are the boxes
// paintBox paints, whether the painter draws the copies (under a clip of its
// own) or they are written into the image's rows, inside an area of several
// rectangles, at the image's edges and from a shifted origin.
TEST(BoxImages, CopyTheBoxesPaintBoxPaints)
{
    const QPalette palette;
    const QPixmap mage = testing_pictures::fakePicture(game::pictures::kMageLeft);
    const QRegion area = QRegion(0, 0, 70, 40) + QRegion(20, 50, 100, 25) + QRegion(90, 10, 30, 30);
    const std::vector<QRect> boxes{QRect(3, 4, 45, 49), QRect(60, 30, 45, 49), QRect(10, 60, 30, 20),
                                   QRect(-20, -9, 45, 49), QRect(100, 70, 45, 49)};
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied})
        for (qreal ratio : {1.0, 2.0}) {
            enum { kPainted, kDrawn, kWritten };
            QImage images[3];
            app::BoxImages copies;
            for (int way : {kPainted, kDrawn, kWritten}) {
                QImage& image = images[way];
                image = QImage(QSize(120, 90) * ratio, format);
                image.setDevicePixelRatio(ratio);
                image.fill(Qt::white);
                QPainter painter(&image);
                painter.translate(7, -5);  // the painter's origin is not the image's
                if (way != kWritten) painter.setClipRegion(area);
                copies.begin(painter, area);
                for (const QRect& r : boxes) {
                    if (way == kPainted)
                        app::paintBox(painter, r, ui::Border::None, ui::rgb(0, 128, 0), &mage, palette);
                    else
                        copies.paint(painter, r, ui::Border::None, QColor(0, 128, 0), &mage, palette);
                }
            }
            EXPECT_EQ(images[kPainted], images[kDrawn]) << "format " << format << ", ratio " << ratio;
            EXPECT_EQ(images[kPainted], images[kWritten]) << "format " << format << ", ratio " << ratio;
        }
}

TEST(DirtyRegion, IsTheUnionOfTheRectangles)
{
    std::mt19937 rng(3u);
    std::uniform_int_distribution<int> at(0, 300), size(0, 60);
    for (int round = 0; round < 50; ++round) {
        std::vector<QRect> rects;
        QRegion expected;
        for (int i = 0; i < round * 4; ++i) {
            rects.emplace_back(at(rng), at(rng), size(rng), size(rng));
            expected += rects.back();
        }
        EXPECT_TRUE((app::unionOf(rects) ^ expected).isEmpty()) << "round " << round;
    }
}

}  // namespace
