// TVelDesignManager: life cycle, hooks, selection, reports, palette insertion,
// in-place editing and stage output. The arrangement operations are in
// arrangement.cpp.
#include "designer/manager.h"

#include "console/design_center.h"
#include "console/designintf_impls.h"
#include "designer/proxy.h"
#include "designer/sizer.h"
#include "designer/stage.h"
#include "inspector/obj_inspect.h"
#include "platform/controls/forms.h"
#include "utils/wyn_sys_utils.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TVelDesignManager, "VelDesigner");

void TVelDesignManager::VelPublish(TPublisher& P) {
  P.Property("Enabled", &TVelDesignManager::Enabled, &TVelDesignManager::SetEnabled);
  P.Property("DesignStage", &TVelDesignManager::DesignStage, &TVelDesignManager::SetDesignStage);
  P.Property("DesignPopupMenu", &TVelDesignManager::DesignPopupMenu, &TVelDesignManager::SetDesignPopupMenu);
  P.Property("OnStageMouseMove", &TVelDesignManager::OnStageMouseMove, &TVelDesignManager::OnStageMouseMove);
  P.Property("OnCompsChange", &TVelDesignManager::OnCompsChange, &TVelDesignManager::OnCompsChange);
  P.Property("OnControlsMoved", &TVelDesignManager::OnControlsMoved, &TVelDesignManager::OnControlsMoved);
}

UINT TVelDesignManager::ConstructedMsg() {
  static const UINT Msg = RegisterWindowMessage("VEL.Design.ComponentConstructed");
  return Msg;
}

TVelDesignManager::TVelDesignManager(TComponent* AOwner) : TComponent(AOwner) {
  FEnabled = true;
  FProxyList = std::make_unique<TVelDesignWndProcProxyList>();
  FStageProxy = std::make_unique<TVelDesignStageProxy>(nullptr);
  FStageProxy->SetDesignManager(this);
  FSizerList = std::make_unique<TVelSizerList>();
  FDesigner = TInterfaceRef<IDesigner>(new TVelFormDesigner(this));
  FSizerList->SetDesignManager(this);
  FStageSizer = new TVelStageSizer(this);
  FStageSizer->SetControl(nullptr);
  FSelectedComps = std::make_unique<TComponentList>(false);
  FPendingInserts = std::make_unique<TComponentList>(false);
  FDirty = false;
  if (auto* Stage = dynamic_cast<TWinControl*>(AOwner)) FDesignStage = Stage;
}

TVelDesignManager::~TVelDesignManager() {
  SetIsDesigning(false);
  FProxyList.reset();
  FStageProxy.reset();
  FSizerList.reset();
  FDesigner.Reset();
  if (FStageSizer && !FStageSizer->ComponentState().Contains(csDestroying)) delete FStageSizer;
  FStageSizer = nullptr;
}

// Keeps a free notification on a referenced component that the manager does
// not own, so that the reference is cleared when it is destroyed.
void TVelDesignManager::WatchReference(TComponent* Old, TComponent* New) {
  if (Old && Old != New && Old != FDesignStage && Old != FConsoleCenter && Old != FObjInspector &&
      Old != FDesignPopupMenu)
    Old->RemoveFreeNotification(this);
  if (New) New->FreeNotification(this);
}

// ------------------------------------------------------------ life cycle

void TVelDesignManager::SetIsDesigning(bool Value) {
  if (Value == FIsDesigning) return;
  FIsDesigning = Value;
  if (Value)
    InitDesigning();
  else
    DoneDesigning();
}

void TVelDesignManager::SetDesignStage(TWinControl* Value) {
  if (Value == FDesignStage) return;
  DoneDesigning();
  TWinControl* Old = FDesignStage;
  FDesignStage = Value;
  WatchReference(Old, Value);
  InitDesigning();
}

void TVelDesignManager::InitDesigning() {
  if (!FDesignStage || !FIsDesigning) return;
  FDesignStage->SetDoubleBuffered(true);
  InstallAllSizers();
  InstallStageSizer();
  InstallStageProxy();
  InstallAllProxies();
}

void TVelDesignManager::DoneDesigning() {
  ReleaseAllSizers();
  ReleaseStageSizer();
  ReleaseAllProxies();
  ReleaseStageProxy();
}

void TVelDesignManager::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  FSizerList->SetAllEnabled(Value);
  FProxyList->SetAllEnabled(Value);
  FStageProxy->SetEnbaled(Value);
  if (FStageSizer) FStageSizer->SetEnabled(Value);
}

void TVelDesignManager::SetDirty(bool Value) {
  if (Value == FDirty) return;
  FDirty = Value;
  if (FConsoleCenter) FConsoleCenter->SetDirty(Value);
}

void TVelDesignManager::SetDesignPopupMenu(TPopupMenu* Value) {
  if (Value == FDesignPopupMenu) return;
  TPopupMenu* Old = FDesignPopupMenu;
  FDesignPopupMenu = Value;
  WatchReference(Old, Value);
}

void TVelDesignManager::SetConsoleCenter(TComponent* Value) {
  auto* Center = dynamic_cast<TVelDesignCenter*>(Value);
  if (Center == FConsoleCenter) return;
  TVelDesignCenter* Old = FConsoleCenter;
  FConsoleCenter = Center;
  WatchReference(Old, Center);
  if (Center) SetDesignPopupMenu(Center->DesignPopupMenu());
}

void TVelDesignManager::SetObjInspector(TWynObjInspector* Value) {
  if (Value == FObjInspector) return;
  TWynObjInspector* Old = FObjInspector;
  FObjInspector = Value;
  WatchReference(Old, Value);
  NotifyObjInspector();
}

void TVelDesignManager::NotifyObjInspector() {
  if (!FObjInspector) return;
  FillSelectedComps();
  FObjInspector->SetActiveComponents(FSelectedComps.get());
}

// ------------------------------------------------------------ hooks

void TVelDesignManager::InstallAllProxies() {
  if (!FDesignStage) return;
  // Snapshot: hooking a control may create its window, which must not
  // disturb the walk over the stage's components.
  std::vector<TComponent*> Comps;
  for (int I = 0; I < FDesignStage->ComponentCount(); ++I) Comps.push_back(FDesignStage->Components(I));
  for (TComponent* C : Comps) {
    auto* W = dynamic_cast<TWinControl*>(C);
    if (W && !dynamic_cast<TVelSizer*>(W) && !dynamic_cast<TVelRubberBand*>(W)) AddProxiedControl(W);
  }
}

void TVelDesignManager::ReleaseAllProxies() { FProxyList->ClearProxies(); }

void TVelDesignManager::ReleaseAllSizers() { FSizerList->ClearSizer(); }

void TVelDesignManager::InstallStageProxy() {
  if (!FDesignStage) return;
  FStageProxy->SetControl(FDesignStage);
  FStageProxy->SetTargetControl(FDesignStage);
  FStageProxy->SetDesignManager(this);
}

void TVelDesignManager::ReleaseStageProxy() { FStageProxy->SetControl(nullptr); }

void TVelDesignManager::InstallStageSizer() {
  SelectControl(FDesignStage, TPoint{-1, -1}, csmSelect, true, true);
  if (FStageSizer) FStageSizer->SetPopupMenu(FDesignPopupMenu);
}

void TVelDesignManager::ReleaseStageSizer() {
  if (FStageSizer) FStageSizer->SetControl(nullptr);
}

void TVelDesignManager::AddProxiedControl(TWinControl* Control) {
  const int Index = FProxyList->AddControl(Control, true);
  if (Index < 0) return;
  TVelDesignWndProcProxy* Proxy = FProxyList->GetProxies(Index);
  Proxy->SetTargetControl(FDesignStage);
  Proxy->SetDesignManager(this);
}

void TVelDesignManager::SetDesignProxies(const TList* List) {
  FProxyList->Clear();
  if (List)
    for (int I = 0; I < List->Count(); ++I) FProxyList->Add(List->Get(I));
}

void TVelDesignManager::SetSizers(const TList* List) {
  FSizerList->Clear();
  if (List)
    for (int I = 0; I < List->Count(); ++I) FSizerList->Add(List->Get(I));
}

void TVelDesignManager::SetStageProxy(TVelDesignStageProxy* Value) {
  if (!Value || Value == FStageProxy.get()) return;
  FStageProxy->SetControl(nullptr);
  FStageProxy.reset(Value);
  FStageProxy->SetDesignManager(this);
  InstallStageProxy();
}

void TVelDesignManager::SetStageSizer(TVelStageSizer* Value) {
  // Only the settings travel: the manager's own stage sizer stays bound to
  // the stage (a control binding has no meaning for a copy).
  if (!Value || !FStageSizer || Value == FStageSizer) return;
  FStageSizer->SetSingleSelColor(Value->SingleSelColor());
  FStageSizer->SetMultiSelColor(Value->MultiSelColor());
  FStageSizer->SetStageSizerMode(Value->StageSizerMode());
}

// ------------------------------------------------------------ insertion and removal

bool TVelDesignManager::ComponentBelongToStage(const TComponent* AComponent) const {
  return AComponent && FDesignStage && AComponent->Owner() == FDesignStage;
}

void TVelDesignManager::Notification(TComponent* AComponent, TOperation Operation) {
  // The manager's sizers come and go with the selection. No sizer refers to
  // another or heeds an insertion, so none is told of the others: a selection
  // of N controls would otherwise cost N * N notifications. A sizer announces
  // its arrival from inside its construction, before its class is known.
  const bool Constructing = Operation == opInsert && AComponent && AComponent->ClassType() == TComponent::StaticClass();
  if (AComponent && AComponent != FStageSizer && AComponent->Owner() == this &&
      (Constructing || AComponent->InheritsFrom(TVelSizer::StaticClass()))) {
    if (Operation == opRemove) RemoveFreeNotification(AComponent);
    return;
  }
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FConsoleCenter) FConsoleCenter = nullptr;
    if (AComponent == FObjInspector) FObjInspector = nullptr;
    if (AComponent == FDesignPopupMenu) FDesignPopupMenu = nullptr;
    if (AComponent == FStageSizer) FStageSizer = nullptr;
    if (AComponent == FDesignStage) {
      // The stage goes away: nothing of it may be touched later.
      DoneDesigning();
      FDesignStage = nullptr;
      return;
    }
  }
  if (ComponentState().Contains(csDestroying) || !FIsDesigning || !ComponentBelongToStage(AComponent)) return;
  // Class tests, not casts: a component announces its removal from inside
  // its destruction, when only its TComponent part is left.
  if (AComponent->InheritsFrom(TVelSizer::StaticClass()) || AComponent->InheritsFrom(TVelDesignManager::StaticClass()))
    return;
  if (Operation == opInsert) {
    // A component created with the stage as its owner is announced from
    // inside its own construction, before its class is known; it is taken
    // in once its construction has completed.
    if (AComponent->ClassType() == TComponent::StaticClass()) {
      if (FPendingInserts->IndexOf(AComponent) < 0) FPendingInserts->Add(AComponent);
      PostMessage(FDesignStage->Handle(), ConstructedMsg(), 0, 0);
      return;
    }
    ComponentInserted(AComponent);
  } else {
    FPendingInserts->Remove(AComponent);
    FDirty = true;
    if (FConsoleCenter) FConsoleCenter->DesignStageCompsModified(AComponent, opRemove);
    if (AComponent->InheritsFrom(TControl::StaticClass())) FSizerList->DelControl(AComponent);
    if (AComponent->InheritsFrom(TWinControl::StaticClass())) FProxyList->DelControl(AComponent);
    if (FConsoleCenter) FConsoleCenter->DesignStageCompsModified(AComponent, opRemove);
  }
}

void TVelDesignManager::ComponentInserted(TComponent* AComponent) {
  if (AComponent->Name().empty() || CompNameExists(AComponent, FDesignStage, false))
    AComponent->SetName(GetCompUniqueID(AComponent->ClassType(), FDesignStage));
  if (auto* W = dynamic_cast<TWinControl*>(AComponent)) AddProxiedControl(W);
  FDirty = true;
  if (FConsoleCenter) FConsoleCenter->DesignStageCompsModified(AComponent, opInsert);
}

void TVelDesignManager::TakeInConstructedComponents() {
  while (FPendingInserts->Count() > 0) {
    TComponent* C = FPendingInserts->Items(0);
    FPendingInserts->Delete(0);
    if (FIsDesigning && ComponentBelongToStage(C) && !C->ComponentState().Contains(csDestroying)) ComponentInserted(C);
  }
}

// ------------------------------------------------------------ selection

void TVelDesignManager::SelectControl(TControl* Control, TPoint Pos, TControlSelectMode Mode, bool Notify,
                                      bool StartDrag) {
  if (!FIsDesigning || !FEnabled) return;
  const bool IsStage = Control && Control == FDesignStage;
  auto AddSizerFor = [this](TControl* C) {
    const int Index = FSizerList->AddControl(C, this, true);
    if (Index >= 0) FSizerList->GetSizers(Index)->SetPopupMenu(FDesignPopupMenu);
  };
  auto BindStage = [this] {
    if (FStageSizer) FStageSizer->SetControl(FDesignStage);
  };
  switch (Mode) {
    case csmSelect:
      FSizerList->ClearSizer();
      if (FDesignStage) FDesignStage->Repaint();
      if (FStageSizer) FStageSizer->SetControl(nullptr);
      if (IsStage) {
        BindStage();
      } else if (Control) {
        AddSizerFor(Control);
        if (FDesignStage) FDesignStage->Repaint();
      }
      break;
    case csmAdd:
      if (IsStage)
        BindStage();
      else if (Control && FSizerList->GetControlIndex(Control) < 0)
        AddSizerFor(Control);
      break;
    case csmDel:
      if (!IsStage) FSizerList->DelControl(Control);
      break;
    case csmToggle:
      if (const int Index = FSizerList->GetControlIndex(Control); Index >= 0)
        FSizerList->DelSizer(Index);
      else if (IsStage)
        BindStage();
      else if (Control)
        AddSizerFor(Control);
      break;
    case csmClear:
      FSizerList->ClearSizer();
      BindStage();
      break;
  }
  if (Notify && FConsoleCenter) {
    FillSelectedComps();
    FConsoleCenter->DesignerSelCompChanged();
  }
  if (Mode == csmSelect && Control && !IsStage && Pos.X > 0 && Pos.Y > 0 && StartDrag) {
    const TControl* Frame = dynamic_cast<TWinControl*>(Control) ? Control : Control->Parent();
    if (!Frame) return;
    const TPoint ScreenPos = Frame->ClientToScreen(Pos);
    // Messages the click queued (the selection messages among them) run
    // first; they may change the selection.
    const bool ButtonWasDown = GetKeyState(VK_LBUTTON) & 0x8000;
    Application()->ProcessMessages();
    // A quick click may have ended meanwhile: no drag follows its release.
    if (ButtonWasDown && !(GetKeyState(VK_LBUTTON) & 0x8000)) return;
    const int Index = FSizerList->GetControlIndex(Control);
    if (Index >= 0) FSizerList->GetSizers(Index)->BeginMoveAsSender(ScreenPos);
  }
}

void TVelDesignManager::SelectControlInRect(TRect Rect, TControlSelectMode Mode) {
  if (!FIsDesigning || !FDesignStage) return;
  if (Rect.Left >= Rect.Right || Rect.Top >= Rect.Bottom) return;
  for (TComponent* C : StageComponents()) {
    auto* Control = dynamic_cast<TControl*>(C);
    if (Control && !IsVelDesignCtrl(C) && ControlInRect(Control, Rect))
      SelectControl(Control, TPoint{0, 0}, Mode, false, true);
  }
  if (FConsoleCenter) {
    FillSelectedComps();
    FConsoleCenter->DesignerSelCompChanged();
  }
}

bool TVelDesignManager::ControlInRect(const TControl* Control, const TRect& Rect) const {
  if (!Control || !FDesignStage) return false;
  const TRect Client = Control->ClientRect();
  const TPoint TopLeft = FDesignStage->ScreenToClient(Control->ClientToScreen(Client.TopLeft()));
  const TPoint BottomRight = FDesignStage->ScreenToClient(Control->ClientToScreen(Client.BottomRight()));
  TRect Dummy;
  return IntersectRect(Dummy, TRect{TopLeft.X, TopLeft.Y, BottomRight.X, BottomRight.Y}, Rect);
}

std::vector<TComponent*> TVelDesignManager::StageComponents() const {
  std::vector<TComponent*> Comps;
  if (FDesignStage) {
    Comps.reserve(FDesignStage->ComponentCount());
    for (int I = 0; I < FDesignStage->ComponentCount(); ++I) Comps.push_back(FDesignStage->Components(I));
  }
  return Comps;
}

void TVelDesignManager::FillSelectedComps() {
  FSelectedComps->Clear();
  if (FSizerList->Count() > 0) {
    if (FStageSizer) FStageSizer->SetControl(nullptr);
    for (int I = 0; I < FSizerList->Count(); ++I)
      if (TVelSizer* S = FSizerList->GetSizers(I); S && S->Control()) FSelectedComps->Add(S->Control());
  } else if (FStageSizer && FStageSizer->Control()) {
    FSelectedComps->Add(FStageSizer->Control());
  }
}

void TVelDesignManager::SetSelectedComps(const TComponentList* List) {
  if (List != FSelectedComps.get()) {
    FSelectedComps->Clear();
    if (List)
      for (int I = 0; I < List->Count(); ++I) FSelectedComps->Add(List->Items(I));
  }
  ReSelectComps();
}

void TVelDesignManager::ReSelectComps() {
  if (FSelectedComps->Count() == 0 || !FIsDesigning) return;
  FSizerList->ClearSizer();
  std::vector<TComponent*> Items;
  for (int I = 0; I < FSelectedComps->Count(); ++I) Items.push_back(FSelectedComps->Items(I));
  TComponentList Alive(false);  // drops an item that a selection step destroys
  for (TComponent* C : Items) Alive.Add(C);
  bool First = true;
  for (int I = 0; I < Alive.Count(); ++I) {
    TComponent* C = Alive.Items(I);
    auto* Control = dynamic_cast<TControl*>(C);
    if (!Control || !ComponentBelongToStage(C) || IsVelDesignCtrl(C)) continue;
    SelectControl(Control, TPoint{-1, -1}, First ? csmSelect : csmAdd, false, true);
    First = false;
  }
}

void TVelDesignManager::DeselectAll() {
  if (!FDesignStage) return;
  FSelectedComps->Clear();
  FSelectedComps->Add(FDesignStage);
  ReSelectComps();
}

void TVelDesignManager::DeselectComponent() {
  RemoveComponentFromCompList(FSelectedComps.get());
  ReSelectComps();
}

void TVelDesignManager::DeselectUnsiblingControl(const TControl* Control, bool AlsoNonControls) {
  const TWinControl* Parent = Control ? Control->Parent() : nullptr;
  for (int I = FSelectedComps->Count() - 1; I >= 0; --I) {
    TComponent* C = FSelectedComps->Items(I);
    if (auto* Item = dynamic_cast<TControl*>(C)) {
      if (Item->Parent() != Parent) FSelectedComps->Delete(I);
    } else if (AlsoNonControls) {
      FSelectedComps->Delete(I);
    }
  }
  ReSelectComps();
}

void TVelDesignManager::DelSelectedControls() {
  if (FConsoleCenter)
    FConsoleCenter->DelSelCtrls();
  else
    FSizerList->RemoveAllSizerAndCtrls();
}

TVelSizer* TVelDesignManager::GetSelectSizer() const {
  return FSizerList->Count() == 1 ? FSizerList->GetSizers(0) : nullptr;
}

// ------------------------------------------------------------ reports

void TVelDesignManager::SizersMoved() {
  FDirty = true;
  if (OnControlsMoved) OnControlsMoved(this);
  if (FConsoleCenter) FConsoleCenter->DesignerSelCompMoved();
}

void TVelDesignManager::SizersModified() {
  FDirty = true;
  FillSelectedComps();
  if (OnCompsChange) OnCompsChange(this);
  if (FConsoleCenter) {
    FConsoleCenter->DesignerSelCompChanged();
    FConsoleCenter->SetDirty(true);
  }
}

void TVelDesignManager::CtrlMoved(TControl* Control) {
  if (!Control) return;
  if (Control != FDesignStage && FSizerList->GetControlIndex(Control) < 0) return;
  RefreshSizers();
  if (FConsoleCenter) FConsoleCenter->DesignerSelCompMoved();
}

void TVelDesignManager::RefreshSizers() {
  if (FSizerList->Count() > 0) {
    // A burst of move reports (one per control of an aligned or dragged
    // selection) refits once; the later ones find nothing changed.
    if (FFitValid && FDesignStage && FDesignStage == FFitStage && FDesignStage->LayoutStamp() == FFitStamp &&
        FSizerList->Generation() == FFitGeneration)
      return;
    // The shortcut holds only where a sizer's bounds follow from its
    // control's alone: both directly on the stage.
    bool Direct = FDesignStage != nullptr;
    for (int I = 0; I < FSizerList->Count(); ++I)
      if (TVelSizer* S = FSizerList->GetSizers(I)) {
        S->UpdateBounds();
        if (!S->Control() || S->Control()->Parent() != FDesignStage || S->Parent() != FDesignStage) Direct = false;
      }
    FFitValid = Direct;
    FFitStage = FDesignStage;
    if (FDesignStage) FFitStamp = FDesignStage->LayoutStamp();
    FFitGeneration = FSizerList->Generation();
  } else if (FStageSizer) {
    FStageSizer->UpdateBounds();
  }
}

void TVelDesignManager::RepaintSizers() { FSizerList->RepaintSizers(); }

void TVelDesignManager::EnvokeStageMouseMove(TControl* Control, TShiftState Shift, TPoint Pos) {
  if (!FDesignStage || !Control) return;
  const TPoint P = FDesignStage->ScreenToClient(Control->ClientToScreen(Pos));
  if (OnStageMouseMove) OnStageMouseMove(Control, Shift, P.X, P.Y);
}

// ------------------------------------------------------------ palette insertion

bool TVelDesignManager::GetIsDynInsComp() const {
  return FConsoleCenter && FConsoleCenter->GetPalleteSelectedClass() != nullptr;
}

TComponentClass TVelDesignManager::GetDynInsCompClass() const {
  return GetIsDynInsComp() ? FConsoleCenter->GetPalleteSelectedClass() : nullptr;
}

void TVelDesignManager::DynInsCompDone(TComponent* Component) {
  if (OnDynInsComponent && Component) OnDynInsComponent(this, Component);
  if (FConsoleCenter) FConsoleCenter->DynCompCreated(Component);
}

// ------------------------------------------------------------ in-place editing

void TVelDesignManager::StartEmbedEdit() {
  TVelSizer* S = GetSelectSizer();
  if (!S) return;
  S->StartEmbedEdit();
  FEmbedEditing = true;
}

void TVelDesignManager::EndEmbedEdit() {
  TVelSizer* S = GetSelectSizer();
  if (!S) return;
  S->EndEmbedEdit();
  FEmbedEditing = false;
}

bool TVelDesignManager::GetIsRubbering() const {
  if (!FIsDesigning) return false;
  TVelRubberBand* Band = FStageProxy->RubberBand();
  return Band && Band->Visible();
}

// ------------------------------------------------------------ stage output

void TVelDesignManager::GetStageBitmap(TBitmap* Bitmap) {
  auto* Form = dynamic_cast<TCustomForm*>(FDesignStage);
  if (!Form || !Bitmap) return;
  DeselectAll();
  std::unique_ptr<TBitmap> Image(Form->GetFormImage());
  Bitmap->Assign(Image.get());
}

void TVelDesignManager::GetStagePicture(TPicture* Picture) {
  if (!Picture) return;
  TBitmap Bitmap;
  GetStageBitmap(&Bitmap);
  Picture->Assign(&Bitmap);
}

void TVelDesignManager::PrintStage() {
  auto* Form = dynamic_cast<TCustomForm*>(FDesignStage);
  if (!Form) return;
  DeselectAll();
  Form->Print();
}

TInterfaceRef<IDesigner> TVelDesignManager::GetDesignerIntf() const { return FDesigner; }

// ------------------------------------------------------------ grid

bool TVelDesignManager::GetDisplayGrid() const { return FStageProxy->DisplayGrid(); }
void TVelDesignManager::SetDisplayGrid(bool Value) { FStageProxy->SetDisplayGrid(Value); }
int TVelDesignManager::GetGridSizeX() const { return FStageProxy->GridSizeX(); }
void TVelDesignManager::SetGridSizeX(int Value) { FStageProxy->SetGridSizeX(Value); }
int TVelDesignManager::GetGridSizeY() const { return FStageProxy->GridSizeY(); }
void TVelDesignManager::SetGridSizeY(int Value) { FStageProxy->SetGridSizeY(Value); }

}  // namespace vel
