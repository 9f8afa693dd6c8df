// The component palette.
#pragma once

#include "palette/pallete_tool_bar.h"
