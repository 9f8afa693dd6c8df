// Registered messages, posting, the queue and its retrieval order, the
// message loops and the timers.
#include <algorithm>
#include <limits>
#include <map>

#include "platform/rtl/sysutils.h"
#include "platform/win/window_system_p.h"

namespace platform {

using namespace detail;

// --------------------------------------------------------- registered numbers

namespace {

struct TAtomTable {
  std::map<std::string, UINT> ByKey;  // key: the name in upper case
  std::vector<std::string> Names;     // index: number - RegisteredMessageFirst
};

TAtomTable& Atoms() {
  static TAtomTable Table;
  return Table;
}

}  // namespace

UINT RegisterWindowMessage(std::string_view Name) {
  if (Name.empty()) return 0;
  auto& T = Atoms();
  std::string Key = UpperCase(Name);
  if (auto It = T.ByKey.find(Key); It != T.ByKey.end()) return It->second;
  if (RegisteredMessageFirst + T.Names.size() > RegisteredMessageLast)
    throw EOutOfResources("RegisterWindowMessage: no message numbers left");
  UINT Number = UINT(RegisteredMessageFirst + T.Names.size());
  T.ByKey.emplace(std::move(Key), Number);
  T.Names.emplace_back(Name);
  return Number;
}

UINT RegisterClipboardFormat(std::string_view Name) { return RegisterWindowMessage(Name); }

std::string GetClipboardFormatName(UINT Format) {
  auto& T = Atoms();
  if (Format < RegisteredMessageFirst || Format - RegisteredMessageFirst >= T.Names.size()) return {};
  return T.Names[Format - RegisteredMessageFirst];
}

// -------------------------------------------------------------------- posting

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!IsWindow(Wnd)) return false;
  auto& S = WS();
  S.Posted.push_back(MSG{Wnd, Msg, WParam, LParam, GetTickCount(), S.CursorPos});
  return true;
}

void PostQuitMessage(int ExitCode) {
  WS().QuitPosted = true;
  WS().QuitCode = ExitCode;
}

void PostInputEvent(const TInputEvent& Event) {
  TInputEvent E = Event;
  if (E.Time == 0) E.Time = GetTickCount();
  WS().RawInput.push_back(E);
}

void InjectMouseMove(HWND Top, TPoint Pos, DWORD Time) {
  TInputEvent E;
  E.Kind = TInputKind::MouseMove;
  E.Window = Top;
  E.Pos = Pos;
  E.Time = Time;
  PostInputEvent(E);
}

void InjectMouseButton(HWND Top, TInputButton Button, bool Down, TPoint Pos, DWORD Time) {
  TInputEvent E;
  E.Kind = Down ? TInputKind::ButtonDown : TInputKind::ButtonUp;
  E.Window = Top;
  E.Pos = Pos;
  E.Button = Button;
  E.Time = Time;
  PostInputEvent(E);
}

void InjectKey(UINT Key, bool Down, char32_t Char) {
  TInputEvent E;
  E.Kind = Down ? TInputKind::KeyDown : TInputKind::KeyUp;
  E.Key = Key;
  E.Char = Down ? Char : 0;
  PostInputEvent(E);
}

namespace detail {

void PurgeMessages(HWND Wnd) {
  auto& S = WS();
  std::erase_if(S.Posted, [Wnd](const MSG& M) { return M.hwnd == Wnd; });
  std::erase_if(S.Ready, [Wnd](const MSG& M) { return M.hwnd == Wnd; });
}

void ResetQueue() {
  auto& S = WS();
  S.Posted.clear();
  S.Ready.clear();
  S.RawInput.clear();
  S.QuitPosted = false;
  S.QuitCode = 0;
  S.Timers.clear();
}

// ------------------------------------------------------------------------ timers

void KillTimersOf(HWND Wnd) {
  std::erase_if(WS().Timers, [Wnd](const TTimer& T) { return T.Wnd == Wnd; });
}

DWORD NextTimerDelay() {
  DWORD Now = GetTickCount();
  DWORD Best = std::numeric_limits<DWORD>::max();
  for (const TTimer& T : WS().Timers) {
    auto Left = std::int32_t(T.Due - Now);
    Best = std::min(Best, Left <= 0 ? DWORD(0) : DWORD(Left));
  }
  return Best;
}

bool TakeDueTimer(MSG& Msg) {
  DWORD Now = GetTickCount();
  TTimer* Due = nullptr;
  for (TTimer& T : WS().Timers)
    if (std::int32_t(T.Due - Now) <= 0 && (!Due || std::int32_t(T.Due - Due->Due) < 0)) Due = &T;
  if (!Due) return false;
  Due->Due = Now + std::max<UINT>(Due->Elapse, 1);
  Msg = MSG{Due->Wnd, WM_TIMER, Due->Id, 0, Now, WS().CursorPos};
  return true;
}

}  // namespace detail

UINT_PTR SetTimer(HWND Wnd, UINT_PTR Id, UINT Elapse) {
  if (!IsWindow(Wnd)) return 0;
  auto& Timers = WS().Timers;
  DWORD Due = GetTickCount() + std::max<UINT>(Elapse, 1);
  for (TTimer& T : Timers)
    if (T.Wnd == Wnd && T.Id == Id) {
      T.Elapse = Elapse;
      T.Due = Due;
      return Id;
    }
  Timers.push_back(TTimer{Wnd, Id, Elapse, Due});
  return Id;
}

bool KillTimer(HWND Wnd, UINT_PTR Id) {
  return std::erase_if(WS().Timers, [&](const TTimer& T) { return T.Wnd == Wnd && T.Id == Id; }) > 0;
}

DWORD GetTickCount() { return Backend().TickCount(); }

UINT GetDoubleClickTime() { return 500; }

// ------------------------------------------------------------------- retrieval

bool PeekMessage(MSG& Msg, UINT RemoveMsg) {
  auto& S = WS();
  bool Remove = RemoveMsg & PM_REMOVE;
  Backend().PollEvents();
  bool Painted = false;
  for (;;) {
    if (!S.Posted.empty()) {
      Msg = S.Posted.front();
      if (Remove) S.Posted.pop_front();
      return true;
    }
    if (!S.Ready.empty()) {
      Msg = S.Ready.front();
      if (Remove) S.Ready.pop_front();
      return true;
    }
    if (!S.RawInput.empty()) {
      TInputEvent E = S.RawInput.front();
      S.RawInput.pop_front();
      RouteRawInput(E);
      continue;
    }
    if (S.QuitPosted) {
      Msg = MSG{nullptr, WM_QUIT, WPARAM(S.QuitCode), 0, GetTickCount(), S.CursorPos};
      if (Remove) S.QuitPosted = false;
      return true;
    }
    // Painting happens here, once per call, so a window that invalidates
    // itself while painting cannot keep the caller in this loop.
    if (!Painted && AnyTopLevelNeedsPaint()) {
      Painted = true;
      PaintAllTopLevels();
      continue;
    }
    if (Remove && TakeDueTimer(Msg)) return true;
    if (!Remove && NextTimerDelay() == 0) {
      // Report the timer without consuming it.
      for (const TTimer& T : S.Timers)
        if (std::int32_t(T.Due - GetTickCount()) <= 0) {
          Msg = MSG{T.Wnd, WM_TIMER, T.Id, 0, GetTickCount(), S.CursorPos};
          return true;
        }
    }
    return false;
  }
}

bool WaitMessage() {
  auto& S = WS();
  if (!S.Posted.empty() || !S.Ready.empty() || !S.RawInput.empty() || S.QuitPosted || AnyTopLevelNeedsPaint())
    return true;
  DWORD Delay = NextTimerDelay();
  if (Delay == 0) return true;
  int Timeout = Delay == std::numeric_limits<DWORD>::max() ? -1 : int(std::min<DWORD>(Delay, 1 << 30));
  if (Backend().WaitEvents(Timeout)) return true;
  if (S.IdleHandler) {
    std::function<bool()> Handler = S.IdleHandler;
    return Handler();
  }
  return false;
}

bool GetMessage(MSG& Msg) {
  for (;;) {
    if (PeekMessage(Msg, PM_REMOVE)) return Msg.message != WM_QUIT;
    if (!WaitMessage()) {
      Msg = MSG{};
      return false;
    }
  }
}

LRESULT DispatchMessage(const MSG& Msg) {
  if (!Msg.hwnd) return 0;
  return SendMessage(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
}

void ProcessMessages() {
  MSG Msg;
  while (PeekMessage(Msg, PM_REMOVE)) {
    if (Msg.message == WM_QUIT) {
      // Leave it for the outer loop.
      PostQuitMessage(int(Msg.wParam));
      return;
    }
    DispatchMessage(Msg);
  }
}

void SetIdleHandler(std::function<bool()> Handler) { WS().IdleHandler = std::move(Handler); }

}  // namespace platform
