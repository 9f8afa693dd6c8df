// The design center with a real design manager: enabled state and dirty state
// across both, the popup menu, deletion with a design stage, the test for the
// library's own design components, and the run-time designer on a manager.
#include <gtest/gtest.h>

#include "console/design_center.h"
#include "console/designintf_impls.h"
#include "console/popup_menu.h"
#include "console_fixture.h"
#include "designer/manager.h"
#include "designer/sizer.h"
#include "designer/stage.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/stdctrls.h"

using namespace platform;
using namespace vel;

namespace {

using Components = std::vector<TComponent*>;

class TEditTarget : public TComponent {
  VEL_CLASS(TEditTarget, TComponent)
  using TComponent::TComponent;
};
VEL_IMPLEMENT_CLASS(TEditTarget, "Tests");

// The components the editor below was run on, and whether it had a designer.
std::vector<std::pair<TComponent*, bool>>& Edited() {
  static std::vector<std::pair<TComponent*, bool>> Log;
  return Log;
}

class TEditRecorder : public TComponentEditor {
  VEL_CLASS(TEditRecorder, TComponentEditor)
  using TComponentEditor::TComponentEditor;
  void Edit() override { Edited().emplace_back(Component(), Designer() != nullptr); }
};
VEL_IMPLEMENT_CLASS(TEditRecorder, "Tests");

class CenterWithManager : public ConsoleFixture {
 protected:
  void SetUp() override {
    ConsoleFixture::SetUp();
    Stage = Named<TPanel>(Form, "Stage1", Form);
    Stage->SetBounds(10, 10, 300, 200);
    Manager = new TVelDesignManager(Form);
    Manager->SetDesignStage(Stage);
    Manager->SetIsDesigning(true);
  }
  TPanel* Stage = nullptr;
  TVelDesignManager* Manager = nullptr;
};

TEST_F(CenterWithManager, AttachingHandsTheManagerTheCenter) {
  Center->SetDesignManager(Manager);
  EXPECT_EQ(Center->DesignManager(), Manager);
  EXPECT_EQ(Manager->ConsoleCenter(), Center);
  EXPECT_EQ(Center->GetDesignStage(), Stage);
  Center->SetDesignManager(nullptr);
  EXPECT_EQ(Manager->ConsoleCenter(), nullptr);
  EXPECT_EQ(Center->GetDesignStage(), nullptr);
}

TEST_F(CenterWithManager, PersistEnabledDecidesWhichSideWinsOnAttaching) {
  const struct {
    bool Persist, CenterEnabled, ManagerEnabled, Expected;
  } Cases[] = {
      {true, false, true, false},
      {true, true, false, true},
      {false, false, true, true},
      {false, true, false, false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Persist << C.CenterEnabled << C.ManagerEnabled);
    Center->SetDesignManager(nullptr);
    Center->SetPersistEnabled(C.Persist);
    Center->SetEnabled(C.CenterEnabled);
    Manager->SetEnabled(C.ManagerEnabled);
    Center->SetDesignManager(Manager);
    EXPECT_EQ(Center->Enabled(), C.Expected);
    EXPECT_EQ(Manager->Enabled(), C.Expected);
  }
  // Once attached, writing the center's Enabled reaches the manager.
  Center->SetEnabled(false);
  EXPECT_FALSE(Manager->Enabled());
  Center->SetEnabled(true);
  EXPECT_TRUE(Manager->Enabled());
}

TEST_F(CenterWithManager, ADestroyedManagerIsForgotten) {
  Center->SetDesignManager(Manager);
  delete Manager;
  EXPECT_EQ(Center->DesignManager(), nullptr);
  EXPECT_EQ(Center->GetDesignStage(), nullptr);
  Center->Refresh();
  Center->SetDirty(true);
}

TEST_F(CenterWithManager, ADestroyedCenterIsForgottenByTheManager) {
  Center->SetDesignManager(Manager);
  delete Center;
  EXPECT_EQ(Manager->ConsoleCenter(), nullptr);
}

TEST_F(CenterWithManager, TheManagersDirtyFlagCountsAndIsSet) {
  Center->SetDesignManager(Manager);
  Center->SetObjInspector(Inspector);
  Manager->SetDirty(false);
  Inspector->SetDirty(false);
  EXPECT_FALSE(Center->Dirty());
  Manager->SetDirty(true);
  EXPECT_TRUE(Center->Dirty());
  Center->SetDirty(false);
  EXPECT_FALSE(Manager->Dirty());
  EXPECT_FALSE(Center->Dirty());
  Center->SetDirty(true);
  EXPECT_TRUE(Manager->Dirty());
  EXPECT_TRUE(Inspector->Dirty());
}

TEST_F(CenterWithManager, StageMouseMoveIsTheManagersHandler) {
  Center->SetDesignManager(Manager);
  int Calls = 0;
  Center->SetOnStageMouseMove([&](TObject*, TShiftState, int, int) { ++Calls; });
  ASSERT_TRUE(Manager->OnStageMouseMove);
  Manager->OnStageMouseMove(Stage, TShiftState{}, 1, 2);
  EXPECT_EQ(Calls, 1);
  EXPECT_TRUE(Center->OnStageMouseMove());
}

TEST_F(CenterWithManager, ThePopupMenuIsInstalledOnTheManagerAndTheTreeView) {
  auto* Menu = new TVelDesignCompPopupMenu(Form);
  Center->SetCompTreeView(Tree);
  Center->SetDesignManager(Manager);
  Center->SetDesignPopupMenu(Menu);
  EXPECT_EQ(Manager->DesignPopupMenu(), Menu);
  EXPECT_EQ(Tree->PopupMenu(), Menu);
  Center->SetDesignPopupMenu(nullptr);
  EXPECT_EQ(Manager->DesignPopupMenu(), nullptr);
  EXPECT_EQ(Tree->PopupMenu(), nullptr);
}

TEST_F(CenterWithManager, AttachingTheManagerShowsTheStageInTheInspector) {
  Center->SetObjInspector(Inspector);
  Center->SetDesignManager(Manager);
  EXPECT_EQ(Items(Inspector->ActiveComponents()), Components{Stage});
}

TEST_F(CenterWithManager, DeletingNeverDestroysTheStageAndLeavesItSelected) {
  Center->SetDesignManager(Manager);
  Center->SetObjInspector(Inspector);
  for (bool WithStage : {true, false}) {
    SCOPED_TRACE(WithStage);
    auto* Button = Named<TButton>(Stage, "Button1", Stage);
    auto* Panel = Named<TPanel>(Stage, "Panel1", Stage);
    auto* Child = Named<TButton>(Stage, "Child1", Panel);
    if (WithStage)
      Fill(Center->SelCompList(), {Child, Stage, Button, Panel});
    else
      Fill(Center->SelCompList(), {Child, Button, Panel});
    Center->DelSelCtrls();
    EXPECT_EQ(Stage->FindComponent("Button1"), nullptr);
    EXPECT_EQ(Stage->FindComponent("Panel1"), nullptr);
    EXPECT_EQ(Stage->FindComponent("Child1"), nullptr);
    EXPECT_EQ(Items(Center->SelCompList()), Components{Stage});
    EXPECT_EQ(Items(Inspector->ActiveComponents()), Components{Stage});
  }
}

TEST_F(CenterWithManager, TheCommonSelectionReachesTheManager) {
  Center->SetDesignManager(Manager);
  auto* Button = Named<TButton>(Stage, "Button1", Stage);
  Fill(Center->SelCompList(), {Button});
  Center->ConsoleCompListChanged();
  EXPECT_EQ(Items(Manager->SelectedComps()), Components{Button});
  // And the manager's selection comes back through the relay.
  Center->SelCompList()->Clear();
  Center->DesignerSelCompChanged();
  EXPECT_EQ(Items(Center->SelCompList()), Components{Button});
}

TEST_F(CenterWithManager, IsVelDesignCtrlKnowsTheLibrarysOwnDesignComponents) {
  auto* Sizer = new TVelSizer(Form);
  auto* StageSizer = new TVelStageSizer(Form);
  auto* Band = new TVelRubberBand(Form);
  auto* Menu = new TVelDesignCompPopupMenu(Form);
  auto* MenuEx = new TVelDesignCompPopupMenuEx(Form);
  auto* PlainMenu = new TPopupMenu(Form);
  auto* Button = Named<TButton>(Stage, "Button1", Stage);
  const std::pair<TComponent*, bool> Cases[] = {
      {Sizer, true},      {StageSizer, true}, {Band, true},   {Manager, true},    {Center, true},
      {Menu, true},       {MenuEx, true},     {Tree, true},   {Inspector, false}, {Pallete, false},
      {PlainMenu, false}, {Button, false},    {Stage, false}, {Form, false},
  };
  for (const auto& [Component, Expected] : Cases)
    EXPECT_EQ(IsVelDesignCtrl(Component), Expected) << Component->ClassName();
}

class DesignerOnManager : public CenterWithManager {
 protected:
  void SetUp() override {
    CenterWithManager::SetUp();
    Center->SetDesignManager(Manager);
    Designer = TInterfaceRef<IVelFormDesigner>(new TVelFormDesigner(Manager));
  }
  TInterfaceRef<IVelFormDesigner> Designer;
};

TEST_F(DesignerOnManager, CreatesAComponentOnTheStageUnderTheNextFreeName) {
  Named<TButton>(Stage, "Button1", Stage);
  TComponent* C = Designer->CreateComponent(TButton::StaticClass(), nullptr, 10, 20, 75, 25);
  auto* Button = dynamic_cast<TButton*>(C);
  ASSERT_NE(Button, nullptr);
  EXPECT_EQ(Button->Name(), "Button2");
  EXPECT_EQ(Button->Owner(), Stage);
  EXPECT_EQ(Button->Parent(), Stage);
  EXPECT_EQ(Button->BoundsRect(), (TRect{10, 20, 85, 45}));
  EXPECT_TRUE(Button->Visible());
  EXPECT_EQ(Designer->GetComponent("Button2"), Button);
}

TEST_F(DesignerOnManager, AnotherParentOnlyBecomesTheOwner) {
  auto* Holder = Named<TPanel>(Stage, "Panel1", Stage);
  TComponent* C = Designer->CreateComponent(TLabel::StaticClass(), Holder, 1, 2, 30, 12);
  auto* Label = dynamic_cast<TLabel*>(C);
  ASSERT_NE(Label, nullptr);
  EXPECT_EQ(Label->Owner(), Holder);
  EXPECT_EQ(Label->Parent(), Stage);
  EXPECT_EQ(Label->Name(), "Label1");
}

TEST_F(DesignerOnManager, RootAndSelectedComponentComeFromTheManagersSelection) {
  auto* A = Named<TButton>(Stage, "Button1", Stage);
  auto* B = Named<TButton>(Stage, "Button2", Stage);
  TComponentList List(false);
  Fill(&List, {A, B});
  Manager->SetSelectedComps(&List);
  ASSERT_EQ(Items(Manager->SelectedComps()), (Components{A, B}));
  EXPECT_EQ(Designer->GetRoot(), A);
  EXPECT_EQ(Designer->GetRootClassName(), "TButton");
  EXPECT_EQ(Designer->GetSelectedComponent(), nullptr);
  auto* Selections = new TDesignerSelections();
  TInterfaceRef<IDesignerSelections> Sel(Selections);
  Designer->GetSelections(Sel.Get());
  ASSERT_EQ(Sel->Count(), 2);
  EXPECT_EQ(Sel->Get(0), A);
  EXPECT_EQ(Sel->Get(1), B);
  // With two selected controls embedded editing does not start.
  Designer->StartControlEmbedEdit();
  EXPECT_FALSE(Manager->EmbedEditing());
  Fill(&List, {B});
  Manager->SetSelectedComps(&List);
  EXPECT_EQ(Designer->GetSelectedComponent(), B);
  // Clearing the selection leaves the stage selected and every component in place.
  Designer->NoSelection();
  EXPECT_EQ(Items(Manager->SelectedComps()), Components{Stage});
  EXPECT_EQ(Stage->FindComponent("Button2"), B);
}

TEST_F(DesignerOnManager, EditRunsTheComponentEditorOfTheFirstSelectedComponent) {
  static const bool Registered =
      (RegisterComponentEditor(TEditTarget::StaticClass(), ComponentEditorClass<TEditRecorder>()), true);
  (void)Registered;
  Edited().clear();
  auto* Target = Named<TEditTarget>(Stage, "Target1");
  TComponentList List(false);
  Fill(&List, {Target});
  Manager->SetSelectedComps(&List);
  Designer->Edit(nullptr);  // the argument is not used
  ASSERT_EQ(Edited().size(), 1u);
  EXPECT_EQ(Edited()[0].first, Target);
  EXPECT_TRUE(Edited()[0].second);
}

TEST_F(DesignerOnManager, DeleteSelectionDeletesTheCentersSelectionExceptTheStage) {
  auto* A = Named<TButton>(Stage, "Button1", Stage);
  Fill(Center->SelCompList(), {A, Stage});
  Designer->DeleteSelection(false);
  EXPECT_EQ(Stage->FindComponent("Button1"), nullptr);
  EXPECT_EQ(Items(Center->SelCompList()), Components{Stage});
}

TEST_F(DesignerOnManager, SelectComponentReplacesTheCentersSelectionQuietly) {
  auto* A = Named<TButton>(Stage, "Button1", Stage);
  auto* B = Named<TButton>(Stage, "Button2", Stage);
  Fill(Center->SelCompList(), {A});
  Designer->SelectComponent(B);
  EXPECT_EQ(Items(Center->SelCompList()), Components{B});
  Designer->SelectComponent(nullptr);
  EXPECT_EQ(Items(Center->SelCompList()), Components{});
}

}  // namespace
