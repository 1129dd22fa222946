// The shortcuts page and its Install button, which runs the installation.
#pragma once

#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/stdctrls.h"
#include "setup/uinstbrisko5_install.h"

class TElasticForm;
class TMltLang;

class TiiForm5 : public TForm {
  DECLARE_CLASS(TiiForm5)
public:
  explicit TiiForm5(TComponent* Owner);

  TLabel* Label3 = nullptr;
  TImage* Image1 = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TCheckBox* CheckBox1 = nullptr;  // desktop
  TCheckBox* CheckBox2 = nullptr;  // start menu
  TCheckBox* CheckBox3 = nullptr;  // programs
  TButton* Button2 = nullptr;      // Cancel
  TButton* Button4 = nullptr;      // <Back
  TButton* Button3 = nullptr;      // Install
  TPanel* Panel1 = nullptr;        // "Please wait", while the installation runs
  TLabel* Label1 = nullptr;
  TElasticForm* ElasticForm1 = nullptr;
  TMltLang* MltLang1 = nullptr;

  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Button2Click(TObject* Sender);
  void Button4Click(TObject* Sender);
  void Button3Click(TObject* Sender);

  // What the pages hold for the installation run, and the page's part in it.
  TInstallChoices Choices() const;
  TInstallEdges Edges();
};

extern TiiForm5* iiForm5;
