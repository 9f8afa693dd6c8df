// Translation of identifiers into display texts.
#pragma once

#include "translation/trans_utils.h"
