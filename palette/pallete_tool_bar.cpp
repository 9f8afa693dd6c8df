#include "palette/pallete_tool_bar.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TVelCompPalleteToolBar, "VelClassesMan");

// Forms that hold one can be read back.
const bool Registered = (RegisterClasses({TVelCompPalleteToolBar::StaticClass()}), true);

TVelCompPalleteToolBar::TVelCompPalleteToolBar(TComponent* AOwner) : TCustomControl(AOwner) {}

void TVelCompPalleteToolBar::SetCurrClass(TComponentClass AClass) {
  if (AClass && !AClass->InheritsFrom(TComponent::StaticClass())) AClass = nullptr;
  if (AClass == FCurrClass) return;
  FCurrClass = AClass;
  if (OnChange) OnChange(this);
}

void TVelCompPalleteToolBar::DeselectComps() { SetCurrClass(nullptr); }

}  // namespace vel
