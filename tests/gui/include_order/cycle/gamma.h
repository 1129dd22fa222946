// gui/ layer 1 of 1: a fixture of the include-order check.
#pragma once
#include "gui/alpha.h"
