// Private helpers shared by the design-time sources.
#pragma once

#include <functional>

#include "platform/rtl/component.h"

namespace platform::detail {

/// \brief Hears when watched components are destroyed, so that lists of
/// selected objects never keep a dangling entry.
class TFreeWatch : public TComponent {
  VEL_CLASS(TFreeWatch, TComponent)
  explicit TFreeWatch(std::function<void(TComponent*)> AOnGone);
  void Watch(TComponent* AComponent);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  std::function<void(TComponent*)> FOnGone;
};

}  // namespace platform::detail
