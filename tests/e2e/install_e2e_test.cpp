// Installations through the built instbrisko.exe's pages, as a person makes them:
// every product language and every choice of shortcuts, folders picked in the
// folder dialog's tree, and archives that cannot be extracted. Afterwards the
// product's files, its settings file, the links and the record are read back.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "wizard_fixture.h"

using namespace e2e;
using namespace installtest;

namespace {

// What an installation was asked for, and so what must be there afterwards.
struct TInstallation {
  std::string Folder;  // the folder box's text, ending with a backslash
  std::string LanguageCode;
  bool Links[3];  // desktop, Start menu, Programs, in the order of LinkFolders
  bool HelpTypeKnown = true;
};

void ExpectInstalled(const TInstallation& I) {
  EXPECT_TRUE(FileExists(I.Folder + "BRISKO.EXE"));
  EXPECT_TRUE(DirectoryExists(I.Folder + "lang"));
  const std::string Ini = I.Folder + "TALMOR.INI";
  EXPECT_EQ(IniValue(Ini, "System", "Web2cBINDir"), I.Folder);
  EXPECT_EQ(IniValue(Ini, "UserChoice", "TalmorLanguage"), I.LanguageCode);
  EXPECT_EQ(IniValue(Ini, "UserChoice", "SpellLanguage"), I.LanguageCode);
  // Without a viewer for compiled help the product gets its help as plain pages.
  EXPECT_EQ(FileExists(I.Folder + "help\\index.htm"), !I.HelpTypeKnown);
  for (size_t K = 0; K < 3; ++K) {
    SCOPED_TRACE(LinkFolders[K]);
    const auto Link = ReadLink(LinkFile(LinkFolders[K]));
    ASSERT_EQ(Link.has_value(), I.Links[K]);
    if (!Link) continue;
    EXPECT_EQ(Link->Path, I.Folder + "BRISKO.EXE");
    EXPECT_EQ(Link->WorkingDirectory, I.Folder);
  }
  // This machine has no Tahoma, so the run gave it the product's.
  for (const char* Font : FontFiles) {
    EXPECT_TRUE(FileExists(FontsFolder() + Font)) << Font;
    EXPECT_FALSE(FileExists(I.Folder + Font)) << Font;
  }
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, InstallText::InstallKey, ""), I.Folder);
}

// One installation: the language as the list offers it (picked with the arrow keys,
// or typed into the box), the shortcuts, the folder and whether the machine knows
// the compiled help's file type.
struct TLanguageRow {
  const char* Language;
  const char* Code;
  bool Typed;
  bool Desktop, StartMenu, Programs;
  bool HelpTypeKnown;
  const char* Folder;  // typed into the folder box; null: the default folder is kept
};

// Nine languages, and with them all eight choices of shortcuts (the first row's
// is the pages' own).
const TLanguageRow LanguageRows[] = {
    {"English", "US", false, true, false, true, true, nullptr},
    {"Czech", "CZ", false, false, false, false, false, "Brisko cz\\"},
    {"Dansk", "DK", false, true, false, false, true, "Brisko dk\\"},
    {"Deutsch", "DE", false, false, true, false, true, "Programme\\Brisko de\\"},
    {"Fran\xE7" "ais", "FR", true, false, false, true, true, "Brisko fran\xE7" "ais\\"},
    {"Nederlands", "NL", false, true, true, false, true, "Brisko nl\\"},
    {"Po polsku", "PL", true, false, true, true, true, "Brisko pl\\"},
    {"Ruski", "RU", false, true, true, true, false, "Brisko ru\\"},
    {"Slovak", "SK", false, true, false, true, true, "Brisko sk\\"},
};

const std::string DriveRootProduct = "C:\\Brisko\\";

class InstallE2E : public WizardE2E {
protected:
  void TearDown() override {
    DeleteTree(DriveRootProduct);
    WizardE2E::TearDown();
  }

  // What one installation left is taken away before the next.
  void Forget() {
    Clean();
    DeleteTree(DriveRootProduct);
    for (TSavedValue* V : {&FontValue, &NtRegular, &NtBold}) V->Remove();
  }
};

}  // namespace

TEST_F(InstallE2E, EveryLanguageAndEveryChoiceOfShortcuts) {
  for (const TLanguageRow& Row : LanguageRows) {
    SCOPED_TRACE(Row.Language);
    std::optional<TKeyAside> NoHelpType;
    if (!Row.HelpTypeKnown) NoHelpType.emplace(HKEY_LOCAL_MACHINE, InstallText::HelpTypeKey);
    const TInstallation Expected{Row.Folder ? E2ERoot + Row.Folder : DefaultTarget,
                                 Row.Code,
                                 {Row.Desktop, Row.StartMenu, Row.Programs},
                                 Row.HelpTypeKnown};
    {
      TWizard W(Exe());
      GoTo(W, "language");
      HWND Languages = W.ControlOfClass("language", "TComboBox");
      if (Row.Typed)
        W.Type(W.ControlOfClass("language", "Edit"), Row.Language);
      else
        ASSERT_TRUE(W.Choose(Languages, Row.Language));
      EXPECT_EQ(WindowText(Languages), Row.Language);
      if (Row.Folder) W.Type(W.ControlOfClass("language", "TEdit"), Expected.Folder);
      W.Click("language", "Next>");
      ASSERT_TRUE(W.WaitForPages({"shortcuts"}));
      InstallAndFinish(W, Expected.Links);
    }
    ExpectInstalled(Expected);
    Forget();
  }
}

namespace {

// The folder dialog's caption, the highlighted folder, while it lies over the language page.
std::string FolderDialogCaption(const TWizard& W) {
  for (const TPage& P : W.VisiblePages())
    if (P != "language") return P;
  return std::string();
}

bool SelectionIsOpen(HWND Tree) {
  const LPARAM Selected = SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
  return (SendMessageA(Tree, TVM_GETITEMSTATE, static_cast<WPARAM>(Selected), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

// The folder dialog's tree, worked with the keys: it opens at the folder box's
// folder; Right goes into a folder's first subfolder, Backspace up to its parent.
struct TPickRow {
  const char* Name;
  const char* OpenAt;  // typed into the folder box before the dialog opens
  std::vector<UINT> Keys;
  const char* Picked;  // the dialog's caption then: the highlighted folder
  const char* Box;     // the folder box after Accept
};

}  // namespace

TEST_F(InstallE2E, IntoAFolderPickedInTheTree) {
  Forget();
  const std::string Apps = E2ERoot + "Apps";
  MakeFolder(Apps + "\\Tools");
  const TPickRow Rows[] = {
      {"a folder below the one shown", "C:\\instbrisko e2e\\Apps", {VK_RIGHT},
       "C:\\instbrisko e2e\\Apps\\Tools", "C:\\instbrisko e2e\\Apps\\Tools\\Brisko\\"},
      {"the drive root", "C:\\instbrisko e2e", {VK_BACK}, "C:\\", DriveRootProduct.c_str()},
  };
  for (const TPickRow& Row : Rows) {
    SCOPED_TRACE(Row.Name);
    {
      TWizard W(Exe());
      GoTo(W, "language");
      HWND Box = W.ControlOfClass("language", "TEdit");
      W.Type(Box, Row.OpenAt);
      PostMessageA(W.ControlOfClass("language", "TBitBtn"), BM_CLICK, 0, 0);
      ASSERT_TRUE(W.WaitForPages({"language", Row.OpenAt}));
      HWND Tree = W.ControlOfClass(Row.OpenAt, "TShellTree");
      ASSERT_NE(Tree, nullptr);
      for (UINT Key : Row.Keys) {
        const std::string Before = FolderDialogCaption(W);
        // On a closed folder, Right first opens it and only the next one goes in.
        if (Key == VK_RIGHT && !SelectionIsOpen(Tree)) {
          W.Press(Tree, Key);
          ASSERT_TRUE(WaitFor([&] { return SelectionIsOpen(Tree); })) << "the folder did not open";
        }
        W.Press(Tree, Key);
        ASSERT_TRUE(WaitFor([&] { return FolderDialogCaption(W) != Before; })) << "the tree did not answer key " << Key;
      }
      const std::string Caption = FolderDialogCaption(W);
      EXPECT_EQ(Caption, Row.Picked);
      Screenshot(std::string("folder picked, ") + Row.Name);
      W.Click(Row.Picked, "Accept");
      ASSERT_TRUE(W.WaitForPages({"language"}));
      EXPECT_EQ(WindowText(Box), Row.Box);
      W.Click("language", "Next>");
      ASSERT_TRUE(W.WaitForPages({"shortcuts"}));
      InstallAndFinish(W, {true, false, true});
    }
    ExpectInstalled({Row.Box, "US", {true, false, true}});
    UninstallThroughTheWizard(Row.Box);
    EXPECT_FALSE(DirectoryExists(Row.Box));
    EXPECT_FALSE(ProductKeyExists());
    Forget();
  }
}

// An archive that cannot be extracted, the product's or the help's: the run says
// which, stops on the shortcuts page, and nothing claims the product is there.
TEST_F(InstallE2E, ADamagedArchiveStopsTheRunWithItsMessage) {
  const std::string Folder = E2ERoot + "Brisko\\";
  for (const char* Archive : {"BRISKO.ZIP", "HTMLhelp.ZIP"}) {
    SCOPED_TRACE(Archive);
    const std::string Whole = ReadAll(SetupFolder + Archive);
    WriteAll(SetupFolder + Archive, Whole.substr(0, Whole.size() / 2));
    TKeyAside NoHelpType(HKEY_LOCAL_MACHINE, InstallText::HelpTypeKey);

    TWizard W(Exe());
    ASSERT_NO_FATAL_FAILURE(GoToShortcutsFor(W, Folder));
    auto Box = InstallExpectingAMessage(W);
    ASSERT_TRUE(Box);
    EXPECT_EQ(Box->Text, std::string("Extracting ") + Archive + " failed!");
    W.Answer(*Box, "OK");
    ASSERT_TRUE(W.WaitForPages({"shortcuts"}));
    EXPECT_FALSE(IsWindowVisible(W.ControlOfClass("shortcuts", "TPanel"))) << "the \"Please wait\" panel";
    EXPECT_TRUE(IsWindowEnabled(W.Control("shortcuts", "Install")));
    W.Click("shortcuts", "Cancel");
    ASSERT_TRUE(W.WaitForPages({"exit confirmation", "shortcuts"}));
    W.Click("exit confirmation", "Exit setup");
    EXPECT_EQ(W.WaitForExit(), 0u);

    EXPECT_FALSE(FileExists(Folder + "TALMOR.INI"));
    for (const char* Link : LinkFolders) EXPECT_FALSE(FileExists(LinkFile(Link))) << Link;
    EXPECT_FALSE(ProductKeyExists());
    WriteAll(SetupFolder + Archive, Whole);
    Forget();
  }
}
