#pragma once

#include <functional>
#include <memory>

#include "app/driver.h"
#include "app/fonts.h"
#include "app/input_gate.h"
#include "app/picture_cache.h"
#include "host.h"
#include "program.h"

class QWidget;

namespace app {

class BattlefieldWidget;
class TitleWidget;

// Real message boxes: modal, one OK button, no icon, and an empty title so
// that the window system shows the application's name.
class MessageBoxHost : public game::Host {
public:
    void MsgBox(const std::string& text) override;

    // The window the box belongs to, and what to do once it has closed.
    std::function<QWidget*()> owner;
    std::function<void()> closed;
};

// The desktop program: the game's two windows on screen, driven by real time.
class Shell {
public:
    explicit Shell(RealTimeDriver::Clock clock = {}, PictureCache::Loader pictures = &PictureCache::fromResources);
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // Loads the title window, sized as it will be shown, and shows it.
    void start();

    game::Program& program() { return program_; }
    TitleWidget* title() const { return title_.get(); }
    BattlefieldWidget* battlefield() const { return battlefield_.get(); }
    RealTimeDriver& driver() { return driver_; }

private:
    void beforeInput();
    void afterInput();
    // Shows and hides the real windows as the model's windows say, repaints.
    void follow();
    void giveBackFocus();
    InputGate gate();

    MessageBoxHost host_;
    game::Program program_;
    FontCache fonts_;
    PictureCache pictures_;
    RealTimeDriver driver_;
    std::unique_ptr<TitleWidget> title_;
    std::unique_ptr<BattlefieldWidget> battlefield_;
};

}  // namespace app
