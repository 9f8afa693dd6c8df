// The design center: the component that joins a design manager, an object
// inspector, a component tree view, a palette tool bar and a design popup menu
// into one design console.
//
// The center keeps the common selection (SelCompList) and relays each change
// one element reports to the others in a fixed order. Every element also works
// alone; an attached element reports to the center instead. References to the
// elements are plain and cleared when an element is destroyed.
#pragma once

#include <memory>

#include "designer/manager.h"
#include "platform/controls/controls.h"
#include "platform/controls/menus.h"
#include "platform/rtl/component.h"
#include "platform/rtl/set.h"

namespace vel {

class TVelCompTreeView;
class TVelCompPalleteToolBar;
class TWynObjInspector;

/// The elements a refresh can leave out.
enum TDesignElement { deDesignManager, deCompTreeView, deObjInspector };
VEL_ENUM(TDesignElement, "VelDesignConsole", deDesignManager, deCompTreeView, deObjInspector);
using TDesignElements = platform::TSet<TDesignElement>;

/// \brief Joins the design elements and keeps their common selection.
class TVelDesignCenter : public platform::TComponent {
  VEL_CLASS(TVelDesignCenter, platform::TComponent)
  VEL_PUBLISH(P);
  explicit TVelDesignCenter(platform::TComponent* AOwner);
  ~TVelDesignCenter() override;

  // Attached elements.
  TVelDesignManager* DesignManager() const { return FDesignManager; }
  /// Detaches the old manager, attaches Value and settles Enabled between the
  /// two (PersistEnabled decides which side wins).
  void SetDesignManager(TVelDesignManager* Value);
  TWynObjInspector* ObjInspector() const { return FObjInspector; }
  void SetObjInspector(TWynObjInspector* Value);
  TVelCompTreeView* CompTreeView() const { return FCompTreeView; }
  void SetCompTreeView(TVelCompTreeView* Value);
  TVelCompPalleteToolBar* CompPalleteToolBar() const { return FCompPalleteToolBar; }
  /// Stores the reference only.
  void SetCompPalleteToolBar(TVelCompPalleteToolBar* Value);
  platform::TPopupMenu* DesignPopupMenu() const { return FDesignPopupMenu; }
  /// Installs the menu on the tree view and the manager; a design popup menu
  /// also learns about the center.
  void SetDesignPopupMenu(platform::TPopupMenu* Value);

  /// The common selection; it does not own its components.
  platform::TComponentList* SelCompList() const { return FSelCompList.get(); }
  /// Copies List into the selection without telling anybody.
  void SetSelCompList(const platform::TComponentList* List);

  bool Enabled() const { return FEnabled; }
  /// Stores the flag and passes it to the attached manager.
  void SetEnabled(bool Value);
  bool PersistEnabled() const { return FPersistEnabled; }
  void SetPersistEnabled(bool Value) { FPersistEnabled = Value; }
  int ClipPasteLeftOffset() const { return FClipPasteLeftOffset; }
  void SetClipPasteLeftOffset(int Value) { FClipPasteLeftOffset = Value; }
  int ClipPasteTopOffset() const { return FClipPasteTopOffset; }
  void SetClipPasteTopOffset(int Value) { FClipPasteTopOffset = Value; }

  /// True when any attached element is dirty.
  bool Dirty() const;
  /// Sets the dirty flag of every attached element.
  void SetDirty(bool Value);

  /// The manager's stage mouse-move handler; none without a manager.
  platform::TMouseMoveEvent OnStageMouseMove() const;
  /// Sets the manager's handler; ignored without a manager.
  void SetOnStageMouseMove(const platform::TMouseMoveEvent& Value);

  /// The manager's design stage, or none.
  platform::TWinControl* GetDesignStage() const;

  // Reports of the design manager.
  void DesignerSelCompChanged();
  void DesignerSelCompMoved();
  void DesignStageCompsModified(platform::TComponent* Component, platform::TOperation Operation);
  /// Destroys the selected components except the design stage; the stage is
  /// the selection afterwards when nothing else is left.
  void DelSelCtrls();
  /// The class armed on the palette, or none.
  platform::TComponentClass GetPalleteSelectedClass() const;
  void DynCompCreated(platform::TComponent* Component);
  void PalleteSelCompDynCreated();

  // Reports of the inspector and the tree view.
  void InspectorPropChanged();
  void CompTreeSelCompChanged();
  void CompTreeNodeNameChanged();

  // Commands.
  void SelectAllControls();
  /// Drops the non-visual components from the selection.
  void DeselectComponent();
  /// Drops the controls from the selection.
  void DeselectControl();
  /// Drops the controls whose parent differs from Control's and, when
  /// AlsoNonControls, the non-visual components.
  void DeselectUnsiblingControl(const platform::TControl* Control, bool AlsoNonControls);
  /// Hands the selection to the tree view, the inspector and the manager.
  void ConsoleCompListChanged();
  void RefreshAllExcept(TDesignElements Except);
  /// Hands the selection to every element and refreshes each.
  virtual void Refresh();
  /// Forgets the manager, the inspector and the tree view without telling them.
  void ReleaseAllElements();

  // Events.
  TDynInsComponentEvent AfterDynInsComponent;
  platform::TNotifyEvent OnCompsChange;
  platform::TNotifyEvent OnControlsMoved;
  platform::TNotifyEvent OnInspectorPropChange;

  void Notification(platform::TComponent* AComponent, platform::TOperation Operation) override;

 protected:
  virtual void NotifyObjInspectorChanged();
  virtual void NotifyDesignManagerChanged();
  virtual void NotifyCompTreeViewChanged();
  virtual void NotifyDesignPopupMenuChanged();
  /// Puts the center's popup menu on the tree view and the manager.
  void InstallDesignPopupMenu();

 private:
  /// Links the center with an element so that each hears when the other is destroyed.
  void Watch(platform::TComponent* Element);
  /// True when destroying Component would destroy the center or the design stage.
  bool GuardsDesign(const platform::TComponent* Component) const;

  TVelDesignManager* FDesignManager = nullptr;
  TWynObjInspector* FObjInspector = nullptr;
  TVelCompTreeView* FCompTreeView = nullptr;
  TVelCompPalleteToolBar* FCompPalleteToolBar = nullptr;
  platform::TPopupMenu* FDesignPopupMenu = nullptr;
  std::unique_ptr<platform::TComponentList> FSelCompList;
  bool FEnabled = true;
  bool FPersistEnabled = true;
  int FClipPasteLeftOffset = 4;
  int FClipPasteTopOffset = 4;
};

/// True for the library's own design components (sizers, the rubber band, the
/// design manager, the center, design popup menus and the tree view), which
/// stay out of selections, candidate lists and trees.
bool IsVelDesignCtrl(const platform::TComponent* Component);

}  // namespace vel
