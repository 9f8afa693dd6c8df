// The design surface with a design center and a palette attached: selection
// reports and palette insertion through real clicks.
#include "console/design_center.h"
#include "designer/surface_fixture.h"
#include "palette/comp_tree_view.h"
#include "palette/pallete_tool_bar.h"

using namespace platform;
using namespace vel;

namespace {

// A control class whose instances start 0 by 0.
class TZeroControl : public TCustomControl {
  VEL_CLASS(TZeroControl, TCustomControl)
  using TCustomControl::TCustomControl;
};

// A component without a place on the screen.
class TPlainComponent : public TComponent {
  VEL_CLASS(TPlainComponent, TComponent)
  using TComponent::TComponent;
};

VEL_IMPLEMENT_CLASS(TZeroControl, "Tests");
VEL_IMPLEMENT_CLASS(TPlainComponent, "Tests");

class WithCenter : public SurfaceFixture {
 protected:
  TVelDesignCenter* Center = nullptr;
  TVelCompPalleteToolBar* Palette = nullptr;
  int Changes = 0;
  std::vector<TComponent*> Inserted;

  void SetUp() override {
    SurfaceFixture::SetUp();
    Manager->SetIsDesigning(false);
    Center = new TVelDesignCenter(Form);
    Palette = new TVelCompPalleteToolBar(Form);
    Center->SetCompPalleteToolBar(Palette);
    Center->SetDesignManager(Manager);
    Center->OnCompsChange = [this](TObject*) { ++Changes; };
    Center->AfterDynInsComponent = [this](TObject*, TComponent* C) { Inserted.push_back(C); };
    Changes = 0;
    Manager->SetIsDesigning(true);
    ProcessMessages();
  }

  std::vector<TComponent*> CenterSelection() const {
    std::vector<TComponent*> R;
    for (int I = 0; I < Center->SelCompList()->Count(); ++I) R.push_back(Center->SelCompList()->Items(I));
    return R;
  }
};

TEST_F(WithCenter, DesigningStartsWithTheStageSelectedAndReportedOnce) {
  EXPECT_EQ(Changes, 1);
  ASSERT_EQ(Manager->SelectedComps()->Count(), 1);
  EXPECT_EQ(Manager->SelectedComps()->Items(0), Stage);
  EXPECT_EQ(CenterSelection(), (std::vector<TComponent*>{Stage}));
}

TEST_F(WithCenter, ClicksAndAreasReachTheCentersSelection) {
  ClickAt(At(Button1, 5, 5));
  EXPECT_EQ(CenterSelection(), (std::vector<TComponent*>{Button1}));
  // Filling the list deselects the stage whenever controls are selected.
  EXPECT_FALSE(StageSelected());
  const int Before = Changes;
  Drag(At(Stage, 5, 5), At(Stage, 130, 40), 2);
  EXPECT_EQ(Changes - Before, 2);  // the click on the stage, then the area, once
  EXPECT_EQ(CenterSelection(), (std::vector<TComponent*>{Button1, Button2}));
}

TEST_F(WithCenter, PaletteClickOnAPanelCreatesTheControlThere) {
  // With a tree view attached, the center makes a newcomer the selection everywhere.
  Center->SetCompTreeView(new TVelCompTreeView(Form));
  Palette->SetCurrClass(TButton::StaticClass());
  ASSERT_TRUE(Manager->GetIsDynInsComp());
  std::vector<TComponent*> ManagerSaw;
  Manager->OnDynInsComponent = [&](TObject* Sender, TComponent* C) {
    EXPECT_EQ(Sender, Manager);
    ManagerSaw.push_back(C);
  };
  ResultRecorder OnPanel(Panel1->Handle());
  ClickAt(At(Panel1, 120, 90));
  ASSERT_EQ(Inserted.size(), 1u);
  auto* B = dynamic_cast<TButton*>(Inserted[0]);
  ASSERT_NE(B, nullptr);
  EXPECT_EQ(ManagerSaw, Inserted);
  EXPECT_EQ(OnPanel.Of(WM_LBUTTONDOWN)[0].Result, 301);
  EXPECT_EQ(B->Name(), "Button3");
  EXPECT_EQ(B->Owner(), Stage);
  EXPECT_EQ(B->Parent(), Panel1);
  EXPECT_EQ(B->Left(), 120);
  EXPECT_EQ(B->Top(), 90);
  EXPECT_GE(Manager->DesignProxies()->GetControlIndex(B), 0);
  EXPECT_TRUE(Manager->Dirty());
  // The palette is back to no class, and the newcomer is the selection.
  EXPECT_EQ(Palette->GetCurrClass(), nullptr);
  EXPECT_EQ(Selected(), (std::vector<TControl*>{B}));
  EXPECT_EQ(CenterSelection(), (std::vector<TComponent*>{B}));
}

TEST_F(WithCenter, PaletteClickOnAButtonGoesThroughToTheStage) {
  ClickAt(At(Button1, 5, 5));
  Palette->SetCurrClass(TButton::StaticClass());
  // Both the sizer over Button1 and Button1 itself let the click through.
  ClickAt(At(Button1, 30, 12));
  ASSERT_EQ(Inserted.size(), 1u);
  auto* B = static_cast<TControl*>(Inserted[0]);
  EXPECT_EQ(B->Parent(), Stage);
  EXPECT_EQ(B->Left(), 40);
  EXPECT_EQ(B->Top(), 22);
}

TEST_F(WithCenter, PaletteControlOfNoSizeGetsFiftyByFifty) {
  Palette->SetCurrClass(TZeroControl::StaticClass());
  ClickAt(At(Stage, 300, 300));
  ASSERT_EQ(Inserted.size(), 1u);
  auto* Z = static_cast<TControl*>(Inserted[0]);
  EXPECT_EQ(Z->BoundsRect(), (TRect{300, 300, 350, 350}));
  EXPECT_EQ(Z->Name(), "ZeroControl1");
}

TEST_F(WithCenter, PaletteComponentWithoutAPlaceIsNamedButNotSelected) {
  ClickAt(At(Button1, 5, 5));
  Palette->SetCurrClass(TPlainComponent::StaticClass());
  ClickAt(At(Stage, 300, 300));
  ASSERT_EQ(Inserted.size(), 1u);
  EXPECT_EQ(Inserted[0]->Owner(), Stage);
  EXPECT_EQ(Inserted[0]->Name(), "PlainComponent1");
  for (TControl* C : Selected()) EXPECT_NE(static_cast<TComponent*>(C), Inserted[0]);
}

TEST_F(WithCenter, PaletteInsertionWaitsWhileEditingInPlace) {
  ClickAt(At(Edit1, 5, 5));
  Manager->StartEmbedEdit();
  Palette->SetCurrClass(TButton::StaticClass());
  ClickAt(At(Panel1, 120, 90));
  EXPECT_TRUE(Inserted.empty());
  Manager->EndEmbedEdit();
}

TEST_F(WithCenter, DeleteKeyDeletesTheCentersSelection) {
  ClickAt(At(Button1, 5, 5));
  KeyDown(VK_SHIFT);
  ClickAt(At(Label1, 3, 3));
  KeyUp(VK_SHIFT);
  TComponentList Watch(false);
  Watch.Add(Button1);
  Watch.Add(Label1);
  Stroke(VK_DELETE);
  EXPECT_EQ(Watch.Count(), 0);
  EXPECT_TRUE(Selected().empty());
  // The stage itself is never deleted.
  EXPECT_EQ(Manager->DesignStage(), Stage);
}

}  // namespace
