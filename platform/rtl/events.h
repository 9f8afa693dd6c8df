// Events: nullable, copyable, comparable method references.
//
// An event holds either a method of an object (comparable: the same object and
// the same method compare equal, so a handler can be saved, compared and
// restored) or any callable (equal only to its own copies).
//
//   Button->OnClick = TNotifyEvent::Bind<&TMainForm::ButtonClick>(this);
//   Button->OnClick = [](TObject* Sender) { ... };
//   if (Button->OnClick) Button->OnClick(Button);
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace platform {

class TObject;

/// \brief The type-erased form of an event: a code key and a data pointer.
/// The object-inspector and streaming layers move events around in this form.
struct TMethod {
  const void* Code = nullptr;    // identity of the invoker (per method) or none
  void* Data = nullptr;          // the object, or the callable's storage
  std::shared_ptr<void> Holder;  // keeps a callable alive
  explicit operator bool() const { return Code != nullptr; }
  friend bool operator==(const TMethod& A, const TMethod& B) { return A.Code == B.Code && A.Data == B.Data; }
};

template <class... Args>
class TEvent {
 public:
  using TInvoker = void (*)(void* Data, Args... A);

  TEvent() = default;
  TEvent(std::nullptr_t) {}

  /// Any callable taking Args.
  template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TEvent> &&
                                              !std::is_same_v<std::decay_t<F>, std::nullptr_t> &&
                                              std::is_invocable_v<std::decay_t<F>&, Args...>>>
  TEvent(F&& Fn) {
    auto H = std::make_shared<std::decay_t<F>>(std::forward<F>(Fn));
    FData = H.get();
    FHolder = std::move(H);
    FCode = &CallableThunk<std::decay_t<F>>;
  }

  /// A method of Obj; events bound to the same object and method compare equal.
  template <auto Method, class C>
  static TEvent Bind(C* Obj) {
    TEvent E;
    E.FCode = &MethodThunk<Method, C>;
    E.FData = Obj;
    return E;
  }

  explicit operator bool() const { return FCode != nullptr; }
  void operator()(Args... A) const {
    if (FCode) FCode(FData, std::forward<Args>(A)...);
  }
  void Clear() { *this = TEvent(); }

  /// The object a method reference is bound to (none for other callables and empty events).
  void* Data() const { return FData; }

  friend bool operator==(const TEvent& A, const TEvent& B) { return A.FCode == B.FCode && A.FData == B.FData; }
  friend bool operator==(const TEvent& A, std::nullptr_t) { return !A.FCode; }

  TMethod ToMethod() const { return TMethod{reinterpret_cast<const void*>(FCode), FData, FHolder}; }
  /// The event behind M, which must have been made from an event of this type.
  static TEvent FromMethod(const TMethod& M) {
    TEvent E;
    E.FCode = reinterpret_cast<TInvoker>(const_cast<void*>(M.Code));
    E.FData = M.Data;
    E.FHolder = M.Holder;
    return E;
  }

 private:
  template <auto Method, class C>
  static void MethodThunk(void* Data, Args... A) {
    (static_cast<C*>(Data)->*Method)(std::forward<Args>(A)...);
  }
  template <class F>
  static void CallableThunk(void* Data, Args... A) {
    (*static_cast<F*>(Data))(std::forward<Args>(A)...);
  }

  TInvoker FCode = nullptr;
  void* FData = nullptr;
  std::shared_ptr<void> FHolder;
};

/// The platform's plain event: fired with the sender.
using TNotifyEvent = TEvent<TObject*>;

}  // namespace platform
