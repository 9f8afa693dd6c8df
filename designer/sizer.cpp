// TVelSizer and TVelSizerList.
#include "designer/sizer.h"

#include "console/attrib_editors.h"
#include "console/design_center.h"
#include "console/designintf_impls.h"
#include "console/popup_menu.h"
#include "designer/manager.h"
#include "platform/controls/menus.h"
#include "platform/designintf/designintf.h"
#include "translation/trans_utils.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TVelSizer, "VelDesigner");
VEL_IMPLEMENT_CLASS(TVelSizerList, "VelDesigner");

void TVelSizer::VelPublish(TPublisher& P) {
  P.Property("Control", &TVelSizer::Control, &TVelSizer::SetControl);
  P.Property("SizerMode", &TVelSizer::SizerMode, &TVelSizer::SetSizerMode);
  P.Property("SizerList", &TVelSizer::SizerList, &TVelSizer::SetSizerList);
  P.Property("SimulateMouseDownWhenSetControl", &TVelSizer::SimulateMouseDownWhenSetControl,
             &TVelSizer::SetSimulateMouseDownWhenSetControl);
  P.Property("SingleSelColor", &TVelSizer::SingleSelColor, &TVelSizer::SetSingleSelColor).Default(clBtnText);
  P.Property("MultiSelColor", &TVelSizer::MultiSelColor, &TVelSizer::SetMultiSelColor).Default(clBtnShadow);
  P.Property("Enabled", &TVelSizer::Enabled, &TVelSizer::SetEnabled).Default(true);
  P.Property("OnClick", &TVelSizer::OnClick, &TVelSizer::OnClick);
  P.Property("OnMouseDown", &TVelSizer::OnMouseDown, &TVelSizer::OnMouseDown);
  P.Property("OnMouseUp", &TVelSizer::OnMouseUp, &TVelSizer::OnMouseUp);
}

namespace {

// Converts Rect from the client coordinates of From to those of To, corner
// by corner through the screen; unchanged between the same control, empty
// when only one of them exists.
TRect MapClientRect(const TRect& Rect, const TControl* From, const TControl* To) {
  if (From == To) return Rect;
  if (!From || !To) return TRect{0, 0, 0, 0};
  const TPoint TopLeft = To->ScreenToClient(From->ClientToScreen(Rect.TopLeft()));
  const TPoint BottomRight = To->ScreenToClient(From->ClientToScreen(Rect.BottomRight()));
  return TRect{TopLeft.X, TopLeft.Y, BottomRight.X, BottomRight.Y};
}

TRect Grown(TRect R, int By) {
  R.Left -= By;
  R.Top -= By;
  R.Right += By;
  R.Bottom += By;
  return R;
}

}  // namespace

// ============================================================ TVelSizer

TVelSizer::TVelSizer(TComponent* AOwner) : TCustomControl(AOwner) { InitSizer(); }

TVelSizer::TVelSizer(TComponent* AOwner, TControl* Control) : TCustomControl(AOwner) {
  InitSizer();
  TControlStyle Style = ControlStyle();
  Style.Exclude(csOpaque);
  SetControlStyle(Style);
  SetControl(Control);
  if (Control) SetParent(Control->Parent());
}

void TVelSizer::InitSizer() {
  FHitTestCodes = {HTTOPLEFT, HTTOP, HTTOPRIGHT, HTRIGHT, HTBOTTOMRIGHT, HTBOTTOM, HTBOTTOMLEFT, HTLEFT};
  IncludeComponentStyle(csTransient);
  FSingleSelColor = clBtnText;
  FMultiSelColor = clBtnShadow;
  SetShowHint(true);
  SetBoundsRect(TRect{0, 0, 0, 0});
}

TVelSizer::~TVelSizer() {
  // A sizer destroyed by its parent window leaves its list's entry empty.
  if (FSizerList && FListEntries > 0)
    if (const int I = FSizerList->IndexOf(this); I >= 0) FSizerList->Put(I, nullptr);
  EndEmbedEdit();
  SetControl(nullptr);
}

void TVelSizer::SetControl(TControl* Value) {
  if (Value == FControl) return;
  if (dynamic_cast<TVelSizer*>(Value)) Value = nullptr;
  if (Value == FControl) return;
  if (FControl) FControl->RemoveFreeNotification(this);
  FControl = Value;
  ControlChanged();
  // The control is usually owned elsewhere: hear of its destruction directly.
  if (FControl) FControl->FreeNotification(this);
  BindToControl();
  if (FControl) SetHint(GetCompTransedName(FControl, FControl->Owner()));
}

void TVelSizer::SizerControlExit(TObject*) {
  if (FControl) FControl->RemoveFreeNotification(this);
  FControl = nullptr;
  ControlChanged();
}

void TVelSizer::ControlChanged() {
  if (FHolder) FHolder->ControlsChanged();
}

void TVelSizer::SetSizerMode(TVelSizerMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  if (FHolder) {
    if (Value == smMulti)
      FHolder->FNotMulti.erase(this);
    else
      FHolder->FNotMulti.insert(this);
  }
  UpdateBounds();
  // The handles change with the mode.
  Invalidate();
}

void TVelSizer::SetSingleSelColor(TColor Value) {
  if (Value == FSingleSelColor) return;
  FSingleSelColor = Value;
  if (FMode == smSingle) Repaint();
}

void TVelSizer::SetMultiSelColor(TColor Value) {
  if (Value == FMultiSelColor) return;
  FMultiSelColor = Value;
  if (FMode == smMulti) Repaint();
}

// ------------------------------------------------------------ geometry

TWinControl* TVelSizer::SizerParent() const {
  if (!FControl || !FControl->Parent()) return nullptr;
  TVelDesignManager* M = FSizerList ? FSizerList->DesignManager() : nullptr;
  if (!M || !M->DesignStage()) return FControl->Parent();
  return M->DesignStage();
}

void TVelSizer::BindToControl() {
  if (!FControl) {
    SetBoundsRect(TRect{0, 0, 0, 0});
    return;
  }
  FIsMoveSender = false;
  UpdateBounds();
  if (FControl->Parent()) {
    SetParent(SizerParent());
    SetFocus();
  }
}

void TVelSizer::UpdateBounds() {
  if (!FControl) {
    SetBoundsRect(TRect{0, 0, 0, 0});
    return;
  }
  const TRect R = FControl->Parent() ? FControl->BoundsRect() : FControl->ClientRect();
  SetBoundsRect(MapClientRect(Grown(R, 2), FControl->Parent(), SizerParent()));
}

void TVelSizer::FeedbackBounds() {
  if (!FControl || !FControl->Parent()) return;
  FControl->SetBoundsRect(MapClientRect(Grown(BoundsRect(), -2), SizerParent(), FControl->Parent()));
  FControl->Invalidate();
}

void TVelSizer::UpdatePaintRects() {
  const int W = Width(), H = Height();
  const int MX = W / 2, MY = H / 2;
  FPaintRects = {TRect{0, 0, 5, 5},         TRect{MX - 3, 0, MX + 2, 5},
                 TRect{W - 5, 0, W, 5},     TRect{W - 5, MY - 3, W, MY + 2},
                 TRect{W - 5, H - 5, W, H}, TRect{MX - 3, H - 5, MX + 2, H},
                 TRect{0, H - 5, 5, H},     TRect{0, MY - 3, 5, MY + 2}};
}

void TVelSizer::CreateHandle() {
  if (!FControl) return;
  TCustomControl::CreateHandle();
  // The window is born at its size: no WM_SIZE computes the handles then.
  if (!FEmbedEditing) UpdatePaintRects();
  SetFocus();
}

void TVelSizer::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.ExStyle |= WS_EX_TRANSPARENT;
}

// ------------------------------------------------------------ painting

void TVelSizer::PaintHandles(TColor Color, bool CornersOnly) {
  TCanvas* C = Canvas();
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(Color);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  // Outline and fill share the colour: filling the whole handle paints the
  // same pixels as a rectangle, at a fraction of the cost (a dragged
  // selection repaints every handle on every step).
  for (int I = 0; I < 8; ++I)
    if (!CornersOnly || I % 2 == 0) C->FillRect(FPaintRects[I]);
}

void TVelSizer::Paint() {
  if (!FControl) return;
  TCustomControl::Paint();
  if (FMoving) {
    TCanvas* C = Canvas();
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetColor(clGray);
    C->Pen()->SetWidth(2);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(2, 2, Width() - 2, Height() - 2);
  } else if (FMode == smSingle) {
    PaintHandles(FSingleSelColor, false);
  } else {
    PaintHandles(FMultiSelColor, true);
  }
}

// ------------------------------------------------------------ hit testing and window messages

LRESULT TVelSizer::HandleHitTest(TPoint P) const {
  LRESULT Code = 0;
  for (int I = 0; I < 8; ++I)
    if (PtInRect(FPaintRects[I], P)) Code = FHitTestCodes[I];
  return Code;
}

void TVelSizer::WMNCHitTest(TMessage& Message) {
  Message.Result = 0;
  if (!FControl) return;
  TVelDesignManager* M = FSizerList ? FSizerList->DesignManager() : nullptr;
  if (M && M->GetIsDynInsComp()) Message.Result = HTTRANSPARENT;
  if (Message.Result == 0 && FEmbedEditing) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  if (Message.Result == 0 && FMode == smSingle)
    Message.Result = HandleHitTest(ScreenToClient(LParamToPoint(Message.LParam)));
  if (Message.Result == 0) TCustomControl::WMNCHitTest(Message);
}

void TVelSizer::WMSize(TMessage&) {
  if (FControl && !FEmbedEditing) UpdatePaintRects();
}

void TVelSizer::WMMove(TMessage&) {}

void TVelSizer::WMMoving(TMessage&) {}

TWinControl* TVelSizer::EmbedEditTarget() const {
  if (!FControl) return nullptr;
  if (auto* W = dynamic_cast<TWinControl*>(FControl)) return W;
  return FControl->Parent();
}

void TVelSizer::WndProc(TMessage& Message) {
  const UINT Msg = Message.Msg;
  // While a non-windowed control is edited in place, its input goes to its parent.
  if (FEmbedEditing && FControl && !dynamic_cast<TWinControl*>(FControl) && FControl->Parent()) {
    switch (Msg) {
      case WM_NCHITTEST:
      case WM_PAINT:
      case WM_ENTERSIZEMOVE:
      case WM_EXITSIZEMOVE:
      case WM_MOVE:
      case WM_MOVING:
      case CM_FOCUSCHANGED:
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
      case WM_SETCURSOR:
        break;
      default:
        PostMessage(FControl->Parent()->Handle(), Msg, Message.WParam, Message.LParam);
        return;
    }
  }
  if (Msg == WM_ENTERSIZEMOVE) {
    StartMove();
  } else if (Msg == WM_EXITSIZEMOVE) {
    EndMove();
  } else if (Msg == VELM_SizerMoved) {
    if (HandleAllocated() && Message.WParam == reinterpret_cast<WPARAM>(Handle())) {
      FIsMoveSender = true;
    } else {
      FIsMoveSender = false;
      const TPoint Step = LParamToPoint(Message.LParam);
      SetBounds(Left() + Step.X, Top() + Step.Y, Width(), Height());
    }
  } else if (Msg == VELM_SizerMoveStart) {
    if (!HandleAllocated() || Message.WParam != reinterpret_cast<WPARAM>(Handle())) StartMove();
  } else if (Msg == VELM_SizerMoveEnd) {
    if (!HandleAllocated() || Message.WParam != reinterpret_cast<WPARAM>(Handle())) EndMove();
  }
  TCustomControl::WndProc(Message);
}

// ------------------------------------------------------------ mouse

void TVelSizer::WMLButtonDown(TMessage& Message) {
  if (!FControl) {
    TCustomControl::WMLButtonDown(Message);
    return;
  }
  const TPoint Screen = ClientToScreen(LParamToPoint(Message.LParam));
  // Click-through: to another control under the click, or to a child of the
  // selected container.
  TWinControl* P = FControl->Parent() ? FControl->Parent() : this;
  TControl* Target = nullptr;
  TControl* F = ChildControlAtPos(P, P->ScreenToClient(Screen));
  if (F && F != FControl) {
    Target = F;
  } else if (F == FControl) {
    if (auto* W = dynamic_cast<TWinControl*>(FControl)) Target = ChildControlAtPos(W, W->ScreenToClient(Screen));
  }
  if (Target) {
    if (auto* W = dynamic_cast<TWinControl*>(Target)) {
      Message.Result = 1;
      SendMessage(W->Handle(), Message.Msg, Message.WParam, PointToLParam(W->ScreenToClient(Screen)));
      return;
    }
    if (TWinControl* TP = Target->Parent()) {
      Message.Result = 1;
      PostMessage(TP->Handle(), Message.Msg, Message.WParam, PointToLParam(TP->ScreenToClient(Screen)));
      return;
    }
  }
  // Shift or Ctrl: the control's proxy toggles it or passes the click up.
  if (Message.WParam & (MK_SHIFT | MK_CONTROL)) {
    if (auto* W = dynamic_cast<TWinControl*>(FControl))
      PostMessage(W->Handle(), WM_LBUTTONDOWN, Message.WParam, PointToLParam(W->ScreenToClient(Screen)));
    else if (TWinControl* CP = FControl->Parent())
      PostMessage(CP->Handle(), WM_LBUTTONDOWN, Message.WParam, PointToLParam(CP->ScreenToClient(Screen)));
    return;
  }
  FLastMousePos = Screen;
  BeginMoveAsSender(FLastMousePos);
}

void TVelSizer::BeginMoveAsSender(TPoint ScreenPos) {
  FIsMoveSender = true;
  FLastMousePos = ScreenPos;
  SetMouseCapture(true);
  if (FSizerList) FSizerList->DelAllUnSibling(this);
}

void TVelSizer::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (Shift.Contains(ssLeft)) {
    if (!FIsMoveSender) return;
    const TPoint P = ClientToScreen(TPoint{X, Y});
    if (P == FLastMousePos) return;
    FMoving = true;
    const int DX = P.X - FLastMousePos.X, DY = P.Y - FLastMousePos.Y;
    FLastMousePos = P;
    SetBounds(Left() + DX, Top() + DY, Width(), Height());
    Repaint();
    if (FControl && FIsMoveSender) BroadcastMovedMsg(DX, DY);
  }
  if (FSizerList && FSizerList->DesignManager())
    FSizerList->DesignManager()->EnvokeStageMouseMove(this, Shift, TPoint{X, Y});
}

void TVelSizer::WMLButtonUp(TMessage& Message) {
  TCustomControl::WMLButtonUp(Message);
  EndMove();
}

void TVelSizer::WMLButtonDblClk(TMessage& Message) {
  if (!FControl) {
    TCustomControl::WMLButtonDblClk(Message);
    return;
  }
  LaunchCompEditor(FControl);
}

void TVelSizer::WMRButtonUp(TMessage& Message) {
  TPopupMenu* Menu = PopupMenu();
  if (!Menu) {
    TCustomControl::WMRButtonUp(Message);
    return;
  }
  const TPoint Screen = ClientToScreen(LParamToPoint(Message.LParam));
  if (auto* Design = dynamic_cast<TVelDesignCompPopupMenu*>(Menu))
    Design->PopupBaseOnComp(FControl, Screen.X, Screen.Y);
  else
    Menu->Popup(Screen.X, Screen.Y);
}

// ------------------------------------------------------------ moving

void TVelSizer::BroadcastMovedMsg(int DX, int DY) {
  if (!FSizerList || (DX == 0 && DY == 0)) return;
  FSizerList->DelAllUnSibling(this);
  FSizerList->BroadcastMessageToAllSizers(VELM_SizerMoved, reinterpret_cast<WPARAM>(Handle()),
                                          PointToLParam(TPoint{DX, DY}));
}

void TVelSizer::BroadcastMoveStartMsg() {
  if (FSizerList) FSizerList->BroadcastMessageToAllSizers(VELM_SizerMoveStart, reinterpret_cast<WPARAM>(Handle()), 0);
}

void TVelSizer::BroadcastMoveEndMsg() {
  if (FSizerList) FSizerList->BroadcastMessageToAllSizers(VELM_SizerMoveEnd, reinterpret_cast<WPARAM>(Handle()), 0);
}

void TVelSizer::StartMove() {
  if (!FControl || FEmbedEditing) return;
  FMoving = true;
  if (FIsMoveSender) BroadcastMoveStartMsg();
  UpdateBounds();
}

void TVelSizer::EndMove() {
  if (FEmbedEditing) return;
  if (FIsMoveSender) BroadcastMoveEndMsg();
  FeedbackBounds();
  UpdateBounds();
  BindToControl();
  if (FSizerList && FMoving) FSizerList->NotifyMoved();
  FMoving = false;
  Invalidate();
}

void TVelSizer::ManualMove(int DX, int DY, bool AsSender, bool AndEnd) {
  if (AsSender)
    FIsMoveSender = true;
  else
    StartMove();
  SetBounds(Left() + DX, Top() + DY, Width(), Height());
  Repaint();
  if (AsSender) BroadcastMovedMsg(DX, DY);
  if (AndEnd) EndMove();
}

// ------------------------------------------------------------ keys

void TVelSizer::KeyDown(WORD& Key, TShiftState Shift) {
  if (Shift.Contains(ssCtrl)) {
    TPoint Step{0, 0};
    switch (Key) {
      case VK_LEFT:
        Step = {-1, 0};
        break;
      case VK_RIGHT:
        Step = {1, 0};
        break;
      case VK_UP:
        Step = {0, -1};
        break;
      case VK_DOWN:
        Step = {0, 1};
        break;
      default:
        break;
    }
    if (Step.X != 0 || Step.Y != 0) ManualMove(Step.X, Step.Y, true, true);
  }
  TCustomControl::KeyDown(Key, Shift);
}

void TVelSizer::KeyUp(WORD& Key, TShiftState Shift) {
  if (Key == VK_DELETE && Shift.Empty()) {
    TVelDesignManager* M = FSizerList ? FSizerList->DesignManager() : nullptr;
    if (M && M->DesignStage()) PostMessage(M->DesignStage()->Handle(), VELN_DelSelCtrls, 0, 0);
    return;
  }
  TCustomControl::KeyUp(Key, Shift);
}

// ------------------------------------------------------------ in-place editing

void TVelSizer::StartEmbedEdit() {
  TWinControl* Target = EmbedEditTarget();
  if (!Target) return;
  if (SendMessage(Target->Handle(), VELN_StartInlineEdit, 0, 0) == 0) return;
  FEmbedEditing = true;
  if (MouseCapture()) SetMouseCapture(false);
  UpdateBounds();
}

void TVelSizer::EndEmbedEdit() {
  TWinControl* Target = EmbedEditTarget();
  if (!Target || !FEmbedEditing) return;
  if (Target->HandleAllocated() && !Target->ComponentState().Contains(csDestroying))
    SendMessage(Target->Handle(), VELN_EndInlineEdit, 0, 0);
  FEmbedEditing = false;
  UpdateBounds();
}

// ------------------------------------------------------------ commands

void TVelSizer::LaunchCompEditor(TComponent* Component) {
  TVelDesignManager* M = FSizerList ? FSizerList->DesignManager() : nullptr;
  TInterfaceRef<IDesigner> Designer(new TVelFormDesigner(M));
  // An editor may destroy the control, and with it this sizer.
  TComponentList Alive(false);
  Alive.Add(this);
  bool Launched = false;
  if (TInterfaceRef<IVelAttribEditor> Editor = GetVelComponentAttribEditor(Component, Designer.Get());
      Editor && Editor->GetDefaultEvoke()) {
    Editor->Edit();
    if (Alive.Count() == 0) return;
    Launched = !FEmbedEditing;
  }
  if (!Launched && !FEmbedEditing) {
    if (TInterfaceRef<IComponentEditor> Editor = GetComponentEditor(Component, Designer.Get())) {
      Editor->Edit();
      if (Alive.Count() == 0) return;
      Launched = true;
    }
  }
  BindToControl();
  if (Launched && M) {
    M->SizersModified();
    if (M->ConsoleCenter()) M->ConsoleCenter()->Refresh();
  }
}

void TVelSizer::BringCtrlToFront() {
  if (!FControl) return;
  FControl->BringToFront();
  BringToFront();
}

void TVelSizer::SendCtrlToBack() {
  if (FControl) FControl->SendToBack();
}

void TVelSizer::FlipChildren(bool AllLevels) {
  if (auto* W = dynamic_cast<TWinControl*>(FControl)) W->FlipChildren(AllLevels);
}

void TVelSizer::DelCurrControl() {
  if (FSizerList) {
    if (TVelDesignManager* M = FSizerList->DesignManager()) M->DelSelectedControls();
  } else {
    delete FControl;
  }
}

void TVelSizer::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == FControl) {
    SetControl(nullptr);
    // Frees this sizer when it belongs to a list.
    if (FSizerList) FSizerList->DelUnassignedSizers();
  }
}

// ============================================================ TVelSizerList

namespace {

// Frees a sizer whose entry the list has emptied already (unless it is being
// destroyed anyway); detached first, so its destructor need not search the list.
void FreeSizer(TVelSizer* S) {
  if (!S || S->ComponentState().Contains(csDestroying)) return;
  S->SetSizerList(nullptr);
  delete S;
}

}  // namespace

TVelSizerList::~TVelSizerList() { ClearSizer(); }

void TVelSizerList::PackTight() {
  Pack();
  SetCapacity(Count());
}

int TVelSizerList::AddControl(TControl* Control, TComponent* Owner, bool Unique) {
  if (Unique && GetControlIndex(Control) >= 0) return -1;
  auto* S = new TVelSizer(Owner);
  S->SetSizerList(this);
  S->SetControl(Control);
  return AddSizer(S);
}

int TVelSizerList::AddSizer(TVelSizer* Sizer) {
  if (!Sizer) return -1;
  Sizer->SetSizerList(this);
  Add(Sizer);
  UpdateAllSizerMode();
  // Usually the sizer is the last entry, and there only once.
  if (Sizer->FListEntries == 1 && Count() > 0 && GetSizers(Count() - 1) == Sizer) return Count() - 1;
  return IndexOf(Sizer);
}

void TVelSizerList::UpdateAllSizerMode() {
  PackTight();
  const int N = Count();
  // In a long list only the sizers not in multi mode yet can change; with
  // one such sizer at most (an append), it alone needs the visit.
  if (N > 2 && !FShared && FNotMulti.size() <= 1) {
    if (!FNotMulti.empty()) (*FNotMulti.begin())->SetSizerMode(smMulti);
    return;
  }
  for (int I = 0; I < N; ++I) {
    TVelSizer* S = GetSizers(I);
    if (N == 1)
      S->SetSizerMode(S->Control() ? smSingle : smNone);
    else
      S->SetSizerMode(smMulti);
  }
}

void TVelSizerList::DelSizer(int Index) {
  TVelSizer* S = GetSizers(Index);
  // The entry goes first, so nothing reaches a sizer that is being freed
  // through the list.
  Put(Index, nullptr);
  FreeSizer(S);
  PackTight();
  UpdateAllSizerMode();
}

void TVelSizerList::DelControl(const TComponent* Control) {
  if (const int Index = GetControlIndex(Control); Index >= 0) DelSizer(Index);
}

void TVelSizerList::ClearSizer() {
  // Every sizer goes, so no mode needs updating on the way.
  for (int I = Count() - 1; I >= 0; --I) {
    if (I >= Count()) continue;
    TVelSizer* S = GetSizers(I);
    Put(I, nullptr);
    FreeSizer(S);
  }
  Clear();
}

void TVelSizerList::DelAllUnSibling(const TVelSizer* Sizer) {
  if (!Sizer || !Sizer->Control()) return;
  const TWinControl* Parent = Sizer->Control()->Parent();
  bool Changed = false;
  for (int I = 0; I < Count(); ++I) {
    TVelSizer* S = GetSizers(I);
    if (S && S->Control() && S->Control()->Parent() == Parent) continue;
    Put(I, nullptr);
    FreeSizer(S);
    Changed = true;
  }
  if (Changed) UpdateAllSizerMode();
}

void TVelSizerList::DelUnassignedSizers() {
  for (int I = 0; I < Count(); ++I) {
    TVelSizer* S = GetSizers(I);
    if (S && S->Control()) continue;
    Put(I, nullptr);
    FreeSizer(S);
  }
  UpdateAllSizerMode();
}

void TVelSizerList::RemoveAllSizerAndCtrls() {
  // Each destruction comes back as a removal that frees a sizer, so the
  // controls are collected first; the list drops any destroyed on the way.
  TComponentList Controls(false);
  for (int I = 0; I < Count(); ++I)
    if (TVelSizer* S = GetSizers(I); S && S->Control()) Controls.Add(S->Control());
  while (Controls.Count() > 0) {
    TComponent* C = Controls.Items(0);
    Controls.Delete(0);
    delete C;
  }
  ClearSizer();
}

int TVelSizerList::GetControlIndex(const TComponent* Control) const {
  if (!FShared && (!FControlIndexValid || FIndexedCount != Count())) BuildControlIndex();
  if (!FShared && !FControlIndexAmbiguous) {
    auto It = FControlIndex.find(Control);
    if (It == FControlIndex.end()) return -1;
    if (It->second < Count())
      if (TVelSizer* S = GetSizers(It->second); S && S->Control() == Control) return It->second;
    // Entries were exchanged or moved, which the list is not told of.
    BuildControlIndex();
    if (!FControlIndexAmbiguous) {
      It = FControlIndex.find(Control);
      return It == FControlIndex.end() ? -1 : It->second;
    }
  }
  for (int I = 0; I < Count(); ++I)
    if (TVelSizer* S = GetSizers(I); S && S->Control() == Control) return I;
  return -1;
}

void TVelSizerList::BuildControlIndex() const {
  FControlIndex.clear();
  FControlIndexAmbiguous = false;
  for (int I = 0; I < Count(); ++I)
    if (TVelSizer* S = GetSizers(I); S && !FControlIndex.emplace(S->Control(), I).second) FControlIndexAmbiguous = true;
  FIndexedCount = Count();
  FControlIndexValid = true;
}

void TVelSizerList::ControlsChanged() {
  ++FGeneration;
  FControlIndexValid = false;
}

void TVelSizerList::Notify(void* Ptr, TListNotification Action) {
  auto* S = static_cast<TVelSizer*>(Ptr);
  ++FGeneration;
  if (Action == lnAdded) {
    if (S->FHolder && S->FHolder != this) {
      S->FHolder->FShared = true;
      FShared = true;
    }
    ++S->FListEntries;
    S->FHolder = this;
    if (S->SizerMode() != smMulti) FNotMulti.insert(S);
    // An entry appended to a list whose index is in step extends the index.
    if (FControlIndexValid && Count() == FIndexedCount + 1 && Get(Count() - 1) == Ptr &&
        FControlIndex.emplace(S->Control(), Count() - 1).second)
      FIndexedCount = Count();
    else
      FControlIndexValid = false;
  } else {
    if (S->FListEntries > 0) --S->FListEntries;
    if (S->FListEntries == 0 || FShared) {
      if (S->FHolder == this) S->FHolder = nullptr;
      FNotMulti.erase(S);
    }
    FControlIndexValid = false;
  }
  TList::Notify(Ptr, Action);
}

void TVelSizerList::BroadcastMessageToAllSizers(UINT Msg, WPARAM WParam, LPARAM LParam) {
  for (int I = 0; I < Count(); ++I)
    if (TVelSizer* S = GetSizers(I); S && S->HandleAllocated()) PostMessage(S->Handle(), Msg, WParam, LParam);
  if (Msg == VELM_SizerMoveEnd) NotifyMoved();
}

void TVelSizerList::NotifyMoved() {
  if (FDesignManager) FDesignManager->SizersMoved();
}

void TVelSizerList::NotifySizerModified() {
  if (FDesignManager) FDesignManager->SizersModified();
}

void TVelSizerList::RepaintAllSizers() { RepaintSizers(); }

void TVelSizerList::RepaintSizers() {
  for (int I = 0; I < Count(); ++I)
    if (TVelSizer* S = GetSizers(I)) S->Repaint();
}

void TVelSizerList::SetAllEnabled(bool Value) {
  for (int I = 0; I < Count(); ++I)
    if (TVelSizer* S = GetSizers(I)) S->SetEnabled(Value);
}

}  // namespace vel
