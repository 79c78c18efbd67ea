#pragma once

#include <cstdint>
#include <memory>

#include "battlefield/by_hand.h"
#include "battlefield/form1.h"
#include "host.h"
#include "input.h"
#include "setting.h"
#include "title/menu.h"
#include "ui/scheduler.h"

namespace game {

// The running program: one clock for every timer and one default instance of
// each window, created on first use.
class Program {
public:
    explicit Program(Host& host);

    // Start-up: the title window is loaded (its controls centred) and shown.
    void startUp();

    // The one way in: brings the clock up to `now` (never back), firing
    // every timer due on the way, then delivers the input. Called from inside
    // a game handler (a message box's event loop), it only delivers. Input
    // for the battlefield before it exists is dropped; a handler that fails
    // stops where it failed and play goes on.
    void apply(std::int64_t now, const Input& input);
    std::int64_t now() const { return scheduler_.now(); }

    // The other door, for scripts and tests that arrange a situation: writes
    // one value into the battlefield (created, not loaded, if it is not yet
    // there). False, with the reason, when the control or element does not
    // exist; nothing changes then.
    bool set(const Setting& setting, std::string& failure);

    // What the world may look at: read-only views of the windows.
    const ui::Scheduler& scheduler() const { return scheduler_; }
    const Menu& menu() const { return menu_; }
    const Form1* form1IfCreated() const { return form1_.get(); }

    // For the rules' own unit tests and the benches: the handlers they run on
    // their own and the invaders they make (battlefield/by_hand.h). Nothing
    // that plays the game uses it.
    ByHand byHand() { return ByHand(form1()); }

private:
    friend class Menu;  // Start opens the battlefield
    // The battlefield's default instance, created (not loaded) on first use.
    Form1& form1();
    void deliver(const Input& input);

    Host& host_;
    ui::Scheduler scheduler_;
    ui::StepBatching batching_;
    Menu menu_;
    std::unique_ptr<Form1> form1_;
};

}  // namespace game
