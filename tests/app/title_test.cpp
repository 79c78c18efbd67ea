#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "app/battlefield_widget.h"
#include "app/painting/fonts.h"
#include "testing/still_shell.h"

namespace {

struct Started : StillShell {
    explicit Started(double zoom = 1.0) : StillShell(zoom) {}
    const game::Menu& menu = shell.program().menu();
};

TEST_F(Started, TheTitleCentresOnItsOuterWidthAndFocusesStart)
{
    ASSERT_TRUE(shell.title()->isVisible());
    EXPECT_EQ(shell.title()->windowTitle(), "Zorvane");
    EXPECT_EQ(shell.title()->size(), QSize(1572, 870));
    EXPECT_EQ(menu.Width, 23580.0f) << "no frame is known before the window is shown";
    EXPECT_EQ(menu.Height, 13050.0f);
    EXPECT_EQ(menu.lblWelcome.Left, 7522.5f);
    EXPECT_EQ(menu.cmdStart.Left, 10402.5f);

    QPushButton* start = shell.title()->startButton();
    EXPECT_EQ(start->geometry(), QRect(694, 536, 185, 105));
    EXPECT_EQ(start->text(), "Start");
    EXPECT_TRUE(start->font().bold());
    EXPECT_EQ(start->font().pixelSize(), 18) << "13.5 pt at 96 dots per inch";
    ASSERT_TRUE(QTest::qWaitForWindowActive(shell.title()));
    EXPECT_EQ(QApplication::focusWidget(), start);

    // The cyan surface shows around the labels.
    const QImage image = shell.title()->grab().toImage();
    EXPECT_EQ(image.pixelColor(10, 10), QColor(0, 255, 255));
    EXPECT_EQ(image.pixelColor(1500, 800), QColor(0, 255, 255));
}

TEST_F(Started, EnterOnStartOpensTheBattlefieldAndHidesTheTitle)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(shell.title()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    ASSERT_NE(shell.battlefield(), nullptr);
    EXPECT_TRUE(shell.battlefield()->isVisible());
    EXPECT_FALSE(shell.title()->isVisible());
    EXPECT_FALSE(menu.Visible);
    const game::Form1& form = *shell.program().form1IfCreated();
    EXPECT_TRUE(form.Loaded);
    EXPECT_EQ(form.Width, 24120.0f);
    EXPECT_EQ(form.Height, 13455.0f);
    EXPECT_EQ(shell.battlefield()->size(), QSize(1608, 897));
    EXPECT_EQ(shell.battlefield()->windowTitle(), "Zorvane");

    // The keys go to the battlefield, and the timers started with it.
    ASSERT_TRUE(QTest::qWaitForWindowActive(shell.battlefield()));
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_D);
    EXPECT_EQ(form.keyDown[68], -1);
    EXPECT_EQ(shell.driver().armedDelay(), 25);
}

TEST_F(Started, KeysStillReachTheGameAfterAMessageBoxHasClosed)
{
    const game::Form1& form = pressStart();
    ASSERT_NE(shell.battlefield(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(shell.battlefield()));

    // OK each box as it comes up, noting what it looked like.
    std::vector<QString> texts;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        texts.push_back(box->text());
        EXPECT_EQ(box->windowTitle(), "Zorvane") << "the application's display name";
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_TRUE(box->isModal());
        box->button(QMessageBox::Ok)->click();
    });
    closer.start(20);

    hand().WinGame();
    closer.stop();
    EXPECT_EQ(texts, (std::vector<QString>{"You won the game, good job!", "Your score is "}));

    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == shell.battlefield(); }, 2000));
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_W);
    EXPECT_EQ(form.keyDown[87], -1);
}

// Zoomed to 1/2: the texts are laid out on the design's outer width, Start is
// placed and lettered at the zoom, and Enter opens the battlefield zoomed.
struct ZoomedTitle : Started {
    ZoomedTitle() : Started(0.5) {}
};

TEST_F(ZoomedTitle, StartsTheGameAsAtFullSize)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(shell.title()));
    EXPECT_EQ(shell.title()->zoom(), (app::Zoom{1, 2}));
    EXPECT_EQ(shell.title()->size(), QSize(786, 435));
    EXPECT_EQ(menu.Width, 23580.0f);
    EXPECT_EQ(menu.cmdStart.Left, 10402.5f);
    QPushButton* start = shell.title()->startButton();
    EXPECT_EQ(start->geometry(), QRect(347, 268, 93, 53)) << "694, 536, 185 x 105 halved, outwards";
    EXPECT_EQ(start->font().pixelSize(), 9);
    EXPECT_EQ(shell.title()->grab().toImage().pixelColor(750, 400), QColor(0, 255, 255));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_NE(shell.battlefield(), nullptr);
    EXPECT_TRUE(shell.battlefield()->isVisible());
    EXPECT_EQ(shell.battlefield()->size(), QSize(804, 449));
    EXPECT_EQ(shell.program().form1IfCreated()->Width, 24120.0f);
}

TEST(Fonts, TheDesignFacesResolveToTheirSubstitutes)
{
    if (!QFontDatabase::hasFamily("Liberation Sans") || !QFontDatabase::hasFamily("Nachlieli CLM"))
        GTEST_SKIP() << "fonts-liberation2 or culmus is not installed";
    EXPECT_EQ(QFontInfo(app::qtFont({"MS Sans Serif", 13.5, false})).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(app::qtFont({"Narkisim", 24, true})).family(), "Nachlieli CLM");
    const QFont twelve = app::qtFont({"MS Sans Serif", 12, true});
    EXPECT_EQ(twelve.pixelSize(), 16);
    EXPECT_TRUE(twelve.bold());
    EXPECT_EQ(app::qtFont({"MS Sans Serif", 48, false}).pixelSize(), 64);
}

}  // namespace
