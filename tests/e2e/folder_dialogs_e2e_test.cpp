// The folder dialogs of the built instbrisko.exe, worked through its windows from
// this process: the folder button and a click into the folder box, a folder made
// in the new-folder dialog and accepted, and Abort.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/files.h"
#include "support/host_paths.h"
#include "wizard_driver.h"

using namespace e2e;
namespace ts = testsupport;

namespace {

const std::string E2ERoot = "C:\\instbrisko folder e2e\\", Apps = E2ERoot + "Apps";

class FolderDialogsE2E : public ::testing::Test {
protected:
  void SetUp() override { ts::MakeFolder(Apps); }
  void TearDown() override { ts::DeleteTree(E2ERoot); }
};

}  // namespace

TEST_F(FolderDialogsE2E, AFolderMadeInTheDialogFillsTheBox) {
  TWizard W(ts::HostFolder(DIST_DIR) + "instbrisko.exe");
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

  // A click into the box opens the dialog there again; Abort leaves the box as it is.
  PostMessageA(Box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(Box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_TRUE(W.WaitForPages({"language", Apps + "\\Brisko"}));
  W.Click(Apps + "\\Brisko", "Abort");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  EXPECT_EQ(WindowText(Box), Apps + "\\Brisko\\");

  W.Click("language", "Cancel");
  ASSERT_TRUE(W.WaitForPages({"exit confirmation", "language"}));
  W.Click("exit confirmation", "Exit setup");
  EXPECT_EQ(W.WaitForExit(), 0u);
}
