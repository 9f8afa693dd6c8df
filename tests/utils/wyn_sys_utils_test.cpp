// Component naming, lookup and selection-list utilities on real components
// owned by real forms of the application.
#include "utils/wyn_sys_utils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/extctrls.h"
#include "platform/controls/stdctrls.h"
#include "platform/rtl/stringlist.h"
#include "support/window_fixture.h"
#include "utils/WynSysUtils.h"

using namespace platform;
using namespace vel;

namespace {

// Classes whose names exercise the stem rule of unique names.
class TT : public TComponent {
  VEL_CLASS(TT, TComponent)
  using TComponent::TComponent;
};
VEL_IMPLEMENT_CLASS(TT, "Tests");

class MyButton : public TComponent {
  VEL_CLASS(MyButton, TComponent)
  using TComponent::TComponent;
};
VEL_IMPLEMENT_CLASS(MyButton, "Tests");

class tLower : public TComponent {
  VEL_CLASS(tLower, TComponent)
  using TComponent::TComponent;
};
VEL_IMPLEMENT_CLASS(tLower, "Tests");

/// A component whose name is set as it is, past the identifier check, as a
/// stream reader or a subclass can do.
class TRawNamed : public TComponent {
 public:
  TRawNamed(TComponent* AOwner, const std::string& RawName) : TComponent(AOwner) { ChangeName(RawName); }
};

class SysUtils : public WindowFixture {
 protected:
  TForm* NamedForm(const std::string& Name) {
    TForm* F = NewForm(200, 100);
    F->SetName(Name);
    return F;
  }
  template <class T = TComponent>
  static T* Named(TComponent* Owner, const std::string& Name) {
    auto* C = new T(Owner);
    C->SetName(Name);
    return C;
  }
};

// ------------------------------------------------------------------ text helpers

TEST(SysUtilsText, MainStrIsTheTextBeforeTheFirstSeparator) {
  const std::pair<const char*, const char*> Cases[] = {
      {"Font (TFont)", "Font"}, {"[a,b]", ""},        {"Caption", "Caption"}, {"", ""},
      {"Items,More", "Items"},  {"Set{x}", "Set"},    {"a)b", "a"},           {"x]", "x"},
      {"a.b=c", "a.b=c"},       {"Tab\tx", "Tab\tx"},
  };
  for (const auto& [In, Out] : Cases) EXPECT_EQ(ExtractMainStrFromDetail(In), Out) << "for \"" << In << "\"";
}

TEST(SysUtilsText, PairValueIsTheTextAfterTheFirstEqualsSign) {
  const std::pair<const char*, const char*> Cases[] = {
      {"Caption=OK", "OK"}, {"a=b=c", "b=c"}, {"abc", "abc"}, {"=x", "x"}, {"x=", ""}, {"", ""},
  };
  for (const auto& [In, Out] : Cases)
    for (bool Flag : {false, true}) EXPECT_EQ(GetStrPairValue(In, Flag), Out) << "for \"" << In << "\"";
}

TEST(SysUtilsText, CharacterSets) {
  for (char C : std::string(" (),[]{}")) EXPECT_TRUE(SeperatorCharset.Contains(C)) << C;
  for (char C : std::string("aZ_0.=\t<")) EXPECT_FALSE(SeperatorCharset.Contains(C)) << C;
  for (char C : std::string("azAZ09_")) EXPECT_TRUE(IdentCharset.Contains(C)) << C;
  for (char C : std::string(" .-@[`{\x80\xff")) EXPECT_FALSE(IdentCharset.Contains(C)) << int(C);
}

// ----------------------------------------------------------------------- classes

TEST(SysUtilsClasses, CommonParentClassIsTheNearestSharedAncestor) {
  struct TCase {
    TClass A, B, Common;
  };
  const TCase Cases[] = {
      {TButton::StaticClass(), TEdit::StaticClass(), TCustomControl::StaticClass()},
      {TButton::StaticClass(), TButton::StaticClass(), TButton::StaticClass()},
      {TEdit::StaticClass(), TCustomEdit::StaticClass(), TCustomEdit::StaticClass()},
      {TCustomEdit::StaticClass(), TEdit::StaticClass(), TCustomEdit::StaticClass()},
      {TComboBox::StaticClass(), TMemo::StaticClass(), TTextControl::StaticClass()},
      {TLabel::StaticClass(), TButton::StaticClass(), TControl::StaticClass()},
      {TButton::StaticClass(), TComponent::StaticClass(), TComponent::StaticClass()},
      {TStringList::StaticClass(), TButton::StaticClass(), TPersistent::StaticClass()},
      {TList::StaticClass(), TButton::StaticClass(), TObject::StaticClass()},
      {nullptr, TButton::StaticClass(), nullptr},
      {TButton::StaticClass(), nullptr, nullptr},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << (C.A ? C.A->ClassName() : "none") << " / " << (C.B ? C.B->ClassName() : "none"));
    EXPECT_EQ(GetCommonParentClass(C.A, C.B), C.Common);
  }
}

TEST_F(SysUtils, ObjectsParentClassFoldsTheListAndSkipsEmptyEntries) {
  TForm* Form = NewForm(200, 100);
  auto* Button1 = new TButton(Form);
  auto* Button2 = new TButton(Form);
  auto* Edit = new TEdit(Form);
  auto* Label = new TLabel(Form);
  struct TCase {
    const char* Name;
    std::vector<TObject*> Items;
    TClass Expected;
  };
  const TCase Cases[] = {
      {"empty", {}, nullptr},
      {"button and edit", {Button1, Edit}, TCustomControl::StaticClass()},
      {"two buttons", {Button1, Button2}, TButton::StaticClass()},
      {"one edit", {Edit}, TEdit::StaticClass()},
      {"empty entry skipped", {Button1, nullptr, Button2}, TButton::StaticClass()},
      {"empty first entry", {nullptr, Button1}, nullptr},
      {"label widens to controls", {Button1, Edit, Label}, TControl::StaticClass()},
      {"the form itself", {Button1, Form}, TWinControl::StaticClass()},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TObjectList List(false);
    for (TObject* Obj : C.Items) List.Add(Obj);
    EXPECT_EQ(GetObjectsParentClass(&List), C.Expected);
  }
  EXPECT_EQ(GetObjectsParentClass(nullptr), nullptr);
}

// ------------------------------------------------------------------------- names

TEST_F(SysUtils, NameExistsLooksAtTheOwnerAndItsDirectComponentsOnly) {
  TForm* Form = NamedForm("Form1");
  auto* Panel = Named<TPanel>(Form, "Panel1");
  Named(Form, "Button1");
  Named(Panel, "Deep1");  // owned by the panel, one level down
  struct TCase {
    const char* Name;
    bool Exists;
  };
  const TCase Cases[] = {
      {"Button1", true}, {"BUTTON1", true}, {"button1", true},  {"Panel1", true},  {"Form1", true},
      {"form1", true},   {"Deep1", false},  {"Button2", false}, {"Button", false}, {"Button1 ", false},
  };
  for (const TCase& C : Cases) EXPECT_EQ(CompNameExists(C.Name, Form), C.Exists) << C.Name;
  EXPECT_FALSE(CompNameExists("Button1", nullptr));
  EXPECT_TRUE(CompNameExists("Deep1", Panel));
}

TEST_F(SysUtils, NameExistsForAComponentFindsAnotherBearerOrTheOwner) {
  TForm* Form = NamedForm("Form1");
  auto* First = Named(Form, "Dup");
  auto* Second = Named(Form, "Other");
  auto* Elsewhere = Named(NamedForm("Form2"), "dup");
  // A duplicate name enters the list through InsertComponent, which accepts it.
  Form->InsertComponent(Elsewhere);
  EXPECT_EQ(CompNameExists(First, Form, false), Elsewhere);
  EXPECT_EQ(CompNameExists(First, Form, true), First);
  EXPECT_EQ(CompNameExists(Elsewhere, Form, false), First);
  EXPECT_EQ(CompNameExists(Second, Form, false), nullptr);
  EXPECT_EQ(CompNameExists(Second, Form, true), Second);

  // The owner's own name counts whether or not the component itself may match.
  auto* Twin = new TComponent(nullptr);
  Twin->SetName("form1");
  EXPECT_EQ(CompNameExists(Twin, Form, false), Form);
  EXPECT_EQ(CompNameExists(Twin, Form, true), Form);
  delete Twin;

  EXPECT_EQ(CompNameExists(nullptr, Form, true), nullptr);
  EXPECT_EQ(CompNameExists(First, nullptr, true), nullptr);
}

TEST_F(SysUtils, UniqueNameTakesTheSmallestFreeNumber) {
  TForm* Form = NamedForm("Form1");
  EXPECT_EQ(GetUniqueName("Edit", Form), "Edit1");
  Named(Form, "Edit1");
  Named(Form, "edit3");
  EXPECT_EQ(GetUniqueName("Edit", Form), "Edit2");
  Named(Form, "Edit2");
  EXPECT_EQ(GetUniqueName("Edit", Form), "Edit4");
  EXPECT_EQ(GetUniqueName("Edit", nullptr), "Edit1");
  EXPECT_EQ(GetUniqueName("Form", Form), "Form2");
}

TEST_F(SysUtils, CompUniqueIdBuildsOnTheClassNameWithoutOneLeadingT) {
  struct TCase {
    const char* Name;
    TClass Class;
    std::vector<std::string> Taken;  // names of components owned by the owner
    std::string OwnerName;
    std::string Expected;
  };
  const TCase Cases[] = {
      {"first of its class", TButton::StaticClass(), {}, "Form1", "Button1"},
      {"names compare without case", TButton::StaticClass(), {"button1"}, "Form1", "Button2"},
      {"gaps are filled", TButton::StaticClass(), {"Button1", "Button3"}, "Form1", "Button2"},
      {"the owner's own name is taken", TEdit::StaticClass(), {}, "Edit1", "Edit2"},
      {"only one T goes", TT::StaticClass(), {}, "Form1", "T1"},
      {"no leading T", MyButton::StaticClass(), {"MyButton1"}, "Form1", "MyButton2"},
      {"lower-case t stays", tLower::StaticClass(), {}, "Form1", "tLower1"},
      {"other stems do not count", TLabel::StaticClass(), {"Button1", "Label2"}, "Form1", "Label1"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* Owner = new TComponent(nullptr);
    Owner->SetName(C.OwnerName);
    for (const std::string& N : C.Taken) Named(Owner, N);
    EXPECT_EQ(GetCompUniqueID(C.Class, Owner), C.Expected);
    delete Owner;
  }
  EXPECT_EQ(GetCompUniqueID(TButton::StaticClass(), nullptr), "Button1");
  EXPECT_EQ(GetCompUniqueID(nullptr, nullptr), "");
}

TEST_F(SysUtils, CompUniqueIdIgnoresComponentsOwnedDeeper) {
  TForm* Form = NamedForm("Form1");
  auto* Panel = Named<TPanel>(Form, "Panel1");
  Named(Panel, "Button1");
  EXPECT_EQ(GetCompUniqueID(TButton::StaticClass(), Form), "Button1");
  EXPECT_EQ(GetCompUniqueID(TButton::StaticClass(), Panel), "Button2");
}

// --------------------------------------------------------------- selection lists

TEST_F(SysUtils, SelectionListsCountAndKeepOnlyControlsInOrder) {
  TForm* Form = NewForm(200, 100);
  auto* Button = new TButton(Form);
  auto* Plain = new TComponent(Form);
  auto* Edit = new TEdit(Form);
  auto* Label = new TLabel(Form);
  auto* Menu = new TComponent(Form);

  TComponentList List;
  for (TComponent* C : std::vector<TComponent*>{Plain, Button, Menu, Edit, Plain, Label}) List.Add(C);
  EXPECT_EQ(ControlCountInCompList(&List), 3);
  RemoveComponentFromCompList(&List);
  ASSERT_EQ(List.Count(), 3);
  EXPECT_EQ(List[0], Button);
  EXPECT_EQ(List[1], Edit);
  EXPECT_EQ(List[2], Label);
  EXPECT_EQ(ControlCountInCompList(&List), 3);
  // The dropped components still exist and still belong to the form.
  EXPECT_EQ(Plain->Owner(), Form);
  EXPECT_EQ(Menu->Owner(), Form);

  TComponentList NoControls;
  NoControls.Add(Plain);
  EXPECT_EQ(ControlCountInCompList(&NoControls), 0);
  RemoveComponentFromCompList(&NoControls);
  EXPECT_EQ(NoControls.Count(), 0);
  EXPECT_EQ(ControlCountInCompList(nullptr), 0);
  RemoveComponentFromCompList(nullptr);
}

// ------------------------------------------------------------------ dotted names

TEST_F(SysUtils, DottedNameOfAComponent) {
  TForm* Form1 = NamedForm("Form1");
  TForm* Form2 = NamedForm("Form2");
  TForm* Unnamed = NewForm(100, 100);
  auto* Button = Named<TButton>(Form1, "Button1");
  auto* Blank = new TRawNamed(Form1, "  ");
  auto* Control = new TRawNamed(Form1, "\t\x01");
  auto* OnUnnamed = Named(Unnamed, "Edit1");
  auto* Holder = new TComponent(nullptr);
  auto* Held = Named(Holder, "Held1");
  auto* AppOwned = Named(Application(), "Service1");
  struct TCase {
    const char* Name;
    TComponent* Comp;
    TComponent* Root;
    std::string Expected;
  };
  const TCase Cases[] = {
      {"owned by the root", Button, Form1, "Button1"},
      {"owned by another form", Button, Form2, "Form1.Button1"},
      {"owned by a form, no root", Button, nullptr, "Form1.Button1"},
      {"blank name, owned by the root", Blank, Form1, "[NoName]"},
      {"blank name, owned by another form", Blank, Form2, "Form1.[NoName]"},
      {"control characters only", Control, Form2, "Form1.[NoName]"},
      {"form with an empty name", OnUnnamed, Form1, "Edit1"},
      {"a form owned by the application, another form as root", Form2, Form1, ""},
      {"a form, the application as root", Form2, Application(), "Form2"},
      {"owned by a non-form container", Held, Form1, ""},
      {"owned by the application", AppOwned, Form1, ""},
      {"none", nullptr, Form1, ""},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TComponent* Owner = C.Comp ? C.Comp->Owner() : nullptr;
    EXPECT_EQ(CompToNSName(C.Comp, Owner, C.Root), C.Expected);
    EXPECT_EQ(CompToNsCnName(C.Comp, Owner, C.Root), C.Expected);
  }
  // Owner and root both none: the name alone.
  auto* Orphan = Named(nullptr, "Orphan1");
  EXPECT_EQ(CompToNSName(Orphan, nullptr, nullptr), "Orphan1");
  EXPECT_EQ(CompToNsCnName(Orphan, nullptr, nullptr), "Orphan1");
  delete Orphan;
  delete Holder;
}

TEST_F(SysUtils, ComponentFromADottedName) {
  TForm* Form1 = NamedForm("Form1");
  TForm* Form2 = NamedForm("Form2");
  auto* Button = Named<TButton>(Form1, "Button1");
  auto* Other = Named<TButton>(Form2, "Button1");
  auto* AppOwned = Named(Application(), "Service1");
  struct TCase {
    const char* Path;
    TComponent* Root;
    TComponent* Expected;
  };
  const TCase Cases[] = {
      {"Form1.Button1", nullptr, Button},
      {"form2.BUTTON1", nullptr, Other},
      {"Button1", Form1, Button},
      {"Button1", Form2, Other},
      {"Button1", nullptr, nullptr},  // not owned by the application
      {"Form1", nullptr, Form1},
      {"Service1", nullptr, AppOwned},
      {"Nowhere.Service1", nullptr, AppOwned},  // an unknown head falls back to the application
      {"Nowhere.Button1", nullptr, nullptr},
      {"Form1.Service1", nullptr, nullptr},
      {"Form1.Nowhere", nullptr, nullptr},
      {"Form2.Form1.Button1", nullptr, Button},  // only the last segment is looked up inside
      {"Form1.Button1", Form2, Button},          // a dotted path ignores the root
      {"", nullptr, nullptr},
      {"", Form1, nullptr},
      {".", nullptr, nullptr},
      {"Form1.", nullptr, nullptr},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << "\"" << C.Path << "\" in " << (C.Root ? C.Root->Name() : "none"));
    EXPECT_EQ(NSNameToComp(C.Path, C.Root), C.Expected);
    EXPECT_EQ(NsCnNameToComp(C.Path, C.Root), C.Expected);
  }
}

TEST_F(SysUtils, DottedNamesConvertBetweenFlavours) {
  TForm* Form1 = NamedForm("Form1");
  TForm* Form2 = NamedForm("Form2");
  Named<TButton>(Form1, "Button1");
  Named(Application(), "Service1");
  struct TCase {
    const char* Path;
    TComponent* Root;
    std::string Expected;
  };
  const TCase Cases[] = {
      {"Form1.Button1", Form2, "Form1.Button1"},
      {"form1.button1", Form2, "Form1.Button1"},  // the component's own spelling comes back
      {"Form1.Button1", Form1, "Button1"},
      {"Button1", Form1, "Button1"},
      {"Button1", Form2, ""},
      {"Service1", nullptr, ""},  // owned by the application, which is no form
      {"Form2", Form1, ""},
      {"Nowhere", nullptr, ""},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Path);
    EXPECT_EQ(NsNameToNsCnName(C.Path, C.Root), C.Expected);
    EXPECT_EQ(NsCnNameToNsName(C.Path, C.Root), C.Expected);
  }
}

TEST_F(SysUtils, FormByName) {
  TForm* Form1 = NamedForm("Form1");
  TForm* Form2 = NamedForm("Form2");
  auto* Panel = Named<TPanel>(Form1, "Panel1");
  Named(Application(), "Service1");
  EXPECT_EQ(CnNameToForm("Form1"), Form1);
  EXPECT_EQ(CnNameToForm("FORM2"), Form2);
  EXPECT_EQ(CnNameToForm("Service1"), nullptr);  // not a form
  EXPECT_EQ(CnNameToForm("Panel1"), nullptr);    // not owned by the application
  EXPECT_EQ(CnNameToForm("Form3"), nullptr);
  EXPECT_EQ(CnNameToForm(""), nullptr);
  (void)Panel;
}

// ---------------------------------------------------------------------- cloning

TEST_F(SysUtils, CloneCopiesPublishedStateBetweenInstancesOfOneClass) {
  TForm* Form = NamedForm("Form1");
  auto* Source = Named<TPanel>(Form, "Source");
  Source->SetParent(Form);
  Source->SetBounds(5, 6, 150, 40);
  Source->SetCaption("Hello");
  Source->SetBevelOuter(bvLowered);
  Source->SetColor(clRed);
  Source->SetTag(7);
  // A child the panel owns travels with it.
  auto* Child = Named<TButton>(Source, "Inner");
  Child->SetParent(Source);
  Child->SetCaption("Go");
  auto* Dest = Named<TPanel>(Form, "Dest");
  Dest->SetParent(Form);

  CloneComponent(Source, Dest);

  EXPECT_EQ(Dest->Name(), "Dest");  // the name stays unique within the owner
  EXPECT_EQ(Dest->Caption(), "Hello");
  EXPECT_EQ(Dest->BevelOuter(), bvLowered);
  EXPECT_EQ(Dest->Color(), clRed);
  EXPECT_EQ(Dest->Tag(), 7);
  EXPECT_EQ(Dest->Width(), 150);
  EXPECT_EQ(Dest->Height(), 40);
  auto* Copy = dynamic_cast<TButton*>(Dest->FindComponent("Inner"));
  ASSERT_NE(Copy, nullptr);
  EXPECT_NE(Copy, Child);
  EXPECT_EQ(Copy->Caption(), "Go");
  EXPECT_EQ(Copy->Parent(), Dest);
  // The source is untouched.
  EXPECT_EQ(Source->Caption(), "Hello");
  EXPECT_EQ(Source->ComponentCount(), 1);
}

TEST_F(SysUtils, CloneBetweenDifferentClassesOrWithoutAnInstanceChangesNothing) {
  TForm* Form = NamedForm("Form1");
  auto* Source = Named<TPanel>(Form, "Source");
  Source->SetCaption("Hello");
  Source->SetTag(7);
  auto* Button = Named<TButton>(Form, "Button1");
  Button->SetCaption("Keep");
  // TPanel derives from TCustomPanel: related classes are still different classes.
  auto* Custom = Named<TCustomPanel>(Form, "Custom1");
  TComponent* const Targets[] = {Button, Custom};
  for (TComponent* Dest : Targets) {
    SCOPED_TRACE(Dest->Name());
    CloneComponent(Source, Dest);
    EXPECT_EQ(Dest->Tag(), 0);
    CloneComponent(Dest, Source);
    EXPECT_EQ(Source->Caption(), "Hello");
    EXPECT_EQ(Source->Tag(), 7);
  }
  EXPECT_EQ(Button->Caption(), "Keep");
  CloneComponent(nullptr, Source);
  CloneComponent(Source, nullptr);
  EXPECT_EQ(Source->Caption(), "Hello");
}

}  // namespace
