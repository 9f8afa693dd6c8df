// Attribute editors: component editors of the library's own kind, registered
// per component class, that also say whether a double click runs them and
// carry hooks for embedded (in-place) editing.
#pragma once

#include "platform/designintf/designintf.h"

namespace vel {

/// \brief A component editor that also decides about double clicks and hears
/// about embedded editing.
class IVelAttribEditor : public virtual platform::IComponentEditor {
 public:
  /// True when a double click on the component runs Edit.
  virtual bool GetDefaultEvoke() = 0;
  /// Opens the editor's property dialog, if it has one.
  virtual void LaunchPropertyDialog() = 0;
  /// Embedded editing of the component starts.
  virtual void StartEmbedEdit() = 0;
  /// Embedded editing of the component ends.
  virtual void EndEmbedEdit() = 0;
};

/// \brief The base of attribute editors: a double click runs Edit, the hooks
/// do nothing. Applications derive their editors from it.
class TVelCompAttribEditor : public platform::TComponentEditor, public IVelAttribEditor {
  VEL_CLASS(TVelCompAttribEditor, platform::TComponentEditor)
  TVelCompAttribEditor(platform::TComponent* AComponent, platform::IDesigner* ADesigner);

  bool GetDefaultEvoke() override { return true; }
  void LaunchPropertyDialog() override {}
  void StartEmbedEdit() override {}
  void EndEmbedEdit() override {}
};

/// Registers EditorClass (a TVelCompAttribEditor class) for ComponentClass and
/// its descendants; the latest registration for a class wins. Raises
/// EArgumentException for a class that is none or not a component class.
void RegisterVelComponentAttribEditor(platform::TComponentClass ComponentClass,
                                      platform::TComponentEditorClass EditorClass);

/// The attribute editor of the most derived registered class that Component
/// is an instance of, created with Component and Designer; none when no
/// registered class fits. Raises EInvalidCast when the registered editor class
/// is not an attribute editor.
platform::TInterfaceRef<IVelAttribEditor> GetVelComponentAttribEditor(platform::TComponent* Component,
                                                                      platform::IDesigner* Designer);

}  // namespace vel
