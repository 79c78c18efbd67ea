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
// - On X11, painted frames go to the X server through the connection itself
//   instead of shared memory (MIT-SHM). With shared memory, Qt's xcb backing
//   store makes sure the server has read the pixels it is about to paint
//   over by a round trip (a GetInputFocus request and its reply) before every
//   frame that touches the last one: two more wake-ups of the process per
//   frame, the thread that reads the reply and the one that waits for it, and
//   no X event. The battlefield repaints only what changed, a few small
//   rectangles a frame while the player waits, which cost less to send than
//   to wait for. A QT_XCB_NO_MITSHM the user has set is left as it is; other
//   platforms ignore it.
void setUpBeforeApplication();

// Once it exists: the game's names, its desktop entry and its fonts.
void setUpApplication();

}  // namespace app
