// The new-folder dialog of the folder selection dialog. Its controls and its
// field are here; what the buttons do comes with the folder tree.
#pragma once

#include <string>

#include "gui/forms.h"
#include "gui/stdctrls.h"

class TElasticForm;
class TMltLang;

class TiForm11 : public TForm {
  DECLARE_CLASS(TiForm11)
public:
  explicit TiForm11(TComponent* Owner);

  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;  // the current folder
  TLabel* Label3 = nullptr;
  TEdit* Edit1 = nullptr;    // the new folder's name
  TButton* Button3 = nullptr;  // OK
  TButton* Button1 = nullptr;  // Help
  TButton* Button2 = nullptr;  // Cancel
  TElasticForm* ElasticForm1 = nullptr;
  TMltLang* MltLang1 = nullptr;

  // The name typed when OK was pressed; empty after Cancel.
  std::string NewName;

  void FormCreate(TObject* Sender);
};

extern TiForm11* iForm11;
