// Colour, cursor and shift-state types shared by the type information, the
// canvas and the controls.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/rtl/set.h"

namespace platform {

/// A colour: 0x00BBGGRR for an RGB value, clSystemColor + an index for a system colour.
enum TColor : std::int32_t {};
/// A cursor identifier: 0 for the default, negative for the built-in shapes.
enum TCursor : std::int16_t {};

constexpr std::int32_t clSystemColor = std::int32_t(0xFF000000u);
constexpr TColor SystemColor(int Index) { return TColor(clSystemColor | Index); }

// System colours (their RGB values come from the canvas's fixed palette).
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr TColor clHotLight = SystemColor(26);
constexpr TColor clGradientActiveCaption = SystemColor(27);
constexpr TColor clGradientInactiveCaption = SystemColor(28);
constexpr TColor clMenuHighlight = SystemColor(29);
constexpr TColor clMenuBar = SystemColor(30);

// Standard colours.
constexpr TColor clBlack = TColor(0x000000);
constexpr TColor clMaroon = TColor(0x000080);
constexpr TColor clGreen = TColor(0x008000);
constexpr TColor clOlive = TColor(0x008080);
constexpr TColor clNavy = TColor(0x800000);
constexpr TColor clPurple = TColor(0x800080);
constexpr TColor clTeal = TColor(0x808000);
constexpr TColor clGray = TColor(0x808080);
constexpr TColor clSilver = TColor(0xC0C0C0);
constexpr TColor clRed = TColor(0x0000FF);
constexpr TColor clLime = TColor(0x00FF00);
constexpr TColor clYellow = TColor(0x00FFFF);
constexpr TColor clBlue = TColor(0xFF0000);
constexpr TColor clFuchsia = TColor(0xFF00FF);
constexpr TColor clAqua = TColor(0xFFFF00);
constexpr TColor clWhite = TColor(0xFFFFFF);
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clMoneyGreen = TColor(0xC0DCC0);
constexpr TColor clSkyBlue = TColor(0xF0CAA6);
constexpr TColor clCream = TColor(0xF0FBFF);
constexpr TColor clMedGray = TColor(0xA4A0A0);
constexpr TColor clNone = TColor(0x1FFFFFFF);
constexpr TColor clDefault = TColor(0x20000000);

// Built-in cursors.
constexpr TCursor crDefault = TCursor(0);
constexpr TCursor crNone = TCursor(-1);
constexpr TCursor crArrow = TCursor(-2);
constexpr TCursor crCross = TCursor(-3);
constexpr TCursor crIBeam = TCursor(-4);
constexpr TCursor crSizeNESW = TCursor(-6);
constexpr TCursor crSizeNS = TCursor(-7);
constexpr TCursor crSizeNWSE = TCursor(-8);
constexpr TCursor crSizeWE = TCursor(-9);
constexpr TCursor crUpArrow = TCursor(-10);
constexpr TCursor crHourGlass = TCursor(-11);
constexpr TCursor crDrag = TCursor(-12);
constexpr TCursor crNoDrop = TCursor(-13);
constexpr TCursor crHSplit = TCursor(-14);
constexpr TCursor crVSplit = TCursor(-15);
constexpr TCursor crMultiDrag = TCursor(-16);
constexpr TCursor crSQLWait = TCursor(-17);
constexpr TCursor crNo = TCursor(-18);
constexpr TCursor crAppStart = TCursor(-19);
constexpr TCursor crHelp = TCursor(-20);
constexpr TCursor crHandPoint = TCursor(-21);
constexpr TCursor crSizeAll = TCursor(-22);
constexpr TCursor crSize = crSizeAll;

/// Keyboard modifiers and mouse buttons held during an input event.
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// ------------------------------------------------- named colours and cursors

/// Receives one identifier per call.
using TGetStrProc = std::function<void(const std::string& S)>;

/// The identifier of a named colour ("clBtnFace"); false when Color has none.
bool ColorToIdent(std::int32_t Color, std::string& Ident);
/// The colour of an identifier (ASCII case ignored); false when there is none.
bool IdentToColor(std::string_view Ident, std::int32_t& Color);
/// The identifier of a named colour, else "$" and eight hexadecimal digits.
std::string ColorToString(TColor Color);
/// An identifier or a number (decimal, or hexadecimal after "$" or "0x", up to
/// 32 bits); EConvertError for anything else.
TColor StringToColor(std::string_view S);
/// Calls Proc with every colour identifier: the standard colours, the system
/// colours, clNone and clDefault.
void GetColorValues(const TGetStrProc& Proc);

bool CursorToIdent(std::int32_t Cursor, std::string& Ident);
bool IdentToCursor(std::string_view Ident, std::int32_t& Cursor);
/// The identifier of a named cursor, else the signed decimal number.
std::string CursorToString(TCursor Cursor);
/// An identifier or a number in -32768..32767; EConvertError for anything else.
TCursor StringToCursor(std::string_view S);
void GetCursorValues(const TGetStrProc& Proc);

}  // namespace platform
