// The design messages, the point packing they use and the geometry helpers.
#include "designer/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "designer/VelDesigner.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/stdctrls.h"
#include "support/window_fixture.h"

using namespace platform;
using namespace vel;

namespace {

struct TMessageCase {
  const UINT* Number;
  const char* Registration;
};

// Table order is registration order.
const std::vector<TMessageCase>& MessageTable() {
  static const std::vector<TMessageCase> Table = {
      {&VELM_SizerMoved, "VEL.SizerMovedMsg"},
      {&VELM_SizerMoveEnd, "VEL.SizerMoveEndMsg"},
      {&VELM_SizerMoveStart, "VEL.SizerMoveStartMsg"},
      {&VELM_ControlSelected, "VEL.Design.ControlSelected"},
      {&VELM_ControlSelectedAtPos, "VEL.Design.ControlSelectedAtPos"},
      {&VELN_SelCtrlChanged, "VEL.Design.SelectControlChanged"},
      {&VELN_CtrlMoved, "VEL.Design.ControlMoved"},
      {&VELN_SelCtrlMoved, "VEL.Design.SelectControlMoved"},
      {&VELN_StartInlineEdit, "VEL.Design.StartInlineEdit"},
      {&VELN_EndInlineEdit, "VEL.Design.EndInlineEdit"},
      {&VELN_DynCompCreated, "VEL.Design.DynamicComponentCreated"},
      {&VELN_DelSelCtrls, "VEL.Design.DelSelectControls"},
  };
  return Table;
}

TEST(DesignMessages, AreRegisteredAtLoadUnderTheirStringsInTableOrder) {
  UINT Previous = 0;
  for (const TMessageCase& M : MessageTable()) {
    SCOPED_TRACE(M.Registration);
    EXPECT_GE(*M.Number, 0xC000u);
    EXPECT_GT(*M.Number, Previous);
    EXPECT_EQ(GetClipboardFormatName(*M.Number), M.Registration);
    // Another module registering the same string gets the same number.
    EXPECT_EQ(RegisterWindowMessage(M.Registration), *M.Number);
    Previous = *M.Number;
  }
}

TEST(DesignMessages, ASecondInitialisationRegistersNothingAndKeepsTheNumbers) {
  std::vector<UINT> Before;
  for (const TMessageCase& M : MessageTable()) Before.push_back(*M.Number);
  const UINT ProbeBefore = RegisterWindowMessage("velstudio.test.ProbeBeforeInit");
  InitDesignMessages();
  const UINT ProbeAfter = RegisterWindowMessage("velstudio.test.ProbeAfterInit");
  EXPECT_EQ(ProbeAfter, ProbeBefore + 1) << "the second initialisation registered something";
  for (std::size_t I = 0; I < Before.size(); ++I) EXPECT_EQ(*MessageTable()[I].Number, Before[I]);
}

// ----------------------------------------------------------------- points

class DesignMessageDelivery : public WindowFixture {};

TEST_F(DesignMessageDelivery, APointPostedInLParamArrivesWithItsSigns) {
  TForm* Form = NewForm(100, 100);
  std::vector<TPoint> Received;
  ScopedHook Hook(Form->Handle(), [&](TMessage& M) {
    if (M.Msg != VELN_CtrlMoved) return false;
    Received.push_back(LParamToPoint(M.LParam));
    M.Result = 1;
    return true;
  });
  const std::vector<TPoint> Sent = {{-5, 20}, {20, -5}, {-32768, 32767}, {0, 0}};
  for (const TPoint& P : Sent) PostMessage(Form->Handle(), VELN_CtrlMoved, 0, PointToLParam(P));
  ProcessMessages();
  EXPECT_EQ(Received, Sent);
  EXPECT_EQ(GET_X_LPARAM(PointToLParam(Point(-5, 20))), -5);
  EXPECT_EQ(GET_Y_LPARAM(PointToLParam(Point(-5, 20))), 20);
}

// ----------------------------------------------------------------- PointInRect

TEST(PointInRect, CountsAllFourEdgesAsInsideUnlikePtInRect) {
  const TRect R = Rect(10, 20, 110, 70);
  struct TCase {
    TPoint P;
    bool Inside;
    bool PtInRectInside;
  };
  const TCase Cases[] = {
      {{110, 70}, true, false},  // right-bottom corner
      {{10, 20}, true, true},    // left-top corner
      {{110, 40}, true, false},  // right edge
      {{50, 70}, true, false},   // bottom edge
      {{50, 40}, true, true},    // inside
      {{111, 40}, false, false}, {{50, 71}, false, false}, {{9, 40}, false, false}, {{50, 19}, false, false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << "(" << C.P.X << ", " << C.P.Y << ")");
    EXPECT_EQ(PointInRect(C.P, R), C.Inside);
    EXPECT_EQ(PtInRect(R, C.P), C.PtInRectInside);
  }
}

// ----------------------------------------------------------- ControlCanInlineEdit

class DesignHelpers : public WindowFixture {
 protected:
  template <class T>
  static T* Put(TWinControl* Parent, int L, int T0, int W, int H) {
    auto* C = new T(Parent);
    if constexpr (std::is_base_of_v<TCustomLabel, T>) C->SetAutoSize(false);
    C->SetParent(Parent);
    C->SetBounds(L, T0, W, H);
    return C;
  }
};

TEST_F(DesignHelpers, OnlyEditsAndTheirDescendantsCanBeEditedInPlace) {
  TForm* Form = NewForm(200, 200);
  EXPECT_TRUE(ControlCanInlineEdit(new TEdit(Form)));
  EXPECT_TRUE(ControlCanInlineEdit(new TMemo(Form)));
  EXPECT_FALSE(ControlCanInlineEdit(new TComboBox(Form)));  // a text control, but no edit
  EXPECT_FALSE(ControlCanInlineEdit(new TButton(Form)));
  EXPECT_FALSE(ControlCanInlineEdit(new TLabel(Form)));
  EXPECT_FALSE(ControlCanInlineEdit(Form));
  EXPECT_FALSE(ControlCanInlineEdit(nullptr));
}

// -------------------------------------------------------------- ChildControlAtPos

/// A control that answers CM_HITTEST with "nowhere".
class TNoHitControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void CMHitTest(TMessage& Message) override { Message.Result = 0; }
};

TEST_F(DesignHelpers, ChildAtPosSearchesWindowedChildrenFirst) {
  TForm* Form = NewForm(300, 300);
  auto* Panel = Put<TPanel>(Form, 10, 10, 100, 100);
  auto* Label = Put<TLabel>(Form, 50, 50, 100, 20);  // above the panel in z-order, but not windowed
  Label->BringToFront();
  EXPECT_EQ(ChildControlAtPos(Form, Point(60, 55)), Panel);
  EXPECT_EQ(ChildControlAtPos(Form, Point(120, 55)), Label);  // beside the panel
  EXPECT_EQ(ChildControlAtPos(Form, Point(200, 200)), nullptr);
  EXPECT_EQ(ChildControlAtPos(nullptr, Point(60, 55)), nullptr);
}

TEST_F(DesignHelpers, ChildAtPosTakesTheTopmostChildAndLeavesOutTheRightAndBottomEdges) {
  TForm* Form = NewForm(300, 300);
  auto* Lower = Put<TButton>(Form, 10, 10, 80, 30);
  auto* Upper = Put<TButton>(Form, 50, 10, 80, 30);
  EXPECT_EQ(ChildControlAtPos(Form, Point(60, 20)), Upper);
  EXPECT_EQ(ChildControlAtPos(Form, Point(20, 20)), Lower);
  EXPECT_EQ(ChildControlAtPos(Form, Point(10, 10)), Lower);
  EXPECT_EQ(ChildControlAtPos(Form, Point(129, 39)), Upper);
  EXPECT_EQ(ChildControlAtPos(Form, Point(130, 20)), nullptr);
  EXPECT_EQ(ChildControlAtPos(Form, Point(60, 40)), nullptr);
  Lower->BringToFront();
  EXPECT_EQ(ChildControlAtPos(Form, Point(60, 20)), Lower);
}

TEST_F(DesignHelpers, ChildAtPosFindsADisabledControl) {
  TForm* Form = NewForm(300, 300);
  auto* Button = Put<TButton>(Form, 10, 10, 80, 30);
  auto* Label = Put<TLabel>(Form, 10, 100, 80, 30);
  Button->SetEnabled(false);
  Label->SetEnabled(false);
  EXPECT_EQ(ChildControlAtPos(Form, Point(20, 20)), Button);
  EXPECT_EQ(ChildControlAtPos(Form, Point(20, 110)), Label);
}

TEST_F(DesignHelpers, ChildAtPosTreatsHiddenAndDesignedControlsByTheirDesignVisibility) {
  TForm* Form = NewForm(300, 300);
  struct TCase {
    const char* Name;
    bool Designing;
    bool Visible;
    bool NoDesignVisible;
    bool Found;
  };
  const TCase Cases[] = {
      {"running, visible", false, true, false, true},
      {"running, hidden", false, false, false, false},
      {"designed, hidden", true, false, false, true},
      {"designed, hidden, not shown at design time", true, false, true, false},
      {"designed, visible, not shown at design time", true, true, true, true},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* Button = Put<TButton>(Form, 10, 10, 80, 30);
    Button->SetDesigning(C.Designing);
    Button->SetVisible(C.Visible);
    if (C.NoDesignVisible) Button->SetControlStyle(Button->ControlStyle() + csNoDesignVisible);
    EXPECT_EQ(ChildControlAtPos(Form, Point(20, 20)), C.Found ? Button : nullptr);
    delete Button;
  }
}

TEST_F(DesignHelpers, ChildAtPosSkipsAControlThatRefusesTheHitTestUnlessItIsDesigned) {
  TForm* Form = NewForm(300, 300);
  auto* Below = Put<TButton>(Form, 10, 10, 80, 30);
  auto* Above = Put<TNoHitControl>(Form, 10, 10, 80, 30);
  EXPECT_EQ(ChildControlAtPos(Form, Point(20, 20)), Below);
  Above->SetDesigning(true);
  EXPECT_EQ(ChildControlAtPos(Form, Point(20, 20)), Above);
}

TEST_F(DesignHelpers, ChildAtPosLooksOnlyAtDirectChildrenInTheParentsClientCoordinates) {
  TForm* Form = NewForm(300, 300);
  auto* Panel = Put<TPanel>(Form, 100, 100, 150, 150);
  auto* Inner = Put<TButton>(Panel, 10, 10, 50, 20);
  EXPECT_EQ(ChildControlAtPos(Form, Point(115, 115)), Panel);
  EXPECT_EQ(ChildControlAtPos(Panel, Point(15, 15)), Inner);
  EXPECT_EQ(ChildControlAtPos(Panel, Point(115, 115)), nullptr);
}

}  // namespace
