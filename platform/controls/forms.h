// Forms, the application and the screen.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/controls.h"
#include "platform/gfx/bitmap.h"

namespace platform {

VEL_DECLARE_EXCEPTION(EPrinter, Exception);

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
VEL_ENUM(TFormBorderStyle, "Forms", bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin);
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
VEL_ENUM(TPosition, "Forms", poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
         poDesktopCenter, poMainFormCenter, poOwnerFormCenter);
enum TCloseAction { caNone, caHide, caFree, caMinimize };
VEL_ENUM(TCloseAction, "Forms", caNone, caHide, caFree, caMinimize);

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
VEL_EVENT_TYPE(TCloseEvent, "Forms", "Sender: TObject; var Action: TCloseAction");

/// \brief A top-level window holding controls: shown, closed, or run modally.
class TCustomForm : public TWinControl {
  VEL_CLASS(TCustomForm, TWinControl)
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  void AfterConstruction() override;
  void BeforeDestruction() override;

  void Show();
  void Hide();
  /// Asks OnClose what to do; a modal form ends with mrCancel.
  void Close();
  /// Destroys the form once the messages waiting now have been handled.
  void Release();
  /// Shows the form and runs a nested message loop until ModalResult is set
  /// (or the application terminates); returns ModalResult.
  virtual int ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  bool Modal() const { return FModal; }
  bool Showing() const override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value) { FBorderStyle = Value; }
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }

  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Control);
  /// Moves the focus to the next (or previous) control in tab order.
  void SelectNext(TWinControl* Current, bool GoForward);
  void FocusChanged(TWinControl* Control);

  /// A new bitmap (the caller frees it) holding the client area as painted.
  TBitmap* GetFormImage();
  /// Prints the form's image as a PDF page: to the file VELSTUDIO_PRINT_FILE
  /// names, else to the print system (lp); EPrinter when neither is there.
  void Print();

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;

  VEL_PUBLISH(P);

 protected:
  void CreateParams(TCreateParams& Params) override;
  bool DialogKey(WORD& Key, TShiftState Shift) override;
  void CMVisibleChanged(TMessage& Message) override;
  void WMClose(TMessage& Message);
  void Dispatch(TMessage& Message) override;
  virtual void DoShow();
  virtual void DoHide();
  void PlaceOnScreen();

  TModalResult FModalResult = mrNone;
  bool FModal = false;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TPosition FPosition = poDesigned;
  TWinControl* FActiveControl = nullptr;
};

/// \brief The plain form.
class TForm : public TCustomForm {
  VEL_CLASS(TForm, TCustomForm)
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

/// \brief The small window that shows a control's hint near the mouse.
class THintWindow : public TCustomControl {
  VEL_CLASS(THintWindow, TCustomControl)
  explicit THintWindow(TComponent* AOwner);
  /// Shows Text with the window's top-left corner at the screen point.
  void ActivateHint(TPoint ScreenPos, const std::string& Text);
  void ReleaseHandle();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WMNCHitTest(TMessage& Message) override;
  void WMTimer(TMessage& Message) override;
};

/// The part of a hint before "|" (the short hint).
std::string GetShortHint(const std::string& Hint);
/// The part of a hint after "|" (the long hint), or the whole hint without one.
std::string GetLongHint(const std::string& Hint);

using TExceptionEvent = TEvent<TObject*, const Exception&>;

/// \brief The application: owns the forms and runs the message loop.
class TApplication : public TComponent {
  VEL_CLASS(TApplication, TComponent)
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  /// Creates a form owned by the application; the first one becomes the main form.
  template <class T>
  T* CreateForm() {
    T* F = new T(this);
    if (!FMainForm) FMainForm = F;
    return F;
  }
  TCustomForm* MainForm() const { return FMainForm; }
  void SetMainForm(TCustomForm* Form) { FMainForm = Form; }

  /// Runs the message loop until Terminate (or until nothing can arrive any more).
  void Run();
  /// Handles every message waiting in the queue, then returns. Re-entrant.
  void ProcessMessages();
  /// Handles one message, or idles and waits when there is none; false when
  /// nothing can arrive any more.
  bool HandleMessage();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  /// Hands the error being handled (call inside a catch block) to OnException
  /// or reports it on the standard error stream; the loop goes on.
  void HandleException(TObject* Sender);
  /// Reports an error: "ClassName: Message" on the standard error stream.
  void ShowException(const Exception& E);
  std::string ExeName() const;
  std::string Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  /// Idle work: OnIdle (and updates of actions, hint).
  void Idle();

  // Hints: a control's short hint shows after the mouse has rested on it for HintPause ms.
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  int HintPause() const { return FHintPause; }
  void SetHintPause(int Value) { FHintPause = Value; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int Value) { FHintHidePause = Value; }
  /// The control whose hint is shown (none when no hint is shown).
  TControl* HintControl() const { return FHintShown ? FHintControl : nullptr; }
  THintWindow* HintWindow() const { return FHintWindow; }
  void CancelHint();
  /// The mouse moved over Control (called by the controls).
  void HintMouseMessage(TControl* Control);
  /// A hint timer fired (called by the hint window).
  void HintTimerExpired(UINT_PTR Id);

  void Notification(TComponent* AComponent, TOperation Operation) override;

  TExceptionEvent OnException;
  TNotifyEvent OnIdle;

 private:
  bool ProcessMessage();

  TCustomForm* FMainForm = nullptr;
  bool FTerminated = false;
  std::string FTitle;
  bool FShowHint = true;
  int FHintPause = 500;
  int FHintHidePause = 2500;
  TControl* FHintControl = nullptr;
  bool FHintShown = false;
  THintWindow* FHintWindow = nullptr;
};

/// The application of the process, created on first use.
TApplication* Application();
/// Destroys the application (and the forms it owns); the next Application() makes a new one.
void DoneApplication();

/// \brief The screen: its forms, size and the cursor.
class TScreen {
 public:
  int FormCount() const { return int(FForms.size()); }
  TCustomForm* Forms(int Index) const { return FForms.at(size_t(Index)); }
  TCustomForm* ActiveForm() const;
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetSize(int AWidth, int AHeight);
  /// The cursor forced on every window (crDefault: each control shows its own).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }
  /// The cursor the last WM_SETCURSOR picked.
  TCursor ShownCursor() const { return FShownCursor; }
  void SetShownCursor(TCursor Value) { FShownCursor = Value; }

  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);

 private:
  std::vector<TCustomForm*> FForms;
  int FWidth = 1280;
  int FHeight = 1024;
  TCursor FCursor = crDefault;
  TCursor FShownCursor = crDefault;
};

TScreen* Screen();

}  // namespace platform
