// Invalidation and painting. Every window keeps what it painted itself in a
// cache of its own, transparent wherever it did not paint; every top-level
// window has one composed image. A paint pass runs WM_PAINT only for the
// invalid parts of windows, then composes the dirty area of the image from
// the caches in painting order (a window, then its children bottom to top,
// each clipped to its parent), so windows show what lies below them wherever
// they do not paint, and a window that only moved is not painted again.
#include <algorithm>
#include <cstdint>

#include "platform/win/window_system_p.h"

namespace platform {

using namespace detail;

namespace {

TRect ClientBounds(const TWindow& W) { return Rect(0, 0, W.Bounds.Width(), W.Bounds.Height()); }

/// Gives the window a cache of its client size. A new cache is transparent
/// and wholly stale; true when it is new.
bool EnsureCache(TWindow& W) {
  const int Width = std::max(W.Bounds.Width(), 0), Height = std::max(W.Bounds.Height(), 0);
  if (W.Cache && cairo_image_surface_get_width(W.Cache) == Width && cairo_image_surface_get_height(W.Cache) == Height)
    return false;
  if (W.Cache) cairo_surface_destroy(W.Cache);
  W.Cache = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Width, Height);
  W.Opaque = false;
  UnionRect(W.Stale, W.Stale, ClientBounds(W));
  return true;
}

/// Updates what is known of the cache's opacity after R of it was painted:
/// opaque when all of it was painted opaque, or when it was opaque and R is.
void NotePainted(TWindow& W, const TRect& R) {
  if (!W.Cache) return;
  TRect Area;
  const bool Whole = IntersectRect(Area, R, ClientBounds(W)) && Area == ClientBounds(W);
  if (!Whole && !W.Opaque) return;  // stays unknown until painted whole
  W.Opaque = false;
  if (IsRectEmpty(Area)) return;
  cairo_surface_flush(W.Cache);
  const unsigned char* Base = cairo_image_surface_get_data(W.Cache);
  const int Stride = cairo_image_surface_get_stride(W.Cache);
  for (int Y = Area.Top; Y < Area.Bottom; ++Y) {
    const auto* Row = reinterpret_cast<const std::uint32_t*>(Base + std::ptrdiff_t(Y) * Stride);
    for (int X = Area.Left; X < Area.Right; ++X)
      if ((Row[X] >> 24) != 0xFF) return;
  }
  W.Opaque = true;
}

void ClearCache(TWindow& W, const TRect& R) {
  TRect Area;
  if (!W.Cache || !IntersectRect(Area, R, ClientBounds(W))) return;
  // Directly: a drawing context per painted window would cost more than the clearing.
  cairo_surface_flush(W.Cache);
  unsigned char* Base = cairo_image_surface_get_data(W.Cache);
  const int Stride = cairo_image_surface_get_stride(W.Cache);
  for (int Y = Area.Top; Y < Area.Bottom; ++Y) {
    auto* Row = reinterpret_cast<std::uint32_t*>(Base + std::ptrdiff_t(Y) * Stride);
    std::fill(Row + Area.Left, Row + Area.Right, 0u);
  }
  cairo_surface_mark_dirty_rectangle(W.Cache, Area.Left, Area.Top, Area.Width(), Area.Height());
}

/// Lays the cache, whose origin is at Origin in the image, over the image
/// within Area (image coordinates): premultiplied "over".
void Blend(cairo_surface_t* Image, cairo_surface_t* Cache, bool Opaque, TPoint Origin, const TRect& Area) {
  TRect R = Area;
  const TRect CacheArea =
      Bounds(Origin.X, Origin.Y, cairo_image_surface_get_width(Cache), cairo_image_surface_get_height(Cache));
  const TRect ImageArea = Rect(0, 0, cairo_image_surface_get_width(Image), cairo_image_surface_get_height(Image));
  if (!IntersectRect(R, R, CacheArea) || !IntersectRect(R, R, ImageArea)) return;
  cairo_surface_flush(Cache);
  const unsigned char* SrcBase = cairo_image_surface_get_data(Cache);
  unsigned char* DstBase = cairo_image_surface_get_data(Image);
  if (!SrcBase || !DstBase) return;
  const int SrcStride = cairo_image_surface_get_stride(Cache), DstStride = cairo_image_surface_get_stride(Image);
  auto Mul = [](std::uint32_t C, std::uint32_t A) {
    std::uint32_t T = C * A + 0x80;
    return ((T >> 8) + T) >> 8;
  };
  for (int Y = R.Top; Y < R.Bottom; ++Y) {
    const auto* S = reinterpret_cast<const std::uint32_t*>(SrcBase + std::ptrdiff_t(Y - Origin.Y) * SrcStride) +
                    (R.Left - Origin.X);
    auto* D = reinterpret_cast<std::uint32_t*>(DstBase + std::ptrdiff_t(Y) * DstStride) + R.Left;
    if (Opaque) {
      std::copy(S, S + R.Width(), D);
      continue;
    }
    for (int X = 0, N = R.Width(); X < N; ++X) {
      const std::uint32_t P = S[X], A = P >> 24;
      if (A == 0xFF) {
        D[X] = P;
      } else if (A != 0) {
        const std::uint32_t Q = D[X], K = 0xFF - A;
        D[X] = 0xFF000000u | ((((P >> 16) & 0xFF) + Mul((Q >> 16) & 0xFF, K)) << 16) |
               ((((P >> 8) & 0xFF) + Mul((Q >> 8) & 0xFF, K)) << 8) | ((P & 0xFF) + Mul(Q & 0xFF, K));
      }
    }
  }
}

/// Moves what became invalid into the windows' stale areas and unites the
/// visible part of it, and what the top-level must compose again, in Dirty
/// (top-level coordinates).
void CollectDirty(HWND Wnd, TPoint Origin, const TRect& Clip, TRect& Dirty) {
  TWindow* W = Find(Wnd);
  if (!W || !(W->Style & WS_VISIBLE)) return;
  if (!W->Parent) {
    UnionRect(Dirty, Dirty, W->Recompose);
    W->Recompose = {};
  } else {
    Origin.X += W->Bounds.Left;
    Origin.Y += W->Bounds.Top;
  }
  TRect Visible = Bounds(Origin.X, Origin.Y, W->Bounds.Width(), W->Bounds.Height());
  if (!IntersectRect(Visible, Visible, Clip)) Visible = {};
  if (!IsRectEmpty(W->Invalid)) {
    UnionRect(W->Stale, W->Stale, W->Invalid);
    TRect R = W->Invalid;
    OffsetRect(R, Origin.X, Origin.Y);
    if (IntersectRect(R, R, Visible)) UnionRect(Dirty, Dirty, R);
    W->Invalid = {};
  }
  // Children that do not show are visited too: what became invalid in them
  // waits as stale, so that nothing is left to paint.
  for (HWND C : W->Children) CollectDirty(C, Origin, Visible, Dirty);
}

bool NeedsPaint(HWND Wnd) {
  TWindow* W = Find(Wnd);
  if (!W || !(W->Style & WS_VISIBLE)) return false;
  if (!IsRectEmpty(W->Invalid) || !IsRectEmpty(W->Recompose)) return true;
  return std::any_of(W->Children.begin(), W->Children.end(), NeedsPaint);
}

/// Runs WM_PAINT for the stale part of the window, into its cache.
void Render(HWND Wnd) {
  TWindow* W = Find(Wnd);
  TRect Upd;
  if (!W || !IntersectRect(Upd, W->Stale, ClientBounds(*W))) {
    if (W) W->Stale = {};
    return;
  }
  W->Stale = {};
  const bool WasOpaque = W->Opaque;
  W->Opaque = false;  // until the painting is seen
  ClearCache(*W, Upd);
  W->PaintRect = Upd;
  W->Painted = Upd;
  W->Erase = true;
  auto& S = WS();
  // A paint pass started from inside a window's painting (an Update of its
  // parent) must leave the contexts of the outer pass alone.
  std::vector<const TDeviceContext*> Outer;
  for (const auto& E : S.DCs)
    if (E.Wnd == Wnd) Outer.push_back(E.DC.get());
  HWND Was = S.Rendering;
  S.Rendering = Wnd;
  try {
    SendMessage(Wnd, WM_PAINT);
  } catch (...) {
    S.Rendering = Was;
    ReleaseDCsOf(Wnd, Outer);
    if (TWindow* X = Find(Wnd)) X->PaintRect = {};
    throw;
  }
  S.Rendering = Was;
  ReleaseDCsOf(Wnd, Outer);
  if (TWindow* X = Find(Wnd)) {
    X->PaintRect = {};
    X->Opaque = WasOpaque;
    NotePainted(*X, X->Painted);
    X->Painted = {};
  }
}

/// One composition of an area of a top-level's image (its coordinates).
struct TComposition {
  cairo_surface_t* Image = nullptr;
  TRect Dirty;
  bool Paint = false;   // paint stale windows first; else show what their caches hold
  HWND From = nullptr;  // what lies below this window in painting order is hidden by it
  bool Hidden = false;  // before From
};

/// Finds the last window in painting order that hides all of Dirty by itself:
/// one painted opaque whole, with nothing stale. Origin is the parent's client
/// origin and Clip what of the parent shows.
void FindCover(HWND Wnd, TPoint Origin, const TRect& Clip, const TRect& Dirty, HWND& Cover) {
  TWindow* W = Find(Wnd);
  if (!W || !(W->Style & WS_VISIBLE)) return;
  if (W->Parent) {
    Origin.X += W->Bounds.Left;
    Origin.Y += W->Bounds.Top;
  }
  TRect Visible = Bounds(Origin.X, Origin.Y, W->Bounds.Width(), W->Bounds.Height()), Common;
  if (!IntersectRect(Visible, Visible, Clip) || !IntersectRect(Common, Visible, Dirty) || Common != Dirty) return;
  if (W->Opaque && W->Cache && IsRectEmpty(W->Stale) && cairo_image_surface_get_width(W->Cache) == W->Bounds.Width() &&
      cairo_image_surface_get_height(W->Cache) == W->Bounds.Height())
    Cover = Wnd;
  for (HWND C : W->Children) FindCover(C, Origin, Visible, Dirty, Cover);
}

/// Composes the window and its children; Origin is its parent's client
/// origin and Clip what of the parent shows, both in the image's coordinates.
void Compose(TComposition& C, HWND Wnd, TPoint Origin, const TRect& Clip) {
  TWindow* W = Find(Wnd);
  if (!W || !(W->Style & WS_VISIBLE)) return;
  if (W->Parent) {
    Origin.X += W->Bounds.Left;
    Origin.Y += W->Bounds.Top;
  }
  TRect Visible = Bounds(Origin.X, Origin.Y, W->Bounds.Width(), W->Bounds.Height());
  TRect Upd;
  if (!IntersectRect(Visible, Visible, Clip) || !IntersectRect(Upd, Visible, C.Dirty))
    return;  // children lie inside it
  if (Wnd == C.From) C.Hidden = false;
  if (!C.Hidden) {
    if (C.Paint) {
      EnsureCache(*W);
      if (!IsRectEmpty(W->Stale)) {
        Render(Wnd);
        W = Find(Wnd);
        if (!W || !(W->Style & WS_VISIBLE)) return;
      }
    }
    if (W->Cache) Blend(C.Image, W->Cache, W->Opaque, Origin, Upd);
  }
  if (W->Children.empty()) return;
  const std::vector<HWND> Children = W->Children;
  for (HWND Child : Children) Compose(C, Child, Origin, Visible);
}

void FillWhite(cairo_surface_t* Image, const TRect& R) {
  cairo_t* Cr = cairo_create(Image);
  cairo_rectangle(Cr, R.Left, R.Top, R.Width(), R.Height());
  cairo_set_source_rgb(Cr, 1, 1, 1);
  cairo_fill(Cr);
  cairo_destroy(Cr);
  cairo_surface_flush(Image);
}

/// Composes the area of the top-level's image again and shows it.
void ComposeTopLevel(TWindow& T, const TRect& Area, bool Paint) {
  EnsureImage(T);
  TRect Dirty;
  if (!IntersectRect(Dirty, Area, ClientBounds(T))) return;
  HWND Top = T.Handle;
  TComposition C{T.Image, Dirty, Paint};
  // Windows wholly hidden under an opaque one are neither painted nor laid.
  FindCover(Top, TPoint{0, 0}, ClientBounds(T), Dirty, C.From);
  C.Hidden = C.From != nullptr;
  if (!C.From) FillWhite(T.Image, Dirty);
  Compose(C, Top, TPoint{0, 0}, ClientBounds(T));
  TWindow* After = Find(Top);
  if (!After || !After->Image) return;
  cairo_surface_mark_dirty(After->Image);
  WS().Backend->Present(Top, After->Image, Dirty);
}

HDC MakeDC(HWND Wnd, const TRect& ClientClip, bool Paint) {
  TWindow* W = Find(Wnd);
  if (!W) return nullptr;
  // A new cache holds nothing yet: the window is painted whole by the next pass.
  if (EnsureCache(*W)) UnionRect(W->Invalid, W->Invalid, ClientBounds(*W));
  TRect Clip;
  if (!IntersectRect(Clip, ClientClip, ClientBounds(*W))) Clip = {};
  cairo_t* Cr = cairo_create(W->Cache);
  cairo_rectangle(Cr, Clip.Left, Clip.Top, Clip.Width(), Clip.Height());
  cairo_clip(Cr);
  auto DC = std::make_unique<TDeviceContext>();
  DC->Cr = Cr;
  DC->Width = W->Bounds.Width();
  DC->Height = W->Bounds.Height();
  HDC Result = DC.get();
  WS().DCs.push_back(TWindowSystem::TDCEntry{std::move(DC), Wnd, Paint, Clip});
  return Result;
}

/// Frees the context and shows what it changed: at once outside a paint
/// pass; inside one, the window being painted is composed right after, and
/// any other window's change is composed by the next pass.
bool FreeDC(HDC DC) {
  auto& S = WS();
  auto It = std::find_if(S.DCs.begin(), S.DCs.end(), [DC](const auto& E) { return E.DC.get() == DC; });
  if (It == S.DCs.end()) return false;
  cairo_destroy(It->DC->Cr);
  HWND Wnd = It->Wnd;
  TRect Clip = It->Clip;
  S.DCs.erase(It);
  TWindow* W = Find(Wnd);
  if (!W || W->Destroying || IsRectEmpty(Clip)) return true;
  if (Wnd == S.Rendering)
    UnionRect(W->Painted, W->Painted, Clip);  // seen when its painting ends
  else
    NotePainted(*W, Clip);
  if (!(W->Style & WS_VISIBLE)) return true;
  TPoint O = OriginInTop(*W);
  OffsetRect(Clip, O.X, O.Y);
  TRect Area;
  if (!IntersectRect(Area, Clip, VisibleRectInTop(*W))) return true;
  TWindow* T = Find(GetTopLevelWindow(Wnd));
  if (!T || T->Destroying || !(T->Style & WS_VISIBLE)) return true;
  if (S.PaintPass == 0)
    ComposeTopLevel(*T, Area, false);
  else if (Wnd != S.Rendering)
    UnionRect(T->Recompose, T->Recompose, Area);
  return true;
}

}  // namespace

namespace detail {

void EnsureImage(TWindow& Top) {
  int W = std::max(Top.Bounds.Width(), 1), H = std::max(Top.Bounds.Height(), 1);
  if (Top.Image && cairo_image_surface_get_width(Top.Image) == W && cairo_image_surface_get_height(Top.Image) == H)
    return;
  ReleaseImage(Top);
  Top.Image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, W, H);
  FillWhite(Top.Image, Rect(0, 0, W, H));
  Top.Recompose = ClientBounds(Top);
}

void ReleaseImage(TWindow& Top) {
  if (!Top.Image) return;
  cairo_surface_destroy(Top.Image);
  Top.Image = nullptr;
}

void ReleaseCache(TWindow& W) {
  if (!W.Cache) return;
  cairo_surface_destroy(W.Cache);
  W.Cache = nullptr;
}

void ReleaseDCsOf(HWND Wnd, const std::vector<const TDeviceContext*>& Keep) {
  auto& S = WS();
  for (auto& E : S.DCs)
    if (E.Wnd == Wnd && E.DC->Cr && std::find(Keep.begin(), Keep.end(), E.DC.get()) == Keep.end()) {
      if (TWindow* W = Find(Wnd)) UnionRect(W->Painted, W->Painted, E.Clip);
      cairo_destroy(E.DC->Cr);
      E.DC->Cr = nullptr;
    }
  std::erase_if(S.DCs, [](const auto& E) { return E.DC->Cr == nullptr; });
}

void InvalidateInTop(HWND Top, const TRect& R) {
  if (TWindow* T = Find(Top)) {
    TRect Clip;
    if (IntersectRect(Clip, R, ClientBounds(*T))) UnionRect(T->Recompose, T->Recompose, Clip);
  }
}

bool AnyTopLevelNeedsPaint() { return std::any_of(WS().TopLevels.begin(), WS().TopLevels.end(), NeedsPaint); }

void PaintTopLevel(HWND Top) {
  TWindow* T = Find(Top);
  if (!T || T->Destroying || !(T->Style & WS_VISIBLE)) return;
  TRect Dirty;
  CollectDirty(Top, TPoint{0, 0}, ClientBounds(*T), Dirty);
  if (IsRectEmpty(Dirty)) return;
  auto& S = WS();
  ++S.PaintPass;
  try {
    ComposeTopLevel(*T, Dirty, true);
  } catch (...) {
    --S.PaintPass;
    throw;
  }
  --S.PaintPass;
}

void PaintAllTopLevels() {
  for (HWND Top : std::vector<HWND>(WS().TopLevels)) PaintTopLevel(Top);
}

}  // namespace detail

bool InvalidateRect(HWND Wnd, const TRect* R, bool Erase) {
  TWindow* W = Find(Wnd);
  if (!W || W->Destroying) return false;
  TRect Area = R ? *R : ClientBounds(*W);
  if (!IntersectRect(Area, Area, ClientBounds(*W))) return true;
  UnionRect(W->Invalid, W->Invalid, Area);
  W->Erase = W->Erase || Erase;
  return true;
}

bool ValidateRect(HWND Wnd, const TRect* R) {
  TWindow* W = Find(Wnd);
  if (!W) return false;
  // A rectangle union cannot take a hole out: validating part of it keeps the rest whole.
  TRect Area = R ? *R : ClientBounds(*W);
  for (TRect* Pending : {&W->Invalid, &W->Stale}) {
    TRect Common;
    if (!R || (IntersectRect(Common, *Pending, Area) && Common == *Pending)) *Pending = {};
  }
  return true;
}

bool GetUpdateRect(HWND Wnd, TRect& R) {
  TWindow* W = Find(Wnd);
  R = {};
  if (W) UnionRect(R, W->Invalid, W->Stale);
  return !IsRectEmpty(R);
}

bool UpdateWindow(HWND Wnd) {
  if (!IsWindow(Wnd)) return false;
  PaintTopLevel(GetTopLevelWindow(Wnd));
  return true;
}

HDC BeginPaint(HWND Wnd, PAINTSTRUCT& Paint) {
  Paint = PAINTSTRUCT{};
  TWindow* W = Find(Wnd);
  if (!W) return nullptr;
  TRect Upd = W->PaintRect;
  if (IsRectEmpty(Upd)) {
    // Outside a paint pass: paint what is invalid and validate it.
    TRect Pending;
    UnionRect(Pending, W->Invalid, W->Stale);
    IntersectRect(Upd, Pending, ClientBounds(*W));
    W->Invalid = {};
    const bool Fresh = EnsureCache(*W);
    W->Stale = {};
    if (Fresh) W->Invalid = ClientBounds(*W);  // the rest of a new cache is painted by the next pass
    W->Opaque = false;
    ClearCache(*W, Upd);
  }
  bool Erase = W->Erase;
  W->Erase = false;
  HDC DC = MakeDC(Wnd, Upd, true);
  Paint.hdc = DC;
  Paint.rcPaint = Upd;
  Paint.fErase = Erase && SendMessage(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC)) == 0;
  return DC;
}

bool EndPaint(HWND, const PAINTSTRUCT& Paint) { return FreeDC(Paint.hdc); }

HDC GetDC(HWND Wnd) {
  TWindow* W = Find(Wnd);
  if (!W || W->Destroying) return nullptr;
  return MakeDC(Wnd, ClientBounds(*W), false);
}

int ReleaseDC(HWND, HDC DC) { return FreeDC(DC) ? 1 : 0; }

cairo_surface_t* GetWindowImage(HWND Wnd) {
  TWindow* T = Find(GetTopLevelWindow(Wnd));
  if (!T) return nullptr;
  EnsureImage(*T);
  cairo_surface_flush(T->Image);
  return T->Image;
}

bool SaveWindowImage(HWND Wnd, const std::string& FileName) {
  cairo_surface_t* Image = GetWindowImage(Wnd);
  return Image && cairo_surface_write_to_png(Image, FileName.c_str()) == CAIRO_STATUS_SUCCESS;
}

void TopLevelResizedByBackend(HWND Wnd, int Width, int Height) {
  TWindow* W = Find(Wnd);
  if (!W || W->Parent) return;
  if (W->Bounds.Width() == Width && W->Bounds.Height() == Height) return;
  SetWindowPos(Wnd, nullptr, 0, 0, Width, Height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace platform
