#include "setup/Uinstbrisko3.h"

#include "classes/sysutils.h"
#include "elastic/ElastFrm.h"
#include "mltlang/MLTLANG.h"
#include "setup/UinstallDIR.h"
#include "setup/Uinstbrisko.h"
#include "setup/wizard.h"
#include "setup/Uinstbrisko2.h"
#include "setup/uinstbrisko5.h"
#include "setup/uinstbrisko5_install.h"
#include "shelltree/FolderExists.h"
#include "shelltree/ShellTree.h"

TiiForm3* iiForm3 = nullptr;

std::string LanguageCodeFor(const std::string& LanguageName) {
  static const struct {
    const char* Name;
    const char* Code;
  } Languages[] = {
      {"English", "US"},      {"Czech", "CZ"},       {"Dansk", "DK"},
      {"Deutsch", "DE"},      {"Fran\xE7" "ais", "FR"}, {"Nederlands", "NL"},
      {"Po polsku", "PL"},    {"Ruski", "RU"},       {"Slovak", "SK"},
  };
  for (const auto& L : Languages)
    if (LanguageName == L.Name) return L.Code;
  return "US";
}

std::string WithProductFolder(const std::string& Folder) {
  std::string_view Name(Folder);
  if (!Name.empty() && Name.back() == '\\') Name.remove_suffix(1);
  const size_t Start = Name.find_last_of("\\:");
  if (Start != std::string_view::npos) Name.remove_prefix(Start + 1);
  return UpperCase(Name) == "BRISKO" ? Folder : Folder + "Brisko\\";
}

BEGIN_CLASS_INFO(TiiForm3, TForm, nullptr)
  P.Field("Label3", &TiiForm3::Label3);
  P.Field("Image1", &TiiForm3::Image1);
  P.Field("Label1", &TiiForm3::Label1);
  P.Field("ComboBox1", &TiiForm3::ComboBox1);
  P.Field("Label2", &TiiForm3::Label2);
  P.Field("Edit1", &TiiForm3::Edit1);
  P.Field("BitBtn1", &TiiForm3::BitBtn1);
  P.Field("Button2", &TiiForm3::Button2);
  P.Field("Button4", &TiiForm3::Button4);
  P.Field("Button3", &TiiForm3::Button3);
  P.Field("ElasticForm1", &TiiForm3::ElasticForm1);
  P.Field("MltLang1", &TiiForm3::MltLang1);
  P.Method("FormCreate", &TiiForm3::FormCreate);
  P.Method("FormClose", &TiiForm3::FormClose);
  P.Method("ComboBox1Change", &TiiForm3::ComboBox1Change);
  P.Method("Edit1Click", &TiiForm3::Edit1Click);
  P.Method("BitBtn1Click", &TiiForm3::BitBtn1Click);
  P.Method("Button2Click", &TiiForm3::Button2Click);
  P.Method("Button4Click", &TiiForm3::Button4Click);
  P.Method("Button3Click", &TiiForm3::Button3Click);
END_CLASS_INFO

TiiForm3::TiiForm3(TComponent* Owner) : TForm(Owner) {
  RegisterSetupClasses();
  InitializeForm();
}

void TiiForm3::FormCreate(TObject*) {
  AdjustDesignScreen(ElasticForm1);
  ComboBox1->SetItemIndex(0);
  Edit1->SetText(DefaultTargetFolder);
  ShowProductPicture(*Image1);
  LanguageCode = "US";
}

// Closing the page through its frame asks, as Cancel does, instead of leaving the
// program running without a window.
void TiiForm3::FormClose(TObject*, TCloseAction& Action) {
  Action = caNone;
  iiForm2->ShowModal();
}

void TiiForm3::ComboBox1Change(TObject*) { LanguageCode = LanguageCodeFor(ComboBox1->Text()); }

void TiiForm3::Edit1Click(TObject*) { ChooseTargetFolder(); }

void TiiForm3::BitBtn1Click(TObject*) { ChooseTargetFolder(); }

void TiiForm3::ChooseTargetFolder() {
  const std::string Typed = Edit1->Text();
  iForm10->ShellTree1->SetPath(FolderExists(Typed) ? Typed : DefaultSetupFolder());
  iForm10->ShowModal();
  if (iForm10->SelectedDir.empty()) return;
  iForm10->SelectedDir = WithProductFolder(iForm10->SelectedDir);
  Edit1->SetText(iForm10->SelectedDir);
}

void TiiForm3::Button2Click(TObject*) { iiForm2->ShowModal(); }

void TiiForm3::Button4Click(TObject*) {
  Hide();
  iiForm1->Show();
}

void TiiForm3::Button3Click(TObject*) {
  Hide();
  iiForm5->Show();
}
