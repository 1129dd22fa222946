// The folder dialog and the new-folder dialog in the test process, driven as a
// person drives them: the language page's folder button or a click into its box,
// then clicks, typed names and keys while the modal dialogs are up. Message boxes
// are answered through the dialog handler.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "../gui/accessibility_testing.h"
#include "classes/sysutils.h"
#include "shelltree/ShellTree.h"
#include "support/dialog_answers.h"
#include "support/files.h"
#include "wizard_support.h"

using namespace wizardtest;
namespace ts = testsupport;

namespace {

// An "&" in a folder's name is shown as it is, not as a mark under the next letter.
const std::string Scratch = "C:\\instbrisko folder tests\\", Apps = Scratch + "Apps & Co";
const std::string SetupDir = ExcludeTrailingBackslash(ExtractFilePath(ExecutablePath()));  // where the tree opens else

void Click(TButtonControl* B) { PostMessageA(B->Handle(), BM_CLICK, 0, 0); }
void Key(WPARAM K) { PostMessageA(iForm10->ShellTree1->Handle(), WM_KEYDOWN, K, 1); }

int EntryCount(const std::string& Folder) {
  int N = 0;
  WIN32_FIND_DATAA F;
  TFindHandle Find(FindFirstFileA((Folder + "\\*").c_str(), &F));
  if (Find) do
      N += F.cFileName[0] != '.';
    while (FindNextFileA(Find.Get(), &F));
  return N;
}

// Each step waits until its dialog is active and nothing is left to handle, then
// acts. A script not through in time closes the dialogs: a fault fails, never hangs.
struct TStep {
  TForm* Dialog;
  std::function<void()> Act;
};
void OpenFolderDialog(bool ByBox, std::vector<TStep> Steps) {
  size_t Next = 0;
  const DWORD End = GetTickCount() + 20000;
  TTimer Timer(nullptr);
  Timer.SetInterval(20);
  Timer.OnTimer = TNotifyEvent([&](TObject*) {
    if (Next == Steps.size()) return;
    if (static_cast<LONG>(GetTickCount() - End) > 0) {
      for (TForm* F : {static_cast<TForm*>(iForm11), static_cast<TForm*>(iForm10)}) F->SetModalResult(mrCancel);
    } else if (Steps[Next].Dialog->Active() && HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) {
      Steps[Next++].Act();
    }
  });
  if (ByBox) {
    SendMessageA(iiForm3->Edit1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(iiForm3->Edit1->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  } else {
    SendMessageA(iiForm3->BitBtn1->Handle(), BM_CLICK, 0, 0);
  }
  EXPECT_EQ(Next, Steps.size()) << "the script stopped there";
}

// Fresh folders and forms, the language page showing.
struct TFolders {
  TFolders() {
    ts::DeleteTree(Scratch);
    for (const char* F : {"Apps & Co\\Existing", "Apps & Co\\Other", "a\\BRISKO", "b\\Brisko", "c\\brisko", "Brisko2"})
      ts::MakeFolder(Scratch + F);
    ts::WriteAll(Apps + "\\a file", "x");
    if (Forms.Created()) iiForm3->Show();
  }
  ~TFolders() { ts::DeleteTree(Scratch); }
  TWizardForms Forms;
};

}  // namespace

// Every case opens the dialog for the first time: the language page sets the
// tree's folder while the tree has no window yet.
TEST(FolderDialogs, TheBoxGetsTheFolderAcceptedOrMadeWithTheProductFolderOnce) {
  enum TAct { Accept, Abort, Drives, Make, Cancel };
  const struct {
    const char* What;
    std::string Box;
    std::vector<std::pair<TAct, std::string>> Acts;
    std::string Opens, Result, Label = {};  // Label: the new-folder dialog's current folder
    bool Refused = false;                   // "Cannot create the folder" and the path
  } Cases[] = {
      {"a folder", Apps, {{Accept, ""}}, Apps, Apps + "\\Brisko\\"},
      {"one typed with its backslash", Apps + "\\", {{Accept, ""}}, Apps, Apps + "\\Brisko\\"},
      {"the drive root", "C:\\", {{Accept, ""}}, "C:\\", "C:\\Brisko\\"},
      {"BRISKO", Scratch + "a\\BRISKO", {{Accept, ""}}, Scratch + "a\\BRISKO", Scratch + "a\\BRISKO\\"},
      {"Brisko", Scratch + "b\\Brisko", {{Accept, ""}}, Scratch + "b\\Brisko", Scratch + "b\\Brisko\\"},
      {"brisko", Scratch + "c\\brisko\\", {{Accept, ""}}, Scratch + "c\\brisko", Scratch + "c\\brisko\\"},
      {"Brisko2", Scratch + "Brisko2", {{Accept, ""}}, Scratch + "Brisko2", Scratch + "Brisko2\\Brisko\\"},
      {"Abort", Apps, {{Abort, ""}}, Apps, Apps},
      {"no such folder", Scratch + "none\\x", {{Accept, ""}}, SetupDir, SetupDir + "\\Brisko\\"},
      {"an empty box, Abort", "", {{Abort, ""}}, SetupDir, ""},
      {"a new folder", Apps, {{Make, "New one"}, {Accept, ""}}, Apps, Apps + "\\New one\\Brisko\\", Apps + "\\"},
      {"an empty name", Apps, {{Make, ""}, {Accept, ""}}, Apps, Apps + "\\Brisko\\", Apps + "\\"},
      {"an existing one", Apps, {{Make, "Existing"}, {Accept, ""}}, Apps, Apps + "\\Existing\\Brisko\\", Apps + "\\"},
      {"Cancel", Apps, {{Cancel, "Not made"}, {Accept, ""}}, Apps, Apps + "\\Brisko\\", Apps + "\\"},
      {"an invalid name", Apps, {{Make, "bad|name"}, {Accept, ""}}, Apps, Apps + "\\Brisko\\", Apps + "\\", true},
      {"a backslash", Apps, {{Make, "Other\\x"}, {Accept, ""}}, Apps, Apps + "\\Brisko\\", Apps + "\\", true},
      {"a slash", Apps, {{Make, "Other/x"}, {Accept, ""}}, Apps, Apps + "\\Brisko\\", Apps + "\\", true},
      {"a drive", Apps, {{Make, "C:x"}, {Accept, ""}}, Apps, Apps + "\\Brisko\\", Apps + "\\", true},
      {"..", Apps, {{Make, ".."}, {Accept, ""}}, Apps, Apps + "\\Brisko\\", Apps + "\\", true},
      {"a file's name", Apps, {{Make, "a file"}, {Accept, ""}}, Apps, Apps + "\\Brisko\\", Apps + "\\", true},
      {"on the drive root", "C:\\", {{Cancel, ""}, {Abort, ""}}, "C:\\", "C:\\", "C:\\"},
      {"the drives folder", "C:\\", {{Drives, ""}, {Make, "Stray"}, {Accept, ""}}, "C:\\", "C:\\", ""},
  };
  for (size_t I = 0; I < std::size(Cases); ++I) {
    const auto& C = Cases[I];
    SCOPED_TRACE(C.What);
    TFolders Folders;
    ASSERT_TRUE(Folders.Forms.Created());
    iiForm3->Edit1->SetText(C.Box);
    ts::TDialogAnswers Answers;
    std::string Opens, Label, Typed;
    std::vector<TStep> Steps = {{iForm10, [&] { Opens = iForm10->Caption() + "|" + iForm10->ShellTree1->Path(); }}};
    for (const auto& [Act, Name] : C.Acts) {
      if (Act == Accept || Act == Abort)
        Steps.push_back({iForm10, [A = Act] { Click(A == Accept ? iForm10->Button2 : iForm10->Button3); }});
      if (Act == Drives) Steps.push_back({iForm10, [] { Key(VK_HOME); }});
      if (Act != Make && Act != Cancel) continue;
      Typed = Name;
      Steps.push_back({iForm10, [] { Click(iForm10->BitBtn1); }});
      Steps.push_back({iForm11, [&, A = Act, N = Name] {
                         Label = iForm11->Label2->Caption();
                         const std::vector<std::string> Read = acctest::PaintedTexts(iForm11->Handle());
                         EXPECT_TRUE(Label.empty() || std::count(Read.begin(), Read.end(), Label)) << "not read as shown";
                         SendMessageA(iForm11->Edit1->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(N.c_str()));
                         Click(A == Make ? iForm11->Button3 : iForm11->Button2);
                       }});
    }
    OpenFolderDialog(I % 2, Steps);  // every other case clicks into the box
    EXPECT_EQ(Opens, C.Opens + "|" + C.Opens);
    EXPECT_EQ(iiForm3->Edit1->Text(), C.Result.empty() ? C.Box : C.Result);
    EXPECT_EQ(Label, C.Label);
    const std::string Refusal = std::string(CannotCreateFolder) + "\r" + C.Label + Typed;
    EXPECT_EQ(Answers.Texts(), C.Refused ? std::vector<std::string>{Refusal} : std::vector<std::string>{});
    EXPECT_EQ(EntryCount(Apps), 3 + (Typed == "New one"));
    EXPECT_FALSE(ts::PathExists("\\Stray") || ts::PathExists("C:\\Stray")) << "made on a drive nobody chose";
    for (const char* Stray : {"\\Stray", "C:\\Stray"}) RemoveDirectoryA(Stray);
    EXPECT_EQ(iForm11->Edit1->Text(), Typed) << "the name typed last stays";
  }
}

TEST(FolderDialogs, TheCaptionFollowsTheHighlightedFolderAndHelpAsksForEachDialogsPage) {
  TFolders Folders;
  ASSERT_TRUE(Folders.Forms.Created());
  iiForm3->Edit1->SetText(Apps + "\\Existing");
  std::vector<std::string> Captions, Paths;
  std::vector<intptr_t> Asked;
  Application->OnHelp = [&](unsigned, intptr_t Context, bool&) {
    Asked.push_back(Context);
    return false;
  };
  auto Then = [&](std::function<void()> Act) {  // notes the caption and the tree's folder first
    return TStep{iForm10, [&, Act] {
                   Captions.push_back(iForm10->Caption());
                   Paths.push_back(iForm10->ShellTree1->Path());
                   Act();
                 }};
  };
  OpenFolderDialog(false, {Then([] { Key(VK_DOWN); }), Then([] { Key(VK_UP); }), Then([] { Key(VK_LEFT); }),
                           Then([] { Key(VK_HOME); }), Then([] { Click(iForm10->Button1); }),
                           Then([] { Click(iForm10->BitBtn1); }), {iForm11, [] { Click(iForm11->Button1); }},
                           {iForm11, [] { Click(iForm11->Button2); }}, {iForm10, [] { Click(iForm10->Button3); }}});
  Application->OnHelp = nullptr;
  EXPECT_EQ(Captions, Paths);
  EXPECT_EQ(Paths,
            (std::vector<std::string>{Apps + "\\Existing", Apps + "\\Other", Apps + "\\Existing", Apps, "", ""}));
  EXPECT_EQ(Asked, (std::vector<intptr_t>{100, 110})) << "no help file: nothing else happens";
}
