#include "platform/designintf/dialogs.h"

#include <memory>

#include "platform/gfx/colors.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TDialogEdit, "DesignDialogs");
VEL_IMPLEMENT_CLASS(TDialogButton, "DesignDialogs");
VEL_IMPLEMENT_CLASS(TDialogCheckBox, "DesignDialogs");
VEL_IMPLEMENT_CLASS(TDialogSwatch, "DesignDialogs");
VEL_IMPLEMENT_CLASS(TEditorDialog, "DesignDialogs");
VEL_IMPLEMENT_CLASS(TColorDialogForm, "DesignDialogs");
VEL_IMPLEMENT_CLASS(TFontDialogForm, "DesignDialogs");
VEL_IMPLEMENT_CLASS(TStringsDialogForm, "DesignDialogs");

namespace {

constexpr int LineHeight = 16;

std::string Utf8(char32_t C) {
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

// Removes the last UTF-8 character.
void PopCharacter(std::string& S) {
  while (!S.empty()) {
    const unsigned char B = static_cast<unsigned char>(S.back());
    S.pop_back();
    if ((B & 0xC0) != 0x80) break;
  }
}

void PaintFrame(TCanvas* Canvas, const TRect& R, TColor Face, bool Focus) {
  Canvas->Brush()->SetColor(Face);
  Canvas->FillRect(R);
  Canvas->Brush()->SetColor(Focus ? clHighlight : clBtnShadow);
  Canvas->FrameRect(R);
}

}  // namespace

// ==================================================================== TDialogEdit

TDialogEdit::TDialogEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  FColor = clWindow;
}

void TDialogEdit::SetText(const std::string& Value) {
  if (Value == Text()) return;
  TCustomControl::SetText(Value);
  Invalidate();
  if (OnChange) OnChange(this);
}

void TDialogEdit::Paint() {
  PaintFrame(Canvas(), ClientRect(), clWindow, Focused());
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->Font()->SetColor(clWindowText);
  int Y = 2;
  size_t Start = 0;
  const std::string& S = Text();
  while (Start <= S.size() && Y < Height()) {
    size_t End = FMultiLine ? S.find('\n', Start) : std::string::npos;
    if (End == std::string::npos) End = S.size();
    Canvas()->TextOut(3, Y, std::string_view(S).substr(Start, End - Start));
    Y += LineHeight;
    Start = End + 1;
  }
  Canvas()->Brush()->SetStyle(bsSolid);
}

void TDialogEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_BACK) {
    std::string S = Text();
    PopCharacter(S);
    SetText(S);
    Key = 0;
  } else if (Key == VK_RETURN && FMultiLine) {
    if (Shift.Contains(ssCtrl)) {
      if (OnCtrlEnter) OnCtrlEnter(this);
    } else {
      SetText(Text() + "\n");
    }
    Key = 0;
  }
}

void TDialogEdit::WMChar(TMessage& Message) {
  const char32_t C = char32_t(Message.WParam);
  // Control characters (Enter, Backspace, Escape, Tab) are keys, not text.
  if (C >= 0x20 && C != 0x7F) {
    SetText(Text() + Utf8(C));
    Message.Result = 1;
    return;
  }
  TCustomControl::WMChar(Message);
}

void TDialogEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  SetFocus();
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

// ================================================================== TDialogButton

TDialogButton::TDialogButton(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  FColor = clBtnFace;
}

void TDialogButton::Click() {
  TCustomControl::Click();
  if (FModalResult == mrNone) return;
  if (TCustomForm* F = GetParentForm()) F->SetModalResult(FModalResult);
}

void TDialogButton::WndProc(TMessage& Message) {
  if (Message.Msg == CM_DIALOGKEY && Enabled() && Visible() &&
      ((Message.WParam == VK_RETURN && FDefault) || (Message.WParam == VK_ESCAPE && FCancel))) {
    Click();
    Message.Result = 1;
    return;
  }
  TCustomControl::WndProc(Message);
}

void TDialogButton::Paint() {
  PaintFrame(Canvas(), ClientRect(), clBtnFace, Focused() || FDefault);
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->Font()->SetColor(clBtnText);
  TRect R = ClientRect();
  Canvas()->TextRect(R, Caption(), TTextFormat{tfCenter, tfVerticalCenter, tfSingleLine});
  Canvas()->Brush()->SetStyle(bsSolid);
}

void TDialogButton::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_SPACE) {
    Click();
    Key = 0;
  }
}

// ================================================================ TDialogCheckBox

TDialogCheckBox::TDialogCheckBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  FColor = clBtnFace;
}

void TDialogCheckBox::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  Invalidate();
}

void TDialogCheckBox::Click() {
  SetChecked(!FChecked);
  TCustomControl::Click();
}

void TDialogCheckBox::Paint() {
  Canvas()->Brush()->SetColor(clBtnFace);
  Canvas()->FillRect(ClientRect());
  const TRect Box = Rect(1, (Height() - 12) / 2, 13, (Height() - 12) / 2 + 12);
  PaintFrame(Canvas(), Box, clWindow, Focused());
  if (FChecked) {
    Canvas()->Brush()->SetColor(clWindowText);
    Canvas()->FillRect(Rect(Box.Left + 3, Box.Top + 3, Box.Right - 3, Box.Bottom - 3));
  }
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->Font()->SetColor(clBtnText);
  Canvas()->TextOut(18, (Height() - LineHeight) / 2, Caption());
  Canvas()->Brush()->SetStyle(bsSolid);
}

void TDialogCheckBox::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_SPACE) {
    Click();
    Key = 0;
  }
}

// ================================================================== TDialogSwatch

TDialogSwatch::TDialogSwatch(TComponent* AOwner) : TCustomControl(AOwner) {}

void TDialogSwatch::Click() {
  TCustomControl::Click();
  if (FTarget) FTarget->SetText(ColorToString(Color()));
}

void TDialogSwatch::Paint() { PaintFrame(Canvas(), ClientRect(), Color(), false); }

// ================================================================== TEditorDialog

TEditorDialog::TEditorDialog(TComponent* AOwner, const std::string& ACaption, int AWidth, int AHeight) : TForm(AOwner) {
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetCaption(ACaption);
  SetColor(clBtnFace);
  SetBounds(0, 0, AWidth, AHeight);
  FOkButton = new TDialogButton(this);
  FOkButton->SetParent(this);
  FOkButton->SetCaption("OK");
  FOkButton->SetDefault(true);
  FOkButton->SetModalResult(mrOk);
  FOkButton->SetBounds(AWidth - 170, AHeight - 34, 75, 25);
  FOkButton->OnClick = TNotifyEvent::Bind<&TEditorDialog::OkClick>(this);
  FCancelButton = new TDialogButton(this);
  FCancelButton->SetParent(this);
  FCancelButton->SetCaption("Cancel");
  FCancelButton->SetCancel(true);
  FCancelButton->SetModalResult(mrCancel);
  FCancelButton->SetBounds(AWidth - 88, AHeight - 34, 75, 25);
}

void TEditorDialog::OkClick(TObject*) {
  // The button sets mrOk after this handler; an input that makes no value keeps the dialog open.
  if (!Validate())
    FOkButton->SetModalResult(mrNone);
  else
    FOkButton->SetModalResult(mrOk);
}

void TEditorDialog::DoShow() {
  TForm::DoShow();
  if (FFirstControl) SetActiveControl(FFirstControl);
}

void TEditorDialog::PaintWindow(HDC DC) {
  TForm::PaintWindow(DC);
  TCanvas Canvas;
  Canvas.SetHandle(DC);
  Canvas.Brush()->SetStyle(bsClear);
  Canvas.Font()->SetColor(clBtnText);
  for (const auto& [Pos, Text] : FLabels) Canvas.TextOut(Pos.X, Pos.Y, Text);
  Canvas.SetHandle(nullptr);
}

TDialogEdit* TEditorDialog::AddEdit(const std::string& Label, int Top, int Width) {
  FLabels.emplace_back(Point(12, Top + 3), Label);
  auto* E = new TDialogEdit(this);
  E->SetParent(this);
  E->SetBounds(90, Top, Width, 21);
  return E;
}

// =============================================================== TColorDialogForm

TColorDialogForm::TColorDialogForm(TComponent* AOwner) : TEditorDialog(AOwner, "Color", 300, 160) {
  FColorEdit = AddEdit("Color", 12, 190);
  FFirstControl = FColorEdit;
  static constexpr TColor Standard[] = {clBlack,  clMaroon, clGreen, clOlive,  clNavy, clPurple,  clTeal, clGray,
                                        clSilver, clRed,    clLime,  clYellow, clBlue, clFuchsia, clAqua, clWhite};
  int I = 0;
  for (TColor C : Standard) {
    auto* S = new TDialogSwatch(this);
    S->SetParent(this);
    S->SetColor(C);
    S->SetTarget(FColorEdit);
    S->SetBounds(12 + (I % 8) * 34, 44 + (I / 8) * 28, 30, 24);
    ++I;
  }
  SetSelectedColor(clBlack);
}

void TColorDialogForm::SetSelectedColor(TColor Value) {
  FColor = Value;
  FColorEdit->SetText(ColorToString(Value));
}

bool TColorDialogForm::Validate() {
  try {
    FColor = StringToColor(Trim(FColorEdit->Text()));
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

// ================================================================ TFontDialogForm

TFontDialogForm::TFontDialogForm(TComponent* AOwner) : TEditorDialog(AOwner, "Font", 320, 220), FFont(new TFont()) {
  FNameEdit = AddEdit("Name", 12, 210);
  FSizeEdit = AddEdit("Size", 40, 60);
  FColorEdit = AddEdit("Color", 68, 210);
  FFirstControl = FNameEdit;
  static const char* const Names[] = {"Bold", "Italic", "Underline", "Strikeout"};
  for (int I = 0; I < 4; ++I) {
    auto* B = new TDialogCheckBox(this);
    B->SetParent(this);
    B->SetCaption(Names[I]);
    B->SetBounds(12 + (I % 2) * 150, 100 + (I / 2) * 24, 140, 20);
    FStyleBoxes[I] = B;
  }
  SetEditedFont(FFont);
}

TFontDialogForm::~TFontDialogForm() { delete FFont; }

void TFontDialogForm::SetEditedFont(TFont* Value) {
  if (Value != FFont) FFont->Assign(Value);
  FNameEdit->SetText(FFont->Name());
  FSizeEdit->SetText(IntToStr(FFont->Size()));
  FColorEdit->SetText(ColorToString(FFont->Color()));
  for (int I = 0; I < 4; ++I) FStyleBoxes[I]->SetChecked(FFont->Style().Contains(TFontStyle(I)));
}

bool TFontDialogForm::Validate() {
  const std::string Name = Trim(FNameEdit->Text());
  int Size = 0;
  if (Name.empty() || !TryStrToInt(Trim(FSizeEdit->Text()), Size) || Size <= 0) return false;
  TColor Color;
  try {
    Color = StringToColor(Trim(FColorEdit->Text()));
  } catch (const EConvertError&) {
    return false;
  }
  TFontStyles Style;
  for (int I = 0; I < 4; ++I)
    if (FStyleBoxes[I]->Checked()) Style.Include(TFontStyle(I));
  FFont->SetName(Name);
  FFont->SetSize(Size);
  FFont->SetColor(Color);
  FFont->SetStyle(Style);
  return true;
}

// ============================================================= TStringsDialogForm

TStringsDialogForm::TStringsDialogForm(TComponent* AOwner)
    : TEditorDialog(AOwner, "String List Editor", 360, 260), FLines(new TStringList()) {
  FMemo = new TDialogEdit(this);
  FMemo->SetParent(this);
  FMemo->SetMultiLine(true);
  FMemo->SetBounds(12, 12, 336, 196);
  FMemo->OnCtrlEnter = [this](TObject*) { OkButton()->Click(); };
  FFirstControl = FMemo;
}

TStringsDialogForm::~TStringsDialogForm() { delete FLines; }

void TStringsDialogForm::SetLines(TStrings* Value) {
  if (Value != FLines) FLines->Assign(Value);
  // One line per item: the memo's text has no break after the last line.
  std::string Text;
  for (int I = 0; I < FLines->Count(); ++I) Text += (I ? "\n" : "") + FLines->Get(I);
  FMemo->SetText(Text);
}

bool TStringsDialogForm::Validate() {
  FLines->Clear();
  const std::string& Text = FMemo->Text();
  if (Text.empty()) return true;
  size_t Start = 0;
  for (;;) {
    const size_t End = Text.find('\n', Start);
    FLines->Add(Text.substr(Start, End == std::string::npos ? std::string::npos : End - Start));
    if (End == std::string::npos) break;
    Start = End + 1;
  }
  return true;
}

// ======================================================================== Execute

bool ExecuteColorDialog(TColor& Color) {
  std::unique_ptr<TColorDialogForm> Dialog(new TColorDialogForm(nullptr));
  Dialog->SetSelectedColor(Color);
  if (Dialog->ShowModal() != mrOk) return false;
  Color = Dialog->SelectedColor();
  return true;
}

bool ExecuteFontDialog(TFont* Font) {
  std::unique_ptr<TFontDialogForm> Dialog(new TFontDialogForm(nullptr));
  if (Font) Dialog->SetEditedFont(Font);
  if (Dialog->ShowModal() != mrOk) return false;
  if (Font) Font->Assign(Dialog->EditedFont());
  return true;
}

bool ExecuteStringsDialog(TStrings* Lines, const std::string& Caption) {
  std::unique_ptr<TStringsDialogForm> Dialog(new TStringsDialogForm(nullptr));
  if (!Caption.empty()) Dialog->SetCaption(Caption);
  if (Lines) Dialog->SetLines(Lines);
  if (Dialog->ShowModal() != mrOk) return false;
  if (Lines) Lines->Assign(Dialog->Lines());
  return true;
}

}  // namespace platform
