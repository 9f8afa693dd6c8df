#include "platform/controls/extctrls.h"

#include <algorithm>

#include "platform/controls/menus.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TCustomPanel, "ExtCtrls");
VEL_IMPLEMENT_CLASS(TPanel, "ExtCtrls");
VEL_IMPLEMENT_CLASS(TBevel, "ExtCtrls");
VEL_IMPLEMENT_CLASS(TShape, "ExtCtrls");
VEL_IMPLEMENT_CLASS(TImage, "ExtCtrls");
VEL_IMPLEMENT_CLASS(TCustomRadioGroup, "ExtCtrls");
VEL_IMPLEMENT_CLASS(TRadioGroup, "ExtCtrls");

namespace {

TRect Inflated(const TRect& R, int D) { return Rect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D); }

// The edge colours of a lowered or raised cut.
void CutColors(bool Lowered, TColor& TopLeft, TColor& BottomRight) {
  TopLeft = Lowered ? clBtnShadow : clBtnHighlight;
  BottomRight = Lowered ? clBtnHighlight : clBtnShadow;
}

}  // namespace

// ================================================================ TCustomPanel

void TPanel::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("Alignment", &TPanel::Alignment, &TPanel::SetAlignment).Default(taCenter);
  P.Property("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner).Default(bvNone);
  P.Property("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter).Default(bvRaised);
  P.Property("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).Default(1);
  P.Property("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth).Default(0);
  P.Property("Caption", &TPanel::Caption, &TPanel::SetCaption);
  detail::PublishAppearance(P, clBtnFace);
  detail::PublishState(P);
  detail::PublishFocusProperties(P, false);
  detail::PublishMouseEvents(P, true);
  P.Property("OnEnter", &TPanel::OnEnter, &TPanel::OnEnter);
  P.Property("OnExit", &TPanel::OnExit, &TPanel::OnExit);
  P.Property("OnResize", &TPanel::OnResize, &TPanel::OnResize);
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle.Include(csAcceptsControls);
  FControlStyle.Include(csOpaque);
  FColor = clBtnFace;
  SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
  Value = std::max(1, Value);
  if (FBevelWidth == Value) return;
  FBevelWidth = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value) {
  Value = std::max(0, Value);
  if (FBorderWidth == Value) return;
  FBorderWidth = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

int TCustomPanel::BevelSize() const {
  int N = FBorderWidth;
  if (FBevelOuter != bvNone) N += FBevelWidth;
  if (FBevelInner != bvNone) N += FBevelWidth;
  return N;
}

void TCustomPanel::AlignControls(TControl* AControl, TRect& Rect) {
  Rect = Inflated(Rect, BevelSize());
  TCustomControl::AlignControls(AControl, Rect);
}

void TCustomPanel::Paint() {
  TCanvas* C = Canvas();
  TRect R = ClientRect();
  C->Brush()->SetColor(FColor);
  C->FillRect(R);
  auto DrawCut = [&](TBevelCut Cut) {
    if (Cut == bvNone) return;
    TColor TL, BR;
    CutColors(Cut == bvLowered, TL, BR);
    for (int I = 0; I < FBevelWidth; ++I) {
      if (Cut != bvSpace) detail::DrawEdge3(C, R, TL, BR);
      R = Inflated(R, 1);
    }
  };
  DrawCut(FBevelOuter);
  R = Inflated(R, FBorderWidth);
  DrawCut(FBevelInner);
  if (FText.empty()) return;
  C->Font()->Assign(FFont);
  if (!FEnabled) C->Font()->SetColor(clGrayText);
  C->Brush()->SetStyle(bsClear);
  TTextFormat F{tfSingleLine, tfVerticalCenter};
  if (FAlignment == taCenter) F.Include(tfCenter);
  if (FAlignment == taRightJustify) F.Include(tfRight);
  TRect T = Inflated(R, 1);
  C->TextRect(T, FText, F);
}

// ====================================================================== TBevel

void TBevel::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("ShowHint", &TBevel::ShowHint, &TBevel::SetShowHint).Default(false);
  P.Property("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
  P.Property("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
  P.Property("Visible", &TBevel::Visible, &TBevel::SetVisible).Default(true);
}

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csReplicatable);
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* C = Canvas();
  const TRect R = ClientRect();
  TColor A, B;
  CutColors(FStyle == bsLowered, A, B);
  auto HLine = [&](int Y, TColor Color) { detail::DrawFrame(C, Rect(0, Y, R.Right, Y + 1), Color); };
  auto VLine = [&](int X, TColor Color) { detail::DrawFrame(C, Rect(X, 0, X + 1, R.Bottom), Color); };
  switch (FShape) {
    case bsBox:
      detail::DrawEdge3(C, R, A, B);
      break;
    case bsFrame:
      detail::DrawEdge3(C, Rect(0, 0, R.Right - 1, R.Bottom - 1), A, A);
      detail::DrawEdge3(C, Rect(1, 1, R.Right, R.Bottom), B, B);
      break;
    case bsTopLine:
      HLine(0, A);
      HLine(1, B);
      break;
    case bsBottomLine:
      HLine(R.Bottom - 2, A);
      HLine(R.Bottom - 1, B);
      break;
    case bsLeftLine:
      VLine(0, A);
      VLine(1, B);
      break;
    case bsRightLine:
      VLine(R.Right - 2, A);
      VLine(R.Right - 1, B);
      break;
    case bsSpacer:
      break;
  }
}

// ====================================================================== TShape

void TShape::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("Brush", &TShape::Brush, &TShape::SetBrush);
  P.Property("Enabled", &TShape::Enabled, &TShape::SetEnabled).Default(true);
  P.Property("Pen", &TShape::Pen, &TShape::SetPen);
  P.Property("Shape", &TShape::Shape, &TShape::SetShape).Default(stRectangle);
  P.Property("ShowHint", &TShape::ShowHint, &TShape::SetShowHint).Default(false);
  P.Property("Visible", &TShape::Visible, &TShape::SetVisible).Default(true);
  P.Property("OnMouseDown", &TShape::OnMouseDown, &TShape::OnMouseDown);
  P.Property("OnMouseMove", &TShape::OnMouseMove, &TShape::OnMouseMove);
  P.Property("OnMouseUp", &TShape::OnMouseUp, &TShape::OnMouseUp);
}

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner), FPen(new TPen()), FBrush(new TBrush()) {
  FControlStyle.Include(csReplicatable);
  FPen->OnChange = TNotifyEvent::Bind<&TShape::StyleChanged>(this);
  FBrush->OnChange = TNotifyEvent::Bind<&TShape::StyleChanged>(this);
  SetBounds(0, 0, 65, 65);
}

TShape::~TShape() {
  delete FPen;
  delete FBrush;
}

void TShape::SetShape(TShapeType Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TShape::StyleChanged(TObject*) { Invalidate(); }

void TShape::Paint() {
  TCanvas* C = Canvas();
  C->Pen()->Assign(FPen);
  C->Brush()->Assign(FBrush);
  TRect R = ClientRect();
  if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
    const int S = std::min(R.Width(), R.Height());
    R = Bounds((R.Width() - S) / 2, (R.Height() - S) / 2, S, S);
  }
  if (FShape == stEllipse || FShape == stCircle)
    C->Ellipse(R);
  else
    C->Rectangle(R);
}

// ====================================================================== TImage

void TImage::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(false);
  P.Property("Center", &TImage::Center, &TImage::SetCenter).Default(false);
  P.Property("Enabled", &TImage::Enabled, &TImage::SetEnabled).Default(true);
  P.Property("Picture", &TImage::Picture, &TImage::SetPicture);
  P.Property("PopupMenu", &TImage::PopupMenu, &TImage::SetPopupMenu);
  P.Property("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
  P.Property("ShowHint", &TImage::ShowHint, &TImage::SetShowHint).Default(false);
  P.Property("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
  P.Property("Visible", &TImage::Visible, &TImage::SetVisible).Default(true);
  detail::PublishMouseEvents(P, true);
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(new TPicture()) {
  FControlStyle.Include(csReplicatable);
  FPicture->OnChange = TNotifyEvent::Bind<&TImage::PictureChanged>(this);
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() {
  FPicture->OnChange = nullptr;
  delete FPicture;
}

void TImage::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  Invalidate();
}

void TImage::SetCenter(bool Value) {
  if (FCenter == Value) return;
  FCenter = Value;
  Invalidate();
}

void TImage::SetProportional(bool Value) {
  if (FProportional == Value) return;
  FProportional = Value;
  Invalidate();
}

void TImage::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  PictureChanged(this);
}

void TImage::PictureChanged(TObject*) {
  if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
    SetBounds(FLeft, FTop, FPicture->Width(), FPicture->Height());
  Invalidate();
}

TRect TImage::DestRect() const {
  const int CW = FWidth, CH = FHeight;
  int W = FPicture->Width(), H = FPicture->Height();
  if (W <= 0 || H <= 0) return Rect(0, 0, 0, 0);
  if (FStretch) {
    if (!FProportional) return Rect(0, 0, CW, CH);
    // The largest size with the picture's proportions that fits.
    if (std::int64_t(CW) * H <= std::int64_t(CH) * W) {
      H = int(std::int64_t(H) * CW / W);
      W = CW;
    } else {
      W = int(std::int64_t(W) * CH / H);
      H = CH;
    }
  }
  int X = 0, Y = 0;
  if (FCenter) {
    X = (CW - W) / 2;
    Y = (CH - H) / 2;
  }
  return Bounds(X, Y, W, H);
}

void TImage::Paint() {
  TCanvas* C = Canvas();
  if (ComponentState().Contains(csDesigning)) {
    C->Pen()->SetStyle(psDash);
    C->Pen()->SetColor(clBtnShadow);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(ClientRect());
    C->Pen()->SetStyle(psSolid);
  }
  TGraphic* G = FPicture->Graphic();
  if (!G || G->Empty()) return;
  const TRect D = DestRect();
  if (D.Width() == G->Width() && D.Height() == G->Height())
    C->Draw(D.Left, D.Top, G);
  else
    C->StretchDraw(D, G);
}

// =========================================================== TCustomRadioGroup

void TRadioGroup::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("Caption", &TRadioGroup::Caption, &TRadioGroup::SetCaption);
  detail::PublishAppearance(P, clBtnFace);
  P.Property("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns).Default(1);
  P.Property("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex).Default(-1);
  P.Property("Items", &TRadioGroup::Items, &TRadioGroup::SetItems);
  detail::PublishState(P);
  detail::PublishFocusProperties(P, true);
  P.Property("OnClick", &TRadioGroup::OnClick, &TRadioGroup::OnClick);
  detail::PublishKeyEvents(P);
}

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner) : TCustomGroupBox(AOwner), FItems(new TStringList()) {
  FControlStyle.Exclude(csAcceptsControls);
  FItems->OnChange = TNotifyEvent::Bind<&TCustomRadioGroup::ItemsChanged>(this);
}

TCustomRadioGroup::~TCustomRadioGroup() {
  FItems->OnChange = nullptr;
  delete FItems;
  // The buttons go with the children, with their clicks no longer reaching the group.
  for (TRadioButton* B : FButtons) B->OnClick = nullptr;
}

void TCustomRadioGroup::GetChildren(const TGetChildProc&, TComponent*) {}

void TCustomRadioGroup::SetItemIndex(int Value) {
  if (ComponentState().Contains(csLoading)) {
    FItemIndex = Value;
    return;
  }
  if (Value < 0 || Value >= int(FButtons.size())) Value = -1;
  FUpdating = true;
  if (Value < 0) {
    for (TRadioButton* B : FButtons) B->SetChecked(false);
  } else {
    FButtons[size_t(Value)]->SetChecked(true);
  }
  FUpdating = false;
  FItemIndex = Value;
}

void TCustomRadioGroup::SetColumns(int Value) {
  Value = std::clamp(Value, 1, 16);
  if (FColumns == Value) return;
  FColumns = Value;
  ArrangeButtons();
  Invalidate();
}

void TCustomRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  UpdateButtons();
  SetItemIndex(FItemIndex);
}

void TCustomRadioGroup::ItemsChanged(TObject*) {
  if (ComponentState().Contains(csLoading)) return;
  UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
  const int N = FItems->Count();
  FUpdating = true;
  while (int(FButtons.size()) > N) {
    delete FButtons.back();
    FButtons.pop_back();
  }
  while (int(FButtons.size()) < N) {
    auto* B = new TRadioButton(nullptr);
    B->OnClick = TNotifyEvent::Bind<&TCustomRadioGroup::ButtonClick>(this);
    B->SetEnabled(FEnabled);
    B->SetParent(this);
    FButtons.push_back(B);
  }
  for (int I = 0; I < N; ++I) {
    FButtons[size_t(I)]->SetCaption(FItems->Get(I));
    FButtons[size_t(I)]->SetChecked(I == FItemIndex);
  }
  FUpdating = false;
  if (FItemIndex >= N) FItemIndex = -1;
  ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
  const int N = int(FButtons.size());
  if (N == 0) return;
  const int Top = CaptionHeight() + 2;
  const TRect Area = Rect(8, Top, FWidth - 8, FHeight - 4);
  const int Rows = (N + FColumns - 1) / FColumns;
  const int RowH = std::max(1, Area.Height() / Rows);
  const int ColW = std::max(1, Area.Width() / FColumns);
  const int H = std::min(RowH, CaptionHeight() + 4);
  for (int I = 0; I < N; ++I) {
    const int Col = I / Rows, Row = I % Rows;
    FButtons[size_t(I)]->SetBounds(Area.Left + Col * ColW, Area.Top + Row * RowH + (RowH - H) / 2, ColW - 4, H);
  }
}

void TCustomRadioGroup::ButtonClick(TObject* Sender) {
  if (FUpdating) return;
  auto It = std::find(FButtons.begin(), FButtons.end(), Sender);
  if (It == FButtons.end()) return;
  FItemIndex = int(It - FButtons.begin());
  Click();
}

void TCustomRadioGroup::Resize() {
  ArrangeButtons();
  TCustomGroupBox::Resize();
}

void TCustomRadioGroup::CMEnabledChanged(TMessage& Message) {
  TCustomGroupBox::CMEnabledChanged(Message);
  for (TRadioButton* B : FButtons) B->SetEnabled(FEnabled);
}

void TCustomRadioGroup::CMFontChanged(TMessage& Message) {
  TCustomGroupBox::CMFontChanged(Message);
  ArrangeButtons();
}

}  // namespace platform
