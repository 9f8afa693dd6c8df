#include "platform/controls/stdctrls.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/extctrls.h"
#include "platform/controls/menus.h"
#include "platform/gfx/colors.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TCustomLabel, "StdCtrls");
VEL_IMPLEMENT_CLASS(TLabel, "StdCtrls");
VEL_IMPLEMENT_CLASS(TButtonControl, "StdCtrls");
VEL_IMPLEMENT_CLASS(TButton, "StdCtrls");
VEL_IMPLEMENT_CLASS(TCustomCheckBox, "StdCtrls");
VEL_IMPLEMENT_CLASS(TCheckBox, "StdCtrls");
VEL_IMPLEMENT_CLASS(TRadioButton, "StdCtrls");
VEL_IMPLEMENT_CLASS(TCustomGroupBox, "StdCtrls");
VEL_IMPLEMENT_CLASS(TGroupBox, "StdCtrls");
VEL_IMPLEMENT_CLASS(TTextControl, "StdCtrls");
VEL_IMPLEMENT_CLASS(TCustomEdit, "StdCtrls");
VEL_IMPLEMENT_CLASS(TEdit, "StdCtrls");
VEL_IMPLEMENT_CLASS(TCustomMemo, "StdCtrls");
VEL_IMPLEMENT_CLASS(TMemo, "StdCtrls");
VEL_IMPLEMENT_CLASS(TCustomListBox, "StdCtrls");
VEL_IMPLEMENT_CLASS(TListBox, "StdCtrls");
VEL_IMPLEMENT_CLASS(TCustomComboBox, "StdCtrls");
VEL_IMPLEMENT_CLASS(TComboBox, "StdCtrls");

void RegisterStdControls() {
  RegisterClasses({TLabel::StaticClass(), TButton::StaticClass(), TCheckBox::StaticClass(), TRadioButton::StaticClass(),
                   TGroupBox::StaticClass(), TEdit::StaticClass(), TMemo::StaticClass(), TListBox::StaticClass(),
                   TComboBox::StaticClass(), TPanel::StaticClass(), TBevel::StaticClass(), TShape::StaticClass(),
                   TImage::StaticClass(), TRadioGroup::StaticClass()});
}

bool IsAccel(std::uint32_t CharCode, const std::string& Caption) {
  auto Fold = [](std::uint32_t C) { return C >= 'a' && C <= 'z' ? C - 'a' + 'A' : C; };
  for (size_t I = 0; I + 1 < Caption.size(); ++I) {
    if (Caption[I] != '&') continue;
    if (Caption[I + 1] == '&') {
      ++I;  // "&&" is a plain ampersand
      continue;
    }
    return Fold(static_cast<unsigned char>(Caption[I + 1])) == Fold(CharCode);
  }
  return false;
}

namespace {

const bool StdControlsRegistered = (RegisterStdControls(), true);

constexpr UINT_PTR CaretTimer = 1;
constexpr UINT CaretBlinkTime = 500;
constexpr int CheckSize = 13;
constexpr int ComboButtonWidth = 17;
constexpr UINT VK_F4 = VK_F1 + 3;

bool IsContinuation(char C) { return (static_cast<unsigned char>(C) & 0xC0) == 0x80; }

// Code points are counted by their lead bytes.
int CountChars(const std::string& S) {
  int N = 0;
  for (char C : S)
    if (!IsContinuation(C)) ++N;
  return N;
}

// The byte offset of character N (the end for N past it).
size_t ByteOfChar(const std::string& S, int N) {
  size_t I = 0;
  int Seen = 0;
  while (I < S.size()) {
    if (!IsContinuation(S[I])) {
      if (Seen == N) return I;
      ++Seen;
    }
    ++I;
  }
  return S.size();
}

// For each character: whether it belongs to a word (anything but blanks and line breaks).
std::vector<bool> WordChars(const std::string& S) {
  std::vector<bool> Word;
  for (size_t I = 0; I < S.size(); ++I) {
    if (IsContinuation(S[I])) continue;
    const unsigned char C = static_cast<unsigned char>(S[I]);
    Word.push_back(C > ' ');
  }
  return Word;
}

std::string EncodeUtf8(char32_t C) {
  std::string S;
  if (C < 0x80) {
    S += char(C);
  } else if (C < 0x800) {
    S += char(0xC0 | (C >> 6));
    S += char(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    S += char(0xE0 | (C >> 12));
    S += char(0x80 | ((C >> 6) & 0x3F));
    S += char(0x80 | (C & 0x3F));
  } else {
    S += char(0xF0 | (C >> 18));
    S += char(0x80 | ((C >> 12) & 0x3F));
    S += char(0x80 | ((C >> 6) & 0x3F));
    S += char(0x80 | (C & 0x3F));
  }
  return S;
}

bool IsTypable(char32_t C) {
  return C >= 0x20 && C != 0x7F && C <= 0x10FFFF && !(C >= 0xD800 && C <= 0xDFFF) && !(C >= 0x80 && C < 0xA0);
}

// Everything up to the first line break.
std::string FirstLine(const std::string& S) { return S.substr(0, S.find_first_of("\r\n")); }

std::string NormalizeLineBreaks(const std::string& S) {
  std::string R;
  R.reserve(S.size());
  for (size_t I = 0; I < S.size(); ++I) {
    if (S[I] == '\r') {
      R += '\n';
      if (I + 1 < S.size() && S[I + 1] == '\n') ++I;
    } else {
      R += S[I];
    }
  }
  return R;
}

bool AncestorsEnabledAndVisible(const TControl* C) {
  for (; C; C = C->Parent())
    if (!C->Visible() || !C->Enabled()) return false;
  return true;
}

// The default buttons of the form show whether Enter reaches them, which
// depends on which button has the focus.
void InvalidateDefaultButtons(TControl* Control) {
  std::vector<TWinControl*> Pending;
  if (TCustomForm* F = Control->GetParentForm()) Pending.push_back(F);
  while (!Pending.empty()) {
    TWinControl* W = Pending.back();
    Pending.pop_back();
    for (int I = 0; I < W->ControlCount(); ++I) {
      TControl* C = W->Controls(I);
      if (auto* B = dynamic_cast<TButton*>(C); B && B->Default()) B->Invalidate();
      if (auto* CW = dynamic_cast<TWinControl*>(C)) Pending.push_back(CW);
    }
  }
}

TRect Intersect(const TRect& A, const TRect& B) {
  return Rect(std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
              std::min(A.Bottom, B.Bottom));
}

bool IsEmptyRect(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

}  // namespace

// ======================================================== publishing helpers

namespace detail {

void PublishAlignment(TPublisher& P) {
  P.Property("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
  P.Property("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
}

void PublishAppearance(TPublisher& P, TColor DefaultColor) {
  P.Property("Color", &TControl::Color, &TControl::SetColor).Default(DefaultColor).Stored(&TControl::IsColorStored);
  P.Property("Font", &TControl::Font, &TControl::SetFont).Stored(&TControl::IsFontStored);
  P.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  P.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
}

void PublishState(TPublisher& P) {
  P.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  P.Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  P.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Default(false);
  P.Property("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
}

void PublishMouseEvents(TPublisher& P, bool WithDblClick) {
  P.Property("OnClick", &TControl::OnClick, &TControl::OnClick);
  if (WithDblClick) P.Property("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick);
  P.Property("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown);
  P.Property("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove);
  P.Property("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp);
}

void PublishFocusProperties(TPublisher& P, bool TabStopDefault) {
  P.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
  P.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(TabStopDefault);
}

void PublishKeyEvents(TPublisher& P) {
  P.Property("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  P.Property("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
  P.Property("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
  P.Property("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
  P.Property("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
}

void DrawFrame(TCanvas* Canvas, const TRect& R, TColor Color) {
  Canvas->Brush()->SetColor(Color);
  Canvas->FrameRect(R);
}

void DrawEdge3(TCanvas* Canvas, const TRect& R, TColor TopLeft, TColor BottomRight) {
  if (IsEmptyRect(R)) return;
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetColor(TopLeft);
  Canvas->MoveTo(R.Left, R.Bottom - 1);
  Canvas->LineTo(R.Left, R.Top);
  Canvas->LineTo(R.Right - 1, R.Top);
  Canvas->Pen()->SetColor(BottomRight);
  Canvas->MoveTo(R.Right - 1, R.Top);
  Canvas->LineTo(R.Right - 1, R.Bottom - 1);
  Canvas->LineTo(R.Left - 1, R.Bottom - 1);
}

}  // namespace detail

// ================================================================ TCustomLabel

void TLabel::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(taLeftJustify);
  P.Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
  P.Property("Caption", &TLabel::Caption, &TLabel::SetCaption);
  detail::PublishAppearance(P, clBtnFace);
  P.Property("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
  P.Property("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(true);
  detail::PublishState(P);
  P.Property("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(false);
  P.Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
  detail::PublishMouseEvents(P, true);
}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csReplicatable);
  FColor = clBtnFace;
  FParentColor = true;
  SetBounds(0, 0, 65, 17);
  AdjustBounds();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl == Value) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (FFocusControl) FFocusControl->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

TTextFormat TCustomLabel::TextFormat() const {
  TTextFormat F;
  if (!FShowAccelChar) F.Include(tfNoPrefix);
  if (FWordWrap)
    F.Include(tfWordBreak);
  else
    F.Include(tfSingleLine);
  if (FAlignment == taCenter) F.Include(tfCenter);
  if (FAlignment == taRightJustify) F.Include(tfRight);
  return F;
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  FCanvas->Font()->Assign(FFont);
  // An empty caption keeps the height of one line.
  const std::string& S = FText.empty() ? std::string(" ") : FText;
  TRect R = Rect(0, 0, FWordWrap ? std::max(FWidth, 1) : 0, 0);
  FCanvas->TextRect(R, S, TextFormat() + TTextFormat{tfCalcRect});
  int L = FLeft;
  if (FAlignment == taRightJustify && !FWordWrap) L = FLeft + FWidth - R.Width();
  SetBounds(L, FTop, FText.empty() && !FWordWrap ? FWidth : R.Width(), R.Height());
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::Paint() {
  TCanvas* C = Canvas();
  const TRect R = ClientRect();
  if (!FTransparent) {
    C->Brush()->SetColor(FColor);
    C->FillRect(R);
  }
  C->Brush()->SetStyle(bsClear);
  C->Font()->Assign(FFont);
  if (!FEnabled) C->Font()->SetColor(clGrayText);
  TRect T = R;
  C->TextRect(T, FText, TextFormat());
}

void TCustomLabel::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DIALOGCHAR) {
    if (FFocusControl && FShowAccelChar && FEnabled && IsAccel(std::uint32_t(Message.WParam), FText) &&
        FFocusControl->CanFocus()) {
      FFocusControl->SetFocus();
      Message.Result = 1;
    }
    return;
  }
  TGraphicControl::Dispatch(Message);
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
  AdjustBounds();
  TGraphicControl::CMTextChanged(Message);
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
  AdjustBounds();
  TGraphicControl::CMFontChanged(Message);
}

void TCustomLabel::CMParentFontChanged(TMessage& Message) {
  TGraphicControl::CMParentFontChanged(Message);
  AdjustBounds();
}

// ============================================================== TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FTabStop = true;
  FControlStyle.Exclude(csDoubleClicks);
}

TColor TButtonControl::TextColor() const { return FEnabled ? FFont->Color() : clGrayText; }

void TButtonControl::DrawCaption(const TRect& R, TTextFormat Format, bool FocusFrame) {
  TCanvas* C = Canvas();
  C->Font()->Assign(FFont);
  C->Font()->SetColor(TextColor());
  C->Brush()->SetStyle(bsClear);
  TRect T = R;
  C->TextRect(T, FText, Format);
  if (FocusFrame && Focused() && !FText.empty()) {
    TRect Calc = Rect(0, 0, 0, 0);
    C->TextRect(Calc, FText, TTextFormat{tfCalcRect, tfSingleLine});
    int X = R.Left;
    if (Format.Contains(tfCenter)) X = R.Left + (R.Width() - Calc.Width()) / 2;
    const int Y = R.Top + (R.Height() - Calc.Height()) / 2;
    const TRect F = Intersect(Rect(X - 2, Y - 1, X + Calc.Width() + 2, Y + Calc.Height() + 1), ClientRect());
    C->Pen()->SetColor(clHighlight);
    C->Pen()->SetStyle(psDot);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(F);
    C->Pen()->SetStyle(psSolid);
  }
}

void TButtonControl::WMLButtonDown(TMessage& Message) {
  SetFocus();
  FPressed = true;
  Invalidate();
  TCustomControl::WMLButtonDown(Message);
}

void TButtonControl::WMMouseMove(TMessage& Message) {
  if (FControlState.Contains(csLButtonDown)) {
    const bool Inside = PtInRect(ClientRect(), LParamToPoint(Message.LParam));
    if (Inside != FPressed) {
      FPressed = Inside;
      Invalidate();
    }
  }
  TCustomControl::WMMouseMove(Message);
}

void TButtonControl::WMLButtonUp(TMessage& Message) {
  if (FPressed) {
    FPressed = false;
    Invalidate();
  }
  TCustomControl::WMLButtonUp(Message);
}

void TButtonControl::WMSetFocus(TMessage& Message) {
  Invalidate();
  if (dynamic_cast<TButton*>(this)) InvalidateDefaultButtons(this);
  TCustomControl::WMSetFocus(Message);
}

void TButtonControl::WMKillFocus(TMessage& Message) {
  FPressed = false;
  Invalidate();
  if (dynamic_cast<TButton*>(this)) InvalidateDefaultButtons(this);
  TCustomControl::WMKillFocus(Message);
}

void TButtonControl::KeyUp(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyUp(Key, Shift);
  if (Key == VK_SPACE && Shift.Empty()) {
    Key = 0;
    Click();
  }
}

void TButtonControl::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DIALOGCHAR) {
    if (IsAccel(std::uint32_t(Message.WParam), FText) && CanFocus()) {
      SetFocus();
      Click();
      Message.Result = 1;
    }
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TButtonControl::CMEnabledChanged(TMessage& Message) {
  FPressed = false;
  TCustomControl::CMEnabledChanged(Message);
}

// ===================================================================== TButton

void TButton::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  P.Property("Caption", &TButton::Caption, &TButton::SetCaption);
  P.Property("Default", &TButton::Default, &TButton::SetDefault).Default(false);
  P.Property("Enabled", &TButton::Enabled, &TButton::SetEnabled).Default(true);
  P.Property("Font", &TButton::Font, &TButton::SetFont).Stored(&TButton::IsFontStored);
  P.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
  P.Property("ParentFont", &TButton::ParentFont, &TButton::SetParentFont).Default(true);
  P.Property("PopupMenu", &TButton::PopupMenu, &TButton::SetPopupMenu);
  P.Property("ShowHint", &TButton::ShowHint, &TButton::SetShowHint).Default(false);
  detail::PublishFocusProperties(P, true);
  P.Property("Visible", &TButton::Visible, &TButton::SetVisible).Default(true);
  P.Property("OnClick", &TButton::OnClick, &TButton::OnClick);
  P.Property("OnMouseDown", &TButton::OnMouseDown, &TButton::OnMouseDown);
  P.Property("OnMouseMove", &TButton::OnMouseMove, &TButton::OnMouseMove);
  P.Property("OnMouseUp", &TButton::OnMouseUp, &TButton::OnMouseUp);
  detail::PublishKeyEvents(P);
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FColor = clBtnFace;
  SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  Invalidate();
}

void TButton::Click() {
  if (FModalResult != mrNone)
    if (TCustomForm* F = GetParentForm()) F->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DIALOGKEY) {
    const WORD Key = WORD(Message.WParam);
    bool Answer = false;
    if (Key == VK_RETURN) {
      // Enter clicks the focused button, else the default one.
      const TCustomForm* F = GetParentForm();
      TWinControl* Active = F ? F->ActiveControl() : nullptr;
      const bool OtherButtonFocused = Active != this && dynamic_cast<TButton*>(Active) && Active->Focused();
      Answer = Focused() || (FDefault && !OtherButtonFocused);
    } else if (Key == VK_ESCAPE) {
      Answer = FCancel;
    }
    if (Answer && AncestorsEnabledAndVisible(this)) {
      Click();
      Message.Result = 1;
    }
    return;
  }
  TButtonControl::Dispatch(Message);
}

void TButton::Paint() {
  TCanvas* C = Canvas();
  const TRect R = ClientRect();
  const TCustomForm* F = GetParentForm();
  TWinControl* Active = F ? F->ActiveControl() : nullptr;
  const bool ShowsDefault = Focused() || (FDefault && !(dynamic_cast<TButton*>(Active) && Active->Focused()));
  C->Brush()->SetColor(FPressed ? clBtnShadow : FColor);
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(ShowsDefault && FEnabled ? clHighlight : clBtnShadow);
  C->Rectangle(R);
  if (ShowsDefault && FEnabled) detail::DrawFrame(C, Rect(1, 1, R.Right - 1, R.Bottom - 1), clHighlight);
  TRect T = R;
  if (FPressed) {
    ++T.Left;
    ++T.Top;
    ++T.Right;
    ++T.Bottom;
  }
  DrawCaption(T, TTextFormat{tfCenter, tfVerticalCenter, tfSingleLine}, false);
}

// ============================================================= TCustomCheckBox

void TCheckBox::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(taRightJustify);
  P.Property("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
  P.Property("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption);
  P.Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
  detail::PublishAppearance(P, clBtnFace);
  P.Property("State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
  detail::PublishState(P);
  detail::PublishFocusProperties(P, true);
  detail::PublishMouseEvents(P, false);
  detail::PublishKeyEvents(P);
}

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  FColor = clBtnFace;
  FParentColor = true;
  SetBounds(0, 0, 97, 17);
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  Invalidate();
  if (!ComponentState().Contains(csLoading)) TButtonControl::Click();
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked:
      SetState(FAllowGrayed ? cbGrayed : cbChecked);
      break;
    case cbChecked:
      SetState(cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbChecked);
      break;
  }
}

void TCustomCheckBox::Click() { Toggle(); }

namespace {

// The box (or circle) of a check box or radio button and the rectangle left for its caption.
void CheckLayout(const TRect& Client, TAlignment Alignment, TRect& Box, TRect& Text) {
  const int Top = (Client.Height() - CheckSize) / 2;
  if (Alignment == taLeftJustify) {
    Box = Bounds(Client.Right - CheckSize, Top, CheckSize, CheckSize);
    Text = Rect(0, 0, Client.Right - CheckSize - 4, Client.Bottom);
  } else {
    Box = Bounds(0, Top, CheckSize, CheckSize);
    Text = Rect(CheckSize + 4, 0, Client.Right, Client.Bottom);
  }
}

}  // namespace

void TCustomCheckBox::Paint() {
  TCanvas* C = Canvas();
  const TRect R = ClientRect();
  C->Brush()->SetColor(FColor);
  C->FillRect(R);
  TRect Box, Text;
  CheckLayout(R, FAlignment, Box, Text);
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(Focused() ? clHighlight : clBtnShadow);
  C->Brush()->SetColor(FEnabled ? clWindow : clBtnFace);
  C->Rectangle(Box);
  if (FState != cbUnchecked) {
    // A check mark three pixels thick.
    C->Pen()->SetColor(FEnabled && FState == cbChecked ? clWindowText : clGrayText);
    for (int D = 0; D < 3; ++D) {
      C->MoveTo(Box.Left + 3, Box.Top + 5 + D);
      C->LineTo(Box.Left + 5, Box.Top + 7 + D);
      C->LineTo(Box.Left + 10, Box.Top + 2 + D);
    }
  }
  DrawCaption(Text, TTextFormat{tfVerticalCenter, tfSingleLine, FAlignment == taLeftJustify ? tfRight : tfLeft}, true);
}

// ================================================================ TRadioButton

void TRadioButton::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment).Default(taRightJustify);
  P.Property("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption);
  P.Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
  detail::PublishAppearance(P, clBtnFace);
  detail::PublishState(P);
  detail::PublishFocusProperties(P, false);
  detail::PublishMouseEvents(P, true);
  detail::PublishKeyEvents(P);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FTabStop = false;  // only the checked button of a group is a tab stop
  FColor = clBtnFace;
  FParentColor = true;
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  FTabStop = Value;
  Invalidate();
  if (!Value) return;
  if (FParent) {
    for (int I = 0; I < FParent->ControlCount(); ++I) {
      auto* Sibling = dynamic_cast<TRadioButton*>(FParent->Controls(I));
      if (Sibling && Sibling != this) Sibling->SetChecked(false);
    }
  }
  if (!ComponentState().Contains(csLoading)) TButtonControl::Click();
}

void TRadioButton::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TRadioButton::Click() {
  if (FChecked)
    TButtonControl::Click();
  else
    SetChecked(true);
}

void TRadioButton::KeyDown(WORD& Key, TShiftState Shift) {
  TButtonControl::KeyDown(Key, Shift);
  if (!FParent || (Key != VK_UP && Key != VK_DOWN && Key != VK_LEFT && Key != VK_RIGHT)) return;
  std::vector<TRadioButton*> Group;
  for (int I = 0; I < FParent->ControlCount(); ++I)
    if (auto* R = dynamic_cast<TRadioButton*>(FParent->Controls(I)); R && R->Visible() && R->Enabled())
      Group.push_back(R);
  auto It = std::find(Group.begin(), Group.end(), this);
  if (It == Group.end() || Group.size() < 2) return;
  const int N = int(Group.size());
  const int Step = Key == VK_UP || Key == VK_LEFT ? -1 : 1;
  TRadioButton* Next = Group[size_t(((It - Group.begin()) + Step + N) % N)];
  Key = 0;
  Next->SetFocus();
  Next->Click();
}

void TRadioButton::Paint() {
  TCanvas* C = Canvas();
  const TRect R = ClientRect();
  C->Brush()->SetColor(FColor);
  C->FillRect(R);
  TRect Box, Text;
  CheckLayout(R, FAlignment, Box, Text);
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(Focused() ? clHighlight : clBtnShadow);
  C->Brush()->SetColor(FEnabled ? clWindow : clBtnFace);
  C->Ellipse(Box);
  if (FChecked) {
    const TColor Dot = FEnabled ? clWindowText : clGrayText;
    C->Pen()->SetColor(Dot);
    C->Brush()->SetColor(Dot);
    C->Ellipse(Box.Left + 4, Box.Top + 4, Box.Right - 4, Box.Bottom - 4);
  }
  DrawCaption(Text, TTextFormat{tfVerticalCenter, tfSingleLine, FAlignment == taLeftJustify ? tfRight : tfLeft}, true);
}

// ============================================================= TCustomGroupBox

void TGroupBox::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption);
  detail::PublishAppearance(P, clBtnFace);
  detail::PublishState(P);
  detail::PublishFocusProperties(P, false);
  detail::PublishMouseEvents(P, true);
  detail::PublishKeyEvents(P);
}

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle.Include(csAcceptsControls);
  FColor = clBtnFace;
  FParentColor = true;
  SetBounds(0, 0, 185, 105);
}

int TCustomGroupBox::CaptionHeight() {
  Canvas()->Font()->Assign(FFont);
  return Canvas()->TextHeight("Wg");
}

void TCustomGroupBox::AlignControls(TControl* AControl, TRect& Rect) {
  Rect = ::platform::Rect(Rect.Left + 2, Rect.Top + CaptionHeight() + 2, Rect.Right - 2, Rect.Bottom - 2);
  TCustomControl::AlignControls(AControl, Rect);
}

void TCustomGroupBox::Paint() {
  TCanvas* C = Canvas();
  const TRect R = ClientRect();
  C->Brush()->SetColor(FColor);
  C->FillRect(R);
  const int H = CaptionHeight();
  detail::DrawFrame(C, Rect(0, H / 2, R.Right, R.Bottom), clBtnShadow);
  if (FText.empty()) return;
  TRect Calc = Rect(0, 0, 0, 0);
  C->TextRect(Calc, FText, TTextFormat{tfCalcRect, tfSingleLine});
  const TRect Gap = Rect(6, 0, std::min(R.Right - 2, 10 + Calc.Width()), H);
  C->Brush()->SetColor(FColor);
  C->FillRect(Gap);
  C->Font()->SetColor(FEnabled ? FFont->Color() : clGrayText);
  C->Brush()->SetStyle(bsClear);
  TRect T = Rect(8, 0, Gap.Right, H);
  C->TextRect(T, FText, TTextFormat{tfSingleLine});
}

// ================================================================ TTextControl

TTextControl::TTextControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FTabStop = true;
  FColor = clWindow;
  FCursor = crIBeam;
}

TTextControl::~TTextControl() {
  if (FHandle) KillTimer(FHandle, CaretTimer);
}

void TTextControl::UpdateCanvasFont() { Canvas()->Font()->Assign(FFont); }

int TTextControl::CharCount() const { return CountChars(FText); }

void TTextControl::SetText(const std::string& Value) {
  if (Value == FText) return;
  TCustomControl::SetText(Value);
  FCaret = FAnchor = 0;
  FScrollX = 0;
  FTopLine = 0;
  Invalidate();
  if (FChangeOnSetText) Change();
}

int TTextControl::SelStart() const { return std::min(FAnchor, FCaret); }
int TTextControl::SelLength() const { return std::abs(FCaret - FAnchor); }

void TTextControl::SetSelStart(int Value) {
  Value = std::clamp(Value, 0, CharCount());
  FAnchor = FCaret = Value;
  ScrollCaretIntoView();
  Invalidate();
}

void TTextControl::SetSelLength(int Value) {
  const int Start = SelStart();
  FAnchor = Start;
  FCaret = std::clamp(Start + std::max(Value, 0), 0, CharCount());
  ScrollCaretIntoView();
  Invalidate();
}

std::string TTextControl::SelText() const {
  const size_t B1 = ByteOfChar(FText, SelStart());
  const size_t B2 = ByteOfChar(FText, SelStart() + SelLength());
  return FText.substr(B1, B2 - B1);
}

void TTextControl::SetSelText(const std::string& Value) {
  ReplaceRange(SelStart(), SelStart() + SelLength(), FMultiLine ? NormalizeLineBreaks(Value) : Value, false);
}

void TTextControl::SelectAll() {
  FAnchor = 0;
  FCaret = CharCount();
  ScrollCaretIntoView();
  Invalidate();
}

void TTextControl::ClearSelection() {
  if (SelLength() > 0) SetSelText("");
}

void TTextControl::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  Invalidate();
}

void TTextControl::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  Invalidate();
}

void TTextControl::CopyToClipboard() {
  if (SelLength() == 0) return;
  const std::string S = SelText();
  if (!OpenClipboard(FHandle)) return;
  EmptyClipboard();
  HGLOBAL Mem = GlobalAlloc(GHND, S.size() + 1);
  if (void* P = GlobalLock(Mem)) {
    std::memcpy(P, S.data(), S.size());
    GlobalUnlock(Mem);
    SetClipboardData(CF_TEXT, Mem);
  } else {
    GlobalFree(Mem);
  }
  CloseClipboard();
}

void TTextControl::CutToClipboard() {
  if (!Editable() || SelLength() == 0) return;
  CopyToClipboard();
  DeleteSelection();
}

void TTextControl::PasteFromClipboard() {
  if (!Editable()) return;
  if (!OpenClipboard(FHandle)) return;
  std::string S;
  if (HANDLE Mem = GetClipboardData(CF_TEXT)) {
    if (const char* P = static_cast<const char*>(GlobalLock(Mem))) {
      S.assign(P, strnlen(P, GlobalSize(Mem)));
      GlobalUnlock(Mem);
    }
  }
  CloseClipboard();
  TypeText(FMultiLine ? NormalizeLineBreaks(S) : FirstLine(S));
}

void TTextControl::Change() {
  if (OnChange) OnChange(this);
}

TRect TTextControl::EditRect() const { return Rect(3, 2, FWidth - 3, FHeight - 2); }

int TTextControl::LineHeight() {
  UpdateCanvasFont();
  return std::max(1, Canvas()->TextHeight("Wg"));
}

std::vector<TTextControl::TLine> TTextControl::SplitLines() const {
  std::vector<TLine> Lines;
  if (!FMultiLine) {
    Lines.push_back({FText, 0, CharCount()});
    return Lines;
  }
  int Start = 0;
  size_t From = 0;
  for (;;) {
    const size_t NL = FText.find('\n', From);
    TLine L;
    L.Text = FText.substr(From, NL == std::string::npos ? std::string::npos : NL - From);
    L.Start = Start;
    L.Length = CountChars(L.Text);
    Lines.push_back(L);
    if (NL == std::string::npos) break;
    Start += L.Length + 1;
    From = NL + 1;
  }
  return Lines;
}

namespace {

int LineOfChar(const std::vector<TTextControl::TLine>& Lines, int Pos) {
  for (size_t I = 0; I < Lines.size(); ++I)
    if (Pos <= Lines[I].Start + Lines[I].Length) return int(I);
  return int(Lines.size()) - 1;
}

}  // namespace

void TTextControl::ReplaceRange(int From, int To, const std::string& S, bool UserEdit) {
  const int N = CharCount();
  From = std::clamp(From, 0, N);
  To = std::clamp(To, From, N);
  const size_t B1 = ByteOfChar(FText, From);
  const size_t B2 = ByteOfChar(FText, To);
  std::string New = FText.substr(0, B1) + S + FText.substr(B2);
  FCaret = FAnchor = From + CountChars(S);
  if (New == FText) {
    ScrollCaretIntoView();
    Invalidate();
    return;
  }
  TCustomControl::SetText(New);
  if (UserEdit) FModified = true;
  ScrollCaretIntoView();
  RestartCaret();
  Invalidate();
  Change();
}

void TTextControl::TypeText(const std::string& S) {
  if (!Editable() || (S.empty() && SelLength() == 0)) return;
  std::string Add = S;
  if (FMaxLength > 0) {
    const int Room = FMaxLength - (CharCount() - SelLength());
    if (Room <= 0) return;
    Add = Add.substr(0, ByteOfChar(Add, Room));
  }
  ReplaceRange(SelStart(), SelStart() + SelLength(), Add, true);
}

void TTextControl::DeleteSelection() {
  if (SelLength() > 0) ReplaceRange(SelStart(), SelStart() + SelLength(), "", true);
}

void TTextControl::MoveCaret(int Pos, bool Extend) {
  FCaret = std::clamp(Pos, 0, CharCount());
  if (!Extend) FAnchor = FCaret;
  ScrollCaretIntoView();
  RestartCaret();
  Invalidate();
}

void TTextControl::RestartCaret() {
  if (!Focused()) return;
  FCaretShown = true;
  SetTimer(FHandle, CaretTimer, CaretBlinkTime);
}

void TTextControl::ScrollCaretIntoView() {
  const TRect ER = EditRect();
  if (ER.Width() <= 0) return;
  const std::vector<TLine> Lines = SplitLines();
  const int L = LineOfChar(Lines, FCaret);
  const TLine& Line = Lines[size_t(L)];
  UpdateCanvasFont();
  const int X = Canvas()->TextWidth(Line.Text.substr(0, ByteOfChar(Line.Text, FCaret - Line.Start)));
  if (X - FScrollX > ER.Width() - 2) FScrollX = X - ER.Width() + 2;
  if (X < FScrollX) FScrollX = std::max(0, X - ER.Width() / 3);
  if (!FMultiLine) {
    // No empty space is left at the end while the text could fill it.
    const int Full = Canvas()->TextWidth(FText);
    if (Full - FScrollX < ER.Width() - 2) FScrollX = std::max(0, Full - ER.Width() + 2);
    return;
  }
  const int Rows = std::max(1, ER.Height() / LineHeight());
  if (L < FTopLine) FTopLine = L;
  if (L >= FTopLine + Rows) FTopLine = L - Rows + 1;
}

int TTextControl::CharFromPoint(TPoint P) {
  const TRect ER = EditRect();
  const std::vector<TLine> Lines = SplitLines();
  int L = 0;
  if (FMultiLine) {
    const int Row = P.Y < ER.Top ? -1 : (P.Y - ER.Top) / LineHeight();
    L = std::clamp(FTopLine + Row, 0, int(Lines.size()) - 1);
  }
  const TLine& Line = Lines[size_t(L)];
  UpdateCanvasFont();
  const int X = P.X - (ER.Left - FScrollX);
  int Best = 0, BestDist = std::abs(X);
  for (int K = 1; K <= Line.Length; ++K) {
    const int W = Canvas()->TextWidth(Line.Text.substr(0, ByteOfChar(Line.Text, K)));
    const int D = std::abs(X - W);
    if (D < BestDist) {
      Best = K;
      BestDist = D;
    }
    if (W > X) break;
  }
  return Line.Start + Best;
}

void TTextControl::PaintText() {
  TCanvas* C = Canvas();
  const TRect ER = EditRect();
  if (IsEmptyRect(ER)) return;
  const int LH = LineHeight();
  const std::vector<TLine> Lines = SplitLines();
  const TColor TextColor = FEnabled ? FFont->Color() : clGrayText;
  const bool ShowSel = SelLength() > 0 && (Focused() || !FHideSelection);
  const int SelA = SelStart(), SelB = SelStart() + SelLength();
  const int Y0 = FMultiLine ? ER.Top - FTopLine * LH : ER.Top + (ER.Height() - LH) / 2;
  const int X = ER.Left - FScrollX;
  for (size_t I = 0; I < Lines.size(); ++I) {
    const TLine& Line = Lines[I];
    const int Y = Y0 + int(I) * LH;
    if (Y + LH <= ER.Top || Y >= ER.Bottom) continue;
    C->Font()->SetColor(TextColor);
    C->Brush()->SetStyle(bsClear);
    C->TextRect(ER, X, Y, Line.Text);
    if (ShowSel) {
      const int A = std::max(SelA, Line.Start) - Line.Start;
      const int B = std::min(SelB, Line.Start + Line.Length) - Line.Start;
      if (A < B) {
        const int X1 = X + C->TextWidth(Line.Text.substr(0, ByteOfChar(Line.Text, A)));
        const int X2 = X + C->TextWidth(Line.Text.substr(0, ByteOfChar(Line.Text, B)));
        const TRect S = Intersect(Rect(X1, Y, X2, Y + LH), ER);
        if (!IsEmptyRect(S)) {
          C->Brush()->SetColor(clHighlight);
          C->FillRect(S);
          C->Font()->SetColor(clHighlightText);
          C->Brush()->SetStyle(bsClear);
          C->TextRect(S, X, Y, Line.Text);
        }
      }
    }
    if (FCaretShown && Focused() && FCaret >= Line.Start && FCaret <= Line.Start + Line.Length) {
      const int CX = X + C->TextWidth(Line.Text.substr(0, ByteOfChar(Line.Text, FCaret - Line.Start)));
      if (CX >= ER.Left && CX < ER.Right) {
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetWidth(1);
        C->Pen()->SetColor(clWindowText);
        C->MoveTo(CX, std::max(Y, ER.Top));
        C->LineTo(CX, std::min(Y + LH, ER.Bottom));
      }
    }
  }
}

void TTextControl::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key != 0) EditKey(Key, Shift);
}

void TTextControl::EditKey(WORD& Key, TShiftState Shift) {
  const bool Extend = Shift.Contains(ssShift);
  const bool Ctrl = Shift.Contains(ssCtrl);
  const std::vector<TLine> Lines = SplitLines();
  const int L = LineOfChar(Lines, FCaret);
  const TLine& Line = Lines[size_t(L)];
  switch (Key) {
    case VK_LEFT:
    case VK_RIGHT: {
      const bool Back = Key == VK_LEFT;
      if (Ctrl) {
        // To the start of the previous or next word.
        const std::vector<bool> Word = WordChars(FText);
        const int N = int(Word.size());
        int P = FCaret;
        if (Back) {
          while (P > 0 && !Word[size_t(P - 1)]) --P;
          while (P > 0 && Word[size_t(P - 1)]) --P;
        } else {
          while (P < N && Word[size_t(P)]) ++P;
          while (P < N && !Word[size_t(P)]) ++P;
        }
        MoveCaret(P, Extend);
      } else if (!Extend && SelLength() > 0) {
        MoveCaret(Back ? SelStart() : SelStart() + SelLength(), false);
      } else {
        MoveCaret(FCaret + (Back ? -1 : 1), Extend);
      }
      break;
    }
    case VK_HOME:
      MoveCaret(Ctrl || !FMultiLine ? 0 : Line.Start, Extend);
      break;
    case VK_END:
      MoveCaret(Ctrl || !FMultiLine ? CharCount() : Line.Start + Line.Length, Extend);
      break;
    case VK_UP:
    case VK_DOWN: {
      if (!FMultiLine) return;
      const int Target = std::clamp(L + (Key == VK_UP ? -1 : 1), 0, int(Lines.size()) - 1);
      const int Column = std::min(FCaret - Line.Start, Lines[size_t(Target)].Length);
      MoveCaret(Lines[size_t(Target)].Start + Column, Extend);
      break;
    }
    case VK_DELETE:
      if (Extend) {
        CutToClipboard();
      } else if (Editable()) {
        if (SelLength() > 0)
          DeleteSelection();
        else if (FCaret < CharCount())
          ReplaceRange(FCaret, FCaret + 1, "", true);
      }
      break;
    case VK_BACK:
      if (Editable()) {
        if (SelLength() > 0)
          DeleteSelection();
        else if (FCaret > 0)
          ReplaceRange(FCaret - 1, FCaret, "", true);
      }
      break;
    case VK_INSERT:
      if (Ctrl)
        CopyToClipboard();
      else if (Extend)
        PasteFromClipboard();
      else
        return;
      break;
    case VK_RETURN:
      if (!FMultiLine || !FWantReturns || !Editable() || Ctrl) return;
      TypeText("\n");
      break;
    case VK_TAB:
      if (!FMultiLine || !FWantTabs || !Editable() || Ctrl) return;
      TypeText("\t");
      break;
    case 'A':
    case 'C':
    case 'V':
    case 'X':
      if (!Ctrl) return;
      if (Key == 'A') SelectAll();
      if (Key == 'C') CopyToClipboard();
      if (Key == 'V') PasteFromClipboard();
      if (Key == 'X') CutToClipboard();
      break;
    default:
      return;
  }
  Key = 0;
}

void TTextControl::WMChar(TMessage& Message) {
  char32_t Ch = char32_t(Message.WParam);
  if (Ch < 0x80) {
    char K = char(Ch);
    KeyPress(K);
    if (K == 0) {
      Message.Result = 1;
      return;
    }
    Ch = static_cast<unsigned char>(K);
  }
  // Control characters (Backspace, Enter, Tab) are handled as keys.
  if (IsTypable(Ch) && GetKeyState(VK_CONTROL) >= 0) TypeText(EncodeUtf8(Ch));
  Message.Result = 1;
}

void TTextControl::WMLButtonDown(TMessage& Message) {
  if (!Focused()) {
    FMouseFocusing = true;
    SetFocus();
    FMouseFocusing = false;
  }
  MoveCaret(CharFromPoint(LParamToPoint(Message.LParam)), (Message.WParam & MK_SHIFT) != 0);
  FSelecting = true;
  TCustomControl::WMLButtonDown(Message);
}

void TTextControl::WMLButtonDblClk(TMessage& Message) {
  // Selects the word under the mouse.
  const int Pos = CharFromPoint(LParamToPoint(Message.LParam));
  const std::vector<bool> Word = WordChars(FText);
  auto IsWordChar = [&](int I) { return I >= 0 && I < int(Word.size()) && Word[size_t(I)]; };
  int A = Pos, B = Pos;
  while (IsWordChar(A - 1)) --A;
  while (IsWordChar(B)) ++B;
  FAnchor = A;
  FCaret = B;
  ScrollCaretIntoView();
  Invalidate();
  TCustomControl::WMLButtonDblClk(Message);
}

void TTextControl::WMMouseMove(TMessage& Message) {
  if (FSelecting && FControlState.Contains(csLButtonDown))
    MoveCaret(CharFromPoint(LParamToPoint(Message.LParam)), true);
  TCustomControl::WMMouseMove(Message);
}

void TTextControl::WMLButtonUp(TMessage& Message) {
  FSelecting = false;
  TCustomControl::WMLButtonUp(Message);
}

void TTextControl::WMSetFocus(TMessage& Message) {
  if (FAutoSelect && !FMouseFocusing && !FMultiLine) SelectAll();
  FCaretShown = true;
  if (FHandle) SetTimer(FHandle, CaretTimer, CaretBlinkTime);
  Invalidate();
  TCustomControl::WMSetFocus(Message);
}

void TTextControl::WMKillFocus(TMessage& Message) {
  if (FHandle) KillTimer(FHandle, CaretTimer);
  FCaretShown = false;
  FSelecting = false;
  Invalidate();
  TCustomControl::WMKillFocus(Message);
}

void TTextControl::WMTimer(TMessage& Message) {
  if (Message.WParam != CaretTimer) {
    TCustomControl::WMTimer(Message);
    return;
  }
  FCaretShown = !FCaretShown && Focused();
  Invalidate();
}

void TTextControl::WMSize(TMessage& Message) {
  TCustomControl::WMSize(Message);
  ScrollCaretIntoView();
}

void TTextControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_MOUSEWHEEL && FMultiLine) {
    const int Notches = SHORT(HIWORD(Message.WParam)) / 120;
    const int Rows = std::max(1, EditRect().Height() / LineHeight());
    const int Lines = int(SplitLines().size());
    FTopLine = std::clamp(FTopLine - 3 * Notches, 0, std::max(0, Lines - Rows));
    Invalidate();
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TTextControl::CMFontChanged(TMessage& Message) {
  TCustomControl::CMFontChanged(Message);
  ScrollCaretIntoView();
}

// ================================================================= TCustomEdit

void TEdit::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect).Default(true);
  detail::PublishAppearance(P, clWindow);
  P.Property("HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection).Default(true);
  P.Property("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0);
  P.Property("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(false);
  detail::PublishState(P);
  detail::PublishFocusProperties(P, true);
  P.Property("Text", &TEdit::Text, &TEdit::SetText);
  P.Property("OnChange", &TEdit::OnChange, &TEdit::OnChange);
  detail::PublishMouseEvents(P, true);
  detail::PublishKeyEvents(P);
}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TTextControl(AOwner) { SetBounds(0, 0, 121, 21); }

void TCustomEdit::Paint() {
  TCanvas* C = Canvas();
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(Focused() ? clHighlight : clBtnShadow);
  C->Brush()->SetColor(FEnabled ? FColor : clBtnFace);
  C->Rectangle(ClientRect());
  PaintText();
}

// ================================================================= TCustomMemo

namespace {

// The lines of a memo, read from and written to its text. Between BeginUpdate
// and EndUpdate the changes collect in a copy and reach the memo once.
class TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TCustomMemo* AMemo) : FMemo(AMemo) {}

  int Count() const override { return int(Read().size()); }
  std::string Get(int Index) const override {
    const std::vector<std::string> L = Read();
    Check(Index, int(L.size()));
    return L[size_t(Index)];
  }
  void Put(int Index, const std::string& S) override {
    std::vector<std::string> L = Read();
    Check(Index, int(L.size()));
    L[size_t(Index)] = FirstLine(S);
    Write(L);
  }
  void Insert(int Index, const std::string& S) override {
    std::vector<std::string> L = Read();
    Check(Index, int(L.size()) + 1);
    L.insert(L.begin() + Index, FirstLine(S));
    Write(L);
  }
  void Delete(int Index) override {
    std::vector<std::string> L = Read();
    Check(Index, int(L.size()));
    L.erase(L.begin() + Index);
    Write(L);
  }
  void Clear() override { Write({}); }
  void SetText(const std::string& Value) override {
    std::string T = NormalizeLineBreaks(Value);
    if (!T.empty() && T.back() == '\n') T.pop_back();
    if (FUpdating) {
      FPending = Split(T);
      return;
    }
    FMemo->SetText(T);
  }

 protected:
  void SetUpdateState(bool Updating) override {
    if (Updating) {
      FPending = Split(FMemo->Text());
      FUpdating = true;
    } else {
      FUpdating = false;
      FMemo->SetText(Join(FPending));
      FPending.clear();
    }
  }

 private:
  static std::vector<std::string> Split(const std::string& T) {
    std::vector<std::string> L;
    if (T.empty()) return L;
    size_t From = 0;
    for (;;) {
      const size_t NL = T.find('\n', From);
      L.push_back(T.substr(From, NL == std::string::npos ? std::string::npos : NL - From));
      if (NL == std::string::npos) break;
      From = NL + 1;
    }
    // A break at the very end starts no line of its own.
    if (L.size() > 1 && L.back().empty()) L.pop_back();
    return L;
  }
  static std::string Join(const std::vector<std::string>& L) {
    std::string T;
    for (size_t I = 0; I < L.size(); ++I) {
      if (I) T += '\n';
      T += L[I];
    }
    return T;
  }
  static void Check(int Index, int Count) {
    if (Index < 0 || Index >= Count)
      throw EStringListError(Format("List index out of bounds (%d)", {std::int64_t(Index)}));
  }
  std::vector<std::string> Read() const { return FUpdating ? FPending : Split(FMemo->Text()); }
  void Write(const std::vector<std::string>& L) {
    if (FUpdating)
      FPending = L;
    else
      FMemo->SetText(Join(L));
  }

  TCustomMemo* FMemo;
  bool FUpdating = false;
  std::vector<std::string> FPending;
};

}  // namespace

void TMemo::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  detail::PublishAppearance(P, clWindow);
  P.Property("HideSelection", &TMemo::HideSelection, &TMemo::SetHideSelection).Default(true);
  P.Property("Lines", &TMemo::Lines, &TMemo::SetLines);
  P.Property("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength).Default(0);
  P.Property("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(false);
  detail::PublishState(P);
  detail::PublishFocusProperties(P, true);
  P.Property("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns).Default(true);
  P.Property("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs).Default(false);
  P.Property("OnChange", &TMemo::OnChange, &TMemo::OnChange);
  detail::PublishMouseEvents(P, true);
  detail::PublishKeyEvents(P);
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(new TMemoStrings(this)) {
  FMultiLine = true;
  FWantReturns = true;
  SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() { delete FLines; }

// ============================================================== TCustomListBox

void TListBox::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  detail::PublishAppearance(P, clWindow);
  P.Property("Items", &TListBox::Items, &TListBox::SetItems);
  P.Property("Sorted", &TListBox::Sorted, &TListBox::SetSorted).Default(false);
  detail::PublishState(P);
  detail::PublishFocusProperties(P, true);
  detail::PublishMouseEvents(P, true);
  detail::PublishKeyEvents(P);
}

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomControl(AOwner), FItems(new TStringList()) {
  FTabStop = true;
  FColor = clWindow;
  // OnClick fires when the user selects an item, not on every mouse click.
  FControlStyle.Exclude(csClickEvents);
  FItems->OnChange = TNotifyEvent::Bind<&TCustomListBox::ItemsChanged>(this);
  SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() {
  FItems->OnChange = nullptr;
  delete FItems;
}

int TCustomListBox::ItemHeight() const {
  FCanvas->Font()->Assign(FFont);
  return std::max(13, FCanvas->TextHeight("Wg") + 1);
}

int TCustomListBox::VisibleRows() const { return std::max(1, (FHeight - 2) / ItemHeight()); }

void TCustomListBox::SetItemIndex(int Value) {
  if (Value < 0 || Value >= FItems->Count()) Value = -1;
  if (FItemIndex == Value) return;
  FItemIndex = Value;
  if (Value >= 0) {
    if (Value < FTopIndex) FTopIndex = Value;
    if (Value >= FTopIndex + VisibleRows()) FTopIndex = Value - VisibleRows() + 1;
  }
  Invalidate();
}

void TCustomListBox::SetTopIndex(int Value) {
  Value = std::clamp(Value, 0, std::max(0, FItems->Count() - VisibleRows()));
  if (FTopIndex == Value) return;
  FTopIndex = Value;
  Invalidate();
}

void TCustomListBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  FItems->SetSorted(Value);
}

void TCustomListBox::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_MOUSEWHEEL) {
    const int Notches = SHORT(HIWORD(Message.WParam)) / 120;
    SetTopIndex(FTopIndex - 3 * Notches);
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TCustomListBox::ItemsChanged(TObject*) {
  if (FItemIndex >= FItems->Count()) FItemIndex = -1;
  if (FTopIndex > std::max(0, FItems->Count() - 1)) FTopIndex = std::max(0, FItems->Count() - 1);
  Invalidate();
}

TRect TCustomListBox::ItemRect(int Index) {
  const int H = ItemHeight();
  return Rect(1, 1 + (Index - FTopIndex) * H, FWidth - 1, 1 + (Index - FTopIndex + 1) * H);
}

int TCustomListBox::ItemAtPos(TPoint P, bool Existing) {
  if (P.X < 0 || P.X >= FWidth || P.Y < 1 || P.Y >= FHeight - 1) return -1;
  const int I = FTopIndex + (P.Y - 1) / ItemHeight();
  if (I < FItems->Count()) return I;
  return Existing ? -1 : FItems->Count();
}

void TCustomListBox::SelectByUser(int Index) {
  if (Index < 0 || Index >= FItems->Count()) return;
  const bool Changed = Index != FItemIndex;
  SetItemIndex(Index);
  if (Changed) Click();
}

void TCustomListBox::Paint() {
  TCanvas* C = Canvas();
  const TRect R = ClientRect();
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(Focused() ? clHighlight : clBtnShadow);
  C->Brush()->SetColor(FEnabled ? FColor : clBtnFace);
  C->Rectangle(R);
  const TRect Inner = Rect(1, 1, R.Right - 1, R.Bottom - 1);
  C->Font()->Assign(FFont);
  for (int I = FTopIndex; I < FItems->Count(); ++I) {
    const TRect IR = ItemRect(I);
    if (IR.Top >= Inner.Bottom) break;
    const TRect Clip = Intersect(IR, Inner);
    const bool Selected = I == FItemIndex;
    if (Selected) {
      C->Brush()->SetColor(FEnabled ? clHighlight : clBtnShadow);
      C->FillRect(Clip);
    }
    C->Font()->SetColor(!FEnabled ? clGrayText : Selected ? clHighlightText : FFont->Color());
    C->Brush()->SetStyle(bsClear);
    C->TextRect(Clip, IR.Left + 2, IR.Top, FItems->Get(I));
  }
  // A thin bar at the right shows where the visible rows lie when not all fit.
  const int Rows = VisibleRows(), Count = FItems->Count();
  if (Count > Rows && Inner.Height() > 0) {
    const TRect Track = Rect(Inner.Right - 5, Inner.Top, Inner.Right, Inner.Bottom);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(Track);
    const int ThumbH = std::max(8, Track.Height() * Rows / Count);
    const int ThumbTop = Track.Top + (Track.Height() - ThumbH) * FTopIndex / std::max(1, Count - Rows);
    C->Brush()->SetColor(clBtnShadow);
    C->FillRect(Rect(Track.Left + 1, ThumbTop, Track.Right - 1, ThumbTop + ThumbH));
  }
}

void TCustomListBox::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const int N = FItems->Count();
  if (N == 0) return;
  int Target;
  switch (Key) {
    case VK_UP:
      Target = FItemIndex < 0 ? 0 : FItemIndex - 1;
      break;
    case VK_DOWN:
      Target = FItemIndex + 1;
      break;
    case VK_HOME:
      Target = 0;
      break;
    case VK_END:
      Target = N - 1;
      break;
    case VK_PRIOR:
      Target = FItemIndex - VisibleRows();
      break;
    case VK_NEXT:
      Target = FItemIndex + VisibleRows();
      break;
    default:
      return;
  }
  SelectByUser(std::clamp(Target, 0, N - 1));
  Key = 0;
}

void TCustomListBox::WMLButtonDown(TMessage& Message) {
  SetFocus();
  const int I = ItemAtPos(LParamToPoint(Message.LParam), true);
  if (I >= 0) {
    if (I == FItemIndex)
      Click();
    else
      SelectByUser(I);
  }
  TCustomControl::WMLButtonDown(Message);
}

void TCustomListBox::WMMouseMove(TMessage& Message) {
  // Dragging with the button down moves the selection.
  if (FControlState.Contains(csLButtonDown) && MouseCapture()) {
    const int I = ItemAtPos(LParamToPoint(Message.LParam), true);
    if (I >= 0) SelectByUser(I);
  }
  TCustomControl::WMMouseMove(Message);
}

void TCustomListBox::WMSetFocus(TMessage& Message) {
  Invalidate();
  TCustomControl::WMSetFocus(Message);
}

void TCustomListBox::WMKillFocus(TMessage& Message) {
  Invalidate();
  TCustomControl::WMKillFocus(Message);
}

// ============================================================ TComboListWindow

/// \brief The drop-down list of a combo box: a top-level window below it that
/// holds the mouse capture while shown, so a click anywhere else closes it.
class TComboListWindow : public TCustomControl {
  VEL_CLASS(TComboListWindow, TCustomControl)
  explicit TComboListWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csOpaque};
    FColor = clWindow;
  }

  bool Shown() const { return FHandle != nullptr; }
  int Hot() const { return FHot; }

  void Open(TCustomComboBox* Combo) {
    FCombo = Combo;
    const int Rows = std::clamp(Combo->FItems->Count(), 1, Combo->FDropDownCount);
    const int H = RowHeight();
    const TPoint P = Combo->ClientToScreen(Point(0, Combo->Height()));
    SetBounds(P.X, P.Y, Combo->Width(), Rows * H + 2);
    FHot = Combo->FItemIndex;
    FTop = std::clamp(FHot - Rows + 1, 0, std::max(0, Combo->FItems->Count() - Rows));
    FFont->Assign(Combo->Font());
    HandleNeeded();
    SetMouseCapture(true);
    Invalidate();
  }

  void Close() {
    if (!FHandle) return;
    SetMouseCapture(false);
    DestroyHandle();
  }

  void MoveHot(int Delta) {
    const int N = FCombo->FItems->Count();
    if (N == 0) return;
    FHot = std::clamp(FHot < 0 ? 0 : FHot + Delta, 0, N - 1);
    const int Rows = std::max(1, (FHeight - 2) / RowHeight());
    if (FHot < FTop) FTop = FHot;
    if (FHot >= FTop + Rows) FTop = FHot - Rows + 1;
    Invalidate();
  }

 protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS;
    Params.WndParent = nullptr;
  }

  int RowHeight() {
    FCanvas->Font()->Assign(FFont);
    return std::max(13, FCanvas->TextHeight("Wg") + 1);
  }

  int RowAt(TPoint P) {
    if (!PtInRect(ClientRect(), P) || P.Y < 1 || P.Y >= FHeight - 1) return -1;
    const int I = FTop + (P.Y - 1) / RowHeight();
    return I < FCombo->FItems->Count() ? I : -1;
  }

  void Paint() override {
    TCanvas* C = Canvas();
    const TRect R = ClientRect();
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(clBtnShadow);
    C->Brush()->SetColor(clWindow);
    C->Rectangle(R);
    C->Font()->Assign(FFont);
    const int H = RowHeight();
    const TRect Inner = Rect(1, 1, R.Right - 1, R.Bottom - 1);
    for (int I = FTop; I < FCombo->FItems->Count(); ++I) {
      const TRect IR = Rect(1, 1 + (I - FTop) * H, R.Right - 1, 1 + (I - FTop + 1) * H);
      if (IR.Top >= Inner.Bottom) break;
      const TRect Clip = Intersect(IR, Inner);
      if (I == FHot) {
        C->Brush()->SetColor(clHighlight);
        C->FillRect(Clip);
      }
      C->Font()->SetColor(I == FHot ? clHighlightText : FFont->Color());
      C->Brush()->SetStyle(bsClear);
      C->TextRect(Clip, IR.Left + 2, IR.Top, FCombo->FItems->Get(I));
    }
  }

  // The list handles the mouse itself: the capture it holds must not be
  // released by the ordinary button handling.
  void WMMouseMove(TMessage& Message) override {
    const int I = RowAt(LParamToPoint(Message.LParam));
    if (I >= 0 && I != FHot) {
      FHot = I;
      Invalidate();
    }
  }

  void WMLButtonDown(TMessage& Message) override {
    if (!PtInRect(ClientRect(), LParamToPoint(Message.LParam))) {
      FCombo->SetDroppedDown(false);  // destroys this window; touch nothing after it
      return;
    }
    FPressedInside = true;
  }

  void WMLButtonUp(TMessage& Message) override {
    const int I = RowAt(LParamToPoint(Message.LParam));
    FPressedInside = false;
    if (I >= 0) FCombo->SelectFromList(I);  // closes the list
  }

  void WMLButtonDblClk(TMessage& Message) override { WMLButtonDown(Message); }
  void WMRButtonDown(TMessage& Message) override { WMLButtonDown(Message); }
  void WMRButtonUp(TMessage&) override {}

  void WMCancelMode(TMessage&) override { FCombo->SetDroppedDown(false); }

 private:
  TCustomComboBox* FCombo = nullptr;
  int FHot = -1;
  int FTop = 0;
  bool FPressedInside = false;
};

VEL_IMPLEMENT_CLASS(TComboListWindow, "StdCtrls");

// ============================================================= TCustomComboBox

void TComboBox::VelPublish(TPublisher& P) {
  detail::PublishAlignment(P);
  P.Property("Style", &TComboBox::Style, &TComboBox::SetStyle).Default(csDropDown);
  detail::PublishAppearance(P, clWindow);
  P.Property("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount).Default(8);
  P.Property("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex).Default(-1);
  P.Property("Items", &TComboBox::Items, &TComboBox::SetItems);
  P.Property("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength).Default(0);
  P.Property("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted).Default(false);
  detail::PublishState(P);
  detail::PublishFocusProperties(P, true);
  P.Property("Text", &TComboBox::Text, &TComboBox::SetText);
  P.Property("OnChange", &TComboBox::OnChange, &TComboBox::OnChange);
  P.Property("OnClick", &TComboBox::OnClick, &TComboBox::OnClick);
  P.Property("OnCloseUp", &TComboBox::OnCloseUp, &TComboBox::OnCloseUp);
  P.Property("OnDblClick", &TComboBox::OnDblClick, &TComboBox::OnDblClick);
  P.Property("OnDropDown", &TComboBox::OnDropDown, &TComboBox::OnDropDown);
  P.Property("OnSelect", &TComboBox::OnSelect, &TComboBox::OnSelect);
  detail::PublishKeyEvents(P);
}

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TTextControl(AOwner), FItems(new TStringList()) {
  FChangeOnSetText = false;
  FControlStyle.Exclude(csClickEvents);
  FItems->OnChange = TNotifyEvent::Bind<&TCustomComboBox::ItemsChanged>(this);
  SetBounds(0, 0, 145, 21);
}

TCustomComboBox::~TCustomComboBox() {
  delete FList;
  FItems->OnChange = nullptr;
  delete FItems;
}

bool TCustomComboBox::DroppedDown() const { return FList && FList->Shown(); }

TCustomControl* TCustomComboBox::ListWindow() const { return DroppedDown() ? FList : nullptr; }

void TCustomComboBox::SetDroppedDown(bool Value) {
  if (DroppedDown() == Value) return;
  if (Value) {
    if (!FHandle || !Showing()) return;
    if (OnDropDown) OnDropDown(this);
    if (!FList) FList = new TComboListWindow(nullptr);
    FList->Open(this);
  } else {
    FList->Close();
    if (OnCloseUp) OnCloseUp(this);
  }
  Invalidate();
}

void TCustomComboBox::SetItemIndex(int Value) {
  if (ComponentState().Contains(csLoading)) {
    FItemIndex = Value;  // the items may not have been read yet
    return;
  }
  if (Value < 0 || Value >= FItems->Count()) Value = -1;
  if (Value == FItemIndex && (Value < 0 || FText == FItems->Get(Value))) return;
  FItemIndex = Value;
  TTextControl::SetText(Value >= 0 ? FItems->Get(Value) : std::string());
  if (Focused() && Editable()) SelectAll();
  Invalidate();
}

void TCustomComboBox::SetText(const std::string& Value) {
  TTextControl::SetText(Value);
  if (!ComponentState().Contains(csLoading)) FItemIndex = FItems->IndexOf(Value);
}

void TCustomComboBox::Loaded() {
  TTextControl::Loaded();
  // A stored item index picks its item; otherwise the index follows the text.
  const int Index = FItemIndex;
  FItemIndex = -1;
  if (Index >= 0 && Index < FItems->Count())
    SetItemIndex(Index);
  else
    FItemIndex = FItems->IndexOf(FText);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (!Editable() && FItems->IndexOf(FText) < 0) TTextControl::SetText(std::string());
  Invalidate();
}

void TCustomComboBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  FItems->SetSorted(Value);
}

bool TCustomComboBox::Editable() const { return !FReadOnly && (FStyle == csDropDown || FStyle == csSimple); }

void TCustomComboBox::ItemsChanged(TObject*) {
  // The item index follows the text, which stays as it is.
  FItemIndex = FText.empty() ? -1 : FItems->IndexOf(FText);
  if (DroppedDown()) FList->Invalidate();
}

void TCustomComboBox::Change() {
  FItemIndex = FItems->IndexOf(FText);
  TTextControl::Change();
}

void TCustomComboBox::SelectFromList(int Index) {
  SetDroppedDown(false);
  if (Index < 0 || Index >= FItems->Count()) return;
  const bool Changed = Index != FItemIndex || FText != FItems->Get(Index);
  SetItemIndex(Index);
  if (Editable()) SelectAll();
  if (OnSelect) OnSelect(this);
  if (Changed) TTextControl::Change();
  Click();
}

TRect TCustomComboBox::ButtonRect() const { return Rect(FWidth - 1 - ComboButtonWidth, 1, FWidth - 1, FHeight - 1); }

TRect TCustomComboBox::EditRect() const { return Rect(3, 2, FWidth - 3 - ComboButtonWidth, FHeight - 2); }

void TCustomComboBox::Paint() {
  TCanvas* C = Canvas();
  const TRect R = ClientRect();
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(Focused() || DroppedDown() ? clHighlight : clBtnShadow);
  C->Brush()->SetColor(FEnabled ? FColor : clBtnFace);
  C->Rectangle(R);
  if (Editable()) {
    PaintText();
  } else {
    const TRect ER = EditRect();
    const bool Hilite = Focused() && !DroppedDown();
    if (Hilite) {
      C->Brush()->SetColor(clHighlight);
      C->FillRect(Rect(ER.Left - 1, ER.Top, ER.Right, ER.Bottom));
    }
    C->Font()->Assign(FFont);
    C->Font()->SetColor(!FEnabled ? clGrayText : Hilite ? clHighlightText : FFont->Color());
    C->Brush()->SetStyle(bsClear);
    TRect T = ER;
    C->TextRect(T, FText, TTextFormat{tfSingleLine, tfVerticalCenter, tfNoPrefix});
  }
  // The drop-down button with its arrow.
  const TRect B = ButtonRect();
  C->Brush()->SetColor(clBtnFace);
  C->FillRect(B);
  C->Pen()->SetColor(clBtnShadow);
  C->MoveTo(B.Left, B.Top);
  C->LineTo(B.Left, B.Bottom);
  const TColor Arrow = FEnabled ? clBtnText : clGrayText;
  const int CX = (B.Left + B.Right) / 2, CY = (B.Top + B.Bottom) / 2;
  C->Pen()->SetColor(Arrow);
  C->Brush()->SetColor(Arrow);
  C->Polygon({Point(CX - 4, CY - 2), Point(CX + 4, CY - 2), Point(CX, CY + 2)});
}

void TCustomComboBox::EditKey(WORD& Key, TShiftState Shift) {
  if (DroppedDown()) {
    switch (Key) {
      case VK_ESCAPE:
        SetDroppedDown(false);
        break;
      case VK_RETURN:
        SelectFromList(FList->Hot());
        break;
      case VK_UP:
      case VK_DOWN:
        if (Shift.Contains(ssAlt))
          SetDroppedDown(false);
        else
          FList->MoveHot(Key == VK_UP ? -1 : 1);
        break;
      case VK_F4:
        SetDroppedDown(false);
        break;
      default:
        TTextControl::EditKey(Key, Shift);
        return;
    }
    Key = 0;
    return;
  }
  if (Key == VK_F4 || ((Key == VK_DOWN || Key == VK_UP) && Shift.Contains(ssAlt))) {
    SetDroppedDown(true);
    Key = 0;
    return;
  }
  if (Key == VK_UP || Key == VK_DOWN) {
    const int N = FItems->Count();
    if (N > 0) {
      const int Target = std::clamp(FItemIndex < 0 ? 0 : FItemIndex + (Key == VK_UP ? -1 : 1), 0, N - 1);
      if (Target != FItemIndex) SelectFromList(Target);
    }
    Key = 0;
    return;
  }
  TTextControl::EditKey(Key, Shift);
}

void TCustomComboBox::WMChar(TMessage& Message) {
  if (Editable()) {
    TTextControl::WMChar(Message);
    return;
  }
  // A typed character selects the next item that starts with it.
  char32_t Ch = char32_t(Message.WParam);
  if (Ch < 0x80) {
    char K = char(Ch);
    KeyPress(K);
    Ch = static_cast<unsigned char>(K);
  }
  Message.Result = 1;
  if (!IsTypable(Ch)) return;
  const std::string Typed = EncodeUtf8(Ch);
  auto Starts = [&](const std::string& S) {
    if (S.size() < Typed.size()) return false;
    for (size_t I = 0; I < Typed.size(); ++I)
      if (std::tolower(static_cast<unsigned char>(S[I])) != std::tolower(static_cast<unsigned char>(Typed[I])))
        return false;
    return true;
  };
  const int N = FItems->Count();
  for (int K = 1; K <= N; ++K) {
    const int I = (FItemIndex + K + N) % N;
    if (Starts(FItems->Get(I))) {
      if (I != FItemIndex) SelectFromList(I);
      return;
    }
  }
}

void TCustomComboBox::WMLButtonDown(TMessage& Message) {
  const TPoint P = LParamToPoint(Message.LParam);
  if (Editable() && !PtInRect(ButtonRect(), P)) {
    TTextControl::WMLButtonDown(Message);
    return;
  }
  if (!Focused()) {
    FMouseFocusing = true;
    SetFocus();
    FMouseFocusing = false;
  }
  TCustomControl::WMLButtonDown(Message);
  // The list takes the capture over; this control sees no button-up for this press.
  FControlState.Exclude(csLButtonDown);
  FControlState.Exclude(csClicked);
  SetDroppedDown(!DroppedDown());
}

void TCustomComboBox::WMKillFocus(TMessage& Message) {
  SetDroppedDown(false);
  TTextControl::WMKillFocus(Message);
}

}  // namespace platform
