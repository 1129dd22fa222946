#include "setup/Uinstbrisko2.h"

#include "elastic/ElastFrm.h"
#include "mltlang/MLTLANG.h"
#include "gui/application.h"
#include "setup/wizard.h"

TiiForm2* iiForm2 = nullptr;

BEGIN_CLASS_INFO(TiiForm2, TForm, nullptr)
  P.Field("Label1", &TiiForm2::Label1);
  P.Field("Button1", &TiiForm2::Button1);
  P.Field("Button2", &TiiForm2::Button2);
  P.Field("ElasticForm1", &TiiForm2::ElasticForm1);
  P.Field("MltLang1", &TiiForm2::MltLang1);
  P.Method("FormCreate", &TiiForm2::FormCreate);
  P.Method("Button1Click", &TiiForm2::Button1Click);
  P.Method("Button2Click", &TiiForm2::Button2Click);
END_CLASS_INFO

TiiForm2::TiiForm2(TComponent* Owner) : TForm(Owner) {
  RegisterSetupClasses();
  InitializeForm();
}

void TiiForm2::FormCreate(TObject*) { AdjustDesignScreen(ElasticForm1); }

void TiiForm2::Button1Click(TObject*) { Close(); }

void TiiForm2::Button2Click(TObject*) {
  Close();
  if (TForm* Welcome = Application->MainForm()) Welcome->Show();
  Application->Terminate();
}
