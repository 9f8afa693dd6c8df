// The window table, window procedures, geometry, styles and the default
// window procedure.
#include <algorithm>
#include <unordered_set>

#include "platform/rtl/sysutils.h"
#include "platform/win/window_system_p.h"

namespace platform {

using namespace detail;

namespace detail {

TWindowSystem& WS() {
  static TWindowSystem System;
  return System;
}

TWindow* Find(HWND Wnd) {
  if (!Wnd) return nullptr;
  auto& Table = WS().Table;
  auto It = Table.find(ToId(Wnd));
  return It == Table.end() ? nullptr : It->second.get();
}

TPoint ClientOrigin(const TWindow& W) {
  TPoint P{W.Bounds.Left, W.Bounds.Top};
  for (TWindow* A = Find(W.Parent); A; A = Find(A->Parent)) {
    P.X += A->Bounds.Left;
    P.Y += A->Bounds.Top;
  }
  return P;
}

TPoint OriginInTop(const TWindow& W) {
  if (!W.Parent) return {0, 0};
  TPoint P{W.Bounds.Left, W.Bounds.Top};
  for (TWindow* A = Find(W.Parent); A && A->Parent; A = Find(A->Parent)) {
    P.X += A->Bounds.Left;
    P.Y += A->Bounds.Top;
  }
  return P;
}

TRect VisibleRectInTop(const TWindow& W) {
  TPoint O = OriginInTop(W);
  TRect R = Bounds(O.X, O.Y, W.Bounds.Width(), W.Bounds.Height());
  if (!W.Parent) return R;
  if (TWindow* P = Find(W.Parent)) {
    TRect Clip = VisibleRectInTop(*P);
    if (!IntersectRect(R, R, Clip)) return TRect{};
  }
  return R;
}

}  // namespace detail

// ------------------------------------------------------------ window procedures

namespace {

std::unordered_set<const TWndProc*>& LiveProcs() {
  static std::unordered_set<const TWndProc*> Procs;
  return Procs;
}

LRESULT DefProcFunction(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return DefWindowProc(Wnd, Msg, WParam, LParam);
}

}  // namespace

TWndProc::TWndProc(TWndProcFunction Function) : FFunction(Function) { LiveProcs().insert(this); }

TWndProc::TWndProc(TWndMethod Method) : FMethod(std::move(Method)) { LiveProcs().insert(this); }

TWndProc::~TWndProc() { LiveProcs().erase(this); }

LRESULT TWndProc::Call(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) const {
  LRESULT Result = 0;
  ++FDepth;
  try {
    if (FFunction) {
      Result = FFunction(Wnd, Msg, WParam, LParam);
    } else if (FMethod) {
      TMessage M{Msg, WParam, LParam, 0};
      FMethod(M);
      Result = M.Result;
    }
  } catch (...) {
    if (--FDepth == 0 && FFreed) delete this;
    throw;
  }
  if (--FDepth == 0 && FFreed) delete this;
  return Result;
}

WNDPROC MakeObjectInstance(TWndMethod Method) {
  auto* P = new TWndProc(std::move(Method));
  P->FHeap = true;
  return P;
}

void FreeObjectInstance(WNDPROC Proc) {
  if (!Proc || !LiveProcs().contains(Proc)) return;
  if (!Proc->FHeap) throw EInvalidPointer("FreeObjectInstance: not an object instance");
  // A call still under way keeps the object until it returns; nobody can reach it any more.
  LiveProcs().erase(Proc);
  if (Proc->FDepth > 0)
    Proc->FFreed = true;
  else
    delete Proc;
}

bool IsWindowProc(WNDPROC Proc) { return Proc && LiveProcs().contains(Proc); }

LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!IsWindowProc(Proc)) return DefWindowProc(Wnd, Msg, WParam, LParam);
  return Proc->Call(Wnd, Msg, WParam, LParam);
}

WNDPROC DefWindowProcInstance() {
  static const TWndProc Instance(&DefProcFunction);
  return &Instance;
}

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TWindow* W = Find(Wnd);
  if (!W) return 0;
  return CallWindowProc(W->Proc, Wnd, Msg, WParam, LParam);
}

namespace {

TCursor CursorForHitTest(LRESULT Code) {
  switch (Code) {
    case HTLEFT:
    case HTRIGHT:
      return crSizeWE;
    case HTTOP:
    case HTBOTTOM:
      return crSizeNS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
      return crSizeNWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
      return crSizeNESW;
  }
  return crDefault;
}

}  // namespace

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TWindow* W = Find(Wnd);
  if (!W) return 0;
  switch (Msg) {
    case WM_NCHITTEST: {
      TRect R;
      GetWindowRect(Wnd, R);
      return PtInRect(R, LParamToPoint(LParam)) ? HTCLIENT : HTNOWHERE;
    }
    case WM_NCLBUTTONDOWN:
      if (LRESULT(WParam) == HTCAPTION) return SendMessage(Wnd, WM_SYSCOMMAND, SC_DRAGMOVE, LParam);
      if (LRESULT(WParam) >= HTLEFT && LRESULT(WParam) <= HTBOTTOMRIGHT)
        return SendMessage(Wnd, WM_SYSCOMMAND, SC_SIZE + (WParam - HTLEFT + 1), LParam);
      return 0;
    case WM_SYSCOMMAND:
      switch (WParam & 0xFFF0) {
        case SC_SIZE:
        case SC_MOVE:
          RunMoveSizeLoop(Wnd, WParam);
          return 0;
        case SC_CLOSE:
          return SendMessage(Wnd, WM_CLOSE);
      }
      return 0;
    case WM_RBUTTONUP: {
      TPoint P = LParamToPoint(LParam);
      ClientToScreen(Wnd, P);
      SendMessage(Wnd, WM_CONTEXTMENU, WPARAM(Wnd), PointToLParam(P));
      return 0;
    }
    case WM_NCRBUTTONUP:
      SendMessage(Wnd, WM_CONTEXTMENU, WPARAM(Wnd), LParam);
      return 0;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
      // Children leave these to their parent.
      if (W->Parent) return SendMessage(W->Parent, Msg, WParam, LParam);
      return 0;
    case WM_SETCURSOR:
      // The parent may choose first; else the window under the mouse shows
      // the arrow, or a sizing cursor over a border.
      if (W->Parent && SendMessage(W->Parent, Msg, WParam, LParam)) return 1;
      if (reinterpret_cast<HWND>(WParam) == Wnd) SetCursor(CursorForHitTest(SHORT(LOWORD(LParam))));
      return 0;
    case WM_CLOSE:
      DestroyWindow(Wnd);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT PS;
      BeginPaint(Wnd, PS);
      EndPaint(Wnd, PS);
      return 0;
    }
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------- windows

namespace {

void InvalidateArea(TWindow& W) {
  // The area the window covers, in its top-level's coordinates.
  HWND Top = GetTopLevelWindow(W.Handle);
  if (!W.Parent) {
    if (TWindow* T = Find(Top)) InvalidateRect(T->Handle, nullptr, true);
    return;
  }
  TRect R = VisibleRectInTop(W);
  if (!IsRectEmpty(R)) InvalidateInTop(Top, R);
}

bool IsTopLevel(const TWindow& W) { return !W.Parent; }

void EraseFromParent(TWindow& W) {
  if (TWindow* P = Find(W.Parent)) std::erase(P->Children, W.Handle);
  std::erase(WS().TopLevels, W.Handle);
}

void CollectSubtree(HWND Wnd, std::vector<HWND>& Out) {
  Out.push_back(Wnd);
  if (TWindow* W = Find(Wnd))
    for (HWND C : std::vector<HWND>(W->Children)) CollectSubtree(C, Out);
}

}  // namespace

HWND CreateWindowEx(DWORD ExStyle, UINT ClassStyle, DWORD Style, int X, int Y, int Width, int Height, HWND Parent,
                    WNDPROC Proc) {
  auto& S = WS();
  if (Parent && !Find(Parent)) return nullptr;
  if (Parent && Find(Parent)->Destroying) return nullptr;
  if (!Proc) return nullptr;
  Backend();  // pick the backend before the first window
  auto W = std::make_unique<TWindow>();
  HWND H = ToHandle(S.NextId++);
  W->Handle = H;
  W->Parent = Parent;
  W->Bounds = Bounds(X, Y, std::max(Width, 0), std::max(Height, 0));
  W->Style = Parent ? (Style | WS_CHILD) : (Style & ~WS_CHILD);
  W->ExStyle = ExStyle;
  W->ClassStyle = ClassStyle;
  W->Proc = Proc;
  TWindow& Ref = *W;
  S.Table.emplace(ToId(H), std::move(W));
  if (Parent)
    Find(Parent)->Children.push_back(H);
  else
    S.TopLevels.push_back(H);
  if (!Parent) {
    S.Backend->TopLevelCreated(H, Ref.Bounds);
    EnsureImage(Ref);
  }
  if (SendMessage(H, WM_CREATE) == -1) {
    DestroyWindow(H);
    return nullptr;
  }
  TWindow* Made = Find(H);
  if (!Made) return nullptr;
  if (Made->Style & WS_VISIBLE) {
    if (!Made->Parent) S.Backend->TopLevelShown(H, true);
    InvalidateArea(*Made);
  }
  return H;
}

bool DestroyWindow(HWND Wnd) {
  TWindow* W = Find(Wnd);
  if (!W || W->Destroying) return false;
  auto& S = WS();
  std::vector<HWND> Subtree;
  CollectSubtree(Wnd, Subtree);
  for (HWND H : Subtree)
    if (TWindow* X = Find(H)) X->Destroying = true;
  if (W->Style & WS_VISIBLE) InvalidateArea(*W);
  for (HWND H : Subtree) {
    if (S.Focus == H) S.Focus = nullptr;
    if (S.Capture == H) S.Capture = nullptr;
  }
  // Parent first for WM_DESTROY, children first for WM_NCDESTROY.
  for (HWND H : Subtree) SendMessage(H, WM_DESTROY);
  for (auto It = Subtree.rbegin(); It != Subtree.rend(); ++It) SendMessage(*It, WM_NCDESTROY);
  for (auto It = Subtree.rbegin(); It != Subtree.rend(); ++It) {
    TWindow* X = Find(*It);
    if (!X) continue;
    PurgeMessages(*It);
    KillTimersOf(*It);
    ForgetWindowInput(*It);
    ReleaseDCsOf(*It);
    if (S.Focus == *It) S.Focus = nullptr;
    if (S.Capture == *It) S.Capture = nullptr;
    EraseFromParent(*X);
    ReleaseCache(*X);
    if (IsTopLevel(*X)) {
      ReleaseImage(*X);
      if (S.Backend) S.Backend->TopLevelDestroyed(*It);
    }
    S.Table.erase(ToId(*It));
  }
  return true;
}

bool IsWindow(HWND Wnd) {
  TWindow* W = Find(Wnd);
  return W && !W->Destroying;
}

HWND GetParent(HWND Wnd) {
  TWindow* W = Find(Wnd);
  return W ? W->Parent : nullptr;
}

HWND GetTopLevelWindow(HWND Wnd) {
  TWindow* W = Find(Wnd);
  while (W && W->Parent) W = Find(W->Parent);
  return W ? W->Handle : nullptr;
}

HWND SetParent(HWND Wnd, HWND NewParent) {
  TWindow* W = Find(Wnd);
  if (!W || W->Destroying) return nullptr;
  if (NewParent) {
    // A window cannot become a child of itself or of one of its descendants.
    for (TWindow* A = Find(NewParent); A; A = Find(A->Parent))
      if (A->Handle == Wnd) throw EInvalidOperation("SetParent: a window cannot be its own ancestor");
    if (!Find(NewParent) || Find(NewParent)->Destroying) return nullptr;
  }
  HWND Old = W->Parent;
  if (Old == NewParent) return Old;
  auto& S = WS();
  if (W->Style & WS_VISIBLE) InvalidateArea(*W);
  EraseFromParent(*W);
  if (!Old) {
    ReleaseImage(*W);
    S.Backend->TopLevelDestroyed(Wnd);
  }
  W->Parent = NewParent;
  if (NewParent) {
    W->Style |= WS_CHILD;
    Find(NewParent)->Children.push_back(Wnd);
  } else {
    W->Style &= ~WS_CHILD;
    S.TopLevels.push_back(Wnd);
    S.Backend->TopLevelCreated(Wnd, W->Bounds);
    EnsureImage(*W);
    if (W->Style & WS_VISIBLE) S.Backend->TopLevelShown(Wnd, true);
  }
  if (W->Style & WS_VISIBLE) InvalidateArea(*W);
  return Old;
}

HWND GetWindow(HWND Wnd, UINT Relation) {
  TWindow* W = Find(Wnd);
  if (!W) return nullptr;
  if (Relation == GW_CHILD) return W->Children.empty() ? nullptr : W->Children.back();
  const std::vector<HWND>& Siblings = W->Parent ? Find(W->Parent)->Children : WS().TopLevels;
  auto It = std::find(Siblings.begin(), Siblings.end(), Wnd);
  switch (Relation) {
    case GW_HWNDFIRST:
      return Siblings.back();
    case GW_HWNDLAST:
      return Siblings.front();
    case GW_HWNDNEXT:
      return It == Siblings.begin() ? nullptr : *(It - 1);
    case GW_HWNDPREV:
      return It + 1 == Siblings.end() ? nullptr : *(It + 1);
  }
  return nullptr;
}

LONG_PTR GetWindowLong(HWND Wnd, int Index) {
  TWindow* W = Find(Wnd);
  if (!W) return 0;
  switch (Index) {
    case GWL_WNDPROC:
      return reinterpret_cast<LONG_PTR>(W->Proc);
    case GWL_STYLE:
      return LONG_PTR(W->Style);
    case GWL_EXSTYLE:
      return LONG_PTR(W->ExStyle);
    case GCL_STYLE:
      return LONG_PTR(W->ClassStyle);
  }
  return 0;
}

LONG_PTR SetWindowLong(HWND Wnd, int Index, LONG_PTR Value) {
  TWindow* W = Find(Wnd);
  if (!W || W->Destroying) return 0;
  LONG_PTR Old = GetWindowLong(Wnd, Index);
  switch (Index) {
    case GWL_WNDPROC: {
      auto P = reinterpret_cast<WNDPROC>(Value);
      if (!IsWindowProc(P)) throw EInvalidPointer("SetWindowLong: not a window procedure");
      W->Proc = P;
      break;
    }
    case GWL_STYLE: {
      DWORD NewStyle = DWORD(Value);
      NewStyle = W->Parent ? (NewStyle | WS_CHILD) : (NewStyle & ~WS_CHILD);
      bool WasVisible = W->Style & WS_VISIBLE;
      W->Style = (NewStyle & ~WS_VISIBLE) | (WasVisible ? WS_VISIBLE : 0);
      if (WasVisible != bool(NewStyle & WS_VISIBLE)) ShowWindow(Wnd, (NewStyle & WS_VISIBLE) ? SW_SHOW : SW_HIDE);
      break;
    }
    case GWL_EXSTYLE:
      W->ExStyle = DWORD(Value);
      InvalidateArea(*W);
      break;
    case GCL_STYLE:
      W->ClassStyle = UINT(Value);
      break;
    default:
      return 0;
  }
  return Old;
}

bool SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags) {
  TWindow* W = Find(Wnd);
  if (!W || W->Destroying) return false;
  auto& S = WS();
  TRect Old = W->Bounds;
  TRect New = Old;
  if (!(Flags & SWP_NOMOVE)) New = Bounds(X, Y, Old.Width(), Old.Height());
  if (!(Flags & SWP_NOSIZE)) New.Right = New.Left + std::max(Width, 0), New.Bottom = New.Top + std::max(Height, 0);
  bool Moved = New.Left != Old.Left || New.Top != Old.Top;
  bool Sized = New.Width() != Old.Width() || New.Height() != Old.Height();
  bool Redraw = !(Flags & SWP_NOREDRAW) && (W->Style & WS_VISIBLE);
  bool ZChanged = false;
  if (!(Flags & SWP_NOZORDER)) {
    std::vector<HWND>& Siblings = W->Parent ? Find(W->Parent)->Children : S.TopLevels;
    std::vector<HWND> Before = Siblings;
    std::erase(Siblings, Wnd);
    if (InsertAfter == HWND_TOP) {
      Siblings.push_back(Wnd);
    } else if (InsertAfter == HWND_BOTTOM) {
      Siblings.insert(Siblings.begin(), Wnd);
    } else {
      auto It = std::find(Siblings.begin(), Siblings.end(), InsertAfter);
      Siblings.insert(It == Siblings.end() ? Siblings.end() : It, Wnd);  // just below InsertAfter
    }
    ZChanged = Before != Siblings;
  }
  if (Redraw && (Moved || Sized || ZChanged)) InvalidateArea(*W);
  W->Bounds = New;
  if (!W->Parent && (Moved || Sized)) {
    if (Sized) EnsureImage(*W);
    S.Backend->TopLevelMoved(Wnd, New);
  }
  if (Redraw && (Moved || Sized || ZChanged)) InvalidateArea(*W);
  if (Flags & SWP_SHOWWINDOW) ShowWindow(Wnd, SW_SHOW);
  if (Flags & SWP_HIDEWINDOW) ShowWindow(Wnd, SW_HIDE);
  if (Moved || Sized || ZChanged) {
    UINT Changed = (Moved ? 0 : SWP_NOMOVE) | (Sized ? 0 : SWP_NOSIZE) | (ZChanged ? 0 : SWP_NOZORDER);
    WINDOWPOS Pos{Wnd, InsertAfter, New.Left, New.Top, New.Width(), New.Height(), (Flags & ~0x7u) | Changed};
    SendMessage(Wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&Pos));
  }
  if (Moved || Sized) {
    if (Moved && IsWindow(Wnd)) SendMessage(Wnd, WM_MOVE, 0, MAKELPARAM(New.Left, New.Top));
    if (Sized && IsWindow(Wnd)) SendMessage(Wnd, WM_SIZE, 0, MAKELPARAM(New.Width(), New.Height()));
  }
  return true;
}

bool MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, bool Repaint) {
  return SetWindowPos(Wnd, nullptr, X, Y, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0 : SWP_NOREDRAW));
}

bool BringWindowToTop(HWND Wnd) { return SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

bool ShowWindow(HWND Wnd, int Cmd) {
  TWindow* W = Find(Wnd);
  if (!W || W->Destroying) return false;
  bool WasVisible = W->Style & WS_VISIBLE;
  bool Show = Cmd != SW_HIDE;
  if (WasVisible == Show) return WasVisible;
  if (WasVisible) InvalidateArea(*W);
  if (Show)
    W->Style |= WS_VISIBLE;
  else
    W->Style &= ~WS_VISIBLE;
  if (!Show) {
    // A hidden window keeps neither the focus nor the capture.
    auto& S = WS();
    for (HWND H = S.Focus; H; H = GetParent(H))
      if (H == Wnd) {
        SetFocus(nullptr);
        break;
      }
    for (HWND H = S.Capture; H; H = GetParent(H))
      if (H == Wnd) {
        ReleaseCapture();
        break;
      }
  }
  W = Find(Wnd);
  if (!W) return WasVisible;
  if (!W->Parent) WS().Backend->TopLevelShown(Wnd, Show);
  if (Show) InvalidateArea(*W);
  SendMessage(Wnd, WM_SHOWWINDOW, Show ? 1 : 0);
  return WasVisible;
}

bool IsWindowVisible(HWND Wnd) {
  TWindow* W = Find(Wnd);
  if (!W) return false;
  for (; W; W = Find(W->Parent))
    if (!(W->Style & WS_VISIBLE)) return false;
  return true;
}

bool EnableWindow(HWND Wnd, bool Enable) {
  TWindow* W = Find(Wnd);
  if (!W || W->Destroying) return false;
  bool WasDisabled = W->Style & WS_DISABLED;
  if (WasDisabled == !Enable) return WasDisabled;
  if (Enable)
    W->Style &= ~WS_DISABLED;
  else
    W->Style |= WS_DISABLED;
  if (!Enable) {
    auto& S = WS();
    if (S.Focus == Wnd) SetFocus(nullptr);
    if (S.Capture == Wnd) ReleaseCapture();
  }
  SendMessage(Wnd, WM_ENABLE, Enable ? 1 : 0);
  return WasDisabled;
}

bool IsWindowEnabled(HWND Wnd) {
  TWindow* W = Find(Wnd);
  return W && !(W->Style & WS_DISABLED);
}

bool SetWindowText(HWND Wnd, std::string_view Text) {
  TWindow* W = Find(Wnd);
  if (!W) return false;
  W->Text = std::string(Text);
  if (!W->Parent) WS().Backend->TopLevelTitle(Wnd, Text);
  return true;
}

std::string GetWindowText(HWND Wnd) {
  TWindow* W = Find(Wnd);
  return W ? W->Text : std::string();
}

bool GetWindowRect(HWND Wnd, TRect& R) {
  TWindow* W = Find(Wnd);
  if (!W) return false;
  TPoint O = ClientOrigin(*W);
  R = Bounds(O.X, O.Y, W->Bounds.Width(), W->Bounds.Height());
  return true;
}

bool GetClientRect(HWND Wnd, TRect& R) {
  TWindow* W = Find(Wnd);
  if (!W) return false;
  R = Rect(0, 0, W->Bounds.Width(), W->Bounds.Height());
  return true;
}

bool ClientToScreen(HWND Wnd, TPoint& P) {
  TWindow* W = Find(Wnd);
  if (!W) return false;
  TPoint O = ClientOrigin(*W);
  P.X += O.X;
  P.Y += O.Y;
  return true;
}

bool ScreenToClient(HWND Wnd, TPoint& P) {
  TWindow* W = Find(Wnd);
  if (!W) return false;
  TPoint O = ClientOrigin(*W);
  P.X -= O.X;
  P.Y -= O.Y;
  return true;
}

namespace {

HWND ChildFromPoint(const TWindow& W, const TPoint& Screen) {
  for (auto It = W.Children.rbegin(); It != W.Children.rend(); ++It) {
    TWindow* C = Find(*It);
    if (!C || !(C->Style & WS_VISIBLE) || (C->Style & WS_DISABLED)) continue;
    TRect R;
    GetWindowRect(C->Handle, R);
    if (!PtInRect(R, Screen)) continue;
    HWND Deeper = ChildFromPoint(*C, Screen);
    return Deeper ? Deeper : C->Handle;
  }
  return nullptr;
}

}  // namespace

bool IsChild(HWND Parent, HWND Wnd) {
  if (!Parent) return false;
  for (HWND H = GetParent(Wnd); H; H = GetParent(H))
    if (H == Parent) return true;
  return false;
}

HWND WindowFromPoint(const TPoint& ScreenPos) {
  auto& Tops = WS().TopLevels;
  for (auto It = Tops.rbegin(); It != Tops.rend(); ++It) {
    TWindow* T = Find(*It);
    if (!T || !(T->Style & WS_VISIBLE) || (T->Style & WS_DISABLED)) continue;
    if (!PtInRect(T->Bounds, ScreenPos)) continue;
    HWND C = ChildFromPoint(*T, ScreenPos);
    return C ? C : T->Handle;
  }
  return nullptr;
}

// ---------------------------------------------------------------------- backend

void SetBackend(std::unique_ptr<TBackend> NewBackend) {
  auto& S = WS();
  if (!S.Table.empty()) throw EInvalidOperation("SetBackend: windows exist");
  S.Backend = std::move(NewBackend);
}

TBackend& Backend() {
  auto& S = WS();
  if (!S.Backend) S.Backend = CreateDefaultBackend();
  return *S.Backend;
}

TBackend* CurrentBackend() { return WS().Backend.get(); }

void ResetWindowSystem() {
  auto& S = WS();
  for (HWND Top : std::vector<HWND>(S.TopLevels)) DestroyWindow(Top);
  // Windows created by handlers while the others were destroyed go as well.
  for (int Round = 0; Round < 8 && !S.Table.empty(); ++Round)
    for (HWND Top : std::vector<HWND>(S.TopLevels)) DestroyWindow(Top);
  ResetQueue();
  S.Capture = nullptr;
  S.Focus = nullptr;
  std::fill(std::begin(S.KeyState), std::end(S.KeyState), 0);
  S.CursorPos = {};
  S.Cursor = crDefault;
  S.LastClick = {};
  S.IdleHandler = nullptr;
  ResetClipboard();
}

}  // namespace platform
