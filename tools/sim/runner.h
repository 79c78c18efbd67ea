#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "program.h"
#include "script.h"

namespace sim {

// Plays script commands into the game on a virtual clock and writes JSON
// lines. Message boxes are printed the moment the game shows them and closed
// with OK at once.
class Runner : public game::Host {
public:
    explicit Runner(std::ostream& out);

    // Runs one command; returns false (with the reason) when it fails at run
    // time, for example a `set` on an invader that does not exist yet.
    bool run(const Command& c, std::string& failure);

    void MsgBox(const std::string& text) override;

    const game::Program& program() const { return program_; }
    void dump();
    // Called after every message box, for harnesses that count them.
    std::function<void(const std::string&)> onMsgBox;

private:
    std::ostream& out_;
    game::Program program_;
};

// Writes the whole state as one JSON object (no newline).
void writeDump(std::ostream& out, const game::Program& program);

}  // namespace sim
