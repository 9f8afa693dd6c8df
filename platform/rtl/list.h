// Pointer lists: TList and TObjectList.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/object.h"

namespace platform {

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
enum TListAssignOp { laCopy, laAnd, laOr, laXor, laSrcUnique, laDestUnique };

/// \brief A list of untyped pointers; derived lists react to changes in Notify.
class TList : public TObject {
  VEL_CLASS(TList, TObject)
  using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

  TList() = default;
  ~TList() override;

  int Add(void* Item);
  void Insert(int Index, void* Item);
  /// Removes the entry at Index (EListError when out of range).
  void Delete(int Index);
  /// Removes the first entry equal to Item; returns its former index or -1.
  int Remove(void* Item);
  /// Removes Item without the deletion notification; returns it or none.
  void* Extract(void* Item);
  int IndexOf(const void* Item) const;
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);
  virtual void Clear();
  /// Removes every empty (none) entry.
  void Pack();
  void Sort(const TListSortCompare& Compare);
  /// With laCopy this list becomes a copy of ListA; the other operators combine the two.
  void Assign(const TList& ListA, TListAssignOp Op = laCopy);

  int Count() const { return int(FItems.size()); }
  void SetCount(int NewCount);
  int Capacity() const;
  void SetCapacity(int NewCapacity);
  void* Get(int Index) const;
  void Put(int Index, void* Item);
  void* Items(int Index) const { return Get(Index); }
  void* operator[](int Index) const { return Get(Index); }
  void* First() const { return Get(0); }
  void* Last() const { return Get(Count() - 1); }
  const std::vector<void*>& List() const { return FItems; }

 protected:
  /// Told after an entry was added and after one was extracted or deleted.
  virtual void Notify(void* Ptr, TListNotification Action);
  [[noreturn]] static void Error(const char* Msg, int Data);
  void CheckIndex(int Index) const;
  /// Empties the list without notifications and hands back the former entries.
  std::vector<void*> TakeItems();

 private:
  std::vector<void*> FItems;
  int FNils = 0;       // empty entries, so that packing a list without any is free
  int FCapacity = -1;  // as last set, while the entries fit in it
};

/// \brief A list of objects that frees its entries when it owns them.
class TObjectList : public TList {
  VEL_CLASS(TObjectList, TList)
  explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override;

  int Add(TObject* Obj) { return TList::Add(Obj); }
  void Insert(int Index, TObject* Obj) { TList::Insert(Index, Obj); }
  int Remove(TObject* Obj) { return TList::Remove(Obj); }
  TObject* Extract(TObject* Obj) { return static_cast<TObject*>(TList::Extract(Obj)); }
  int IndexOf(const TObject* Obj) const { return TList::IndexOf(Obj); }
  TObject* Items(int Index) const { return static_cast<TObject*>(Get(Index)); }
  TObject* operator[](int Index) const { return Items(Index); }
  void SetItem(int Index, TObject* Obj) { Put(Index, Obj); }

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 private:
  bool FOwnsObjects;
};

}  // namespace platform
