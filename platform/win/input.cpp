// Input: key and button state, capture and focus, routing of raw input to
// windows (hit testing, double clicks) and the move-and-size loop.
#include <algorithm>
#include <cstdlib>

#include "platform/win/window_system_p.h"

namespace platform {

using namespace detail;

namespace {

UINT ButtonKey(TInputButton B) {
  switch (B) {
    case TInputButton::Left:
      return VK_LBUTTON;
    case TInputButton::Right:
      return VK_RBUTTON;
    case TInputButton::Middle:
      return VK_MBUTTON;
  }
  return VK_LBUTTON;
}

UINT ButtonDownMessage(TInputButton B) {
  switch (B) {
    case TInputButton::Left:
      return WM_LBUTTONDOWN;
    case TInputButton::Right:
      return WM_RBUTTONDOWN;
    case TInputButton::Middle:
      return WM_MBUTTONDOWN;
  }
  return WM_LBUTTONDOWN;
}

bool KeyDown(UINT Vk) { return WS().KeyState[Vk & 0xFF] & 0x80; }

WPARAM MouseKeyFlags() {
  WPARAM F = 0;
  if (KeyDown(VK_LBUTTON)) F |= MK_LBUTTON;
  if (KeyDown(VK_RBUTTON)) F |= MK_RBUTTON;
  if (KeyDown(VK_MBUTTON)) F |= MK_MBUTTON;
  if (KeyDown(VK_SHIFT)) F |= MK_SHIFT;
  if (KeyDown(VK_CONTROL)) F |= MK_CONTROL;
  return F;
}

void SetKey(UINT Vk, bool Down) {
  unsigned char& K = WS().KeyState[Vk & 0xFF];
  if (Down) {
    if (!(K & 0x80)) K ^= 0x01;  // toggles on each press, not on repeats
    K |= 0x80;
  } else {
    K &= ~0x80;
  }
}

/// Hit testing from the top of the z-order down: the deepest window under
/// the point is asked first; hidden, disabled and HTTRANSPARENT windows pass
/// the point on to the next lower sibling (and its children), then to the parent.
bool HitTestWindow(HWND Wnd, const TPoint& Screen, HWND& Target, LRESULT& Code) {
  TWindow* W = Find(Wnd);
  if (!W || W->Destroying || !(W->Style & WS_VISIBLE) || (W->Style & WS_DISABLED)) return false;
  TRect R;
  GetWindowRect(Wnd, R);
  if (!PtInRect(R, Screen)) return false;
  std::vector<HWND> Children = W->Children;
  for (auto It = Children.rbegin(); It != Children.rend(); ++It)
    if (HitTestWindow(*It, Screen, Target, Code)) return true;
  LRESULT C = SendMessage(Wnd, WM_NCHITTEST, 0, PointToLParam(Screen));
  if (!IsWindow(Wnd) || C == HTTRANSPARENT) return false;
  Target = Wnd;
  Code = C;
  return true;
}

void QueueReady(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, DWORD Time, TPoint Screen) {
  WS().Ready.push_back(MSG{Wnd, Msg, WParam, LParam, Time, Screen});
}

/// Turns a button-down into a double click when it repeats the last one in
/// time and place on a window that asks for double clicks.
UINT DoubleClickFilter(HWND Target, UINT DownMsg, DWORD Time, const TPoint& Screen) {
  auto& Last = WS().LastClick;
  TWindow* W = Find(Target);
  bool Repeat = Last.Valid && Last.Wnd == Target && Last.DownMsg == DownMsg &&
                DWORD(Time - Last.Time) <= GetDoubleClickTime() && std::abs(Screen.X - Last.Pos.X) <= 2 &&
                std::abs(Screen.Y - Last.Pos.Y) <= 2;
  if (Repeat && W && (W->ClassStyle & CS_DBLCLKS)) {
    Last = {};
    return DownMsg + 2;  // WM_xBUTTONDBLCLK follows WM_xBUTTONUP
  }
  Last = TClickRecord{Target, DownMsg, Time, Screen, true};
  return DownMsg;
}

}  // namespace

namespace detail {

void ApplyInputState(const TInputEvent& E, TPoint& Screen) {
  auto& S = WS();
  Screen = S.CursorPos;
  switch (E.Kind) {
    case TInputKind::KeyDown:
    case TInputKind::KeyUp:
      SetKey(E.Key, E.Kind == TInputKind::KeyDown);
      return;
    case TInputKind::ButtonDown:
    case TInputKind::ButtonUp:
      SetKey(ButtonKey(E.Button), E.Kind == TInputKind::ButtonDown);
      break;
    default:
      break;
  }
  if (TWindow* Top = Find(E.Window)) {
    Screen = TPoint{Top->Bounds.Left + E.Pos.X, Top->Bounds.Top + E.Pos.Y};
    S.CursorPos = Screen;
  }
}

void RouteRawInput(const TInputEvent& E) {
  auto& S = WS();
  TPoint Screen;
  ApplyInputState(E, Screen);
  switch (E.Kind) {
    case TInputKind::KeyDown:
    case TInputKind::KeyUp: {
      if (!IsWindow(S.Focus)) return;
      bool Down = E.Kind == TInputKind::KeyDown;
      LPARAM KeyData = Down ? 1 : LPARAM(0xC0000001u);
      QueueReady(S.Focus, Down ? WM_KEYDOWN : WM_KEYUP, E.Key, KeyData, E.Time, Screen);
      if (Down && E.Char) QueueReady(S.Focus, WM_CHAR, WPARAM(E.Char), KeyData, E.Time, Screen);
      return;
    }
    case TInputKind::Wheel: {
      HWND Target = IsWindow(S.Focus) ? S.Focus : WindowFromPoint(Screen);
      if (Target)
        QueueReady(Target, WM_MOUSEWHEEL, MAKEWPARAM(int(MouseKeyFlags()), E.WheelDelta), PointToLParam(Screen), E.Time,
                   Screen);
      return;
    }
    default:
      break;
  }
  if (!Find(E.Window) && !IsWindow(S.Capture)) return;
  UINT Msg = WM_MOUSEMOVE;
  if (E.Kind == TInputKind::ButtonDown) Msg = ButtonDownMessage(E.Button);
  if (E.Kind == TInputKind::ButtonUp) Msg = ButtonDownMessage(E.Button) + 1;
  bool IsDown = E.Kind == TInputKind::ButtonDown;

  if (IsWindow(S.Capture)) {
    // Capture overrides hit testing; coordinates are relative to the capturing window.
    HWND Target = S.Capture;
    if (IsDown) Msg = DoubleClickFilter(Target, Msg, E.Time, Screen);
    TPoint Client = Screen;
    ScreenToClient(Target, Client);
    QueueReady(Target, Msg, MouseKeyFlags(), PointToLParam(Client), E.Time, Screen);
    return;
  }
  HWND Target = nullptr;
  LRESULT Code = HTNOWHERE;
  if (!HitTestWindow(E.Window, Screen, Target, Code)) {
    if (IsDown) S.LastClick = {};
    return;
  }
  if (IsDown) Msg = DoubleClickFilter(Target, Msg, E.Time, Screen);
  SendMessage(Target, WM_SETCURSOR, WPARAM(Target), MAKELPARAM(int(Code), int(Msg)));
  if (!IsWindow(Target)) return;
  if (Code == HTCLIENT) {
    TPoint Client = Screen;
    ScreenToClient(Target, Client);
    QueueReady(Target, Msg, MouseKeyFlags(), PointToLParam(Client), E.Time, Screen);
  } else {
    QueueReady(Target, Msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE, WPARAM(Code), PointToLParam(Screen), E.Time, Screen);
  }
}

void ForgetWindowInput(HWND Wnd) {
  auto& S = WS();
  if (S.LastClick.Wnd == Wnd) S.LastClick = {};
}

// ------------------------------------------------------------ move-and-size loop

void RunMoveSizeLoop(HWND Wnd, WPARAM Command) {
  TWindow* W = Find(Wnd);
  if (!W || W->Destroying || !W->Parent) return;
  bool Move = (Command & 0xFFF0) == SC_MOVE;
  WPARAM Edge = Command & 0x0F;
  if (!Move && (Edge < WMSZ_LEFT || Edge > WMSZ_BOTTOMRIGHT)) return;
  auto& S = WS();
  const TPoint Start = S.CursorPos;
  const TRect Orig = W->Bounds;

  // One mouse step: the new rectangle (in screen coordinates) goes to the
  // window for approval, then the window takes it.
  auto Step = [&](const TPoint& Screen) {
    TWindow* P = Find(GetParent(Wnd));
    if (!P || !IsWindow(Wnd)) return;
    TPoint PO = ClientOrigin(*P);
    TRect R = Orig;
    OffsetRect(R, PO.X, PO.Y);
    int DX = Screen.X - Start.X, DY = Screen.Y - Start.Y;
    if (Move) {
      OffsetRect(R, DX, DY);
      SendMessage(Wnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&R));
    } else {
      if (Edge == WMSZ_LEFT || Edge == WMSZ_TOPLEFT || Edge == WMSZ_BOTTOMLEFT) R.Left = std::min(R.Left + DX, R.Right);
      if (Edge == WMSZ_RIGHT || Edge == WMSZ_TOPRIGHT || Edge == WMSZ_BOTTOMRIGHT)
        R.Right = std::max(R.Right + DX, R.Left);
      if (Edge == WMSZ_TOP || Edge == WMSZ_TOPLEFT || Edge == WMSZ_TOPRIGHT) R.Top = std::min(R.Top + DY, R.Bottom);
      if (Edge == WMSZ_BOTTOM || Edge == WMSZ_BOTTOMLEFT || Edge == WMSZ_BOTTOMRIGHT)
        R.Bottom = std::max(R.Bottom + DY, R.Top);
      SendMessage(Wnd, WM_SIZING, Edge, reinterpret_cast<LPARAM>(&R));
    }
    TWindow* Now = Find(Wnd);
    P = Find(GetParent(Wnd));
    if (!Now || !P) return;
    PO = ClientOrigin(*P);
    OffsetRect(R, -PO.X, -PO.Y);
    R = NormalizeRect(R);
    if (R != Now->Bounds)
      SetWindowPos(Wnd, nullptr, R.Left, R.Top, R.Width(), R.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  };

  SetCapture(Wnd);
  SendMessage(Wnd, WM_ENTERSIZEMOVE);
  bool Cancel = false;
  for (bool Done = false; !Done;) {
    if (!IsWindow(Wnd) || S.Capture != Wnd) break;
    Backend().PollEvents();
    if (!S.Posted.empty() || !S.Ready.empty()) {
      std::deque<MSG>& Q = !S.Posted.empty() ? S.Posted : S.Ready;
      MSG M = Q.front();
      Q.pop_front();
      DispatchMessage(M);
      continue;
    }
    if (!S.RawInput.empty()) {
      // Raw input belongs to the loop: it is not routed to windows.
      TInputEvent E = S.RawInput.front();
      S.RawInput.pop_front();
      TPoint Screen;
      ApplyInputState(E, Screen);
      if (E.Kind == TInputKind::MouseMove) Step(Screen);
      if (E.Kind == TInputKind::ButtonUp && E.Button == TInputButton::Left) {
        Step(Screen);
        Done = true;
      }
      if (E.Kind == TInputKind::KeyDown && E.Key == VK_ESCAPE) Cancel = Done = true;
      continue;
    }
    if (AnyTopLevelNeedsPaint()) PaintAllTopLevels();
    MSG T;
    if (TakeDueTimer(T)) {
      DispatchMessage(T);
      continue;
    }
    // Nothing more can arrive (headless without a driver): the loop ends where it is.
    if (!S.Posted.empty() || !S.RawInput.empty()) continue;
    if (!WaitMessage()) Done = true;
  }
  if (Cancel && IsWindow(Wnd))
    SetWindowPos(Wnd, nullptr, Orig.Left, Orig.Top, Orig.Width(), Orig.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (S.Capture == Wnd) ReleaseCapture();
  if (IsWindow(Wnd)) SendMessage(Wnd, WM_EXITSIZEMOVE);
}

}  // namespace detail

// --------------------------------------------------------- capture, focus, keys

HWND SetCapture(HWND Wnd) {
  auto& S = WS();
  HWND Old = S.Capture;
  HWND New = IsWindow(Wnd) ? Wnd : nullptr;
  if (Old == New) return Old;
  S.Capture = New;
  if (IsWindow(Old)) SendMessage(Old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(New));
  return Old;
}

bool ReleaseCapture() {
  auto& S = WS();
  HWND Old = S.Capture;
  S.Capture = nullptr;
  if (IsWindow(Old)) SendMessage(Old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

HWND GetCapture() { return IsWindow(WS().Capture) ? WS().Capture : nullptr; }

HWND SetFocus(HWND Wnd) {
  auto& S = WS();
  HWND Old = IsWindow(S.Focus) ? S.Focus : nullptr;
  if (Wnd) {
    // A window that cannot take the focus leaves it where it is.
    if (!IsWindow(Wnd) || !IsWindowVisible(Wnd)) return nullptr;
    for (HWND H = Wnd; H; H = GetParent(H))
      if (!IsWindowEnabled(H)) return nullptr;
  }
  if (Old == Wnd) return Old;
  S.Focus = Wnd;
  if (Old) SendMessage(Old, WM_KILLFOCUS, WPARAM(Wnd));
  if (Wnd && S.Focus == Wnd && IsWindow(Wnd)) SendMessage(Wnd, WM_SETFOCUS, WPARAM(Old));
  return Old;
}

HWND GetFocus() { return IsWindow(WS().Focus) ? WS().Focus : nullptr; }

SHORT GetKeyState(int VirtKey) {
  if (VirtKey < 0 || VirtKey > 255) return 0;
  unsigned char K = WS().KeyState[VirtKey];
  return SHORT(((K & 0x80) ? 0x8000 : 0) | (K & 0x01));
}

bool GetCursorPos(TPoint& P) {
  P = WS().CursorPos;
  return true;
}

}  // namespace platform
