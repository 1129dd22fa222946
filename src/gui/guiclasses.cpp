#include "gui/guiclasses.h"

#include "gui/buttons.h"
#include "gui/comctrls.h"
#include "gui/extctrls.h"
#include "gui/stdctrls.h"

void RegisterGuiClasses() {
  RegisterStdCtrlsClasses();
  RegisterExtCtrlsClasses();
  RegisterButtonsClasses();
  RegisterComCtrlsClasses();
}
