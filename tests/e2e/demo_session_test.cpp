// The demo window on a real X server, driven with real X input (XTest): the
// scripted session step by step with the controls' bounds and the selection
// after each step, the grab handles in the window's image as the X server
// shows it, the design switch, the keyboard and the command row.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "examples/demo/demo_window.h"
#include "examples/demo/session.h"
#include "platform/backend/x11.h"
#include "platform/gfx/colors.h"
#include "support/x11_connect.h"

using namespace platform;
using namespace demo;

namespace {

class DemoOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWindowSystem();
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    ASSERT_TRUE(ConnectX11()) << "DISPLAY is set but does not open";
    Application()->SetShowHint(false);
    Window = std::make_unique<TDemoWindow>();
    Driver = std::make_unique<TSessionDriver>(*Window);
    ASSERT_TRUE(Driver->Ready()) << "the window did not come up, or XTest is missing";
  }
  void TearDown() override {
    Driver.reset();
    Window.reset();
    DoneApplication();
    ResetWindowSystem();
  }

  TControl* Named(const char* Name) const { return Window->StageControl(Name); }
  vel::TVelDesignManager* Manager() const { return Window->Manager(); }

  /// The names of the selected controls, in sizer-list order.
  std::vector<std::string> Selected() const {
    std::vector<std::string> Names;
    const vel::TVelSizerList* L = Manager()->Sizers();
    for (int I = 0; I < L->Count(); ++I)
      if (const vel::TVelSizer* S = L->GetSizers(I); S && S->Control()) Names.push_back(S->Control()->Name());
    return Names;
  }
  vel::TVelSizer* SizerOf(const TControl* C) const {
    const int I = Manager()->Sizers()->GetControlIndex(C);
    return I >= 0 ? Manager()->Sizers()->GetSizers(I) : nullptr;
  }
  static TRect Grown(TRect R) { return TRect{R.Left - 2, R.Top - 2, R.Right + 2, R.Bottom + 2}; }

  /// The pixel of the shown image at a point of a control's client area, as 0xRRGGBB.
  std::uint32_t ShownPixel(cairo_surface_t* Image, const TControl* C, int X, int Y) const {
    const TPoint P = Window->Form()->ScreenToClient(C->ClientToScreen(Point(X, Y)));
    cairo_surface_flush(Image);
    const unsigned char* Row = cairo_image_surface_get_data(Image) + P.Y * cairo_image_surface_get_stride(Image);
    return reinterpret_cast<const std::uint32_t*>(Row)[P.X] & 0xFFFFFF;
  }
  /// A colour as the X server shows it (0xRRGGBB).
  static std::uint32_t Shown(TColor C) {
    const auto V = std::uint32_t(ColorToRGB(C));
    return ((V & 0xFF) << 16) | (V & 0xFF00) | ((V >> 16) & 0xFF);
  }

  /// Every pixel of each of the handles Indexes of S shows Color; the sizer's
  /// margin between handles 1 and 2 does not.
  void ExpectHandles(const vel::TVelSizer* S, TColor Color, const std::vector<int>& Indexes) const {
    cairo_surface_t* Image = Driver->Capture();
    ASSERT_NE(Image, nullptr);
    const std::uint32_t Want = Shown(Color);
    for (int I : Indexes) {
      const TRect H = S->PaintRect(I);
      EXPECT_EQ(H.Width(), 5) << "handle " << I;
      EXPECT_EQ(H.Height(), 5) << "handle " << I;
      int Wrong = 0;
      for (int Y = H.Top; Y < H.Bottom; ++Y)
        for (int X = H.Left; X < H.Right; ++X) Wrong += ShownPixel(Image, S, X, Y) != Want;
      EXPECT_EQ(Wrong, 0) << "pixels of handle " << I << " not in the handle colour";
    }
    const int Between = (S->PaintRect(1).Right + S->PaintRect(2).Left) / 2;
    EXPECT_NE(ShownPixel(Image, S, Between, 0), Want) << "the margin between the handles is see-through";
    cairo_surface_destroy(Image);
  }

  std::unique_ptr<TDemoWindow> Window;
  std::unique_ptr<TSessionDriver> Driver;
};

TEST_F(DemoOnX11, ScriptedSessionStepByStep) {
  TPanel* Stage = Window->Stage();
  TControl* OK = Named("ButtonOK");
  TControl* List = Named("ListCountry");
  const std::map<std::string, std::function<void()>> Checks = {
      {"start",
       [&] {
         EXPECT_TRUE(Selected().empty());
         EXPECT_EQ(Manager()->StageSizer()->Control(), Stage);
         EXPECT_EQ(Window->SelectionStatus(), "Selected: Stage");
       }},
      {"select",
       [&] {
         EXPECT_EQ(Selected(), (std::vector<std::string>{"ButtonOK"}));
         EXPECT_EQ(OK->BoundsRect(), (TRect{16, 296, 96, 322})) << "a click moves nothing";
         EXPECT_EQ(SizerOf(OK)->BoundsRect(), Grown(OK->BoundsRect()));
         EXPECT_EQ(SizerOf(OK)->SizerMode(), vel::smSingle);
         EXPECT_EQ(GetCapture(), nullptr);
         EXPECT_EQ(Window->SelectionStatus(), "Selected: ButtonOK  (16, 296, 80 x 26)");
         EXPECT_EQ(Window->MouseStatus(), "Mouse: 56, 309 over ButtonOK");
         ExpectHandles(SizerOf(OK), SizerOf(OK)->SingleSelColor(), {1, 2, 3, 4, 5, 6, 7, 8});
       }},
      {"shift-select",
       [&] {
         EXPECT_EQ(Selected(), (std::vector<std::string>{"ButtonOK", "ButtonCancel"}));
         for (const char* Name : {"ButtonOK", "ButtonCancel"})
           EXPECT_EQ(SizerOf(Named(Name))->SizerMode(), vel::smMulti);
         EXPECT_EQ(Named("ButtonCancel")->BoundsRect(), (TRect{104, 296, 184, 322}));
         ExpectHandles(SizerOf(OK), SizerOf(OK)->MultiSelColor(), {1, 3, 5, 7});
         EXPECT_EQ(Window->SelectionStatus(), "Selected: ButtonOK, ButtonCancel");
       }},
      {"drag",
       [&] {
         EXPECT_EQ(OK->BoundsRect(), (TRect{166, 256, 246, 282}));
         EXPECT_EQ(Named("ButtonCancel")->BoundsRect(), (TRect{254, 256, 334, 282}));
         EXPECT_EQ(Selected(), (std::vector<std::string>{"ButtonOK", "ButtonCancel"}));
         for (const char* Name : {"ButtonOK", "ButtonCancel"})
           EXPECT_EQ(SizerOf(Named(Name))->BoundsRect(), Grown(Named(Name)->BoundsRect())) << Name;
         EXPECT_EQ(GetCapture(), nullptr);
       }},
      {"resize",
       [&] {
         EXPECT_EQ(Selected(), (std::vector<std::string>{"ListCountry"}));
         EXPECT_EQ(List->BoundsRect(), (TRect{490, 10, 590, 230}));
         vel::TVelSizer* S = SizerOf(List);
         ASSERT_NE(S, nullptr);
         EXPECT_EQ(S->BoundsRect(), Grown(List->BoundsRect()));
         EXPECT_EQ(S->SizerMode(), vel::smSingle);
         ExpectHandles(S, S->SingleSelColor(), {1, 2, 3, 4, 5, 6, 7, 8});
         EXPECT_EQ(Window->SelectionStatus(), "Selected: ListCountry  (490, 10, 100 x 220)");
       }},
      {"rubber-band",
       [&] {
         EXPECT_EQ(Selected(), (std::vector<std::string>{"CheckNews", "CheckTerms", "CheckRemember"}));
         EXPECT_EQ(Manager()->StageProxy()->RubberBand(), nullptr);
         EXPECT_EQ(Named("CheckNews")->BoundsRect(), (TRect{22, 90, 222, 110}));
         EXPECT_EQ(Named("CheckTerms")->BoundsRect(), (TRect{16, 116, 216, 136}));
         EXPECT_EQ(Named("CheckRemember")->BoundsRect(), (TRect{30, 142, 230, 162}));
       }},
      {"align-left",
       [&] {
         EXPECT_EQ(Named("CheckNews")->BoundsRect(), (TRect{16, 90, 216, 110}));
         EXPECT_EQ(Named("CheckTerms")->BoundsRect(), (TRect{16, 116, 216, 136}));
         EXPECT_EQ(Named("CheckRemember")->BoundsRect(), (TRect{16, 142, 216, 162}));
         EXPECT_EQ(Selected(), (std::vector<std::string>{"CheckNews", "CheckTerms", "CheckRemember"}));
         for (const char* Name : {"CheckNews", "CheckTerms", "CheckRemember"})
           EXPECT_EQ(SizerOf(Named(Name))->BoundsRect(), Grown(Named(Name)->BoundsRect())) << Name;
       }},
      {"delete",
       [&] {
         EXPECT_EQ(Named("ButtonCancel"), nullptr);
         EXPECT_NE(Named("ButtonOK"), nullptr);
         EXPECT_TRUE(Selected().empty());
         EXPECT_EQ(Window->SelectionStatus(), "Selected: Stage");
       }},
  };
  for (const TSessionStep& Step : DemoSession()) {
    SCOPED_TRACE("step " + Step.Id);
    Step.Play(*Driver);
    ASSERT_TRUE(Driver->Settle());
    ASSERT_TRUE(Driver->AllArrived());
    const auto It = Checks.find(Step.Id);
    ASSERT_NE(It, Checks.end()) << "a step without checks";
    It->second();
    EXPECT_EQ(Window->SelectionText(), Step.Selection);
    EXPECT_EQ(Stage->BoundsRect(), (TRect{12, 12, 788, 352})) << "the stage stays as it is";
    // No two clicks of neighbouring steps make a double click.
    Driver->Pause(600);
  }
}

TEST_F(DemoOnX11, SwitchingDesignOffLetsTheControlsWorkAndOnAgainSelects) {
  auto* News = static_cast<TCheckBox*>(Named("CheckNews"));
  ASSERT_FALSE(News->Checked());
  Driver->Click(TSessionDriver::CentreOf(Window->DesignButton()));
  EXPECT_FALSE(Manager()->IsDesigning());
  EXPECT_EQ(Window->DesignButton()->Caption(), "Design");
  EXPECT_FALSE(Window->AlignLeftButton()->Enabled());
  Driver->Click(TSessionDriver::ScreenOf(News, Point(8, 10)));
  EXPECT_TRUE(News->Checked()) << "a working check box";
  EXPECT_TRUE(Selected().empty());
  Driver->Pause(600);

  Driver->Click(TSessionDriver::CentreOf(Window->DesignButton()));
  EXPECT_TRUE(Manager()->IsDesigning());
  EXPECT_EQ(Window->DesignButton()->Caption(), "Stop designing");
  Driver->Pause(600);
  Driver->Click(TSessionDriver::ScreenOf(News, Point(8, 10)));
  EXPECT_TRUE(News->Checked()) << "a designed check box does not toggle";
  EXPECT_EQ(Selected(), (std::vector<std::string>{"CheckNews"}));
}

TEST_F(DemoOnX11, CtrlArrowsNudgeTheSelectionAndSelectAllTakesEveryControl) {
  TControl* Edit = Named("EditName");
  Driver->Click(TSessionDriver::CentreOf(Edit));
  ASSERT_EQ(Selected(), (std::vector<std::string>{"EditName"}));
  Driver->Stroke(TXKey::Right, TXKey::Control);
  Driver->Stroke(TXKey::Right, TXKey::Control);
  Driver->Stroke(TXKey::Down, TXKey::Control);
  EXPECT_EQ(Edit->BoundsRect(), (TRect{98, 15, 278, 39}));
  EXPECT_EQ(SizerOf(Edit)->BoundsRect(), Grown(Edit->BoundsRect()));
  Driver->Pause(600);

  Driver->Click(TSessionDriver::CentreOf(Window->SelectAllButton()));
  std::vector<std::string> All;
  for (int I = 0; I < Window->Stage()->ComponentCount(); ++I)
    if (auto* C = dynamic_cast<TControl*>(Window->Stage()->Components(I)); C && !vel::IsVelDesignCtrl(C))
      All.push_back(C->Name());
  std::vector<std::string> Now = Selected();
  std::sort(Now.begin(), Now.end());
  std::sort(All.begin(), All.end());
  EXPECT_EQ(Now, All);
  EXPECT_EQ(All.size(), 17u) << "every control on the stage, nested ones too";

  // The keyboard went back to the selection after the command button took it.
  Driver->Stroke(TXKey::Up, TXKey::Control);
  EXPECT_EQ(Edit->Top(), 14);
}

}  // namespace
