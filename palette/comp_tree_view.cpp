#include "palette/comp_tree_view.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TVelCompTreeView, "VelCompTreeView");

// Forms that hold one can be read back.
const bool Registered = (RegisterClasses({TVelCompTreeView::StaticClass()}), true);

TVelCompTreeView::TVelCompTreeView(TComponent* AOwner)
    : TCustomControl(AOwner), FSelectedComps(std::make_unique<TComponentList>(false)) {}

TVelCompTreeView::~TVelCompTreeView() { SetConsoleCenter(nullptr); }

void TVelCompTreeView::SetSelectedComps(const TComponentList* List) {
  if (List == FSelectedComps.get()) return;
  FSelectedComps->Clear();
  if (List)
    for (int I = 0; I < List->Count(); ++I) FSelectedComps->Add(List->Items(I));
  if (OnSelectionChange) OnSelectionChange(this);
}

void TVelCompTreeView::Refresh() {
  if (OnRefresh) OnRefresh(this);
}

void TVelCompTreeView::SetConsoleCenter(TComponent* Center) {
  if (Center == FConsoleCenter) return;
  if (FConsoleCenter) FConsoleCenter->RemoveFreeNotification(this);
  FConsoleCenter = Center;
  if (FConsoleCenter) FConsoleCenter->FreeNotification(this);
}

void TVelCompTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FConsoleCenter) FConsoleCenter = nullptr;
}

}  // namespace vel
