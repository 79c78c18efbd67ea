#pragma once

#include <gtest/gtest.h>

#include <QPushButton>

#include "app/shell.h"
#include "app/title_widget.h"
#include "app/zoom.h"
#include "fake_pictures.h"

// The zoom the player asks for (as QT_SCALE_FACTOR below 1 does), for the
// windows opened while it lives. On the offscreen platform, whose screen is
// made up, it is the zoom they open at.
struct AskedZoom {
    explicit AskedZoom(double zoom) { app::setRequestedZoom(zoom); }
    ~AskedZoom() { app::setRequestedZoom(1.0); }
    AskedZoom(const AskedZoom&) = delete;
    AskedZoom& operator=(const AskedZoom&) = delete;
};

// The whole program, started, on a clock that stands still: no timer fires
// unless a test moves the clock and wakes the driver.
struct StillShell : ::testing::Test {
    qint64 wall = 0;
    app::Shell shell{[this] { return wall; }, &testing_pictures::fakePicture};

    StillShell() { shell.start(); }

    // Start pressed: the battlefield loaded and shown.
    // The battlefield is handed back writable, for tests that arrange a scene.
    game::Form1& pressStart()
    {
        shell.title()->startButton()->click();
        return *shell.programToArrange().form1ToArrange();
    }
};
