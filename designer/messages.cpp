#include "designer/messages.h"

#include "designer/sizer.h"

#include <array>
#include <string_view>

#include "platform/controls/stdctrls.h"

namespace vel {

using namespace platform;

namespace {

// Registration strings in registration order; the index is the slot in Numbers.
constexpr std::array<std::string_view, 12> MessageStrings = {
    "VEL.SizerMovedMsg",
    "VEL.SizerMoveEndMsg",
    "VEL.SizerMoveStartMsg",
    "VEL.Design.ControlSelected",
    "VEL.Design.ControlSelectedAtPos",
    "VEL.Design.SelectControlChanged",
    "VEL.Design.ControlMoved",
    "VEL.Design.SelectControlMoved",
    "VEL.Design.StartInlineEdit",
    "VEL.Design.EndInlineEdit",
    "VEL.Design.DynamicComponentCreated",
    "VEL.Design.DelSelectControls",
};

// Zero until registered; the public names are read-only views of the slots.
UINT Numbers[MessageStrings.size()] = {};
bool Registered = false;

// Registers the messages while the library loads, before any application code runs.
const bool RegisteredAtLoad = (InitDesignMessages(), true);

}  // namespace

constinit const UINT& VELM_SizerMoved = Numbers[0];
constinit const UINT& VELM_SizerMoveEnd = Numbers[1];
constinit const UINT& VELM_SizerMoveStart = Numbers[2];
constinit const UINT& VELM_ControlSelected = Numbers[3];
constinit const UINT& VELM_ControlSelectedAtPos = Numbers[4];
constinit const UINT& VELN_SelCtrlChanged = Numbers[5];
constinit const UINT& VELN_CtrlMoved = Numbers[6];
constinit const UINT& VELN_SelCtrlMoved = Numbers[7];
constinit const UINT& VELN_StartInlineEdit = Numbers[8];
constinit const UINT& VELN_EndInlineEdit = Numbers[9];
constinit const UINT& VELN_DynCompCreated = Numbers[10];
constinit const UINT& VELN_DelSelCtrls = Numbers[11];

void InitDesignMessages() {
  if (Registered) return;
  for (std::size_t I = 0; I < MessageStrings.size(); ++I) Numbers[I] = RegisterWindowMessage(MessageStrings[I]);
  Registered = true;
}

bool PointInRect(const TPoint& P, const TRect& R) {
  return P.X >= R.Left && P.Y >= R.Top && P.X <= R.Right && P.Y <= R.Bottom;
}

bool ControlCanInlineEdit(const TControl* Control) {
  return Control && Control->InheritsFrom(TCustomEdit::StaticClass());
}

// The sizer unit answers for its own class; until it exists no control is a sizer.
bool IsVelSizer(const TControl* Control) { return dynamic_cast<const TVelSizer*>(Control) != nullptr; }

TControl* ChildControlAtPos(const TWinControl* Parent, const TPoint& Pos) {
  if (!Parent) return nullptr;
  auto Qualifies = [&Pos](TControl* Child) {
    const TPoint P = Point(Pos.X - Child->Left(), Pos.Y - Child->Top());
    if (!PtInRect(Child->ClientRect(), P)) return false;
    const bool DesignShown = Child->ComponentState().Contains(csDesigning) &&
                             (Child->Visible() || !Child->ControlStyle().Contains(csNoDesignVisible));
    const bool HitShown = Child->Visible() && Child->Perform(CM_HITTEST, 0, PointToLParam(P)) != 0;
    return (DesignShown || HitShown) && !IsVelSizer(Child);
  };
  for (int I = Parent->ControlCount() - 1; I >= 0; --I) {
    TControl* Child = Parent->Controls(I);
    if (dynamic_cast<TWinControl*>(Child) && Qualifies(Child)) return Child;
  }
  for (int I = Parent->ControlCount() - 1; I >= 0; --I) {
    TControl* Child = Parent->Controls(I);
    if (Qualifies(Child)) return Child;
  }
  return nullptr;
}

}  // namespace vel
