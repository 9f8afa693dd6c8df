// The standard controls through real input: clicks and keys are injected into
// the window system and reach the controls through its routing.
#include "platform/controls/stdctrls.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend/headless.h"
#include "platform/controls/forms.h"
#include "platform/rtl/typinfo.h"
#include "platform/win/backend.h"
#include "support/window_fixture.h"

using namespace platform;

namespace {

class StdControls : public WindowFixture {
 protected:
  /// Types each character as a key press with that character.
  static void Type(const std::u32string& Chars) {
    for (char32_t C : Chars) {
      const UINT Key = (C >= U'a' && C <= U'z') ? UINT(C - U'a' + 'A') : (C >= U'0' && C <= U'9') ? UINT(C) : 0xE5;
      InjectKey(Key, true, C);
      InjectKey(Key, false);
    }
    ProcessMessages();
  }
  static void Key(UINT K, TShiftState Shift = {}) {
    if (Shift.Contains(ssShift)) InjectKey(VK_SHIFT, true);
    if (Shift.Contains(ssCtrl)) InjectKey(VK_CONTROL, true);
    InjectKey(K, true);
    InjectKey(K, false);
    if (Shift.Contains(ssCtrl)) InjectKey(VK_CONTROL, false);
    if (Shift.Contains(ssShift)) InjectKey(VK_SHIFT, false);
    ProcessMessages();
  }
  template <class T>
  static T* Put(TForm* Form, int L, int T0, int W = -1, int H = -1) {
    auto* C = new T(Form);
    C->SetParent(Form);
    C->SetBounds(L, T0, W < 0 ? C->Width() : W, H < 0 ? C->Height() : H);
    return C;
  }
};

// ----------------------------------------------------------------------- TButton

TEST_F(StdControls, ButtonClickFiresOnClickOnceEvenWhenClickedQuicklyTwice) {
  TForm* Form = NewForm(200, 100);
  auto* B = Put<TButton>(Form, 10, 10);
  EXPECT_EQ(B->Width(), 75);
  EXPECT_EQ(B->Height(), 25);
  int Clicks = 0;
  B->OnClick = [&](TObject* Sender) {
    EXPECT_EQ(Sender, B);
    ++Clicks;
  };
  Click(Form, 30, 20);
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(B->Focused());  // a click gives a button the focus
  // A second click at once at the same place is a click, not a double click.
  Click(Form, 30, 20);
  EXPECT_EQ(Clicks, 2);
  // Pressed inside, released outside: no click.
  Press(Form, 30, 20);
  Release(Form, 150, 80);
  EXPECT_EQ(Clicks, 2);
  // Space on the focused button clicks it.
  Key(VK_SPACE);
  EXPECT_EQ(Clicks, 3);
  // A disabled button gets no click.
  B->SetEnabled(false);
  Click(Form, 40, 20);
  EXPECT_EQ(Clicks, 3);
}

TEST_F(StdControls, ButtonPaintsFaceBorderAndPressedState) {
  TForm* Form = NewForm(200, 100);
  auto* B = Put<TButton>(Form, 10, 10);
  B->SetCaption("&Go");
  std::unique_ptr<TBitmap> Image(Form->GetFormImage());
  EXPECT_EQ(PixelOf(Image.get(), 10, 10), ColorToRGB(clBtnShadow));  // the border
  EXPECT_EQ(PixelOf(Image.get(), 14, 14), ColorToRGB(clBtnFace));    // the face
  Press(Form, 15, 15);
  Image.reset(Form->GetFormImage());
  EXPECT_EQ(PixelOf(Image.get(), 14, 14), ColorToRGB(clBtnShadow));  // pressed
  EXPECT_EQ(PixelOf(Image.get(), 10, 10), ColorToRGB(clHighlight));  // focused
  Release(Form, 15, 15);
  Image.reset(Form->GetFormImage());
  EXPECT_EQ(PixelOf(Image.get(), 14, 14), ColorToRGB(clBtnFace));
}

struct TModalCase {
  const char* Name;
  int Action;  // 0: click OK, 1: click Retry, 2: Enter, 3: Escape, 4: nothing
  TModalResult Expected;
};

class ModalResults : public StdControls, public ::testing::WithParamInterface<TModalCase> {};

TEST_P(ModalResults, ShowModalReturnsTheResultOfTheButtonOrKey) {
  const TModalCase& Case = GetParam();
  auto* Form = new TForm(Application());
  Form->SetBounds(0, 0, 300, 120);
  auto* Edit = Put<TEdit>(Form, 10, 10);
  auto* Ok = Put<TButton>(Form, 10, 60);
  Ok->SetCaption("OK");
  Ok->SetModalResult(mrOk);
  Ok->SetDefault(true);
  auto* Cancel = Put<TButton>(Form, 100, 60);
  Cancel->SetCaption("Cancel");
  Cancel->SetModalResult(mrCancel);
  Cancel->SetCancel(true);
  auto* Retry = Put<TButton>(Form, 190, 60);
  Retry->SetCaption("Retry");
  Retry->SetModalResult(mrRetry);
  Form->SetActiveControl(Edit);
  int OkClicks = 0;
  Ok->OnClick = [&](TObject*) { ++OkClicks; };

  bool Injected = false;
  SetIdleHandler([&] {
    // The input goes in once; after that nothing more can arrive and the loop must end.
    if (Injected) return false;
    Injected = true;
    switch (Case.Action) {
      case 0:
        InjectMouseMove(Form->Handle(), Point(20, 70));
        InjectMouseButton(Form->Handle(), TInputButton::Left, true, Point(20, 70));
        InjectMouseButton(Form->Handle(), TInputButton::Left, false, Point(20, 70));
        break;
      case 1:
        InjectMouseMove(Form->Handle(), Point(200, 70));
        InjectMouseButton(Form->Handle(), TInputButton::Left, true, Point(200, 70));
        InjectMouseButton(Form->Handle(), TInputButton::Left, false, Point(200, 70));
        break;
      case 2:
        InjectKey(VK_RETURN, true, U'\r');
        InjectKey(VK_RETURN, false);
        break;
      case 3:
        InjectKey(VK_ESCAPE, true, U'\x1b');
        InjectKey(VK_ESCAPE, false);
        break;
      default:
        return false;
    }
    return true;
  });
  EXPECT_EQ(Form->ShowModal(), Case.Expected);
  SetIdleHandler(nullptr);
  EXPECT_FALSE(Form->Visible());
  EXPECT_EQ(OkClicks, Case.Expected == mrOk ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(StdControls, ModalResults,
                         ::testing::Values(TModalCase{"ClickOk", 0, mrOk}, TModalCase{"ClickRetry", 1, mrRetry},
                                           TModalCase{"Enter", 2, mrOk}, TModalCase{"Escape", 3, mrCancel},
                                           TModalCase{"NothingArrives", 4, mrCancel}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(StdControls, EnterClicksTheFocusedButtonRatherThanTheDefaultOne) {
  TForm* Form = NewForm(200, 100);
  auto* Def = Put<TButton>(Form, 10, 10);
  Def->SetDefault(true);
  auto* Other = Put<TButton>(Form, 100, 10);
  int DefClicks = 0, OtherClicks = 0;
  Def->OnClick = [&](TObject*) { ++DefClicks; };
  Other->OnClick = [&](TObject*) { ++OtherClicks; };
  Other->SetFocus();
  Key(VK_RETURN);
  EXPECT_EQ(OtherClicks, 1);
  EXPECT_EQ(DefClicks, 0);
  // Escape with no cancel button does nothing.
  Key(VK_ESCAPE);
  EXPECT_EQ(OtherClicks + DefClicks, 1);
}

TEST_F(StdControls, AcceleratorsClickButtonsAndFocusTheLabelsControl) {
  TForm* Form = NewForm(300, 150);
  auto* B = Put<TButton>(Form, 10, 10);
  B->SetCaption("&Save");
  auto* C = Put<TCheckBox>(Form, 10, 40);
  C->SetCaption("Save &all");
  auto* L = Put<TLabel>(Form, 10, 70);
  L->SetCaption("&Name && title");
  auto* E = Put<TEdit>(Form, 100, 70);
  L->SetFocusControl(E);
  int Clicks = 0;
  B->OnClick = [&](TObject*) { ++Clicks; };
  auto DialogChar = [&](char Ch) {
    TMessage M{CM_DIALOGCHAR, WPARAM(static_cast<unsigned char>(Ch)), 0, 0};
    Form->Broadcast(M);
    return M.Result != 0;
  };
  EXPECT_TRUE(DialogChar('s'));
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(B->Focused());
  EXPECT_TRUE(DialogChar('A'));
  EXPECT_TRUE(C->Checked());
  EXPECT_TRUE(DialogChar('n'));
  EXPECT_TRUE(E->Focused());
  EXPECT_FALSE(DialogChar('t'));  // "&&" marks nothing
  delete E;                       // the label forgets it
  EXPECT_EQ(L->FocusControl(), nullptr);
  EXPECT_FALSE(DialogChar('n'));
  EXPECT_TRUE(IsAccel('x', "E&xit"));
  EXPECT_FALSE(IsAccel('x', "Exit&"));
  EXPECT_FALSE(IsAccel('&', "a && b"));
}

// ------------------------------------------------------------------------ TEdit

TEST_F(StdControls, TypingIntoAnEditChangesTextAndFiresOnChange) {
  TForm* Form = NewForm(300, 100);
  auto* E = Put<TEdit>(Form, 10, 10);
  EXPECT_EQ(E->Width(), 121);
  EXPECT_EQ(E->Height(), 21);
  std::vector<std::string> Seen;
  E->OnChange = [&](TObject*) { Seen.push_back(E->Text()); };
  Click(Form, 20, 20);
  ASSERT_TRUE(E->Focused());
  Type(U"hi é€");
  EXPECT_EQ(E->Text(), "hi \xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(Seen.size(), 5u);
  EXPECT_EQ(Seen.front(), "h");
  EXPECT_EQ(E->SelStart(), 5);  // characters, not bytes
  Key(VK_BACK);
  EXPECT_EQ(E->Text(), "hi \xC3\xA9");
  Key(VK_HOME);
  Key(VK_DELETE);
  EXPECT_EQ(E->Text(), "i \xC3\xA9");
  // Shift+End selects to the end; typing replaces the selection.
  Key(VK_RIGHT);
  Key(VK_END, {ssShift});
  EXPECT_EQ(E->SelStart(), 1);
  EXPECT_EQ(E->SelLength(), 2);
  EXPECT_EQ(E->SelText(), " \xC3\xA9");
  Type(U"t");
  EXPECT_EQ(E->Text(), "it");
  EXPECT_EQ(Seen.back(), "it");
}

TEST_F(StdControls, EditKeepsMaxLengthAndReadOnlyAndSetTextFiresOnChange) {
  TForm* Form = NewForm(300, 100);
  auto* E = Put<TEdit>(Form, 10, 10);
  int Changes = 0;
  E->OnChange = [&](TObject*) { ++Changes; };
  E->SetText("abc");
  EXPECT_EQ(Changes, 1);
  E->SetText("abc");  // unchanged: no event
  EXPECT_EQ(Changes, 1);
  E->SetMaxLength(5);
  E->SetFocus();  // focus by keyboard selects everything
  EXPECT_EQ(E->SelLength(), 3);
  Key(VK_END);
  Type(U"defg");
  EXPECT_EQ(E->Text(), "abcde");
  E->SetReadOnly(true);
  Type(U"x");
  Key(VK_BACK);
  EXPECT_EQ(E->Text(), "abcde");
  EXPECT_EQ(Changes, 3);
  // The program may still change a read-only edit.
  E->SetSelStart(1);
  E->SetSelLength(2);
  E->SetSelText("XY-");
  EXPECT_EQ(E->Text(), "aXY-de");
}

TEST_F(StdControls, EditSelectsWithTheMouseAndCopiesAndPastes) {
  TForm* Form = NewForm(300, 100);
  auto* E = Put<TEdit>(Form, 10, 10, 200);
  auto* Other = Put<TEdit>(Form, 10, 50, 200);
  E->SetText("hello world");
  Press(Form, 14, 20);
  Release(Form, 200, 20);  // dragging past the end selects to it
  EXPECT_EQ(E->SelText(), "hello world");
  Key('C', {ssCtrl});
  Other->SetFocus();
  Key(VK_END);
  Key('V', {ssCtrl});
  EXPECT_EQ(Other->Text(), "hello world");
  Key(VK_LEFT, {ssShift});
  Key(VK_LEFT, {ssShift});
  Key('X', {ssCtrl});
  EXPECT_EQ(Other->Text(), "hello wor");
  Key(VK_HOME);
  Key('V', {ssCtrl});
  EXPECT_EQ(Other->Text(), "ldhello wor");
  // Ctrl+arrows go by words; Ctrl+Shift selects as they go.
  Other->SetText("one two  three");
  Key(VK_RIGHT, {ssCtrl});
  EXPECT_EQ(Other->SelStart(), 4);
  Key(VK_RIGHT, {ssCtrl, ssShift});
  EXPECT_EQ(Other->SelText(), "two  ");
  Key(VK_END);
  Key(VK_LEFT, {ssCtrl});
  EXPECT_EQ(Other->SelStart(), 9);
  // A double click selects the word under the mouse.
  E->SetText("hello world");
  dynamic_cast<THeadlessBackend&>(Backend()).AdvanceTime(GetDoubleClickTime() + 1);  // apart from the first press
  Click(Form, 16, 20);
  Click(Form, 16, 20);
  EXPECT_EQ(E->SelText(), "hello");
}

TEST_F(StdControls, FocusedEditShowsABlinkingCaretAndTheSelection) {
  TForm* Form = NewForm(200, 60);
  auto* E = Put<TEdit>(Form, 10, 10);
  E->SetText("WWW");
  std::unique_ptr<TBitmap> Image(Form->GetFormImage());
  EXPECT_EQ(PixelOf(Image.get(), 10, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelOf(Image.get(), 120, 20), ColorToRGB(clWindow));
  E->SetFocus();  // selects all
  Image.reset(Form->GetFormImage());
  EXPECT_EQ(PixelOf(Image.get(), 10, 10), ColorToRGB(clHighlight));
  // Some pixel of the selected text's background is the highlight colour.
  bool Highlighted = false;
  for (int X = 14; X < 30; ++X) Highlighted |= PixelOf(Image.get(), X, 20) == ColorToRGB(clHighlight);
  EXPECT_TRUE(Highlighted);
  EXPECT_TRUE(E->CaretShown());
  // The caret blinks with the window system's timer.
  auto* Headless = dynamic_cast<THeadlessBackend*>(&Backend());
  ASSERT_NE(Headless, nullptr);
  Headless->AdvanceTime(600);
  ProcessMessages();
  EXPECT_FALSE(E->CaretShown());
  Headless->AdvanceTime(600);
  ProcessMessages();
  EXPECT_TRUE(E->CaretShown());
  Form->SetFocus();
  ProcessMessages();
  EXPECT_FALSE(E->CaretShown());
}

// ------------------------------------------------------------------------ TMemo

TEST_F(StdControls, MemoTypesLinesAndKeepsLinesInStepWithText) {
  TForm* Form = NewForm(300, 200);
  auto* M = Put<TMemo>(Form, 10, 10);
  auto* Def = Put<TButton>(Form, 10, 150);
  Def->SetDefault(true);
  int DefClicks = 0;
  Def->OnClick = [&](TObject*) { ++DefClicks; };
  Click(Form, 30, 30);
  Type(U"one");
  Key(VK_RETURN);  // a new line, not the default button
  Type(U"two");
  EXPECT_EQ(DefClicks, 0);
  EXPECT_EQ(M->Text(), "one\ntwo");
  ASSERT_EQ(M->Lines()->Count(), 2);
  EXPECT_EQ(M->Lines()->Get(1), "two");
  Key(VK_UP);
  Type(U"X");
  EXPECT_EQ(M->Lines()->Get(0), "oneX");
  M->Lines()->Add("three");
  EXPECT_EQ(M->Text(), "oneX\ntwo\nthree");
  M->Lines()->Delete(0);
  EXPECT_EQ(M->Lines()->Count(), 2);
  M->Lines()->SetText("a\r\nb\r\n");
  EXPECT_EQ(M->Text(), "a\nb");
  EXPECT_EQ(M->Lines()->Count(), 2);
  EXPECT_THROW(M->Lines()->Get(2), EStringListError);
  auto Copy = std::make_unique<TStringList>();
  Copy->Add("x");
  Copy->Add("y");
  M->Lines()->Assign(Copy.get());
  EXPECT_EQ(M->Text(), "x\ny");
}

// ------------------------------------------------------- check and radio buttons

TEST_F(StdControls, CheckBoxTogglesOnClickAndSpace) {
  TForm* Form = NewForm(200, 100);
  auto* C = Put<TCheckBox>(Form, 10, 10);
  C->SetCaption("Check");
  EXPECT_EQ(C->Width(), 97);
  EXPECT_EQ(C->Height(), 17);
  int Clicks = 0;
  C->OnClick = [&](TObject*) { ++Clicks; };
  Click(Form, 15, 18);
  EXPECT_TRUE(C->Checked());
  EXPECT_EQ(Clicks, 1);
  Key(VK_SPACE);
  EXPECT_FALSE(C->Checked());
  EXPECT_EQ(Clicks, 2);
  C->SetAllowGrayed(true);
  Click(Form, 15, 18);
  EXPECT_EQ(C->State(), cbGrayed);
  Click(Form, 15, 18);
  EXPECT_EQ(C->State(), cbChecked);
  EXPECT_EQ(Clicks, 4);
  C->SetChecked(true);  // no change, no event
  EXPECT_EQ(Clicks, 4);
}

TEST_F(StdControls, CheckingARadioButtonUnchecksItsSiblingsOnly) {
  TForm* Form = NewForm(300, 150);
  auto* A = Put<TRadioButton>(Form, 10, 10);
  auto* B = Put<TRadioButton>(Form, 10, 30);
  auto* Box = Put<TGroupBox>(Form, 130, 10);
  auto* C = new TRadioButton(Form);
  C->SetParent(Box);
  C->SetBounds(10, 20, 100, 17);
  C->SetChecked(true);
  int BClicks = 0;
  B->OnClick = [&](TObject*) { ++BClicks; };
  A->SetChecked(true);
  Click(Form, 15, 38);
  EXPECT_TRUE(B->Checked());
  EXPECT_FALSE(A->Checked());
  EXPECT_TRUE(C->Checked());  // another parent
  EXPECT_EQ(BClicks, 1);
  Click(Form, 140, 38);  // C again: stays checked
  EXPECT_TRUE(C->Checked());
  EXPECT_TRUE(B->Checked());
}

// --------------------------------------------------------------------- TListBox

TEST_F(StdControls, ListBoxSelectsByClickAndArrowKeys) {
  TForm* Form = NewForm(200, 150);
  auto* L = Put<TListBox>(Form, 10, 10);
  for (const char* S : {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta", "iota"})
    L->Items()->Add(S);
  EXPECT_EQ(L->ItemIndex(), -1);
  int Clicks = 0;
  L->OnClick = [&](TObject*) { ++Clicks; };
  const int H = L->ItemHeight();
  Click(Form, 30, 10 + 1 + H + H / 2);
  EXPECT_EQ(L->ItemIndex(), 1);
  EXPECT_EQ(Clicks, 1);
  Key(VK_DOWN);
  EXPECT_EQ(L->ItemIndex(), 2);
  EXPECT_EQ(Clicks, 2);
  Key(VK_END);
  EXPECT_EQ(L->ItemIndex(), 8);
  EXPECT_GT(L->TopIndex(), 0);  // scrolled to show it
  Key(VK_UP);
  EXPECT_EQ(L->ItemIndex(), 7);
  L->SetItemIndex(42);
  EXPECT_EQ(L->ItemIndex(), -1);
  L->SetItemIndex(3);
  L->Items()->Clear();
  EXPECT_EQ(L->ItemIndex(), -1);
  Click(Form, 30, 20);  // nothing there
  EXPECT_EQ(L->ItemIndex(), -1);
}

// -------------------------------------------------------------------- TComboBox

TEST_F(StdControls, ComboBoxDropsDownAndPicksAnItemWithTheMouse) {
  TForm* Form = NewForm(300, 250);
  auto* C = Put<TComboBox>(Form, 10, 10);
  EXPECT_EQ(C->Width(), 145);
  EXPECT_EQ(C->Height(), 21);
  for (const char* S : {"red", "green", "blue"}) C->Items()->Add(S);
  std::vector<std::string> Events;
  C->OnChange = [&](TObject*) { Events.push_back("change " + C->Text()); };
  C->OnClick = [&](TObject*) { Events.push_back("click"); };
  Click(Form, 145, 20);  // the button
  ASSERT_TRUE(C->DroppedDown());
  TCustomControl* List = C->ListWindow();
  ASSERT_NE(List, nullptr);
  EXPECT_EQ(List->Top(), C->ClientToScreen(Point(0, C->Height())).Y);
  // The list is a window of its own: click its third row there. Hovering highlights the row.
  const int RowH = (List->Height() - 2) / 3;
  const TPoint P = Point(20, 1 + 2 * RowH + RowH / 2);
  InjectMouseMove(List->Handle(), P);
  ProcessMessages();
  UpdateWindow(List->Handle());
  const std::filesystem::path Dir = std::filesystem::current_path() / "test-output";
  std::filesystem::create_directories(Dir);
  ASSERT_TRUE(SaveWindowImage(List->Handle(), (Dir / "combo_list.png").string()));
  TBitmap Shot;
  Shot.LoadFromFile((Dir / "combo_list.png").string());
  EXPECT_EQ(PixelOf(&Shot, List->Width() - 4, P.Y), ColorToRGB(clHighlight));
  EXPECT_EQ(PixelOf(&Shot, List->Width() - 4, 1 + RowH / 2), ColorToRGB(clWindow));
  InjectMouseButton(List->Handle(), TInputButton::Left, true, P);
  InjectMouseButton(List->Handle(), TInputButton::Left, false, P);
  ProcessMessages();
  EXPECT_FALSE(C->DroppedDown());
  EXPECT_EQ(C->ItemIndex(), 2);
  EXPECT_EQ(C->Text(), "blue");
  EXPECT_EQ(Events, (std::vector<std::string>{"change blue", "click"}));
  // Dropped again, a click elsewhere closes the list and changes nothing.
  Click(Form, 145, 20);
  ASSERT_TRUE(C->DroppedDown());
  Click(Form, 250, 200);
  EXPECT_FALSE(C->DroppedDown());
  EXPECT_EQ(C->ItemIndex(), 2);
  EXPECT_EQ(Events.size(), 2u);
}

TEST_F(StdControls, ComboBoxKeysAndEscapeCloseTheListBeforeTheCancelButton) {
  TForm* Form = NewForm(300, 250);
  auto* C = Put<TComboBox>(Form, 10, 10);
  C->SetStyle(csDropDownList);
  for (const char* S : {"one", "two", "three"}) C->Items()->Add(S);
  auto* Cancel = Put<TButton>(Form, 200, 200);
  Cancel->SetCancel(true);
  int Cancels = 0, Changes = 0;
  Cancel->OnClick = [&](TObject*) { ++Cancels; };
  C->OnChange = [&](TObject*) { ++Changes; };
  C->SetFocus();
  Type(U"t");  // the first item starting with "t"
  EXPECT_EQ(C->Text(), "two");
  EXPECT_EQ(Changes, 1);
  Type(U"t");
  EXPECT_EQ(C->Text(), "three");
  Key(VK_F1 + 3);  // F4
  ASSERT_TRUE(C->DroppedDown());
  Key(VK_ESCAPE);
  EXPECT_FALSE(C->DroppedDown());
  EXPECT_EQ(Cancels, 0);
  Key(VK_ESCAPE);
  EXPECT_EQ(Cancels, 1);
  Key(VK_DOWN, {});
  EXPECT_EQ(C->ItemIndex(), 2);  // already the last
  Key(VK_UP);
  EXPECT_EQ(C->Text(), "two");
  Key(VK_F1 + 3);
  Key(VK_UP);
  Key(VK_RETURN);
  EXPECT_FALSE(C->DroppedDown());
  EXPECT_EQ(C->Text(), "one");
  // Typing is refused in a drop-down list; the program sets what it likes.
  C->SetItemIndex(-1);
  EXPECT_EQ(C->Text(), "");
}

TEST_F(StdControls, EditableComboBoxTakesTypedTextAndMatchesItems) {
  TForm* Form = NewForm(300, 100);
  auto* C = Put<TComboBox>(Form, 10, 10);
  for (const char* S : {"ab", "abc"}) C->Items()->Add(S);
  int Changes = 0;
  C->OnChange = [&](TObject*) { ++Changes; };
  Click(Form, 20, 20);
  Type(U"abc");
  EXPECT_EQ(C->Text(), "abc");
  EXPECT_EQ(C->ItemIndex(), 1);
  Key(VK_BACK);
  EXPECT_EQ(C->ItemIndex(), 0);
  Type(U"x");
  EXPECT_EQ(C->ItemIndex(), -1);
  EXPECT_EQ(Changes, 5);
  C->SetText("abc");  // by the program: no OnChange
  EXPECT_EQ(C->ItemIndex(), 1);
  EXPECT_EQ(Changes, 5);
}

TEST_F(StdControls, ComboBoxReadFromAStreamKeepsItsItemIndex) {
  // Properties arrive in published order: the item index before the items.
  TForm* Form = NewForm(300, 100);
  auto* C = new TComboBox(Form);
  C->SetStreamingState(csLoading, true);
  C->SetParent(Form);
  SetOrdProp(C, "Style", csDropDownList);
  SetOrdProp(C, "ItemIndex", 1);
  C->Items()->Add("first");
  C->Items()->Add("second");
  SetStrProp(C, "Text", "second");
  C->SetStreamingState(csLoading, false);
  static_cast<TComponent*>(C)->Loaded();  // what the reader calls at the end
  EXPECT_EQ(C->ItemIndex(), 1);
  EXPECT_EQ(C->Text(), "second");
}

// --------------------------------------------------------------------- TLabel

TEST_F(StdControls, LabelSizesItselfToItsCaptionAndHidesTheAmpersand) {
  TForm* Form = NewForm(300, 100);
  auto* L = Put<TLabel>(Form, 10, 10);
  L->SetCaption("Name");
  const int W1 = L->Width();
  EXPECT_GT(W1, 10);
  L->SetCaption("Name and more");
  EXPECT_GT(L->Width(), W1);
  auto* Plain = Put<TLabel>(Form, 10, 40);
  Plain->SetCaption("Name");
  auto* Accel = Put<TLabel>(Form, 10, 70);
  Accel->SetCaption("&Name");
  EXPECT_EQ(Accel->Width(), Plain->Width());  // "&" takes no room
  L->SetAutoSize(false);
  L->SetCaption("x");
  EXPECT_GT(L->Width(), W1);  // keeps its size
}

// ------------------------------------------------------ registration, publishing

TEST_F(StdControls, ClassesAreRegisteredAndPublishTheirProperties) {
  struct TExpect {
    const char* Class;
    std::vector<const char*> Props;
  };
  const std::vector<TExpect> Cases = {
      {"TLabel", {"Caption", "AutoSize", "Alignment", "Font", "Color", "OnClick", "Align", "Anchors"}},
      {"TButton", {"Caption", "Default", "Cancel", "ModalResult", "TabOrder", "TabStop", "OnClick", "OnKeyDown"}},
      {"TEdit", {"Text", "MaxLength", "ReadOnly", "OnChange", "Color", "Font", "TabStop"}},
      {"TMemo", {"Lines", "WantReturns", "OnChange", "ReadOnly"}},
      {"TCheckBox", {"Caption", "Checked", "State", "AllowGrayed", "OnClick"}},
      {"TRadioButton", {"Caption", "Checked", "OnClick"}},
      {"TGroupBox", {"Caption", "Color", "Font"}},
      {"TListBox", {"Items", "Sorted", "OnClick"}},
      {"TComboBox", {"Items", "ItemIndex", "Style", "Text", "OnChange", "OnDropDown"}},
  };
  for (const TExpect& E : Cases) {
    SCOPED_TRACE(E.Class);
    TClass C = GetClass(E.Class);
    ASSERT_NE(C, nullptr);
    for (const char* Name : E.Props) EXPECT_NE(GetPropInfo(C, Name), nullptr) << Name;
  }
  // A class found by name makes a working control.
  std::unique_ptr<TComponent> Obj(FindClass("TButton")->CreateComponent(nullptr));
  auto* B = dynamic_cast<TButton*>(Obj.get());
  ASSERT_NE(B, nullptr);
  SetOrdProp(B, "ModalResult", mrYes);
  EXPECT_EQ(B->ModalResult(), mrYes);
  SetStrProp(B, "Caption", "Yes");
  EXPECT_EQ(B->Caption(), "Yes");
  EXPECT_EQ(GetObjectProp(B, "Font"), B->Font());
}

// ------------------------------------------------------- focus, wheel, layout

TEST_F(StdControls, TabMovesThroughTheFocusableControlsInOrder) {
  TForm* Form = NewForm(400, 300);
  auto* E = Put<TEdit>(Form, 10, 10);
  auto* B = Put<TButton>(Form, 10, 40);
  Put<TLabel>(Form, 10, 70)->SetCaption("not focusable");
  auto* C = Put<TCheckBox>(Form, 10, 90);
  auto* M = Put<TMemo>(Form, 10, 110);
  auto* R = Put<TRadioButton>(Form, 200, 10);  // unchecked: no tab stop
  auto* L = Put<TListBox>(Form, 200, 40);
  E->SetText("abc");
  E->SetFocus();
  std::vector<TWinControl*> Order;
  for (int I = 0; I < 5; ++I) {
    Key(VK_TAB);
    for (TWinControl* W : std::vector<TWinControl*>{E, B, C, M, R, L})
      if (W->Focused()) Order.push_back(W);
  }
  EXPECT_EQ(Order, (std::vector<TWinControl*>{B, C, M, L, E}));
  EXPECT_EQ(E->SelLength(), 3);  // an edit reached by Tab selects its text
  Key(VK_TAB, {ssShift});
  EXPECT_TRUE(L->Focused());
  R->SetChecked(true);
  EXPECT_TRUE(R->TabStop());
}

TEST_F(StdControls, DefaultButtonHighlightFollowsTheFocusedButton) {
  TForm* Form = NewForm(200, 60);
  auto* Def = Put<TButton>(Form, 10, 10);
  Def->SetDefault(true);
  auto* Other = Put<TButton>(Form, 100, 10);
  std::unique_ptr<TBitmap> Image(Form->GetFormImage());
  EXPECT_EQ(PixelOf(Image.get(), 10, 10), ColorToRGB(clHighlight));
  EXPECT_EQ(PixelOf(Image.get(), 100, 10), ColorToRGB(clBtnShadow));
  Other->SetFocus();
  ProcessMessages();
  Image.reset(Form->GetFormImage());
  EXPECT_EQ(PixelOf(Image.get(), 10, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelOf(Image.get(), 100, 10), ColorToRGB(clHighlight));
}

TEST_F(StdControls, MemoAndListBoxScrollWithTheCaretAndTheWheel) {
  TForm* Form = NewForm(300, 200);
  auto* M = Put<TMemo>(Form, 10, 10, 150, 50);
  auto Wheel = [&](int Delta) {
    TInputEvent W;
    W.Kind = TInputKind::Wheel;
    W.Window = Form->Handle();
    W.Pos = Point(20, 20);
    W.WheelDelta = Delta;
    PostInputEvent(W);
    ProcessMessages();
  };
  M->SetFocus();
  for (int I = 0; I < 6; ++I) {
    if (I) Key(VK_RETURN);
    Type(std::u32string(U"l") + char32_t(U'0' + I));
  }
  // The caret's line is in view: the top row now shows a later line.
  EXPECT_GT(M->CharFromPoint(Point(3, 3)), 0);
  Wheel(120);
  EXPECT_EQ(M->CharFromPoint(Point(3, 3)), 0);
  Wheel(-120);
  EXPECT_EQ(M->CharFromPoint(Point(3, 3)), 9);  // three lines of "lN\n" further

  auto* L = Put<TListBox>(Form, 170, 10, 100, 60);
  for (int I = 0; I < 20; ++I) L->Items()->Add("item " + std::to_string(I));
  L->SetFocus();
  Wheel(-120);
  EXPECT_EQ(L->TopIndex(), 3);
  Wheel(-120 * 10);
  EXPECT_EQ(L->TopIndex(), 20 - (60 - 2) / L->ItemHeight());  // no further than the last row
  Wheel(120 * 10);
  EXPECT_EQ(L->TopIndex(), 0);
}

TEST_F(StdControls, GroupBoxAlignsChildrenInsideItsFrame) {
  TForm* Form = NewForm(300, 200);
  auto* G = Put<TGroupBox>(Form, 10, 10);
  EXPECT_EQ(G->Width(), 185);
  EXPECT_EQ(G->Height(), 105);
  auto* E = new TEdit(Form);
  E->SetParent(G);
  E->SetAlign(alClient);
  EXPECT_EQ(E->Left(), 2);
  EXPECT_GT(E->Top(), 8);
  EXPECT_EQ(E->Left() + E->Width(), G->Width() - 2);
  EXPECT_EQ(E->Top() + E->Height(), G->Height() - 2);
}

}  // namespace
