// The dialog editors (colour, font, string list) run as modal forms and are
// answered with input injected while their modal loop idles.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <memory>
#include <vector>

#include "designintf/fixtures.h"
#include "platform/designintf/dialogs.h"
#include "platform/designintf/propedit.h"
#include "support/window_fixture.h"

namespace fixture {

using TProp = TInterfaceRef<IProperty>;

class DialogEditors : public WindowFixture {
 protected:
  void SetUp() override {
    Root = new TFixtureRoot(Application());
    F1 = new TFixture(Root);
    F1->SetName("Fixture1");
    F2 = new TFixture(Root);
    F2->SetName("Fixture2");
    for (TFixture* F : {F1, F2}) {
      F->SetColor(clRed);
      F->Lines()->SetText("a\nb");
      F->Writes = 0;
    }
  }

  static TProp EditorFor(std::vector<TPersistent*> Objects, const std::string& Name) {
    TDesignerSelections Selection;
    for (TPersistent* P : Objects) Selection.Add(P);
    TProp Found;
    GetComponentProperties(&Selection, tkAny, nullptr, [&](const TProp& P) {
      if (P->GetName() == Name) Found = P;
    });
    return Found;
  }

  /// Runs one step each time the modal loop idles; when the steps are done,
  /// nothing more can arrive (a dialog still open then ends as cancelled).
  void Script(std::vector<std::function<void()>> Steps) {
    auto Shared = std::make_shared<std::vector<std::function<void()>>>(std::move(Steps));
    auto Next = std::make_shared<size_t>(0);
    SetIdleHandler([Shared, Next] {
      if (*Next >= Shared->size()) return false;
      (*Shared)[(*Next)++]();
      return true;
    });
  }

  /// The modal form being shown.
  static TCustomForm* Modal() {
    for (int I = 0; I < Screen()->FormCount(); ++I)
      if (Screen()->Forms(I)->Modal()) return Screen()->Forms(I);
    return nullptr;
  }
  template <class T>
  static T* ModalAs() {
    T* F = dynamic_cast<T*>(Modal());
    EXPECT_NE(F, nullptr);
    return F;
  }

  static void Key(UINT Vk, char32_t Ch = 0) {
    InjectKey(Vk, true, Ch);
    InjectKey(Vk, false);
  }
  static void Type(const std::string& Text) {
    for (char C : Text) {
      const UINT Vk = std::isalnum(static_cast<unsigned char>(C)) ? UINT(std::toupper(C)) : 0xBA;
      Key(Vk, char32_t(static_cast<unsigned char>(C)));
    }
  }
  static void Backspaces(int N) {
    for (int I = 0; I < N; ++I) Key(VK_BACK);
  }
  /// A left click in the middle of a control of the modal form.
  static void ClickOn(TControl* C) {
    TCustomForm* F = C->GetParentForm();
    const TPoint P = F->ScreenToClient(C->ClientToScreen(Point(C->Width() / 2, C->Height() / 2)));
    InjectMouseMove(F->Handle(), P);
    InjectMouseButton(F->Handle(), TInputButton::Left, true, P);
    InjectMouseButton(F->Handle(), TInputButton::Left, false, P);
  }

  TFixtureRoot* Root = nullptr;
  TFixture* F1 = nullptr;
  TFixture* F2 = nullptr;
};

TEST_F(DialogEditors, ColourTypedIntoTheDialogGoesToEverySelectedComponent) {
  TProp Color = EditorFor({F1, F2}, "Color");
  std::string Shown;
  Script({[&] { Shown = ModalAs<TColorDialogForm>()->ColorEdit()->Text(); },
          [&] {
            std::unique_ptr<TBitmap> Image(Modal()->GetFormImage());
            SavePng(Image.get(), "colour_dialog.png");
          },
          [] { Backspaces(5); }, [] { Type("clBlue"); }, [] { Key(VK_RETURN); }});
  Color->Edit();
  EXPECT_EQ(Shown, "clRed");  // the dialog opens on the first component's colour
  EXPECT_EQ(F1->Color(), clBlue);
  EXPECT_EQ(F2->Color(), clBlue);
  EXPECT_EQ(F1->Writes, 1);
  EXPECT_EQ(F2->Writes, 1);
  EXPECT_EQ(Modal(), nullptr);
}

TEST_F(DialogEditors, EscapeCancelsAndAnInvalidColourKeepsTheDialogOpen) {
  TProp Color = EditorFor({F1, F2}, "Color");
  bool StillOpen = false;
  Script({[] { Backspaces(5); }, [] { Type("nocolour"); }, [] { Key(VK_RETURN); },
          [&] { StillOpen = Modal() != nullptr; }, [] { Key(VK_ESCAPE); }});
  Color->Edit();
  EXPECT_TRUE(StillOpen);
  EXPECT_EQ(F1->Color(), clRed);
  EXPECT_EQ(F2->Color(), clRed);
  EXPECT_EQ(F1->Writes + F2->Writes, 0);
}

TEST_F(DialogEditors, ASwatchAndTheOkButtonPickAStandardColour) {
  TProp Color = EditorFor({F1}, "Color");
  Script({[&] { ClickOn(ModalAs<TColorDialogForm>()->Swatch(clLime)); },
          [&] { ClickOn(ModalAs<TColorDialogForm>()->OkButton()); }});
  Color->Edit();
  EXPECT_EQ(F1->Color(), clLime);
}

TEST_F(DialogEditors, FontDialogChangesSizeAndStyleOfEveryFont) {
  F1->Font()->SetName("DejaVu Sans");
  F2->Font()->SetName("DejaVu Serif");
  TProp Font = EditorFor({F1, F2}, "Font");
  Script({[&] { ClickOn(ModalAs<TFontDialogForm>()->StyleBox(fsBold)); },
          [&] { ClickOn(ModalAs<TFontDialogForm>()->SizeEdit()); }, [] { Backspaces(3); }, [] { Type("14"); },
          [] { Key(VK_RETURN); }});
  Font->Edit();
  for (TFixture* F : {F1, F2}) {
    EXPECT_EQ(F->Font()->Size(), 14);
    EXPECT_EQ(F->Font()->Style(), TFontStyles{fsBold});
    // The dialog started from the first font, and its whole result is written.
    EXPECT_EQ(F->Font()->Name(), "DejaVu Sans");
    EXPECT_EQ(F->Writes, 1);
  }
}

TEST_F(DialogEditors, StringListDialogEditsOneLinePerItem) {
  TProp Lines = EditorFor({F1, F2}, "Lines");
  std::vector<std::string> Shown;
  // Ctrl+A selects the text, Enter in the memo starts a line, Tab goes on to OK and Enter presses it.
  Script({[&] { Shown = ModalAs<TStringsDialogForm>()->Memo()->Lines()->ToVector(); },
          [] {
            InjectKey(VK_CONTROL, true);
            Key('A');
            InjectKey(VK_CONTROL, false);
          },
          [] { Type("one"); }, [] { Key(VK_RETURN); }, [] { Type("two"); }, [] { Key(VK_TAB); },
          [] { Key(VK_RETURN); }});
  Lines->Edit();
  EXPECT_EQ(Shown, (std::vector<std::string>{"a", "b"}));
  for (TFixture* F : {F1, F2}) {
    EXPECT_EQ(F->Lines()->ToVector(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(F->Writes, 1);
  }
}

TEST_F(DialogEditors, ADialogThatCannotBeAnsweredEndsAsCancelled) {
  SetIdleHandler(nullptr);
  TColor C = clRed;
  EXPECT_FALSE(ExecuteColorDialog(C));
  EXPECT_EQ(C, clRed);
  TStringList L;
  L.Add("keep");
  EXPECT_FALSE(ExecuteStringsDialog(&L, "Lines"));
  EXPECT_EQ(L.ToVector(), std::vector<std::string>{"keep"});
}

}  // namespace fixture
