// Device contexts: where drawing goes.
//
// A device context wraps a Cairo context whose origin is already the client
// origin of the window (or bitmap) being painted, clipped to what may be
// painted. The window system makes one for each WM_PAINT (BeginPaint); a
// bitmap makes one for its own canvas; TCanvas draws through it.
#pragma once

typedef struct _cairo cairo_t;

namespace platform {

/// \brief A drawing target: a Cairo context translated to the client origin and clipped.
struct TDeviceContext {
  cairo_t* Cr = nullptr;
  int Width = 0;  // size of the client area being painted
  int Height = 0;
};
using HDC = TDeviceContext*;

}  // namespace platform
