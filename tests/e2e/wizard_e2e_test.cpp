// The built instbrisko.exe, driven through its windows from this process, in the
// build's own Wine prefix: the walk through the pages, Exit setup, an installation
// with the default folder, a removal, and the start of the installed product.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "setup/ShellFolders.h"
#include "setup/uinstbrisko5_install.h"
#include "wizard_fixture.h"

using namespace e2e;
using namespace installtest;

namespace {

// A top-level window of another program than the wizard, by caption.
HWND FindProgramWindow(const char* Caption, DWORD ExceptPid) {
  HWND Found = nullptr;
  WaitFor([&] {
    for (HWND W = FindWindowA(nullptr, Caption); W; W = FindWindowExA(nullptr, W, nullptr, Caption)) {
      DWORD Pid = 0;
      GetWindowThreadProcessId(W, &Pid);
      if (Pid != ExceptPid) {
        Found = W;
        return true;
      }
    }
    return false;
  });
  return Found;
}

// The texts of a window's children, in the order the window holds them.
std::vector<std::string> ChildTexts(HWND Wnd) {
  std::vector<std::string> Texts;
  for (HWND C = GetWindow(Wnd, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT)) Texts.push_back(WindowText(C));
  return Texts;
}

}  // namespace

TEST_F(WizardE2E, WalkForwardBackCancelResumeAndExit) {
  TWizard W(Exe());
  ASSERT_TRUE(W.WaitForPages({"welcome"}));
  Screenshot("welcome");
  W.Click("welcome", "Next>");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  Screenshot("language");

  // What the user enters on the way stays while they go back and forth.
  const std::string Folder = "D:\\Somewhere else\\";
  W.Type(W.ControlOfClass("language", "TEdit"), Folder);
  W.Type(W.ControlOfClass("language", "Edit"), "Deutsch");
  W.Click("language", "Next>");
  ASSERT_TRUE(W.WaitForPages({"shortcuts"}));
  Screenshot("shortcuts");
  W.Click("shortcuts", "Add to Start menu");
  W.Click("shortcuts", "Add to desktop");
  ASSERT_TRUE(WaitFor([&] { return IsChecked(W.Control("shortcuts", "Add to Start menu")); }));

  W.Click("shortcuts", "<Back");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  EXPECT_EQ(WindowText(W.ControlOfClass("language", "TEdit")), Folder);
  EXPECT_EQ(WindowText(W.ControlOfClass("language", "Edit")), "Deutsch");
  W.Click("language", "<Back");
  ASSERT_TRUE(W.WaitForPages({"welcome"}));

  W.Click("welcome", "Cancel");
  ASSERT_TRUE(W.WaitForPages({"exit confirmation", "welcome"}));
  Screenshot("exit confirmation");
  W.Click("exit confirmation", "Resume");
  ASSERT_TRUE(W.WaitForPages({"welcome"}));
  EXPECT_TRUE(IsChecked(W.Control("welcome", "Install")));

  // Forward again: every entry is still as it was left.
  W.Click("welcome", "Next>");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  EXPECT_EQ(WindowText(W.ControlOfClass("language", "TEdit")), Folder);
  W.Click("language", "Next>");
  ASSERT_TRUE(W.WaitForPages({"shortcuts"}));
  EXPECT_FALSE(IsChecked(W.Control("shortcuts", "Add to desktop")));
  EXPECT_TRUE(IsChecked(W.Control("shortcuts", "Add to Start menu")));
  EXPECT_TRUE(IsChecked(W.Control("shortcuts", "Add to Programs")));
  W.Click("shortcuts", "<Back");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  W.Click("language", "<Back");
  ASSERT_TRUE(W.WaitForPages({"welcome"}));

  W.Click("welcome", "Cancel");
  ASSERT_TRUE(W.WaitForPages({"exit confirmation", "welcome"}));
  W.Click("exit confirmation", "Exit setup");
  EXPECT_EQ(W.WaitForExit(), 0u);
  ExpectNothingInstalled();
}

TEST_F(WizardE2E, ExitSetupFromEveryPageEndsTheProgramAndWritesNothing) {
  for (const TPage Page : {"welcome", "language", "shortcuts"}) {
    SCOPED_TRACE(Page);
    TWizard W(Exe());
    GoTo(W, Page);
    W.Click(Page, "Cancel");
    ASSERT_TRUE(W.WaitForPages({"exit confirmation", Page}));
    W.Click("exit confirmation", "Exit setup");
    EXPECT_EQ(W.WaitForExit(), 0u);
    ExpectNothingInstalled();
  }
}

TEST_F(WizardE2E, InstallWithTheDefaultFolderThenUninstall) {
  {
    TWizard W(Exe());
    GoTo(W, "shortcuts");
    W.Click("shortcuts", "Install");
    ASSERT_TRUE(W.WaitForPages({"finish"}, 60000)) << "the installation did not reach the finish page";
    Screenshot("finish installed");
    EXPECT_TRUE(IsWindowEnabled(W.Control("finish", "Start Brisko")));
    FinishAndExpectExit(W);
  }
  EXPECT_EQ(FindWindowA(nullptr, "Brisko"), nullptr) << "Finish started the product";

  EXPECT_TRUE(FileExists(DefaultTarget + "BRISKO.EXE"));
  EXPECT_TRUE(FileExists(DefaultTarget + "README.TXT"));
  EXPECT_TRUE(DirectoryExists(DefaultTarget + "lang"));
  const std::string Ini = DefaultTarget + "TALMOR.INI";
  EXPECT_EQ(IniValue(Ini, "System", "Web2cBINDir"), DefaultTarget);
  EXPECT_EQ(IniValue(Ini, "UserChoice", "TalmorLanguage"), "US");
  EXPECT_EQ(IniValue(Ini, "UserChoice", "SpellLanguage"), "US");
  for (const char* Folder : {"Desktop", "Programs"}) {
    auto Link = ReadLink(LinkFile(Folder));
    ASSERT_TRUE(Link) << Folder;
    EXPECT_EQ(Link->Path, DefaultTarget + "BRISKO.EXE");
    EXPECT_EQ(Link->WorkingDirectory, DefaultTarget);
  }
  EXPECT_FALSE(FileExists(LinkFile("Start Menu")));
  EXPECT_EQ(RecordedFolder(), DefaultTarget);

  UninstallThroughTheWizard(DefaultTarget);
  EXPECT_FALSE(DirectoryExists(DefaultTarget));
  for (const char* Folder : LinkFolders) EXPECT_FALSE(FileExists(LinkFile(Folder))) << Folder;
  EXPECT_FALSE(ProductKeyExists());
}

TEST_F(WizardE2E, UninstallAProductInstalledByHand) {
  const std::string Folder = E2ERoot + "Fake Brisko\\";
  MakeFolder(Folder + "lang\\deep");
  MakeFolder(Folder + "empty");
  WriteAll(Folder + "BRISKO.EXE", "not a program");
  WriteAll(Folder + "TALMOR.INI", "[UserChoice]\r\nTalmorLanguage=NL\r\n");
  WriteAll(Folder + "lang\\NL.txt", "Nederlands");
  WriteAll(Folder + "lang\\deep\\words.txt", "woorden");
  WriteAll(Folder + "hidden.dat", "h");
  SetFileAttributesA((Folder + "hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
  for (ShellFolderKind Kind : {sfkDesktop, sfkStartMenu, sfkPrograms})
    ASSERT_TRUE(CreateShortcut(Folder + "BRISKO.EXE", "", "Brisko.lnk", Kind)) << Kind;
  WriteRegString(HKEY_LOCAL_MACHINE, InstallText::InstallKey, "", Folder);

  UninstallThroughTheWizard(Folder);
  EXPECT_FALSE(DirectoryExists(Folder));
  EXPECT_TRUE(DirectoryExists(SetupFolder)) << "the walk left its folder";
  for (const char* Link : LinkFolders) EXPECT_FALSE(FileExists(LinkFile(Link))) << Link;
  EXPECT_FALSE(ProductKeyExists());
}

// Shared folders protect themselves, not every program's folder below them.
TEST_F(WizardE2E, UninstallAProductBelowASharedFolder) {
  for (const char* Shared : {"ProgramData", "PUBLIC"}) {
    char Base[MAX_PATH];
    ASSERT_GT(GetEnvironmentVariableA(Shared, Base, MAX_PATH), 0u) << Shared;
    const std::string Folder = std::string(Base) + "\\Brisko\\";
    SCOPED_TRACE(Folder);
    DeleteTree(Folder);
    MakeFolder(Folder + "lang");
    WriteAll(Folder + "BRISKO.EXE", "not a program");
    WriteAll(Folder + "lang\\DE.txt", "Deutsch");
    WriteRegString(HKEY_LOCAL_MACHINE, InstallText::InstallKey, "", Folder);

    UninstallThroughTheWizard(Folder);
    EXPECT_FALSE(DirectoryExists(Folder));
    EXPECT_TRUE(DirectoryExists(Base));
    EXPECT_FALSE(ProductKeyExists());
    DeleteTree(Folder);
  }
}

TEST_F(WizardE2E, UninstallLeavesAReadOnlyFileAndItsFolders) {
  const std::string Folder = E2ERoot + "Brisko with a rather long folder name\\";
  MakeFolder(Folder + "settings");
  WriteAll(Folder + "BRISKO.EXE", "not a program");
  WriteAll(Folder + "settings\\kept.ini", "read-only");
  SetFileAttributesA((Folder + "settings\\kept.ini").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteRegString(HKEY_LOCAL_MACHINE, InstallText::InstallKey, "", Folder);

  UninstallThroughTheWizard(Folder, "finish remnants");
  EXPECT_TRUE(FileExists(Folder + "settings\\kept.ini"));
  EXPECT_FALSE(FileExists(Folder + "BRISKO.EXE"));
  EXPECT_FALSE(ProductKeyExists());
  SetFileAttributesA((Folder + "settings\\kept.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WizardE2E, UninstallWithNothingRecordedSaysSoAndEnds) {
  TWizard W(Exe());
  StartUninstall(W);
  auto Box = W.WaitForMessageBox();
  ASSERT_TRUE(Box);
  EXPECT_EQ(Box->Caption, "instbrisko");
  EXPECT_NE(Box->Text.find("You have never installed Brisko!"), std::string::npos) << Box->Text;
  EXPECT_NE(Box->Text.find("So we do not have to UnInstall it."), std::string::npos) << Box->Text;
  Screenshot("nothing to uninstall");
  W.Answer(*Box, "OK");
  EXPECT_EQ(W.WaitForExit(), 0u);
  ExpectNothingInstalled();
}

// A file of the product held open by another program: Install says which archive
// failed, the shortcuts page stays as it was, and Install works once it is free.
TEST_F(WizardE2E, AHeldFileStopsTheInstallationAndThePageStaysUsable) {
  const std::string Folder = E2ERoot + "Held\\";
  MakeFolder(Folder);
  WriteAll(Folder + "BRISKO.EXE", "an older product, still running");
  TKernelHandle Held(
      CreateFileA((Folder + "BRISKO.EXE").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(Held);

  TWizard W(Exe());
  ASSERT_NO_FATAL_FAILURE(GoToShortcutsFor(W, Folder));
  auto Box = InstallExpectingAMessage(W);
  ASSERT_TRUE(Box);
  EXPECT_NE(Box->Text.find("Extracting BRISKO.ZIP failed!"), std::string::npos) << Box->Text;
  Screenshot("extracting failed");
  W.Answer(*Box, "OK");
  ASSERT_TRUE(W.WaitForPages({"shortcuts"}));
  EXPECT_TRUE(IsWindowEnabled(W.Control("shortcuts", "Install")));
  EXPECT_EQ(ReadAll(Folder + "BRISKO.EXE"), "an older product, still running");
  EXPECT_FALSE(RecordedFolder());

  Held.Close();
  W.Click("shortcuts", "Install");
  ASSERT_TRUE(W.WaitForPages({"finish"}, 60000));
  FinishAndExpectExit(W);
  EXPECT_NE(ReadAll(Folder + "BRISKO.EXE"), "an older product, still running");
  EXPECT_EQ(RecordedFolder(), Folder);
}

TEST_F(WizardE2E, InstallToATypedFolderInGermanAndStartBrisko) {
  // Typed without its trailing backslash, and with a blank.
  const std::string Typed = E2ERoot + "My Brisko";
  const std::string Folder = Typed + "\\";
  {
    TWizard W(Exe());
    GoTo(W, "language");
    W.Type(W.ControlOfClass("language", "TEdit"), Typed);
    W.Type(W.ControlOfClass("language", "Edit"), "Deutsch");
    W.Click("language", "Next>");
    ASSERT_TRUE(W.WaitForPages({"shortcuts"}));
    W.Click("shortcuts", "Add to desktop");
    W.Click("shortcuts", "Add to Programs");
    ASSERT_TRUE(WaitFor([&] { return !IsChecked(W.Control("shortcuts", "Add to Programs")); }));
    W.Click("shortcuts", "Install");
    ASSERT_TRUE(W.WaitForPages({"finish"}, 60000));
    W.Click("finish", "Start Brisko");
    EXPECT_EQ(W.WaitForExit(), 0u);

    HWND Product = FindProgramWindow("Brisko", W.ProcessId());
    ASSERT_NE(Product, nullptr) << "BRISKO.EXE did not start";
    // The window can be found from the moment it has its caption; its texts are
    // made afterwards, while it handles WM_CREATE.
    std::vector<std::string> Texts;
    EXPECT_TRUE(WaitFor([&] {
      Texts = ChildTexts(Product);
      return std::find(Texts.begin(), Texts.end(), "Language: DE") != Texts.end();
    })) << "the product window shows: " << ::testing::PrintToString(Texts);
    Screenshot("brisko started");
    DWORD ProductPid = 0;
    GetWindowThreadProcessId(Product, &ProductPid);
    TKernelHandle ProductProcess(OpenProcess(SYNCHRONIZE, FALSE, ProductPid));
    PostMessageA(Product, WM_CLOSE, 0, 0);
    if (ProductProcess) WaitForSingleObject(ProductProcess.Get(), 10000);
  }
  EXPECT_EQ(IniValue(Folder + "TALMOR.INI", "UserChoice", "TalmorLanguage"), "DE");
  EXPECT_EQ(RecordedFolder(), Folder);
  for (const char* Link : LinkFolders) EXPECT_FALSE(FileExists(LinkFile(Link))) << Link;

  UninstallThroughTheWizard(Folder);
  EXPECT_FALSE(DirectoryExists(Folder));
}
