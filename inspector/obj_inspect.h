// The object inspector control.
//
// For now the inspector keeps the components it shows, its dirty flag and its
// console center; the property grid comes later.
#pragma once

#include <memory>

#include "platform/controls/controls.h"
#include "platform/rtl/component.h"

namespace vel {

/// \brief Shows and edits the published properties of the active components.
class TWynObjInspector : public platform::TCustomControl {
  VEL_CLASS(TWynObjInspector, platform::TCustomControl)
  explicit TWynObjInspector(platform::TComponent* AOwner);
  ~TWynObjInspector() override;

  /// The components shown; the inspector's own list, which owns nothing.
  const platform::TComponentList* ActiveComponents() const { return FActiveComponents.get(); }
  /// Takes a copy of List (none empties the list) and fires
  /// OnChangeActiveComponent; nothing when List is the inspector's own list.
  void SetActiveComponents(const platform::TComponentList* List);
  /// Shows Component alone (none shows nothing).
  void SetActiveComponent(platform::TComponent* Component);

  /// The console center this inspector reports to, or none.
  platform::TComponent* ConsoleCenter() const { return FConsoleCenter; }
  void SetConsoleCenter(platform::TComponent* Center);

  /// Rebuilds the rows from the active components.
  void Refresh();
  /// Rereads the values of the rows.
  void RefreshValues();

  bool Dirty() const { return FDirty; }
  void SetDirty(bool Value) { FDirty = Value; }

  /// Fired after the active components changed.
  platform::TNotifyEvent OnChangeActiveComponent;
  /// Fired after Refresh rebuilt the rows.
  platform::TNotifyEvent OnRefresh;
  /// Fired after RefreshValues reread the values.
  platform::TNotifyEvent OnRefreshValues;

  void Notification(platform::TComponent* AComponent, platform::TOperation Operation) override;

 private:
  std::unique_ptr<platform::TComponentList> FActiveComponents;
  platform::TComponent* FConsoleCenter = nullptr;
  bool FDirty = false;
};

}  // namespace vel
