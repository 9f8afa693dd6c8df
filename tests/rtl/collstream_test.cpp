// Streaming collections and the prefix flags of component images: hand-built
// images, round trips, the text form, damaged input, and handler checks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "byte_builder.h"
#include "collection_classes.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/stream.h"

using namespace platform;
using namespace coll;
using veltest::ByteBuilder;

namespace {

using TBytes = std::vector<std::uint8_t>;

class CollStream : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClasses({TCoHost::StaticClass(), TCoWidget::StaticClass(), TCoFrame::StaticClass()});
    ItemsBefore = LiveItems;
    CompsBefore = LiveComps;
  }
  void TearDown() override {
    EXPECT_EQ(LiveItems, ItemsBefore) << "an item outlived its test";
    EXPECT_EQ(LiveComps, CompsBefore) << "a component outlived its test";
  }
  void ExpectNothingLeft() const {
    EXPECT_EQ(LiveItems, ItemsBefore);
    EXPECT_EQ(LiveComps, CompsBefore);
  }
  int ItemsBefore = 0;
  int CompsBefore = 0;
};

TBytes Write(TComponent* C) {
  TMemoryStream S;
  S.WriteComponent(C);
  return veltest::Contents(S);
}

TBytes WriteAgainst(TComponent* C, TComponent* Ancestor) {
  TMemoryStream S;
  TWriter W(&S);
  W.WriteDescendent(C, Ancestor);
  return veltest::Contents(S);
}

TComponent* Read(const TBytes& Data, TComponent* Instance = nullptr) {
  TMemoryStream S;
  veltest::Load(S, Data);
  return S.ReadComponent(Instance);
}

std::string Text(const TBytes& Data) {
  TMemoryStream In;
  veltest::Load(In, Data);
  TStringStream Out;
  ObjectBinaryToText(&In, &Out);
  return Out.DataString();
}

TBytes Binary(const std::string& Text) {
  TStringStream In(Text);
  TMemoryStream Out;
  ObjectTextToBinary(&In, &Out);
  return veltest::Contents(Out);
}

// A root whose collection has three parts: one with every kind of property
// (a nested collection and a forward reference included), one with a few,
// one with none; then the widget the first part refers to.
TBytes PartsFixture() {
  // clang-format off
  return ByteBuilder()
      .Signature().Str("TCoHost").Str("Host1")
      .Str("Parts").Tag(vaCollection)
          .Tag(vaList)
              .Str("Number").Tag(vaInt8).Bytes({7})
              .Str("Title").Tag(vaString).Str("first")
              .Str("Shape").Tag(vaIdent).Str("shCircle")
              .Str("Marks").Tag(vaSet).Str("cmTop").Str("cmRight").Str("")
              .Str("Color").Tag(vaIdent).Str("clRed")
              .Str("Note.Text").Tag(vaString).Str("n1")
              .Str("Note.Size").Tag(vaInt8).Bytes({3})
              .Str("Target").Tag(vaIdent).Str("W2")
              .Str("Leaves").Tag(vaCollection)
                  .Tag(vaList).Str("Weight").Tag(vaInt8).Bytes({1}).Tag(vaNull)
                  .Tag(vaList).Str("Weight").Tag(vaInt16).Bytes({0x2C, 0x01}).Tag(vaNull)
                  .Tag(vaNull)
              .Str("OnPick").Tag(vaIdent).Str("HostPing")
              .Tag(vaNull)
          .Tag(vaList)
              .Str("Title").Tag(vaString).Str("second")
              .Str("Color").Tag(vaInt32).Bytes({0x56, 0x34, 0x12, 0x00})
              .Str("Target").Tag(vaIdent).Str("Host1")
              .Tag(vaNull)
          .Tag(vaList).Tag(vaNull)
          .Tag(vaNull)  // end of the collection
      .Str("OnPing").Tag(vaIdent).Str("HostPing")
      .Tag(vaNull)  // end of Host1's properties
      .Str("TCoWidget").Str("W2").Str("Value").Tag(vaInt8).Bytes({5}).Tag(vaNull).Tag(vaNull)
      .Tag(vaNull)  // end of Host1's children
      .Data;
  // clang-format on
}

const char* const PartsText =
    "object Host1: TCoHost\n"
    "  Parts = <\n"
    "    item\n"
    "      Number = 7\n"
    "      Title = 'first'\n"
    "      Shape = shCircle\n"
    "      Marks = [cmTop, cmRight]\n"
    "      Color = clRed\n"
    "      Note.Text = 'n1'\n"
    "      Note.Size = 3\n"
    "      Target = W2\n"
    "      Leaves = <\n"
    "        item\n"
    "          Weight = 1\n"
    "        end\n"
    "        item\n"
    "          Weight = 300\n"
    "        end>\n"
    "      OnPick = HostPing\n"
    "    end\n"
    "    item\n"
    "      Title = 'second'\n"
    "      Color = 1193046\n"
    "      Target = Host1\n"
    "    end\n"
    "    item\n"
    "    end>\n"
    "  OnPing = HostPing\n"
    "  object W2: TCoWidget\n"
    "    Value = 5\n"
    "  end\n"
    "end\n";

// A root image whose only property is Parts with the given item bytes.
TBytes HostWithParts(const TBytes& CollectionValue, const char* Prop = "Parts") {
  ByteBuilder B;
  B.Signature().Str("TCoHost").Str("Host1").Str(Prop);
  B.Data.insert(B.Data.end(), CollectionValue.begin(), CollectionValue.end());
  B.Tag(vaNull).Tag(vaNull);
  return B.Data;
}

std::vector<int> Weights(const TCollection* C) {
  std::vector<int> R;
  for (int I = 0; I < C->Count(); ++I) R.push_back(static_cast<TCoLeaf*>(C->Items(I))->Weight());
  return R;
}

}  // namespace

// ----------------------------------------------------------------- collections

TEST_F(CollStream, HandBuiltCollectionImageReadsIntoEveryPropertyKindAndWritesBackByteForByte) {
  std::unique_ptr<TComponent> Root(Read(PartsFixture()));
  auto* Host = dynamic_cast<TCoHost*>(Root.get());
  ASSERT_NE(Host, nullptr);
  auto* W2 = dynamic_cast<TCoWidget*>(Host->FindComponent("W2"));
  ASSERT_NE(W2, nullptr);
  TCoParts* Parts = Host->Parts();
  ASSERT_EQ(Parts->Count(), 3);
  TCoPart* P0 = Parts->Part(0);
  EXPECT_EQ(P0->Number(), 7);
  EXPECT_EQ(P0->Title(), "first");
  EXPECT_EQ(P0->Shape(), shCircle);
  EXPECT_EQ(P0->Marks(), (TCoMarks{cmTop, cmRight}));
  EXPECT_EQ(P0->Color(), clRed);
  EXPECT_EQ(P0->Note()->Text(), "n1");
  EXPECT_EQ(P0->Note()->Size(), 3);
  EXPECT_EQ(P0->Target(), W2);  // a reference to a component read after it
  EXPECT_EQ(Weights(P0->Leaves()), (std::vector<int>{1, 300}));
  EXPECT_EQ(P0->Leaves()->GetNamePath(), "Host1.Parts[0].Leaves");
  ASSERT_TRUE(P0->OnPick);
  P0->OnPick(P0);
  EXPECT_EQ(Host->Pings, 1);
  TCoPart* P1 = Parts->Part(1);
  EXPECT_EQ(P1->Title(), "second");
  EXPECT_EQ(P1->Color(), TColor(0x123456));
  EXPECT_EQ(P1->Target(), Host);
  EXPECT_EQ(P1->Number(), 0);
  TCoPart* P2 = Parts->Part(2);
  EXPECT_EQ(P2->Title(), "");
  EXPECT_EQ(P2->Color(), clBtnFace);
  EXPECT_EQ(P2->Leaves()->Count(), 0);
  EXPECT_EQ(P2->DisplayName(), "TCoPart");
  EXPECT_EQ(Host->Spare()->Count(), 0);
  EXPECT_EQ(W2->Value(), 5);
  // Reading holds updates back and announces the whole change once.
  ASSERT_FALSE(Parts->Log.empty());
  EXPECT_EQ(Parts->Log.back(), "update all");
  EXPECT_EQ(std::count(Parts->Log.begin(), Parts->Log.end(), "update all"), 1);
  EXPECT_EQ(Parts->UpdateCount(), 0);

  EXPECT_EQ(Write(Host), PartsFixture());
}

TEST_F(CollStream, CollectionImageHasItsTextFormAndConvertsBack) {
  std::unique_ptr<TComponent> Root(Read(PartsFixture()));
  EXPECT_EQ(Text(Write(Root.get())), PartsText);
  EXPECT_EQ(Binary(PartsText), PartsFixture());
  EXPECT_EQ(Text(HostWithParts({vaCollection, vaNull})),
            "object Host1: TCoHost\n"
            "  Parts = <>\n"
            "end\n");
}

TEST_F(CollStream, BuiltCollectionsRoundTripAndWriteIdenticallyTwice) {
  TCoHost Host(nullptr);
  Host.SetName("Form3");
  auto* Panel = new TCoWidget(&Host);
  Panel->SetName("Panel");
  Panel->SetParentComponent(&Host);
  auto* Later = new TCoWidget(&Host);
  Later->SetName("Later");
  Later->SetParentComponent(Panel);
  for (int I = 0; I < 4; ++I) {
    TCoPart* P = Panel->Parts()->AddPart();
    P->SetNumber(I * 1000 - 1500);
    P->SetTitle(std::string(I * 90, 'x') + "\xC3\xA9");
    P->SetShape(TCoShape(I % 3));
    P->SetMarks(I % 2 ? TCoMarks{cmLeft} : TCoMarks{cmTop, cmLeft, cmRight});
    P->SetColor(TColor(0x010203 * I));
    P->Note()->SetSize(I);
    P->SetTarget(I % 2 ? Later : Panel);
    for (int J = 0; J < I; ++J) static_cast<TCoLeaf*>(P->Leaves()->Add())->SetWeight(J - 100000);
  }
  static_cast<TCoLeaf*>(Host.Spare()->Add())->SetWeight(77);
  Later->OnShape = TCoShapeEvent::Bind<&TCoHost::HostShape>(&Host);

  const TBytes First = Write(&Host);
  std::unique_ptr<TComponent> Copy(Read(First));
  auto* CHost = static_cast<TCoHost*>(Copy.get());
  auto* CPanel = dynamic_cast<TCoWidget*>(CHost->FindComponent("Panel"));
  auto* CLater = dynamic_cast<TCoWidget*>(CHost->FindComponent("Later"));
  ASSERT_TRUE(CPanel && CLater);
  EXPECT_EQ(CLater->ParentWidget(), CPanel);
  ASSERT_EQ(CPanel->Parts()->Count(), 4);
  for (int I = 0; I < 4; ++I) {
    SCOPED_TRACE(I);
    TCoPart* P = Panel->Parts()->Part(I);
    TCoPart* C = CPanel->Parts()->Part(I);
    EXPECT_EQ(C->Number(), P->Number());
    EXPECT_EQ(C->Title(), P->Title());
    EXPECT_EQ(C->Shape(), P->Shape());
    EXPECT_EQ(C->Marks(), P->Marks());
    EXPECT_EQ(C->Color(), P->Color());
    EXPECT_EQ(C->Note()->Size(), P->Note()->Size());
    EXPECT_EQ(C->Target(), I % 2 ? CLater : CPanel);
    EXPECT_EQ(Weights(C->Leaves()), Weights(P->Leaves()));
  }
  EXPECT_EQ(Weights(CHost->Spare()), (std::vector<int>{77}));
  ASSERT_TRUE(CLater->OnShape);
  CLater->OnShape(CLater, shSquare);
  EXPECT_EQ(CHost->LastShape, shSquare);
  EXPECT_EQ(Host.LastShape, shNone);
  EXPECT_EQ(Write(CHost), First);
}

TEST_F(CollStream, EmptyCollectionsAreNotWritten) {
  TCoHost Host(nullptr);
  Host.SetName("Host1");
  EXPECT_EQ(Write(&Host), ByteBuilder().Signature().Str("TCoHost").Str("Host1").Tag(vaNull).Tag(vaNull).Data);

  Host.Parts()->AddPart()->SetTitle("only");
  // clang-format off
  const TBytes Expected = ByteBuilder()
      .Signature().Str("TCoHost").Str("Host1")
      .Str("Parts").Tag(vaCollection)
          .Tag(vaList).Str("Title").Tag(vaString).Str("only").Tag(vaNull)
          .Tag(vaNull)
      .Tag(vaNull).Tag(vaNull)
      .Data;
  // clang-format on
  EXPECT_EQ(Write(&Host), Expected);
}

TEST_F(CollStream, AgainstAnAncestorACollectionIsWrittenWhenItDiffers) {
  TCoHost Ancestor(nullptr), Host(nullptr);
  Ancestor.SetName("Host1");
  Host.SetName("Host1");
  Ancestor.Parts()->AddPart()->SetNumber(4);
  Host.Parts()->AddPart()->SetNumber(4);
  const TBytes Bare = ByteBuilder().Signature().Str("TCoHost").Str("Host1").Tag(vaNull).Tag(vaNull).Data;
  EXPECT_EQ(WriteAgainst(&Host, &Ancestor), Bare);

  Host.Parts()->Part(0)->SetNumber(5);
  const TBytes Changed = WriteAgainst(&Host, &Ancestor);
  EXPECT_EQ(Changed, HostWithParts(ByteBuilder()
                                       .Tag(vaCollection)
                                       .Tag(vaList)
                                       .Str("Number")
                                       .Tag(vaInt8)
                                       .Bytes({5})
                                       .Tag(vaNull)
                                       .Tag(vaNull)
                                       .Data));

  // Emptied against an ancestor that has items, the collection is written empty.
  Host.Parts()->Clear();
  const TBytes Emptied = WriteAgainst(&Host, &Ancestor);
  EXPECT_EQ(Emptied, HostWithParts({vaCollection, vaNull}));
  // Reading that empties a collection that has items.
  Read(Emptied, &Ancestor);
  EXPECT_EQ(Ancestor.Parts()->Count(), 0);
}

TEST_F(CollStream, ReadingReplacesTheItemsAndSkipsOrderValues) {
  TCoHost Host(nullptr);
  for (int I = 0; I < 3; ++I) Host.Parts()->AddPart();
  Host.Parts()->Log.clear();
  // clang-format off
  const TBytes Image = HostWithParts(ByteBuilder()
      .Tag(vaCollection)
          .Tag(vaInt8).Bytes({5}).Tag(vaList).Str("Number").Tag(vaInt8).Bytes({1}).Tag(vaNull)
          .Tag(vaInt16).Bytes({0, 1}).Tag(vaList).Str("Title").Tag(vaString).Str("b").Tag(vaNull)
          .Tag(vaNull)
      .Data);
  // clang-format on
  EXPECT_EQ(Read(Image, &Host), &Host);
  ASSERT_EQ(Host.Parts()->Count(), 2);
  EXPECT_EQ(Host.Parts()->Part(0)->Number(), 1);
  EXPECT_EQ(Host.Parts()->Part(1)->Title(), "b");
  EXPECT_EQ(Host.Parts()->Log, (std::vector<std::string>{"extracting 2", "extracting 1", "extracting 0", "added 3",
                                                         "added 4", "update all"}));
  EXPECT_EQ(Text(Image),
            "object Host1: TCoHost\n"
            "  Parts = <\n"
            "    item [5]\n"
            "      Number = 1\n"
            "    end\n"
            "    item [256]\n"
            "      Title = 'b'\n"
            "    end>\n"
            "end\n");
  // Order values are not written back.
  EXPECT_EQ(Write(&Host), HostWithParts(ByteBuilder()
                                            .Tag(vaCollection)
                                            .Tag(vaList)
                                            .Str("Number")
                                            .Tag(vaInt8)
                                            .Bytes({1})
                                            .Tag(vaNull)
                                            .Tag(vaList)
                                            .Str("Title")
                                            .Tag(vaString)
                                            .Str("b")
                                            .Tag(vaNull)
                                            .Tag(vaNull)
                                            .Data));
}

TEST_F(CollStream, ACollectionReadTwiceKeepsOnlyTheSecondReferences) {
  // The first value's items, and the reference read into one of them, go
  // when the second value replaces them.
  // clang-format off
  const TBytes Image = ByteBuilder()
      .Signature().Str("TCoHost").Str("Host1")
      .Str("Parts").Tag(vaCollection)
          .Tag(vaList).Str("Target").Tag(vaIdent).Str("W2").Tag(vaNull)
          .Tag(vaList).Str("Target").Tag(vaIdent).Str("Ghost").Tag(vaNull)
          .Tag(vaNull)
      .Str("Parts").Tag(vaCollection)
          .Tag(vaList).Str("Target").Tag(vaIdent).Str("Host1").Tag(vaNull)
          .Tag(vaNull)
      .Tag(vaNull)
      .Str("TCoWidget").Str("W2").Tag(vaNull).Tag(vaNull)
      .Tag(vaNull)
      .Data;
  // clang-format on
  std::unique_ptr<TComponent> Root(Read(Image));
  auto* Host = static_cast<TCoHost*>(Root.get());
  ASSERT_EQ(Host->Parts()->Count(), 1);
  EXPECT_EQ(Host->Parts()->Part(0)->Target(), Host);
}

TEST_F(CollStream, EveryTruncationOfACollectionImageIsAReadErrorThatLeavesNothingBehind) {
  const TBytes Full = PartsFixture();
  for (std::size_t Len = 0; Len < Full.size(); ++Len) {
    SCOPED_TRACE("length " + std::to_string(Len));
    EXPECT_THROW(Read(TBytes(Full.begin(), Full.begin() + std::ptrdiff_t(Len))), EReadError);
    ExpectNothingLeft();
  }
}

TEST_F(CollStream, DamagedCollectionImagesRaiseReadErrorsAndLeaveNothingBehind) {
  auto Item = [](const TBytes& Props) {
    ByteBuilder B;
    B.Tag(vaCollection).Tag(vaList);
    B.Data.insert(B.Data.end(), Props.begin(), Props.end());
    B.Tag(vaNull).Tag(vaNull);
    return B.Data;
  };
  struct TCase {
    const char* What;
    TBytes Data;
    const char* Message;
  };
  const TCase Cases[] = {
      {"item without vaList", HostWithParts(ByteBuilder().Tag(vaCollection).Tag(vaString).Str("x").Tag(vaNull).Data),
       "Error reading Host1.Parts: Invalid property value at offset 25: expected vaList, found vaString"},
      {"order value without an item", HostWithParts({vaCollection, vaInt8, 1, vaNull}),
       "expected vaList, found vaNull"},
      {"64-bit order value", HostWithParts({vaCollection, vaInt64, 1, 0, 0, 0, 0, 0, 0, 0, vaList, vaNull, vaNull}),
       "expected vaList, found vaInt64"},
      {"list for a collection", HostWithParts({vaList, vaNull}), "expected vaCollection, found vaList"},
      {"nil for a collection", HostWithParts({vaNil}), "expected vaCollection, found vaNil"},
      {"identifier for a collection", HostWithParts(ByteBuilder().Tag(vaIdent).Str("W2").Data),
       "expected vaCollection, found vaIdent"},
      {"collection for an integer", HostWithParts({vaCollection, vaNull}, "Value"), "Error reading Host1.Value"},
      {"collection for a reference", HostWithParts({vaCollection, vaNull}, "Peer"),
       "Error reading Host1.Peer: Property Peer holds no collection"},
      {"collection for an event", HostWithParts({vaCollection, vaNull}, "OnPing"), "Error reading Host1.OnPing"},
      {"unknown item property", HostWithParts(Item(ByteBuilder().Str("Bogus").Tag(vaInt8).Bytes({1}).Data)),
       "Error reading Host1.Parts[0].Bogus: Property Bogus does not exist"},
      {"unknown identifier in an item", HostWithParts(Item(ByteBuilder().Str("Shape").Tag(vaIdent).Str("shOval").Data)),
       "Error reading Host1.Parts[0].Shape: Invalid property value shOval"},
      {"bad value in a nested collection",
       HostWithParts(Item(ByteBuilder()
                              .Str("Leaves")
                              .Tag(vaCollection)
                              .Tag(vaList)
                              .Str("Weight")
                              .Tag(vaString)
                              .Str("x")
                              .Tag(vaNull)
                              .Tag(vaNull)
                              .Data)),
       "Error reading Host1.Parts[0].Leaves[0].Weight"},
      {"reference to nothing in an item",
       HostWithParts(Item(ByteBuilder().Str("Target").Tag(vaIdent).Str("Ghost").Data)),
       "Error reading Host1.Parts[0].Target: Invalid reference Ghost"},
      {"unknown handler in an item", HostWithParts(Item(ByteBuilder().Str("OnPick").Tag(vaIdent).Str("Nowhere").Data)),
       "Error reading Host1.Parts[0].OnPick: Method Nowhere not found"},
      {"unknown tag in an item", HostWithParts(Item({6, 'N', 'u', 'm', 'b', 'e', 'r', 21})), "Unknown value type 21"},
      {"value a setter refuses", HostWithParts({vaInt8, 0xFF}, "Value"),
       "Error reading Host1.Value: negative values are refused"},
      {"collection left open before the next property",
       ByteBuilder()
           .Signature()
           .Str("TCoHost")
           .Str("Host1")
           .Str("Parts")
           .Tag(vaCollection)
           .Tag(vaList)
           .Tag(vaNull)
           .Str("Value")
           .Tag(vaInt8)
           .Bytes({1})
           .Tag(vaNull)
           .Tag(vaNull)
           .Data,
       "expected vaList, found vaExtended"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    try {
      Read(C.Data);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& E) {
      EXPECT_NE(std::string(E.what()).find(C.Message), std::string::npos) << E.what();
    }
    ExpectNothingLeft();
  }
}

TEST_F(CollStream, EveryChangedByteEitherReadsOrIsAFilerErrorThatLeavesNothingBehind) {
  // Each byte of images with collections and flags replaced by values that
  // are tags, flags, lengths and ends of lists.
  const std::vector<TBytes> Images = {
      PartsFixture(),
      ByteBuilder()
          .Signature()
          .Str("TCoHost")
          .Str("H")
          .Tag(vaNull)
          .Bytes({0xF4})
          .Str("TCoFrame")
          .Str("F")
          .Str("Peer")
          .Tag(vaIdent)
          .Str("I")
          .Tag(vaNull)
          .Bytes({0xF2})
          .Tag(vaInt8)
          .Bytes({0})
          .Str("TCoWidget")
          .Str("I")
          .Str("Parts")
          .Tag(vaCollection)
          .Tag(vaList)
          .Str("Target")
          .Tag(vaIdent)
          .Str("F")
          .Tag(vaNull)
          .Tag(vaNull)
          .Tag(vaNull)
          .Tag(vaNull)
          .Tag(vaNull)
          .Tag(vaNull)
          .Data,
  };
  for (const TBytes& Image : Images) {
    for (std::size_t At = 0; At < Image.size(); ++At) {
      for (int Value : {0x00, 0x01, 0x02, 0x06, 0x07, 0x0E, 0xF1, 0xFF, Image[At] + 1, Image[At] - 1}) {
        TBytes Changed = Image;
        Changed[At] = std::uint8_t(Value);
        SCOPED_TRACE("byte " + std::to_string(At) + " = " + std::to_string(Changed[At]));
        try {
          delete Read(Changed);
        } catch (const EFilerError&) {
        }
        ExpectNothingLeft();
      }
    }
  }
}

TEST_F(CollStream, AFailedCollectionReadIntoAnExistingRootLeavesItUsable) {
  TCoHost Host(nullptr);
  Host.SetName("Host1");
  Host.Parts()->AddPart();
  const TBytes Bad = HostWithParts(ByteBuilder().Tag(vaCollection).Tag(vaList).Str("Bogus").Tag(vaNull).Data);
  EXPECT_THROW(Read(Bad, &Host), EReadError);
  EXPECT_FALSE(Host.ComponentState().Contains(csLoading));
  EXPECT_FALSE(Host.ComponentState().Contains(csReading));
  EXPECT_EQ(Host.Parts()->UpdateCount(), 0);
  Read(HostWithParts(ByteBuilder().Tag(vaCollection).Tag(vaList).Tag(vaNull).Tag(vaNull).Data), &Host);
  EXPECT_EQ(Host.Parts()->Count(), 1);
}

// ------------------------------------------------------------------ filer flags

TEST_F(CollStream, AnInheritedChildIsReadIntoTheExistingComponent) {
  TCoHost Host(nullptr);
  Host.SetName("Host1");
  auto* W1 = new TCoWidget(&Host);
  W1->SetName("W1");
  W1->SetValue(1);
  W1->SetParentComponent(&Host);
  // clang-format off
  const TBytes Image = ByteBuilder()
      .Signature().Str("TCoHost").Str("Host1").Tag(vaNull)
      .Bytes({0xF1}).Str("TCoWidget").Str("W1").Str("Value").Tag(vaInt8).Bytes({9}).Tag(vaNull).Tag(vaNull)
      .Tag(vaNull)
      .Data;
  // clang-format on
  Read(Image, &Host);
  ASSERT_EQ(Host.ComponentCount(), 1);
  EXPECT_EQ(Host.Components(0), W1);
  EXPECT_EQ(W1->Value(), 9);
  EXPECT_EQ(W1->LoadedCalls, 1);
  EXPECT_EQ(Host.Kids(), (std::vector<TCoWidget*>{W1}));
  EXPECT_FALSE(W1->ComponentState().Contains(csLoading));
  EXPECT_EQ(Text(Image),
            "object Host1: TCoHost\n"
            "  inherited W1: TCoWidget\n"
            "    Value = 9\n"
            "  end\n"
            "end\n");

  // The stored class may name one of the component's ancestors.
  Read(ByteBuilder()
           .Signature()
           .Str("TCoHost")
           .Str("Host1")
           .Tag(vaNull)
           .Bytes({0xF1})
           .Str("TComponent")
           .Str("w1")
           .Str("Tag")
           .Tag(vaInt8)
           .Bytes({3})
           .Tag(vaNull)
           .Tag(vaNull)
           .Tag(vaNull)
           .Data,
       &Host);
  EXPECT_EQ(W1->Tag(), 3);
}

TEST_F(CollStream, AnInheritedChildThatIsMissingOrOfAnotherClassIsAReadError) {
  TCoHost Host(nullptr);
  Host.SetName("Host1");
  auto* W1 = new TCoWidget(&Host);
  W1->SetName("W1");
  auto Image = [](const char* Class, const char* Name, const TBytes& After = {}) {
    ByteBuilder B;
    B.Signature().Str("TCoHost").Str("Host1").Tag(vaNull);
    B.Bytes({0xF1}).Str(Class).Str(Name).Str("Value").Tag(vaInt8).Bytes({9}).Tag(vaNull).Tag(vaNull);
    B.Data.insert(B.Data.end(), After.begin(), After.end());
    B.Tag(vaNull);
    return B.Data;
  };
  struct TCase {
    const char* What;
    TBytes Data;
    const char* Message;
  };
  const TCase Cases[] = {
      {"no such component", Image("TCoWidget", "Ghost"), "Ancestor for 'Ghost' not found"},
      {"no name", Image("TCoWidget", ""), "Ancestor for '' not found"},
      {"another class", Image("TCoFrame", "W1"), "Inherited component W1 is a TCoWidget, not a TCoFrame"},
      {"the same component twice",
       Image("TCoWidget", "W1", ByteBuilder().Bytes({0xF1}).Str("TCoWidget").Str("W1").Tag(vaNull).Tag(vaNull).Data),
       "W1 appears twice"},
      {"damage after the inherited child", Image("TCoWidget", "W1", ByteBuilder().Str("TCoWidget").Str("X").Data),
       "Unexpected end of stream"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    try {
      Read(C.Data, &Host);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& E) {
      EXPECT_NE(std::string(E.what()).find(C.Message), std::string::npos) << E.what();
    }
    // The existing child stays, and nothing is left loading.
    ASSERT_EQ(Host.ComponentCount(), 1);
    EXPECT_EQ(Host.Components(0), W1);
    EXPECT_FALSE(W1->ComponentState().Contains(csLoading));
    EXPECT_FALSE(W1->ComponentState().Contains(csReading));
    EXPECT_FALSE(Host.ComponentState().Contains(csLoading));
  }
  // A new root has no components to inherit.
  EXPECT_THROW(Read(Image("TCoWidget", "W1")), EReadError);
  EXPECT_EQ(LiveComps, CompsBefore + 2);
}

TEST_F(CollStream, AgainstAnAncestorItsChildrenAreWrittenAsInheritedAndReadBackIntoIt) {
  auto Child = [](TCoWidget* Parent, const char* Name, int Value) {
    auto* W = new TCoWidget(Parent->Owner() ? Parent->Owner() : Parent);
    W->SetName(Name);
    W->SetValue(Value);
    W->SetParentComponent(Parent);
    return W;
  };
  TCoHost Ancestor(nullptr);
  Ancestor.SetName("Host1");
  TCoWidget* A1 = Child(&Ancestor, "W1", 1);
  A1->Parts()->AddPart()->SetNumber(4);
  Child(A1, "W3", 3);
  TCoHost Host(nullptr);
  Host.SetName("Host1");
  TCoWidget* D1 = Child(&Host, "W1", 2);
  D1->Parts()->AddPart()->SetNumber(4);
  Child(D1, "W3", 3);
  Child(&Host, "W4", 4);
  auto* Other = new TCoFrame(&Host);  // same name as an ancestor's component, another class
  Other->SetName("W5");
  Other->SetParentComponent(&Host);
  Child(&Ancestor, "W5", 5);

  // clang-format off
  const TBytes Expected = ByteBuilder()
      .Signature().Str("TCoHost").Str("Host1").Tag(vaNull)
      .Bytes({0xF1}).Str("TCoWidget").Str("W1").Str("Value").Tag(vaInt8).Bytes({2}).Tag(vaNull)
          .Bytes({0xF1}).Str("TCoWidget").Str("W3").Tag(vaNull).Tag(vaNull)
          .Tag(vaNull)
      .Str("TCoWidget").Str("W4").Str("Value").Tag(vaInt8).Bytes({4}).Tag(vaNull).Tag(vaNull)
      .Str("TCoFrame").Str("W5").Tag(vaNull).Tag(vaNull)
      .Tag(vaNull)
      .Data;
  // clang-format on
  const TBytes Diff = WriteAgainst(&Host, &Ancestor);
  EXPECT_EQ(Diff, Expected);

  // Read over a copy of the ancestor, the difference gives the descendant back.
  delete Ancestor.FindComponent("W5");
  std::unique_ptr<TComponent> Copy(Read(Write(&Ancestor)));
  Read(Diff, Copy.get());
  EXPECT_EQ(Write(Copy.get()), Write(&Host));
  EXPECT_EQ(static_cast<TCoWidget*>(Copy->FindComponent("W1"))->Parts()->Part(0)->Number(), 4);
}

TEST_F(CollStream, AChildPositionMovesTheChildAmongItsParentsChildren) {
  // clang-format off
  const TBytes Image = ByteBuilder()
      .Signature().Str("TCoHost").Str("Host1").Tag(vaNull)
      .Str("TCoWidget").Str("A").Tag(vaNull).Tag(vaNull)
      .Str("TCoWidget").Str("B").Tag(vaNull)
          .Str("TCoWidget").Str("B1").Tag(vaNull).Tag(vaNull)
          .Bytes({0xF2}).Tag(vaInt8).Bytes({0}).Str("TCoWidget").Str("B2").Tag(vaNull).Tag(vaNull)
          .Tag(vaNull)
      .Bytes({0xF2}).Tag(vaInt8).Bytes({0}).Str("TCoWidget").Str("C").Tag(vaNull).Tag(vaNull)
      .Bytes({0xF2}).Tag(vaInt8).Bytes({100}).Str("TCoWidget").Str("D").Tag(vaNull).Tag(vaNull)
      .Tag(vaNull)
      .Data;
  // clang-format on
  std::unique_ptr<TComponent> Root(Read(Image));
  auto* Host = static_cast<TCoHost*>(Root.get());
  auto Names = [](const TCoWidget* W) {
    std::string S;
    for (TCoWidget* K : W->Kids()) S += K->Name() + " ";
    return S;
  };
  EXPECT_EQ(Names(Host), "C A B D ");
  EXPECT_EQ(Names(static_cast<TCoWidget*>(Host->FindComponent("B"))), "B2 B1 ");
  EXPECT_EQ(Text(Image),
            "object Host1: TCoHost\n"
            "  object A: TCoWidget\n"
            "  end\n"
            "  object B: TCoWidget\n"
            "    object B1: TCoWidget\n"
            "    end\n"
            "    object B2: TCoWidget [0]\n"
            "    end\n"
            "  end\n"
            "  object C: TCoWidget [0]\n"
            "  end\n"
            "  object D: TCoWidget [100]\n"
            "  end\n"
            "end\n");
}

TEST_F(CollStream, AnInlineComponentIsTheRootOfTheNamesInsideIt) {
  // clang-format off
  const TBytes Image = ByteBuilder()
      .Signature().Str("TCoHost").Str("Host1").Tag(vaNull)
      .Str("TCoWidget").Str("Inner").Str("Value").Tag(vaInt8).Bytes({1}).Tag(vaNull).Tag(vaNull)
      .Bytes({0xF4}).Str("TCoFrame").Str("Frame1")
          .Str("Peer").Tag(vaIdent).Str("Inner")
          .Str("OnPing").Tag(vaIdent).Str("FramePing")
          .Tag(vaNull)
          .Str("TCoWidget").Str("Inner")
              .Str("Value").Tag(vaInt8).Bytes({2})
              .Str("Peer").Tag(vaIdent).Str("Frame1")
              .Str("OnPing").Tag(vaIdent).Str("HostPing")
              .Tag(vaNull).Tag(vaNull)
          .Tag(vaNull)
      .Tag(vaNull)
      .Data;
  // clang-format on
  std::unique_ptr<TComponent> Root(Read(Image));
  auto* Host = static_cast<TCoHost*>(Root.get());
  ASSERT_EQ(Host->ComponentCount(), 2);
  auto* HostInner = dynamic_cast<TCoWidget*>(Host->FindComponent("Inner"));
  auto* Frame = dynamic_cast<TCoFrame*>(Host->FindComponent("Frame1"));
  ASSERT_TRUE(HostInner && Frame);
  EXPECT_EQ(HostInner->Value(), 1);
  EXPECT_TRUE(Frame->ComponentState().Contains(csInline));
  EXPECT_FALSE(HostInner->ComponentState().Contains(csInline));
  // The frame owns and parents what is read inside it.
  ASSERT_EQ(Frame->ComponentCount(), 1);
  auto* FrameInner = dynamic_cast<TCoWidget*>(Frame->Components(0));
  ASSERT_NE(FrameInner, nullptr);
  EXPECT_EQ(FrameInner->Value(), 2);
  EXPECT_EQ(FrameInner->ParentWidget(), Frame);
  // Names inside the frame resolve against the frame first, then the outer root.
  EXPECT_EQ(Frame->Peer(), FrameInner);
  EXPECT_EQ(FrameInner->Peer(), Frame);
  Frame->OnPing(Frame);
  EXPECT_EQ(Frame->Pings, 1);
  FrameInner->OnPing(FrameInner);
  EXPECT_EQ(Host->Pings, 1);
  EXPECT_EQ(Frame->LoadedCalls, 1);
  EXPECT_EQ(FrameInner->LoadedCalls, 1);
  EXPECT_EQ(Host->LoadedCalls, 1);
  EXPECT_EQ(Text(Image),
            "object Host1: TCoHost\n"
            "  object Inner: TCoWidget\n"
            "    Value = 1\n"
            "  end\n"
            "  inline Frame1: TCoFrame\n"
            "    Peer = Inner\n"
            "    OnPing = FramePing\n"
            "    object Inner: TCoWidget\n"
            "      Value = 2\n"
            "      Peer = Frame1\n"
            "      OnPing = HostPing\n"
            "    end\n"
            "  end\n"
            "end\n");

  // A frame's handler is no handler of the outer root's other components.
  const TBytes Wrong = ByteBuilder()
                           .Signature()
                           .Str("TCoHost")
                           .Str("Host1")
                           .Str("OnPing")
                           .Tag(vaIdent)
                           .Str("FramePing")
                           .Tag(vaNull)
                           .Tag(vaNull)
                           .Data;
  EXPECT_THROW(Read(Wrong), EReadError);
  for (std::size_t Len = 0; Len < Image.size(); ++Len) {
    SCOPED_TRACE("length " + std::to_string(Len));
    EXPECT_THROW(Read(TBytes(Image.begin(), Image.begin() + std::ptrdiff_t(Len))), EReadError);
  }
}

// ------------------------------------------------------------------- handlers

TEST_F(CollStream, HandlersMustBePublishedMethodsOfTheEventsSignature) {
  auto Image = [](const char* Prop, const char* Method) {
    return ByteBuilder()
        .Signature()
        .Str("TCoHost")
        .Str("Host1")
        .Str(Prop)
        .Tag(vaIdent)
        .Str(Method)
        .Tag(vaNull)
        .Tag(vaNull)
        .Data;
  };
  struct TCase {
    const char* Prop;
    const char* Method;
    const char* Message;
  };
  const TCase Cases[] = {
      {"OnPing", "Nowhere", "Error reading Host1.OnPing: Method Nowhere not found in TCoHost"},
      {"OnPing", "HostShape",
       "Error reading Host1.OnPing: Invalid property value: method HostShape of TCoHost does not match the event "
       "type TNotifyEvent"},
      {"OnShape", "HostPing",
       "Error reading Host1.OnShape: Invalid property value: method HostPing of TCoHost does not match the event "
       "type TCoShapeEvent"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::string(C.Prop) + " = " + C.Method);
    try {
      Read(Image(C.Prop, C.Method));
      ADD_FAILURE() << "no error";
    } catch (const EReadError& E) {
      EXPECT_EQ(std::string(E.what()), C.Message);
    }
    ExpectNothingLeft();
  }

  std::unique_ptr<TComponent> Root(Read(Image("OnShape", "hostshape")));
  auto* Host = static_cast<TCoHost*>(Root.get());
  ASSERT_TRUE(Host->OnShape);
  Host->OnShape(Host, shCircle);
  EXPECT_EQ(Host->LastShape, shCircle);
  EXPECT_EQ(Write(Host), Image("OnShape", "HostShape"));
}
