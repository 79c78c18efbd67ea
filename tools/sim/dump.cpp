#include <array>
#include <sstream>

#include "json.h"
#include "runner.h"

namespace sim {

namespace {

const char* b(bool v)
{
    return v ? "true" : "false";
}

void rect(std::ostream& o, float left, float top, float width, float height)
{
    o << "\"left\":" << json::number(left) << ",\"top\":" << json::number(top) << ",\"width\":" << json::number(width)
      << ",\"height\":" << json::number(height);
}

template <typename A>
void list(std::ostream& o, const A& values)
{
    o << '[';
    bool first = true;
    for (const auto& v : values) {
        if (!first) o << ',';
        first = false;
        o << json::number(v);
    }
    o << ']';
}

void writeValue(std::ostream& o, float v)
{
    o << json::number(v);
}
void writeValue(std::ostream& o, double v)
{
    o << json::number(v);
}
void writeValue(std::ostream& o, std::int16_t v)
{
    o << v;
}
void writeValue(std::ostream& o, bool v)
{
    o << b(v);
}
void writeValue(std::ostream& o, const std::optional<std::int64_t>& v)
{
    o << (v ? std::to_string(*v) : "null");
}

template <typename T>
void writeValue(std::ostream& o, const std::array<T, 4>& values)
{
    list(o, values);
}

// The keys held down, as a list of their codes.
void writeValue(std::ostream& o, const game::Form1::KeyTable& keys)
{
    o << '[';
    bool first = true;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (keys[k] == 0) continue;
        if (!first) o << ',';
        first = false;
        o << k;
    }
    o << ']';
}

void writeForm1(std::ostream& o, const game::Form1& f)
{
    o << "{\"width\":" << json::number(f.Width) << ",\"height\":" << json::number(f.Height)
      << ",\"focus\":" << (f.Visible && !f.focus().empty() ? json::quoted(f.focus()) : std::string("null"))
      << ",\"sprites\":{";
    bool first = true;
    f.forEachSpriteBottomUp([&](const char* name, int index, const ui::SpriteView& s) {
        if (!first) o << ',';
        first = false;
        o << json::quoted(game::controlName(name, index)) << ":{";
        rect(o, s.Left, s.Top, s.Width, s.Height);
        o << ",\"visible\":" << b(s.Visible) << ",\"enabled\":" << b(s.Enabled)
          << ",\"picture\":" << (s.Picture ? json::quoted(s.Picture->owner) : std::string("null")) << '}';
    });
    o << "},\"labels\":{";
    first = true;
    for (const ui::Label* l : std::as_const(f).labels()) {
        if (!first) o << ',';
        first = false;
        o << json::quoted(l->name) << ":{\"caption\":" << json::quoted(l->Caption)
          << ",\"width\":" << json::number(l->Width) << '}';
    }
    o << "},\"timers\":{";
    first = true;
    for (const auto& [name, t] : f.timers()) {
        if (!first) o << ',';
        first = false;
        o << json::quoted(name) << ':' << b(t->Enabled());
    }
    o << "},\"vars\":{";
    first = true;
    f.forEachVariable([&](const char* name, const auto& value) {
        if (!first) o << ',';
        first = false;
        o << json::quoted(name) << ':';
        writeValue(o, value);
    });
    o << "}}";
}

}  // namespace

void writeDump(std::ostream& out, const game::Program& program)
{
    std::ostringstream o;
    const game::Form1* f = program.form1IfCreated();
    const game::Menu& m = program.menu();
    o << "{\"t\":" << program.scheduler().now() << ",\"screen\":\""
      << (f != nullptr && f->Visible ? "battlefield" : "title") << "\",\"menu\":{\"visible\":" << b(m.Visible)
      << ",\"controls\":{";
    auto control = [&](const std::string& name, float l, float t, float w, float h, bool last) {
        o << json::quoted(name) << ":{";
        rect(o, l, t, w, h);
        o << '}' << (last ? "" : ",");
    };
    for (const ui::Label* l : m.labels()) control(l->name, l->Left, l->Top, l->Width, l->Height, false);
    control(m.cmdStart.name, m.cmdStart.Left, m.cmdStart.Top, m.cmdStart.Width, m.cmdStart.Height, true);
    o << "}},\"form1\":";
    if (f != nullptr && f->Loaded)
        writeForm1(o, *f);
    else
        o << "null";
    o << '}';
    out << o.str();
}

}  // namespace sim
