// The arrangement operations of TVelDesignManager: z-order, flipping,
// alignment, equal spacing, common size, scaling and select all.
#include <algorithm>
#include <climits>
#include <utility>

#include "console/design_center.h"
#include "designer/manager.h"
#include "designer/sizer.h"
#include "palette/comp_tree_view.h"
#include "platform/rtl/sysutils.h"
#include "utils/wyn_sys_utils.h"

namespace vel {

using namespace platform;

namespace {

// The controls of a selection list, in list order.
std::vector<TControl*> ControlsOf(const TComponentList* List) {
  std::vector<TControl*> Controls;
  for (int I = 0; I < List->Count(); ++I)
    if (auto* C = dynamic_cast<TControl*>(List->Items(I))) Controls.push_back(C);
  return Controls;
}

// Places the controls at equal distances of their leading edges across the
// range [From, To]: the k-th from the start goes to From + Round(k * step).
// Equal edges keep their list order. Get/Set read and write the edge (Left or Top).
template <class TGet, class TSet>
void SpaceEqual(std::vector<TControl*> Work, int From, int To, TGet Get, TSet Set) {
  const int N = int(Work.size());
  // One control has no distance to share: it stays where it is.
  if (N < 2) return;
  const double Step = double(To - From + 1) / double(N - 1);
  std::vector<std::pair<int, TControl*>> Order;
  Order.reserve(Work.size());
  for (TControl* C : Work) Order.emplace_back(Get(C), C);
  std::stable_sort(Order.begin(), Order.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
  for (int K = 0; K < N; ++K) Set(Order[std::size_t(K)].second, int(Round(K * Step)) + From);
}

}  // namespace

void TVelDesignManager::BringSelCtrlsToFront() {
  for (int I = 0; I < FSizerList->Count(); ++I) {
    TVelSizer* S = FSizerList->GetSizers(I);
    if (!S) continue;
    S->BringCtrlToFront();
    if (FConsoleCenter && FConsoleCenter->CompTreeView()) FConsoleCenter->CompTreeView()->Refresh();
  }
}

void TVelDesignManager::SendSelCtrlsToBack() {
  for (int I = 0; I < FSizerList->Count(); ++I) {
    TVelSizer* S = FSizerList->GetSizers(I);
    if (!S) continue;
    S->SendCtrlToBack();
    if (FConsoleCenter && FConsoleCenter->CompTreeView()) FConsoleCenter->CompTreeView()->Refresh();
  }
}

void TVelDesignManager::FlipChildren(TFlipChildrenMode Mode) {
  if (Mode == fcAll) {
    if (FDesignStage) FDesignStage->FlipChildren(true);
    return;
  }
  for (TControl* C : ControlsOf(FSelectedComps.get()))
    if (auto* W = dynamic_cast<TWinControl*>(C)) W->FlipChildren(true);
}

void TVelDesignManager::SetSelCtrlDesignAligment(TVelDesignAlignmentStyle HorizontalAlignment,
                                                 TVelDesignAlignmentStyle VerticalAlignment) {
  const std::vector<TControl*> Controls = ControlsOf(FSelectedComps.get());
  TRect U{-1, -1, -1, -1};
  TRect R{};
  for (std::size_t I = 0; I < Controls.size(); ++I) {
    const TControl* C = Controls[I];
    if (I == 0) {
      U = C->BoundsRect();
      R = TRect{C->Left(), C->Top(), C->Left(), C->Top()};
    } else {
      TRect Union;
      UnionRect(Union, U, C->BoundsRect());
      U = Union;
      R.Left = std::min(R.Left, C->Left());
      R.Right = std::max(R.Right, C->Left());
      R.Top = std::min(R.Top, C->Top());
      R.Bottom = std::max(R.Bottom, C->Top());
    }
  }
  if (U.Left < 0) return;
  auto Place = [](TVelDesignAlignmentStyle Style, int From, int To, int Size, int ParentSize, int Current) {
    switch (Style) {
      case asLeftOrTop:
        return From;
      case asCenters:
        return From + int(Round((To - From + 1 - Size) / 2.0));
      case asRightOrBottom:
        return To - Size;
      case asCenterInWindow:
        return ParentSize < 0 ? Current : int(Round((ParentSize - Size) / 2.0));
      default:
        return Current;
    }
  };
  for (TControl* C : Controls) {
    const TWinControl* P = C->Parent();
    // A control without a parent has no window to be centred in.
    C->SetLeft(Place(HorizontalAlignment, U.Left, U.Right, C->Width(), P ? P->Width() : -1, C->Left()));
    C->SetTop(Place(VerticalAlignment, U.Top, U.Bottom, C->Height(), P ? P->Height() : -1, C->Top()));
  }
  if (HorizontalAlignment == asSpaceEqual) HorzSpaceEqual(R);
  if (VerticalAlignment == asSpaceEqual) VertSpaceEqual(R);
  RefreshSizers();
  if (FConsoleCenter) FConsoleCenter->DesignerSelCompMoved();
}

void TVelDesignManager::HorzSpaceEqual(const TRect& Range) {
  TComponentList Work(false);
  for (int I = 0; I < FSelectedComps->Count(); ++I) Work.Add(FSelectedComps->Items(I));
  RemoveComponentFromCompList(&Work);
  SpaceEqual(
      ControlsOf(&Work), Range.Left, Range.Right, [](TControl* C) { return C->Left(); },
      [](TControl* C, int V) { C->SetLeft(V); });
}

void TVelDesignManager::VertSpaceEqual(const TRect& Range) {
  TComponentList Work(false);
  for (int I = 0; I < FSelectedComps->Count(); ++I) Work.Add(FSelectedComps->Items(I));
  RemoveComponentFromCompList(&Work);
  SpaceEqual(
      ControlsOf(&Work), Range.Top, Range.Bottom, [](TControl* C) { return C->Top(); },
      [](TControl* C, int V) { C->SetTop(V); });
}

void TVelDesignManager::SetSelCtrlDesignSize(TVelDesignSizeStyle WidthStyle, TVelDesignSizeStyle HeightStyle,
                                             int WidthSize, int HeightSize) {
  const std::vector<TControl*> Controls = ControlsOf(FSelectedComps.get());
  auto Measure = [&Controls](TVelDesignSizeStyle Style, int Custom, int (TControl::*Get)() const) {
    int Value = -1;
    if (Style == ssToSmallest) {
      Value = INT_MAX;
      for (const TControl* C : Controls) Value = std::min(Value, (C->*Get)());
    } else if (Style == ssToLargest) {
      for (const TControl* C : Controls) Value = std::max(Value, (C->*Get)());
    } else if (Style == ssCustom) {
      Value = Custom;
    }
    return Value;
  };
  const int W = Measure(WidthStyle, WidthSize, &TControl::Width);
  const int H = Measure(HeightStyle, HeightSize, &TControl::Height);
  for (TControl* C : Controls) {
    if (WidthStyle != ssNoChange && W >= 0) C->SetWidth(W);
    if (HeightStyle != ssNoChange && H >= 0) C->SetHeight(H);
  }
}

void TVelDesignManager::ScaleControls(int ScaleFactor, TVelDesignScaleStyle ScaleStyle) {
  if (ScaleStyle == ssAll) {
    if (FDesignStage) FDesignStage->ScaleBy(ScaleFactor, 100);
    return;
  }
  for (TControl* C : ControlsOf(FSelectedComps.get()))
    if (auto* W = dynamic_cast<TWinControl*>(C)) W->ScaleBy(ScaleFactor, 100);
}

void TVelDesignManager::SelectAllControls() {
  if (!FIsDesigning) return;
  for (TComponent* C : StageComponents()) {
    auto* Control = dynamic_cast<TControl*>(C);
    if (Control && !IsVelDesignCtrl(C)) SelectControl(Control, TPoint{0, 0}, csmAdd, false, true);
  }
  if (FConsoleCenter) {
    FillSelectedComps();
    FConsoleCenter->DesignerSelCompChanged();
  }
}

}  // namespace vel
