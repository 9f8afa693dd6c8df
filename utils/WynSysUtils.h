// Component naming, lookup and selection-list utilities for applications.
#pragma once

#include "utils/wyn_sys_utils.h"
