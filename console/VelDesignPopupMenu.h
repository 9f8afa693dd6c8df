// The design popup menus.
#pragma once

#include "console/popup_menu.h"
