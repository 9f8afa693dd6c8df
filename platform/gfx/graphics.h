// Graphics objects: the pen, brush and font a canvas draws with.
//
// Each is a TPersistent whose state is copied with Assign and whose OnChange
// fires once after every change of state (a setter that stores the value the
// object already has changes nothing and fires nothing).
#pragma once

#include <cstdint>
#include <string>

#include "platform/gfx/colors.h"
#include "platform/rtl/events.h"
#include "platform/rtl/persistent.h"
#include "platform/rtl/set.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/typinfo.h"
#include "platform/rtl/uitypes.h"

namespace platform {

/// Raised for an image that cannot be read, written or used.
VEL_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
/// Raised when something asks for drawing on a canvas that has no device context.
VEL_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

/// \brief Base of the pen, brush and font: an OnChange notification.
class TGraphicsObject : public TPersistent {
  VEL_CLASS(TGraphicsObject, TPersistent)
  TGraphicsObject() = default;

  TNotifyEvent OnChange;

 protected:
  virtual void Changed();
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate };
VEL_ENUM(TPenStyle, "Graphics", psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle,
         psAlternate);
/// How the pen combines with what is already drawn. pmCopy paints the pen colour;
/// pmNot inverts the destination; pmXor inverts the destination where the pen
/// colour has bits set (exact for black and white pens); pmBlack, pmWhite and
/// pmNop do what they say; the remaining modes paint as pmCopy.
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
VEL_ENUM(TPenMode, "Graphics", pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
         pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor);

/// \brief The pen: colour, width, style and mode of lines and outlines.
class TPen : public TGraphicsObject {
  VEL_CLASS(TPen, TGraphicsObject)
  /// Publishes Color, Mode, Style and Width.
  VEL_PUBLISH(P);
  TPen() = default;

  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  /// Width in pixels; values below 1 draw as 1.
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);

 private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
VEL_ENUM(TBrushStyle, "Graphics", bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
         bsDiagCross);

/// \brief The brush: colour and style of fills and text backgrounds.
class TBrush : public TGraphicsObject {
  VEL_CLASS(TBrush, TGraphicsObject)
  /// Publishes Color and Style.
  VEL_PUBLISH(P);
  TBrush() = default;

  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  /// Setting a colour makes a clear brush solid again (set the style after
  /// the colour to keep it clear). A clNone brush paints nothing.
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
VEL_ENUM(TFontStyle, "Graphics", fsBold, fsItalic, fsUnderline, fsStrikeOut);
using TFontStyles = TSet<TFontStyle>;
VEL_SET(TFontStyles, "Graphics");
enum TFontPitch { fpDefault, fpVariable, fpFixed };
VEL_ENUM(TFontPitch, "Graphics", fpDefault, fpVariable, fpFixed);
using TFontCharset = std::uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset GB2312_CHARSET = 134;

/// \brief The font: face name, size, style and colour of text.
///
/// Height and Size are two views of one value: a negative Height is the
/// character height in pixels, a positive one the cell height (character plus
/// internal leading), and Size is the character height in points at
/// PixelsPerInch, Size = -Height * 72 / PixelsPerInch (rounded half away from zero).
class TFont : public TGraphicsObject {
  VEL_CLASS(TFont, TGraphicsObject)
  /// Publishes Charset, Color, Height, Name, Pitch, Size (not stored: Height
  /// carries it) and Style.
  VEL_PUBLISH(P);
  TFont() = default;

  void Assign(TPersistent* Source) override;

  /// The face name; font matching picks an installed substitute for a face
  /// that is missing (Arial comes out as DejaVu Sans on a plain system).
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  int Size() const;
  void SetSize(int Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  int PixelsPerInch() const { return FPixelsPerInch; }
  /// Changes the resolution used to convert Size; the Height stays as it is.
  void SetPixelsPerInch(int Value);

 private:
  std::string FName = "Arial";
  int FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  TFontPitch FPitch = fpDefault;
  TFontCharset FCharset = DEFAULT_CHARSET;
  int FPixelsPerInch = 96;
};

}  // namespace platform
