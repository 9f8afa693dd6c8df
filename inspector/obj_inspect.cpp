#include "inspector/obj_inspect.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TWynObjInspector, "ObjInspect");

// Forms that hold one can be read back.
const bool Registered = (RegisterClasses({TWynObjInspector::StaticClass()}), true);

TWynObjInspector::TWynObjInspector(TComponent* AOwner)
    : TCustomControl(AOwner), FActiveComponents(std::make_unique<TComponentList>(false)) {}

TWynObjInspector::~TWynObjInspector() { SetConsoleCenter(nullptr); }

void TWynObjInspector::SetActiveComponents(const TComponentList* List) {
  if (List == FActiveComponents.get()) return;
  FActiveComponents->Clear();
  if (List)
    for (int I = 0; I < List->Count(); ++I) FActiveComponents->Add(List->Items(I));
  if (OnChangeActiveComponent) OnChangeActiveComponent(this);
}

void TWynObjInspector::SetActiveComponent(TComponent* Component) {
  TComponentList List(false);
  if (Component) List.Add(Component);
  SetActiveComponents(&List);
}

void TWynObjInspector::SetConsoleCenter(TComponent* Center) {
  if (Center == FConsoleCenter) return;
  if (FConsoleCenter) FConsoleCenter->RemoveFreeNotification(this);
  FConsoleCenter = Center;
  if (FConsoleCenter) FConsoleCenter->FreeNotification(this);
}

void TWynObjInspector::Refresh() {
  if (OnRefresh) OnRefresh(this);
}

void TWynObjInspector::RefreshValues() {
  if (OnRefreshValues) OnRefreshValues(this);
}

void TWynObjInspector::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FConsoleCenter) FConsoleCenter = nullptr;
}

}  // namespace vel
