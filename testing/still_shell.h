#pragma once

#include <gtest/gtest.h>

#include <QPushButton>

#include "app/shell.h"
#include "app/title_widget.h"
#include "app/zoom.h"
#include "fake_pictures.h"

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

    // Start pressed: the battlefield loaded and shown.
    // The battlefield is handed back writable, for tests that arrange a scene.
    game::Form1& pressStart()
    {
        shell.title()->startButton()->click();
        return *shell.programToArrange().form1ToArrange();
    }
};
