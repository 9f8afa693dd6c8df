// Private state of the window system, shared by its source files.
#pragma once

#include <cairo.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win/backend.h"
#include "platform/win/windows.h"

namespace platform::detail {

/// \brief One entry of the window table.
struct TWindow {
  HWND Handle = nullptr;
  HWND Parent = nullptr;
  std::vector<HWND> Children;  // z-order: the last child is on top
  TRect Bounds;                // in the parent's client coordinates (screen for top-level)
  DWORD Style = 0;
  DWORD ExStyle = 0;
  UINT ClassStyle = 0;
  WNDPROC Proc = nullptr;
  std::string Text;
  bool Destroying = false;
  TRect Invalid;  // client coordinates; empty when valid
  bool Erase = false;
  TRect PaintRect;  // during a paint pass: what may be painted, in client coordinates
  // What the window itself painted, without its children: transparent where
  // it did not paint. A paint pass runs WM_PAINT only for the stale part and
  // composes the top-level's image from these, so moving a window costs no
  // painting by the windows it uncovers or covers.
  cairo_surface_t* Cache = nullptr;
  bool Opaque = false;               // no pixel of Cache is transparent (else unknown)
  TRect Painted;                     // drawn through contexts while WM_PAINT runs
  TRect Stale;                       // collected from Invalid, not yet painted into Cache
  TRect Recompose;                   // top-level windows only: area to compose again, no painting needed
  cairo_surface_t* Image = nullptr;  // top-level windows only: the composed image
};

struct TTimer {
  HWND Wnd = nullptr;
  UINT_PTR Id = 0;
  UINT Elapse = 0;
  DWORD Due = 0;
};

struct TClickRecord {
  HWND Wnd = nullptr;
  UINT DownMsg = 0;
  DWORD Time = 0;
  TPoint Pos;  // screen
  bool Valid = false;
};

/// \brief The single window system of the process.
struct TWindowSystem {
  std::unordered_map<std::uintptr_t, std::unique_ptr<TWindow>> Table;
  std::vector<HWND> TopLevels;  // in creation order
  std::uintptr_t NextId = 0x10;
  std::unique_ptr<TBackend> Backend;

  std::deque<MSG> Posted;
  std::deque<MSG> Ready;             // routed input waiting for retrieval
  std::deque<TInputEvent> RawInput;  // input not yet routed
  bool QuitPosted = false;
  int QuitCode = 0;
  std::function<bool()> IdleHandler;
  std::vector<TTimer> Timers;

  HWND Capture = nullptr;
  HWND Focus = nullptr;
  unsigned char KeyState[256] = {};
  TPoint CursorPos;
  TCursor Cursor = crDefault;
  TClickRecord LastClick;

  struct TDCEntry {
    std::unique_ptr<TDeviceContext> DC;
    HWND Wnd = nullptr;
    bool Paint = false;  // from BeginPaint (else GetDC)
    TRect Clip;          // what it may change, in the window's client coordinates
  };
  std::vector<TDCEntry> DCs;
  int PaintPass = 0;         // paint passes under way
  HWND Rendering = nullptr;  // the window whose WM_PAINT a pass is running

  TWindowSystem() = default;
  /// At process exit: frees the images and contexts of windows still alive,
  /// without calling their procedures (their objects may be gone already).
  ~TWindowSystem() {
    for (auto& E : DCs)
      if (E.DC->Cr) cairo_destroy(E.DC->Cr);
    for (auto& [Id, W] : Table) {
      if (W->Image) cairo_surface_destroy(W->Image);
      if (W->Cache) cairo_surface_destroy(W->Cache);
    }
  }
  TWindowSystem(const TWindowSystem&) = delete;
  TWindowSystem& operator=(const TWindowSystem&) = delete;
};

TWindowSystem& WS();
TWindow* Find(HWND Wnd);
inline HWND ToHandle(std::uintptr_t Id) { return reinterpret_cast<HWND>(Id); }
inline std::uintptr_t ToId(HWND Wnd) { return reinterpret_cast<std::uintptr_t>(Wnd); }

/// Screen position of the window's client origin.
TPoint ClientOrigin(const TWindow& W);
/// The window's visible part (clipped by its ancestors) in its top-level's client coordinates.
TRect VisibleRectInTop(const TWindow& W);
TPoint OriginInTop(const TWindow& W);

// Painting (paint.cpp).
void InvalidateInTop(HWND Top, const TRect& R);
bool AnyTopLevelNeedsPaint();
void PaintAllTopLevels();
void PaintTopLevel(HWND Top);
void EnsureImage(TWindow& Top);
void ReleaseImage(TWindow& Top);
/// Frees what the window painted (it is being destroyed).
void ReleaseCache(TWindow& W);
/// Frees the contexts of the window, except those in Keep.
void ReleaseDCsOf(HWND Wnd, const std::vector<const TDeviceContext*>& Keep = {});

// Input (input.cpp).
void RouteRawInput(const TInputEvent& Event);
void ApplyInputState(const TInputEvent& Event, TPoint& Screen);
void RunMoveSizeLoop(HWND Wnd, WPARAM Command);
void ForgetWindowInput(HWND Wnd);

// Queue (message_queue.cpp).
void PurgeMessages(HWND Wnd);
void KillTimersOf(HWND Wnd);
DWORD NextTimerDelay();
bool TakeDueTimer(MSG& Msg);
void ResetQueue();

// Clipboard (clipboard.cpp).
void ResetClipboard();

}  // namespace platform::detail
