#include "palette/pallete_tool_bar.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TVelCompPalleteToolBar, "VelClassesMan");

TVelCompPalleteToolBar::TVelCompPalleteToolBar(TComponent* AOwner) : TCustomControl(AOwner) {}

void TVelCompPalleteToolBar::SetCurrClass(TComponentClass AClass) {
  if (AClass && !AClass->InheritsFrom(TComponent::StaticClass())) AClass = nullptr;
  if (AClass == FCurrClass) return;
  FCurrClass = AClass;
  if (OnChange) OnChange(this);
}

void TVelCompPalleteToolBar::DeselectComps() { SetCurrClass(nullptr); }

}  // namespace vel
