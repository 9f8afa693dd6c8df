#include "platform/designintf/propedit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "platform/designintf/designintf_p.h"
#include "platform/designintf/dialogs.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/stringlist.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TPropertyEditor, "DesignEditors");
VEL_IMPLEMENT_CLASS(TOrdinalProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TIntegerProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TCharProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TEnumProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TBoolProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TColorProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TCursorProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TInt64Property, "DesignEditors");
VEL_IMPLEMENT_CLASS(TFloatProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TStringProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TComponentNameProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TSetProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TSetElementProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TClassProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TFontProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TStringsProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TComponentProperty, "DesignEditors");
VEL_IMPLEMENT_CLASS(TMethodProperty, "DesignEditors");

namespace {

// An object whose properties are listed, and the component whose destruction ends it.
struct TSubject {
  TPersistent* Instance;
  TComponent* Holder;
};

void ListProperties(const std::vector<TSubject>& Subjects, TTypeKinds Kinds, IDesigner* Designer,
                    const TGetPropProc& Proc, const TPropertyEditorFilterFunc& Filter);

void CheckRange(PTypeInfo Type, std::int64_t Value) {
  const TTypeData* D = GetTypeData(Type);
  if (Value < D->MinValue || Value > D->MaxValue)
    throw EPropertyError("Value must be between " + IntToStr(D->MinValue) + " and " + IntToStr(D->MaxValue));
}

bool ParseBool(const std::string& Value, bool& Result) {
  const std::string V = Trim(Value);
  if (SameText(V, "True")) {
    Result = true;
    return true;
  }
  if (SameText(V, "False")) {
    Result = false;
    return true;
  }
  return false;
}

}  // namespace

// ================================================================ TPropertyEditor

TPropertyEditor* TPropertyEditorClassRec::Create(IDesigner* ADesigner, int APropCount) const {
  return FNew(ADesigner, APropCount);
}

TPropertyEditor::TPropertyEditor(IDesigner* ADesigner, int APropCount) : FDesigner(ADesigner) {
  if (APropCount < 0) throw EArgumentException("A property editor needs a non-negative object count");
  FEntries.resize(size_t(APropCount), TEntry{nullptr, nullptr, nullptr});
}

TPropertyEditor::~TPropertyEditor() = default;

void TPropertyEditor::SetPropEntry(int Index, TPersistent* AInstance, PPropInfo APropInfo, TComponent* Holder) {
  if (Index < 0 || Index >= PropCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  if (!AInstance || !APropInfo) throw EArgumentException("A property editor entry needs an object and a property");
  if (!Holder) Holder = dynamic_cast<TComponent*>(AInstance);
  FEntries[size_t(Index)] = TEntry{AInstance, APropInfo, Holder};
  if (Holder) {
    if (!FWatch) FWatch = std::make_unique<detail::TFreeWatch>([this](TComponent* C) { Gone(C); });
    FWatch->Watch(Holder);
  }
}

void TPropertyEditor::Gone(TComponent* Component) {
  std::erase_if(FEntries, [Component](const TEntry& E) { return E.Holder == Component; });
}

const TPropertyEditor::TEntry& TPropertyEditor::Entry(int Index) const {
  if (Index < 0 || Index >= int(FEntries.size()))
    throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  const TEntry& E = FEntries[size_t(Index)];
  if (!E.Instance || !E.PropInfo) throw EPropertyError("Property editor entry " + IntToStr(Index) + " is not set");
  return E;
}

std::vector<TPropertyEditor::TEntry> TPropertyEditor::SetEntries() const {
  std::vector<TEntry> Result;
  for (const TEntry& E : FEntries)
    if (E.Instance && E.PropInfo) Result.push_back(E);
  return Result;
}

TComponent* TPropertyEditor::Holder(int Index) const { return Entry(Index).Holder; }
PPropInfo TPropertyEditor::PropInfoAt(int Index) const { return Entry(Index).PropInfo; }

bool TPropertyEditor::AllEqual() { return PropCount() <= 1; }
bool TPropertyEditor::AutoFill() { return true; }

void TPropertyEditor::Edit() {
  // Without a dialog, a double click steps to the next value of the list.
  if (!GetAttributes().Contains(paValueList) || PropCount() == 0) return;
  std::vector<std::string> Values;
  GetValues([&](const std::string& S) { Values.push_back(S); });
  if (Values.empty()) return;
  const std::string Current = GetValue();
  size_t Next = 0;
  for (size_t I = 0; I < Values.size(); ++I)
    if (SameText(Values[I], Current)) {
      Next = (I + 1) % Values.size();
      break;
    }
  SetValue(Values[Next]);
}

bool TPropertyEditor::HasInstance(TPersistent* Instance) {
  return std::any_of(FEntries.begin(), FEntries.end(), [Instance](const TEntry& E) { return E.Instance == Instance; });
}

TPropertyAttributes TPropertyEditor::GetAttributes() { return {paMultiSelect, paRevertable}; }
TPersistent* TPropertyEditor::GetComponent(int Index) { return Entry(Index).Instance; }
int TPropertyEditor::GetEditLimit() { return 255; }
std::string TPropertyEditor::GetName() {
  return FEntries.empty() || !FEntries[0].PropInfo ? std::string() : FEntries[0].PropInfo->Name;
}
void TPropertyEditor::GetProperties(const TGetPropProc&) {}
PPropInfo TPropertyEditor::GetPropInfo() { return FEntries.empty() ? nullptr : FEntries[0].PropInfo; }
PTypeInfo TPropertyEditor::GetPropType() {
  return FEntries.empty() || !FEntries[0].PropInfo ? nullptr : FEntries[0].PropInfo->PropType;
}
std::string TPropertyEditor::GetValue() { return "(unknown)"; }
void TPropertyEditor::GetValues(const TGetStrProc&) {}

void TPropertyEditor::Revert() {
  if (!FDesigner) return;
  for (const TEntry& E : SetEntries()) FDesigner->Revert(E.Instance, E.PropInfo);
}

void TPropertyEditor::SetValue(const std::string&) {}
bool TPropertyEditor::ValueAvailable() { return !FEntries.empty(); }

std::int64_t TPropertyEditor::GetOrdValueAt(int Index) {
  const TEntry& E = Entry(Index);
  return GetOrdProp(E.Instance, E.PropInfo);
}
std::int64_t TPropertyEditor::GetInt64ValueAt(int Index) {
  const TEntry& E = Entry(Index);
  return GetInt64Prop(E.Instance, E.PropInfo);
}
double TPropertyEditor::GetFloatValueAt(int Index) {
  const TEntry& E = Entry(Index);
  return GetFloatProp(E.Instance, E.PropInfo);
}
std::string TPropertyEditor::GetStrValueAt(int Index) {
  const TEntry& E = Entry(Index);
  return GetStrProp(E.Instance, E.PropInfo);
}
TObject* TPropertyEditor::GetObjectValueAt(int Index) {
  const TEntry& E = Entry(Index);
  return GetObjectProp(E.Instance, E.PropInfo);
}
TMethod TPropertyEditor::GetMethodValueAt(int Index) {
  const TEntry& E = Entry(Index);
  return GetMethodProp(E.Instance, E.PropInfo);
}

// Each writer goes through the property's setter on every object; a copy of the
// entries is walked because a setter may destroy a component.
void TPropertyEditor::SetOrdValue(std::int64_t Value) {
  for (const TEntry& E : SetEntries()) SetOrdProp(E.Instance, E.PropInfo, Value);
  Modified();
}
void TPropertyEditor::SetInt64Value(std::int64_t Value) {
  for (const TEntry& E : SetEntries()) SetInt64Prop(E.Instance, E.PropInfo, Value);
  Modified();
}
void TPropertyEditor::SetFloatValue(double Value) {
  for (const TEntry& E : SetEntries()) SetFloatProp(E.Instance, E.PropInfo, Value);
  Modified();
}
void TPropertyEditor::SetStrValue(const std::string& Value) {
  for (const TEntry& E : SetEntries()) SetStrProp(E.Instance, E.PropInfo, Value);
  Modified();
}
void TPropertyEditor::SetObjectValue(TObject* Value) {
  for (const TEntry& E : SetEntries()) SetObjectProp(E.Instance, E.PropInfo, Value);
  Modified();
}
void TPropertyEditor::SetMethodValue(const TMethod& Value) {
  for (const TEntry& E : SetEntries()) SetMethodProp(E.Instance, E.PropInfo, Value);
  Modified();
}

void TPropertyEditor::Modified() {
  if (FDesigner) FDesigner->Modified();
}

void TPropertyEditor::GetObjectSubProperties(const TGetPropProc& Proc) {
  std::vector<TSubject> Subjects;
  for (int I = 0; I < PropCount(); ++I) {
    auto* Sub = dynamic_cast<TPersistent*>(GetObjectValueAt(I));
    if (!Sub) return;
    Subjects.push_back({Sub, Holder(I)});
  }
  ListProperties(Subjects, tkAny, Designer(), Proc, nullptr);
}

void TPropertyEditor::InvalidValue(const std::string& Value) {
  throw EPropertyError("Invalid property value: \"" + Value + "\"");
}

// ============================================================== ordinal editors

bool TOrdinalProperty::AllEqual() {
  for (int I = 1; I < PropCount(); ++I)
    if (GetOrdValueAt(I) != GetOrdValue()) return false;
  return true;
}

TPropertyAttributes TIntegerProperty::GetAttributes() { return {paMultiSelect, paRevertable}; }

std::string TIntegerProperty::GetValue() { return PropCount() ? IntToStr(GetOrdValue()) : std::string(); }

void TIntegerProperty::SetValue(const std::string& Value) {
  const std::int64_t V = StrToInt64(Trim(Value));
  CheckRange(GetPropType(), V);
  SetOrdValue(V);
}

TPropertyAttributes TCharProperty::GetAttributes() { return {paMultiSelect, paRevertable}; }

std::string TCharProperty::GetValue() {
  if (!PropCount()) return {};
  const std::int64_t C = GetOrdValue();
  if (C > 32 && C < 127) return std::string(1, char(C));
  std::string Code(1, '#');
  Code += IntToStr(C);
  return Code;
}

void TCharProperty::SetValue(const std::string& Value) {
  std::int64_t C = 0;
  if (Value.size() == 1)
    C = static_cast<unsigned char>(Value[0]);
  else if (Value.size() > 1 && Value[0] == '#') {
    if (!TryStrToInt64(Value.substr(1), C)) InvalidValue(Value);
  } else if (!Value.empty())
    InvalidValue(Value);
  CheckRange(GetPropType(), C);
  SetOrdValue(C);
}

TPropertyAttributes TEnumProperty::GetAttributes() { return {paMultiSelect, paValueList, paRevertable}; }

std::string TEnumProperty::GetValue() {
  if (!PropCount()) return {};
  const std::int64_t V = GetOrdValue();
  const TTypeData* D = GetTypeData(GetPropType());
  if (V < D->MinValue || V > D->MaxValue) return IntToStr(V);
  return GetEnumName(GetPropType(), V);
}

void TEnumProperty::GetValues(const TGetStrProc& Proc) {
  if (!PropCount()) return;
  const TTypeData* D = GetTypeData(GetPropType());
  for (std::int64_t V = D->MinValue; V <= D->MaxValue; ++V) Proc(GetEnumName(GetPropType(), V));
}

void TEnumProperty::SetValue(const std::string& Value) {
  const std::int64_t V = GetEnumValue(GetPropType(), Trim(Value));
  const TTypeData* D = GetTypeData(GetPropType());
  if (V < D->MinValue || V > D->MaxValue) InvalidValue(Value);
  SetOrdValue(V);
}

std::string TBoolProperty::GetValue() {
  if (!PropCount()) return {};
  return GetOrdValue() != 0 ? "True" : "False";
}

void TBoolProperty::GetValues(const TGetStrProc& Proc) {
  Proc("False");
  Proc("True");
}

void TBoolProperty::SetValue(const std::string& Value) {
  bool B = false;
  if (!ParseBool(Value, B)) InvalidValue(Value);
  SetOrdValue(B ? 1 : 0);
}

TPropertyAttributes TColorProperty::GetAttributes() { return {paMultiSelect, paDialog, paValueList, paRevertable}; }

std::string TColorProperty::GetValue() {
  return PropCount() ? ColorToString(TColor(std::int32_t(GetOrdValue()))) : std::string();
}

void TColorProperty::GetValues(const TGetStrProc& Proc) { GetColorValues(Proc); }

void TColorProperty::SetValue(const std::string& Value) { SetOrdValue(StringToColor(Trim(Value))); }

void TColorProperty::Edit() {
  if (!PropCount()) return;
  TColor Color = TColor(std::int32_t(GetOrdValue()));
  if (ExecuteColorDialog(Color)) SetOrdValue(Color);
}

TPropertyAttributes TCursorProperty::GetAttributes() { return {paMultiSelect, paSortList, paValueList, paRevertable}; }

std::string TCursorProperty::GetValue() {
  return PropCount() ? CursorToString(TCursor(std::int16_t(GetOrdValue()))) : std::string();
}

void TCursorProperty::GetValues(const TGetStrProc& Proc) { GetCursorValues(Proc); }

void TCursorProperty::SetValue(const std::string& Value) { SetOrdValue(StringToCursor(Trim(Value))); }

// ============================================================ other value kinds

bool TInt64Property::AllEqual() {
  for (int I = 1; I < PropCount(); ++I)
    if (GetInt64ValueAt(I) != GetInt64Value()) return false;
  return true;
}

TPropertyAttributes TInt64Property::GetAttributes() { return {paMultiSelect, paRevertable}; }

std::string TInt64Property::GetValue() { return PropCount() ? IntToStr(GetInt64Value()) : std::string(); }

void TInt64Property::SetValue(const std::string& Value) {
  const std::int64_t V = StrToInt64(Trim(Value));
  CheckRange(GetPropType(), V);
  SetInt64Value(V);
}

bool TFloatProperty::AllEqual() {
  for (int I = 1; I < PropCount(); ++I)
    if (GetFloatValueAt(I) != GetFloatValue()) return false;
  return true;
}

TPropertyAttributes TFloatProperty::GetAttributes() { return {paMultiSelect, paRevertable}; }

std::string TFloatProperty::GetValue() {
  if (!PropCount()) return {};
  double V = GetFloatValue();
  // A single holds about 7 significant digits; more would show conversion noise (0.100000001490116).
  if (GetTypeData(GetPropType())->FloatType == ftSingle) {
    char Buf[32];
    std::snprintf(Buf, sizeof Buf, "%.7g", V);
    V = std::strtod(Buf, nullptr);
  }
  return FloatToStr(V);
}

void TFloatProperty::SetValue(const std::string& Value) { SetFloatValue(StrToFloat(Value)); }

bool TStringProperty::AllEqual() {
  for (int I = 1; I < PropCount(); ++I)
    if (GetStrValueAt(I) != GetStrValue()) return false;
  return true;
}

TPropertyAttributes TStringProperty::GetAttributes() { return {paMultiSelect, paRevertable}; }

std::string TStringProperty::GetValue() { return PropCount() ? GetStrValue() : std::string(); }

void TStringProperty::SetValue(const std::string& Value) { SetStrValue(Value); }

TPropertyAttributes TComponentNameProperty::GetAttributes() { return {}; }

// ======================================================================= sets

TPropertyAttributes TSetProperty::GetAttributes() { return {paMultiSelect, paSubProperties, paReadOnly, paRevertable}; }

std::string TSetProperty::GetValue() {
  return PropCount() ? SetToString(GetPropType(), std::uint64_t(GetOrdValue()), true) : std::string();
}

void TSetProperty::GetProperties(const TGetPropProc& Proc) {
  if (!PropCount()) return;
  const TTypeData* Element = GetTypeData(GetTypeData(GetPropType())->CompType);
  for (std::int64_t V = Element->MinValue; V <= Element->MaxValue; ++V) {
    auto* E = new TSetElementProperty(Designer(), PropCount());
    TInterfaceRef<IProperty> Ref(E);
    for (int I = 0; I < PropCount(); ++I) E->SetPropEntry(I, GetComponent(I), PropInfoAt(I), Holder(I));
    E->SetElement(int(V));
    E->Initialize();
    Proc(Ref);
  }
}

void TSetProperty::SetValue(const std::string& Value) { SetOrdValue(std::int64_t(StringToSet(GetPropType(), Value))); }

bool TSetElementProperty::Contains(int Index) { return (std::uint64_t(GetOrdValueAt(Index)) >> FElement) & 1u; }

bool TSetElementProperty::AllEqual() {
  for (int I = 1; I < PropCount(); ++I)
    if (Contains(I) != Contains(0)) return false;
  return true;
}

TPropertyAttributes TSetElementProperty::GetAttributes() { return {paMultiSelect, paValueList}; }

std::string TSetElementProperty::GetName() {
  if (!PropCount()) return {};
  return GetEnumName(GetTypeData(GetPropType())->CompType, FElement);
}

std::string TSetElementProperty::GetValue() {
  if (!PropCount()) return {};
  return Contains(0) ? "True" : "False";
}

void TSetElementProperty::GetValues(const TGetStrProc& Proc) {
  Proc("False");
  Proc("True");
}

void TSetElementProperty::SetValue(const std::string& Value) {
  bool B = false;
  if (!ParseBool(Value, B)) InvalidValue(Value);
  // Each object keeps its other elements.
  const std::uint64_t Bit = std::uint64_t(1) << FElement;
  std::vector<std::pair<TPersistent*, PPropInfo>> Targets;
  for (int I = 0; I < PropCount(); ++I) Targets.emplace_back(GetComponent(I), PropInfoAt(I));
  for (auto& [Instance, Info] : Targets) {
    const std::uint64_t Old = std::uint64_t(GetOrdProp(Instance, Info));
    SetOrdProp(Instance, Info, std::int64_t(B ? Old | Bit : Old & ~Bit));
  }
  Modified();
}

// ==================================================================== classes

TPropertyAttributes TClassProperty::GetAttributes() { return {paMultiSelect, paSubProperties, paReadOnly}; }

std::string TClassProperty::GetValue() { return PropCount() ? "(" + GetPropType()->Name + ")" : std::string(); }

void TClassProperty::GetProperties(const TGetPropProc& Proc) { GetObjectSubProperties(Proc); }

TPropertyAttributes TFontProperty::GetAttributes() {
  return TClassProperty::GetAttributes() + TPropertyAttributes{paDialog};
}

void TFontProperty::Edit() {
  if (!PropCount()) return;
  TFont Font;
  if (auto* Current = dynamic_cast<TFont*>(GetObjectValue())) Font.Assign(Current);
  if (ExecuteFontDialog(&Font)) SetObjectValue(&Font);
}

TPropertyAttributes TStringsProperty::GetAttributes() {
  return TClassProperty::GetAttributes() + TPropertyAttributes{paDialog};
}

void TStringsProperty::Edit() {
  if (!PropCount()) return;
  TStringList Lines;
  if (auto* Current = dynamic_cast<TStrings*>(GetObjectValue())) Lines.Assign(Current);
  std::string Caption = GetName();
  if (auto* C = dynamic_cast<TComponent*>(GetComponent(0)); C && !C->Name().empty())
    Caption = C->Name() + "." + Caption;
  if (ExecuteStringsDialog(&Lines, Caption)) SetObjectValue(&Lines);
}

// ====================================================== component references

namespace {

std::string ReferenceName(TComponent* C, TComponent* Root) {
  if (!Root || C == Root || !C->Owner() || C->Owner() == Root) return C->Name();
  return C->Owner()->Name() + "." + C->Name();
}

}  // namespace

TComponent* TComponentProperty::LookupRoot(TComponent* Reference) {
  if (!PropCount()) return nullptr;
  auto* Instance = dynamic_cast<TComponent*>(GetComponent(0));
  if (!Instance) Instance = Holder(0);
  if (!Instance) return nullptr;
  if (Reference && Reference->Owner() == Instance) return Instance;
  // A root (a form) belongs to the application; its own components are named plainly.
  if (!Instance->Owner() || dynamic_cast<TApplication*>(Instance->Owner())) return Instance;
  return Instance->Owner();
}

bool TComponentProperty::AllEqual() {
  for (int I = 1; I < PropCount(); ++I)
    if (GetObjectValueAt(I) != GetObjectValue()) return false;
  return true;
}

TPropertyAttributes TComponentProperty::GetAttributes() {
  return {paMultiSelect, paValueList, paSortList, paRevertable};
}

std::string TComponentProperty::GetValue() {
  if (!PropCount()) return {};
  auto* C = dynamic_cast<TComponent*>(GetObjectValue());
  if (!C) return {};
  if (Designer()) return Designer()->GetComponentName(C);
  return ReferenceName(C, LookupRoot(C));
}

void TComponentProperty::GetValues(const TGetStrProc& Proc) {
  if (!PropCount()) return;
  if (Designer()) {
    Designer()->GetComponentNames(GetTypeData(GetPropType()), Proc);
    return;
  }
  TComponent* Root = LookupRoot(nullptr);
  if (!Root) return;
  const TClass Wanted = GetTypeData(GetPropType())->ClassType;
  for (int I = 0; I < Root->ComponentCount(); ++I) {
    TComponent* C = Root->Components(I);
    if (!C->Name().empty() && C->InheritsFrom(Wanted)) Proc(C->Name());
  }
}

void TComponentProperty::SetValue(const std::string& Value) {
  const std::string Name = Trim(Value);
  if (Name.empty()) {
    SetObjectValue(nullptr);
    return;
  }
  TComponent* Found = nullptr;
  if (Designer()) {
    Found = Designer()->GetComponent(Name);
  } else if (const size_t Dot = Name.find('.'); Dot != std::string::npos) {
    if (TComponent* Owner = Application()->FindComponent(Name.substr(0, Dot)))
      Found = Owner->FindComponent(Name.substr(Dot + 1));
  } else if (TComponent* Root = LookupRoot(nullptr)) {
    Found = SameText(Root->Name(), Name) ? Root : Root->FindComponent(Name);
  }
  if (!Found || !Found->InheritsFrom(GetTypeData(GetPropType())->ClassType)) InvalidValue(Value);
  SetObjectValue(Found);
}

// ===================================================================== events

bool TMethodProperty::AllEqual() {
  for (int I = 1; I < PropCount(); ++I)
    if (!(GetMethodValueAt(I) == GetMethodValue())) return false;
  return true;
}

TPropertyAttributes TMethodProperty::GetAttributes() { return {paMultiSelect, paValueList, paSortList, paRevertable}; }

std::string TMethodProperty::GetValue() {
  if (!PropCount() || !Designer()) return {};
  const TMethod M = GetMethodValue();
  return M ? Designer()->GetMethodName(M) : std::string();
}

void TMethodProperty::GetValues(const TGetStrProc& Proc) {
  if (PropCount() && Designer()) Designer()->GetMethods(GetTypeData(GetPropType()), Proc);
}

void TMethodProperty::SetValue(const std::string& Value) {
  const std::string Name = Trim(Value);
  if (Name.empty()) {
    SetMethodValue(TMethod{});
    return;
  }
  if (!IsValidIdent(Name)) InvalidValue(Value);
  if (!Designer()) throw EPropertyError("No designer to create the event handler " + Name);
  SetMethodValue(Designer()->CreateMethod(Name, GetTypeData(GetPropType())));
}

std::string TMethodProperty::GetFormMethodName() {
  std::string Event = GetName();
  if (Event.size() > 2 && SameText(Event.substr(0, 2), "On")) Event.erase(0, 2);
  auto* C = PropCount() ? dynamic_cast<TComponent*>(GetComponent(0)) : nullptr;
  return (C ? C->Name() : std::string()) + Event;
}

void TMethodProperty::Edit() {
  if (!PropCount() || !Designer()) return;
  std::string Name = GetValue();
  if (Name.empty()) {
    Name = GetFormMethodName();
    SetValue(Name);
  }
  Designer()->ShowMethod(Name);
}

// ============================================ registry and GetComponentProperties

namespace {

struct TPropertyEditorRecord {
  PTypeInfo PropertyType;
  TClass ComponentClass;
  std::string PropertyName;
  TPropertyEditorClass EditorClass;
};

std::vector<TPropertyEditorRecord>& PropertyEditors() {
  static std::vector<TPropertyEditorRecord> List;
  return List;
}

int ClassDepth(TClass C) {
  int Depth = 0;
  for (; C; C = C->ClassParent()) ++Depth;
  return Depth;
}

bool TypeFits(PTypeInfo Registered, PTypeInfo Actual) {
  if (Registered == Actual) return true;
  return Registered->Kind == tkClass && Actual->Kind == tkClass &&
         GetTypeData(Actual)->ClassType->InheritsFrom(GetTypeData(Registered)->ClassType);
}

TPropertyEditorClass StandardEditorClass(PPropInfo PropInfo, TClass ObjectClass) {
  const PTypeInfo T = PropInfo->PropType;
  switch (T->Kind) {
    case tkInteger:
      if (T == TypeInfo<TColor>()) return PropertyEditorClass<TColorProperty>();
      if (T == TypeInfo<TCursor>()) return PropertyEditorClass<TCursorProperty>();
      return PropertyEditorClass<TIntegerProperty>();
    case tkChar:
    case tkWChar:
      return PropertyEditorClass<TCharProperty>();
    case tkEnumeration:
      if (GetTypeData(T)->BaseType == TypeInfo<bool>() || T == TypeInfo<bool>())
        return PropertyEditorClass<TBoolProperty>();
      return PropertyEditorClass<TEnumProperty>();
    case tkFloat:
      return PropertyEditorClass<TFloatProperty>();
    case tkString:
    case tkLString:
    case tkWString:
      if (SameText(PropInfo->Name, "Name") && ObjectClass && ObjectClass->InheritsFrom(TComponent::StaticClass()))
        return PropertyEditorClass<TComponentNameProperty>();
      return PropertyEditorClass<TStringProperty>();
    case tkSet:
      return PropertyEditorClass<TSetProperty>();
    case tkClass: {
      const TClass C = GetTypeData(T)->ClassType;
      if (C->InheritsFrom(TFont::StaticClass())) return PropertyEditorClass<TFontProperty>();
      if (C->InheritsFrom(TStrings::StaticClass())) return PropertyEditorClass<TStringsProperty>();
      if (C->InheritsFrom(TComponent::StaticClass())) return PropertyEditorClass<TComponentProperty>();
      return PropertyEditorClass<TClassProperty>();
    }
    case tkMethod:
      return PropertyEditorClass<TMethodProperty>();
    case tkInt64:
      return PropertyEditorClass<TInt64Property>();
    default:
      return nullptr;
  }
}

void ListProperties(const std::vector<TSubject>& Subjects, TTypeKinds Kinds, IDesigner* Designer,
                    const TGetPropProc& Proc, const TPropertyEditorFilterFunc& Filter) {
  if (Subjects.empty() || !Subjects[0].Instance) return;
  const TPersistent* First = Subjects[0].Instance;
  std::vector<PPropInfo> Candidates;
  for (PPropInfo P : GetPropList(First))
    if (Kinds.Contains(P->PropType->Kind) && P->GetProc) Candidates.push_back(P);
  SortPropList(Candidates);

  const int Count = int(Subjects.size());
  for (PPropInfo P : Candidates) {
    const TPropertyEditorClass EditorClass = GetEditorClass(P, First->ClassType());
    if (!EditorClass) continue;
    // Every object must have the property under the same name and type, and the same editor for it.
    std::vector<PPropInfo> Infos{P};
    for (int I = 1; I < Count && int(Infos.size()) == I; ++I) {
      const TPersistent* Obj = Subjects[size_t(I)].Instance;
      PPropInfo Q = Obj ? GetPropInfo(Obj, P->Name) : nullptr;
      if (Q && Q->PropType == P->PropType && Q->GetProc && GetEditorClass(Q, Obj->ClassType()) == EditorClass)
        Infos.push_back(Q);
    }
    if (int(Infos.size()) != Count) continue;

    TPropertyEditor* Editor = EditorClass->Create(Designer, Count);
    TInterfaceRef<IProperty> Ref(Editor);
    for (int I = 0; I < Count; ++I)
      Editor->SetPropEntry(I, Subjects[size_t(I)].Instance, Infos[size_t(I)], Subjects[size_t(I)].Holder);
    Editor->Initialize();
    if (Count > 1 && !Editor->GetAttributes().Contains(paMultiSelect)) continue;
    if (Filter && !Filter(Ref)) continue;
    Proc(Ref);
  }
}

}  // namespace

void RegisterPropertyEditor(PTypeInfo PropertyType, TClass ComponentClass, const std::string& PropertyName,
                            TPropertyEditorClass EditorClass) {
  if (!PropertyType) throw EArgumentException("RegisterPropertyEditor: no property type given");
  PropertyEditors().push_back({PropertyType, ComponentClass, PropertyName, EditorClass});
}

TPropertyEditorClass GetEditorClass(PPropInfo PropInfo, TClass ObjectClass) {
  if (!PropInfo) return nullptr;
  const TPropertyEditorRecord* Best = nullptr;
  // Rank: component class depth, a property name, property class depth; a later record wins a tie.
  auto Rank = [](const TPropertyEditorRecord& R) {
    return std::make_tuple(R.ComponentClass ? ClassDepth(R.ComponentClass) : 0, R.PropertyName.empty() ? 0 : 1,
                           R.PropertyType->Kind == tkClass ? ClassDepth(GetTypeData(R.PropertyType)->ClassType) : 0);
  };
  for (const TPropertyEditorRecord& R : PropertyEditors()) {
    if (!TypeFits(R.PropertyType, PropInfo->PropType)) continue;
    if (R.ComponentClass && !(ObjectClass && ObjectClass->InheritsFrom(R.ComponentClass))) continue;
    if (!R.PropertyName.empty() && !SameText(R.PropertyName, PropInfo->Name)) continue;
    if (!Best || Rank(R) >= Rank(*Best)) Best = &R;
  }
  if (Best) return Best->EditorClass;
  return StandardEditorClass(PropInfo, ObjectClass);
}

void GetComponentProperties(IDesignerSelections* Selections, TTypeKinds Kinds, IDesigner* Designer,
                            const TGetPropProc& Proc, const TPropertyEditorFilterFunc& Filter) {
  if (!Selections || !Proc) return;
  std::vector<TSubject> Subjects;
  for (int I = 0; I < Selections->Count(); ++I) {
    TPersistent* P = Selections->Get(I);
    if (!P) return;
    Subjects.push_back({P, dynamic_cast<TComponent*>(P)});
  }
  ListProperties(Subjects, Kinds, Designer, Proc, Filter);
}

}  // namespace platform
