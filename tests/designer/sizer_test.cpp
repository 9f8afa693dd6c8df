// Sizers through real input: dragging a selection, resizing from the handles
// through the window system's move-and-size loop, keys, double and right
// clicks, in-place editing, and the handles as painted.
#include <memory>

#include "designer/surface_fixture.h"
#include "platform/controls/menus.h"
#include "platform/designintf/designintf.h"

using namespace platform;
using namespace vel;

namespace {

class Sizers : public SurfaceFixture {
 protected:
  void SelectBothButtons() {
    ClickAt(At(Button1, 5, 5));
    KeyDown(VK_SHIFT);
    ClickAt(At(Button2, 5, 5));
    KeyUp(VK_SHIFT);
    ProcessMessages();
    ASSERT_EQ(Selected(), (std::vector<TControl*>{Button1, Button2}));
  }
};

TEST_F(Sizers, DragMovesTheWholeSelectionAtButtonUpOnly) {
  SelectBothButtons();
  int Moves = 0;
  Manager->OnControlsMoved = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Manager);
    ++Moves;
  };
  Manager->SetDirty(false);
  const TPoint From = At(Button1, 20, 10);
  Drag(From, Point(From.X + 7, From.Y + 3), 3, [&] {
    // The sizers moved, the controls not yet.
    EXPECT_EQ(Button1->BoundsRect(), (TRect{10, 10, 90, 34}));
    EXPECT_EQ(Button2->BoundsRect(), (TRect{120, 10, 200, 34}));
    EXPECT_EQ(SizerOf(Button1)->BoundsRect(), (TRect{15, 11, 99, 39}));
    EXPECT_EQ(SizerOf(Button2)->BoundsRect(), (TRect{125, 11, 209, 39}));
    EXPECT_TRUE(SizerOf(Button1)->Moving());
  });
  EXPECT_EQ(Button1->BoundsRect(), (TRect{17, 13, 97, 37}));
  EXPECT_EQ(Button2->BoundsRect(), (TRect{127, 13, 207, 37}));
  EXPECT_EQ(SizerOf(Button2)->BoundsRect(), (TRect{125, 11, 209, 39}));
  EXPECT_FALSE(SizerOf(Button1)->Moving());
  EXPECT_TRUE(Manager->Dirty());
  EXPECT_GE(Moves, 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Sizers, ClickAndDragOfAnUnselectedControlMovesItAtOnce) {
  const TPoint From = At(Button2, 10, 10);
  Drag(From, Point(From.X - 20, From.Y + 30), 5);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button2}));
  EXPECT_EQ(Button2->BoundsRect(), (TRect{100, 40, 180, 64}));
}

TEST_F(Sizers, DraggingAMixedSelectionDropsTheNonSiblings) {
  ClickAt(At(Button1, 5, 5));
  KeyDown(VK_SHIFT);
  ClickAt(At(Label1, 5, 5));
  KeyUp(VK_SHIFT);
  ASSERT_EQ(Selected().size(), 2u);
  const TPoint From = At(Button1, 20, 10);
  Drag(From, Point(From.X + 5, From.Y + 5), 2);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button1}));
  EXPECT_EQ(Button1->BoundsRect(), (TRect{15, 15, 95, 39}));
  EXPECT_EQ(Label1->BoundsRect(), (TRect{100, 20, 160, 36}));
}

struct THandleCase {
  int Index;
  int DL, DT, DR, DB;  // change of each edge for a drag of (+6, +4)
};

class HandleResize : public Sizers, public ::testing::WithParamInterface<THandleCase> {};

TEST_P(HandleResize, DragsTheEdgeOfItsHandleAtButtonUp) {
  const THandleCase C = GetParam();
  ClickAt(At(Button1, 40, 12));
  TVelSizer* S = SizerOf(Button1);
  ASSERT_NE(S, nullptr);
  ASSERT_EQ(S->SizerMode(), smSingle);
  const TRect H = S->PaintRect(C.Index);
  const TPoint From = At(S, (H.Left + H.Right) / 2, (H.Top + H.Bottom) / 2);
  bool Unchanged = false;
  Drag(From, Point(From.X + 6, From.Y + 4), 2, [&] { Unchanged = Button1->BoundsRect() == TRect{10, 10, 90, 34}; });
  EXPECT_TRUE(Unchanged);
  EXPECT_EQ(Button1->BoundsRect(), (TRect{10 + C.DL, 10 + C.DT, 90 + C.DR, 34 + C.DB}));
  ProcessMessages();
  // The sizer refits around the new bounds.
  const TRect B = Button1->BoundsRect();
  EXPECT_EQ(S->BoundsRect(), (TRect{B.Left - 2, B.Top - 2, B.Right + 2, B.Bottom + 2}));
}

INSTANTIATE_TEST_SUITE_P(EveryHandle, HandleResize,
                         ::testing::Values(THandleCase{1, 6, 4, 0, 0}, THandleCase{2, 0, 4, 0, 0},
                                           THandleCase{3, 0, 4, 6, 0}, THandleCase{4, 0, 0, 6, 0},
                                           THandleCase{5, 0, 0, 6, 4}, THandleCase{6, 0, 0, 0, 4},
                                           THandleCase{7, 6, 0, 0, 4}, THandleCase{8, 6, 0, 0, 0}));

TEST_F(Sizers, AQuickClickWhoseReleaseCameWithThePressLeavesNoDragBehind) {
  // Press and release are queued together, as a quick click reaches a busy program.
  const TPoint P = At(Button1, 40, 12);
  InjectMouseMove(Form->Handle(), P);
  InjectMouseButton(Form->Handle(), TInputButton::Left, true, P);
  InjectMouseButton(Form->Handle(), TInputButton::Left, false, P);
  ProcessMessages();
  ASSERT_EQ(Selected(), (std::vector<TControl*>{Button1}));
  EXPECT_EQ(GetCapture(), nullptr);
  // So the next press on a handle resizes the control rather than moving it.
  TVelSizer* S = SizerOf(Button1);
  const TRect H = S->PaintRect(5);
  const TPoint From = At(S, (H.Left + H.Right) / 2, (H.Top + H.Bottom) / 2);
  Drag(From, Point(From.X + 6, From.Y + 4), 2);
  EXPECT_EQ(Button1->BoundsRect(), (TRect{10, 10, 96, 38}));
}

TEST_F(Sizers, HandleRectanglesAndHitTestCodes) {
  ClickAt(At(Button1, 5, 5));
  TVelSizer* S = SizerOf(Button1);
  // 84 by 28: W div 2 = 42, H div 2 = 14.
  EXPECT_EQ(S->PaintRect(1), (TRect{0, 0, 5, 5}));
  EXPECT_EQ(S->PaintRect(2), (TRect{39, 0, 44, 5}));
  EXPECT_EQ(S->PaintRect(4), (TRect{79, 11, 84, 16}));
  EXPECT_EQ(S->PaintRect(5), (TRect{79, 23, 84, 28}));
  EXPECT_EQ(S->PaintRect(7), (TRect{0, 23, 5, 28}));
  auto HitAt = [&](TVelSizer* Z, int X, int Y) {
    return SendMessage(Z->Handle(), WM_NCHITTEST, 0, PointToLParam(Z->ClientToScreen(Point(X, Y))));
  };
  EXPECT_EQ(HitAt(S, 1, 1), HTTOPLEFT);
  EXPECT_EQ(HitAt(S, 82, 13), HTRIGHT);
  EXPECT_EQ(HitAt(S, 40, 26), HTBOTTOM);
  EXPECT_EQ(HitAt(S, 40, 14), HTCLIENT);
  // Two selected: no handle answers a border code.
  KeyDown(VK_SHIFT);
  ClickAt(At(Button2, 5, 5));
  KeyUp(VK_SHIFT);
  EXPECT_EQ(HitAt(S, 1, 1), HTCLIENT);
  EXPECT_EQ(HitAt(S, 82, 13), HTCLIENT);
}

TEST_F(Sizers, CtrlArrowNudgesTheSiblingsByOnePixel) {
  SelectBothButtons();
  Manager->SetDirty(false);
  Stroke(VK_RIGHT, VK_CONTROL);
  EXPECT_EQ(Button1->Left(), 11);
  EXPECT_EQ(Button2->Left(), 121);
  EXPECT_TRUE(Manager->Dirty());
  Stroke(VK_DOWN, VK_CONTROL);
  Stroke(VK_UP, VK_CONTROL);
  Stroke(VK_UP, VK_CONTROL);
  EXPECT_EQ(Button1->Top(), 9);
  EXPECT_EQ(Button2->Top(), 9);
  Stroke(VK_LEFT);
  EXPECT_EQ(Button1->Left(), 11);
  EXPECT_EQ(Button1->Width(), 80);
}

TEST_F(Sizers, DeleteReleasedWithoutModifiersDeletesTheSelection) {
  ClickAt(At(Button2, 5, 5));
  ResultRecorder OnStage(Stage->Handle());
  TComponentList Watch(false);
  Watch.Add(Button2);
  Stroke(VK_DELETE, VK_SHIFT);
  EXPECT_EQ(Watch.Count(), 1);
  EXPECT_TRUE(OnStage.Of(VELN_DelSelCtrls).empty());
  Stroke(VK_DELETE);
  EXPECT_EQ(OnStage.Of(VELN_DelSelCtrls).size(), 1u);
  EXPECT_EQ(Watch.Count(), 0);
  EXPECT_TRUE(Selected().empty());
}

TEST_F(Sizers, DeleteDoesNothingWhileTheManagerIsDisabled) {
  ClickAt(At(Button2, 5, 5));
  TComponentList Watch(false);
  Watch.Add(Button2);
  Manager->SetEnabled(false);
  // A disabled sizer gets no keys; a Delete posted anyway is not handled.
  PostMessage(Stage->Handle(), VELN_DelSelCtrls, 0, 0);
  Stroke(VK_DELETE);
  EXPECT_EQ(Watch.Count(), 1);
}

class TProbeEditor : public TComponentEditor {
  VEL_CLASS(TProbeEditor, TComponentEditor)
  using TComponentEditor::TComponentEditor;
  void Edit() override {
    static_cast<TControl*>(Component())->SetWidth(static_cast<TControl*>(Component())->Width() + 10);
  }
};

class TProbeButton : public TButton {
  VEL_CLASS(TProbeButton, TButton)
  using TButton::TButton;
};

VEL_IMPLEMENT_CLASS(TProbeEditor, "Tests");
VEL_IMPLEMENT_CLASS(TProbeButton, "Tests");

TEST_F(Sizers, DoubleClickRunsTheComponentEditorAndReportsAModification) {
  RegisterComponentEditor(TProbeButton::StaticClass(), ComponentEditorClass<TProbeEditor>());
  auto* Probe = Make<TProbeButton>("Probe", Stage, 300, 100, 80, 24);
  ProcessMessages();
  int Changes = 0;
  Manager->OnCompsChange = [&](TObject*) { ++Changes; };
  // The first click selects through the control's proxy; the next two reach
  // the sizer, the second of them as a double click.
  ClickAt(At(Probe, 10, 10));
  ClickAt(At(Probe, 10, 10));
  EXPECT_EQ(Probe->Width(), 80);
  ClickAt(At(Probe, 10, 10));
  EXPECT_EQ(Probe->Width(), 90);
  EXPECT_EQ(Changes, 1);
  EXPECT_TRUE(Manager->Dirty());
  // The sizer refits to the edited control.
  EXPECT_EQ(SizerOf(Probe)->Width(), 94);
}

TEST_F(Sizers, RightClickPopsUpTheDesignMenuOnce) {
  int Popups = 0;
  TPopupMenu* Menu = NewDesignMenu(Popups);
  ClickAt(At(Button1, 5, 5));
  ASSERT_EQ(SizerOf(Button1)->PopupMenu(), Menu);
  RightClickAt(At(Button1, 20, 10));
  EXPECT_EQ(Popups, 1);
}

TEST_F(Sizers, InPlaceEditingLetsTheEditTakeInput) {
  Edit1->SetText("");
  ClickAt(At(Edit1, 5, 5));
  ASSERT_EQ(Selected(), (std::vector<TControl*>{Edit1}));
  Manager->StartEmbedEdit();
  EXPECT_TRUE(Manager->EmbedEditing());
  EXPECT_TRUE(SizerOf(Edit1)->EmbedEditing());
  EXPECT_TRUE(Edit1->Focused());
  // The sizer lets the mouse through; the edit gets its clicks and keys.
  ClickAt(At(Edit1, 5, 5));
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Edit1}));
  InjectKey('A', true, U'a');
  InjectKey('A', false);
  ProcessMessages();
  EXPECT_EQ(Edit1->Text(), "a");
  // Clicks on other controls select nothing meanwhile.
  ClickAt(At(Button1, 5, 5));
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Edit1}));

  Manager->EndEmbedEdit();
  EXPECT_FALSE(Manager->EmbedEditing());
  EXPECT_FALSE(SizerOf(Edit1)->EmbedEditing());
  ClickAt(At(Button1, 5, 5));
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button1}));
}

TEST_F(Sizers, InPlaceEditingNeedsExactlyOneSelectedControl) {
  SelectBothButtons();
  Manager->StartEmbedEdit();
  EXPECT_FALSE(Manager->EmbedEditing());
  // A control whose window has no proxy refuses; the manager counts it anyway.
  auto* Outside = new TButton(Form);
  Outside->SetParent(Form);
  Outside->SetBounds(530, 300, 60, 24);
  Manager->SelectControl(Outside, Point(-1, -1), csmSelect, false, true);
  Manager->StartEmbedEdit();
  EXPECT_TRUE(Manager->EmbedEditing());
  EXPECT_FALSE(SizerOf(Outside)->EmbedEditing());
}

TEST_F(Sizers, DestroyingTheProxyOfAnEditedControlEndsEditing) {
  ClickAt(At(Edit1, 5, 5));
  Manager->StartEmbedEdit();
  ASSERT_TRUE(Manager->EmbedEditing());
  Manager->DesignProxies()->DelControl(Edit1);
  EXPECT_FALSE(Manager->EmbedEditing());
  EXPECT_FALSE(SizerOf(Edit1)->EmbedEditing());
}

TEST_F(Sizers, ASizerIsNeverBoundToASizer) {
  ClickAt(At(Button1, 5, 5));
  TVelSizer Other(nullptr);
  Other.SetControl(SizerOf(Button1));
  EXPECT_EQ(Other.Control(), nullptr);
  EXPECT_EQ(Other.BoundsRect(), (TRect{0, 0, 0, 0}));
  EXPECT_FALSE(Other.HandleAllocated());
}

TEST_F(Sizers, HandlesArePaintedInTheSelectionColours) {
  ClickAt(At(Button1, 40, 12));
  TVelSizer* S = SizerOf(Button1);
  ProcessMessages();
  std::unique_ptr<TBitmap> Image(Form->GetFormImage());
  SavePng(Image.get(), "sizer_single.png");
  const TColor Single = ColorToRGB(clBtnText);
  for (int I = 1; I <= 8; ++I) {
    const TRect H = S->PaintRect(I);
    const TPoint P = At(S, H.Left + 2, H.Top + 2);
    EXPECT_EQ(PixelOf(Image.get(), P.X, P.Y), Single) << "handle " << I;
  }
  // Between the handles the button shows through.
  const TPoint Between = At(S, 20, 14);
  EXPECT_NE(PixelOf(Image.get(), Between.X, Between.Y), Single);

  KeyDown(VK_SHIFT);
  ClickAt(At(Button2, 5, 5));
  KeyUp(VK_SHIFT);
  // A colour the buttons' own edges do not use.
  for (TControl* C : Selected()) SizerOf(C)->SetMultiSelColor(clRed);
  ProcessMessages();
  Image.reset(Form->GetFormImage());
  SavePng(Image.get(), "sizer_multi.png");
  const TColor Multi = ColorToRGB(clRed);
  for (int I = 1; I <= 8; ++I) {
    const TRect H = S->PaintRect(I);
    const TPoint P = At(S, H.Left + 2, H.Top + 2);
    if (I % 2 == 1)
      EXPECT_EQ(PixelOf(Image.get(), P.X, P.Y), Multi) << "corner " << I;
    else
      EXPECT_NE(PixelOf(Image.get(), P.X, P.Y), Multi) << "edge " << I;
  }
}

TEST_F(Sizers, ChangingTheHandleColourRepaints) {
  ClickAt(At(Button1, 40, 12));
  TVelSizer* S = SizerOf(Button1);
  S->SetSingleSelColor(clRed);
  ProcessMessages();
  std::unique_ptr<TBitmap> Image(Form->GetFormImage());
  const TPoint P = At(S, 2, 2);
  EXPECT_EQ(PixelOf(Image.get(), P.X, P.Y), ColorToRGB(clRed));
}

TEST_F(Sizers, DesigningFormDiesCleanlyWithEverythingAlive) {
  SelectBothButtons();
  // An area drag under way: the band exists and the stage holds the mouse.
  PressAt(At(Stage, 300, 300));
  MoveTo(At(Stage, 320, 330));
  ASSERT_NE(Manager->StageProxy()->RubberBand(), nullptr);
  delete Form;
  ProcessMessages();
  Form = nullptr;
}

}  // namespace

namespace {

class SizerProtocol : public SurfaceFixture {};

TEST_F(SizerProtocol, FollowersHandleEveryStepBeforeTheEndOfTheMove) {
  ClickAt(At(Button1, 5, 5));
  KeyDown(VK_SHIFT);
  ClickAt(At(Button2, 5, 5));
  KeyUp(VK_SHIFT);
  ResultRecorder Follower(SizerOf(Button2)->Handle());
  const TPoint From = At(Button1, 20, 10);
  Drag(From, Point(From.X + 9, From.Y), 3);
  std::vector<UINT> Order;
  for (const auto& E : Follower.Entries)
    if (E.Msg == VELM_SizerMoved || E.Msg == VELM_SizerMoveEnd || E.Msg == VELM_SizerMoveStart) Order.push_back(E.Msg);
  EXPECT_EQ(Order, (std::vector<UINT>{VELM_SizerMoved, VELM_SizerMoved, VELM_SizerMoved, VELM_SizerMoveEnd}));
  // Each step carries the dragged sizer's handle and the step as a point.
  for (const auto& E : Follower.Of(VELM_SizerMoved)) {
    EXPECT_EQ(E.WParam, reinterpret_cast<WPARAM>(SizerOf(Button1)->Handle()));
    EXPECT_EQ(LParamToPoint(E.LParam), Point(3, 0));
  }
  EXPECT_EQ(Button2->Left(), 129);
}

TEST_F(SizerProtocol, QueuedMessagesRunBeforeADragBegins) {
  const UINT Probe = RegisterWindowMessage("Tests.QueuedBeforeDrag");
  bool Handled = false;
  ScopedHook Hook(Stage->Handle(), [&](TMessage& M) {
    if (M.Msg != Probe) return false;
    // The drag has not begun yet when the queued message runs.
    EXPECT_EQ(SizerOf(Button1) ? SizerOf(Button1)->IsMoveSender() : false, false);
    Handled = true;
    return true;
  });
  PostMessage(Stage->Handle(), Probe, 0, 0);
  Manager->SelectControl(Button1, Point(3, 3), csmSelect, false, true);
  EXPECT_TRUE(Handled);
  EXPECT_TRUE(SizerOf(Button1)->IsMoveSender());
  ReleaseCapture();
}

TEST_F(SizerProtocol, MovesOfNestedControlsClimbToTheStage) {
  ResultRecorder OnStage(Stage->Handle());
  ResultRecorder OnPanel(Panel1->Handle());
  Inner->SetLeft(25);
  ProcessMessages();
  ASSERT_FALSE(OnPanel.Of(VELN_CtrlMoved).empty());
  EXPECT_EQ(OnPanel.Of(VELN_CtrlMoved)[0].Result, 1);
  bool SawInner = false;
  for (const auto& E : OnStage.Of(VELN_CtrlMoved))
    SawInner = SawInner || E.WParam == reinterpret_cast<WPARAM>(static_cast<TControl*>(Inner));
  EXPECT_TRUE(SawInner);
}

TEST_F(SizerProtocol, AProxyListHooksAControlOnceAndPutsItsProcedureBack) {
  Manager->SetIsDesigning(false);
  const LONG_PTR Own = GetWindowLong(Button1->Handle(), GWL_WNDPROC);
  {
    TVelDesignWndProcProxyList List;
    EXPECT_EQ(List.AddControl(Button1, true), 0);
    EXPECT_EQ(List.AddControl(Button1, true), -1);
    EXPECT_EQ(List.Count(), 1);
    List.ClearProxies();
    EXPECT_EQ(List.Count(), 0);
  }
  EXPECT_EQ(GetWindowLong(Button1->Handle(), GWL_WNDPROC), Own);
  int Clicks = 0;
  Button1->OnClick = [&](TObject*) { ++Clicks; };
  ClickAt(At(Button1, 5, 5));
  EXPECT_EQ(Clicks, 1);
}

}  // namespace
