// Sizers: the grab-handle frames around selected controls, and their list.
//
// A sizer is a transparent child window two pixels larger than its control on
// every side. A drag moves the sizer only; at the end it writes its bounds
// back to the control. The dragged sizer (the move sender) posts each step to
// the other sizers of its list, which follow. A single selected control's
// sizer offers eight handles that the window system's move-and-size loop
// resizes from.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "designer/messages.h"
#include "platform/controls/controls.h"
#include "platform/rtl/list.h"

namespace vel {

class TVelDesignManager;
class TVelSizerList;

/// How a sizer shows itself.
enum TVelSizerMode { smSingle, smMulti, smConceal, smNone };
VEL_ENUM(TVelSizerMode, "VelDesigner", smSingle, smMulti, smConceal, smNone);

/// \brief The grab-handle frame of one selected control.
class TVelSizer : public platform::TCustomControl, public IVelDesign {
  VEL_CLASS(TVelSizer, platform::TCustomControl)
  VEL_PUBLISH(P);
  /// A sizer for a sizer list, bound to no control.
  explicit TVelSizer(platform::TComponent* AOwner);
  /// A sizer bound to Control at once, in Control's parent (for the ready-made stage).
  TVelSizer(platform::TComponent* AOwner, platform::TControl* Control);
  ~TVelSizer() override;

  // Published properties.
  platform::TControl* Control() const { return FControl; }
  void SetControl(platform::TControl* Value);
  TVelSizerMode SizerMode() const { return FMode; }
  void SetSizerMode(TVelSizerMode Value);
  TVelSizerList* SizerList() const { return FSizerList; }
  void SetSizerList(TVelSizerList* Value) { FSizerList = Value; }
  bool SimulateMouseDownWhenSetControl() const { return FSimulateMouseDown; }
  void SetSimulateMouseDownWhenSetControl(bool Value) { FSimulateMouseDown = Value; }
  platform::TColor SingleSelColor() const { return FSingleSelColor; }
  void SetSingleSelColor(platform::TColor Value);
  platform::TColor MultiSelColor() const { return FMultiSelColor; }
  void SetMultiSelColor(platform::TColor Value);

  bool IsMoveSender() const { return FIsMoveSender; }
  bool Moving() const { return FMoving; }
  bool EmbedEditing() const { return FEmbedEditing; }
  platform::TPoint LastMousePos() const { return FLastMousePos; }
  /// The handle rectangle of index 1..8 (sizer client coordinates).
  const platform::TRect& PaintRect(int Index) const { return FPaintRects[Index - 1]; }

  // Geometry.
  virtual platform::TWinControl* SizerParent() const;
  virtual void UpdatePaintRects();
  virtual void UpdateBounds();
  virtual void FeedbackBounds();
  virtual void BindToControl();

  // Moving.
  void StartMove();
  void EndMove();
  void BeginMoveAsSender(platform::TPoint ScreenPos);
  void ManualMove(int DX, int DY, bool AsSender, bool AndEnd);
  void BroadcastMovedMsg(int DX, int DY);
  void BroadcastMoveStartMsg();
  void BroadcastMoveEndMsg();

  // In-place editing.
  void StartEmbedEdit();
  void EndEmbedEdit();

  void LaunchCompEditor(platform::TComponent* Component);
  void BringCtrlToFront();
  void SendCtrlToBack();
  void FlipChildren(bool AllLevels) override;
  void DelCurrControl();
  /// Forgets the control without unbinding or repainting.
  void SizerControlExit(platform::TObject* Sender);

  void Notification(platform::TComponent* AComponent, platform::TOperation Operation) override;
  void WndProc(platform::TMessage& Message) override;

 protected:
  void CreateHandle() override;
  void CreateParams(platform::TCreateParams& Params) override;
  void Paint() override;
  void MouseMove(platform::TShiftState Shift, int X, int Y) override;
  void KeyDown(platform::WORD& Key, platform::TShiftState Shift) override;
  void KeyUp(platform::WORD& Key, platform::TShiftState Shift) override;

  void WMNCHitTest(platform::TMessage& Message) override;
  void WMSize(platform::TMessage& Message) override;
  void WMLButtonDown(platform::TMessage& Message) override;
  void WMLButtonUp(platform::TMessage& Message) override;
  void WMLButtonDblClk(platform::TMessage& Message) override;
  void WMRButtonUp(platform::TMessage& Message) override;
  void WMMove(platform::TMessage& Message) override;
  void WMMoving(platform::TMessage& Message) override;

  /// The handle codes of the handles under P (sizer client coordinates), the
  /// last matching handle winning; 0 when none.
  platform::LRESULT HandleHitTest(platform::TPoint P) const;
  /// Paints the handles of the given indexes filled and outlined in Color.
  void PaintHandles(platform::TColor Color, bool CornersOnly);
  /// The window that in-place editing talks to: the control when windowed,
  /// else its parent; none without one.
  platform::TWinControl* EmbedEditTarget() const;

  std::array<platform::TRect, 8> FPaintRects{};
  std::array<platform::LRESULT, 8> FHitTestCodes{};
  bool FIsMoveSender = false;
  platform::TPoint FLastMousePos{};
  bool FMoving = false;
  bool FEmbedEditing = false;

 private:
  friend class TVelSizerList;
  platform::TControl* FControl = nullptr;
  TVelSizerMode FMode = smSingle;
  int FListEntries = 0;              // entries of sizer lists that hold this sizer
  TVelSizerList* FHolder = nullptr;  // the list that holds it
  /// Tells the list that holds this sizer that its control changed.
  void ControlChanged();
  TVelSizerList* FSizerList = nullptr;
  bool FSimulateMouseDown = false;
  platform::TColor FSingleSelColor;
  platform::TColor FMultiSelColor;
  void InitSizer();
};

/// \brief The manager's sizers, one per selected control; frees a sizer when it
/// deletes its entry.
class TVelSizerList : public platform::TList {
  VEL_CLASS(TVelSizerList, platform::TList)
  TVelSizerList() = default;
  ~TVelSizerList() override;

  TVelDesignManager* DesignManager() const { return FDesignManager; }
  void SetDesignManager(TVelDesignManager* Value) { FDesignManager = Value; }

  int AddControl(platform::TControl* Control, platform::TComponent* Owner, bool Unique);
  int AddSizer(TVelSizer* Sizer);
  void DelSizer(int Index);
  void DelControl(const platform::TComponent* Control);
  void ClearSizer();
  void DelAllUnSibling(const TVelSizer* Sizer);
  void DelUnassignedSizers();
  void RemoveAllSizerAndCtrls();
  int GetControlIndex(const platform::TComponent* Control) const;
  TVelSizer* GetSizers(int Index) const { return static_cast<TVelSizer*>(Get(Index)); }
  void SetSizers(int Index, TVelSizer* Sizer) { Put(Index, Sizer); }

  virtual void UpdateAllSizerMode();
  void BroadcastMessageToAllSizers(platform::UINT Msg, platform::WPARAM WParam, platform::LPARAM LParam);
  void NotifyMoved();
  void NotifySizerModified();
  void RepaintAllSizers();
  void RepaintSizers();
  void SetAllEnabled(bool Value);

  /// Changes whenever an entry is added or removed or a listed sizer is bound
  /// to another control: an unchanged value means the same sizers for the
  /// same controls (in possibly another order).
  std::uint64_t Generation() const { return FShared ? ++FGeneration : FGeneration; }

 protected:
  void Notify(void* Ptr, platform::TListNotification Action) override;

 private:
  friend class TVelSizer;
  TVelDesignManager* FDesignManager = nullptr;
  mutable std::uint64_t FGeneration = 0;
  // Set once a sizer of this list also sits in another one: the list is no
  // longer told of every change of its sizers and trusts none of its shortcuts.
  bool FShared = false;
  // The first entry of each control (sizers without one under none), so that
  // a lookup need not walk the list; rebuilt when it may be out of step.
  mutable std::unordered_map<const platform::TComponent*, int> FControlIndex;
  mutable bool FControlIndexValid = false;
  mutable bool FControlIndexAmbiguous = false;  // a control has several entries
  mutable int FIndexedCount = 0;
  // The listed sizers whose mode is not smMulti, so that a mode update of a
  // long list need not visit every sizer.
  std::unordered_set<TVelSizer*> FNotMulti;
  /// Removes empty entries and shrinks the capacity to the count.
  void PackTight();
  void BuildControlIndex() const;
  void ControlsChanged();
};

}  // namespace vel
