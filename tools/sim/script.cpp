#include "script.h"

#include <array>
#include <charconv>
#include <cmath>
#include <iterator>
#include <optional>

#include "battlefield/form1.h"
#include "ui/decimal.h"

namespace sim {

namespace {

// Highest index of a control array or indexed variable that scripts may
// name, or -1 for a name that is no array.
int arrayLimit(std::string_view name)
{
    if (const auto control = game::findControl(name)) return control->maxIndex;
    if (const auto variable = game::findSettableVariable(name)) return variable->maxIndex;
    return -1;
}

bool is(std::string_view name, game::ControlKind kind)
{
    const auto control = game::findControl(name);
    return control && control->kind == kind;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isWhole(std::string_view s)
{
    std::size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    if (i == s.size()) return false;
    for (; i < s.size(); ++i)
        if (!isDigit(s[i])) return false;
    return true;
}

// [+-]digits, [+-]digits.digits or [+-].digits; no exponents.
bool isNumber(std::string_view s)
{
    if (isWhole(s)) return true;
    std::size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    const std::size_t dot = s.find('.', i);
    if (dot == std::string_view::npos) return false;
    if (dot + 1 == s.size()) return false;
    for (std::size_t k = i; k < s.size(); ++k)
        if (k != dot && !isDigit(s[k])) return false;
    return true;
}

std::string_view unsigned_part(std::string_view s)
{
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    return s;
}

std::optional<std::int64_t> whole(std::string_view s)
{
    if (!isWhole(s)) return std::nullopt;
    s = unsigned_part(s);
    std::int64_t v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
    return v;
}

// A number rounded once to the nearest single; nullopt when it is no number
// or lies beyond the single-precision range.
std::optional<float> single(std::string_view s)
{
    if (!isNumber(s)) return std::nullopt;
    s = unsigned_part(s);
    float v = 0;
    auto [p, ec] = ui::readDecimal(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

bool validUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == 0) return false;
        std::size_t len = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

std::vector<std::string_view> words(std::string_view s)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isBlank(s[i])) ++i;
        if (i == s.size()) break;
        std::size_t j = i;
        while (j < s.size() && !isBlank(s[j])) ++j;
        out.push_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

// NAME or NAME(INDEX), split. Returns false when the parentheses are off.
bool splitIndexed(std::string_view s, std::string_view& name, std::optional<std::int64_t>& index, bool& badIndex)
{
    badIndex = false;
    index.reset();
    const std::size_t open = s.find('(');
    if (open == std::string_view::npos) {
        name = s;
        return s.find(')') == std::string_view::npos;
    }
    if (s.back() != ')') return false;
    name = s.substr(0, open);
    const std::string_view inside = s.substr(open + 1, s.size() - open - 2);
    if (!isWhole(inside)) {
        badIndex = true;
        return true;
    }
    index = whole(inside);
    if (!index) badIndex = true;
    return true;
}

class Parser {
public:
    Parser(const CommandSink& onCommand, const ErrorSink& onError) : onCommand_(onCommand), onError_(onError) {}

    void line(int number, std::string_view text)
    {
        line_ = number;
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (text.size() > kMaxLineBytes) return fail("line is longer than " + std::to_string(kMaxLineBytes) + " bytes");
        if (!validUtf8(text)) return fail("not valid UTF-8 text");

        // A caption is the rest of the line as it stands, '#' included.
        std::size_t i = 0;
        while (i < text.size() && isBlank(text[i])) ++i;
        std::size_t j = i;
        while (j < text.size() && !isBlank(text[j]) && text[j] != '#') ++j;
        if (text.substr(i, j - i) == "set") {
            std::size_t t = j;
            while (t < text.size() && isBlank(text[t])) ++t;
            std::size_t u = t;
            while (u < text.size() && !isBlank(text[u]) && text[u] != '#') ++u;
            const std::string_view target = text.substr(t, u - t);
            const std::size_t dot = target.rfind('.');
            if (dot != std::string_view::npos && target.substr(dot + 1) == "Caption" &&
                is(target.substr(0, dot), game::ControlKind::Label)) {
                if (u == text.size() || !isBlank(text[u])) return fail("set " + std::string(target) + " needs a text");
                Command c = base(Op::Set);
                c.set.kind = SetKind::LabelCaption;
                c.set.name = std::string(target.substr(0, dot));
                c.set.property = "Caption";
                c.set.text = std::string(text.substr(u + 1));
                if (!started_) return fail("set comes before start");
                return emit(c);
            }
        }

        const std::size_t hash = text.find('#');
        const std::vector<std::string_view> w = words(hash == std::string_view::npos ? text : text.substr(0, hash));
        if (w.empty()) return;
        command(w);
    }

private:
    Command base(Op op) const
    {
        Command c;
        c.line = line_;
        c.op = op;
        return c;
    }

    void fail(const std::string& what) { onError_(ScriptError{line_, what}); }
    void emit(const Command& c) { onCommand_(c); }

    bool needStart(std::string_view verb)
    {
        if (started_) return true;
        fail(std::string(verb) + " comes before start");
        return false;
    }

    // Each verb checks its words and emits its command; the order of the
    // checks decides which fault a line with several is reported for.
    void command(const std::vector<std::string_view>& w)
    {
        using Verb = void (Parser::*)(std::string_view, const std::vector<std::string_view>&);
        static constexpr std::pair<std::string_view, Verb> kVerbs[]{
            {"advance", &Parser::advance}, {"start", &Parser::start},   {"dump", &Parser::dump},
            {"keydown", &Parser::key},     {"keyup", &Parser::key},     {"mousedown", &Parser::mouse},
            {"mouseup", &Parser::mouse},   {"resize", &Parser::resize}, {"set", &Parser::set}};
        for (const auto& [name, verb] : kVerbs)
            if (w[0] == name) return (this->*verb)(w[0], w);
        fail("unknown command '" + std::string(w[0]) + "'");
    }

    bool arity(const std::vector<std::string_view>& w, std::size_t n, const std::string& usage)
    {
        if (w.size() - 1 == n) return true;
        fail("usage: " + usage);
        return false;
    }

    void advance(std::string_view, const std::vector<std::string_view>& w)
    {
        if (!arity(w, 1, "advance MS")) return;
        const auto ms = whole(w[1]);
        if (!ms || *ms < 0 || *ms > kMaxAdvance)
            return fail("advance takes a whole number of milliseconds from 0 to 10000000000");
        Command c = base(Op::Advance);
        c.ms = *ms;
        emit(c);
    }

    void start(std::string_view, const std::vector<std::string_view>& w)
    {
        if (!arity(w, 0, "start")) return;
        if (started_) return fail("start comes more than once");
        started_ = true;
        emit(base(Op::Start));
    }

    void dump(std::string_view, const std::vector<std::string_view>& w)
    {
        if (arity(w, 0, "dump")) emit(base(Op::Dump));
    }

    void key(std::string_view verb, const std::vector<std::string_view>& w)
    {
        if (!arity(w, 1, std::string(verb) + " CODE")) return;
        if (!isWhole(w[1])) return fail("a key code is a whole number");
        if (!needStart(verb)) return;
        Command c = base(verb == "keydown" ? Op::KeyDown : Op::KeyUp);
        // Any whole number is a key code; one too large to hold lies
        // outside the key table like every other stray code.
        c.key = whole(w[1]).value_or(-1);
        emit(c);
    }

    void mouse(std::string_view verb, const std::vector<std::string_view>& w)
    {
        if (!arity(w, 3, std::string(verb) + " B X Y")) return;
        const auto b = whole(w[1]);
        if (!b || (*b != 1 && *b != 2 && *b != 4)) return fail("a mouse button is 1, 2 or 4");
        const auto x = single(w[2]);
        const auto y = single(w[3]);
        if (!x || !y) return fail("a mouse position is two numbers of twips");
        if (!needStart(verb)) return;
        Command c = base(verb == "mousedown" ? Op::MouseDown : Op::MouseUp);
        c.button = static_cast<std::int16_t>(*b);
        c.x = *x;
        c.y = *y;
        emit(c);
    }

    void resize(std::string_view verb, const std::vector<std::string_view>& w)
    {
        if (!arity(w, 2, "resize W H")) return;
        const auto width = single(w[1]);
        const auto height = single(w[2]);
        if (!width || !height || *width <= 0 || *height <= 0)
            return fail("resize takes a positive width and height in twips");
        if (!needStart(verb)) return;
        Command c = base(Op::Resize);
        c.x = *width;
        c.y = *height;
        emit(c);
    }

    void set(std::string_view verb, const std::vector<std::string_view>& w)
    {
        if (w.size() != 3) return fail("usage: set TARGET VALUE");
        Command c = base(Op::Set);
        if (!setTarget(w[1], w[2], c.set)) return;
        if (!needStart(verb)) return;
        emit(c);
    }

    bool flag(std::string_view s, bool& out)
    {
        if (s == "true")
            out = true;
        else if (s == "false")
            out = false;
        else {
            fail("a flag is true or false");
            return false;
        }
        return true;
    }

    bool setTarget(std::string_view target, std::string_view value, SetCommand& set)
    {
        const std::string t(target);
        const std::size_t dot = target.rfind('.');
        std::string_view head = dot == std::string_view::npos ? target : target.substr(0, dot);
        std::string_view name;
        std::optional<std::int64_t> index;
        bool badIndex = false;
        if (!splitIndexed(head, name, index, badIndex)) {
            fail("unknown target '" + t + "'");
            return false;
        }
        const int limit = arrayLimit(name);
        if (badIndex || (index && (limit < 0 || *index < 0 || *index > limit))) {
            fail("index out of range in '" + t + "'");
            return false;
        }
        if ((limit >= 0) != index.has_value()) {
            fail("unknown target '" + t + "'");
            return false;
        }
        set.name = std::string(name);
        set.index = index ? static_cast<int>(*index) : -1;

        if (dot == std::string_view::npos) return variable(name, value, set, t);
        const std::string_view prop = target.substr(dot + 1);
        set.property = std::string(prop);

        const bool sprite = is(name, game::ControlKind::PictureBox);
        const bool timer = is(name, game::ControlKind::Timer);
        const bool label = is(name, game::ControlKind::Label);
        if (sprite && (prop == "Left" || prop == "Top" || prop == "Width" || prop == "Height")) {
            set.kind = SetKind::SpriteNumber;
            return number(value, set.number);
        }
        if (sprite && (prop == "Visible" || prop == "Enabled")) {
            set.kind = SetKind::SpriteFlag;
            return flag(value, set.flag);
        }
        if (label && prop == "Width") {
            set.kind = SetKind::LabelWidth;
            return number(value, set.number);
        }
        if (timer && prop == "Enabled") {
            set.kind = SetKind::TimerEnabled;
            return flag(value, set.flag);
        }
        fail("unknown target '" + t + "'");
        return false;
    }

    bool number(std::string_view s, float& out)
    {
        const auto v = single(s);
        if (!v) {
            fail("'" + std::string(s) + "' is not a number in the single-precision range");
            return false;
        }
        out = *v;
        return true;
    }

    bool variable(std::string_view name, std::string_view value, SetCommand& set, const std::string& t)
    {
        const auto settable = game::findSettableVariable(name);
        if (!settable || (settable->maxIndex >= 0) != (set.index >= 0)) {
            fail("unknown target '" + t + "'");
            return false;
        }
        const std::int64_t lo = settable->lo, hi = settable->hi;
        if (!isWhole(value)) {
            fail(t + " takes a whole number");
            return false;
        }
        const auto v = whole(value);
        if (!v || *v < lo || *v > hi) {
            fail(t + " takes a whole number from " + std::to_string(lo) + " to " + std::to_string(hi));
            return false;
        }
        set.kind = SetKind::Variable;
        set.integer = *v;
        return true;
    }

    const CommandSink& onCommand_;
    const ErrorSink& onError_;
    int line_ = 0;
    bool started_ = false;
};

}  // namespace

void parseScript(std::string_view text, const CommandSink& onCommand, const ErrorSink& onError)
{
    Parser parser(onCommand, onError);
    int number = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        ++number;
        parser.line(number, text.substr(pos, end - pos));
        pos = end + 1;
    }
}

ReadResult readScript(std::istream& in, std::string& text)
{
    text.clear();
    char buf[1 << 16];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        text.append(buf, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxScriptBytes) return ReadResult::TooLarge;
    }
    // A folder opens like a file but cannot be read.
    return in.bad() ? ReadResult::Unreadable : ReadResult::Ok;
}

}  // namespace sim
