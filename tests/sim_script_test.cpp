#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "runner.h"
#include "script.h"

namespace {

struct Parsed {
    std::vector<sim::Command> commands;
    std::vector<sim::ScriptError> errors;
};

Parsed parse(const std::string& text)
{
    Parsed p;
    sim::parseScript(
        text, [&](const sim::Command& c) { p.commands.push_back(c); },
        [&](const sim::ScriptError& e) { p.errors.push_back(e); });
    return p;
}

// The lines that a malformed script reports.
std::vector<int> faultLines(const std::string& text)
{
    std::vector<int> lines;
    for (const auto& e : parse(text).errors) lines.push_back(e.line);
    return lines;
}

TEST(SimScript, wellFormedCommandsCommentsAndBlankLines)
{
    const Parsed p = parse(
        "# a comment\n"
        "\n"
        "advance 100   # trailing comment\r\n"
        "dump\n"
        "start\n"
        "keydown 87\n"
        "keyup -70000\n"
        "keydown 99999999999999999999999\n"
        "mousedown 1 12.5 -.25\n"
        "mouseup 2 +3 4\n"
        "resize 30000 15000.5\n"
        "set picCastleKiller(0).Left -1.5\n"
        "set picHero.Visible false\n"
        "set tmrProjectile(3).Enabled true\n"
        "set lblScoreNum.Caption  #not a comment \n"
        "set projSpeed(2) 300\n"
        "set clockSeconds 59\n"
        "\tadvance\t0\n");
    ASSERT_TRUE(p.errors.empty()) << p.errors.front().line << ": " << p.errors.front().what;
    ASSERT_EQ(p.commands.size(), 16u);
    EXPECT_EQ(p.commands[0].op, sim::Op::Advance);
    EXPECT_EQ(p.commands[0].line, 3);
    EXPECT_EQ(p.commands[0].ms, 100);
    EXPECT_EQ(p.commands[4].key, -70000);
    EXPECT_EQ(p.commands[5].key, -1);  // too large to hold: outside the table
    EXPECT_EQ(p.commands[6].x, 12.5f);
    EXPECT_EQ(p.commands[6].y, -0.25f);
    EXPECT_EQ(p.commands[7].button, 2);
    EXPECT_EQ(p.commands[8].y, 15000.5f);
    EXPECT_EQ(p.commands[9].set.name, "picCastleKiller");
    EXPECT_EQ(p.commands[9].set.index, 0);
    EXPECT_EQ(p.commands[9].set.number, -1.5f);
    EXPECT_EQ(p.commands[12].set.text, " #not a comment ");
    EXPECT_EQ(p.commands[13].set.integer, 300);
}

TEST(SimScript, decimalsAreRoundedOnceToTheNearestSingle)
{
    const Parsed p = parse("start\nset picHero.Left 0.1\nset picHero.Top 16777217\n");
    ASSERT_TRUE(p.errors.empty());
    EXPECT_EQ(p.commands[1].set.number, 0.1f);
    EXPECT_EQ(p.commands[2].set.number, 16777216.0f);
}

TEST(SimScript, eachMalformedLineIsReportedOnce)
{
    EXPECT_EQ(faultLines("bogus\nadvance\nadvance -1\nadvance 10000000001\nadvance 1.5\nadvance 1e3\n"),
              (std::vector<int>{1, 2, 3, 4, 5, 6}));
    // Events before start, a second start.
    EXPECT_EQ(faultLines("keydown 1\nmousedown 1 0 0\nresize 1 1\nset lives 1\nstart\nstart\n"),
              (std::vector<int>{1, 2, 3, 4, 6}));
    EXPECT_EQ(faultLines("start\nkeydown 1.5\nkeydown\nkeydown x\nmousedown 3 0 0\nmousedown 1 0\n"
                         "mousedown 1 1. 2\nresize 0 10\nresize 10 -1\nresize 1e5 1\n"),
              (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(SimScript, setTargetsAndValuesAreChecked)
{
    const std::string faults =
        "start\n"
        "set picNothing.Left 1\n"                                        // 2: no such control
        "set picHero.Caption x\n"                                        // 3: no such property
        "set picProjectile(4).Left 1\n"                                  // 4: outside the fixed array
        "set picLife(3).Visible true\n"                                  // 5
        "set picCKTop(32768).Left 1\n"                                   // 6: outside 0..32767
        "set picHero(0).Left 1\n"                                        // 7: not an array
        "set picCastleKiller.Left 1\n"                                   // 8: an array needs an index
        "set picHero.Visible yes\n"                                      // 9
        "set lives 32768\n"                                              // 10
        "set clockSeconds 60\n"                                          // 11
        "set kills 1.5\n"                                                // 12
        "set tmrTimer.Interval 5\n"                                      // 13
        "set lblTime.Left 5\n"                                           // 14
        "set picHero.Left 1e40\n"                                        // 15
        "set picHero.Left 999999999999999999999999999999999999999999\n"  // 16: beyond single range
        "set lblTime.Caption\n"                                          // 17: no text
        "set projSpeed 5\n"                                              // 18
        "set score 2147483648\n"                                         // 19
        "set magicType -32769\n";                                        // 20
    std::vector<int> expected;
    for (int line = 2; line <= 20; ++line) expected.push_back(line);
    EXPECT_EQ(faultLines(faults), expected);
    EXPECT_TRUE(faultLines("start\nset lives -32768\nset clockSeconds 0\nset score -2147483648\n"
                           "set picCKBot(32767).Top 5\nset lblTime.Caption \nset tmrProjectile(0).Enabled false\n")
                    .empty());
}

TEST(SimScript, binaryDataAndOverlongLinesAreFaultsNotCrashes)
{
    std::string binary = "start\n";
    binary += std::string("\xff\xfe\x00\x01", 4) + "\n";
    binary += "dump\n";
    EXPECT_EQ(faultLines(binary), (std::vector<int>{2}));
    EXPECT_EQ(faultLines("start\n" + std::string(sim::kMaxLineBytes + 1, ' ') + "\n"), (std::vector<int>{2}));
    EXPECT_EQ(faultLines("start\n\xc3\xa9t\xc3\xa9 1\n"), (std::vector<int>{2}));  // valid UTF-8, unknown word
    EXPECT_TRUE(faultLines("").empty());
}

TEST(SimRunner, aSetOnAnInvaderThatDoesNotExistYetFailsAtRunTime)
{
    std::ostringstream out;
    sim::Runner runner(out);
    const Parsed p = parse("start\nset picCastleKiller(1).Left 5\nadvance 2500\nset picCastleKiller(1).Left 5\n");
    ASSERT_TRUE(p.errors.empty());
    std::string failure;
    EXPECT_TRUE(runner.run(p.commands[0], failure));
    EXPECT_FALSE(runner.run(p.commands[1], failure));
    EXPECT_EQ(failure, "picCastleKiller(1) does not exist yet");
    EXPECT_TRUE(runner.run(p.commands[2], failure));
    EXPECT_TRUE(runner.run(p.commands[3], failure));
    EXPECT_EQ(runner.program().form1IfCreated()->picCastleKiller(1).Left, 5);
}

}  // namespace
