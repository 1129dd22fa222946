// gui/ layer 1 of 2: a fixture of the include-order check.
#pragma once
#include "gui/high.h"
