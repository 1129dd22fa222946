// The language and target-folder page.
#pragma once

#include <string>

#include "gui/buttons.h"
#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/stdctrls.h"

class TElasticForm;
class TMltLang;

// Where the product goes unless the user says otherwise.
inline constexpr const char* DefaultTargetFolder = "C:\\program Files\\Brisko\\";

// The product language code for a name of the language box, compared exactly and
// with case; any other text gives "US".
std::string LanguageCodeFor(const std::string& LanguageName);

// The product goes into a folder of its own: Folder (ending with a backslash) as it
// is when its last name is Brisko in any case of a to z, otherwise with "Brisko\"
// appended. C:\Apps\ gives C:\Apps\Brisko\, C:\ gives C:\Brisko\.
std::string WithProductFolder(const std::string& Folder);

class TiiForm3 : public TForm {
  DECLARE_CLASS(TiiForm3)
public:
  explicit TiiForm3(TComponent* Owner);

  TLabel* Label3 = nullptr;
  TImage* Image1 = nullptr;
  TLabel* Label1 = nullptr;
  TComboBox* ComboBox1 = nullptr;  // the product language
  TLabel* Label2 = nullptr;
  TEdit* Edit1 = nullptr;  // the target folder
  TBitBtn* BitBtn1 = nullptr;
  TButton* Button2 = nullptr;  // Cancel
  TButton* Button4 = nullptr;  // <Back
  TButton* Button3 = nullptr;  // Next>
  TElasticForm* ElasticForm1 = nullptr;
  TMltLang* MltLang1 = nullptr;

  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void ComboBox1Change(TObject* Sender);
  void Edit1Click(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void Button4Click(TObject* Sender);
  void Button3Click(TObject* Sender);

private:
  // The folder dialog, opened at the box's folder; what it gives goes into the box.
  void ChooseTargetFolder();
};

extern TiiForm3* iiForm3;
