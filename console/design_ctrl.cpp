#include "console/design_center.h"
#include "console/popup_menu.h"
#include "designer/sizer.h"
#include "designer/stage.h"
#include "palette/comp_tree_view.h"

namespace vel {

using namespace platform;

bool IsVelDesignCtrl(const TComponent* Component) {
  if (!Component) return false;
  for (TClass Class :
       {TVelSizer::StaticClass(), TVelRubberBand::StaticClass(), TVelDesignManager::StaticClass(),
        TVelDesignCenter::StaticClass(), TVelDesignCompPopupMenu::StaticClass(), TVelCompTreeView::StaticClass()})
    if (Component->InheritsFrom(Class)) return true;
  return false;
}

}  // namespace vel
