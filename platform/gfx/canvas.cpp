#include "platform/gfx/canvas.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/text_layout.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TCanvas, "Graphics");

namespace {

// ----------------------------------------------------------- paint setup

void SetRGB(cairo_t* Cr, std::int32_t Rgb) {
  cairo_set_source_rgb(Cr, GetRValue(Rgb) / 255.0, GetGValue(Rgb) / 255.0, GetBValue(Rgb) / 255.0);
}

// Sets the source and operator that paint Color under Mode; false when the
// result would leave the destination as it is.
bool SetPaint(cairo_t* Cr, TColor Color, TPenMode Mode) {
  switch (Mode) {
    case pmNop:
      return false;
    case pmBlack:
      SetRGB(Cr, 0x000000);
      break;
    case pmWhite:
      SetRGB(Cr, 0xFFFFFF);
      break;
    case pmNot:
      // |white - destination| inverts every channel.
      SetRGB(Cr, 0xFFFFFF);
      cairo_set_operator(Cr, CAIRO_OPERATOR_DIFFERENCE);
      return true;
    case pmXor:
      if (Color == clNone) return false;
      SetRGB(Cr, ColorToRGB(Color));
      cairo_set_operator(Cr, CAIRO_OPERATOR_DIFFERENCE);
      return true;
    default:
      if (Color == clNone) return false;
      SetRGB(Cr, ColorToRGB(Color));
      break;
  }
  cairo_set_operator(Cr, CAIRO_OPERATOR_OVER);
  return true;
}

// An 8x8 tile with the hatch lines of Style in Color; transparent elsewhere.
cairo_pattern_t* HatchPattern(TBrushStyle Style, TColor Color) {
  cairo_surface_t* Tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_t* Cr = cairo_create(Tile);
  cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE);
  SetRGB(Cr, ColorToRGB(Color));
  for (int I = 0; I < 8; ++I) {
    if (Style == bsHorizontal || Style == bsCross) cairo_rectangle(Cr, I, 0, 1, 1);
    if (Style == bsVertical || Style == bsCross) cairo_rectangle(Cr, 0, I, 1, 1);
    if (Style == bsFDiagonal || Style == bsDiagCross) cairo_rectangle(Cr, I, I, 1, 1);
    if (Style == bsBDiagonal || Style == bsDiagCross) cairo_rectangle(Cr, 7 - I, I, 1, 1);
  }
  cairo_fill(Cr);
  cairo_destroy(Cr);
  cairo_pattern_t* Pattern = cairo_pattern_create_for_surface(Tile);
  cairo_surface_destroy(Tile);
  cairo_pattern_set_extend(Pattern, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(Pattern, CAIRO_FILTER_NEAREST);
  return Pattern;
}

bool BrushPaints(const TBrush& Brush) { return Brush.Style() != bsClear && Brush.Color() != clNone; }

// Sets Cr up to paint with Brush under Mode; false when nothing would show.
bool SetBrushPaint(cairo_t* Cr, const TBrush& Brush, TPenMode Mode = pmCopy) {
  if (!BrushPaints(Brush)) return false;
  const bool Hatched = Brush.Style() != bsSolid;
  if (!Hatched || Mode == pmNop || Mode == pmBlack || Mode == pmWhite || Mode == pmNot || Mode == pmXor)
    return SetPaint(Cr, Brush.Color(), Mode);
  cairo_pattern_t* Pattern = HatchPattern(Brush.Style(), Brush.Color());
  cairo_set_source(Cr, Pattern);
  cairo_pattern_destroy(Pattern);
  cairo_set_operator(Cr, CAIRO_OPERATOR_OVER);
  return true;
}

// The on/off pixel runs of a styled 1-pixel pen, starting with "on"; empty for
// a continuous pen.
std::span<const int> DashPattern(TPenStyle Style) {
  static constexpr int Dash[] = {6, 2};
  static constexpr int Dot[] = {1, 1};
  static constexpr int DashDot[] = {6, 2, 1, 2};
  static constexpr int DashDotDot[] = {6, 2, 1, 2, 1, 2};
  switch (Style) {
    case psDash:
      return Dash;
    case psDot:
    case psAlternate:
      return Dot;
    case psDashDot:
      return DashDot;
    case psDashDotDot:
      return DashDotDot;
    default:
      return {};
  }
}

// Whether pixel number Phase along a styled line is drawn.
bool DashOn(std::span<const int> Pattern, int Phase) {
  int Period = 0;
  for (int Run : Pattern) Period += Run;
  int P = Phase % Period;
  for (std::size_t I = 0; I < Pattern.size(); ++I) {
    if (P < Pattern[I]) return I % 2 == 0;
    P -= Pattern[I];
  }
  return false;
}

// Collects the pixels of styled lines: drawn ones and gaps, painted at the end.
struct TPixelRuns {
  std::vector<TPoint> On;
  std::vector<TPoint> Off;
};

void FillPixels(cairo_t* Cr, const std::vector<TPoint>& Pixels) {
  for (const TPoint& P : Pixels) cairo_rectangle(Cr, P.X, P.Y, 1, 1);
  cairo_fill(Cr);
}

// The pixels of the line from (X0, Y0) to (X1, Y1), the end excluded.
template <class F>
void WalkLine(int X0, int Y0, int X1, int Y1, F&& Visit) {
  const int DX = std::abs(X1 - X0), DY = -std::abs(Y1 - Y0);
  const int SX = X0 < X1 ? 1 : -1, SY = Y0 < Y1 ? 1 : -1;
  int Err = DX + DY;
  while (X0 != X1 || Y0 != Y1) {
    Visit(X0, Y0);
    const int E2 = 2 * Err;
    if (E2 >= DY) {
      Err += DY;
      X0 += SX;
    }
    if (E2 <= DX) {
      Err += DX;
      Y0 += SY;
    }
  }
}

// Keeps the device context's state apart from one drawing operation's.
class TCairoState {
 public:
  explicit TCairoState(cairo_t* Cr) : FCr(Cr) {
    cairo_save(Cr);
    cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE);
    cairo_new_path(Cr);
  }
  ~TCairoState() { cairo_restore(FCr); }
  TCairoState(const TCairoState&) = delete;
  TCairoState& operator=(const TCairoState&) = delete;

 private:
  cairo_t* FCr;
};

TRect Normalized(int X1, int Y1, int X2, int Y2) {
  return Rect(std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2));
}

TColor FontColor(const TFont& Font) { return Font.Color() == clDefault ? clWindowText : Font.Color(); }

}  // namespace

// ================================================================ canvas

TCanvas::TCanvas() : FPen(new TPen), FBrush(new TBrush), FFont(new TFont) {}

TCanvas::~TCanvas() {
  delete FFont;
  delete FBrush;
  delete FPen;
}

HDC TCanvas::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) { FHandle = Value; }

HDC TCanvas::RequireHandle() {
  if (!FHandle) CreateHandle();
  if (!FHandle || !FHandle->Cr) throw EInvalidGraphicOperation("Canvas does not allow drawing");
  return FHandle;
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TRect TCanvas::ClipRect() {
  HDC DC = Handle();
  if (!DC || !DC->Cr) return {};
  double X1, Y1, X2, Y2;
  cairo_clip_extents(DC->Cr, &X1, &Y1, &X2, &Y2);
  return Rect(int(std::floor(X1)), int(std::floor(Y1)), int(std::ceil(X2)), int(std::ceil(Y2)));
}

// ================================================================ lines

void TCanvas::MoveTo(int X, int Y) { FPenPos = {X, Y}; }

void TCanvas::DrawStyledLine(int X0, int Y0, int X1, int Y1, int& Phase, bool Last) {
  cairo_t* Cr = FHandle->Cr;
  const int W = std::max(1, FPen->Width());
  const TPenStyle Style = FPen->Style();
  if (Style == psClear) return;
  const std::span<const int> Pattern = W == 1 ? DashPattern(Style) : std::span<const int>{};

  if (W > 1) {
    // Wide pens are geometric: continuous, with round ends, centred on the pixels.
    if (!SetPaint(Cr, FPen->Color(), FPen->Mode())) return;
    cairo_set_line_width(Cr, W);
    cairo_set_line_cap(Cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(Cr, X0 + 0.5, Y0 + 0.5);
    cairo_line_to(Cr, X1 + 0.5, Y1 + 0.5);
    cairo_stroke(Cr);
    return;
  }

  TPixelRuns Runs;
  if (Pattern.empty() && (X0 == X1 || Y0 == Y1)) {
    if (!SetPaint(Cr, FPen->Color(), FPen->Mode())) return;
    const TRect R = Normalized(X0, Y0, X1, Y1);
    // The end point is left out: a run to the left or up starts one pixel short of (X0, Y0).
    if (Y0 == Y1 && X0 != X1)
      cairo_rectangle(Cr, X1 < X0 ? R.Left + 1 : R.Left, Y0, R.Width(), 1);
    else if (X0 == X1 && Y0 != Y1)
      cairo_rectangle(Cr, X0, Y1 < Y0 ? R.Top + 1 : R.Top, 1, R.Height());
    if (Last && (X0 != X1 || Y0 != Y1)) cairo_rectangle(Cr, X1, Y1, 1, 1);
    cairo_fill(Cr);
    return;
  }
  auto Visit = [&](int X, int Y) {
    if (Pattern.empty() || DashOn(Pattern, Phase))
      Runs.On.push_back({X, Y});
    else
      Runs.Off.push_back({X, Y});
    ++Phase;
  };
  WalkLine(X0, Y0, X1, Y1, Visit);
  if (Last && (X0 != X1 || Y0 != Y1)) Visit(X1, Y1);
  // The gaps of a styled pen show the background colour when the brush is solid.
  if (!Runs.Off.empty() && FBrush->Style() == bsSolid && FBrush->Color() != clNone) {
    SetRGB(Cr, ColorToRGB(FBrush->Color()));
    FillPixels(Cr, Runs.Off);
  }
  if (!Runs.On.empty() && SetPaint(Cr, FPen->Color(), FPen->Mode())) FillPixels(Cr, Runs.On);
}

void TCanvas::LineTo(int X, int Y) {
  RequireHandle();
  Changing();
  {
    TCairoState State(FHandle->Cr);
    int Phase = 0;
    DrawStyledLine(FPenPos.X, FPenPos.Y, X, Y, Phase, false);
  }
  FPenPos = {X, Y};
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  if (Points.size() < 2) return;
  RequireHandle();
  Changing();
  {
    TCairoState State(FHandle->Cr);
    int Phase = 0;
    for (std::size_t I = 1; I < Points.size(); ++I)
      DrawStyledLine(Points[I - 1].X, Points[I - 1].Y, Points[I].X, Points[I].Y, Phase, false);
  }
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  RequireHandle();
  Changing();
  {
    cairo_t* Cr = FHandle->Cr;
    TCairoState State(Cr);
    if (Points.size() >= 3 && SetBrushPaint(Cr, *FBrush, FPen->Mode())) {
      for (const TPoint& P : Points) cairo_line_to(Cr, P.X + 0.5, P.Y + 0.5);
      cairo_close_path(Cr);
      cairo_set_fill_rule(Cr, CAIRO_FILL_RULE_EVEN_ODD);
      cairo_fill(Cr);
    }
    int Phase = 0;
    for (std::size_t I = 0; I < Points.size(); ++I) {
      const TPoint& A = Points[I];
      const TPoint& B = Points[(I + 1) % Points.size()];
      DrawStyledLine(A.X, A.Y, B.X, B.Y, Phase, Points.size() == 1);
    }
  }
  Changed();
}

// ================================================================ shapes

// A ring of the pen's width with outer edges L, T, R, B (exclusive).
void TCanvas::StrokeRing(int L, int T, int R, int B, int Width) {
  cairo_t* Cr = FHandle->Cr;
  if (R <= L || B <= T) return;
  if (2 * Width >= R - L || 2 * Width >= B - T) {
    cairo_rectangle(Cr, L, T, R - L, B - T);
  } else {
    cairo_rectangle(Cr, L, T, R - L, Width);
    cairo_rectangle(Cr, L, B - Width, R - L, Width);
    cairo_rectangle(Cr, L, T + Width, Width, B - T - 2 * Width);
    cairo_rectangle(Cr, R - Width, T + Width, Width, B - T - 2 * Width);
  }
  cairo_fill(Cr);
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  RequireHandle();
  const TRect Box = Normalized(X1, Y1, X2, Y2);
  if (IsRectEmpty(Box)) return;
  Changing();
  {
    cairo_t* Cr = FHandle->Cr;
    TCairoState State(Cr);
    const int W = std::max(1, FPen->Width());
    const TPenStyle Style = FPen->Style();
    const bool HasPen = Style != psClear;
    const std::span<const int> Pattern = W == 1 ? DashPattern(Style) : std::span<const int>{};
    // A wide pen is centred on the outline unless it is an inside-frame pen.
    const int Outset = Style == psInsideFrame ? 0 : (W - 1) / 2;
    const TRect Outer = Rect(Box.Left - Outset, Box.Top - Outset, Box.Right + Outset, Box.Bottom + Outset);
    TRect Inside = HasPen ? Rect(Outer.Left + W, Outer.Top + W, Outer.Right - W, Outer.Bottom - W)
                          : Rect(Box.Left, Box.Top, Box.Right - 1, Box.Bottom - 1);
    if (!IsRectEmpty(Inside) && SetBrushPaint(Cr, *FBrush, FPen->Mode())) {
      cairo_rectangle(Cr, Inside.Left, Inside.Top, Inside.Width(), Inside.Height());
      cairo_fill(Cr);
    }
    if (HasPen && !Pattern.empty()) {
      // Walk the outline clockwise so the pattern runs on around the corners.
      const int L = Box.Left, T = Box.Top, R = Box.Right - 1, B = Box.Bottom - 1;
      int Phase = 0;
      if (L == R || T == B) {
        DrawStyledLine(L, T, R, B, Phase, true);
      } else {
        DrawStyledLine(L, T, R, T, Phase, false);
        DrawStyledLine(R, T, R, B, Phase, false);
        DrawStyledLine(R, B, L, B, Phase, false);
        DrawStyledLine(L, B, L, T, Phase, false);
      }
    } else if (HasPen && SetPaint(Cr, FPen->Color(), FPen->Mode())) {
      StrokeRing(Outer.Left, Outer.Top, Outer.Right, Outer.Bottom, W);
    }
  }
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  RequireHandle();
  const TRect Box = Normalized(X1, Y1, X2, Y2);
  if (IsRectEmpty(Box)) return;
  Changing();
  {
    cairo_t* Cr = FHandle->Cr;
    TCairoState State(Cr);
    const bool HasPen = FPen->Style() != psClear;
    const double W = HasPen ? std::max(1, FPen->Width()) : 0;
    const double CX = (Box.Left + Box.Right) / 2.0, CY = (Box.Top + Box.Bottom) / 2.0;
    // The pen runs inside the box: its outer edge touches the box's edges.
    const double RX = Box.Width() / 2.0 - W / 2, RY = Box.Height() / 2.0 - W / 2;
    auto Path = [&](double AX, double AY) {
      cairo_new_path(Cr);
      cairo_save(Cr);
      cairo_translate(Cr, CX, CY);
      cairo_scale(Cr, std::max(AX, 0.01), std::max(AY, 0.01));
      cairo_arc(Cr, 0, 0, 1, 0, 2 * M_PI);
      cairo_restore(Cr);
    };
    if (RX <= W / 2 || RY <= W / 2) {
      // Too small for a hole: the pen fills the whole ellipse.
      if (SetPaint(Cr, FPen->Color(), FPen->Mode())) {
        Path(Box.Width() / 2.0, Box.Height() / 2.0);
        cairo_fill(Cr);
      }
    } else {
      if (SetBrushPaint(Cr, *FBrush, FPen->Mode())) {
        Path(RX, RY);
        cairo_fill(Cr);
      }
      if (HasPen && SetPaint(Cr, FPen->Color(), FPen->Mode())) {
        Path(RX, RY);
        cairo_set_line_width(Cr, W);
        cairo_stroke(Cr);
      }
    }
  }
  Changed();
}

void TCanvas::FillRect(const TRect& R) {
  RequireHandle();
  const TRect Box = Normalized(R.Left, R.Top, R.Right, R.Bottom);
  if (IsRectEmpty(Box)) return;
  Changing();
  {
    cairo_t* Cr = FHandle->Cr;
    TCairoState State(Cr);
    if (SetBrushPaint(Cr, *FBrush)) {
      cairo_rectangle(Cr, Box.Left, Box.Top, Box.Width(), Box.Height());
      cairo_fill(Cr);
    }
  }
  Changed();
}

void TCanvas::FrameRect(const TRect& R) {
  RequireHandle();
  if (IsRectEmpty(R)) return;
  Changing();
  {
    TCairoState State(FHandle->Cr);
    if (SetBrushPaint(FHandle->Cr, *FBrush)) StrokeRing(R.Left, R.Top, R.Right, R.Bottom, 1);
  }
  Changed();
}

// ================================================================ text

TSize TCanvas::TextExtent(std::string_view Text) {
  const detail::TTextLayout& L = detail::LayoutText(*FFont, Text);
  return {L.Width, L.Height};
}

void TCanvas::DrawTextLayout(int X, int Y, PangoLayout* Layout, TColor Color) {
  cairo_t* Cr = FHandle->Cr;
  if (Color == clNone) return;
  SetRGB(Cr, ColorToRGB(Color));
  cairo_set_operator(Cr, CAIRO_OPERATOR_OVER);
  cairo_move_to(Cr, X, Y);
  pango_cairo_show_layout(Cr, Layout);
}

void TCanvas::TextOut(int X, int Y, std::string_view Text) {
  RequireHandle();
  Changing();
  const detail::TTextLayout& L = detail::LayoutText(*FFont, Text);
  const int Width = L.Width;
  {
    cairo_t* Cr = FHandle->Cr;
    TCairoState State(Cr);
    if (FBrush->Style() == bsSolid && !Text.empty() && SetBrushPaint(Cr, *FBrush)) {
      cairo_rectangle(Cr, X, Y, L.Width, L.Height);
      cairo_fill(Cr);
    }
    if (!Text.empty()) DrawTextLayout(X, Y, L.Layout, FontColor(*FFont));
  }
  FPenPos = {X + Width, Y};
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, std::string_view Text) {
  RequireHandle();
  Changing();
  {
    cairo_t* Cr = FHandle->Cr;
    TCairoState State(Cr);
    const TRect Box = Normalized(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
    cairo_rectangle(Cr, Box.Left, Box.Top, Box.Width(), Box.Height());
    cairo_clip(Cr);
    if (FBrush->Style() == bsSolid && SetBrushPaint(Cr, *FBrush)) {
      cairo_rectangle(Cr, Box.Left, Box.Top, Box.Width(), Box.Height());
      cairo_fill(Cr);
    }
    if (!Text.empty()) DrawTextLayout(X, Y, detail::LayoutText(*FFont, Text).Layout, FontColor(*FFont));
  }
  Changed();
}

void TCanvas::TextRect(TRect& Rect, std::string_view Text, TTextFormat Format) {
  // "&&" shows one ampersand; "&x" underlines x unless the prefix is hidden.
  std::string Shown;
  int PrefixPos = -1;
  if (Format.Contains(tfNoPrefix)) {
    Shown = Text;
  } else {
    Shown.reserve(Text.size());
    for (std::size_t I = 0; I < Text.size(); ++I) {
      if (Text[I] == '&') {
        if (++I >= Text.size()) break;
        if (Text[I] != '&' && PrefixPos < 0 && !Format.Contains(tfHidePrefix)) PrefixPos = int(Shown.size());
      }
      Shown += Text[I];
    }
  }

  detail::TLayoutFormat LF;
  LF.SingleLine = Format.Contains(tfSingleLine);
  if (Format.Contains(tfWordBreak) && !LF.SingleLine) LF.WrapWidth = std::max(0, Rect.Width());
  if (Format.Contains(tfEndEllipsis) && !Format.Contains(tfCalcRect)) {
    LF.WrapWidth = std::max(0, Rect.Width());
    LF.Ellipsize = true;
  }
  LF.Alignment = Format.Contains(tfCenter) ? 1 : Format.Contains(tfRight) ? 2 : 0;
  LF.PrefixPos = PrefixPos;
  const detail::TTextLayout& L = detail::LayoutText(*FFont, Shown, LF);

  if (Format.Contains(tfCalcRect)) {
    Rect.Right = Rect.Left + L.Width;
    Rect.Bottom = Rect.Top + L.Height;
    return;
  }

  RequireHandle();
  Changing();
  {
    cairo_t* Cr = FHandle->Cr;
    TCairoState State(Cr);
    if (!Format.Contains(tfNoClip)) {
      const TRect Box = Normalized(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
      cairo_rectangle(Cr, Box.Left, Box.Top, Box.Width(), Box.Height());
      cairo_clip(Cr);
    }
    // With a wrap width Pango aligns the lines itself within the rectangle.
    int X = Rect.Left;
    if (LF.WrapWidth < 0) {
      if (LF.Alignment == 1) X = Rect.Left + (Rect.Width() - L.Width) / 2;
      if (LF.Alignment == 2) X = Rect.Right - L.Width;
    }
    int Y = Rect.Top;
    if (LF.SingleLine && Format.Contains(tfVerticalCenter)) Y = Rect.Top + (Rect.Height() - L.Height) / 2;
    if (LF.SingleLine && Format.Contains(tfBottom)) Y = Rect.Bottom - L.Height;
    if (FBrush->Style() == bsSolid && !Shown.empty() && SetBrushPaint(Cr, *FBrush)) {
      const int BoxX = LF.WrapWidth < 0 ? X : Rect.Left;
      const int BoxW = LF.WrapWidth < 0 ? L.Width : Rect.Width();
      cairo_rectangle(Cr, BoxX, Y, BoxW, L.Height);
      cairo_fill(Cr);
    }
    if (!Shown.empty()) DrawTextLayout(X, Y, L.Layout, FontColor(*FFont));
  }
  Changed();
}

// ================================================================ images

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty() || IsRectEmpty(Rect)) return;
  RequireHandle();
  Changing();
  {
    TCairoState State(FHandle->Cr);
    Graphic->Draw(this, Rect);
  }
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  if (!Canvas || IsRectEmpty(Dest) || IsRectEmpty(Source)) return;
  cairo_t* SrcCr = Canvas->RequireHandle()->Cr;
  RequireHandle();
  Changing();
  // Through a copy, so that a canvas can copy within itself.
  cairo_surface_t* Copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Source.Width(), Source.Height());
  {
    double DX = Source.Left, DY = Source.Top;
    cairo_user_to_device(SrcCr, &DX, &DY);
    cairo_surface_flush(cairo_get_target(SrcCr));
    cairo_t* Cr = cairo_create(Copy);
    cairo_set_source_surface(Cr, cairo_get_target(SrcCr), -DX, -DY);
    cairo_set_operator(Cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(Cr);
    cairo_destroy(Cr);
  }
  {
    cairo_t* Cr = FHandle->Cr;
    TCairoState State(Cr);
    cairo_rectangle(Cr, Dest.Left, Dest.Top, Dest.Width(), Dest.Height());
    cairo_clip(Cr);
    cairo_translate(Cr, Dest.Left, Dest.Top);
    cairo_scale(Cr, double(Dest.Width()) / Source.Width(), double(Dest.Height()) / Source.Height());
    cairo_set_source_surface(Cr, Copy, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(Cr), CAIRO_FILTER_NEAREST);
    cairo_set_operator(Cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(Cr);
  }
  cairo_surface_destroy(Copy);
  Changed();
}

// ================================================================ pixels

TColor TCanvas::Pixels(int X, int Y) {
  cairo_t* Cr = RequireHandle()->Cr;
  if (!cairo_in_clip(Cr, X + 0.5, Y + 0.5)) return clNone;
  double DX = X + 0.5, DY = Y + 0.5;
  cairo_user_to_device(Cr, &DX, &DY);
  // Device space is the surface's pixels moved by its device offset.
  cairo_surface_t* Target = cairo_get_target(Cr);
  double OX = 0, OY = 0;
  cairo_surface_get_device_offset(Target, &OX, &OY);
  const cairo_rectangle_int_t Where{int(std::floor(DX + OX)), int(std::floor(DY + OY)), 1, 1};
  if (cairo_surface_get_type(Target) == CAIRO_SURFACE_TYPE_IMAGE &&
      (Where.x < 0 || Where.y < 0 || Where.x >= cairo_image_surface_get_width(Target) ||
       Where.y >= cairo_image_surface_get_height(Target)))
    return clNone;
  cairo_surface_flush(Target);
  cairo_surface_t* Image = cairo_surface_map_to_image(Target, &Where);
  TColor Result = clNone;
  const cairo_format_t Format = cairo_image_surface_get_format(Image);
  if (cairo_surface_status(Image) == CAIRO_STATUS_SUCCESS &&
      (Format == CAIRO_FORMAT_ARGB32 || Format == CAIRO_FORMAT_RGB24)) {
    cairo_surface_flush(Image);
    const std::uint32_t Px = *reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(Image));
    const unsigned A = Format == CAIRO_FORMAT_RGB24 ? 255 : (Px >> 24) & 0xFF;
    unsigned R = (Px >> 16) & 0xFF, G = (Px >> 8) & 0xFF, B = Px & 0xFF;
    if (A != 0 && A != 255) {
      // Stored premultiplied by alpha.
      R = (R * 255 + A / 2) / A;
      G = (G * 255 + A / 2) / A;
      B = (B * 255 + A / 2) / A;
    }
    Result = RGB(std::uint8_t(R), std::uint8_t(G), std::uint8_t(B));
  }
  cairo_surface_unmap_image(Target, Image);
  return Result;
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
  RequireHandle();
  if (Value == clNone) return;
  Changing();
  {
    cairo_t* Cr = FHandle->Cr;
    TCairoState State(Cr);
    SetRGB(Cr, ColorToRGB(Value));
    cairo_set_operator(Cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(Cr, X, Y, 1, 1);
    cairo_fill(Cr);
  }
  Changed();
}

}  // namespace platform
