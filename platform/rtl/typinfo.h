// Run-time type information: type kinds, type data, published properties and
// the routines that read and write published properties by name.
//
// Sections: type model; type information of built-in and declared types
// (VEL_ENUM, VEL_ENUM_SUBRANGE, VEL_SET, VEL_EVENT_TYPE); property information;
// property lists and lookup; property access; enumeration and set text.
//
// Type information is built on first use and lives until the process ends; a
// PTypeInfo or PPropInfo never dangles and is the same object on every call, so
// identity comparisons hold. Classes declare their properties with VEL_PUBLISH
// (publish.h).
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <variant>
#include <vector>

#include "platform/rtl/events.h"
#include "platform/rtl/object.h"
#include "platform/rtl/set.h"
#include "platform/rtl/uitypes.h"

namespace platform {

// ---------------------------------------------------------------- type model

enum TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
  tkDynArray
};
using TTypeKinds = TSet<TTypeKind>;

constexpr TTypeKinds tkAny{tkUnknown, tkInteger, tkChar,   tkEnumeration, tkFloat,   tkString,
                           tkSet,     tkClass,   tkMethod, tkWChar,       tkLString, tkWString,
                           tkVariant, tkArray,   tkRecord, tkInterface,   tkInt64,   tkDynArray};
constexpr TTypeKinds tkMethods{tkMethod};
/// Every kind a property can have except methods (events).
constexpr TTypeKinds tkProperties = tkAny - tkMethods - TTypeKinds{tkUnknown};
/// The kinds read and written with GetOrdProp/SetOrdProp.
constexpr TTypeKinds tkOrdinals{tkInteger, tkChar, tkEnumeration, tkSet, tkWChar};
constexpr TTypeKinds tkStrings{tkString, tkLString, tkWString};

/// Width and sign of an ordinal type.
enum TOrdType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };
enum TMethodKind {
  mkProcedure,
  mkFunction,
  mkConstructor,
  mkDestructor,
  mkClassProcedure,
  mkClassFunction,
  mkSafeProcedure,
  mkSafeFunction
};
enum TParamFlag { pfVar, pfConst, pfArray, pfAddress, pfReference, pfOut };
using TParamFlags = TSet<TParamFlag>;

struct TTypeInfo;
struct TPropInfo;
using PPropInfo = const TPropInfo*;

/// One parameter of an event type.
struct TParamInfo {
  TParamFlags Flags;
  std::string ParamName;
  std::string TypeName;
};

/// \brief What a type is made of. Which fields count depends on the kind.
struct TTypeData {
  // Ordinals (tkInteger, tkChar, tkWChar, tkEnumeration, tkSet) and tkInt64.
  TOrdType OrdType = otSLong;
  std::int64_t MinValue = 0;
  std::int64_t MaxValue = 0;
  // tkEnumeration: the enumeration a subrange is cut from (itself for a full
  // enumeration) and, on that base, the identifiers of its values in order.
  PTypeInfo BaseType = nullptr;
  std::vector<std::string> NameList;
  // tkSet: the element type.
  PTypeInfo CompType = nullptr;
  // tkFloat.
  TFloatType FloatType = ftDouble;
  // tkClass: the class, the parent class's type, the published properties
  // (inherited ones included) and the unit; UnitName is also set for declared
  // enumerations and event types.
  TClass ClassType = nullptr;
  PTypeInfo ParentInfo = nullptr;
  int PropCount = 0;
  std::string UnitName;
  // tkMethod.
  TMethodKind MethodKind = mkProcedure;
  int ParamCount = 0;
  std::vector<TParamInfo> ParamList;
  std::string ResultType;
  // tkMethod: the C++ event type (a TEvent) a declared event type stands for,
  // so handlers of another signature can be told apart; none when unknown.
  const std::type_info* EventTypeId = nullptr;
};

/// \brief A type's kind, name and data.
struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  std::string Name;
  TTypeData Data;
};

inline const TTypeData* GetTypeData(PTypeInfo ATypeInfo) { return &ATypeInfo->Data; }

// -------------------------------------------- type information of a C++ type

namespace detail {
/// Builds the information of a declared enumeration from its identifiers (a
/// comma-separated list of names with the values 0, 1, 2 ...).
TTypeInfo* MakeEnumTypeInfo(std::string_view Name, std::string_view UnitName, std::string_view Names);
TTypeInfo* MakeSubrangeTypeInfo(std::string_view Name, std::string_view UnitName, PTypeInfo Base, std::int64_t Min,
                                std::int64_t Max);
TTypeInfo* MakeSetTypeInfo(std::string_view Name, std::string_view UnitName, PTypeInfo Element);
/// Signature: "Sender: TObject; var Key: Word; X, Y: Integer", with an
/// optional ": ResultType" after a closing ")" for functions.
TTypeInfo* MakeMethodTypeInfo(std::string_view Name, std::string_view UnitName, TMethodKind Kind,
                              std::string_view Signature, const std::type_info* EventTypeId = nullptr);
TTypeInfo* MakeOrdinalTypeInfo(std::string_view Name, TTypeKind Kind, TOrdType OrdType, std::int64_t Min,
                               std::int64_t Max);

PTypeInfo IntegerTypeInfo();
PTypeInfo CardinalTypeInfo();
PTypeInfo SmallintTypeInfo();
PTypeInfo WordTypeInfo();
PTypeInfo ShortIntTypeInfo();
PTypeInfo ByteTypeInfo();
PTypeInfo CharTypeInfo();
PTypeInfo WideCharTypeInfo();
PTypeInfo BooleanTypeInfo();
PTypeInfo Int64TypeInfo();
PTypeInfo UInt64TypeInfo();
PTypeInfo SingleTypeInfo();
PTypeInfo DoubleTypeInfo();
PTypeInfo ExtendedTypeInfo();
PTypeInfo StringTypeInfo();

template <class T>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {
  using Element = E;
};
template <class T>
struct IsTEvent : std::false_type {};
template <class... A>
struct IsTEvent<TEvent<A...>> : std::true_type {};

template <class T>
PTypeInfo UnnamedSetTypeInfo();

// Whether class C declares its own class record (VEL_CLASS), so its type
// information is its own and not an ancestor's.
template <class C, class = void>
struct HasOwnClassRecord : std::bool_constant<std::is_same_v<C, TObject>> {};
template <class C>
struct HasOwnClassRecord<C, std::void_t<typename C::TVelSelf>> : std::is_same<typename C::TVelSelf, C> {};

/// Raises EPropertyError: Obj is not of the class whose accessor was called.
[[noreturn]] void ThrowWrongClass(const TObject* Obj, TClass Expected);

// Checks at compile time that the identifiers of VEL_ENUM are 0, 1, 2 ...
template <class E, std::size_t N>
constexpr bool ConsecutiveFromZero(const E (&Values)[N]) {
  for (std::size_t I = 0; I < N; ++I)
    if (static_cast<std::int64_t>(Values[I]) != static_cast<std::int64_t>(I)) return false;
  return true;
}
}  // namespace detail

/// The type information of T: built-in types, classes derived from TObject
/// (as T*), TColor, TCursor, and types declared with VEL_ENUM,
/// VEL_ENUM_SUBRANGE, VEL_SET or VEL_EVENT_TYPE.
template <class T>
PTypeInfo TypeInfo() {
  using U = std::remove_cv_t<T>;
  if constexpr (requires { VelTypeInfo(static_cast<U*>(nullptr)); }) {
    return VelTypeInfo(static_cast<U*>(nullptr));
  } else if constexpr (std::is_same_v<U, bool>) {
    return detail::BooleanTypeInfo();
  } else if constexpr (std::is_same_v<U, char>) {
    return detail::CharTypeInfo();
  } else if constexpr (std::is_same_v<U, wchar_t> || std::is_same_v<U, char16_t>) {
    return detail::WideCharTypeInfo();
  } else if constexpr (std::is_same_v<U, signed char>) {
    return detail::ShortIntTypeInfo();
  } else if constexpr (std::is_same_v<U, unsigned char>) {
    return detail::ByteTypeInfo();
  } else if constexpr (std::is_same_v<U, short>) {
    return detail::SmallintTypeInfo();
  } else if constexpr (std::is_same_v<U, unsigned short>) {
    return detail::WordTypeInfo();
  } else if constexpr (std::is_same_v<U, int>) {
    return detail::IntegerTypeInfo();
  } else if constexpr (std::is_same_v<U, unsigned>) {
    return detail::CardinalTypeInfo();
  } else if constexpr (std::is_integral_v<U> && sizeof(U) == 8 && std::is_signed_v<U>) {
    return detail::Int64TypeInfo();
  } else if constexpr (std::is_integral_v<U> && sizeof(U) == 8) {
    return detail::UInt64TypeInfo();
  } else if constexpr (std::is_same_v<U, float>) {
    return detail::SingleTypeInfo();
  } else if constexpr (std::is_same_v<U, double>) {
    return detail::DoubleTypeInfo();
  } else if constexpr (std::is_same_v<U, long double>) {
    return detail::ExtendedTypeInfo();
  } else if constexpr (std::is_same_v<U, std::string>) {
    return detail::StringTypeInfo();
  } else if constexpr (std::is_pointer_v<U> && std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<U>>>) {
    using C = std::remove_cv_t<std::remove_pointer_t<U>>;
    static_assert(detail::HasOwnClassRecord<C>::value || std::is_same_v<C, TInterfacedObject>,
                  "a class used as a property type declares its class record with VEL_CLASS");
    return C::StaticClass()->ClassInfo();
  } else if constexpr (detail::IsTSet<U>::value) {
    return detail::UnnamedSetTypeInfo<U>();
  } else {
    static_assert(!std::is_enum_v<U>, "declare the enumeration's identifiers with VEL_ENUM");
    static_assert(!detail::IsTEvent<U>::value, "declare the event type's name with VEL_EVENT_TYPE");
    static_assert(std::is_enum_v<U>, "this type has no type information");
    return nullptr;
  }
}

// Built-in named integer types of the user interface.
PTypeInfo VelTypeInfo(TColor*);
PTypeInfo VelTypeInfo(TCursor*);

namespace detail {
// A set type nobody named: "set of " + the element's name.
template <class T>
PTypeInfo UnnamedSetTypeInfo() {
  static const TTypeInfo* Info = MakeSetTypeInfo("set of " + TypeInfo<typename IsTSet<T>::Element>()->Name, "",
                                                 TypeInfo<typename IsTSet<T>::Element>());
  return Info;
}
}  // namespace detail

}  // namespace platform

/// After a plain enumeration (values 0, 1, 2 ... in declaration order), in the
/// same namespace: gives it type information with its identifiers.
///   enum TAlign { alNone, alTop, alBottom };
///   VEL_ENUM(TAlign, "Controls", alNone, alTop, alBottom);
#define VEL_ENUM(Enum, UnitName, ...)                                                                               \
  inline ::platform::PTypeInfo VelTypeInfo(Enum*) {                                                                 \
    static constexpr Enum VelValues[] = {__VA_ARGS__};                                                              \
    static_assert(::platform::detail::ConsecutiveFromZero(VelValues),                                               \
                  "VEL_ENUM lists every identifier of " #Enum " in order of value, starting at 0");                 \
    static const ::platform::TTypeInfo* Info = ::platform::detail::MakeEnumTypeInfo(#Enum, UnitName, #__VA_ARGS__); \
    return Info;                                                                                                    \
  }                                                                                                                 \
  static_assert(true)

/// Declares Name as a subrange Min..Max of a declared enumeration Base: a
/// distinct type whose values are Base's (write `Name(alTop)`).
#define VEL_ENUM_SUBRANGE(Name, UnitName, Base, Min, Max)                                                         \
  enum Name : std::underlying_type_t<Base> {};                                                                    \
  inline ::platform::PTypeInfo VelTypeInfo(Name*) {                                                               \
    static const ::platform::TTypeInfo* Info =                                                                    \
        ::platform::detail::MakeSubrangeTypeInfo(#Name, UnitName, ::platform::TypeInfo<Base>(),                   \
                                                 static_cast<std::int64_t>(Min), static_cast<std::int64_t>(Max)); \
    return Info;                                                                                                  \
  }                                                                                                               \
  static_assert(true)

/// Names a set type, in the namespace of its element enumeration:
///   using TFontStyles = TSet<TFontStyle>;
///   VEL_SET(TFontStyles, "Graphics");
#define VEL_SET(SetType, UnitName)                                                                 \
  inline ::platform::PTypeInfo VelTypeInfo(SetType*) {                                             \
    static const ::platform::TTypeInfo* Info = ::platform::detail::MakeSetTypeInfo(                \
        #SetType, UnitName, ::platform::TypeInfo<::platform::detail::IsTSet<SetType>::Element>()); \
    return Info;                                                                                   \
  }                                                                                                \
  static_assert(true)

/// Names an event type (a TEvent) and records its parameters. It is found by
/// argument-dependent lookup, so place it in the namespace of one of the
/// event's parameter types, or in namespace platform with the type qualified
/// (the type's name is the part after the last "::"):
///   using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
///   VEL_EVENT_TYPE(TMouseMoveEvent, "Controls", "Sender: TObject; Shift: TShiftState; X, Y: Integer");
#define VEL_EVENT_TYPE(EventType, UnitName, Signature)                                 \
  inline ::platform::PTypeInfo VelTypeInfo(EventType*) {                               \
    static const ::platform::TTypeInfo* Info = ::platform::detail::MakeMethodTypeInfo( \
        #EventType, UnitName, ::platform::mkProcedure, Signature, &typeid(EventType)); \
    return Info;                                                                       \
  }                                                                                    \
  static_assert(true)

namespace platform {

VEL_ENUM(TTypeKind, "TypInfo", tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
         tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray);
VEL_ENUM(TOrdType, "TypInfo", otSByte, otUByte, otSWord, otUWord, otSLong, otULong);
VEL_ENUM(TFloatType, "TypInfo", ftSingle, ftDouble, ftExtended, ftComp, ftCurr);
VEL_ENUM(TMethodKind, "TypInfo", mkProcedure, mkFunction, mkConstructor, mkDestructor, mkClassProcedure,
         mkClassFunction, mkSafeProcedure, mkSafeFunction);
VEL_ENUM(TShiftStateItem, "Classes", ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble);
VEL_SET(TShiftState, "Classes");
VEL_ENUM(TMouseButton, "Controls", mbLeft, mbRight, mbMiddle);
VEL_EVENT_TYPE(TNotifyEvent, "Classes", "Sender: TObject");

// ------------------------------------------------------- property information

/// A property value on its way between the type-erased routines and a
/// property's typed accessors: ordinals, sets and Int64 travel as int64_t.
using TPropValue = std::variant<std::int64_t, double, std::string, TObject*, TMethod>;

/// The "no default" marker of TPropInfo::Default.
constexpr std::int64_t NoDefault = std::numeric_limits<std::int64_t>::min();
/// The "not indexed" marker of TPropInfo::Index.
constexpr int NoIndex = std::numeric_limits<int>::min();

/// \brief One published property of one class. Each declaration has exactly one
/// TPropInfo object for the life of the process.
struct TPropInfo {
  PTypeInfo PropType = nullptr;
  std::string Name;
  /// Reads the value; empty for a write-only property.
  std::function<TPropValue(const TObject*)> GetProc;
  /// Writes the value; empty for a read-only property.
  std::function<void(TObject*, const TPropValue&)> SetProc;
  /// Decides whether the value is stored; empty when StoredConst decides.
  std::function<bool(const TObject*)> StoredProc;
  bool StoredConst = true;
  int Index = NoIndex;
  std::int64_t Default = NoDefault;
  /// Position in the class's property list (ancestors first, declaration order).
  int NameIndex = 0;
  /// The class whose declaration this is.
  TClass DeclaringClass = nullptr;
};

// ------------------------------------------------ property lists and lookup

/// Fills List (at least GetTypeData(ATypeInfo)->PropCount entries) with every
/// published property of the class, ancestors first, in declaration order.
void GetPropInfos(PTypeInfo ATypeInfo, PPropInfo* List);
/// The properties of the class whose kind is in TypeKinds, sorted by name when
/// SortList; with a List, fills it (room for PropCount entries). Returns the count.
int GetPropList(PTypeInfo ATypeInfo, TTypeKinds TypeKinds, PPropInfo* List, bool SortList = true);
/// Every published property of the class, in declaration order (ancestors first).
std::vector<PPropInfo> GetPropList(PTypeInfo ATypeInfo);
std::vector<PPropInfo> GetPropList(const TObject* Instance);
/// Sorts by name, ignoring the case of ASCII letters.
void SortPropList(PPropInfo* List, int Count);
void SortPropList(std::vector<PPropInfo>& List);

/// The published property of that name (ASCII case ignored), or none; with a
/// non-empty AKinds, also none when its kind is not in AKinds.
PPropInfo GetPropInfo(PTypeInfo ATypeInfo, std::string_view PropName, TTypeKinds AKinds = {});
PPropInfo GetPropInfo(TClass AClass, std::string_view PropName, TTypeKinds AKinds = {});
PPropInfo GetPropInfo(const TObject* Instance, std::string_view PropName, TTypeKinds AKinds = {});

bool IsPublishedProp(const TObject* Instance, std::string_view PropName);
bool IsPublishedProp(TClass AClass, std::string_view PropName);
/// The type of the published property; EPropertyError when there is none.
PTypeInfo PropType(const TObject* Instance, std::string_view PropName);
PTypeInfo PropType(TClass AClass, std::string_view PropName);
/// The kind of the published property's type; EPropertyError when there is none.
TTypeKind PropKind(const TObject* Instance, std::string_view PropName);

// ---------------------------------------------------------- property access
//
// Every reader and writer goes through the property's accessors. A property
// given by name that does not exist, a property of the wrong kind, a write to a
// read-only property and an ordinal outside the type's range raise
// EPropertyError; text that names no value raises EConvertError. A failed
// write changes nothing.

/// Integer, char, enumeration and set properties (a set as its bit mask). A
/// value is stored with the width and sign of the property's type, so a TCursor
/// property stores the low 16 bits as a signed number.
std::int64_t GetOrdProp(const TObject* Instance, PPropInfo PropInfo);
std::int64_t GetOrdProp(const TObject* Instance, std::string_view PropName);
void SetOrdProp(TObject* Instance, PPropInfo PropInfo, std::int64_t Value);
void SetOrdProp(TObject* Instance, std::string_view PropName, std::int64_t Value);

std::string GetStrProp(const TObject* Instance, PPropInfo PropInfo);
std::string GetStrProp(const TObject* Instance, std::string_view PropName);
void SetStrProp(TObject* Instance, PPropInfo PropInfo, const std::string& Value);
void SetStrProp(TObject* Instance, std::string_view PropName, const std::string& Value);

double GetFloatProp(const TObject* Instance, PPropInfo PropInfo);
double GetFloatProp(const TObject* Instance, std::string_view PropName);
void SetFloatProp(TObject* Instance, PPropInfo PropInfo, double Value);
void SetFloatProp(TObject* Instance, std::string_view PropName, double Value);

/// Int64 properties (and, widened, ordinal ones).
std::int64_t GetInt64Prop(const TObject* Instance, PPropInfo PropInfo);
std::int64_t GetInt64Prop(const TObject* Instance, std::string_view PropName);
void SetInt64Prop(TObject* Instance, PPropInfo PropInfo, std::int64_t Value);
void SetInt64Prop(TObject* Instance, std::string_view PropName, std::int64_t Value);

TObject* GetObjectProp(const TObject* Instance, PPropInfo PropInfo);
TObject* GetObjectProp(const TObject* Instance, std::string_view PropName);
/// Writes Value when it is none or an instance of the property's class;
/// another object is not written and raises no error.
void SetObjectProp(TObject* Instance, PPropInfo PropInfo, TObject* Value);
void SetObjectProp(TObject* Instance, std::string_view PropName, TObject* Value);
/// The class of a class-typed property.
TClass GetObjectPropClass(PPropInfo PropInfo);

/// The C++ event type of the published method of that name (ASCII case
/// ignored) in AClass or an ancestor; none when there is no such method.
const std::type_info* MethodEventTypeId(TClass AClass, std::string_view Name);

/// Event properties. A TMethod must come from an event of the property's type.
TMethod GetMethodProp(const TObject* Instance, PPropInfo PropInfo);
TMethod GetMethodProp(const TObject* Instance, std::string_view PropName);
void SetMethodProp(TObject* Instance, PPropInfo PropInfo, const TMethod& Value);
void SetMethodProp(TObject* Instance, std::string_view PropName, const TMethod& Value);

/// Enumeration properties by identifier (ASCII case ignored on writing).
std::string GetEnumProp(const TObject* Instance, PPropInfo PropInfo);
std::string GetEnumProp(const TObject* Instance, std::string_view PropName);
void SetEnumProp(TObject* Instance, PPropInfo PropInfo, std::string_view Value);
void SetEnumProp(TObject* Instance, std::string_view PropName, std::string_view Value);

/// Set properties as text: element identifiers in ascending order joined by
/// "," without blanks, enclosed in "[" "]" when Brackets.
std::string GetSetProp(const TObject* Instance, PPropInfo PropInfo, bool Brackets = false);
std::string GetSetProp(const TObject* Instance, std::string_view PropName, bool Brackets = false);
/// Identifiers separated by commas, brackets and blanks around them optional.
void SetSetProp(TObject* Instance, PPropInfo PropInfo, std::string_view Value);
void SetSetProp(TObject* Instance, std::string_view PropName, std::string_view Value);

/// Whether the property's value is to be stored (its stored flag or function).
bool IsStoredProp(const TObject* Instance, PPropInfo PropInfo);
bool IsStoredProp(const TObject* Instance, std::string_view PropName);
/// Whether the property holds its default: the declared default for ordinals
/// and sets (never, without one), zero, an empty string, no object or no event
/// for the other kinds.
bool IsDefaultPropValue(const TObject* Instance, PPropInfo PropInfo);

// --------------------------------------------------- enumeration and set text

/// The identifier of Value for an enumeration (empty outside its base range);
/// the decimal number for other ordinal types.
std::string GetEnumName(PTypeInfo ATypeInfo, std::int64_t Value);
/// The value of an identifier (ASCII case ignored), -1 when none; for other
/// ordinal types the number the text holds (-1 when it is none).
std::int64_t GetEnumValue(PTypeInfo ATypeInfo, std::string_view Name);
/// A set type's value (bit mask) as text.
std::string SetToString(PTypeInfo SetTypeInfo, std::uint64_t Value, bool Brackets = false);
/// Text to a set type's bit mask; EConvertError for an unknown identifier.
std::uint64_t StringToSet(PTypeInfo SetTypeInfo, std::string_view Value);

}  // namespace platform
