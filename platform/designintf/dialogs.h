// The dialogs of the standard property editors: colour, font and string list.
// Each is a modal form built in code from a few small controls of its own
// (a text box, a push button, a check box and a colour swatch).
//
// Keys: Enter answers OK (in the string-list box it starts a new line, and
// Ctrl+Enter answers OK), Escape cancels, Tab moves between the controls. OK
// with a text that is no valid value keeps the dialog open.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/controls/forms.h"
#include "platform/rtl/stringlist.h"

namespace platform {

// ------------------------------------------------------------- small controls

/// \brief A text box: one line, or several when MultiLine. Typing appends at
/// the end, Backspace removes the last character.
class TDialogEdit : public TCustomControl {
  VEL_CLASS(TDialogEdit, TCustomControl)
  explicit TDialogEdit(TComponent* AOwner);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value) { FMultiLine = Value; }
  /// Called for Ctrl+Enter in a multi-line box.
  TNotifyEvent OnCtrlEnter;
  TNotifyEvent OnChange;
  void SetText(const std::string& Value) override;

 protected:
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void WMChar(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  bool FMultiLine = false;
};

/// \brief A push button: a click ends the modal form with ModalResult (unless
/// OnClick, run first, sets the form's ModalResult back to mrNone). The
/// default button answers Enter, the cancel button Escape.
class TDialogButton : public TCustomControl {
  VEL_CLASS(TDialogButton, TCustomControl)
  explicit TDialogButton(TComponent* AOwner);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  void Click() override;
  void WndProc(TMessage& Message) override;

 protected:
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;

 private:
  TModalResult FModalResult = mrNone;
  bool FDefault = false;
  bool FCancel = false;
};

/// \brief A check box: a click or Space toggles Checked.
class TDialogCheckBox : public TCustomControl {
  VEL_CLASS(TDialogCheckBox, TCustomControl)
  explicit TDialogCheckBox(TComponent* AOwner);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  void Click() override;

 protected:
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;

 private:
  bool FChecked = false;
};

/// \brief A field of one colour; a click puts the colour's name into Target.
class TDialogSwatch : public TCustomControl {
  VEL_CLASS(TDialogSwatch, TCustomControl)
  explicit TDialogSwatch(TComponent* AOwner);
  TDialogEdit* Target() const { return FTarget; }
  void SetTarget(TDialogEdit* Value) { FTarget = Value; }
  void Click() override;

 protected:
  void Paint() override;

 private:
  TDialogEdit* FTarget = nullptr;
};

// --------------------------------------------------------------------- dialogs

/// \brief The base of the editor dialogs: OK and Cancel buttons at the bottom
/// right; OK only closes the form when Validate accepts the input.
class TEditorDialog : public TForm {
  VEL_CLASS(TEditorDialog, TForm)
  TEditorDialog(TComponent* AOwner, const std::string& ACaption, int AWidth, int AHeight);
  TDialogButton* OkButton() const { return FOkButton; }
  TDialogButton* CancelButton() const { return FCancelButton; }
  /// True when the input makes a value; the base accepts everything.
  virtual bool Validate() { return true; }

 protected:
  void DoShow() override;
  void PaintWindow(HDC DC) override;
  /// A labelled text box at Top.
  TDialogEdit* AddEdit(const std::string& Label, int Top, int Width);
  /// The control that has the focus when the dialog opens.
  TWinControl* FFirstControl = nullptr;

 private:
  void OkClick(TObject* Sender);
  std::vector<std::pair<TPoint, std::string>> FLabels;
  TDialogButton* FOkButton;
  TDialogButton* FCancelButton;
};

/// \brief Picks a colour: its name or number in a text box, or one of the standard colours.
class TColorDialogForm : public TEditorDialog {
  VEL_CLASS(TColorDialogForm, TEditorDialog)
  explicit TColorDialogForm(TComponent* AOwner);
  TColor SelectedColor() const { return FColor; }
  void SetSelectedColor(TColor Value);
  TDialogEdit* ColorEdit() const { return FColorEdit; }
  bool Validate() override;

 private:
  TDialogEdit* FColorEdit;
  TColor FColor = clBlack;
};

/// \brief Edits a font's name, size, style and colour.
class TFontDialogForm : public TEditorDialog {
  VEL_CLASS(TFontDialogForm, TEditorDialog)
  explicit TFontDialogForm(TComponent* AOwner);
  ~TFontDialogForm() override;
  /// The font being edited (a copy the dialog owns).
  TFont* EditedFont() const { return FFont; }
  void SetEditedFont(TFont* Value);
  TDialogEdit* NameEdit() const { return FNameEdit; }
  TDialogEdit* SizeEdit() const { return FSizeEdit; }
  TDialogEdit* ColorEdit() const { return FColorEdit; }
  /// The check boxes of bold, italic, underline and strike-out, in that order.
  TDialogCheckBox* StyleBox(TFontStyle Style) const { return FStyleBoxes[Style]; }
  bool Validate() override;

 private:
  TFont* FFont;
  TDialogEdit* FNameEdit;
  TDialogEdit* FSizeEdit;
  TDialogEdit* FColorEdit;
  TDialogCheckBox* FStyleBoxes[4];
};

/// \brief Edits a string list, one line per item.
class TStringsDialogForm : public TEditorDialog {
  VEL_CLASS(TStringsDialogForm, TEditorDialog)
  explicit TStringsDialogForm(TComponent* AOwner);
  ~TStringsDialogForm() override;
  /// The lines being edited (a copy the dialog owns).
  TStrings* Lines() const { return FLines; }
  void SetLines(TStrings* Value);
  TDialogEdit* Memo() const { return FMemo; }
  bool Validate() override;

 private:
  TStringList* FLines;
  TDialogEdit* FMemo;
};

/// Runs the colour dialog on Color; true (and the new colour) on OK.
bool ExecuteColorDialog(TColor& Color);
/// Runs the font dialog on a copy of Font; on OK, Font receives the result and true is returned.
bool ExecuteFontDialog(TFont* Font);
/// Runs the string-list dialog on a copy of Lines; on OK, Lines receives the result.
bool ExecuteStringsDialog(TStrings* Lines, const std::string& Caption);

}  // namespace platform
