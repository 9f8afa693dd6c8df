// The standard property editors on fixture objects, and GetComponentProperties.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "designintf/fixtures.h"
#include "designintf/test_designer.h"
#include "platform/controls/stdctrls.h"
#include "platform/designintf/propedit.h"
#include "support/window_fixture.h"

namespace fixture {

using TProp = TInterfaceRef<IProperty>;

class PropertyEditors : public WindowFixture {
 protected:
  void SetUp() override {
    Root = new TFixtureRoot(Application());
    Root->SetName("Form1");
    F1 = new TFixture(Root);
    F1->SetName("Fixture1");
    F2 = new TFixture(Root);
    F2->SetName("Fixture2");
    for (TFixture* F : {F1, F2}) {
      F->SetCount(42);
      F->SetSmall(7);
      F->SetLetter('x');
      F->SetShade(shDark);
      F->SetActive(true);
      F->SetShades({shLight, shDark});
      F->SetRatio(2.5);
      F->SetScale(0.1f);
      F->SetCaption("Hello");
      F->SetBig(1000000000000);
      F->SetColor(clRed);
      F->SetCursor(crHandPoint);
      F->Lines()->SetText("a\nb");
      F->SetBuddy(F2);
      F->Writes = 0;
    }
  }

  /// The editor of property Name for Objects, as GetComponentProperties hands it out (none when it does not).
  static TProp EditorFor(std::vector<TPersistent*> Objects, const std::string& Name, IDesigner* Designer = nullptr) {
    TDesignerSelections Selection;
    for (TPersistent* P : Objects) Selection.Add(P);
    TProp Found;
    GetComponentProperties(&Selection, tkAny, Designer, [&](const TProp& P) {
      if (P->GetName() == Name) Found = P;
    });
    return Found;
  }

  static std::vector<std::string> ValuesOf(const TProp& P) {
    std::vector<std::string> Values;
    P->GetValues([&](const std::string& S) { Values.push_back(S); });
    return Values;
  }

  static std::vector<std::string> Names(IDesignerSelections* Selection, TTypeKinds Kinds = tkProperties,
                                        const TPropertyEditorFilterFunc& Filter = nullptr) {
    std::vector<std::string> Result;
    GetComponentProperties(
        Selection, Kinds, nullptr, [&](const TProp& P) { Result.push_back(P->GetName()); }, Filter);
    return Result;
  }

  TFixtureRoot* Root = nullptr;
  TFixture* F1 = nullptr;
  TFixture* F2 = nullptr;
};

// ------------------------------------------------------------ value text and list

TEST_F(PropertyEditors, StandardEditorOfEachKindShowsValueAttributesAndList) {
  const TPropertyAttributes Plain{paMultiSelect, paRevertable};
  const TPropertyAttributes Listed{paMultiSelect, paValueList, paRevertable};
  const TPropertyAttributes Object{paMultiSelect, paSubProperties, paReadOnly};
  struct TCase {
    const char* Prop;
    const char* Editor;
    const char* Value;
    TPropertyAttributes Attributes;
    std::vector<std::string> Values;  // the value list when it is short, else some of its entries
    bool Exact;
  } Cases[] = {
      {"Count", "TIntegerProperty", "42", Plain, {}, true},
      {"Small", "TIntegerProperty", "7", Plain, {}, true},
      {"Tag", "TIntegerProperty", "0", Plain, {}, true},
      {"Letter", "TCharProperty", "x", Plain, {}, true},
      {"Shade", "TEnumProperty", "shDark", Listed, {"shLight", "shMedium", "shDark", "shBlack"}, true},
      {"Mid", "TEnumProperty", "shMedium", Listed, {"shMedium", "shDark"}, true},
      {"Active", "TBoolProperty", "True", Listed, {"False", "True"}, true},
      {"Shades",
       "TSetProperty",
       "[shLight,shDark]",
       Plain + TPropertyAttributes{paSubProperties, paReadOnly},
       {},
       true},
      {"Ratio", "TFloatProperty", "2.5", Plain, {}, true},
      {"Scale", "TFloatProperty", "0.1", Plain, {}, true},
      {"Caption", "TStringProperty", "Hello", Plain, {}, true},
      {"Big", "TInt64Property", "1000000000000", Plain, {}, true},
      {"Color",
       "TColorProperty",
       "clRed",
       Listed + TPropertyAttributes{paDialog},
       {"clRed", "clBtnFace", "clNone"},
       false},
      {"Cursor",
       "TCursorProperty",
       "crHandPoint",
       Listed + TPropertyAttributes{paSortList},
       {"crDefault", "crHandPoint"},
       false},
      {"Font", "TFontProperty", "(TFont)", Object + TPropertyAttributes{paDialog}, {}, true},
      {"Lines", "TStringsProperty", "(TStrings)", Object + TPropertyAttributes{paDialog}, {}, true},
      {"Sub", "TClassProperty", "(TFixtureSub)", Object, {}, true},
      {"Buddy",
       "TComponentProperty",
       "Fixture2",
       Listed + TPropertyAttributes{paSortList},
       {"Fixture1", "Fixture2"},
       true},
      {"OnClick", "TMethodProperty", "", Listed + TPropertyAttributes{paSortList}, {}, true},
      {"Name", "TComponentNameProperty", "Fixture1", {}, {}, true},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Prop);
    TProp P = EditorFor({F1}, C.Prop);
    ASSERT_TRUE(P);
    EXPECT_EQ(dynamic_cast<TObject*>(P.Get())->ClassName(), C.Editor);
    EXPECT_EQ(P->GetValue(), C.Value);
    EXPECT_EQ(P->GetAttributes(), C.Attributes);
    EXPECT_EQ(P->GetPropInfo(), GetPropInfo(F1, C.Prop));
    EXPECT_EQ(P->GetComponent(0), F1);
    const auto Values = ValuesOf(P);
    if (C.Exact) {
      EXPECT_EQ(Values, C.Values);
    } else {
      for (const std::string& V : C.Values) EXPECT_NE(std::find(Values.begin(), Values.end(), V), Values.end()) << V;
    }
  }
}

TEST_F(PropertyEditors, CharactersShowAsThemselvesOrByCode) {
  TProp P = EditorFor({F1}, "Letter");
  const std::pair<char, const char*> Cases[] = {{'x', "x"}, {'!', "!"}, {' ', "#32"}, {'\t', "#9"}, {'\x7F', "#127"}};
  for (const auto& [Ch, Text] : Cases) {
    F1->SetLetter(Ch);
    EXPECT_EQ(P->GetValue(), Text);
  }
  P->SetValue("#65");
  EXPECT_EQ(F1->Letter(), 'A');
  P->SetValue("z");
  EXPECT_EQ(F1->Letter(), 'z');
  P->SetValue("#");
  EXPECT_EQ(F1->Letter(), '#');
}

TEST_F(PropertyEditors, ValuesOutsideTheNamesShowAsNumbers) {
  F1->SetColor(TColor(0x123456));
  F1->SetCursor(TCursor(7));
  EXPECT_EQ(EditorFor({F1}, "Color")->GetValue(), "$00123456");
  EXPECT_EQ(EditorFor({F1}, "Cursor")->GetValue(), "7");
  F1->SetBuddy(nullptr);
  EXPECT_EQ(EditorFor({F1}, "Buddy")->GetValue(), "");
}

// ---------------------------------------------------------------- writing values

TEST_F(PropertyEditors, SetValueWritesEverySelectedComponentThroughItsSetter) {
  struct TCase {
    const char* Prop;
    const char* Input;
    const char* Shown;
  } Cases[] = {
      {"Count", " 17 ", "17"},
      {"Small", "255", "255"},
      {"Letter", "#65", "A"},
      {"Shade", "shblack", "shBlack"},
      {"Mid", "shDark", "shDark"},
      {"Active", "false", "False"},
      {"Shades", "[shMedium]", "[shMedium]"},
      {"Ratio", "-0.25", "-0.25"},
      {"Scale", "1.5", "1.5"},
      {"Caption", "World", "World"},
      {"Big", "-9000000000", "-9000000000"},
      {"Color", "clBlue", "clBlue"},
      {"Color", "$00123456", "$00123456"},
      {"Cursor", "crCross", "crCross"},
      {"Buddy", "Fixture1", "Fixture1"},
      {"Buddy", "", ""},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::string(C.Prop) + " := " + C.Input);
    F1->Writes = F2->Writes = 0;
    TProp Both = EditorFor({F1, F2}, C.Prop);
    ASSERT_TRUE(Both);
    EXPECT_EQ(Both->PropCount(), 2);
    Both->SetValue(C.Input);
    EXPECT_EQ(F1->Writes, 1);
    EXPECT_EQ(F2->Writes, 1);
    EXPECT_EQ(EditorFor({F1}, C.Prop)->GetValue(), C.Shown);
    EXPECT_EQ(EditorFor({F2}, C.Prop)->GetValue(), C.Shown);
    EXPECT_TRUE(Both->AllEqual());
  }
}

TEST_F(PropertyEditors, InvalidTextRaisesAndChangesNothing) {
  struct TCase {
    const char* Prop;
    const char* Input;
    bool Conversion;  // EConvertError, else EPropertyError
  } Cases[] = {
      {"Count", "abc", true},     {"Small", "256", false},      {"Small", "-1", false},
      {"Letter", "ab", false},    {"Shade", "shPurple", false}, {"Mid", "shLight", false},
      {"Active", "maybe", false}, {"Shades", "[shNone]", true}, {"Ratio", "x", true},
      {"Big", "1e3", true},       {"Color", "clNoSuch", true},  {"Cursor", "crNoSuch", true},
      {"Buddy", "Nobody", false}, {"Buddy", "Form1", false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::string(C.Prop) + " := " + C.Input);
    TProp Both = EditorFor({F1, F2}, C.Prop);
    ASSERT_TRUE(Both);
    const std::string Before = Both->GetValue();
    F1->Writes = F2->Writes = 0;
    if (C.Conversion)
      EXPECT_THROW(Both->SetValue(C.Input), EConvertError);
    else
      EXPECT_THROW(Both->SetValue(C.Input), EPropertyError);
    EXPECT_EQ(F1->Writes + F2->Writes, 0);
    EXPECT_EQ(Both->GetValue(), Before);
  }
}

TEST_F(PropertyEditors, MultiSelectionShowsTheFirstValueAndTellsWhetherAllAgree) {
  F2->SetCount(5);
  F2->SetCaption("Other");
  TProp Count = EditorFor({F1, F2}, "Count");
  EXPECT_EQ(Count->GetValue(), "42");
  EXPECT_FALSE(Count->AllEqual());
  EXPECT_FALSE(EditorFor({F1, F2}, "Caption")->AllEqual());
  EXPECT_TRUE(EditorFor({F1, F2}, "Shade")->AllEqual());
  F1->SetBuddy(F1);
  EXPECT_FALSE(EditorFor({F1, F2}, "Buddy")->AllEqual());
  Count->SetValue("9");
  EXPECT_TRUE(Count->AllEqual());
  // A name must stay unique: its editor does not serve several components,
  // and a name another component bears is refused.
  EXPECT_FALSE(EditorFor({F1, F2}, "Name"));
  TProp Name = EditorFor({F1}, "Name");
  ASSERT_TRUE(Name);
  EXPECT_THROW(Name->SetValue("Fixture2"), EComponentError);
  EXPECT_EQ(F1->Name(), "Fixture1");
  Name->SetValue("Renamed");
  EXPECT_EQ(F1->Name(), "Renamed");
}

TEST_F(PropertyEditors, DoubleClickOnAListedValueStepsToTheNext) {
  TProp Active = EditorFor({F1}, "Active");
  Active->Edit();
  EXPECT_FALSE(F1->Active());
  Active->Edit();
  EXPECT_TRUE(F1->Active());
  TProp Shade = EditorFor({F1}, "Shade");
  F1->SetShade(shBlack);
  Shade->Edit();
  EXPECT_EQ(F1->Shade(), shLight);
}

// ----------------------------------------------------------------- sub-properties

TEST_F(PropertyEditors, SetElementsAreBooleanSubPropertiesThatKeepTheOtherElements) {
  F1->SetShades({shLight});
  F2->SetShades({shDark});
  TProp Set = EditorFor({F1, F2}, "Shades");
  std::vector<TProp> Elements;
  Set->GetProperties([&](const TProp& P) { Elements.push_back(P); });
  ASSERT_EQ(Elements.size(), 4u);
  std::vector<std::string> Names;
  for (const TProp& E : Elements) Names.push_back(E->GetName());
  EXPECT_EQ(Names, (std::vector<std::string>{"shLight", "shMedium", "shDark", "shBlack"}));
  EXPECT_EQ(Elements[0]->GetValue(), "True");  // the first component's set
  EXPECT_FALSE(Elements[0]->AllEqual());
  EXPECT_TRUE(Elements[1]->AllEqual());
  EXPECT_EQ(ValuesOf(Elements[1]), (std::vector<std::string>{"False", "True"}));
  EXPECT_TRUE(Elements[1]->GetAttributes().Contains(paValueList));

  Elements[1]->SetValue("True");
  EXPECT_EQ(F1->Shades(), (TShades{shLight, shMedium}));
  EXPECT_EQ(F2->Shades(), (TShades{shMedium, shDark}));
  Elements[0]->SetValue("False");
  EXPECT_EQ(F1->Shades(), (TShades{shMedium}));
  EXPECT_EQ(F2->Shades(), (TShades{shMedium, shDark}));
  EXPECT_THROW(Elements[0]->SetValue("yes"), EPropertyError);
}

TEST_F(PropertyEditors, ClassPropertiesOfferThePublishedPropertiesOfTheSubObjects) {
  F1->Sub()->SetDepth(3);
  F2->Sub()->SetDepth(3);
  TProp Sub = EditorFor({F1, F2}, "Sub");
  std::vector<TProp> Children;
  Sub->GetProperties([&](const TProp& P) { Children.push_back(P); });
  ASSERT_EQ(Children.size(), 2u);
  EXPECT_EQ(Children[0]->GetName(), "Depth");
  EXPECT_EQ(Children[1]->GetName(), "Label");
  EXPECT_EQ(Children[0]->GetValue(), "3");
  EXPECT_EQ(Children[0]->GetComponent(1), F2->Sub());
  Children[1]->SetValue("deep");
  EXPECT_EQ(F1->Sub()->Label(), "deep");
  EXPECT_EQ(F2->Sub()->Label(), "deep");
}

// --------------------------------------------------------- component references

TEST_F(PropertyEditors, ComponentReferencesUseTheDesignersNames) {
  auto* Root2 = new TFixtureRoot(Application());
  Root2->SetName("Form2");
  auto* Outside = new TFixture(Root2);
  Outside->SetName("Outside1");
  new TOther(Root);  // not a candidate: another class
  auto* Designer = new TTestDesigner(Root);
  TInterfaceRef<IDesigner> Ref(Designer);

  TProp Buddy = EditorFor({F1, F2}, "Buddy", Designer);
  EXPECT_EQ(ValuesOf(Buddy), (std::vector<std::string>{"Fixture1", "Fixture2"}));
  Buddy->SetValue("Form2.Outside1");
  EXPECT_EQ(F1->Buddy(), Outside);
  EXPECT_EQ(F2->Buddy(), Outside);
  EXPECT_EQ(Buddy->GetValue(), "Form2.Outside1");
  EXPECT_EQ(Designer->ModifiedCount, 1);
  // The same names without a designer.
  EXPECT_EQ(EditorFor({F1}, "Buddy")->GetValue(), "Form2.Outside1");
  EditorFor({F1}, "Buddy")->SetValue("Fixture2");
  EXPECT_EQ(F1->Buddy(), F2);
  EditorFor({F1}, "Buddy")->SetValue("Form2.Outside1");
  EXPECT_EQ(F1->Buddy(), Outside);
  // The referenced component goes: the reference is cleared and shows empty.
  delete Outside;
  EXPECT_EQ(Buddy->GetValue(), "");
}

TEST_F(PropertyEditors, AnEditorOutlivesADestroyedComponent) {
  TProp Count = EditorFor({F1, F2}, "Count");
  delete F2;
  F2 = nullptr;
  EXPECT_EQ(Count->PropCount(), 1);
  EXPECT_TRUE(Count->HasInstance(F1));
  Count->SetValue("8");
  EXPECT_EQ(F1->Count(), 8);
  delete F1;
  F1 = nullptr;
  EXPECT_EQ(Count->PropCount(), 0);
  EXPECT_EQ(Count->GetValue(), "");
  EXPECT_EQ(Count->GetName(), "");
  EXPECT_THROW(Count->GetComponent(0), EListError);
}

TEST_F(PropertyEditors, AnEditorMadeByHandChecksItsEntries) {
  TPropertyEditorClass Class = PropertyEditorClass<TIntegerProperty>();
  EXPECT_THROW(Class->Create(nullptr, -1), EArgumentException);
  TProp Ref(Class->Create(nullptr, 2));
  auto* Editor = dynamic_cast<TPropertyEditor*>(Ref.Get());
  EXPECT_THROW(Editor->SetPropEntry(0, nullptr, GetPropInfo(F1, "Count")), EArgumentException);
  EXPECT_THROW(Editor->SetPropEntry(2, F1, GetPropInfo(F1, "Count")), EListError);
  EXPECT_EQ(Ref->GetName(), "");
  Editor->SetPropEntry(0, F1, GetPropInfo(F1, "Count"));
  EXPECT_EQ(Ref->GetValue(), "42");
  EXPECT_THROW(Ref->GetComponent(1), EPropertyError);
  Ref->SetValue("3");  // the entry that is set
  EXPECT_EQ(F1->Count(), 3);
  EXPECT_EQ(F2->Count(), 42);
}

// ---------------------------------------------------------------------- events

TEST_F(PropertyEditors, EventsAreTheDesignersHandlers) {
  auto* Designer = new TTestDesigner(Root);
  TInterfaceRef<IDesigner> Ref(Designer);
  Designer->CreateMethod("Existing", nullptr);
  TProp OnClick = EditorFor({F1, F2}, "OnClick", Designer);
  ASSERT_TRUE(OnClick);
  EXPECT_EQ(OnClick->GetValue(), "");
  EXPECT_EQ(ValuesOf(OnClick), std::vector<std::string>{"Existing"});

  OnClick->SetValue("Shared");
  ASSERT_TRUE(F1->OnClick);
  F1->OnClick(F1);
  F2->OnClick(F2);
  EXPECT_EQ(Designer->Fired, (std::vector<std::string>{"Shared", "Shared"}));
  EXPECT_EQ(OnClick->GetValue(), "Shared");
  EXPECT_TRUE(OnClick->AllEqual());

  OnClick->SetValue("");
  EXPECT_FALSE(F1->OnClick);
  EXPECT_FALSE(F2->OnClick);
  EXPECT_THROW(OnClick->SetValue("1bad"), EPropertyError);

  // A double click on an empty event makes a handler named after the component.
  TProp OnChange = EditorFor({F1}, "OnChange", Designer);
  OnChange->Edit();
  EXPECT_EQ(OnChange->GetValue(), "Fixture1Change");
  EXPECT_EQ(Designer->Log.back(), "ShowMethod Fixture1Change");

  // Without a designer an event cannot be bound, and says so.
  EXPECT_THROW(EditorFor({F1}, "OnClick")->SetValue("Handler"), EPropertyError);
  EXPECT_FALSE(F1->OnClick);
}

TEST_F(PropertyEditors, RevertAsksTheDesignerForEveryComponent) {
  auto* Designer = new TTestDesigner(Root);
  TInterfaceRef<IDesigner> Ref(Designer);
  EditorFor({F1, F2}, "Count", Designer)->Revert();
  EXPECT_EQ(Designer->Log, (std::vector<std::string>{"Revert Count", "Revert Count"}));
}

// ------------------------------------------------------- GetComponentProperties

TEST_F(PropertyEditors, TwoClassesShowOnlyTheirCommonPropertiesInSortedOrder) {
  auto* Other = new TOther(Root);
  Other->SetName("Other1");
  TDesignerSelections Mixed;
  Mixed.Add(F1);
  Mixed.Add(Other);
  // Ratio differs in type, Enabled and Shade belong to one class, Name is not multi-select.
  const std::vector<std::string> Common{"Caption", "Color", "Count", "Tag"};
  EXPECT_EQ(Names(&Mixed), Common);
  TDesignerSelections Reversed;
  Reversed.Add(Other);
  Reversed.Add(F1);
  EXPECT_EQ(Names(&Reversed), Common);

  GetComponentProperties(&Mixed, tkProperties, nullptr, [&](const TProp& P) {
    if (P->GetName() == "Caption") P->SetValue("Both");
  });
  EXPECT_EQ(F1->Caption(), "Both");
  EXPECT_EQ(Other->Caption(), "Both");
  EXPECT_EQ(Other->Writes, 1);
}

TEST_F(PropertyEditors, AButtonAndAnEditShareTheirCommonControlProperties) {
  TForm* Form = NewForm(200, 120);
  auto* Button = new TButton(Form);
  Button->SetParent(Form);
  Button->SetCaption("Go");
  auto* Edit = new TEdit(Form);
  Edit->SetParent(Form);
  Edit->SetBounds(10, 40, 100, 21);
  TDesignerSelections Both;
  Both.Add(Button);
  Both.Add(Edit);
  std::map<std::string, std::string> Editors;
  GetComponentProperties(&Both, tkAny, nullptr,
                         [&](const TProp& P) { Editors[P->GetName()] = dynamic_cast<TObject*>(P.Get())->ClassName(); });
  EXPECT_EQ(Editors["Left"], "TIntegerProperty");
  EXPECT_EQ(Editors["Font"], "TFontProperty");
  EXPECT_EQ(Editors["PopupMenu"], "TComponentProperty");
  EXPECT_EQ(Editors["Anchors"], "TSetProperty");
  EXPECT_EQ(Editors["Align"], "TEnumProperty");
  EXPECT_EQ(Editors["OnClick"], "TMethodProperty");
  // One class only (Caption, Default, Text, Color), or not for several components (Name).
  for (const char* Missing : {"Caption", "Default", "Text", "Color", "Name"})
    EXPECT_EQ(Editors.count(Missing), 0u) << Missing;

  GetComponentProperties(&Both, tkProperties, nullptr, [&](const TProp& P) {
    if (P->GetName() == "Left") P->SetValue("30");
  });
  EXPECT_EQ(Button->Left(), 30);
  EXPECT_EQ(Edit->Left(), 30);
  EXPECT_EQ(Edit->Top(), 40);

  // The font expands into the font's own published properties, written to every selected control.
  std::vector<std::string> FontProps;
  GetComponentProperties(&Both, tkAny, nullptr, [&](const TProp& P) {
    if (P->GetName() != "Font") return;
    P->GetProperties([&](const TProp& Sub) {
      FontProps.push_back(Sub->GetName());
      if (Sub->GetName() == "Style") Sub->SetValue("[fsBold]");
    });
  });
  EXPECT_EQ(FontProps, (std::vector<std::string>{"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
  EXPECT_EQ(Button->Font()->Style(), TFontStyles{fsBold});
  EXPECT_EQ(Edit->Font()->Style(), TFontStyles{fsBold});
}

TEST_F(PropertyEditors, KindsAndFilterChooseTheProperties) {
  TDesignerSelections One;
  One.Add(F1);
  EXPECT_EQ(Names(&One, tkMethods), (std::vector<std::string>{"OnChange", "OnClick"}));
  EXPECT_EQ(Names(&One, TTypeKinds{tkEnumeration}), (std::vector<std::string>{"Active", "Mid", "Shade"}));
  const auto All = Names(&One);
  EXPECT_TRUE(std::is_sorted(All.begin(), All.end(),
                             [](const std::string& A, const std::string& B) { return CompareText(A, B) < 0; }));
  EXPECT_EQ(std::count(All.begin(), All.end(), "OnClick"), 0);
  const auto Filtered = Names(&One, tkProperties, [](const TProp& P) { return P->GetName() != "Color"; });
  EXPECT_EQ(Filtered.size(), All.size() - 1);
  EXPECT_EQ(std::count(Filtered.begin(), Filtered.end(), "Color"), 0);

  TDesignerSelections Empty;
  EXPECT_TRUE(Names(&Empty).empty());
  EXPECT_TRUE(Names(nullptr).empty());
}

TEST_F(PropertyEditors, PlainPersistentObjectsCanBeSelectedToo) {
  TFixtureSub A, B;
  A.SetDepth(1);
  B.SetDepth(2);
  TDesignerSelections Subs;
  Subs.Add(&A);
  Subs.Add(&B);
  EXPECT_EQ(Names(&Subs), (std::vector<std::string>{"Depth", "Label"}));
  GetComponentProperties(&Subs, tkProperties, nullptr, [](const TProp& P) {
    if (P->GetName() != "Depth") return;
    EXPECT_EQ(P->GetValue(), "1");
    EXPECT_FALSE(P->AllEqual());
    P->SetValue("6");
  });
  EXPECT_EQ(A.Depth(), 6);
  EXPECT_EQ(B.Depth(), 6);
}

TEST_F(PropertyEditors, SelectionsCompareAndDropDestroyedComponents) {
  TInterfaceRef<TDesignerSelections> A(new TDesignerSelections());
  TInterfaceRef<TDesignerSelections> B(new TDesignerSelections());
  A->Add(F1);
  A->Add(F2);
  B->Add(F1);
  EXPECT_FALSE(A->Equals(B.Get()));
  B->Add(F2);
  EXPECT_TRUE(A->Equals(B.Get()));
  EXPECT_FALSE(A->Equals(nullptr));
  delete F1;
  F1 = nullptr;
  EXPECT_EQ(A->Count(), 1);
  EXPECT_EQ(A->Get(0), F2);
  EXPECT_THROW(A->Get(1), EListError);
  EXPECT_TRUE(A->Equals(B.Get()));
}

}  // namespace fixture
