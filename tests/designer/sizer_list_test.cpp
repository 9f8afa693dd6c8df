// The sizer list's lookups and modes while its entries are added, removed,
// rebound and reordered through every route the list offers.
#include "designer/surface_fixture.h"

using namespace platform;
using namespace vel;

namespace {

class SizerList : public SurfaceFixture {
 protected:
  TVelSizerList List;

  /// The first index of each control, as a plain walk of the entries finds it.
  int Walk(const TComponent* Control) const {
    for (int I = 0; I < List.Count(); ++I)
      if (TVelSizer* S = List.GetSizers(I); S && S->Control() == Control) return I;
    return -1;
  }
  /// Every control of the fixture (and none) is found where a walk finds it.
  void ExpectLookupsAgree(const char* Step) {
    SCOPED_TRACE(Step);
    for (const TComponent* C : std::vector<const TComponent*>{Button1, Button2, Panel1, Inner, Label1, Edit1, nullptr})
      EXPECT_EQ(List.GetControlIndex(C), Walk(C)) << (C ? C->Name() : "none");
  }
  std::vector<TVelSizerMode> Modes() const {
    std::vector<TVelSizerMode> R;
    for (int I = 0; I < List.Count(); ++I) R.push_back(List.GetSizers(I)->SizerMode());
    return R;
  }
};

TEST_F(SizerList, LookupsFollowEveryChangeOfTheEntries) {
  EXPECT_EQ(List.AddControl(Button1, Form, true), 0);
  EXPECT_EQ(List.AddControl(Button2, Form, true), 1);
  EXPECT_EQ(List.AddControl(Panel1, Form, true), 2);
  EXPECT_EQ(List.AddControl(Button2, Form, true), -1);
  ExpectLookupsAgree("appended");
  EXPECT_EQ(List.GetControlIndex(Panel1), 2);

  List.Exchange(0, 2);
  ExpectLookupsAgree("exchanged");
  EXPECT_EQ(List.GetControlIndex(Button1), 2);
  List.Move(2, 0);
  ExpectLookupsAgree("moved");

  // A second sizer for the same control: the first entry counts.
  EXPECT_EQ(List.AddControl(Button2, Form, false), 3);
  ExpectLookupsAgree("duplicate");
  List.Exchange(0, 3);
  ExpectLookupsAgree("duplicate exchanged");
  List.DelSizer(0);
  ExpectLookupsAgree("duplicate deleted");

  // Rebinding a listed sizer, and forgetting its control.
  List.GetSizers(1)->SetControl(Edit1);
  ExpectLookupsAgree("rebound");
  List.GetSizers(0)->SizerControlExit(nullptr);
  ExpectLookupsAgree("control forgotten");
  EXPECT_EQ(List.GetControlIndex(nullptr), 0);
  List.DelUnassignedSizers();
  ExpectLookupsAgree("unassigned deleted");

  // Entries emptied and packed behind the list's back.
  List.AddControl(Inner, Form, true);
  List.AddControl(Label1, Form, true);
  TVelSizer* Emptied = List.GetSizers(0);
  List.Put(0, nullptr);
  ExpectLookupsAgree("entry emptied");
  List.Pack();
  ExpectLookupsAgree("packed");
  delete Emptied;

  // A control destroyed takes its sizer along.
  delete Inner;
  Inner = nullptr;
  ExpectLookupsAgree("control destroyed");
  List.Insert(0, nullptr);
  List.Insert(1, List.GetSizers(2));
  ExpectLookupsAgree("inserted");
  List.Delete(1);
  List.ClearSizer();
  ExpectLookupsAgree("cleared");
}

TEST_F(SizerList, EveryAdditionSettlesEveryMode) {
  List.AddControl(Button1, Form, true);
  EXPECT_EQ(Modes(), (std::vector<TVelSizerMode>{smSingle}));
  List.AddControl(Button2, Form, true);
  List.AddControl(Panel1, Form, true);
  EXPECT_EQ(Modes(), (std::vector<TVelSizerMode>{smMulti, smMulti, smMulti}));
  // A mode set from outside is put right by the next addition.
  List.GetSizers(0)->SetSizerMode(smConceal);
  List.GetSizers(1)->SetSizerMode(smNone);
  List.AddControl(Edit1, Form, true);
  EXPECT_EQ(Modes(), (std::vector<TVelSizerMode>(4, smMulti)));
  List.DelSizer(3);
  List.DelSizer(2);
  List.DelSizer(1);
  EXPECT_EQ(Modes(), (std::vector<TVelSizerMode>{smSingle}));
  // A sizer also held by another list: the modes still settle.
  TVelSizerList Other;
  Other.Add(List.GetSizers(0));
  List.AddControl(Button2, Form, true);
  List.AddControl(Panel1, Form, true);
  List.GetSizers(1)->SetSizerMode(smConceal);
  List.AddControl(Edit1, Form, true);
  EXPECT_EQ(Modes(), (std::vector<TVelSizerMode>(4, smMulti)));
  Other.Clear();
}

}  // namespace
