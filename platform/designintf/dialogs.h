// The dialogs of the standard property editors: colour, font and string list,
// modal forms built in code from the standard controls.
//
// Keys: Enter answers OK (in the string-list memo it starts a new line),
// Escape cancels, Tab moves between the controls. OK with a text that is no
// valid value keeps the dialog open.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/stringlist.h"

namespace platform {

// --------------------------------------------------------------------- dialogs

/// \brief The base of the editor dialogs: OK and Cancel buttons at the bottom
/// right; OK only closes the form when Validate accepts the input.
class TEditorDialog : public TForm {
  VEL_CLASS(TEditorDialog, TForm)
  TEditorDialog(TComponent* AOwner, const std::string& ACaption, int AWidth, int AHeight);
  TButton* OkButton() const { return FOkButton; }
  TButton* CancelButton() const { return FCancelButton; }
  /// True when the input makes a value; the base accepts everything.
  virtual bool Validate() { return true; }

 protected:
  void DoShow() override;
  /// A labelled edit at Top.
  TEdit* AddEdit(const std::string& Label, int Top, int Width);
  /// The control that has the focus when the dialog opens.
  TWinControl* FFirstControl = nullptr;

 private:
  void OkClick(TObject* Sender);
  TButton* FOkButton;
  TButton* FCancelButton;
};

/// \brief Picks a colour: its name or number in a text box, or one of the standard colours.
class TColorDialogForm : public TEditorDialog {
  VEL_CLASS(TColorDialogForm, TEditorDialog)
  explicit TColorDialogForm(TComponent* AOwner);
  TColor SelectedColor() const { return FColor; }
  void SetSelectedColor(TColor Value);
  TEdit* ColorEdit() const { return FColorEdit; }
  /// The field of one of the sixteen standard colours (none for another colour).
  TPanel* Swatch(TColor Color) const;
  bool Validate() override;

 private:
  void SwatchClick(TObject* Sender);
  TEdit* FColorEdit;
  std::vector<TPanel*> FSwatches;
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
  TEdit* NameEdit() const { return FNameEdit; }
  TEdit* SizeEdit() const { return FSizeEdit; }
  TEdit* ColorEdit() const { return FColorEdit; }
  /// The check box of a style (bold, italic, underline, strike-out).
  TCheckBox* StyleBox(TFontStyle Style) const { return FStyleBoxes[Style]; }
  bool Validate() override;

 private:
  TFont* FFont;
  TEdit* FNameEdit;
  TEdit* FSizeEdit;
  TEdit* FColorEdit;
  TCheckBox* FStyleBoxes[4];
};

/// \brief Edits a string list, one line per item.
class TStringsDialogForm : public TEditorDialog {
  VEL_CLASS(TStringsDialogForm, TEditorDialog)
  explicit TStringsDialogForm(TComponent* AOwner);
  ~TStringsDialogForm() override;
  /// The lines being edited (a copy the dialog owns).
  TStrings* Lines() const { return FLines; }
  void SetLines(TStrings* Value);
  TMemo* Memo() const { return FMemo; }
  bool Validate() override;

 private:
  TStringList* FLines;
  TMemo* FMemo;
};

/// Runs the colour dialog on Color; true (and the new colour) on OK.
bool ExecuteColorDialog(TColor& Color);
/// Runs the font dialog on a copy of Font; on OK, Font receives the result and true is returned.
bool ExecuteFontDialog(TFont* Font);
/// Runs the string-list dialog on a copy of Lines; on OK, Lines receives the result.
bool ExecuteStringsDialog(TStrings* Lines, const std::string& Caption);

}  // namespace platform
