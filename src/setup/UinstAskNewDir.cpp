#include "setup/UinstAskNewDir.h"

#include <windows.h>

#include "classes/sysutils.h"
#include "elastic/ElastFrm.h"
#include "gui/application.h"
#include "gui/dialogs.h"
#include "mltlang/MLTLANG.h"
#include "setup/SetupFiles.h"
#include "setup/UinstallDIR.h"
#include "setup/wizard.h"
#include "shelltree/ShellTree.h"

TiForm11* iForm11 = nullptr;

namespace {
constexpr int NewFolderHelp = 110;

// One level only: a separator or a drive would put the folder somewhere else, and
// "." and ".." name folders that are there already.
bool IsOneLevelName(const std::string& Name) {
  return Name != "." && Name != ".." && Name.find_first_of("\\/:") == std::string::npos;
}

// Makes the folder Name one level below Parent (which ends with a backslash): empty
// when done, or when a folder of that name is there already; otherwise the message.
std::string MakeOneFolder(const std::string& Parent, const std::string& Name) {
  const std::string Path = Parent + Name;
  const std::string Message = std::string(CannotCreateFolder) + "\r" + Path;
  if (!IsOneLevelName(Name)) return Message;
  if (CreateDirectoryA(Path.c_str(), nullptr)) return std::string();
  // The system says "exists" for a file of that name too; only a folder is taken.
  if (GetLastError() == ERROR_ALREADY_EXISTS && DirectoryExists(Path)) return std::string();
  return Message;
}
}  // namespace

BEGIN_CLASS_INFO(TiForm11, TForm, nullptr)
  P.Field("Label1", &TiForm11::Label1);
  P.Field("Label2", &TiForm11::Label2);
  P.Field("Label3", &TiForm11::Label3);
  P.Field("Edit1", &TiForm11::Edit1);
  P.Field("Button3", &TiForm11::Button3);
  P.Field("Button1", &TiForm11::Button1);
  P.Field("Button2", &TiForm11::Button2);
  P.Field("ElasticForm1", &TiForm11::ElasticForm1);
  P.Field("MltLang1", &TiForm11::MltLang1);
  P.Method("FormCreate", &TiForm11::FormCreate);
  P.Method("FormActivate", &TiForm11::FormActivate);
  P.Method("Button3Click", &TiForm11::Button3Click);
  P.Method("Button1Click", &TiForm11::Button1Click);
  P.Method("Button2Click", &TiForm11::Button2Click);
END_CLASS_INFO

TiForm11::TiForm11(TComponent* Owner) : TForm(Owner) {
  RegisterSetupClasses();
  InitializeForm();
}

void TiForm11::FormCreate(TObject*) { AdjustDesignScreen(ElasticForm1); }

// A drive root keeps its one backslash; the drives folder itself has no path, and
// stays empty so that nothing is made on whatever drive happens to be current.
void TiForm11::FormActivate(TObject*) { Label2->SetCaption(AddBackslash(iForm10->ShellTree1->Path())); }

void TiForm11::Button3Click(TObject*) {
  NewName = Edit1->Text();
  const std::string Parent = Label2->Caption();
  try {
    if (!Parent.empty()) MakeAndSelect(Parent);
  } catch (...) {
    // The folder dialog stays as it was; this dialog closes all the same.
  }
  SetModalResult(mrOk);
}

void TiForm11::MakeAndSelect(const std::string& Parent) {
  if (!NewName.empty()) {
    if (const std::string Problem = MakeOneFolder(Parent, NewName); !Problem.empty()) {
      ShowMessage(Problem);
      return;
    }
  }
  iForm10->PendingDir = Parent + NewName;
  iForm10->ShellTree1->RefreshTree();
  iForm10->FormActivate(iForm10);
}

void TiForm11::Button1Click(TObject*) { Application->HelpContext(NewFolderHelp); }

void TiForm11::Button2Click(TObject*) {
  NewName.clear();
  SetModalResult(mrCancel);
}
