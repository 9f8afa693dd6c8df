// Design-time interfaces: the designer, selections, component editors and the
// registries through which a library announces its components, actions and
// component editors.
//
// Sections: designer and selections; component editors; component-editor
// registry; palette pages and action categories.
//
// Editors and designers are reference counted (TInterfacedObject): hold them
// in a TInterfaceRef, and never pass an object that lives on the stack or is
// owned elsewhere where an interface reference may be taken, because the last
// reference to go destroys it.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/forms.h"
#include "platform/rtl/component.h"
#include "platform/rtl/typinfo.h"

namespace platform {

/// The type data of a type (what GetTypeData returns).
using PTypeData = const TTypeData*;
/// The class reference of a persistent class.
using TPersistentClass = TClass;

class IDesigner;
class IDesignerSelections;
using TGetModuleProc = std::function<void(const std::string& ModuleName)>;

// ------------------------------------------------------ designer and selections

/// \brief A list of the persistent objects a designer has selected.
class IDesignerSelections : public virtual IInterface {
 public:
  /// Appends Item; returns its index.
  virtual int Add(TPersistent* Item) = 0;
  /// True when List holds the same objects in the same order.
  virtual bool Equals(IDesignerSelections* List) = 0;
  /// The object at Index (EListError when out of range).
  virtual TPersistent* Get(int Index) = 0;
  virtual int Count() = 0;
};

/// \brief A window that a modal editor hands control back to when it ends.
class IActivatable : public virtual IInterface {
 public:
  virtual void Activate() = 0;
};

/// \brief A menu item that a component editor may adjust before its verb shows.
class IMenuItem : public virtual IInterface {
 public:
  virtual void SetCaption(const std::string& Value) = 0;
  virtual void SetEnabled(bool Value) = 0;
  virtual void SetVisible(bool Value) = 0;
  virtual void SetChecked(bool Value) = 0;
};

/// \brief The designer an editor works with: it finds, names, creates and
/// selects components, copies and pastes them, and hears of modifications.
class IDesigner : public virtual IInterface {
 public:
  virtual void Activate() = 0;
  virtual void Modified() = 0;
  virtual TMethod CreateMethod(const std::string& Name, PTypeData TypeData) = 0;
  virtual std::string GetMethodName(const TMethod& Method) = 0;
  virtual void GetMethods(PTypeData TypeData, const TGetStrProc& Proc) = 0;
  virtual std::string GetPathAndBaseExeName() = 0;
  virtual std::string GetPrivateDirectory() = 0;
  virtual std::string GetBaseRegKey() = 0;
  /// The host's options object; none where there is no host.
  virtual TObject* GetIDEOptions() = 0;
  virtual void GetSelections(IDesignerSelections* List) = 0;
  virtual bool MethodExists(const std::string& Name) = 0;
  virtual void RenameMethod(const std::string& CurName, const std::string& NewName) = 0;
  virtual void SelectComponent(TPersistent* Instance) = 0;
  virtual void SetSelections(IDesignerSelections* List) = 0;
  virtual void ShowMethod(const std::string& Name) = 0;
  /// Calls Proc with the name of every component of the class TypeData describes.
  virtual void GetComponentNames(PTypeData TypeData, const TGetStrProc& Proc) = 0;
  virtual TComponent* GetComponent(const std::string& Name) = 0;
  virtual std::string GetComponentName(TComponent* Component) = 0;
  virtual TPersistent* GetObject(const std::string& Name) = 0;
  virtual std::string GetObjectName(TPersistent* Instance) = 0;
  virtual void GetObjectNames(PTypeData TypeData, const TGetStrProc& Proc) = 0;
  virtual bool MethodFromAncestor(const TMethod& Method) = 0;
  virtual TComponent* CreateComponent(TComponentClass ComponentClass, TComponent* Parent, int Left, int Top, int Width,
                                      int Height) = 0;
  virtual TComponent* CreateCurrentComponent(TComponent* Parent, const TRect& Rect) = 0;
  virtual bool IsComponentLinkable(TComponent* Component) = 0;
  virtual bool IsComponentHidden(TComponent* Component) = 0;
  virtual void MakeComponentLinkable(TComponent* Component) = 0;
  virtual void Revert(TPersistent* Instance, PPropInfo PropInfo) = 0;
  virtual bool GetIsDormant() = 0;
  virtual void GetProjectModules(const TGetModuleProc& Proc) = 0;
  virtual TInterfaceRef<IDesigner> GetAncestorDesigner() = 0;
  virtual bool IsSourceReadOnly() = 0;
  virtual TPoint GetScrollRanges(const TPoint& ScrollPosition) = 0;
  virtual void Edit(TComponent* Component) = 0;
  virtual void ChainCall(const std::string& MethodName, const std::string& InstanceName,
                         const std::string& InstanceMethod, PTypeData TypeData) = 0;
  virtual void CopySelection() = 0;
  virtual void CutSelection() = 0;
  virtual bool CanPaste() = 0;
  virtual void PasteSelection() = 0;
  virtual void DeleteSelection(bool ADoAll) = 0;
  virtual void ClearSelection() = 0;
  virtual void NoSelection() = 0;
  virtual void ModuleFileNames(std::string& ImplFileName, std::string& IntfFileName, std::string& FormFileName) = 0;
  virtual std::string GetRootClassName() = 0;
  virtual std::string UniqueName(const std::string& BaseName) = 0;
  virtual TComponent* GetRoot() = 0;
  virtual TShiftState GetShiftState() = 0;
  virtual TModalResult ModalEdit(char EditKey, IActivatable* ReturnWindow) = 0;
  virtual void SelectItemName(const std::string& PropertyName) = 0;
  virtual void Resurrect() = 0;
  virtual TPersistentClass GetActiveClassGroup() = 0;
  virtual TComponent* FindRootAncestor(const std::string& AClassName) = 0;
};

namespace detail {
class TFreeWatch;
}

/// \brief The standard selection list. A selected component that is destroyed
/// drops out of the list by itself.
class TDesignerSelections : public TInterfacedObject, public IDesignerSelections {
  VEL_CLASS(TDesignerSelections, TInterfacedObject)
  TDesignerSelections();
  ~TDesignerSelections() override;

  int Add(TPersistent* Item) override;
  bool Equals(IDesignerSelections* List) override;
  TPersistent* Get(int Index) override;
  int Count() override { return int(FItems.size()); }
  TPersistent* operator[](int Index) { return Get(Index); }

 private:
  void Gone(TComponent* Component);

  std::vector<TPersistent*> FItems;
  std::unique_ptr<detail::TFreeWatch> FWatch;
};

// ----------------------------------------------------------- component editors

/// \brief What a design surface can do with a component: verbs for its
/// context menu and an action for a double click.
class IComponentEditor : public virtual IInterface {
 public:
  /// The double-click action.
  virtual void Edit() = 0;
  virtual void ExecuteVerb(int Index) = 0;
  virtual std::string GetVerb(int Index) = 0;
  virtual int GetVerbCount() = 0;
  /// Lets the editor adjust the menu item of verb Index before the menu shows.
  virtual void PrepareItem(int Index, IMenuItem* AItem) = 0;
  /// Puts the component's data on the clipboard in a form of the editor's choice.
  virtual void Copy() = 0;
  virtual bool IsInInlined() = 0;
  virtual TComponent* GetComponent() = 0;
  virtual TInterfaceRef<IDesigner> GetDesigner() = 0;
};

class TComponentEditor;

/// \brief The class reference of a component-editor class: its class and its
/// virtual constructor (Component, Designer). Made by ComponentEditorClass<T>().
class TComponentEditorClassRec {
 public:
  using TNew = TComponentEditor* (*)(TComponent* AComponent, IDesigner* ADesigner);
  constexpr TComponentEditorClassRec(TClass AClass, TNew ANew) : FClass(AClass), FNew(ANew) {}
  TClass ClassType() const { return FClass; }
  std::string ClassName() const { return FClass->ClassName(); }
  bool InheritsFrom(TClass AClass) const { return FClass->InheritsFrom(AClass); }
  /// A new editor of the class, not yet referenced (wrap it in a TInterfaceRef).
  TComponentEditor* Create(TComponent* AComponent, IDesigner* ADesigner) const;

 private:
  TClass FClass;
  TNew FNew;
};
using TComponentEditorClass = const TComponentEditorClassRec*;

/// \brief The base of component editors: no verbs; Edit runs the first verb
/// when there is one. An editor lives for one operation.
class TComponentEditor : public TInterfacedObject, public virtual IComponentEditor {
  VEL_CLASS(TComponentEditor, TInterfacedObject)
  TComponentEditor(TComponent* AComponent, IDesigner* ADesigner);

  void Edit() override;
  void ExecuteVerb(int Index) override;
  std::string GetVerb(int Index) override;
  int GetVerbCount() override;
  void PrepareItem(int Index, IMenuItem* AItem) override;
  void Copy() override;
  /// True when the component is part of an inlined (embedded) root.
  bool IsInInlined() override;
  TComponent* GetComponent() override { return FComponent; }
  TInterfaceRef<IDesigner> GetDesigner() override { return FDesigner; }

  TComponent* Component() const { return FComponent; }
  IDesigner* Designer() const { return FDesigner.Get(); }

 private:
  TComponent* FComponent;
  TInterfaceRef<IDesigner> FDesigner;
};

/// The class reference of the component-editor class T.
template <class T>
TComponentEditorClass ComponentEditorClass() {
  static_assert(std::is_base_of_v<TComponentEditor, T>, "a component editor derives from TComponentEditor");
  static constexpr TComponentEditorClassRec Rec(&T::ClassRecord, [](TComponent* C, IDesigner* D) -> TComponentEditor* {
    T* E = new T(C, D);
    E->AfterConstruction();
    return E;
  });
  return &Rec;
}

class IProperty;

/// \brief A component editor whose double click goes to an event handler: Edit
/// picks one of the component's events (OnCreate, OnChange or OnClick first,
/// else the first event) and lets the designer create and show its handler.
class TDefaultEditor : public TComponentEditor {
  VEL_CLASS(TDefaultEditor, TComponentEditor)
  using TComponentEditor::TComponentEditor;
  ~TDefaultEditor() override;

  void Edit() override;

 protected:
  /// Called for each event property until Continue is false; the base
  /// remembers the best candidate by name.
  virtual void EditProperty(const TInterfaceRef<IProperty>& Prop, bool& Continue);

 private:
  TInterfaceRef<IProperty> FFirst;
  TInterfaceRef<IProperty> FBest;
  int FBestRank = 0;
};

// ---------------------------------------------------- component-editor registry

/// Registers EditorClass for ComponentClass and its descendants. The most
/// derived registered class that fits a component wins; among registrations
/// for the same class, the latest. Raises EArgumentException for a class
/// reference that is none or not a component class.
void RegisterComponentEditor(TComponentClass ComponentClass, TComponentEditorClass EditorClass);
/// The component editor registered for the component's class, created with
/// Component and Designer; none when no registered class fits (or no component).
TInterfaceRef<IComponentEditor> GetComponentEditor(TComponent* Component, IDesigner* Designer);

// --------------------------------------------- palette pages and action categories

/// Puts component classes on a palette page, in the given order, and makes
/// them findable by name for streaming. A class already on the page keeps its
/// place. Raises EArgumentException for an empty page name or a class that is
/// none or not a component class; nothing is registered then.
void RegisterComponents(const std::string& Page, std::initializer_list<TComponentClass> Classes);
void RegisterComponents(const std::string& Page, const std::vector<TComponentClass>& Classes);
/// Puts action classes into an action category, in the given order; Resource
/// is a component class whose instance holds default properties, or none.
/// The same errors as RegisterComponents.
void RegisterActions(const std::string& Category, std::initializer_list<TClass> Classes, TComponentClass Resource);
void RegisterActions(const std::string& Category, const std::vector<TClass>& Classes, TComponentClass Resource);

/// The palette pages, in the order of their first registration.
std::vector<std::string> GetComponentPages();
/// The classes of a page (the name matched ignoring ASCII case), in order;
/// empty for an unknown page.
std::vector<TComponentClass> GetPageComponents(const std::string& Page);
/// The action categories, in the order of their first registration.
std::vector<std::string> GetActionCategories();
/// The action classes of a category, in order; empty for an unknown category.
std::vector<TClass> GetCategoryActions(const std::string& Category);
/// The resource class registered with a category's actions (the latest), or none.
TComponentClass GetCategoryResource(const std::string& Category);

}  // namespace platform
