// The interface between the window system and the backend that shows its
// top-level windows and feeds it input, plus the entry points for input.
//
// Two backends implement it: headless (images in memory, input injected by
// tests, an in-process clipboard) and X11 (a real window per top-level
// window, X events, X selections for the clipboard).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/windows.h"

namespace platform {

enum class TInputKind { MouseMove, ButtonDown, ButtonUp, Wheel, KeyDown, KeyUp };
enum class TInputButton { Left, Right, Middle };

/// \brief One piece of raw input, as a backend (or a test) delivers it.
struct TInputEvent {
  TInputKind Kind = TInputKind::MouseMove;
  HWND Window = nullptr;  // the top-level window the mouse event happened on
  TPoint Pos;             // in Window's client coordinates
  TInputButton Button = TInputButton::Left;
  int WheelDelta = 0;  // multiples of 120, positive away from the user
  UINT Key = 0;        // virtual key of a key event
  char32_t Char = 0;   // the character a key-down types (a WM_CHAR follows), or 0
  DWORD Time = 0;      // milliseconds; 0 takes the window system's clock
};

/// \brief What a backend does for the window system.
class TBackend {
 public:
  virtual ~TBackend() = default;
  virtual const char* Name() const = 0;

  // Top-level windows: bounds are in screen coordinates.
  virtual void TopLevelCreated(HWND Wnd, const TRect& Bounds) = 0;
  virtual void TopLevelDestroyed(HWND Wnd) = 0;
  virtual void TopLevelShown(HWND Wnd, bool Visible) = 0;
  virtual void TopLevelMoved(HWND Wnd, const TRect& Bounds) = 0;
  virtual void TopLevelTitle(HWND Wnd, std::string_view Title) = 0;
  /// The part Dirty (client coordinates) of the window's image has changed.
  virtual void Present(HWND Wnd, cairo_surface_t* Image, const TRect& Dirty) = 0;

  /// Turns pending native events into input (PostInputEvent) without waiting.
  virtual void PollEvents() = 0;
  /// Waits up to TimeoutMs (-1: no limit) for native events; false when this
  /// backend cannot wait (nothing can ever arrive by itself).
  virtual bool WaitEvents(int TimeoutMs) = 0;
  virtual DWORD TickCount() = 0;

  // The clipboard. The window system keeps the blocks it owns; a backend
  // that shares the clipboard with other programs publishes them and reads
  // theirs.
  virtual void ClipboardOwned() = 0;
  /// True when another program owns the clipboard contents.
  virtual bool ClipboardIsForeign() = 0;
  virtual bool ForeignClipboardHas(UINT Format) = 0;
  virtual bool ReadForeignClipboard(UINT Format, std::string& Data) = 0;
};

/// Replaces the backend; only while no window exists (EInvalidOperation otherwise).
void SetBackend(std::unique_ptr<TBackend> NewBackend);
/// The backend in use; the first call picks the default one: X11 when
/// VELSTUDIO_BACKEND is "x11", or is unset and DISPLAY names a display that
/// opens; headless otherwise.
TBackend& Backend();
/// The backend in use, or nullptr before the first use picks one.
TBackend* CurrentBackend();
/// Builds the default backend (defined with the backends).
std::unique_ptr<TBackend> CreateDefaultBackend();

/// Queues raw input; it is routed (hit testing, capture, double clicks) when
/// the queue reaches it, in order with the other input.
void PostInputEvent(const TInputEvent& Event);

// Input helpers for tests and backends; Pos is in Top's client coordinates.
void InjectMouseMove(HWND Top, TPoint Pos, DWORD Time = 0);
void InjectMouseButton(HWND Top, TInputButton Button, bool Down, TPoint Pos, DWORD Time = 0);
void InjectKey(UINT Key, bool Down, char32_t Char = 0);

// What the window system offers its backend.
/// The formats of the blocks this program put on the clipboard.
std::vector<UINT> OwnClipboardFormats();
/// The bytes written into the block of Format (its padding left out).
bool OwnClipboardData(UINT Format, std::string& Data);
/// A top-level window was resized from outside (by the user or a window manager).
void TopLevelResizedByBackend(HWND Wnd, int Width, int Height);

/// Destroys every window and clears the queue, timers, capture, focus, key
/// state, the clipboard and the idle handler; the backend and registered
/// numbers stay. For test fixtures.
void ResetWindowSystem();

}  // namespace platform
