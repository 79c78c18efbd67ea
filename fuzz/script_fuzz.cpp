// Arbitrary bytes as a simulator script. The reader must report every fault
// and never crash; a well-formed script is then played as the tool plays it,
// with a cap on the virtual time and on the number of commands, and must
// neither crash nor print anything but whole JSON lines.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "runner.h"
#include "script.h"

namespace {

constexpr std::int64_t kMaxVirtualMs = 60'000;
constexpr std::size_t kMaxCommands = 4096;
constexpr int kMaxDumps = 16;

[[noreturn]] void broken(const char* why, int line = 0)
{
    std::fprintf(stderr, "broken rule: %s (line %d)\n", why, line);
    std::abort();
}

struct Reading {
    std::vector<int> commandLines;
    std::vector<int> errorLines;
    bool operator==(const Reading&) const = default;
};

Reading read(std::string_view text)
{
    Reading r;
    sim::parseScript(
        text,
        [&](const sim::Command& c) {
            if (c.line < 1 || (!r.commandLines.empty() && c.line <= r.commandLines.back()))
                broken("commands out of line order", c.line);
            r.commandLines.push_back(c.line);
        },
        [&](const sim::ScriptError& e) {
            if (e.line < 1 || (!r.errorLines.empty() && e.line <= r.errorLines.back()))
                broken("more than one fault on a line, or out of order", e.line);
            if (e.what.empty() || e.what.find('\n') != std::string::npos) broken("a fault is not one line", e.line);
            r.errorLines.push_back(e.line);
        });
    for (int line : r.errorLines)
        if (std::binary_search(r.commandLines.begin(), r.commandLines.end(), line))
            broken("a faulty line also gave a command", line);
    return r;
}

// Faults that anyone can see without reading the grammar closely: a NUL or a
// byte that never occurs in UTF-8, an overlong line, an unknown first word, an
// event before `start`, a second `start`. Any of them makes the script
// malformed; the reader may of course find more.
bool plainlyMalformed(std::string_view text)
{
    static constexpr std::array<std::string_view, 9> kVerbs{"advance", "start",  "keydown", "keyup", "mousedown",
                                                            "mouseup", "resize", "set",     "dump"};
    bool started = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > sim::kMaxLineBytes) return true;
        for (const char ch : line) {
            const auto c = static_cast<unsigned char>(ch);
            if (c == 0 || c == 0xC0 || c == 0xC1 || c >= 0xF5) return true;
        }
        const std::string_view code = line.substr(0, line.find('#'));
        std::vector<std::string_view> words;
        for (std::size_t i = 0; i < code.size();) {
            const std::size_t b = code.find_first_not_of(" \t", i);
            if (b == std::string_view::npos) break;
            const std::size_t e = std::min(code.find_first_of(" \t", b), code.size());
            words.push_back(code.substr(b, e - b));
            i = e;
        }
        if (words.empty()) continue;
        const std::string_view verb = words[0];
        if (std::find(kVerbs.begin(), kVerbs.end(), verb) == kVerbs.end()) return true;
        if (verb == "start" && words.size() == 1) {
            if (started) return true;
            started = true;
        } else if (!started && verb != "advance" && verb != "dump" && verb != "start") {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The tool reads a script twice, once to check it and once to run it, so
    // both readings must agree.
    const Reading first = read(text);
    if (read(text) != first) broken("two readings of one script differ");
    if (plainlyMalformed(text) && first.errorLines.empty()) broken("a malformed script was accepted");
    if (!first.errorLines.empty()) return 0;  // nothing of a malformed script runs

    std::ostringstream out;
    sim::Runner runner(out);
    int boxes = 0;
    runner.onMsgBox = [&](const std::string&) { ++boxes; };
    std::int64_t budget = kMaxVirtualMs;
    std::size_t commands = 0;
    int dumps = 0;
    bool failed = false;
    sim::parseScript(
        text,
        [&](const sim::Command& c) {
            if (failed || ++commands > kMaxCommands) return;
            sim::Command capped = c;
            if (c.op == sim::Op::Advance) {
                capped.ms = std::min(c.ms, budget);
                budget -= capped.ms;
            }
            if (c.op == sim::Op::Dump && ++dumps > kMaxDumps) return;
            std::string failure;
            if (!runner.run(capped, failure)) {
                if (failure.empty()) broken("a run-time failure without a reason", c.line);
                failed = true;
            }
        },
        [](const sim::ScriptError& e) { broken("the second reading found a fault", e.line); });

    // Every dump and every message box is one line of JSON text.
    const std::string printed = out.str();
    int lines = 0;
    for (std::size_t pos = 0; pos < printed.size(); ++lines) {
        const std::size_t end = printed.find('\n', pos);
        if (end == std::string::npos) broken("output does not end with a line end");
        const std::string_view line(printed.data() + pos, end - pos);
        if (line.size() < 2 || line.front() != '{' || line.back() != '}') broken("an output line is not an object");
        for (const char ch : line)
            if (static_cast<unsigned char>(ch) < 0x20) broken("a raw control character in the output");
        pos = end + 1;
    }
    if (lines != std::min(dumps, kMaxDumps) + boxes) broken("output lines do not match the dumps and boxes");
    return 0;
}
