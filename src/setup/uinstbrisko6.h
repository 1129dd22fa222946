// The finish page, after an installation or a removal, and the start of the
// installed product.
#pragma once

#include <string>

#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/stdctrls.h"

class TElasticForm;
class TMltLang;

namespace FinishText {
inline constexpr const char* Installed = "You have successfully installed Brisko.";
inline constexpr const char* StartFailed = "Starting Wendal failed!";
}  // namespace FinishText

// The product's command line in Folder: quoted, so that a folder with blanks
// cannot start another program, and with the folder's backslash added when missing.
std::string BriskoCommandLine(const std::string& Folder);

// Starts BRISKO.EXE from Folder, which also becomes the current directory (a
// failure there is ignored); the process is not waited for. False when it could
// not be started, also for an empty folder, which names no product.
bool StartBrisko(const std::string& Folder);

class TiiForm6 : public TForm {
  DECLARE_CLASS(TiiForm6)
public:
  explicit TiiForm6(TComponent* Owner);

  TLabel* Label3 = nullptr;
  TImage* Image1 = nullptr;
  TLabel* Label2 = nullptr;  // what happened
  TLabel* Label1 = nullptr;  // credits
  TButton* Button2 = nullptr;  // Start Brisko
  TButton* Button1 = nullptr;  // Finish
  TElasticForm* ElasticForm1 = nullptr;
  TMltLang* MltLang1 = nullptr;

  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormResize(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);

  // Shows the page after an installation into Folder: Start Brisko enabled, for
  // the product there.
  void ShowInstalled(const std::string& Folder);
  // Shows the page after a removal, with the run's text, Start Brisko disabled.
  void ShowUninstalled(const std::string& Text);

private:
  void SetResultText(const std::string& Text);
  void LayOutResultText();

  std::string Folder_;  // where Start Brisko looks
};

extern TiiForm6* iiForm6;
