#include "program.h"

#include <optional>

#include "ui/error.h"
#include "ui/sprite_array.h"

namespace game {

Program::Program(Host& host) : host_(host), menu_(*this) {}

Form1& Program::form1()
{
    if (!form1_) form1_ = std::make_unique<Form1>(scheduler_, host_, batching_);
    return *form1_;
}

void Program::startUp()
{
    menu_.Form_Load();
    menu_.Visible = true;
}

void Program::apply(std::int64_t now, const Input& input)
{
    if (!scheduler_.busy()) {
        // The invaders' steps of this run are counted and taken together when
        // it ends, before anyone outside looks at them.
        const ui::StepBatch batch(batching_);
        scheduler_.advanceTo(now);
    }
    try {
        deliver(input);
    } catch (const ui::RuntimeError&) {
        // The handler stops where it failed; play goes on.
    }
}

void Program::deliver(const Input& input)
{
    using Kind = Input::Kind;
    if (input.kind == Kind::Time) return;
    if (input.kind == Kind::Start) return menu_.cmdStart_Click();
    if (input.kind == Kind::TitleSize) {
        menu_.Width = input.width;
        menu_.Height = input.height;
        return;
    }
    Form1* form = form1_.get();
    if (form == nullptr) return;
    switch (input.kind) {
        case Kind::KeyDown:
            form->sendKeyDown(input.key);
            break;
        case Kind::KeyUp:
            form->sendKeyUp(input.key);
            break;
        case Kind::MouseDown:
            form->sendMouseDown(input.button, input.x, input.y);
            break;
        case Kind::MouseUp:
            form->sendMouseUp(input.button, input.x, input.y);
            break;
        case Kind::FieldSize:
            form->Width = input.width;
            form->Height = input.height;
            break;
        default:
            break;
    }
}

bool Program::set(const Setting& s, std::string& failure)
{
    using Kind = Setting::Kind;
    Form1& f = form1();
    switch (s.kind) {
        case Kind::SpriteNumber:
        case Kind::SpriteFlag: {
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
        case Kind::LabelCaption:
        case Kind::LabelWidth: {
            ui::Label* label = f.label(s.name);
            if (label == nullptr) break;
            if (s.kind == Kind::LabelCaption)
                label->Caption = s.text;
            else
                label->Width = s.number;
            return true;
        }
        case Kind::TimerEnabled:
            if (ui::Timer* timer = f.timer(s.name, s.index)) {
                timer->setEnabled(s.flag);
                return true;
            }
            break;
        case Kind::Variable:
            if (f.setVariable(s.name, s.index, s.integer)) return true;
            break;
    }
    // A script's reader lets through only what exists; a setting made some
    // other way may name anything.
    failure = "there is no " + controlName(s.name, s.index) + " to set";
    return false;
}

}  // namespace game
