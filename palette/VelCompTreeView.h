// The component tree view.
#pragma once

#include "palette/comp_tree_view.h"
