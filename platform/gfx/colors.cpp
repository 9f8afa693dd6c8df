#include "platform/gfx/colors.h"

#include <array>

namespace platform {

namespace {

// A flat light theme: light grey faces, mid grey shadows, black text, blue
// selection, white windows. Index 25 has no system colour and stays black.
constexpr std::array<TColor, 31> SysColors = {
    RGB(200, 200, 200),  // 0 scroll bar
    RGB(58, 110, 165),   // 1 desktop background
    RGB(0, 120, 215),    // 2 active caption
    RGB(191, 205, 219),  // 3 inactive caption
    RGB(240, 240, 240),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(100, 100, 100),  // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(255, 255, 255),  // 9 caption text
    RGB(180, 180, 180),  // 10 active border
    RGB(244, 247, 252),  // 11 inactive border
    RGB(171, 171, 171),  // 12 application work space
    RGB(0, 120, 215),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(240, 240, 240),  // 15 button face
    RGB(160, 160, 160),  // 16 button shadow
    RGB(109, 109, 109),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(0, 0, 0),        // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(105, 105, 105),  // 21 3D dark shadow
    RGB(227, 227, 227),  // 22 3D light
    RGB(0, 0, 0),        // 23 tooltip text
    RGB(255, 255, 225),  // 24 tooltip background
    RGB(0, 0, 0),        // 25 (none)
    RGB(0, 102, 204),    // 26 hot-tracked item
    RGB(185, 209, 234),  // 27 active caption gradient
    RGB(215, 228, 242),  // 28 inactive caption gradient
    RGB(0, 120, 215),    // 29 menu highlight
    RGB(240, 240, 240),  // 30 menu bar
};

}  // namespace

std::int32_t GetSysColor(int Index) {
  if (Index < 0 || Index >= int(SysColors.size())) return 0;
  return SysColors[Index];
}

std::int32_t ColorToRGB(TColor Color) {
  if (Color == clDefault) return GetSysColor(clWindow & 0xFF);
  if (IsSystemColor(Color)) return GetSysColor(std::int32_t(Color) & 0x00FFFFFF);
  return std::int32_t(Color) & 0x00FFFFFF;
}

}  // namespace platform
