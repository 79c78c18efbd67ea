#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>

#include "runner.h"
#include "script.h"

namespace {

// Every kind of `set` lands on what it names, and on nothing else.
TEST(SimSet, EachTargetGetsItsOwnValue)
{
    std::ostringstream out;
    sim::Runner runner(out);
    int faults = 0;
    sim::parseScript(
        "start\n"
        "set picProjectile(1).Top 11\nset picLife(0).Width 12\nset picHero.Height 13\nset picHero.Left 14\n"
        "set picCastle.Enabled false\nset lblCastleLifeBar.Width 15\nset tmrSpawnTimer.Enabled false\n"
        "set tmrProjectile(2).Enabled true\nset lives 2\nset score 17\nset magicType 3\nset kills 9\n",
        [&](const sim::Command& c) {
            std::string failure;
            EXPECT_TRUE(runner.run(c, failure)) << failure;
        },
        [&](const sim::ScriptError&) { ++faults; });
    ASSERT_EQ(faults, 0);
    const game::Form1& f = *runner.program().form1IfCreated();
    EXPECT_EQ(f.picProjectile(1).Top, 11);
    EXPECT_NE(f.picProjectile(1).Left, 11);
    EXPECT_EQ(f.picLife(0).Width, 12);
    EXPECT_EQ(f.picHero.Height, 13);
    EXPECT_EQ(f.picHero.Left, 14);
    EXPECT_NE(f.picHero.Top, 14);
    EXPECT_FALSE(f.picCastle.Enabled);
    EXPECT_TRUE(f.picCastle.Visible);
    EXPECT_EQ(f.lblCastleLifeBar.Width, 15);
    EXPECT_FALSE(f.tmrSpawnTimer.Enabled());
    EXPECT_TRUE(f.tmrProjectile(2).Enabled());
    EXPECT_EQ(f.lives, 2);
    EXPECT_EQ(f.score, 17);
    EXPECT_EQ(f.magicType, 3);
    EXPECT_EQ(f.kills, 9);
}

// The reader lets through only targets that exist; a command made some other
// way that names a missing label, timer, variable or element fails with a
// reason and changes nothing.
TEST(SimSet, ATargetThatIsNotThereFailsWithAReason)
{
    std::ostringstream out;
    sim::Runner runner(out);
    sim::Command start;
    start.op = sim::Op::Start;
    std::string failure;
    ASSERT_TRUE(runner.run(start, failure));
    const game::Form1& f = *runner.program().form1IfCreated();
    const auto speeds = f.projSpeed;
    for (auto [kind, name, index] : {std::tuple{sim::SetKind::LabelCaption, "lblNothing", -1},
                                     {sim::SetKind::LabelWidth, "picHero", -1},
                                     {sim::SetKind::TimerEnabled, "tmrProjectile", 4},
                                     {sim::SetKind::TimerEnabled, "tmrNothing", -1},
                                     {sim::SetKind::Variable, "projSpeed", 4},
                                     {sim::SetKind::Variable, "walkStep", -1}}) {
        sim::Command c;
        c.op = sim::Op::Set;
        c.set.kind = kind;
        c.set.name = name;
        c.set.index = index;
        failure.clear();
        EXPECT_FALSE(runner.run(c, failure)) << name;
        EXPECT_NE(failure.find(name), std::string::npos) << failure;
    }
    EXPECT_EQ(f.projSpeed, speeds);
    EXPECT_EQ(f.walkStep, 55);
}

}  // namespace
