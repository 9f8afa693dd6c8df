#include "platform/rtl/typinfo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <set>

#include "platform/rtl/component.h"
#include "platform/rtl/publish.h"

using namespace platform;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// ------------------------------------------------------------------ fixtures
//
// A small hierarchy with a published property of every kind: TFixBase
// (integer, string, TColor, TCursor, Boolean, enumeration, subrange, sub-object,
// component reference, event, read-only), TFixDerived (float, Int64, char, set,
// indexed, stored function, a redeclared Left, a second event type, published
// methods) and TFixQuiet, which publishes nothing of its own.

namespace fixture {

enum TFixAlign { faNone, faTop, faBottom, faLeft, faRight, faClient };
VEL_ENUM(TFixAlign, "FixUnit", faNone, faTop, faBottom, faLeft, faRight, faClient);
VEL_ENUM_SUBRANGE(TFixSide, "FixUnit", TFixAlign, faTop, faRight);

enum TFixStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
VEL_ENUM(TFixStyle, "FixUnit", fsBold, fsItalic, fsUnderline, fsStrikeOut);
using TFixStyles = TSet<TFixStyle>;
VEL_SET(TFixStyles, "FixUnit");

using TFixChangeEvent = TEvent<TObject*, int&>;
}  // namespace fixture

// An event whose parameters are all platform or built-in types is declared in
// namespace platform, where lookup finds it.
namespace platform {
VEL_EVENT_TYPE(fixture::TFixChangeEvent, "FixUnit", "Sender: TObject; var Value: Integer");
}

namespace fixture {

class TFixFont : public TPersistent {
  VEL_CLASS(TFixFont, TPersistent)
  int Size() const { return FSize; }
  void SetSize(int Value) { FSize = Value; }
  VEL_PUBLISH(P) { P.Property("Size", &TFixFont::Size, &TFixFont::SetSize).Default(8); }

 private:
  int FSize = 8;
};

class TFixOther : public TPersistent {
  VEL_CLASS(TFixOther, TPersistent)
};

// Every setter counts its calls and keeps a derived value, so a test sees that
// the routines went through it.
class TFixBase : public TComponent {
  VEL_CLASS(TFixBase, TComponent)
  explicit TFixBase(TComponent* AOwner) : TComponent(AOwner), FFont(new TFixFont) {}
  ~TFixBase() override { delete FFont; }

  int Left() const { return FLeft; }
  void SetLeft(int Value) {
    ++SetCalls;
    FLeft = Value;
    Right = Value + 100;
  }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) {
    ++SetCalls;
    FCaption = Value;
    CaptionLength = int(Value.size());
  }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) {
    ++SetCalls;
    FColor = Value;
  }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) {
    ++SetCalls;
    FCursor = Value;
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) {
    ++SetCalls;
    FVisible = Value;
  }
  TFixAlign Align() const { return FAlign; }
  void SetAlign(TFixAlign Value) {
    ++SetCalls;
    FAlign = Value;
  }
  TFixSide Side() const { return FSide; }
  void SetSide(TFixSide Value) {
    ++SetCalls;
    FSide = Value;
  }
  TFixFont* Font() const { return FFont; }
  // A sub-object is copied into, never replaced.
  void SetFont(TFixFont* Value) {
    ++SetCalls;
    if (Value) FFont->SetSize(Value->Size());
  }
  TComponent* Buddy() const { return FBuddy; }
  void SetBuddy(TComponent* Value) {
    ++SetCalls;
    FBuddy = Value;
  }
  int Count() const { return 42; }
  int Serial() { return ++Reads; }  // a getter that is not const
  int Reads = 0;

  TNotifyEvent OnClick;
  int SetCalls = 0;
  int Right = 100;
  int CaptionLength = 0;

  VEL_PUBLISH(P) {
    P.Property("Left", &TFixBase::Left, &TFixBase::SetLeft);
    P.Property("Caption", &TFixBase::Caption, &TFixBase::SetCaption);
    P.Property("Color", &TFixBase::Color, &TFixBase::SetColor).Default(clBtnFace);
    P.Property("Cursor", &TFixBase::Cursor, &TFixBase::SetCursor).Default(crDefault);
    P.Property("Visible", &TFixBase::Visible, &TFixBase::SetVisible).Default(true);
    P.Property("Align", &TFixBase::Align, &TFixBase::SetAlign).Default(faNone);
    P.Property("Side", &TFixBase::Side, &TFixBase::SetSide).Default(TFixSide(faTop));
    P.Property("Font", &TFixBase::Font, &TFixBase::SetFont);
    P.Property("Buddy", &TFixBase::Buddy, &TFixBase::SetBuddy);
    P.Property("Count", &TFixBase::Count);
    P.Property("Serial", &TFixBase::Serial);
    P.Property("OnClick", &TFixBase::OnClick, &TFixBase::OnClick);
  }

 private:
  int FLeft = 0;
  std::string FCaption;
  TColor FColor = clBtnFace;
  TCursor FCursor = crDefault;
  bool FVisible = true;
  TFixAlign FAlign = faNone;
  TFixSide FSide = TFixSide(faTop);
  TFixFont* FFont;
  TComponent* FBuddy = nullptr;
};

class TFixDerived : public TFixBase {
  VEL_CLASS(TFixDerived, TFixBase)
  using TFixBase::TFixBase;

  double Ratio() const { return FRatio; }
  void SetRatio(double Value) {
    ++SetCalls;
    FRatio = Value;
  }
  std::int64_t Big() const { return FBig; }
  void SetBig(std::int64_t Value) {
    ++SetCalls;
    FBig = Value;
  }
  TFixStyles Styles() const { return FStyles; }
  void SetStyles(TFixStyles Value) {
    ++SetCalls;
    FStyles = Value;
  }
  int Bound(int Index) const { return FBounds[Index]; }
  void SetBound(int Index, int Value) {
    ++SetCalls;
    FBounds[Index] = Value;
  }
  // Left redeclared: the derived class clamps negative values.
  void SetLeftClamped(int Value) { SetLeft(Value < 0 ? 0 : Value); }
  bool IsHintStored() const { return !Hint.empty() && Hint != "-"; }
  void Clicked(TObject*) { ++Clicks; }
  void Changed(TObject*, int& Value) { Value *= 2; }

  char Letter = 'a';
  std::string Hint;
  int Alpha = 0;
  float Scale = 1.5f;
  TFixChangeEvent OnChange;
  int Clicks = 0;

  VEL_PUBLISH(P) {
    P.Property("Ratio", &TFixDerived::Ratio, &TFixDerived::SetRatio);
    P.Property("Big", &TFixDerived::Big, &TFixDerived::SetBig);
    P.Property("Letter", &TFixDerived::Letter, &TFixDerived::Letter);
    P.Property("Styles", &TFixDerived::Styles, &TFixDerived::SetStyles).Default(TFixStyles{fsBold});
    P.IndexedProperty("Width", 0, &TFixDerived::Bound, &TFixDerived::SetBound);
    P.IndexedProperty("Height", 1, &TFixDerived::Bound, &TFixDerived::SetBound);
    P.Property("Left", &TFixBase::Left, &TFixDerived::SetLeftClamped);
    P.Property("Hint", &TFixDerived::Hint, &TFixDerived::Hint).Stored(&TFixDerived::IsHintStored);
    P.Property("alpha", &TFixDerived::Alpha, &TFixDerived::Alpha).Stored(false);
    P.Property("Scale", &TFixDerived::Scale, &TFixDerived::Scale);
    P.Property("OnChange", &TFixDerived::OnChange, &TFixDerived::OnChange);
    P.Method<&TFixDerived::Clicked>("Clicked");
    P.Method<&TFixDerived::Changed>("Changed");
  }

 private:
  double FRatio = 0;
  std::int64_t FBig = 0;
  TFixStyles FStyles{fsBold};
  int FBounds[2] = {10, 20};
};

class TFixQuiet : public TFixDerived {
  VEL_CLASS(TFixQuiet, TFixDerived)
  using TFixDerived::TFixDerived;
};

class TFixPlain : public TObject {
  VEL_CLASS(TFixPlain, TObject)
};

// A class with a property of its own class: building its type information
// must not loop.
class TFixNode : public TPersistent {
  VEL_CLASS(TFixNode, TPersistent)
  TFixNode* Next = nullptr;
  VEL_PUBLISH(P) { P.Property("Next", &TFixNode::Next, &TFixNode::Next); }
};

VEL_IMPLEMENT_CLASS(TFixFont, "FixUnit");
VEL_IMPLEMENT_CLASS(TFixOther, "FixUnit");
VEL_IMPLEMENT_CLASS(TFixBase, "FixUnit");
VEL_IMPLEMENT_CLASS(TFixDerived, "FixUnit");
VEL_IMPLEMENT_CLASS(TFixQuiet, "FixUnit");
VEL_IMPLEMENT_CLASS(TFixPlain, "FixUnit");
VEL_IMPLEMENT_CLASS(TFixNode, "FixUnit");

}  // namespace fixture

using namespace fixture;

namespace {

std::vector<std::string> Names(const std::vector<PPropInfo>& List) {
  std::vector<std::string> R;
  for (PPropInfo P : List) R.push_back(P->Name);
  return R;
}

const std::vector<std::string> DerivedOrder = {"Name",    "Tag",     "Left",  "Caption", "Color",  "Cursor",
                                               "Visible", "Align",   "Side",  "Font",    "Buddy",  "Count",
                                               "Serial",  "OnClick", "Ratio", "Big",     "Letter", "Styles",
                                               "Width",   "Height",  "Hint",  "alpha",   "Scale",  "OnChange"};

}  // namespace

// ------------------------------------------------------------------ type model

TEST(TypeInfoModel, TypeKindsAreTheEighteenInOrderAndNameThemselves) {
  const std::vector<std::string> Expected = {"tkUnknown",   "tkInteger", "tkChar",    "tkEnumeration", "tkFloat",
                                             "tkString",    "tkSet",     "tkClass",   "tkMethod",      "tkWChar",
                                             "tkLString",   "tkWString", "tkVariant", "tkArray",       "tkRecord",
                                             "tkInterface", "tkInt64",   "tkDynArray"};
  PTypeInfo T = TypeInfo<TTypeKind>();
  EXPECT_EQ(T->Kind, tkEnumeration);
  EXPECT_EQ(T->Name, "TTypeKind");
  EXPECT_EQ(GetTypeData(T)->MinValue, 0);
  EXPECT_EQ(GetTypeData(T)->MaxValue, 17);
  for (int K = 0; K < 18; ++K) {
    EXPECT_EQ(GetEnumName(T, K), Expected[size_t(K)]);
    EXPECT_EQ(GetEnumValue(T, Expected[size_t(K)]), K);
  }
  EXPECT_EQ(GetEnumName(T, tkClass), "tkClass");
  EXPECT_EQ(GetEnumValue(T, "TKMETHOD"), tkMethod);
}

TEST(TypeInfoModel, BuiltInTypesHaveTheirNamesKindsAndRanges) {
  struct Case {
    PTypeInfo Info;
    const char* Name;
    TTypeKind Kind;
    TOrdType Ord;
    std::int64_t Min, Max;
  };
  const Case Cases[] = {
      {TypeInfo<int>(), "Integer", tkInteger, otSLong, INT32_MIN, INT32_MAX},
      {TypeInfo<unsigned>(), "Cardinal", tkInteger, otULong, 0, UINT32_MAX},
      {TypeInfo<std::int16_t>(), "Smallint", tkInteger, otSWord, -32768, 32767},
      {TypeInfo<std::uint16_t>(), "Word", tkInteger, otUWord, 0, 65535},
      {TypeInfo<std::int8_t>(), "ShortInt", tkInteger, otSByte, -128, 127},
      {TypeInfo<std::uint8_t>(), "Byte", tkInteger, otUByte, 0, 255},
      {TypeInfo<char>(), "Char", tkChar, otUByte, 0, 255},
      {TypeInfo<bool>(), "Boolean", tkEnumeration, otUByte, 0, 1},
      {TypeInfo<TColor>(), "TColor", tkInteger, otSLong, INT32_MIN, INT32_MAX},
      {TypeInfo<TCursor>(), "TCursor", tkInteger, otSWord, -32768, 32767},
      {TypeInfo<std::int64_t>(), "Int64", tkInt64, otSLong, INT64_MIN, INT64_MAX},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(C.Info->Name, C.Name);
    EXPECT_EQ(C.Info->Kind, C.Kind);
    EXPECT_EQ(GetTypeData(C.Info)->OrdType, C.Ord);
    EXPECT_EQ(GetTypeData(C.Info)->MinValue, C.Min);
    EXPECT_EQ(GetTypeData(C.Info)->MaxValue, C.Max);
  }
  EXPECT_EQ(TypeInfo<double>()->Name, "Double");
  EXPECT_EQ(GetTypeData(TypeInfo<double>())->FloatType, ftDouble);
  EXPECT_EQ(GetTypeData(TypeInfo<float>())->FloatType, ftSingle);
  EXPECT_EQ(TypeInfo<std::string>()->Kind, tkLString);
  EXPECT_EQ(TypeInfo<std::string>()->Name, "string");
  // Named integer types are distinct objects, and the same one on every call.
  EXPECT_NE(TypeInfo<TColor>(), TypeInfo<int>());
  EXPECT_NE(TypeInfo<TCursor>(), TypeInfo<std::int16_t>());
  EXPECT_EQ(TypeInfo<TColor>(), TypeInfo<TColor>());
  EXPECT_EQ(GetEnumName(TypeInfo<bool>(), 0), "False");
  EXPECT_EQ(GetEnumName(TypeInfo<bool>(), 1), "True");
}

TEST(TypeInfoModel, EnumerationsSubrangesAndSets) {
  PTypeInfo Align = TypeInfo<TFixAlign>();
  EXPECT_EQ(Align->Name, "TFixAlign");
  EXPECT_EQ(Align->Kind, tkEnumeration);
  EXPECT_EQ(GetTypeData(Align)->BaseType, Align);
  EXPECT_EQ(GetTypeData(Align)->MaxValue, 5);
  EXPECT_EQ(GetTypeData(Align)->OrdType, otUByte);
  EXPECT_EQ(GetTypeData(Align)->UnitName, "FixUnit");
  EXPECT_EQ(GetEnumName(Align, faClient), "faClient");
  EXPECT_EQ(GetEnumName(Align, 6), "");
  EXPECT_EQ(GetEnumValue(Align, "FALEFT"), faLeft);
  EXPECT_EQ(GetEnumValue(Align, "faMiddle"), -1);

  PTypeInfo Side = TypeInfo<TFixSide>();
  EXPECT_EQ(Side->Name, "TFixSide");
  EXPECT_EQ(Side->Kind, tkEnumeration);
  EXPECT_EQ(GetTypeData(Side)->BaseType, Align);
  EXPECT_EQ(GetTypeData(Side)->MinValue, faTop);
  EXPECT_EQ(GetTypeData(Side)->MaxValue, faRight);
  EXPECT_EQ(GetEnumName(Side, faLeft), "faLeft");

  PTypeInfo Styles = TypeInfo<TFixStyles>();
  EXPECT_EQ(Styles->Name, "TFixStyles");
  EXPECT_EQ(Styles->Kind, tkSet);
  EXPECT_EQ(GetTypeData(Styles)->CompType, TypeInfo<TFixStyle>());
  EXPECT_EQ(SetToString(Styles, 0b1010, true), "[fsItalic,fsStrikeOut]");
  EXPECT_EQ(SetToString(Styles, 0, true), "[]");
  EXPECT_EQ(SetToString(Styles, 0b11, false), "fsBold,fsItalic");
  EXPECT_EQ(StringToSet(Styles, " [ fsstrikeout , fsBold ] "), 0b1001u);
  EXPECT_EQ(StringToSet(Styles, "fsItalic"), 0b10u);
  EXPECT_EQ(StringToSet(Styles, "[]"), 0u);
  EXPECT_THROW(StringToSet(Styles, "[fsBold,fsHuge]"), EConvertError);
  EXPECT_THROW(StringToSet(Styles, "[fsBold,]"), EConvertError);

  PTypeInfo Shift = TypeInfo<TShiftState>();
  EXPECT_EQ(Shift->Name, "TShiftState");
  EXPECT_EQ(SetToString(Shift, TShiftState{ssCtrl, ssShift}.Bits(), true), "[ssShift,ssCtrl]");
  // A set nobody named still gets its own type, named after its elements.
  PTypeInfo Aligns = TypeInfo<TSet<TFixAlign>>();
  EXPECT_EQ(Aligns->Kind, tkSet);
  EXPECT_EQ(Aligns->Name, "set of TFixAlign");
  EXPECT_EQ(GetTypeData(Aligns)->CompType, Align);
  EXPECT_EQ(TypeInfo<TSet<TFixAlign>>(), Aligns);
}

TEST(TypeInfoModel, EventTypesCarryTheirNameKindAndParameters) {
  PTypeInfo Notify = TypeInfo<TNotifyEvent>();
  EXPECT_EQ(Notify->Kind, tkMethod);
  EXPECT_EQ(Notify->Name, "TNotifyEvent");
  EXPECT_EQ(GetTypeData(Notify)->MethodKind, mkProcedure);
  ASSERT_EQ(GetTypeData(Notify)->ParamCount, 1);
  EXPECT_EQ(GetTypeData(Notify)->ParamList[0].ParamName, "Sender");
  EXPECT_EQ(GetTypeData(Notify)->ParamList[0].TypeName, "TObject");

  PTypeInfo Change = TypeInfo<TFixChangeEvent>();
  EXPECT_EQ(Change->Name, "TFixChangeEvent");
  ASSERT_EQ(GetTypeData(Change)->ParamCount, 2);
  const TParamInfo& Value = GetTypeData(Change)->ParamList[1];
  EXPECT_EQ(Value.ParamName, "Value");
  EXPECT_EQ(Value.TypeName, "Integer");
  EXPECT_TRUE(Value.Flags.Contains(pfVar));
  EXPECT_FALSE(GetTypeData(Change)->ParamList[0].Flags.Contains(pfVar));
}

TEST(TypeInfoModel, ClassTypeDataDescribesTheClassAndItsAncestors) {
  PTypeInfo Info = TFixDerived::StaticClass()->ClassInfo();
  EXPECT_EQ(Info->Kind, tkClass);
  EXPECT_EQ(Info->Name, "TFixDerived");
  const TTypeData* D = GetTypeData(Info);
  EXPECT_EQ(D->ClassType, TFixDerived::StaticClass());
  EXPECT_EQ(D->UnitName, "FixUnit");
  EXPECT_EQ(D->PropCount, int(DerivedOrder.size()));
  EXPECT_EQ(GetTypeData(TFixBase::StaticClass()->ClassInfo())->PropCount, 14);
  EXPECT_EQ(GetTypeData(TComponent::StaticClass()->ClassInfo())->PropCount, 2);
  EXPECT_EQ(GetTypeData(TFixPlain::StaticClass()->ClassInfo())->PropCount, 0);

  std::vector<std::string> Chain;
  for (PTypeInfo T = Info; T; T = GetTypeData(T)->ParentInfo) Chain.push_back(T->Name);
  EXPECT_THAT(Chain, ElementsAre("TFixDerived", "TFixBase", "TComponent", "TPersistent", "TObject"));

  // The same object through the class, an instance and TypeInfo<T*>.
  TFixDerived Obj(nullptr);
  EXPECT_EQ(Obj.ClassInfo(), Info);
  EXPECT_EQ(TypeInfo<TFixDerived*>(), Info);
  EXPECT_EQ(static_cast<TObject&>(Obj).ClassInfo(), Info);

  // Only a class's own declaration is recorded.
  EXPECT_NE(TFixDerived::StaticClass()->PublishProc(), nullptr);
  EXPECT_EQ(TFixQuiet::StaticClass()->PublishProc(), nullptr);
  EXPECT_EQ(TFixPlain::StaticClass()->PublishProc(), nullptr);

  PTypeInfo Node = TFixNode::StaticClass()->ClassInfo();
  ASSERT_NE(GetPropInfo(Node, "Next"), nullptr);
  EXPECT_EQ(GetPropInfo(Node, "Next")->PropType, Node);
}

// ----------------------------------------------------------- lists and lookup

TEST(TypeInfoLists, PropertiesComeAncestorsFirstInDeclarationOrder) {
  EXPECT_THAT(Names(GetPropList(TComponent::StaticClass()->ClassInfo())), ElementsAre("Name", "Tag"));
  const auto Derived = GetPropList(TFixDerived::StaticClass()->ClassInfo());
  EXPECT_THAT(Names(Derived), ElementsAreArray(DerivedOrder));
  for (size_t I = 0; I < Derived.size(); ++I) EXPECT_EQ(Derived[I]->NameIndex, int(I)) << Derived[I]->Name;

  // GetPropInfos fills a caller's array of PropCount entries with the same objects.
  PTypeInfo Info = TFixDerived::StaticClass()->ClassInfo();
  std::vector<PPropInfo> Array(size_t(GetTypeData(Info)->PropCount));
  GetPropInfos(Info, Array.data());
  EXPECT_EQ(Array, Derived);
}

TEST(TypeInfoLists, EachPropertyHasOneStableObject) {
  const auto Base = GetPropList(TFixBase::StaticClass()->ClassInfo());
  const auto Derived = GetPropList(TFixDerived::StaticClass()->ClassInfo());
  const auto Quiet = GetPropList(TFixQuiet::StaticClass()->ClassInfo());
  EXPECT_EQ(Quiet, Derived);  // inherited unchanged: the very same objects
  EXPECT_EQ(GetPropList(TFixDerived::StaticClass()->ClassInfo()), Derived);
  // Inherited declarations are shared; the redeclared Left is the derived one.
  EXPECT_EQ(Derived[3], Base[3]);  // Caption
  EXPECT_EQ(Base[2]->Name, "Left");
  EXPECT_NE(Derived[2], Base[2]);
  EXPECT_EQ(Derived[2]->DeclaringClass, TFixDerived::StaticClass());
  EXPECT_EQ(Base[2]->DeclaringClass, TFixBase::StaticClass());
  TFixQuiet Obj(nullptr);
  EXPECT_EQ(GetPropInfo(&Obj, "caption"), Derived[3]);
}

TEST(TypeInfoLists, SortingIgnoresAsciiCase) {
  auto List = GetPropList(TFixDerived::StaticClass()->ClassInfo());
  SortPropList(List);
  EXPECT_THAT(Names(List), ElementsAre("Align", "alpha", "Big", "Buddy", "Caption", "Color", "Count", "Cursor", "Font",
                                       "Height", "Hint", "Left", "Letter", "Name", "OnChange", "OnClick", "Ratio",
                                       "Scale", "Serial", "Side", "Styles", "Tag", "Visible", "Width"));
}

TEST(TypeInfoLists, GetPropListFiltersByKind) {
  PTypeInfo Info = TFixDerived::StaticClass()->ClassInfo();
  std::vector<PPropInfo> List(size_t(GetTypeData(Info)->PropCount));
  const int Events = GetPropList(Info, tkMethods, List.data());
  List.resize(size_t(Events));
  EXPECT_THAT(Names(List), ElementsAre("OnChange", "OnClick"));

  EXPECT_EQ(GetPropList(Info, tkProperties, nullptr), GetTypeData(Info)->PropCount - 2);
  List.assign(size_t(GetTypeData(Info)->PropCount), nullptr);
  const int Ordinals = GetPropList(Info, TTypeKinds{tkInteger, tkEnumeration}, List.data(), false);
  List.resize(size_t(Ordinals));
  EXPECT_THAT(Names(List), ElementsAre("Tag", "Left", "Color", "Cursor", "Visible", "Align", "Side", "Count", "Serial",
                                       "Width", "Height", "alpha"));
}

TEST(TypeInfoLists, LookupByNameWithKindFilter) {
  TFixDerived Obj(nullptr);
  PTypeInfo Info = Obj.ClassInfo();
  struct Case {
    const char* Name;
    TTypeKinds Kinds;
    bool Found;
  };
  const Case Cases[] = {
      {"Caption", {}, true},
      {"CAPTION", {}, true},
      {"caption", TTypeKinds{tkLString}, true},
      {"Caption", TTypeKinds{tkString, tkWString}, false},
      {"Caption", TTypeKinds{tkInteger, tkLString}, true},
      {"Font", TTypeKinds{tkClass}, true},
      {"OnClick", tkProperties, false},
      {"OnClick", tkMethods, true},
      {"Big", TTypeKinds{tkInt64}, true},
      {"Ratio", TTypeKinds{tkFloat}, true},
      {"Letter", TTypeKinds{tkChar}, true},
      {"Styles", TTypeKinds{tkSet}, true},
      {"Missing", {}, false},
      {"", {}, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    PPropInfo ByType = GetPropInfo(Info, C.Name, C.Kinds);
    EXPECT_EQ(ByType != nullptr, C.Found);
    EXPECT_EQ(GetPropInfo(&Obj, C.Name, C.Kinds), ByType);
    EXPECT_EQ(GetPropInfo(TFixDerived::StaticClass(), C.Name, C.Kinds), ByType);
    if (ByType) {
      EXPECT_TRUE(SameText(ByType->Name, C.Name));
    }
  }
  EXPECT_TRUE(IsPublishedProp(&Obj, "tag"));
  EXPECT_FALSE(IsPublishedProp(&Obj, "Right"));
  EXPECT_FALSE(IsPublishedProp(TFixBase::StaticClass(), "Ratio"));
  EXPECT_EQ(PropType(&Obj, "Color"), TypeInfo<TColor>());
  EXPECT_EQ(PropType(&Obj, "Font"), TFixFont::StaticClass()->ClassInfo());
  EXPECT_EQ(PropType(&Obj, "Buddy"), TComponent::StaticClass()->ClassInfo());
  EXPECT_EQ(PropType(&Obj, "Side"), TypeInfo<TFixSide>());
  EXPECT_EQ(PropType(&Obj, "Scale")->Name, "Single");
  EXPECT_EQ(PropKind(&Obj, "Visible"), tkEnumeration);
  EXPECT_THROW(PropType(&Obj, "Missing"), EPropertyError);
  EXPECT_EQ(GetPropInfo(static_cast<const TObject*>(nullptr), "Name"), nullptr);
}

// ------------------------------------------------------------------- access

TEST(TypeInfoAccess, OrdinalRoundTripsRunTheSetters) {
  TFixDerived Obj(nullptr);
  SetOrdProp(&Obj, "Left", 25);
  EXPECT_EQ(Obj.Left(), 25);
  EXPECT_EQ(Obj.Right, 125);  // the setter's side effect
  EXPECT_EQ(GetOrdProp(&Obj, "Left"), 25);
  SetOrdProp(&Obj, "Left", -5);  // the redeclared setter clamps
  EXPECT_EQ(Obj.Left(), 0);

  SetOrdProp(&Obj, "Color", clRed);
  EXPECT_EQ(Obj.Color(), clRed);
  SetOrdProp(&Obj, "Color", clBtnFace);
  EXPECT_EQ(GetOrdProp(&Obj, "Color"), std::int32_t(clBtnFace));
  SetOrdProp(&Obj, "Visible", 0);
  EXPECT_FALSE(Obj.Visible());
  EXPECT_EQ(GetOrdProp(&Obj, "Visible"), 0);
  SetOrdProp(&Obj, "Align", faClient);
  EXPECT_EQ(Obj.Align(), faClient);
  SetOrdProp(&Obj, "Letter", 'Z');
  EXPECT_EQ(Obj.Letter, 'Z');
  EXPECT_EQ(GetOrdProp(&Obj, "Letter"), 'Z');
  SetOrdProp(&Obj, "Styles", 0b0110);
  EXPECT_EQ(Obj.Styles(), (TFixStyles{fsItalic, fsUnderline}));
  SetOrdProp(&Obj, "Width", 300);
  SetOrdProp(&Obj, "Height", 200);
  EXPECT_EQ(Obj.Bound(0), 300);
  EXPECT_EQ(Obj.Bound(1), 200);
  EXPECT_EQ(GetOrdProp(&Obj, "Height"), 200);
  EXPECT_EQ(GetPropInfo(&Obj, "Height")->Index, 1);
  EXPECT_EQ(GetPropInfo(&Obj, "Left")->Index, NoIndex);
  EXPECT_EQ(GetOrdProp(&Obj, "Count"), 42);
  EXPECT_EQ(GetOrdProp(&Obj, "Serial"), 1);
  EXPECT_EQ(GetOrdProp(&Obj, "Serial"), 2);
  SetOrdProp(&Obj, "Tag", 1007);
  EXPECT_EQ(Obj.Tag(), 1007);
  EXPECT_EQ(Obj.SetCalls, 9);  // Tag and Letter have no counting setter
}

TEST(TypeInfoAccess, CursorStoresSixteenSignedBits) {
  TFixBase Obj(nullptr);
  SetOrdProp(&Obj, "Cursor", crHandPoint);
  EXPECT_EQ(Obj.Cursor(), crHandPoint);
  EXPECT_EQ(GetOrdProp(&Obj, "Cursor"), -21);
  SetOrdProp(&Obj, "Cursor", 0x18000);  // only the low 16 bits, as a signed number
  EXPECT_EQ(GetOrdProp(&Obj, "Cursor"), -32768);
  SetOrdProp(&Obj, "Cursor", 0xFFFF);
  EXPECT_EQ(Obj.Cursor(), TCursor(-1));
}

TEST(TypeInfoAccess, StringFloatInt64RoundTrips) {
  TFixDerived Obj(nullptr);
  SetStrProp(&Obj, "Caption", "全部(&A)");
  EXPECT_EQ(Obj.Caption(), "全部(&A)");
  EXPECT_EQ(Obj.CaptionLength, 10);
  EXPECT_EQ(GetStrProp(&Obj, "caption"), "全部(&A)");
  SetStrProp(&Obj, "Hint", "tip");
  EXPECT_EQ(Obj.Hint, "tip");

  SetFloatProp(&Obj, "Ratio", 0.125);
  EXPECT_DOUBLE_EQ(Obj.Ratio(), 0.125);
  EXPECT_DOUBLE_EQ(GetFloatProp(&Obj, "Ratio"), 0.125);
  SetFloatProp(&Obj, "Scale", 2.25);
  EXPECT_FLOAT_EQ(Obj.Scale, 2.25f);

  const std::int64_t Big = (std::int64_t(1) << 40) + 7;
  SetInt64Prop(&Obj, "Big", -Big);
  EXPECT_EQ(Obj.Big(), -Big);
  EXPECT_EQ(GetInt64Prop(&Obj, "Big"), -Big);
  SetInt64Prop(&Obj, "Big", INT64_MAX);
  EXPECT_EQ(Obj.Big(), INT64_MAX);
  // Ordinals read and write widened too.
  SetInt64Prop(&Obj, "Left", 77);
  EXPECT_EQ(GetInt64Prop(&Obj, "Left"), 77);
}

TEST(TypeInfoAccess, NameAndTagOfComponents) {
  TComponent Owner(nullptr);
  TComponent* A = new TComponent(&Owner);
  TComponent* B = new TComponent(&Owner);
  SetStrProp(A, "Name", "First");
  EXPECT_EQ(A->Name(), "First");
  // The Name setter's own validation runs and leaves the name as it was.
  EXPECT_THROW(SetStrProp(B, "Name", "first"), EComponentError);
  EXPECT_THROW(SetStrProp(B, "Name", "1bad"), EComponentError);
  EXPECT_EQ(B->Name(), "");
  SetOrdProp(B, "Tag", -3);
  EXPECT_EQ(B->Tag(), -3);
}

TEST(TypeInfoAccess, EnumerationTextBothWays) {
  TFixDerived Obj(nullptr);
  EXPECT_EQ(GetEnumProp(&Obj, "Visible"), "True");
  SetEnumProp(&Obj, "Visible", "false");
  EXPECT_FALSE(Obj.Visible());
  EXPECT_EQ(GetEnumProp(&Obj, "Visible"), "False");
  SetEnumProp(&Obj, "Align", "FALEFT");
  EXPECT_EQ(Obj.Align(), faLeft);
  EXPECT_EQ(GetEnumProp(&Obj, "Align"), "faLeft");
  SetEnumProp(&Obj, "Side", "faRight");
  EXPECT_EQ(Obj.Side(), TFixSide(faRight));
  EXPECT_EQ(GetEnumProp(&Obj, "Side"), "faRight");
}

TEST(TypeInfoAccess, SetTextBothWays) {
  TFixDerived Obj(nullptr);
  EXPECT_EQ(GetSetProp(&Obj, "Styles", true), "[fsBold]");
  SetSetProp(&Obj, "Styles", "[fsUnderline, fsbold]");
  EXPECT_EQ(Obj.Styles(), (TFixStyles{fsBold, fsUnderline}));
  EXPECT_EQ(GetSetProp(&Obj, "Styles", true), "[fsBold,fsUnderline]");
  EXPECT_EQ(GetSetProp(&Obj, "Styles"), "fsBold,fsUnderline");
  SetSetProp(&Obj, "Styles", "fsStrikeOut");
  EXPECT_EQ(GetSetProp(&Obj, "Styles", true), "[fsStrikeOut]");
  SetSetProp(&Obj, "Styles", "[]");
  EXPECT_EQ(GetSetProp(&Obj, "Styles", true), "[]");
  EXPECT_TRUE(Obj.Styles().Empty());
}

TEST(TypeInfoAccess, ObjectPropertiesWriteOnlyInstancesOfTheirClass) {
  TComponent Owner(nullptr);
  TFixDerived* Obj = new TFixDerived(&Owner);
  TComponent* Other = new TComponent(&Owner);
  EXPECT_EQ(GetObjectProp(Obj, "Font"), Obj->Font());
  EXPECT_EQ(GetObjectPropClass(GetPropInfo(Obj, "Font")), TFixFont::StaticClass());

  TFixFont Big;
  Big.SetSize(20);
  SetObjectProp(Obj, "Font", &Big);  // the setter copies into the sub-object
  EXPECT_EQ(Obj->Font()->Size(), 20);
  EXPECT_EQ(GetObjectProp(Obj, "Font"), Obj->Font());

  const int Calls = Obj->SetCalls;
  TFixOther Wrong;
  SetObjectProp(Obj, "Font", &Wrong);  // not a TFixFont: not written, no error
  SetObjectProp(Obj, "Buddy", &Wrong);
  EXPECT_EQ(Obj->SetCalls, Calls);
  EXPECT_EQ(Obj->Font()->Size(), 20);

  SetObjectProp(Obj, "Buddy", Other);
  EXPECT_EQ(Obj->Buddy(), Other);
  SetObjectProp(Obj, "Buddy", Obj);  // a descendant of TComponent is fine
  EXPECT_EQ(GetObjectProp(Obj, "Buddy"), Obj);
  SetObjectProp(Obj, "Buddy", nullptr);
  EXPECT_EQ(Obj->Buddy(), nullptr);
}

TEST(TypeInfoAccess, MethodPropertiesAndPublishedMethods) {
  TFixDerived Obj(nullptr);
  EXPECT_FALSE(GetMethodProp(&Obj, "OnClick"));
  const TMethod Click = TNotifyEvent::Bind<&TFixDerived::Clicked>(&Obj).ToMethod();
  SetMethodProp(&Obj, "OnClick", Click);
  ASSERT_TRUE(Obj.OnClick);
  Obj.OnClick(&Obj);
  EXPECT_EQ(Obj.Clicks, 1);
  EXPECT_EQ(GetMethodProp(&Obj, "OnClick"), Click);
  EXPECT_EQ(Obj.OnClick, TNotifyEvent::Bind<&TFixDerived::Clicked>(&Obj));

  // A handler goes by name and back, as a stream stores it.
  const void* Code = Obj.MethodAddress("clicked");
  EXPECT_EQ(Code, Click.Code);
  EXPECT_EQ(Obj.MethodName(Click.Code), "Clicked");
  EXPECT_EQ(TFixQuiet::StaticClass()->MethodAddress("Changed"), Obj.MethodAddress("Changed"));
  EXPECT_EQ(Obj.MethodAddress("Nothing"), nullptr);
  EXPECT_EQ(TFixBase::StaticClass()->MethodAddress("Clicked"), nullptr);
  EXPECT_EQ(Obj.MethodName(nullptr), "");

  TMethod Change;
  Change.Code = Obj.MethodAddress("Changed");
  Change.Data = &Obj;
  SetMethodProp(&Obj, "OnChange", Change);
  int V = 21;
  Obj.OnChange(&Obj, V);
  EXPECT_EQ(V, 42);

  SetMethodProp(&Obj, "OnClick", TMethod());
  EXPECT_FALSE(Obj.OnClick);
}

// --------------------------------------------------------------- bad input

TEST(TypeInfoErrors, BadInputRaisesAndChangesNothing) {
  TFixDerived Obj(nullptr);
  Obj.SetLeft(7);
  Obj.SetCaption("keep");
  Obj.SetAlign(faTop);
  Obj.SetStyles(TFixStyles{fsItalic});
  const int Calls = Obj.SetCalls;

  struct Case {
    const char* What;
    std::function<void()> Run;
    bool ConvertError;  // else EPropertyError
  };
  const Case Cases[] = {
      {"unknown name (ordinal)", [&] { SetOrdProp(&Obj, "Nope", 1); }, false},
      {"unknown name (string)", [&] { SetStrProp(&Obj, "Nope", "x"); }, false},
      {"unknown name (read)", [&] { GetOrdProp(&Obj, "Nope"); }, false},
      {"string as ordinal", [&] { SetOrdProp(&Obj, "Caption", 1); }, false},
      {"ordinal as string", [&] { SetStrProp(&Obj, "Left", "1"); }, false},
      {"ordinal read as string", [&] { GetStrProp(&Obj, "Left"); }, false},
      {"float as ordinal", [&] { GetOrdProp(&Obj, "Ratio"); }, false},
      {"ordinal as float", [&] { SetFloatProp(&Obj, "Left", 1.0); }, false},
      {"object as ordinal", [&] { SetOrdProp(&Obj, "Font", 0); }, false},
      {"ordinal as object", [&] { SetObjectProp(&Obj, "Left", nullptr); }, false},
      {"event as object", [&] { GetObjectProp(&Obj, "OnClick"); }, false},
      {"string as event", [&] { SetMethodProp(&Obj, "Caption", TMethod()); }, false},
      {"string as Int64", [&] { SetInt64Prop(&Obj, "Caption", 1); }, false},
      {"Int64 as ordinal", [&] { SetOrdProp(&Obj, "Big", 1); }, false},
      {"set text on enumeration", [&] { SetSetProp(&Obj, "Align", "[faTop]"); }, false},
      {"enumeration text on set", [&] { SetEnumProp(&Obj, "Styles", "fsBold"); }, false},
      {"read-only", [&] { SetOrdProp(&Obj, "Count", 1); }, false},
      {"enumeration out of range", [&] { SetOrdProp(&Obj, "Align", 6); }, false},
      {"negative enumeration", [&] { SetOrdProp(&Obj, "Align", -1); }, false},
      {"Boolean out of range", [&] { SetOrdProp(&Obj, "Visible", 2); }, false},
      {"subrange out of range", [&] { SetOrdProp(&Obj, "Side", faClient); }, false},
      {"set bits beyond its elements", [&] { SetOrdProp(&Obj, "Styles", 0b10000); }, false},
      {"unknown enumeration identifier", [&] { SetEnumProp(&Obj, "Align", "faMiddle"); }, true},
      {"identifier outside the subrange", [&] { SetEnumProp(&Obj, "Side", "faNone"); }, true},
      {"empty enumeration identifier", [&] { SetEnumProp(&Obj, "Visible", ""); }, true},
      {"unknown set element", [&] { SetSetProp(&Obj, "Styles", "[fsBold,fsHuge]"); }, true},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    if (C.ConvertError)
      EXPECT_THROW(C.Run(), EConvertError);
    else
      EXPECT_THROW(C.Run(), EPropertyError);
  }
  EXPECT_EQ(Obj.SetCalls, Calls);
  EXPECT_EQ(Obj.Left(), 7);
  EXPECT_EQ(Obj.Caption(), "keep");
  EXPECT_EQ(Obj.Align(), faTop);
  EXPECT_EQ(Obj.Side(), TFixSide(faTop));
  EXPECT_TRUE(Obj.Visible());
  EXPECT_EQ(Obj.Styles(), TFixStyles{fsItalic});

  // A property information of one class used on an object of an unrelated class.
  TFixPlain Plain;
  EXPECT_THROW(GetOrdProp(&Plain, GetPropInfo(&Obj, "Left")), EPropertyError);
  EXPECT_THROW(SetStrProp(&Plain, GetPropInfo(&Obj, "Caption"), "x"), EPropertyError);
  EXPECT_THROW(GetOrdProp(static_cast<TObject*>(nullptr), "Left"), EPropertyError);
}

// ------------------------------------------------------- stored and default

TEST(TypeInfoStored, StoredFlagsAndDefaults) {
  TFixDerived Obj(nullptr);
  EXPECT_FALSE(IsStoredProp(&Obj, "Name"));
  EXPECT_TRUE(IsStoredProp(&Obj, "Tag"));
  EXPECT_FALSE(IsStoredProp(&Obj, "alpha"));
  EXPECT_FALSE(IsStoredProp(&Obj, "Hint"));  // through IsHintStored
  Obj.Hint = "help";
  EXPECT_TRUE(IsStoredProp(&Obj, "Hint"));
  Obj.Hint = "-";
  EXPECT_FALSE(IsStoredProp(&Obj, "Hint"));

  struct Case {
    const char* Name;
    bool Default;
  };
  const Case Fresh[] = {
      {"Tag", true},  {"Color", true},  {"Cursor", true},  {"Visible", true}, {"Align", true},
      {"Side", true}, {"Styles", true}, {"Left", false},   {"Caption", true}, {"Ratio", true},
      {"Big", true},  {"Buddy", true},  {"OnClick", true}, {"Width", false},
  };
  for (const Case& C : Fresh) EXPECT_EQ(IsDefaultPropValue(&Obj, GetPropInfo(&Obj, C.Name)), C.Default) << C.Name;

  Obj.SetTag(1);
  Obj.SetColor(clWindow);
  Obj.SetVisible(false);
  Obj.SetStyles({});
  Obj.SetCaption("x");
  Obj.SetRatio(0.5);
  Obj.SetBig(-1);
  Obj.OnClick = [](TObject*) {};
  for (const char* Name : {"Tag", "Color", "Visible", "Styles", "Caption", "Ratio", "Big", "OnClick"})
    EXPECT_FALSE(IsDefaultPropValue(&Obj, GetPropInfo(&Obj, Name))) << Name;
  EXPECT_EQ(GetPropInfo(&Obj, "Color")->Default, std::int32_t(clBtnFace));
  EXPECT_EQ(GetPropInfo(&Obj, "Left")->Default, NoDefault);
}

// ------------------------------------------------------ colours and cursors

TEST(NamedColors, EveryIdentifierRoundTrips) {
  std::vector<std::string> Idents;
  GetColorValues([&](const std::string& S) { Idents.push_back(S); });
  ASSERT_EQ(Idents.size(), 52u);
  EXPECT_EQ(Idents.front(), "clBlack");
  EXPECT_EQ(Idents[15], "clWhite");
  EXPECT_EQ(Idents[19], "clMedGray");
  EXPECT_EQ(Idents[20], "clActiveBorder");
  EXPECT_EQ(Idents[Idents.size() - 2], "clNone");
  EXPECT_EQ(Idents.back(), "clDefault");
  std::set<std::int32_t> Values;
  for (const std::string& Ident : Idents) {
    SCOPED_TRACE(Ident);
    std::int32_t V;
    ASSERT_TRUE(IdentToColor(Ident, V));
    EXPECT_TRUE(Values.insert(V).second) << "two identifiers for one value";
    std::string Back;
    ASSERT_TRUE(ColorToIdent(V, Back));
    EXPECT_EQ(Back, Ident);
    EXPECT_EQ(ColorToString(TColor(V)), Ident);
    EXPECT_EQ(StringToColor(Ident), TColor(V));
    EXPECT_EQ(StringToColor(UpperCase(Ident)), TColor(V));
  }
  EXPECT_EQ(StringToColor("clBtnFace"), clBtnFace);
  EXPECT_EQ(ColorToString(clWindowText), "clWindowText");
  EXPECT_EQ(ColorToString(clLtGray), "clSilver");
}

TEST(NamedColors, NumbersAndBadText) {
  EXPECT_EQ(ColorToString(TColor(0x123456)), "$00123456");
  EXPECT_EQ(StringToColor("$00123456"), TColor(0x123456));
  EXPECT_EQ(ColorToString(TColor(std::int32_t(0x8000000A))), "$8000000A");
  EXPECT_EQ(StringToColor("$8000000A"), TColor(std::int32_t(0x8000000A)));
  EXPECT_EQ(StringToColor("$FF00000F"), clBtnFace);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_EQ(StringToColor("-1"), TColor(-1));
  EXPECT_EQ(ColorToString(TColor(-1)), "$FFFFFFFF");
  for (std::int32_t V : {0x010203, 0x7FFFFFFF, std::int32_t(0x80000000), 0x1FFFFFFE})
    EXPECT_EQ(StringToColor(ColorToString(TColor(V))), TColor(V)) << V;
  for (const char* Bad : {"", "clNothing", "red", "$", "$1FFFFFFFF", "12x", "4294967296"}) {
    SCOPED_TRACE(Bad);
    EXPECT_THROW(StringToColor(Bad), EConvertError);
  }
  std::string Ident = "unchanged";
  EXPECT_FALSE(ColorToIdent(0x123456, Ident));
  EXPECT_EQ(Ident, "unchanged");
}

TEST(NamedCursors, EveryIdentifierRoundTrips) {
  std::vector<std::string> Idents;
  GetCursorValues([&](const std::string& S) { Idents.push_back(S); });
  ASSERT_GE(Idents.size(), 21u);
  EXPECT_EQ(Idents.front(), "crDefault");
  EXPECT_NE(std::find(Idents.begin(), Idents.end(), "crHSplit"), Idents.end());
  EXPECT_EQ(Idents.back(), "crSizeAll");
  std::set<std::int32_t> Values;
  for (const std::string& Ident : Idents) {
    SCOPED_TRACE(Ident);
    std::int32_t V;
    ASSERT_TRUE(IdentToCursor(Ident, V));
    EXPECT_TRUE(Values.insert(V).second);
    EXPECT_EQ(CursorToString(TCursor(V)), Ident);
    EXPECT_EQ(StringToCursor(LowerCase(Ident)), TCursor(V));
  }
  EXPECT_EQ(StringToCursor("crHandPoint"), crHandPoint);
  EXPECT_EQ(CursorToString(crSize), "crSizeAll");
}

TEST(NamedCursors, NumbersAndBadText) {
  EXPECT_EQ(CursorToString(TCursor(-100)), "-100");
  EXPECT_EQ(CursorToString(TCursor(5)), "5");
  EXPECT_EQ(StringToCursor("-100"), TCursor(-100));
  EXPECT_EQ(StringToCursor("32767"), TCursor(32767));
  EXPECT_EQ(StringToCursor("-32768"), TCursor(-32768));
  for (const char* Bad : {"", "crNothing", "32768", "-32769", "1.5"}) {
    SCOPED_TRACE(Bad);
    EXPECT_THROW(StringToCursor(Bad), EConvertError);
  }
}

TEST(NamedColors, InspectorWritesAColourByName) {
  TFixBase Obj(nullptr);
  SetOrdProp(&Obj, "Color", StringToColor("clHighlight"));
  EXPECT_EQ(ColorToString(TColor(GetOrdProp(&Obj, "Color"))), "clHighlight");
  SetOrdProp(&Obj, "Cursor", StringToCursor("crIBeam"));
  EXPECT_EQ(CursorToString(TCursor(GetOrdProp(&Obj, "Cursor"))), "crIBeam");
}
