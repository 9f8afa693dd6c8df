// The registered window messages of the design surface and the geometry helpers
// its pieces share.
//
// Sizers, control proxies, the stage proxy and the design manager talk to each
// other through twelve process-wide registered messages. A point travels in a
// message's LParam with X in the low and Y in the high 16 bits, both signed
// (platform::PointToLParam and platform::LParamToPoint).
#pragma once

#include "platform/controls/controls.h"
#include "platform/rtl/object.h"

namespace vel {

/// \brief Marks the library's own design objects (the design manager, the
/// sizers and the rubber band); it declares no methods.
class IVelDesign : public virtual platform::IInterface {};

// The registered message numbers, valid from the moment the library is loaded.
extern const platform::UINT& VELM_SizerMoved;
extern const platform::UINT& VELM_SizerMoveEnd;
extern const platform::UINT& VELM_SizerMoveStart;
extern const platform::UINT& VELM_ControlSelected;
extern const platform::UINT& VELM_ControlSelectedAtPos;
extern const platform::UINT& VELN_SelCtrlChanged;
extern const platform::UINT& VELN_CtrlMoved;
extern const platform::UINT& VELN_SelCtrlMoved;
extern const platform::UINT& VELN_StartInlineEdit;
extern const platform::UINT& VELN_EndInlineEdit;
extern const platform::UINT& VELN_DynCompCreated;
extern const platform::UINT& VELN_DelSelCtrls;

/// Registers the twelve design messages, in their fixed order, the first time it
/// runs; later calls change nothing. Loading the library calls it.
void InitDesignMessages();

/// True when P lies inside R, all four edges included (platform::PtInRect
/// leaves out the right and bottom edges).
bool PointInRect(const platform::TPoint& P, const platform::TRect& R);

/// True when the control is a text edit that can be edited in place
/// (a platform::TCustomEdit or a descendant); false for none.
bool ControlCanInlineEdit(const platform::TControl* Control);

/// True when the control is a sizer of the design surface. Sizers are skipped
/// when looking for the control under a point.
bool IsVelSizer(const platform::TControl* Control);

/// The child of Parent under Pos (Parent's client coordinates), or none:
/// windowed children first, then all children, each from the top of the
/// z-order down. A child qualifies when Pos lies in its client area, it is
/// designed and shown at design time or visible and answering CM_HITTEST,
/// and it is not a sizer; disabled children qualify too.
platform::TControl* ChildControlAtPos(const platform::TWinControl* Parent, const platform::TPoint& Pos);

}  // namespace vel
