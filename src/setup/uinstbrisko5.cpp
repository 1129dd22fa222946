#include "setup/uinstbrisko5.h"

#include "elastic/ElastFrm.h"
#include "mltlang/MLTLANG.h"
#include "setup/Uinstbrisko2.h"
#include "setup/Uinstbrisko3.h"
#include "setup/uinstbrisko6.h"
#include "setup/wizard.h"

TiiForm5* iiForm5 = nullptr;

BEGIN_CLASS_INFO(TiiForm5, TForm, nullptr)
  P.Field("Label3", &TiiForm5::Label3);
  P.Field("Image1", &TiiForm5::Image1);
  P.Field("GroupBox1", &TiiForm5::GroupBox1);
  P.Field("CheckBox1", &TiiForm5::CheckBox1);
  P.Field("CheckBox2", &TiiForm5::CheckBox2);
  P.Field("CheckBox3", &TiiForm5::CheckBox3);
  P.Field("Button2", &TiiForm5::Button2);
  P.Field("Button4", &TiiForm5::Button4);
  P.Field("Button3", &TiiForm5::Button3);
  P.Field("Panel1", &TiiForm5::Panel1);
  P.Field("Label1", &TiiForm5::Label1);
  P.Field("ElasticForm1", &TiiForm5::ElasticForm1);
  P.Field("MltLang1", &TiiForm5::MltLang1);
  P.Method("FormCreate", &TiiForm5::FormCreate);
  P.Method("FormClose", &TiiForm5::FormClose);
  P.Method("Button2Click", &TiiForm5::Button2Click);
  P.Method("Button4Click", &TiiForm5::Button4Click);
  P.Method("Button3Click", &TiiForm5::Button3Click);
END_CLASS_INFO

TiiForm5::TiiForm5(TComponent* Owner) : TForm(Owner) {
  RegisterSetupClasses();
  InitializeForm();
}

void TiiForm5::FormCreate(TObject*) {
  AdjustDesignScreen(ElasticForm1);
  ShowProductPicture(*Image1);
}

// As on the language page: the frame's close box asks like Cancel.
void TiiForm5::FormClose(TObject*, TCloseAction& Action) {
  Action = caNone;
  iiForm2->ShowModal();
}

void TiiForm5::Button2Click(TObject*) { iiForm2->ShowModal(); }

void TiiForm5::Button4Click(TObject*) {
  Hide();
  iiForm3->Show();
}

TInstallChoices TiiForm5::Choices() const {
  TInstallChoices C;
  C.TargetFolder = iiForm3->Edit1->Text();
  C.LanguageCode = LanguageCode;
  C.DesktopShortcut = CheckBox1->Checked();
  C.StartMenuShortcut = CheckBox2->Checked();
  C.ProgramsShortcut = CheckBox3->Checked();
  return C;
}

TInstallEdges TiiForm5::Edges() {
  TInstallEdges E;
  // Nothing is repainted while unzip runs, so the panel is painted before it starts.
  E.ShowPanel = [this] {
    Panel1->Show();
    Repaint();
  };
  E.HidePanel = [this] { Panel1->Hide(); };
  return E;
}

void TiiForm5::Button3Click(TObject*) {
  const TInstallChoices C = Choices();
  if (!InstallBrisko(C, Edges())) return;
  Hide();
  iiForm6->ShowInstalled(C.TargetFolder);
}
