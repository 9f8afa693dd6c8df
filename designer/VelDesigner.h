// The design surface for applications: design messages and geometry helpers.
#pragma once

#include "designer/messages.h"
