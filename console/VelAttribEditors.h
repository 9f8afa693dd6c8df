// Attribute editors and their registry.
#pragma once

#include "console/attrib_editors.h"
