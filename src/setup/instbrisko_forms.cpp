#include "setup/instbrisko_forms.h"

#include "gui/application.h"
#include "setup/UinstAskNewDir.h"
#include "setup/UinstallDIR.h"
#include "setup/Uinstbrisko.h"
#include "setup/Uinstbrisko2.h"
#include "setup/Uinstbrisko3.h"
#include "setup/uinstbrisko5.h"
#include "setup/uinstbrisko6.h"

namespace {

void CreateAllButTheWelcomePage() {
  Application->CreateForm(iiForm2);
  Application->CreateForm(iiForm3);
  Application->CreateForm(iiForm5);
  Application->CreateForm(iiForm6);
  Application->CreateForm(iForm11);
  Application->CreateForm(iForm10);
}

}  // namespace

void CreateWizardForms() {
  Application->CreateForm(iiForm1);
  CreateAllButTheWelcomePage();
}

void CreateWizardFormsWelcomeFirst() {
  Application->CreateForm(iiForm1);
  iiForm1->Show();
  // Painted here and now, children too: the message loop, which would paint it,
  // starts only once every form exists.
  iiForm1->Update();
  // The folder dialog's tree handles messages while it fills, so a click taken the
  // moment the page showed may already have led on: the start must not show the
  // page again.
  Application->ShowMainForm = false;
  CreateAllButTheWelcomePage();
}
