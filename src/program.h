#pragma once

#include <cstdint>
#include <memory>

#include "battlefield/form1.h"
#include "host.h"
#include "input.h"
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

    const ui::Scheduler& scheduler() const { return scheduler_; }
    Menu& menu() { return menu_; }
    // The battlefield's default instance, created (not loaded) on first use.
    Form1& form1();
    Form1* form1IfCreated() { return form1_.get(); }
    const Form1* form1IfCreated() const { return form1_.get(); }

private:
    void deliver(const Input& input);

    Host& host_;
    ui::Scheduler scheduler_;
    Menu menu_;
    std::unique_ptr<Form1> form1_;
};

}  // namespace game
