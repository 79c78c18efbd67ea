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
// Frames reach the X server the way Qt hands them over by default: through
// shared memory (MIT-SHM) where the server offers it. Counting the server's
// work with the game's, that is the lighter way: through the connection the
// server reads every painted pixel from the socket and copies it twice, and
// with hundreds of invaders the game blocks again and again writing a
// megabyte a frame into the socket. Shared memory costs a round trip a frame
// instead (Qt makes sure the server has read the pixels it is about to paint
// over), as it does for any Qt program. QT_XCB_NO_MITSHM=1 still sends them
// through the connection.
void setUpBeforeApplication();

// Once it exists: the game's names, its desktop entry and its fonts.
void setUpApplication();

}  // namespace app
