// TCollection and TCollectionItem: ownership, order, IDs, moving between
// collections, Assign, update batching, names and type information.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collection_classes.h"

using namespace platform;
using namespace coll;

namespace coll {
VEL_IMPLEMENT_CLASS(TCoNote, "CoUnit");
VEL_IMPLEMENT_CLASS(TCoLeaf, "CoUnit");
VEL_IMPLEMENT_CLASS(TCoPart, "CoUnit");
VEL_IMPLEMENT_CLASS(TCoParts, "CoUnit");
VEL_IMPLEMENT_CLASS(TCoWidget, "CoUnit");
VEL_IMPLEMENT_CLASS(TCoHost, "CoUnit");
VEL_IMPLEMENT_CLASS(TCoFrame, "CoUnit");
}  // namespace coll

namespace {

class Collection : public ::testing::Test {
 protected:
  void SetUp() override { ItemsBefore = LiveItems; }
  void TearDown() override { EXPECT_EQ(LiveItems, ItemsBefore) << "an item outlived its test"; }
  int ItemsBefore = 0;
};

std::vector<int> Weights(const TCollection& C) {
  std::vector<int> R;
  for (int I = 0; I < C.Count(); ++I) R.push_back(static_cast<TCoLeaf*>(C.Items(I))->Weight());
  return R;
}

TCoLeaf* AddLeaf(TCollection& C, int Weight) {
  auto* L = static_cast<TCoLeaf*>(C.Add());
  L->SetWeight(Weight);
  return L;
}

}  // namespace

TEST_F(Collection, AddInsertDeleteKeepOrderAndGiveEachItemAnID) {
  TCollection C(TCoLeaf::StaticClass());
  EXPECT_EQ(C.ItemClass(), TCoLeaf::StaticClass());
  TCoLeaf* A = AddLeaf(C, 1);
  TCoLeaf* B = AddLeaf(C, 2);
  EXPECT_EQ(A->ClassType(), TCoLeaf::StaticClass());
  EXPECT_EQ(A->Collection(), &C);
  auto* Front = static_cast<TCoLeaf*>(C.Insert(0));
  Front->SetWeight(0);
  auto* Middle = static_cast<TCoLeaf*>(C.Insert(2));
  Middle->SetWeight(9);
  auto* Last = static_cast<TCoLeaf*>(C.Insert(4));
  Last->SetWeight(7);
  EXPECT_EQ(Weights(C), (std::vector<int>{0, 1, 9, 2, 7}));
  EXPECT_EQ(C.GetItem(3), B);
  EXPECT_EQ(B->Index(), 3);
  // IDs count up in the order the items joined, whatever their position.
  EXPECT_EQ(A->ID(), 0);
  EXPECT_EQ(B->ID(), 1);
  EXPECT_EQ(Front->ID(), 2);
  EXPECT_EQ(Last->ID(), 4);
  EXPECT_EQ(C.FindItemID(3), Middle);
  EXPECT_EQ(C.FindItemID(42), nullptr);

  C.Delete(2);
  EXPECT_EQ(Weights(C), (std::vector<int>{0, 1, 2, 7}));
  EXPECT_EQ(C.FindItemID(3), nullptr);
  EXPECT_EQ(LiveItems, ItemsBefore + 4);
  // A deleted ID is not given out again.
  EXPECT_EQ(C.Add()->ID(), 5);
  C.Clear();
  EXPECT_EQ(C.Count(), 0);
  EXPECT_EQ(LiveItems, ItemsBefore);
}

TEST_F(Collection, IndexesOutsideTheListAreListErrors) {
  TCollection C(TCoLeaf::StaticClass());
  AddLeaf(C, 1);
  AddLeaf(C, 2);
  EXPECT_THROW(C.Items(2), EListError);
  EXPECT_THROW(C.Items(-1), EListError);
  EXPECT_THROW(C.Delete(2), EListError);
  EXPECT_THROW(C.Insert(3), EListError);
  EXPECT_THROW(C.Insert(-1), EListError);
  EXPECT_THROW(C.Items(0)->SetIndex(2), EListError);
  EXPECT_THROW(C.Items(0)->SetIndex(-1), EListError);
  EXPECT_EQ(Weights(C), (std::vector<int>{1, 2}));
}

TEST_F(Collection, SettingAnIndexReordersTheItems) {
  TCoParts Parts(nullptr);
  for (int I = 0; I < 4; ++I) Parts.AddPart()->SetNumber(I);
  TCoPart* First = Parts.Part(0);
  Parts.Log.clear();
  First->SetIndex(3);
  std::vector<int> Order;
  for (int I = 0; I < Parts.Count(); ++I) Order.push_back(Parts.Part(I)->Number());
  EXPECT_EQ(Order, (std::vector<int>{1, 2, 3, 0}));
  EXPECT_EQ(First->Index(), 3);
  EXPECT_EQ(Parts.Log, (std::vector<std::string>{"update all"}));
  Parts.Part(2)->SetIndex(0);
  EXPECT_EQ(Parts.Part(0)->Number(), 3);
}

TEST_F(Collection, ItemsDieWithTheirCollectionAndLeaveItWhenDestroyed) {
  auto* C = new TCollection(TCoLeaf::StaticClass());
  AddLeaf(*C, 1);
  TCoLeaf* B = AddLeaf(*C, 2);
  AddLeaf(*C, 3);
  EXPECT_EQ(LiveItems, ItemsBefore + 3);
  delete B;
  EXPECT_EQ(Weights(*C), (std::vector<int>{1, 3}));
  delete C;
  EXPECT_EQ(LiveItems, ItemsBefore);

  // A collection that is a member (no delete expression) frees its items too.
  {
    TCollection Member(TCoLeaf::StaticClass());
    AddLeaf(Member, 4);
    AddLeaf(Member, 5);
  }
  EXPECT_EQ(LiveItems, ItemsBefore);
}

TEST_F(Collection, AnItemMovesToAnotherCollectionOfItsClass) {
  TCollection From(TCoLeaf::StaticClass()), To(TCoLeaf::StaticClass());
  AddLeaf(From, 1);
  TCoLeaf* Moving = AddLeaf(From, 2);
  AddLeaf(To, 10);
  AddLeaf(To, 11);
  AddLeaf(To, 12);
  Moving->SetCollection(&To);
  EXPECT_EQ(Weights(From), (std::vector<int>{1}));
  EXPECT_EQ(Weights(To), (std::vector<int>{10, 11, 12, 2}));
  EXPECT_EQ(Moving->Collection(), &To);
  EXPECT_EQ(Moving->ID(), 3);  // a new ID in the new collection
  EXPECT_EQ(To.FindItemID(3), Moving);

  // A collection of another item class refuses it, and it stays where it was.
  TCollection Parts(TCoPart::StaticClass());
  EXPECT_THROW(Moving->SetCollection(&Parts), EListError);
  EXPECT_EQ(Moving->Collection(), &To);
  EXPECT_EQ(Parts.Count(), 0);

  // Out of every collection the item belongs to whoever holds it.
  Moving->SetCollection(nullptr);
  EXPECT_EQ(Moving->Collection(), nullptr);
  EXPECT_EQ(Moving->Index(), -1);
  EXPECT_EQ(To.Count(), 3);
  EXPECT_EQ(LiveItems, ItemsBefore + 5);
  delete Moving;
}

TEST_F(Collection, AssignCopiesEveryItemThroughItsAssign) {
  TCollection Source(TCoLeaf::StaticClass()), Dest(TCoLeaf::StaticClass());
  AddLeaf(Source, 5);
  AddLeaf(Source, 6);
  AddLeaf(Dest, 1);
  Dest.Assign(&Source);
  EXPECT_EQ(Weights(Dest), (std::vector<int>{5, 6}));
  EXPECT_EQ(Weights(Source), (std::vector<int>{5, 6}));
  EXPECT_NE(Dest.Items(0), Source.Items(0));
  EXPECT_EQ(LiveItems, ItemsBefore + 4);

  // Assigning a collection to itself keeps it as it is.
  Dest.Assign(&Dest);
  EXPECT_EQ(Weights(Dest), (std::vector<int>{5, 6}));

  // A copy that fails leaves the former items in place.
  AddLeaf(Source, -1);
  EXPECT_THROW(Dest.Assign(&Source), EConvertError);
  EXPECT_EQ(Weights(Dest), (std::vector<int>{5, 6}));
  EXPECT_EQ(LiveItems, ItemsBefore + 5);

  TCoNote Note;
  EXPECT_THROW(Dest.Assign(&Note), EConvertError);
  EXPECT_THROW(Dest.Assign(nullptr), EConvertError);
}

TEST_F(Collection, AssignBetweenPartsCopiesNestedCollections) {
  TCoParts Source(nullptr), Dest(nullptr);
  TCoPart* P = Source.AddPart();
  P->SetTitle("p");
  P->SetMarks({cmLeft});
  AddLeaf(*P->Leaves(), 3);
  AddLeaf(*P->Leaves(), 4);
  Dest.Assign(&Source);
  ASSERT_EQ(Dest.Count(), 1);
  EXPECT_EQ(Dest.Part(0)->Title(), "p");
  EXPECT_EQ(Dest.Part(0)->Marks(), TCoMarks{cmLeft});
  EXPECT_EQ(Weights(*Dest.Part(0)->Leaves()), (std::vector<int>{3, 4}));
  EXPECT_NE(Dest.Part(0)->Leaves()->Items(0), P->Leaves()->Items(0));
}

TEST_F(Collection, UpdatesWaitForTheOutermostEndUpdate) {
  TCoParts Parts(nullptr);
  TCoPart* A = Parts.AddPart();
  EXPECT_EQ(Parts.Log, (std::vector<std::string>{"added 0", "update all"}));
  Parts.Log.clear();
  A->SetTitle("x");  // an item's own change names the item
  EXPECT_EQ(Parts.Log, (std::vector<std::string>{"update 0"}));

  Parts.Log.clear();
  Parts.BeginUpdate();
  Parts.BeginUpdate();
  Parts.AddPart();
  A->SetTitle("y");
  Parts.Delete(0);
  Parts.EndUpdate();
  EXPECT_EQ(Parts.UpdateCount(), 1);
  EXPECT_EQ(Parts.Log, (std::vector<std::string>{"added 1", "deleting 0", "extracting 0"}));
  Parts.EndUpdate();
  EXPECT_EQ(Parts.Log, (std::vector<std::string>{"added 1", "deleting 0", "extracting 0", "update all"}));
  // An unbalanced EndUpdate changes nothing.
  Parts.Log.clear();
  Parts.EndUpdate();
  EXPECT_EQ(Parts.UpdateCount(), 0);
  EXPECT_TRUE(Parts.Log.empty());

  // Clear announces the whole change once.
  Parts.AddPart();
  Parts.Log.clear();
  Parts.Clear();
  EXPECT_EQ(Parts.Log, (std::vector<std::string>{"extracting 2", "extracting 1", "update all"}));
}

TEST_F(Collection, NamePathsFollowTheOwnersPublishedProperty) {
  TCoWidget W(nullptr);
  W.SetName("Widget1");
  TCoPart* A = W.Parts()->AddPart();
  TCoPart* B = W.Parts()->AddPart();
  EXPECT_EQ(W.Parts()->Owner(), &W);
  EXPECT_EQ(W.Parts()->GetNamePath(), "Widget1.Parts");
  EXPECT_EQ(B->GetNamePath(), "Widget1.Parts[1]");
  EXPECT_EQ(B->Leaves()->GetNamePath(), "Widget1.Parts[1].Leaves");
  EXPECT_EQ(W.Spare()->GetNamePath(), "Widget1.Spare");
  B->SetIndex(0);
  EXPECT_EQ(A->GetNamePath(), "Widget1.Parts[1]");

  // Without an owner, or an owner that does not publish it, the class name stands in.
  TCollection Plain(TCoLeaf::StaticClass());
  TCoLeaf* L = AddLeaf(Plain, 1);
  EXPECT_EQ(Plain.Owner(), nullptr);
  EXPECT_EQ(Plain.GetNamePath(), "TCollection");
  EXPECT_EQ(L->GetNamePath(), "TCollection[0]");
  TOwnedCollection Unpublished(&W, TCoLeaf::StaticClass());
  EXPECT_EQ(Unpublished.GetNamePath(), "TOwnedCollection");
  L->SetCollection(nullptr);
  EXPECT_EQ(L->GetNamePath(), "TCoLeaf");
  delete L;
}

TEST_F(Collection, DisplayNameDefaultsToTheClassName) {
  TCoParts Parts(nullptr);
  TCoPart* P = Parts.AddPart();
  EXPECT_EQ(P->DisplayName(), "TCoPart");
  P->SetTitle("Wheel");
  EXPECT_EQ(P->DisplayName(), "Wheel");
  TCollection Leaves(TCoLeaf::StaticClass());
  EXPECT_EQ(Leaves.Add()->DisplayName(), "TCoLeaf");
  Parts.Log.clear();
  P->SetDisplayName("ignored");
  EXPECT_EQ(Parts.Log, (std::vector<std::string>{"update 0"}));
}

TEST_F(Collection, ItemClassesCreateThroughTheirClassReference) {
  TCollection C(TCoLeaf::StaticClass());
  EXPECT_TRUE(TCoLeaf::StaticClass()->CanCreateItem());
  EXPECT_TRUE(TCollectionItem::StaticClass()->CanCreateItem());
  EXPECT_FALSE(TCoWidget::StaticClass()->CanCreateItem());
  EXPECT_FALSE(TCoLeaf::StaticClass()->CanCreate());
  TObject* Made = TCoLeaf::StaticClass()->CreateItem(&C);
  EXPECT_EQ(Made->ClassType(), TCoLeaf::StaticClass());
  EXPECT_EQ(C.Items(0), Made);
  EXPECT_THROW(TCoWidget::StaticClass()->CreateItem(&C), EInvalidOperation);
  EXPECT_THROW({ TCollection Bad(TCoWidget::StaticClass()); }, EInvalidOperation);
  EXPECT_THROW({ TCollection Bad(nullptr); }, EInvalidOperation);
}

TEST_F(Collection, CollectionPropertiesAreClassPropertiesOfTheCollectionClass) {
  TCoWidget W(nullptr);
  PPropInfo Parts = GetPropInfo(&W, "Parts");
  ASSERT_NE(Parts, nullptr);
  EXPECT_EQ(Parts->PropType->Kind, tkClass);
  EXPECT_EQ(Parts->PropType->Name, "TCoParts");
  EXPECT_EQ(GetTypeData(Parts->PropType)->ClassType, TCoParts::StaticClass());
  EXPECT_EQ(GetTypeData(Parts->PropType)->ParentInfo, TOwnedCollection::StaticClass()->ClassInfo());
  EXPECT_EQ(GetObjectPropClass(Parts), TCoParts::StaticClass());
  EXPECT_EQ(GetObjectProp(&W, Parts), W.Parts());
  EXPECT_EQ(GetObjectPropClass(GetPropInfo(&W, "Spare")), TOwnedCollection::StaticClass());
  EXPECT_EQ(GetPropInfo(&W, "Parts", TTypeKinds{tkClass}), Parts);
  // Setting the property copies the items of the collection given.
  TCoParts Other(nullptr);
  Other.AddPart()->SetNumber(8);
  SetObjectProp(&W, Parts, &Other);
  EXPECT_EQ(W.Parts()->Count(), 1);
  EXPECT_EQ(W.Parts()->Part(0)->Number(), 8);
  EXPECT_EQ(GetObjectProp(&W, Parts), W.Parts());
}
