// The exit confirmation, shown modally over whichever page the user cancelled.
#pragma once

#include "gui/forms.h"
#include "gui/stdctrls.h"

class TElasticForm;
class TMltLang;

class TiiForm2 : public TForm {
  DECLARE_CLASS(TiiForm2)
public:
  explicit TiiForm2(TComponent* Owner);

  TLabel* Label1 = nullptr;
  TButton* Button1 = nullptr;  // Resume
  TButton* Button2 = nullptr;  // Exit setup
  TElasticForm* ElasticForm1 = nullptr;
  TMltLang* MltLang1 = nullptr;

  void FormCreate(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);
};

extern TiiForm2* iiForm2;
