// The design stage's own pieces: the stage proxy (selection messages, the
// rubber band, the Delete key, the design menu on a right click, the grid),
// the stage sizer (the frame around a selected stage), the rubber band, and
// the ready-made overlay stage for simple uses without a manager.
#pragma once

#include <memory>

#include "designer/proxy.h"
#include "designer/sizer.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"

namespace vel {

class TVelRubberBand;

/// \brief The proxy hooked into the design stage's window procedure.
class TVelDesignStageProxy : public TVelDesignWndProcProxy {
  VEL_CLASS(TVelDesignStageProxy, TVelDesignWndProcProxy)
  explicit TVelDesignStageProxy(platform::TWinControl* Control);
  ~TVelDesignStageProxy() override;

  platform::TPoint SelectionPos() const { return FSelectionPos; }
  /// The band of the area drag under way, or none.
  TVelRubberBand* RubberBand() const;

  virtual void SelectControl(platform::TControl* Control, int KeyFlags, platform::TPoint Pos);
  void StartRubberBand(platform::TPoint Pos);
  void EndRubberBand();
  platform::TComponent* GetSelectedCtrl(const platform::TMessage& Message) const;
  /// True when Control is the stage or a control inside it (a selection
  /// message may arrive after its control was destroyed).
  bool IsStageControl(const platform::TControl* Control) const;

  bool DisplayGrid() const { return FDisplayGrid; }
  void SetDisplayGrid(bool Value);
  int GridSizeX() const { return FGridSizeX; }
  void SetGridSizeX(int Value);
  int GridSizeY() const { return FGridSizeY; }
  void SetGridSizeY(int Value);
  /// The bitmap of one grid cell, its top-left pixel marked.
  platform::TBitmap* GridTemplate() const { return FGridTemplate.get(); }
  void DrawGridTemplate();
  /// Draws a 2 by 2 dot at every grid point of the stage's client area.
  void DrawGrid(platform::HDC DC);

  void ReleaseNewWndProc() override;
  void ProxyWndMethod(platform::TMessage& Message) override;
  void ProxyMouseDown(platform::TMessage& Message) override;
  void ProxyMouseUp(platform::TMessage& Message) override;
  void ProxyMouseMove(platform::TMessage& Message) override;
  void ProxyMoved(platform::TMessage& Message) override;
  void ProxySized(platform::TMessage& Message) override;
  void ProxyVELNCtrlMoved(platform::TMessage& Message) override;

 protected:
  bool IsControlProxy() const override { return false; }

 private:
  platform::TPoint FSelectionPos{};
  // Holds the band while it exists; it drops the band if the stage destroys it.
  std::unique_ptr<platform::TComponentList> FRubberBand;
  std::unique_ptr<platform::TBitmap> FGridTemplate;
  bool FDisplayGrid = false;
  int FGridSizeX = 4;
  int FGridSizeY = 4;
  std::unique_ptr<platform::TCanvas> FGridCanvas;
  void FreeRubberBand();
};

/// How far the stage sizer lets the stage be moved and resized.
enum TVelStageSizerMode { ssmNormal, ssmFixed, ssmFixedTopLeft };
VEL_ENUM(TVelStageSizerMode, "VelDesigner", ssmNormal, ssmFixed, ssmFixedTopLeft);

/// \brief The frame around the design stage while the stage is the selection;
/// it lies behind the stage in the stage's parent.
class TVelStageSizer : public TVelSizer {
  VEL_CLASS(TVelStageSizer, TVelSizer)
  VEL_PUBLISH(P);
  explicit TVelStageSizer(platform::TComponent* AOwner);

  TVelStageSizerMode StageSizerMode() const { return FStageSizerMode; }
  void SetStageSizerMode(TVelStageSizerMode Value) { FStageSizerMode = Value; }

  void BindToControl() override;
  void WndProc(platform::TMessage& Message) override;

 protected:
  void Paint() override;
  void WMNCHitTest(platform::TMessage& Message) override;
  void WMLButtonDown(platform::TMessage& Message) override;

 private:
  TVelStageSizerMode FStageSizerMode = ssmNormal;
};

/// \brief The dotted rectangle of an area selection on the stage.
class TVelRubberBand : public platform::TCustomControl, public IVelDesign {
  VEL_CLASS(TVelRubberBand, platform::TCustomControl)
  explicit TVelRubberBand(platform::TComponent* AOwner);

  platform::TPoint PointStart() const { return FPointStart; }
  platform::TPoint PointEnd() const { return FPointEnd; }
  void SetPointStart(platform::TPoint Point);
  void SetPointEnd(platform::TPoint Point);
  void UpdateBounds();

  void Notification(platform::TComponent* AComponent, platform::TOperation Operation) override;

 protected:
  void CreateHandle() override;
  void CreateParams(platform::TCreateParams& Params) override;
  void Paint() override;
  void WMNCHitTest(platform::TMessage& Message) override;

 private:
  platform::TPoint FPointStart{-1, -1};
  platform::TPoint FPointEnd{-1, -1};
};

/// \brief A ready-made transparent overlay that puts a sizer on each control
/// clicked through it; needs no design manager.
class TVelDesignStage : public platform::TCustomControl {
  VEL_CLASS(TVelDesignStage, platform::TCustomControl)
  VEL_PUBLISH(P);
  explicit TVelDesignStage(platform::TComponent* AOwner);
  ~TVelDesignStage() override;

  TVelSizerList* Sizers() const { return FSizerList.get(); }
  platform::TControl* PointedControl(platform::TPoint Pos, bool AllowParent) const;
  bool PointInControl(platform::TPoint Pos, const platform::TControl* Control) const;

 protected:
  void CreateParams(platform::TCreateParams& Params) override;
  void Paint() override;
  void MouseDown(platform::TMouseButton Button, platform::TShiftState Shift, int X, int Y) override;

 private:
  std::unique_ptr<TVelSizerList> FSizerList;
};

}  // namespace vel
