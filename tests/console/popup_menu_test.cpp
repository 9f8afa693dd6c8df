// The design popup menus: opening at a component, trimming the selection to
// what was clicked, and the verb items of component and attribute editors.
#include "console/popup_menu.h"

#include <gtest/gtest.h>

#include "console/VelDesignPopupMenu.h"
#include "console/designintf_impls.h"
#include "console_fixture.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/stdctrls.h"

using namespace platform;
using namespace vel;

namespace {

using Strings = std::vector<std::string>;
using Components = std::vector<TComponent*>;

// Verbs run by the editors below, in order.
Strings& Executed() {
  static Strings Log;
  return Log;
}

class TVerbHolder : public TComponent {
  VEL_CLASS(TVerbHolder, TComponent)
  using TComponent::TComponent;
};
VEL_IMPLEMENT_CLASS(TVerbHolder, "Tests");

class TAttribHolder : public TComponent {
  VEL_CLASS(TAttribHolder, TComponent)
  using TComponent::TComponent;
};
VEL_IMPLEMENT_CLASS(TAttribHolder, "Tests");

/// Three verbs; records which runs and whether it has a run-time designer.
class TThreeVerbEditor : public TComponentEditor {
  VEL_CLASS(TThreeVerbEditor, TComponentEditor)
  using TComponentEditor::TComponentEditor;
  int GetVerbCount() override { return 3; }
  std::string GetVerb(int Index) override { return "Verb" + std::to_string(Index); }
  void ExecuteVerb(int Index) override {
    Executed().push_back(GetVerb(Index) + (dynamic_cast<IVelFormDesigner*>(Designer()) ? " designer" : ""));
  }
};
VEL_IMPLEMENT_CLASS(TThreeVerbEditor, "Tests");

/// Verbs A and B.
class TTwoVerbAttribEditor : public TVelCompAttribEditor {
  VEL_CLASS(TTwoVerbAttribEditor, TVelCompAttribEditor)
  using TVelCompAttribEditor::TVelCompAttribEditor;
  int GetVerbCount() override { return 2; }
  std::string GetVerb(int Index) override { return Index == 0 ? "A" : "B"; }
  void ExecuteVerb(int Index) override { Executed().push_back("attrib " + GetVerb(Index)); }
};
VEL_IMPLEMENT_CLASS(TTwoVerbAttribEditor, "Tests");

class PopupMenu : public ConsoleFixture {
 protected:
  void SetUp() override {
    ConsoleFixture::SetUp();
    static const bool Registered = [] {
      RegisterComponentEditor(TVerbHolder::StaticClass(), ComponentEditorClass<TThreeVerbEditor>());
      RegisterVelComponentAttribEditor(TAttribHolder::StaticClass(), ComponentEditorClass<TTwoVerbAttribEditor>());
      return true;
    }();
    (void)Registered;
    Executed().clear();
  }

  template <class M = TVelDesignCompPopupMenu>
  M* NewMenu() {
    auto* Menu = new M(Form);
    auto* Fixed = new TMenuItem(Menu);
    Fixed->SetCaption("Fixed");
    Menu->Items()->Add(Fixed);
    return Menu;
  }
  static Strings Captions(const TPopupMenu* Menu) {
    Strings R;
    for (int I = 0; I < Menu->Items()->Count(); ++I) R.push_back(Menu->Items()->Items(I)->Caption());
    return R;
  }
  static TMenuItem* ItemOf(const TPopupMenu* Menu, const std::string& Caption) {
    for (int I = 0; I < Menu->Items()->Count(); ++I)
      if (Menu->Items()->Items(I)->Caption() == Caption) return Menu->Items()->Items(I);
    return nullptr;
  }
};

TEST_F(PopupMenu, PopupBaseOnCompOpensTheMenuAsIfTheComponentHadBeenClicked) {
  auto* Menu = NewMenu();
  auto* Button = Named<TButton>(Form, "Button1", Form);
  int Popups = 0;
  Menu->OnPopup = [&](TObject*) {
    ++Popups;
    EXPECT_EQ(Menu->PopupComponent(), Button);
  };
  Menu->PopupBaseOnComp(Button, 40, 30);
  EXPECT_EQ(Menu->PopupComponent(), Button);
  EXPECT_EQ(Popups, 1);
  EXPECT_TRUE(Menu->IsShown());
  Menu->CloseMenu();
  // Without a center the items stay as the application made them.
  EXPECT_EQ(Captions(Menu), Strings{"Fixed"});
}

TEST_F(PopupMenu, TheComponentEditorsVerbsComeFirstFollowedByOneSeparator) {
  auto* Menu = NewMenu();
  Center->SetDesignPopupMenu(Menu);
  Fill(Center->SelCompList(), {Named<TVerbHolder>(Form, "Holder1")});
  for (int Round = 0; Round < 2; ++Round) {  // a second popup leaves one set of verbs
    Menu->PopupBaseOnComp(nullptr, 10, 10);
    Menu->CloseMenu();
    EXPECT_EQ(Captions(Menu), (Strings{"Verb0", "Verb1", "Verb2", "-", "Fixed"}));
  }
  for (int I = 0; I < 3; ++I) EXPECT_EQ(Menu->Items()->Items(I)->Tag(), 1000 + I);
  // Not exactly one selected component: no verbs, and the old ones are gone.
  Center->SelCompList()->Add(Named<TVerbHolder>(Form, "Holder2"));
  Menu->PopupBaseOnComp(nullptr, 10, 10);
  Menu->CloseMenu();
  EXPECT_EQ(Captions(Menu), Strings{"Fixed"});
}

TEST_F(PopupMenu, AnItemTaggedAsAVerbIsRemovedAtTheNextPopup) {
  auto* Menu = NewMenu();
  Center->SetDesignPopupMenu(Menu);
  auto* Mine = new TMenuItem(Menu);
  Mine->SetCaption("Mine");
  Mine->SetTag(2000);
  Menu->Items()->Add(Mine);
  Menu->PopupBaseOnComp(nullptr, 10, 10);
  Menu->CloseMenu();
  EXPECT_EQ(Captions(Menu), Strings{"Fixed"});
}

TEST_F(PopupMenu, ClickingAVerbRunsItThenRefreshesAndMarksTheDesignDirty) {
  auto* Menu = NewMenu();
  Center->SetDesignPopupMenu(Menu);
  Center->SetCompTreeView(Tree);
  Fill(Center->SelCompList(), {Named<TVerbHolder>(Form, "Holder1")});
  Menu->PopupBaseOnComp(nullptr, 10, 10);
  Menu->CloseMenu();
  Log.clear();
  ItemOf(Menu, "Verb1")->Click();
  // A new editor ran the verb, with a run-time designer.
  EXPECT_EQ(Executed(), Strings{"Verb1 designer"});
  EXPECT_EQ(Log, (Strings{"tree.select", "tree.refresh"}));  // the center's refresh
  EXPECT_TRUE(Center->Dirty());
}

TEST_F(PopupMenu, TheExtendedMenuAppendsTheAttributeVerbsInReverseOrder) {
  auto* Menu = NewMenu<TVelDesignCompPopupMenuEx>();
  Center->SetDesignPopupMenu(Menu);
  Fill(Center->SelCompList(), {Named<TAttribHolder>(Form, "Holder1")});
  for (int Round = 0; Round < 2; ++Round) {
    Menu->PopupBaseOnComp(nullptr, 10, 10);
    Menu->CloseMenu();
    EXPECT_EQ(Captions(Menu), (Strings{"Fixed", "-", "B", "A"}));
  }
  EXPECT_EQ(ItemOf(Menu, "B")->Tag(), 1001);
  EXPECT_EQ(ItemOf(Menu, "A")->Tag(), 1000);
  ItemOf(Menu, "B")->Click();
  EXPECT_EQ(Executed(), Strings{"attrib B"});
  // A component with neither kind of editor: only the application's items.
  Fill(Center->SelCompList(), {Named(Form, "Plain1")});
  Menu->PopupBaseOnComp(nullptr, 10, 10);
  Menu->CloseMenu();
  EXPECT_EQ(Captions(Menu), Strings{"Fixed"});
}

TEST_F(PopupMenu, OpeningTrimsTheSelectionToWhatWasClicked) {
  auto* Panel = Named<TPanel>(Form, "Panel1", Form);
  auto* Inner = Named<TButton>(Form, "Inner1", Panel);
  auto* Outer = Named<TButton>(Form, "Outer1", Form);
  auto* NonVisual = Named(Form, "Data1");
  Center->SetCompTreeView(Tree);
  const struct {
    const char* Name;
    TComponent* Clicked;
    Components Expected;
  } Cases[] = {
      {"a control keeps its selected siblings", Outer, {Panel, Outer}},
      {"a control inside a container", Inner, {Inner}},
      {"no component keeps the non-visual components", nullptr, {NonVisual}},
      {"a non-visual component", NonVisual, {NonVisual}},
      {"a design control leaves the selection alone", Tree, {Panel, Inner, NonVisual, Outer}},
  };
  auto* Menu = NewMenu();
  Center->SetDesignPopupMenu(Menu);
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Fill(Center->SelCompList(), {Panel, Inner, NonVisual, Outer});
    Menu->PopupBaseOnComp(C.Clicked, 10, 10);
    Menu->CloseMenu();
    EXPECT_EQ(Items(Center->SelCompList()), C.Expected);
  }
}

TEST_F(PopupMenu, ARightClickOnTheTreeViewOpensTheCentersMenuAndAClickRunsAVerb) {
  auto* Menu = NewMenu();
  Tree->SetParent(Form);
  Tree->SetBounds(10, 10, 150, 200);
  Center->SetCompTreeView(Tree);
  Center->SetObjInspector(Inspector);
  Center->SetDesignPopupMenu(Menu);
  ASSERT_EQ(Tree->PopupMenu(), Menu);
  auto* Holder = Named<TVerbHolder>(Form, "Holder1");
  Fill(Center->SelCompList(), {Holder});

  Click(Form, 50, 60, TInputButton::Right);
  ASSERT_TRUE(Menu->IsShown());
  EXPECT_EQ(Menu->PopupComponent(), Tree);
  // The tree view is one of the console's own controls: the selection stays.
  EXPECT_EQ(Items(Center->SelCompList()), Components{Holder});
  EXPECT_EQ(Captions(Menu), (Strings{"Verb0", "Verb1", "Verb2", "-", "Fixed"}));

  TMenuItem* Verb = ItemOf(Menu, "Verb2");
  TRect R = Menu->ItemScreenRect(Verb);
  HWND Wnd = Menu->ItemWindow(Verb);
  ASSERT_NE(Wnd, nullptr);
  TPoint P = Point((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
  ScreenToClient(Wnd, P);
  InjectMouseMove(Wnd, P);
  InjectMouseButton(Wnd, TInputButton::Left, true, P);
  InjectMouseButton(Wnd, TInputButton::Left, false, P);
  ProcessMessages();
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_EQ(Executed(), Strings{"Verb2 designer"});
  EXPECT_TRUE(Inspector->Dirty());
  EXPECT_TRUE(Tree->Dirty());
}

}  // namespace
