// A form with a design center and the elements it joins, each reporting its
// refreshes into one log, for the design console's tests.
#pragma once

#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

#include "console/design_center.h"
#include "inspector/obj_inspect.h"
#include "palette/comp_tree_view.h"
#include "palette/pallete_tool_bar.h"
#include "support/window_fixture.h"

class ConsoleFixture : public WindowFixture {
 protected:
  void SetUp() override {
    Form = NewForm(400, 300);
    Form->SetName("Form1");
    Center = new vel::TVelDesignCenter(Form);
    Inspector = new vel::TWynObjInspector(Form);
    Tree = new vel::TVelCompTreeView(Form);
    Pallete = new vel::TVelCompPalleteToolBar(Form);
    Inspector->OnChangeActiveComponent = [this](platform::TObject*) { Log.push_back("inspector.active"); };
    Inspector->OnRefresh = [this](platform::TObject*) { Log.push_back("inspector.refresh"); };
    Inspector->OnRefreshValues = [this](platform::TObject*) { Log.push_back("inspector.values"); };
    Tree->OnSelectionChange = [this](platform::TObject*) { Log.push_back("tree.select"); };
    Tree->OnRefresh = [this](platform::TObject*) { Log.push_back("tree.refresh"); };
  }

  /// The entries of a component list, in order.
  static std::vector<platform::TComponent*> Items(const platform::TComponentList* List) {
    std::vector<platform::TComponent*> R;
    if (List)
      for (int I = 0; I < List->Count(); ++I) R.push_back(List->Items(I));
    return R;
  }
  static void Fill(platform::TComponentList* List, std::initializer_list<platform::TComponent*> Components) {
    List->Clear();
    for (platform::TComponent* C : Components) List->Add(C);
  }
  template <class T = platform::TComponent>
  T* Named(platform::TComponent* Owner, const std::string& Name, platform::TWinControl* Parent = nullptr) {
    auto* C = new T(Owner);
    C->SetName(Name);
    if constexpr (std::is_base_of_v<platform::TControl, T>) C->SetParent(Parent);
    return C;
  }

  platform::TForm* Form = nullptr;
  vel::TVelDesignCenter* Center = nullptr;
  vel::TWynObjInspector* Inspector = nullptr;
  vel::TVelCompTreeView* Tree = nullptr;
  vel::TVelCompPalleteToolBar* Pallete = nullptr;
  std::vector<std::string> Log;
};
