// Controls written and read as component images: a panel and the button it
// holds, read back under a form given to the reader as the parent.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/stream.h"
#include "support/window_fixture.h"

using namespace platform;

namespace {

std::vector<std::uint8_t> Bytes(TCustomMemoryStream& S) { return {S.Memory(), S.Memory() + S.Size()}; }

class ControlStreaming : public WindowFixture {};

TEST_F(ControlStreaming, PanelWithAButtonReadsUnderTheReadersParentAndWritesBackTheSame) {
  TForm* Form = NewForm(400, 300);
  std::vector<std::uint8_t> Image;
  {
    // Written from under another form, so that both images see the panel parented the same way.
    TPanel Panel(nullptr);
    Panel.SetParent(NewForm(400, 300));
    Panel.SetName("Panel1");
    Panel.SetBounds(10, 20, 200, 100);
    Panel.SetCaption("Box");
    auto* Button = new TButton(&Panel);
    Button->SetName("Button1");
    Button->SetParent(&Panel);
    Button->SetBounds(5, 6, 80, 25);
    Button->SetCaption("OK");
    TMemoryStream S;
    S.WriteComponent(&Panel);
    Image = Bytes(S);
  }

  TMemoryStream In;
  In.WriteBuffer(Image.data(), std::int64_t(Image.size()));
  In.SetPosition(0);
  TComponent* Read = nullptr;
  {
    TReader Reader(&In);
    Reader.SetParent(Form);
    Read = Reader.ReadRootComponent(nullptr);
  }
  std::unique_ptr<TComponent> Owned(Read);
  auto* Panel = dynamic_cast<TPanel*>(Read);
  ASSERT_NE(Panel, nullptr);
  EXPECT_EQ(Panel->Parent(), Form);
  EXPECT_EQ(Panel->Left(), 10);
  EXPECT_EQ(Panel->Width(), 200);
  EXPECT_EQ(Panel->Caption(), "Box");
  ASSERT_EQ(Panel->ComponentCount(), 1);
  auto* Button = dynamic_cast<TButton*>(Panel->Components(0));
  ASSERT_NE(Button, nullptr);
  EXPECT_EQ(Button->Name(), "Button1");
  EXPECT_EQ(Button->Parent(), Panel);
  EXPECT_EQ(Button->Top(), 6);
  EXPECT_EQ(Button->Caption(), "OK");
  EXPECT_FALSE(Button->ComponentState().Contains(csLoading));

  TMemoryStream Again;
  Again.WriteComponent(Panel);
  EXPECT_EQ(Bytes(Again), Image);

  // The text form names both controls, the button inside the panel.
  In.SetPosition(0);
  TStringStream Text;
  ObjectBinaryToText(&In, &Text);
  const std::string T = Text.DataString();
  EXPECT_EQ(T.rfind("object Panel1: TPanel\n", 0), 0u) << T;
  EXPECT_NE(T.find("\n  object Button1: TButton\n"), std::string::npos) << T;
  EXPECT_NE(T.find("    Caption = 'OK'\n"), std::string::npos) << T;
}

TEST_F(ControlStreaming, AnUnknownPropertyOfAChildControlLeavesNoControlUnderTheParent) {
  TForm* Form = NewForm(200, 100);
  std::vector<std::uint8_t> Image;
  {
    TPanel Panel(nullptr);
    Panel.SetName("Panel1");
    auto* Button = new TButton(&Panel);
    Button->SetName("Button1");
    Button->SetParent(&Panel);
    TMemoryStream S;
    S.WriteComponent(&Panel);
    Image = Bytes(S);
  }
  // Rename the button's first property so it names none.
  const std::string Needle = "Left";
  const std::string Marker = "Button1";
  auto ButtonAt = std::search(Image.begin(), Image.end(), Marker.begin(), Marker.end());
  auto At = std::search(ButtonAt, Image.end(), Needle.begin(), Needle.end());
  ASSERT_NE(At, Image.end());
  *At = 'X';

  TMemoryStream In;
  In.WriteBuffer(Image.data(), std::int64_t(Image.size()));
  In.SetPosition(0);
  const int Before = Form->ControlCount();
  TReader Reader(&In);
  Reader.SetParent(Form);
  try {
    Reader.ReadRootComponent(nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EReadError& E) {
    EXPECT_EQ(std::string(E.what()), "Error reading Button1.Xeft: Property Xeft does not exist");
  }
  EXPECT_EQ(Form->ControlCount(), Before);
}

TEST_F(ControlStreaming, AStoredChildPositionSetsTheControlsPlaceAmongItsSiblings) {
  TForm* Form = NewForm(200, 100);
  TStringStream Text(
      "object Panel1: TPanel\n"
      "  object A: TButton\n"
      "  end\n"
      "  object B: TButton\n"
      "  end\n"
      "  object C: TButton [0]\n"
      "  end\n"
      "end\n");
  TMemoryStream Image;
  ObjectTextToBinary(&Text, &Image);
  Image.SetPosition(0);
  TReader Reader(&Image);
  Reader.SetParent(Form);
  std::unique_ptr<TComponent> Owned(Reader.ReadRootComponent(nullptr));
  auto* Panel = dynamic_cast<TPanel*>(Owned.get());
  ASSERT_NE(Panel, nullptr);
  ASSERT_EQ(Panel->ControlCount(), 3);
  EXPECT_EQ(Panel->Controls(0)->Name(), "C");
  EXPECT_EQ(Panel->Controls(1)->Name(), "A");
  EXPECT_EQ(Panel->Controls(2)->Name(), "B");
}

}  // namespace
