// The component tree view's selection and the palette's armed class.
#include <gtest/gtest.h>

#include <vector>

#include "palette/VelCompPallete.h"
#include "palette/VelCompTreeView.h"
#include "palette/comp_tree_view.h"
#include "palette/pallete_tool_bar.h"
#include "platform/controls/stdctrls.h"
#include "support/window_fixture.h"

using namespace platform;
using namespace vel;

namespace {

class Palette : public WindowFixture {
 protected:
  void SetUp() override { Form = NewForm(300, 200); }
  TForm* Form = nullptr;
};

std::vector<TComponent*> Items(const TComponentList* List) {
  std::vector<TComponent*> R;
  for (int I = 0; I < List->Count(); ++I) R.push_back(List->Items(I));
  return R;
}

TEST_F(Palette, TreeViewKeepsItsOwnCopyOfTheSelection) {
  auto* Tree = new TVelCompTreeView(Form);
  int Changes = 0;
  Tree->OnSelectionChange = [&](TObject*) { ++Changes; };
  auto* A = new TComponent(Form);
  auto* B = new TComponent(Form);
  TComponentList List(false);
  List.Add(A);
  List.Add(B);
  Tree->SetSelectedComps(&List);
  EXPECT_NE(Tree->SelectedComps(), &List);
  EXPECT_EQ(Items(Tree->SelectedComps()), (std::vector<TComponent*>{A, B}));
  List.Delete(0);
  EXPECT_EQ(Items(Tree->SelectedComps()), (std::vector<TComponent*>{A, B}));
  delete B;
  EXPECT_EQ(Items(Tree->SelectedComps()), (std::vector<TComponent*>{A}));
  // Its own list handed back changes nothing; none empties the selection.
  Tree->SetSelectedComps(Tree->SelectedComps());
  EXPECT_EQ(Changes, 1);
  Tree->SetSelectedComps(nullptr);
  EXPECT_TRUE(Items(Tree->SelectedComps()).empty());
  EXPECT_EQ(Changes, 2);
}

TEST_F(Palette, TreeViewReportsRefreshesAndKeepsCenterAndDirtyFlag) {
  auto* Tree = new TVelCompTreeView(Form);
  int Refreshes = 0;
  Tree->OnRefresh = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Tree);
    ++Refreshes;
  };
  Tree->Refresh();
  EXPECT_EQ(Refreshes, 1);
  EXPECT_FALSE(Tree->Dirty());
  Tree->SetDirty(true);
  EXPECT_TRUE(Tree->Dirty());
  auto* Center = new TComponent(Form);
  Tree->SetConsoleCenter(Center);
  EXPECT_EQ(Tree->ConsoleCenter(), Center);
  delete Center;
  EXPECT_EQ(Tree->ConsoleCenter(), nullptr);
}

TEST_F(Palette, ToolBarArmsOneComponentClassAndReleasesIt) {
  auto* Bar = new TVelCompPalleteToolBar(Form);
  int Changes = 0;
  Bar->OnChange = [&](TObject*) { ++Changes; };
  EXPECT_EQ(Bar->GetCurrClass(), nullptr);
  Bar->SetCurrClass(TButton::StaticClass());
  EXPECT_EQ(Bar->GetCurrClass(), TButton::StaticClass());
  Bar->SetCurrClass(TButton::StaticClass());
  EXPECT_EQ(Changes, 1);
  Bar->SetCurrClass(TEdit::StaticClass());
  EXPECT_EQ(Bar->GetCurrClass(), TEdit::StaticClass());
  Bar->DeselectComps();
  EXPECT_EQ(Bar->GetCurrClass(), nullptr);
  EXPECT_EQ(Changes, 3);
  // Releasing with nothing armed changes nothing.
  Bar->DeselectComps();
  EXPECT_EQ(Changes, 3);
}

TEST_F(Palette, ToolBarArmsNoClassThatCannotBeAComponent) {
  auto* Bar = new TVelCompPalleteToolBar(Form);
  Bar->SetCurrClass(TButton::StaticClass());
  Bar->SetCurrClass(TPersistent::StaticClass());
  EXPECT_EQ(Bar->GetCurrClass(), nullptr);
}

}  // namespace
