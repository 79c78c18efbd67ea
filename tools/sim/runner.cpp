#include "runner.h"

#include <optional>

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
                return set(c.set, failure);
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

bool Runner::set(const SetCommand& s, std::string& failure)
{
    game::Form1& f = program_.form1();
    switch (s.kind) {
        case SetKind::SpriteNumber:
        case SetKind::SpriteFlag: {
            const std::optional<ui::SpriteRef> box = f.sprite(s.name, s.index);
            if (!box) {
                failure = s.name + "(" + std::to_string(s.index) + ") does not exist yet";
                return false;
            }
            if (s.property == "Left")
                box->Left = s.number;
            else if (s.property == "Top")
                box->Top = s.number;
            else if (s.property == "Width")
                box->Width = s.number;
            else if (s.property == "Height")
                box->Height = s.number;
            else if (s.property == "Visible")
                box->Visible = s.flag;
            else
                box->Enabled = s.flag;
            return true;
        }
        case SetKind::LabelCaption:
        case SetKind::LabelWidth: {
            ui::Label* label = f.label(s.name);
            if (label == nullptr) break;
            if (s.kind == SetKind::LabelCaption)
                label->Caption = s.text;
            else
                label->Width = s.number;
            return true;
        }
        case SetKind::TimerEnabled:
            if (ui::Timer* timer = f.timer(s.name, s.index)) {
                timer->setEnabled(s.flag);
                return true;
            }
            break;
        case SetKind::Variable:
            if (f.setVariable(s.name, s.index, s.integer)) return true;
            break;
    }
    // The reader lets through only what exists; a command made some other
    // way may name anything.
    failure = "there is no " + game::controlName(s.name, s.index) + " to set";
    return false;
}

}  // namespace sim
