#include "shelltree/ShellTree.h"
#include "shelltree_testing.h"
