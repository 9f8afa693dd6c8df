#include "platform/rtl/component.h"

#include <algorithm>

#include "platform/rtl/publish.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TComponent, "Classes");
VEL_IMPLEMENT_CLASS(TComponentList, "Contnrs");

void TComponent::VelPublish(TPublisher& P) {
  P.Property("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
  P.Property("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

// ---------------------------------------------------------------- TComponent

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  RemoveFreeNotifications();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  Destroying();
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (size_t I = 0; I < FComponents.size(); ++I) FComponents[I]->Destroying();
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount())
    throw EListError(Format("List index out of bounds (%d)", {std::int64_t(Index)}));
  return FComponents[size_t(Index)];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& L = FOwner->FComponents;
  auto It = std::find(L.begin(), L.end(), this);
  return It == L.end() ? -1 : int(It - L.begin());
}

void TComponent::SetComponentIndex(int Value) {
  if (!FOwner) return;
  auto& L = FOwner->FComponents;
  const int Cur = ComponentIndex();
  if (Cur < 0) return;
  Value = std::clamp(Value, 0, int(L.size()) - 1);
  if (Value == Cur) return;
  L.erase(L.begin() + Cur);
  L.insert(L.begin() + Value, this);
}

void TComponent::ValidateInsert(TComponent* AComponent) {
  if (AComponent == this) throw EComponentError("A component cannot own itself");
  for (TComponent* O = FOwner; O; O = O->FOwner)
    if (O == AComponent) throw EComponentError("A component cannot own one of its owners");
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
  AComponent->FOwner = nullptr;
  // Components usually leave from the end (destruction runs last first).
  auto It = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
  if (It != FComponents.rend()) FComponents.erase(std::next(It).base());
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent) return;
  ValidateInsert(AComponent);
  if (AComponent->FOwner == this) return;
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  Insert(AComponent);
  if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  // Announced while the component still belongs here, so receivers can tell
  // whose component leaves.
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::DestroyComponents() {
  // Each owned component removes itself from this list (and announces it) as it goes.
  while (!FComponents.empty()) {
    TComponent* C = FComponents.back();
    delete C;
  }
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* C : FComponents)
    if (SameText(C->FName, AName)) return C;
  return nullptr;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
  if (!AComponent || NewName.empty() || SameText(CurName, NewName)) return;
  TComponent* Other = FindComponent(NewName);
  if (Other && Other != AComponent) throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::SetName(const std::string& NewName) {
  if (FName == NewName) return;
  if (!NewName.empty() && !IsValidIdent(NewName))
    throw EComponentError("'" + NewName + "' is not a valid component name");
  if (FOwner)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  ChangeName(NewName);
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  if (SetChildren)
    for (size_t I = 0; I < FComponents.size(); ++I) FComponents[I]->SetDesigning(Value, true);
}

void TComponent::SetStreamingState(TComponentStateItem Item, bool On) {
  if (On)
    FComponentState.Include(Item);
  else
    FComponentState.Exclude(Item);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Owned components may free themselves or others while they are told: walk
  // from the end and re-check the bound after every call.
  int I = ComponentCount() - 1;
  while (I >= 0) {
    FComponents[size_t(I)]->Notification(AComponent, Operation);
    --I;
    if (I >= ComponentCount()) I = ComponentCount() - 1;
  }
}

namespace {
// From this many links on, a component indexes them.
constexpr std::size_t FreeIndexFrom = 16;
}  // namespace

void TComponent::AddFreeLink(TComponent* AComponent) {
  FComponentState.Include(csFreeNotification);
  if (FFreeIndex) {
    if (FFreeIndex->insert(AComponent).second) FFreeNotifies.push_back(AComponent);
    return;
  }
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) != FFreeNotifies.end()) return;
  FFreeNotifies.push_back(AComponent);
  if (FFreeNotifies.size() >= FreeIndexFrom)
    FFreeIndex = std::make_unique<std::unordered_set<const TComponent*>>(FFreeNotifies.begin(), FFreeNotifies.end());
}

void TComponent::DropFreeLink(TComponent* AComponent) {
  if (!FFreeIndex || FFreeIndex->erase(AComponent)) {
    // Links usually go in the reverse order of coming: search from the end.
    auto It = std::find(FFreeNotifies.rbegin(), FFreeNotifies.rend(), AComponent);
    if (It != FFreeNotifies.rend()) FFreeNotifies.erase(std::next(It).base());
  }
  if (FFreeNotifies.empty()) {
    FFreeIndex.reset();
    FComponentState.Exclude(csFreeNotification);
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  AddFreeLink(AComponent);
  AComponent->AddFreeLink(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  DropFreeLink(AComponent);
  AComponent->DropFreeLink(this);
}

void TComponent::RemoveFreeNotifications() {
  while (!FFreeNotifies.empty()) {
    TComponent* C = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    if (FFreeIndex) FFreeIndex->erase(C);
    C->DropFreeLink(this);
    C->Notification(this, opRemove);
  }
  FFreeIndex.reset();
  FComponentState.Exclude(csFreeNotification);
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

void TComponent::SetChildOrder(TComponent*, int) {}

std::string TComponent::GetNamePath() const { return FName; }

// ------------------------------------------------------------ TComponentList

// The hidden component that hears when a listed component is destroyed.
class TComponentList::TNexus : public TComponent {
 public:
  explicit TNexus(TComponentList* AList) : TComponent(nullptr), FList(AList) {}
  void Notification(TComponent* AComponent, TOperation Operation) override {
    if (Operation == opRemove && FList) FList->HandleFreeNotify(AComponent);
    TComponent::Notification(AComponent, Operation);
  }
  TComponentList* FList;
};

TComponentList::TComponentList(bool AOwnsObjects) : TObjectList(AOwnsObjects), FNexus(new TNexus(this)) {}

TComponentList::~TComponentList() {
  Clear();
  FNexus->FList = nullptr;
  delete FNexus;
}

void TComponentList::HandleFreeNotify(TComponent* AComponent) {
  // Every occurrence leaves; the component is being destroyed, so never free it here.
  for (int I = Count() - 1; I >= 0; --I)
    if (Get(I) == AComponent) TList::Extract(AComponent);
}

void TComponentList::Notify(void* Ptr, TListNotification Action) {
  auto* C = static_cast<TComponent*>(Ptr);
  if (Action == lnAdded) {
    FNexus->FreeNotification(C);
  } else if (IndexOf(C) < 0) {
    FNexus->RemoveFreeNotification(C);
  }
  TObjectList::Notify(Ptr, Action);
}

void TComponentList::Clear() {
  // Unlink every entry, then empty the list in one step, so clearing stays linear.
  std::vector<void*> Items = TakeItems();
  for (auto It = Items.rbegin(); It != Items.rend(); ++It)
    if (*It) FNexus->RemoveFreeNotification(static_cast<TComponent*>(*It));
  if (OwnsObjects())
    for (auto It = Items.rbegin(); It != Items.rend(); ++It) delete static_cast<TComponent*>(*It);
}

}  // namespace platform
