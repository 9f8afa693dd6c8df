// Panels, bevels, shapes, images and radio groups, and a form holding one of
// each standard control, painted and checked pixel by pixel.
#include "platform/controls/extctrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"
#include "platform/rtl/typinfo.h"
#include "platform/win/backend.h"
#include "support/window_fixture.h"

using namespace platform;

namespace {

class ExtControls : public WindowFixture {
 protected:
  template <class T>
  static T* Put(TWinControl* Parent, TComponent* Owner, int L, int T0, int W = -1, int H = -1) {
    auto* C = new T(Owner);
    C->SetParent(Parent);
    C->SetBounds(L, T0, W < 0 ? C->Width() : W, H < 0 ? C->Height() : H);
    return C;
  }
  /// Pixels in R darker than Level in each channel on average: text, check marks, arrows.
  static int CountDark(TBitmap* B, const TRect& R, int Level = 128) {
    int N = 0;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
      for (int X = R.Left; X < R.Right; ++X) {
        const std::int32_t C = std::int32_t(PixelOf(B, X, Y));
        if (GetRValue(C) + GetGValue(C) + GetBValue(C) < 3 * Level) ++N;
      }
    return N;
  }
};

// ---------------------------------------------------------------- TRadioGroup

TEST_F(ExtControls, RadioGroupBuildsButtonsAndTracksItemIndex) {
  TForm* Form = NewForm(300, 200);
  auto* G = Put<TRadioGroup>(Form, Form, 10, 10, 185, 105);
  EXPECT_EQ(G->ItemIndex(), -1);
  for (const char* S : {"Small", "Medium", "Large"}) G->Items()->Add(S);
  ASSERT_EQ(G->ButtonCount(), 3);
  EXPECT_EQ(G->Buttons(1)->Caption(), "Medium");
  EXPECT_EQ(G->ItemIndex(), -1);
  int Clicks = 0;
  G->OnClick = [&](TObject*) { ++Clicks; };

  struct TCase {
    int Set;
    int Expect;
  };
  for (const TCase& C : {TCase{1, 1}, TCase{2, 2}, TCase{5, -1}, TCase{0, 0}, TCase{-7, -1}, TCase{3, -1}}) {
    SCOPED_TRACE(C.Set);
    G->SetItemIndex(C.Set);
    EXPECT_EQ(G->ItemIndex(), C.Expect);
    for (int I = 0; I < 3; ++I) EXPECT_EQ(G->Buttons(I)->Checked(), I == C.Expect);
  }
  EXPECT_EQ(Clicks, 0);  // set by the program

  // A click on a button checks it and fires the group's OnClick once.
  TRadioButton* Third = G->Buttons(2);
  const TPoint P = Third->ClientToScreen(Point(6, Third->Height() / 2));
  Click(Form, P.X, P.Y);
  EXPECT_EQ(G->ItemIndex(), 2);
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(Third->Checked());

  // Removing the checked item leaves none checked.
  G->Items()->Delete(2);
  EXPECT_EQ(G->ButtonCount(), 2);
  EXPECT_EQ(G->ItemIndex(), -1);

  // The buttons are the group's own: not presented as children to streaming.
  int Children = 0;
  G->GetChildren([&](TComponent*) { ++Children; }, Form);
  EXPECT_EQ(Children, 0);
}

TEST_F(ExtControls, ArrowKeysMoveTheCheckWithinARadioGroup) {
  TForm* Form = NewForm(300, 200);
  auto* G = Put<TRadioGroup>(Form, Form, 10, 10, 185, 105);
  for (const char* S : {"a", "b", "c"}) G->Items()->Add(S);
  G->SetItemIndex(2);
  std::vector<int> Seen;
  G->OnClick = [&](TObject*) { Seen.push_back(G->ItemIndex()); };
  G->Buttons(2)->SetFocus();
  for (UINT K : {VK_DOWN, VK_DOWN, VK_UP, VK_LEFT}) {
    InjectKey(K, true);
    InjectKey(K, false);
  }
  ProcessMessages();
  EXPECT_EQ(Seen, (std::vector<int>{0, 1, 0, 2}));  // wrapping round at either end
  EXPECT_TRUE(G->Buttons(2)->Focused());
  EXPECT_TRUE(G->Buttons(2)->Checked());
  EXPECT_FALSE(G->Buttons(0)->Checked());
}

TEST_F(ExtControls, RadioGroupLaysItemsOutInColumns) {
  TForm* Form = NewForm(300, 200);
  auto* G = Put<TRadioGroup>(Form, Form, 10, 10, 200, 100);
  for (const char* S : {"a", "b", "c", "d"}) G->Items()->Add(S);
  G->SetColumns(2);
  EXPECT_EQ(G->Buttons(0)->Left(), G->Buttons(1)->Left());
  EXPECT_GT(G->Buttons(2)->Left(), G->Buttons(0)->Left());
  EXPECT_GT(G->Buttons(1)->Top(), G->Buttons(0)->Top());
  EXPECT_EQ(G->Buttons(2)->Top(), G->Buttons(0)->Top());
  for (int I = 0; I < 4; ++I) {
    const TRect R = G->Buttons(I)->BoundsRect();
    EXPECT_GE(R.Left, 0);
    EXPECT_LE(R.Right, G->Width());
    EXPECT_LE(R.Bottom, G->Height());
  }
}

// --------------------------------------------------------------------- TPanel

TEST_F(ExtControls, PanelAlignsChildrenInsideItsBevels) {
  TForm* Form = NewForm(300, 200);
  auto* P = Put<TPanel>(Form, Form, 10, 10);
  EXPECT_EQ(P->Width(), 185);
  EXPECT_EQ(P->Height(), 41);
  EXPECT_EQ(P->Color(), clBtnFace);
  EXPECT_TRUE(P->ControlStyle().Contains(csAcceptsControls));
  auto* Inner = Put<TButton>(P, Form, 0, 0);
  Inner->SetAlign(alClient);
  EXPECT_EQ(Inner->BoundsRect(), Rect(1, 1, 184, 40));
  P->SetBevelInner(bvLowered);
  P->SetBorderWidth(2);
  EXPECT_EQ(Inner->BoundsRect(), Rect(4, 4, 181, 37));
  P->SetBevelOuter(bvNone);
  P->SetBevelInner(bvNone);
  P->SetBorderWidth(0);
  EXPECT_EQ(Inner->BoundsRect(), Rect(0, 0, 185, 41));
}

// ------------------------------------------------------------ TShape, TImage

TEST_F(ExtControls, ShapeRepaintsWhenItsPenOrBrushChanges) {
  TForm* Form = NewForm(200, 100);
  auto* S = Put<TShape>(Form, Form, 10, 10, 60, 40);
  S->Brush()->SetColor(clRed);
  std::unique_ptr<TBitmap> Image(Form->GetFormImage());
  EXPECT_EQ(PixelOf(Image.get(), 40, 30), clRed);
  EXPECT_EQ(PixelOf(Image.get(), 10, 10), clBlack);  // the pen
  S->Brush()->SetColor(clLime);
  S->SetShape(stCircle);
  Image.reset(Form->GetFormImage());
  EXPECT_EQ(PixelOf(Image.get(), 40, 30), clLime);
  EXPECT_EQ(PixelOf(Image.get(), 12, 12), ColorToRGB(clBtnFace));  // outside the circle
  auto Other = std::make_unique<TBrush>();
  Other->SetColor(clBlue);
  SetObjectProp(S, "Brush", Other.get());  // the setter copies
  EXPECT_EQ(S->Brush()->Color(), clBlue);
  EXPECT_NE(S->Brush(), Other.get());
}

TEST_F(ExtControls, ImagePlacesItsPictureAsAsked) {
  TForm* Form = NewForm(200, 200);
  auto* I = Put<TImage>(Form, Form, 0, 0, 100, 50);
  auto Pic = std::make_unique<TBitmap>(20, 10);
  Pic->Canvas()->Brush()->SetColor(clBlue);
  Pic->Canvas()->FillRect(Rect(0, 0, 20, 10));
  I->Picture()->SetGraphic(Pic.get());
  struct TCase {
    bool Stretch, Center, Proportional;
    TRect Expect;
  };
  for (const TCase& C :
       {TCase{false, false, false, Rect(0, 0, 20, 10)}, TCase{false, true, false, Rect(40, 20, 60, 30)},
        TCase{true, false, false, Rect(0, 0, 100, 50)}, TCase{true, false, true, Rect(0, 0, 100, 50)},
        TCase{true, true, true, Rect(0, 0, 100, 50)}}) {
    I->SetStretch(C.Stretch);
    I->SetCenter(C.Center);
    I->SetProportional(C.Proportional);
    EXPECT_EQ(I->DestRect(), C.Expect);
  }
  I->SetBounds(0, 0, 100, 100);
  EXPECT_EQ(I->DestRect(), Rect(0, 25, 100, 75));  // proportional and centred
  std::unique_ptr<TBitmap> Image(Form->GetFormImage());
  EXPECT_EQ(PixelOf(Image.get(), 50, 50), clBlue);
  EXPECT_EQ(PixelOf(Image.get(), 50, 10), ColorToRGB(clBtnFace));
  I->SetAutoSize(true);
  EXPECT_EQ(I->Width(), 20);
  EXPECT_EQ(I->Height(), 10);
}

// ------------------------------------------------------- one of each, painted

TEST_F(ExtControls, FormWithOneOfEachControlPaintsEachWhereItLies) {
  TForm* Form = NewForm(480, 340);
  auto* Label = Put<TLabel>(Form, Form, 10, 10);
  Label->SetCaption("&Label text");
  auto* Button = Put<TButton>(Form, Form, 10, 40);
  Button->SetCaption("Button");
  auto* Edit = Put<TEdit>(Form, Form, 100, 40);
  Edit->SetText("Edit text");
  auto* Memo = Put<TMemo>(Form, Form, 10, 80, 150, 60);
  Memo->Lines()->Add("Memo line one");
  Memo->Lines()->Add("Memo line two");
  auto* Check = Put<TCheckBox>(Form, Form, 170, 80);
  Check->SetCaption("Check");
  Check->SetChecked(true);
  auto* Radio = Put<TRadioButton>(Form, Form, 170, 105);
  Radio->SetCaption("Radio");
  Radio->SetChecked(true);
  auto* Group = Put<TGroupBox>(Form, Form, 285, 10);
  Group->SetCaption("Group");
  auto* RadioGroup = Put<TRadioGroup>(Form, Form, 285, 120, 185, 90);
  RadioGroup->SetCaption("Sizes");
  for (const char* S : {"Small", "Medium", "Large"}) RadioGroup->Items()->Add(S);
  RadioGroup->SetItemIndex(1);
  auto* Panel = Put<TPanel>(Form, Form, 10, 150);
  Panel->SetCaption("Panel");
  auto* Bevel = Put<TBevel>(Form, Form, 210, 150);
  auto* Shape = Put<TShape>(Form, Form, 10, 210);
  Shape->Brush()->SetColor(clRed);
  auto* Img = Put<TImage>(Form, Form, 90, 210, 64, 64);
  auto Pic = std::make_unique<TBitmap>(64, 64);
  Pic->Canvas()->Brush()->SetColor(clBlue);
  Pic->Canvas()->FillRect(Rect(0, 0, 64, 64));
  Img->Picture()->SetGraphic(Pic.get());
  auto* List = Put<TListBox>(Form, Form, 170, 220);
  for (const char* S : {"First", "Second", "Third"}) List->Items()->Add(S);
  List->SetItemIndex(1);
  auto* Combo = Put<TComboBox>(Form, Form, 300, 220);
  for (const char* S : {"Apple", "Pear"}) Combo->Items()->Add(S);
  Combo->SetItemIndex(0);

  std::unique_ptr<TBitmap> Image(Form->GetFormImage());
  SavePng(Image.get(), "standard_controls.png");
  TBitmap* B = Image.get();
  const TColor Face = ColorToRGB(clBtnFace), Window = ColorToRGB(clWindow), Shadow = ColorToRGB(clBtnShadow),
               Hilite = ColorToRGB(clHighlight), Light = ColorToRGB(clBtnHighlight);
  auto Inside = [](TControl* C, int DL, int DT, int DR, int DB) {
    const TRect R = C->BoundsRect();
    return Rect(R.Left + DL, R.Top + DT, R.Right - DR, R.Bottom - DB);
  };

  EXPECT_GT(CountDark(B, Label->BoundsRect()), 20);  // the caption's text
  EXPECT_EQ(PixelOf(B, Label->Left() + Label->Width() - 1, Label->Top()), Face);

  EXPECT_EQ(PixelOf(B, Button->Left(), Button->Top()), Shadow);
  EXPECT_EQ(PixelOf(B, Button->Left() + 3, Button->Top() + 3), Face);
  EXPECT_GT(CountDark(B, Inside(Button, 10, 4, 10, 4)), 20);

  EXPECT_EQ(PixelOf(B, Edit->Left(), Edit->Top()), Shadow);
  EXPECT_EQ(PixelOf(B, Edit->Left() + Edit->Width() - 5, Edit->Top() + 10), Window);
  EXPECT_GT(CountDark(B, Inside(Edit, 2, 2, 2, 2)), 20);

  EXPECT_EQ(PixelOf(B, Memo->Left() + Memo->Width() - 5, Memo->Top() + Memo->Height() - 5), Window);
  EXPECT_GT(CountDark(B, Inside(Memo, 2, 2, 2, 40)), 20);   // the first line
  EXPECT_GT(CountDark(B, Inside(Memo, 2, 17, 2, 25)), 20);  // the second line

  // The check mark inside the box and the dot inside the circle.
  EXPECT_GT(CountDark(B, Bounds(Check->Left() + 2, Check->Top() + 4, 9, 9)), 10);
  EXPECT_EQ(PixelOf(B, Check->Left(), Check->Top() + 8), Shadow);
  EXPECT_GT(CountDark(B, Bounds(Radio->Left() + 4, Radio->Top() + 6, 5, 5)), 5);
  EXPECT_GT(CountDark(B, Inside(Check, 17, 0, 0, 0)), 10);

  EXPECT_EQ(PixelOf(B, Group->Left(), Group->Top() + 50), Shadow);  // the frame's left side
  EXPECT_EQ(PixelOf(B, Group->Left() + 50, Group->Top() + 50), Face);
  EXPECT_GT(CountDark(B, Bounds(Group->Left() + 6, Group->Top(), 50, 14)), 20);

  TRadioButton* Medium = RadioGroup->Buttons(1);
  const TPoint M = Medium->ClientToScreen(Point(0, 0));
  EXPECT_GT(CountDark(B, Bounds(M.X + 4, M.Y + (Medium->Height() - 13) / 2 + 4, 5, 5)), 5);
  TRadioButton* Small = RadioGroup->Buttons(0);
  const TPoint S = Small->ClientToScreen(Point(0, 0));
  EXPECT_EQ(CountDark(B, Bounds(S.X + 4, S.Y + (Small->Height() - 13) / 2 + 4, 5, 5)), 0);

  EXPECT_EQ(PixelOf(B, Panel->Left() + 5, Panel->Top() + 5), Face);
  EXPECT_EQ(PixelOf(B, Panel->Left(), Panel->Top()), Light);
  EXPECT_EQ(PixelOf(B, Panel->Left() + Panel->Width() - 1, Panel->Top() + Panel->Height() - 1), Shadow);
  EXPECT_GT(CountDark(B, Inside(Panel, 60, 5, 60, 5)), 20);  // the centred caption

  EXPECT_EQ(PixelOf(B, Bevel->Left(), Bevel->Top()), Shadow);
  EXPECT_EQ(PixelOf(B, Bevel->Left() + Bevel->Width() - 1, Bevel->Top() + Bevel->Height() - 1), Light);

  EXPECT_EQ(PixelOf(B, Shape->Left() + 30, Shape->Top() + 30), clRed);
  EXPECT_EQ(PixelOf(B, Img->Left() + 30, Img->Top() + 30), clBlue);

  const int IH = List->ItemHeight();
  EXPECT_EQ(PixelOf(B, List->Left() + List->Width() - 4, List->Top() + 1 + IH + IH / 2), Hilite);
  EXPECT_EQ(PixelOf(B, List->Left() + List->Width() - 4, List->Top() + List->Height() - 4), Window);
  EXPECT_GT(CountDark(B, Bounds(List->Left() + 2, List->Top() + 1, 60, IH)), 10);

  EXPECT_EQ(PixelOf(B, Combo->Left() + 100, Combo->Top() + 10), Window);
  EXPECT_GT(CountDark(B, Bounds(Combo->Left() + 3, Combo->Top() + 2, 60, 17)), 10);                  // "Apple"
  EXPECT_GT(CountDark(B, Bounds(Combo->Left() + Combo->Width() - 17, Combo->Top() + 6, 16, 9)), 5);  // the arrow

  // A focused control shows it: the edit's and the check box's borders take the highlight colour.
  Edit->SetFocus();
  ProcessMessages();
  Image.reset(Form->GetFormImage());
  EXPECT_EQ(PixelOf(Image.get(), Edit->Left(), Edit->Top()), Hilite);
  Check->SetFocus();
  ProcessMessages();
  Image.reset(Form->GetFormImage());
  SavePng(Image.get(), "standard_controls_focused.png");
  EXPECT_EQ(PixelOf(Image.get(), Edit->Left(), Edit->Top()), Shadow);
  EXPECT_EQ(PixelOf(Image.get(), Check->Left(), Check->Top() + 8), Hilite);
  B = Image.get();

  // A disabled control draws its text in the grey text colour: nothing darker than it.
  EXPECT_GT(CountDark(B, Inside(Button, 10, 4, 10, 4), 100), 20);
  Button->SetEnabled(false);
  Image.reset(Form->GetFormImage());
  EXPECT_EQ(CountDark(Image.get(), Inside(Button, 10, 4, 10, 4), 100), 0);
  EXPECT_GT(CountDark(Image.get(), Inside(Button, 10, 4, 10, 4)), 20);
}

}  // namespace
