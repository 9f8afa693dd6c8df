// TPersistent: objects that can copy their state to and from each other.
#pragma once

#include <string>

#include "platform/rtl/object.h"

namespace platform {

class TFiler;

/// \brief Base of objects with published state: Assign copies state between them.
class TPersistent : public TObject {
  VEL_CLASS(TPersistent, TObject)
  TPersistent() = default;

  /// Copies the state of Source into this object. The base asks Source to
  /// AssignTo this object; a pair that knows no copy raises EConvertError.
  virtual void Assign(TPersistent* Source);
  /// The name used for this object in paths such as "Button1.Font".
  virtual std::string GetNamePath() const;
  /// Declares, through Filer->DefineProperty, data streamed with the object
  /// that is not a published property. The base declares none.
  virtual void DefineProperties(TFiler*) {}

 protected:
  virtual void AssignTo(TPersistent* Dest) const;
  /// The object that owns this one for naming purposes (none by default).
  virtual TPersistent* GetOwner() const { return nullptr; }
  [[noreturn]] void AssignError(const TPersistent* Source) const;
};

}  // namespace platform
