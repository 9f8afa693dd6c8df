#include "platform/rtl/collection.h"

#include <algorithm>

#include "platform/rtl/typinfo.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TCollectionItem, "Classes");
VEL_IMPLEMENT_CLASS(TCollection, "Classes");
VEL_IMPLEMENT_CLASS(TOwnedCollection, "Classes");

// ----------------------------------------------------------- TCollectionItem

// The item's class is not yet its final one while a constructor runs, so
// joining here does not check it against the collection's item class.
TCollectionItem::TCollectionItem(TCollection* ACollection) {
  if (ACollection) ACollection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
  if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  // Leave while the whole item still exists, so the collection's Notify sees all of it.
  if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (Value && !InheritsFrom(Value->ItemClass()))
    throw EListError("A " + ClassName() + " cannot join a collection of " + Value->ItemClass()->ClassName());
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  const auto& L = FCollection->FItems;
  auto It = std::find(L.begin(), L.end(), this);
  return It == L.end() ? -1 : int(It - L.begin());
}

void TCollectionItem::SetIndex(int Value) {
  const int Cur = Index();
  if (Cur < 0 || Cur == Value) return;
  FCollection->CheckIndex(Value, FCollection->Count() - 1);
  auto& L = FCollection->FItems;
  L.erase(L.begin() + Cur);
  L.insert(L.begin() + Value, this);
  Changed(true);
}

void TCollectionItem::SetDisplayName(const std::string&) { Changed(false); }

std::string TCollectionItem::GetDisplayName() const { return ClassName(); }

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

std::string TCollectionItem::GetNamePath() const {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

// --------------------------------------------------------------- TCollection

TCollection::TCollection(TClass AItemClass) : FItemClass(AItemClass) {
  if (!AItemClass || !AItemClass->InheritsFrom(TCollectionItem::StaticClass()))
    throw EInvalidOperation(std::string("A collection needs a collection item class, not ") +
                            (AItemClass ? AItemClass->ClassName() : std::string("none")));
}

TCollection::~TCollection() {
  FUpdateCount = 1;
  Clear();
}

void TCollection::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  // Items leave while the whole collection exists; no updates are announced any more.
  FUpdateCount = 1;
  Clear();
}

void TCollection::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index > Limit) throw EListError(Format("List index out of bounds (%d)", {std::int64_t(Index)}));
}

TCollectionItem* TCollection::Add() {
  TObject* Obj = FItemClass->CreateItem(this);
  auto* Item = dynamic_cast<TCollectionItem*>(Obj);
  if (!Item) {
    delete Obj;
    throw EInvalidOperation("Class " + FItemClass->ClassName() + " made no collection item");
  }
  return Item;
}

TCollectionItem* TCollection::Insert(int Index) {
  CheckIndex(Index, Count());
  TCollectionItem* Item = Add();
  Item->SetIndex(Index);
  return Item;
}

void TCollection::Delete(int Index) {
  TCollectionItem* Item = Items(Index);
  Notify(Item, cnDeleting);
  delete Item;
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) delete FItems.back();
  EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const {
  CheckIndex(Index, Count() - 1);
  return FItems[std::size_t(Index)];
}

void TCollection::SetItem(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* Item : FItems)
    if (Item->FID == ID) return Item;
  return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount == 0) return;  // unbalanced: nothing was held back
  --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  SetItemName(Item);
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  // Items usually leave from the end (Clear runs last first).
  auto It = std::find(FItems.rbegin(), FItems.rend(), Item);
  if (It != FItems.rend()) FItems.erase(std::next(It).base());
  Item->FCollection = nullptr;
  Changed();
}

void TCollection::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TCollection*>(Source);
  if (!Src) {
    TPersistent::Assign(Source);
    return;
  }
  if (Src == this) return;
  // The copies join after the current items; only when every copy succeeded
  // do the former items go, so a failed copy loses nothing.
  BeginUpdate();
  const int Old = Count();
  try {
    for (int I = 0; I < Src->Count(); ++I) Add()->Assign(Src->Items(I));
  } catch (...) {
    while (Count() > Old) delete FItems.back();
    EndUpdate();
    throw;
  }
  for (int I = Old - 1; I >= 0; --I) delete FItems[std::size_t(I)];
  EndUpdate();
}

std::string TCollection::PropName() const {
  TPersistent* Owner = GetOwner();
  if (!Owner) return std::string();
  for (PPropInfo P : GetPropList(Owner))
    if (P->PropType->Kind == tkClass && P->GetProc && GetObjectProp(Owner, P) == this) return P->Name;
  return std::string();
}

std::string TCollection::GetNamePath() const {
  TPersistent* Owner = GetOwner();
  if (!Owner) return ClassName();
  const std::string OwnerPath = Owner->GetNamePath();
  if (OwnerPath.empty()) return ClassName();
  const std::string Prop = PropName();
  if (Prop.empty()) return ClassName();
  return OwnerPath + "." + Prop;
}

// ---------------------------------------------------------- TOwnedCollection

TOwnedCollection::TOwnedCollection(TPersistent* AOwner, TClass AItemClass) : TCollection(AItemClass), FOwner(AOwner) {}

}  // namespace platform
