// The design manager: the non-visual component that designs a stage.
//
// Sections: selection modes and arrangement enumerations; TVelDesignManager
// (life cycle, hooks, selection, reports, palette insertion, in-place editing,
// stage output, arrangement operations). The arrangement operations live in
// arrangement.cpp, everything else in manager.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "designer/messages.h"
#include "platform/controls/controls.h"
#include "platform/controls/menus.h"
#include "platform/designintf/designintf.h"
#include "platform/gfx/bitmap.h"

namespace vel {

class TVelDesignWndProcProxyList;
class TVelDesignStageProxy;
class TVelSizerList;
class TVelSizer;
class TVelStageSizer;
class TVelDesignCenter;
class TVelFormDesigner;
class TWynObjInspector;

/// How SelectControl treats the given control.
enum TControlSelectMode { csmSelect, csmAdd, csmDel, csmToggle, csmClear };
VEL_ENUM(TControlSelectMode, "VelDesigner", csmSelect, csmAdd, csmDel, csmToggle, csmClear);

/// Flip the children of the selected containers, or of the whole stage.
enum TFlipChildrenMode { fcSelected, fcAll };
VEL_ENUM(TFlipChildrenMode, "VelDesigner", fcSelected, fcAll);

/// How to align the selection along one axis.
enum TVelDesignAlignmentStyle { asNoChange, asLeftOrTop, asCenters, asRightOrBottom, asSpaceEqual, asCenterInWindow };
VEL_ENUM(TVelDesignAlignmentStyle, "VelDesigner", asNoChange, asLeftOrTop, asCenters, asRightOrBottom, asSpaceEqual,
         asCenterInWindow);

/// How to size the selection along one axis.
enum TVelDesignSizeStyle { ssNoChange, ssToSmallest, ssToLargest, ssCustom };
VEL_ENUM(TVelDesignSizeStyle, "VelDesigner", ssNoChange, ssToSmallest, ssToLargest, ssCustom);

/// Scale the whole stage, or only the selected windowed controls.
enum TVelDesignScaleStyle { ssAll, ssSelected };
VEL_ENUM(TVelDesignScaleStyle, "VelDesigner", ssAll, ssSelected);

/// The event after a palette insertion: Sender and the component just created.
using TDynInsComponentEvent = platform::TEvent<platform::TObject*, platform::TComponent*>;

}  // namespace vel

namespace platform {
VEL_EVENT_TYPE(vel::TDynInsComponentEvent, "VelDesigner", "Sender: TObject; Component: TComponent");
}

namespace vel {

/// \brief Designs a stage: hooks it and the windowed controls it owns, keeps the
/// selection as sizers, and reports to an attached design center.
class TVelDesignManager : public platform::TComponent, public IVelDesign {
  VEL_CLASS(TVelDesignManager, platform::TComponent)
  VEL_PUBLISH(P);
  explicit TVelDesignManager(platform::TComponent* AOwner);
  ~TVelDesignManager() override;

  // Published properties.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  platform::TWinControl* DesignStage() const { return FDesignStage; }
  void SetDesignStage(platform::TWinControl* Value);
  platform::TPopupMenu* DesignPopupMenu() const { return FDesignPopupMenu; }
  void SetDesignPopupMenu(platform::TPopupMenu* Value);
  platform::TMouseMoveEvent OnStageMouseMove;
  platform::TNotifyEvent OnCompsChange;
  platform::TNotifyEvent OnControlsMoved;
  /// Fired after a palette insertion, with the manager and the new component.
  TDynInsComponentEvent OnDynInsComponent;

  // Life cycle and set-up.
  bool IsDesigning() const { return FIsDesigning; }
  void SetIsDesigning(bool Value);
  void InitDesigning();
  void DoneDesigning();
  bool Dirty() const { return FDirty; }
  void SetDirty(bool Value);
  bool EmbedEditing() const { return FEmbedEditing; }
  TVelDesignCenter* ConsoleCenter() const { return FConsoleCenter; }
  /// Attaches (a center) or detaches (none) the design center.
  void SetConsoleCenter(platform::TComponent* Value);
  TWynObjInspector* ObjInspector() const { return FObjInspector; }
  void SetObjInspector(TWynObjInspector* Value);
  void NotifyObjInspector();

  void InstallAllProxies();
  void ReleaseAllProxies();
  /// Does nothing: sizers follow the selection.
  void InstallAllSizers() {}
  void ReleaseAllSizers();
  void InstallStageProxy();
  void ReleaseStageProxy();
  void InstallStageSizer();
  void ReleaseStageSizer();
  void AddProxiedControl(platform::TWinControl* Control);

  TVelDesignWndProcProxyList* DesignProxies() const { return FProxyList.get(); }
  /// Replaces the proxy list's entries with copies of List's entries.
  void SetDesignProxies(const platform::TList* List);
  TVelSizerList* Sizers() const { return FSizerList.get(); }
  /// Replaces the sizer list's entries with copies of List's entries.
  void SetSizers(const platform::TList* List);
  TVelDesignStageProxy* StageProxy() const { return FStageProxy.get(); }
  /// Releases the current stage proxy's hook and takes Value (ownership passes).
  void SetStageProxy(TVelDesignStageProxy* Value);
  TVelStageSizer* StageSizer() const { return FStageSizer; }
  /// Copies Value into the manager's own stage sizer.
  void SetStageSizer(TVelStageSizer* Value);

  void Notification(platform::TComponent* AComponent, platform::TOperation Operation) override;
  /// True when AComponent's owner is the design stage.
  bool ComponentBelongToStage(const platform::TComponent* AComponent) const;

  // Selection.
  void SelectControl(platform::TControl* Control, platform::TPoint Pos, TControlSelectMode Mode, bool Notify,
                     bool StartDrag);
  void SelectControlInRect(platform::TRect Rect, TControlSelectMode Mode);
  bool ControlInRect(const platform::TControl* Control, const platform::TRect& Rect) const;
  platform::TComponentList* SelectedComps() const { return FSelectedComps.get(); }
  void FillSelectedComps();
  void SetSelectedComps(const platform::TComponentList* List);
  void ReSelectComps();
  void Refresh() { ReSelectComps(); }
  void DeselectAll();
  void DeselectComponent();
  void DeselectUnsiblingControl(const platform::TControl* Control, bool AlsoNonControls);
  void DelSelectedControls();
  /// The only sizer when exactly one control is selected, else none.
  TVelSizer* GetSelectSizer() const;

  // Reports from sizers, proxies and the stage proxy.
  void SizersMoved();
  void SizersModified();
  void CtrlMoved(platform::TControl* Control);
  void RefreshSizers();
  void RepaintSizers();
  void EnvokeStageMouseMove(platform::TControl* Control, platform::TShiftState Shift, platform::TPoint Pos);

  // Palette insertion.
  bool GetIsDynInsComp() const;
  platform::TComponentClass GetDynInsCompClass() const;
  void DynInsCompDone(platform::TComponent* Component);

  // In-place editing.
  void StartEmbedEdit();
  void EndEmbedEdit();
  bool CanProxyInterceptMsgs() const { return !FEmbedEditing; }
  bool GetIsRubbering() const;

  // Stage output.
  void GetStageBitmap(platform::TBitmap* Bitmap);
  void GetStagePicture(platform::TPicture* Picture);
  void PrintStage();

  /// The run-time designer handed to component and property editors.
  platform::TInterfaceRef<platform::IDesigner> GetDesignerIntf() const;

  // Grid settings, kept by the stage proxy.
  bool GetDisplayGrid() const;
  void SetDisplayGrid(bool Value);
  int GetGridSizeX() const;
  void SetGridSizeX(int Value);
  int GetGridSizeY() const;
  void SetGridSizeY(int Value);

  /// The private message the manager posts to the stage when a component is
  /// announced from inside its own construction; the stage proxy hands it
  /// back to TakeInConstructedComponents.
  static platform::UINT ConstructedMsg();
  /// Takes in the stage components whose construction has completed since
  /// they were announced (naming, hooking, reporting).
  void TakeInConstructedComponents();

  // Arrangement operations.
  void BringSelCtrlsToFront();
  void SendSelCtrlsToBack();
  void FlipChildren(TFlipChildrenMode Mode);
  void SetSelCtrlDesignAligment(TVelDesignAlignmentStyle HorizontalAlignment,
                                TVelDesignAlignmentStyle VerticalAlignment);
  void SetSelCtrlDesignSize(TVelDesignSizeStyle WidthStyle, TVelDesignSizeStyle HeightStyle, int WidthSize,
                            int HeightSize);
  void ScaleControls(int ScaleFactor, TVelDesignScaleStyle ScaleStyle);
  void SelectAllControls();

 private:
  bool FEmbedEditing = false;
  std::unique_ptr<TVelDesignWndProcProxyList> FProxyList;
  bool FIsDesigning = false;
  platform::TWinControl* FDesignStage = nullptr;
  std::unique_ptr<TVelSizerList> FSizerList;
  std::unique_ptr<TVelDesignStageProxy> FStageProxy;
  TVelStageSizer* FStageSizer = nullptr;
  std::unique_ptr<platform::TComponentList> FSelectedComps;
  TWynObjInspector* FObjInspector = nullptr;
  TVelDesignCenter* FConsoleCenter = nullptr;
  platform::TPopupMenu* FDesignPopupMenu = nullptr;
  bool FDirty = false;
  platform::TInterfaceRef<platform::IDesigner> FDesigner;
  bool FEnabled = true;

  std::unique_ptr<platform::TComponentList> FPendingInserts;
  // What the sizers were last refitted to: while nothing inside the stage has
  // moved and the sizers are the same, a refit would change nothing.
  bool FFitValid = false;
  const platform::TWinControl* FFitStage = nullptr;
  std::uint64_t FFitStamp = 0;
  std::uint64_t FFitGeneration = 0;

  void ComponentInserted(platform::TComponent* AComponent);
  std::vector<platform::TComponent*> StageComponents() const;
  void HorzSpaceEqual(const platform::TRect& Range);
  void VertSpaceEqual(const platform::TRect& Range);
  void WatchReference(platform::TComponent* Old, platform::TComponent* New);
};

}  // namespace vel
