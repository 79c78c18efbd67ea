#pragma once

namespace app {

// The process-wide settings of the game, shared by the game's main() and by
// the programs that measure it, so that they measure the same thing.

// Before the QApplication exists: pixel art wants whole-number scale factors
// (at 1.5 nearest-neighbour scaling gives uneven one- and two-pixel cells);
// 2.0 stays 2.0, and QT_SCALE_FACTOR_ROUNDING_POLICY still overrides this.
void setScalePolicy();

// Once it exists: the game's names, its desktop entry and its fonts.
void setUpApplication();

}  // namespace app
