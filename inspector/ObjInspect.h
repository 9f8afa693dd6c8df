// The object inspector.
#pragma once

#include "inspector/obj_inspect.h"
