// TCanvas: drawing with a pen, a brush and a font on a device context.
//
// Shapes are drawn without antialiasing on whole pixels, as the platform
// draws them: a 1-pixel outline of Rectangle(L, T, R, B) covers the pixels
// L..R-1 and T..B-1, so right and bottom are exclusive. Text is antialiased
// (greyscale) and laid out by Pango at 96 dpi.
//
// Sections: the canvas; its drawing operations; text; images; pixels.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/dc.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/set.h"
#include "platform/rtl/types.h"

typedef struct _PangoLayout PangoLayout;

namespace platform {

class TGraphic;

/// Options of TextRect's formatted form.
enum TTextFormats {
  tfBottom,
  tfCalcRect,
  tfCenter,
  tfEndEllipsis,
  tfLeft,
  tfNoClip,
  tfNoPrefix,
  tfRight,
  tfSingleLine,
  tfTop,
  tfVerticalCenter,
  tfWordBreak,
  tfHidePrefix
};
using TTextFormat = TSet<TTextFormats>;

/// \brief A drawing surface with a persistent pen, brush and font.
///
/// The canvas draws through Handle(), a device context that the window system
/// hands out while a window paints (or that a bitmap makes for itself). The
/// pen, brush and font belong to the canvas and keep their state from one
/// paint to the next, whatever handle the canvas draws on. Drawing without a
/// handle raises EInvalidGraphicOperation; measuring text needs none.
class TCanvas : public TPersistent {
  VEL_CLASS(TCanvas, TPersistent)
  TCanvas();
  ~TCanvas() override;

  HDC Handle();
  /// Sets the device context to draw on (none detaches the canvas).
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TPen* Pen() const { return FPen; }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* Brush() const { return FBrush; }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }

  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint Value) { FPenPos = Value; }
  /// The part of the device context that may be drawn on, in canvas coordinates.
  TRect ClipRect();

  // Drawing. Every operation fires OnChanging before and OnChange after it.

  void MoveTo(int X, int Y);
  /// A line from PenPos up to, but not including, (X, Y); PenPos moves there.
  void LineTo(int X, int Y);
  /// Lines through the points; the last point is not drawn.
  void Polyline(const std::vector<TPoint>& Points);
  /// A closed shape: filled with the brush, outlined with the pen.
  void Polygon(const std::vector<TPoint>& Points);
  /// The outline with the pen, the inside filled with the brush; right and
  /// bottom are exclusive. With a clear pen the fill leaves out the last
  /// column and row.
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  /// The ellipse inscribed in the rectangle, outlined and filled.
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  /// Fills R with the brush (nothing for a clear brush); the pen is not used.
  void FillRect(const TRect& R);
  /// A 1-pixel frame just inside R in the brush colour.
  void FrameRect(const TRect& R);

  // Text.

  /// Draws Text with its top-left corner at (X, Y), on a background of the
  /// brush colour unless the brush is clear; PenPos moves to the end of it.
  void TextOut(int X, int Y, std::string_view Text);
  /// As TextOut, clipped to Rect; a non-clear brush fills the whole of Rect.
  void TextRect(const TRect& Rect, int X, int Y, std::string_view Text);
  /// Draws Text formatted in Rect: alignment, line breaking, "&" prefixes.
  /// With tfCalcRect nothing is drawn and Rect is set to the size the text takes.
  void TextRect(TRect& Rect, std::string_view Text, TTextFormat Format);
  TSize TextExtent(std::string_view Text);
  int TextWidth(std::string_view Text) { return TextExtent(Text).cx; }
  int TextHeight(std::string_view Text) { return TextExtent(Text).cy; }

  // Images.

  /// Draws Graphic at its own size with its top-left corner at (X, Y).
  void Draw(int X, int Y, TGraphic* Graphic);
  /// Draws Graphic scaled into Rect.
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  /// Copies Source's pixels in SourceRect into Dest, scaling when the sizes differ.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

  // Pixels.

  /// The colour at (X, Y) as RGB, or clNone outside the drawable area.
  TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Value);

  /// Locking serialises drawing between threads on the platform; the one UI
  /// thread here needs nothing, so these only count.
  void Lock() { ++FLockCount; }
  void Unlock() {
    if (FLockCount > 0) --FLockCount;
  }
  bool TryLock() {
    ++FLockCount;
    return true;
  }
  int LockCount() const { return FLockCount; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void Changed();
  virtual void Changing();
  /// Called when drawing needs a handle and there is none; a canvas that can
  /// make its own (a bitmap's) sets it here.
  virtual void CreateHandle() {}
  /// The device context to draw on; raises when there is none.
  HDC RequireHandle();

 private:
  void StrokeRing(int L, int T, int R, int B, int Width);
  void DrawStyledLine(int X0, int Y0, int X1, int Y1, int& Phase, bool Last);
  void DrawTextLayout(int X, int Y, PangoLayout* Layout, TColor Color);

  HDC FHandle = nullptr;
  TPen* FPen;
  TBrush* FBrush;
  TFont* FFont;
  TPoint FPenPos;
  int FLockCount = 0;
};

}  // namespace platform
