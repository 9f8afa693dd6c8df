// Display texts of components for the views of the design console.
#pragma once

#include <string>

#include "platform/rtl/component.h"

namespace vel {

/// The text under which Comp is shown: its Name ("" for none). Root is not consulted.
std::string GetCompTransedName(const platform::TComponent* Comp, const platform::TComponent* Root);

}  // namespace vel
