// The object inspector's active components, console center and dirty flag.
#include "inspector/obj_inspect.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "inspector/ObjInspect.h"
#include "support/window_fixture.h"

using namespace platform;
using namespace vel;

namespace {

class ObjInspector : public WindowFixture {
 protected:
  std::vector<TComponent*> Active() const {
    std::vector<TComponent*> R;
    for (int I = 0; I < Inspector->ActiveComponents()->Count(); ++I)
      R.push_back(Inspector->ActiveComponents()->Items(I));
    return R;
  }
  void SetUp() override {
    Form = NewForm(300, 200);
    Inspector = new TWynObjInspector(Form);
    Inspector->OnChangeActiveComponent = [this](TObject* Sender) {
      EXPECT_EQ(Sender, Inspector);
      ++Changes;
    };
  }
  TForm* Form = nullptr;
  TWynObjInspector* Inspector = nullptr;
  int Changes = 0;
};

TEST_F(ObjInspector, KeepsItsOwnCopyOfTheActiveComponents) {
  auto* A = new TComponent(Form);
  auto* B = new TComponent(Form);
  TComponentList List(false);
  List.Add(A);
  List.Add(B);
  Inspector->SetActiveComponents(&List);
  EXPECT_EQ(Changes, 1);
  EXPECT_NE(Inspector->ActiveComponents(), &List);
  EXPECT_EQ(Active(), (std::vector<TComponent*>{A, B}));
  // Later changes of the given list do not reach the inspector.
  List.Clear();
  EXPECT_EQ(Active(), (std::vector<TComponent*>{A, B}));
  // A destroyed component leaves the inspector's list by itself.
  delete A;
  EXPECT_EQ(Active(), (std::vector<TComponent*>{B}));
  // None empties the list.
  Inspector->SetActiveComponents(nullptr);
  EXPECT_EQ(Changes, 2);
  EXPECT_TRUE(Active().empty());
}

TEST_F(ObjInspector, HandingItsOwnListBackChangesNothing) {
  auto* A = new TComponent(Form);
  Inspector->SetActiveComponent(A);
  ASSERT_EQ(Changes, 1);
  Inspector->SetActiveComponents(Inspector->ActiveComponents());
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Active(), (std::vector<TComponent*>{A}));
}

TEST_F(ObjInspector, ASingleActiveComponentOrNone) {
  auto* A = new TComponent(Form);
  Inspector->SetActiveComponent(A);
  EXPECT_EQ(Active(), (std::vector<TComponent*>{A}));
  Inspector->SetActiveComponent(nullptr);
  EXPECT_TRUE(Active().empty());
  EXPECT_EQ(Changes, 2);
}

TEST_F(ObjInspector, RefreshesAreReported) {
  int Refreshes = 0, ValueRefreshes = 0;
  Inspector->OnRefresh = [&](TObject*) { ++Refreshes; };
  Inspector->OnRefreshValues = [&](TObject*) { ++ValueRefreshes; };
  Inspector->Refresh();
  Inspector->RefreshValues();
  Inspector->RefreshValues();
  EXPECT_EQ(Refreshes, 1);
  EXPECT_EQ(ValueRefreshes, 2);
}

TEST_F(ObjInspector, ForgetsADestroyedConsoleCenter) {
  auto* Center = new TComponent(Form);
  Inspector->SetConsoleCenter(Center);
  EXPECT_EQ(Inspector->ConsoleCenter(), Center);
  delete Center;
  EXPECT_EQ(Inspector->ConsoleCenter(), nullptr);
  // And a destroyed inspector leaves no link behind in a living center.
  auto* Other = new TComponent(Form);
  Inspector->SetConsoleCenter(Other);
  delete Inspector;
  delete Other;
}

TEST_F(ObjInspector, DirtyFlag) {
  EXPECT_FALSE(Inspector->Dirty());
  Inspector->SetDirty(true);
  EXPECT_TRUE(Inspector->Dirty());
  Inspector->SetDirty(false);
  EXPECT_FALSE(Inspector->Dirty());
}

}  // namespace
