// The attribute-editor registry: which editor a component gets, how it is
// made, and what bad registrations do.
#include "console/attrib_editors.h"

#include <gtest/gtest.h>

#include <string>

#include "console/VelAttribEditors.h"
#include "designintf/test_designer.h"
#include "platform/rtl/sysutils.h"

using namespace platform;
using namespace vel;

namespace {

// Each test works on its own classes: the registry lives as long as the process.
#define TEST_COMPONENT(Name, Parent) \
  class Name : public Parent {       \
    VEL_CLASS(Name, Parent)          \
    using Parent::Parent;            \
  };                                 \
  VEL_IMPLEMENT_CLASS(Name, "Tests")

TEST_COMPONENT(TBaseFirst, TComponent);
TEST_COMPONENT(TDerivedFirst, TBaseFirst);
TEST_COMPONENT(TBaseLater, TComponent);
TEST_COMPONENT(TDerivedLater, TBaseLater);
TEST_COMPONENT(TTwice, TComponent);
TEST_COMPONENT(TWrongKind, TComponent);
TEST_COMPONENT(TMade, TComponent);
TEST_COMPONENT(TUnregistered, TComponent);

/// An attribute editor that names itself in its one verb.
template <int Id>
class TNamedEditor : public TVelCompAttribEditor {
  VEL_CLASS(TNamedEditor, TVelCompAttribEditor)
  using TVelCompAttribEditor::TVelCompAttribEditor;
  int GetVerbCount() override { return 1; }
  std::string GetVerb(int) override { return "Editor" + std::to_string(Id); }
};
template <int Id>
constinit const TClassRec TNamedEditor<Id>::ClassRecord = MakeClassRec<TNamedEditor<Id>>("TNamedEditor", "Tests");

std::string VerbOf(TComponent* C) {
  TInterfaceRef<IVelAttribEditor> Editor = GetVelComponentAttribEditor(C, nullptr);
  return Editor ? Editor->GetVerb(0) : std::string("none");
}

TEST(AttribEditors, TheMostDerivedRegisteredClassWinsWhateverTheOrderOfRegistration) {
  // Base class registered first in one family, last in the other.
  RegisterVelComponentAttribEditor(TBaseFirst::StaticClass(), ComponentEditorClass<TNamedEditor<1>>());
  RegisterVelComponentAttribEditor(TDerivedFirst::StaticClass(), ComponentEditorClass<TNamedEditor<2>>());
  RegisterVelComponentAttribEditor(TDerivedLater::StaticClass(), ComponentEditorClass<TNamedEditor<3>>());
  RegisterVelComponentAttribEditor(TBaseLater::StaticClass(), ComponentEditorClass<TNamedEditor<4>>());
  TBaseFirst BaseFirst(nullptr);
  TDerivedFirst DerivedFirst(nullptr);
  TBaseLater BaseLater(nullptr);
  TDerivedLater DerivedLater(nullptr);
  const std::pair<TComponent*, const char*> Cases[] = {
      {&BaseFirst, "Editor1"},
      {&DerivedFirst, "Editor2"},
      {&BaseLater, "Editor4"},
      {&DerivedLater, "Editor3"},
  };
  for (const auto& [Component, Verb] : Cases) EXPECT_EQ(VerbOf(Component), Verb) << Component->ClassName();
}

TEST(AttribEditors, TheLaterRegistrationForOneClassWins) {
  TTwice C(nullptr);
  RegisterVelComponentAttribEditor(TTwice::StaticClass(), ComponentEditorClass<TNamedEditor<5>>());
  EXPECT_EQ(VerbOf(&C), "Editor5");
  RegisterVelComponentAttribEditor(TTwice::StaticClass(), ComponentEditorClass<TNamedEditor<6>>());
  EXPECT_EQ(VerbOf(&C), "Editor6");
}

TEST(AttribEditors, NoEditorWithoutAFittingRegistrationOrWithoutAComponent) {
  TUnregistered C(nullptr);
  EXPECT_FALSE(GetVelComponentAttribEditor(&C, nullptr));
  EXPECT_FALSE(GetVelComponentAttribEditor(nullptr, nullptr));
}

TEST(AttribEditors, TheEditorIsMadeForTheComponentAndTheDesignerWithItsDefaults) {
  RegisterVelComponentAttribEditor(TMade::StaticClass(), ComponentEditorClass<TVelCompAttribEditor>());
  TMade C(nullptr);
  TInterfaceRef<IDesigner> Designer(new fixture::TTestDesigner(&C));
  TInterfaceRef<IVelAttribEditor> Editor = GetVelComponentAttribEditor(&C, Designer.Get());
  ASSERT_TRUE(Editor);
  EXPECT_EQ(Editor->GetComponent(), &C);
  EXPECT_EQ(Editor->GetDesigner(), Designer);
  EXPECT_TRUE(Editor->GetDefaultEvoke());
  EXPECT_EQ(Editor->GetVerbCount(), 0);
  // The hooks are for descendants; the base's run without effect.
  Editor->LaunchPropertyDialog();
  Editor->StartEmbedEdit();
  Editor->EndEmbedEdit();
  // Each lookup makes a new editor.
  EXPECT_NE(GetVelComponentAttribEditor(&C, nullptr).Get(), Editor.Get());
}

TEST(AttribEditors, AnEditorClassOfAnotherKindFailsAtLookup) {
  RegisterVelComponentAttribEditor(TWrongKind::StaticClass(), ComponentEditorClass<TComponentEditor>());
  TWrongKind C(nullptr);
  EXPECT_THROW(GetVelComponentAttribEditor(&C, nullptr), EInvalidCast);
}

TEST(AttribEditors, RegistrationNeedsAComponentClassAndAnEditorClass) {
  TUnregistered C(nullptr);
  EXPECT_THROW(RegisterVelComponentAttribEditor(nullptr, ComponentEditorClass<TVelCompAttribEditor>()),
               EArgumentException);
  EXPECT_THROW(
      RegisterVelComponentAttribEditor(TPersistent::StaticClass(), ComponentEditorClass<TVelCompAttribEditor>()),
      EArgumentException);
  EXPECT_THROW(RegisterVelComponentAttribEditor(TUnregistered::StaticClass(), nullptr), EArgumentException);
  // Nothing was registered by the failed calls.
  EXPECT_FALSE(GetVelComponentAttribEditor(&C, nullptr));
}

}  // namespace
