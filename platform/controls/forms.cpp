#include "platform/controls/forms.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <cairo-pdf.h>
#include <cairo.h>

extern char** environ;

namespace platform {

VEL_IMPLEMENT_CLASS(TCustomForm, "Forms");
VEL_IMPLEMENT_CLASS(TForm, "Forms");
VEL_IMPLEMENT_CLASS(TApplication, "Forms");
VEL_IMPLEMENT_CLASS(THintWindow, "Forms");

// ================================================================ TCustomForm

void TCustomForm::VelPublish(TPublisher& P) {
  P.Property("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption);
  P.Property("Color", &TCustomForm::Color, &TCustomForm::SetColor).Default(clBtnFace);
  P.Property("Font", &TCustomForm::Font, &TCustomForm::SetFont);
  P.Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
  P.Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
  P.Property("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth);
  P.Property("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight);
  P.Property("OnCreate", &TCustomForm::OnCreate, &TCustomForm::OnCreate);
  P.Property("OnShow", &TCustomForm::OnShow, &TCustomForm::OnShow);
  P.Property("OnClose", &TCustomForm::OnClose, &TCustomForm::OnClose);
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  FColor = clBtnFace;
  FParentFont = false;
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FWidth = 320;
  FHeight = 240;
  Screen()->AddForm(this);
}

namespace {
TApplication* TheApplication = nullptr;
}

TCustomForm::~TCustomForm() {
  Screen()->RemoveForm(this);
  if (TheApplication && TheApplication->MainForm() == this) TheApplication->SetMainForm(nullptr);
}

void TCustomForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  if (OnCreate) OnCreate(this);
}

void TCustomForm::BeforeDestruction() {
  TWinControl::BeforeDestruction();
  if (OnDestroy) OnDestroy(this);
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style &= ~(WS_CHILD | WS_VISIBLE);
  Params.Style |= WS_POPUP | WS_CLIPCHILDREN;
  Params.WndParent = nullptr;
}

bool TCustomForm::Showing() const { return FVisible && FHandle && IsWindowVisible(FHandle); }

void TCustomForm::PlaceOnScreen() {
  if (FPosition == poScreenCenter || FPosition == poDesktopCenter || FPosition == poMainFormCenter ||
      FPosition == poOwnerFormCenter)
    SetBounds((Screen()->Width() - FWidth) / 2, (Screen()->Height() - FHeight) / 2, FWidth, FHeight);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (FHandle) SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::CMVisibleChanged(TMessage&) {
  if (FVisible) {
    PlaceOnScreen();
    HandleNeeded();
    ShowWindow(FHandle, SW_SHOW);
    DoShow();
    if (FActiveControl) FActiveControl->SetFocus();
  } else {
    if (FHandle) ShowWindow(FHandle, SW_HIDE);
    DoHide();
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::Close() {
  TCloseAction Action = caHide;
  if (OnClose) OnClose(this, Action);
  if (Action == caNone) return;
  if (FModal) {
    if (FModalResult == mrNone) FModalResult = mrCancel;
    return;
  }
  if (Action == caFree) {
    Release();
    return;
  }
  Hide();
  if (TheApplication && TheApplication->MainForm() == this) TheApplication->Terminate();
}

int TCustomForm::ShowModal() {
  if (FVisible || FModal) throw EInvalidOperation("Cannot make a visible window modal");
  FModalResult = mrNone;
  FModal = true;
  Show();
  try {
    while (FModalResult == mrNone) {
      if (!Application()->HandleMessage()) {
        // Nothing can ever arrive: the dialog could never be answered.
        FModalResult = mrCancel;
        break;
      }
      if (Application()->Terminated()) {
        FModalResult = mrCancel;
        break;
      }
    }
  } catch (...) {
    FModal = false;
    Hide();
    throw;
  }
  FModal = false;
  Hide();
  return FModalResult;
}

void TCustomForm::Release() {
  // Freed from the message loop, after the handler that asked has returned.
  if (FHandle)
    PostMessage(FHandle, CM_RELEASE, 0, 0);
  else
    delete this;
}

void TCustomForm::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_CLOSE) {
    WMClose(Message);
    return;
  }
  if (Message.Msg == CM_RELEASE) {
    delete this;
    return;
  }
  TWinControl::Dispatch(Message);
}

void TCustomForm::WMClose(TMessage& Message) {
  Close();
  Message.Result = 0;
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
  FActiveControl = Control;
  if (Control) {
    Control->FreeNotification(this);
    if (Showing()) Control->SetFocus();
  }
}

void TCustomForm::FocusChanged(TWinControl* Control) {
  if (Control == this || FActiveControl == Control) return;
  if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
  FActiveControl = Control;
  if (Control) Control->FreeNotification(this);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActiveControl) FActiveControl = nullptr;
}

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  // A form streams every component it owns that has no parent control, and
  // its child controls (and theirs) that it owns.
  for (int I = 0; I < ComponentCount(); ++I) {
    TComponent* C = Components(I);
    if (!C->HasParent() || C->GetParentComponent() == nullptr) Proc(C);
  }
  TWinControl::GetChildren(Proc, Root);
}

void TCustomForm::SelectNext(TWinControl* Current, bool GoForward) {
  std::vector<TWinControl*> List;
  GetTabOrderList(List);
  List.erase(std::remove_if(List.begin(), List.end(), [](TWinControl* W) { return !W->TabStop() || !W->CanFocus(); }),
             List.end());
  if (List.empty()) return;
  auto It = std::find(List.begin(), List.end(), Current);
  size_t I;
  if (It == List.end()) {
    I = GoForward ? 0 : List.size() - 1;
  } else {
    const size_t Cur = size_t(It - List.begin());
    I = GoForward ? (Cur + 1) % List.size() : (Cur + List.size() - 1) % List.size();
  }
  List[I]->SetFocus();
}

bool TCustomForm::DialogKey(WORD& Key, TShiftState Shift) {
  if (Key == VK_TAB && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
    SelectNext(FActiveControl, !Shift.Contains(ssShift));
    Key = 0;
    return true;
  }
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && Shift.Empty()) {
    // The default or cancel button answers Enter or Escape.
    std::vector<TControl*> All;
    std::vector<TWinControl*> Pending{this};
    while (!Pending.empty()) {
      TWinControl* W = Pending.back();
      Pending.pop_back();
      for (int I = 0; I < W->ControlCount(); ++I) {
        TControl* C = W->Controls(I);
        All.push_back(C);
        if (auto* CW = dynamic_cast<TWinControl*>(C)) Pending.push_back(CW);
      }
    }
    for (TControl* C : All) {
      if (C->Perform(CM_DIALOGKEY, Key, 0) != 0) {
        Key = 0;
        return true;
      }
    }
  }
  return false;
}

TBitmap* TCustomForm::GetFormImage() {
  auto* B = new TBitmap();
  try {
    B->SetSize(ClientWidth(), ClientHeight());
    if (FHandle) {
      UpdateWindow(FHandle);
      if (cairo_surface_t* Image = GetWindowImage(FHandle)) {
        HDC DC = B->Canvas()->Handle();
        cairo_save(DC->Cr);
        cairo_set_source_surface(DC->Cr, Image, 0, 0);
        cairo_set_operator(DC->Cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(DC->Cr);
        cairo_restore(DC->Cr);
        cairo_surface_flush(cairo_get_target(DC->Cr));
      }
    }
  } catch (...) {
    delete B;
    throw;
  }
  return B;
}

namespace {

void WritePdf(const std::string& FileName, TBitmap* Image) {
  cairo_surface_t* Pdf = cairo_pdf_surface_create(FileName.c_str(), Image->Width(), Image->Height());
  if (cairo_surface_status(Pdf) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(Pdf);
    throw EPrinter("Cannot write the print file \"" + FileName + "\"");
  }
  cairo_t* Cr = cairo_create(Pdf);
  cairo_set_source_surface(Cr, Image->Surface(), 0, 0);
  cairo_paint(Cr);
  cairo_show_page(Cr);
  cairo_destroy(Cr);
  cairo_surface_finish(Pdf);
  const bool Ok = cairo_surface_status(Pdf) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(Pdf);
  if (!Ok) throw EPrinter("Cannot write the print file \"" + FileName + "\"");
}

bool CommandExists(const char* Name) {
  const char* Path = std::getenv("PATH");
  if (!Path) return false;
  std::string P(Path);
  size_t Start = 0;
  while (Start <= P.size()) {
    const size_t End = P.find(':', Start);
    const std::string Dir = P.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
    if (!Dir.empty() && access((Dir + "/" + Name).c_str(), X_OK) == 0) return true;
    if (End == std::string::npos) break;
    Start = End + 1;
  }
  return false;
}

}  // namespace

void TCustomForm::Print() {
  std::unique_ptr<TBitmap> Image(GetFormImage());
  if (const char* Target = std::getenv("VELSTUDIO_PRINT_FILE"); Target && *Target) {
    WritePdf(Target, Image.get());
    return;
  }
  if (!CommandExists("lp"))
    throw EPrinter("There is no printer: set VELSTUDIO_PRINT_FILE or install a print system (lp)");
  char Temp[] = "/tmp/velstudio-print-XXXXXX";
  const int Fd = mkstemp(Temp);
  if (Fd < 0) throw EPrinter("Cannot create a temporary print file");
  close(Fd);
  try {
    WritePdf(Temp, Image.get());
    // The file name goes to lp as one argument, never through a shell.
    char Lp[] = "lp";
    char* Argv[] = {Lp, Temp, nullptr};
    pid_t Pid;
    if (posix_spawnp(&Pid, "lp", nullptr, nullptr, Argv, environ) != 0) throw EPrinter("Cannot start lp");
    int Status = 0;
    waitpid(Pid, &Status, 0);
    if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) throw EPrinter("lp could not print the form");
  } catch (...) {
    std::remove(Temp);
    throw;
  }
  std::remove(Temp);
}

// ================================================================ THintWindow

namespace {
constexpr UINT_PTR HintShowTimer = 1;
constexpr UINT_PTR HintHideTimer = 2;
}  // namespace

std::string GetShortHint(const std::string& Hint) {
  const size_t P = Hint.find('|');
  return P == std::string::npos ? Hint : Hint.substr(0, P);
}

std::string GetLongHint(const std::string& Hint) {
  const size_t P = Hint.find('|');
  return P == std::string::npos ? Hint : Hint.substr(P + 1);
}

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FVisible = false;
  FColor = clInfoBk;
  FParentFont = false;
  FFont->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;  // a hidden top-level window until a hint shows
  Params.WndParent = nullptr;
}

void THintWindow::ActivateHint(TPoint ScreenPos, const std::string& Text) {
  SetCaption(Text);
  FCanvas->Font()->Assign(FFont);
  HandleNeeded();
  // Measure through a bitmap canvas: the window's canvas has no device context outside painting.
  TBitmap Measure(1, 1);
  Measure.Canvas()->Font()->Assign(FFont);
  const TSize Size = Measure.Canvas()->TextExtent(Text);
  SetBounds(ScreenPos.X, ScreenPos.Y, Size.cx + 8, Size.cy + 4);
  FVisible = true;
  ShowWindow(FHandle, SW_SHOWNA);
  SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  FVisible = false;
  if (FHandle) ShowWindow(FHandle, SW_HIDE);
}

void THintWindow::Paint() {
  TCanvas* C = Canvas();
  C->Brush()->SetColor(clInfoBk);
  C->Pen()->SetColor(clBtnShadow);
  C->Pen()->SetWidth(1);
  C->Rectangle(ClientRect());
  C->Brush()->SetStyle(bsClear);
  C->Font()->Assign(FFont);
  C->TextOut(4, 2, FText);
  C->Brush()->SetStyle(bsSolid);
}

void THintWindow::WMNCHitTest(TMessage& Message) { Message.Result = HTTRANSPARENT; }

void THintWindow::WMTimer(TMessage& Message) { Application()->HintTimerExpired(UINT_PTR(Message.WParam)); }

// =============================================================== TApplication

TApplication* Application() {
  if (!TheApplication) TheApplication = new TApplication(nullptr);
  return TheApplication;
}

void DoneApplication() {
  TApplication* A = TheApplication;
  TheApplication = nullptr;
  delete A;
}

void ApplicationHandleException(TObject* Sender) { Application()->HandleException(Sender); }

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
  if (TheApplication == this) TheApplication = nullptr;
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMainForm) FMainForm = nullptr;
  if (AComponent == FHintControl) CancelHint();
  if (AComponent == FHintWindow) FHintWindow = nullptr;
}

void TApplication::SetShowHint(bool Value) {
  FShowHint = Value;
  if (!Value) CancelHint();
}

void TApplication::CancelHint() {
  if (FHintWindow && FHintWindow->HandleAllocated()) {
    KillTimer(FHintWindow->Handle(), HintShowTimer);
    KillTimer(FHintWindow->Handle(), HintHideTimer);
    FHintWindow->ReleaseHandle();
  }
  if (FHintControl) FHintControl->RemoveFreeNotification(this);
  FHintControl = nullptr;
  FHintShown = false;
}

void TApplication::HintMouseMessage(TControl* Control) {
  if (Control == FHintControl) return;
  CancelHint();
  if (!FShowHint || !Control || !Control->ShowHint() || GetShortHint(Control->Hint()).empty()) return;
  if (!FHintWindow) FHintWindow = new THintWindow(this);
  FHintControl = Control;
  Control->FreeNotification(this);
  SetTimer(FHintWindow->Handle(), HintShowTimer, UINT(FHintPause));
}

void TApplication::HintTimerExpired(UINT_PTR Id) {
  if (!FHintWindow) return;
  KillTimer(FHintWindow->Handle(), Id);
  if (Id == HintHideTimer || !FHintControl) {
    CancelHint();
    return;
  }
  TPoint P;
  GetCursorPos(P);
  FHintWindow->ActivateHint(Point(P.X, P.Y + 20), GetShortHint(FHintControl->Hint()));
  FHintShown = true;
  SetTimer(FHintWindow->Handle(), HintHideTimer, UINT(FHintHidePause));
}

bool TApplication::ProcessMessage() {
  MSG Msg;
  if (!PeekMessage(Msg, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  switch (Msg.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
      CancelHint();  // any click or key ends the hint
      break;
    default:
      break;
  }
  try {
    DispatchMessage(Msg);
  } catch (...) {
    HandleException(this);
  }
  return true;
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

bool TApplication::HandleMessage() {
  if (ProcessMessage()) return true;
  Idle();
  return WaitMessage();
}

void TApplication::Run() {
  while (!FTerminated) {
    if (!HandleMessage()) break;
  }
}

void TApplication::Terminate() {
  if (FTerminated) return;
  FTerminated = true;
  PostQuitMessage(0);
}

void TApplication::Idle() {
  try {
    if (OnIdle) OnIdle(this);
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::HandleException(TObject* Sender) {
  try {
    throw;
  } catch (const EAbort&) {
    // A silent abort.
  } catch (const Exception& E) {
    if (OnException)
      OnException(Sender, E);
    else
      ShowException(E);
  } catch (const std::exception& E) {
    const Exception Wrapped(E.what());
    if (OnException)
      OnException(Sender, Wrapped);
    else
      ShowException(Wrapped);
  } catch (...) {
    const Exception Wrapped("Unknown error");
    if (OnException)
      OnException(Sender, Wrapped);
    else
      ShowException(Wrapped);
  }
}

void TApplication::ShowException(const Exception& E) {
  std::fprintf(stderr, "%s: %s\n", E.ClassName(), E.Message().c_str());
}

std::string TApplication::ExeName() const {
  std::error_code Ec;
  const auto P = std::filesystem::read_symlink("/proc/self/exe", Ec);
  return Ec ? std::string() : P.string();
}

// ==================================================================== TScreen

TScreen* Screen() {
  static TScreen TheScreen;
  return &TheScreen;
}

void TScreen::AddForm(TCustomForm* Form) { FForms.push_back(Form); }

void TScreen::RemoveForm(TCustomForm* Form) {
  auto It = std::find(FForms.begin(), FForms.end(), Form);
  if (It != FForms.end()) FForms.erase(It);
}

void TScreen::SetSize(int AWidth, int AHeight) {
  FWidth = AWidth;
  FHeight = AHeight;
}

TCustomForm* TScreen::ActiveForm() const {
  HWND Focus = GetFocus();
  if (!Focus) return nullptr;
  HWND Top = GetTopLevelWindow(Focus);
  for (TCustomForm* F : FForms)
    if (F->HandleAllocated() && F->Handle() == Top) return F;
  return nullptr;
}

}  // namespace platform
