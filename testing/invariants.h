#pragma once

// What must hold at every moment of a game that is played only through its
// input (keys, buttons, presses, resizes, time), checked between events and
// between timer firings. Shared by the events fuzz target, the soak driver
// and the robustness tests. A game changed through the simulator's `set` hook
// is outside these rules.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "battlefield/form1.h"
#include "program.h"

namespace zorvane_checks {

class Watch {
public:
    // `startMs` is the moment the battlefield was loaded.
    explicit Watch(const game::Form1& f, std::int64_t startMs = 0) : start_(startMs)
    {
        remember(f, sizes(f), hundreds(f.lblCastleLifeBar.Caption).value_or(0));
    }

    // The first broken rule, or an empty string. `now` is the virtual time,
    // `boxes` the number of message boxes shown so far.
    std::string check(const game::Form1& f, std::int64_t now, std::size_t boxes);

private:
    // A caption that is exactly the decimal text of a whole hundred 0..3500.
    static std::optional<int> hundreds(const std::string& caption);
    // What the next check compares with; the array sizes and the castle's
    // life as the check has just read them.
    void remember(const game::Form1& f, const std::array<std::size_t, game::kCollisionOrder.size()>& tops, int castle);
    // The invader arrays' sizes, in the collision tick's order.
    static std::array<std::size_t, game::kCollisionOrder.size()> sizes(const game::Form1& f);
    std::int64_t start_;
    std::int64_t now_ = 0;
    std::array<std::size_t, game::kCollisionOrder.size()> tops_{};
    decltype(game::Form1::keyDown) keys_{};
    float special_ = 0;
    std::int64_t speed3_ = 0;
    std::int16_t lives_ = 0;
    std::int16_t kills_ = 0;
    int castle_ = 3500;
    bool running_ = true;
    std::size_t boxesAtEnd_ = 0;
    std::optional<std::int64_t> decidedDue_;
};

// A started game on a virtual clock whose message boxes are counted and
// closed at once, with a Watch that checks it after every event and after
// every millisecond at which timers fire.
class Session : public game::Host {
public:
    Session() : program_(*this)
    {
        program_.startUp();
        program_.apply(0, game::Input::start());
        watch_.emplace(form(), now());
    }

    void MsgBox(const std::string&) override { ++boxes_; }

    const game::Form1& form() const { return *program_.form1IfCreated(); }
    // For tests of the checks themselves, which break a rule by hand: the
    // set door (false, with the reason, when refused) and what it does not
    // name.
    bool set(const game::Setting& setting, std::string& failure) { return program_.set(setting, failure); }
    game::ByHand hand() { return program_.byHand(); }
    std::int64_t now() const { return program_.now(); }
    std::size_t boxes() const { return boxes_; }

    std::string check() { return watch_->check(form(), now(), boxes_); }

    // Input at the present moment.
    void apply(const game::Input& input) { program_.apply(now(), input); }
    // Lets `ms` pass and checks the rules after each millisecond at which
    // timers fired and at the end; the first broken rule stops it there.
    std::string advance(std::int64_t ms);
    // Lets `ms` pass without checking anything on the way.
    void run(std::int64_t ms) { program_.apply(now() + ms, game::Input::time()); }

private:
    game::Program program_;
    std::size_t boxes_ = 0;
    std::optional<Watch> watch_;
};

}  // namespace zorvane_checks