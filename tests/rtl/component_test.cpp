#include "platform/rtl/component.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

using namespace platform;

namespace {

// A component that records every notification it hears, and can react to one.
class TWatcher : public TComponent {
  VEL_CLASS(TWatcher, TComponent)
  explicit TWatcher(TComponent* AOwner, std::vector<std::string>* ALog = nullptr, std::string ATag = "")
      : TComponent(AOwner), Log(ALog), Label(std::move(ATag)) {}
  ~TWatcher() override {
    if (Log) Log->push_back(Label + " destroyed");
  }

  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Log)
      Log->push_back(Label + (Operation == opInsert ? " +" : " -") +
                     (AComponent == nullptr ? "?" : AComponent->Name()) +
                     (AComponent && AComponent->ComponentState().Contains(csDestroying) ? "(destroying)" : ""));
    if (Operation == opRemove && AComponent != this) {
      // Take the orders first: freeing another component notifies this one again.
      TComponent* Other = FreeOtherOnRemove;
      const bool FreeSelf = FreeSelfOnRemove;
      FreeOtherOnRemove = nullptr;
      FreeSelfOnRemove = false;
      delete Other;
      if (FreeSelf) {
        delete this;
        return;
      }
    }
    if (OnNotify) OnNotify(AComponent, Operation);
  }

  std::vector<std::string>* Log;
  std::string Label;
  std::function<void(TComponent*, TOperation)> OnNotify;
  bool FreeSelfOnRemove = false;
  TComponent* FreeOtherOnRemove = nullptr;
};

TComponent* Named(TComponent* C, const std::string& Name) {
  C->SetName(Name);
  return C;
}

}  // namespace

VEL_IMPLEMENT_CLASS(TWatcher, "Tests");

TEST(Component, OwnerListsComponentsInInsertionOrderAndDestroysThem) {
  std::vector<std::string> Log;
  auto* Owner = new TWatcher(nullptr, &Log, "owner");
  auto* A = new TWatcher(Owner, &Log, "a");
  auto* B = new TWatcher(Owner, &Log, "b");
  ASSERT_EQ(Owner->ComponentCount(), 2);
  EXPECT_EQ(Owner->Components(0), A);
  EXPECT_EQ(Owner->Components(1), B);
  EXPECT_EQ(B->ComponentIndex(), 1);
  EXPECT_THROW(Owner->Components(2), EListError);
  Log.clear();
  delete Owner;
  // Last owned component first; the owner's base notification reaches the remaining ones.
  EXPECT_EQ(Log, (std::vector<std::string>{"owner destroyed", "b destroyed", "a -(destroying)", "a destroyed"}));
}

TEST(Component, InsertAndRemoveNotifyThroughTheOwnershipTree) {
  std::vector<std::string> Log;
  TWatcher Stage(nullptr, &Log, "stage");
  auto* Manager = new TWatcher(&Stage, &Log, "manager");
  auto* Sizer = new TWatcher(Manager, &Log, "sizer");
  (void)Sizer;
  Log.clear();

  auto* Button = new TComponent(nullptr);
  Button->SetName("Button1");
  Stage.InsertComponent(Button);
  // The stage hears first; its base notification passes the call on to what it owns, recursively.
  EXPECT_EQ(Log, (std::vector<std::string>{"sizer +Button1", "manager +Button1", "stage +Button1"}));
  EXPECT_EQ(Button->Owner(), &Stage);

  Log.clear();
  delete Button;
  EXPECT_EQ(Log, (std::vector<std::string>{"sizer -Button1(destroying)", "manager -Button1(destroying)",
                                           "stage -Button1(destroying)"}));
  EXPECT_EQ(Stage.ComponentCount(), 1);
}

TEST(Component, InsertComponentMovesBetweenOwnersAndRejectsCycles) {
  TComponent A(nullptr), B(nullptr);
  auto* C = new TComponent(&A);
  B.InsertComponent(C);
  EXPECT_EQ(C->Owner(), &B);
  EXPECT_EQ(A.ComponentCount(), 0);
  EXPECT_EQ(B.ComponentCount(), 1);
  EXPECT_THROW(C->InsertComponent(&B), EComponentError);  // would own its own owner
  EXPECT_THROW(B.InsertComponent(&B), EComponentError);
  B.RemoveComponent(C);
  EXPECT_EQ(C->Owner(), nullptr);
  delete C;
}

TEST(Component, NotificationSurvivesComponentsFreeingThemselvesAndOthers) {
  std::vector<std::string> Log;
  TWatcher Owner(nullptr, &Log, "owner");
  std::vector<TWatcher*> Kids;
  for (int I = 0; I < 6; ++I) Kids.push_back(new TWatcher(&Owner, nullptr, "k" + std::to_string(I)));
  // Kid 4 frees kid 1 and itself when it hears of a removal; kid 2 frees itself.
  Kids[4]->FreeOtherOnRemove = Kids[1];
  Kids[4]->FreeSelfOnRemove = true;
  Kids[2]->FreeSelfOnRemove = true;
  auto* Target = new TComponent(&Owner);
  Target->SetName("Target");
  delete Target;  // the walk must not touch freed components (the sanitizer build checks)
  ASSERT_EQ(Owner.ComponentCount(), 3);
  EXPECT_EQ(Owner.Components(0), Kids[0]);
  EXPECT_EQ(Owner.Components(1), Kids[3]);
  EXPECT_EQ(Owner.Components(2), Kids[5]);
}

TEST(Component, DestructionStepsInOrder) {
  std::vector<std::string> Log;
  TWatcher Form(nullptr, &Log, "form");
  auto* Outside = new TWatcher(nullptr, &Log, "outside");
  auto* X = new TWatcher(&Form, &Log, "x");
  X->SetName("X");
  auto* Owned = new TWatcher(X, &Log, "owned");
  Owned->SetName("Owned");
  Outside->FreeNotification(X);
  Log.clear();

  bool OwnedWasDestroying = false;
  Outside->OnNotify = [&](TComponent*, TOperation) {
    // While X is torn down, everything it owns already reads as destroying.
    OwnedWasDestroying = Owned->ComponentState().Contains(csDestroying);
  };
  delete X;
  EXPECT_EQ(Log, (std::vector<std::string>{
                     "x destroyed",             // the derived destructor runs first
                     "outside -X(destroying)",  // free-notification subscribers first
                     "owned destroyed",         // then the owned components
                     "form -X(destroying)",     // then the owner's removal
                 }));
  EXPECT_TRUE(OwnedWasDestroying);
  delete Outside;
}

TEST(Component, FreeNotificationWorksAcrossOwnersBothWays) {
  std::vector<std::string> Log;
  TComponent FormA(nullptr), FormB(nullptr);
  auto* Menu = new TWatcher(&FormA, &Log, "menu");
  Menu->SetName("Menu");
  auto* Control = new TWatcher(&FormB, &Log, "control");
  Control->SetName("Control");
  Control->FreeNotification(Menu);
  Log.clear();
  delete Menu;
  EXPECT_EQ(Log, (std::vector<std::string>{"menu destroyed", "control -Menu(destroying)"}));

  // The link is dropped: destroying the control later tells nobody about the menu.
  auto* Menu2 = new TWatcher(&FormA, &Log, "menu2");
  Menu2->SetName("Menu2");
  Menu2->FreeNotification(Control);
  Menu2->RemoveFreeNotification(Control);
  Log.clear();
  delete Control;
  EXPECT_EQ(Log, (std::vector<std::string>{"control destroyed"}));
  EXPECT_FALSE(Menu2->ComponentState().Contains(csFreeNotification));
}

TEST(Component, ManyFreeNotificationLinksEachNotifyOnceUntilRemoved) {
  // Enough links that the watcher indexes them; linked twice, unlinked and
  // destroyed out of their order of linking.
  constexpr int N = 40;
  std::vector<std::string> Log;
  TComponent Owner(nullptr);
  auto* Watcher = new TWatcher(nullptr, &Log, "watcher");
  std::vector<TComponent*> Items;
  for (int I = 0; I < N; ++I) {
    Items.push_back(Named(new TComponent(&Owner), "C" + std::to_string(I)));
    Watcher->FreeNotification(Items.back());
  }
  for (int I = 0; I < N; I += 3) Watcher->FreeNotification(Items[size_t(I)]);  // no second link
  for (int I = 1; I < N; I += 4) Watcher->RemoveFreeNotification(Items[size_t(I)]);
  std::vector<std::string> Expected;
  for (int I = N - 1; I >= 0; I -= 2) {
    if (I % 4 != 1) Expected.push_back("watcher -C" + std::to_string(I) + "(destroying)");
    delete Items[size_t(I)];
    Items[size_t(I)] = nullptr;
  }
  for (int I = 0; I < N; I += 2) {
    if (I % 4 != 1) Expected.push_back("watcher -C" + std::to_string(I) + "(destroying)");
    delete Items[size_t(I)];
  }
  EXPECT_EQ(Log, Expected);
  EXPECT_FALSE(Watcher->ComponentState().Contains(csFreeNotification));
  // Linked again after emptying, and destroyed first: nothing dangles.
  auto* Late = Named(new TComponent(&Owner), "Late");
  Watcher->FreeNotification(Late);
  delete Watcher;
  EXPECT_FALSE(Late->ComponentState().Contains(csFreeNotification));
}

TEST(Component, NameRules) {
  TComponent Owner(nullptr);
  auto* A = Named(new TComponent(&Owner), "Button1");
  auto* B = new TComponent(&Owner);
  EXPECT_EQ(B->Name(), "");  // blank names are fine, and many may be blank
  new TComponent(&Owner);

  struct Case {
    const char* Name;
    const char* Error;
  };
  const Case Bad[] = {{"1Button", "'1Button' is not a valid component name"},
                      {"Button 2", "'Button 2' is not a valid component name"},
                      {"Bütton", "'Bütton' is not a valid component name"},
                      {"button1", "A component named button1 already exists"},
                      {"BUTTON1", "A component named BUTTON1 already exists"}};
  for (const Case& C : Bad) {
    try {
      B->SetName(C.Name);
      ADD_FAILURE() << C.Name;
    } catch (const EComponentError& E) {
      EXPECT_EQ(E.Message(), C.Error);
    }
    EXPECT_EQ(B->Name(), "") << "unchanged after " << C.Name;
  }

  A->SetName("BUTTON1");  // a component may change the case of its own name
  EXPECT_EQ(A->Name(), "BUTTON1");
  EXPECT_EQ(Owner.FindComponent("button1"), A);
  EXPECT_EQ(Owner.FindComponent(""), nullptr);
  A->SetName("");
  EXPECT_EQ(Owner.FindComponent("button1"), nullptr);

  // Without an owner any valid identifier is accepted.
  TComponent Lonely(nullptr);
  Lonely.SetName("Button1");
  EXPECT_EQ(Lonely.Name(), "Button1");
}

TEST(Component, InsertComponentAcceptsADuplicateName) {
  TComponent Owner(nullptr);
  Named(new TComponent(&Owner), "Button1");
  auto* Newcomer = Named(new TComponent(nullptr), "Button1");
  Owner.InsertComponent(Newcomer);
  EXPECT_EQ(Newcomer->Owner(), &Owner);
  EXPECT_EQ(Owner.ComponentCount(), 2);
}

TEST(Component, ComponentIndexIsClamped) {
  TComponent Owner(nullptr);
  std::vector<TComponent*> C;
  for (int I = 0; I < 4; ++I) C.push_back(Named(new TComponent(&Owner), "C" + std::to_string(I)));
  C[0]->SetComponentIndex(99);
  EXPECT_EQ(Owner.Components(3), C[0]);
  C[0]->SetComponentIndex(-5);
  EXPECT_EQ(Owner.Components(0), C[0]);
  C[3]->SetComponentIndex(1);
  std::vector<std::string> Names;
  for (int I = 0; I < Owner.ComponentCount(); ++I) Names.push_back(Owner.Components(I)->Name());
  EXPECT_EQ(Names, (std::vector<std::string>{"C0", "C3", "C1", "C2"}));
  TComponent Free(nullptr);
  Free.SetComponentIndex(3);  // no owner: nothing to move
  EXPECT_EQ(Free.ComponentIndex(), -1);
}

TEST(Component, DesigningStateSpreadsThroughOwnership) {
  TComponent Stage(nullptr);
  auto* Panel = new TComponent(&Stage);
  auto* Inner = new TComponent(Panel);
  Stage.SetDesigning(true);
  EXPECT_TRUE(Inner->ComponentState().Contains(csDesigning));
  auto* Late = new TComponent(nullptr);
  Stage.InsertComponent(Late);
  EXPECT_TRUE(Late->ComponentState().Contains(csDesigning));
  Stage.SetDesigning(false, false);
  EXPECT_FALSE(Stage.ComponentState().Contains(csDesigning));
  EXPECT_TRUE(Panel->ComponentState().Contains(csDesigning));
  EXPECT_EQ(Panel->Tag(), 0);
  Panel->SetTag(1003);
  EXPECT_EQ(Panel->Tag(), 1003);
}

// ------------------------------------------------------------ TComponentList

class ComponentListOrder : public ::testing::TestWithParam<int> {};

TEST_P(ComponentListOrder, DestroyedComponentsDropOutInAnyOrder) {
  constexpr int N = 5;
  TComponent Owner(nullptr);
  std::vector<TComponent*> Items;
  for (int I = 0; I < N; ++I) Items.push_back(Named(new TComponent(&Owner), "C" + std::to_string(I)));

  TComponentList List;
  for (TComponent* C : Items) List.Add(C);
  List.Add(Items[2]);  // listed twice
  TComponentList Copy;
  Copy.Assign(List);

  // Destroy in the permutation numbered by the parameter.
  std::vector<int> Order(N);
  std::iota(Order.begin(), Order.end(), 0);
  for (int K = 0; K < GetParam(); ++K) std::next_permutation(Order.begin(), Order.end());
  std::vector<TComponent*> Alive = Items;
  for (int I : Order) {
    delete Items[size_t(I)];
    Alive.erase(std::find(Alive.begin(), Alive.end(), Items[size_t(I)]));
    for (TComponentList* L : {&List, &Copy}) {
      std::vector<TComponent*> Listed;
      for (int J = 0; J < L->Count(); ++J) Listed.push_back(L->Items(J));
      for (TComponent* C : Listed) EXPECT_NE(std::find(Alive.begin(), Alive.end(), C), Alive.end());
      EXPECT_EQ(L->IndexOf(Items[size_t(I)]), -1);
    }
  }
  EXPECT_EQ(List.Count(), 0);
  EXPECT_EQ(Copy.Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Permutations, ComponentListOrder, ::testing::Values(0, 1, 7, 31, 60, 119));

TEST(ComponentList, ListDestroyedBeforeItsItemsLeavesNoLink) {
  TComponent Owner(nullptr);
  auto* A = new TComponent(&Owner);
  {
    TComponentList List;
    List.Add(A);
    EXPECT_TRUE(A->ComponentState().Contains(csFreeNotification));
  }
  EXPECT_FALSE(A->ComponentState().Contains(csFreeNotification));
  delete A;  // no call into the destroyed list
}

TEST(ComponentList, RemovingAndClearingUnlinks) {
  TComponent Owner(nullptr);
  auto* A = new TComponent(&Owner);
  auto* B = new TComponent(&Owner);
  TComponentList List;
  List.Add(A);
  List.Add(B);
  List.Add(A);
  List.Remove(A);  // one occurrence left: still linked
  EXPECT_TRUE(A->ComponentState().Contains(csFreeNotification));
  List.Delete(List.IndexOf(A));
  EXPECT_FALSE(A->ComponentState().Contains(csFreeNotification));
  List.Clear();
  EXPECT_FALSE(B->ComponentState().Contains(csFreeNotification));
  EXPECT_EQ(Owner.ComponentCount(), 2);  // a non-owning list frees nothing
  delete B;
  EXPECT_EQ(List.Count(), 0);
}

TEST(ComponentList, ADeleteLoopReadingTheCurrentLengthEnds) {
  // Destroying a listed panel destroys the components it owns; they leave the list by themselves.
  TComponent Stage(nullptr);
  auto* Panel = new TComponent(&Stage);
  auto* Inner = new TComponent(Panel);
  auto* Other = new TComponent(&Stage);
  TComponentList Sel;
  Sel.Add(Inner);
  Sel.Add(Panel);
  Sel.Add(Other);
  while (Sel.Count() > 0) delete Sel.Items(Sel.Count() - 1);
  EXPECT_EQ(Stage.ComponentCount(), 0);
}

TEST(ComponentList, OwningListFreesItsItems) {
  std::vector<std::string> Log;
  {
    TComponentList List(true);
    List.Add(new TWatcher(nullptr, &Log, "a"));
    List.Add(new TWatcher(nullptr, &Log, "b"));
  }
  EXPECT_EQ(Log, (std::vector<std::string>{"b destroyed", "a destroyed"}));
}
