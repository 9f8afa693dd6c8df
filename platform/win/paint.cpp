// Invalidation and painting: every top-level window has one image; a paint
// pass repaints the invalid area of it in painting order (a window, then its
// children bottom to top, each clipped to its parent), so windows with
// WS_EX_TRANSPARENT show what lies below them wherever they do not paint.
#include <algorithm>

#include "platform/win/window_system_p.h"

namespace platform {

using namespace detail;

namespace {

TRect ClientBounds(const TWindow& W) { return Rect(0, 0, W.Bounds.Width(), W.Bounds.Height()); }

void CollectDirty(HWND Wnd, TRect& Dirty) {
  TWindow* W = Find(Wnd);
  if (!W || !(W->Style & WS_VISIBLE)) return;
  if (!IsRectEmpty(W->Invalid)) {
    TRect R = W->Invalid;
    TPoint O = OriginInTop(*W);
    OffsetRect(R, O.X, O.Y);
    if (IntersectRect(R, R, VisibleRectInTop(*W))) UnionRect(Dirty, Dirty, R);
    W->Invalid = {};
  }
  for (HWND C : W->Children) CollectDirty(C, Dirty);
}

bool NeedsPaint(HWND Wnd) {
  TWindow* W = Find(Wnd);
  if (!W || !(W->Style & WS_VISIBLE)) return false;
  if (!IsRectEmpty(W->Invalid)) return true;
  return std::any_of(W->Children.begin(), W->Children.end(), NeedsPaint);
}

void PaintWindow(HWND Wnd, const TRect& Dirty) {
  TWindow* W = Find(Wnd);
  if (!W || !(W->Style & WS_VISIBLE)) return;
  TRect Upd;
  if (!IntersectRect(Upd, VisibleRectInTop(*W), Dirty)) return;  // children lie inside it
  TPoint O = OriginInTop(*W);
  OffsetRect(Upd, -O.X, -O.Y);
  W->PaintRect = Upd;
  W->Erase = true;
  // A paint pass started from inside a window's painting (an Update of its
  // parent) must leave the contexts of the outer pass alone.
  std::vector<const TDeviceContext*> Outer;
  for (const auto& E : WS().DCs)
    if (E.Wnd == Wnd) Outer.push_back(E.DC.get());
  try {
    SendMessage(Wnd, WM_PAINT);
  } catch (...) {
    ReleaseDCsOf(Wnd, Outer);
    if (TWindow* X = Find(Wnd)) X->PaintRect = {};
    throw;
  }
  ReleaseDCsOf(Wnd, Outer);
  W = Find(Wnd);
  if (!W) return;
  W->PaintRect = {};
  std::vector<HWND> Children = W->Children;
  for (HWND C : Children) PaintWindow(C, Dirty);
}

HDC MakeDC(HWND Wnd, const TRect& ClientClip, bool Paint) {
  TWindow* W = Find(Wnd);
  TWindow* Top = Find(GetTopLevelWindow(Wnd));
  if (!W || !Top) return nullptr;
  EnsureImage(*Top);
  TPoint O = OriginInTop(*W);
  TRect Area = ClientClip;
  OffsetRect(Area, O.X, O.Y);
  if (!IntersectRect(Area, Area, VisibleRectInTop(*W))) Area = {};
  cairo_t* Cr = cairo_create(Top->Image);
  cairo_rectangle(Cr, Area.Left, Area.Top, Area.Width(), Area.Height());
  cairo_clip(Cr);
  cairo_translate(Cr, O.X, O.Y);
  auto DC = std::make_unique<TDeviceContext>();
  DC->Cr = Cr;
  DC->Width = W->Bounds.Width();
  DC->Height = W->Bounds.Height();
  HDC Result = DC.get();
  WS().DCs.push_back(TWindowSystem::TDCEntry{std::move(DC), Wnd, Paint, Area});
  return Result;
}

/// Frees the context; shows what it changed unless a paint pass will.
bool FreeDC(HDC DC) {
  auto& S = WS();
  auto It = std::find_if(S.DCs.begin(), S.DCs.end(), [DC](const auto& E) { return E.DC.get() == DC; });
  if (It == S.DCs.end()) return false;
  cairo_destroy(It->DC->Cr);
  HWND Wnd = It->Wnd;
  TRect Area = It->Area;
  S.DCs.erase(It);
  if (S.PaintPass == 0 && !IsRectEmpty(Area)) {
    HWND Top = GetTopLevelWindow(Wnd);
    if (TWindow* T = Find(Top); T && T->Image) {
      cairo_surface_flush(T->Image);
      S.Backend->Present(Top, T->Image, Area);
    }
  }
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
  Top.Invalid = ClientBounds(Top);
}

void ReleaseImage(TWindow& Top) {
  if (!Top.Image) return;
  // Contexts still drawing into it go first.
  auto& S = WS();
  for (auto& E : S.DCs)
    if (GetTopLevelWindow(E.Wnd) == Top.Handle || E.Wnd == Top.Handle) {
      cairo_destroy(E.DC->Cr);
      E.DC->Cr = nullptr;
    }
  std::erase_if(S.DCs, [](const auto& E) { return E.DC->Cr == nullptr; });
  cairo_surface_destroy(Top.Image);
  Top.Image = nullptr;
}

void ReleaseDCsOf(HWND Wnd, const std::vector<const TDeviceContext*>& Keep) {
  auto& S = WS();
  for (auto& E : S.DCs)
    if (E.Wnd == Wnd && E.DC->Cr && std::find(Keep.begin(), Keep.end(), E.DC.get()) == Keep.end()) {
      cairo_destroy(E.DC->Cr);
      E.DC->Cr = nullptr;
    }
  std::erase_if(S.DCs, [](const auto& E) { return E.DC->Cr == nullptr; });
}

void InvalidateInTop(HWND Top, const TRect& R) {
  if (TWindow* T = Find(Top)) {
    TRect Clip;
    if (IntersectRect(Clip, R, ClientBounds(*T))) UnionRect(T->Invalid, T->Invalid, Clip);
  }
}

bool AnyTopLevelNeedsPaint() { return std::any_of(WS().TopLevels.begin(), WS().TopLevels.end(), NeedsPaint); }

void PaintTopLevel(HWND Top) {
  TWindow* T = Find(Top);
  if (!T || T->Destroying || !(T->Style & WS_VISIBLE)) return;
  TRect Dirty;
  CollectDirty(Top, Dirty);
  if (IsRectEmpty(Dirty)) return;
  EnsureImage(*T);
  auto& S = WS();
  cairo_t* Cr = cairo_create(T->Image);
  cairo_rectangle(Cr, Dirty.Left, Dirty.Top, Dirty.Width(), Dirty.Height());
  cairo_set_source_rgb(Cr, 1, 1, 1);
  cairo_fill(Cr);
  cairo_destroy(Cr);
  ++S.PaintPass;
  try {
    PaintWindow(Top, Dirty);
  } catch (...) {
    --S.PaintPass;
    throw;
  }
  --S.PaintPass;
  T = Find(Top);
  if (!T || !T->Image) return;
  cairo_surface_flush(T->Image);
  S.Backend->Present(Top, T->Image, Dirty);
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
  TRect Common;
  if (!R || (IntersectRect(Common, W->Invalid, Area) && Common == W->Invalid)) W->Invalid = {};
  return true;
}

bool GetUpdateRect(HWND Wnd, TRect& R) {
  TWindow* W = Find(Wnd);
  R = W ? W->Invalid : TRect{};
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
    IntersectRect(Upd, W->Invalid, ClientBounds(*W));
    W->Invalid = {};
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
