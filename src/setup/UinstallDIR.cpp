#include "setup/UinstallDIR.h"

#include <utility>

#include "classes/sysutils.h"
#include "elastic/ElastFrm.h"
#include "gui/application.h"
#include "mltlang/MLTLANG.h"
#include "setup/UinstAskNewDir.h"
#include "setup/wizard.h"
#include "shelltree/ShellTree.h"

TiForm10* iForm10 = nullptr;

namespace {
// The folder dialog's own button carries 110, the new-folder dialog's number; the
// dialog asks for its own page all the same.
constexpr int FolderDialogHelp = 100;
}  // namespace

BEGIN_CLASS_INFO(TiForm10, TForm, nullptr)
  P.Field("Panel4", &TiForm10::Panel4);
  P.Field("Button2", &TiForm10::Button2);
  P.Field("BitBtn1", &TiForm10::BitBtn1);
  P.Field("Button3", &TiForm10::Button3);
  P.Field("Button1", &TiForm10::Button1);
  P.Field("Panel1", &TiForm10::Panel1);
  P.Field("ShellTree1", &TiForm10::ShellTree1);
  P.Field("ElasticForm1", &TiForm10::ElasticForm1);
  P.Field("MltLang1", &TiForm10::MltLang1);
  P.Method("FormCreate", &TiForm10::FormCreate);
  P.Method("FormActivate", &TiForm10::FormActivate);
  P.Method("ShellTree1Change", &TiForm10::ShellTree1Change);
  P.Method("Button2Click", &TiForm10::Button2Click);
  P.Method("BitBtn1Click", &TiForm10::BitBtn1Click);
  P.Method("Button3Click", &TiForm10::Button3Click);
  P.Method("Button1Click", &TiForm10::Button1Click);
END_CLASS_INFO

TiForm10::TiForm10(TComponent* Owner) : TForm(Owner) {
  RegisterSetupClasses();
  InitializeForm();
}

void TiForm10::FormCreate(TObject*) {
  AdjustDesignScreen(ElasticForm1);
  PendingDir.clear();
  ShellTree1->SetShowIcons(true);
}

void TiForm10::FormActivate(TObject*) {
  SetCaption(ShellTree1->Path());
  if (PendingDir.empty()) return;
  ShellTree1->SetPath(std::exchange(PendingDir, std::string()));
}

// The tree selects its root while it is being built, long before anyone sees the
// dialog: a hidden dialog keeps its own caption, and each showing sets it anew.
void TiForm10::ShellTree1Change(TObject*, TTreeNode*) {
  if (Visible()) SetCaption(ShellTree1->Path());
}

void TiForm10::Button2Click(TObject*) {
  SelectedDir = AddBackslash(ShellTree1->Path());
  SetModalResult(mrOk);
}

void TiForm10::BitBtn1Click(TObject*) { iForm11->ShowModal(); }

void TiForm10::Button3Click(TObject*) {
  SelectedDir.clear();
  SetModalResult(mrCancel);
}

void TiForm10::Button1Click(TObject*) { Application->HelpContext(FolderDialogHelp); }
