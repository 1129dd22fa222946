// The folder dialogs of the built instbrisko.exe, worked through its windows from
// this process: the folder button and a click into the folder box, a folder made
// in the new-folder dialog and accepted, and a name that cannot be made.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/files.h"
#include "support/host_paths.h"
#include "wizard_driver.h"

using namespace e2e;
namespace ts = testsupport;

namespace {

const std::string E2ERoot = "C:\\instbrisko folder e2e\\";
const std::string SetupFolder = E2ERoot + "setup\\";
const std::string Apps = E2ERoot + "Apps";

class FolderDialogsE2E : public ::testing::Test {
protected:
  void SetUp() override {
    ts::DeleteTree(E2ERoot);
    ts::MakeFolder(SetupFolder);
    ts::MakeFolder(Apps);
    const std::string Dist = ts::HostFolder(DIST_DIR);
    ASSERT_TRUE(CopyFileA((Dist + "instbrisko.exe").c_str(), (SetupFolder + "instbrisko.exe").c_str(), FALSE));
  }
  void TearDown() override { ts::DeleteTree(E2ERoot); }
};

// A click into a window, as the mouse gives it.
void ClickInto(HWND Wnd) {
  PostMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

}  // namespace

TEST_F(FolderDialogsE2E, AFolderMadeInTheDialogFillsTheBoxAndANameThatCannotBeMadeIsReported) {
  TWizard W(SetupFolder + "instbrisko.exe");
  ASSERT_TRUE(W.WaitForPages({"welcome"}));
  W.Click("welcome", "Next>");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  HWND Box = W.ControlOfClass("language", "TEdit");
  W.Type(Box, Apps);

  // The folder button opens the dialog at the box's folder, its path as the caption.
  HWND FolderButton = W.ControlOfClass("language", "TBitBtn");
  ASSERT_NE(FolderButton, nullptr);
  PostMessageA(FolderButton, BM_CLICK, 0, 0);
  ASSERT_TRUE(W.WaitForPages({"language", Apps}));
  Screenshot("folder dialog");
  W.Click(Apps, "Create folder");
  ASSERT_TRUE(W.WaitForPages({"language", Apps, "New folder"}));
  W.Type(W.ControlOfClass("New folder", "TEdit"), "Brisko");
  Screenshot("new folder dialog");
  W.Click("New folder", "OK");
  ASSERT_TRUE(W.WaitForPages({"language", Apps + "\\Brisko"})) << "the new folder is highlighted";
  EXPECT_TRUE(ts::DirectoryExists(Apps + "\\Brisko"));
  W.Click(Apps + "\\Brisko", "Accept");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  EXPECT_EQ(WindowText(Box), Apps + "\\Brisko\\") << "a folder named Brisko gets no second one";

  // A click into the box opens it there again; the name typed last is still offered.
  ClickInto(Box);
  ASSERT_TRUE(W.WaitForPages({"language", Apps + "\\Brisko"}));
  W.Click(Apps + "\\Brisko", "Create folder");
  ASSERT_TRUE(W.WaitForPages({"language", Apps + "\\Brisko", "New folder"}));
  HWND Name = W.ControlOfClass("New folder", "TEdit");
  EXPECT_EQ(WindowText(Name), "Brisko");
  W.Type(Name, "one\\two");
  W.Click("New folder", "OK");
  auto Message = W.WaitForMessageBox();
  ASSERT_TRUE(Message);
  EXPECT_EQ(Message->Caption, "instbrisko");
  EXPECT_NE(Message->Text.find("Cannot create the folder"), std::string::npos) << Message->Text;
  EXPECT_NE(Message->Text.find(Apps + "\\Brisko\\one\\two"), std::string::npos) << Message->Text;
  Screenshot("cannot create the folder");
  W.Answer(*Message, "OK");
  ASSERT_TRUE(W.WaitForPages({"language", Apps + "\\Brisko"}));
  EXPECT_FALSE(ts::PathExists(Apps + "\\Brisko\\one"));
  W.Click(Apps + "\\Brisko", "Abort");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  EXPECT_EQ(WindowText(Box), Apps + "\\Brisko\\");

  W.Click("language", "Cancel");
  ASSERT_TRUE(W.WaitForPages({"exit confirmation", "language"}));
  W.Click("exit confirmation", "Exit setup");
  EXPECT_EQ(W.WaitForExit(), 0u);
}
