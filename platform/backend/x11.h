// The X11 backend: a real X window per top-level window, X events as input,
// the CLIPBOARD selection for the clipboard. Xlib stays inside x11.cpp.
#pragma once

#include <memory>

#include "platform/win/backend.h"

namespace platform {

/// A backend on the display named by DISPLAY, or nullptr when none opens.
std::unique_ptr<TBackend> CreateX11Backend();
/// Makes an X11 backend current (only while no window exists); false when no display opens.
bool UseX11Backend();
/// True when the current backend is the X11 one.
bool IsX11Backend();
/// Handles X events until the top-level window has been exposed once; false on timeout.
bool X11WaitExposed(HWND Top, int TimeoutMs);
/// The pixels the X server shows for the top-level window's client area, as a
/// new RGB24 image (the caller destroys it); nullptr on failure.
cairo_surface_t* X11CaptureWindow(HWND Top);

}  // namespace platform
