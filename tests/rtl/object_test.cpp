#include "platform/rtl/object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/stringlist.h"

using namespace platform;

namespace {

std::vector<std::string>* Log = nullptr;

class TAnimal : public TComponent {
  VEL_CLASS(TAnimal, TComponent)
  explicit TAnimal(TComponent* AOwner) : TComponent(AOwner) {
    if (Log) Log->push_back("TAnimal()");
  }
  virtual std::string Sound() const = 0;
  void AfterConstruction() override {
    if (Log) Log->push_back("AfterConstruction " + ClassName());
  }
};

class TDog : public TAnimal {
  VEL_CLASS(TDog, TAnimal)
  explicit TDog(TComponent* AOwner) : TAnimal(AOwner) {
    if (Log) Log->push_back("TDog()");
  }
  std::string Sound() const override { return "woof"; }
};

class TT : public TObject {
  VEL_CLASS(TT, TObject)
};

class TPlain : public TObject {
  VEL_CLASS(TPlain, TObject)
  TPlain() = default;
  void BeforeDestruction() override {
    if (Log) Log->push_back("BeforeDestruction " + ClassName());
  }
  ~TPlain() override {
    if (Log) Log->push_back("~TPlain");
  }
};

class TPlainChild : public TPlain {
  VEL_CLASS(TPlainChild, TPlain)
  ~TPlainChild() override {
    if (Log) Log->push_back("~TPlainChild");
  }
};

class IMarker : public virtual IInterface {};
class IOther : public virtual IInterface {};

class TMarked : public TComponent, public IMarker {
  VEL_CLASS(TMarked, TComponent)
  using TComponent::TComponent;
  int _AddRef() override { return TComponent::_AddRef(); }
  int _Release() override { return TComponent::_Release(); }
};

class TCounted : public TInterfacedObject, public IMarker {
  VEL_CLASS(TCounted, TInterfacedObject)
  TCounted() = default;
  ~TCounted() override {
    if (Log) Log->push_back("~TCounted");
  }
  int _AddRef() override { return TInterfacedObject::_AddRef(); }
  int _Release() override { return TInterfacedObject::_Release(); }
};

}  // namespace

VEL_IMPLEMENT_CLASS(TAnimal, "Zoo");
VEL_IMPLEMENT_CLASS(TDog, "Zoo");
VEL_IMPLEMENT_CLASS(TT, "Zoo");
VEL_IMPLEMENT_CLASS(TPlain, "Zoo");
VEL_IMPLEMENT_CLASS(TPlainChild, "Zoo");
VEL_IMPLEMENT_CLASS(TMarked, "Zoo");
VEL_IMPLEMENT_CLASS(TCounted, "Zoo");

class ObjectModel : public ::testing::Test {
 protected:
  void SetUp() override { Log = &Entries; }
  void TearDown() override { Log = nullptr; }
  std::vector<std::string> Entries;
};

TEST_F(ObjectModel, ClassReferencesKnowNameParentAndUnit) {
  TDog Dog(nullptr);
  EXPECT_EQ(Dog.ClassName(), "TDog");
  EXPECT_EQ(Dog.ClassType(), TDog::StaticClass());
  EXPECT_EQ(Dog.ClassParent(), TAnimal::StaticClass());
  EXPECT_EQ(Dog.UnitName(), "Zoo");
  EXPECT_EQ(Dog.InstanceSize(), sizeof(TDog));
  EXPECT_TRUE(Dog.InheritsFrom(TComponent::StaticClass()));
  EXPECT_TRUE(Dog.InheritsFrom(TObject::StaticClass()));
  EXPECT_FALSE(Dog.InheritsFrom(TStringList::StaticClass()));

  std::vector<std::string> Chain;
  for (TClass C = TDog::StaticClass(); C; C = C->ClassParent()) Chain.push_back(C->ClassName());
  EXPECT_EQ(Chain, (std::vector<std::string>{"TDog", "TAnimal", "TComponent", "TPersistent", "TObject"}));
  EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);
  EXPECT_EQ(TT::StaticClass()->ClassName(), "TT");
}

TEST_F(ObjectModel, VirtualConstructorRunsTheMostDerivedClass) {
  TComponent Owner(nullptr);
  TClass AnimalClass = TDog::StaticClass();
  TComponent* C = AnimalClass->CreateComponent(&Owner);
  EXPECT_EQ(Entries, (std::vector<std::string>{"TAnimal()", "TDog()", "AfterConstruction TDog"}));
  auto* Dog = dynamic_cast<TAnimal*>(C);
  ASSERT_NE(Dog, nullptr);
  EXPECT_EQ(Dog->Sound(), "woof");
  EXPECT_EQ(C->Owner(), &Owner);

  // Abstract classes and non-component classes refuse the component constructor.
  EXPECT_FALSE(TAnimal::StaticClass()->CanCreateComponent());
  EXPECT_THROW(TAnimal::StaticClass()->CreateComponent(nullptr), EInvalidOperation);
  EXPECT_THROW(TPlain::StaticClass()->CreateComponent(nullptr), EInvalidOperation);
  TObject* P = TPlain::StaticClass()->Create();
  EXPECT_EQ(P->ClassName(), "TPlain");
  delete P;
}

TEST_F(ObjectModel, DeleteCallsBeforeDestructionOfTheMostDerivedClassFirst) {
  TObject* P = new TPlainChild();
  delete P;
  EXPECT_EQ(Entries, (std::vector<std::string>{"BeforeDestruction TPlainChild", "~TPlainChild", "~TPlain"}));
}

TEST_F(ObjectModel, RegistryFindsClassesByNameIgnoringCase) {
  RegisterClass(TDog::StaticClass());
  RegisterClass(TDog::StaticClass());  // twice is harmless
  EXPECT_EQ(GetClass("TDog"), TDog::StaticClass());
  EXPECT_EQ(FindClass("tdog"), TDog::StaticClass());
  EXPECT_EQ(GetClass("TCat"), nullptr);
  try {
    FindClass("TCat");
    FAIL();
  } catch (const EClassNotFound& E) {
    EXPECT_EQ(E.Message(), "Class TCat not found");
  }
  RegisterClasses({TT::StaticClass(), TPlain::StaticClass()});
  EXPECT_EQ(GetClass("TT"), TT::StaticClass());
  UnRegisterClass(TT::StaticClass());
  EXPECT_EQ(GetClass("TT"), nullptr);
}

TEST_F(ObjectModel, CheckedCastRaisesInvalidCast) {
  TDog Dog(nullptr);
  TObject* O = &Dog;
  EXPECT_EQ(As<TAnimal>(O), &Dog);
  EXPECT_EQ(As<TAnimal>(static_cast<TObject*>(nullptr)), nullptr);
  EXPECT_THROW(As<TStringList>(O), EInvalidCast);
}

TEST_F(ObjectModel, InterfacesAreQueryableAndComponentsAreNotCounted) {
  auto* M = new TMarked(nullptr);
  TComponent* AsComponent = M;
  EXPECT_NE(Supports<IMarker>(AsComponent), nullptr);
  EXPECT_EQ(Supports<IOther>(AsComponent), nullptr);
  {
    TInterfaceRef<IMarker> Ref(Supports<IMarker>(AsComponent));
    TInterfaceRef<IMarker> Copy = Ref;
    EXPECT_TRUE(Copy);
  }
  // The references are gone, the component lives on until its owner or the caller frees it.
  EXPECT_EQ(M->ClassName(), "TMarked");
  delete M;

  TDog Dog(nullptr);
  EXPECT_EQ(Supports<IMarker>(static_cast<TObject*>(&Dog)), nullptr);
}

TEST_F(ObjectModel, InterfacedObjectDiesWithItsLastReference) {
  TInterfaceRef<IMarker> A(new TCounted());
  {
    TInterfaceRef<IMarker> B = A;
    TInterfaceRef<IInterface> C(B.Get());
    EXPECT_EQ(dynamic_cast<TCounted*>(A.Get())->RefCount(), 3);
  }
  EXPECT_TRUE(Entries.empty());
  A.Reset();
  EXPECT_EQ(Entries, (std::vector<std::string>{"~TCounted"}));
}

namespace {
struct TReceiver {
  int Calls = 0;
  TObject* Last = nullptr;
  void Handle(TObject* Sender) {
    ++Calls;
    Last = Sender;
  }
  void Other(TObject*) {}
};
}  // namespace

TEST(Events, MethodReferencesCompareByObjectAndMethod) {
  TReceiver R1, R2;
  TNotifyEvent A = TNotifyEvent::Bind<&TReceiver::Handle>(&R1);
  TNotifyEvent B = TNotifyEvent::Bind<&TReceiver::Handle>(&R1);
  TNotifyEvent C = TNotifyEvent::Bind<&TReceiver::Handle>(&R2);
  TNotifyEvent D = TNotifyEvent::Bind<&TReceiver::Other>(&R1);
  EXPECT_TRUE(A == B);
  EXPECT_FALSE(A == C);
  EXPECT_FALSE(A == D);
  EXPECT_EQ(A.Data(), &R1);

  TObject Sender;
  A(&Sender);
  EXPECT_EQ(R1.Calls, 1);
  EXPECT_EQ(R1.Last, &Sender);

  // Saved and restored through the type-erased form, the handler is the same.
  const TMethod M = A.ToMethod();
  TNotifyEvent Restored = TNotifyEvent::FromMethod(M);
  EXPECT_TRUE(Restored == A);
  Restored(nullptr);
  EXPECT_EQ(R1.Calls, 2);
}

TEST(Events, CallablesAndEmptyEvents) {
  int Count = 0;
  TNotifyEvent L = [&Count](TObject*) { ++Count; };
  TNotifyEvent Copy = L;
  TNotifyEvent Other = [&Count](TObject*) { ++Count; };
  EXPECT_TRUE(L == Copy);
  EXPECT_FALSE(L == Other);
  Copy(nullptr);
  EXPECT_EQ(Count, 1);

  TNotifyEvent Empty;
  EXPECT_FALSE(Empty);
  EXPECT_TRUE(Empty == nullptr);
  Empty(nullptr);  // an empty event does nothing
  L.Clear();
  EXPECT_FALSE(L);
  Copy(nullptr);  // the copy keeps the callable alive
  EXPECT_EQ(Count, 2);

  // Reference parameters reach the handler (a key event may change its key).
  TEvent<TObject*, int&> KeyEvent = [](TObject*, int& Key) { Key = 0; };
  int Key = 13;
  KeyEvent(nullptr, Key);
  EXPECT_EQ(Key, 0);
}
