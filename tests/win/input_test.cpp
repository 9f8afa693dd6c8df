// Input routing: hit testing, transparency, capture, double clicks, focus
// and keys, cursor and context-menu messages, and the move-and-size loop.
#include "win/win_fixture.h"

namespace wintest {
namespace {

/// A top-level window at (100, 100) with two overlapping children; Upper lies above Lower.
struct TScene {
  TTestWindow Top{nullptr, Bounds(100, 100, 300, 200)};
  TTestWindow Lower{Top, Bounds(20, 20, 100, 100)};
  TTestWindow LowerChild{Lower, Bounds(10, 10, 30, 30)};
  TTestWindow Upper{Top, Bounds(25, 25, 100, 100)};
};

TEST_F(WinTest, ClickGoesToTheTopmostWindowInItsClientCoordinates) {
  TScene S;
  S.Upper.RecordNoise = true;
  Click(S.Top, TPoint{60, 70});
  ProcessMessages();
  ASSERT_FALSE(S.Upper.Of(WM_NCHITTEST).empty());
  EXPECT_EQ(LParamToPoint(S.Upper.Of(WM_NCHITTEST)[0].LParam), (TPoint{160, 170})) << "screen coordinates";
  ASSERT_EQ(S.Upper.Of(WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(LParamToPoint(S.Upper.Of(WM_LBUTTONDOWN)[0].LParam), (TPoint{35, 45}));
  EXPECT_EQ(S.Upper.Of(WM_LBUTTONDOWN)[0].WParam, MK_LBUTTON);
  EXPECT_EQ(S.Upper.Of(WM_LBUTTONUP)[0].WParam, 0u);
  EXPECT_TRUE(S.Lower.Of(WM_LBUTTONDOWN).empty());
}

TEST_F(WinTest, WindowsThatLetTheMouseThroughPassItBelow) {
  enum class TPass { Transparent, Hidden, Disabled };
  for (TPass Pass : {TPass::Transparent, TPass::Hidden, TPass::Disabled}) {
    SCOPED_TRACE(int(Pass));
    TScene S;
    std::vector<TPoint> HitPoints;
    S.Upper.Handler = [&](TMessage& M) {
      if (M.Msg != WM_NCHITTEST) return false;
      HitPoints.push_back(LParamToPoint(M.LParam));
      M.Result = HTTRANSPARENT;
      return Pass == TPass::Transparent;
    };
    if (Pass == TPass::Hidden) ShowWindow(S.Upper, SW_HIDE);
    if (Pass == TPass::Disabled) EnableWindow(S.Upper, false);

    // Over the lower window's child: the point descends into it.
    Click(S.Top, TPoint{35, 35});
    // Over the lower window only.
    Click(S.Top, TPoint{80, 80});
    // Over the upper window only: nothing below but the top-level window.
    Click(S.Top, TPoint{122, 122});
    ProcessMessages();
    ASSERT_EQ(S.LowerChild.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(LParamToPoint(S.LowerChild.Of(WM_LBUTTONDOWN)[0].LParam), (TPoint{5, 5}));
    ASSERT_EQ(S.Lower.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(LParamToPoint(S.Lower.Of(WM_LBUTTONDOWN)[0].LParam), (TPoint{60, 60}));
    ASSERT_EQ(S.Top.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(LParamToPoint(S.Top.Of(WM_LBUTTONDOWN)[0].LParam), (TPoint{122, 122}));
    EXPECT_TRUE(S.Upper.Of(WM_LBUTTONDOWN).empty());
    if (Pass == TPass::Transparent) {
      ASSERT_FALSE(HitPoints.empty());
      EXPECT_EQ(HitPoints[0], (TPoint{135, 135})) << "WM_NCHITTEST carries screen coordinates";
    } else {
      EXPECT_TRUE(HitPoints.empty()) << "hidden and disabled windows are not asked";
    }
  }
}

TEST_F(WinTest, NonClientAnswersBecomeNonClientMessages) {
  TScene S;
  S.Upper.Handler = [](TMessage& M) {
    if (M.Msg != WM_NCHITTEST) return false;
    M.Result = HTCAPTION;
    return true;
  };
  InjectMouseMove(S.Top, TPoint{60, 60});
  ProcessMessages();
  ASSERT_EQ(S.Upper.Of(WM_NCMOUSEMOVE).size(), 1u);
  EXPECT_EQ(S.Upper.Of(WM_NCMOUSEMOVE)[0].WParam, WPARAM(HTCAPTION));
  EXPECT_EQ(LParamToPoint(S.Upper.Of(WM_NCMOUSEMOVE)[0].LParam), (TPoint{160, 160}));
}

TEST_F(WinTest, CaptureHoldsADragOutsideTheWindow) {
  TScene S;
  S.Upper.Handler = [&](TMessage& M) {
    if (M.Msg == WM_LBUTTONDOWN) SetCapture(S.Upper);
    if (M.Msg == WM_LBUTTONUP) ReleaseCapture();
    return false;
  };
  InjectMouseButton(S.Top, TInputButton::Left, true, TPoint{30, 30});
  InjectMouseMove(S.Top, TPoint{5, 8});      // outside, over the top-level window
  InjectMouseMove(S.Top, TPoint{290, 190});  // far right, below
  InjectMouseButton(S.Top, TInputButton::Left, false, TPoint{2, 3});
  InjectMouseMove(S.Top, TPoint{5, 8});  // after release: routed normally again
  ProcessMessages();
  std::vector<TPoint> Moves;
  for (const TMessage& M : S.Upper.Of(WM_MOUSEMOVE)) {
    Moves.push_back(LParamToPoint(M.LParam));
    EXPECT_EQ(M.WParam & MK_LBUTTON, MK_LBUTTON);
  }
  EXPECT_EQ(Moves, (std::vector<TPoint>{{-20, -17}, {265, 165}}));
  ASSERT_EQ(S.Upper.Of(WM_LBUTTONUP).size(), 1u);
  EXPECT_EQ(LParamToPoint(S.Upper.Of(WM_LBUTTONUP)[0].LParam), (TPoint{-23, -22}));
  EXPECT_EQ(S.Upper.Of(WM_CAPTURECHANGED).size(), 1u);
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_EQ(S.Top.Of(WM_MOUSEMOVE).size(), 1u);
  EXPECT_TRUE(S.Top.Of(WM_LBUTTONUP).empty());
}

TEST_F(WinTest, CaptureMovesBetweenWindowsWithNotice) {
  TScene S;
  EXPECT_EQ(SetCapture(S.Lower), nullptr);
  EXPECT_EQ(SetCapture(S.Upper), S.Lower.Handle);
  ASSERT_EQ(S.Lower.Of(WM_CAPTURECHANGED).size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(S.Lower.Of(WM_CAPTURECHANGED)[0].LParam), S.Upper.Handle);
  DestroyWindow(S.Upper);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinTest, DoubleClicksOnlyForWindowsThatAskForThem) {
  struct TCase {
    const char* Name;
    UINT ClassStyle;
    DWORD Gap;
    int Dx;
    TInputButton Button;
    std::vector<UINT> Expected;
  };
  const std::vector<TCase> Cases{
      {"dblclks, quick", CS_DBLCLKS, 300, 0, TInputButton::Left, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}},
      {"dblclks, right", CS_DBLCLKS, 300, 1, TInputButton::Right, {WM_RBUTTONDOWN, WM_RBUTTONDBLCLK}},
      {"no class style", 0, 300, 0, TInputButton::Left, {WM_LBUTTONDOWN, WM_LBUTTONDOWN}},
      {"too slow", CS_DBLCLKS, 501, 0, TInputButton::Left, {WM_LBUTTONDOWN, WM_LBUTTONDOWN}},
      {"too far", CS_DBLCLKS, 100, 5, TInputButton::Left, {WM_LBUTTONDOWN, WM_LBUTTONDOWN}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTestWindow Top(nullptr, Bounds(0, 0, 200, 200));
    TTestWindow W(Top, Bounds(10, 10, 100, 100), WS_VISIBLE, 0, C.ClassStyle);
    Click(Top, TPoint{50, 50}, C.Button, 1000);
    Click(Top, TPoint{50 + C.Dx, 50}, C.Button, 1000 + C.Gap);
    ProcessMessages();
    std::vector<UINT> Downs;
    for (const TMessage& M : W.Received)
      if (M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK || M.Msg == WM_RBUTTONDOWN || M.Msg == WM_RBUTTONDBLCLK)
        Downs.push_back(M.Msg);
    EXPECT_EQ(Downs, C.Expected);
  }
}

TEST_F(WinTest, ThirdClickAfterADoubleClickIsASingleClick) {
  TTestWindow Top(nullptr, Bounds(0, 0, 200, 200), WS_VISIBLE, 0, CS_DBLCLKS);
  for (DWORD T : {1000u, 1100u, 1200u}) Click(Top, TPoint{5, 5}, TInputButton::Left, T);
  ProcessMessages();
  EXPECT_EQ(Sequence({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
}

TEST_F(WinTest, FocusAndKeysReachTheFocusedWindow) {
  TScene S;
  EXPECT_EQ(SetFocus(S.Lower), nullptr);
  EXPECT_EQ(GetFocus(), S.Lower.Handle);
  Deliveries().clear();
  EXPECT_EQ(SetFocus(S.Upper), S.Lower.Handle);
  std::vector<TDelivery> Expected{{S.Lower, WM_KILLFOCUS, WPARAM(S.Upper.Handle), 0},
                                  {S.Upper, WM_SETFOCUS, WPARAM(S.Lower.Handle), 0}};
  EXPECT_EQ(Deliveries(), Expected);

  Deliveries().clear();
  InjectKey(VK_SHIFT, true);
  InjectKey('A', true, U'A');
  InjectKey('A', false);
  InjectKey(VK_SHIFT, false);
  InjectKey(VK_DELETE, true);
  InjectKey(VK_DELETE, false);
  ProcessMessages();
  std::vector<std::pair<UINT, WPARAM>> Keys;
  for (const TMessage& M : S.Upper.Received) Keys.emplace_back(M.Msg, M.WParam);
  std::vector<std::pair<UINT, WPARAM>> ExpectedKeys{{WM_SETFOCUS, WPARAM(S.Lower.Handle)},
                                                    {WM_KEYDOWN, VK_SHIFT},
                                                    {WM_KEYDOWN, 'A'},
                                                    {WM_CHAR, 'A'},
                                                    {WM_KEYUP, 'A'},
                                                    {WM_KEYUP, VK_SHIFT},
                                                    {WM_KEYDOWN, VK_DELETE},
                                                    {WM_KEYUP, VK_DELETE}};
  EXPECT_EQ(Keys, ExpectedKeys);
  EXPECT_TRUE(S.Lower.Of(WM_KEYDOWN).empty());
}

TEST_F(WinTest, KeyStateFollowsTheInputPath) {
  TScene S;
  std::vector<bool> ShiftSeen;
  S.Upper.Handler = [&](TMessage& M) {
    if (M.Msg == WM_LBUTTONDOWN) ShiftSeen.push_back(GetKeyState(VK_SHIFT) < 0);
    return false;
  };
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  InjectKey(VK_SHIFT, true);
  InjectKey(VK_CONTROL, true);
  InjectMouseButton(S.Top, TInputButton::Left, true, TPoint{60, 60});
  InjectKey(VK_SHIFT, false);
  InjectKey(VK_CONTROL, false);
  InjectMouseButton(S.Top, TInputButton::Left, false, TPoint{60, 60});
  InjectMouseButton(S.Top, TInputButton::Left, true, TPoint{60, 60}, GetTickCount() + 1000);
  ProcessMessages();
  ASSERT_EQ(S.Upper.Of(WM_LBUTTONDOWN).size(), 2u);
  EXPECT_EQ(S.Upper.Of(WM_LBUTTONDOWN)[0].WParam, MK_LBUTTON | MK_SHIFT | MK_CONTROL);
  EXPECT_EQ(S.Upper.Of(WM_LBUTTONDOWN)[1].WParam, MK_LBUTTON);
  EXPECT_EQ(ShiftSeen, (std::vector<bool>{true, false})) << "the state as of each message";
  EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 1, 1) << "the low bit toggles on each press";
}

TEST_F(WinTest, FocusIsRefusedByWindowsThatCannotTakeIt) {
  TScene S;
  SetFocus(S.Lower);
  ShowWindow(S.Upper, SW_HIDE);
  EXPECT_EQ(SetFocus(S.Upper), nullptr);
  EnableWindow(S.Top, false);
  EXPECT_EQ(SetFocus(S.LowerChild), nullptr) << "a disabled ancestor refuses too";
  EXPECT_EQ(GetFocus(), S.Lower.Handle);
  EnableWindow(S.Top, true);
  DestroyWindow(S.Lower);
  EXPECT_EQ(GetFocus(), nullptr);
  InjectKey('X', true);
  ProcessMessages();
  EXPECT_TRUE(S.Top.Of(WM_KEYDOWN).empty()) << "no focus, no key message";
}

TEST_F(WinTest, SetCursorGoesToTheWindowUnderTheMouseThenItsParent) {
  TScene S;
  InjectMouseMove(S.Top, TPoint{60, 60});
  ProcessMessages();
  S.Upper.RecordNoise = S.Top.RecordNoise = true;
  InjectMouseMove(S.Top, TPoint{61, 60});
  ProcessMessages();
  ASSERT_EQ(S.Upper.Of(WM_SETCURSOR).size(), 1u);
  const TMessage M = S.Upper.Of(WM_SETCURSOR)[0];
  EXPECT_EQ(reinterpret_cast<HWND>(M.WParam), S.Upper.Handle);
  EXPECT_EQ(LOWORD(M.LParam), HTCLIENT);
  EXPECT_EQ(HIWORD(M.LParam), WM_MOUSEMOVE);
  EXPECT_EQ(S.Top.Of(WM_SETCURSOR).size(), 1u) << "the default handling asks the parent";
}

TEST_F(WinTest, RightButtonUpBringsAContextMenuMessage) {
  TScene S;
  Click(S.Top, TPoint{60, 70}, TInputButton::Right);
  ProcessMessages();
  ASSERT_EQ(S.Upper.Of(WM_CONTEXTMENU).size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(S.Upper.Of(WM_CONTEXTMENU)[0].WParam), S.Upper.Handle);
  EXPECT_EQ(LParamToPoint(S.Upper.Of(WM_CONTEXTMENU)[0].LParam), (TPoint{160, 170}));
  EXPECT_EQ(S.Top.Of(WM_CONTEXTMENU).size(), 1u) << "unhandled, it goes on to the parent";
  std::vector<TDelivery> Order;
  for (const TDelivery& D : Deliveries())
    if (D.Msg == WM_RBUTTONUP || D.Msg == WM_CONTEXTMENU) Order.push_back(D);
  ASSERT_EQ(Order.size(), 3u);
  EXPECT_EQ(Order[0].Msg, WM_RBUTTONUP);
  EXPECT_EQ(Order[1].Wnd, S.Upper.Handle);
  EXPECT_EQ(Order[2].Wnd, S.Top.Handle);
}

// ------------------------------------------------------------ move-and-size loop

/// A child window whose procedure answers a fixed hit-test code.
struct TSizeScene {
  TTestWindow Top{nullptr, Bounds(0, 0, 400, 300)};
  TTestWindow W{Top, Bounds(100, 100, 80, 60)};
  LRESULT Code = HTCLIENT;
  std::vector<TRect> BoundsAtSize;
  TSizeScene() {
    W.Handler = [this](TMessage& M) {
      if (M.Msg == WM_NCHITTEST) {
        M.Result = Code;
        return true;
      }
      if (M.Msg == WM_SIZE || M.Msg == WM_MOVE) {
        TRect R;
        GetWindowRect(W, R);
        BoundsAtSize.push_back(R);
      }
      return false;
    };
  }
  TRect Now() const {
    TRect R;
    GetWindowRect(W, R);
    return R;
  }
};

TEST_F(WinTest, MoveSizeLoopResizesFromEachBorderCode) {
  struct TCase {
    LRESULT Code;
    TRect Expected;  // after dragging by (+10, +7)
  };
  const std::vector<TCase> Cases{
      {HTLEFT, Rect(110, 100, 180, 160)},       {HTRIGHT, Rect(100, 100, 190, 160)},
      {HTTOP, Rect(100, 107, 180, 160)},        {HTBOTTOM, Rect(100, 100, 180, 167)},
      {HTTOPLEFT, Rect(110, 107, 180, 160)},    {HTTOPRIGHT, Rect(100, 107, 190, 160)},
      {HTBOTTOMLEFT, Rect(110, 100, 180, 167)}, {HTBOTTOMRIGHT, Rect(100, 100, 190, 167)},
      {HTCAPTION, Rect(110, 107, 190, 167)},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Code);
    Deliveries().clear();
    TSizeScene S;
    S.Code = C.Code;
    TPoint Start{140, 130};
    InjectMouseButton(S.Top, TInputButton::Left, true, Start);
    InjectMouseMove(S.Top, TPoint{Start.X + 4, Start.Y + 3});
    InjectMouseMove(S.Top, TPoint{Start.X + 10, Start.Y + 7});
    InjectMouseButton(S.Top, TInputButton::Left, false, TPoint{Start.X + 10, Start.Y + 7});
    InjectMouseMove(S.Top, TPoint{5, 5});  // after the loop: ordinary input again
    ProcessMessages();
    EXPECT_EQ(S.Now(), C.Expected);

    UINT Step = C.Code == HTCAPTION ? WM_MOVING : WM_SIZING;
    std::vector<UINT> Seq;
    for (const TMessage& M : S.W.Received)
      if (M.Msg == WM_ENTERSIZEMOVE || M.Msg == WM_EXITSIZEMOVE || M.Msg == WM_MOVING || M.Msg == WM_SIZING ||
          M.Msg == WM_NCLBUTTONDOWN || M.Msg == WM_SYSCOMMAND)
        Seq.push_back(M.Msg);
    EXPECT_EQ(
        Seq, (std::vector<UINT>{WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_ENTERSIZEMOVE, Step, Step, Step, WM_EXITSIZEMOVE}));
    ASSERT_FALSE(S.W.Of(WM_SYSCOMMAND).empty());
    if (C.Code == HTCAPTION) {
      EXPECT_EQ(S.W.Of(WM_SYSCOMMAND)[0].WParam, SC_DRAGMOVE);
    }
    // Every WM_MOVE and WM_SIZE arrived between the brackets, with the bounds already set.
    std::vector<UINT> All;
    for (const TMessage& M : S.W.Received) All.push_back(M.Msg);
    auto Enter = std::find(All.begin(), All.end(), WM_ENTERSIZEMOVE);
    auto Exit = std::find(All.begin(), All.end(), WM_EXITSIZEMOVE);
    for (auto It = All.begin(); It != All.end(); ++It)
      if (*It == WM_MOVE || *It == WM_SIZE) {
        EXPECT_TRUE(It > Enter && It < Exit);
      }
    ASSERT_FALSE(S.BoundsAtSize.empty());
    EXPECT_EQ(S.BoundsAtSize.back(), C.Expected);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(S.W.Of(WM_LBUTTONUP).empty()) << "the loop takes the button-up";
    EXPECT_EQ(S.Top.Of(WM_MOUSEMOVE).size(), 1u);
  }
}

TEST_F(WinTest, SizingMessageMayChangeTheRectangle) {
  TSizeScene S;
  S.Code = HTRIGHT;
  auto Inner = S.W.Handler;
  S.W.Handler = [&](TMessage& M) {
    if (M.Msg == WM_SIZING) {
      auto* R = reinterpret_cast<TRect*>(M.LParam);
      EXPECT_EQ(M.WParam, WMSZ_RIGHT);
      R->Right = R->Left + (R->Width() / 10) * 10;  // snap the width to tens
    }
    return Inner(M);
  };
  InjectMouseButton(S.Top, TInputButton::Left, true, TPoint{179, 130});
  InjectMouseMove(S.Top, TPoint{196, 130});
  InjectMouseButton(S.Top, TInputButton::Left, false, TPoint{196, 130});
  ProcessMessages();
  EXPECT_EQ(S.Now(), Rect(100, 100, 190, 160));
}

TEST_F(WinTest, DragMoveCommandRunsTheLoopUnlessSwallowed) {
  TSizeScene S;
  InjectMouseMove(S.Top, TPoint{120, 120});
  ProcessMessages();
  bool Swallow = true;
  auto Inner = S.W.Handler;
  S.W.Handler = [&](TMessage& M) {
    if (M.Msg == WM_SYSCOMMAND && Swallow) return true;
    return Inner(M);
  };
  SendMessage(S.W, WM_SYSCOMMAND, SC_DRAGMOVE);
  EXPECT_TRUE(S.W.Of(WM_ENTERSIZEMOVE).empty());
  Swallow = false;
  // The loop takes its input from the queue; the driver below plays the user.
  int Step = 0;
  SetIdleHandler([&] {
    ++Step;
    if (Step == 1) InjectMouseMove(S.Top, TPoint{130, 125});
    if (Step == 2) InjectMouseButton(S.Top, TInputButton::Left, false, TPoint{135, 125});
    return Step <= 2;
  });
  InjectMouseButton(S.Top, TInputButton::Left, true, TPoint{120, 120});
  ProcessMessages();  // the button-down reaches the window as an ordinary click
  SendMessage(S.W, WM_SYSCOMMAND, SC_DRAGMOVE);
  EXPECT_EQ(S.Now(), Rect(115, 105, 195, 165));
  EXPECT_EQ(S.W.Of(WM_ENTERSIZEMOVE).size(), 1u);
  EXPECT_EQ(S.W.Of(WM_EXITSIZEMOVE).size(), 1u);
  EXPECT_EQ(Step, 2);
}

TEST_F(WinTest, EscapeCancelsTheLoopAndRestoresTheBounds) {
  TSizeScene S;
  S.Code = HTBOTTOMRIGHT;
  InjectMouseButton(S.Top, TInputButton::Left, true, TPoint{179, 159});
  InjectMouseMove(S.Top, TPoint{200, 200});
  InjectKey(VK_ESCAPE, true);
  ProcessMessages();
  EXPECT_EQ(S.Now(), Rect(100, 100, 180, 160));
  EXPECT_EQ(S.W.Of(WM_EXITSIZEMOVE).size(), 1u);
  EXPECT_EQ(S.W.Of(WM_SIZE).size(), 2u) << "out and back";
}

TEST_F(WinTest, LoopWithoutInputEndsInsteadOfWaitingForever) {
  TSizeScene S;
  S.Code = HTLEFT;
  InjectMouseButton(S.Top, TInputButton::Left, true, TPoint{100, 130});
  InjectMouseMove(S.Top, TPoint{90, 130});
  ProcessMessages();
  EXPECT_EQ(S.Now(), Rect(90, 100, 180, 160));
  EXPECT_EQ(S.W.Of(WM_EXITSIZEMOVE).size(), 1u);
}

}  // namespace
}  // namespace wintest
