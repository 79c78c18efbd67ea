#pragma once

#include <gtest/gtest.h>

#include <QPushButton>

#include "app/shell.h"
#include "app/title_widget.h"
#include "fake_pictures.h"

// The whole program, started, on a clock that stands still: no timer fires
// unless a test moves the clock and wakes the driver.
struct StillShell : ::testing::Test {
    qint64 wall = 0;
    app::Shell shell{[this] { return wall; }, &testing_pictures::fakePicture};

    StillShell() { shell.start(); }

    // Start pressed: the battlefield loaded and shown.
    game::Form1& pressStart()
    {
        shell.title()->startButton()->click();
        return *shell.program().form1IfCreated();
    }
};
