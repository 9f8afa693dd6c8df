#include "platform/rtl/list.h"

#include <gtest/gtest.h>

#include "platform/rtl/stringlist.h"

using namespace platform;

namespace {
int Dead = 0;
class TCountedObject : public TObject {
  VEL_CLASS(TCountedObject, TObject)
  TCountedObject() = default;
  ~TCountedObject() override { ++Dead; }
};
}  // namespace
VEL_IMPLEMENT_CLASS(TCountedObject, "Tests");

TEST(List, EditingAndIndexErrors) {
  int A = 1, B = 2, C = 3;
  TList L;
  L.Add(&A);
  L.Add(&B);
  L.Insert(0, &C);
  EXPECT_EQ(L.Count(), 3);
  EXPECT_EQ(L[0], &C);
  EXPECT_EQ(L.IndexOf(&B), 2);
  L.Move(0, 2);
  EXPECT_EQ(L.Last(), &C);
  L.Exchange(0, 1);
  EXPECT_EQ(L.First(), &B);
  EXPECT_EQ(L.Remove(&A), 1);
  EXPECT_EQ(L.Remove(&A), -1);
  try {
    L.Get(2);
    FAIL();
  } catch (const EListError& E) {
    EXPECT_EQ(E.Message(), "List index out of bounds (2)");
  }
  EXPECT_THROW(L.Delete(-1), EListError);
  EXPECT_THROW(L.Insert(5, &A), EListError);
  L.Add(nullptr);
  L.Add(nullptr);
  L.Pack();
  EXPECT_EQ(L.Count(), 2);
}

TEST(List, PackRemovesEveryEmptyEntryHoweverItCame) {
  int V[4];
  TList L;
  L.Add(&V[0]);
  L.Add(nullptr);        // added
  L.Insert(0, nullptr);  // inserted
  L.Add(&V[1]);
  L.Put(3, nullptr);  // overwritten with none
  L.SetCount(6);      // grown
  L.Put(4, &V[2]);    // one grown entry filled again
  L.Delete(1);        // a real entry deleted: none, none, none, V2, none
  EXPECT_EQ(L.Extract(nullptr), nullptr);
  ASSERT_EQ(L.Count(), 4);  // none, none, V2, none
  L.Pack();
  EXPECT_EQ(L.List(), (std::vector<void*>{&V[2]}));
  L.Pack();  // nothing left to remove
  EXPECT_EQ(L.Count(), 1);
  L.Put(0, nullptr);
  L.Add(&V[3]);
  L.Pack();
  EXPECT_EQ(L.List(), (std::vector<void*>{&V[3]}));
  {
    TList M;
    M.Add(nullptr);
    M.Clear();
    M.Add(&V[0]);
    M.Pack();
    EXPECT_EQ(M.Count(), 1) << "cleared empties are not counted again";
  }
}

TEST(List, CapacityIsWhatWasLastSetWhileTheEntriesFit) {
  int V[40];
  TList L;
  L.SetCapacity(10);
  EXPECT_EQ(L.Capacity(), 10);
  for (int I = 0; I < 40; ++I) {
    L.Add(&V[I]);
    L.SetCapacity(L.Count());
    ASSERT_EQ(L.Capacity(), L.Count());
  }
  EXPECT_THROW(L.SetCapacity(39), EListError);
  L.Add(&V[0]);
  EXPECT_GE(L.Capacity(), L.Count());
  L.Clear();
  L.SetCapacity(0);
  EXPECT_EQ(L.Capacity(), 0);
}

TEST(List, AssignCopiesAndCombines) {
  int V[5];
  TList A, B;
  for (int I = 0; I < 3; ++I) A.Add(&V[I]);  // 0 1 2
  for (int I = 2; I < 5; ++I) B.Add(&V[I]);  // 2 3 4
  TList Copy;
  Copy.Add(&V[4]);
  Copy.Assign(A);
  EXPECT_EQ(Copy.List(), A.List());
  A.Add(&V[3]);
  EXPECT_EQ(Copy.Count(), 3);  // a copy, not a view

  TList And;
  And.Assign(A);
  And.Assign(B, laAnd);
  EXPECT_EQ(And.List(), (std::vector<void*>{&V[2], &V[3]}));
  TList Or;
  Or.Assign(Copy);
  Or.Assign(B, laOr);
  EXPECT_EQ(Or.List(), (std::vector<void*>{&V[0], &V[1], &V[2], &V[3], &V[4]}));
  TList Xor;
  Xor.Assign(Copy);
  Xor.Assign(B, laXor);
  EXPECT_EQ(Xor.List(), (std::vector<void*>{&V[0], &V[1], &V[3], &V[4]}));
}

TEST(List, SortByComparer) {
  int V[] = {5, 1, 4, 2, 3};
  TList L;
  for (int& X : V) L.Add(&X);
  L.Sort([](void* A, void* B) { return *static_cast<int*>(A) - *static_cast<int*>(B); });
  for (int I = 0; I < 5; ++I) EXPECT_EQ(*static_cast<int*>(L[I]), I + 1);
}

TEST(ObjectList, OwnsAndFreesUnlessExtracted) {
  Dead = 0;
  {
    TObjectList L;
    auto* A = new TCountedObject();
    auto* B = new TCountedObject();
    auto* C = new TCountedObject();
    L.Add(A);
    L.Add(B);
    L.Add(C);
    L.Delete(0);
    EXPECT_EQ(Dead, 1);
    EXPECT_EQ(L.Extract(B), B);
    EXPECT_EQ(Dead, 1);
    delete B;
    L.SetItem(0, new TCountedObject());  // replacing frees the old entry
    EXPECT_EQ(Dead, 3);
  }
  EXPECT_EQ(Dead, 4);
  TObjectList NotOwning(false);
  TCountedObject Local;
  NotOwning.Add(&Local);
  NotOwning.Clear();
  EXPECT_EQ(Dead, 4);
}

TEST(StringList, RowsObjectsAndCaseInsensitiveLookup) {
  TStringList L;
  TObject Obj;
  L.Add("Caption=Hello");
  L.AddObject("Left=10", &Obj);
  L.Add("NoSeparator");
  L.Add("Empty=");
  EXPECT_EQ(L.Count(), 4);
  EXPECT_EQ(L.IndexOf("left=10"), 1);  // letter case is ignored by default
  EXPECT_EQ(L.Objects(1), &Obj);
  EXPECT_EQ(L.IndexOfObject(&Obj), 1);
  EXPECT_EQ(L.Names(0), "Caption");
  EXPECT_EQ(L.Names(2), "");
  EXPECT_EQ(L.ValueFromIndex(0), "Hello");
  EXPECT_EQ(L.Values("LEFT"), "10");
  EXPECT_EQ(L.Values("Missing"), "");
  L.SetValues("Left", "20");
  EXPECT_EQ(L[1], "Left=20");
  EXPECT_EQ(L.Objects(1), &Obj);  // the row keeps its object
  L.SetValues("Top", "5");
  EXPECT_EQ(L[4], "Top=5");
  L.SetValues("Caption", "");
  EXPECT_EQ(L.IndexOfName("Caption"), -1);
  L.SetCaseSensitive(true);
  EXPECT_EQ(L.IndexOf("left=20"), -1);
  EXPECT_THROW(L.Get(10), EStringListError);
}

TEST(StringList, SortedListsAndDuplicates) {
  TStringList L;
  L.SetSorted(true);
  for (const char* S : {"delta", "Alpha", "charlie", "bravo", "alpha"}) L.Add(S);
  EXPECT_EQ(L.ToVector(), (std::vector<std::string>{"Alpha", "bravo", "charlie", "delta"}));  // dupIgnore
  L.SetDuplicates(dupError);
  EXPECT_THROW(L.Add("BRAVO"), EStringListError);
  L.SetDuplicates(dupAccept);
  L.Add("BRAVO");
  EXPECT_EQ(L.Count(), 5);
  int Index;
  EXPECT_TRUE(L.Find("Bravo", Index));
  EXPECT_EQ(Index, 1);
  EXPECT_THROW(L.Insert(0, "x"), EStringListError);
}

TEST(StringList, TextCommaAndDelimitedForms) {
  TStringList L;
  L.SetText("one\r\ntwo\nthree\rfour");
  EXPECT_EQ(L.ToVector(), (std::vector<std::string>{"one", "two", "three", "four"}));
  EXPECT_EQ(L.Text(), "one\ntwo\nthree\nfour\n");

  struct Case {
    const char* Comma;
    std::vector<std::string> Rows;
  };
  const Case Cases[] = {
      {"a,b,c", {"a", "b", "c"}},
      {"a b", {"a", "b"}},  // blanks separate too
      {"\"a b\",c", {"a b", "c"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {"", {}},
  };
  for (const Case& C : Cases) {
    L.SetCommaText(C.Comma);
    EXPECT_EQ(L.ToVector(), C.Rows) << C.Comma;
  }
  L.Clear();
  for (const char* S : {"plain", "with space", "with,comma", "quote\"d"}) L.Add(S);
  const std::string Text = L.CommaText();
  EXPECT_EQ(Text, "plain,\"with space\",\"with,comma\",\"quote\"\"d\"");
  TStringList Back;
  Back.SetCommaText(Text);
  EXPECT_TRUE(Back.Equals(L));

  TStringList Strict;
  Strict.SetDelimiter(';');
  Strict.SetStrictDelimiter(true);
  Strict.SetDelimitedText("a b;c");
  EXPECT_EQ(Strict.ToVector(), (std::vector<std::string>{"a b", "c"}));
}

TEST(StringList, ChangeEventsRespectUpdates) {
  TStringList L;
  int Changes = 0;
  L.OnChange = [&](TObject*) { ++Changes; };
  L.Add("a");
  EXPECT_EQ(Changes, 1);
  L.BeginUpdate();
  L.BeginUpdate();
  L.Add("b");
  L.Add("c");
  L.EndUpdate();
  EXPECT_EQ(Changes, 1);
  L.EndUpdate();
  EXPECT_EQ(Changes, 2);

  TStringList Copy;
  Copy.Assign(&L);
  EXPECT_TRUE(Copy.Equals(L));
  TPersistent NotStrings;
  EXPECT_THROW(Copy.Assign(&NotStrings), EConvertError);
  EXPECT_TRUE(Copy.Equals(L));
}

TEST(StringList, OwnsObjectsWhenAsked) {
  Dead = 0;
  {
    TStringList L(true);
    L.AddObject("a", new TCountedObject());
    L.AddObject("b", new TCountedObject());
    L.Delete(0);
    EXPECT_EQ(Dead, 1);
  }
  EXPECT_EQ(Dead, 2);
}
