#include "platform/rtl/uitypes.h"

#include "platform/rtl/sysutils.h"

namespace platform {

namespace {

struct TIdentMapEntry {
  std::int32_t Value;
  const char* Name;
};

// The named colours, in the order the colour lists show them.
constexpr TIdentMapEntry Colors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

constexpr TIdentMapEntry Cursors[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},           {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},   {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},       {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},     {crNo, "crNo"},
    {crAppStart, "crAppStart"},   {crHelp, "crHelp"},           {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},
};

template <std::size_t N>
bool ValueToIdent(const TIdentMapEntry (&Map)[N], std::int32_t Value, std::string& Ident) {
  for (const TIdentMapEntry& E : Map)
    if (E.Value == Value) {
      Ident = E.Name;
      return true;
    }
  return false;
}

template <std::size_t N>
bool IdentToValue(const TIdentMapEntry (&Map)[N], std::string_view Ident, std::int32_t& Value) {
  for (const TIdentMapEntry& E : Map)
    if (SameText(E.Name, Ident)) {
      Value = E.Value;
      return true;
    }
  return false;
}

}  // namespace

bool ColorToIdent(std::int32_t Color, std::string& Ident) { return ValueToIdent(Colors, Color, Ident); }
bool IdentToColor(std::string_view Ident, std::int32_t& Color) { return IdentToValue(Colors, Ident, Color); }

std::string ColorToString(TColor Color) {
  std::string Ident;
  if (ColorToIdent(Color, Ident)) return Ident;
  return "$" + IntToHex(static_cast<std::uint32_t>(Color), 8);
}

TColor StringToColor(std::string_view S) {
  std::int32_t Value;
  if (IdentToColor(Trim(S), Value)) return TColor(Value);
  // Numbers up to 32 bits: "$FF00000F" is a system colour, not an overflow.
  std::int64_t N;
  if (!TryStrToInt64(Trim(S), N) || N < INT32_MIN || N > std::int64_t(UINT32_MAX))
    throw EConvertError("'" + std::string(S) + "' is not a valid colour");
  return TColor(static_cast<std::int32_t>(static_cast<std::uint32_t>(N)));
}

void GetColorValues(const TGetStrProc& Proc) {
  for (const TIdentMapEntry& E : Colors) Proc(E.Name);
}

bool CursorToIdent(std::int32_t Cursor, std::string& Ident) { return ValueToIdent(Cursors, Cursor, Ident); }
bool IdentToCursor(std::string_view Ident, std::int32_t& Cursor) { return IdentToValue(Cursors, Ident, Cursor); }

std::string CursorToString(TCursor Cursor) {
  std::string Ident;
  if (CursorToIdent(Cursor, Ident)) return Ident;
  return IntToStr(Cursor);
}

TCursor StringToCursor(std::string_view S) {
  std::int32_t Value;
  if (IdentToCursor(Trim(S), Value)) return TCursor(Value);
  int N;
  if (!TryStrToInt(Trim(S), N) || N < INT16_MIN || N > INT16_MAX)
    throw EConvertError("'" + std::string(S) + "' is not a valid cursor");
  return TCursor(N);
}

void GetCursorValues(const TGetStrProc& Proc) {
  for (const TIdentMapEntry& E : Cursors) Proc(E.Name);
}

}  // namespace platform
