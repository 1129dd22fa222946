#include "setup/uinstbrisko6.h"

#include <windows.h>

#include "classes/sysutils.h"
#include "elastic/ElastFrm.h"
#include "mltlang/MLTLANG.h"
#include "gui/application.h"
#include "gui/dialogs.h"
#include "setup/SetupFiles.h"
#include "setup/wizard.h"

TiiForm6* iiForm6 = nullptr;

std::string BriskoCommandLine(const std::string& Folder) {
  std::string Line(1, '"');
  Line += AddBackslash(Folder);
  Line += "BRISKO.EXE\"";
  return Line;
}

bool StartBrisko(const std::string& Folder) {
  if (Folder.empty()) return false;
  SetCurrentDirectoryA(Folder.c_str());
  return static_cast<bool>(StartProcess(BriskoCommandLine(Folder), SW_SHOWDEFAULT));
}

BEGIN_CLASS_INFO(TiiForm6, TForm, nullptr)
  P.Field("Label3", &TiiForm6::Label3);
  P.Field("Image1", &TiiForm6::Image1);
  P.Field("Label2", &TiiForm6::Label2);
  P.Field("Label1", &TiiForm6::Label1);
  P.Field("Button2", &TiiForm6::Button2);
  P.Field("Button1", &TiiForm6::Button1);
  P.Field("ElasticForm1", &TiiForm6::ElasticForm1);
  P.Field("MltLang1", &TiiForm6::MltLang1);
  P.Method("FormCreate", &TiiForm6::FormCreate);
  P.Method("FormClose", &TiiForm6::FormClose);
  P.Method("FormResize", &TiiForm6::FormResize);
  P.Method("Button1Click", &TiiForm6::Button1Click);
  P.Method("Button2Click", &TiiForm6::Button2Click);
END_CLASS_INFO

TiiForm6::TiiForm6(TComponent* Owner) : TForm(Owner) {
  RegisterSetupClasses();
  InitializeForm();
}

void TiiForm6::FormCreate(TObject*) {
  AdjustDesignScreen(ElasticForm1);
  ShowProductPicture(*Image1);
}

namespace {
// Closing the welcome page, the main form, ends the program.
void EndProgram() {
  if (TForm* Welcome = Application->MainForm()) Welcome->Close();
}
}  // namespace

// The frame's close box ends the program, as Finish does.
void TiiForm6::FormClose(TObject*, TCloseAction& Action) {
  Action = caNone;
  EndProgram();
}

void TiiForm6::Button1Click(TObject*) { EndProgram(); }

void TiiForm6::Button2Click(TObject*) {
  if (!StartBrisko(Folder_)) ShowMessage(FinishText::StartFailed);
  EndProgram();
}

void TiiForm6::ShowInstalled(const std::string& Folder) {
  Folder_ = Folder;
  Button2->SetEnabled(true);
  SetResultText(FinishText::Installed);
  Show();
}

void TiiForm6::ShowUninstalled(const std::string& Text) {
  Button2->SetEnabled(false);
  SetResultText(Text);
  Show();
}

void TiiForm6::SetResultText(const std::string& Text) {
  Label2->SetCaption(Text);
  LayOutResultText();
}

// Every rescale of the page puts its controls back where the page was designed
// to have them, before the form hears of its new size: the text is laid out
// again each time.
void TiiForm6::FormResize(TObject*) { LayOutResultText(); }

// A one-line text keeps the label's place; a longer one (the folder that could
// not be removed) wraps across the page, down to the buttons, and the credits move
// up beside the picture, where they cannot be in its way.
void TiiForm6::LayOutResultText() {
  const std::string Text = Label2->Caption();
  Label2->SetWordWrap(false);
  Label2->SetAutoSize(true);
  const int MaxWidth = ClientWidth() - Label2->Left() - 8;
  const bool OneLine = Text.find_first_of("\r\n") == std::string::npos && Label2->Width() <= MaxWidth;
  if (OneLine) return;
  Label2->SetWidth(MaxWidth);
  Label2->SetWordWrap(true);
  if (Label2->Top() + Label2->Height() + 4 > Label1->Top())
    Label1->SetBounds(Label3->Left(), Label3->Top() + Label3->Height() + 16, Label1->Width(), Label1->Height());
}
