// TVelDesignStageProxy, TVelStageSizer, TVelRubberBand and TVelDesignStage.
#include "designer/stage.h"

#include "console/popup_menu.h"
#include "designer/manager.h"
#include "platform/controls/menus.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TVelDesignStageProxy, "VelDesigner");
VEL_IMPLEMENT_CLASS(TVelStageSizer, "VelDesigner");
VEL_IMPLEMENT_CLASS(TVelRubberBand, "VelDesigner");
VEL_IMPLEMENT_CLASS(TVelDesignStage, "VelDesigner");

namespace {

// Shows the design menu at a screen point: a design popup menu learns which
// component it was opened for.
void PopupDesignMenu(TPopupMenu* Menu, TComponent* Component, TPoint Screen) {
  if (auto* Design = dynamic_cast<TVelDesignCompPopupMenu*>(Menu))
    Design->PopupBaseOnComp(Component, Screen.X, Screen.Y);
  else
    Menu->Popup(Screen.X, Screen.Y);
}

}  // namespace

// ============================================================ TVelDesignStageProxy

TVelDesignStageProxy::TVelDesignStageProxy(TWinControl* Control)
    : TVelDesignWndProcProxy(TDeferBind{}), FRubberBand(std::make_unique<TComponentList>(false)) {
  BindInitial(Control);
  TakeTargetFromOwner(Control);
  FGridSizeX = 4;
  FGridSizeY = 4;
  // The grid is drawn with these two; the template marks one cell's origin.
  FGridTemplate = std::make_unique<TBitmap>();
  FGridCanvas = std::make_unique<TCanvas>();
  DrawGridTemplate();
}

TVelDesignStageProxy::~TVelDesignStageProxy() { TVelDesignStageProxy::ReleaseNewWndProc(); }

TVelRubberBand* TVelDesignStageProxy::RubberBand() const {
  return FRubberBand->Count() > 0 ? static_cast<TVelRubberBand*>(FRubberBand->Items(0)) : nullptr;
}

void TVelDesignStageProxy::FreeRubberBand() {
  TVelRubberBand* Band = RubberBand();
  FRubberBand->Clear();
  if (Band && !Band->ComponentState().Contains(csDestroying)) delete Band;
}

void TVelDesignStageProxy::ReleaseNewWndProc() {
  TVelDesignWndProcProxy::ReleaseNewWndProc();
  FreeRubberBand();
}

bool TVelDesignStageProxy::IsStageControl(const TControl* Control) const {
  const TWinControl* Stage = this->Control();
  if (!Control || !Stage) return false;
  if (Control == Stage) return true;
  std::vector<const TWinControl*> Pending{Stage};
  while (!Pending.empty()) {
    const TWinControl* W = Pending.back();
    Pending.pop_back();
    for (int I = 0; I < W->ControlCount(); ++I) {
      const TControl* Child = W->Controls(I);
      if (Child == Control) return true;
      if (auto* CW = dynamic_cast<const TWinControl*>(Child)) Pending.push_back(CW);
    }
  }
  return false;
}

void TVelDesignStageProxy::ProxyWndMethod(TMessage& Message) {
  TVelDesignManager* M = DesignManager();
  if (Message.Msg == TVelDesignManager::ConstructedMsg()) {
    if (M) M->TakeInConstructedComponents();
    return;
  }
  if (IsInterceptMsgs() && Control() && !(M && M->EmbedEditing())) {
    if (Message.Msg == VELM_ControlSelectedAtPos) {
      FSelectionPos = LParamToPoint(Message.LParam);
      return;
    }
    if (Message.Msg == VELM_ControlSelected) {
      auto* Selected = reinterpret_cast<TControl*>(Message.LParam);
      if (IsStageControl(Selected)) SelectControl(Selected, int(Message.WParam), FSelectionPos);
      Message.Result = 1;
      return;
    }
    if (Message.Msg == VELN_DelSelCtrls) {
      if (M) M->DelSelectedControls();
      return;
    }
  }
  TVelDesignWndProcProxy::ProxyWndMethod(Message);
  if (Message.Msg == WM_PAINT && FDisplayGrid && Control() && Control()->HandleAllocated()) {
    // The grid lies over the stage's own painting and under its child windows,
    // which paint after it.
    if (HDC DC = GetDC(Control()->Handle())) {
      DrawGrid(DC);
      ReleaseDC(Control()->Handle(), DC);
    }
  }
}

void TVelDesignStageProxy::SelectControl(TControl* Control, int KeyFlags, TPoint Pos) {
  TVelDesignManager* M = DesignManager();
  if (!M) return;
  TControlSelectMode Mode = csmSelect;
  if (KeyFlags & MK_SHIFT)
    Mode = csmToggle;
  else if (KeyFlags & MK_CONTROL)
    Mode = csmClear;
  M->SelectControl(Control, Pos, Mode, true, (KeyFlags & MK_LBUTTON) != 0);
}

void TVelDesignStageProxy::ProxyMouseDown(TMessage& Message) {
  if (Message.WParam & MK_CONTROL) Message.Result = 201;
  TVelDesignWndProcProxy::ProxyMouseDown(Message);
  if (Message.Msg == WM_LBUTTONDOWN && (Message.Result == 0 || Message.Result == 101 || Message.Result == 201))
    StartRubberBand(LParamToPoint(Message.LParam));
}

void TVelDesignStageProxy::StartRubberBand(TPoint Pos) {
  TWinControl* Stage = Control();
  if (!Stage) return;
  TVelRubberBand* Band = RubberBand();
  if (!Band) {
    Band = new TVelRubberBand(nullptr);
    Band->SetParent(Stage);
    Stage->FreeNotification(Band);
    FRubberBand->Add(Band);
  }
  Band->SetPointStart(Pos);
  Band->Show();
  Band->BringToFront();
  SetCapture(Stage->Handle());
}

void TVelDesignStageProxy::EndRubberBand() {
  TVelRubberBand* Band = RubberBand();
  if (Band && Band->Visible()) {
    Band->Hide();
    if (TVelDesignManager* M = DesignManager()) M->SelectControlInRect(Band->BoundsRect(), csmAdd);
  }
  FreeRubberBand();
  // The stage took the mouse for the drag; give it back.
  if (Control() && Control()->HandleAllocated() && GetCapture() == Control()->Handle()) ReleaseCapture();
}

void TVelDesignStageProxy::ProxyMouseMove(TMessage& Message) {
  TVelDesignWndProcProxy::ProxyMouseMove(Message);
  TVelRubberBand* Band = RubberBand();
  if (Message.Result == 0 && (Message.WParam & MK_LBUTTON) && Band && Band->Visible()) {
    Band->SetPointEnd(LParamToPoint(Message.LParam));
    Band->Show();
  }
}

void TVelDesignStageProxy::ProxyMouseUp(TMessage& Message) {
  if (TVelRubberBand* Band = RubberBand(); Band && Band->Visible()) EndRubberBand();
  TVelDesignManager* M = DesignManager();
  if (Message.Msg == WM_RBUTTONUP && M && M->DesignPopupMenu() && Control())
    PopupDesignMenu(M->DesignPopupMenu(), Control(), Control()->ClientToScreen(LParamToPoint(Message.LParam)));
}

void TVelDesignStageProxy::ProxyMoved(TMessage& Message) {
  TVelDesignWndProcProxy::ProxyMoved(Message);
  if (TVelDesignManager* M = DesignManager()) M->CtrlMoved(Control());
}

void TVelDesignStageProxy::ProxySized(TMessage& Message) {
  TVelDesignWndProcProxy::ProxySized(Message);
  if (TVelDesignManager* M = DesignManager()) M->CtrlMoved(Control());
}

void TVelDesignStageProxy::ProxyVELNCtrlMoved(TMessage& Message) {
  TVelDesignWndProcProxy::ProxyVELNCtrlMoved(Message);
  // Only compared with the stage and the sizers' controls, never dereferenced:
  // the control may be gone by now.
  if (TVelDesignManager* M = DesignManager()) M->CtrlMoved(reinterpret_cast<TControl*>(Message.WParam));
}

TComponent* TVelDesignStageProxy::GetSelectedCtrl(const TMessage& Message) const {
  TWinControl* Stage = Control();
  if (!Stage) return nullptr;
  const TPoint Screen = Stage->ClientToScreen(LParamToPoint(Message.LParam));
  for (int I = 0; I < Stage->ComponentCount(); ++I)
    if (auto* C = dynamic_cast<TControl*>(Stage->Components(I));
        C && PtInRect(C->ClientRect(), C->ScreenToClient(Screen)))
      return C;
  return nullptr;
}

void TVelDesignStageProxy::SetDisplayGrid(bool Value) {
  if (Value == FDisplayGrid) return;
  FDisplayGrid = Value;
  if (Control()) Control()->Invalidate();
}

void TVelDesignStageProxy::SetGridSizeX(int Value) {
  if (Value <= 0) Value = 4;
  if (Value == FGridSizeX) return;
  FGridSizeX = Value;
  DrawGridTemplate();
  if (FDisplayGrid && Control()) Control()->Invalidate();
}

void TVelDesignStageProxy::SetGridSizeY(int Value) {
  if (Value <= 0) Value = 4;
  if (Value == FGridSizeY) return;
  FGridSizeY = Value;
  DrawGridTemplate();
  if (FDisplayGrid && Control()) Control()->Invalidate();
}

void TVelDesignStageProxy::DrawGridTemplate() {
  if (!FGridTemplate) return;
  FGridTemplate->SetWidth(0);
  FGridTemplate->SetHeight(0);
  FGridTemplate->SetWidth(FGridSizeX);
  FGridTemplate->SetHeight(FGridSizeY);
  TCanvas* C = FGridTemplate->Canvas();
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clBlack);
  C->Ellipse(-1, -1, 1, 1);
}

void TVelDesignStageProxy::DrawGrid(HDC DC) {
  TWinControl* Stage = Control();
  if (!Stage || !DC || !FGridCanvas || FGridSizeX < 1 || FGridSizeY < 1) return;
  FGridCanvas->SetHandle(DC);
  FGridCanvas->Pen()->SetStyle(psSolid);
  FGridCanvas->Pen()->SetWidth(1);
  FGridCanvas->Pen()->SetColor(clBlack);
  FGridCanvas->Brush()->SetStyle(bsSolid);
  FGridCanvas->Brush()->SetColor(clBlack);
  const int Rows = Stage->ClientHeight() / FGridSizeY, Cols = Stage->ClientWidth() / FGridSizeX;
  for (int R = 0; R <= Rows; ++R)
    for (int Col = 0; Col <= Cols; ++Col) {
      const int X = Col * FGridSizeX, Y = R * FGridSizeY;
      FGridCanvas->Rectangle(X - 1, Y - 1, X + 1, Y + 1);
    }
  FGridCanvas->SetHandle(nullptr);
}

// ============================================================ TVelStageSizer

void TVelStageSizer::VelPublish(TPublisher& P) {
  P.Property("StageSizerMode", &TVelStageSizer::StageSizerMode, &TVelStageSizer::SetStageSizerMode);
}

TVelStageSizer::TVelStageSizer(TComponent* AOwner) : TVelSizer(AOwner) {}

void TVelStageSizer::BindToControl() {
  TControl* Stage = Control();
  if (!Stage) {
    SetBoundsRect(TRect{0, 0, 0, 0});
    return;
  }
  FIsMoveSender = false;
  UpdateBounds();
  if (Stage->Parent()) {
    Show();
    SetParent(Stage->Parent());
    SendToBack();
  }
}

void TVelStageSizer::Paint() {
  if (!Control()) return;
  TCanvas* C = Canvas();
  // The frame takes whatever pen colour the last paint left.
  C->Pen()->SetStyle(psInsideFrame);
  C->Pen()->SetWidth(1);
  C->Brush()->SetStyle(bsClear);
  C->Rectangle(1, 1, Width() - 1, Height() - 1);
  PaintHandles(SingleSelColor(), false);
}

void TVelStageSizer::WMNCHitTest(TMessage& Message) {
  Message.Result = 0;
  TControl* Stage = Control();
  if (!Stage) return;
  const TPoint Screen = LParamToPoint(Message.LParam);
  if (SizerMode() == smSingle && FStageSizerMode != ssmFixed) {
    LRESULT Code = HandleHitTest(ScreenToClient(Screen));
    // The top-left corner stays where it is: only the right, bottom and
    // bottom-right handles resize.
    if (FStageSizerMode == ssmFixedTopLeft && Code != HTRIGHT && Code != HTBOTTOM && Code != HTBOTTOMRIGHT) Code = 0;
    Message.Result = Code;
  }
  if (PtInRect(Stage->ClientRect(), Stage->ScreenToClient(Screen))) Message.Result = HTTRANSPARENT;
  if (Message.Result != 0) return;
  // The fixed modes neither resize from other handles nor move.
  if (FStageSizerMode != ssmNormal) {
    TCustomControl::WMNCHitTest(Message);
    return;
  }
  TVelSizer::WMNCHitTest(Message);
}

void TVelStageSizer::WMLButtonDown(TMessage& Message) {
  if (FStageSizerMode != ssmNormal) {
    TCustomControl::WMLButtonDown(Message);
    return;
  }
  TVelSizer::WMLButtonDown(Message);
}

void TVelStageSizer::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SYSCOMMAND && Message.WParam == SC_DRAGMOVE && FStageSizerMode == ssmFixed) return;
  // The fixed modes keep the stage where it is: no key moves it either.
  if (Message.Msg == WM_KEYDOWN && FStageSizerMode != ssmNormal &&
      (Message.WParam == VK_LEFT || Message.WParam == VK_RIGHT || Message.WParam == VK_UP || Message.WParam == VK_DOWN))
    return;
  TVelSizer::WndProc(Message);
}

// ============================================================ TVelRubberBand

TVelRubberBand::TVelRubberBand(TComponent* AOwner) : TCustomControl(AOwner) {
  IncludeComponentStyle(csTransient);
  Canvas()->Pen()->SetColor(clBlack);
  Canvas()->Pen()->SetStyle(psDot);
  Canvas()->Brush()->SetStyle(bsClear);
  FPointStart = TPoint{-1, -1};
  FPointEnd = TPoint{-1, -1};
  SetBoundsRect(TRect{0, 0, 0, 0});
}

void TVelRubberBand::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TVelRubberBand::CreateHandle() {
  TCustomControl::CreateHandle();
  SetFocus();
}

void TVelRubberBand::SetPointStart(TPoint Point) {
  FPointStart = Point;
  FPointEnd = Point;
  UpdateBounds();
}

void TVelRubberBand::SetPointEnd(TPoint Point) {
  FPointEnd = TPoint{std::max(Point.X, 1), std::max(Point.Y, 1)};
  UpdateBounds();
}

void TVelRubberBand::UpdateBounds() {
  SetBoundsRect(TRect{std::min(FPointStart.X, FPointEnd.X), std::min(FPointStart.Y, FPointEnd.Y),
                      std::max(FPointStart.X, FPointEnd.X), std::max(FPointStart.Y, FPointEnd.Y)});
}

void TVelRubberBand::Paint() {
  TCustomControl::Paint();
  TCanvas* C = Canvas();
  C->Pen()->SetColor(clBlack);
  C->Pen()->SetStyle(psDot);
  C->Brush()->SetStyle(bsClear);
  C->Rectangle(ClientRect());
}

void TVelRubberBand::WMNCHitTest(TMessage& Message) { Message.Result = HTTRANSPARENT; }

void TVelRubberBand::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent && AComponent == Parent()) SetParent(nullptr);
  TCustomControl::Notification(AComponent, Operation);
}

// ============================================================ TVelDesignStage

void TVelDesignStage::VelPublish(TPublisher& P) {
  P.Property("Align", &TVelDesignStage::Align, &TVelDesignStage::SetAlign).Default(alNone);
}

TVelDesignStage::TVelDesignStage(TComponent* AOwner)
    : TCustomControl(AOwner), FSizerList(std::make_unique<TVelSizerList>()) {
  TControlStyle Style = ControlStyle();
  Style.Include(csOpaque);
  SetControlStyle(Style);
}

TVelDesignStage::~TVelDesignStage() { FSizerList.reset(); }

void TVelDesignStage::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TVelDesignStage::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (TControl* C = PointedControl(TPoint{X, Y}, false)) FSizerList->AddSizer(new TVelSizer(nullptr, C));
}

TControl* TVelDesignStage::PointedControl(TPoint Pos, bool AllowParent) const {
  TWinControl* P = Parent();
  if (!P) return nullptr;
  for (int I = 0; I < P->ComponentCount(); ++I) {
    auto* C = dynamic_cast<TControl*>(P->Components(I));
    if (C && C != this && PointInControl(Pos, C)) return C;
  }
  return AllowParent ? P : nullptr;
}

bool TVelDesignStage::PointInControl(TPoint Pos, const TControl* Control) const {
  if (!Control) return false;
  return PointInRect(Control->ScreenToClient(ClientToScreen(Pos)), Control->ClientRect());
}

void TVelDesignStage::Paint() {
  TCustomControl::Paint();
  // The overlay is transparent: the parent shows through it without being
  // painted again (a nested paint of the parent here would run inside this
  // paint pass). The sizers paint after it.
  for (int I = 0; I < FSizerList->Count(); ++I)
    if (TVelSizer* S = FSizerList->GetSizers(I)) S->Invalidate();
}

}  // namespace vel
