#pragma once

#include "shell/zoom.h"

namespace app {

using Zoom = shell::Zoom;

}  // namespace app
