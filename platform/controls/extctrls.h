// The extra controls: panels, bevels, shapes, images and radio groups.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/stdctrls.h"
#include "platform/gfx/bitmap.h"

namespace platform {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
VEL_ENUM(TBevelCut, "ExtCtrls", bvNone, bvLowered, bvRaised, bvSpace);
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
VEL_ENUM(TBevelShape, "ExtCtrls", bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer);
enum TBevelStyle { bsLowered, bsRaised };
VEL_ENUM(TBevelStyle, "ExtCtrls", bsLowered, bsRaised);
/// Rounded shapes draw with square corners.
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
VEL_ENUM(TShapeType, "ExtCtrls", stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle);

// ------------------------------------------------------------------ TCustomPanel

/// \brief A container with bevels and a caption.
class TCustomPanel : public TCustomControl {
  VEL_CLASS(TCustomPanel, TCustomControl)
  explicit TCustomPanel(TComponent* AOwner);

  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

 protected:
  void Paint() override;
  /// Aligned children lie inside the bevels and the border.
  void AlignControls(TControl* AControl, TRect& Rect) override;
  int BevelSize() const;

  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  TAlignment FAlignment = taCenter;
};

/// \brief The panel.
class TPanel : public TCustomPanel {
  VEL_CLASS(TPanel, TCustomPanel)
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
  VEL_PUBLISH(P);
};

// ----------------------------------------------------------------------- TBevel

/// \brief A box, frame or line with a lowered or raised edge.
class TBevel : public TGraphicControl {
  VEL_CLASS(TBevel, TGraphicControl)
  explicit TBevel(TComponent* AOwner);

  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

  VEL_PUBLISH(P);

 protected:
  void Paint() override;

  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// ----------------------------------------------------------------------- TShape

/// \brief A rectangle, square, ellipse or circle drawn with its own pen and brush.
class TShape : public TGraphicControl {
  VEL_CLASS(TShape, TGraphicControl)
  explicit TShape(TComponent* AOwner);
  ~TShape() override;

  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType Value);
  TPen* Pen() const { return FPen; }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* Brush() const { return FBrush; }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

  VEL_PUBLISH(P);

 protected:
  void Paint() override;
  void StyleChanged(TObject* Sender);

  TShapeType FShape = stRectangle;
  TPen* FPen;
  TBrush* FBrush;
};

// ----------------------------------------------------------------------- TImage

/// \brief Shows a picture: at its size, centred, or stretched over the control.
class TImage : public TGraphicControl {
  VEL_CLASS(TImage, TGraphicControl)
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture; }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  /// Keeps the picture's proportions when stretching.
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  /// Sizes the control to the picture.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);

  /// Where the picture is drawn, in client coordinates.
  TRect DestRect() const;

  VEL_PUBLISH(P);

 protected:
  void Paint() override;
  void PictureChanged(TObject* Sender);

  TPicture* FPicture;
  bool FStretch = false;
  bool FCenter = false;
  bool FProportional = false;
  bool FAutoSize = false;
};

// ------------------------------------------------------------ TCustomRadioGroup

/// \brief A group box holding one radio button per item, in columns.
class TCustomRadioGroup : public TCustomGroupBox {
  VEL_CLASS(TCustomRadioGroup, TCustomGroupBox)
  explicit TCustomRadioGroup(TComponent* AOwner);
  ~TCustomRadioGroup() override;

  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  /// The checked item, -1 for none; a value outside the items unchecks them all.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  int Columns() const { return FColumns; }
  void SetColumns(int Value);
  /// The radio button of item Index (the group makes and owns them).
  TRadioButton* Buttons(int Index) const { return FButtons.at(size_t(Index)); }
  int ButtonCount() const { return int(FButtons.size()); }

  /// The buttons are the group's own; none of them is streamed.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

 protected:
  void Loaded() override;
  void ItemsChanged(TObject* Sender);
  void ButtonClick(TObject* Sender);
  void UpdateButtons();
  void ArrangeButtons();
  void Resize() override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;

  TStringList* FItems;
  std::vector<TRadioButton*> FButtons;
  int FItemIndex = -1;
  int FColumns = 1;
  bool FUpdating = false;
};

/// \brief The radio group.
class TRadioGroup : public TCustomRadioGroup {
  VEL_CLASS(TRadioGroup, TCustomRadioGroup)
  explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
  VEL_PUBLISH(P);
};

}  // namespace platform
