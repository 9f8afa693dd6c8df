// Declaring published properties and methods next to a class's definition.
//
// A class that publishes something adds VEL_PUBLISH(P) in a public section of
// its definition, after VEL_CLASS, and lists its own properties in declaration
// order; the properties of its ancestors come first by themselves. A class that
// publishes nothing declares nothing.
//
//   class TMyButton : public TControl {
//     VEL_CLASS(TMyButton, TControl)
//     explicit TMyButton(TComponent* AOwner);
//     int Left() const;          void SetLeft(int Value);
//     const std::string& Caption() const;  void SetCaption(const std::string& Value);
//     TColor Color() const;      void SetColor(TColor Value);
//     TFont* Font() const;       void SetFont(TFont* Value);    // a sub-object
//     bool Visible() const;      void SetVisible(bool Value);
//     TCursor Cursor() const;    void SetCursor(TCursor Value);
//     TPopupMenu* PopupMenu() const;  void SetPopupMenu(TPopupMenu* Value);  // a component reference
//     TNotifyEvent OnClick;
//     bool IsColorStored() const;
//
//     VEL_PUBLISH(P) {
//       P.Property("Left", &TMyButton::Left, &TMyButton::SetLeft);
//       P.Property("Top", &TMyButton::Top, &TMyButton::SetTop);
//       P.Property("Width", &TMyButton::Width, &TMyButton::SetWidth);
//       P.Property("Height", &TMyButton::Height, &TMyButton::SetHeight);
//       P.Property("Caption", &TMyButton::Caption, &TMyButton::SetCaption);
//       P.Property("Color", &TMyButton::Color,
//       &TMyButton::SetColor).Default(clBtnFace).Stored(&TMyButton::IsColorStored); P.Property("Font",
//       &TMyButton::Font, &TMyButton::SetFont); P.Property("Visible", &TMyButton::Visible,
//       &TMyButton::SetVisible).Default(true); P.Property("Enabled", &TMyButton::Enabled, &TMyButton::SetEnabled);   //
//       no default: always stored P.Property("Cursor", &TMyButton::Cursor, &TMyButton::SetCursor).Default(crDefault);
//       P.Property("Hint", &TMyButton::Hint, &TMyButton::SetHint);
//       P.Property("PopupMenu", &TMyButton::PopupMenu, &TMyButton::SetPopupMenu);
//       P.Property("OnClick", &TMyButton::OnClick, &TMyButton::OnClick);      // a field read and written directly
//     }
//   };
//
// The body may also live in the source file: `VEL_PUBLISH(P);` in the class and
// `void TMyButton::VelPublish(TPublisher& P) { ... }` beside VEL_IMPLEMENT_CLASS.
//
// Accessors: a getter is a member function returning the value (or a
// reference to it) or a field; a setter is a member function taking the value
// or a field; Property with a getter only makes a read-only property.
// IndexedProperty passes an index to `V Get(int) const` and `void Set(int, V)`.
// Value types: the integer types, char, bool, floating-point types,
// std::string, TColor, TCursor, enumerations declared with VEL_ENUM (or
// VEL_ENUM_SUBRANGE), TSet of such an enumeration, pointers to TObject-derived
// classes and TEvent types declared with VEL_EVENT_TYPE.
//
// A property redeclared by a descendant (same name) keeps its ancestor's
// position and takes the descendant's accessors.
//
// Published methods (the handlers a stream refers to by name):
//   P.Method<&TMainForm::ButtonClick>("ButtonClick");
// make MethodAddress("ButtonClick") give the code of an event bound to that
// method, and MethodName of that code give "ButtonClick". The table also
// records the method's event type, so the stream reader refuses to bind a
// handler to an event of another signature.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>

#include "platform/rtl/typinfo.h"

namespace platform {

namespace detail {

// Converting a property's C++ value to and from the transport form.
template <class V>
struct TValueTraits {
  static TPropValue To(const V& Value) {
    if constexpr (std::is_same_v<V, bool>) {
      return std::int64_t(Value ? 1 : 0);
    } else if constexpr (std::is_same_v<V, char>) {
      return std::int64_t(static_cast<unsigned char>(Value));
    } else if constexpr (std::is_enum_v<V>) {
      return std::int64_t(static_cast<std::underlying_type_t<V>>(Value));
    } else if constexpr (IsTSet<V>::value) {
      return static_cast<std::int64_t>(Value.Bits());
    } else if constexpr (std::is_integral_v<V>) {
      return static_cast<std::int64_t>(Value);
    } else if constexpr (std::is_floating_point_v<V>) {
      return static_cast<double>(Value);
    } else if constexpr (std::is_same_v<V, std::string>) {
      return Value;
    } else if constexpr (std::is_pointer_v<V>) {
      return static_cast<TObject*>(const_cast<std::remove_cv_t<std::remove_pointer_t<V>>*>(Value));
    } else {
      static_assert(IsTEvent<V>::value, "unsupported property type");
      return Value.ToMethod();
    }
  }
  static V From(const TPropValue& Value) {
    if constexpr (std::is_same_v<V, bool>) {
      return std::get<std::int64_t>(Value) != 0;
    } else if constexpr (std::is_enum_v<V>) {
      return static_cast<V>(static_cast<std::underlying_type_t<V>>(std::get<std::int64_t>(Value)));
    } else if constexpr (IsTSet<V>::value) {
      return V::FromBits(static_cast<std::uint64_t>(std::get<std::int64_t>(Value)));
    } else if constexpr (std::is_integral_v<V>) {
      return static_cast<V>(std::get<std::int64_t>(Value));
    } else if constexpr (std::is_floating_point_v<V>) {
      return static_cast<V>(std::get<double>(Value));
    } else if constexpr (std::is_same_v<V, std::string>) {
      return std::get<std::string>(Value);
    } else if constexpr (std::is_pointer_v<V>) {
      // The routines have checked the class; a none stays none.
      return dynamic_cast<V>(std::get<TObject*>(Value));
    } else {
      return V::FromMethod(std::get<TMethod>(Value));
    }
  }
};

// The object an accessor of class C works on.
template <class C>
C* Self(TObject* Obj) {
  C* P = dynamic_cast<C*>(Obj);
  if (!P) ThrowWrongClass(Obj, C::StaticClass());
  return P;
}
template <class C>
const C* Self(const TObject* Obj) {
  const C* P = dynamic_cast<const C*>(Obj);
  if (!P) ThrowWrongClass(Obj, C::StaticClass());
  return P;
}

template <class G>
struct TGetter;
template <class C, class R>
struct TGetter<R (C::*)() const> {
  using Value = std::remove_cvref_t<R>;
  static Value Read(const TObject* Obj, R (C::*M)() const) { return (Self<C>(Obj)->*M)(); }
};
// A getter that is not const still only reads.
template <class C, class R>
struct TGetter<R (C::*)()> {
  using Value = std::remove_cvref_t<R>;
  static Value Read(const TObject* Obj, R (C::*M)()) { return (const_cast<C*>(Self<C>(Obj))->*M)(); }
};
template <class C, class R>
requires(!std::is_function_v<R>) struct TGetter<R C::*> {
  using Value = std::remove_cvref_t<R>;
  static Value Read(const TObject* Obj, R C::*F) { return Self<C>(Obj)->*F; }
};

template <class S>
struct TSetter;
template <class C, class R, class A>
struct TSetter<R (C::*)(A)> {
  template <class V>
  static void Write(TObject* Obj, R (C::*M)(A), V&& Value) {
    (Self<C>(Obj)->*M)(std::forward<V>(Value));
  }
};
template <class C, class R>
requires(!std::is_function_v<R>) struct TSetter<R C::*> {
  template <class V>
  static void Write(TObject* Obj, R C::*F, V&& Value) {
    Self<C>(Obj)->*F = std::forward<V>(Value);
  }
};

template <class G>
struct TIndexedGetter;
template <class C, class R>
struct TIndexedGetter<R (C::*)(int) const> {
  using Value = std::remove_cvref_t<R>;
  static Value Read(const TObject* Obj, R (C::*M)(int) const, int Index) { return (Self<C>(Obj)->*M)(Index); }
};
template <class S>
struct TIndexedSetter;
template <class C, class R, class A>
struct TIndexedSetter<R (C::*)(int, A)> {
  template <class V>
  static void Write(TObject* Obj, R (C::*M)(int, A), int Index, V&& Value) {
    (Self<C>(Obj)->*M)(Index, std::forward<V>(Value));
  }
};

template <class M>
struct TMethodSignature;
template <class C, class... A>
struct TMethodSignature<void (C::*)(A...)> {
  using Class = C;
  using Event = TEvent<A...>;
};

}  // namespace detail

/// \brief Refines the property just declared: default, stored flag.
class TPropertyDecl {
 public:
  explicit TPropertyDecl(TPropInfo& AInfo) : FInfo(AInfo) {}
  /// The default value of an ordinal or set property (not stored while it holds it).
  template <class V>
  TPropertyDecl& Default(const V& Value) {
    FInfo.Default = std::get<std::int64_t>(detail::TValueTraits<V>::To(Value));
    return *this;
  }
  TPropertyDecl& NoDefault() {
    FInfo.Default = ::platform::NoDefault;
    return *this;
  }
  TPropertyDecl& Stored(bool Value) {
    FInfo.StoredProc = nullptr;
    FInfo.StoredConst = Value;
    return *this;
  }
  /// A member function `bool IsXStored() const` decides.
  template <class C>
  TPropertyDecl& Stored(bool (C::*IsStored)() const) {
    FInfo.StoredProc = [IsStored](const TObject* Obj) { return (detail::Self<C>(Obj)->*IsStored)(); };
    return *this;
  }
  PPropInfo Info() const { return &FInfo; }

 private:
  TPropInfo& FInfo;
};

/// \brief Collects one class's published properties and methods (see the top of this file).
class TPublisher {
 public:
  /// A read-write property.
  template <class G, class S>
  TPropertyDecl Property(std::string_view Name, G Getter, S Setter) {
    using V = typename detail::TGetter<G>::Value;
    TPropInfo& Info = Add(Name, TypeInfo<V>());
    Info.GetProc = [Getter](const TObject* Obj) -> TPropValue {
      return detail::TValueTraits<V>::To(detail::TGetter<G>::Read(Obj, Getter));
    };
    Info.SetProc = [Setter](TObject* Obj, const TPropValue& Value) {
      detail::TSetter<S>::Write(Obj, Setter, detail::TValueTraits<V>::From(Value));
    };
    return TPropertyDecl(Info);
  }
  /// A read-only property.
  template <class G>
  TPropertyDecl Property(std::string_view Name, G Getter) {
    using V = typename detail::TGetter<G>::Value;
    TPropInfo& Info = Add(Name, TypeInfo<V>());
    Info.GetProc = [Getter](const TObject* Obj) -> TPropValue {
      return detail::TValueTraits<V>::To(detail::TGetter<G>::Read(Obj, Getter));
    };
    return TPropertyDecl(Info);
  }
  /// A property whose accessors take Index first.
  template <class G, class S>
  TPropertyDecl IndexedProperty(std::string_view Name, int Index, G Getter, S Setter) {
    using V = typename detail::TIndexedGetter<G>::Value;
    TPropInfo& Info = Add(Name, TypeInfo<V>());
    Info.Index = Index;
    Info.GetProc = [Getter, Index](const TObject* Obj) -> TPropValue {
      return detail::TValueTraits<V>::To(detail::TIndexedGetter<G>::Read(Obj, Getter, Index));
    };
    Info.SetProc = [Setter, Index](TObject* Obj, const TPropValue& Value) {
      detail::TIndexedSetter<S>::Write(Obj, Setter, Index, detail::TValueTraits<V>::From(Value));
    };
    return TPropertyDecl(Info);
  }
  /// A published method: a handler that streams name.
  template <auto Handler>
  void Method(std::string_view Name) {
    using Sig = detail::TMethodSignature<decltype(Handler)>;
    AddMethod(Name, Sig::Event::template Bind<Handler>(static_cast<typename Sig::Class*>(nullptr)).ToMethod().Code,
              &typeid(typename Sig::Event));
  }

  TClass DeclaringClass() const { return FClass; }

 private:
  friend struct TPublisherAccess;
  TPublisher(TClass AClass, void* ATable) : FClass(AClass), FTable(ATable) {}
  TPropInfo& Add(std::string_view Name, PTypeInfo Type);
  void AddMethod(std::string_view Name, const void* Code, const std::type_info* EventTypeId);

  TClass FClass;
  void* FTable;
};

}  // namespace platform
