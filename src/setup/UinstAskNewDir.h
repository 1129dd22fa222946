// The new-folder dialog of the folder selection dialog: shows the highlighted
// folder, makes one new folder in it under the name typed, and has the tree show
// and select that folder. The name typed stays for the next opening.
#pragma once

#include <string>

#include "gui/forms.h"
#include "gui/stdctrls.h"

class TElasticForm;
class TMltLang;

// The message when a folder cannot be made; the folder's full path follows on a
// line of its own.
inline constexpr const char* CannotCreateFolder = "Cannot create the folder";

class TiForm11 : public TForm {
  DECLARE_CLASS(TiForm11)
public:
  explicit TiForm11(TComponent* Owner);

  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;  // the current folder, with a trailing backslash
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
  void FormActivate(TObject* Sender);
  void Button3Click(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);

private:
  void MakeAndSelect(const std::string& Parent);
};

extern TiForm11* iForm11;
