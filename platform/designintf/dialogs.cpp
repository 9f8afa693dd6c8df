#include "platform/designintf/dialogs.h"

#include <memory>

#include "platform/gfx/colors.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TEditorDialog, "DesignDialogs");
VEL_IMPLEMENT_CLASS(TColorDialogForm, "DesignDialogs");
VEL_IMPLEMENT_CLASS(TFontDialogForm, "DesignDialogs");
VEL_IMPLEMENT_CLASS(TStringsDialogForm, "DesignDialogs");

// ================================================================== TEditorDialog

TEditorDialog::TEditorDialog(TComponent* AOwner, const std::string& ACaption, int AWidth, int AHeight) : TForm(AOwner) {
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetCaption(ACaption);
  SetColor(clBtnFace);
  SetBounds(0, 0, AWidth, AHeight);
  FOkButton = new TButton(this);
  FOkButton->SetParent(this);
  FOkButton->SetCaption("OK");
  FOkButton->SetDefault(true);
  FOkButton->SetModalResult(mrOk);
  FOkButton->SetBounds(AWidth - 170, AHeight - 34, 75, 25);
  FOkButton->OnClick = TNotifyEvent::Bind<&TEditorDialog::OkClick>(this);
  FCancelButton = new TButton(this);
  FCancelButton->SetParent(this);
  FCancelButton->SetCaption("Cancel");
  FCancelButton->SetCancel(true);
  FCancelButton->SetModalResult(mrCancel);
  FCancelButton->SetBounds(AWidth - 88, AHeight - 34, 75, 25);
}

void TEditorDialog::OkClick(TObject*) {
  // The button has answered mrOk already; input that makes no value keeps the dialog open.
  if (!Validate()) SetModalResult(mrNone);
}

void TEditorDialog::DoShow() {
  TForm::DoShow();
  if (FFirstControl) SetActiveControl(FFirstControl);
}

TEdit* TEditorDialog::AddEdit(const std::string& Label, int Top, int Width) {
  auto* L = new TLabel(this);
  L->SetParent(this);
  L->SetCaption(Label);
  L->SetBounds(12, Top + 3, 70, 16);
  auto* E = new TEdit(this);
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
    auto* S = new TPanel(this);
    S->SetParent(this);
    S->SetCaption("");
    S->SetColor(C);
    S->SetBounds(12 + (I % 8) * 34, 44 + (I / 8) * 28, 30, 24);
    S->OnClick = TNotifyEvent::Bind<&TColorDialogForm::SwatchClick>(this);
    FSwatches.push_back(S);
    ++I;
  }
  SetSelectedColor(clBlack);
}

TPanel* TColorDialogForm::Swatch(TColor Color) const {
  for (TPanel* S : FSwatches)
    if (S->Color() == Color) return S;
  return nullptr;
}

void TColorDialogForm::SwatchClick(TObject* Sender) {
  if (auto* S = dynamic_cast<TPanel*>(Sender)) FColorEdit->SetText(ColorToString(S->Color()));
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
    auto* B = new TCheckBox(this);
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
  FMemo = new TMemo(this);
  FMemo->SetParent(this);
  FMemo->SetBounds(12, 12, 336, 196);
  FFirstControl = FMemo;
}

TStringsDialogForm::~TStringsDialogForm() { delete FLines; }

void TStringsDialogForm::SetLines(TStrings* Value) {
  if (Value != FLines) FLines->Assign(Value);
  FMemo->Lines()->Assign(FLines);
}

bool TStringsDialogForm::Validate() {
  FLines->Assign(FMemo->Lines());
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
