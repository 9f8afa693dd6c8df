#include "platform/rtl/object.h"

#include <map>

namespace platform {

constinit const TClassRec TObject::ClassRecord = MakeClassRec<TObject>("TObject", "System");
constinit const TClassRec TInterfacedObject::ClassRecord =
    MakeClassRec<TInterfacedObject>("TInterfacedObject", "System");

bool TClassRec::InheritsFrom(TClass AClass) const {
  for (TClass C = this; C; C = C->FParent)
    if (C == AClass) return true;
  return false;
}

TObject* TClassRec::Create() const {
  if (!FNewObject) throw EInvalidOperation("Cannot create an instance of class " + ClassName());
  return FNewObject();
}

TComponent* TClassRec::CreateComponent(TComponent* AOwner) const {
  if (!FNewComponent) throw EInvalidOperation("Class " + ClassName() + " is not a constructible component class");
  return FNewComponent(AOwner);
}

TObject* TClassRec::CreateItem(TCollection* ACollection) const {
  if (!FNewItem) throw EInvalidOperation("Class " + ClassName() + " is not a constructible collection item class");
  return FNewItem(ACollection);
}

TObject::~TObject() = default;

void TObject::operator delete(TObject* Obj, std::destroying_delete_t) {
  // The complete object's address must be taken while its dynamic type is intact.
  void* Block = dynamic_cast<void*>(Obj);
  Obj->BeforeDestruction();
  Obj->~TObject();
  ::operator delete(Block);
}

int TInterfacedObject::_Release() {
  const int R = --FRefCount;
  if (R == 0) delete this;
  return R;
}

// --------------------------------------------------------------- registry

namespace {

struct TAsciiLess {
  bool operator()(std::string_view A, std::string_view B) const { return CompareText(A, B) < 0; }
};

// The process's class registry: upper/lower case of a name do not matter.
std::map<std::string, TClass, TAsciiLess>& ClassRegistry() {
  static std::map<std::string, TClass, TAsciiLess> Registry;
  return Registry;
}

}  // namespace

void RegisterClass(TClass AClass) {
  if (!AClass) return;
  auto& Reg = ClassRegistry();
  auto [It, Inserted] = Reg.emplace(AClass->ClassName(), AClass);
  if (!Inserted && It->second != AClass) throw EFilerError("A class named " + AClass->ClassName() + " already exists");
}

void RegisterClasses(std::initializer_list<TClass> Classes) {
  for (TClass C : Classes) RegisterClass(C);
}

void UnRegisterClass(TClass AClass) {
  if (!AClass) return;
  auto& Reg = ClassRegistry();
  auto It = Reg.find(AClass->ClassName());
  if (It != Reg.end() && It->second == AClass) Reg.erase(It);
}

TClass GetClass(std::string_view ClassName) {
  auto& Reg = ClassRegistry();
  auto It = Reg.find(std::string(ClassName));
  return It == Reg.end() ? nullptr : It->second;
}

TClass FindClass(std::string_view ClassName) {
  TClass C = GetClass(ClassName);
  if (!C) throw EClassNotFound("Class " + std::string(ClassName) + " not found");
  return C;
}

}  // namespace platform
