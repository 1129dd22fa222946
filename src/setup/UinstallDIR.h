// The folder selection dialog of the language page: the shell's folders as a tree
// rooted at the drives, the highlighted folder in the caption, Accept and Abort,
// and the new-folder dialog behind "Create folder". The result is SelectedDir.
#pragma once

#include <string>

#include "gui/buttons.h"
#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/stdctrls.h"

class TElasticForm;
class TMltLang;
class TShellTree;
class TTreeNode;

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
  TShellTree* ShellTree1 = nullptr;
  TElasticForm* ElasticForm1 = nullptr;
  TMltLang* MltLang1 = nullptr;

  // A folder to select when the dialog is next activated; empty for none.
  std::string PendingDir;
  // The result: the accepted folder with a trailing backslash; empty after Abort,
  // and after Accept on an item that is no folder on disk (the drives).
  std::string SelectedDir;

  void FormCreate(TObject* Sender);
  // Runs on every activation, and from the new-folder dialog once it made a folder.
  void FormActivate(TObject* Sender);
  void ShellTree1Change(TObject* Sender, TTreeNode* Node);
  void Button2Click(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void Button3Click(TObject* Sender);
  void Button1Click(TObject* Sender);
};

extern TiForm10* iForm10;
