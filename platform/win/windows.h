// The window system: handles, window procedures, messages and the queue,
// input routing, painting, timers and the clipboard.
//
// Sections: basic types; message numbers and constants; point packing;
// window procedures; windows; messages and the queue; timers; input state;
// painting; clipboard and global memory blocks.
//
// All windows live on the one user-interface thread. A handle is an opaque
// id into the window table; handles are never reused, so a stale handle
// simply addresses nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/gfx/dc.h"
#include "platform/rtl/types.h"
#include "platform/rtl/uitypes.h"

typedef struct _cairo_surface cairo_surface_t;

namespace platform {

// ---------------------------------------------------------------- basic types

struct HWND__;
/// \brief A window handle; nullptr is no window.
using HWND = HWND__*;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using SHORT = std::int16_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;

/// \brief A message as window procedures and message handlers see it.
/// Result starts at 0 when the message is delivered.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

/// \brief A message taken from the queue.
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  TPoint pt;  // cursor position in screen coordinates when the message was queued
};

// ------------------------------------------------- message numbers, constants

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
constexpr UINT WM_NCMBUTTONUP = 0x00A8;
constexpr UINT WM_NCMBUTTONDBLCLK = 0x00A9;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_SIZING = 0x0214;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOVING = 0x0216;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_MOUSEFIRST = WM_MOUSEMOVE;
constexpr UINT WM_MOUSELAST = WM_MOUSEWHEEL;
constexpr UINT WM_USER = 0x0400;
/// Control messages (CM_) are numbered by the controls layer from here on.
constexpr UINT CM_BASE = 0xB000;
/// Registered window messages and clipboard formats take numbers in this range.
constexpr UINT RegisteredMessageFirst = 0xC000;
constexpr UINT RegisteredMessageLast = 0xFFFF;

// Hit-test codes (answers to WM_NCHITTEST).
constexpr LRESULT HTERROR = -2;
constexpr LRESULT HTTRANSPARENT = -1;
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;
constexpr LRESULT HTLEFT = 10;
constexpr LRESULT HTRIGHT = 11;
constexpr LRESULT HTTOP = 12;
constexpr LRESULT HTTOPLEFT = 13;
constexpr LRESULT HTTOPRIGHT = 14;
constexpr LRESULT HTBOTTOM = 15;
constexpr LRESULT HTBOTTOMLEFT = 16;
constexpr LRESULT HTBOTTOMRIGHT = 17;

// WM_SYSCOMMAND commands; the low four bits carry details (the edge for SC_SIZE).
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_DRAGMOVE = 0xF012;  // move by dragging: SC_MOVE | HTCAPTION
constexpr WPARAM SC_CLOSE = 0xF060;

// Edges in WM_SIZING's WParam (and in SC_SIZE's low bits).
constexpr WPARAM WMSZ_LEFT = 1;
constexpr WPARAM WMSZ_RIGHT = 2;
constexpr WPARAM WMSZ_TOP = 3;
constexpr WPARAM WMSZ_TOPLEFT = 4;
constexpr WPARAM WMSZ_TOPRIGHT = 5;
constexpr WPARAM WMSZ_BOTTOM = 6;
constexpr WPARAM WMSZ_BOTTOMLEFT = 7;
constexpr WPARAM WMSZ_BOTTOMRIGHT = 8;

// Key and button flags in the WParam of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// Virtual keys.
constexpr UINT VK_LBUTTON = 0x01;
constexpr UINT VK_RBUTTON = 0x02;
constexpr UINT VK_MBUTTON = 0x04;
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F12 = 0x7B;

// Window styles, extended styles and class styles.
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_CHILD = 0x40000000u;
constexpr DWORD WS_VISIBLE = 0x10000000u;
constexpr DWORD WS_DISABLED = 0x08000000u;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000u;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000u;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020u;
constexpr UINT CS_DBLCLKS = 0x0008;

// Indexes of GetWindowLong/SetWindowLong.
constexpr int GWL_WNDPROC = -4;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GCL_STYLE = -26;  // the class style (CS_DBLCLKS)

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWNA = 8;

// SetWindowPos flags and z-order places.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(std::uintptr_t(1));

// GetWindow relations.
constexpr UINT GW_HWNDFIRST = 0;  // the topmost sibling
constexpr UINT GW_HWNDLAST = 1;   // the bottom sibling
constexpr UINT GW_HWNDNEXT = 2;   // the sibling just below
constexpr UINT GW_HWNDPREV = 3;   // the sibling just above
constexpr UINT GW_CHILD = 5;      // the topmost child

// PeekMessage removal flags.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// ----------------------------------------------------------------- point packing

constexpr WORD LOWORD(std::uintptr_t V) { return WORD(V & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t V) { return WORD((V >> 16) & 0xFFFF); }
/// Packs two 16-bit halves into the low 32 bits (Lo in the low word).
constexpr LPARAM MAKELPARAM(int Lo, int Hi) {
  return LPARAM(std::uint32_t(WORD(Lo)) | (std::uint32_t(WORD(Hi)) << 16));
}
constexpr WPARAM MAKEWPARAM(int Lo, int Hi) { return WPARAM(MAKELPARAM(Lo, Hi)); }
/// The signed X (low word) and Y (high word) of a packed point.
constexpr int GET_X_LPARAM(LPARAM L) { return SHORT(LOWORD(std::uintptr_t(L))); }
constexpr int GET_Y_LPARAM(LPARAM L) { return SHORT(HIWORD(std::uintptr_t(L))); }
constexpr LPARAM PointToLParam(const TPoint& P) { return MAKELPARAM(P.X, P.Y); }
constexpr TPoint LParamToPoint(LPARAM L) { return TPoint{GET_X_LPARAM(L), GET_Y_LPARAM(L)}; }

// ------------------------------------------------------------ window procedures

using TWndProcFunction = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
/// A method of an object that handles a message in place (sets Result).
using TWndMethod = std::function<void(TMessage&)>;

/// \brief A window procedure: a callable with identity that can sit in a
/// window's procedure slot. Either a free function or a bound method.
///
/// Free-function procedures are usually static objects; method procedures
/// come from MakeObjectInstance and go back with FreeObjectInstance. A
/// procedure that is destroyed while a window still holds it is never
/// called again: the window falls back to DefWindowProc.
class TWndProc {
 public:
  explicit TWndProc(TWndProcFunction Function);
  explicit TWndProc(TWndMethod Method);
  ~TWndProc();
  TWndProc(const TWndProc&) = delete;
  TWndProc& operator=(const TWndProc&) = delete;

  LRESULT Call(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) const;

 private:
  friend void FreeObjectInstance(const TWndProc* Proc);
  friend const TWndProc* MakeObjectInstance(TWndMethod Method);
  TWndProcFunction FFunction = nullptr;
  TWndMethod FMethod;
  mutable int FDepth = 0;       // calls under way
  mutable bool FFreed = false;  // freed while a call was under way
  bool FHeap = false;           // made by MakeObjectInstance
};
using WNDPROC = const TWndProc*;

/// A new procedure that calls Method; free it with FreeObjectInstance.
WNDPROC MakeObjectInstance(TWndMethod Method);
/// Frees a procedure made by MakeObjectInstance (nothing for nullptr). A call
/// under way finishes first; windows still holding it fall back to DefWindowProc.
void FreeObjectInstance(WNDPROC Proc);
/// True while Proc exists (a static procedure or a live object instance).
bool IsWindowProc(WNDPROC Proc);
/// Calls Proc for the window; DefWindowProc when Proc no longer exists.
LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
/// The window system's default handling of a message.
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
/// A procedure that only calls DefWindowProc.
WNDPROC DefWindowProcInstance();

// ---------------------------------------------------------------------- windows

/// Creates a window with bounds in the parent's client coordinates (screen
/// coordinates for a window without a parent, which becomes a top-level
/// window with its own image). Sends WM_CREATE; nullptr when the parent is
/// not a window, when the procedure answers WM_CREATE with -1, or when Proc
/// is nullptr.
HWND CreateWindowEx(DWORD ExStyle, UINT ClassStyle, DWORD Style, int X, int Y, int Width, int Height, HWND Parent,
                    WNDPROC Proc);
/// Sends WM_DESTROY (parent before children) and WM_NCDESTROY (children
/// first), then removes the window and its children from the table. Their
/// queued messages and timers go with them.
bool DestroyWindow(HWND Wnd);
bool IsWindow(HWND Wnd);
HWND GetParent(HWND Wnd);
/// Moves the window to another parent (on top of its new siblings); returns the old parent.
HWND SetParent(HWND Wnd, HWND NewParent);
HWND GetWindow(HWND Wnd, UINT Relation);
/// The top-level window that holds Wnd (Wnd itself for a top-level window).
HWND GetTopLevelWindow(HWND Wnd);

LONG_PTR GetWindowLong(HWND Wnd, int Index);
/// Writes a window's procedure, style, extended style or class style;
/// returns the previous value (0 for a handle that is not a window).
LONG_PTR SetWindowLong(HWND Wnd, int Index, LONG_PTR Value);

/// What WM_WINDOWPOSCHANGED carries (LParam points to it): the new place,
/// with SWP_NOMOVE, SWP_NOSIZE and SWP_NOZORDER set for what did not change.
struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0, y = 0, cx = 0, cy = 0;
  UINT flags = 0;
};

/// Moves, sizes and places a window in the z-order. After the change, the
/// window gets WM_WINDOWPOSCHANGED, then WM_MOVE and WM_SIZE for what changed,
/// through its procedure, with the new bounds already in place.
bool SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags);
bool MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, bool Repaint = true);
bool BringWindowToTop(HWND Wnd);
bool ShowWindow(HWND Wnd, int Cmd);
/// True when the window and all its ancestors have WS_VISIBLE.
bool IsWindowVisible(HWND Wnd);
bool EnableWindow(HWND Wnd, bool Enable);
bool IsWindowEnabled(HWND Wnd);
bool SetWindowText(HWND Wnd, std::string_view Text);
std::string GetWindowText(HWND Wnd);

/// The window's rectangle in screen coordinates.
bool GetWindowRect(HWND Wnd, TRect& R);
/// The client area: (0, 0, Width, Height).
bool GetClientRect(HWND Wnd, TRect& R);
bool ClientToScreen(HWND Wnd, TPoint& P);
bool ScreenToClient(HWND Wnd, TPoint& P);
/// The topmost visible, enabled window under a screen point (without hit-test messages).
HWND WindowFromPoint(const TPoint& ScreenPos);
/// True when Wnd is a child (or a deeper descendant) of Parent.
bool IsChild(HWND Parent, HWND Wnd);

// ---------------------------------------------------------- messages and queue

/// The process-wide number for Name: the same name (ASCII letters compared
/// without case) always gives the same number, in 0xC000..0xFFFF. 0 for an
/// empty name. Clipboard formats share the table.
UINT RegisterWindowMessage(std::string_view Name);

/// Delivers at once through the window's procedure; 0 for a handle that is not a window.
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
/// Queues a message for the window; false (and nothing queued) for nullptr or a
/// handle that is not a window.
bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
void PostQuitMessage(int ExitCode);

/// Takes the next message without waiting. Order: posted messages (first in,
/// first out), then input, then painting, then timers. Painting is done by
/// the retrieval itself: when only painting waits, every invalid top-level
/// window is painted and false is returned.
bool PeekMessage(MSG& Msg, UINT RemoveMsg = PM_REMOVE);
/// Waits for and takes the next message; false for WM_QUIT, or when nothing
/// can arrive any more (the headless backend with no idle handler).
bool GetMessage(MSG& Msg);
/// Waits until something may be in the queue; false when nothing can arrive.
bool WaitMessage();
LRESULT DispatchMessage(const MSG& Msg);
/// Handles every message waiting in the queue, painting included, then returns.
/// Re-entrant: a handler may call it again on the same queue.
void ProcessMessages();
/// Called by WaitMessage when the backend cannot wait (headless): the handler
/// injects input, advances the clock or ends a loop, and answers whether
/// anything may arrive now. Modal loops in tests are driven this way.
void SetIdleHandler(std::function<bool()> Handler);

// ------------------------------------------------------------------------ timers

/// Starts (or restarts) timer Id of the window: WM_TIMER with WParam Id every
/// Elapse milliseconds, delivered when the queue is otherwise idle. Returns Id,
/// 0 for a handle that is not a window.
UINT_PTR SetTimer(HWND Wnd, UINT_PTR Id, UINT Elapse);
bool KillTimer(HWND Wnd, UINT_PTR Id);
/// Milliseconds of the window system's clock (a test-driven clock when headless).
DWORD GetTickCount();
/// The double-click time in milliseconds.
UINT GetDoubleClickTime();

// ------------------------------------------------------------------- input state

HWND SetCapture(HWND Wnd);
bool ReleaseCapture();
HWND GetCapture();
/// Moves the focus; nothing (and nullptr) for a window that is hidden or disabled.
HWND SetFocus(HWND Wnd);
HWND GetFocus();
/// High bit set while the key or button is down; low bit toggles on each press.
SHORT GetKeyState(int VirtKey);
/// The cursor position in screen coordinates, as the input path last saw it.
bool GetCursorPos(TPoint& P);
/// Shows a cursor shape over the windows (crDefault: the arrow); returns the previous one.
TCursor SetCursor(TCursor Cursor);
TCursor GetCursor();

// ----------------------------------------------------------------------- painting

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  bool fErase = false;
  TRect rcPaint;  // client coordinates
};

bool InvalidateRect(HWND Wnd, const TRect* R, bool Erase = true);
bool ValidateRect(HWND Wnd, const TRect* R);
/// The window's invalid rectangle (client coordinates); false when nothing is invalid.
bool GetUpdateRect(HWND Wnd, TRect& R);
/// Paints every invalid part of the window's top-level window now.
bool UpdateWindow(HWND Wnd);
/// A device context for painting the invalid part of the window; sends WM_ERASEBKGND.
HDC BeginPaint(HWND Wnd, PAINTSTRUCT& Paint);
bool EndPaint(HWND Wnd, const PAINTSTRUCT& Paint);
/// A device context over the visible part of the window, outside painting.
HDC GetDC(HWND Wnd);
int ReleaseDC(HWND Wnd, HDC DC);
/// The image of Wnd's top-level window (owned by the window system), or nullptr.
cairo_surface_t* GetWindowImage(HWND Wnd);
/// Writes the image of Wnd's top-level window as PNG; false on failure.
bool SaveWindowImage(HWND Wnd, const std::string& FileName);

// ----------------------------------------------- clipboard and global memory

struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;
using HANDLE = HGLOBAL;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
/// Text in UTF-8, ended by a NUL byte.
constexpr UINT CF_TEXT = 1;

/// A block of Size bytes, zero-filled; its size is rounded up to a multiple of 16.
HGLOBAL GlobalAlloc(UINT Flags, std::size_t Size);
HGLOBAL GlobalFree(HGLOBAL Mem);
void* GlobalLock(HGLOBAL Mem);
bool GlobalUnlock(HGLOBAL Mem);
/// The size of the block: at least what was asked for, possibly more.
std::size_t GlobalSize(HGLOBAL Mem);

/// The process-wide number of a named format (shared with registered messages).
UINT RegisterClipboardFormat(std::string_view Name);
/// The name of a registered format (or message); empty when there is none.
std::string GetClipboardFormatName(UINT Format);
/// Opens the clipboard; opening again while open is counted, and each
/// opening needs its CloseClipboard.
bool OpenClipboard(HWND Owner);
bool CloseClipboard();
/// Empties the clipboard (it must be open); this program becomes its owner.
bool EmptyClipboard();
/// Puts a block of the format on the open clipboard, which takes it over;
/// returns the block, nullptr when the clipboard is not open.
HANDLE SetClipboardData(UINT Format, HANDLE Mem);
/// The block of the format (owned by the clipboard), or nullptr. The
/// clipboard must be open.
HANDLE GetClipboardData(UINT Format);
bool IsClipboardFormatAvailable(UINT Format);

}  // namespace platform
