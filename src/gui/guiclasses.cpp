#include "gui/guiclasses.h"

#include "gui/buttons.h"
#include "gui/comctrls.h"
#include "gui/dbgrids.h"
#include "gui/extctrls.h"
#include "gui/grids.h"
#include "gui/menus.h"
#include "gui/pagectrls.h"
#include "gui/stdctrls.h"
#include "gui/toolbars.h"
#include "gui/treeview.h"

void RegisterGuiClasses() {
  RegisterStdCtrlsClasses();
  RegisterExtCtrlsClasses();
  RegisterButtonsClasses();
  RegisterComCtrlsClasses();
  RegisterTreeViewClasses();
  RegisterMenusClasses();
  RegisterGridsClasses();
  RegisterDBGridsClasses();
  RegisterToolBarsClasses();
  RegisterPageCtrlsClasses();
}
