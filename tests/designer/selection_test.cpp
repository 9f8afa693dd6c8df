// Selecting on a designed stage through real input: clicks through the
// control proxies and the stage proxy, Shift and Ctrl, the rubber band, and
// the manager's selection operations.
#include "designer/surface_fixture.h"

using namespace platform;
using namespace vel;

namespace {

class Selection : public SurfaceFixture {};

TEST_F(Selection, DesigningHooksTheStageAndEveryWindowedControlItOwns) {
  EXPECT_TRUE(Stage->DoubleBuffered());
  TVelDesignWndProcProxyList* Proxies = Manager->DesignProxies();
  // Inner lies in Panel1 but the stage owns it; labels have no window.
  for (TWinControl* W : std::vector<TWinControl*>{Button1, Button2, Panel1, Inner, Edit1})
    EXPECT_GE(Proxies->GetControlIndex(W), 0) << W->Name();
  EXPECT_EQ(Proxies->Count(), 5);
  EXPECT_EQ(Manager->StageProxy()->Control(), Stage);
  // The stage is the first selection.
  EXPECT_TRUE(StageSelected());
  EXPECT_TRUE(Selected().empty());
}

TEST_F(Selection, NewManagerTakesAWindowedOwnerAsStageAndInstallsNothing) {
  auto* M = new TVelDesignManager(Panel1);
  EXPECT_EQ(M->DesignStage(), Panel1);
  EXPECT_TRUE(M->Enabled());
  EXPECT_FALSE(M->IsDesigning());
  EXPECT_FALSE(M->Dirty());
  EXPECT_EQ(M->StageProxy()->Control(), nullptr);
  EXPECT_EQ(M->DesignProxies()->Count(), 0);
  delete M;
}

TEST_F(Selection, ClickSelectsTheControlWhichNeverSeesIt) {
  int Clicks = 0;
  Button1->OnClick = [&](TObject*) { ++Clicks; };
  ClickAt(At(Button1, 15, 12));
  EXPECT_EQ(Clicks, 0);
  ASSERT_EQ(Selected(), (std::vector<TControl*>{Button1}));
  EXPECT_FALSE(StageSelected());
  // The sizer lies two pixels outside the control, on the stage.
  TVelSizer* S = SizerOf(Button1);
  EXPECT_EQ(S->Parent(), Stage);
  EXPECT_EQ(S->BoundsRect(), (TRect{8, 8, 92, 36}));
  EXPECT_EQ(S->SizerMode(), smSingle);
  EXPECT_EQ(S->Hint(), "Button1");
  // A click without a move leaves the control where it was.
  EXPECT_EQ(Button1->BoundsRect(), (TRect{10, 10, 90, 34}));
}

TEST_F(Selection, ClickCodesAndTheOrderOfTheSelectionMessages) {
  ResultRecorder OnButton(Button1->Handle());
  ResultRecorder OnPanel(Panel1->Handle());
  ResultRecorder OnStage(Stage->Handle());
  ClickAt(At(Button1, 5, 5));
  ASSERT_EQ(OnButton.Of(WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(OnButton.Of(WM_LBUTTONDOWN)[0].Result, 101);
  // The stage hears the position first, then the control; the position is
  // consumed, the selection answered 1.
  std::vector<UINT> Order;
  for (const auto& E : OnStage.Entries)
    if (E.Msg == VELM_ControlSelectedAtPos || E.Msg == VELM_ControlSelected) Order.push_back(E.Msg);
  EXPECT_EQ(Order, (std::vector<UINT>{VELM_ControlSelectedAtPos, VELM_ControlSelected}));
  EXPECT_EQ(OnStage.Of(VELM_ControlSelected)[0].Result, 1);
  EXPECT_EQ(LParamToPoint(OnStage.Of(VELM_ControlSelectedAtPos)[0].LParam), Point(5, 5));

  // A label on a designed panel: the panel's proxy selects the label.
  ClickAt(At(Label1, 3, 3));
  ASSERT_EQ(OnPanel.Of(WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(OnPanel.Of(WM_LBUTTONDOWN)[0].Result, 102);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Label1}));
}

TEST_F(Selection, ShiftClickTogglesWithoutDragging) {
  ClickAt(At(Button1, 5, 5));
  KeyDown(VK_SHIFT);
  ClickAt(At(Button2, 5, 5));
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button1, Button2}));
  for (TControl* C : Selected()) EXPECT_EQ(SizerOf(C)->SizerMode(), smMulti);
  // On the sizer of a selected control: passed to the control, toggled out.
  ClickAt(At(Button1, 5, 5));
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button2}));
  EXPECT_FALSE(SizerOf(Button2)->IsMoveSender());
  EXPECT_EQ(GetCapture(), nullptr);
  KeyUp(VK_SHIFT);
  EXPECT_EQ(SizerOf(Button2)->SizerMode(), smSingle);
}

TEST_F(Selection, CtrlClickClimbsToTheStageAndStartsAnAreaSelection) {
  ResultRecorder OnInner(Inner->Handle());
  ResultRecorder OnPanel(Panel1->Handle());
  KeyDown(VK_CONTROL);
  PressAt(At(Inner, 5, 5));
  EXPECT_EQ(OnInner.Of(WM_LBUTTONDOWN)[0].Result, 201);
  ASSERT_EQ(OnPanel.Of(WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(OnPanel.Of(WM_LBUTTONDOWN)[0].Result, 201);
  TVelRubberBand* Band = Manager->StageProxy()->RubberBand();
  ASSERT_NE(Band, nullptr);
  EXPECT_TRUE(Manager->GetIsRubbering());
  // The band starts where the click reached the stage.
  EXPECT_EQ(Band->PointStart(), Stage->ScreenToClient(Inner->ClientToScreen(Point(5, 5))));
  EXPECT_EQ(GetCapture(), Stage->Handle());
  KeyUp(VK_CONTROL);
  ReleaseAt(At(Inner, 5, 5));
  // Nothing was selected by it, and the band is gone.
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(Manager->StageProxy()->RubberBand(), nullptr);
}

TEST_F(Selection, RubberBandSelectsEveryControlItTouches) {
  ClickAt(At(Button1, 5, 5));
  bool SawBand = false;
  // From an empty spot of the stage across both buttons.
  Drag(At(Stage, 5, 5), At(Stage, 130, 40), 4, [&] {
    TVelRubberBand* Band = Manager->StageProxy()->RubberBand();
    SawBand = Band && Band->Visible() && Band->BoundsRect() == (TRect{5, 5, 130, 40});
    // Controls let the mouse through while the band is dragged.
    EXPECT_EQ(SendMessage(Button1->Handle(), WM_NCHITTEST, 0, PointToLParam(Button1->ClientToScreen(Point(1, 1)))),
              HTTRANSPARENT);
  });
  EXPECT_TRUE(SawBand);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button1, Button2}));
  EXPECT_EQ(Manager->StageProxy()->RubberBand(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Selection, AreaSelectionTakesNestedControlsAndStopsAtTheStageEdge) {
  Drag(At(Stage, 300, 250), At(Stage, 150, 90), 3);
  // The area touches Panel1 and, inside it, Label1 (the stage owns both).
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Panel1, Label1}));

  PressAt(At(Stage, 50, 300));
  MoveTo(Point(2, 2));  // left of and above the stage
  TVelRubberBand* Band = Manager->StageProxy()->RubberBand();
  ASSERT_NE(Band, nullptr);
  EXPECT_EQ(Band->BoundsRect().Left, 1);
  EXPECT_EQ(Band->BoundsRect().Top, 1);
  ReleaseAt(Point(2, 2));
}

TEST_F(Selection, ClickOnAnEmptySpotSelectsTheStageAndLeavesAnEmptyBand) {
  ClickAt(At(Button1, 5, 5));
  ClickAt(At(Stage, 300, 300));
  EXPECT_TRUE(Selected().empty());
  EXPECT_TRUE(StageSelected());
  EXPECT_EQ(Manager->StageProxy()->RubberBand(), nullptr);
}

TEST_F(Selection, SelectControlModes) {
  Manager->SelectControl(Button1, Point(0, 5), csmSelect, false, true);
  ASSERT_EQ(Selected(), (std::vector<TControl*>{Button1}));
  EXPECT_FALSE(SizerOf(Button1)->IsMoveSender());  // no drag from (0, 5)
  Manager->SelectControl(Button1, Point(1, 1), csmSelect, false, true);
  EXPECT_TRUE(SizerOf(Button1)->IsMoveSender());
  EXPECT_EQ(GetCapture(), SizerOf(Button1)->Handle());
  ReleaseCapture();

  Manager->SelectControl(Button2, Point(-1, -1), csmAdd, false, true);
  Manager->SelectControl(Button2, Point(-1, -1), csmAdd, false, true);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button1, Button2}));
  Manager->SelectControl(Button1, Point(-1, -1), csmDel, false, true);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button2}));
  Manager->SelectControl(Stage, Point(-1, -1), csmDel, false, true);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button2}));
  // Toggling the stage always selects it, next to the controls.
  Manager->SelectControl(Stage, Point(-1, -1), csmToggle, false, true);
  EXPECT_TRUE(StageSelected());
  Manager->SelectControl(Stage, Point(-1, -1), csmToggle, false, true);
  EXPECT_TRUE(StageSelected());
  Manager->SelectControl(Button1, Point(-1, -1), csmClear, false, true);
  EXPECT_TRUE(Selected().empty());
  EXPECT_TRUE(StageSelected());
}

TEST_F(Selection, SelectedCompsAndReselection) {
  TComponentList List(false);
  List.Add(Stage);
  List.Add(Button1);
  Manager->SetSelectedComps(&List);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button1}));
  EXPECT_FALSE(StageSelected());

  Manager->FillSelectedComps();
  EXPECT_EQ(Manager->SelectedComps()->Count(), 1);
  EXPECT_EQ(Manager->SelectedComps()->Items(0), Button1);

  // Only the stage: no sizer, and the stage sizer stays as it was.
  TComponentList OnlyStage(false);
  OnlyStage.Add(Stage);
  Manager->SetSelectedComps(&OnlyStage);
  EXPECT_TRUE(Selected().empty());
  EXPECT_FALSE(StageSelected());

  Manager->SelectControl(Button1, Point(-1, -1), csmSelect, false, true);
  Manager->SelectControl(Inner, Point(-1, -1), csmAdd, false, true);
  Manager->FillSelectedComps();
  Manager->DeselectUnsiblingControl(Button1, false);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button1}));

  Manager->DeselectAll();
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(Manager->SelectedComps()->Count(), 1);
  EXPECT_EQ(Manager->SelectedComps()->Items(0), Stage);
}

TEST_F(Selection, AreaOperationsIgnoreEmptyAreasAndEdgeContact) {
  Manager->SelectControlInRect(TRect{10, 10, 10, 200}, csmAdd);
  EXPECT_TRUE(Selected().empty());
  // Touches Button1's left edge only (x = 10).
  Manager->SelectControlInRect(TRect{0, 0, 10, 30}, csmAdd);
  EXPECT_TRUE(Selected().empty());
  Manager->SelectControlInRect(TRect{0, 0, 11, 30}, csmAdd);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button1}));
  EXPECT_TRUE(Manager->ControlInRect(Inner, TRect{25, 75, 26, 76}));
}

TEST_F(Selection, DisabledManagerLetsClicksThroughButStillHearsMoves) {
  int Clicks = 0;
  Button1->OnClick = [&](TObject*) { ++Clicks; };
  Manager->SetEnabled(false);
  ClickAt(At(Button1, 5, 5));
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(Selected().empty());
  Manager->SelectControl(Button1, Point(-1, -1), csmSelect, false, true);
  EXPECT_TRUE(Selected().empty());
  // WM_SIZE is still reported and consumed.
  ResultRecorder OnButton(Button1->Handle());
  Button1->SetWidth(90);
  ASSERT_FALSE(OnButton.Of(WM_SIZE).empty());
  EXPECT_EQ(OnButton.Of(WM_SIZE).back().Result, 1);

  Manager->SetEnabled(true);
  ClickAt(At(Button1, 5, 5));
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button1}));
}

TEST_F(Selection, EndingDesignRestoresEveryWindowProcedure) {
  Manager->SetIsDesigning(false);
  ProcessMessages();
  int Clicks = 0;
  Button1->OnClick = [&](TObject*) { ++Clicks; };
  ClickAt(At(Button1, 5, 5));
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(Manager->DesignProxies()->Count(), 0);
  EXPECT_EQ(Manager->StageProxy()->Control(), nullptr);
  EXPECT_EQ(Manager->StageSizer()->Control(), nullptr);
}

TEST_F(Selection, ProxiesPutBackExactlyTheProcedureTheyFound) {
  Manager->SetIsDesigning(false);
  const LONG_PTR Before = GetWindowLong(Button1->Handle(), GWL_WNDPROC);
  Manager->SetIsDesigning(true);
  EXPECT_NE(GetWindowLong(Button1->Handle(), GWL_WNDPROC), Before);
  Manager->SetIsDesigning(false);
  EXPECT_EQ(GetWindowLong(Button1->Handle(), GWL_WNDPROC), Before);
}

TEST_F(Selection, SwitchingTheStageMovesEveryHook) {
  auto* Stage2 = new TPanel(Form);
  Stage2->SetParent(Form);
  Stage2->SetBounds(530, 20, 100, 100);
  auto* Other = new TButton(Stage2);
  Other->SetParent(Stage2);
  Other->SetBounds(10, 10, 60, 24);
  ClickAt(At(Button1, 5, 5));
  Manager->SetDesignStage(Stage2);
  EXPECT_EQ(Manager->DesignStage(), Stage2);
  EXPECT_EQ(Manager->DesignProxies()->Count(), 1);
  EXPECT_EQ(Manager->StageProxy()->Control(), Stage2);
  EXPECT_TRUE(Selected().empty());
  int Clicks = 0;
  Button1->OnClick = [&](TObject*) { ++Clicks; };
  ClickAt(At(Button1, 5, 5));
  EXPECT_EQ(Clicks, 1);
  ClickAt(At(Other, 5, 5));
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Other}));
  EXPECT_EQ(SizerOf(Other)->Parent(), Stage2);
}

TEST_F(Selection, InsertedComponentsAreNamedHookedAndMarkTheDesignDirty) {
  EXPECT_FALSE(Manager->Dirty());
  auto* B = new TButton(Stage);
  B->SetParent(Stage);
  B->SetBounds(300, 300, 60, 24);
  ProcessMessages();
  // Button1 and Button2 exist.
  EXPECT_EQ(B->Name(), "Button3");
  EXPECT_GE(Manager->DesignProxies()->GetControlIndex(B), 0);
  EXPECT_TRUE(Manager->Dirty());

  // A complete component inserted later keeps a unique name and is taken in at once.
  auto* Named = new TButton(nullptr);
  Named->SetName("Custom");
  Named->SetParent(Stage);
  Stage->InsertComponent(Named);
  EXPECT_EQ(Named->Name(), "Custom");
  EXPECT_GE(Manager->DesignProxies()->GetControlIndex(Named), 0);

  // Not designing: names stay, nothing is dirty.
  Manager->SetIsDesigning(false);
  Manager->SetDirty(false);
  auto* Quiet = new TButton(Stage);
  ProcessMessages();
  EXPECT_EQ(Quiet->Name(), "");
  EXPECT_FALSE(Manager->Dirty());
}

TEST_F(Selection, DestroyingASelectedControlDropsItsSizerAndProxy) {
  ClickAt(At(Button1, 5, 5));
  KeyDown(VK_SHIFT);
  ClickAt(At(Button2, 5, 5));
  KeyUp(VK_SHIFT);
  Manager->FillSelectedComps();
  Manager->SetDirty(false);
  delete Button1;
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button2}));
  EXPECT_EQ(SizerOf(Button2)->SizerMode(), smSingle);
  EXPECT_EQ(Manager->DesignProxies()->Count(), 4);
  EXPECT_TRUE(Manager->Dirty());
  EXPECT_EQ(Manager->SelectedComps()->Count(), 1);
  EXPECT_EQ(Manager->SelectedComps()->Items(0), Button2);
}

TEST_F(Selection, DeletingWithoutACenterDestroysTheSelection) {
  Manager->SelectControl(Button1, Point(-1, -1), csmSelect, false, true);
  Manager->SelectControl(Label1, Point(-1, -1), csmAdd, false, true);
  TComponentList Watch(false);
  Watch.Add(Button1);
  Watch.Add(Label1);
  Manager->DelSelectedControls();
  EXPECT_EQ(Watch.Count(), 0);
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(Manager->Sizers()->Count(), 0);
}

TEST_F(Selection, MouseMovesAreReportedInStageCoordinates) {
  std::vector<std::string> Seen;
  Manager->OnStageMouseMove = [&](TObject* Sender, TShiftState, int X, int Y) {
    Seen.push_back(static_cast<TComponent*>(Sender)->Name() + " " + std::to_string(X) + "," + std::to_string(Y));
  };
  MoveTo(At(Inner, 4, 6));
  MoveTo(At(Stage, 300, 320));
  ASSERT_GE(Seen.size(), 2u);
  // Inner lies at (10, 10) in Panel1, which lies at (10, 60) on the stage.
  EXPECT_EQ(Seen[Seen.size() - 2], "Inner 24,76");
  EXPECT_EQ(Seen.back(), "Stage 300,320");
}

TEST_F(Selection, ChildControlAtPosSkipsTheSizerAboveAControl) {
  ClickAt(At(Button1, 5, 5));
  ASSERT_NE(SizerOf(Button1), nullptr);
  EXPECT_EQ(ChildControlAtPos(Stage, Point(12, 12)), Button1);
  EXPECT_TRUE(IsVelSizer(SizerOf(Button1)));
  EXPECT_FALSE(IsVelSizer(Button1));
}

}  // namespace
