#include <gtest/gtest.h>

#include <map>
#include <string>

#include "testing/game.h"

namespace {

using testing_support::Game;
using testing_support::StillGame;

TEST(BattlefieldLoad, gameStateTakesItsStartingValues)
{
    Game g;
    const game::Form1& f = g.view;
    EXPECT_EQ(f.magicType, 0);
    EXPECT_EQ(f.lives, 3);
    EXPECT_EQ(f.projSpeed, (std::array<std::int64_t, 4>{200, 235, 275, 275}));
    EXPECT_EQ(f.walkStep, 55);
    EXPECT_EQ(f.killsToWin, 150);
    EXPECT_EQ(f.kills, 0);
    EXPECT_EQ(f.diagonalStep, 38.890872965260115);
    EXPECT_FALSE(f.score.has_value());
    EXPECT_FALSE(f.projStartX[0].has_value());
    EXPECT_FALSE(f.projStepY[3].has_value());
    EXPECT_EQ(f.targetX, 0);
    EXPECT_FALSE(f.specialHeld);
    EXPECT_EQ(f.lblTimer.Caption, "00:00");
    EXPECT_EQ(f.lblScoreNum.Caption, "0");
    EXPECT_EQ(f.lblCastleLifeBar.Caption, "3500");
    EXPECT_EQ(f.lblCastleLifeBar.Width, 6615);
    // The first castle killer takes on the field's green.
    EXPECT_EQ(f.picCastleKiller(0).BackColor, ui::rgb(0, 128, 0));
    EXPECT_EQ(f.picCKTop(0).BackColor, ui::rgb(0, 128, 0));
}

TEST(BattlefieldLoad, onlyTheMageIsBothShownAndEnabled)
{
    Game g;
    std::map<std::string, int> shownAndEnabled;
    int count = 0;
    g.view.forEachSpriteBottomUp([&](const char* name, int, const ui::SpriteView& b) {
        if (b.Visible && b.Enabled) {
            ++count;
            shownAndEnabled[name] = 1;
        }
    });
    EXPECT_EQ(count, 1);
    EXPECT_EQ(shownAndEnabled.count("picHero"), 1u);
    EXPECT_TRUE(g.view.picCastleKiller(0).Visible);
    EXPECT_EQ(g.view.picCastleKiller(0).Left, 27600);
    EXPECT_EQ(g.view.picCastleKiller(0).Top, 14640);
    EXPECT_FALSE(g.view.picCKTop(0).Visible);
    EXPECT_FALSE(g.view.picCKBot(0).Visible);
}

TEST(BattlefieldLoad, boxesHoldTheirOwnCopiesWhereTheDesignSaysSo)
{
    Game g;
    const game::Form1& f = g.view;
    EXPECT_NE(f.picHero.Picture, f.picBlackMageLeft.Picture);
    EXPECT_NE(f.picHero.Picture, f.picBlackMageRight.Picture);
    EXPECT_EQ(f.picHero.Picture->image, f.picBlackMageLeft.Picture->image);
    EXPECT_NE(f.picProjectileType.Picture, f.picFire.Picture);
    EXPECT_EQ(f.picProjectileType.Picture->image, f.picFire.Picture->image);
    EXPECT_NE(f.picLife(0).Picture, f.picLife(1).Picture);
    EXPECT_NE(f.picCastleKiller(0).Picture, f.picCKTop(0).Picture);
    EXPECT_NE(f.Picture, f.picBlackMageLeft.Picture);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(f.picProjectile(k).Picture, nullptr);
}

TEST(BattlefieldLoad, stackingOrderPutsTheCastleLowestAndTheInvadersOnTop)
{
    Game g;
    std::vector<std::string> order;
    g.view.forEachSpriteBottomUp([&](const char* name, int index, const ui::SpriteView&) {
        order.push_back(index >= 0 ? std::string(name) + "(" + std::to_string(index) + ")" : name);
    });
    const std::vector<std::string> expected{"picCastle",
                                            "picHero",
                                            "picProjectile(1)",
                                            "picProjectile(0)",
                                            "picProjectile(2)",
                                            "picLife(0)",
                                            "picLife(1)",
                                            "picLife(2)",
                                            "picFire",
                                            "picIce",
                                            "picLightning",
                                            "picProjectileType",
                                            "picBlackMageRight",
                                            "picBlackMageLeft",
                                            "picBlackMageFireLeft",
                                            "picBlackMageFireRight",
                                            "picBlackMageLightning",
                                            "picProjectile(3)",
                                            "picCastleKiller(0)",
                                            "picCKTop(0)",
                                            "picCKBot(0)"};
    EXPECT_EQ(order, expected);
}

TEST(MouseRouting, pressesOverDisabledBoxesReachTheWindowAndOverTheMageOrEnabledLabelsAreLost)
{
    StillGame g;
    const game::Form1& f = g.view;
    struct Case {
        float x, y;
        bool reachesForm;
        const char* what;
    };
    const Case cases[] = {
        {3000, 2000, true, "castle"},
        {6600, 4200, false, "mage's top-left corner"},
        {6600 + 674.9f, 4200, false, "mage, just inside its right edge"},
        {6600 + 675, 4200, true, "mage's right edge belongs to the field"},
        {12000, 8000, true, "open field"},
        {8700, 400, false, "enabled label lblTime"},
        {16800, 300, true, "disabled label lblWave"},
        {16400, 300, false, "lblStageNum, enabled, over lblWave"},
        {17200, 300, true, "disabled label lblWaveNum"},
        {100, 100, false, "life bar label under the castle's left"},
        {21970, 610, true, "type indicator (disabled)"},
        {25930, 370, true, "life marker"},
    };
    for (const Case& c : cases) {
        g.hand.setTargetX(-1);
        const game::MouseTarget t = g.hand.sendMouseDown(4, c.x, c.y);
        EXPECT_EQ(t.toForm, c.reachesForm) << c.what;
        EXPECT_EQ(f.targetX == c.x, c.reachesForm) << c.what;
        g.hand.sendMouseUp(4, c.x, c.y);
    }
    // An invader over the field is disabled: the press goes through it.
    g.box("picCastleKiller", 0).at(12000, 8000);
    EXPECT_TRUE(g.hand.sendMouseDown(1, 12100, 8100).toForm);
}

TEST(MouseRouting, aReleaseGoesWhereThePressOfTheSameButtonWent)
{
    StillGame g;
    // Right press on the mage is lost, so its release is lost too, even over
    // the field.
    g.hand.sendMouseDown(2, 6700, 4300);
    EXPECT_FALSE(g.hand.sendMouseUp(2, 12000, 8000).toForm);
    // A release of a button never pressed is routed like a press.
    EXPECT_TRUE(g.hand.sendMouseUp(1, 12000, 8000).toForm);
    EXPECT_FALSE(g.hand.sendMouseUp(4, 6700, 4300).toForm);
}

TEST(MouseRouting, runTimeInvadersLieAboveEveryDesignBoxNewestOnTop)
{
    StillGame g;
    const game::Form1& f = g.view;
    g.hand.SpawnInvader(1);
    g.hand.SpawnInvader(2);
    g.box("picCastleKiller", 1).at(6600, 4200).enabled(true);  // over the mage
    g.box("picCKTop", 1).at(6600, 4200);
    EXPECT_TRUE(f.hitTest(6610, 4210).toForm);  // the newest, disabled, lies on top
    g.box("picCKTop", 1).visible(false);
    EXPECT_EQ(f.hitTest(6610, 4210).control, "picCastleKiller(1)");
}

TEST(Keyboard, theMageReceivesEveryKeyAndStrayCodesTouchNothing)
{
    Game g;
    const game::Form1& f = g.view;
    using game::Input;
    g.apply(Input::keyDown(87));
    EXPECT_EQ(f.keyDown[87], -1);
    g.apply(Input::keyUp(87));
    EXPECT_EQ(f.keyDown[87], 0);
    g.apply(Input::keyUp(65));  // a release without a press stores what is there
    EXPECT_EQ(f.keyDown[65], 0);
    const auto before = f.keyDown;
    for (long long code : {-1LL, 256LL, 65536LL, -32768LL, 1LL << 40}) g.apply(Input::keyDown(code));
    EXPECT_EQ(f.keyDown, before);
    g.apply(Input::keyDown(0));
    g.apply(Input::keyDown(255));
    EXPECT_EQ(f.keyDown[0], -1);
    EXPECT_EQ(f.keyDown[255], -1);
}

}  // namespace
