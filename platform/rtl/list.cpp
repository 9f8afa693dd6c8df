#include "platform/rtl/list.h"

#include <algorithm>

namespace platform {

VEL_IMPLEMENT_CLASS(TList, "Classes");
VEL_IMPLEMENT_CLASS(TObjectList, "Contnrs");

TList::~TList() {
  // Derived lists have been destroyed already: Notify runs as TList's here.
  FItems.clear();
}

void TList::Error(const char* Msg, int Data) { throw EListError(Format(Msg, {std::int64_t(Data)})); }

void TList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) Error("List index out of bounds (%d)", Index);
}

int TList::Add(void* Item) {
  FItems.push_back(Item);
  if (!Item) ++FNils;
  if (Item) Notify(Item, lnAdded);
  return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > Count()) Error("List index out of bounds (%d)", Index);
  FItems.insert(FItems.begin() + Index, Item);
  if (!Item) ++FNils;
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
  CheckIndex(Index);
  void* Item = FItems[size_t(Index)];
  FItems.erase(FItems.begin() + Index);
  if (!Item) --FNils;
  if (Item) Notify(Item, lnDeleted);
}

int TList::Remove(void* Item) {
  const int I = IndexOf(Item);
  if (I >= 0) Delete(I);
  return I;
}

void* TList::Extract(void* Item) {
  const int I = IndexOf(Item);
  if (I < 0) return nullptr;
  FItems.erase(FItems.begin() + I);
  if (!Item) --FNils;
  Notify(Item, lnExtracted);
  return Item;
}

int TList::IndexOf(const void* Item) const {
  auto It = std::find(FItems.begin(), FItems.end(), Item);
  return It == FItems.end() ? -1 : int(It - FItems.begin());
}

void TList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(FItems[size_t(Index1)], FItems[size_t(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  void* Item = FItems[size_t(CurIndex)];
  FItems.erase(FItems.begin() + CurIndex);
  FItems.insert(FItems.begin() + NewIndex, Item);
}

void TList::Clear() {
  // Entries leave one at a time from the end, so Notify sees a consistent list.
  while (!FItems.empty()) Delete(Count() - 1);
  FItems.shrink_to_fit();
  FCapacity = -1;
}

void TList::Pack() {
  if (FNils == 0) return;
  std::erase(FItems, nullptr);
  FNils = 0;
}

void TList::Sort(const TListSortCompare& Compare) {
  std::sort(FItems.begin(), FItems.end(), [&](void* A, void* B) { return Compare(A, B) < 0; });
}

void TList::Assign(const TList& ListA, TListAssignOp Op) {
  if (&ListA == this) return;
  switch (Op) {
    case laCopy:
      Clear();
      for (void* P : ListA.FItems) Add(P);
      break;
    case laAnd:
      for (int I = Count() - 1; I >= 0; --I)
        if (ListA.IndexOf(FItems[size_t(I)]) < 0) Delete(I);
      break;
    case laOr:
      for (void* P : ListA.FItems)
        if (IndexOf(P) < 0) Add(P);
      break;
    case laXor: {
      std::vector<void*> Others;
      for (void* P : ListA.FItems)
        if (IndexOf(P) < 0) Others.push_back(P);
      for (int I = Count() - 1; I >= 0; --I)
        if (ListA.IndexOf(FItems[size_t(I)]) >= 0) Delete(I);
      for (void* P : Others) Add(P);
      break;
    }
    case laSrcUnique: {
      std::vector<void*> Keep;
      for (void* P : ListA.FItems)
        if (IndexOf(P) < 0) Keep.push_back(P);
      Clear();
      for (void* P : Keep) Add(P);
      break;
    }
    case laDestUnique:
      for (int I = Count() - 1; I >= 0; --I)
        if (ListA.IndexOf(FItems[size_t(I)]) >= 0) Delete(I);
      break;
  }
}

void TList::SetCount(int NewCount) {
  if (NewCount < 0) Error("List count out of bounds (%d)", NewCount);
  while (Count() > NewCount) Delete(Count() - 1);
  FNils += NewCount - Count();
  FItems.resize(size_t(NewCount), nullptr);
}

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < Count()) Error("List capacity out of bounds (%d)", NewCapacity);
  FCapacity = NewCapacity;
  // Memory is given back only when much of it would lie unused, so that
  // setting the capacity to the count after every addition stays cheap.
  if (size_t(NewCapacity) > FItems.capacity()) {
    FItems.reserve(size_t(NewCapacity));
  } else if (FItems.capacity() > 2 * size_t(NewCapacity) + 16) {
    FItems.shrink_to_fit();
    FItems.reserve(size_t(NewCapacity));
  }
}

int TList::Capacity() const { return FCapacity >= Count() ? FCapacity : int(FItems.capacity()); }

void* TList::Get(int Index) const {
  CheckIndex(Index);
  return FItems[size_t(Index)];
}

void TList::Put(int Index, void* Item) {
  CheckIndex(Index);
  void* Old = FItems[size_t(Index)];
  if (Old == Item) return;
  FItems[size_t(Index)] = Item;
  FNils += (Item ? 0 : 1) - (Old ? 0 : 1);
  if (Old) Notify(Old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

void TList::Notify(void*, TListNotification) {}

std::vector<void*> TList::TakeItems() {
  std::vector<void*> Items;
  Items.swap(FItems);
  FNils = 0;
  return Items;
}

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
  TList::Notify(Ptr, Action);
}

}  // namespace platform
