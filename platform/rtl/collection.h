// Collections: TCollection, TOwnedCollection and their items, TCollectionItem.
//
// A collection owns its items: it creates them through its item class's
// constructor (which takes the collection), keeps them in order and destroys
// them with itself. An item can move to another collection of a compatible
// item class. A published property whose type is a collection class streams
// as a list of items, each with its stored published properties.
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/persistent.h"

namespace platform {

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

/// \brief An element of a collection: it belongs to one collection at a time.
class TCollectionItem : public TPersistent {
  VEL_CLASS(TCollectionItem, TPersistent)
  /// The collection class an item class's constructor takes.
  using TVelItemCollection = TCollection;

  /// Adds the new item at the end of ACollection (none leaves it in no collection).
  explicit TCollectionItem(TCollection* ACollection);
  /// Takes the item out of its collection.
  ~TCollectionItem() override;
  void BeforeDestruction() override;

  TCollection* Collection() const { return FCollection; }
  /// Moves the item to the end of Value (none: out of any collection; the
  /// caller then owns it). A collection whose item class the item does not
  /// belong to raises EListError and the item stays where it was.
  virtual void SetCollection(TCollection* Value);
  /// Position in the collection, or -1 outside any.
  int Index() const;
  /// Moves the item to position Value; EListError outside 0..Count-1.
  virtual void SetIndex(int Value);
  /// A number unique within the collection, given when the item joined it.
  int ID() const { return FID; }
  std::string DisplayName() const { return GetDisplayName(); }
  virtual void SetDisplayName(const std::string& Value);
  /// "Collection path[Index]", or the class name outside any collection.
  std::string GetNamePath() const override;

 protected:
  /// The class name unless a descendant names its items.
  virtual std::string GetDisplayName() const;
  TPersistent* GetOwner() const override;
  /// Tells the collection the item changed (AllItems: a change that affects every item).
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

/// \brief An ordered list of items of one item class, which it owns.
class TCollection : public TPersistent {
  VEL_CLASS(TCollection, TPersistent)
  /// AItemClass must be TCollectionItem or a descendant; otherwise EInvalidOperation.
  explicit TCollection(TClass AItemClass);
  ~TCollection() override;
  void BeforeDestruction() override;

  /// A new item of the item class at the end.
  TCollectionItem* Add();
  /// A new item at Index (0..Count); EListError outside.
  TCollectionItem* Insert(int Index);
  /// Destroys the item at Index; EListError outside 0..Count-1.
  void Delete(int Index);
  /// Destroys every item, last first.
  void Clear();
  int Count() const { return int(FItems.size()); }
  /// The item at Index; EListError outside 0..Count-1.
  TCollectionItem* Items(int Index) const;
  TCollectionItem* GetItem(int Index) const { return Items(Index); }
  /// Copies Value into the item at Index through the item's Assign.
  void SetItem(int Index, TCollectionItem* Value);
  TClass ItemClass() const { return FItemClass; }
  /// The item with that ID, or none.
  TCollectionItem* FindItemID(int ID) const;

  /// Updates wait until the outermost EndUpdate, which calls Update(none).
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  /// From another collection: replaces the items by copies of Source's
  /// (each copied through its Assign). When a copy fails the collection keeps
  /// its former items and the error is raised.
  void Assign(TPersistent* Source) override;
  /// "OwnerPath.PropName" when the owner publishes the collection under a
  /// name, else the class name.
  std::string GetNamePath() const override;
  /// The object the collection belongs to (none for a plain collection).
  TPersistent* Owner() const { return GetOwner(); }

 protected:
  /// Called when Item changed, or with none when the collection as a whole did.
  virtual void Update(TCollectionItem*) {}
  /// Called when an item joined, is about to leave, or is about to be destroyed.
  virtual void Notify(TCollectionItem*, TCollectionNotification) {}
  /// Gives a newly inserted item a name, for collections whose items have one.
  virtual void SetItemName(TCollectionItem*) {}
  /// Update(none), unless updates are being held back.
  void Changed();
  /// The name of the owner's published property that holds this collection, or empty.
  std::string PropName() const;

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);
  void CheckIndex(int Index, int Limit) const;

  TClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
};

/// \brief A collection that belongs to an object (the object's published
/// property); GetNamePath and the stream writer go through that owner.
class TOwnedCollection : public TCollection {
  VEL_CLASS(TOwnedCollection, TCollection)
  TOwnedCollection(TPersistent* AOwner, TClass AItemClass);

 protected:
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};

}  // namespace platform
