#include "gui/guiclasses.h"

#include "gui/buttons.h"
#include "gui/comctrls.h"
#include "gui/extctrls.h"
#include "gui/menus.h"
#include "gui/stdctrls.h"
#include "gui/treeview.h"

void RegisterGuiClasses() {
  RegisterStdCtrlsClasses();
  RegisterExtCtrlsClasses();
  RegisterButtonsClasses();
  RegisterComCtrlsClasses();
  RegisterTreeViewClasses();
  RegisterMenusClasses();
}
