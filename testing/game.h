#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "program.h"

namespace testing_support {

// Records the game's message boxes instead of showing them; each is closed
// with OK at once.
class RecordingHost : public game::Host {
public:
    void MsgBox(const std::string& text) override { boxes.push_back(text); }
    std::vector<std::string> boxes;
};

// A sprite's top-left corner, in twips.
struct Corner {
    float left, top;
};

// Writes one value through the set door; a refused one throws, failing the
// test that made it.
inline void set(game::Program& p, const game::Setting& s)
{
    std::string failure;
    if (!p.set(s, failure)) throw std::invalid_argument(failure);
}

// Writes one picture box's properties through the set door.
class BoxSetter {
public:
    BoxSetter(game::Program& p, std::string name, int index) : p_(p), name_(std::move(name)), index_(index) {}
    const BoxSetter& left(float v) const { return number("Left", v); }
    const BoxSetter& top(float v) const { return number("Top", v); }
    const BoxSetter& width(float v) const { return number("Width", v); }
    const BoxSetter& height(float v) const { return number("Height", v); }
    const BoxSetter& at(float l, float t) const { return left(l).top(t); }
    const BoxSetter& visible(bool v) const { return flag("Visible", v); }
    const BoxSetter& enabled(bool v) const { return flag("Enabled", v); }

private:
    const BoxSetter& number(const char* property, float v) const
    {
        return write({.kind = game::Setting::Kind::SpriteNumber, .property = property, .number = v});
    }
    const BoxSetter& flag(const char* property, bool v) const
    {
        return write({.kind = game::Setting::Kind::SpriteFlag, .property = property, .flag = v});
    }
    const BoxSetter& write(game::Setting s) const
    {
        s.name = name_;
        s.index = index_;
        set(p_, s);
        return *this;
    }

    game::Program& p_;
    std::string name_;
    int index_;
};

// A started game on a virtual clock: the title window loaded at 0 and Start
// pressed at 0, so the battlefield's timers run from 0. Tests read the
// battlefield through `view`, write through the set door (box, label,
// timer, variable) or play through `apply`, and run a handler on its own
// through `hand`.
struct Game {
    RecordingHost host;
    game::Program program{host};
    const game::Form1& view;
    game::ByHand hand;

    Game() : view(start(program)), hand(program.byHand()) {}

    const ui::Scheduler& clock() const { return program.scheduler(); }
    void advance(std::int64_t ms) { program.apply(program.now() + ms, game::Input::time()); }
    // Input at the present moment, through the door every front end uses.
    void apply(const game::Input& input) { program.apply(program.now(), input); }
    void resize(float width, float height) { apply(game::Input::fieldSize(width, height)); }

    // ---- the set door ----
    BoxSetter box(std::string name, int index = -1) { return {program, std::move(name), index}; }
    void caption(std::string name, std::string text)
    {
        set(program, {.kind = game::Setting::Kind::LabelCaption, .name = std::move(name), .text = std::move(text)});
    }
    void labelWidth(std::string name, float width)
    {
        set(program, {.kind = game::Setting::Kind::LabelWidth, .name = std::move(name), .number = width});
    }
    void timer(std::string name, bool on, int index = -1)
    {
        set(program, {.kind = game::Setting::Kind::TimerEnabled, .name = std::move(name), .index = index, .flag = on});
    }
    void variable(std::string name, std::int64_t value, int index = -1)
    {
        set(program,
            {.kind = game::Setting::Kind::Variable, .name = std::move(name), .index = index, .integer = value});
    }

    // Places worked out from the window's current outer size. A hit parks
    // both sprites right of the window, apart, where they touch nothing.
    Corner parkedInvader() const { return {view.Width + 3000, view.Height + 5000}; }
    Corner spentProjectile() const { return {view.Width + 5000, view.Height - 3000}; }
    // Where each stream's new invaders enter.
    Corner bottomStreamEntry() const { return {2000, view.Height - 1000}; }
    Corner castleKillerEntry() const { return {view.Width - 1000, view.Height - 1000}; }
    Corner topStreamEntry() const { return {view.Width - 1000, 2000}; }

    // Switches every timer off, so that a test can drive handlers by hand.
    void stopAllTimers()
    {
        for (const game::TimerRow& row : game::Form1::timerRows()) {
            if (row.member != nullptr) timer(row.name, false);
            for (int k = 0; row.elements != nullptr && k < game::Form1::kSlots; ++k) timer(row.name, false, k);
        }
    }

private:
    static const game::Form1& start(game::Program& p)
    {
        p.startUp();
        p.apply(0, game::Input::start());
        return *p.form1IfCreated();
    }
};

// A started game with every timer switched off, so that a test drives the
// handlers by hand.
struct StillGame : Game {
    StillGame() { stopAllTimers(); }
    void hold(std::initializer_list<int> codes)
    {
        for (int c : codes) hand.picHero_KeyDown(c, 0);
    }
    void heroTick() { hand.tmrCharaMovement_Timer(); }
    void heroTicks(int n)
    {
        for (int i = 0; i < n; ++i) heroTick();
    }
    void collisionTick() { hand.tmrCollisionDetect_Timer(); }
    // Runs flight ticks of a slot until its timer stops; returns how many ran.
    int flyOut(std::int16_t slot)
    {
        int n = 0;
        for (; view.tmrProjectile(slot).Enabled() && n < 10000; ++n) hand.tmrProjectile_Timer(slot);
        return n;
    }
};

// Whether a sprite's top-left corner is exactly at a place.
inline ::testing::AssertionResult isAt(const ui::Extent& s, Corner c)
{
    if (s.Left == c.left && s.Top == c.top) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at " << s.Left << ", " << s.Top << ", not " << c.left << ", " << c.top;
}

// Puts a lone box or an invader at a rectangle, through the set door.
inline void place(const BoxSetter& b, float left, float top, float width, float height)
{
    b.at(left, top).width(width).height(height);
}

}  // namespace testing_support
