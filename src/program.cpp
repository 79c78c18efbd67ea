#include "program.h"

#include "ui/error.h"
#include "ui/sprite_array.h"

namespace game {

Program::Program(Host& host) : host_(host), menu_(*this) {}

Form1& Program::form1()
{
    if (!form1_) form1_ = std::make_unique<Form1>(scheduler_, host_);
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
        const ui::StepBatch batch;
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

}  // namespace game
