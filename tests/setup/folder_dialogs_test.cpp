// The folder dialog and the new-folder dialog in the test process, driven as a
// person drives them: the language page's folder button or a click into its box,
// then clicks, typed names and keys in the modal dialogs while they are up. Message
// boxes are answered through the dialog handler.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "classes/sysutils.h"
#include "shelltree/ShellTree.h"
#include "support/dialog_answers.h"
#include "support/files.h"
#include "wizard_support.h"

using namespace wizardtest;
namespace ts = testsupport;

namespace {

const std::string Scratch = "C:\\instbrisko folder tests\\";
const std::string Apps = Scratch + "Apps";

// The folder of this test program, where the tree opens when the box names no folder.
std::string SetupFolder() { return ExtractFilePath(ExecutablePath()); }

// The names in a folder, sorted.
std::vector<std::string> Entries(const std::string& Folder) {
  std::vector<std::string> Names;
  WIN32_FIND_DATAA Found;
  TFindHandle Find(FindFirstFileA((Folder + "\\*").c_str(), &Found));
  if (Find)
    do
      if (std::string(Found.cFileName) != "." && std::string(Found.cFileName) != "..") Names.push_back(Found.cFileName);
    while (FindNextFileA(Find.Get(), &Found));
  std::sort(Names.begin(), Names.end());
  return Names;
}

void Click(TButtonControl* Button) { PostMessageA(Button->Handle(), BM_CLICK, 0, 0); }

void Key(TWinControl* Control, WPARAM Key) {
  PostMessageA(Control->Handle(), WM_KEYDOWN, Key, 1);
  PostMessageA(Control->Handle(), WM_KEYUP, Key, 0xC0000001);
}

void Type(TEdit* Edit, const std::string& Text) {
  SendMessageA(Edit->Handle(), EM_SETSEL, 0, -1);
  SendMessageA(Edit->Handle(), WM_CHAR, VK_BACK, 1);
  for (char C : Text) SendMessageA(Edit->Handle(), WM_CHAR, static_cast<unsigned char>(C), 1);
}

// What a person does in the modal dialogs, step by step: each step waits until its
// dialog is the active window and nothing is left to handle, then acts. Clicks are
// posted, as input is. A script that is not through in time closes the dialogs,
// so that a fault fails the test instead of hanging it.
class TScript {
public:
  struct TStep {
    TForm* Dialog;
    std::function<void()> Act;
  };
  explicit TScript(std::vector<TStep> Steps) : Steps_(std::move(Steps)), Deadline_(GetTickCount() + 20000) {
    Timer_.SetInterval(20);
    Timer_.OnTimer = TNotifyEvent([this](TObject*) { Tick(); });
  }
  bool Done() const { return Next_ == Steps_.size(); }

private:
  void Tick() {
    if (Done()) return Timer_.SetEnabled(false);
    if (static_cast<LONG>(GetTickCount() - Deadline_) > 0) {
      ADD_FAILURE() << "step " << Next_ << " of the script never came";
      Timer_.SetEnabled(false);
      for (TForm* F : {static_cast<TForm*>(iForm11), static_cast<TForm*>(iForm10)})
        if (F->Visible()) F->SetModalResult(mrCancel);
      return;
    }
    TForm* Dialog = Steps_[Next_].Dialog;
    if (!Dialog->Visible() || !Dialog->Active() || HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0) return;
    Steps_[Next_++].Act();
  }

  std::vector<TStep> Steps_;
  size_t Next_ = 0;
  DWORD Deadline_;
  TTimer Timer_{nullptr};
};

// Opens the folder dialog from the language page, by its folder button or by a
// click into the folder box, and runs Script while the dialog is up.
void OpenFolderDialog(bool ByBox, std::vector<TScript::TStep> Steps) {
  TScript Script(std::move(Steps));
  if (ByBox) {
    SendMessageA(iiForm3->Edit1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(iiForm3->Edit1->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  } else {
    SendMessageA(iiForm3->BitBtn1->Handle(), BM_CLICK, 0, 0);
  }
  EXPECT_TRUE(Script.Done());
  EXPECT_FALSE(iForm10->Visible());
  HandlePendingMessages();
}

class FolderDialogs : public ::testing::Test {
protected:
  void SetUp() override {
    ts::DeleteTree(Scratch);
    for (const char* F : {"Apps\\Existing", "Apps\\Other", "a\\BRISKO", "b\\Brisko", "c\\brisko", "Brisko2"})
      ts::MakeFolder(Scratch + F);
    ts::WriteAll(Apps + "\\a file", "x");
  }
  void TearDown() override { ts::DeleteTree(Scratch); }

  // Fresh forms, the language page showing with Box in its folder box.
  static void ShowLanguagePage(const std::string& Box) {
    iiForm3->Show();
    iiForm3->Edit1->SetText(Box);
    HandlePendingMessages();
  }
};

}  // namespace

TEST_F(FolderDialogs, TheBoxGetsTheAcceptedFolderWithTheProductFolderOnce) {
  enum TEnd { Accept, Abort };
  const struct {
    const char* What;
    std::string Box;
    bool ByBox;
    std::string Opens;  // the caption, and the tree's folder, at the first opening
    TEnd End;
    std::string Result;  // the box afterwards
  } Cases[] = {
      {"a folder", Apps, false, Apps, Accept, Apps + "\\Brisko\\"},
      {"a folder typed with its backslash", Apps + "\\", true, Apps, Accept, Apps + "\\Brisko\\"},
      {"the drive root", "C:\\", false, "C:\\", Accept, "C:\\Brisko\\"},
      {"BRISKO", Scratch + "a\\BRISKO", true, Scratch + "a\\BRISKO", Accept, Scratch + "a\\BRISKO\\"},
      {"Brisko", Scratch + "b\\Brisko", false, Scratch + "b\\Brisko", Accept, Scratch + "b\\Brisko\\"},
      {"brisko", Scratch + "c\\brisko\\", false, Scratch + "c\\brisko", Accept, Scratch + "c\\brisko\\"},
      {"Brisko2", Scratch + "Brisko2", true, Scratch + "Brisko2", Accept, Scratch + "Brisko2\\Brisko\\"},
      {"Abort", Apps, true, Apps, Abort, Apps},
      {"no such folder", Scratch + "none\\deeper\\", false, ExcludeTrailingBackslash(SetupFolder()), Accept,
       SetupFolder() + "Brisko\\"},
      {"no such folder, Abort", "C:\\program Files\\Brisko\\", false, ExcludeTrailingBackslash(SetupFolder()),
       Abort, "C:\\program Files\\Brisko\\"},
      {"an empty box", "", true, ExcludeTrailingBackslash(SetupFolder()), Accept, SetupFolder() + "Brisko\\"},
  };
  // Every case is a first opening: the language page sets the tree's folder while
  // the tree has no window yet.
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    TWizardForms Forms;
    ASSERT_TRUE(Forms.Created());
    ShowLanguagePage(C.Box);
    std::string Caption, Path;
    OpenFolderDialog(C.ByBox, {{iForm10, [&] {
                                  Caption = iForm10->Caption();
                                  Path = iForm10->ShellTree1->Path();
                                  Click(C.End == Accept ? iForm10->Button2 : iForm10->Button3);
                                }}});
    EXPECT_EQ(Caption, C.Opens);
    EXPECT_EQ(Path, C.Opens);
    EXPECT_EQ(iiForm3->Edit1->Text(), C.Result);
    EXPECT_EQ(iForm10->SelectedDir, C.End == Accept ? C.Result : "");
    EXPECT_TRUE(iiForm3->Visible());
  }
}

TEST_F(FolderDialogs, TheNewFolderDialogMakesOneFolderInTheHighlightedOne) {
  const std::string Bad = std::string(CannotCreateFolder) + "\r" + Apps + "\\";
  const struct {
    const char* What;
    std::string Name;
    bool Cancel;
    std::vector<std::string> Messages;
    std::string Made;      // the new folder's name, or ""
    std::string Selected;  // the tree's folder afterwards
  } Cases[] = {
      {"a new name", "New one", false, {}, "New one", Apps + "\\New one"},
      {"an empty name", "", false, {}, "", Apps},
      {"an existing folder", "Existing", false, {}, "", Apps + "\\Existing"},
      {"an invalid name", "bad|name", false, {Bad + "bad|name"}, "", Apps},
      {"a name with a backslash", "one\\two", false, {Bad + "one\\two"}, "", Apps},
      {"a name with a slash", "one/two", false, {Bad + "one/two"}, "", Apps},
      {"a drive", "C:new", false, {Bad + "C:new"}, "", Apps},
      {"the folder above", "..", false, {Bad + ".."}, "", Apps},
      {"the folder itself", ".", false, {Bad + "."}, "", Apps},
      {"a file of that name", "a file", false, {Bad + "a file"}, "", Apps},
      {"Cancel", "Not made", true, {}, "", Apps},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    TWizardForms Forms;
    ASSERT_TRUE(Forms.Created());
    ShowLanguagePage(Apps);
    ts::TDialogAnswers Answers;
    std::string Label, CaptionBack;
    OpenFolderDialog(false, {{iForm10, [] { Click(iForm10->BitBtn1); }},
                             {iForm11,
                              [&] {
                                Label = iForm11->Label2->Caption();
                                Type(iForm11->Edit1, C.Name);
                                Click(C.Cancel ? iForm11->Button2 : iForm11->Button3);
                              }},
                             {iForm10, [&] {
                                CaptionBack = iForm10->Caption();
                                Click(iForm10->Button3);
                              }}});
    EXPECT_EQ(Label, Apps + "\\");
    EXPECT_EQ(Answers.Texts(), C.Messages);
    EXPECT_EQ(CaptionBack, C.Selected);
    EXPECT_EQ(iForm11->NewName, C.Cancel ? "" : C.Name);
    EXPECT_EQ(iForm11->Edit1->Text(), C.Name) << "the name typed last stays for the next opening";
    EXPECT_TRUE(iForm10->PendingDir.empty());
    std::vector<std::string> Expected = {"Existing", "Other", "a file"};
    if (!C.Made.empty()) Expected.push_back(C.Made);
    std::sort(Expected.begin(), Expected.end());
    EXPECT_EQ(Entries(Apps), Expected);
    EXPECT_TRUE(ts::DirectoryExists(Apps + "\\" + C.Made));
    EXPECT_EQ(Entries(Scratch), (std::vector<std::string>{"Apps", "Brisko2", "a", "b", "c"}));
    ts::DeleteTree(Apps + "\\New one");
  }
}

TEST_F(FolderDialogs, ADriveRootAndTheDrivesFolderInTheNewFolderDialog) {
  TWizardForms Forms;
  ASSERT_TRUE(Forms.Created());
  ShowLanguagePage("C:\\");
  ts::TDialogAnswers Answers;
  std::string OnRoot, OnDrives, CaptionOnDrives;
  OpenFolderDialog(true, {{iForm10, [] { Click(iForm10->BitBtn1); }},
                          {iForm11,
                           [&] {
                             OnRoot = iForm11->Label2->Caption();
                             Click(iForm11->Button2);
                           }},
                          // Home highlights the tree's root, the drives folder, which has no path.
                          {iForm10, [] { Key(iForm10->ShellTree1, VK_HOME); }},
                          {iForm10, [&] {
                             CaptionOnDrives = iForm10->Caption();
                             Click(iForm10->BitBtn1);
                           }},
                          {iForm11,
                           [&] {
                             OnDrives = iForm11->Label2->Caption();
                             Type(iForm11->Edit1, "Stray folder");
                             Click(iForm11->Button3);
                           }},
                          {iForm10, [] { Click(iForm10->Button2); }}});
  EXPECT_EQ(OnRoot, "C:\\");
  EXPECT_EQ(CaptionOnDrives, "");
  EXPECT_EQ(OnDrives, "");
  EXPECT_TRUE(Answers.Texts().empty());
  // Not on the drive that is current either.
  EXPECT_FALSE(ts::PathExists("\\Stray folder"));
  EXPECT_FALSE(ts::PathExists("C:\\Stray folder"));
  for (const char* Made : {"\\Stray folder", "C:\\Stray folder"}) RemoveDirectoryA(Made);
  // Accepting the drives folder gives no folder: the box keeps its text.
  EXPECT_EQ(iForm10->SelectedDir, "");
  EXPECT_EQ(iiForm3->Edit1->Text(), "C:\\");
}

TEST_F(FolderDialogs, TheCaptionFollowsEveryChangeOfTheHighlightedFolder) {
  TWizardForms Forms;
  ASSERT_TRUE(Forms.Created());
  ShowLanguagePage(Apps + "\\Existing");
  std::vector<std::string> Captions, Paths;
  auto Record = [&] {
    Captions.push_back(iForm10->Caption());
    Paths.push_back(iForm10->ShellTree1->Path());
  };
  TShellTree* Tree = iForm10->ShellTree1;
  OpenFolderDialog(false, {{iForm10, [&] { Record(); Key(Tree, VK_DOWN); }},  // Existing -> Other
                           {iForm10, [&] { Record(); Key(Tree, VK_UP); }},
                           {iForm10, [&] { Record(); Key(Tree, VK_LEFT); }},  // to Apps
                           {iForm10, [&] { Record(); Key(Tree, VK_HOME); }},  // the drives
                           {iForm10, [&] { Record(); Click(iForm10->Button3); }}});
  EXPECT_EQ(Captions, Paths);
  EXPECT_EQ(Paths, (std::vector<std::string>{Apps + "\\Existing", Apps + "\\Other", Apps + "\\Existing", Apps, ""}));
}

TEST_F(FolderDialogs, TheFolderMadeIsTheOneAcceptedAndHelpAsksForEachDialogsPage) {
  TWizardForms Forms;
  ASSERT_TRUE(Forms.Created());
  ShowLanguagePage(Apps);
  std::vector<intptr_t> Asked;
  Application->OnHelp = [&](unsigned Command, intptr_t Data, bool&) {
    if (Command == HELP_CONTEXT) Asked.push_back(Data);
    return false;
  };
  ts::TDialogAnswers Answers;
  OpenFolderDialog(false, {{iForm10, [] { Click(iForm10->Button1); }},
                           {iForm10, [] { Click(iForm10->BitBtn1); }},
                           {iForm11, [] { Click(iForm11->Button1); }},
                           {iForm11,
                            [] {
                              Type(iForm11->Edit1, "Brisko");
                              Click(iForm11->Button3);
                            }},
                           {iForm10, [] { Click(iForm10->Button2); }}});
  Application->OnHelp = nullptr;
  EXPECT_EQ(Asked, (std::vector<intptr_t>{100, 110}));
  EXPECT_TRUE(Answers.Texts().empty()) << "no help file: nothing to show";
  EXPECT_TRUE(ts::DirectoryExists(Apps + "\\Brisko"));
  EXPECT_EQ(iiForm3->Edit1->Text(), Apps + "\\Brisko\\");

  // The second opening starts where the box now points, the name typed last still there.
  OpenFolderDialog(true, {{iForm10, [] { Click(iForm10->BitBtn1); }},
                          {iForm11,
                           [] {
                             EXPECT_EQ(iForm11->Edit1->Text(), "Brisko");
                             EXPECT_EQ(iForm11->Label2->Caption(), Apps + "\\Brisko\\");
                             Click(iForm11->Button2);
                           }},
                          {iForm10, [] { Click(iForm10->Button2); }}});
  EXPECT_EQ(iiForm3->Edit1->Text(), Apps + "\\Brisko\\");
}
