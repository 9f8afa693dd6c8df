#include "platform/controls/controls.h"

#include <algorithm>

#include <cairo.h>

#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/gfx/colors.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TControl, "Controls");
VEL_IMPLEMENT_CLASS(TWinControl, "Controls");
VEL_IMPLEMENT_CLASS(TGraphicControl, "Controls");
VEL_IMPLEMENT_CLASS(TCustomControl, "Controls");

namespace {

// Binds a canvas to a device context for the length of one paint.
class TCanvasBinding {
 public:
  TCanvasBinding(TCanvas* ACanvas, HDC DC) : FCanvas(ACanvas) { FCanvas->SetHandle(DC); }
  ~TCanvasBinding() { FCanvas->SetHandle(nullptr); }
  TCanvasBinding(const TCanvasBinding&) = delete;
  TCanvasBinding& operator=(const TCanvasBinding&) = delete;

 private:
  TCanvas* FCanvas;
};

bool IsMouseMessage(UINT Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST; }

template <class T>
void EraseValue(std::vector<T*>& V, const void* P) {
  auto It = std::find(V.begin(), V.end(), P);
  if (It != V.end()) V.erase(It);
}

}  // namespace

TShiftState MouseKeysToShiftState(WPARAM Keys) {
  TShiftState S;
  if (Keys & MK_SHIFT) S.Include(ssShift);
  if (Keys & MK_CONTROL) S.Include(ssCtrl);
  if (Keys & MK_LBUTTON) S.Include(ssLeft);
  if (Keys & MK_RBUTTON) S.Include(ssRight);
  if (Keys & MK_MBUTTON) S.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) S.Include(ssAlt);
  return S;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState S;
  if (GetKeyState(VK_SHIFT) < 0) S.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) S.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) S.Include(ssAlt);
  return S;
}

TShiftState KeyDataToShiftState(LPARAM) {
  TShiftState S;
  if (GetKeyState(VK_SHIFT) < 0) S.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) S.Include(ssCtrl);
  return S;
}

// ==================================================================== TControl

void TControl::VelPublish(TPublisher& P) {
  P.Property("Left", &TControl::Left, &TControl::SetLeft);
  P.Property("Top", &TControl::Top, &TControl::SetTop);
  P.Property("Width", &TControl::Width, &TControl::SetWidth);
  P.Property("Height", &TControl::Height, &TControl::SetHeight);
  P.Property("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault);
  P.Property("Hint", &TControl::Hint, &TControl::SetHint);
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(new TFont()) {
  WindowProc = TEvent<TMessage&>::Bind<&TControl::WndProc>(this);
  FFont->OnChange = TNotifyEvent::Bind<&TControl::FontChanged>(this);
}

TControl::~TControl() {
  if (Mouse()->CaptureControl() == this) Mouse()->SetCaptureControl(nullptr);
  Mouse()->ControlDestroyed(this);
  SetParent(nullptr);
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  delete FFont;
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* W = dynamic_cast<TWinControl*>(Value)) SetParent(W);
}

TCustomForm* TControl::GetParentForm() const {
  const TControl* C = this;
  while (C->FParent) C = C->FParent;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(C));
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool Sized = AWidth != FWidth || AHeight != FHeight;
  Invalidate();
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (FParent) FParent->LayoutChangedInside();
  Invalidate();
  UpdateAnchorRules();
  if (FParent && FAlign != alNone) FParent->Realign();
  if (Sized && !ComponentState().Contains(csLoading)) Resize();
}

TRect TControl::ClientRect() const { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientWidth(int Value) { SetWidth(Value + (FWidth - ClientWidth())); }
void TControl::SetClientHeight(int Value) { SetHeight(Value + (FHeight - ClientHeight())); }

TPoint TControl::ClientOrigin() const {
  if (!FParent) return Point(FLeft, FTop);
  const TPoint O = FParent->ClientOrigin();
  return Point(O.X + FLeft, O.Y + FTop);
}

TPoint TControl::ClientToScreen(const TPoint& P) const {
  const TPoint O = ClientOrigin();
  return Point(P.X + O.X, P.Y + O.Y);
}

TPoint TControl::ScreenToClient(const TPoint& P) const {
  const TPoint O = ClientOrigin();
  return Point(P.X - O.X, P.Y - O.Y);
}

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  if (!Value) Invalidate();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, WPARAM(Value));
  if (Value) Invalidate();
  if (FParent && FAlign != alNone) FParent->Realign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  FAlign = Value;
  if (FParent) FParent->Realign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (FAnchors == Value) return;
  FAnchors = Value;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (!FParent) return;
  const TRect C = FParent->ClientRect();
  FAnchorRules = Rect(FLeft, FTop, C.Right - (FLeft + FWidth), C.Bottom - (FTop + FHeight));
}

void TControl::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
  if (FParentColor == Value) return;
  FParentColor = Value;
  if (FParent && Value) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (FParent && Value) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged(TObject*) {
  FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TControl::SetName(const std::string& NewName) {
  auto* OwnerControl = dynamic_cast<TControl*>(Owner());
  const bool FollowName = FControlStyle.Contains(csSetCaption) && !ComponentState().Contains(csLoading) &&
                          FText == Name() && !(OwnerControl && OwnerControl->ComponentState().Contains(csLoading));
  TComponent::SetName(NewName);
  if (FollowName) SetText(NewName);
}

void TControl::SetText(const std::string& Value) {
  if (FText == Value) return;
  FText = Value;
  Perform(CM_TEXTCHANGED);
}

// ------------------------------------------------------------------ messages

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage M{Msg, WParam, LParam, 0};
  WindowProc(M);
  return M.Result;
}

void TControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (Message.Msg == WM_LBUTTONDBLCLK && !FControlStyle.Contains(csDoubleClicks)) Message.Msg = WM_LBUTTONDOWN;
      FControlState.Include(csLButtonDown);
      break;
    case WM_LBUTTONUP:
      FControlState.Exclude(csLButtonDown);
      break;
    case WM_MOUSEMOVE:
      Mouse()->MouseOver(this);
      break;
    default:
      break;
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
      WMLButtonDown(Message);
      break;
    case WM_LBUTTONUP:
      WMLButtonUp(Message);
      break;
    case WM_LBUTTONDBLCLK:
      WMLButtonDblClk(Message);
      break;
    case WM_RBUTTONDOWN:
      WMRButtonDown(Message);
      break;
    case WM_RBUTTONUP:
      WMRButtonUp(Message);
      break;
    case WM_RBUTTONDBLCLK:
      WMRButtonDblClk(Message);
      break;
    case WM_MBUTTONDOWN:
      WMMButtonDown(Message);
      break;
    case WM_MBUTTONUP:
      WMMButtonUp(Message);
      break;
    case WM_MOUSEMOVE:
      WMMouseMove(Message);
      break;
    case WM_CONTEXTMENU:
      WMContextMenu(Message);
      break;
    case WM_CANCELMODE:
      WMCancelMode(Message);
      break;
    case WM_PAINT:
      WMPaint(Message);
      break;
    case WM_MOVE:
      WMMove(Message);
      break;
    case WM_SIZE:
      WMSize(Message);
      break;
    case WM_MOVING:
      WMMoving(Message);
      break;
    case WM_SIZING:
      WMSizing(Message);
      break;
    case WM_NCHITTEST:
      WMNCHitTest(Message);
      break;
    case WM_SETCURSOR:
      WMSetCursor(Message);
      break;
    case WM_SYSCOMMAND:
      WMSysCommand(Message);
      break;
    case WM_ENTERSIZEMOVE:
      WMEnterSizeMove(Message);
      break;
    case WM_EXITSIZEMOVE:
      WMExitSizeMove(Message);
      break;
    case WM_ERASEBKGND:
      WMEraseBkgnd(Message);
      break;
    case WM_SETFOCUS:
      WMSetFocus(Message);
      break;
    case WM_KILLFOCUS:
      WMKillFocus(Message);
      break;
    case WM_KEYDOWN:
      WMKeyDown(Message);
      break;
    case WM_KEYUP:
      WMKeyUp(Message);
      break;
    case WM_CHAR:
      WMChar(Message);
      break;
    case WM_TIMER:
      WMTimer(Message);
      break;
    case WM_WINDOWPOSCHANGED:
      WMWindowPosChanged(Message);
      break;
    case CM_HITTEST:
      CMHitTest(Message);
      break;
    case CM_ENABLEDCHANGED:
      CMEnabledChanged(Message);
      break;
    case CM_VISIBLECHANGED:
      CMVisibleChanged(Message);
      break;
    case CM_COLORCHANGED:
      CMColorChanged(Message);
      break;
    case CM_FONTCHANGED:
      CMFontChanged(Message);
      break;
    case CM_TEXTCHANGED:
      CMTextChanged(Message);
      break;
    case CM_PARENTCOLORCHANGED:
      CMParentColorChanged(Message);
      break;
    case CM_PARENTFONTCHANGED:
      CMParentFontChanged(Message);
      break;
    case CM_MOUSEENTER:
      CMMouseEnter(Message);
      break;
    case CM_MOUSELEAVE:
      CMMouseLeave(Message);
      break;
    default:
      DefaultHandler(Message);
      break;
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  // A control without a window answers its own right-button-up with its
  // context menu, as the window system does for windows.
  if (Message.Msg == WM_RBUTTONUP) {
    const TPoint P = ClientToScreen(LParamToPoint(Message.LParam));
    Perform(WM_CONTEXTMENU, 0, PointToLParam(P));
  }
}

bool TControl::MouseCapture() const { return Mouse()->CaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  Mouse()->SetCaptureControl(Value ? this : nullptr);
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  const TPoint P = LParamToPoint(Message.LParam);
  MouseDown(Button, MouseKeysToShiftState(Message.WParam) + Shift, P.X, P.Y);
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  const TPoint P = LParamToPoint(Message.LParam);
  MouseUp(Button, MouseKeysToShiftState(Message.WParam), P.X, P.Y);
}

void TControl::WMLButtonDown(TMessage& Message) {
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
  DoMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonUp(TMessage& Message) {
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (FControlState.Contains(csClicked)) {
    FControlState.Exclude(csClicked);
    if (PtInRect(ClientRect(), LParamToPoint(Message.LParam))) Click();
  }
  DoMouseUp(Message, mbLeft);
}

void TControl::WMLButtonDblClk(TMessage& Message) {
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) DblClick();
  DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMRButtonDown(TMessage& Message) { DoMouseDown(Message, mbRight, {}); }

void TControl::WMRButtonUp(TMessage& Message) {
  DoMouseUp(Message, mbRight);
  DefaultHandler(Message);  // brings up the context menu
}

void TControl::WMRButtonDblClk(TMessage& Message) { DoMouseDown(Message, mbRight, {ssDouble}); }
void TControl::WMMButtonDown(TMessage& Message) { DoMouseDown(Message, mbMiddle, {}); }
void TControl::WMMButtonUp(TMessage& Message) { DoMouseUp(Message, mbMiddle); }

void TControl::WMMouseMove(TMessage& Message) {
  if (!FControlStyle.Contains(csNoStdEvents)) {
    const TPoint P = LParamToPoint(Message.LParam);
    MouseMove(MouseKeysToShiftState(Message.WParam), P.X, P.Y);
  }
}

bool TControl::DoContextPopup(TPoint ScreenPos) {
  if (!FPopupMenu || !FPopupMenu->AutoPopup()) return false;
  if (ScreenPos.X == -1 && ScreenPos.Y == -1) ScreenPos = ClientToScreen(Point(0, 0));
  FPopupMenu->SetPopupComponent(this);
  FPopupMenu->Popup(ScreenPos.X, ScreenPos.Y);
  return true;
}

void TControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  if (DoContextPopup(LParamToPoint(Message.LParam))) {
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TControl::WMCancelMode(TMessage& Message) {
  if (MouseCapture()) SetMouseCapture(false);
  FControlState.Exclude(csClicked);
  DefaultHandler(Message);
}

void TControl::WMPaint(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMMove(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMSize(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMMoving(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMSizing(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMNCHitTest(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMSetCursor(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMSysCommand(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMEnterSizeMove(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMExitSizeMove(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMEraseBkgnd(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMSetFocus(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMKeyDown(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMKeyUp(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMChar(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMTimer(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMWindowPosChanged(TMessage& Message) { DefaultHandler(Message); }

void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }
void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMVisibleChanged(TMessage&) {}
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMTextChanged(TMessage&) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage&) {
  if (FParentColor && FParent) {
    FColor = FParent->Color();
    Invalidate();
  }
}

void TControl::CMParentFontChanged(TMessage&) {
  if (FParentFont && FParent) {
    FFont->OnChange = nullptr;
    FFont->Assign(FParent->Font());
    FFont->OnChange = TNotifyEvent::Bind<&TControl::FontChanged>(this);
    Invalidate();
  }
}

void TControl::CMMouseEnter(TMessage&) {}
void TControl::CMMouseLeave(TMessage&) {}

// ------------------------------------------------------------ events, misc

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::Loaded() {
  TComponent::Loaded();
  UpdateAnchorRules();
}

void TControl::Invalidate() {
  if (!FParent || !FParent->HandleAllocated()) return;
  if (!FVisible && !ComponentState().Contains(csDesigning)) return;
  const TRect R = BoundsRect();
  InvalidateRect(FParent->FHandle, &R, true);
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::BringToFront() {
  if (!FParent) return;
  if (auto* W = dynamic_cast<TWinControl*>(this)) {
    auto& L = FParent->FWinControls;
    EraseValue(L, W);
    L.push_back(W);
    if (W->FHandle) SetWindowPos(W->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    auto& L = FParent->FControls;
    EraseValue(L, this);
    L.push_back(this);
    Invalidate();
  }
}

void TControl::SendToBack() {
  if (!FParent) return;
  if (auto* W = dynamic_cast<TWinControl*>(this)) {
    auto& L = FParent->FWinControls;
    EraseValue(L, W);
    L.insert(L.begin(), W);
    if (W->FHandle) SetWindowPos(W->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    auto& L = FParent->FControls;
    EraseValue(L, this);
    L.insert(L.begin(), this);
    Invalidate();
  }
}

void TControl::ChangeScale(int M, int D) {
  if (M == D) return;
  SetBounds(MulDiv(FLeft, M, D), MulDiv(FTop, M, D), MulDiv(FWidth, M, D), MulDiv(FHeight, M, D));
  if (!FParentFont) FFont->SetHeight(MulDiv(FFont->Height(), M, D));
}

// ================================================================= TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  Destroying();
  // The window goes first, then every child control, whoever owns it.
  DestroyHandle();
  while (!FControls.empty() || !FWinControls.empty()) {
    TControl* Child = !FWinControls.empty() ? static_cast<TControl*>(FWinControls.back()) : FControls.back();
    delete Child;  // leaves this control's lists by itself
  }
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle || FControlState.Contains(csCreating)) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

TControl* TWinControl::Controls(int Index) const {
  const int NC = int(FControls.size());
  if (Index < 0 || Index >= ControlCount())
    throw EListError(Format("List index out of bounds (%d)", {std::int64_t(Index)}));
  return Index < NC ? FControls[size_t(Index)] : FWinControls[size_t(Index - NC)];
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* C = Control; C; C = C->FParent)
    if (C == this) return true;
  return false;
}

void TWinControl::InsertControl(TControl* AControl) {
  if (auto* Win = dynamic_cast<TWinControl*>(AControl); Win && Win->ContainsControl(this))
    throw EInvalidOperation("A control cannot be a child of one of its children");
  AControl->FParent = this;
  LayoutChangedInside();
  if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
    FWinControls.push_back(W);
    if (W->FHandle) {
      if (FHandle)
        ::platform::SetParent(W->FHandle, FHandle);
      else
        W->DestroyHandle();
    } else if (FHandle) {
      W->CreateHandle();
    }
  } else {
    FControls.push_back(AControl);
  }
  AControl->UpdateAnchorRules();
  AControl->Perform(CM_PARENTCOLORCHANGED);
  AControl->Perform(CM_PARENTFONTCHANGED);
  AControl->Invalidate();
  if (AControl->FAlign != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
  AControl->Invalidate();
  LayoutChangedInside();
  // Look in both lists: a control on its way out of its destructor no longer
  // reads as windowed.
  auto It = std::find(FWinControls.begin(), FWinControls.end(), AControl);
  if (It != FWinControls.end()) {
    TWinControl* W = *It;
    FWinControls.erase(It);
    AControl->FParent = nullptr;
    // A window cannot live without its parent window.
    if (W->FHandle && !W->ComponentState().Contains(csDestroying)) W->DestroyHandle();
  } else {
    EraseValue(FControls, AControl);
    AControl->FParent = nullptr;
  }
  if (AControl->FAlign != alNone) Realign();
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) const {
  auto Qualifies = [&](TControl* C) {
    const TPoint P = Point(Pos.X - C->FLeft, Pos.Y - C->FTop);
    if (!PtInRect(C->ClientRect(), P)) return false;
    const bool Designing = C->ComponentState().Contains(csDesigning);
    if (Designing ? !(C->FVisible || !C->FControlStyle.Contains(csNoDesignVisible))
                  : !(C->FVisible && C->Perform(CM_HITTEST, 0, PointToLParam(P)) != 0))
      return false;
    return C->FEnabled || AllowDisabled;
  };
  if (AllowWinControls)
    for (auto It = FWinControls.rbegin(); It != FWinControls.rend(); ++It)
      if (Qualifies(*It)) return *It;
  for (auto It = FControls.rbegin(); It != FControls.rend(); ++It)
    if (Qualifies(*It)) return *It;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (int I = 0; I < ControlCount(); ++I) {
    Controls(I)->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::SetChildOrder(TComponent* Child, int Order) {
  auto* C = dynamic_cast<TControl*>(Child);
  if (!C || C->FParent != this) return;
  if (auto* W = dynamic_cast<TWinControl*>(C)) {
    EraseValue(FWinControls, W);
    Order = std::clamp(Order, 0, int(FWinControls.size()));
    FWinControls.insert(FWinControls.begin() + Order, W);
    ApplyZOrder();
  } else {
    EraseValue(FControls, C);
    Order = std::clamp(Order, 0, int(FControls.size()));
    FControls.insert(FControls.begin() + Order, C);
    Invalidate();
  }
}

void TWinControl::ApplyZOrder() {
  // Restack the child windows bottom to top so the window system agrees with FWinControls.
  for (TWinControl* W : FWinControls)
    if (W->FHandle) SetWindowPos(W->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::FlipChildren(bool AllLevels) {
  if (ControlCount() == 0) return;
  const int W = ClientWidth();
  DisableAlign();
  std::vector<TControl*> All;
  for (int I = 0; I < ControlCount(); ++I) All.push_back(Controls(I));
  for (TControl* C : All) {
    if (C->FAlign == alLeft)
      C->FAlign = alRight;
    else if (C->FAlign == alRight)
      C->FAlign = alLeft;
    C->SetLeft(W - C->FLeft - C->FWidth);
  }
  EnableAlign();
  if (AllLevels)
    for (TControl* C : All)
      if (auto* Win = dynamic_cast<TWinControl*>(C)) Win->FlipChildren(true);
}

void TWinControl::ScaleChildren(int M, int D) {
  std::vector<TControl*> All;
  for (int I = 0; I < ControlCount(); ++I) All.push_back(Controls(I));
  for (TControl* C : All) C->ChangeScale(M, D);
}

void TWinControl::ScaleBy(int M, int D) {
  if (M == D || D == 0) return;
  DisableAlign();
  ScaleChildren(M, D);
  SetBounds(FLeft, FTop, MulDiv(FWidth, M, D), MulDiv(FHeight, M, D));
  if (!FParentFont) FFont->SetHeight(MulDiv(FFont->Height(), M, D));
  EnableAlign();
}

void TWinControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  DisableAlign();
  ScaleChildren(M, D);
  TControl::ChangeScale(M, D);
  EnableAlign();
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  // The children this control presents are the child controls it owns.
  for (int I = 0; I < ControlCount(); ++I) {
    TControl* C = Controls(I);
    if (C->Owner() == Root || C->Owner() == this) Proc(C);
  }
}

// -------------------------------------------------------------------- layout

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
  if (FAlignLevel > 0 || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  TRect R = ClientRect();
  AlignControls(nullptr, R);
}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
  ++FAlignLevel;  // the children's SetBounds must not realign again
  std::vector<TControl*> All;
  for (int I = 0; I < ControlCount(); ++I) All.push_back(Controls(I));
  for (TAlign A : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* C : All) {
      if (C->FAlign != A || !(C->FVisible || C->ComponentState().Contains(csDesigning))) continue;
      switch (A) {
        case alTop:
          C->SetBounds(Rect.Left, Rect.Top, Rect.Width(), C->FHeight);
          Rect.Top += C->FHeight;
          break;
        case alBottom:
          C->SetBounds(Rect.Left, Rect.Bottom - C->FHeight, Rect.Width(), C->FHeight);
          Rect.Bottom -= C->FHeight;
          break;
        case alLeft:
          C->SetBounds(Rect.Left, Rect.Top, C->FWidth, Rect.Height());
          Rect.Left += C->FWidth;
          break;
        case alRight:
          C->SetBounds(Rect.Right - C->FWidth, Rect.Top, C->FWidth, Rect.Height());
          Rect.Right -= C->FWidth;
          break;
        case alClient:
          C->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
          break;
        default:
          break;
      }
    }
  }
  // Anchored controls keep their distances to the anchored edges.
  const TRect Client = ClientRect();
  for (TControl* C : All) {
    if (C->FAlign != alNone) continue;
    const TAnchors A = C->FAnchors;
    if (A == TAnchors{akLeft, akTop}) continue;
    const TRect& Rules = C->FAnchorRules;
    int L = C->FLeft, T = C->FTop, W = C->FWidth, H = C->FHeight;
    if (A.Contains(akRight)) {
      if (A.Contains(akLeft))
        W = Client.Right - Rules.Right - L;
      else
        L = Client.Right - Rules.Right - W;
    }
    if (A.Contains(akBottom)) {
      if (A.Contains(akTop))
        H = Client.Bottom - Rules.Bottom - T;
      else
        T = Client.Bottom - Rules.Bottom - H;
    }
    const TRect Keep = Rules;
    C->SetBounds(L, T, W, H);
    C->FAnchorRules = Keep;
  }
  --FAlignLevel;
}

// --------------------------------------------------------------------- focus

bool TWinControl::CanFocus() const {
  if (!FHandle && !FParent && !dynamic_cast<const TCustomForm*>(this)) return false;
  for (const TWinControl* C = this; C; C = C->FParent)
    if (!C->FVisible || !C->FEnabled) return false;
  const TCustomForm* Form = GetParentForm();
  return Form && Form->Showing();
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (!CanFocus()) return;
  ::platform::SetFocus(Handle());
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  auto& L = FParent->FWinControls;
  return int(std::find(L.begin(), L.end(), this) - L.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (FParent) FParent->SetChildOrder(this, Value);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
  for (TWinControl* W : FWinControls) {
    List.push_back(W);
    W->GetTabOrderList(List);
  }
}

bool TWinControl::Showing() const {
  if (!FVisible) return false;
  return FParent ? FParent->Showing() : (FHandle && IsWindowVisible(FHandle));
}

// ---------------------------------------------------------- bounds, painting

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool Sized = AWidth != FWidth || AHeight != FHeight;
  // The fields hold the new bounds before the window moves, so handlers of
  // the window's WM_MOVE and WM_SIZE (hooks included) read them.
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (FParent) FParent->LayoutChangedInside();
  UpdateAnchorRules();
  if (FHandle) {
    FUpdatingBounds = true;
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    FUpdatingBounds = false;
  } else if (Sized && !ComponentState().Contains(csLoading)) {
    Realign();
    Resize();
  }
  if (FParent && FAlign != alNone) FParent->Realign();
}

void TWinControl::UpdateBounds() {
  if (!FHandle || FUpdatingBounds) return;
  TRect R;
  GetWindowRect(FHandle, R);
  if (HWND P = GetParent(FHandle)) {
    TPoint TL = R.TopLeft();
    ::platform::ScreenToClient(P, TL);
    R = Bounds(TL.X, TL.Y, R.Width(), R.Height());
  }
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Width();
  FHeight = R.Height();
  if (FParent) FParent->LayoutChangedInside();
  UpdateAnchorRules();
}

void TWinControl::LayoutChangedInside() {
  for (TWinControl* W = this; W; W = W->FParent) ++W->FLayoutStamp;
}

TPoint TWinControl::ClientOrigin() const {
  if (FHandle) {
    TPoint P{0, 0};
    ::platform::ClientToScreen(FHandle, P);
    return P;
  }
  return TControl::ClientOrigin();
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, true);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::SetText(const std::string& Value) {
  if (FText == Value) return;
  FText = Value;
  if (FHandle) SetWindowText(FHandle, Value);
  Perform(CM_TEXTCHANGED);
}

void TWinControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  if (FHandle) EnableWindow(FHandle, Value);
  Perform(CM_ENABLEDCHANGED);
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC DC) {
  if (!DC || !DC->Cr) return;
  for (size_t I = 0; I < FControls.size(); ++I) {
    TControl* C = FControls[I];
    const bool Designing = C->ComponentState().Contains(csDesigning);
    if (!(C->FVisible || (Designing && !C->FControlStyle.Contains(csNoDesignVisible)))) continue;
    if (C->FWidth <= 0 || C->FHeight <= 0) continue;
    cairo_save(DC->Cr);
    cairo_translate(DC->Cr, C->FLeft, C->FTop);
    cairo_rectangle(DC->Cr, 0, 0, C->FWidth, C->FHeight);
    cairo_clip(DC->Cr);
    TDeviceContext ChildDC{DC->Cr, C->FWidth, C->FHeight};
    C->Perform(WM_PAINT, WPARAM(&ChildDC), 0);
    cairo_restore(DC->Cr);
  }
}

void TWinControl::PaintHandler(TMessage& Message) {
  HDC DC = reinterpret_cast<HDC>(Message.WParam);
  PAINTSTRUCT PS;
  if (!DC) DC = BeginPaint(FHandle, PS);
  if (DC) {
    PaintWindow(DC);
    PaintControls(DC);
  }
  if (!Message.WParam && FHandle) EndPaint(FHandle, PS);
}

void TWinControl::WMPaint(TMessage& Message) { PaintHandler(Message); }

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  // A transparent window shows the windows below it where it does not paint.
  HDC DC = reinterpret_cast<HDC>(Message.WParam);
  if (DC && DC->Cr && !(FHandle && (GetWindowLong(FHandle, GWL_EXSTYLE) & WS_EX_TRANSPARENT))) {
    const std::int32_t C = ColorToRGB(FColor);
    cairo_save(DC->Cr);
    cairo_set_source_rgb(DC->Cr, GetRValue(C) / 255.0, GetGValue(C) / 255.0, GetBValue(C) / 255.0);
    cairo_rectangle(DC->Cr, 0, 0, FWidth, FHeight);
    cairo_fill(DC->Cr);
    cairo_restore(DC->Cr);
  }
  Message.Result = 1;
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
  // The window moved (possibly by the window system's own move-and-size
  // loop): the fields follow before WM_MOVE and WM_SIZE arrive, which a hook
  // may swallow.
  UpdateBounds();
  DefaultHandler(Message);
}

void TWinControl::WMMove(TMessage& Message) {
  UpdateBounds();
  DefaultHandler(Message);
}

void TWinControl::WMSize(TMessage& Message) {
  UpdateBounds();
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
  DefaultHandler(Message);
}

// ------------------------------------------------------------ window life

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FVisible) Params.Style |= WS_VISIBLE;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
  Params.ClassStyle = FControlStyle.Contains(csDoubleClicks) ? CS_DBLCLKS : 0;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->FHandle : nullptr;
}

void TWinControl::CreateWnd() {
  TCreateParams Params;
  CreateParams(Params);
  if (!Params.WndParent && (Params.Style & WS_CHILD))
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  FObjectInstance = MakeObjectInstance([this](TMessage& M) { MainWndProc(M); });
  FControlState.Include(csCreating);
  HWND H = CreateWindowEx(Params.ExStyle, Params.ClassStyle, Params.Style, Params.X, Params.Y, Params.Width,
                          Params.Height, Params.WndParent, FObjectInstance);
  FControlState.Exclude(csCreating);
  if (!H) {
    FreeObjectInstance(FObjectInstance);
    FObjectInstance = nullptr;
    throw EOutOfResources("Error creating window for '" + Name() + "'");
  }
  FHandle = H;
  if (!Params.Caption.empty()) SetWindowText(FHandle, Params.Caption);
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  CreateWnd();
  CreateChildHandles();
}

void TWinControl::CreateChildHandles() {
  // Bottom to top: each new window lies above the ones made before it.
  std::vector<TWinControl*> Children = FWinControls;
  for (TWinControl* W : Children)
    if (!W->FHandle) W->CreateHandle();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TWinControl* W : std::vector<TWinControl*>(FWinControls)) W->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  HWND H = FHandle;
  if (Mouse()->CaptureControl() == this) Mouse()->SetCaptureControl(nullptr);
  DestroyWindow(H);
  FHandle = nullptr;
  FreeObjectInstance(FObjectInstance);
  FObjectInstance = nullptr;
}

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    WindowProc(Message);
  } catch (...) {
    ApplicationHandleException(this);
  }
  if (Message.Msg == WM_NCDESTROY) FHandle = nullptr;  // destroyed by the window system
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (FHandle) {
    Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TControl::DefaultHandler(Message);
}

void TWinControl::WndProc(TMessage& Message) {
  if (IsMouseMessage(Message.Msg) && IsControlMouseMsg(Message)) return;
  TControl::WndProc(Message);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* Target = nullptr;
  TControl* Captured = Mouse()->CaptureControl();
  if (Captured && Captured != this && Captured->FParent == this && !dynamic_cast<TWinControl*>(Captured)) {
    Target = Captured;
  } else if (!Captured || Captured == this) {
    Target = ControlAtPos(LParamToPoint(Message.LParam), false, false);
  }
  if (!Target) return false;
  const TPoint P = LParamToPoint(Message.LParam);
  Message.Result =
      Target->Perform(Message.Msg, Message.WParam, PointToLParam(Point(P.X - Target->FLeft, P.Y - Target->FTop)));
  return true;
}

void TWinControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  TPoint Screen = LParamToPoint(Message.LParam);
  if (!(Screen.X == -1 && Screen.Y == -1)) {
    // A non-windowed child under the point answers first.
    if (TControl* C = ControlAtPos(ScreenToClient(Screen), false, false)) {
      Message.Result = C->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
      if (Message.Result != 0) return;
    }
  }
  if (DoContextPopup(Screen)) {
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::WMSetCursor(TMessage& Message) {
  // The control under the mouse shows its cursor; crDefault leaves it to the window system.
  TPoint P;
  GetCursorPos(P);
  TControl* Under = ControlAtPos(ScreenToClient(P), false, false);
  const TCursor C = Under && Under->FCursor != crDefault ? Under->FCursor : FCursor;
  if (C != crDefault) {
    Screen()->SetShownCursor(C);
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (FHandle) ShowWindow(FHandle, FVisible ? SW_SHOWNA : SW_HIDE);
}

// ----------------------------------------------------------------- keyboard

void TWinControl::WMSetFocus(TMessage& Message) {
  if (TCustomForm* F = GetParentForm()) F->FocusChanged(this);
  DoEnter();
  DefaultHandler(Message);
}

void TWinControl::WMKillFocus(TMessage& Message) {
  DoExit();
  DefaultHandler(Message);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

bool TWinControl::DialogKey(WORD& Key, TShiftState Shift) { return FParent && FParent->DialogKey(Key, Shift); }

void TWinControl::WMKeyDown(TMessage& Message) {
  // The control sees every key first; only what it leaves goes to dialog navigation.
  WORD Key = WORD(Message.WParam);
  const TShiftState Shift =
      KeyDataToShiftState(Message.LParam) + (GetKeyState(VK_MENU) < 0 ? TShiftState{ssAlt} : TShiftState{});
  KeyDown(Key, Shift);
  if (Key == 0) {
    Message.Result = 1;
    return;
  }
  Message.WParam = Key;
  if ((Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE) && DialogKey(Key, Shift)) {
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
  WORD Key = WORD(Message.WParam);
  KeyUp(Key, KeyDataToShiftState(Message.LParam));
  if (Key == 0) {
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
  if (Message.WParam < 0x80) {
    char Key = char(Message.WParam);
    KeyPress(Key);
    if (Key == 0) {
      Message.Result = 1;
      return;
    }
    Message.WParam = WPARAM(static_cast<unsigned char>(Key));
  }
  DefaultHandler(Message);
}

// ====================================================================== TMouse

TMouse* Mouse() {
  static TMouse TheMouse;
  return &TheMouse;
}

void TMouse::SetCapture(HWND Wnd) {
  if (Wnd)
    ::platform::SetCapture(Wnd);
  else
    ReleaseCapture();
}

TPoint TMouse::CursorPos() const {
  TPoint P;
  GetCursorPos(P);
  return P;
}

TControl* TMouse::CaptureControl() const {
  // The capture may have gone to another window since: then nobody holds it here.
  if (!FCaptureControl) return nullptr;
  auto* W = dynamic_cast<TWinControl*>(FCaptureControl);
  TWinControl* Holder = W ? W : FCaptureControl->Parent();
  if (!Holder || !Holder->HandleAllocated() || GetCapture() != Holder->Handle()) return nullptr;
  return FCaptureControl;
}

void TMouse::SetCaptureControl(TControl* Control) {
  FCaptureControl = nullptr;
  if (!Control) {
    ReleaseCapture();
    return;
  }
  // A control without a window captures through its parent's window, which passes the messages on.
  auto* W = dynamic_cast<TWinControl*>(Control);
  TWinControl* Holder = W ? W : Control->Parent();
  if (!Holder || !Holder->HandleAllocated()) return;
  ::platform::SetCapture(Holder->Handle());
  FCaptureControl = Control;
}

void TMouse::MouseOver(TControl* Control) {
  if (FMouseControl == Control) return;
  Application()->HintMouseMessage(Control);
  TControl* Old = FMouseControl;
  FMouseControl = Control;
  if (Old) Old->Perform(CM_MOUSELEAVE);
  if (Control) Control->Perform(CM_MOUSEENTER);
}

void TMouse::ControlDestroyed(TControl* Control) {
  if (FCaptureControl == Control) FCaptureControl = nullptr;
  if (FMouseControl == Control) FMouseControl = nullptr;
}

// ============================================================= TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(new TCanvas()) {}

TGraphicControl::~TGraphicControl() { delete FCanvas; }

void TGraphicControl::WMPaint(TMessage& Message) {
  HDC DC = reinterpret_cast<HDC>(Message.WParam);
  if (!DC) return;
  TCanvasBinding Bind(FCanvas, DC);
  FCanvas->Font()->Assign(FFont);
  Paint();
}

// ============================================================== TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(new TCanvas()) {}

TCustomControl::~TCustomControl() {
  // The window goes before the canvas: no paint may reach a freed canvas.
  DestroyHandle();
  delete FCanvas;
}

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow(HDC DC) {
  TCanvasBinding Bind(FCanvas, DC);
  Paint();
}

}  // namespace platform
