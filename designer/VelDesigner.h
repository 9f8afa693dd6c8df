// The design surface for applications: design messages and geometry helpers,
// the design manager with its arrangement operations, the control proxies, the
// sizers, the stage proxy, stage sizer, rubber band and ready-made stage.
#pragma once

#include "designer/manager.h"
#include "designer/messages.h"
#include "designer/proxy.h"
#include "designer/sizer.h"
#include "designer/stage.h"
