// The design console: the design center and the test for the library's own
// design components.
#pragma once

#include "console/design_center.h"
