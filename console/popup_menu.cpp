#include "console/popup_menu.h"

#include <algorithm>

#include "console/design_center.h"
#include "console/designintf_impls.h"
#include "designer/manager.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TVelDesignCompPopupMenu, "VelDesignPopupMenu");
VEL_IMPLEMENT_CLASS(TVelDesignCompPopupMenuEx, "VelDesignPopupMenu");

// Forms that hold one can be read back.
const bool Registered =
    (RegisterClasses({TVelDesignCompPopupMenu::StaticClass(), TVelDesignCompPopupMenuEx::StaticClass()}), true);

TVelDesignCompPopupMenu::TVelDesignCompPopupMenu(TComponent* AOwner)
    : TPopupMenu(AOwner), FAddedSeparators(std::make_unique<TComponentList>(false)) {}

TVelDesignCompPopupMenu::~TVelDesignCompPopupMenu() { SetConsoleCenter(nullptr); }

void TVelDesignCompPopupMenu::SetConsoleCenter(TVelDesignCenter* Center) {
  if (Center == FConsoleCenter) return;
  if (FConsoleCenter) FConsoleCenter->RemoveFreeNotification(this);
  FConsoleCenter = Center;
  if (FConsoleCenter) FConsoleCenter->FreeNotification(this);
}

TComponentList* TVelDesignCompPopupMenu::GetSelComps() const {
  return FConsoleCenter ? FConsoleCenter->SelCompList() : nullptr;
}

void TVelDesignCompPopupMenu::PopupBaseOnComp(TComponent* Component, int X, int Y) {
  SetPopupComponent(Component);
  Popup(X, Y);
}

void TVelDesignCompPopupMenu::DoPopup(TObject* Sender) {
  if (FConsoleCenter) {
    TComponent* Clicked = PopupComponent();
    if (Clicked && IsVelDesignCtrl(Clicked)) {
      // A sizer or the tree view: the selection is what was clicked.
    } else if (auto* Control = dynamic_cast<TControl*>(Clicked)) {
      FConsoleCenter->DeselectUnsiblingControl(Control, true);
    } else {
      FConsoleCenter->DeselectControl();
    }
  }
  InitMenuItems();
  TPopupMenu::DoPopup(Sender);
}

void TVelDesignCompPopupMenu::InitMenuItems() {
  if (ComponentState().Contains(csDesigning)) return;
  AddCompEditorItems();
}

TMenuItem* TVelDesignCompPopupMenu::NewSeparator() {
  auto* Item = new TMenuItem(nullptr);
  Item->SetCaption("-");
  FAddedSeparators->Add(Item);
  return Item;
}

TMenuItem* TVelDesignCompPopupMenu::NewVerbItem(const std::string& Caption, int Index, const TNotifyEvent& OnClick) {
  auto* Item = new TMenuItem(nullptr);
  Item->SetCaption(Caption);
  Item->SetTag(VerbTagBase + Index);
  Item->OnClick = OnClick;
  return Item;
}

void TVelDesignCompPopupMenu::AddCompEditorItems() {
  RemoveLastCEItems();
  TInterfaceRef<IComponentEditor> Editor = GetCompEditor();
  if (!Editor) return;
  const int Count = std::min(Editor->GetVerbCount(), VerbTagBase);
  for (int I = 0; I < Count; ++I)
    Items()->Insert(I, NewVerbItem(Editor->GetVerb(I), I,
                                   TNotifyEvent::Bind<&TVelDesignCompPopupMenu::CompEditorItemOnClick>(this)));
  Items()->Insert(Count, NewSeparator());
}

void TVelDesignCompPopupMenu::RemoveLastCEItems() {
  for (int I = Items()->Count() - 1; I >= 0; --I) {
    TMenuItem* Item = Items()->Items(I);
    if (Item->Tag() >= VerbTagBase || FAddedSeparators->IndexOf(Item) >= 0) delete Item;
  }
  FAddedSeparators->Clear();
}

TInterfaceRef<IDesigner> TVelDesignCompPopupMenu::NewDesigner() const {
  TVelDesignManager* Manager = FConsoleCenter ? FConsoleCenter->DesignManager() : nullptr;
  return TInterfaceRef<IDesigner>(new TVelFormDesigner(Manager));
}

TInterfaceRef<IComponentEditor> TVelDesignCompPopupMenu::GetCompEditor() {
  TComponentList* Selected = GetSelComps();
  if (!Selected || Selected->Count() != 1) return nullptr;
  TInterfaceRef<IDesigner> Designer = NewDesigner();
  return GetComponentEditor(Selected->Items(0), Designer.Get());
}

void TVelDesignCompPopupMenu::ExecCompEditorItem(int Index) {
  if (TInterfaceRef<IComponentEditor> Editor = GetCompEditor()) Editor->ExecuteVerb(Index);
}

void TVelDesignCompPopupMenu::AfterVerbExecuted() {
  if (!FConsoleCenter) return;
  TVelDesignManager* Manager = FConsoleCenter->DesignManager();
  if (!Manager || !Manager->EmbedEditing()) FConsoleCenter->Refresh();
  FConsoleCenter->SetDirty(true);
}

void TVelDesignCompPopupMenu::CompEditorItemOnClick(TObject* Sender) {
  auto* Item = dynamic_cast<TMenuItem*>(Sender);
  if (!Item) return;
  ExecCompEditorItem(Item->Tag() % VerbTagBase);
  AfterVerbExecuted();
}

void TVelDesignCompPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TPopupMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FConsoleCenter) FConsoleCenter = nullptr;
}

void TVelDesignCompPopupMenuEx::InitMenuItems() {
  TVelDesignCompPopupMenu::InitMenuItems();
  if (ComponentState().Contains(csDesigning)) return;
  AddCompAttribEditorItems();
}

TInterfaceRef<IVelAttribEditor> TVelDesignCompPopupMenuEx::GetAttribEditor() {
  TComponentList* Selected = GetSelComps();
  if (!Selected || Selected->Count() != 1) return nullptr;
  TInterfaceRef<IDesigner> Designer = NewDesigner();
  return GetVelComponentAttribEditor(Selected->Items(0), Designer.Get());
}

void TVelDesignCompPopupMenuEx::AddCompAttribEditorItems() {
  RemoveLastAttribItems();
  TInterfaceRef<IVelAttribEditor> Editor = GetAttribEditor();
  if (!Editor) return;
  Items()->Add(NewSeparator());
  for (int I = std::min(Editor->GetVerbCount(), VerbTagBase) - 1; I >= 0; --I)
    Items()->Add(NewVerbItem(Editor->GetVerb(I), I,
                             TNotifyEvent::Bind<&TVelDesignCompPopupMenuEx::AttribEditorItemOnClick>(this)));
}

void TVelDesignCompPopupMenuEx::ExecAttribEditorItem(int Index) {
  if (TInterfaceRef<IVelAttribEditor> Editor = GetAttribEditor()) Editor->ExecuteVerb(Index);
}

void TVelDesignCompPopupMenuEx::AttribEditorItemOnClick(TObject* Sender) {
  auto* Item = dynamic_cast<TMenuItem*>(Sender);
  if (!Item) return;
  ExecAttribEditorItem(Item->Tag() % VerbTagBase);
  AfterVerbExecuted();
}

}  // namespace vel
