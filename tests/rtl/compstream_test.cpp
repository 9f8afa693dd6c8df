// Writing and reading whole components: round trips, hand-built images in the
// binary form, the text form of what is written, and damaged input.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "byte_builder.h"
#include "platform/rtl/component.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/publish.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/typinfo.h"

using namespace platform;
using veltest::ByteBuilder;

namespace cs {

enum TCsKind { ckNone, ckSmall, ckLarge };
VEL_ENUM(TCsKind, "CsUnit", ckNone, ckSmall, ckLarge);
enum TCsOption { coA, coB, coC };
VEL_ENUM(TCsOption, "CsUnit", coA, coB, coC);
using TCsOptions = TSet<TCsOption>;
VEL_SET(TCsOptions, "CsUnit");

// Every component of these classes alive right now, so a test sees that a failed read left none behind.
int Live = 0;

class TCsFont : public TPersistent {
  VEL_CLASS(TCsFont, TPersistent)
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  int Size() const { return FSize; }
  void SetSize(int Value) { FSize = Value; }
  VEL_PUBLISH(P) {
    P.Property("Name", &TCsFont::Name, &TCsFont::SetName);
    P.Property("Size", &TCsFont::Size, &TCsFont::SetSize).Default(8);
  }

 private:
  std::string FName;
  int FSize = 8;
};

// A component with a published property of every kind that streams. Items
// parent items: a parent presents the items it parents as its children.
class TCsItem : public TComponent {
  VEL_CLASS(TCsItem, TComponent)
  explicit TCsItem(TComponent* AOwner) : TComponent(AOwner) { ++Live; }
  ~TCsItem() override {
    SetParentItem(nullptr);
    for (TCsItem* Kid : FKids) Kid->FParentItem = nullptr;
    if (FBuddy) FBuddy->RemoveFreeNotification(this);
    --Live;
  }

  int Count() const { return FCount; }
  void SetCount(int Value) { FCount = Value; }
  TCsKind Kind() const { return FKind; }
  void SetKind(TCsKind Value) { FKind = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  TCsOptions Options() const { return FOptions; }
  void SetOptions(TCsOptions Value) { FOptions = Value; }
  double Ratio() const { return FRatio; }
  void SetRatio(double Value) { FRatio = Value; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  std::int64_t Big() const { return FBig; }
  void SetBig(std::int64_t Value) { FBig = Value; }
  char Letter() const { return FLetter; }
  void SetLetter(char Value) { FLetter = Value; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TCsFont* Font() const { return FFont.get(); }
  TStringList* Lines() const { return FLines.get(); }
  TCsItem* Buddy() const { return FBuddy; }
  void SetBuddy(TCsItem* Value) {
    if (FBuddy) FBuddy->RemoveFreeNotification(this);
    FBuddy = Value;
    if (FBuddy) FBuddy->FreeNotification(this);
  }
  TNotifyEvent OnChange;

  VEL_PUBLISH(P) {
    P.Property("Count", &TCsItem::Count, &TCsItem::SetCount).Default(0);
    P.Property("Kind", &TCsItem::Kind, &TCsItem::SetKind).Default(ckNone);
    P.Property("Enabled", &TCsItem::Enabled, &TCsItem::SetEnabled).Default(true);
    P.Property("Options", &TCsItem::Options, &TCsItem::SetOptions).Default(TCsOptions{});
    P.Property("Ratio", &TCsItem::Ratio, &TCsItem::SetRatio);
    P.Property("Caption", &TCsItem::Caption, &TCsItem::SetCaption);
    P.Property("Big", &TCsItem::Big, &TCsItem::SetBig);
    P.Property("Letter", &TCsItem::Letter, &TCsItem::SetLetter).Default('\0');
    P.Property("Color", &TCsItem::Color, &TCsItem::SetColor).Default(clBtnFace);
    P.Property("Font", &TCsItem::Font);
    P.Property("Lines", &TCsItem::Lines);
    P.Property("Buddy", &TCsItem::Buddy, &TCsItem::SetBuddy);
    P.Property("OnChange", &TCsItem::OnChange, &TCsItem::OnChange);
  }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return FParentItem; }
  void SetParentComponent(TComponent* Value) override { SetParentItem(dynamic_cast<TCsItem*>(Value)); }
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    for (TCsItem* Kid : FKids)
      if (Kid->Owner() == Root) Proc(Kid);
  }
  void Loaded() override {
    TComponent::Loaded();
    ++LoadedCalls;
    ReadingAtLoaded = ComponentState().Contains(csReading);
    BuddyAtLoaded = FBuddy;
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy) FBuddy = nullptr;
  }
  void MakeTransient() { IncludeComponentStyle(csTransient); }
  // Data that is no published property: a list of numbers and a block of bytes.
  void DefineProperties(TFiler* Filer) override {
    Filer->DefineProperty(
        "Points",
        [this](TReader& R) {
          Points.clear();
          R.ReadListBegin();
          while (!R.EndOfList()) Points.push_back(R.ReadInteger());
          R.ReadListEnd();
        },
        [this](TWriter& W) {
          W.WriteListBegin();
          for (int V : Points) W.WriteInteger(V);
          W.WriteListEnd();
        },
        !Points.empty());
    Filer->DefineBinaryProperty(
        "Blob",
        [this](TStream& S) {
          Blob.assign(std::size_t(S.Size()), 0);
          if (!Blob.empty()) S.ReadBuffer(Blob.data(), S.Size());
        },
        [this](TStream& S) {
          if (!Blob.empty()) S.WriteBuffer(Blob.data(), std::int64_t(Blob.size()));
        },
        !Blob.empty());
  }
  std::vector<int> Points;
  std::vector<std::uint8_t> Blob;
  TCsItem* ParentItem() const { return FParentItem; }

  int LoadedCalls = 0;
  bool ReadingAtLoaded = true;
  TCsItem* BuddyAtLoaded = nullptr;

 private:
  void SetParentItem(TCsItem* Value) {
    if (FParentItem) {
      auto& K = FParentItem->FKids;
      K.erase(std::remove(K.begin(), K.end(), this), K.end());
    }
    FParentItem = Value;
    if (Value) Value->FKids.push_back(this);
  }

  int FCount = 0;
  TCsKind FKind = ckNone;
  bool FEnabled = true;
  TCsOptions FOptions;
  double FRatio = 0;
  std::string FCaption;
  std::int64_t FBig = 0;
  char FLetter = 0;
  TColor FColor = clBtnFace;
  std::unique_ptr<TCsFont> FFont = std::make_unique<TCsFont>();
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
  TCsItem* FBuddy = nullptr;
  TCsItem* FParentItem = nullptr;
  std::vector<TCsItem*> FKids;
};

// The root: presents the items it owns that have no parent item, and
// publishes the handler events are bound to.
class TCsRoot : public TComponent {
  VEL_CLASS(TCsRoot, TComponent)
  explicit TCsRoot(TComponent* AOwner) : TComponent(AOwner) { ++Live; }
  ~TCsRoot() override { --Live; }
  void ItemChange(TObject*) { ++Changes; }
  VEL_PUBLISH(P) { P.Method<&TCsRoot::ItemChange>("ItemChange"); }
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    for (int I = 0; I < ComponentCount(); ++I)
      if (Components(I)->GetParentComponent() == nullptr && Components(I)->Owner() == Root) Proc(Components(I));
  }
  void Loaded() override {
    TComponent::Loaded();
    ++LoadedCalls;
  }
  int Changes = 0;
  int LoadedCalls = 0;
};

VEL_IMPLEMENT_CLASS(TCsFont, "CsUnit");
VEL_IMPLEMENT_CLASS(TCsItem, "CsUnit");
VEL_IMPLEMENT_CLASS(TCsRoot, "CsUnit");

}  // namespace cs

using namespace cs;

namespace {

class CompStream : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClasses({TCsRoot::StaticClass(), TCsItem::StaticClass(), TCsFont::StaticClass()});
    LiveBefore = Live;
  }
  void TearDown() override { EXPECT_EQ(Live, LiveBefore) << "a component outlived its test"; }
  int LiveBefore = 0;
};

std::vector<std::uint8_t> Write(TComponent* C) {
  TMemoryStream S;
  S.WriteComponent(C);
  return veltest::Contents(S);
}

TComponent* Read(const std::vector<std::uint8_t>& Data, TComponent* Instance = nullptr) {
  TMemoryStream S;
  veltest::Load(S, Data);
  return S.ReadComponent(Instance);
}

std::string Text(const std::vector<std::uint8_t>& Data) {
  TMemoryStream In;
  veltest::Load(In, Data);
  TStringStream Out;
  ObjectBinaryToText(&In, &Out);
  return Out.DataString();
}

// A root with one item that sets every kind of property and parents a second item it refers to.
std::vector<std::uint8_t> HandFixture() {
  ByteBuilder B;
  B.Signature().Str("TCsRoot").Str("Root1").Tag(vaNull);
  B.Str("TCsItem").Str("Item1");
  B.Str("Count").Tag(vaInt8).Bytes({5});
  B.Str("Kind").Tag(vaIdent).Str("ckLarge");
  B.Str("Enabled").Tag(vaFalse);
  B.Str("Options").Tag(vaSet).Str("coA").Str("coC").Str("");
  B.Str("Ratio").Tag(vaExtended).Bytes({0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0x40});  // 2.5
  B.Str("Caption").Tag(vaString).Str("Hi");
  B.Str("Big").Tag(vaInt64).Bytes({0x00, 0xF2, 0x05, 0x2A, 0x01, 0, 0, 0});  // 5000000000
  B.Str("Letter").Tag(vaString).Str("x");
  B.Str("Color").Tag(vaIdent).Str("clRed");
  B.Str("Font.Size").Tag(vaInt8).Bytes({12});
  B.Str("Lines.Strings").Tag(vaList).Tag(vaString).Str("a").Tag(vaString).Str("b").Tag(vaNull);
  B.Str("Buddy").Tag(vaIdent).Str("Item2");
  B.Str("OnChange").Tag(vaIdent).Str("ItemChange");
  B.Tag(vaNull);
  B.Str("TCsItem").Str("Item2").Tag(vaNull).Tag(vaNull);
  B.Tag(vaNull);  // Item1's children
  B.Tag(vaNull);  // Root1's children
  return B.Data;
}

}  // namespace

TEST_F(CompStream, HandBuiltImageReadsIntoEveryPropertyKindAndWritesBackByteForByte) {
  std::unique_ptr<TComponent> Root(Read(HandFixture()));
  auto* R = dynamic_cast<TCsRoot*>(Root.get());
  ASSERT_NE(R, nullptr);
  EXPECT_EQ(R->Name(), "Root1");
  EXPECT_EQ(R->Owner(), nullptr);
  ASSERT_EQ(R->ComponentCount(), 2);
  auto* I1 = dynamic_cast<TCsItem*>(R->FindComponent("Item1"));
  auto* I2 = dynamic_cast<TCsItem*>(R->FindComponent("Item2"));
  ASSERT_TRUE(I1 && I2);
  EXPECT_EQ(I1->Count(), 5);
  EXPECT_EQ(I1->Kind(), ckLarge);
  EXPECT_FALSE(I1->Enabled());
  EXPECT_EQ(I1->Options(), (TCsOptions{coA, coC}));
  EXPECT_EQ(I1->Ratio(), 2.5);
  EXPECT_EQ(I1->Caption(), "Hi");
  EXPECT_EQ(I1->Big(), 5000000000LL);
  EXPECT_EQ(I1->Letter(), 'x');
  EXPECT_EQ(I1->Color(), clRed);
  EXPECT_EQ(I1->Font()->Size(), 12);
  ASSERT_EQ(I1->Lines()->Count(), 2);
  EXPECT_EQ(I1->Lines()->Strings(1), "b");
  EXPECT_EQ(I1->Buddy(), I2);
  EXPECT_EQ(I2->ParentItem(), I1);
  EXPECT_EQ(I1->ParentItem(), nullptr);
  ASSERT_TRUE(I1->OnChange);
  I1->OnChange(I1);
  EXPECT_EQ(R->Changes, 1);
  EXPECT_EQ(Write(R), HandFixture());
}

TEST_F(CompStream, WrittenImageHasTheExpectedTextForm) {
  std::unique_ptr<TComponent> Root(Read(HandFixture()));
  EXPECT_EQ(Text(Write(Root.get())),
            "object Root1: TCsRoot\n"
            "  object Item1: TCsItem\n"
            "    Count = 5\n"
            "    Kind = ckLarge\n"
            "    Enabled = False\n"
            "    Options = [coA, coC]\n"
            "    Ratio = 2.5\n"
            "    Caption = 'Hi'\n"
            "    Big = 5000000000\n"
            "    Letter = 'x'\n"
            "    Color = clRed\n"
            "    Font.Size = 12\n"
            "    Lines.Strings = (\n"
            "      'a'\n"
            "      'b')\n"
            "    Buddy = Item2\n"
            "    OnChange = ItemChange\n"
            "    object Item2: TCsItem\n"
            "    end\n"
            "  end\n"
            "end\n");
}

TEST_F(CompStream, BuiltHierarchyRoundTripsAndWritesIdenticallyTwice) {
  TCsRoot Root(nullptr);
  Root.SetName("Form7");
  Root.SetTag(-70000);
  auto* A = new TCsItem(&Root);
  A->SetName("A");
  A->SetCount(-300);
  A->SetKind(ckSmall);
  A->SetOptions({coB});
  A->SetRatio(-1.0 / 3.0);
  A->SetCaption(std::string(300, 'z') + "\xC3\xA9");
  A->SetBig(-5);
  A->SetColor(TColor(0x123456));
  A->Font()->SetName("Mono");
  A->Lines()->Add("");
  auto* B = new TCsItem(&Root);
  B->SetName("B");
  B->SetParentComponent(A);
  auto* C = new TCsItem(&Root);
  C->SetName("C");
  C->SetParentComponent(B);
  C->SetBuddy(A);
  C->OnChange = TNotifyEvent::Bind<&TCsRoot::ItemChange>(&Root);
  A->SetBuddy(C);

  const auto First = Write(&Root);
  std::unique_ptr<TComponent> Copy(Read(First));
  auto* CA = dynamic_cast<TCsItem*>(Copy->FindComponent("A"));
  auto* CB = dynamic_cast<TCsItem*>(Copy->FindComponent("B"));
  auto* CC = dynamic_cast<TCsItem*>(Copy->FindComponent("C"));
  ASSERT_TRUE(CA && CB && CC);
  EXPECT_EQ(Copy->Tag(), -70000);
  EXPECT_EQ(CA->Count(), -300);
  EXPECT_EQ(CA->Kind(), ckSmall);
  EXPECT_EQ(CA->Options(), TCsOptions{coB});
  EXPECT_EQ(CA->Ratio(), -1.0 / 3.0);
  EXPECT_EQ(CA->Caption(), A->Caption());
  EXPECT_EQ(CA->Big(), -5);
  EXPECT_EQ(CA->Color(), TColor(0x123456));
  EXPECT_EQ(CA->Font()->Name(), "Mono");
  EXPECT_EQ(CA->Lines()->Count(), 1);
  EXPECT_EQ(CA->Buddy(), CC);
  EXPECT_EQ(CC->Buddy(), CA);
  EXPECT_EQ(CC->ParentItem(), CB);
  EXPECT_EQ(CB->ParentItem(), CA);
  CC->OnChange(CC);
  EXPECT_EQ(static_cast<TCsRoot*>(Copy.get())->Changes, 1);
  EXPECT_EQ(Root.Changes, 0);
  EXPECT_EQ(Write(Copy.get()), First);
}

TEST_F(CompStream, DefinedPropertiesFollowThePublishedOnesAndReadBack) {
  TCsItem Item(nullptr);
  Item.SetName("D");
  Item.SetCount(1);
  Item.Points = {7, 300};
  Item.Blob = {0xAB, 0x00};
  ByteBuilder Expected;
  Expected.Signature().Str("TCsItem").Str("D");
  Expected.Str("Count").Tag(vaInt8).Bytes({1});
  Expected.Str("Points").Tag(vaList).Tag(vaInt8).Bytes({7}).Tag(vaInt16).Bytes({0x2C, 0x01}).Tag(vaNull);
  Expected.Str("Blob").Tag(vaBinary).Bytes({2, 0, 0, 0, 0xAB, 0x00});
  Expected.Tag(vaNull).Tag(vaNull);
  EXPECT_EQ(Write(&Item), Expected.Data);

  std::unique_ptr<TComponent> Copy(Read(Expected.Data));
  auto* C = static_cast<TCsItem*>(Copy.get());
  EXPECT_EQ(C->Points, (std::vector<int>{7, 300}));
  EXPECT_EQ(C->Blob, (std::vector<std::uint8_t>{0xAB, 0x00}));
  EXPECT_EQ(C->Count(), 1);
}

TEST_F(CompStream, DefaultsAndTransientComponentsAreNotWritten) {
  TCsRoot Root(nullptr);
  Root.SetName("R");
  auto* Plain = new TCsItem(&Root);
  Plain->SetName("Plain");
  auto* Temp = new TCsItem(&Root);
  Temp->SetName("Temp");
  Temp->SetCount(3);
  Temp->MakeTransient();
  // A handler that is no published method of the root does not stream.
  Plain->OnChange = [](TObject*) {};
  ByteBuilder Expected;
  Expected.Signature().Str("TCsRoot").Str("R").Tag(vaNull);
  Expected.Str("TCsItem").Str("Plain").Tag(vaNull).Tag(vaNull);
  Expected.Tag(vaNull);
  EXPECT_EQ(Write(&Root), Expected.Data);
}

TEST_F(CompStream, LoadedRunsOnceForEveryComponentAfterReferencesResolve) {
  std::unique_ptr<TComponent> Root(Read(HandFixture()));
  auto* R = static_cast<TCsRoot*>(Root.get());
  auto* I1 = static_cast<TCsItem*>(R->FindComponent("Item1"));
  auto* I2 = static_cast<TCsItem*>(R->FindComponent("Item2"));
  EXPECT_EQ(R->LoadedCalls, 1);
  EXPECT_EQ(I1->LoadedCalls, 1);
  EXPECT_EQ(I2->LoadedCalls, 1);
  EXPECT_FALSE(I1->ReadingAtLoaded);
  EXPECT_EQ(I1->BuddyAtLoaded, I2);
  for (TComponent* C : {static_cast<TComponent*>(R), static_cast<TComponent*>(I1), static_cast<TComponent*>(I2)}) {
    EXPECT_FALSE(C->ComponentState().Contains(csLoading));
    EXPECT_FALSE(C->ComponentState().Contains(csReading));
  }
}

TEST_F(CompStream, ReaderParentBecomesTheParentOfTheRootRead) {
  TCsRoot Holder(nullptr);
  auto* Host = new TCsItem(&Holder);
  Host->SetName("Host");
  TCsItem Source(nullptr);
  Source.SetName("Loose");
  Source.SetCount(9);
  const auto Image = Write(&Source);

  TMemoryStream S;
  veltest::Load(S, Image);
  TReader Reader(&S);
  Reader.SetParent(Host);
  std::unique_ptr<TComponent> Read(Reader.ReadRootComponent(nullptr));
  auto* Item = dynamic_cast<TCsItem*>(Read.get());
  ASSERT_NE(Item, nullptr);
  EXPECT_EQ(Item->ParentItem(), Host);
  EXPECT_EQ(Item->Count(), 9);
}

TEST_F(CompStream, ImagesOneAfterAnotherReadOneAtATime) {
  TCsItem A(nullptr), B(nullptr);
  A.SetName("First");
  B.SetName("Second");
  B.SetCaption("two");
  TMemoryStream S;
  S.WriteComponent(&A);
  const std::int64_t Split = S.Position();
  S.WriteComponent(&B);
  S.SetPosition(0);
  std::unique_ptr<TComponent> RA(S.ReadComponent(nullptr));
  EXPECT_EQ(S.Position(), Split);
  std::unique_ptr<TComponent> RB(S.ReadComponent(nullptr));
  EXPECT_EQ(S.Position(), S.Size());
  EXPECT_EQ(RA->Name(), "First");
  EXPECT_EQ(static_cast<TCsItem*>(RB.get())->Caption(), "two");
}

TEST_F(CompStream, ReadingIntoAnInstanceKeepsItsNameWhenItsOwnerHasTheStoredOne) {
  TCsItem Source(nullptr);
  Source.SetName("Item1");
  Source.SetCount(4);
  const auto Image = Write(&Source);

  TCsRoot Owner(nullptr);
  auto* Existing = new TCsItem(&Owner);
  Existing->SetName("Item1");
  auto* Target = new TCsItem(&Owner);
  Target->SetName("Item2");
  EXPECT_EQ(Read(Image, Target), Target);
  EXPECT_EQ(Target->Name(), "Item2");
  EXPECT_EQ(Target->Count(), 4);

  TCsItem Free(nullptr);
  Free.SetName("Other");
  Read(Image, &Free);
  EXPECT_EQ(Free.Name(), "Item1");
  EXPECT_EQ(Free.LoadedCalls, 1);
}

// ------------------------------------------------------------------ bad input

TEST_F(CompStream, EveryTruncationOfAnImageIsAReadErrorThatLeavesNothingBehind) {
  const auto Full = HandFixture();
  for (std::size_t Len = 0; Len < Full.size(); ++Len) {
    SCOPED_TRACE("length " + std::to_string(Len));
    std::vector<std::uint8_t> Cut(Full.begin(), Full.begin() + std::ptrdiff_t(Len));
    EXPECT_THROW(Read(Cut), EReadError);
    EXPECT_EQ(Live, LiveBefore);
  }
}

TEST_F(CompStream, DamagedImagesRaiseTheirErrorClassAndLeaveNothingBehind) {
  auto Item = [](std::initializer_list<std::pair<const char*, std::vector<std::uint8_t>>> Props,
                 const char* Class = "TCsItem", const char* Name = "Item1") {
    ByteBuilder B;
    B.Signature().Str("TCsRoot").Str("Root1").Tag(vaNull);
    B.Str(Class).Str(Name);
    for (auto& [PropName, Value] : Props) {
      B.Str(PropName);
      B.Data.insert(B.Data.end(), Value.begin(), Value.end());
    }
    B.Tag(vaNull).Tag(vaNull).Tag(vaNull);
    return B.Data;
  };
  auto S = [](std::string_view Str) {
    std::vector<std::uint8_t> V{std::uint8_t(Str.size())};
    V.insert(V.end(), Str.begin(), Str.end());
    return V;
  };
  auto Cat = [](std::vector<std::uint8_t> A, const std::vector<std::uint8_t>& B) {
    A.insert(A.end(), B.begin(), B.end());
    return A;
  };
  enum TExpect { ReadErr, ClassNotFound };
  struct TCase {
    const char* What;
    std::vector<std::uint8_t> Data;
    TExpect Expect;
    const char* Message;
  };
  ByteBuilder UnknownRoot;
  UnknownRoot.Signature().Str("TNoSuchRoot").Str("X").Tag(vaNull).Tag(vaNull);
  ByteBuilder Trailing;
  const TCase Cases[] = {
      {"unknown root class", UnknownRoot.Data, ClassNotFound, "Class TNoSuchRoot not found"},
      {"unknown child class", Item({}, "TNoSuchItem"), ClassNotFound, "Class TNoSuchItem not found"},
      {"unknown property", Item({{"Foo", {vaInt8, 1}}}), ReadErr,
       "Error reading Item1.Foo: Property Foo does not exist"},
      {"unknown sub-property", Item({{"Font.Colour", {vaInt8, 1}}}), ReadErr, "Property Colour does not exist"},
      {"dotted path through a non-object", Item({{"Count.Size", {vaInt8, 1}}}), ReadErr, "Count is not an object"},
      {"string for an integer", Item({{"Count", Cat({vaString}, S("x"))}}), ReadErr, "Error reading Item1.Count"},
      {"integer for a string", Item({{"Caption", {vaInt8, 1}}}), ReadErr, "Error reading Item1.Caption"},
      {"unknown enumeration identifier", Item({{"Kind", Cat({vaIdent}, S("ckHuge"))}}), ReadErr,
       "Invalid property value ckHuge"},
      {"unknown set element", Item({{"Options", Cat(Cat({vaSet}, S("coZ")), {0})}}), ReadErr,
       "Error reading Item1.Options"},
      {"integer for a Boolean", Item({{"Enabled", {vaInt8, 1}}}), ReadErr, "Error reading Item1.Enabled"},
      {"two characters for a char", Item({{"Letter", Cat({vaString}, S("xy"))}}), ReadErr, "not a single character"},
      {"unknown colour identifier", Item({{"Color", Cat({vaIdent}, S("clNope"))}}), ReadErr, "clNope"},
      {"reference to nothing", Item({{"Buddy", Cat({vaIdent}, S("Ghost"))}}), ReadErr,
       "Error reading Item1.Buddy: Invalid reference Ghost"},
      {"reference of the wrong class", Item({{"Buddy", Cat({vaIdent}, S("Root1"))}}), ReadErr, "a TCsRoot"},
      {"unknown handler", Item({{"OnChange", Cat({vaIdent}, S("Nowhere"))}}), ReadErr, "Method Nowhere not found"},
      {"unknown value tag", Item({{"Count", {21}}}), ReadErr, "Unknown value type 21"},
      {"value for a read-only sub-object", Item({{"Font", {vaNil}}}), ReadErr, "Font takes no value"},
      {"invalid child name", Item({}, "TCsItem", "1bad"), ReadErr, "Error reading TCsItem 1bad"},
      {"not a component class", Item({}, "TCsFont"), ReadErr, "not a component class"},
      {"defined data of the wrong kind", Item({{"Points", {vaInt8, 1}}}), ReadErr, "Error reading Item1.Points"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    try {
      Read(C.Data);
      ADD_FAILURE() << "no error";
    } catch (const EClassNotFound& E) {
      EXPECT_EQ(C.Expect, ClassNotFound) << E.what();
      EXPECT_NE(std::string(E.what()).find(C.Message), std::string::npos) << E.what();
    } catch (const EReadError& E) {
      EXPECT_EQ(C.Expect, ReadErr) << E.what();
      EXPECT_NE(std::string(E.what()).find(C.Message), std::string::npos) << E.what();
    }
    EXPECT_EQ(Live, LiveBefore);
  }
}

TEST_F(CompStream, DuplicateChildNamesAreAReadError) {
  ByteBuilder B;
  B.Signature().Str("TCsRoot").Str("Root1").Tag(vaNull);
  B.Str("TCsItem").Str("Twin").Tag(vaNull).Tag(vaNull);
  B.Str("TCsItem").Str("Twin").Tag(vaNull).Tag(vaNull);
  B.Tag(vaNull);
  EXPECT_THROW(Read(B.Data), EReadError);
  EXPECT_EQ(Live, LiveBefore);
}

TEST_F(CompStream, AFailedReadIntoAnExistingRootRemovesWhatItCreated) {
  TCsRoot Root(nullptr);
  Root.SetName("Root1");
  ByteBuilder B;
  B.Signature().Str("TCsRoot").Str("Root1").Tag(vaNull);
  B.Str("TCsItem").Str("Good").Tag(vaNull).Tag(vaNull);
  B.Str("TCsItem").Str("Bad").Str("Nope").Tag(vaInt8).Bytes({1}).Tag(vaNull).Tag(vaNull);
  B.Tag(vaNull);
  EXPECT_THROW(Read(B.Data, &Root), EReadError);
  EXPECT_EQ(Root.ComponentCount(), 0);
  EXPECT_FALSE(Root.ComponentState().Contains(csLoading));
  EXPECT_FALSE(Root.ComponentState().Contains(csReading));
  EXPECT_EQ(Live, LiveBefore + 1);
}
