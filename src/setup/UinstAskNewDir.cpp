#include "setup/UinstAskNewDir.h"

#include "elastic/ElastFrm.h"
#include "mltlang/MLTLANG.h"
#include "setup/wizard.h"

TiForm11* iForm11 = nullptr;

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
END_CLASS_INFO

TiForm11::TiForm11(TComponent* Owner) : TForm(Owner) {
  RegisterSetupClasses();
  InitializeForm();
}

void TiForm11::FormCreate(TObject*) { AdjustDesignScreen(ElasticForm1); }
