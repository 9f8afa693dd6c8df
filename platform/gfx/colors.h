// Colour values: RGB helpers and the fixed palette behind the system colours.
#pragma once

#include <cstdint>

#include "platform/rtl/uitypes.h"

namespace platform {

/// An RGB colour value, 0x00BBGGRR.
constexpr TColor RGB(std::uint8_t R, std::uint8_t G, std::uint8_t B) {
  return TColor(std::int32_t(R) | (std::int32_t(G) << 8) | (std::int32_t(B) << 16));
}
constexpr std::uint8_t GetRValue(std::int32_t Color) { return std::uint8_t(Color & 0xFF); }
constexpr std::uint8_t GetGValue(std::int32_t Color) { return std::uint8_t((Color >> 8) & 0xFF); }
constexpr std::uint8_t GetBValue(std::int32_t Color) { return std::uint8_t((Color >> 16) & 0xFF); }

/// True for the system colours (clBtnFace, clHighlight ...).
constexpr bool IsSystemColor(TColor Color) { return (std::int32_t(Color) & clSystemColor) == clSystemColor; }

/// The RGB value (0x00BBGGRR) of a system colour index in the fixed light
/// palette; black for an index outside it.
std::int32_t GetSysColor(int Index);

/// The RGB value (0x00BBGGRR) that paints Color: a system colour takes its value
/// from the fixed palette, clDefault gives the window colour, and every other
/// value keeps its low 24 bits (so clNone gives white; the canvas treats clNone
/// as "paint nothing" before it gets here).
std::int32_t ColorToRGB(TColor Color);

}  // namespace platform
