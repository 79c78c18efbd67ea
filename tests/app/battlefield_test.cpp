#include <gtest/gtest.h>

#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QtTest/QTest>

#include "app/battlefield_widget.h"
#include "testing/still_shell.h"

namespace {

using testing_pictures::kCastleColour;
using testing_pictures::kRobeColour;

// The battlefield just after Start, in its real window, with no timer running.
struct Battlefield : StillShell {
    explicit Battlefield(double zoom = 1.0) : StillShell(zoom) {}
    const game::Form1& form = pressStart();
    app::BattlefieldWidget& widget = *shell.battlefield();

    QImage render(qreal ratio = 1.0)
    {
        QImage image((QSizeF(widget.size()) * ratio).toSize(), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        QPainter painter(&image);
        widget.paintScene(painter, widget.rect());
        return image;
    }

    void key(QEvent::Type type, int qtKey, quint32 scanCode, bool autoRepeat = false)
    {
        QKeyEvent event(type, qtKey, Qt::NoModifier, scanCode, 0, 0, QString(), autoRepeat);
        QApplication::sendEvent(&widget, &event);
    }
};

// The colour at logical pixel (x, y) of an image painted at `ratio`.
QRgb at(const QImage& image, int x, int y, qreal ratio = 1.0)
{
    return image.pixel(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
}

const QRgb kField = qRgb(0, 128, 0);
const QRgb kLifeBar = qRgb(192, 0, 192);

void expectLayoutAtLoad(const QImage& image, const QPalette& palette, qreal ratio)
{
    SCOPED_TRACE(testing::Message() << "device pixel ratio " << ratio);
    // The field, left of the status texts and right of the castle.
    EXPECT_EQ(at(image, 800, 600, ratio), kField);
    EXPECT_EQ(at(image, 1500, 880, ratio), kField);
    // The castle's life: 6615 x 495 twips at the top left, over the castle's
    // top border, beside the text it centres.
    EXPECT_EQ(at(image, 1, 1, ratio), kLifeBar);
    EXPECT_EQ(at(image, 440, 20, ratio), kLifeBar);
    EXPECT_EQ(at(image, 441, 20, ratio), kField);
    // The castle photograph from the inner corner of its sunken box, which
    // starts 80 pixels left of the window: (-80, 32), 521 x 249.
    EXPECT_EQ(at(image, 100, 100, ratio), kCastleColour.rgb());
    EXPECT_EQ(at(image, 437, 277, ratio), kCastleColour.rgb());
    EXPECT_EQ(at(image, 200, 33, ratio), palette.color(QPalette::Shadow).rgb()) << "inner top edge";
    EXPECT_EQ(at(image, 200, 280, ratio), palette.color(QPalette::Light).rgb()) << "outer bottom edge";
    EXPECT_EQ(at(image, 200, 279, ratio), palette.color(QPalette::Midlight).rgb()) << "inner bottom edge";
    // The mage at (440, 280), 45 x 49: its robe band is drawn, its transparent
    // pixels show the green box, and the picture is cut at the box's width.
    EXPECT_EQ(at(image, 440, 290, ratio), kRobeColour.rgb());
    EXPECT_EQ(at(image, 484, 299, ratio), kRobeColour.rgb());
    EXPECT_EQ(at(image, 486, 295, ratio), kField) << "the mage's last columns lie outside its box";
    EXPECT_EQ(at(image, 460, 285, ratio), kField);
    EXPECT_EQ(at(image, 460, 300, ratio), kField);
}

TEST_F(Battlefield, PaintsTheLayoutOfTheDesignAtLoad)
{
    const QImage image = render();
    expectLayoutAtLoad(image, widget.palette(), 1.0);

    // The status texts, drawn on the green: black text darkens it, the greyed
    // wave heading and number only lighten it. (lblOfNum starts inside
    // lblWaveNum's rectangle, so only their own parts are read.)
    auto range = [&](const ui::Label& l, float right) {
        std::pair<int, int> darkestBrightest{255 * 3, 0};
        for (int y = static_cast<int>(l.Top / 15); y < static_cast<int>((l.Top + l.Height) / 15); ++y)
            for (int x = static_cast<int>(l.Left / 15); x < static_cast<int>(right / 15); ++x) {
                const QColor c = image.pixelColor(x, y);
                const int sum = c.red() + c.green() + c.blue();
                darkestBrightest.first = std::min(darkestBrightest.first, sum);
                darkestBrightest.second = std::max(darkestBrightest.second, sum);
            }
        return darkestBrightest;
    };
    EXPECT_LT(range(form.lblKills, form.lblKills.Left + form.lblKills.Width).first, 60) << "black text";
    for (auto [label, right] : {std::pair{&form.lblWave, form.lblWave.Left + form.lblWave.Width},
                                std::pair{&form.lblWaveNum, form.lblOfNum.Left}}) {
        const auto [darkest, brightest] = range(*label, right);
        EXPECT_GE(darkest, 128) << label->name << " is greyed";
        EXPECT_GT(brightest, 400) << label->name << " is drawn";
    }
}

TEST_F(Battlefield, PaintsTheSameAtDoubleDensityWithCrispPixels)
{
    const QImage image = render(2.0);
    ASSERT_EQ(image.size(), QSize(3216, 1794));
    expectLayoutAtLoad(image, widget.palette(), 2.0);
    // Each picture pixel covers 2 x 2 device pixels of one colour, without
    // the blending a smooth transform would put at the robe's edge.
    EXPECT_EQ(image.pixel(2 * 460, 2 * 290 - 1), kField);
    EXPECT_EQ(image.pixel(2 * 460, 2 * 290), kRobeColour.rgb());
    EXPECT_EQ(image.pixel(2 * 460, 2 * 300 - 1), kRobeColour.rgb());
    EXPECT_EQ(image.pixel(2 * 460, 2 * 300), kField);
}

TEST_F(Battlefield, PaintsBoxesThatStandPartlyOutsideAndSkipsHiddenOnes)
{
    // A fire projectile half outside the left edge: flat frame, red inside.
    box("picProjectile", 0).at(-300, 9000).visible(true);
    // A copy of an invader template, shown on the field, and one hidden there.
    box("picCKTop", 0).at(15000, 9000).visible(true);
    hand().setBackColor("picCKTop", 0, ui::rgb(10, 20, 30));
    box("picCKBot", 0).at(18000, 9000);
    hand().setBackColor("picCKBot", 0, ui::rgb(10, 20, 30));

    const QImage image = render();
    EXPECT_EQ(at(image, 5, 610), qRgb(255, 0, 0));
    EXPECT_EQ(at(image, 12, 610), widget.palette().color(QPalette::WindowText).rgb()) << "its right frame line";
    EXPECT_EQ(at(image, 1010, 640), qRgb(10, 20, 30));
    EXPECT_EQ(at(image, 1210, 640), kField);
}

TEST_F(Battlefield, MousePressesGoWhereTheWindowRoutesThem)
{
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));

    // Over the mage the press is lost: no target is taken.
    QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(450, 300));
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, QPoint(450, 300));
    EXPECT_EQ(form.targetX, 0.0f);
    EXPECT_FALSE(form.picProjectile(0).Visible);

    // Over the (disabled) castle it reaches the window: a fire cast to there.
    QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(100, 120));
    EXPECT_EQ(form.targetX, 1500.0f);
    EXPECT_EQ(form.targetY, 1800.0f);
    EXPECT_TRUE(form.picProjectile(0).Visible);
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, QPoint(100, 120));

    // The right button arms the special, the middle one only takes a target,
    // and buttons the game does not know are ignored.
    QTest::mousePress(&widget, Qt::RightButton, {}, QPoint(900, 700));
    EXPECT_TRUE(form.specialHeld);
    QTest::mouseRelease(&widget, Qt::RightButton, {}, QPoint(900, 700));
    EXPECT_FALSE(form.specialHeld);
    QTest::mousePress(&widget, Qt::MiddleButton, {}, QPoint(1000, 800));
    EXPECT_EQ(form.targetX, 15000.0f);
    QTest::mousePress(&widget, Qt::BackButton, {}, QPoint(1100, 800));
    EXPECT_EQ(form.targetX, 15000.0f);
}

TEST_F(Battlefield, KeysReachTheMageAsHeldKeys)
{
    key(QEvent::KeyPress, Qt::Key_D, 40);
    EXPECT_EQ(form.keyDown[68], -1);
    // X's auto-repeat: a release and a press for a key that is still down.
    key(QEvent::KeyRelease, Qt::Key_D, 40, true);
    EXPECT_EQ(form.keyDown[68], -1);
    key(QEvent::KeyPress, Qt::Key_D, 40, true);
    EXPECT_EQ(form.keyDown[68], -1);
    key(QEvent::KeyRelease, Qt::Key_D, 40);
    EXPECT_EQ(form.keyDown[68], 0);

    // Tab is a key like any other, not a focus move.
    key(QEvent::KeyPress, Qt::Key_Tab, 23);
    EXPECT_EQ(form.keyDown[9], -1);
    // Keypad 1 is not the magic key 1.
    key(QEvent::KeyPress, Qt::Key_1, 87);
    EXPECT_EQ(form.keyDown[97], -1);
    EXPECT_EQ(form.keyDown[49], 0);
    // A test event has no scan code.
    QTest::keyPress(&widget, Qt::Key_W, Qt::ShiftModifier);
    EXPECT_EQ(form.keyDown[87], -1);
}

// Zoomed, the game sees nothing of it: the outer size it reads, a press and
// a resize are all in the design's pixels, as at full size.
struct ZoomedBattlefield : Battlefield {
    ZoomedBattlefield() : Battlefield(0.75) {}
};

TEST_F(ZoomedBattlefield, ShowsTheFieldScaledDownAndTheGameReadsItAsAtFullSize)
{
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    EXPECT_EQ(widget.zoom(), (app::Zoom{3, 4}));
    EXPECT_EQ(widget.size(), QSize(1206, 673));
    EXPECT_EQ(form.Width, 24120.0f);
    EXPECT_EQ(form.Height, 13455.0f);
    const QImage shown = widget.grab().toImage();
    EXPECT_EQ(shown.pixel(2, 2), kLifeBar);
    EXPECT_EQ(shown.pixel(600, 450), kField);
    EXPECT_EQ(shown.pixel(75, 75), kCastleColour.rgb());

    // A press is taken at the whole design pixel under it: (76, 91) shows
    // (101.3, 121.3), over the castle, which hands it to the window.
    QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(76, 91));
    EXPECT_EQ(form.targetX, 1515.0f);
    EXPECT_EQ(form.targetY, 1815.0f);
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, QPoint(76, 91));

    // A size given by hand is read at the zoom.
    widget.resize(900, 600);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.Width == 18000.0f; }, 2000));
    EXPECT_EQ(form.Height, 12000.0f);
    EXPECT_EQ(widget.zoom(), (app::Zoom{3, 4}));
}

TEST_F(Battlefield, TellsTheGameItsOuterSize)
{
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    EXPECT_EQ(form.Width, 24120.0f) << "the offscreen platform's made-up frame is left out";
    EXPECT_EQ(form.Height, 13455.0f);
    widget.resize(1700, 950);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.Width == 25500.0f; }, 2000));
    EXPECT_EQ(form.Height, 14250.0f);
}

}  // namespace
