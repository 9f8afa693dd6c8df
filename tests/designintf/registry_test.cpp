// The registries: component editors, property editors, palette pages and
// action categories; and the component-editor base classes.
#include <gtest/gtest.h>

#include "designintf/fixtures.h"
#include "designintf/test_designer.h"
#include "platform/designintf/designintf.h"
#include "platform/designintf/propedit.h"

namespace fixture {

// ------------------------------------------------------------------ fixtures

// Two small hierarchies, so that each registration order has classes of its own.
class TBaseA : public TComponent {
  VEL_CLASS(TBaseA, TComponent)
  using TComponent::TComponent;
};
class TDerivedA : public TBaseA {
  VEL_CLASS(TDerivedA, TBaseA)
  using TBaseA::TBaseA;
};
class TBaseB : public TComponent {
  VEL_CLASS(TBaseB, TComponent)
  using TComponent::TComponent;
};
class TDerivedB : public TBaseB {
  VEL_CLASS(TDerivedB, TBaseB)
  using TBaseB::TBaseB;
};
class TSameClass : public TComponent {
  VEL_CLASS(TSameClass, TComponent)
  using TComponent::TComponent;
};
class TUnregistered : public TComponent {
  VEL_CLASS(TUnregistered, TComponent)
  using TComponent::TComponent;
};
class TVerbHost : public TComponent {
  VEL_CLASS(TVerbHost, TComponent)
  using TComponent::TComponent;
};
class TActionOne : public TComponent {
  VEL_CLASS(TActionOne, TComponent)
  using TComponent::TComponent;
};
class TActionTwo : public TComponent {
  VEL_CLASS(TActionTwo, TComponent)
  using TComponent::TComponent;
};

// A component editor that names itself in its only verb.
#define FIXTURE_NAMED_EDITOR(Name)                            \
  class Name : public TComponentEditor {                      \
    VEL_CLASS(Name, TComponentEditor)                         \
    using TComponentEditor::TComponentEditor;                 \
    int GetVerbCount() override { return 1; }                 \
    std::string GetVerb(int) override { return ClassName(); } \
  };                                                          \
  VEL_IMPLEMENT_CLASS(Name, "Fixtures")

FIXTURE_NAMED_EDITOR(TBaseEditor);
FIXTURE_NAMED_EDITOR(TDerivedEditor);
FIXTURE_NAMED_EDITOR(TFirstEditor);
FIXTURE_NAMED_EDITOR(TSecondEditor);

// Three verbs; executing verb i sets the component's Tag to 100 + i.
class TVerbEditor : public TComponentEditor {
  VEL_CLASS(TVerbEditor, TComponentEditor)
  using TComponentEditor::TComponentEditor;
  static inline int Alive = 0;
  void AfterConstruction() override { ++Alive; }
  ~TVerbEditor() override { --Alive; }
  int GetVerbCount() override { return 3; }
  std::string GetVerb(int Index) override { return "Verb" + std::to_string(Index); }
  void ExecuteVerb(int Index) override { Component()->SetTag(100 + Index); }
};

VEL_IMPLEMENT_CLASS(TBaseA, "Fixtures");
VEL_IMPLEMENT_CLASS(TDerivedA, "Fixtures");
VEL_IMPLEMENT_CLASS(TBaseB, "Fixtures");
VEL_IMPLEMENT_CLASS(TDerivedB, "Fixtures");
VEL_IMPLEMENT_CLASS(TSameClass, "Fixtures");
VEL_IMPLEMENT_CLASS(TUnregistered, "Fixtures");
VEL_IMPLEMENT_CLASS(TVerbHost, "Fixtures");
VEL_IMPLEMENT_CLASS(TActionOne, "Fixtures");
VEL_IMPLEMENT_CLASS(TActionTwo, "Fixtures");
VEL_IMPLEMENT_CLASS(TVerbEditor, "Fixtures");

std::string EditorName(TComponent* C) {
  auto E = GetComponentEditor(C, nullptr);
  return E ? E->GetVerb(0) : "(none)";
}

// ---------------------------------------------------------- component editors

TEST(ComponentEditorRegistry, MostDerivedRegisteredClassWinsInEitherOrder) {
  // Base first, then derived.
  RegisterComponentEditor(TBaseA::StaticClass(), ComponentEditorClass<TBaseEditor>());
  RegisterComponentEditor(TDerivedA::StaticClass(), ComponentEditorClass<TDerivedEditor>());
  // Derived first, then base.
  RegisterComponentEditor(TDerivedB::StaticClass(), ComponentEditorClass<TDerivedEditor>());
  RegisterComponentEditor(TBaseB::StaticClass(), ComponentEditorClass<TBaseEditor>());

  TBaseA BaseA(nullptr);
  TDerivedA DerivedA(nullptr);
  TBaseB BaseB(nullptr);
  TDerivedB DerivedB(nullptr);
  EXPECT_EQ(EditorName(&DerivedA), "TDerivedEditor");
  EXPECT_EQ(EditorName(&BaseA), "TBaseEditor");
  EXPECT_EQ(EditorName(&DerivedB), "TDerivedEditor");
  EXPECT_EQ(EditorName(&BaseB), "TBaseEditor");
}

TEST(ComponentEditorRegistry, LaterRegistrationForTheSameClassWins) {
  RegisterComponentEditor(TSameClass::StaticClass(), ComponentEditorClass<TFirstEditor>());
  TSameClass C(nullptr);
  EXPECT_EQ(EditorName(&C), "TFirstEditor");
  RegisterComponentEditor(TSameClass::StaticClass(), ComponentEditorClass<TSecondEditor>());
  EXPECT_EQ(EditorName(&C), "TSecondEditor");
}

TEST(ComponentEditorRegistry, NoEditorWithoutRegistration) {
  TUnregistered C(nullptr);
  EXPECT_FALSE(GetComponentEditor(&C, nullptr));
  EXPECT_FALSE(GetComponentEditor(nullptr, nullptr));
}

TEST(ComponentEditorRegistry, RejectsWhatIsNoComponentOrEditorClass) {
  EXPECT_THROW(RegisterComponentEditor(nullptr, ComponentEditorClass<TFirstEditor>()), EArgumentException);
  EXPECT_THROW(RegisterComponentEditor(TFixtureSub::StaticClass(), ComponentEditorClass<TFirstEditor>()),
               EArgumentException);
  EXPECT_THROW(RegisterComponentEditor(TUnregistered::StaticClass(), nullptr), EArgumentException);
  TUnregistered C(nullptr);
  EXPECT_FALSE(GetComponentEditor(&C, nullptr));
}

TEST(ComponentEditorRegistry, EditorCarriesComponentAndDesignerAndLivesForOneOperation) {
  RegisterComponentEditor(TVerbHost::StaticClass(), ComponentEditorClass<TVerbEditor>());
  TVerbHost Host(nullptr);
  TInterfaceRef<IDesigner> Designer(new TTestDesigner());
  {
    auto Editor = GetComponentEditor(&Host, Designer.Get());
    ASSERT_TRUE(Editor);
    EXPECT_EQ(TVerbEditor::Alive, 1);
    EXPECT_EQ(Editor->GetComponent(), &Host);
    EXPECT_EQ(Editor->GetDesigner(), Designer);
    ASSERT_EQ(Editor->GetVerbCount(), 3);
    EXPECT_EQ(Editor->GetVerb(2), "Verb2");
    Editor->ExecuteVerb(2);
    EXPECT_EQ(Host.Tag(), 102);
    // A double click runs the first verb.
    Editor->Edit();
    EXPECT_EQ(Host.Tag(), 100);
    EXPECT_FALSE(Editor->IsInInlined());
  }
  EXPECT_EQ(TVerbEditor::Alive, 0);
  // The editor's reference to the designer went with it.
  EXPECT_EQ(static_cast<TTestDesigner*>(Designer.Get())->RefCount(), 1);
}

TEST(ComponentEditorRegistry, AComponentOfAnInlinedRootIsInInlined) {
  TVerbHost Root(nullptr);
  auto* Child = new TVerbHost(&Root);
  TInterfaceRef<IComponentEditor> Editor(ComponentEditorClass<TVerbEditor>()->Create(Child, nullptr));
  EXPECT_FALSE(Editor->IsInInlined());
  Root.SetStreamingState(csInline, true);
  EXPECT_TRUE(Editor->IsInInlined());
}

TEST(ComponentEditorRegistry, TheDesignerEditsThroughTheRegisteredEditor) {
  RegisterComponentEditor(TVerbHost::StaticClass(), ComponentEditorClass<TVerbEditor>());
  TVerbHost Host(nullptr);
  TInterfaceRef<IDesigner> Designer(new TTestDesigner());
  Designer->Edit(&Host);
  EXPECT_EQ(Host.Tag(), 100);
}

TEST(ComponentEditorRegistry, BaseEditorOffersNothing) {
  TVerbHost Host(nullptr);
  TInterfaceRef<IComponentEditor> Editor(ComponentEditorClass<TComponentEditor>()->Create(&Host, nullptr));
  EXPECT_EQ(Editor->GetVerbCount(), 0);
  Editor->Edit();  // no verb: nothing happens
  EXPECT_EQ(Host.Tag(), 0);
  EXPECT_FALSE(Editor->GetDesigner());
}

// -------------------------------------------------------------- TDefaultEditor

TEST(DefaultEditor, DoubleClickCreatesAndShowsThePreferredEventHandler) {
  TFixtureRoot Root(nullptr);
  Root.SetName("Form1");
  auto* F = new TFixture(&Root);
  F->SetName("Fixture1");
  auto* Designer = new TTestDesigner(&Root);
  TInterfaceRef<IDesigner> Ref(Designer);
  TInterfaceRef<IComponentEditor> Editor(ComponentEditorClass<TDefaultEditor>()->Create(F, Designer));

  Editor->Edit();
  // OnChange is preferred over OnClick.
  ASSERT_TRUE(F->OnChange);
  EXPECT_FALSE(F->OnClick);
  ASSERT_EQ(Designer->Log.size(), 1u);
  EXPECT_EQ(Designer->Log[0], "ShowMethod Fixture1Change");
  F->OnChange(F);
  EXPECT_EQ(Designer->Fired, std::vector<std::string>{"Fixture1Change"});

  // A second double click shows the existing handler without making another.
  Editor->Edit();
  EXPECT_EQ(Designer->Methods.size(), 1u);
  EXPECT_EQ(Designer->Log.back(), "ShowMethod Fixture1Change");
}

TEST(DefaultEditor, WithoutDesignerNothingHappens) {
  TFixture F(nullptr);
  TInterfaceRef<IComponentEditor> Editor(ComponentEditorClass<TDefaultEditor>()->Create(&F, nullptr));
  Editor->Edit();
  EXPECT_FALSE(F.OnChange);
  EXPECT_FALSE(F.OnClick);
}

// ------------------------------------------------- palette pages and actions

TEST(Registration, PagesListTheirComponentsInOrder) {
  RegisterComponents("Fixture Page", {TFixture::StaticClass(), TOther::StaticClass()});
  RegisterComponents("fixture page", {TFixtureRoot::StaticClass(), TFixture::StaticClass()});
  RegisterComponents("Second Page", {TOther::StaticClass()});

  auto Pages = GetComponentPages();
  EXPECT_EQ(std::count(Pages.begin(), Pages.end(), "Fixture Page"), 1);
  EXPECT_EQ(std::count(Pages.begin(), Pages.end(), "fixture page"), 0);
  auto First = std::find(Pages.begin(), Pages.end(), "Fixture Page");
  auto Second = std::find(Pages.begin(), Pages.end(), "Second Page");
  EXPECT_LT(First, Second);
  EXPECT_EQ(GetPageComponents("FIXTURE PAGE"),
            (std::vector<TClass>{TFixture::StaticClass(), TOther::StaticClass(), TFixtureRoot::StaticClass()}));
  EXPECT_EQ(GetPageComponents("Second Page"), std::vector<TClass>{TOther::StaticClass()});
  EXPECT_TRUE(GetPageComponents("No Such Page").empty());
  // Registered components can be streamed by class name.
  EXPECT_EQ(GetClass("TFixtureRoot"), TFixtureRoot::StaticClass());
}

TEST(Registration, CategoriesListTheirActionsAndResource) {
  RegisterActions("Fixture Actions", {TActionOne::StaticClass(), TActionTwo::StaticClass()}, nullptr);
  EXPECT_EQ(GetCategoryActions("Fixture Actions"),
            (std::vector<TClass>{TActionOne::StaticClass(), TActionTwo::StaticClass()}));
  EXPECT_EQ(GetCategoryResource("Fixture Actions"), nullptr);
  RegisterActions("Fixture Actions", {TActionTwo::StaticClass()}, TFixtureRoot::StaticClass());
  EXPECT_EQ(GetCategoryActions("Fixture Actions").size(), 2u);
  EXPECT_EQ(GetCategoryResource("Fixture Actions"), TFixtureRoot::StaticClass());
  auto Categories = GetActionCategories();
  EXPECT_EQ(std::count(Categories.begin(), Categories.end(), "Fixture Actions"), 1);
  EXPECT_TRUE(GetCategoryActions("None").empty());
}

TEST(Registration, BadInputRegistersNothing) {
  EXPECT_THROW(RegisterComponents("", {TFixture::StaticClass()}), EArgumentException);
  EXPECT_THROW(RegisterComponents("Bad Page", {TFixture::StaticClass(), nullptr}), EArgumentException);
  EXPECT_THROW(RegisterComponents("Bad Page", {TFixtureSub::StaticClass()}), EArgumentException);
  EXPECT_THROW(RegisterActions("Bad Category", {TActionOne::StaticClass()}, TFixtureSub::StaticClass()),
               EArgumentException);
  EXPECT_THROW(RegisterActions("", {TActionOne::StaticClass()}, nullptr), EArgumentException);
  auto Pages = GetComponentPages();
  EXPECT_EQ(std::find(Pages.begin(), Pages.end(), "Bad Page"), Pages.end());
  auto Categories = GetActionCategories();
  EXPECT_EQ(std::find(Categories.begin(), Categories.end(), "Bad Category"), Categories.end());
}

// ---------------------------------------------------- property-editor registry

class TRegA : public TComponent {
  VEL_CLASS(TRegA, TComponent)
  using TComponent::TComponent;
  TColor FColor = clBlack;
  int FCount = 0, FLimit = 0;
  TShade FTone = shLight;
  std::string FSecret, FOpen;
  TFont FFont;
  TFixtureSub FSub;
  TFont* Font() const { return const_cast<TFont*>(&FFont); }
  void SetFont(TFont* V) { FFont.Assign(V); }
  TFixtureSub* Sub() const { return const_cast<TFixtureSub*>(&FSub); }
  void SetSub(TFixtureSub* V) { FSub.Assign(V); }
  VEL_PUBLISH(P) {
    P.Property("Color", &TRegA::FColor, &TRegA::FColor);
    P.Property("Count", &TRegA::FCount, &TRegA::FCount);
    P.Property("Limit", &TRegA::FLimit, &TRegA::FLimit);
    P.Property("Tone", &TRegA::FTone, &TRegA::FTone);
    P.Property("Secret", &TRegA::FSecret, &TRegA::FSecret);
    P.Property("Open", &TRegA::FOpen, &TRegA::FOpen);
    P.Property("Font", &TRegA::Font, &TRegA::SetFont);
    P.Property("Sub", &TRegA::Sub, &TRegA::SetSub);
  }
};
class TRegB : public TRegA {
  VEL_CLASS(TRegB, TRegA)
  using TRegA::TRegA;
};
VEL_IMPLEMENT_CLASS(TRegA, "Fixtures");
VEL_IMPLEMENT_CLASS(TRegB, "Fixtures");

#define FIXTURE_PROPERTY_EDITOR(Name, Base) \
  class Name : public Base {                \
    VEL_CLASS(Name, Base)                   \
    using Base::Base;                       \
  };                                        \
  VEL_IMPLEMENT_CLASS(Name, "Fixtures")

FIXTURE_PROPERTY_EDITOR(TColorForA, TColorProperty);
FIXTURE_PROPERTY_EDITOR(TColorForB, TColorProperty);
FIXTURE_PROPERTY_EDITOR(TNamedCount, TIntegerProperty);
FIXTURE_PROPERTY_EDITOR(TAnyInteger, TIntegerProperty);
FIXTURE_PROPERTY_EDITOR(TAnyPersistent, TClassProperty);
FIXTURE_PROPERTY_EDITOR(TFontOnly, TClassProperty);
FIXTURE_PROPERTY_EDITOR(TFirstTone, TEnumProperty);
FIXTURE_PROPERTY_EDITOR(TSecondTone, TEnumProperty);

std::string EditorOf(TClass ObjectClass, const char* Prop) {
  TPropertyEditorClass E = GetEditorClass(GetPropInfo(ObjectClass, Prop), ObjectClass);
  return E ? E->ClassName() : "(none)";
}

TEST(PropertyEditorRegistry, FitsByTypeComponentClassAndName) {
  RegisterPropertyEditor(TypeInfo<TColor>(), TRegB::StaticClass(), "", PropertyEditorClass<TColorForB>());
  RegisterPropertyEditor(TypeInfo<TColor>(), TRegA::StaticClass(), "", PropertyEditorClass<TColorForA>());
  RegisterPropertyEditor(TypeInfo<int>(), TRegA::StaticClass(), "Count", PropertyEditorClass<TNamedCount>());
  RegisterPropertyEditor(TypeInfo<int>(), TRegA::StaticClass(), "", PropertyEditorClass<TAnyInteger>());
  RegisterPropertyEditor(TypeInfo<TFont*>(), TRegA::StaticClass(), "", PropertyEditorClass<TFontOnly>());
  RegisterPropertyEditor(TypeInfo<TPersistent*>(), TRegA::StaticClass(), "", PropertyEditorClass<TAnyPersistent>());

  struct TCase {
    TClass Class;
    const char* Prop;
    const char* Editor;
  } Cases[] = {
      // The most derived component class wins, whatever the order of registration.
      {TRegB::StaticClass(), "Color", "TColorForB"},
      {TRegA::StaticClass(), "Color", "TColorForA"},
      // A registration with the property's name beats one without.
      {TRegA::StaticClass(), "Count", "TNamedCount"},
      {TRegA::StaticClass(), "Limit", "TAnyInteger"},
      // A class type serves descendant classes; the most derived property class wins.
      {TRegA::StaticClass(), "Font", "TFontOnly"},
      {TRegA::StaticClass(), "Sub", "TAnyPersistent"},
      // Objects of other classes keep the standard editors.
      {TFixture::StaticClass(), "Color", "TColorProperty"},
      {TFixture::StaticClass(), "Count", "TIntegerProperty"},
      {TFixture::StaticClass(), "Font", "TFontProperty"},
      {TFixture::StaticClass(), "Sub", "TClassProperty"},
  };
  for (const TCase& C : Cases) EXPECT_EQ(EditorOf(C.Class, C.Prop), C.Editor) << C.Class->ClassName() << "." << C.Prop;
}

TEST(PropertyEditorRegistry, LaterRegistrationWinsAndNoEditorHidesTheProperty) {
  RegisterPropertyEditor(TypeInfo<TShade>(), TRegA::StaticClass(), "", PropertyEditorClass<TFirstTone>());
  EXPECT_EQ(EditorOf(TRegA::StaticClass(), "Tone"), "TFirstTone");
  RegisterPropertyEditor(TypeInfo<TShade>(), TRegA::StaticClass(), "", PropertyEditorClass<TSecondTone>());
  EXPECT_EQ(EditorOf(TRegA::StaticClass(), "Tone"), "TSecondTone");

  RegisterPropertyEditor(TypeInfo<std::string>(), TRegA::StaticClass(), "Secret", nullptr);
  EXPECT_EQ(EditorOf(TRegA::StaticClass(), "Secret"), "(none)");
  EXPECT_EQ(EditorOf(TRegA::StaticClass(), "Open"), "TStringProperty");
  TRegA A(nullptr);
  TDesignerSelections Selection;
  Selection.Add(&A);
  std::vector<std::string> Names;
  GetComponentProperties(&Selection, tkProperties, nullptr,
                         [&](const TInterfaceRef<IProperty>& P) { Names.push_back(P->GetName()); });
  EXPECT_EQ(std::count(Names.begin(), Names.end(), "Secret"), 0);
  EXPECT_EQ(std::count(Names.begin(), Names.end(), "Open"), 1);

  EXPECT_THROW(RegisterPropertyEditor(nullptr, nullptr, "", PropertyEditorClass<TSecondTone>()), EArgumentException);
}

}  // namespace fixture
