#include "runner.h"

#include <optional>

#include "json.h"

namespace sim {

Runner::Runner(std::ostream& out) : out_(out), program_(*this)
{
    program_.startUp();
}

void Runner::MsgBox(const std::string& text)
{
    out_ << "{\"t\":" << program_.scheduler().now() << ",\"msgbox\":" << json::quoted(text) << "}\n";
    if (onMsgBox) onMsgBox(text);
}

void Runner::dump()
{
    writeDump(out_, program_);
    out_ << '\n';
}

bool Runner::run(const Command& c, std::string& failure)
{
    ui::Scheduler& clock = program_.scheduler();
    game::Form1* form = program_.form1IfCreated();
    try {
        switch (c.op) {
            case Op::Advance:
                clock.advanceTo(clock.now() + c.ms);
                break;
            case Op::Start:
                program_.menu().cmdStart_Click();
                started_ = true;
                break;
            case Op::Dump:
                dump();
                break;
            case Op::KeyDown:
                form->sendKeyDown(c.key);
                break;
            case Op::KeyUp:
                form->sendKeyUp(c.key);
                break;
            case Op::MouseDown:
                form->sendMouseDown(c.button, c.x, c.y);
                break;
            case Op::MouseUp:
                form->sendMouseUp(c.button, c.x, c.y);
                break;
            case Op::Resize:
                form->Width = c.x;
                form->Height = c.y;
                break;
            case Op::Set:
                return set(c.set, failure);
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
            f.label(s.name)->Caption = s.text;
            return true;
        case SetKind::LabelWidth:
            f.label(s.name)->Width = s.number;
            return true;
        case SetKind::TimerEnabled:
            f.timer(s.name, s.index)->setEnabled(s.flag);
            return true;
        case SetKind::Variable:
            f.setVariable(s.name, s.index, s.integer);
            return true;
    }
    return true;
}

}  // namespace sim
