#include "setup/UinstallDIR.h"

#include "elastic/ElastFrm.h"
#include "mltlang/MLTLANG.h"
#include "setup/wizard.h"

TiForm10* iForm10 = nullptr;

BEGIN_CLASS_INFO(TiForm10, TForm, nullptr)
  P.Field("Panel4", &TiForm10::Panel4);
  P.Field("Button2", &TiForm10::Button2);
  P.Field("BitBtn1", &TiForm10::BitBtn1);
  P.Field("Button3", &TiForm10::Button3);
  P.Field("Button1", &TiForm10::Button1);
  P.Field("Panel1", &TiForm10::Panel1);
  P.Field("ElasticForm1", &TiForm10::ElasticForm1);
  P.Field("MltLang1", &TiForm10::MltLang1);
  P.Method("FormCreate", &TiForm10::FormCreate);
END_CLASS_INFO

TiForm10::TiForm10(TComponent* Owner) : TForm(Owner) {
  RegisterSetupClasses();
  InitializeForm();
}

void TiForm10::FormCreate(TObject*) {
  AdjustDesignScreen(ElasticForm1);
  PendingDir.clear();
}
