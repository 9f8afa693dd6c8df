// The component model: TComponent (ownership, names, notifications, state) and TComponentList.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/rtl/list.h"
#include "platform/rtl/persistent.h"
#include "platform/rtl/set.h"

namespace platform {

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

enum TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleItem>;

class TComponent;
using TGetChildProc = std::function<void(TComponent* Child)>;

/// \brief A persistent object with an owner, a name and notifications.
///
/// An owner destroys what it owns. Insertion into and removal from an owner's
/// list are announced through Notification, which every component passes on to
/// the components it owns. FreeNotification links two components so that each
/// hears (opRemove) when the other is destroyed.
///
/// Destruction order: csDestroying is set on the component and everything it
/// owns; derived destructors run (a control leaves its parent there); free
/// notification subscribers are told; owned components are destroyed; the
/// owner removes the component and announces opRemove.
class TComponent : public TPersistent, public virtual IInterface {
  VEL_CLASS(TComponent, TPersistent)
  /// Publishes Name (written by the stream writer itself, so not stored) and Tag (default 0).
  VEL_PUBLISH(P);
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  // Ownership.
  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return int(FComponents.size()); }
  /// The owned component at Index (EListError when out of range).
  TComponent* Components(int Index) const;
  /// Position in the owner's list, or -1 without an owner.
  int ComponentIndex() const;
  /// Moves the component in its owner's list; the index is clamped to the list.
  void SetComponentIndex(int Value);
  /// Makes this component the owner of AComponent (removing it from its former
  /// owner) and announces opInsert. A name already used by another owned
  /// component is accepted here.
  void InsertComponent(TComponent* AComponent);
  /// Takes AComponent out of this component's list and announces opRemove.
  void RemoveComponent(TComponent* AComponent);
  /// Destroys every owned component, last first.
  void DestroyComponents();
  /// The directly owned component of that name (ASCII case ignored), or none.
  TComponent* FindComponent(const std::string& AName) const;

  // Name and tag.
  const std::string& Name() const { return FName; }
  /// Sets the name; an invalid identifier or a name another component of the
  /// same owner bears raises EComponentError and leaves the name unchanged.
  virtual void SetName(const std::string& NewName);
  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }

  // State and style.
  TComponentState ComponentState() const { return FComponentState; }
  TComponentStyle ComponentStyle() const { return FComponentStyle; }
  /// Sets or clears csDesigning on this component and, when SetChildren, on everything it owns.
  void SetDesigning(bool Value, bool SetChildren = true);
  /// Marks this component and everything it owns as being destroyed.
  void Destroying();

  // Notifications.
  /// Told when AComponent is inserted into or removed from this component's
  /// list, or when a component linked by FreeNotification is destroyed. The
  /// base passes the call on to every owned component, last first, and drops
  /// the free-notification link of a removed component.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  /// Links this component and AComponent: each hears opRemove when the other is destroyed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Streaming hooks.
  /// Called once after the component's published properties have been read.
  virtual void Loaded();
  /// Calls Proc for every child component to be streamed with this one.
  virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent*) {}
  /// Moves Child, one of the children this component presents, to position
  /// Order among them (the stream reader's child position). The base does nothing.
  virtual void SetChildOrder(TComponent* Child, int Order);
  /// Sets or clears loading/reading/writing state (used by the stream reader and writer).
  void SetStreamingState(TComponentStateItem Item, bool On);

  std::string GetNamePath() const override;
  void BeforeDestruction() override;

  // Components are not reference counted: interface references never free them.
  int _AddRef() override { return -1; }
  int _Release() override { return -1; }

 protected:
  virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
  virtual void ValidateInsert(TComponent* AComponent);
  virtual void ChangeName(const std::string& NewName) { FName = NewName; }
  TPersistent* GetOwner() const override { return FOwner; }
  void SetComponentStyle(TComponentStyle Value) { FComponentStyle = Value; }
  void IncludeComponentStyle(TComponentStyleItem Item) { FComponentStyle.Include(Item); }

 private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void AddFreeLink(TComponent* AComponent);
  void DropFreeLink(TComponent* AComponent);
  void RemoveFreeNotifications();

  TComponent* FOwner = nullptr;
  std::string FName;
  int FTag = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  // Membership of a long FFreeNotifies (a list component may watch thousands),
  // so that linking and unlinking do not search it.
  std::unique_ptr<std::unordered_set<const TComponent*>> FFreeIndex;
  TComponentState FComponentState;
  TComponentStyle FComponentStyle{csInheritable};
};

/// The class reference of a component class; creates with an owner.
using TComponentClass = TClass;

/// \brief A list of components that does not own them by default; a destroyed
/// component drops out of it by itself.
class TComponentList : public TObjectList {
  VEL_CLASS(TComponentList, TObjectList)
  explicit TComponentList(bool AOwnsObjects = false);
  ~TComponentList() override;

  int Add(TComponent* C) { return TList::Add(C); }
  void Insert(int Index, TComponent* C) { TList::Insert(Index, C); }
  int Remove(TComponent* C) { return TList::Remove(C); }
  TComponent* Extract(TComponent* C) { return static_cast<TComponent*>(TList::Extract(C)); }
  int IndexOf(const TComponent* C) const { return TList::IndexOf(C); }
  TComponent* Items(int Index) const { return static_cast<TComponent*>(Get(Index)); }
  TComponent* operator[](int Index) const { return Items(Index); }
  void SetItem(int Index, TComponent* C) { Put(Index, C); }
  void Clear() override;

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 private:
  class TNexus;
  friend class TNexus;
  void HandleFreeNotify(TComponent* AComponent);
  TNexus* FNexus = nullptr;
};

}  // namespace platform
