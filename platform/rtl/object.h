// The object model: TObject, class references, the class registry and interfaces.
//
// Every class of the platform and of the library declares its class record with
// VEL_CLASS in its definition and defines it with VEL_IMPLEMENT_CLASS in its
// source file. A class reference (TClass) is a pointer to that record: it knows
// the class name, the parent class, the unit, the instance size and the virtual
// constructors, so class references can be stored, compared and used to create
// instances of the most derived class.
#pragma once

#include <cstddef>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/rtl/sysutils.h"

namespace platform {

class TObject;
class TComponent;
class TCollection;
class TClassRec;
struct TTypeInfo;
class TPublisher;

/// The type information of a type (see typinfo.h).
using PTypeInfo = const TTypeInfo*;

/// A class reference.
using TClass = const TClassRec*;

/// \brief The record behind a class reference: name, parent, unit, size and constructors.
class TClassRec {
 public:
  using TNewObject = TObject* (*)();
  using TNewComponent = TComponent* (*)(TComponent* AOwner);
  /// The constructor of a collection item class, which takes its collection.
  using TNewItem = TObject* (*)(TCollection* ACollection);
  /// Declares the class's own published properties and methods (see publish.h).
  using TPublishProc = void (*)(TPublisher& P);

  constexpr TClassRec(std::string_view AName, TClass AParent, std::string_view AUnitName, std::size_t ASize,
                      TNewObject ANewObject, TNewComponent ANewComponent, TPublishProc APublish = nullptr,
                      TNewItem ANewItem = nullptr)
      : FName(AName),
        FParent(AParent),
        FUnitName(AUnitName),
        FSize(ASize),
        FNewObject(ANewObject),
        FNewComponent(ANewComponent),
        FPublish(APublish),
        FNewItem(ANewItem) {}

  std::string ClassName() const { return std::string(FName); }
  std::string_view ClassNameView() const { return FName; }
  TClass ClassParent() const { return FParent; }
  std::string UnitName() const { return std::string(FUnitName); }
  std::size_t InstanceSize() const { return FSize; }
  /// True when this class is AClass or derives from it.
  bool InheritsFrom(TClass AClass) const;

  /// Whether the class has a public constructor of each kind (abstract classes have none).
  bool CanCreate() const { return FNewObject != nullptr; }
  bool CanCreateComponent() const { return FNewComponent != nullptr; }
  /// Runs the most derived class's parameterless constructor; EInvalidOperation when there is none.
  TObject* Create() const;
  /// Runs the most derived class's component constructor (AOwner may be none);
  /// EInvalidOperation when the class is not a constructible component class.
  TComponent* CreateComponent(TComponent* AOwner) const;
  /// Whether the class is a collection item class with a public constructor.
  bool CanCreateItem() const { return FNewItem != nullptr; }
  /// Runs the most derived class's collection item constructor, which adds the
  /// item to ACollection; EInvalidOperation when the class has none.
  TObject* CreateItem(TCollection* ACollection) const;

  /// The class's type information (kind tkClass), built on first use.
  PTypeInfo ClassInfo() const;
  /// The class's own publishing declaration, or none when it publishes nothing of its own.
  TPublishProc PublishProc() const { return FPublish; }
  /// The code of the published method of that name (ASCII case ignored), in this
  /// class or an ancestor; none when there is no such method.
  const void* MethodAddress(std::string_view Name) const;
  /// The name of the published method whose code is Code, or empty.
  std::string MethodName(const void* Code) const;

 private:
  std::string_view FName;
  TClass FParent;
  std::string_view FUnitName;
  std::size_t FSize;
  TNewObject FNewObject;
  TNewComponent FNewComponent;
  TPublishProc FPublish;
  TNewItem FNewItem;
};

namespace detail {
/// Records, as each level of a constructor starts, the class being built.
struct TClassMark {
  TClassMark(TObject* Obj, TClass Class);
};
}  // namespace detail

/// \brief Root of the class hierarchy: class information and the two-phase life cycle.
///
/// `delete` on a TObject first calls the most derived BeforeDestruction, while
/// the whole object still exists, then runs the destructors.
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  static const TClassRec ClassRecord;
  static TClass StaticClass() { return &ClassRecord; }
  /// The class of the object. While a constructor runs, the class whose
  /// constructor it is; from then on the most derived class, also while the
  /// destructors run (so a removal notification still tells what left).
  TClass ClassType() const { return FClass; }

  std::string ClassName() const { return ClassType()->ClassName(); }
  TClass ClassParent() const { return ClassType()->ClassParent(); }
  bool InheritsFrom(TClass AClass) const { return ClassType()->InheritsFrom(AClass); }
  std::size_t InstanceSize() const { return ClassType()->InstanceSize(); }
  std::string UnitName() const { return ClassType()->UnitName(); }
  PTypeInfo ClassInfo() const { return ClassType()->ClassInfo(); }
  const void* MethodAddress(std::string_view Name) const { return ClassType()->MethodAddress(Name); }
  std::string MethodName(const void* Code) const { return ClassType()->MethodName(Code); }

  /// Called once by the class reference's constructors after the most derived constructor ran.
  virtual void AfterConstruction() {}
  /// Called by `delete` before any destructor runs.
  virtual void BeforeDestruction() {}

  // Objects come from the global heap; the destroying delete gives the last
  // word to BeforeDestruction before the destructors run.
  static void* operator new(std::size_t Size) { return ::operator new(Size); }
  static void* operator new(std::size_t, void* Where) noexcept { return Where; }
  void operator delete(TObject* Obj, std::destroying_delete_t);
  // Used only when a constructor throws.
  static void operator delete(void* Block) noexcept { ::operator delete(Block); }
  static void operator delete(void*, void*) noexcept {}

 private:
  friend struct detail::TClassMark;
  TClass FClass = &ClassRecord;
};

inline detail::TClassMark::TClassMark(TObject* Obj, TClass Class) { Obj->FClass = Class; }

/// Deletes Obj (none is allowed) and clears the reference.
template <class T>
void FreeAndNil(T*& Obj) {
  T* Tmp = Obj;
  Obj = nullptr;
  delete Tmp;
}

/// The checked cast: none stays none, an object of another class raises EInvalidCast.
template <class T, class S>
T* As(S* Obj) {
  if (Obj == nullptr) return nullptr;
  if (T* R = dynamic_cast<T*>(Obj)) return R;
  throw EInvalidCast("Invalid class typecast");
}

// --------------------------------------------------------------- registry

/// Makes a class findable by name (when components are read from a stream).
/// Registering the same class twice is harmless; another class under a name
/// that is already taken raises EFilerError.
void RegisterClass(TClass AClass);
void RegisterClasses(std::initializer_list<TClass> Classes);
void UnRegisterClass(TClass AClass);
/// The registered class of that name (case-insensitive), or none.
TClass GetClass(std::string_view ClassName);
/// As GetClass, but raises EClassNotFound when there is none.
TClass FindClass(std::string_view ClassName);

// ----------------------------------------------------------- interfaces

/// \brief Base of every interface. Interfaces are queried with Supports (a
/// dynamic cast) and counted through _AddRef/_Release.
class IInterface {
 public:
  virtual ~IInterface() = default;
  virtual int _AddRef() = 0;
  virtual int _Release() = 0;
};

/// The interface I of Obj, or none.
template <class I, class S>
I* Supports(S* Obj) {
  return Obj ? dynamic_cast<I*>(Obj) : nullptr;
}

/// \brief An object that lives as long as interface references to it exist.
class TInterfacedObject : public TObject, public virtual IInterface {
 public:
  using inherited = TObject;
  static const TClassRec ClassRecord;
  static TClass StaticClass() { return &ClassRecord; }
  TInterfacedObject() : TObject() { detail::TClassMark(this, &ClassRecord); }

  int _AddRef() override { return ++FRefCount; }
  int _Release() override;
  int RefCount() const { return FRefCount; }

 private:
  int FRefCount = 0;
};

/// \brief A counted reference to an interface: copies add a reference, the last
/// one to go releases it.
template <class I>
class TInterfaceRef {
 public:
  TInterfaceRef() = default;
  TInterfaceRef(std::nullptr_t) {}
  TInterfaceRef(I* P) : FPtr(P) {
    if (FPtr) FPtr->_AddRef();
  }
  TInterfaceRef(const TInterfaceRef& O) : TInterfaceRef(O.FPtr) {}
  TInterfaceRef(TInterfaceRef&& O) noexcept : FPtr(O.FPtr) { O.FPtr = nullptr; }
  template <class J, class = std::enable_if_t<std::is_convertible_v<J*, I*>>>
  TInterfaceRef(const TInterfaceRef<J>& O) : TInterfaceRef(O.Get()) {}
  ~TInterfaceRef() { Reset(); }
  TInterfaceRef& operator=(TInterfaceRef O) noexcept {
    std::swap(FPtr, O.FPtr);
    return *this;
  }
  void Reset() {
    I* P = FPtr;
    FPtr = nullptr;
    if (P) P->_Release();
  }
  I* Get() const { return FPtr; }
  I* operator->() const { return FPtr; }
  I& operator*() const { return *FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  friend bool operator==(const TInterfaceRef& A, const TInterfaceRef& B) { return A.FPtr == B.FPtr; }
  friend bool operator==(const TInterfaceRef& A, std::nullptr_t) { return A.FPtr == nullptr; }

 private:
  I* FPtr = nullptr;
};

// ------------------------------------------------------ class declaration

namespace detail {
template <class T>
TObject* NewObject() {
  T* Obj = new T();
  Obj->AfterConstruction();
  return Obj;
}
template <class T>
TComponent* NewComponent(TComponent* AOwner) {
  T* Obj = new T(AOwner);
  Obj->AfterConstruction();
  return Obj;
}
template <class T>
TObject* NewItem(TCollection* ACollection) {
  T* Obj = new T(ACollection);
  Obj->AfterConstruction();
  return Obj;
}
template <class T, class = void>
struct ParentOf {
  static constexpr TClass Get() { return nullptr; }
};
template <class T>
struct ParentOf<T, std::void_t<typename T::inherited>> {
  static constexpr TClass Get() { return &T::inherited::ClassRecord; }
};
// A class's own publishing declaration (VEL_PUBLISH), not one it inherits.
template <class T>
constexpr TClassRec::TPublishProc PublishOf() {
  if constexpr (requires { typename T::TVelPublishOwner; }) {
    if constexpr (std::is_same_v<typename T::TVelPublishOwner, T>) return &T::VelPublish;
  }
  return nullptr;
}
}  // namespace detail

/// The class record of T; used by VEL_IMPLEMENT_CLASS.
template <class T>
constexpr TClassRec MakeClassRec(std::string_view Name, std::string_view UnitName) {
  TClassRec::TNewObject NewObj = nullptr;
  TClassRec::TNewComponent NewComp = nullptr;
  if constexpr (!std::is_abstract_v<T> && std::is_default_constructible_v<T>) NewObj = &detail::NewObject<T>;
  if constexpr (!std::is_abstract_v<T> && std::is_base_of_v<TComponent, T> && std::is_constructible_v<T, TComponent*>)
    NewComp = &detail::NewComponent<T>;
  // Collection items name their collection class (complete wherever an item class is defined).
  TClassRec::TNewItem NewItem = nullptr;
  if constexpr (requires { typename T::TVelItemCollection; }) {
    if constexpr (!std::is_abstract_v<T> && std::is_constructible_v<T, typename T::TVelItemCollection*>)
      NewItem = &detail::NewItem<T>;
  }
  return TClassRec(Name, detail::ParentOf<T>::Get(), UnitName, sizeof(T), NewObj, NewComp, detail::PublishOf<T>(),
                   NewItem);
}

}  // namespace platform

/// In a class definition: declares the class record and `inherited`. The
/// members that follow are public.
#define VEL_CLASS(Name, Parent)                                                          \
 public:                                                                                 \
  using inherited = Parent;                                                              \
  using TVelSelf = Name;                                                                 \
  static const ::platform::TClassRec ClassRecord;                                        \
  static ::platform::TClass StaticClass() { return &ClassRecord; }                       \
  [[no_unique_address]] ::platform::detail::TClassMark VelClassMark{this, &ClassRecord}; \
                                                                                         \
 public:

/// In a class definition after VEL_CLASS: declares the class's published
/// properties and methods; follow it with the body (see publish.h), or end it
/// with `;` and define `void Name::VelPublish(::platform::TPublisher& P)` in the
/// source file.
#define VEL_PUBLISH(P)               \
  using TVelPublishOwner = TVelSelf; \
  static void VelPublish(::platform::TPublisher& P)

/// In the class's source file: defines its class record.
#define VEL_IMPLEMENT_CLASS(Name, UnitName) \
  constinit const ::platform::TClassRec Name::ClassRecord = ::platform::MakeClassRec<Name>(#Name, UnitName)
