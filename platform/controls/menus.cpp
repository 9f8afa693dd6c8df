#include "platform/controls/menus.h"

#include <algorithm>

namespace platform {

VEL_IMPLEMENT_CLASS(TMenuItem, "Menus");
VEL_IMPLEMENT_CLASS(TMenu, "Menus");
VEL_IMPLEMENT_CLASS(TPopupMenu, "Menus");

std::string StripHotkey(const std::string& Caption) {
  std::string R;
  for (size_t I = 0; I < Caption.size(); ++I) {
    if (Caption[I] == '&') {
      if (I + 1 < Caption.size() && Caption[I + 1] == '&') {
        R += '&';
        ++I;
      }
      continue;
    }
    R += Caption[I];
  }
  return R;
}

char GetHotkey(const std::string& Caption) {
  for (size_t I = 0; I + 1 < Caption.size(); ++I) {
    if (Caption[I] != '&') continue;
    if (Caption[I + 1] == '&') {
      ++I;
      continue;
    }
    const char C = Caption[I + 1];
    return (C >= 'a' && C <= 'z') ? char(C - 'a' + 'A') : C;
  }
  return 0;
}

// ================================================================== TMenuItem

void TMenuItem::VelPublish(TPublisher& P) {
  P.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  P.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
  P.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
  P.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  P.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  P.Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  P.Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
  P.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
  P.Property("OnClick", &TMenuItem::OnClick, &TMenuItem::OnClick);
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  if (FParent) FParent->Remove(this);
  // Sub-items belong to this item.
  while (!FItems.empty()) {
    TMenuItem* Last = FItems.back();
    FItems.pop_back();
    Last->FParent = nullptr;
    delete Last;
  }
}

void TMenuItem::SetCaption(const std::string& Value) { FCaption = Value; }
void TMenuItem::SetEnabled(bool Value) { FEnabled = Value; }
void TMenuItem::SetVisible(bool Value) { FVisible = Value; }

void TMenuItem::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  // A checked radio item unchecks the others of its group.
  if (Value && FRadioItem && FParent)
    for (TMenuItem* I : FParent->FItems)
      if (I != this && I->FRadioItem && I->FGroupIndex == FGroupIndex) I->FChecked = false;
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {std::int64_t(Index)}));
  return FItems[size_t(Index)];
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
  if (!FParent) return;
  TMenuItem* P = FParent;
  const int Cur = MenuIndex();
  Value = std::clamp(Value, 0, P->Count() - 1);
  if (Value == Cur) return;
  P->FItems.erase(P->FItems.begin() + Cur);
  P->FItems.insert(P->FItems.begin() + Value, this);
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto It = std::find(FItems.begin(), FItems.end(), Item);
  return It == FItems.end() ? -1 : int(It - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EInvalidOperation("Menu inserted twice");
  for (TMenuItem* P = this; P; P = P->FParent)
    if (P == Item) throw EInvalidOperation("A menu item cannot contain itself");
  if (Index < 0 || Index > Count()) throw EListError(Format("List index out of bounds (%d)", {std::int64_t(Index)}));
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
}

void TMenuItem::Delete(int Index) {
  TMenuItem* Item = Items(Index);
  FItems.erase(FItems.begin() + Index);
  Item->FParent = nullptr;
}

void TMenuItem::Remove(TMenuItem* Item) {
  const int I = IndexOf(Item);
  if (I < 0) throw EInvalidOperation("Menu item not found");
  Delete(I);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) {
    TMenuItem* Last = FItems.back();
    FItems.pop_back();
    Last->FParent = nullptr;
    delete Last;
  }
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
  const std::string Wanted = StripHotkey(ACaption);
  for (TMenuItem* I : FItems)
    if (SameText(StripHotkey(I->FCaption), Wanted)) return I;
  return nullptr;
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (OnClick) OnClick(this);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TMenuItem* I : FItems)
    if (I->Owner() == Root) Proc(I);
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (FParent) FParent->Remove(this);
  if (auto* M = dynamic_cast<TMenu*>(Value))
    M->Items()->Add(this);
  else if (auto* I = dynamic_cast<TMenuItem*>(Value))
    I->Add(this);
}

// ====================================================================== TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu() { delete FItems; }

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

// ================================================================= TPopupMenu

void TPopupMenu::VelPublish(TPublisher& P) {
  P.Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
  P.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
  P.Property("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::OnPopup);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() { CloseMenu(); }

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent == Value) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(int, int) { DoPopup(this); }

void TPopupMenu::CloseMenu() {}

bool TPopupMenu::IsShown() const { return FWindow != nullptr; }

HWND TPopupMenu::MenuWindow() const { return nullptr; }

TRect TPopupMenu::ItemScreenRect(const TMenuItem*) const { return TRect{}; }

}  // namespace platform
