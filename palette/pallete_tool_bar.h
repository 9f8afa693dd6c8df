// The component palette tool bar.
//
// For now the palette keeps the one armed class (the class of the pressed
// button); the buttons, pages and glyphs come later.
#pragma once

#include "platform/controls/controls.h"
#include "platform/rtl/component.h"

namespace vel {

/// \brief A tool bar of class buttons: pressing one arms its class for
/// insertion on the design stage.
class TVelCompPalleteToolBar : public platform::TCustomControl {
  VEL_CLASS(TVelCompPalleteToolBar, platform::TCustomControl)
  explicit TVelCompPalleteToolBar(platform::TComponent* AOwner);

  /// The armed class, or none.
  platform::TComponentClass GetCurrClass() const { return FCurrClass; }
  /// Arms AClass as if its button were pressed (none releases the choice).
  /// A class that is not a component class arms nothing.
  void SetCurrClass(platform::TComponentClass AClass);
  /// Returns the palette to its no-class state.
  void DeselectComps();

  /// Fired after the armed class changed.
  platform::TNotifyEvent OnChange;

 private:
  platform::TComponentClass FCurrClass = nullptr;
};

}  // namespace vel
