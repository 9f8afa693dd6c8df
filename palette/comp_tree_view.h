// The component tree view.
//
// For now the tree view keeps its selection, its dirty flag and its console
// center; the tree of the stage's components comes later.
#pragma once

#include <memory>

#include "platform/controls/controls.h"
#include "platform/rtl/component.h"

namespace vel {

/// \brief Shows the components of the design stage as a tree and selects them.
class TVelCompTreeView : public platform::TCustomControl {
  VEL_CLASS(TVelCompTreeView, platform::TCustomControl)
  explicit TVelCompTreeView(platform::TComponent* AOwner);
  ~TVelCompTreeView() override;

  /// The selected components; the view's own list, which owns nothing.
  const platform::TComponentList* SelectedComps() const { return FSelectedComps.get(); }
  /// Takes a copy of List (none empties the selection); nothing when List is
  /// the view's own list.
  void SetSelectedComps(const platform::TComponentList* List);

  /// Rebuilds the tree.
  virtual void Refresh();

  /// The console center this view reports to, or none.
  platform::TComponent* ConsoleCenter() const { return FConsoleCenter; }
  void SetConsoleCenter(platform::TComponent* Center);

  bool Dirty() const { return FDirty; }
  void SetDirty(bool Value) { FDirty = Value; }

  /// Fired after Refresh rebuilt the tree.
  platform::TNotifyEvent OnRefresh;
  /// Fired after the selection was replaced through SetSelectedComps.
  platform::TNotifyEvent OnSelectionChange;

  void Notification(platform::TComponent* AComponent, platform::TOperation Operation) override;

 private:
  std::unique_ptr<platform::TComponentList> FSelectedComps;
  platform::TComponent* FConsoleCenter = nullptr;
  bool FDirty = false;
};

}  // namespace vel
