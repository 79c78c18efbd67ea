#pragma once

#include <memory>

#include "battlefield/form1.h"
#include "host.h"
#include "title/menu.h"
#include "ui/scheduler.h"

namespace game {

// The running program: one clock for every timer and one default instance of
// each window, created on first use.
class Program {
public:
    explicit Program(Host& host);

    ui::Scheduler& scheduler() { return scheduler_; }
    Menu& menu() { return menu_; }
    // The battlefield's default instance, created (not loaded) on first use.
    Form1& form1();
    Form1* form1IfCreated() { return form1_.get(); }
    const Form1* form1IfCreated() const { return form1_.get(); }

    // Start-up: the title window is loaded (its controls centred) and shown.
    void startUp();

private:
    Host& host_;
    ui::Scheduler scheduler_;
    Menu menu_;
    std::unique_ptr<Form1> form1_;
};

}  // namespace game
