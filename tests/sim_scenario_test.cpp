#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runner.h"
#include "script.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string play(const std::string& script)
{
    std::ostringstream out;
    sim::Runner runner(out);
    bool malformed = false;
    const auto ignore = [](const sim::Command&) {};
    sim::parseScript(script, ignore, [&](const sim::ScriptError&) { malformed = true; });
    if (malformed) return "malformed";
    sim::parseScript(
        script,
        [&](const sim::Command& c) {
            std::string failure;
            runner.run(c, failure);
        },
        [](const sim::ScriptError&) {});
    return out.str();
}

// Every scenario under tests/scenarios is played and its JSON lines compared
// with the recorded ones, so that a change of behaviour shows up as a diff.
// ZORVANE_UPDATE_SCENARIOS=1 records them anew.
TEST(Scenarios, everyScriptGivesItsRecordedOutput)
{
    const fs::path dir = ZORVANE_SCENARIOS;
    int played = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".sim") continue;
        fs::path expected = entry.path();
        expected.replace_extension(".jsonl");
        const std::string actual = play(readFile(entry.path()));
        if (std::getenv("ZORVANE_UPDATE_SCENARIOS") != nullptr) {
            std::ofstream(expected, std::ios::binary) << actual;
        } else {
            EXPECT_TRUE(fs::exists(expected)) << expected;
            EXPECT_EQ(actual, readFile(expected)) << entry.path().filename();
        }
        ++played;
    }
    EXPECT_GT(played, 0);
}

}  // namespace
