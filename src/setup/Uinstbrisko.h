// The welcome page: install or uninstall. It starts the uninstallation run itself.
#pragma once

#include <string>

#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/stdctrls.h"

class TElasticForm;
class TMltLang;

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

private:
  void Uninstall();
};

extern TiiForm1* iiForm1;
