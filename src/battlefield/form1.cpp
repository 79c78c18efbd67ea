#include "battlefield/form1.h"

#include <algorithm>
#include <cmath>

#include "battlefield/pictures.h"

namespace game {

namespace {

template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace

std::string controlName(std::string_view name, int index)
{
    std::string out(name);
    if (index >= 0) out += "(" + std::to_string(index) + ")";
    return out;
}

ui::PictureBox Form1::designOf(const SpriteMember& member, int index)
{
    for (const SpriteRow& row : spriteRows()) {
        if (row.member != member || row.index != index) continue;
        ui::PictureBox b = row.design;
        // Each box holds its own picture object, named after the box.
        if (row.image != nullptr) b.Picture = ui::makePicture(row.image, controlName(row.name, index));
        return b;
    }
    throw ui::RuntimeError("no such control");
}

Form1::Form1(ui::Scheduler& scheduler, Host& host, ui::StepBatching& batching)
    : picCastleKiller(designOf(&Form1::picCastleKiller, 0), &batching),
      picCKTop(designOf(&Form1::picCKTop, 0), &batching),
      picCKBot(designOf(&Form1::picCKBot, 0), &batching),
      host_(host)
{
    std::vector<std::pair<ui::ControlArray<ui::PictureBox> Form1::*, std::vector<ui::PictureBox>>> arrays;
    for (const SpriteRow& row : spriteRows()) {
        std::visit(Overloaded{[&](Member<ui::PictureBox> m) { this->*m = designOf(m, -1); },
                              [&](Member<ui::ControlArray<ui::PictureBox>> m) {
                                  auto it = std::find_if(arrays.begin(), arrays.end(),
                                                         [m](const auto& a) { return a.first == m; });
                                  if (it == arrays.end()) it = arrays.insert(arrays.end(), {m, {}});
                                  auto& elements = it->second;
                                  const auto i = static_cast<std::size_t>(row.index);
                                  if (elements.size() <= i) elements.resize(i + 1);
                                  elements[i] = designOf(m, row.index);
                              },
                              [](ui::SpriteArray Form1::*) {}},
                   row.member);
    }
    for (auto& [member, elements] : arrays) this->*member = ui::ControlArray<ui::PictureBox>(std::move(elements));
    for (const LabelRow& row : labelRows()) this->*row.member = row.design;
    // Timers join the scheduler in table order, which is the order in which
    // firings due in the same millisecond go.
    for (const TimerRow& row : timerRows()) {
        if (row.member != nullptr) {
            (this->*row.member).attach(scheduler, row.interval, [this, tick = row.tick] { (this->*tick)(); });
        } else {
            for (std::size_t k = 0; k < (this->*row.elements).size(); ++k)
                (this->*row.elements)[k].attach(scheduler, row.interval, [this, tick = row.tickOf, k] {
                    (this->*tick)(static_cast<std::int16_t>(k));
                });
        }
    }
    Picture = ui::makePicture(pictures::kMageLeft, "Form1");
    Icon = ui::makePicture(pictures::kMageIcon, "Form1.Icon");
}

ui::Timer& Form1::tmrProjectile(int index)
{
    if (index < 0 || index >= kSlots) throw ui::RuntimeError("control array index out of range");
    return tmrProjectile_[static_cast<std::size_t>(index)];
}

const ui::Timer& Form1::tmrProjectile(int index) const
{
    if (index < 0 || index >= kSlots) throw ui::RuntimeError("control array index out of range");
    return tmrProjectile_[static_cast<std::size_t>(index)];
}

void Form1::Form_Load()
{
    magicType = 0;
    lives = 3;
    projSpeed = {200, 235, 275, 275};
    walkStep = 55;
    picCastleKiller(0).BackColor = BackColor;
    killsToWin = 150;
    diagonalStep = std::sqrt(static_cast<double>(walkStep * walkStep) / 2.0);
}

void Form1::Show()
{
    if (!Loaded) {
        Form_Load();
        Loaded = true;
        // The timers that are on in the layout start with the loaded window.
        for (const TimerRow& row : timerRows())
            if (row.onAtLoad && row.member != nullptr) (this->*row.member).setEnabled(true);
    }
    if (!Visible) {
        // The focus goes to the first control in tab order that can take it:
        // a shown, enabled box (labels never take it).
        const SpriteRow* first = nullptr;
        for (const SpriteRow& row : spriteRows()) {
            const ui::SpriteView s = row.of(std::as_const(*this));
            if (s.Visible && s.Enabled && (first == nullptr || row.tab < first->tab)) first = &row;
        }
        focus_ = first != nullptr ? controlName(first->name, first->index) : std::string();
    }
    Visible = true;
}

std::vector<const ui::Label*> Form1::labels() const
{
    std::vector<const ui::Label*> out;
    for (const LabelRow& row : labelRows()) out.push_back(&(this->*row.member));
    return out;
}

std::vector<ui::Label*> Form1::labels()
{
    std::vector<ui::Label*> out;
    for (const LabelRow& row : labelRows()) out.push_back(&(this->*row.member));
    return out;
}

std::vector<std::pair<std::string, const ui::Timer*>> Form1::timers() const
{
    std::vector<std::pair<std::string, const ui::Timer*>> out;
    for (const TimerRow& row : timerRows()) {
        if (row.member != nullptr)
            out.emplace_back(row.name, &(this->*row.member));
        else
            for (std::size_t k = 0; k < (this->*row.elements).size(); ++k)
                out.emplace_back(controlName(row.name, static_cast<int>(k)), &(this->*row.elements)[k]);
    }
    return out;
}

std::optional<ui::SpriteRef> Form1::sprite(std::string_view name, int index)
{
    for (const SpriteRow& row : spriteRows()) {
        if (row.name != name) continue;
        if (std::holds_alternative<ui::SpriteArray Form1::*>(row.member)) {
            ui::SpriteArray& a = this->*std::get<ui::SpriteArray Form1::*>(row.member);
            if (!a.exists(index)) return std::nullopt;
            return std::optional<ui::SpriteRef>(std::in_place, a(index));
        }
        if (row.index == index) return std::optional<ui::SpriteRef>(std::in_place, row.of(*this));
    }
    return std::nullopt;
}

ui::Label* Form1::label(std::string_view name)
{
    for (const LabelRow& row : labelRows())
        if (row.design.name == name) return &(this->*row.member);
    return nullptr;
}

ui::Timer* Form1::timer(std::string_view name, int index)
{
    for (const TimerRow& row : timerRows()) {
        if (row.name != name) continue;
        if (row.member != nullptr) return index < 0 ? &(this->*row.member) : nullptr;
        auto& elements = this->*row.elements;
        return index >= 0 && static_cast<std::size_t>(index) < elements.size()
                   ? &elements[static_cast<std::size_t>(index)]
                   : nullptr;
    }
    return nullptr;
}

bool Form1::setVariable(std::string_view name, int index, std::int64_t value)
{
    for (const VariableRow& row : variableRows()) {
        if (!row.settable || row.name != name) continue;
        return std::visit(Overloaded{[&](Member<std::int16_t> m) {
                                         this->*m = static_cast<std::int16_t>(value);
                                         return true;
                                     },
                                     [&](Member<std::optional<std::int64_t>> m) {
                                         this->*m = value;
                                         return true;
                                     },
                                     [&](Member<std::array<std::int64_t, 4>> m) {
                                         auto& elements = this->*m;
                                         if (index < 0 || static_cast<std::size_t>(index) >= elements.size())
                                             return false;
                                         elements[static_cast<std::size_t>(index)] = value;
                                         return true;
                                     }},
                          *row.settable);
    }
    return false;
}

std::optional<InvaderKind> invaderKindOf(int code)
{
    for (const Form1::InvaderRow& row : Form1::invaderRows())
        if (static_cast<int>(row.kind) == code) return row.kind;
    return std::nullopt;
}

const Form1::InvaderRow& Form1::invaderRow(InvaderKind kind)
{
    return invaderRows()[static_cast<std::size_t>(kind)];
}

ui::SpriteArray& Form1::invaders(InvaderKind kind)
{
    return this->*invaderRow(kind).array;
}

const ui::SpriteArray& Form1::invaders(InvaderKind kind) const
{
    return this->*invaderRow(kind).array;
}

const char* Form1::invaderName(InvaderKind kind)
{
    static const std::array<const char*, 3> names = [] {
        std::array<const char*, 3> out{};
        for (const InvaderRow& kindRow : invaderRows())
            for (const SpriteRow& row : spriteRows())
                if (row.member == SpriteMember{kindRow.array}) out[static_cast<std::size_t>(kindRow.kind)] = row.name;
        return out;
    }();
    return names[static_cast<std::size_t>(kind)];
}

std::optional<ControlName> findControl(std::string_view name)
{
    std::optional<ControlName> found;
    for (const Form1::SpriteRow& row : Form1::spriteRows()) {
        if (row.name != name) continue;
        const bool invaders = std::holds_alternative<ui::SpriteArray Form1::*>(row.member);
        const int top = invaders ? ui::SpriteArray::kMaxIndex : row.index;
        found = ControlName{ControlKind::PictureBox, std::max(found ? found->maxIndex : -1, top)};
    }
    if (found) return found;
    for (const Form1::LabelRow& row : Form1::labelRows())
        if (row.design.name == name) return ControlName{ControlKind::Label, -1};
    for (const Form1::TimerRow& row : Form1::timerRows())
        if (row.name == name) return ControlName{ControlKind::Timer, row.member != nullptr ? -1 : Form1::kSlots - 1};
    return std::nullopt;
}

std::optional<SettableVariable> findSettableVariable(std::string_view name)
{
    for (const Form1::VariableRow& row : Form1::variableRows()) {
        if (!row.settable || row.name != name) continue;
        const bool indexed = std::holds_alternative<Form1::Member<std::array<std::int64_t, 4>>>(*row.settable);
        return SettableVariable{row.lo, row.hi, indexed ? Form1::kSlots - 1 : -1};
    }
    return std::nullopt;
}

}  // namespace game
