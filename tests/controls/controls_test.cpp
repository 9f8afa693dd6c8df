// The control framework through real input: messages go through the window
// system's routing and the controls' window procedures.
#include "platform/controls/controls.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/forms.h"
#include "platform/win/backend.h"
#include "support/window_fixture.h"

using namespace platform;

namespace {

// A painted, clickable windowed control that records what reaches it.
class TProbe : public TCustomControl {
  VEL_CLASS(TProbe, TCustomControl)
  explicit TProbe(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle.Include(csAcceptsControls);
    SetBounds(0, 0, 40, 30);
    FColor = clWhite;
  }
  std::vector<std::string> Log;
  TColor Fill = clRed;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
  void WMMove(TMessage& M) override {
    Log.push_back("WM_MOVE " + std::to_string(Left()) + "," + std::to_string(Top()));
    TCustomControl::WMMove(M);
  }
  void WMSize(TMessage& M) override {
    Log.push_back("WM_SIZE " + std::to_string(Width()) + "x" + std::to_string(Height()));
    TCustomControl::WMSize(M);
  }
  void KeyDown(WORD& Key, TShiftState Shift) override {
    Log.push_back("KeyDown " + std::to_string(Key) + (Shift.Contains(ssCtrl) ? " ctrl" : ""));
    TCustomControl::KeyDown(Key, Shift);
  }
};

// A non-windowed control painting a coloured block.
class TBlock : public TGraphicControl {
  VEL_CLASS(TBlock, TGraphicControl)
  explicit TBlock(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 20, 20); }
  TColor Fill = clBlue;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
};

}  // namespace

VEL_IMPLEMENT_CLASS(TProbe, "Tests");
VEL_IMPLEMENT_CLASS(TBlock, "Tests");

class Controls : public WindowFixture {};

TEST_F(Controls, ClickFiresOnClickOnceAndOnlyInside) {
  TForm* Form = NewForm(200, 150);
  auto* P = new TProbe(Form);
  P->SetParent(Form);
  P->SetBounds(10, 10, 50, 40);
  int Clicks = 0;
  P->OnClick = [&](TObject* Sender) {
    EXPECT_EQ(Sender, P);
    ++Clicks;
  };
  Click(Form, 20, 20);
  EXPECT_EQ(Clicks, 1);
  // Pressed inside, released outside: no click.
  Press(Form, 20, 20);
  Release(Form, 150, 120);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(Controls, GraphicChildGetsItsMouseMessagesFromTheParent) {
  TForm* Form = NewForm(200, 150);
  auto* B = new TBlock(Form);
  B->SetParent(Form);
  B->SetBounds(30, 40, 20, 20);
  std::vector<std::string> Events;
  B->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
    Events.push_back("down " + std::to_string(X) + "," + std::to_string(Y));
  };
  B->OnClick = [&](TObject*) { Events.push_back("click"); };
  Click(Form, 35, 47);
  EXPECT_EQ(Events, (std::vector<std::string>{"down 5,7", "click"}));
}

TEST_F(Controls, ControlsListNonWindowedFirstThenWindowedInZOrder) {
  TForm* Form = NewForm(200, 150);
  auto* W1 = new TProbe(Form);
  auto* G1 = new TBlock(Form);
  auto* W2 = new TProbe(Form);
  auto* G2 = new TBlock(Form);
  for (TControl* C : std::vector<TControl*>{W1, G1, W2, G2}) C->SetParent(Form);
  ASSERT_EQ(Form->ControlCount(), 4);
  EXPECT_EQ(Form->Controls(0), G1);
  EXPECT_EQ(Form->Controls(1), G2);
  EXPECT_EQ(Form->Controls(2), W1);
  EXPECT_EQ(Form->Controls(3), W2);
  W1->BringToFront();
  G2->SendToBack();
  EXPECT_EQ(Form->Controls(0), G2);
  EXPECT_EQ(Form->Controls(3), W1);
  // The window system agrees on the stacking: W1's window is the topmost child.
  EXPECT_EQ(GetWindow(Form->Handle(), GW_CHILD), W1->Handle());
  EXPECT_THROW(Form->Controls(4), EListError);
}

TEST_F(Controls, SetBoundsSendsMoveAndSizeThroughTheHookedProcedure) {
  TForm* Form = NewForm(200, 150);
  auto* P = new TProbe(Form);
  P->SetParent(Form);
  P->SetBounds(5, 5, 40, 30);
  // Swallow WM_SIZE in a hook: the fields still hold the new bounds, and the
  // control neither realigns nor fires OnResize.
  std::vector<std::string> Hooked;
  int Resized = 0;
  P->OnResize = [&](TObject*) { ++Resized; };
  {
    ScopedHook Hook(P->Handle(), [&](TMessage& M) {
      if (M.Msg == WM_MOVE) Hooked.push_back("move " + std::to_string(P->Left()));
      if (M.Msg != WM_SIZE) return false;
      Hooked.push_back("size " + std::to_string(P->Width()));
      M.Result = 1;
      return true;
    });
    P->Log.clear();
    P->SetBounds(7, 8, 60, 30);
    EXPECT_EQ(Hooked, (std::vector<std::string>{"move 7", "size 60"}));
    EXPECT_EQ(P->Log, (std::vector<std::string>{"WM_MOVE 7,8"}));
    EXPECT_EQ(Resized, 0);
    EXPECT_EQ(P->BoundsRect(), Rect(7, 8, 67, 38));
  }
  P->SetWidth(70);
  EXPECT_EQ(Resized, 1);
}

TEST_F(Controls, BoundsFollowTheMoveAndSizeLoopEvenWhenAHookSwallowsMoveAndSize) {
  TForm* Form = NewForm(200, 150);
  auto* P = new TProbe(Form);
  P->SetParent(Form);
  P->SetBounds(20, 20, 40, 30);
  // The right edge answers HTRIGHT, so a drag there runs the window system's size loop.
  ScopedHook Hook(P->Handle(), [&](TMessage& M) {
    if (M.Msg == WM_NCHITTEST) {
      const TPoint Pt = P->ScreenToClient(LParamToPoint(M.LParam));
      M.Result = Pt.X >= P->Width() - 3 ? HTRIGHT : HTCLIENT;
      return true;
    }
    if (M.Msg != WM_MOVE && M.Msg != WM_SIZE) return false;
    M.Result = 1;
    return true;
  });
  InjectMouseMove(Form->Handle(), Point(58, 30));
  InjectMouseButton(Form->Handle(), TInputButton::Left, true, Point(58, 30));
  InjectMouseMove(Form->Handle(), Point(68, 30));
  InjectMouseButton(Form->Handle(), TInputButton::Left, false, Point(68, 30));
  ProcessMessages();
  EXPECT_EQ(P->BoundsRect(), Rect(20, 20, 70, 50));
}

TEST_F(Controls, LayoutStampMovesWithEveryChangeInsideAndOnlyThen) {
  TForm* Form = NewForm(300, 200);
  auto* Outer = new TProbe(Form);
  Outer->SetParent(Form);
  Outer->SetBounds(10, 10, 200, 150);
  auto* Inner = new TProbe(Form);
  Inner->SetParent(Outer);
  auto* Block = new TBlock(Form);
  Block->SetParent(Inner);
  ProcessMessages();
  std::uint64_t Form0 = Form->LayoutStamp(), Outer0 = Outer->LayoutStamp(), Inner0 = Inner->LayoutStamp();
  auto Changed = [&](const char* Step, bool FormChanges, bool OuterChanges, bool InnerChanges) {
    SCOPED_TRACE(Step);
    EXPECT_EQ(Form->LayoutStamp() != Form0, FormChanges);
    EXPECT_EQ(Outer->LayoutStamp() != Outer0, OuterChanges);
    EXPECT_EQ(Inner->LayoutStamp() != Inner0, InnerChanges);
    Form0 = Form->LayoutStamp();
    Outer0 = Outer->LayoutStamp();
    Inner0 = Inner->LayoutStamp();
  };
  // A non-windowed grandchild moves: every ancestor hears of it.
  Block->SetBounds(5, 5, 20, 10);
  Changed("graphic grandchild moved", true, true, true);
  Block->SetBounds(5, 5, 20, 10);
  Changed("same bounds again", false, false, false);
  Inner->SetBounds(30, 30, 60, 40);
  Changed("windowed child moved", true, true, false);
  // The window system moves a window (the move loop, a hook): the fields follow, so does the stamp.
  SetWindowPos(Inner->Handle(), nullptr, 31, 30, 60, 40, SWP_NOZORDER | SWP_NOACTIVATE);
  ProcessMessages();
  EXPECT_EQ(Inner->Left(), 31);
  Changed("window moved underneath", true, true, false);
  Outer->SetBounds(12, 10, 200, 150);
  Changed("outer control moved", true, false, false);
  Block->SetParent(Outer);
  Changed("reparented", true, true, true);
  delete Block;
  Changed("child destroyed", true, true, false);
}

TEST_F(Controls, PerformAndBroadcastBypassWindowProcedureHooks) {
  TForm* Form = NewForm(200, 150);
  auto* A = new TProbe(Form);
  auto* B = new TProbe(Form);
  A->SetParent(Form);
  B->SetParent(Form);
  int HookCalls = 0;
  ScopedHook Hook(A->Handle(), [&](TMessage&) {
    ++HookCalls;
    return false;
  });
  std::vector<TControl*> Seen;
  const UINT Msg = RegisterWindowMessage("Tests.Broadcast");
  for (TProbe* P : {A, B})
    P->WindowProc = [P, B, &Seen, Msg, Inner = P->WindowProc](TMessage& M) {
      if (M.Msg == Msg) {
        Seen.push_back(P);
        M.Result = P == B ? 1 : 0;
        return;
      }
      Inner(M);
    };
  TMessage M{Msg, 0, 0, 0};
  Form->Broadcast(M);
  EXPECT_EQ(Seen, (std::vector<TControl*>{A, B}));
  EXPECT_EQ(M.Result, 1);
  EXPECT_EQ(A->Perform(CM_HITTEST, 0, PointToLParam(Point(1, 1))), HTCLIENT);
  EXPECT_EQ(HookCalls, 0);
}

TEST_F(Controls, CaptionFollowsTheNameUntilItIsSetApart) {
  TForm* Form = NewForm(100, 100);
  auto* P = new TProbe(Form);
  P->SetName("Probe1");
  EXPECT_EQ(P->Caption(), "Probe1");
  P->SetName("Probe2");
  EXPECT_EQ(P->Caption(), "Probe2");
  P->SetCaption("OK");
  P->SetName("Probe3");
  EXPECT_EQ(P->Caption(), "OK");
  auto* Quiet = new TProbe(Form);
  Quiet->SetControlStyle(Quiet->ControlStyle() - csSetCaption);
  Quiet->SetName("Quiet1");
  EXPECT_EQ(Quiet->Caption(), "");
}

TEST_F(Controls, HandleIsCreatedOnFirstUseAndNeedsAParentWindow) {
  auto* Orphan = new TProbe(nullptr);
  EXPECT_FALSE(Orphan->HandleAllocated());
  try {
    Orphan->Handle();
    FAIL();
  } catch (const EInvalidOperation& E) {
    EXPECT_NE(E.Message().find("has no parent window"), std::string::npos);
  }
  Orphan->SetFocus();  // cannot take the focus: nothing happens
  TForm* Form = NewForm(100, 100);
  Orphan->SetParent(Form);
  EXPECT_TRUE(Orphan->HandleAllocated());
  EXPECT_EQ(GetParent(Orphan->Handle()), Form->Handle());
  delete Orphan;
}

TEST_F(Controls, ScaleAndFlipMoveWhatTheyShouldThroughTheHooks) {
  TForm* Form = NewForm(300, 200);
  auto* Panel = new TProbe(Form);
  Panel->SetParent(Form);
  Panel->SetBounds(10, 20, 100, 60);
  auto* Inner = new TProbe(Form);
  Inner->SetParent(Panel);
  Inner->SetBounds(10, 10, 21, 11);
  auto* Label = new TBlock(Form);
  Label->SetParent(Panel);
  Label->SetBounds(50, 5, 20, 20);
  // A hook on the windowed child's window sees every move and size.
  std::vector<std::string> Seen;
  ScopedHook Hook(Inner->Handle(), [&](TMessage& M) {
    const TPoint V = LParamToPoint(M.LParam);
    if (M.Msg == WM_MOVE) Seen.push_back("move " + std::to_string(V.X) + "," + std::to_string(V.Y));
    if (M.Msg == WM_SIZE) Seen.push_back("size " + std::to_string(V.X) + "x" + std::to_string(V.Y));
    return false;
  });

  Panel->ScaleBy(150, 100);
  EXPECT_EQ(Panel->BoundsRect(), Rect(10, 20, 160, 110));  // own position stays
  EXPECT_EQ(Inner->BoundsRect(), Bounds(15, 15, 32, 17));  // 21 * 1.5 = 31.5 rounds away from zero
  EXPECT_EQ(Label->BoundsRect(), Bounds(75, 8, 30, 30));
  EXPECT_EQ(Seen, (std::vector<std::string>{"move 15,15", "size 32x17"}));

  Seen.clear();
  Panel->FlipChildren(false);
  EXPECT_EQ(Inner->Left(), 150 - 15 - 32);
  EXPECT_EQ(Label->Left(), 150 - 75 - 30);
  EXPECT_EQ(Seen, (std::vector<std::string>{"move 103,15"}));
}

TEST_F(Controls, AlignAndAnchorsFollowTheParentsSize) {
  TForm* Form = NewForm(200, 100);
  auto* Top = new TProbe(Form);
  Top->SetParent(Form);
  Top->SetHeight(20);
  Top->SetAlign(alTop);
  auto* Client = new TProbe(Form);
  Client->SetParent(Form);
  Client->SetAlign(alClient);
  auto* Corner = new TBlock(Form);
  Corner->SetParent(Form);
  Corner->SetBounds(170, 70, 20, 20);
  Corner->SetAnchors({akRight, akBottom});
  EXPECT_EQ(Top->BoundsRect(), Rect(0, 0, 200, 20));
  EXPECT_EQ(Client->BoundsRect(), Rect(0, 20, 200, 100));
  Form->SetBounds(Form->Left(), Form->Top(), 300, 150);
  EXPECT_EQ(Top->BoundsRect(), Rect(0, 0, 300, 20));
  EXPECT_EQ(Client->BoundsRect(), Rect(0, 20, 300, 150));
  EXPECT_EQ(Corner->BoundsRect(), Bounds(270, 120, 20, 20));
}

TEST_F(Controls, KeysReachTheFocusedControlBeforeDialogNavigation) {
  TForm* Form = NewForm(200, 100);
  auto* A = new TProbe(Form);
  auto* B = new TProbe(Form);
  A->SetParent(Form);
  B->SetParent(Form);
  A->SetTabStop(true);
  B->SetTabStop(true);
  A->SetFocus();
  ASSERT_TRUE(A->Focused());
  for (UINT Key : {VK_LEFT, VK_DELETE}) {
    InjectKey(Key, true);
    InjectKey(Key, false);
  }
  InjectKey(VK_CONTROL, true);
  InjectKey(VK_RIGHT, true);
  InjectKey(VK_RIGHT, false);
  InjectKey(VK_CONTROL, false);
  InjectKey(VK_TAB, true);
  InjectKey(VK_TAB, false);
  ProcessMessages();
  EXPECT_EQ(A->Log, (std::vector<std::string>{
                        "KeyDown " + std::to_string(VK_LEFT), "KeyDown " + std::to_string(VK_DELETE),
                        "KeyDown " + std::to_string(VK_CONTROL) + " ctrl",
                        "KeyDown " + std::to_string(VK_RIGHT) + " ctrl", "KeyDown " + std::to_string(VK_TAB)}));
  EXPECT_TRUE(B->Focused());  // Tab, left alone by A, moved the focus on
}

TEST_F(Controls, ExceptionInOnClickReachesTheApplicationAndTheLoopGoesOn) {
  TForm* Form = NewForm(200, 100);
  auto* P = new TProbe(Form);
  P->SetParent(Form);
  std::vector<std::string> Reported;
  Application()->OnException = [&](TObject* Sender, const Exception& E) {
    Reported.push_back(std::string(E.ClassName()) + ": " + E.Message());
    EXPECT_EQ(Sender, P);
  };
  int Clicks = 0;
  P->OnClick = [&](TObject*) {
    if (++Clicks == 1) throw EConvertError("bad value");
  };
  Click(Form, 5, 5);
  Click(Form, 25, 20);  // far enough away not to make a double click
  EXPECT_EQ(Clicks, 2);
  EXPECT_EQ(Reported, (std::vector<std::string>{"EConvertError: bad value"}));
  Application()->OnException = nullptr;
}

TEST_F(Controls, PaintsChildrenOntoTheFormImage) {
  TForm* Form = NewForm(120, 80);
  auto* P = new TProbe(Form);
  P->SetParent(Form);
  P->SetBounds(10, 10, 30, 20);
  auto* B = new TBlock(Form);
  B->SetParent(Form);
  B->SetBounds(60, 30, 20, 20);
  std::unique_ptr<TBitmap> Image(Form->GetFormImage());
  SavePng(Image.get(), "controls_paint.png");
  EXPECT_EQ(PixelOf(Image.get(), 20, 15), clRed);                   // the windowed child's paint
  EXPECT_EQ(PixelOf(Image.get(), 65, 35), clBlue);                  // the graphic child's paint
  EXPECT_EQ(PixelOf(Image.get(), 100, 70), ColorToRGB(clBtnFace));  // the form's background
}
