// The text layout cache shared by every canvas (private to the graphics layer).
//
// Text is laid out by Pango at 96 dpi with fixed font options (greyscale
// antialiasing, slight hinting, hinted metrics), so a text gives the same
// pixels on an image surface and on a window. Layouts are kept per text,
// font and format in a bounded least-recently-used cache: laying out a label
// costs far more than drawing it.
#pragma once

#include <string_view>

typedef struct _PangoLayout PangoLayout;

namespace platform {

class TFont;

namespace detail {

/// How a cached layout is broken into lines.
struct TLayoutFormat {
  int WrapWidth = -1;      // pixels; -1 keeps each paragraph on one line
  bool SingleLine = true;  // line breaks in the text show as nothing instead of breaking
  int Alignment = 0;       // 0 left, 1 centre, 2 right (within WrapWidth)
  int PrefixPos = -1;      // byte index of a character to underline, or -1
  bool Ellipsize = false;  // cut at WrapWidth with an ellipsis instead of wrapping
  friend bool operator==(const TLayoutFormat&, const TLayoutFormat&) = default;
};

/// \brief A laid-out text with its size in pixels.
struct TTextLayout {
  PangoLayout* Layout = nullptr;
  int Width = 0;     // logical width
  int Height = 0;    // logical height (one line for an empty text)
  int Baseline = 0;  // distance from the top to the first baseline
};

/// The layout of Text in Font, from the cache. The result stays valid until
/// the next call.
const TTextLayout& LayoutText(const TFont& Font, std::string_view Text, const TLayoutFormat& Format = {});

/// The pixel size Pango draws Font with: its character height.
int FontPixelSize(const TFont& Font);

}  // namespace detail
}  // namespace platform
