#pragma once

#include <gtest/gtest.h>

#include <QPushButton>
#include <string>
#include <utility>

#include "app/shell.h"
#include "app/title_widget.h"
#include "app/zoom.h"
#include "fake_pictures.h"
#include "game.h"

// The whole program, started, on a clock that stands still: no timer fires
// unless a test moves the clock and wakes the driver.
struct StillShell : ::testing::Test {
    qint64 wall = 0;
    app::Shell shell;

    // `zoom`: the zoom the player asks for (as QT_SCALE_FACTOR below 1 does).
    // On the offscreen platform, whose screen is made up, it is the zoom the
    // windows open at.
    explicit StillShell(double zoom = 1.0) : shell([this] { return wall; }, &testing_pictures::fakePicture, zoom)
    {
        shell.start();
    }

    // Start pressed: the battlefield loaded and shown, handed back to read.
    const game::Form1& pressStart()
    {
        shell.title()->startButton()->click();
        return *shell.program().form1IfCreated();
    }

    // A scene is arranged through the game's set door (a refused setting
    // throws, failing the test) or by running a handler by hand; the windows
    // follow at the next tick or event.
    testing_support::BoxSetter box(std::string name, int index = -1)
    {
        return {shell.programToArrange(), std::move(name), index};
    }
    void caption(std::string label, std::string text)
    {
        testing_support::set(
            shell.programToArrange(),
            {.kind = game::Setting::Kind::LabelCaption, .name = std::move(label), .text = std::move(text)});
    }
    game::ByHand hand() { return shell.programToArrange().byHand(); }
};
