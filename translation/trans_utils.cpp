#include "translation/trans_utils.h"

namespace vel {

std::string GetCompTransedName(const platform::TComponent* Comp, const platform::TComponent*) {
  return Comp ? Comp->Name() : std::string();
}

}  // namespace vel
