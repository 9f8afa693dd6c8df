// The control framework: TControl, TWinControl, TGraphicControl, TCustomControl.
//
// Sections: control messages; enumerations and event types; TControl;
// TWinControl; TGraphicControl; TCustomControl.
//
// Messages reach a control in two layers. The window system calls the
// window procedure of a windowed control's window (which design hooks may
// replace); the control's own procedure hands the message to WindowProc
// (WndProc by default), which does the common work and calls Dispatch;
// Dispatch calls the virtual handler of the message (WMLButtonDown, ...),
// whose base version ends in DefaultHandler; a windowed control's
// DefaultHandler calls the window system's default handling. Perform and
// Broadcast enter at WindowProc, past any hook on the window procedure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/component.h"
#include "platform/rtl/publish.h"
#include "platform/rtl/uitypes.h"
#include "platform/win/windows.h"

namespace platform {

class TWinControl;
class TPopupMenu;
class TCustomForm;

// ----------------------------------------------------------- control messages

// Object-level messages between controls; they never pass window procedures.
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_RELEASE = CM_BASE + 33;

// ------------------------------------------------ enumerations and events

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
VEL_ENUM(TAlign, "Controls", alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom);

enum TAnchorKind { akLeft, akTop, akRight, akBottom };
VEL_ENUM(TAnchorKind, "Controls", akLeft, akTop, akRight, akBottom);
using TAnchors = TSet<TAnchorKind>;
VEL_SET(TAnchors, "Controls");

enum TControlStyleItem {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
  csNeedsBorderPaint,
  csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem { csLButtonDown, csClicked, csPalette, csReadingState, csFocusing, csCreating, csCustomPaint };
using TControlState = TSet<TControlStateItem>;

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
VEL_EVENT_TYPE(TMouseEvent, "Controls", "Sender: TObject; Button: TMouseButton; Shift: TShiftState; X, Y: Integer");
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
VEL_EVENT_TYPE(TMouseMoveEvent, "Controls", "Sender: TObject; Shift: TShiftState; X, Y: Integer");
using TKeyEvent = TEvent<TObject*, WORD&, TShiftState>;
VEL_EVENT_TYPE(TKeyEvent, "Controls", "Sender: TObject; var Key: Word; Shift: TShiftState");
using TKeyPressEvent = TEvent<TObject*, char&>;
VEL_EVENT_TYPE(TKeyPressEvent, "Controls", "Sender: TObject; var Key: Char");

/// The modifier and button state of a mouse message's WParam (MK_ flags).
TShiftState MouseKeysToShiftState(WPARAM Keys);
/// The modifier state as the keyboard reports it now (Shift, Ctrl and Alt).
TShiftState KeyboardStateToShiftState();
/// The key state for a key message: Shift and Ctrl as the keyboard reports them
/// at that moment; no mouse-button or Alt state.
TShiftState KeyDataToShiftState(LPARAM KeyData);

/// \brief Parameters of a window about to be created (CreateParams fills them).
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  UINT ClassStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
};

// -------------------------------------------------------------------- TControl

/// \brief A visual element with bounds inside a parent.
class TControl : public TComponent {
  VEL_CLASS(TControl, TComponent)
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // Parent and bounds (parent client coordinates).
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  /// (0, 0, ClientWidth, ClientHeight).
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Right; }
  int ClientHeight() const { return ClientRect().Bottom; }
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);
  /// The screen position of the client area's origin.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(const TPoint& P) const;
  TPoint ScreenToClient(const TPoint& P) const;

  // State.
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  /// Visible, and every parent up to a top-level window visible too.
  virtual bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);

  // Appearance.
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) { FShowHint = Value; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  /// The caption or text of the control.
  const std::string& Caption() const { return FText; }
  void SetCaption(const std::string& Value) { SetText(Value); }
  const std::string& Text() const { return FText; }
  virtual void SetText(const std::string& Value);
  /// Renames the control; a control whose caption showed its name shows the new name.
  void SetName(const std::string& NewName) override;
  bool IsColorStored() const { return !FParentColor; }
  bool IsFontStored() const { return !FParentFont; }

  // Messages.
  /// The object-level entry for messages; WndProc unless replaced.
  TEvent<TMessage&> WindowProc;
  /// Sends a message to WindowProc directly (no window procedure, no hook).
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  virtual void WndProc(TMessage& Message);
  /// Calls the handler of Message.Msg, or DefaultHandler.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // Painting.
  virtual void Invalidate();
  /// Paints at once.
  virtual void Repaint();
  virtual void Update();
  void Refresh() { Repaint(); }

  // Order and scaling.
  void BringToFront();
  void SendToBack();
  /// Multiplies size and font by M/D (a windowed control also scales its children); the position stays.
  virtual void ChangeScale(int M, int D);

  // Events and their triggers.
  virtual void Click();
  virtual void DblClick();
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnResize;

  // Streaming and ownership.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  /// The form the control lies on (none when it is not on one).
  TCustomForm* GetParentForm() const;

  VEL_PUBLISH(P);

 protected:
  friend class TWinControl;

  // Mouse and key virtuals; the base versions fire the events.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Resize();
  void Loaded() override;

  // Message handlers; each base version does the platform's handling.
  virtual void WMLButtonDown(TMessage& Message);
  virtual void WMLButtonUp(TMessage& Message);
  virtual void WMLButtonDblClk(TMessage& Message);
  virtual void WMRButtonDown(TMessage& Message);
  virtual void WMRButtonUp(TMessage& Message);
  virtual void WMRButtonDblClk(TMessage& Message);
  virtual void WMMButtonDown(TMessage& Message);
  virtual void WMMButtonUp(TMessage& Message);
  virtual void WMMouseMove(TMessage& Message);
  virtual void WMContextMenu(TMessage& Message);
  virtual void WMCancelMode(TMessage& Message);
  virtual void WMPaint(TMessage& Message);
  virtual void WMMove(TMessage& Message);
  virtual void WMSize(TMessage& Message);
  virtual void WMMoving(TMessage& Message);
  virtual void WMSizing(TMessage& Message);
  virtual void WMNCHitTest(TMessage& Message);
  virtual void WMSetCursor(TMessage& Message);
  virtual void WMSysCommand(TMessage& Message);
  virtual void WMEnterSizeMove(TMessage& Message);
  virtual void WMExitSizeMove(TMessage& Message);
  virtual void WMEraseBkgnd(TMessage& Message);
  virtual void WMSetFocus(TMessage& Message);
  virtual void WMKillFocus(TMessage& Message);
  virtual void WMKeyDown(TMessage& Message);
  virtual void WMKeyUp(TMessage& Message);
  virtual void WMChar(TMessage& Message);
  virtual void WMTimer(TMessage& Message);
  virtual void WMWindowPosChanged(TMessage& Message);
  virtual void CMHitTest(TMessage& Message);
  virtual void CMEnabledChanged(TMessage& Message);
  virtual void CMVisibleChanged(TMessage& Message);
  virtual void CMColorChanged(TMessage& Message);
  virtual void CMFontChanged(TMessage& Message);
  virtual void CMTextChanged(TMessage& Message);
  virtual void CMParentColorChanged(TMessage& Message);
  virtual void CMParentFontChanged(TMessage& Message);
  virtual void CMMouseEnter(TMessage& Message);
  virtual void CMMouseLeave(TMessage& Message);

  /// Mouse capture: a windowed control captures its window, a non-windowed one
  /// its parent's window (mouse messages are then passed on to it).
  bool MouseCapture() const;
  void SetMouseCapture(bool Value);
  /// Called when the parent's handle or the bounds change.
  virtual void ParentBoundsChanged() {}
  void UpdateAnchorRules();
  void FontChanged(TObject* Sender);
  /// Runs the control's popup menu for a point in screen coordinates; true when one was shown.
  bool DoContextPopup(TPoint ScreenPos);
  void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& Message, TMouseButton Button);

  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState FControlState;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TRect FAnchorRules;  // distances to the parent's edges kept by anchors
  TColor FColor = clWindow;
  bool FParentColor = false;
  TFont* FFont;
  bool FParentFont = true;
  TCursor FCursor = crDefault;
  std::string FHint;
  bool FShowHint = false;
  TPopupMenu* FPopupMenu = nullptr;
  std::string FText;
};

// ----------------------------------------------------------------- TWinControl

/// \brief A control with a window of its own, and the parent of other controls.
class TWinControl : public TControl {
  VEL_CLASS(TWinControl, TControl)
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  /// The window, created on first use. A control whose window cannot be made
  /// (it has no parent window) raises EInvalidOperation.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  /// The window procedure the control installed in its window (hooks may sit above it).
  WNDPROC ObjectInstance() const { return FObjectInstance; }

  // Children: non-windowed ones first, then windowed ones, each in z-order (last on top).
  int ControlCount() const { return int(FControls.size() + FWinControls.size()); }
  TControl* Controls(int Index) const;
  bool ContainsControl(const TControl* Control) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  /// The child under Pos (client coordinates): visible (or, when AllowDisabled
  /// is false, also enabled) and answering CM_HITTEST; windowed children first.
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = true) const;
  /// Gives Message to each child's WindowProc in child order; stops at the first non-zero Result.
  void Broadcast(TMessage& Message);
  void SetChildOrder(TComponent* Child, int Order) override;
  /// Mirrors the children's horizontal positions inside the client area (and inside each windowed child when
  /// AllLevels).
  virtual void FlipChildren(bool AllLevels);
  /// Scales size, children and font by M/D; the control's own position stays.
  void ScaleBy(int M, int D);
  /// Changes whenever a control inside this one, at any depth, changes its
  /// bounds or its parent: an unchanged value means nothing inside has moved.
  std::uint64_t LayoutStamp() const { return FLayoutStamp; }
  void ChangeScale(int M, int D) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  // Layout.
  void Realign();
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();

  // Focus.
  virtual bool CanFocus() const;
  bool Focused() const;
  /// Gives the control the input focus; nothing when it cannot take it.
  virtual void SetFocus();
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  int TabOrder() const;
  void SetTabOrder(int Value);
  /// The controls of this one that take part in Tab navigation, in tab order.
  void GetTabOrderList(std::vector<TWinControl*>& List) const;

  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  bool Showing() const override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  TPoint ClientOrigin() const override;
  void Invalidate() override;
  void Repaint() override;
  void Update() override;
  void SetText(const std::string& Value) override;
  void SetEnabled(bool Value) override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 protected:
  friend class TControl;

  virtual void CreateParams(TCreateParams& Params);
  /// Creates the window (and those of the windowed children).
  virtual void CreateHandle();
  virtual void CreateWnd();
  virtual void DestroyHandle();
  virtual void DestroyWnd();
  /// Paints the client area; the base fills it with Color.
  virtual void PaintWindow(HDC DC);
  /// Paints the non-windowed children onto DC.
  void PaintControls(HDC DC);
  void PaintHandler(TMessage& Message);
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual bool DialogKey(WORD& Key, TShiftState Shift);
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void DoEnter();
  virtual void DoExit();

  void WMPaint(TMessage& Message) override;
  void WMMove(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMKeyDown(TMessage& Message) override;
  void WMKeyUp(TMessage& Message) override;
  void WMChar(TMessage& Message) override;
  void WMContextMenu(TMessage& Message) override;
  void WMSetCursor(TMessage& Message) override;
  void WMWindowPosChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;

  /// Passes a mouse message at a non-windowed child (or the one holding the capture) to it; true when it did.
  bool IsControlMouseMsg(TMessage& Message);
  /// The window procedure entry: WindowProc, with escaping errors handed to the application.
  void MainWndProc(TMessage& Message);
  void UpdateBounds();
  /// Advances the layout stamp of this control and of its ancestors.
  void LayoutChangedInside();
  /// Scales every child control's bounds (and font) by M/D.
  void ScaleChildren(int M, int D);
  void ApplyZOrder();
  void CreateChildHandles();

  HWND FHandle = nullptr;
  WNDPROC FObjectInstance = nullptr;
  std::vector<TControl*> FControls;        // non-windowed children, bottom to top
  std::vector<TWinControl*> FWinControls;  // windowed children, bottom to top
  int FAlignLevel = 0;
  bool FTabStop = false;
  bool FDoubleBuffered = false;
  bool FUpdatingBounds = false;  // the window is being moved to match the fields
  std::uint64_t FLayoutStamp = 0;
};

// ------------------------------------------------------------- TGraphicControl

/// \brief A control without a window: it paints on its parent's surface.
class TGraphicControl : public TControl {
  VEL_CLASS(TGraphicControl, TControl)
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;

  TCanvas* Canvas() const { return FCanvas; }

 protected:
  virtual void Paint() {}
  void WMPaint(TMessage& Message) override;

  TCanvas* FCanvas;
};

// ------------------------------------------------------------- TCustomControl

/// \brief A windowed control that paints itself on its Canvas.
class TCustomControl : public TWinControl {
  VEL_CLASS(TCustomControl, TWinControl)
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;

  TCanvas* Canvas() const { return FCanvas; }

 protected:
  virtual void Paint();
  void PaintWindow(HDC DC) override;

  TCanvas* FCanvas;
};

// ---------------------------------------------------------------------- TMouse

/// \brief The mouse: capture and position, and the control the mouse is over.
class TMouse {
 public:
  /// The window that has the mouse capture (none when no window has it).
  HWND Capture() const { return GetCapture(); }
  /// Gives the capture to a window (none releases it).
  void SetCapture(HWND Wnd);
  TPoint CursorPos() const;
  /// The control holding the capture through Mouse capture of a control (a
  /// non-windowed control captures its parent's window).
  TControl* CaptureControl() const;
  void SetCaptureControl(TControl* Control);
  /// The control that last received a mouse move.
  TControl* MouseControl() const { return FMouseControl; }
  void MouseOver(TControl* Control);
  void ControlDestroyed(TControl* Control);

 private:
  TControl* FCaptureControl = nullptr;
  TControl* FMouseControl = nullptr;
};

/// The mouse of the process.
TMouse* Mouse();
/// Hands an error that escaped a message handler to the application.
void ApplicationHandleException(TObject* Sender);

}  // namespace platform
