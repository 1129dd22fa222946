// instbrisko: installs Brisko, or removes it. No command-line arguments.
#include <windows.h>

#include "gui/application.h"
#include "setup/instbrisko_forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    Application->Initialize();
    CreateWizardFormsWelcomeFirst();
    Application->Run();
  } catch (...) {
    // A form that cannot be made (a damaged resource): say why, and end.
    Application->HandleException(nullptr);
    return 1;
  }
  return Application->ExitCode();
}
