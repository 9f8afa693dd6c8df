#include "platform/rtl/typinfo.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "platform/rtl/publish.h"

namespace platform {

// ------------------------------------------------------------ type builders

namespace {

std::string Trimmed(std::string_view S) {
  size_t B = 0, E = S.size();
  while (B < E && static_cast<unsigned char>(S[B]) <= ' ') ++B;
  while (E > B && static_cast<unsigned char>(S[E - 1]) <= ' ') --E;
  return std::string(S.substr(B, E - B));
}

std::vector<std::string> SplitTrimmed(std::string_view S, char Sep) {
  std::vector<std::string> Parts;
  size_t Start = 0;
  for (;;) {
    const size_t P = S.find(Sep, Start);
    Parts.push_back(Trimmed(S.substr(Start, P == std::string_view::npos ? std::string_view::npos : P - Start)));
    if (P == std::string_view::npos) break;
    Start = P + 1;
  }
  return Parts;
}

// Type information lives for the whole process, also while static objects are
// destroyed at exit, so its store is never destroyed (it stays reachable).
std::vector<std::unique_ptr<TTypeInfo>>& TypeStore() {
  static auto* Store = new std::vector<std::unique_ptr<TTypeInfo>>;
  return *Store;
}

TTypeInfo* NewType(TTypeKind Kind, std::string_view Name) {
  auto Info = std::make_unique<TTypeInfo>();
  Info->Kind = Kind;
  // A declaration may have named the type with its namespace ("vel::TMyEvent").
  const size_t Colons = Name.rfind("::");
  Info->Name = std::string(Colons == std::string_view::npos ? Name : Name.substr(Colons + 2));
  TypeStore().push_back(std::move(Info));
  return TypeStore().back().get();
}

}  // namespace

namespace detail {

TTypeInfo* MakeOrdinalTypeInfo(std::string_view Name, TTypeKind Kind, TOrdType OrdType, std::int64_t Min,
                               std::int64_t Max) {
  TTypeInfo* Info = NewType(Kind, Name);
  Info->Data.OrdType = OrdType;
  Info->Data.MinValue = Min;
  Info->Data.MaxValue = Max;
  return Info;
}

TTypeInfo* MakeEnumTypeInfo(std::string_view Name, std::string_view UnitName, std::string_view Names) {
  std::vector<std::string> List = SplitTrimmed(Names, ',');
  // Stored in the fewest bytes that hold every value.
  const TOrdType Ord = List.size() <= 0x100 ? otUByte : List.size() <= 0x10000 ? otUWord : otULong;
  TTypeInfo* Info = MakeOrdinalTypeInfo(Name, tkEnumeration, Ord, 0, std::int64_t(List.size()) - 1);
  Info->Data.BaseType = Info;
  Info->Data.NameList = std::move(List);
  Info->Data.UnitName = std::string(UnitName);
  return Info;
}

TTypeInfo* MakeSubrangeTypeInfo(std::string_view Name, std::string_view UnitName, PTypeInfo Base, std::int64_t Min,
                                std::int64_t Max) {
  TTypeInfo* Info = MakeOrdinalTypeInfo(Name, tkEnumeration, Base->Data.OrdType, Min, Max);
  Info->Data.BaseType = Base->Data.BaseType;
  Info->Data.UnitName = std::string(UnitName);
  return Info;
}

TTypeInfo* MakeSetTypeInfo(std::string_view Name, std::string_view UnitName, PTypeInfo Element) {
  TTypeInfo* Info = NewType(tkSet, Name);
  const std::int64_t Count = Element->Data.MaxValue + 1;
  Info->Data.OrdType = Count <= 8 ? otUByte : Count <= 16 ? otUWord : otULong;
  Info->Data.CompType = Element;
  Info->Data.UnitName = std::string(UnitName);
  return Info;
}

TTypeInfo* MakeMethodTypeInfo(std::string_view Name, std::string_view UnitName, TMethodKind Kind,
                              std::string_view Signature, const std::type_info* EventTypeId) {
  TTypeInfo* Info = NewType(tkMethod, Name);
  Info->Data.MethodKind = Kind;
  Info->Data.EventTypeId = EventTypeId;
  Info->Data.UnitName = std::string(UnitName);
  // An optional "(...): Result" form gives a function's result type.
  std::string_view Params = Signature;
  const size_t Close = Signature.rfind(')');
  if (Close != std::string_view::npos) {
    const size_t Open = Signature.find('(');
    Params = Signature.substr(Open == std::string_view::npos ? 0 : Open + 1,
                              Close - (Open == std::string_view::npos ? 0 : Open + 1));
    const size_t Colon = Signature.find(':', Close);
    if (Colon != std::string_view::npos) {
      Info->Data.ResultType = Trimmed(Signature.substr(Colon + 1));
      Info->Data.MethodKind = Kind == mkProcedure ? mkFunction : Kind;
    }
  }
  for (const std::string& Group : SplitTrimmed(Params, ';')) {
    if (Group.empty()) continue;
    const size_t Colon = Group.find(':');
    std::string Names = Group.substr(0, Colon);
    const std::string TypeName = Colon == std::string::npos ? std::string() : Trimmed(Group.substr(Colon + 1));
    TParamFlags Flags;
    for (auto [Word, Flag] : {std::pair{"var ", pfVar}, {"const ", pfConst}, {"out ", pfOut}}) {
      if (Names.rfind(Word, 0) == 0) {
        Flags.Include(Flag);
        Names.erase(0, std::string_view(Word).size());
      }
    }
    for (const std::string& ParamName : SplitTrimmed(Names, ','))
      Info->Data.ParamList.push_back(TParamInfo{Flags, ParamName, TypeName});
  }
  Info->Data.ParamCount = int(Info->Data.ParamList.size());
  return Info;
}

#define VEL_BUILTIN_ORDINAL(Fn, Name, Kind, Ord, Min, Max)                         \
  PTypeInfo Fn() {                                                                 \
    static const TTypeInfo* Info = MakeOrdinalTypeInfo(Name, Kind, Ord, Min, Max); \
    return Info;                                                                   \
  }
VEL_BUILTIN_ORDINAL(IntegerTypeInfo, "Integer", tkInteger, otSLong, INT32_MIN, INT32_MAX)
VEL_BUILTIN_ORDINAL(CardinalTypeInfo, "Cardinal", tkInteger, otULong, 0, UINT32_MAX)
VEL_BUILTIN_ORDINAL(SmallintTypeInfo, "Smallint", tkInteger, otSWord, INT16_MIN, INT16_MAX)
VEL_BUILTIN_ORDINAL(WordTypeInfo, "Word", tkInteger, otUWord, 0, UINT16_MAX)
VEL_BUILTIN_ORDINAL(ShortIntTypeInfo, "ShortInt", tkInteger, otSByte, INT8_MIN, INT8_MAX)
VEL_BUILTIN_ORDINAL(ByteTypeInfo, "Byte", tkInteger, otUByte, 0, UINT8_MAX)
VEL_BUILTIN_ORDINAL(CharTypeInfo, "Char", tkChar, otUByte, 0, UINT8_MAX)
VEL_BUILTIN_ORDINAL(WideCharTypeInfo, "WideChar", tkWChar, otUWord, 0, UINT16_MAX)
VEL_BUILTIN_ORDINAL(Int64TypeInfo, "Int64", tkInt64, otSLong, INT64_MIN, INT64_MAX)
VEL_BUILTIN_ORDINAL(UInt64TypeInfo, "UInt64", tkInt64, otULong, 0, INT64_MAX)
#undef VEL_BUILTIN_ORDINAL

PTypeInfo BooleanTypeInfo() {
  static const TTypeInfo* Info = MakeEnumTypeInfo("Boolean", "System", "False, True");
  return Info;
}

PTypeInfo SingleTypeInfo() {
  static const TTypeInfo* Info = [] {
    TTypeInfo* I = NewType(tkFloat, "Single");
    I->Data.FloatType = ftSingle;
    return I;
  }();
  return Info;
}

PTypeInfo DoubleTypeInfo() {
  static const TTypeInfo* Info = [] {
    TTypeInfo* I = NewType(tkFloat, "Double");
    I->Data.FloatType = ftDouble;
    return I;
  }();
  return Info;
}

PTypeInfo ExtendedTypeInfo() {
  static const TTypeInfo* Info = [] {
    TTypeInfo* I = NewType(tkFloat, "Extended");
    I->Data.FloatType = ftExtended;
    return I;
  }();
  return Info;
}

PTypeInfo StringTypeInfo() {
  static const TTypeInfo* Info = NewType(tkLString, "string");
  return Info;
}

void ThrowWrongClass(const TObject* Obj, TClass Expected) {
  throw EPropertyError("The object of class " + (Obj ? Obj->ClassName() : std::string("(none)")) +
                       " has no property of class " + Expected->ClassName());
}

}  // namespace detail

PTypeInfo VelTypeInfo(TColor*) {
  static const TTypeInfo* Info = detail::MakeOrdinalTypeInfo("TColor", tkInteger, otSLong, INT32_MIN, INT32_MAX);
  return Info;
}

PTypeInfo VelTypeInfo(TCursor*) {
  static const TTypeInfo* Info = detail::MakeOrdinalTypeInfo("TCursor", tkInteger, otSWord, INT16_MIN, INT16_MAX);
  return Info;
}

// ---------------------------------------------------------- class tables

struct TPublisherAccess {
  static TPublisher Make(TClass AClass, void* Table) { return TPublisher(AClass, Table); }
};

namespace {

struct TClassTable {
  std::unique_ptr<TTypeInfo> Info;
  std::vector<std::unique_ptr<TPropInfo>> Own;  // the class's own declarations
  std::vector<PPropInfo> Props;                 // ancestors first, declaration order
  struct TMethodEntry {
    std::string Name;
    const void* Code;
    const std::type_info* EventTypeId;
  };
  std::vector<TMethodEntry> Methods;
};

// Never destroyed, like the type store.
std::unordered_map<TClass, std::unique_ptr<TClassTable>>& ClassTables() {
  static auto* Tables = new std::unordered_map<TClass, std::unique_ptr<TClassTable>>;
  return *Tables;
}

TClassTable& TableOf(TClass AClass);

TClassTable& BuildTable(TClass AClass) {
  auto Table = std::make_unique<TClassTable>();
  TClassTable& T = *Table;
  T.Info = std::make_unique<TTypeInfo>();
  T.Info->Kind = tkClass;
  T.Info->Name = AClass->ClassName();
  T.Info->Data.ClassType = AClass;
  T.Info->Data.UnitName = AClass->UnitName();
  if (TClass Parent = AClass->ClassParent()) {
    TClassTable& P = TableOf(Parent);
    T.Info->Data.ParentInfo = P.Info.get();
    T.Props = P.Props;
  }
  // Registered before the class publishes, so a property whose type is the
  // class itself finds it.
  ClassTables().emplace(AClass, std::move(Table));
  if (auto Publish = AClass->PublishProc()) {
    try {
      TPublisher Pub = TPublisherAccess::Make(AClass, &T);
      Publish(Pub);
    } catch (...) {
      ClassTables().erase(AClass);
      throw;
    }
  }
  for (size_t I = 0; I < T.Props.size(); ++I)
    if (T.Props[I]->DeclaringClass == AClass) const_cast<TPropInfo*>(T.Props[I])->NameIndex = int(I);
  T.Info->Data.PropCount = int(T.Props.size());
  return T;
}

TClassTable& TableOf(TClass AClass) {
  auto& Tables = ClassTables();
  auto It = Tables.find(AClass);
  if (It != Tables.end()) return *It->second;
  return BuildTable(AClass);
}

const TClassTable* TableOfType(PTypeInfo ATypeInfo) {
  if (!ATypeInfo || ATypeInfo->Kind != tkClass || !ATypeInfo->Data.ClassType) return nullptr;
  return &TableOf(ATypeInfo->Data.ClassType);
}

}  // namespace

TPropInfo& TPublisher::Add(std::string_view Name, PTypeInfo Type) {
  auto& T = *static_cast<TClassTable*>(FTable);
  auto Info = std::make_unique<TPropInfo>();
  Info->Name = std::string(Name);
  Info->PropType = Type;
  Info->DeclaringClass = FClass;
  TPropInfo* Raw = Info.get();
  T.Own.push_back(std::move(Info));
  // A redeclared property keeps its ancestor's place.
  auto It = std::find_if(T.Props.begin(), T.Props.end(), [&](PPropInfo P) { return SameText(P->Name, Name); });
  if (It != T.Props.end())
    *It = Raw;
  else
    T.Props.push_back(Raw);
  return *Raw;
}

void TPublisher::AddMethod(std::string_view Name, const void* Code, const std::type_info* EventTypeId) {
  auto& T = *static_cast<TClassTable*>(FTable);
  T.Methods.push_back({std::string(Name), Code, EventTypeId});
}

PTypeInfo TClassRec::ClassInfo() const { return TableOf(this).Info.get(); }

const void* TClassRec::MethodAddress(std::string_view Name) const {
  for (TClass C = this; C; C = C->ClassParent())
    for (const auto& M : TableOf(C).Methods)
      if (SameText(M.Name, Name)) return M.Code;
  return nullptr;
}

const std::type_info* MethodEventTypeId(TClass AClass, std::string_view Name) {
  for (TClass C = AClass; C; C = C->ClassParent())
    for (const auto& M : TableOf(C).Methods)
      if (SameText(M.Name, Name)) return M.EventTypeId;
  return nullptr;
}

std::string TClassRec::MethodName(const void* Code) const {
  if (!Code) return std::string();
  for (TClass C = this; C; C = C->ClassParent())
    for (const auto& M : TableOf(C).Methods)
      if (M.Code == Code) return M.Name;
  return std::string();
}

// ------------------------------------------------ property lists and lookup

void GetPropInfos(PTypeInfo ATypeInfo, PPropInfo* List) {
  if (const TClassTable* T = TableOfType(ATypeInfo)) std::copy(T->Props.begin(), T->Props.end(), List);
}

int GetPropList(PTypeInfo ATypeInfo, TTypeKinds TypeKinds, PPropInfo* List, bool SortList) {
  const TClassTable* T = TableOfType(ATypeInfo);
  if (!T) return 0;
  int Count = 0;
  for (PPropInfo P : T->Props) {
    if (!TypeKinds.Contains(P->PropType->Kind)) continue;
    if (List) List[Count] = P;
    ++Count;
  }
  if (List && SortList) SortPropList(List, Count);
  return Count;
}

std::vector<PPropInfo> GetPropList(PTypeInfo ATypeInfo) {
  const TClassTable* T = TableOfType(ATypeInfo);
  return T ? T->Props : std::vector<PPropInfo>();
}

std::vector<PPropInfo> GetPropList(const TObject* Instance) {
  return Instance ? GetPropList(Instance->ClassInfo()) : std::vector<PPropInfo>();
}

void SortPropList(PPropInfo* List, int Count) {
  std::stable_sort(List, List + Count, [](PPropInfo A, PPropInfo B) { return CompareText(A->Name, B->Name) < 0; });
}

void SortPropList(std::vector<PPropInfo>& List) { SortPropList(List.data(), int(List.size())); }

PPropInfo GetPropInfo(PTypeInfo ATypeInfo, std::string_view PropName, TTypeKinds AKinds) {
  const TClassTable* T = TableOfType(ATypeInfo);
  if (!T) return nullptr;
  for (PPropInfo P : T->Props)
    if (SameText(P->Name, PropName)) return AKinds.Empty() || AKinds.Contains(P->PropType->Kind) ? P : nullptr;
  return nullptr;
}

PPropInfo GetPropInfo(TClass AClass, std::string_view PropName, TTypeKinds AKinds) {
  return AClass ? GetPropInfo(AClass->ClassInfo(), PropName, AKinds) : nullptr;
}

PPropInfo GetPropInfo(const TObject* Instance, std::string_view PropName, TTypeKinds AKinds) {
  return Instance ? GetPropInfo(Instance->ClassInfo(), PropName, AKinds) : nullptr;
}

bool IsPublishedProp(const TObject* Instance, std::string_view PropName) {
  return GetPropInfo(Instance, PropName) != nullptr;
}

bool IsPublishedProp(TClass AClass, std::string_view PropName) { return GetPropInfo(AClass, PropName) != nullptr; }

namespace {

PPropInfo FindProp(const TObject* Instance, std::string_view PropName) {
  if (!Instance) throw EPropertyError("No object to read property " + std::string(PropName) + " of");
  PPropInfo P = GetPropInfo(Instance, PropName);
  if (!P) throw EPropertyError("Unknown property: " + std::string(PropName) + " of class " + Instance->ClassName());
  return P;
}

std::string KindName(TTypeKind Kind) { return GetEnumName(TypeInfo<TTypeKind>(), Kind); }

void CheckKind(PPropInfo P, TTypeKinds Kinds, const char* What) {
  if (!P) throw EPropertyError("No property given");
  if (!Kinds.Contains(P->PropType->Kind))
    throw EPropertyError("Property " + P->Name + " of type " + P->PropType->Name + " (" + KindName(P->PropType->Kind) +
                         ") is not " + What);
}

TPropValue Read(const TObject* Instance, PPropInfo P) {
  if (!Instance) throw EPropertyError("No object to read property " + P->Name + " of");
  if (!P->GetProc) throw EPropertyError("Property " + P->Name + " is write-only");
  return P->GetProc(Instance);
}

void Write(TObject* Instance, PPropInfo P, const TPropValue& Value) {
  if (!Instance) throw EPropertyError("No object to write property " + P->Name + " of");
  if (!P->SetProc) throw EPropertyError("Property " + P->Name + " is read-only");
  P->SetProc(Instance, Value);
}

// The ordinal as the type stores it: truncated to its width, sign extended.
std::int64_t FitOrdinal(TOrdType Ord, std::int64_t V) {
  switch (Ord) {
    case otSByte:
      return std::int8_t(V);
    case otUByte:
      return std::uint8_t(V);
    case otSWord:
      return std::int16_t(V);
    case otUWord:
      return std::uint16_t(V);
    case otSLong:
      return std::int32_t(V);
    case otULong:
      return std::uint32_t(V);
  }
  return V;
}

std::uint64_t SetMask(PTypeInfo SetType) {
  const std::int64_t N = SetType->Data.CompType->Data.MaxValue + 1;
  return N >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << N) - 1;
}

std::int64_t CheckedOrdinal(PPropInfo P, std::int64_t Value) {
  PTypeInfo T = P->PropType;
  const auto Bad = [&] {
    throw EPropertyError("Value " + IntToStr(Value) + " is out of range for property " + P->Name + " of type " +
                         T->Name);
  };
  switch (T->Kind) {
    case tkEnumeration:
      if (Value < T->Data.MinValue || Value > T->Data.MaxValue) Bad();
      return Value;
    case tkSet:
      if (static_cast<std::uint64_t>(Value) & ~SetMask(T)) Bad();
      return Value;
    case tkInt64:
      if (T->Data.OrdType == otULong && Value < 0) Bad();
      return Value;
    default:
      return FitOrdinal(T->Data.OrdType, Value);
  }
}

}  // namespace

PTypeInfo PropType(const TObject* Instance, std::string_view PropName) {
  return FindProp(Instance, PropName)->PropType;
}

PTypeInfo PropType(TClass AClass, std::string_view PropName) {
  PPropInfo P = GetPropInfo(AClass, PropName);
  if (!P) throw EPropertyError("Unknown property: " + std::string(PropName));
  return P->PropType;
}

TTypeKind PropKind(const TObject* Instance, std::string_view PropName) { return PropType(Instance, PropName)->Kind; }

// ---------------------------------------------------------- property access

std::int64_t GetOrdProp(const TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, tkOrdinals, "an ordinal property");
  return std::get<std::int64_t>(Read(Instance, PropInfo));
}

std::int64_t GetOrdProp(const TObject* Instance, std::string_view PropName) {
  return GetOrdProp(Instance, FindProp(Instance, PropName));
}

void SetOrdProp(TObject* Instance, PPropInfo PropInfo, std::int64_t Value) {
  CheckKind(PropInfo, tkOrdinals, "an ordinal property");
  Write(Instance, PropInfo, CheckedOrdinal(PropInfo, Value));
}

void SetOrdProp(TObject* Instance, std::string_view PropName, std::int64_t Value) {
  SetOrdProp(Instance, FindProp(Instance, PropName), Value);
}

std::string GetStrProp(const TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, tkStrings, "a string property");
  return std::get<std::string>(Read(Instance, PropInfo));
}

std::string GetStrProp(const TObject* Instance, std::string_view PropName) {
  return GetStrProp(Instance, FindProp(Instance, PropName));
}

void SetStrProp(TObject* Instance, PPropInfo PropInfo, const std::string& Value) {
  CheckKind(PropInfo, tkStrings, "a string property");
  Write(Instance, PropInfo, Value);
}

void SetStrProp(TObject* Instance, std::string_view PropName, const std::string& Value) {
  SetStrProp(Instance, FindProp(Instance, PropName), Value);
}

double GetFloatProp(const TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, TTypeKinds{tkFloat}, "a floating-point property");
  return std::get<double>(Read(Instance, PropInfo));
}

double GetFloatProp(const TObject* Instance, std::string_view PropName) {
  return GetFloatProp(Instance, FindProp(Instance, PropName));
}

void SetFloatProp(TObject* Instance, PPropInfo PropInfo, double Value) {
  CheckKind(PropInfo, TTypeKinds{tkFloat}, "a floating-point property");
  Write(Instance, PropInfo, Value);
}

void SetFloatProp(TObject* Instance, std::string_view PropName, double Value) {
  SetFloatProp(Instance, FindProp(Instance, PropName), Value);
}

std::int64_t GetInt64Prop(const TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, tkOrdinals + tkInt64, "an integer property");
  return std::get<std::int64_t>(Read(Instance, PropInfo));
}

std::int64_t GetInt64Prop(const TObject* Instance, std::string_view PropName) {
  return GetInt64Prop(Instance, FindProp(Instance, PropName));
}

void SetInt64Prop(TObject* Instance, PPropInfo PropInfo, std::int64_t Value) {
  CheckKind(PropInfo, tkOrdinals + tkInt64, "an integer property");
  Write(Instance, PropInfo, CheckedOrdinal(PropInfo, Value));
}

void SetInt64Prop(TObject* Instance, std::string_view PropName, std::int64_t Value) {
  SetInt64Prop(Instance, FindProp(Instance, PropName), Value);
}

TClass GetObjectPropClass(PPropInfo PropInfo) {
  CheckKind(PropInfo, TTypeKinds{tkClass}, "an object property");
  return PropInfo->PropType->Data.ClassType;
}

TObject* GetObjectProp(const TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, TTypeKinds{tkClass}, "an object property");
  return std::get<TObject*>(Read(Instance, PropInfo));
}

TObject* GetObjectProp(const TObject* Instance, std::string_view PropName) {
  return GetObjectProp(Instance, FindProp(Instance, PropName));
}

void SetObjectProp(TObject* Instance, PPropInfo PropInfo, TObject* Value) {
  const TClass PropClass = GetObjectPropClass(PropInfo);
  if (Value && !Value->InheritsFrom(PropClass)) return;
  Write(Instance, PropInfo, Value);
}

void SetObjectProp(TObject* Instance, std::string_view PropName, TObject* Value) {
  SetObjectProp(Instance, FindProp(Instance, PropName), Value);
}

TMethod GetMethodProp(const TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, tkMethods, "an event property");
  return std::get<TMethod>(Read(Instance, PropInfo));
}

TMethod GetMethodProp(const TObject* Instance, std::string_view PropName) {
  return GetMethodProp(Instance, FindProp(Instance, PropName));
}

void SetMethodProp(TObject* Instance, PPropInfo PropInfo, const TMethod& Value) {
  CheckKind(PropInfo, tkMethods, "an event property");
  Write(Instance, PropInfo, Value);
}

void SetMethodProp(TObject* Instance, std::string_view PropName, const TMethod& Value) {
  SetMethodProp(Instance, FindProp(Instance, PropName), Value);
}

std::string GetEnumProp(const TObject* Instance, PPropInfo PropInfo) {
  CheckKind(PropInfo, TTypeKinds{tkEnumeration}, "an enumeration property");
  return GetEnumName(PropInfo->PropType, GetOrdProp(Instance, PropInfo));
}

std::string GetEnumProp(const TObject* Instance, std::string_view PropName) {
  return GetEnumProp(Instance, FindProp(Instance, PropName));
}

void SetEnumProp(TObject* Instance, PPropInfo PropInfo, std::string_view Value) {
  CheckKind(PropInfo, TTypeKinds{tkEnumeration}, "an enumeration property");
  PTypeInfo T = PropInfo->PropType;
  const std::int64_t V = GetEnumValue(T, Trimmed(Value));
  if (V < 0 || V < T->Data.MinValue || V > T->Data.MaxValue)
    throw EConvertError("'" + std::string(Value) + "' is not a valid value of " + T->Name);
  SetOrdProp(Instance, PropInfo, V);
}

void SetEnumProp(TObject* Instance, std::string_view PropName, std::string_view Value) {
  SetEnumProp(Instance, FindProp(Instance, PropName), Value);
}

std::string GetSetProp(const TObject* Instance, PPropInfo PropInfo, bool Brackets) {
  CheckKind(PropInfo, TTypeKinds{tkSet}, "a set property");
  return SetToString(PropInfo->PropType, static_cast<std::uint64_t>(GetOrdProp(Instance, PropInfo)), Brackets);
}

std::string GetSetProp(const TObject* Instance, std::string_view PropName, bool Brackets) {
  return GetSetProp(Instance, FindProp(Instance, PropName), Brackets);
}

void SetSetProp(TObject* Instance, PPropInfo PropInfo, std::string_view Value) {
  CheckKind(PropInfo, TTypeKinds{tkSet}, "a set property");
  SetOrdProp(Instance, PropInfo, static_cast<std::int64_t>(StringToSet(PropInfo->PropType, Value)));
}

void SetSetProp(TObject* Instance, std::string_view PropName, std::string_view Value) {
  SetSetProp(Instance, FindProp(Instance, PropName), Value);
}

bool IsStoredProp(const TObject* Instance, PPropInfo PropInfo) {
  if (!PropInfo) throw EPropertyError("No property given");
  if (PropInfo->StoredProc) {
    if (!Instance) throw EPropertyError("No object to read property " + PropInfo->Name + " of");
    return PropInfo->StoredProc(Instance);
  }
  return PropInfo->StoredConst;
}

bool IsStoredProp(const TObject* Instance, std::string_view PropName) {
  return IsStoredProp(Instance, FindProp(Instance, PropName));
}

bool IsDefaultPropValue(const TObject* Instance, PPropInfo PropInfo) {
  if (!PropInfo) throw EPropertyError("No property given");
  if (!PropInfo->GetProc) return true;
  switch (PropInfo->PropType->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
      return PropInfo->Default != NoDefault && GetOrdProp(Instance, PropInfo) == PropInfo->Default;
    case tkInt64:
      return GetInt64Prop(Instance, PropInfo) == (PropInfo->Default == NoDefault ? 0 : PropInfo->Default);
    case tkFloat:
      return GetFloatProp(Instance, PropInfo) == 0;
    case tkString:
    case tkLString:
    case tkWString:
      return GetStrProp(Instance, PropInfo).empty();
    case tkClass:
      return GetObjectProp(Instance, PropInfo) == nullptr;
    case tkMethod:
      return !GetMethodProp(Instance, PropInfo);
    default:
      return false;
  }
}

// --------------------------------------------------- enumeration and set text

std::string GetEnumName(PTypeInfo ATypeInfo, std::int64_t Value) {
  if (!ATypeInfo) return std::string();
  if (ATypeInfo->Kind == tkEnumeration) {
    const auto& Names = ATypeInfo->Data.BaseType->Data.NameList;
    return Value >= 0 && Value < std::int64_t(Names.size()) ? Names[size_t(Value)] : std::string();
  }
  return IntToStr(Value);
}

std::int64_t GetEnumValue(PTypeInfo ATypeInfo, std::string_view Name) {
  if (!ATypeInfo) return -1;
  if (ATypeInfo->Kind == tkEnumeration) {
    const auto& Names = ATypeInfo->Data.BaseType->Data.NameList;
    for (size_t I = 0; I < Names.size(); ++I)
      if (SameText(Names[I], Name)) return std::int64_t(I);
    return -1;
  }
  std::int64_t V;
  return TryStrToInt64(Name, V) ? V : -1;
}

std::string SetToString(PTypeInfo SetTypeInfo, std::uint64_t Value, bool Brackets) {
  std::string S;
  PTypeInfo Comp = SetTypeInfo->Data.CompType;
  for (std::int64_t I = Comp->Data.MinValue; I <= Comp->Data.MaxValue && I < 64; ++I) {
    if (!(Value & (std::uint64_t(1) << I))) continue;
    if (!S.empty()) S += ',';
    S += GetEnumName(Comp, I);
  }
  return Brackets ? "[" + S + "]" : S;
}

std::uint64_t StringToSet(PTypeInfo SetTypeInfo, std::string_view Value) {
  PTypeInfo Comp = SetTypeInfo->Data.CompType;
  std::string Text = Trimmed(Value);
  if (!Text.empty() && Text.front() == '[') Text.erase(0, 1);
  if (!Text.empty() && Text.back() == ']') Text.pop_back();
  std::uint64_t Result = 0;
  if (Trimmed(Text).empty()) return 0;
  for (const std::string& Item : SplitTrimmed(Text, ',')) {
    const std::int64_t V = GetEnumValue(Comp, Item);
    if (V < Comp->Data.MinValue || V > Comp->Data.MaxValue || V < 0 || V >= 64)
      throw EConvertError("'" + Item + "' is not an element of " + SetTypeInfo->Name);
    Result |= std::uint64_t(1) << V;
  }
  return Result;
}

}  // namespace platform
