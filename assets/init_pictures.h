#pragma once

// Registers the game's built-in pictures (":/pictures/...") with Qt's
// resource system.  Call once before the first picture is loaded; calling
// it again does no harm.
void zorvaneInitPictures();
