// Opening the X display for tests that run on a real X server (Xvfb).
#pragma once

#include <unistd.h>

#include "platform/backend/x11.h"

/// Switches the window system to the X11 backend. The X server resets itself
/// when its last client leaves (the previous test program, or the previous
/// backend) and refuses connections for a moment while it does: try again for
/// a while.
inline bool ConnectX11() {
  for (int Try = 0; Try < 100; ++Try) {
    if (platform::UseX11Backend()) return true;
    usleep(50 * 1000);
  }
  return false;
}
