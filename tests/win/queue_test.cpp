// The queue: posting order, nested loops, priorities, timers and the idle handler.
#include "win/win_fixture.h"

namespace wintest {
namespace {

constexpr UINT MsgA = WM_USER + 1, MsgB = WM_USER + 2, MsgC = WM_USER + 3, MsgD = WM_USER + 4;

TEST_F(WinTest, PostedOrderSurvivesNestedProcessMessages) {
  TTestWindow W(nullptr, Bounds(0, 0, 10, 10));
  TTestWindow Other(nullptr, Bounds(0, 0, 10, 10));
  W.Handler = [&](TMessage& M) {
    if (M.Msg == MsgA) {
      PostMessage(Other, MsgD);
      ProcessMessages();  // handles B and C (already waiting) and then D, before A returns
    }
    return false;
  };
  PostMessage(W, MsgA);
  PostMessage(Other, MsgB);
  PostMessage(W, MsgC);
  ProcessMessages();
  EXPECT_EQ(Sequence({MsgA, MsgB, MsgC, MsgD}), (std::vector<UINT>{MsgA, MsgB, MsgC, MsgD}));
}

TEST_F(WinTest, PostedBeforeInputAndPaintingLast) {
  TTestWindow Top(nullptr, Bounds(0, 0, 100, 100));
  Top.RecordNoise = true;
  ProcessMessages();
  Deliveries().clear();
  Top.Received.clear();
  InvalidateRect(Top, nullptr);
  InjectMouseButton(Top, TInputButton::Left, true, TPoint{5, 5});
  PostMessage(Top, MsgA);
  ProcessMessages();
  EXPECT_EQ(Sequence({MsgA, WM_LBUTTONDOWN, WM_PAINT}), (std::vector<UINT>{MsgA, WM_LBUTTONDOWN, WM_PAINT}));
}

TEST_F(WinTest, InputHandlerPostingIsServedBeforeTheNextInput) {
  TTestWindow Top(nullptr, Bounds(0, 0, 100, 100));
  Top.Handler = [&](TMessage& M) {
    if (M.Msg == WM_LBUTTONDOWN) PostMessage(Top, MsgA);
    return false;
  };
  Click(Top, TPoint{5, 5});
  ProcessMessages();
  EXPECT_EQ(Sequence({MsgA, WM_LBUTTONDOWN, WM_LBUTTONUP}), (std::vector<UINT>{WM_LBUTTONDOWN, MsgA, WM_LBUTTONUP}));
}

TEST_F(WinTest, PostingToNoWindowGoesNowhere) {
  EXPECT_FALSE(PostMessage(nullptr, MsgA));
  EXPECT_EQ(SendMessage(nullptr, MsgA), 0);
  MSG M;
  EXPECT_FALSE(PeekMessage(M));
}

TEST_F(WinTest, SendMessageReturnsTheResult) {
  TTestWindow W(nullptr, Bounds(0, 0, 10, 10));
  W.Handler = [](TMessage& M) {
    if (M.Msg != MsgA) return false;
    EXPECT_EQ(M.Result, 0) << "Result starts at 0";
    M.Result = LRESULT(M.WParam) * 2 + M.LParam;
    return true;
  };
  EXPECT_EQ(SendMessage(W, MsgA, 20, 2), 42);
  int Object = 0;
  SendMessage(W, MsgB, reinterpret_cast<WPARAM>(&Object), reinterpret_cast<LPARAM>(&Object));
  EXPECT_EQ(reinterpret_cast<int*>(W.Of(MsgB).at(0).LParam), &Object) << "object references travel whole";
}

TEST_F(WinTest, TimersFireFromTheIdleQueueAsTheClockAdvances) {
  TTestWindow W(nullptr, Bounds(0, 0, 10, 10));
  EXPECT_EQ(SetTimer(W, 7, 500), 7u);
  SetTimer(W, 8, 200);
  ProcessMessages();
  EXPECT_TRUE(W.Of(WM_TIMER).empty());
  Clock().AdvanceTime(250);
  ProcessMessages();
  ASSERT_EQ(W.Of(WM_TIMER).size(), 1u);
  EXPECT_EQ(W.Of(WM_TIMER)[0].WParam, 8u);
  Clock().AdvanceTime(300);
  ProcessMessages();
  EXPECT_EQ(W.Of(WM_TIMER).size(), 3u);  // both due once more
  EXPECT_TRUE(KillTimer(W, 8));
  EXPECT_FALSE(KillTimer(W, 8));
  Clock().AdvanceTime(600);
  ProcessMessages();
  ASSERT_EQ(W.Of(WM_TIMER).size(), 4u);
  EXPECT_EQ(W.Of(WM_TIMER)[3].WParam, 7u);
  EXPECT_EQ(SetTimer(nullptr, 1, 10), 0u);
  DestroyWindow(W);
  Clock().AdvanceTime(1000);
  MSG M;
  EXPECT_FALSE(PeekMessage(M)) << "a destroyed window's timers are gone";
}

TEST_F(WinTest, GetMessageWaitsThroughTheIdleHandlerAndStopsWhenItGivesUp) {
  TTestWindow W(nullptr, Bounds(0, 0, 10, 10));
  MSG M;
  EXPECT_FALSE(GetMessage(M)) << "headless without a driver: nothing can arrive";
  int Calls = 0;
  SetIdleHandler([&] {
    ++Calls;
    if (Calls == 1) PostMessage(W, MsgA);
    if (Calls == 2) PostQuitMessage(3);
    return Calls <= 2;
  });
  ASSERT_TRUE(GetMessage(M));
  EXPECT_EQ(M.message, MsgA);
  EXPECT_FALSE(GetMessage(M));
  EXPECT_EQ(M.message, WM_QUIT);
  EXPECT_EQ(M.wParam, 3u);
  EXPECT_EQ(Calls, 2);
}

TEST_F(WinTest, QuitIsLeftForTheOuterLoop) {
  TTestWindow W(nullptr, Bounds(0, 0, 10, 10));
  PostQuitMessage(0);
  PostMessage(W, MsgA);
  ProcessMessages();
  EXPECT_EQ(W.Of(MsgA).size(), 1u);
  MSG M;
  ASSERT_TRUE(PeekMessage(M));
  EXPECT_EQ(M.message, WM_QUIT);
}

}  // namespace
}  // namespace wintest
