#include "examples/demo/session.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "platform/backend/x11.h"
#include "platform/win/backend.h"

namespace demo {

using namespace platform;

namespace {

bool KeyIsDown(UINT Vk) { return (GetKeyState(int(Vk)) & 0x8000) != 0; }

/// Draws an arrow pointer with its tip at P, as a person would see it.
void DrawPointer(cairo_t* Cr, TPoint P) {
  static const double Shape[][2] = {{0, 0}, {0, 17}, {4, 13}, {7, 20}, {10, 19}, {7, 12}, {12, 12}};
  cairo_new_path(Cr);
  for (const auto& Corner : Shape) cairo_line_to(Cr, P.X + Corner[0] + 0.5, P.Y + Corner[1] + 0.5);
  cairo_close_path(Cr);
  cairo_set_source_rgb(Cr, 1, 1, 1);
  cairo_fill_preserve(Cr);
  cairo_set_source_rgb(Cr, 0, 0, 0);
  cairo_set_line_width(Cr, 1);
  cairo_stroke(Cr);
}

}  // namespace

TSessionDriver::TSessionDriver(TDemoWindow& Window) : FWindow(Window) {
  if (!IsX11Backend() || !FInput.Ok()) return;
  FWindow.Form()->Show();
  FReady = X11WaitExposed(FWindow.Form()->Handle(), 5000);
  Application()->ProcessMessages();
}

TPoint TSessionDriver::ScreenOf(const TControl* Control, TPoint Client) { return Control->ClientToScreen(Client); }

TPoint TSessionDriver::CentreOf(const TControl* Control) {
  return Control->ClientToScreen(Point(Control->Width() / 2, Control->Height() / 2));
}

void TSessionDriver::Click(TPoint Screen, bool WithShift) {
  FInput.MoveTo(Screen);
  if (WithShift) FInput.Key(TXKey::Shift, true);
  FInput.LeftButton(true);
  FInput.LeftButton(false);
  if (WithShift) FInput.Key(TXKey::Shift, false);
  FPointer = Screen;
  FInput.Sync();
  FSettled = Settle() && FSettled;
}

void TSessionDriver::Drag(TPoint From, TPoint To, int Steps) {
  FInput.MoveTo(From);
  FInput.LeftButton(true);
  for (int I = 1; I <= Steps; ++I)
    FInput.MoveTo(Point(From.X + (To.X - From.X) * I / Steps, From.Y + (To.Y - From.Y) * I / Steps));
  FInput.LeftButton(false);
  FPointer = To;
  FInput.Sync();
  FSettled = Settle() && FSettled;
}

void TSessionDriver::Stroke(TXKey Key, std::optional<TXKey> Modifier) {
  if (Modifier) FInput.Key(*Modifier, true);
  FInput.Key(Key, true);
  FInput.Key(Key, false);
  if (Modifier) FInput.Key(*Modifier, false);
  FInput.Sync();
  FSettled = Settle() && FSettled;
}

void TSessionDriver::Pause(int Milliseconds) {
  const DWORD Start = GetTickCount();
  while (int(GetTickCount() - Start) < Milliseconds) {
    Application()->ProcessMessages();
    Backend().WaitEvents(10);
  }
  Application()->ProcessMessages();
}

bool TSessionDriver::Settle(int TimeoutMs) {
  // The window system has seen the last event when its pointer, buttons and
  // keys are where the injection left them.
  auto Arrived = [this] {
    TPoint P;
    GetCursorPos(P);
    return (FPointer.X < 0 || P == FPointer) && !KeyIsDown(VK_LBUTTON) && !KeyIsDown(VK_SHIFT) &&
           !KeyIsDown(VK_CONTROL) && !KeyIsDown(VK_DELETE);
  };
  const DWORD Start = GetTickCount();
  for (;;) {
    Application()->ProcessMessages();
    if (Arrived()) break;
    if (int(GetTickCount() - Start) > TimeoutMs) return false;
    Backend().WaitEvents(10);
  }
  // What the last input posted (a deletion, a repaint) runs too, and the
  // idle work that follows it in a running program.
  Pause(30);
  Application()->Idle();
  Application()->ProcessMessages();
  return true;
}

cairo_surface_t* TSessionDriver::Capture() const {
  Application()->ProcessMessages();
  return X11CaptureWindow(FWindow.Form()->Handle());
}

bool TSessionDriver::SaveScreenshot(const std::string& Path) const {
  cairo_surface_t* Image = Capture();
  if (!Image) return false;
  TPoint P;
  GetCursorPos(P);
  P = FWindow.Form()->ScreenToClient(P);
  cairo_t* Cr = cairo_create(Image);
  DrawPointer(Cr, P);
  cairo_destroy(Cr);
  const bool Ok = cairo_surface_write_to_png(Image, Path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(Image);
  return Ok;
}

std::vector<TSessionStep> DemoSession() {
  auto Control = [](TSessionDriver& D, const char* Name) { return D.Window().StageControl(Name); };
  return {
      {"start", "The demo as it starts: designing is on and the stage itself is selected (handles around the stage).",
       [](TSessionDriver&) {}, "Stage"},
      {"select", "A click on the OK button selects it: eight black grab handles, and the status line names it.",
       [=](TSessionDriver& D) { D.Click(D.CentreOf(Control(D, "ButtonOK"))); }, "ButtonOK"},
      {"shift-select", "Shift+click on Cancel adds it to the selection: both buttons show grey corner handles.",
       [=](TSessionDriver& D) { D.Click(D.CentreOf(Control(D, "ButtonCancel")), true); }, "ButtonOK, ButtonCancel"},
      {"drag", "Dragging OK moves both selected buttons 150 px right and 40 px up.",
       [=](TSessionDriver& D) {
         const TPoint From = D.CentreOf(Control(D, "ButtonOK"));
         D.Drag(From, Point(From.X + 150, From.Y - 40));
       },
       "ButtonOK, ButtonCancel"},
      {"resize",
       "A click selects the country list; dragging its bottom-right handle makes it 10 px narrower and 70 px "
       "taller.",
       [=](TSessionDriver& D) {
         TControl* List = Control(D, "ListCountry");
         D.Click(D.CentreOf(List));
         D.Pause(100);
         // The bottom-right handle lies over the list's corner, 2 px outside it.
         const TPoint Handle = D.ScreenOf(List, Point(List->Width() - 1, List->Height() - 1));
         D.Drag(Handle, Point(Handle.X - 10, Handle.Y + 70));
       },
       "ListCountry"},
      {"rubber-band", "A rubber band dragged from an empty spot of the stage selects the three check boxes it touches.",
       [](TSessionDriver& D) {
         TPanel* Stage = D.Window().Stage();
         D.Drag(D.ScreenOf(Stage, Point(8, 84)), D.ScreenOf(Stage, Point(64, 168)));
       },
       "CheckNews, CheckTerms, CheckRemember"},
      {"align-left", "The Align left button lines the three check boxes up on the leftmost one.",
       [](TSessionDriver& D) { D.Click(D.CentreOf(D.Window().AlignLeftButton())); },
       "CheckNews, CheckTerms, CheckRemember"},
      {"delete", "A click on Cancel and the Delete key remove it; the status line shows the stage as the selection.",
       [=](TSessionDriver& D) {
         D.Click(D.CentreOf(Control(D, "ButtonCancel")));
         D.Pause(100);
         D.Stroke(TXKey::Delete);
       },
       "Stage"},
  };
}

bool RecordSession(TSessionDriver& Driver, const std::string& OutDir, std::string& Error) {
  if (!Driver.Ready()) {
    Error = "the demo window did not come up on the X server (or XTest is missing)";
    return false;
  }
  std::error_code Ec;
  std::filesystem::create_directories(OutDir, Ec);
  std::ofstream Steps(std::filesystem::path(OutDir) / "steps.txt");
  if (!Steps) {
    Error = "cannot write into " + OutDir;
    return false;
  }
  int Index = 0;
  for (const TSessionStep& Step : DemoSession()) {
    Step.Play(Driver);
    if (!Driver.Settle() || !Driver.AllArrived()) {
      Error = "step " + Step.Id + ": the input did not arrive";
      return false;
    }
    char Number[16];
    std::snprintf(Number, sizeof Number, "%02d", Index++);
    const std::string File = std::string(Number) + "-" + Step.Id + ".png";
    if (!Driver.SaveScreenshot((std::filesystem::path(OutDir) / File).string())) {
      Error = "step " + Step.Id + ": cannot save " + File;
      return false;
    }
    Steps << File << ": " << Step.Description << "\n";
    Steps.flush();
    const std::string Selected = Driver.Window().SelectionText();
    if (Selected != Step.Selection) {
      Error = "step " + Step.Id + ": selected \"" + Selected + "\", expected \"" + Step.Selection + "\"";
      return false;
    }
    // A pause between steps, so that no two clicks count as a double click.
    Driver.Pause(600);
  }
  return true;
}

}  // namespace demo
