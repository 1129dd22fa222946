#include "gui/alpha.h"
#include "gui/beta.h"
