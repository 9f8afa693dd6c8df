// Helpers of the graphics tests: pixel reading and counting on bitmaps.
#pragma once

#include <filesystem>
#include <string>

#include "platform/gfx/bitmap.h"

namespace gfxtest {

using namespace platform;

/// A white bitmap of the size.
inline std::unique_ptr<TBitmap> White(int W, int H) { return std::make_unique<TBitmap>(W, H); }

inline int Luma(TColor C) {
  const std::int32_t Rgb = ColorToRGB(C);
  return (GetRValue(Rgb) * 299 + GetGValue(Rgb) * 587 + GetBValue(Rgb) * 114) / 1000;
}

/// The number of pixels in R (clipped to the bitmap) for which Pred holds.
template <class P>
int Count(TBitmap& B, TRect R, P&& Pred) {
  int N = 0;
  for (int Y = std::max(0, R.Top); Y < std::min(B.Height(), R.Bottom); ++Y)
    for (int X = std::max(0, R.Left); X < std::min(B.Width(), R.Right); ++X)
      if (Pred(B.Canvas()->Pixels(X, Y))) ++N;
  return N;
}

/// Pixels of the bitmap outside R for which Pred holds.
template <class P>
int CountOutside(TBitmap& B, TRect R, P&& Pred) {
  return Count(B, Rect(0, 0, B.Width(), B.Height()), Pred) - Count(B, R, Pred);
}

inline TRect Grown(TRect R, int By) {
  InflateRect(R, By, By);
  return R;
}

inline bool Dark(TColor C) { return Luma(C) < 128; }

/// The folder for images the tests write; made on first use.
inline std::string OutputDir() {
  const std::string Dir = VEL_TEST_OUTPUT_DIR;
  std::filesystem::create_directories(Dir);
  return Dir;
}

}  // namespace gfxtest
