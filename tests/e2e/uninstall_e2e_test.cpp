// Removals through the built instbrisko.exe's pages: a product the wizard
// installed, removed with Yes or kept with No, and a recorded folder that is no
// product's, which the run refuses to empty. The finish page is read as assistive
// technology reads it; files, links and the record are checked afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../gui/accessibility_testing.h"
#include "wizard_fixture.h"

using namespace e2e;
using namespace installtest;

namespace {

std::string EnvironmentFolder(const char* Name) {
  char Buffer[MAX_PATH] = "";
  const DWORD N = GetEnvironmentVariableA(Name, Buffer, MAX_PATH);
  EXPECT_GT(N, 0u) << Name;
  return AddBackslash(std::string(Buffer, N < MAX_PATH ? N : 0));
}

// The finish page as a screen reader hears it: Start Brisko disabled after a removal,
// and the text the run left in its label.
void ExpectFinishPageSays(TWizard& W, const std::string& Text) {
  ASSERT_TRUE(W.WaitForPages({"finish"}));
  EXPECT_FALSE(IsWindowEnabled(W.Control("finish", "Start Brisko")));
  const std::vector<std::string> Read = acctest::PaintedTexts(W.Page("finish"));
  EXPECT_NE(std::find(Read.begin(), Read.end(), Text), Read.end())
      << "the page reads: " << ::testing::PrintToString(Read);
  W.Click("finish", "Finish");
  EXPECT_EQ(W.WaitForExit(), 0u);
}

class UninstallE2E : public WizardE2E {};

}  // namespace

// The product as the wizard installed it, with all three links; whatever the
// answer, the links and the record go (they went before the question), but only
// Yes takes the files. A folder below a shared one is a product folder like any.
TEST_F(UninstallE2E, AnsweredYesOrNo) {
  const struct {
    const char* Answer;
    std::string Folder;
    bool FilesStay;
  } Rows[] = {
      {"&Yes", EnvironmentFolder("ProgramData") + "Brisko\\", false},
      {"&No", E2ERoot + "Kept Brisko\\", true},
  };
  for (const auto& Row : Rows) {
    SCOPED_TRACE(Row.Answer + (" " + Row.Folder));
    InstallThroughTheWizard(Row.Folder, {true, true, true});
    ASSERT_TRUE(FileExists(Row.Folder + "BRISKO.EXE"));
    {
      TWizard W(Exe());
      StartUninstall(W);
      auto Box = W.WaitForMessageBox();
      ASSERT_TRUE(Box);
      EXPECT_EQ(Box->Text, "Do you really want to delete all files and subdirs from\r\nthe directory " + Row.Folder);
      W.Answer(*Box, Row.Answer);
      ExpectFinishPageSays(W, "You have succesfully removed Brisko");
    }
    for (const char* File : {"BRISKO.EXE", "TALMOR.INI", "lang"})
      EXPECT_EQ(testsupport::PathExists(Row.Folder + File), Row.FilesStay) << File;
    EXPECT_EQ(DirectoryExists(Row.Folder), Row.FilesStay);
    EXPECT_TRUE(DirectoryExists(ExtractFilePath(ExcludeTrailingBackslash(Row.Folder))));
    for (const char* Link : LinkFolders) EXPECT_FALSE(FileExists(LinkFile(Link))) << Link;
    EXPECT_FALSE(ProductKeyExists());
    DeleteTree(Row.Folder);
  }
}

// A record that names a folder no product may be installed as: the run says so,
// asks nothing, deletes nothing, and the finish page says what remains.
TEST_F(UninstallE2E, AnUnsafeRecordedFolderIsLeftAsItIs) {
  char Windows[MAX_PATH];
  const UINT N = GetWindowsDirectoryA(Windows, MAX_PATH);
  ASSERT_GT(N, 0u);
  const std::string Rows[] = {"C:\\", AddBackslash(std::string(Windows, N)), EnvironmentFolder("USERPROFILE")};
  for (const std::string& Folder : Rows) {
    SCOPED_TRACE(Folder);
    const std::string Marker = Folder + "instbrisko e2e marker.txt";
    WriteAll(Marker, "not the product's");
    WriteRegString(HKEY_LOCAL_MACHINE, InstallText::InstallKey, "", Folder);
    {
      TWizard W(Exe());
      StartUninstall(W);
      auto Box = W.WaitForMessageBox();
      ASSERT_TRUE(Box);
      if (Box->Caption == "Information") {
        ADD_FAILURE() << "the run offers to empty " << Folder;
        W.Answer(*Box, "&No");
      } else {
        EXPECT_EQ(Box->Text, "The recorded folder\r\n" + Folder + "\r\nis not a product folder and is left as it is.");
        W.Answer(*Box, "OK");
      }
      ExpectFinishPageSays(W, "Brisko was removed, but some files remain in\r" + Folder);
    }
    EXPECT_EQ(ReadAll(Marker), "not the product's");
    EXPECT_TRUE(DirectoryExists(SetupFolder));
    EXPECT_FALSE(ProductKeyExists());
    DeleteFileA(Marker.c_str());
  }
}
