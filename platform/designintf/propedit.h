// Property editors: the interface an object inspector talks to, the standard
// editor of each kind of property, the registry of application editors, and
// GetComponentProperties, which hands out one editor per property that all
// selected objects share.
//
// Sections: attributes and IProperty; TPropertyEditor; standard editors;
// registry and GetComponentProperties.
//
// An editor edits one property of one or more objects at once. Its value is
// the first object's (AllEqual tells whether all agree); SetValue writes every
// object through the typinfo Set*Prop routines, so the setters run. Editors
// are reference counted and meant to live for one operation; an object that
// is destroyed meanwhile simply leaves the editor.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/designintf/designintf.h"

namespace platform {

// ----------------------------------------------------- attributes and IProperty

enum TPropertyAttribute {
  paValueList,      // offers a list of values (GetValues)
  paSubProperties,  // has nested properties (GetProperties)
  paDialog,         // Edit opens a dialog
  paMultiSelect,    // may edit a property of several objects at once
  paAutoUpdate,     // SetValue after every change of the text
  paSortList,       // the value list is to be shown sorted
  paReadOnly,       // the value text cannot be typed
  paRevertable,     // can be reverted to the ancestor's value
  paFullWidthName,  // the name takes the whole row
  paVolatileSubProperties,
  paNotNestable,
  paValueEditable
};
using TPropertyAttributes = TSet<TPropertyAttribute>;

class IProperty;
using TGetPropProc = std::function<void(const TInterfaceRef<IProperty>& Prop)>;

/// \brief One property of the selected objects, as an inspector sees it.
class IProperty : public virtual IInterface {
 public:
  virtual void Activate() = 0;
  /// True when every selected object holds the same value.
  virtual bool AllEqual() = 0;
  virtual bool AutoFill() = 0;
  /// The editor's dialog or default action.
  virtual void Edit() = 0;
  virtual bool HasInstance(TPersistent* Instance) = 0;
  virtual TPropertyAttributes GetAttributes() = 0;
  virtual TPersistent* GetComponent(int Index) = 0;
  /// The longest text the value may have (0: no limit).
  virtual int GetEditLimit() = 0;
  virtual std::string GetName() = 0;
  virtual void GetProperties(const TGetPropProc& Proc) = 0;
  virtual PPropInfo GetPropInfo() = 0;
  virtual PTypeInfo GetPropType() = 0;
  virtual std::string GetValue() = 0;
  virtual void GetValues(const TGetStrProc& Proc) = 0;
  virtual void Revert() = 0;
  virtual void SetValue(const std::string& Value) = 0;
  virtual bool ValueAvailable() = 0;
  virtual int PropCount() = 0;
};

// -------------------------------------------------------------- TPropertyEditor

class TPropertyEditor;

/// \brief The class reference of a property-editor class (its class and its
/// virtual constructor). Made by PropertyEditorClass<T>().
class TPropertyEditorClassRec {
 public:
  using TNew = TPropertyEditor* (*)(IDesigner* ADesigner, int APropCount);
  constexpr TPropertyEditorClassRec(TClass AClass, TNew ANew) : FClass(AClass), FNew(ANew) {}
  TClass ClassType() const { return FClass; }
  std::string ClassName() const { return FClass->ClassName(); }
  bool InheritsFrom(TClass AClass) const { return FClass->InheritsFrom(AClass); }
  /// A new editor for APropCount objects, not yet referenced; its entries are
  /// set with SetPropEntry and then Initialize runs.
  TPropertyEditor* Create(IDesigner* ADesigner, int APropCount) const;

 private:
  TClass FClass;
  TNew FNew;
};
using TPropertyEditorClass = const TPropertyEditorClassRec*;

/// \brief The base of property editors: value text, value list, attributes and
/// the typed readers and writers of the edited property.
class TPropertyEditor : public TInterfacedObject, public IProperty {
  VEL_CLASS(TPropertyEditor, TInterfacedObject)
  TPropertyEditor(IDesigner* ADesigner, int APropCount);
  ~TPropertyEditor() override;

  /// Sets entry Index: the object and the property it edits. Holder is the
  /// component whose destruction ends the object (the object itself when it
  /// is a component; none when nothing can end it while the editor lives).
  void SetPropEntry(int Index, TPersistent* AInstance, PPropInfo APropInfo, TComponent* Holder = nullptr);
  /// Runs once all entries are set.
  virtual void Initialize() {}

  void Activate() override {}
  bool AllEqual() override;
  bool AutoFill() override;
  void Edit() override;
  bool HasInstance(TPersistent* Instance) override;
  TPropertyAttributes GetAttributes() override;
  TPersistent* GetComponent(int Index) override;
  int GetEditLimit() override;
  std::string GetName() override;
  void GetProperties(const TGetPropProc& Proc) override;
  PPropInfo GetPropInfo() override;
  PTypeInfo GetPropType() override;
  std::string GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  void Revert() override;
  void SetValue(const std::string& Value) override;
  bool ValueAvailable() override;
  int PropCount() override { return int(FEntries.size()); }

  IDesigner* Designer() const { return FDesigner.Get(); }
  /// The component that holds the object of entry Index (see SetPropEntry).
  TComponent* Holder(int Index) const;
  /// The property information of entry Index (objects of different classes
  /// may have different information for the same property).
  PPropInfo PropInfoAt(int Index) const;

 protected:
  // Readers of the first object's value and of the value at Index.
  std::int64_t GetOrdValue() { return GetOrdValueAt(0); }
  std::int64_t GetOrdValueAt(int Index);
  std::int64_t GetInt64Value() { return GetInt64ValueAt(0); }
  std::int64_t GetInt64ValueAt(int Index);
  double GetFloatValue() { return GetFloatValueAt(0); }
  double GetFloatValueAt(int Index);
  std::string GetStrValue() { return GetStrValueAt(0); }
  std::string GetStrValueAt(int Index);
  TObject* GetObjectValue() { return GetObjectValueAt(0); }
  TObject* GetObjectValueAt(int Index);
  TMethod GetMethodValue() { return GetMethodValueAt(0); }
  TMethod GetMethodValueAt(int Index);

  // Writers: every object, through the property's setter, then Modified.
  void SetOrdValue(std::int64_t Value);
  void SetInt64Value(std::int64_t Value);
  void SetFloatValue(double Value);
  void SetStrValue(const std::string& Value);
  void SetObjectValue(TObject* Value);
  void SetMethodValue(const TMethod& Value);

  /// Tells the designer that the objects changed.
  void Modified();
  /// The sub-property editors of the sub-objects the property refers to (the
  /// objects of a class-typed property), yielded when every object has one.
  void GetObjectSubProperties(const TGetPropProc& Proc);
  /// Raises EPropertyError with the platform's message for a text that is no value of the property.
  [[noreturn]] static void InvalidValue(const std::string& Value);

 private:
  struct TEntry {
    TPersistent* Instance;
    PPropInfo PropInfo;
    TComponent* Holder;
  };
  void Gone(TComponent* Component);
  /// Entry Index; EListError out of range, EPropertyError when it was never set.
  const TEntry& Entry(int Index) const;
  /// A copy of the entries that are set.
  std::vector<TEntry> SetEntries() const;

  TInterfaceRef<IDesigner> FDesigner;
  std::vector<TEntry> FEntries;
  std::unique_ptr<detail::TFreeWatch> FWatch;
};

/// The class reference of the property-editor class T.
template <class T>
TPropertyEditorClass PropertyEditorClass() {
  static_assert(std::is_base_of_v<TPropertyEditor, T>, "a property editor derives from TPropertyEditor");
  static constexpr TPropertyEditorClassRec Rec(&T::ClassRecord, [](IDesigner* D, int N) -> TPropertyEditor* {
    T* E = new T(D, N);
    E->AfterConstruction();
    return E;
  });
  return &Rec;
}

// ------------------------------------------------------------- standard editors

/// Integer, char and enumeration properties: compares ordinal values.
class TOrdinalProperty : public TPropertyEditor {
  VEL_CLASS(TOrdinalProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  int GetEditLimit() override { return 63; }
};

/// Integers in decimal, checked against the type's range.
class TIntegerProperty : public TOrdinalProperty {
  VEL_CLASS(TIntegerProperty, TOrdinalProperty)
  using TOrdinalProperty::TOrdinalProperty;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void SetValue(const std::string& Value) override;
};

/// Characters: the character itself when printable, else "#" and its code.
class TCharProperty : public TOrdinalProperty {
  VEL_CLASS(TCharProperty, TOrdinalProperty)
  using TOrdinalProperty::TOrdinalProperty;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void SetValue(const std::string& Value) override;
};

/// Enumerations by identifier; the identifiers in declaration order are the value list.
class TEnumProperty : public TOrdinalProperty {
  VEL_CLASS(TEnumProperty, TOrdinalProperty)
  using TOrdinalProperty::TOrdinalProperty;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  void SetValue(const std::string& Value) override;
};

/// Booleans as False and True.
class TBoolProperty : public TEnumProperty {
  VEL_CLASS(TBoolProperty, TEnumProperty)
  using TEnumProperty::TEnumProperty;
  std::string GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  void SetValue(const std::string& Value) override;
};

/// Integers named by a list (colours and cursors): the identifier when the
/// value has one, the value list of every identifier.
class TColorProperty : public TIntegerProperty {
  VEL_CLASS(TColorProperty, TIntegerProperty)
  using TIntegerProperty::TIntegerProperty;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  void SetValue(const std::string& Value) override;
  /// Opens the colour dialog on the first object's colour; OK writes every object.
  void Edit() override;
};

class TCursorProperty : public TIntegerProperty {
  VEL_CLASS(TCursorProperty, TIntegerProperty)
  using TIntegerProperty::TIntegerProperty;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  void SetValue(const std::string& Value) override;
};

/// Int64 properties in decimal.
class TInt64Property : public TPropertyEditor {
  VEL_CLASS(TInt64Property, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void SetValue(const std::string& Value) override;
};

/// Floating-point properties (FloatToStr and StrToFloat).
class TFloatProperty : public TPropertyEditor {
  VEL_CLASS(TFloatProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void SetValue(const std::string& Value) override;
};

/// Strings as they are.
class TStringProperty : public TPropertyEditor {
  VEL_CLASS(TStringProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  TPropertyAttributes GetAttributes() override;
  int GetEditLimit() override { return 0; }
  std::string GetValue() override;
  void SetValue(const std::string& Value) override;
};

/// A component's Name: never edited for several components at once.
class TComponentNameProperty : public TStringProperty {
  VEL_CLASS(TComponentNameProperty, TStringProperty)
  using TStringProperty::TStringProperty;
  TPropertyAttributes GetAttributes() override;
  int GetEditLimit() override { return 63; }
};

/// Sets as "[a,b]", with one True/False sub-property per element.
class TSetProperty : public TOrdinalProperty {
  VEL_CLASS(TSetProperty, TOrdinalProperty)
  using TOrdinalProperty::TOrdinalProperty;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void GetProperties(const TGetPropProc& Proc) override;
  void SetValue(const std::string& Value) override;
};

/// One element of a set property: True when the set holds it.
class TSetElementProperty : public TPropertyEditor {
  VEL_CLASS(TSetElementProperty, TPropertyEditor)
  TSetElementProperty(IDesigner* ADesigner, int APropCount) : TPropertyEditor(ADesigner, APropCount) {}
  /// Which element (its ordinal value) this editor stands for.
  void SetElement(int AElement) { FElement = AElement; }
  int Element() const { return FElement; }

  bool AllEqual() override;
  TPropertyAttributes GetAttributes() override;
  std::string GetName() override;
  std::string GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  void SetValue(const std::string& Value) override;

 private:
  bool Contains(int Index);
  int FElement = 0;
};

/// Class-typed properties: "(TFont)", with the published properties of the
/// referenced objects as sub-properties.
class TClassProperty : public TPropertyEditor {
  VEL_CLASS(TClassProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void GetProperties(const TGetPropProc& Proc) override;
};

/// Fonts: a class property whose dialog edits name, size, style and colour.
class TFontProperty : public TClassProperty {
  VEL_CLASS(TFontProperty, TClassProperty)
  using TClassProperty::TClassProperty;
  TPropertyAttributes GetAttributes() override;
  void Edit() override;
};

/// String lists: a class property whose dialog edits one line per item.
class TStringsProperty : public TClassProperty {
  VEL_CLASS(TStringsProperty, TClassProperty)
  using TClassProperty::TClassProperty;
  TPropertyAttributes GetAttributes() override;
  void Edit() override;
};

/// References to components: the referenced component's name ("Form1.Button1"
/// when it belongs to another root), the names of the candidates as value list.
class TComponentProperty : public TPropertyEditor {
  VEL_CLASS(TComponentProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  TPropertyAttributes GetAttributes() override;
  int GetEditLimit() override { return 127; }
  std::string GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  void SetValue(const std::string& Value) override;

 protected:
  /// The component the names are relative to: the designer's root, else the
  /// owner of the first object (or the object itself when it owns the reference).
  TComponent* LookupRoot(TComponent* Reference);
};

/// Events: the designer's name of the handler; SetValue creates or finds the
/// handler through the designer.
class TMethodProperty : public TPropertyEditor {
  VEL_CLASS(TMethodProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  TPropertyAttributes GetAttributes() override;
  int GetEditLimit() override { return 63; }
  std::string GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  void SetValue(const std::string& Value) override;
  /// Creates a handler named after the component and the event when there is
  /// none, and asks the designer to show it.
  void Edit() override;
  /// "Button1Click" for the event OnClick of Button1.
  std::string GetFormMethodName();
};

// ---------------------------------------- registry and GetComponentProperties

/// Registers EditorClass for properties of type PropertyType. For a class
/// type, the editor also serves properties of descendant classes. ComponentClass
/// (or none) limits it to objects of that class and its descendants,
/// PropertyName (or empty) to properties of that name. Among the registrations
/// that fit, the one with the most derived ComponentClass wins, then one with a
/// name, then one for the most derived property class, then the latest. An
/// EditorClass of none hides the properties it fits. Registrations take
/// precedence over the standard editors.
void RegisterPropertyEditor(PTypeInfo PropertyType, TClass ComponentClass, const std::string& PropertyName,
                            TPropertyEditorClass EditorClass);

/// The editor class for one property of one object: a registered one, else the
/// standard editor of the property's type; none when the property has none.
TPropertyEditorClass GetEditorClass(PPropInfo PropInfo, TClass ObjectClass);

/// Decides whether an editor is handed out; none hands out all.
using TPropertyEditorFilterFunc = std::function<bool(const TInterfaceRef<IProperty>& Prop)>;

/// Calls Proc with one editor for every readable property, of a kind in Kinds,
/// that all selected objects share (same name and same type) and that gets the
/// same editor class for each, in the first object's sorted property order.
/// With several objects, editors without paMultiSelect are left out.
void GetComponentProperties(IDesignerSelections* Selections, TTypeKinds Kinds, IDesigner* Designer,
                            const TGetPropProc& Proc, const TPropertyEditorFilterFunc& Filter = nullptr);

}  // namespace platform
