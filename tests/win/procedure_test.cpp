// Window procedures, hooks, registered numbers, point packing and the life
// of windows.
#include "win/win_fixture.h"

namespace wintest {
namespace {

/// A hook in the style of a control proxy: records, then passes the message
/// on to the procedure it replaced.
struct THook {
  HWND Wnd;
  std::string Name;
  std::vector<std::string>* Trail;
  WNDPROC Old = nullptr;
  WNDPROC New = nullptr;

  THook(HWND W, std::string N, std::vector<std::string>* T) : Wnd(W), Name(std::move(N)), Trail(T) {
    New = MakeObjectInstance([this](TMessage& M) {
      Trail->push_back(Name);
      M.Result = CallWindowProc(Old, Wnd, M.Msg, M.WParam, M.LParam);
      if (M.Msg == WM_USER) M.Result += 1;
    });
    Old = reinterpret_cast<WNDPROC>(SetWindowLong(Wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(New)));
  }
  void Unhook() {
    WNDPROC Replaced = reinterpret_cast<WNDPROC>(SetWindowLong(Wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Old)));
    EXPECT_EQ(Replaced, New) << Name << " must be the procedure in place when it is removed";
  }
  ~THook() { FreeObjectInstance(New); }
};

TEST_F(WinTest, HookChainIsReleasedInReverseOrderRestoringEachProcedure) {
  TTestWindow W(nullptr, Bounds(0, 0, 100, 100));
  W.Handler = [](TMessage& M) {
    if (M.Msg != WM_USER) return false;
    M.Result = 100;
    return true;
  };
  std::vector<std::string> Trail;
  WNDPROC Original = reinterpret_cast<WNDPROC>(GetWindowLong(W, GWL_WNDPROC));
  ASSERT_EQ(Original, W.Proc);
  THook A(W, "A", &Trail);
  THook B(W, "B", &Trail);
  THook C(W, "C", &Trail);
  EXPECT_EQ(A.Old, Original);
  EXPECT_EQ(B.Old, A.New);
  EXPECT_EQ(C.Old, B.New);

  // The last hook sees the message first; each Result travels back up the chain.
  EXPECT_EQ(SendMessage(W, WM_USER), 103);
  EXPECT_EQ(Trail, (std::vector<std::string>{"C", "B", "A"}));
  EXPECT_EQ(W.Of(WM_USER).size(), 1u);

  struct TStep {
    THook* Hook;
    WNDPROC Expected;
    std::vector<std::string> Trail;
    LRESULT Result;
  };
  for (const TStep& S :
       {TStep{&C, B.New, {"B", "A"}, 102}, TStep{&B, A.New, {"A"}, 101}, TStep{&A, Original, {}, 100}}) {
    S.Hook->Unhook();
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLong(W, GWL_WNDPROC)), S.Expected) << S.Hook->Name;
    Trail.clear();
    EXPECT_EQ(SendMessage(W, WM_USER), S.Result);
    EXPECT_EQ(Trail, S.Trail);
  }
}

TEST_F(WinTest, PostedMessagesGoThroughTheHookedProcedure) {
  TTestWindow W(nullptr, Bounds(0, 0, 10, 10), 0);
  std::vector<std::string> Trail;
  THook H(W, "H", &Trail);
  PostMessage(W, WM_USER + 5, 1, 2);
  EXPECT_TRUE(Trail.empty()) << "posted messages wait for the queue";
  ProcessMessages();
  EXPECT_EQ(Trail, std::vector<std::string>{"H"});
  ASSERT_EQ(W.Of(WM_USER + 5).size(), 1u);
  EXPECT_EQ(W.Of(WM_USER + 5)[0].LParam, 2);
  H.Unhook();
}

TEST_F(WinTest, DestroyingAHookedWindowLeavesNothingToCall) {
  std::vector<std::string> Trail;
  auto W = std::make_unique<TTestWindow>(nullptr, Bounds(0, 0, 50, 50));
  HWND Handle = *W;
  auto A = std::make_unique<THook>(Handle, "A", &Trail);
  auto B = std::make_unique<THook>(Handle, "B", &Trail);
  auto C = std::make_unique<THook>(Handle, "C", &Trail);
  PostMessage(Handle, WM_USER + 1);

  ASSERT_TRUE(DestroyWindow(Handle));
  // The hooks saw the window go.
  EXPECT_EQ(std::count(Trail.begin(), Trail.end(), "C"), 2) << "WM_DESTROY and WM_NCDESTROY";
  EXPECT_FALSE(IsWindow(Handle));
  Trail.clear();

  // Nothing reaches the hooks any more: posted before or after, sent, or through the procedure slot.
  EXPECT_FALSE(PostMessage(Handle, WM_USER + 2));
  EXPECT_EQ(SendMessage(Handle, WM_USER), 0);
  ProcessMessages();
  EXPECT_TRUE(Trail.empty());
  EXPECT_EQ(SetWindowLong(Handle, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(A->Old)), 0);
  EXPECT_EQ(GetWindowLong(Handle, GWL_WNDPROC), 0);
  EXPECT_TRUE(W->Of(WM_USER + 1).empty()) << "a message posted before destruction is dropped";

  // The owners free their trampolines later, in any order.
  B.reset();
  A.reset();
  C.reset();
  W.reset();
  EXPECT_TRUE(Trail.empty());
}

TEST_F(WinTest, FreedProcedureStillInstalledFallsBackToTheDefault) {
  TTestWindow W(nullptr, Bounds(0, 0, 50, 50));
  int Calls = 0;
  WNDPROC Hook = MakeObjectInstance([&](TMessage& M) {
    ++Calls;
    M.Result = 7;
  });
  SetWindowLong(W, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Hook));
  EXPECT_EQ(SendMessage(W, WM_USER), 7);
  FreeObjectInstance(Hook);
  EXPECT_FALSE(IsWindowProc(Hook));
  EXPECT_EQ(SendMessage(W, WM_USER), 0);
  TRect R;
  GetWindowRect(W, R);
  EXPECT_EQ(SendMessage(W, WM_NCHITTEST, 0, PointToLParam(R.TopLeft())), HTCLIENT);
  EXPECT_EQ(Calls, 1);
  EXPECT_THROW(SetWindowLong(W, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Hook)), EInvalidPointer);
}

TEST_F(WinTest, ProcedureFreedDuringItsOwnCallFinishesTheCall) {
  TTestWindow W(nullptr, Bounds(0, 0, 50, 50));
  WNDPROC Hook = nullptr;
  std::string Captured = "still alive";
  std::string Seen;
  Hook = MakeObjectInstance([&, Captured](TMessage& M) {
    SetWindowLong(W, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(W.Proc));
    FreeObjectInstance(Hook);
    Seen = Captured;  // the method's own state outlives the free until it returns
    M.Result = 5;
  });
  SetWindowLong(W, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Hook));
  EXPECT_EQ(SendMessage(W, WM_USER), 5);
  EXPECT_EQ(Seen, "still alive");
  EXPECT_FALSE(IsWindowProc(Hook));
}

TEST_F(WinTest, DestroyOrderAndChildren) {
  TTestWindow Top(nullptr, Bounds(0, 0, 100, 100));
  TTestWindow Child(Top, Bounds(10, 10, 20, 20));
  TTestWindow Grandchild(Child, Bounds(1, 1, 5, 5));
  Deliveries().clear();
  DestroyWindow(Top);
  std::vector<TDelivery> Expected{{Top, WM_DESTROY, 0, 0},        {Child, WM_DESTROY, 0, 0},
                                  {Grandchild, WM_DESTROY, 0, 0}, {Grandchild, WM_NCDESTROY, 0, 0},
                                  {Child, WM_NCDESTROY, 0, 0},    {Top, WM_NCDESTROY, 0, 0}};
  EXPECT_EQ(Deliveries(), Expected);
  EXPECT_FALSE(IsWindow(Child));
  EXPECT_FALSE(IsWindow(Grandchild));
  EXPECT_EQ(CreateWindowEx(0, 0, WS_VISIBLE, 0, 0, 1, 1, Child.Handle, DefWindowProcInstance()), nullptr)
      << "a destroyed parent takes no children";
}

TEST_F(WinTest, CreationFailsWithoutParentWindowOrWhenRefused) {
  EXPECT_EQ(
      CreateWindowEx(0, 0, 0, 0, 0, 1, 1, reinterpret_cast<HWND>(std::uintptr_t(0xDEAD)), DefWindowProcInstance()),
      nullptr);
  EXPECT_EQ(CreateWindowEx(0, 0, 0, 0, 0, 1, 1, nullptr, nullptr), nullptr);
  WNDPROC Refuse = MakeObjectInstance([](TMessage& M) { M.Result = M.Msg == WM_CREATE ? -1 : 0; });
  EXPECT_EQ(CreateWindowEx(0, 0, 0, 0, 0, 1, 1, nullptr, Refuse), nullptr);
  FreeObjectInstance(Refuse);
}

TEST_F(WinTest, RegisteredMessagesAreProcessWideAndOutsideOtherRanges) {
  UINT A = RegisterWindowMessage("VEL.Test.One");
  UINT B = RegisterWindowMessage("VEL.Test.Two");
  EXPECT_EQ(RegisterWindowMessage("VEL.Test.One"), A);
  EXPECT_EQ(RegisterWindowMessage("vel.test.ONE"), A) << "names compare without case";
  EXPECT_NE(A, B);
  for (UINT N : {A, B}) {
    EXPECT_GE(N, 0xC000u);
    EXPECT_LE(N, 0xFFFFu);
    EXPECT_FALSE(N >= CM_BASE && N < CM_BASE + 0x1000) << "control messages keep their range";
  }
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
  EXPECT_EQ(RegisterClipboardFormat("VEL.Test.One"), A);
  EXPECT_EQ(GetClipboardFormatName(A), "VEL.Test.One");
  // Registration survives a reset of the window system.
  ResetWindowSystem();
  EXPECT_EQ(RegisterWindowMessage("VEL.Test.Two"), B);
}

TEST(WinPoints, PackingKeepsSignedHalves) {
  struct TCase {
    int X, Y;
  };
  for (TCase C : {TCase{-5, 20}, TCase{0, 0}, TCase{-32768, 32767}, TCase{100, -1}, TCase{-1, -1}}) {
    LPARAM L = MAKELPARAM(C.X, C.Y);
    EXPECT_EQ(GET_X_LPARAM(L), C.X);
    EXPECT_EQ(GET_Y_LPARAM(L), C.Y);
    EXPECT_EQ(LParamToPoint(PointToLParam(TPoint{C.X, C.Y})), (TPoint{C.X, C.Y}));
    EXPECT_EQ(std::uintptr_t(L) >> 32, 0u) << "only the low 32 bits carry the point";
  }
  static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*) && sizeof(LRESULT) == sizeof(void*));
}

TEST_F(WinTest, ParentChildZOrderAndCoordinates) {
  TTestWindow Top(nullptr, Bounds(100, 50, 300, 200));
  TTestWindow A(Top, Bounds(10, 20, 50, 50));
  TTestWindow B(Top, Bounds(30, 30, 50, 50));
  TTestWindow Inner(B, Bounds(5, 6, 10, 10));
  EXPECT_EQ(GetParent(Inner), B.Handle);
  EXPECT_EQ(GetTopLevelWindow(Inner), Top.Handle);
  EXPECT_EQ(GetWindow(Top, GW_CHILD), B.Handle) << "the last created child is on top";
  EXPECT_EQ(GetWindow(B, GW_HWNDNEXT), A.Handle);
  SetWindowPos(B, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(Top, GW_CHILD), A.Handle);
  BringWindowToTop(B);
  EXPECT_EQ(GetWindow(Top, GW_CHILD), B.Handle);

  TPoint P{1, 2};
  ClientToScreen(Inner, P);
  EXPECT_EQ(P, (TPoint{100 + 30 + 5 + 1, 50 + 30 + 6 + 2}));
  ScreenToClient(A, P);
  EXPECT_EQ(P, (TPoint{136 - 110, 88 - 70}));
  TRect R;
  GetWindowRect(Inner, R);
  EXPECT_EQ(R, Bounds(135, 86, 10, 10));
  EXPECT_EQ(WindowFromPoint(TPoint{136, 87}), Inner.Handle);

  EXPECT_EQ(SetParent(Inner, A), B.Handle);
  EXPECT_EQ(GetWindow(A, GW_CHILD), Inner.Handle);
  EXPECT_THROW(SetParent(A, Inner), EInvalidOperation);
}

TEST_F(WinTest, MoveAndSizeMessagesArriveSynchronouslyWithNewBounds) {
  TTestWindow Top(nullptr, Bounds(0, 0, 300, 300));
  TTestWindow W(Top, Bounds(10, 10, 50, 40));
  std::vector<TRect> SeenBounds;
  std::vector<std::string> Trail;
  THook Hook(W, "hook", &Trail);
  W.Handler = [&](TMessage& M) {
    if (M.Msg == WM_MOVE || M.Msg == WM_SIZE) {
      TRect R;
      GetWindowRect(W, R);
      SeenBounds.push_back(R);
    }
    return false;
  };
  Deliveries().clear();
  MoveWindow(W, 20, 15, 50, 40);
  MoveWindow(W, 20, 15, 60, 45);
  MoveWindow(W, 20, 15, 60, 45);  // no change: no message
  SetWindowPos(W, nullptr, -5, 3, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  std::vector<TDelivery> Expected{
      {W, WM_MOVE, 0, MAKELPARAM(20, 15)}, {W, WM_SIZE, 0, MAKELPARAM(60, 45)}, {W, WM_MOVE, 0, MAKELPARAM(-5, 3)}};
  EXPECT_EQ(Deliveries(), Expected);
  EXPECT_EQ(SeenBounds, (std::vector<TRect>{Bounds(20, 15, 50, 40), Bounds(20, 15, 60, 45), Bounds(-5, 3, 60, 45)}));
  EXPECT_EQ(std::count(Trail.begin(), Trail.end(), "hook"), 3 + 3) << "WM_WINDOWPOSCHANGED goes through the hook too";
  Hook.Unhook();
}

}  // namespace
}  // namespace wintest
