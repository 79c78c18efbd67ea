#include "runner.h"

#include "json.h"

namespace sim {

Runner::Runner(std::ostream& out) : out_(out), program_(*this)
{
    program_.startUp();
}

namespace {

// The input a command stands for; time passing alone for `advance`.
game::Input inputOf(const Command& c)
{
    switch (c.op) {
        case Op::Start:
            return game::Input::start();
        case Op::KeyDown:
            return game::Input::keyDown(c.key);
        case Op::KeyUp:
            return game::Input::keyUp(c.key);
        case Op::MouseDown:
            return game::Input::mouseDown(c.button, c.x, c.y);
        case Op::MouseUp:
            return game::Input::mouseUp(c.button, c.x, c.y);
        case Op::Resize:
            return game::Input::fieldSize(c.x, c.y);
        default:
            return game::Input::time();
    }
}

}  // namespace

void Runner::MsgBox(const std::string& text)
{
    out_ << "{\"t\":" << program_.now() << ",\"msgbox\":" << json::quoted(text) << "}\n";
    if (onMsgBox) onMsgBox(text);
}

void Runner::dump()
{
    writeDump(out_, program_);
    out_ << '\n';
}

bool Runner::run(const Command& c, std::string& failure)
{
    try {
        switch (c.op) {
            case Op::Dump:
                dump();
                return true;
            case Op::Set:
                return program_.set(c.set, failure);
            default:
                // Everything but the test hooks happens at the current time;
                // only `advance` lets time pass first.
                program_.apply(program_.now() + (c.op == Op::Advance ? c.ms : 0), inputOf(c));
                return true;
        }
    } catch (const ui::RuntimeError&) {
        // An event handler that fails stops where it failed, as in the game.
    }
    return true;
}

}  // namespace sim
