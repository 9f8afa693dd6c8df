// The manager's arrangement commands on a designed stage: alignment and equal
// spacing, common size, scaling, z-order, flipping, select all, and what an
// attached design center hears of them.
#include "console/design_center.h"
#include "designer/surface_fixture.h"
#include "palette/comp_tree_view.h"

using namespace platform;
using namespace vel;

namespace {

class Arrangement : public SurfaceFixture {
 protected:
  /// Selects Controls in order (the first replaces the selection) and fills
  /// the manager's selected-component list, as a center would.
  void SelectInOrder(const std::vector<TControl*>& Controls) {
    bool First = true;
    for (TControl* C : Controls) {
      Manager->SelectControl(C, Point(0, 0), First ? csmSelect : csmAdd, false, false);
      First = false;
    }
    Manager->FillSelectedComps();
  }

  /// The windowed children of Parent from bottom to top.
  static std::vector<TWinControl*> WindowedChildren(const TWinControl* Parent) {
    std::vector<TWinControl*> R;
    for (int I = 0; I < Parent->ControlCount(); ++I)
      if (auto* W = dynamic_cast<TWinControl*>(Parent->Controls(I))) R.push_back(W);
    return R;
  }
  static int ZIndex(const TWinControl* Parent, const TWinControl* Child) {
    const std::vector<TWinControl*> L = WindowedChildren(Parent);
    for (std::size_t I = 0; I < L.size(); ++I)
      if (L[I] == Child) return int(I);
    return -1;
  }
  static TRect Grown(TRect R, int By) { return TRect{R.Left - By, R.Top - By, R.Right + By, R.Bottom + By}; }
};

// ------------------------------------------------------------ alignment and spacing

struct TAlignCase {
  const char* Name;
  TVelDesignAlignmentStyle Horizontal;
  TVelDesignAlignmentStyle Vertical;
  std::vector<TRect> Before;  // Left, Top, Width, Height of Button1, Button2, Panel1 in selection order
  std::vector<TPoint> After;  // their Left and Top afterwards
};

TEST_F(Arrangement, AlignmentAndSpacingArithmetic) {
  const std::vector<TAlignCase> Cases = {
      // Range 10..50, step 41 / 2 = 20.5: Round(20.5) = 20, Round(41) = 41.
      {"spacing keeps the left-to-right order and ends one pixel right",
       asSpaceEqual,
       asNoChange,
       {{50, 10, 30, 20}, {10, 40, 30, 20}, {20, 70, 30, 20}},
       {{51, 10}, {10, 40}, {30, 70}}},
      // Range 10..30, step 10.5: equal edges go in list order.
      {"spacing takes equal edges in list order",
       asSpaceEqual,
       asNoChange,
       {{30, 10, 30, 20}, {10, 40, 30, 20}, {10, 70, 30, 20}},
       {{31, 10}, {10, 40}, {20, 70}}},
      {"vertical spacing",
       asNoChange,
       asSpaceEqual,
       {{10, 50, 30, 20}, {40, 10, 30, 20}, {80, 20, 30, 20}},
       {{10, 51}, {40, 10}, {80, 30}}},
      {"spacing on both axes uses the ranges taken before any move",
       asSpaceEqual,
       asSpaceEqual,
       {{10, 20, 30, 20}, {20, 10, 30, 20}, {50, 50, 30, 20}},
       {{10, 30}, {30, 10}, {51, 51}}},
      {"one control has nothing to share and stays", asSpaceEqual, asSpaceEqual, {{33, 44, 30, 20}}, {{33, 44}}},
      // Union 100..300: 100 + Round(0.5) = 100 and 100 + Round(75.5) = 176.
      {"centers", asCenters, asNoChange, {{100, 10, 200, 20}, {150, 40, 50, 20}}, {{100, 10}, {176, 40}}},
      {"right edges", asRightOrBottom, asNoChange, {{120, 10, 80, 20}, {20, 40, 30, 20}}, {{120, 10}, {170, 40}}},
      {"left and top edges", asLeftOrTop, asLeftOrTop, {{50, 30, 30, 20}, {20, 60, 30, 20}}, {{20, 30}, {20, 30}}},
      // Union 10..50 vertically: 10 + Round(0.5) = 10 and 10 + Round(15.5) = 26.
      {"vertical centers", asNoChange, asCenters, {{10, 10, 30, 40}, {50, 20, 30, 10}}, {{10, 10}, {50, 26}}},
      {"bottom edges", asNoChange, asRightOrBottom, {{10, 10, 30, 40}, {50, 20, 30, 10}}, {{10, 10}, {50, 40}}},
      // Stage 500 x 400: Round(224.5) = 224, Round(225.5) = 226, Round(187.5) = 188.
      {"center in window rounds halves to even",
       asCenterInWindow,
       asCenterInWindow,
       {{0, 0, 51, 25}, {7, 9, 49, 24}},
       {{224, 188}, {226, 188}}},
      {"a control left of its parent's origin stops everything",
       asLeftOrTop,
       asLeftOrTop,
       {{-5, 10, 30, 20}, {40, 50, 30, 20}},
       {{-5, 10}, {40, 50}}},
      {"no change", asNoChange, asNoChange, {{15, 25, 30, 20}, {45, 55, 30, 20}}, {{15, 25}, {45, 55}}},
  };
  const std::vector<TControl*> Pool = {Button1, Button2, Panel1};
  for (const TAlignCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    std::vector<TControl*> Controls(Pool.begin(), Pool.begin() + std::ptrdiff_t(Case.Before.size()));
    for (std::size_t I = 0; I < Controls.size(); ++I) {
      const TRect& B = Case.Before[I];
      Controls[I]->SetBounds(B.Left, B.Top, B.Right, B.Bottom);
    }
    ProcessMessages();
    SelectInOrder(Controls);
    Manager->SetSelCtrlDesignAligment(Case.Horizontal, Case.Vertical);
    for (std::size_t I = 0; I < Controls.size(); ++I) {
      EXPECT_EQ(Point(Controls[I]->Left(), Controls[I]->Top()), Case.After[I]) << Controls[I]->Name();
      EXPECT_EQ(Controls[I]->Width(), Case.Before[I].Right) << Controls[I]->Name();
      // The sizers are refitted at once, before any posted move report.
      EXPECT_EQ(SizerOf(Controls[I])->BoundsRect(), Grown(Controls[I]->BoundsRect(), 2)) << Controls[I]->Name();
    }
    ProcessMessages();
  }
}

TEST_F(Arrangement, CenterInWindowUsesTheParentsOuterSize) {
  // Panel1 is 200 x 150: Round(74.5) = 74 and Round(63) = 63.
  Inner->SetBounds(3, 4, 51, 24);
  ProcessMessages();
  SelectInOrder({Inner});
  Manager->SetSelCtrlDesignAligment(asCenterInWindow, asCenterInWindow);
  EXPECT_EQ(Inner->BoundsRect(), (TRect{74, 63, 125, 87}));
}

TEST_F(Arrangement, AlignmentWithoutAControlInTheSelectionDoesNothing) {
  auto* Timer = new TComponent(Stage);
  Timer->SetName("Timer1");
  ProcessMessages();
  Manager->SelectedComps()->Clear();
  Manager->SelectedComps()->Add(Timer);
  const TRect Before = Button1->BoundsRect();
  Manager->SetSelCtrlDesignAligment(asCenterInWindow, asSpaceEqual);
  Manager->SetSelCtrlDesignSize(ssCustom, ssCustom, 10, 10);
  EXPECT_EQ(Button1->BoundsRect(), Before);
}

// ------------------------------------------------------------ common size

struct TSizeCase {
  const char* Name;
  TVelDesignSizeStyle WidthStyle;
  TVelDesignSizeStyle HeightStyle;
  int WidthSize;
  int HeightSize;
  std::vector<TPoint> After;  // Width and Height of Button1 and Button2
};

TEST_F(Arrangement, CommonSizeArithmetic) {
  // Button1 40 x 20 and Button2 75 x 30 before each case.
  const std::vector<TSizeCase> Cases = {
      {"to smallest width", ssToSmallest, ssNoChange, -1, -1, {{40, 20}, {40, 30}}},
      {"to largest on both axes", ssToLargest, ssToLargest, -1, -1, {{75, 30}, {75, 30}}},
      {"custom", ssCustom, ssCustom, 120, 50, {{120, 50}, {120, 50}}},
      {"a custom value of -1 leaves the axis", ssCustom, ssToSmallest, -1, -1, {{40, 20}, {75, 20}}},
      {"custom zero is a size", ssCustom, ssNoChange, 0, 9, {{0, 20}, {0, 30}}},
      {"no change ignores the values", ssNoChange, ssNoChange, 120, 50, {{40, 20}, {75, 30}}},
  };
  for (const TSizeCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Button1->SetBounds(10, 10, 40, 20);
    Button2->SetBounds(120, 10, 75, 30);
    ProcessMessages();
    SelectInOrder({Button1, Button2});
    Manager->SetSelCtrlDesignSize(Case.WidthStyle, Case.HeightStyle, Case.WidthSize, Case.HeightSize);
    EXPECT_EQ(Point(Button1->Width(), Button1->Height()), Case.After[0]);
    EXPECT_EQ(Point(Button2->Width(), Button2->Height()), Case.After[1]);
    EXPECT_EQ(Point(Button1->Left(), Button1->Top()), Point(10, 10));
    ProcessMessages();
  }
}

TEST_F(Arrangement, CommonSizeRefitsWindowedSizersThroughTheirReports) {
  SelectInOrder({Button1, Button2});
  Manager->SetSelCtrlDesignSize(ssCustom, ssNoChange, 120, -1);
  ProcessMessages();
  EXPECT_EQ(SizerOf(Button1)->BoundsRect(), Grown(Button1->BoundsRect(), 2));
  EXPECT_EQ(SizerOf(Button2)->BoundsRect(), Grown(Button2->BoundsRect(), 2));
}

// ------------------------------------------------------------ scaling

TEST_F(Arrangement, ScalingTheSelectionScalesWindowedControlsOnly) {
  const TRect LabelBefore = Label1->BoundsRect();
  SelectInOrder({Inner, Label1});
  Manager->ScaleControls(150, ssSelected);
  // Half as large again; the position stays.
  EXPECT_EQ(Inner->BoundsRect(), (TRect{10, 10, 100, 46}));
  EXPECT_EQ(Label1->BoundsRect(), LabelBefore);

  // A container takes its children along.
  SelectInOrder({Panel1});
  Manager->ScaleControls(200, ssSelected);
  EXPECT_EQ(Panel1->BoundsRect(), (TRect{10, 60, 410, 360}));
  EXPECT_EQ(Inner->BoundsRect(), (TRect{20, 20, 200, 92}));
  EXPECT_EQ(Label1->Left(), LabelBefore.Left * 2);

  // A factor of 100 changes nothing.
  const TRect PanelNow = Panel1->BoundsRect();
  Manager->ScaleControls(100, ssSelected);
  Manager->ScaleControls(100, ssAll);
  EXPECT_EQ(Panel1->BoundsRect(), PanelNow);
  ProcessMessages();
  EXPECT_EQ(SizerOf(Panel1)->BoundsRect(), Grown(Panel1->BoundsRect(), 2));
}

TEST_F(Arrangement, ScalingAllScalesTheStageAndEverythingOnIt) {
  SelectInOrder({Button1});
  Manager->ScaleControls(50, ssAll);
  EXPECT_EQ(Stage->BoundsRect(), (TRect{20, 20, 270, 220}));
  EXPECT_EQ(Button1->BoundsRect(), (TRect{5, 5, 45, 17}));
  EXPECT_EQ(Inner->BoundsRect(), (TRect{5, 5, 35, 17}));
}

// ------------------------------------------------------------ refitting

TEST_F(Arrangement, EveryMoveReportRefitsSizersThatFellOutOfStep) {
  auto* Caption = Make<TLabel>("Caption", Stage, 300, 100, 50, 16);
  ProcessMessages();
  SelectInOrder({Button1, Button2, Caption});
  ProcessMessages();
  // Nothing has moved: a report changes nothing.
  Manager->CtrlMoved(Button1);
  for (TControl* C : Selected()) EXPECT_EQ(SizerOf(C)->BoundsRect(), Grown(C->BoundsRect(), 2)) << C->Name();

  // A sizer moved on its own and a label moved without a report: the next
  // report of any selected control puts both right.
  TVelSizer* S2 = SizerOf(Button2);
  S2->SetBounds(S2->Left() + 7, S2->Top(), S2->Width(), S2->Height());
  Caption->SetLeft(320);
  Button1->SetLeft(40);
  ProcessMessages();
  for (TControl* C : Selected()) EXPECT_EQ(SizerOf(C)->BoundsRect(), Grown(C->BoundsRect(), 2)) << C->Name();

  // Again with only the sizer out of step and a report of an unmoved control.
  S2->SetBounds(S2->Left() - 3, S2->Top(), S2->Width(), S2->Height());
  Manager->CtrlMoved(Button1);
  EXPECT_EQ(S2->BoundsRect(), Grown(Button2->BoundsRect(), 2));

  // A control rebound to another sizer of the list is refitted too.
  SizerOf(Caption)->SetControl(Edit1);
  ProcessMessages();
  Manager->CtrlMoved(Button1);
  EXPECT_EQ(SizerOf(Edit1)->BoundsRect(), Grown(Edit1->BoundsRect(), 2));
}

// ------------------------------------------------------------ z-order

TEST_F(Arrangement, BringToFrontInSelectionOrderWithEachSizerAboveItsControl) {
  SelectInOrder({Button2, Button1});
  Manager->BringSelCtrlsToFront();
  TVelSizer* S1 = SizerOf(Button1);
  TVelSizer* S2 = SizerOf(Button2);
  // Button2 came up first with its sizer, then Button1 with its own.
  const std::vector<TWinControl*> Order = WindowedChildren(Stage);
  ASSERT_GE(Order.size(), 4u);
  EXPECT_EQ(std::vector<TWinControl*>(Order.end() - 4, Order.end()),
            (std::vector<TWinControl*>{Button2, S2, Button1, S1}));
  // The window system agrees: the top child at Button1's place is its sizer.
  EXPECT_EQ(GetWindow(Stage->Handle(), GW_CHILD), S1->Handle());
}

TEST_F(Arrangement, SendToBackKeepsTheSizersAbove) {
  SelectInOrder({Edit1, Button2});
  Manager->SendSelCtrlsToBack();
  const std::vector<TWinControl*> Order = WindowedChildren(Stage);
  ASSERT_GE(Order.size(), 2u);
  EXPECT_EQ(Order[0], Button2);
  EXPECT_EQ(Order[1], Edit1);
  for (TWinControl* C : {static_cast<TWinControl*>(Edit1), static_cast<TWinControl*>(Button2)})
    EXPECT_GT(ZIndex(Stage, SizerOf(C)), ZIndex(Stage, C)) << C->Name();
  // The stage itself never moves in z-order.
  const std::vector<TWinControl*> FormOrder = WindowedChildren(Form);
  Manager->DeselectAll();
  Manager->SendSelCtrlsToBack();
  Manager->BringSelCtrlsToFront();
  EXPECT_EQ(WindowedChildren(Form), FormOrder);
}

// ------------------------------------------------------------ flipping

TEST_F(Arrangement, FlipSelectedMirrorsInsideEachSelectedContainer) {
  const int W = Panel1->ClientWidth();
  const TRect Button1Before = Button1->BoundsRect();
  const TRect PanelBefore = Panel1->BoundsRect();
  SelectInOrder({Button1, Panel1});
  Manager->FlipChildren(fcSelected);
  EXPECT_EQ(Inner->Left(), W - 10 - 60);
  EXPECT_EQ(Label1->Left(), W - 100 - Label1->Width());
  // The selected controls themselves stay.
  EXPECT_EQ(Panel1->BoundsRect(), PanelBefore);
  EXPECT_EQ(Button1->BoundsRect(), Button1Before);

  // A label alone is no container.
  SelectInOrder({Label1});
  const int LabelLeft = Label1->Left();
  Manager->FlipChildren(fcSelected);
  EXPECT_EQ(Label1->Left(), LabelLeft);
}

TEST_F(Arrangement, FlipAllMirrorsTheWholeStageOnEveryLevel) {
  const int W = Stage->ClientWidth();
  const int PW = Panel1->ClientWidth();
  SelectInOrder({Button1});
  Manager->FlipChildren(fcAll);
  EXPECT_EQ(Button1->Left(), W - 10 - 80);
  EXPECT_EQ(Edit1->Left(), W - 250 - Edit1->Width());
  EXPECT_EQ(Panel1->Left(), W - 10 - 200);
  EXPECT_EQ(Inner->Left(), PW - 10 - 60);
  // The sizer follows through the control's move report.
  ProcessMessages();
  EXPECT_EQ(SizerOf(Button1)->BoundsRect(), Grown(Button1->BoundsRect(), 2));
}

// ------------------------------------------------------------ select all

TEST_F(Arrangement, SelectAllTakesEveryControlTheStageOwnsNestedOnesIncluded) {
  auto* Timer = new TComponent(Stage);
  Timer->SetName("Timer1");
  ProcessMessages();
  Manager->FillSelectedComps();
  Manager->SelectAllControls();
  EXPECT_EQ(Selected(), (std::vector<TControl*>{Button1, Button2, Panel1, Inner, Label1, Edit1}));
  for (TControl* C : Selected()) EXPECT_EQ(SizerOf(C)->SizerMode(), smMulti) << C->Name();
  // Without a center the selected-component list is not refilled and the
  // stage sizer stays bound next to the new sizers.
  EXPECT_TRUE(StageSelected());
  ASSERT_EQ(Manager->SelectedComps()->Count(), 1);
  EXPECT_EQ(Manager->SelectedComps()->Items(0), Stage);

  // Again: nothing is added twice.
  Manager->SelectAllControls();
  EXPECT_EQ(Selected().size(), 6u);
}

TEST_F(Arrangement, SelectAllDoesNothingWhileNotDesigning) {
  Manager->SetIsDesigning(false);
  Manager->SelectAllControls();
  EXPECT_TRUE(Selected().empty());
}

// ------------------------------------------------------------ reports to a center

class ArrangementWithCenter : public Arrangement {
 protected:
  void SetUp() override {
    Arrangement::SetUp();
    Center = new TVelDesignCenter(Form);
    Tree = new TVelCompTreeView(Form);
    Center->SetCompTreeView(Tree);
    Center->SetDesignManager(Manager);
    Tree->OnRefresh = [this](TObject*) { ++TreeRefreshes; };
    Center->OnControlsMoved = [this](TObject*) { ++Moves; };
    Center->OnCompsChange = [this](TObject*) { ++Changes; };
    ProcessMessages();
  }
  void Reset() { TreeRefreshes = Moves = Changes = 0; }

  TVelDesignCenter* Center = nullptr;
  TVelCompTreeView* Tree = nullptr;
  int TreeRefreshes = 0;
  int Moves = 0;
  int Changes = 0;
};

TEST_F(ArrangementWithCenter, ZOrderRefreshesTheTreeOncePerSizer) {
  SelectInOrder({Button1, Button2});
  Reset();
  Manager->BringSelCtrlsToFront();
  EXPECT_EQ(TreeRefreshes, 2);
  Manager->SendSelCtrlsToBack();
  EXPECT_EQ(TreeRefreshes, 4);
  EXPECT_EQ(Moves + Changes, 0);

  // Nothing selected but the stage: no sizer, no refresh.
  Manager->DeselectAll();
  Reset();
  Manager->BringSelCtrlsToFront();
  Manager->SendSelCtrlsToBack();
  EXPECT_EQ(TreeRefreshes, 0);
}

TEST_F(ArrangementWithCenter, AlignmentReportsOneMoveAndTheOthersReportNothing) {
  SelectInOrder({Button1, Button2});
  Reset();
  Manager->SetSelCtrlDesignAligment(asLeftOrTop, asNoChange);
  EXPECT_EQ(Moves, 1);
  EXPECT_EQ(Button2->Left(), 10);
  Reset();
  Manager->SetSelCtrlDesignAligment(asNoChange, asNoChange);
  EXPECT_EQ(Moves, 1);
  Reset();
  Manager->SetSelCtrlDesignSize(ssCustom, ssCustom, 50, 50);
  Manager->ScaleControls(120, ssSelected);
  Manager->FlipChildren(fcAll);
  EXPECT_EQ(Moves + Changes + TreeRefreshes, 0);
}

TEST_F(ArrangementWithCenter, SelectAllReportsOnceWithTheWholeSelection) {
  Reset();
  Manager->SelectAllControls();
  EXPECT_EQ(Changes, 1);
  EXPECT_FALSE(StageSelected());
  const std::vector<TComponent*> Expected = {Button1, Button2, Panel1, Inner, Label1, Edit1};
  std::vector<TComponent*> Common;
  for (int I = 0; I < Center->SelCompList()->Count(); ++I) Common.push_back(Center->SelCompList()->Items(I));
  EXPECT_EQ(Common, Expected);
  ASSERT_EQ(Tree->SelectedComps()->Count(), 6);
}

TEST_F(ArrangementWithCenter, SelectAllOnAnEmptyStageStillReports) {
  auto* Empty = new TPanel(Form);
  Empty->SetParent(Form);
  Empty->SetBounds(530, 20, 100, 100);
  auto* M = new TVelDesignManager(Empty);
  M->SetIsDesigning(true);
  Center->SetDesignManager(M);
  ProcessMessages();
  Reset();
  M->SelectAllControls();
  EXPECT_EQ(Changes, 1);
  ASSERT_EQ(Center->SelCompList()->Count(), 1);
  EXPECT_EQ(Center->SelCompList()->Items(0), Empty);
  Center->SetDesignManager(nullptr);
}

}  // namespace
