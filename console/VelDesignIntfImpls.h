// The run-time designer.
#pragma once

#include "console/designintf_impls.h"
