#pragma once

namespace app {

// The process-wide settings of the game, shared by the game's main() and by
// the programs that measure it, so that they measure the same thing.

// Before the QApplication exists:
//
// - A scale factor below 1, which Qt's painting does not honour, becomes
//   the game's own zoom (see takeOverSmallScaleFactor).
//
// - Pixel art wants whole-number scale factors (at 1.5 nearest-neighbour
//   scaling gives uneven one- and two-pixel cells); 2.0 stays 2.0, and
//   QT_SCALE_FACTOR_ROUNDING_POLICY still overrides this.
//
// How frames reach the X server is left as Qt does it: through shared memory
// where the server offers it, which, counting the server's work with the
// game's, costs less than sending every painted pixel through the connection.
// Returns the zoom the player asked for, for the Shell.
double setUpBeforeApplication();

// Once it exists: the game's names, its desktop entry and its fonts.
void setUpApplication();

}  // namespace app
