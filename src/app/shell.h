#pragma once

#include <QObject>
#include <QSizeF>
#include <memory>

#include "app/driver.h"
#include "app/message_box_host.h"
#include "app/painting/fonts.h"
#include "app/painting/picture_cache.h"
#include "app/zoom.h"
#include "program.h"

namespace app {

class BattlefieldWidget;
class TitleWidget;

// The desktop program: the game's two windows on screen, driven by real time.
// Everything that happens to the windows, and the timers' wake-ups, goes into
// the game through one path (play): the clock is brought up to the present,
// the event is delivered, the timer is armed for the next due firing, and the
// windows follow the game's state (shown, hidden, repainted where changed).
class Shell : public QObject {
    Q_OBJECT
public:
    // `zoom`: the zoom the player asked for (setUpBeforeApplication's), at
    // most 1; each window is zoomed further to fit its screen.
    explicit Shell(RealTimeDriver::Clock clock = {}, PictureCache::Loader pictures = &PictureCache::fromResources,
                   double zoom = 1.0);
    ~Shell() override;

    // Loads the title window, sized as it will be shown, and shows it.
    void start();

    const game::Program& program() const { return program_; }
    // For tests and benches that arrange a scene by hand; play goes through play().
    game::Program& programToArrange() { return program_; }
    TitleWidget* title() const { return title_.get(); }
    BattlefieldWidget* battlefield() const { return battlefield_.get(); }
    RealTimeDriver& driver() { return driver_; }

private:
    // The one path into the game: fires what is due by now, delivers the
    // input, re-arms, follows. Inside a game handler (a message box's nested
    // loop) or inside a follow, only delivers: the outer call does the rest.
    void play(const game::Input& input);
    void tick();
    // Shows and hides the real windows as the model's windows say, and
    // repaints what changed.
    void follow();
    void makeBattlefield(const game::Form1& form);
    void messageBoxClosed();
    void giveBackFocus();

    MessageBoxHost host_;
    game::Program program_;
    FontCache fonts_;
    PictureCache pictures_;
    WindowZooms zooms_;
    RealTimeDriver driver_;
    std::unique_ptr<TitleWidget> title_;
    std::unique_ptr<BattlefieldWidget> battlefield_;
    bool playing_ = false;
};

}  // namespace app
