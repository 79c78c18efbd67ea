#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "setting.h"

namespace sim {

enum class Op { Advance, Start, KeyDown, KeyUp, MouseDown, MouseUp, Resize, Set, Dump };

// What a `set` command writes.
using SetCommand = game::Setting;
using SetKind = game::Setting::Kind;

struct Command {
    int line = 0;
    Op op = Op::Dump;
    std::int64_t ms = 0;      // Advance
    std::int64_t key = 0;     // KeyDown/KeyUp; codes too large to hold become -1 (outside the table)
    std::int16_t button = 0;  // MouseDown/MouseUp
    float x = 0, y = 0;       // MouseDown/MouseUp, Resize (as W, H)
    SetCommand set;
};

struct ScriptError {
    int line;
    std::string what;
};

// Limits that keep a hostile script from costing unbounded memory.
inline constexpr std::size_t kMaxLineBytes = 65536;
inline constexpr std::size_t kMaxScriptBytes = 64u << 20;
inline constexpr std::int64_t kMaxAdvance = 10000000000LL;

// Reads a script held in memory, command by command: each well-formed command
// goes to onCommand in script order, each fault to onError (one per line at
// most). The script is to be run only when no error came; running it is a
// second pass over the same text, so a huge script costs its own size and no
// more.
using CommandSink = std::function<void(const Command&)>;
using ErrorSink = std::function<void(const ScriptError&)>;
void parseScript(std::string_view text, const CommandSink& onCommand, const ErrorSink& onError);

// Reads all of a stream, up to kMaxScriptBytes.
enum class ReadResult { Ok, TooLarge, Unreadable };
ReadResult readScript(std::istream& in, std::string& text);

}  // namespace sim
