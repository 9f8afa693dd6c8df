// The design center without a design manager: attaching and detaching the
// inspector, the tree view, the palette and the popup menu, the relays among
// them, the common selection and its commands, and the dirty state.
#include "console/design_center.h"

#include <gtest/gtest.h>

#include "console/VelDesignConsole.h"
#include "console/popup_menu.h"
#include "console_fixture.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/stdctrls.h"
#include "platform/rtl/stream.h"

using namespace platform;
using namespace vel;

namespace {

using Strings = std::vector<std::string>;
using Components = std::vector<TComponent*>;

class DesignCenter : public ConsoleFixture {};

TEST_F(DesignCenter, StartsEmptyAndEnabled) {
  EXPECT_EQ(Center->DesignManager(), nullptr);
  EXPECT_EQ(Center->ObjInspector(), nullptr);
  EXPECT_EQ(Center->CompTreeView(), nullptr);
  EXPECT_EQ(Center->CompPalleteToolBar(), nullptr);
  EXPECT_EQ(Center->DesignPopupMenu(), nullptr);
  ASSERT_NE(Center->SelCompList(), nullptr);
  EXPECT_EQ(Center->SelCompList()->Count(), 0);
  EXPECT_TRUE(Center->Enabled());
  EXPECT_TRUE(Center->PersistEnabled());
  EXPECT_EQ(Center->ClipPasteLeftOffset(), 4);
  EXPECT_EQ(Center->ClipPasteTopOffset(), 4);
  EXPECT_FALSE(Center->Dirty());
  EXPECT_EQ(Center->GetDesignStage(), nullptr);
  EXPECT_EQ(Center->GetPalleteSelectedClass(), nullptr);
}

TEST_F(DesignCenter, AttachingAnElementHandsItTheCenterAndRefreshesTheOthers) {
  Center->SetCompTreeView(Tree);
  EXPECT_EQ(Tree->ConsoleCenter(), Center);
  EXPECT_EQ(Log, Strings{});  // the tree view alone: nothing else to refresh
  Center->SetObjInspector(Inspector);
  EXPECT_EQ(Inspector->ConsoleCenter(), Center);
  EXPECT_EQ(Log, Strings{"tree.refresh"});
  Log.clear();
  // The element already attached: nothing happens.
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  EXPECT_EQ(Log, Strings{});
  // Re-attaching the tree view refreshes the inspector.
  Center->SetCompTreeView(nullptr);
  EXPECT_EQ(Tree->ConsoleCenter(), nullptr);
  Center->SetCompTreeView(Tree);
  EXPECT_EQ(Log, Strings{"inspector.refresh"});
}

TEST_F(DesignCenter, ReplacingAnElementDetachesTheOldOne) {
  auto* Other = new TWynObjInspector(Form);
  auto* OtherTree = new TVelCompTreeView(Form);
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  Center->SetObjInspector(Other);
  Center->SetCompTreeView(OtherTree);
  EXPECT_EQ(Inspector->ConsoleCenter(), nullptr);
  EXPECT_EQ(Tree->ConsoleCenter(), nullptr);
  EXPECT_EQ(Other->ConsoleCenter(), Center);
  EXPECT_EQ(OtherTree->ConsoleCenter(), Center);
  // A detached element no longer counts for the dirty state.
  Inspector->SetDirty(true);
  EXPECT_FALSE(Center->Dirty());
}

TEST_F(DesignCenter, TheCenterForgetsEveryDestroyedElement) {
  auto* Menu = new TVelDesignCompPopupMenu(Form);
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  Center->SetCompPalleteToolBar(Pallete);
  Center->SetDesignPopupMenu(Menu);
  delete Inspector;
  EXPECT_EQ(Center->ObjInspector(), nullptr);
  delete Tree;
  EXPECT_EQ(Center->CompTreeView(), nullptr);
  delete Pallete;
  EXPECT_EQ(Center->CompPalleteToolBar(), nullptr);
  delete Menu;
  EXPECT_EQ(Center->DesignPopupMenu(), nullptr);
  // The center goes on working with nothing attached.
  Center->Refresh();
  Center->DesignerSelCompChanged();
  Center->DynCompCreated(nullptr);
  EXPECT_EQ(Center->GetPalleteSelectedClass(), nullptr);
  EXPECT_FALSE(Center->Dirty());
}

TEST_F(DesignCenter, ElementsForgetADestroyedCenter) {
  auto* Menu = new TVelDesignCompPopupMenu(Form);
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  Center->SetDesignPopupMenu(Menu);
  delete Center;
  EXPECT_EQ(Inspector->ConsoleCenter(), nullptr);
  EXPECT_EQ(Tree->ConsoleCenter(), nullptr);
  EXPECT_EQ(Menu->ConsoleCenter(), nullptr);
  EXPECT_EQ(Menu->GetSelComps(), nullptr);
}

TEST_F(DesignCenter, DestroyingTheCommonOwnerTearsEverythingDown) {
  auto* Menu = new TVelDesignCompPopupMenu(Form);
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  Center->SetCompPalleteToolBar(Pallete);
  Center->SetDesignPopupMenu(Menu);
  Center->SelCompList()->Add(Named(Form, "Comp1"));
  delete Form;  // under the sanitizers: no use of a destroyed element, no leak
}

TEST_F(DesignCenter, TheSelectionDropsDestroyedComponents) {
  auto* A = Named(Form, "A1");
  auto* B = Named(Form, "B1");
  Fill(Center->SelCompList(), {A, B});
  delete A;
  EXPECT_EQ(Items(Center->SelCompList()), Components{B});
}

TEST_F(DesignCenter, SetSelCompListCopiesWithoutTellingAnybody) {
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  Log.clear();
  TComponentList List(false);
  auto* A = Named(Form, "A1");
  Fill(&List, {A});
  Center->SetSelCompList(&List);
  EXPECT_EQ(Items(Center->SelCompList()), Components{A});
  EXPECT_NE(Center->SelCompList(), &List);
  EXPECT_EQ(Log, Strings{});
  Center->SetSelCompList(nullptr);
  EXPECT_EQ(Items(Center->SelCompList()), Components{});
}

TEST_F(DesignCenter, DirtyIsTheOrOfTheAttachedElementsAndSettingItSetsThemAll) {
  Center->SetDirty(true);  // nothing attached: nothing to be dirty
  EXPECT_FALSE(Center->Dirty());
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  const struct {
    bool InspectorDirty, TreeDirty, Expected;
  } Cases[] = {{false, false, false}, {true, false, true}, {false, true, true}, {true, true, true}};
  for (const auto& C : Cases) {
    Inspector->SetDirty(C.InspectorDirty);
    Tree->SetDirty(C.TreeDirty);
    EXPECT_EQ(Center->Dirty(), C.Expected) << C.InspectorDirty << C.TreeDirty;
  }
  Center->SetDirty(false);
  EXPECT_FALSE(Inspector->Dirty());
  EXPECT_FALSE(Tree->Dirty());
  EXPECT_FALSE(Center->Dirty());
  Center->SetDirty(true);
  EXPECT_TRUE(Inspector->Dirty());
  EXPECT_TRUE(Tree->Dirty());
}

TEST_F(DesignCenter, RefreshHandsTheSelectionToEachElementThenRefreshesIt) {
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  auto* A = Named(Form, "A1");
  Fill(Center->SelCompList(), {A});
  Log.clear();
  Center->Refresh();
  EXPECT_EQ(Log, (Strings{"tree.select", "tree.refresh", "inspector.active", "inspector.refresh"}));
  EXPECT_EQ(Items(Tree->SelectedComps()), Components{A});
  EXPECT_EQ(Items(Inspector->ActiveComponents()), Components{A});
}

TEST_F(DesignCenter, RefreshAllExceptLeavesOutTheNamedElements) {
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  const std::pair<TDesignElements, Strings> Cases[] = {
      {{}, {"tree.refresh", "inspector.refresh"}},
      {{deCompTreeView}, {"inspector.refresh"}},
      {{deObjInspector}, {"tree.refresh"}},
      {{deObjInspector, deCompTreeView, deDesignManager}, {}},
  };
  for (const auto& [Except, Expected] : Cases) {
    Log.clear();
    Center->RefreshAllExcept(Except);
    EXPECT_EQ(Log, Expected);
  }
}

TEST_F(DesignCenter, StageSelectionChangeReachesInspectorAndTreeBeforeTheEvent) {
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  auto* A = Named(Form, "A1");
  Fill(Center->SelCompList(), {A});
  Log.clear();
  Center->OnCompsChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Center);
    Log.push_back("OnCompsChange");
  };
  Center->DesignerSelCompChanged();
  EXPECT_EQ(Log, (Strings{"inspector.active", "tree.select", "OnCompsChange"}));
  EXPECT_EQ(Items(Inspector->ActiveComponents()), Components{A});
  EXPECT_EQ(Items(Tree->SelectedComps()), Components{A});
}

TEST_F(DesignCenter, TreeSelectionChangeBecomesTheCommonSelectionWithoutTheEvent) {
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  auto* A = Named(Form, "A1");
  auto* B = Named(Form, "B1");
  TComponentList List(false);
  Fill(&List, {B, A});
  Tree->SetSelectedComps(&List);
  Log.clear();
  Center->OnCompsChange = [&](TObject*) { Log.push_back("OnCompsChange"); };
  Center->CompTreeSelCompChanged();
  EXPECT_EQ(Items(Center->SelCompList()), (Components{B, A}));
  EXPECT_EQ(Items(Inspector->ActiveComponents()), (Components{B, A}));
  EXPECT_EQ(Log, Strings{"inspector.active"});
}

TEST_F(DesignCenter, AnInsertedComponentBecomesTheSelectionOnlyWithATreeView) {
  auto* Old = Named(Form, "Old1");
  auto* New = Named(Form, "New1");
  Center->SetObjInspector(Inspector);
  Fill(Center->SelCompList(), {Old});
  Center->DesignStageCompsModified(New, opInsert);
  EXPECT_EQ(Items(Center->SelCompList()), Components{Old});

  Center->SetCompTreeView(Tree);
  Log.clear();
  Center->DesignStageCompsModified(New, opRemove);
  EXPECT_EQ(Items(Center->SelCompList()), Components{Old});
  EXPECT_EQ(Log, Strings{});
  Center->DesignStageCompsModified(New, opInsert);
  EXPECT_EQ(Items(Center->SelCompList()), Components{New});
  EXPECT_EQ(Items(Tree->SelectedComps()), Components{New});
  EXPECT_EQ(Items(Inspector->ActiveComponents()), Components{New});
  EXPECT_EQ(Log, (Strings{"tree.refresh", "tree.select", "inspector.active"}));
}

TEST_F(DesignCenter, MovesPropertyChangesAndRenamesAreRelayed) {
  Center->SetObjInspector(Inspector);
  Log.clear();
  Center->OnControlsMoved = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Center);
    Log.push_back("OnControlsMoved");
  };
  Center->OnInspectorPropChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Center);
    Log.push_back("OnInspectorPropChange");
  };
  Center->DesignerSelCompMoved();
  EXPECT_EQ(Log, (Strings{"inspector.values", "OnControlsMoved"}));
  Log.clear();
  Center->InspectorPropChanged();
  EXPECT_EQ(Log, Strings{"OnInspectorPropChange"});
  Log.clear();
  Center->CompTreeNodeNameChanged();
  EXPECT_EQ(Log, Strings{"inspector.refresh"});
}

TEST_F(DesignCenter, ThePaletteArmsTheClassAndIsReleasedAfterAnInsertion) {
  Center->SetCompPalleteToolBar(Pallete);
  EXPECT_EQ(Pallete->ComponentCount(), 0);
  EXPECT_EQ(Center->GetPalleteSelectedClass(), nullptr);
  Pallete->SetCurrClass(TButton::StaticClass());
  EXPECT_EQ(Center->GetPalleteSelectedClass(), TButton::StaticClass());
  auto* Inserted = Named(Form, "Button1");
  int Fired = 0;
  Center->AfterDynInsComponent = [&](TObject* Sender, TComponent* Component) {
    ++Fired;
    EXPECT_EQ(Sender, Center);
    EXPECT_EQ(Component, Inserted);
    EXPECT_EQ(Pallete->GetCurrClass(), nullptr);  // released before the event
  };
  Center->DynCompCreated(Inserted);
  EXPECT_EQ(Fired, 1);
  EXPECT_EQ(Center->GetPalleteSelectedClass(), nullptr);
}

TEST_F(DesignCenter, SelectionTrimming) {
  auto* Panel = Named<TPanel>(Form, "Panel1", Form);
  auto* Inner = Named<TButton>(Form, "Inner1", Panel);
  auto* Outer = Named<TButton>(Form, "Outer1", Form);
  auto* NonVisual = Named(Form, "Data1");
  const struct {
    const char* Name;
    std::function<void()> Trim;
    Components Expected;
  } Cases[] = {
      {"DeselectComponent", [&] { Center->DeselectComponent(); }, {Panel, Inner, Outer}},
      {"DeselectControl", [&] { Center->DeselectControl(); }, {NonVisual}},
      {"DeselectUnsibling with non-controls", [&] { Center->DeselectUnsiblingControl(Outer, true); }, {Panel, Outer}},
      {"DeselectUnsibling keeping non-controls",
       [&] { Center->DeselectUnsiblingControl(Inner, false); },
       {Inner, NonVisual}},
  };
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Fill(Center->SelCompList(), {Panel, Inner, NonVisual, Outer});
    C.Trim();
    EXPECT_EQ(Items(Center->SelCompList()), C.Expected);
    // The trimmed list goes to the tree view and the inspector.
    EXPECT_EQ(Items(Tree->SelectedComps()), C.Expected);
    EXPECT_EQ(Items(Inspector->ActiveComponents()), C.Expected);
  }
}

TEST_F(DesignCenter, DeletingDestroysTheSelectedComponentsInAnyOrder) {
  // A container and its child, in both orders.
  for (bool ChildFirst : {false, true}) {
    SCOPED_TRACE(ChildFirst);
    auto* Panel = Named<TPanel>(Form, "Panel1", Form);
    auto* Child = Named<TButton>(Panel, "Child1", Panel);
    auto* Other = Named(Form, "Data1");
    auto* Kept = Named<TButton>(Form, "Kept1", Form);
    if (ChildFirst)
      Fill(Center->SelCompList(), {Child, Other, Panel});
    else
      Fill(Center->SelCompList(), {Panel, Other, Child});
    Center->SetObjInspector(Inspector);
    Center->DelSelCtrls();
    EXPECT_EQ(Form->FindComponent("Panel1"), nullptr);
    EXPECT_EQ(Form->FindComponent("Data1"), nullptr);
    EXPECT_EQ(Form->FindComponent("Kept1"), Kept);
    EXPECT_EQ(Items(Center->SelCompList()), Components{});  // no stage to fall back to
    EXPECT_EQ(Items(Inspector->ActiveComponents()), Components{});
    delete Kept;
  }
}

TEST_F(DesignCenter, DeletingNeverDestroysTheCenterOrWhatHoldsIt) {
  auto* A = Named(Form, "A1");
  Fill(Center->SelCompList(), {Form, Center, A});
  Center->DelSelCtrls();
  EXPECT_EQ(Form->FindComponent("A1"), nullptr);
  EXPECT_EQ(Items(Center->SelCompList()), (Components{Form, Center}));
}

TEST_F(DesignCenter, APlainPopupMenuIsInstalledWithoutBackReference) {
  auto* Plain = new TPopupMenu(Form);
  auto* Design = new TVelDesignCompPopupMenu(Form);
  Center->SetCompTreeView(Tree);
  Center->SetDesignPopupMenu(Plain);
  EXPECT_EQ(Tree->PopupMenu(), Plain);
  Center->SetDesignPopupMenu(Design);
  EXPECT_EQ(Tree->PopupMenu(), Design);
  EXPECT_EQ(Design->ConsoleCenter(), Center);
  Center->SetDesignPopupMenu(nullptr);
  EXPECT_EQ(Tree->PopupMenu(), nullptr);
  EXPECT_EQ(Design->ConsoleCenter(), nullptr);
  EXPECT_EQ(Center->DesignPopupMenu(), nullptr);
}

TEST_F(DesignCenter, EnabledAndStageMouseMoveWithoutAManager) {
  Center->SetEnabled(false);
  EXPECT_FALSE(Center->Enabled());
  Center->SetEnabled(true);
  EXPECT_TRUE(Center->Enabled());
  // Without a manager the handler has nowhere to go and is lost.
  Center->SetOnStageMouseMove([](TObject*, TShiftState, int, int) {});
  EXPECT_FALSE(Center->OnStageMouseMove());
}

TEST_F(DesignCenter, AFormWithACenterReadsBackWithItsElementsAttached) {
  auto* Menu = new TVelDesignCompPopupMenu(Form);
  Menu->SetName("Menu1");
  Center->SetName("Center1");
  Inspector->SetName("Inspector1");
  Tree->SetName("Tree1");
  Pallete->SetName("Pallete1");
  for (TControl* C : {static_cast<TControl*>(Inspector), static_cast<TControl*>(Tree), static_cast<TControl*>(Pallete)})
    C->SetParent(Form);
  Center->SetObjInspector(Inspector);
  Center->SetCompTreeView(Tree);
  Center->SetCompPalleteToolBar(Pallete);
  Center->SetDesignPopupMenu(Menu);
  Center->SetPersistEnabled(false);
  Center->SetEnabled(false);
  Center->SetClipPasteLeftOffset(7);
  TMemoryStream Stream;
  Stream.WriteComponent(Form);
  delete Form;
  Form = nullptr;

  Stream.SetPosition(0);
  auto* Copy = new TForm(Application());
  Stream.ReadComponent(Copy);
  auto* C = dynamic_cast<TVelDesignCenter*>(Copy->FindComponent("Center1"));
  ASSERT_NE(C, nullptr);
  auto* I = dynamic_cast<TWynObjInspector*>(Copy->FindComponent("Inspector1"));
  auto* T = dynamic_cast<TVelCompTreeView*>(Copy->FindComponent("Tree1"));
  auto* P = dynamic_cast<TVelCompPalleteToolBar*>(Copy->FindComponent("Pallete1"));
  auto* M = dynamic_cast<TVelDesignCompPopupMenu*>(Copy->FindComponent("Menu1"));
  ASSERT_TRUE(I && T && P && M);
  EXPECT_EQ(C->ObjInspector(), I);
  EXPECT_EQ(C->CompTreeView(), T);
  EXPECT_EQ(C->CompPalleteToolBar(), P);
  EXPECT_EQ(C->DesignPopupMenu(), M);
  EXPECT_EQ(I->ConsoleCenter(), C);
  EXPECT_EQ(T->ConsoleCenter(), C);
  EXPECT_EQ(M->ConsoleCenter(), C);
  EXPECT_EQ(T->PopupMenu(), M);
  EXPECT_FALSE(C->PersistEnabled());
  EXPECT_FALSE(C->Enabled());
  EXPECT_EQ(C->ClipPasteLeftOffset(), 7);
  EXPECT_EQ(C->ClipPasteTopOffset(), 4);
}

TEST_F(DesignCenter, IsVelDesignCtrlKnowsTheConsolesOwnComponents) {
  auto* Menu = new TVelDesignCompPopupMenu(Form);
  auto* MenuEx = new TVelDesignCompPopupMenuEx(Form);
  auto* PlainMenu = new TPopupMenu(Form);
  auto* Button = Named<TButton>(Form, "Button1", Form);
  const std::pair<TComponent*, bool> Cases[] = {
      {Center, true},   {Menu, true},       {MenuEx, true},  {Tree, true},  {Inspector, false},
      {Pallete, false}, {PlainMenu, false}, {Button, false}, {Form, false},
  };
  for (const auto& [Component, Expected] : Cases)
    EXPECT_EQ(IsVelDesignCtrl(Component), Expected) << Component->ClassName();
  EXPECT_FALSE(IsVelDesignCtrl(nullptr));
}

}  // namespace
