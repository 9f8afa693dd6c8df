#include "console/design_center.h"

#include "console/popup_menu.h"
#include "inspector/obj_inspect.h"
#include "palette/comp_tree_view.h"
#include "palette/pallete_tool_bar.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TVelDesignCenter, "VelDesignConsole");

void TVelDesignCenter::VelPublish(TPublisher& P) {
  P.Property("Enabled", &TVelDesignCenter::Enabled, &TVelDesignCenter::SetEnabled).Default(true);
  P.Property("PersistEnabled", &TVelDesignCenter::PersistEnabled, &TVelDesignCenter::SetPersistEnabled).Default(true);
  P.Property("ObjInspector", &TVelDesignCenter::ObjInspector, &TVelDesignCenter::SetObjInspector);
  P.Property("DesignManager", &TVelDesignCenter::DesignManager, &TVelDesignCenter::SetDesignManager);
  P.Property("CompTreeView", &TVelDesignCenter::CompTreeView, &TVelDesignCenter::SetCompTreeView);
  P.Property("CompPalleteToolBar", &TVelDesignCenter::CompPalleteToolBar, &TVelDesignCenter::SetCompPalleteToolBar);
  P.Property("DesignPopupMenu", &TVelDesignCenter::DesignPopupMenu, &TVelDesignCenter::SetDesignPopupMenu);
  P.Property("AfterDynInsComponent", &TVelDesignCenter::AfterDynInsComponent, &TVelDesignCenter::AfterDynInsComponent);
  P.Property("ClipPasteLeftOffset", &TVelDesignCenter::ClipPasteLeftOffset, &TVelDesignCenter::SetClipPasteLeftOffset)
      .Default(4);
  P.Property("ClipPasteTopOffset", &TVelDesignCenter::ClipPasteTopOffset, &TVelDesignCenter::SetClipPasteTopOffset)
      .Default(4);
  P.Property("OnStageMouseMove", &TVelDesignCenter::OnStageMouseMove, &TVelDesignCenter::SetOnStageMouseMove);
  P.Property("OnCompsChange", &TVelDesignCenter::OnCompsChange, &TVelDesignCenter::OnCompsChange);
  P.Property("OnControlsMoved", &TVelDesignCenter::OnControlsMoved, &TVelDesignCenter::OnControlsMoved);
  P.Property("OnInspectorPropChange", &TVelDesignCenter::OnInspectorPropChange,
             &TVelDesignCenter::OnInspectorPropChange);
}

// Forms that hold a center can be read back.
const bool DesignCenterRegistered = (RegisterClass(TVelDesignCenter::StaticClass()), true);

namespace {

void CopyList(TComponentList& Dest, const TComponentList* Source) {
  if (Source == &Dest) return;
  Dest.Clear();
  if (Source)
    for (int I = 0; I < Source->Count(); ++I) Dest.Add(Source->Items(I));
}

}  // namespace

TVelDesignCenter::TVelDesignCenter(TComponent* AOwner)
    : TComponent(AOwner), FSelCompList(std::make_unique<TComponentList>(false)) {}

TVelDesignCenter::~TVelDesignCenter() {
  // The free-notification links stay: through them the elements hear that the center is gone.
  ReleaseAllElements();
}

void TVelDesignCenter::Watch(TComponent* Element) {
  // Links are only ever added: an element shares its link with the center, and
  // dropping it here would also cut the element's own watch on the center.
  if (Element) Element->FreeNotification(this);
}

// ------------------------------------------------------------------ attachment

void TVelDesignCenter::SetDesignManager(TVelDesignManager* Value) {
  if (Value == FDesignManager) return;
  TVelDesignManager* Old = FDesignManager;
  if (Old) Old->SetConsoleCenter(nullptr);
  Watch(Value);
  FDesignManager = Value;
  if (FDesignManager) {
    FDesignManager->SetConsoleCenter(this);
    if (FPersistEnabled)
      FDesignManager->SetEnabled(FEnabled);
    else
      FEnabled = FDesignManager->Enabled();
  }
  NotifyDesignManagerChanged();
}

void TVelDesignCenter::SetObjInspector(TWynObjInspector* Value) {
  if (Value == FObjInspector) return;
  if (FObjInspector) FObjInspector->SetConsoleCenter(nullptr);
  Watch(Value);
  FObjInspector = Value;
  if (FObjInspector) FObjInspector->SetConsoleCenter(this);
  NotifyObjInspectorChanged();
}

void TVelDesignCenter::SetCompTreeView(TVelCompTreeView* Value) {
  if (Value == FCompTreeView) return;
  if (FCompTreeView) FCompTreeView->SetConsoleCenter(nullptr);
  Watch(Value);
  FCompTreeView = Value;
  if (FCompTreeView) FCompTreeView->SetConsoleCenter(this);
  NotifyCompTreeViewChanged();
}

void TVelDesignCenter::SetCompPalleteToolBar(TVelCompPalleteToolBar* Value) {
  if (Value == FCompPalleteToolBar) return;
  Watch(Value);
  FCompPalleteToolBar = Value;
}

void TVelDesignCenter::SetDesignPopupMenu(TPopupMenu* Value) {
  if (Value == FDesignPopupMenu) return;
  if (auto* Old = dynamic_cast<TVelDesignCompPopupMenu*>(FDesignPopupMenu)) Old->SetConsoleCenter(nullptr);
  Watch(Value);
  FDesignPopupMenu = Value;
  if (auto* New = dynamic_cast<TVelDesignCompPopupMenu*>(FDesignPopupMenu)) New->SetConsoleCenter(this);
  NotifyDesignPopupMenuChanged();
}

void TVelDesignCenter::NotifyDesignManagerChanged() {
  if (!FDesignManager) return;
  if (FObjInspector) FObjInspector->SetActiveComponent(FDesignManager->DesignStage());
  RefreshAllExcept({deDesignManager});
}

void TVelDesignCenter::NotifyObjInspectorChanged() {
  if (FObjInspector) RefreshAllExcept({deObjInspector});
}

void TVelDesignCenter::NotifyCompTreeViewChanged() {
  if (FCompTreeView) RefreshAllExcept({deCompTreeView});
}

void TVelDesignCenter::NotifyDesignPopupMenuChanged() { InstallDesignPopupMenu(); }

void TVelDesignCenter::InstallDesignPopupMenu() {
  if (FCompTreeView) FCompTreeView->SetPopupMenu(FDesignPopupMenu);
  if (FDesignManager) FDesignManager->SetDesignPopupMenu(FDesignPopupMenu);
}

void TVelDesignCenter::ReleaseAllElements() {
  FDesignManager = nullptr;
  FObjInspector = nullptr;
  FCompTreeView = nullptr;
}

void TVelDesignCenter::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  // Cleared also while the center is being destroyed: the element is gone either way.
  if (Operation != opRemove) return;
  if (AComponent == FDesignManager) FDesignManager = nullptr;
  if (AComponent == FObjInspector) FObjInspector = nullptr;
  if (AComponent == FCompTreeView) FCompTreeView = nullptr;
  if (AComponent == FCompPalleteToolBar) FCompPalleteToolBar = nullptr;
  if (AComponent == FDesignPopupMenu) FDesignPopupMenu = nullptr;
}

// ------------------------------------------------------- selection and state

void TVelDesignCenter::SetSelCompList(const TComponentList* List) { CopyList(*FSelCompList, List); }

void TVelDesignCenter::SetEnabled(bool Value) {
  FEnabled = Value;
  if (FDesignManager) FDesignManager->SetEnabled(Value);
}

bool TVelDesignCenter::Dirty() const {
  return (FDesignManager && FDesignManager->Dirty()) || (FObjInspector && FObjInspector->Dirty()) ||
         (FCompTreeView && FCompTreeView->Dirty());
}

void TVelDesignCenter::SetDirty(bool Value) {
  if (FDesignManager) FDesignManager->SetDirty(Value);
  if (FObjInspector) FObjInspector->SetDirty(Value);
  if (FCompTreeView) FCompTreeView->SetDirty(Value);
}

TMouseMoveEvent TVelDesignCenter::OnStageMouseMove() const {
  return FDesignManager ? FDesignManager->OnStageMouseMove : TMouseMoveEvent();
}

void TVelDesignCenter::SetOnStageMouseMove(const TMouseMoveEvent& Value) {
  if (FDesignManager) FDesignManager->OnStageMouseMove = Value;
}

TWinControl* TVelDesignCenter::GetDesignStage() const {
  return FDesignManager ? FDesignManager->DesignStage() : nullptr;
}

// -------------------------------------------------------------------- relays

void TVelDesignCenter::DesignerSelCompChanged() {
  if (FDesignManager) SetSelCompList(FDesignManager->SelectedComps());
  if (FObjInspector) FObjInspector->SetActiveComponents(FSelCompList.get());
  if (FCompTreeView) FCompTreeView->SetSelectedComps(FSelCompList.get());
  if (OnCompsChange) OnCompsChange(this);
}

void TVelDesignCenter::CompTreeSelCompChanged() {
  if (FCompTreeView) SetSelCompList(FCompTreeView->SelectedComps());
  if (FObjInspector) FObjInspector->SetActiveComponents(FSelCompList.get());
  if (FDesignManager) FDesignManager->SetSelectedComps(FSelCompList.get());
}

void TVelDesignCenter::ConsoleCompListChanged() {
  if (FCompTreeView) FCompTreeView->SetSelectedComps(FSelCompList.get());
  if (FObjInspector) FObjInspector->SetActiveComponents(FSelCompList.get());
  if (FDesignManager) FDesignManager->SetSelectedComps(FSelCompList.get());
}

void TVelDesignCenter::DesignStageCompsModified(TComponent* Component, TOperation Operation) {
  if (!FCompTreeView || Operation != opInsert) return;
  FCompTreeView->Refresh();
  FSelCompList->Clear();
  if (Component) FSelCompList->Add(Component);
  FCompTreeView->SetSelectedComps(FSelCompList.get());
  CompTreeSelCompChanged();
}

void TVelDesignCenter::DesignerSelCompMoved() {
  if (FObjInspector) FObjInspector->RefreshValues();
  if (OnControlsMoved) OnControlsMoved(this);
}

void TVelDesignCenter::InspectorPropChanged() {
  if (FDesignManager) FDesignManager->RefreshSizers();
  if (OnInspectorPropChange) OnInspectorPropChange(this);
}

void TVelDesignCenter::CompTreeNodeNameChanged() {
  if (FObjInspector) FObjInspector->Refresh();
}

// ------------------------------------------------------------------ palette

TComponentClass TVelDesignCenter::GetPalleteSelectedClass() const {
  return FCompPalleteToolBar ? FCompPalleteToolBar->GetCurrClass() : nullptr;
}

void TVelDesignCenter::PalleteSelCompDynCreated() {
  if (FCompPalleteToolBar) FCompPalleteToolBar->DeselectComps();
}

void TVelDesignCenter::DynCompCreated(TComponent* Component) {
  PalleteSelCompDynCreated();
  if (AfterDynInsComponent) AfterDynInsComponent(this, Component);
}

// ----------------------------------------------------------------- commands

void TVelDesignCenter::DelSelCtrls() {
  TWinControl* Stage = GetDesignStage();
  // Destroying a component can take others out of the list (a container's
  // children), so each step rereads the length.
  for (int I = FSelCompList->Count() - 1; I >= 0; --I) {
    if (I >= FSelCompList->Count()) continue;
    TComponent* C = FSelCompList->Items(I);
    if (C == Stage || GuardsDesign(C)) continue;
    FSelCompList->Delete(I);
    delete C;
  }
  if (Stage && FSelCompList->Count() == 0) FSelCompList->Add(Stage);
  ConsoleCompListChanged();
  RefreshAllExcept({deObjInspector});
}

bool TVelDesignCenter::GuardsDesign(const TComponent* Component) const {
  for (const TComponent* C = this; C; C = C->Owner())
    if (C == Component) return true;
  if (TWinControl* Stage = GetDesignStage()) {
    for (const TComponent* C = Stage; C; C = C->Owner())
      if (C == Component) return true;
    for (const TControl* C = Stage; C; C = C->Parent())
      if (C == Component) return true;
  }
  return false;
}

void TVelDesignCenter::SelectAllControls() {
  if (FDesignManager) FDesignManager->SelectAllControls();
}

void TVelDesignCenter::DeselectComponent() {
  for (int I = FSelCompList->Count() - 1; I >= 0; --I)
    if (!dynamic_cast<TControl*>(FSelCompList->Items(I))) FSelCompList->Delete(I);
  ConsoleCompListChanged();
}

void TVelDesignCenter::DeselectControl() {
  for (int I = FSelCompList->Count() - 1; I >= 0; --I)
    if (dynamic_cast<TControl*>(FSelCompList->Items(I))) FSelCompList->Delete(I);
  ConsoleCompListChanged();
}

void TVelDesignCenter::DeselectUnsiblingControl(const TControl* Control, bool AlsoNonControls) {
  const TWinControl* Parent = Control ? Control->Parent() : nullptr;
  for (int I = FSelCompList->Count() - 1; I >= 0; --I) {
    auto* Item = dynamic_cast<TControl*>(FSelCompList->Items(I));
    if (Item ? Item->Parent() != Parent : AlsoNonControls) FSelCompList->Delete(I);
  }
  ConsoleCompListChanged();
}

void TVelDesignCenter::RefreshAllExcept(TDesignElements Except) {
  if (FDesignManager && !Except.Contains(deDesignManager)) FDesignManager->Refresh();
  if (FCompTreeView && !Except.Contains(deCompTreeView)) FCompTreeView->Refresh();
  if (FObjInspector && !Except.Contains(deObjInspector)) FObjInspector->Refresh();
}

void TVelDesignCenter::Refresh() {
  if (FDesignManager) {
    FDesignManager->SetSelectedComps(FSelCompList.get());
    FDesignManager->Refresh();
  }
  if (FCompTreeView) {
    FCompTreeView->SetSelectedComps(FSelCompList.get());
    FCompTreeView->Refresh();
  }
  if (FObjInspector) {
    FObjInspector->SetActiveComponents(FSelCompList.get());
    FObjInspector->Refresh();
  }
}

}  // namespace vel
