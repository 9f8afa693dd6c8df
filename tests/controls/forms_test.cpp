// Forms and the application: hints, printing, modal loops, closing.
#include "platform/controls/forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/backend/headless.h"
#include "support/window_fixture.h"

using namespace platform;

namespace {

class TPlainControl : public TCustomControl {
  VEL_CLASS(TPlainControl, TCustomControl)
  explicit TPlainControl(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 50, 30); }
};

void AdvanceClock(DWORD Ms) {
  if (auto* H = dynamic_cast<THeadlessBackend*>(&Backend())) H->AdvanceTime(Ms);
}

// Sets an environment variable for the life of the object.
struct ScopedEnv {
  ScopedEnv(const char* AName, const std::string& Value) : Name(AName) {
    if (const char* Old = std::getenv(AName)) Saved = Old, Had = true;
    setenv(AName, Value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (Had)
      setenv(Name, Saved.c_str(), 1);
    else
      unsetenv(Name);
  }
  const char* Name;
  std::string Saved;
  bool Had = false;
};

}  // namespace

VEL_IMPLEMENT_CLASS(TPlainControl, "Tests");

class Forms : public WindowFixture {};

TEST_F(Forms, HintShowsAfterTheMouseRestsAndGoesOnAClick) {
  if (!dynamic_cast<THeadlessBackend*>(&Backend())) GTEST_SKIP() << "needs the headless clock";
  TForm* Form = NewForm(200, 100);
  auto* C = new TPlainControl(Form);
  C->SetParent(Form);
  C->SetBounds(10, 10, 50, 30);
  C->SetHint("Save the file|Writes the document to disk");
  C->SetShowHint(true);
  InjectMouseMove(Form->Handle(), Point(20, 20));
  ProcessMessages();
  EXPECT_EQ(Application()->HintControl(), nullptr);  // not yet: the mouse has to rest
  AdvanceClock(Application()->HintPause() + 10);
  ProcessMessages();
  ASSERT_EQ(Application()->HintControl(), C);
  THintWindow* W = Application()->HintWindow();
  ASSERT_NE(W, nullptr);
  EXPECT_EQ(W->Caption(), "Save the file");
  EXPECT_TRUE(IsWindowVisible(W->Handle()));
  Click(Form, 20, 20);
  EXPECT_EQ(Application()->HintControl(), nullptr);
  EXPECT_FALSE(IsWindowVisible(W->Handle()));

  // A control without ShowHint shows nothing.
  C->SetShowHint(false);
  InjectMouseMove(Form->Handle(), Point(150, 80));
  InjectMouseMove(Form->Handle(), Point(25, 25));
  ProcessMessages();
  AdvanceClock(2000);
  ProcessMessages();
  EXPECT_EQ(Application()->HintControl(), nullptr);
}

TEST_F(Forms, PrintWritesAPdfOrFailsClearly) {
  TForm* Form = NewForm(120, 80);
  const auto Dir = std::filesystem::current_path() / "test-output";
  std::filesystem::create_directories(Dir);
  const auto Pdf = Dir / "form_print.pdf";
  std::filesystem::remove(Pdf);
  {
    ScopedEnv Env("VELSTUDIO_PRINT_FILE", Pdf.string());
    Form->Print();
  }
  std::ifstream In(Pdf, std::ios::binary);
  std::string Head(5, '\0');
  In.read(Head.data(), 5);
  EXPECT_EQ(Head, "%PDF-");

  {
    ScopedEnv Env("VELSTUDIO_PRINT_FILE", (Dir / "no-such-dir" / "x.pdf").string());
    EXPECT_THROW(Form->Print(), EPrinter);
  }
  {
    ScopedEnv NoFile("VELSTUDIO_PRINT_FILE", "");
    ScopedEnv NoPath("PATH", "/nonexistent");
    try {
      Form->Print();
      FAIL() << "printing without a target must fail";
    } catch (const EPrinter& E) {
      EXPECT_NE(E.Message().find("VELSTUDIO_PRINT_FILE"), std::string::npos);
    }
  }
}

TEST_F(Forms, ModalLoopEndsWithTheResultSetInsideIt) {
  TForm* Dialog = new TForm(Application());
  Dialog->SetBounds(0, 0, 100, 60);
  int Idles = 0;
  SetIdleHandler([&] {
    // The dialog is up: answer it the way a button would.
    if (++Idles == 1) {
      EXPECT_TRUE(Dialog->Showing());
      Dialog->SetModalResult(mrOk);
    }
    return true;
  });
  EXPECT_EQ(Dialog->ShowModal(), mrOk);
  EXPECT_FALSE(Dialog->Showing());
  // With nothing able to arrive, the loop cannot hang: it ends as cancelled.
  SetIdleHandler(nullptr);
  EXPECT_EQ(Dialog->ShowModal(), mrCancel);
}

TEST_F(Forms, CloseWithCaFreeReleasesTheFormLater) {
  TForm* Form = NewForm(100, 60);
  bool Destroyed = false;
  Form->OnDestroy = [&](TObject*) { Destroyed = true; };
  Form->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  Form->Close();
  EXPECT_FALSE(Destroyed);  // still alive while the caller runs
  ProcessMessages();
  EXPECT_TRUE(Destroyed);
  EXPECT_EQ(Screen()->FormCount(), 0);
}
