// The run-time designer without a design manager: names and lookups through
// its own stage, the constant answers, and the operations that need a
// manager doing nothing.
#include "console/designintf_impls.h"

#include <gtest/gtest.h>

#include "console/VelDesignIntfImpls.h"
#include "platform/controls/stdctrls.h"
#include "support/window_fixture.h"

using namespace platform;
using namespace vel;

namespace {

class FormDesigner : public WindowFixture {
 protected:
  void SetUp() override {
    Stage = NewForm(300, 200);
    Stage->SetName("Form1");
    Button = new TButton(Stage);
    Button->SetName("Button1");
    Button->SetParent(Stage);
    Other = NewForm(100, 100);
    Other->SetName("Form2");
    Edit = new TEdit(Other);
    Edit->SetName("Edit1");
    NonVisual = new TComponent(Stage);
    NonVisual->SetName("Data1");
    Designer = new TVelFormDesigner(nullptr);
    Ref = TInterfaceRef<IDesigner>(Designer);
  }

  TForm* Stage = nullptr;
  TButton* Button = nullptr;
  TForm* Other = nullptr;
  TEdit* Edit = nullptr;
  TComponent* NonVisual = nullptr;
  TVelFormDesigner* Designer = nullptr;
  TInterfaceRef<IDesigner> Ref;
};

TEST_F(FormDesigner, IsReferenceCountedAndOffersItsOwnInterface) {
  EXPECT_EQ(Designer->RefCount(), 1);
  auto* Vel = dynamic_cast<IVelFormDesigner*>(Ref.Get());
  ASSERT_NE(Vel, nullptr);
  {
    TInterfaceRef<IVelFormDesigner> Second(Vel);
    EXPECT_EQ(Designer->RefCount(), 2);
  }
  EXPECT_EQ(Designer->RefCount(), 1);
  EXPECT_EQ(Designer->Designer(), nullptr);
}

TEST_F(FormDesigner, LooksUpAndNamesComponentsThroughItsStage) {
  Designer->SetDesignStage(Stage);
  EXPECT_EQ(Designer->GetDesignStage(), Stage);
  const std::pair<const char*, TComponent*> Lookups[] = {
      {"Button1", Button}, {"BUTTON1", Button}, {"Form2.Edit1", Edit},
      {"Edit1", nullptr},  {"", nullptr},       {"Nowhere", nullptr},
  };
  for (const auto& [Name, Expected] : Lookups) {
    EXPECT_EQ(Ref->GetComponent(Name), Expected) << Name;
    EXPECT_EQ(Ref->GetObject(Name), Expected) << Name;
  }
  EXPECT_EQ(Ref->GetComponentName(Button), "Button1");
  EXPECT_EQ(Ref->GetComponentName(Edit), "Form2.Edit1");
  EXPECT_EQ(Ref->GetComponentName(nullptr), "");
  EXPECT_EQ(Ref->GetObjectName(Button), "");
  EXPECT_EQ(Ref->UniqueName("Button"), "Button2");
  EXPECT_EQ(Ref->UniqueName("Label"), "Label1");
}

TEST_F(FormDesigner, WithoutAStageNamesAreLookedUpAmongTheApplicationsComponents) {
  EXPECT_EQ(Designer->GetDesignStage(), nullptr);
  EXPECT_EQ(Ref->GetComponent("Form2"), Other);
  EXPECT_EQ(Ref->GetComponent("Form1.Button1"), Button);
  EXPECT_EQ(Ref->GetComponent("Button1"), nullptr);
  EXPECT_EQ(Ref->UniqueName("Button"), "Button1");
}

TEST_F(FormDesigner, ForgetsADestroyedStage) {
  Designer->SetDesignStage(Stage);
  delete Stage;
  EXPECT_EQ(Designer->GetDesignStage(), nullptr);
  EXPECT_EQ(Ref->GetComponent("Button1"), nullptr);
}

TEST_F(FormDesigner, ConstantAnswers) {
  EXPECT_TRUE(Ref->GetIsDormant());
  EXPECT_TRUE(Ref->CanPaste());
  EXPECT_FALSE(Ref->IsSourceReadOnly());
  EXPECT_FALSE(Ref->MethodExists("Button1Click"));
  EXPECT_FALSE(Ref->MethodFromAncestor(TMethod{}));
  EXPECT_FALSE(Ref->GetAncestorDesigner());
  EXPECT_EQ(Ref->GetIDEOptions(), nullptr);
  EXPECT_EQ(Ref->GetPrivateDirectory(), "");
  EXPECT_EQ(Ref->GetBaseRegKey(), "");
  EXPECT_EQ(Ref->GetMethodName(TMethod{}), "");
  EXPECT_FALSE(Ref->CreateMethod("Button1Click", nullptr));
  EXPECT_EQ(Ref->GetPathAndBaseExeName(), Application()->ExeName());
  EXPECT_EQ(Ref->GetScrollRanges(TPoint{5, 7}), (TPoint{0, 0}));
  EXPECT_TRUE(Ref->GetShiftState().Empty());
  EXPECT_EQ(Ref->ModalEdit('a', nullptr), mrNone);
  EXPECT_EQ(Ref->GetActiveClassGroup(), nullptr);
  EXPECT_EQ(Ref->FindRootAncestor("TForm1"), nullptr);
  EXPECT_EQ(Ref->CreateCurrentComponent(Stage, TRect{0, 0, 10, 10}), nullptr);
  EXPECT_TRUE(Ref->IsComponentLinkable(Button));
}

TEST_F(FormDesigner, OnlyControlsAreHidden) {
  EXPECT_TRUE(Ref->IsComponentHidden(Button));
  EXPECT_TRUE(Ref->IsComponentHidden(Stage));
  EXPECT_FALSE(Ref->IsComponentHidden(NonVisual));
  EXPECT_FALSE(Ref->IsComponentHidden(nullptr));
}

TEST_F(FormDesigner, CallbacksAreNeverCalledAndOutParametersStay) {
  int Calls = 0;
  const TGetStrProc Count = [&](const std::string&) { ++Calls; };
  Ref->GetMethods(nullptr, Count);
  Ref->GetComponentNames(nullptr, Count);
  Ref->GetObjectNames(nullptr, Count);
  Ref->GetProjectModules([&](const std::string&) { ++Calls; });
  EXPECT_EQ(Calls, 0);
  std::string Impl = "a", Intf = "b", FormFile = "c";
  Ref->ModuleFileNames(Impl, Intf, FormFile);
  EXPECT_EQ(Impl + Intf + FormFile, "abc");
}

TEST_F(FormDesigner, WithoutAManagerSelectionAndCreationDoNothing) {
  Designer->SetDesignStage(Stage);
  auto* Selections = new TDesignerSelections();
  TInterfaceRef<IDesignerSelections> List(Selections);
  Ref->GetSelections(List.Get());
  EXPECT_EQ(List->Count(), 0);
  EXPECT_EQ(Ref->GetRoot(), nullptr);
  EXPECT_EQ(Ref->GetRootClassName(), "");
  EXPECT_EQ(Designer->GetSelectedComponent(), nullptr);
  EXPECT_EQ(Ref->CreateComponent(TButton::StaticClass(), Stage, 1, 2, 3, 4), nullptr);
  const int Count = Stage->ComponentCount();
  Ref->SelectComponent(Button);
  Ref->DeleteSelection(true);
  Ref->CutSelection();
  Ref->ClearSelection();
  Ref->NoSelection();
  Ref->PasteSelection();
  Ref->Edit(Button);
  Designer->StartControlEmbedEdit();
  Designer->EndControlEmbedEdit();
  EXPECT_EQ(Stage->ComponentCount(), Count);
  EXPECT_EQ(Stage->FindComponent("Button1"), Button);
}

}  // namespace
