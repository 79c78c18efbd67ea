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
    if (s.kind == SetKind::SpriteNumber || s.kind == SetKind::SpriteFlag) {
        std::optional<ui::SpriteRef> box;
        if (s.name == "picProjectile" || s.name == "picLife") {
            box.emplace((s.name == "picLife" ? f.picLife : f.picProjectile)(s.index));
        } else if (s.index >= 0) {
            ui::SpriteArray& invaders = s.name == "picCastleKiller" ? f.picCastleKiller
                                        : s.name == "picCKTop"      ? f.picCKTop
                                                                    : f.picCKBot;
            if (!invaders.exists(s.index)) {
                failure = s.name + "(" + std::to_string(s.index) + ") does not exist yet";
                return false;
            }
            box.emplace(invaders(s.index));
        } else {
            f.forEachSpriteBottomUp([&](const char* name, int, ui::SpriteRef b) {
                if (!box && s.name == name) box.emplace(b);
            });
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
    if (s.kind == SetKind::LabelCaption || s.kind == SetKind::LabelWidth) {
        for (ui::Label* l : f.labels()) {
            if (l->name != s.name) continue;
            if (s.kind == SetKind::LabelCaption)
                l->Caption = s.text;
            else
                l->Width = s.number;
        }
        return true;
    }
    if (s.kind == SetKind::TimerEnabled) {
        ui::Timer* timer = nullptr;
        if (s.index >= 0)
            timer = &f.tmrProjectile(s.index);
        else
            for (auto& [name, t] : f.timers())
                if (name == s.name) timer = const_cast<ui::Timer*>(t);
        timer->setEnabled(s.flag);
        return true;
    }
    const auto v = s.integer;
    auto i16 = [v] { return static_cast<std::int16_t>(v); };
    if (s.name == "lives")
        f.lives = i16();
    else if (s.name == "kills")
        f.kills = i16();
    else if (s.name == "score")
        f.score = v;
    else if (s.name == "magicType")
        f.magicType = i16();
    else if (s.name == "clockMinutes")
        f.clockMinutes = i16();
    else if (s.name == "clockSeconds")
        f.clockSeconds = i16();
    else if (s.name == "projSpeed")
        f.projSpeed[static_cast<std::size_t>(s.index)] = v;
    return true;
}

}  // namespace sim
