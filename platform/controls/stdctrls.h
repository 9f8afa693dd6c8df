// The standard controls: labels, buttons, check boxes, radio buttons, group
// boxes, edits, memos, list boxes and combo boxes.
//
// Sections: enumerations; publishing helpers; TCustomLabel/TLabel;
// TButtonControl, TButton, TCheckBox, TRadioButton; TCustomGroupBox/TGroupBox;
// TTextControl (the editing core), TCustomEdit/TEdit, TCustomMemo/TMemo;
// TCustomListBox/TListBox; TCustomComboBox/TComboBox.
//
// Every control paints itself in one flat style: clBtnFace faces with 1-pixel
// clBtnShadow borders, clWindow backgrounds for text and lists, clHighlight
// for the selection and the border of a focused control, clGrayText for the
// text of a disabled one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/controls.h"
#include "platform/controls/forms.h"
#include "platform/rtl/stringlist.h"

namespace platform {

// ----------------------------------------------------------------- enumerations

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
VEL_ENUM(TAlignment, "Classes", taLeftJustify, taRightJustify, taCenter);
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
VEL_ENUM(TCheckBoxState, "StdCtrls", cbUnchecked, cbChecked, cbGrayed);
/// Owner-drawn styles paint as csDropDownList; csSimple as csDropDown.
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
VEL_ENUM(TComboBoxStyle, "StdCtrls", csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable);

/// Registers every class of the standard and extra controls (done once at start-up).
void RegisterStdControls();

/// True when Caption marks CharCode as its accelerator ("&x"; ASCII letters
/// compare without case). Controls answer CM_DIALOGCHAR with it.
bool IsAccel(std::uint32_t CharCode, const std::string& Caption);

namespace detail {
// Published properties shared by the controls, in the order the classes list them.
void PublishAlignment(TPublisher& P);                             // Align, Anchors
void PublishAppearance(TPublisher& P, TColor DefaultColor);       // Color, Font, ParentColor, ParentFont
void PublishState(TPublisher& P);                                 // Enabled, PopupMenu, ShowHint, Visible
void PublishMouseEvents(TPublisher& P, bool WithDblClick);        // OnClick, OnDblClick, OnMouse...
void PublishFocusProperties(TPublisher& P, bool TabStopDefault);  // TabOrder, TabStop
void PublishKeyEvents(TPublisher& P);                             // OnEnter, OnExit, OnKey...
/// Draws a 1-pixel frame just inside R.
void DrawFrame(TCanvas* Canvas, const TRect& R, TColor Color);
/// Flat raised or sunken edge: TopLeft colour on the top and left, BottomRight on the others.
void DrawEdge3(TCanvas* Canvas, const TRect& R, TColor TopLeft, TColor BottomRight);
}  // namespace detail

// -------------------------------------------------------------------- TCustomLabel

/// \brief Text on the parent's surface; sized to its caption while AutoSize is on.
class TCustomLabel : public TGraphicControl {
  VEL_CLASS(TCustomLabel, TGraphicControl)
  explicit TCustomLabel(TComponent* AOwner);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  /// "&x" underlines x (and "&&" shows "&") while true.
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void Paint() override;
  void Loaded() override;
  /// An accelerator of the caption focuses FocusControl.
  void Dispatch(TMessage& Message) override;
  /// Resizes the label to its caption (keeping the right edge for right-aligned text).
  void AdjustBounds();
  TTextFormat TextFormat() const;
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMParentFontChanged(TMessage& Message) override;

  bool FAutoSize = true;
  TAlignment FAlignment = taLeftJustify;
  bool FWordWrap = false;
  bool FTransparent = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

/// \brief The label.
class TLabel : public TCustomLabel {
  VEL_CLASS(TLabel, TCustomLabel)
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
  VEL_PUBLISH(P);
};

// ------------------------------------------------------------------ button controls

/// \brief Base of buttons, check boxes and radio buttons: a focusable control that paints itself.
class TButtonControl : public TCustomControl {
  VEL_CLASS(TButtonControl, TCustomControl)
  explicit TButtonControl(TComponent* AOwner);

 protected:
  void WMLButtonDown(TMessage& Message) override;
  void WMLButtonUp(TMessage& Message) override;
  void WMMouseMove(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void CMEnabledChanged(TMessage& Message) override;
  /// An accelerator of the caption focuses and clicks the control.
  void Dispatch(TMessage& Message) override;
  /// The colour of the caption: clGrayText when disabled.
  TColor TextColor() const;
  /// Draws the caption (with its accelerator) in R and, when focused, a focus frame around it.
  void DrawCaption(const TRect& R, TTextFormat Format, bool FocusFrame);

  bool FPressed = false;  // the left button went down here and is over the control
};

/// \brief The push button; Default answers Enter, Cancel answers Escape.
class TButton : public TButtonControl {
  VEL_CLASS(TButton, TButtonControl)
  explicit TButton(TComponent* AOwner);

  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }

  /// Sets the parent form's ModalResult (when the button has one), then fires OnClick.
  void Click() override;

  VEL_PUBLISH(P);

 protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;

  bool FDefault = false;
  bool FCancel = false;
  TModalResult FModalResult = mrNone;
};

/// \brief Base of the check box: a box with a check mark and a caption.
class TCustomCheckBox : public TButtonControl {
  VEL_CLASS(TCustomCheckBox, TButtonControl)
  explicit TCustomCheckBox(TComponent* AOwner);

  TCheckBoxState State() const { return FState; }
  /// Changes the state and fires OnClick.
  void SetState(TCheckBoxState Value);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  /// taRightJustify puts the caption right of the box (the usual layout), taLeftJustify left of it.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

  /// A click moves to the next state (grayed in between when AllowGrayed).
  void Click() override;

 protected:
  void Paint() override;
  virtual void Toggle();

  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
};

/// \brief The check box.
class TCheckBox : public TCustomCheckBox {
  VEL_CLASS(TCheckBox, TCustomCheckBox)
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
  VEL_PUBLISH(P);
};

/// \brief A radio button: checking it unchecks the radio buttons beside it in the same parent.
class TRadioButton : public TButtonControl {
  VEL_CLASS(TRadioButton, TButtonControl)
  explicit TRadioButton(TComponent* AOwner);

  bool Checked() const { return FChecked; }
  /// Checking unchecks the siblings and fires OnClick.
  void SetChecked(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

  /// A click checks the button.
  void Click() override;

  VEL_PUBLISH(P);

 protected:
  void Paint() override;
  /// Arrow keys move the check to the next or previous radio button beside this one.
  void KeyDown(WORD& Key, TShiftState Shift) override;

  bool FChecked = false;
  TAlignment FAlignment = taRightJustify;
};

// ------------------------------------------------------------------- group box

/// \brief A container with a captioned frame.
class TCustomGroupBox : public TCustomControl {
  VEL_CLASS(TCustomGroupBox, TCustomControl)
  explicit TCustomGroupBox(TComponent* AOwner);

 protected:
  void Paint() override;
  /// Aligned children lie inside the frame, below the caption.
  void AlignControls(TControl* AControl, TRect& Rect) override;
  /// The height of the caption's text (the frame's top runs through its middle).
  int CaptionHeight();
};

/// \brief The group box.
class TGroupBox : public TCustomGroupBox {
  VEL_CLASS(TGroupBox, TCustomGroupBox)
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
  VEL_PUBLISH(P);
};

// ------------------------------------------------------------------ text editing

/// \brief The editing core of edits, memos and combo boxes: text with a
/// blinking caret, a selection, typing, deleting and the clipboard.
///
/// Positions (SelStart, SelLength) count characters (code points), not bytes.
/// A memo's lines are separated by "\n" in Text.
class TTextControl : public TCustomControl {
  VEL_CLASS(TTextControl, TCustomControl)
  explicit TTextControl(TComponent* AOwner);
  ~TTextControl() override;

  /// Replaces the text, puts the caret at its start and fires OnChange.
  void SetText(const std::string& Value) override;

  int SelStart() const;
  void SetSelStart(int Value);
  int SelLength() const;
  void SetSelLength(int Value);
  std::string SelText() const;
  /// Replaces the selection with Value (MaxLength and ReadOnly do not apply).
  void SetSelText(const std::string& Value);
  void SelectAll();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  /// The most characters typing may make (0: no limit).
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value) { FMaxLength = Value < 0 ? 0 : Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  /// The caret is drawn now (it blinks while the control has the focus).
  bool CaretShown() const { return FCaretShown; }
  /// The character position under a point in client coordinates.
  int CharFromPoint(TPoint P);

  TNotifyEvent OnChange;

  /// One line of the text: its characters' start index and count.
  struct TLine {
    std::string Text;
    int Start = 0;
    int Length = 0;
  };

 protected:
  virtual void Change();
  /// The part of the client area the text is drawn in.
  virtual TRect EditRect() const;
  /// Whether the text may be edited by typing at all.
  virtual bool Editable() const { return !FReadOnly; }
  /// Draws the text, the selection and the caret in EditRect.
  void PaintText();
  std::vector<TLine> SplitLines() const;
  int LineHeight();
  int CharCount() const;
  /// Replaces the characters [From, To) with S and puts the caret after it; fires OnChange.
  void ReplaceRange(int From, int To, const std::string& S, bool UserEdit);
  /// Inserts typed text in place of the selection, within MaxLength.
  void TypeText(const std::string& S);
  void DeleteSelection();
  void MoveCaret(int Pos, bool Extend);
  void ScrollCaretIntoView();
  void RestartCaret();
  /// Gives the canvas the control's font (for measuring outside painting too).
  void UpdateCanvasFont();
  /// The editing keys: caret movement, deleting, the clipboard, Enter and Tab of a memo.
  virtual void EditKey(WORD& Key, TShiftState Shift);

  void KeyDown(WORD& Key, TShiftState Shift) override;
  void WMChar(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMLButtonDblClk(TMessage& Message) override;
  void WMMouseMove(TMessage& Message) override;
  void WMLButtonUp(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMTimer(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  /// The wheel scrolls a multi-line text.
  void Dispatch(TMessage& Message) override;

  int FAnchor = 0;  // the fixed end of the selection
  int FCaret = 0;   // the moving end, where the caret is
  int FScrollX = 0;
  int FTopLine = 0;
  int FMaxLength = 0;
  bool FReadOnly = false;
  bool FModified = false;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  bool FMultiLine = false;
  bool FWantReturns = false;
  bool FWantTabs = false;
  bool FChangeOnSetText = true;  // setting Text fires OnChange
  bool FCaretShown = false;
  bool FMouseFocusing = false;
  bool FSelecting = false;
};

/// \brief The single-line edit.
class TCustomEdit : public TTextControl {
  VEL_CLASS(TCustomEdit, TTextControl)
  explicit TCustomEdit(TComponent* AOwner);

 protected:
  void Paint() override;
};

/// \brief The edit.
class TEdit : public TCustomEdit {
  VEL_CLASS(TEdit, TCustomEdit)
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
  VEL_PUBLISH(P);
};

/// \brief A multi-line edit; Lines gives the text line by line.
class TCustomMemo : public TCustomEdit {
  VEL_CLASS(TCustomMemo, TCustomEdit)
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  TStrings* Lines() const { return FLines; }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  /// Enter starts a new line (otherwise it goes to the form, for a default button).
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  /// Tab types a tab (otherwise it moves the focus).
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }

 protected:
  TStrings* FLines;
};

/// \brief The memo.
class TMemo : public TCustomMemo {
  VEL_CLASS(TMemo, TCustomMemo)
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
  VEL_PUBLISH(P);
};

// ------------------------------------------------------------------ list box

/// \brief A list of strings, one of which may be selected.
class TCustomListBox : public TCustomControl {
  VEL_CLASS(TCustomListBox, TCustomControl)
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  /// The selected item, -1 for none; a value outside the items selects none.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int Value);
  int ItemHeight() const;
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  /// The item under a point in client coordinates, or -1.
  int ItemAtPos(TPoint P, bool Existing);
  TRect ItemRect(int Index);

 protected:
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMMouseMove(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  /// The wheel scrolls the list.
  void Dispatch(TMessage& Message) override;
  void ItemsChanged(TObject* Sender);
  /// Selects an item because of input: scrolls it into view and fires OnClick.
  void SelectByUser(int Index);
  int VisibleRows() const;

  TStringList* FItems;
  int FItemIndex = -1;
  int FTopIndex = 0;
  bool FSorted = false;
};

/// \brief The list box.
class TListBox : public TCustomListBox {
  VEL_CLASS(TListBox, TCustomListBox)
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
  VEL_PUBLISH(P);
};

// ------------------------------------------------------------------ combo box

class TComboListWindow;

/// \brief An edit (or a fixed text for csDropDownList) with a list that drops down.
class TCustomComboBox : public TTextControl {
  VEL_CLASS(TCustomComboBox, TTextControl)
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  /// The selected item, -1 for none; selecting one shows its text.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) { FDropDownCount = Value < 1 ? 1 : Value; }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  /// Whether the list is shown.
  bool DroppedDown() const;
  void SetDroppedDown(bool Value);
  /// The top-level window of the list while it is shown (none otherwise).
  TCustomControl* ListWindow() const;

  void SetText(const std::string& Value) override;

  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnSelect;

 protected:
  friend class TComboListWindow;
  void Paint() override;
  TRect EditRect() const override;
  bool Editable() const override;
  TRect ButtonRect() const;
  void Loaded() override;
  void Change() override;
  void EditKey(WORD& Key, TShiftState Shift) override;
  void WMChar(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void ItemsChanged(TObject* Sender);
  /// The list picked an item: it becomes the selection, then OnSelect, OnChange and OnClick fire.
  void SelectFromList(int Index);

  TStringList* FItems;
  int FItemIndex = -1;
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
  bool FSorted = false;
  TComboListWindow* FList = nullptr;
};

/// \brief The combo box.
class TComboBox : public TCustomComboBox {
  VEL_CLASS(TComboBox, TCustomComboBox)
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
  VEL_PUBLISH(P);
};

}  // namespace platform
