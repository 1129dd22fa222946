#include "setup/Uinstbrisko.h"

#include "elastic/ElastFrm.h"
#include "mltlang/MLTLANG.h"
#include "setup/Uinstbrisko2.h"
#include "setup/Uinstbrisko3.h"
#include "setup/Uinstbrisko_uninstall.h"
#include "setup/uinstbrisko6.h"
#include "setup/wizard.h"

TiiForm1* iiForm1 = nullptr;

BEGIN_CLASS_INFO(TiiForm1, TForm, nullptr)
  P.Field("Image1", &TiiForm1::Image1);
  P.Field("Memo1", &TiiForm1::Memo1);
  P.Field("RadioButton1", &TiiForm1::RadioButton1);
  P.Field("RadioButton2", &TiiForm1::RadioButton2);
  P.Field("Button2", &TiiForm1::Button2);
  P.Field("Button3", &TiiForm1::Button3);
  P.Field("ElasticForm1", &TiiForm1::ElasticForm1);
  P.Field("MltLang1", &TiiForm1::MltLang1);
  P.Method("FormCreate", &TiiForm1::FormCreate);
  P.Method("RadioButton1Click", &TiiForm1::RadioButton1Click);
  P.Method("RadioButton2Click", &TiiForm1::RadioButton2Click);
  P.Method("Button2Click", &TiiForm1::Button2Click);
  P.Method("Button3Click", &TiiForm1::Button3Click);
END_CLASS_INFO

TiiForm1::TiiForm1(TComponent* Owner) : TForm(Owner) {
  RegisterSetupClasses();
  InitializeForm();
}

void TiiForm1::FormCreate(TObject*) {
  AdjustDesignScreen(ElasticForm1);
  SetProductPicture(Image1->Picture());
}

void TiiForm1::RadioButton1Click(TObject*) { Button3->SetCaption("Next>"); }

void TiiForm1::RadioButton2Click(TObject*) { Button3->SetCaption("UnInstall"); }

void TiiForm1::Button2Click(TObject*) { iiForm2->ShowModal(); }

void TiiForm1::Button3Click(TObject*) {
  Hide();
  if (RadioButton1->Checked()) {
    iiForm3->Show();
    return;
  }
  Uninstall();
}

void TiiForm1::Uninstall() {
  // Should the run fail, the application shows the error; this page comes back, or
  // the user would be left with no window at all. Its showing puts the stored
  // "Next>" back on the button (the translation component), while Uninstall is
  // still the one checked.
  TScopeGuard ComeBack([this] {
    Show();
    RadioButton2Click(this);
  });
  const std::string Text = RunUninstall();
  ComeBack.Dismiss();
  iiForm6->ShowUninstalled(Text);
}
