// The wizard's pages in the test process: the language code, every button of
// every page, the exit confirmation, the uninstallation run on its pages and the
// start of the installed product.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/dialogs.h"
#include "install_fixture.h"
#include "support/dialog_answers.h"
#include "wizard_support.h"

using namespace wizardtest;
namespace it = installtest;

namespace {

using TPages = std::vector<std::string>;

const std::string Scratch = "C:\\instbrisko wizard tests\\";

// Types Text over what the edit holds, one character at a time.
void Type(HWND Edit, const std::string& Text) {
  SendMessageA(Edit, EM_SETSEL, 0, -1);
  if (Text.empty()) SendMessageA(Edit, WM_CHAR, VK_BACK, 1);
  for (char C : Text) SendMessageA(Edit, WM_CHAR, static_cast<unsigned char>(C), 1);
  HandlePendingMessages();
}

template <class F>
bool PumpUntilTrue(F Done) {
  return testsupport::PumpUntil(Done, 10000);
}

void ExpectNothingWritten() {
  EXPECT_FALSE(it::DirectoryExists(it::DefaultTarget));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Brisko"));
}

// Cancel on the page, then Resume or Exit setup in the confirmation; the pages
// visible while it asked.
TPages CancelAndAnswer(TButton* Cancel, bool Resume) {
  TWhenConfirming Answer([Resume] { Press(Resume ? iiForm2->Button1 : iiForm2->Button2); });
  Press(Cancel);
  EXPECT_TRUE(Answer.Done());
  return Answer.PagesSeen;
}

HWND ComboEdit() { return GetWindow(iiForm3->ComboBox1->Handle(), GW_CHILD); }

using TAnswers = testsupport::TDialogAnswers;

class Wizard : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Forms.Created());
    it::DeleteTree(Scratch);
    it::MakeFolder(Scratch);
    iiForm1->Show();
    HandlePendingMessages();
  }
  void TearDown() override {
    it::DeleteTree(Scratch);
    it::DeleteKey(HKEY_LOCAL_MACHINE, "Software\\Brisko");
  }

  TWizardForms Forms;
};

}  // namespace

TEST(LanguageCode, FromTheNamesOfTheLanguageBoxExactlyAndWithCase) {
  const std::pair<const char*, const char*> Codes[] = {
      {"English", "US"},   {"Czech", "CZ"},      {"Dansk", "DK"},  {"Deutsch", "DE"}, {"Fran\xE7" "ais", "FR"},
      {"Nederlands", "NL"}, {"Po polsku", "PL"}, {"Ruski", "RU"},  {"Slovak", "SK"},
  };
  for (const auto& [Name, Code] : Codes) EXPECT_EQ(LanguageCodeFor(Name), Code) << Name;
  for (const char* Other : {"english", "DEUTSCH", "Francais", "Deutsch ", "Klingon", ""})
    EXPECT_EQ(LanguageCodeFor(Other), "US") << Other;
}

TEST_F(Wizard, LanguageCodeFollowsTheLanguageBox) {
  Press(iiForm1->Button3);
  ASSERT_EQ(VisiblePages(), (TPages{"language"}));
  EXPECT_EQ(LanguageCode, "US") << "untouched";

  // Picked from the list with the keyboard: the code of each item in turn.
  const char* Codes[] = {"US", "CZ", "DK", "DE", "FR", "NL", "PL", "RU", "SK"};
  SetFocus(ComboEdit());
  for (int I = 1; I < 9; ++I) {
    SendMessageA(ComboEdit(), WM_KEYDOWN, VK_DOWN, 1);
    HandlePendingMessages();
    EXPECT_EQ(iiForm3->ComboBox1->ItemIndex(), I);
    EXPECT_EQ(LanguageCode, Codes[I]) << iiForm3->ComboBox1->Text();
  }

  Type(ComboEdit(), "Deutsch");
  EXPECT_EQ(LanguageCode, "DE");
  Type(ComboEdit(), "deutsch");
  EXPECT_EQ(LanguageCode, "US");
  Type(ComboEdit(), "Fran\xE7" "ais");
  EXPECT_EQ(LanguageCode, "FR");
  Type(ComboEdit(), "Esperanto");
  EXPECT_EQ(LanguageCode, "US");
}

TEST_F(Wizard, NextCaptionFollowsTheRadioButtons) {
  Press(iiForm1->RadioButton2);
  EXPECT_EQ(iiForm1->Button3->Caption(), "UnInstall");
  EXPECT_TRUE(iiForm1->RadioButton2->Checked());
  EXPECT_FALSE(iiForm1->RadioButton1->Checked());
  Press(iiForm1->RadioButton1);
  EXPECT_EQ(iiForm1->Button3->Caption(), "Next>");
  EXPECT_EQ(VisiblePages(), (TPages{"welcome"}));
}

TEST_F(Wizard, ForwardAndBackKeepEveryEntry) {
  Press(iiForm1->Button3);
  ASSERT_EQ(VisiblePages(), (TPages{"language"}));
  Type(iiForm3->Edit1->Handle(), "");
  Type(ComboEdit(), "Slovak");
  // Any folder text goes, also none.
  Press(iiForm3->Button3);
  ASSERT_EQ(VisiblePages(), (TPages{"shortcuts"}));
  Press(iiForm5->CheckBox1);
  Press(iiForm5->CheckBox2);
  Press(iiForm5->Button4);
  ASSERT_EQ(VisiblePages(), (TPages{"language"}));
  EXPECT_EQ(iiForm3->Edit1->Text(), "");
  EXPECT_EQ(iiForm3->ComboBox1->Text(), "Slovak");
  Type(iiForm3->Edit1->Handle(), "D:\\Apps\\Brisko\\");
  Press(iiForm3->Button4);
  ASSERT_EQ(VisiblePages(), (TPages{"welcome"}));
  EXPECT_TRUE(iiForm1->RadioButton1->Checked());

  Press(iiForm1->Button3);
  Press(iiForm3->Button3);
  ASSERT_EQ(VisiblePages(), (TPages{"shortcuts"}));
  EXPECT_FALSE(iiForm5->CheckBox1->Checked());
  EXPECT_TRUE(iiForm5->CheckBox2->Checked());
  EXPECT_TRUE(iiForm5->CheckBox3->Checked());
  EXPECT_FALSE(iiForm5->Panel1->Visible());
  EXPECT_EQ(iiForm3->Edit1->Text(), "D:\\Apps\\Brisko\\");
  EXPECT_EQ(LanguageCode, "SK");
  ExpectNothingWritten();
}

TEST_F(Wizard, ResumeReturnsToTheSamePageWithEverythingKept) {
  EXPECT_EQ(CancelAndAnswer(iiForm1->Button2, true), (TPages{"welcome", "exit confirmation"}));
  EXPECT_EQ(VisiblePages(), (TPages{"welcome"}));

  Press(iiForm1->Button3);
  Type(iiForm3->Edit1->Handle(), "E:\\Elsewhere\\");
  Type(ComboEdit(), "Dansk");
  EXPECT_EQ(CancelAndAnswer(iiForm3->Button2, true), (TPages{"exit confirmation", "language"}));
  EXPECT_EQ(VisiblePages(), (TPages{"language"}));
  EXPECT_EQ(iiForm3->Edit1->Text(), "E:\\Elsewhere\\");
  EXPECT_EQ(iiForm3->ComboBox1->Text(), "Dansk");
  EXPECT_EQ(LanguageCode, "DK");

  Press(iiForm3->Button3);
  Press(iiForm5->CheckBox3);
  EXPECT_EQ(CancelAndAnswer(iiForm5->Button2, true), (TPages{"exit confirmation", "shortcuts"}));
  EXPECT_EQ(VisiblePages(), (TPages{"shortcuts"}));
  EXPECT_FALSE(iiForm5->CheckBox3->Checked());
  EXPECT_TRUE(iiForm5->CheckBox1->Checked());
  EXPECT_FALSE(Application->Terminated());
}

TEST(WizardExit, ExitSetupFromEveryPageEndsTheProgramAndWritesNothing) {
  struct {
    const char* Page;
    int Forward;  // Next> presses from the welcome page
  } Pages[] = {{"welcome", 0}, {"language", 1}, {"shortcuts", 2}};
  for (const auto& P : Pages) {
    SCOPED_TRACE(P.Page);
    TWizardForms Forms;
    ASSERT_TRUE(Forms.Created());
    iiForm1->Show();
    HandlePendingMessages();
    TButton* Cancel = iiForm1->Button2;
    if (P.Forward >= 1) {
      Press(iiForm1->Button3);
      Cancel = iiForm3->Button2;
    }
    if (P.Forward >= 2) {
      Press(iiForm3->Button3);
      Cancel = iiForm5->Button2;
    }
    ASSERT_EQ(VisiblePages(), (TPages{P.Page}));
    CancelAndAnswer(Cancel, false);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(iiForm1->Visible()) << "the welcome page is made visible on the way out";
    ExpectNothingWritten();
  }
}

TEST_F(Wizard, ClosingAPageThroughItsFrameAsksLikeCancel) {
  Press(iiForm1->Button3);
  TWhenConfirming Resume([] { Press(iiForm2->Button1); });
  SendMessageA(iiForm3->Handle(), WM_CLOSE, 0, 0);
  HandlePendingMessages();
  EXPECT_TRUE(Resume.Done());
  EXPECT_EQ(Resume.PagesSeen, (TPages{"exit confirmation", "language"}));
  EXPECT_EQ(VisiblePages(), (TPages{"language"}));
  EXPECT_FALSE(Application->Terminated());
}

TEST_F(Wizard, FinishEndsTheProgram) {
  Press(iiForm1->Button3);
  Press(iiForm3->Button3);
  iiForm5->Hide();
  iiForm6->ShowInstalled(iiForm3->Edit1->Text());
  ASSERT_EQ(VisiblePages(), (TPages{"finish"}));
  EXPECT_EQ(iiForm6->Label2->Caption(), "You have successfully installed Brisko.");
  EXPECT_TRUE(iiForm6->Button2->Enabled());
  Press(iiForm6->Button1);
  EXPECT_TRUE(Application->Terminated());
}

// --- Start Brisko -------------------------------------------------------------

TEST(StartBrisko, CommandLineIsQuotedWithOneBackslashBeforeTheProgram) {
  EXPECT_EQ(BriskoCommandLine("C:\\program Files\\Brisko\\"), "\"C:\\program Files\\Brisko\\BRISKO.EXE\"");
  EXPECT_EQ(BriskoCommandLine("C:\\Brisko"), "\"C:\\Brisko\\BRISKO.EXE\"");
  EXPECT_EQ(BriskoCommandLine("C:\\"), "\"C:\\BRISKO.EXE\"");
  EXPECT_FALSE(StartBrisko(""));
}

namespace {
// A top-level window of another process, by caption.
HWND ProductWindow() {
  HWND Found = nullptr;
  PumpUntilTrue([&] {
    for (HWND W = FindWindowA(nullptr, "Brisko"); W; W = FindWindowExA(nullptr, W, nullptr, "Brisko")) {
      DWORD Pid = 0;
      GetWindowThreadProcessId(W, &Pid);
      if (Pid != GetCurrentProcessId()) Found = W;
    }
    return Found != nullptr;
  });
  return Found;
}
}  // namespace

TEST_F(Wizard, StartBriskoStartsTheProductByHandAndEnds) {
  // The product as an installation leaves it, in a folder with a blank, typed
  // without its trailing backslash.
  const std::string Folder = Scratch + "My Brisko";
  ASSERT_TRUE(RunAndWait(UnzipCommandLine(it::DistFolder(), Folder, "BRISKO.ZIP")) == 0u);
  ASSERT_TRUE(it::FileExists(Folder + "\\BRISKO.EXE"));
  char Before[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, Before);

  iiForm3->Edit1->SetText(Folder);
  iiForm1->Hide();
  iiForm6->ShowInstalled(iiForm3->Edit1->Text());
  TAnswers Answers;
  Press(iiForm6->Button2);
  EXPECT_TRUE(Answers.Requests.empty()) << Answers.Texts()[0];
  EXPECT_TRUE(Application->Terminated());
  char Now[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, Now);
  EXPECT_STREQ(Now, Folder.c_str());
  SetCurrentDirectoryA(Before);

  HWND Product = ProductWindow();
  ASSERT_NE(Product, nullptr) << "BRISKO.EXE did not start";
  DWORD Pid = 0;
  GetWindowThreadProcessId(Product, &Pid);
  TKernelHandle Process(OpenProcess(SYNCHRONIZE, FALSE, Pid));
  PostMessageA(Product, WM_CLOSE, 0, 0);
  if (Process) {
    EXPECT_EQ(WaitForSingleObject(Process.Get(), 10000), WAIT_OBJECT_0);
  }
}

TEST_F(Wizard, StartBriskoWithoutTheProductSaysSoAndEnds) {
  iiForm3->Edit1->SetText(Scratch + "nothing here\\");
  iiForm1->Hide();
  iiForm6->ShowInstalled(iiForm3->Edit1->Text());
  TAnswers Answers;
  Press(iiForm6->Button2);
  EXPECT_EQ(Answers.Texts(), (std::vector<std::string>{"Starting Wendal failed!"}));
  ASSERT_EQ(Answers.Requests.size(), 1u);
  EXPECT_TRUE(Answers.Requests[0].Simple);
  EXPECT_TRUE(Application->Terminated());
}

// --- The uninstallation run on its pages -------------------------------------------

TEST_F(Wizard, UninstallEndsOnTheFinishPageWithStartDisabled) {
  const std::string Folder = Scratch + "Brisko\\";
  it::MakeFolder(Folder + "lang");
  it::WriteAll(Folder + "BRISKO.EXE", "x");
  it::WriteAll(Folder + "lang\\US.txt", "x");
  WriteRegString(HKEY_LOCAL_MACHINE, InstallText::InstallKey, "", Folder);

  TAnswers Yes(mrYes);
  Press(iiForm1->RadioButton2);
  Press(iiForm1->Button3);
  ASSERT_EQ(Yes.Requests.size(), 1u);
  EXPECT_EQ(Yes.Requests[0].Type, mtInformation);
  EXPECT_EQ(VisiblePages(), (TPages{"finish"}));
  EXPECT_FALSE(iiForm6->Button2->Enabled());
  EXPECT_EQ(iiForm6->Label2->Caption(), "You have succesfully removed Brisko");
  // A one-line text keeps its place.
  EXPECT_EQ(iiForm6->Label2->Left(), 32);
  EXPECT_EQ(iiForm6->Label2->Top(), 208);
  EXPECT_EQ(iiForm6->Label1->Top(), 232);
  EXPECT_FALSE(it::DirectoryExists(Folder));
  EXPECT_FALSE(Application->Terminated());
}

TEST_F(Wizard, RemnantsAreReportedReadablyOnTheFinishPage) {
  const std::string Folder = Scratch + "A rather long folder name for Brisko\\with a subfolder\\";
  it::MakeFolder(Folder);
  it::WriteAll(Folder + "locked.txt", "x");
  SetFileAttributesA((Folder + "locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteRegString(HKEY_LOCAL_MACHINE, InstallText::InstallKey, "", Folder);

  TAnswers Yes(mrYes);
  Press(iiForm1->RadioButton2);
  Press(iiForm1->Button3);
  ASSERT_EQ(VisiblePages(), (TPages{"finish"}));
  TLabel& Text = *iiForm6->Label2;
  EXPECT_EQ(Text.Caption(), UninstallText::Remnants(Folder));
  EXPECT_EQ(Text.Caption().find("Brisko was removed, but some files remain in\r"), 0u);
  EXPECT_TRUE(Text.WordWrap());
  // At least the two lines, within the page, above the buttons, clear of the credits.
  const int Line = -iiForm6->Font()->Height();
  EXPECT_GE(Text.Height(), 2 * Line);
  EXPECT_LE(Text.Left() + Text.Width(), iiForm6->ClientWidth());
  EXPECT_LE(Text.Top() + Text.Height(), iiForm6->Button2->Top());
  RECT A = Text.BoundsRect(), B = iiForm6->Label1->BoundsRect(), Overlap;
  EXPECT_FALSE(IntersectRect(&Overlap, &A, &B)) << "the credits lie under the text";
  RECT Picture = iiForm6->Image1->BoundsRect();
  EXPECT_FALSE(IntersectRect(&Overlap, &B, &Picture)) << "the credits lie on the picture";
  EXPECT_LE(B.right, iiForm6->ClientWidth());
  EXPECT_FALSE(iiForm6->Button2->Enabled());
  SetFileAttributesA((Folder + "locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Wizard, AnErrorInTheUninstallationLeavesTheWelcomePage) {
  const std::string Folder = Scratch + "Brisko\\";
  it::MakeFolder(Folder);
  WriteRegString(HKEY_LOCAL_MACHINE, InstallText::InstallKey, "", Folder);
  // A run whose question fails: the error must not leave the user without a page.
  TAnswers Answers([](const TDialogRequest& R) -> int {
    if (R.Type == mtInformation) throw Exception("The question cannot be asked");
    return mrOk;
  });
  Press(iiForm1->RadioButton2);
  Press(iiForm1->Button3);
  ASSERT_EQ(Answers.Requests.size(), 2u);
  EXPECT_EQ(Answers.Requests[1].Text, "The question cannot be asked");
  EXPECT_EQ(VisiblePages(), (TPages{"welcome"}));
  EXPECT_TRUE(iiForm1->RadioButton2->Checked());
  EXPECT_EQ(WindowText(iiForm1->Button3->Handle()), "UnInstall") << "the button says what it does";
  EXPECT_TRUE(it::DirectoryExists(Folder));
}
