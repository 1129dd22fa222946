// The welcome page: install or uninstall. It starts the uninstallation run itself
// and holds what the pages share: the product language and the fit of every page
// to the running screen.
#pragma once

#include <string>

#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/stdctrls.h"
#include "setup/Uinstbrisko_uninstall.h"

class TElasticForm;
class TMltLang;

// The product's language as a two-letter code ("US", "DE", ...). The language page
// sets it; the installation run writes it into the product's settings file.
extern std::string LanguageCode;

// Makes the components the wizard's form resources hold, beyond the GUI library's
// own controls, known to the form reader. Every form calls it before reading its
// resource; later calls do nothing.
void RegisterSetupClasses();

// The pages are laid out for screens of 640 x 480, 800 x 600 and 1024 x 768; a page
// is scaled only from the nearest of these to the screen it runs on. Every page's
// creation handler calls this before the page is first shown.
void AdjustDesignScreen(TElasticForm& Elastic, int ScreenWidth);
void AdjustDesignScreen(TElasticForm* Elastic);  // for the running screen; null does nothing

// The uninstallation run inside the wizard: the run lets the application's own
// message loop work once per folder and stops when the application terminates; the
// hourglass is the screen's cursor.
class TWizardUninstallHost : public TUninstallHost {
public:
  bool HandleMessages() override;
  void ShowBusy(bool Busy) override;
};

class TiiForm1 : public TForm {
  DECLARE_CLASS(TiiForm1)
public:
  explicit TiiForm1(TComponent* Owner);

  TImage* Image1 = nullptr;  // holds the product picture the other pages copy
  TMemo* Memo1 = nullptr;
  TRadioButton* RadioButton1 = nullptr;  // checked: install
  TRadioButton* RadioButton2 = nullptr;
  TButton* Button2 = nullptr;  // Cancel
  TButton* Button3 = nullptr;  // Next> or UnInstall
  TElasticForm* ElasticForm1 = nullptr;
  TMltLang* MltLang1 = nullptr;

  void FormCreate(TObject* Sender);
  void RadioButton1Click(TObject* Sender);
  void RadioButton2Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void Button3Click(TObject* Sender);

  // The host the uninstallation runs with (not owned); null: the wizard's own.
  void SetUninstallHost(TUninstallHost* Host) { UninstallHost_ = Host ? Host : &WizardHost_; }

private:
  void Uninstall();

  TWizardUninstallHost WizardHost_;
  TUninstallHost* UninstallHost_ = &WizardHost_;
};

extern TiiForm1* iiForm1;
