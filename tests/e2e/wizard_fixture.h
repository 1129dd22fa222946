// The fixture every end-to-end test of the installation and removal shares: a
// prefix without the product, the distribution copied to a setup folder whose name
// holds a blank, and the ways through the wizard that many tests take (on to a page,
// Finish, a removal answered Yes). Also what the tests read back afterwards: the
// settings file, the links and the record.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "../setup/install_fixture.h"
#include "setup/uinstbrisko5_install.h"
#include "wizard_driver.h"

namespace e2e {

inline const std::string E2ERoot = "C:\\instbrisko e2e\\";
// A blank in the setup folder: every path the wizard hands on must be quoted.
inline const std::string SetupFolder = E2ERoot + "setup files\\";

inline const char* const DistFiles[] = {"instbrisko.exe", "unzip.exe", "BRISKO.ZIP", "HTMLhelp.ZIP"};

inline std::string IniValue(const std::string& Ini, const char* Section, const char* Key) {
  char Buffer[512] = "";
  GetPrivateProfileStringA(Section, Key, "(missing)", Buffer, sizeof(Buffer), Ini.c_str());
  return Buffer;
}

inline std::string LinkFile(const char* ShellFolderName) {
  return installtest::ShellFolder(ShellFolderName) + "\\Brisko.lnk";
}

inline bool ProductKeyExists() { return ::KeyExists(HKEY_LOCAL_MACHINE, "Software\\Brisko"); }

// Each test starts from a prefix without the product, with the distribution
// copied to a folder of its own, and leaves the prefix so.
class WizardE2E : public installtest::InstallTest {
protected:
  void SetUp() override {
    InstallTest::SetUp();
    installtest::DeleteTree(E2ERoot);
    installtest::MakeFolder(SetupFolder);
    for (const char* F : DistFiles)
      ASSERT_TRUE(CopyFileA((installtest::DistFolder() + F).c_str(), (SetupFolder + F).c_str(), FALSE))
          << installtest::DistFolder() + F << " is missing: build the dist target first";
  }
  void TearDown() override {
    InstallTest::TearDown();
    installtest::DeleteTree(E2ERoot);
  }

  static std::string Exe() { return SetupFolder + "instbrisko.exe"; }

  // Nothing of the product in the prefix: no folder, settings, links, record or fonts.
  static void ExpectNothingInstalled() {
    EXPECT_FALSE(installtest::DirectoryExists(installtest::DefaultTarget));
    for (const char* Folder : installtest::LinkFolders) EXPECT_FALSE(installtest::FileExists(LinkFile(Folder))) << Folder;
    EXPECT_FALSE(ProductKeyExists());
    for (const char* Font : installtest::FontFiles)
      EXPECT_FALSE(installtest::FileExists(installtest::FontsFolder() + Font)) << Font;
  }

  // From the welcome page, on to the page named.
  static void GoTo(TWizard& W, const TPage& Page) {
    ASSERT_TRUE(W.WaitForPages({"welcome"})) << "the welcome page did not appear";
    if (Page == "welcome") return;
    W.Click("welcome", "Next>");
    ASSERT_TRUE(W.WaitForPages({"language"}));
    if (Page == "language") return;
    W.Click("language", "Next>");
    ASSERT_TRUE(W.WaitForPages({"shortcuts"}));
  }

  static void FinishAndExpectExit(TWizard& W) {
    W.Click("finish", "Finish");
    EXPECT_EQ(W.WaitForExit(), 0u);
  }

  // Sets a check box of the shortcuts page as wanted, as a click does.
  static void SetCheck(TWizard& W, const char* Caption, bool Wanted) {
    HWND Box = W.Control("shortcuts", Caption);
    ASSERT_NE(Box, nullptr) << Caption;
    if (IsChecked(Box) == Wanted) return;
    W.Click("shortcuts", Caption);
    ASSERT_TRUE(WaitFor([&] { return IsChecked(Box) == Wanted; })) << Caption;
  }

  // Install on the shortcuts page with these choices, through to the end.
  static void InstallAndFinish(TWizard& W, const bool (&Links)[3]) {
    SetCheck(W, "Add to desktop", Links[0]);
    SetCheck(W, "Add to Start menu", Links[1]);
    SetCheck(W, "Add to Programs", Links[2]);
    W.Click("shortcuts", "Install");
    ASSERT_TRUE(W.WaitForPages({"finish"}, 60000)) << "the installation did not reach the finish page";
    EXPECT_TRUE(IsWindowEnabled(W.Control("finish", "Start Brisko")));
    FinishAndExpectExit(W);
  }

  // From the welcome page to the shortcuts page, with Folder typed on the way.
  static void GoToShortcutsFor(TWizard& W, const std::string& Folder) {
    GoTo(W, "language");
    W.Type(W.ControlOfClass("language", "TEdit"), Folder);
    W.Click("language", "Next>");
    ASSERT_TRUE(W.WaitForPages({"shortcuts"}));
  }

  // Install on a run that is to fail: the message box that says so, on the way back.
  static std::optional<TMessageBox> InstallExpectingAMessage(TWizard& W) {
    W.Click("shortcuts", "Install");
    return W.WaitForMessageBox(60000);
  }

  // The whole way through the pages into Folder, with these shortcuts.
  static void InstallThroughTheWizard(const std::string& Folder, const bool (&Links)[3]) {
    TWizard W(Exe());
    ASSERT_NO_FATAL_FAILURE(GoToShortcutsFor(W, Folder));
    InstallAndFinish(W, Links);
  }

  // "Uninstall" on the welcome page and its button: the run starts.
  static void StartUninstall(TWizard& W) {
    ASSERT_TRUE(W.WaitForPages({"welcome"}));
    W.Click("welcome", "Uninstall");
    ASSERT_TRUE(WaitFor([&] { return W.Control("welcome", "UnInstall") != nullptr; }));
    Screenshot("welcome uninstall");
    W.Click("welcome", "UnInstall");
  }

  // Uninstall on the welcome page, Yes to the question, and the finish page.
  static void UninstallThroughTheWizard(const std::string& Folder, const char* Shot = "finish uninstalled") {
    TWizard W(Exe());
    StartUninstall(W);
    auto Box = W.WaitForMessageBox();
    ASSERT_TRUE(Box);
    EXPECT_EQ(Box->Caption, "Information");
    EXPECT_NE(Box->Text.find("Do you really want to delete all files and subdirs from"), std::string::npos)
        << Box->Text;
    EXPECT_NE(Box->Text.find("the directory " + Folder), std::string::npos) << Box->Text;
    EXPECT_EQ(W.VisiblePages(), std::vector<TPage>{}) << "the welcome page is hidden while the run asks";
    Screenshot("uninstall question");
    W.Answer(*Box, "&Yes");
    ASSERT_TRUE(W.WaitForPages({"finish"}));
    Screenshot(Shot);
    EXPECT_FALSE(IsWindowEnabled(W.Control("finish", "Start Brisko")));
    EXPECT_TRUE(IsWindowEnabled(W.Control("finish", "Finish")));
    FinishAndExpectExit(W);
  }
};

}  // namespace e2e
