// The folder selection dialog of the language page. Its controls and fields are
// here; the folder tree and what the buttons do come with the shell tree.
#pragma once

#include <string>

#include "gui/buttons.h"
#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/stdctrls.h"

class TElasticForm;
class TMltLang;

class TiForm10 : public TForm {
  DECLARE_CLASS(TiForm10)
public:
  explicit TiForm10(TComponent* Owner);

  TPanel* Panel4 = nullptr;
  TButton* Button2 = nullptr;  // Accept
  TBitBtn* BitBtn1 = nullptr;  // Create folder
  TButton* Button3 = nullptr;  // Abort
  TButton* Button1 = nullptr;  // Help
  TPanel* Panel1 = nullptr;    // holds the folder tree
  TElasticForm* ElasticForm1 = nullptr;
  TMltLang* MltLang1 = nullptr;

  // A folder to select when the dialog is next activated; empty for none.
  std::string PendingDir;
  // The result: the accepted folder with a trailing backslash, empty after Abort.
  std::string SelectedDir;

  void FormCreate(TObject* Sender);
};

extern TiForm10* iForm10;
