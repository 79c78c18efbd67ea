// zorvane-sim: runs the game's own rules on a virtual clock from a script of
// player actions and prints the state as JSON lines.
#include <fstream>
#include <iostream>

#include "runner.h"
#include "script.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    if (argc > 2) {
        std::cerr << "zorvane-sim: usage: zorvane-sim [SCRIPT]\n";
        return 2;
    }
    std::string text;
    const std::string source = argc == 2 ? argv[1] : "standard input";
    sim::ReadResult read = sim::ReadResult::Unreadable;
    if (argc == 2) {
        std::ifstream file(argv[1], std::ios::binary);
        if (file) read = sim::readScript(file, text);
    } else {
        read = sim::readScript(std::cin, text);
    }
    if (read == sim::ReadResult::Unreadable) {
        std::cerr << "zorvane-sim: cannot read " << source << "\n";
        return 2;
    }
    if (read == sim::ReadResult::TooLarge) {
        std::cerr << "zorvane-sim: the script is larger than " << (sim::kMaxScriptBytes >> 20) << " MiB\n";
        return 2;
    }

    bool malformed = false;
    sim::parseScript(
        text, [](const sim::Command&) {},
        [&](const sim::ScriptError& e) {
            malformed = true;
            std::cerr << "zorvane-sim: line " << e.line << ": " << e.what << "\n";
        });
    if (malformed) return 2;

    sim::Runner runner(std::cout);
    int status = 0;
    sim::parseScript(
        text,
        [&](const sim::Command& c) {
            if (status != 0) return;
            std::string failure;
            if (!runner.run(c, failure)) {
                std::cout.flush();
                std::cerr << "zorvane-sim: line " << c.line << ": " << failure << "\n";
                status = 3;
            }
        },
        [](const sim::ScriptError&) {});
    std::cout.flush();
    return status;
}
